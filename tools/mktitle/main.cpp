// folium-mktitle: compiles a title project into a .m14 title and its title
// database.
#include "compiler.h"
#include "part_files.h"
#include "tei_import.h"
#include "sqlite.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

#include <sys/resource.h>

namespace {

const char *const kUsage = R"(Usage: folium-mktitle [-o OUTPUT.m14] PROJECT.xml
       folium-mktitle --tei SOURCE... -o OUTPUT.m14 [options]

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

With --tei, the SOURCEs are TEI P5 letters (files, or folders searched for
*.xml): each letter becomes a topic dated and titled from its correspondence
description, its notes note topics, with the contents by year, a subset
per year and per correspondent of many letters, and the indexes of
correspondents, persons, places, organisations and works, and the synoptic
table. Options of --tei:
  --name TEXT         the title's name (default: the edition's title)
  --lang it|fr|en|de  the language of the title's own words (default: the
                      language most letters are written in)
  --manifest FILE     a tab-separated list of the letters: source, context
                      string, topic title, date, reference
  --emit-source DIR   the title project made, in a new or empty folder
  --skip-bad          leave out the letters of files in error, name them,
                      and write the title with the others
  --keep-hyphens      keep a hyphen before a line break as it stands (by
                      default a hyphen right after a letter and before <lb/>
                      or <pb/> joins the two halves of the word)
  --map FILE          the edition's mapping file: its name, language, what
                      is letter text, titles, dates, contents, subsets,
                      indexes, registers (see docs/tei-import.md)
  --register FILE     a register file (TEI listPerson, listPlace, listOrg,
                      listBibl) the letters' @ref and @key point into; may
                      be given more than once

The source format is described in docs/title-source.md, the TEI import in
docs/tei-import.md.
)";

int needsValue(const QString &option, QTextStream &err)
{
    err << "folium-mktitle: " << option << " needs a value\n" << kUsage;
    return 2;
}

int runTei(const QStringList &args, QTextStream &out, QTextStream &err)
{
    folium::mktitle::TeiImportOptions o;
    bool quiet = false;
    bool timing = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const auto value = [&](QString *into) {
            if (i + 1 >= args.size())
                return false;
            *into = args[++i];
            return true;
        };
        if (a == u"--tei") {
            continue;
        } else if (a == u"-q" || a == u"--quiet") {
            quiet = true;
        } else if (a == u"-o" || a == u"--output") {
            if (!value(&o.output))
                return needsValue(a, err);
        } else if (a == u"--name") {
            if (!value(&o.name))
                return needsValue(a, err);
        } else if (a == u"--lang") {
            if (!value(&o.language))
                return needsValue(a, err);
            if (o.language != u"it" && o.language != u"fr" && o.language != u"en" && o.language != u"de") {
                err << "folium-mktitle: --lang takes it, fr, en or de\n";
                return 2;
            }
        } else if (a == u"--manifest") {
            if (!value(&o.manifest))
                return needsValue(a, err);
        } else if (a == u"--emit-source") {
            if (!value(&o.emitSource))
                return needsValue(a, err);
        } else if (a == u"--allow-folder") {
            QString f;
            if (!value(&f))
                return needsValue(a, err);
            o.allowedFolders << f;
        } else if (a == u"-t" || a == u"--timing") {
            timing = true;
        } else if (a == u"--skip-bad") {
            o.skipBad = true;
        } else if (a == u"--keep-hyphens") {
            o.joinLineEndHyphens = false;
            o.keepHyphensGiven = true;
        } else if (a == u"--map") {
            if (!value(&o.mapping))
                return needsValue(a, err);
        } else if (a == u"--register") {
            QString f;
            if (!value(&f))
                return needsValue(a, err);
            o.registers << f;
        } else if (a.startsWith(u'-') && a.size() > 1) {
            err << "folium-mktitle: unknown option " << a << "\n" << kUsage;
            return 2;
        } else {
            o.sources << a;
        }
    }
    if (o.sources.isEmpty() || o.output.isEmpty()) {
        err << "folium-mktitle: --tei needs its TEI files or folders and -o OUTPUT.m14\n" << kUsage;
        return 2;
    }
    const auto r = folium::mktitle::importTei(o);
    for (const QString &e : r.errors)
        err << e << '\n';
    for (const QString &e : r.leftOut)
        err << e << '\n';
    for (const QString &w : r.warnings)
        err << w << '\n';
    if (!r.ok)
        return 1;
    if (!r.leftOut.isEmpty())
        err << "folium-mktitle: warning: the letters of the files above are left out of the title (" << r.leftOut.size()
            << " problems)\n";
    if (!quiet)
        for (const QString &line : folium::mktitle::teiSummary(r))
            out << line << '\n';
    if (timing) {
        out << QStringLiteral("  read and convert the letters: %1 s\n").arg(r.readSeconds, 0, 'f', 2);
        for (const auto &[name, seconds] : r.compile.phases)
            out << QStringLiteral("  %1: %2 s\n").arg(name).arg(seconds, 0, 'f', 2);
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    folium::sqlite::configure();
    folium::mktitle::removePartFilesOnSignals();
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QTextStream out(stdout);
    QString project, output;
    folium::mktitle::CompileOptions options;
    bool quiet = false;
    bool timing = false;
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--tei")) && !args.contains(QStringLiteral("-h")) &&
        !args.contains(QStringLiteral("--help")))
        return runTei(args, out, err);
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
