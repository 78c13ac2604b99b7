// Fuzzes the title compiler's source reader: the bytes are a topic file of
// a project, read by the XML reader alone and then as the compiler reads
// it (elements, attributes, notes, hotspots, images, the checks of what
// the reader can lay out).
#include "title_source.h"
#include "xml_reader.h"
#include "fuzz_support.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

QString g_project;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    folium::fuzzing::setUp<QCoreApplication>(argc, argv);
    g_project = folium::fuzzing::file(QStringLiteral("title.xml"));
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
        QFile t(folium::fuzzing::file(QStringLiteral("topics.xml")));
        if (!t.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        t.write(bytes);
    }
    TitleSource source;
    QStringList errors;
    readTitleSource(g_project, &source, &errors);
    return 0;
}
