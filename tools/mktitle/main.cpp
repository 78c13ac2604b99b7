// folium-mktitle: compiles a title project into a .m14 title and its title
// database.
#include "compiler.h"
#include "part_files.h"
#include "sqlite_handle.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

#include <sys/resource.h>

namespace {

const char *const kUsage = R"(Usage: folium-mktitle [-o OUTPUT.m14] PROJECT.xml

Compiles a title project (a project file and the topic files it includes)
into a Folium title OUTPUT.m14 and its title database beside it, named
after the title up to the first dot: Lettere.finali.m14 gets Lettere.mdb.
Without -o, the title is written to the current folder under the name of
the project file with the extension .m14.

Problems are reported one per line as "file:line: message"; if there is any,
nothing is written and the exit status is 1. On success one summary line
gives the topics, context strings, words indexed and the time taken.

Options:
  -o, --output FILE   the title to write (its title database goes beside it)
  --allow-folder DIR  a folder besides the project's own that its includes
                      and images may be read from (may be given more than
                      once); nothing outside these folders is read
  -q, --quiet         no summary line
  -t, --timing        the time of each step after the summary
  -h, --help          this text

The source format is described in docs/title-source.md.
)";

} // namespace

int main(int argc, char *argv[])
{
    folium::engine::configureSqlite();
    folium::mktitle::removePartFilesOnSignals();
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QTextStream out(stdout);
    QString project, output;
    folium::mktitle::CompileOptions options;
    bool quiet = false;
    bool timing = false;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == u"-h" || a == u"--help") {
            out << kUsage;
            return 0;
        }
        if (a == u"-q" || a == u"--quiet") {
            quiet = true;
        } else if (a == u"-t" || a == u"--timing") {
            timing = true;
        } else if (a == u"-o" || a == u"--output") {
            if (i + 1 >= args.size()) {
                err << "folium-mktitle: " << a << " needs a file name\n" << kUsage;
                return 2;
            }
            output = args[++i];
        } else if (a == u"--allow-folder") {
            if (i + 1 >= args.size()) {
                err << "folium-mktitle: " << a << " needs a folder\n" << kUsage;
                return 2;
            }
            options.allowedFolders << args[++i];
        } else if (a.startsWith(u'-')) {
            err << "folium-mktitle: unknown option " << a << "\n" << kUsage;
            return 2;
        } else if (project.isEmpty()) {
            project = a;
        } else {
            err << "folium-mktitle: only one project file, please\n";
            return 2;
        }
    }
    if (project.isEmpty()) {
        err << kUsage;
        return 2;
    }
    if (output.isEmpty())
        output = QFileInfo(project).completeBaseName() + QStringLiteral(".m14");
    const auto res = folium::mktitle::compileTitle(project, output, options);
    for (const QString &e : res.errors)
        err << e << '\n';
    for (const QString &w : res.warnings)
        err << w << '\n';
    if (!res.ok)
        return 1;
    if (!quiet)
        out << QStringLiteral("%1: %2 topics, %3 context strings, %4 words indexed, %5 s\n")
                   .arg(QFileInfo(res.m14Path).fileName())
                   .arg(res.topics)
                   .arg(res.contexts)
                   .arg(res.words)
                   .arg(res.seconds, 0, 'f', 2);
    if (timing) {
        for (const auto &[name, seconds] : res.phases)
            out << QStringLiteral("  %1: %2 s\n").arg(name).arg(seconds, 0, 'f', 2);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        out << QStringLiteral("  text: %1 bytes\n  peak memory: %2 MB\n")
                   .arg(res.sourceBytes)
                   .arg(usage.ru_maxrss / 1024.0, 0, 'f', 1);
    }
    return 0;
}
