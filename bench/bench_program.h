// The program as a reader runs it, for the benchmarks: a program folder of
// its own in a temporary folder (FL.mdb, and the benchmark title with its
// database linked in), the real windows offscreen, dialogs scripted.
#pragma once

#include "dialogs.h"
#include "program.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace folium::bench {

// Resident memory of the process, in megabytes.
inline double residentMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// The benchmark title: FOLIUM_BENCH_TITLE, or big.m14 of the build.
inline QString benchTitle()
{
    return qEnvironmentVariable("FOLIUM_BENCH_TITLE", QStringLiteral(FOLIUM_BENCH_DIR "/big.m14"));
}

class ProgramFolder {
public:
    // The folder, with the benchmark title linked in under each name given
    // ("big" gives big.m14 and big.mdb). False, with a message, when the
    // title has not been built.
    bool make(std::initializer_list<const char *> names)
    {
        const QFileInfo title(benchTitle());
        if (!title.exists()) {
            std::fprintf(stderr, "no benchmark title at %s: build the target bench-title first (bench/README.md)\n",
                         qPrintable(title.filePath()));
            return false;
        }
        const QString fl = m_dir.filePath(QStringLiteral("FL.mdb"));
        QFile::copy(QStringLiteral(FOLIUM_RUNTIME_DIR "/FL.mdb"), fl);
        QFile::setPermissions(fl, QFile::ReadOwner | QFile::WriteOwner);
        for (const char *name : names) {
            const QString n = QString::fromLatin1(name);
            QFile::link(title.absoluteFilePath(), file(n + QStringLiteral(".m14")));
            QFile::link(title.absolutePath() + u'/' + title.completeBaseName() + QStringLiteral(".mdb"),
                        file(n + QStringLiteral(".mdb")));
        }
        return true;
    }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// A program started on a title of the folder; nullptr, with a message, when
// it does not open it.
inline std::unique_ptr<app::Program> startProgram(const ProgramFolder &folder, config::Dialogs &dialogs,
                                                  const char *title)
{
    auto program = std::make_unique<app::Program>(folder.path(), dialogs);
    if (!program->Main(QString::fromLatin1(title))) {
        std::fprintf(stderr, "the program did not open %s\n", title);
        return nullptr;
    }
    return program;
}

} // namespace folium::bench
