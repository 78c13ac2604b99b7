// Fuzzes the TEI import with one TEI file: what it cannot read is refused
// with the file's name and line, and what it reads it makes into a title
// source the compiler accepts. An error that names anything but the TEI
// file (a topic file the import wrote, the title) is the import's own
// fault, and ends the run.
#include "fuzz_support.h"
#include "tei_import.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    folium::fuzzing::setUp<QCoreApplication>(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString edition = folium::fuzzing::file(QStringLiteral("e"));
    const QString out = folium::fuzzing::file(QStringLiteral("out"));
    QDir(edition).removeRecursively();
    QDir(out).removeRecursively();
    QDir().mkpath(edition);
    QDir().mkpath(out);
    const QString letter = edition + QStringLiteral("/1.xml");
    {
        QFile f(letter);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    folium::mktitle::TeiImportOptions o;
    o.sources = {edition};
    o.output = out + QStringLiteral("/T.m14");
    const auto r = folium::mktitle::importTei(o);
    for (const QString &e : r.errors) {
        if (!e.startsWith(letter + u':') && !e.endsWith(QLatin1String("no TEI letters found"))) {
            std::fprintf(stderr, "the import made a title source the compiler refuses:\n%s\n", qPrintable(e));
            std::abort();
        }
    }
    return 0;
}
