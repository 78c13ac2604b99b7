// Fuzzes the title compiler as it is given a whole project folder: the
// bytes are the folder's files one after the other, each begun by a line
// "@@@ name" (the first, without one, is title.xml): the project file, its
// topic files, its images. The compiler reads them (and is meant to read
// nothing else), checks them and writes the title and its database.
#include "compiler.h"
#include "fuzz_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// A name the bundle may give a file: letters, digits, ".", "_", "-" and
// at most one folder; nothing that leaves the project.
QString safeName(const QByteArray &name)
{
    QString out;
    int slashes = 0;
    for (const char c : name.left(40)) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
            (c == '.' && !out.endsWith(u'.') && !out.isEmpty()))
            out += QLatin1Char(c);
        else if (c == '/' && slashes++ == 0 && !out.isEmpty())
            out += u'/';
    }
    return out.endsWith(u'/') || out.isEmpty() ? QString() : out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    folium::fuzzing::setUp<QCoreApplication>(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString project = folium::fuzzing::file(QStringLiteral("p"));
    QDir(project).removeRecursively();
    QDir().mkpath(project + QStringLiteral("/out"));
    QString name = QStringLiteral("title.xml");
    qsizetype at = 0;
    int files = 0;
    while (at <= bytes.size() && files < 16) {
        const qsizetype next = bytes.indexOf("\n@@@ ", at);
        const qsizetype end = next < 0 ? bytes.size() : next;
        if (!name.isEmpty()) {
            const QString path = project + u'/' + name;
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile f(path);
            if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                f.write(bytes.mid(at, end - at));
            ++files;
        }
        if (next < 0)
            break;
        const qsizetype lineEnd = bytes.indexOf('\n', next + 5);
        name = safeName(bytes.mid(next + 5, (lineEnd < 0 ? bytes.size() : lineEnd) - next - 5));
        at = lineEnd < 0 ? bytes.size() + 1 : lineEnd + 1;
    }
    folium::mktitle::compileTitle(project + QStringLiteral("/title.xml"), project + QStringLiteral("/out/t.m14"));
    return 0;
}
