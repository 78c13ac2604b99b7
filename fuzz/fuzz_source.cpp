// Fuzzes the title compiler's source reader: the bytes are a topic file of
// a project, read by the XML reader alone and then as the compiler reads
// it (elements, attributes, notes, hotspots, images, the checks of what
// the reader can lay out).
#include "title_source.h"
#include "xml_reader.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// Made once and never destroyed: libFuzzer ends the process with exit(),
// after which Qt's own statics are gone. The folder is removed by an exit
// handler that runs before them.
QCoreApplication *g_app = nullptr;
QTemporaryDir *g_dir = nullptr;
std::string g_dirPath;
QString g_project;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    g_app = new QCoreApplication(*argc, *argv);
    g_dir = new QTemporaryDir;
    g_dir->setAutoRemove(false);
    g_dirPath = g_dir->path().toStdString();
    std::atexit([] { std::filesystem::remove_all(g_dirPath); });
    g_project = g_dir->filePath(QStringLiteral("title.xml"));
    QFile p(g_project);
    if (p.open(QIODevice::WriteOnly))
        p.write("<title name=\"Fuzz\">\n<include href=\"topics.xml\"/>\n</title>\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace folium::mktitle;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    XmlReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() == XmlReader::StartElement)
            xml.attributes().value(QLatin1String("title"));
        xml.text();
    }
    {
        QFile t(g_dir->filePath(QStringLiteral("topics.xml")));
        if (!t.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        t.write(bytes);
    }
    TitleSource source;
    QStringList errors;
    readTitleSource(g_project, &source, &errors);
    return 0;
}
