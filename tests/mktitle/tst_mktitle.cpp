// The title compiler: what it generates, what it refuses (with the line),
// that it never leaves half a file, and that the sample editions carry what
// the reader relies on.
#include "compiler.h"
#include "source_access.h"
#include "fold_tokenizer.h"
#include "sqlite.h"
#include "title_file.h"
#include "title_queries.h"
#include "title_schema.h"

#include <QDir>
#include <QImage>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace folium;

namespace {

const QString kFixtureProject = QStringLiteral(FOLIUM_FIXTURE_SRC "/basic/title.xml");
const QString kCompiler = QStringLiteral(FOLIUM_RUNTIME_DIR "/folium-mktitle");

QStringList column(const QString &dbPath, const char *sql)
{
    return testing::queryRows(dbPath, sql, 5);
}

// The topics whose index holds a word, through the title's own tokenizer.
QStringList topicsWith(const QString &m14, const QString &word)
{
    sqlite::Connection db;
    QStringList out;
    if (!db.openUntrustedReadOnly(m14) || !engine::registerFoliumTokenizer(db))
        return out;
    sqlite::Statement st(db, "SELECT rowid FROM fts WHERE fts MATCH ?1 ORDER BY rowid");
    st.bind(1, QStringLiteral("\"%1\"").arg(word));
    while (st.step())
        out << st.text(0);
    return out;
}

// Writes a one-file project whose topic file is given, returning its path.
QString project(const QTemporaryDir &dir, const QString &topics, const QString &database = QString())
{
    QFile t(dir.filePath(QStringLiteral("topics.xml")));
    t.open(QIODevice::WriteOnly);
    t.write(topics.toUtf8());
    QFile p(dir.filePath(QStringLiteral("title.xml")));
    p.open(QIODevice::WriteOnly);
    p.write(QStringLiteral("<title name=\"T\">\n<include href=\"topics.xml\"/>\n%1</title>\n").arg(database).toUtf8());
    return p.fileName();
}

} // namespace

class TestMkTitle : public QObject {
    Q_OBJECT

private slots:
    void manyFilesCompiledAsTheyAreReadKeepTheirOrder()
    {
        // Three topic files of 700 topics each (topics go to the title in
        // batches, files are read side by side), notes in the first and the
        // last: authored topics in include order, then the notes in the
        // order of their calls, each with its text, index and groups.
        QTemporaryDir dir;
        QString includes;
        for (int f = 0; f < 3; ++f) {
            QString topics = QStringLiteral("<topics>\n");
            for (int k = 0; k < 700; ++k) {
                const int n = f * 700 + k;
                const QString note =
                    (f != 1 && k % 100 == 0) ? QStringLiteral("<note>nota%1 appunto</note>").arg(n) : QString();
                topics += QStringLiteral("<topic title=\"/T%1\" data=\"d%1\" context=\"c%1\" groups=\"G%2\">"
                                         "<sr><p>parola%1 comune%3</p></sr></topic>\n")
                              .arg(n)
                              .arg(f)
                              .arg(note);
            }
            QFile t(dir.filePath(QStringLiteral("t%1.xml").arg(f)));
            QVERIFY(t.open(QIODevice::WriteOnly));
            t.write((topics + QStringLiteral("</topics>\n")).toUtf8());
            includes += QStringLiteral("<include href=\"t%1.xml\"/>\n").arg(f);
        }
        QFile p(dir.filePath(QStringLiteral("title.xml")));
        QVERIFY(p.open(QIODevice::WriteOnly));
        p.write(QStringLiteral("<title name=\"Many\">\n%1</title>\n").arg(includes).toUtf8());
        p.close();
        const auto res = mktitle::compileTitle(p.fileName(), dir.filePath(QStringLiteral("Many.m14")));
        QVERIFY2(res.ok, qPrintable(res.errors.join(u'\n')));
        QCOMPARE(res.topics, 2100 + 14);
        QCOMPARE(res.contexts, 2100 + 14 + 14); // and a context at each note call
        const auto t = engine::TitleFile::open(res.m14Path);
        QVERIFY(t);
        for (int n : {0, 255, 256, 699, 700, 1399, 1400, 2099}) {
            QCOMPARE(t->topicTitle(n), QStringLiteral("/T%1").arg(n));
            QCOMPARE(t->context(QStringLiteral("c%1").arg(n))->topic, n);
        }
        // Notes: file 0's seven, then file 2's, in call order.
        const QList<int> callers{0, 100, 200, 300, 400, 500, 600, 1400, 1500, 1600, 1700, 1800, 1900, 2000};
        for (int j = 0; j < callers.size(); ++j) {
            const auto note = t->context(QStringLiteral("Td%1.1").arg(callers[j]));
            QVERIFY(note);
            QCOMPARE(note->topic, 2100 + j);
            const auto rec = t->topic(2100 + j);
            QVERIFY(rec);
            QVERIFY2(rec->sr.contains(QStringLiteral("nota%1").arg(callers[j])), qPrintable(rec->sr));
        }
        QCOMPARE(topicsWith(res.m14Path, QStringLiteral("nota1500")), QStringList{QString::number(2100 + 8)});
        QCOMPARE(topicsWith(res.m14Path, QStringLiteral("parola1399")), QStringList{"1399"});
        QCOMPARE(topicsWith(res.m14Path, QStringLiteral("comune")).size(), 2100);
        QCOMPARE(column(res.m14Path, "SELECT name, first, last FROM search_group ORDER BY name, first"),
                 (QStringList{"G0|0|699", "G1|700|1399", "G2|1400|2099", "NG0|2100|2106", "NG2|2107|2113"}));
    }

    void compilesTheFixtureWithGeneratedContexts()
    {
        QTemporaryDir dir;
        const auto res = mktitle::compileTitle(kFixtureProject, dir.filePath(QStringLiteral("Basic.m14")));
        QVERIFY2(res.ok, qPrintable(res.errors.join(u'\n')));
        QCOMPARE(res.topics, 6 + 11); // six authored topics and eleven notes
        QVERIFY(res.words > 200);
        const auto t = engine::TitleFile::open(res.m14Path);
        QVERIFY(t);
        QCOMPARE(t->name(), QStringLiteral("Fixture"));
        QCOMPARE(t->homeTopic(), 0);
        // Note calls get "N" + data + "." + k at the call, notes "T" + data + "." + k.
        const auto call = t->context(QStringLiteral("N120351.2"));
        QVERIFY(call);
        QCOMPARE(call->topic, 1);
        QCOMPARE(call->anchor, QStringLiteral("hs:2"));
        const auto note = t->context(QStringLiteral("t120351.2"));
        QVERIFY(note);
        const auto rec = t->topic(note->topic);
        QCOMPARE(rec->data, QStringLiteral("120351.2"));
        QCOMPARE(rec->title, QStringLiteral("Nota 2 \u2013 12 marzo 1851, a Luigi"));
        // Regression: a search for a name found every note of a letter to
        // that person through the note's heading, which repeats the letter's
        // title. The heading is shown, not indexed: the notes are found by
        // their text.
        QVERIFY(rec->nsr.contains(QStringLiteral("Luigi")));
        const QStringList withLuigi = topicsWith(res.m14Path, QStringLiteral("luigi"));
        QVERIFY(withLuigi.contains(QStringLiteral("1")));
        QVERIFY(!withLuigi.contains(QString::number(note->topic)));
        QCOMPARE(topicsWith(res.m14Path, QStringLiteral("francese")).size(), 1);
        QVERIFY(note->topic > 5); // notes come after the authored topics
        QVERIFY(!t->browseNeighbour(note->topic, 1));
        // Notes form the groups "N" + their letter's groups, stored as ranges.
        const QStringList groups =
            column(res.m14Path, "SELECT name, first, last FROM search_group ORDER BY name, first");
        QCOMPARE(groups, (QStringList{"A|1|1", "A|3|3", "B|2|3", "NA|6|8", "NB|9|9"}));
        // The hotspot of the note call jumps to the note.
        const auto hs = t->hotspots(1);
        QCOMPARE(int(hs.size()), 3);
        QCOMPARE(hs[1].target, QStringLiteral("T120351.2"));
        QCOMPARE(hs[1].kind, 2);
    }

    void contextStringsWithTheSameHashStayApart()
    {
        // These two names have the same 32-bit hash.
        QCOMPARE(engine::contextHash(u"L49"), engine::contextHash(u"L320752"));
        QTemporaryDir dir;
        const QString proj =
            project(dir, QStringLiteral("<topics>\n"
                                        "<topic title=\"A\" context=\"L49\"><sr><p><a jump=\"L320752\">b</a>"
                                        "</p></sr></topic>\n"
                                        "<topic title=\"B\" context=\"L320752\"><sr><p><a jump=\"L49\">a</a>"
                                        "</p></sr></topic>\n</topics>\n"));
        const auto res = mktitle::compileTitle(proj, dir.filePath(QStringLiteral("H.m14")));
        QVERIFY2(res.ok, qPrintable(res.errors.join(u'\n')));
        const auto t = engine::TitleFile::open(res.m14Path);
        QCOMPARE(t->context(QStringLiteral("L49"))->topic, 0);
        QCOMPARE(t->context(QStringLiteral("l320752"))->topic, 1);
        const auto idA = t->contextId(QStringLiteral("L49"));
        const auto idB = t->contextId(QStringLiteral("L320752"));
        QVERIFY(idA && idB && *idA != *idB);
        // Each jump carries its own target's identifier.
        QCOMPARE(t->hotspots(0)[0].id, *idB);
        QCOMPARE(t->hotspots(1)[0].id, *idA);
        QCOMPARE(t->contextById(*idA)->topic, 0);
        QCOMPARE(t->contextById(*idB)->topic, 1);
    }

    void writesTheTitleDatabase()
    {
        QTemporaryDir dir;
        const auto res = mktitle::compileTitle(kFixtureProject, dir.filePath(QStringLiteral("Basic.m14")));
        QVERIFY(res.ok);
        QCOMPARE(res.mdbPath, dir.filePath(QStringLiteral("Basic.mdb")));
        QCOMPARE(column(res.mdbPath, "SELECT Ordine, Chiave, Titolo, Parente, tipo FROM Item ORDER BY Ordine"),
                 (QStringList{"0|Dsommario|Fixture||f", "1|D1851|1851|Dsommario|f", "2|D120351|First letter|D1851",
                              "3|D120351a|Second letter|D1851"}));
        // The identity row comes first, from the title's file name.
        QCOMPARE(column(res.mdbPath, "SELECT Ordre, Codice, Param1, Param2 FROM Param ORDER BY Ordre"),
                 (QStringList{"1|COD|Basic", "2|NOM|Fixture title", "3|DAT|O", "4|HAS|N", "5|DEB|1851-03-12",
                              "6|GRP|A|Group A", "7|GRP| B |Group B"}));
        QCOMPARE(column(res.mdbPath, "SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name"),
                 (QStringList{"ItemChiave", "ItemParente", "Ordine", "Ordre"}));
    }

    // The reader looks for a title's database under the title's name up to
    // its first dot: the compiler writes it there, and says when another
    // title of the folder shares it.
    void aDottedTitleNameGetsTheDatabaseTheReaderOpens()
    {
        QTemporaryDir dir;
        const auto res = mktitle::compileTitle(kFixtureProject, dir.filePath(QStringLiteral("Basic.finali.m14")));
        QVERIFY2(res.ok, qPrintable(res.errors.join(u'\n')));
        QCOMPARE(res.mdbPath, dir.filePath(QStringLiteral("Basic.mdb")));
        QVERIFY(QFile::exists(res.mdbPath));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Basic.finali.mdb"))));
        QCOMPARE(column(res.mdbPath, "SELECT Codice, Param1 FROM Param WHERE Codice = 'COD'"),
                 QStringList{"COD|Basic"});
        QCOMPARE(res.warnings, QStringList());

        // Basic.m14 beside it now shares Basic.mdb: the next compile of either says so.
        const auto other = mktitle::compileTitle(kFixtureProject, dir.filePath(QStringLiteral("Basic.m14")));
        QVERIFY(other.ok);
        QCOMPARE(other.warnings.size(), 1);
        QVERIFY2(other.warnings[0].contains(QStringLiteral("Basic.mdb")) &&
                     other.warnings[0].contains(QStringLiteral("Basic.finali.m14")),
                 qPrintable(other.warnings[0]));
        QProcess p;
        p.start(kCompiler, {QStringLiteral("-q"), QStringLiteral("-o"),
                            dir.filePath(QStringLiteral("Basic.finali.m14")), kFixtureProject});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(p.readAllStandardError().contains("warning: Basic.mdb is also the title database of Basic.m14"));
    }

    void aMissingOutputFolderIsNamed()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("no/such"));
        const auto res = mktitle::compileTitle(kFixtureProject, missing + QStringLiteral("/X.m14"));
        QVERIFY(!res.ok);
        QCOMPARE(res.errors.size(), 1);
        QVERIFY2(res.errors[0].contains(QStringLiteral("the folder %1 does not exist").arg(missing)),
                 qPrintable(res.errors[0]));
        QVERIFY(!res.errors[0].contains(QStringLiteral(".part")));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("no"))));
    }

    void reportsProblemsWithTheirLines_data()
    {
        QTest::addColumn<QString>("topics");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("expected"); // "line: message", a regular expression
        const QString head = QStringLiteral("<topics>\n<topic title=\"A\" data=\"a\" context=\"a\">\n<sr>\n");
        const QString tail = QStringLiteral("</sr>\n</topic>\n</topics>\n");
        QTest::newRow("unknown element") << head + "<p>x</p>\n<script>x</script>\n" + tail << ""
                                         << "topics.xml:5: element <script> is not allowed in a topic";
        QTest::newRow("bad attribute") << head + "<p onclick=\"x\">x</p>\n" + tail << ""
                                       << "topics.xml:4: attribute onclick is not allowed on <p>";
        QTest::newRow("bad style") << head + "<p style=\"position: fixed\">x</p>\n" + tail << ""
                                   << "topics.xml:4: style property position is not allowed";
        QTest::newRow("missing target") << head + "\n<p><a jump=\"nowhere\">x</a></p>\n" + tail << ""
                                        << "topics.xml:5: hotspot target \"nowhere\" is not a context string";
        QTest::newRow("code target") << head + "<p><a code=\"S9.2\">x</a></p>\n" + tail << ""
                                     << "topics.xml:4: hotspot target \"S9\" is not a context string";
        QTest::newRow("unreadable code") << head + "<p><a code=\"x12\">x</a></p>\n" + tail << ""
                                         << "topics.xml:4: code string \"x12\" must start with";
        QTest::newRow("two kinds") << head + "<p><a code=\"a\" jump=\"a\">x</a></p>\n" + tail << ""
                                   << "topics.xml:4: <a> needs exactly one of code, popup, jump or note";
        QTest::newRow("duplicate context")
            << "<topics>\n<topic title=\"A\" context=\"a\"/>\n<topic title=\"B\" context=\"X A\"/>\n</topics>\n"
            << ""
            << "topics.xml:3: context string \"A\" is already used at .*topics.xml:2";
        QTest::newRow("generated context clash")
            << head + "<p>x<note>n</note></p>\n" + tail.left(tail.size() - 10) +
                   "<topic title=\"B\" context=\"Na.1\"/>\n</topics>\n"
            << ""
            << "topics.xml:7: context string \"Na.1\" is already used at .*topics.xml:4";
        QTest::newRow("note in note") << head + "<p><note>a<note>b</note></note></p>\n" + tail << ""
                                      << "topics.xml:4: a note cannot contain another note";
        QTest::newRow("not well-formed") << head + "<p>x</b>\n" + tail << ""
                                         << "topics.xml:4: .*";
        QTest::newRow("child before parent")
            << head + tail
            << "<database><contents><item key=\"r\" text=\"R\" type=\"f\"/>\n<item key=\"a\" text=\"A\" "
               "parent=\"later\"/>\n<item key=\"later\" text=\"L\" parent=\"r\" type=\"f\"/></contents></database>\n"
            << "title.xml:4: parent \"later\" of contents item \"a\" is not defined before it";
        QTest::newRow("duplicate key")
            << head + tail
            << "<database><contents><item key=\"r\" text=\"R\" type=\"f\">\n<item key=\"a\" text=\"A\"/>\n"
               "<item key=\"a\" text=\"B\"/></item></contents></database>\n"
            << "title.xml:5: contents key \"a\" is already used at .*title.xml:4";
        QTest::newRow("date title key without D")
            << head + tail
            << "<database><param code=\"DAT\" p1=\"O\"/>\n<contents><item key=\"r\" text=\"R\" type=\"f\">\n"
               "<item key=\"a\" text=\"A\"/></item></contents></database>\n"
            << "title.xml:5: contents key \"a\" must start with D";
        // What the reader would cut short: refused at the topic's line.
        QTest::newRow("more line breaks than the reader lays out")
            << head + QStringLiteral("<p>a") + QStringLiteral("<br/>").repeated(5001) + QStringLiteral("</p>\n") + tail
            << QString()
            << "topics.xml:2: the topic's <sr> holds more than the reader lays out: line breaks \\(at most 5000\\)";
        QTest::newRow("a word longer than a line can break")
            << QStringLiteral("<topics>\n<topic title=\"A\" data=\"a\" context=\"a\">\n<nsr><p>") +
                   QString(2001, u'w') + QStringLiteral("</p></nsr>\n</topic>\n</topics>\n")
            << QString() << "topics.xml:2: the topic's <nsr> holds more than the reader lays out: characters without";
        // Nested past the reader's depth, by thousands: refused at the line
        // of the first element too deep, not a crash of the stack.
        QTest::newRow("elements nested too deep")
            << head + QStringLiteral("<p>") + QStringLiteral("<span>\n").repeated(12000) + QStringLiteral("x") +
                   QStringLiteral("</span>").repeated(12000) + QStringLiteral("</p>\n") + tail
            << QString() << "topics.xml:26: elements nest more than 24 deep";
        QTest::newRow("contents items nested too deep")
            << head + tail
            << QStringLiteral("<database><contents>\n") +
                   [] {
                       QString items;
                       for (int i = 0; i < 30000; ++i)
                           items += QStringLiteral("<item key=\"k%1\" text=\"t\" type=\"f\">\n").arg(i);
                       return items;
                   }() +
                   QStringLiteral("</item>").repeated(30000) + QStringLiteral("</contents></database>\n")
            << "title.xml:260: contents items nest more than 256 deep";
        // The compiler reads nothing outside the project: no file named past
        // its folder, nothing that is not a regular file, no image that is
        // none (regression: /etc/passwd was stored as an image, an include
        // of it opened and parsed).
        QTest::newRow("an image outside the project")
            << head + QStringLiteral("<p><img src=\"../../../../../../../../etc/passwd\"/></p>\n") + tail << QString()
            << "topics.xml:4: image file /etc/passwd is outside the project's folder";
        QTest::newRow("an include outside the project")
            << head + tail << QStringLiteral("<include href=\"/etc/passwd\"/>\n")
            << "title.xml:3: topic file /etc/passwd is outside the project's folder";
        QTest::newRow("an image declared outside the project")
            << head + tail << QStringLiteral("<image name=\"e.png\" href=\"/proc/self/environ\"/>\n")
            << "title.xml:3: image file /proc/self/environ \\(which is /proc/[0-9]+/environ\\) is outside the "
               "project's folder";
        QTest::newRow("an image that is no image")
            << head + QStringLiteral("<p><img src=\"topics.xml\"/></p>\n") + tail << QString()
            << "topics.xml:4: image file .*topics.xml is not a PNG, JPEG or GIF image";
        // Bytes that are not UTF-8 (regression: stored as they came); a
        // region of text past what a page may hold, refused as soon as it is
        // reached (regression: 7 GB of memory for a 1 GB text, then an
        // internal message).
        QTest::newRow("text that is not UTF-8") << head + QStringLiteral("<p>ok</p>\n<p>caf@@BAD@@</p>\n") + tail
                                                << QString() << "topics.xml:5: Invalid UTF-8";
        QTest::newRow("a region past its budget")
            << head + QStringLiteral("<p>") + QString(9 << 20, u'w') + QStringLiteral("</p>\n") + tail << QString()
            << "topics.xml:4: the topic's text is more than a page may hold \\(8 MB\\)";
        QTest::newRow("bad date") << head + tail << "<database>\n<param code=\"DEB\" p1=\"12/03/1851\"/></database>\n"
                                  << "title.xml:4: DEB \"12/03/1851\" is not a date";
    }

    void reportsProblemsWithTheirLines()
    {
        QFETCH(QString, topics);
        QFETCH(QString, database);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString proj = project(dir, topics, database);
        // "@@BAD@@" stands for bytes that are not UTF-8.
        QFile written(dir.filePath(QStringLiteral("topics.xml")));
        QVERIFY(written.open(QIODevice::ReadWrite));
        const QByteArray bytes = written.readAll().replace("@@BAD@@", "\xff\xc3(");
        written.resize(0);
        written.write(bytes);
        written.close();
        const QString out = dir.filePath(QStringLiteral("T.m14"));
        // An older title in place must survive a failed compile untouched.
        QFile::copy(QStringLiteral(FOLIUM_FIXTURE_OUT "/basic.m14"), out);
        const QByteArray before = [&] {
            QFile f(out);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        const auto res = mktitle::compileTitle(proj, out);
        QVERIFY(!res.ok);
        const QRegularExpression re(QStringLiteral("^") + QDir(dir.path()).absolutePath() + u'/' + expected);
        bool found = false;
        for (const QString &e : res.errors)
            found = found || re.match(QDir::cleanPath(e)).hasMatch() || re.match(e).hasMatch();
        QVERIFY2(found, qPrintable(res.errors.join(u'\n')));
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("T.mdb"))));
        QVERIFY(!QFile::exists(out + QStringLiteral(".part")));
        // Only the author's words: no message of the database underneath.
        for (const QString &e : res.errors)
            QVERIFY2(!e.contains(QStringLiteral("constraint")) && !e.contains(QStringLiteral("SQL")), qPrintable(e));
    }

    // The same rules for what the project's files lead to: a link out of the
    // folder, a pipe in it; a folder named for the compile may be read.
    void readsOnlyRegularFilesOfItsFolders()
    {
        QTemporaryDir dir, elsewhere;
        QVERIFY(QFile::link(QStringLiteral("/proc/self/environ"), dir.filePath(QStringLiteral("env.png"))));
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.png"))).constData(), 0600) == 0);
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(elsewhere.filePath(QStringLiteral("red.png"))));
        const QString head = QStringLiteral("<topics>\n<topic title=\"A\" data=\"a\" context=\"a\">\n<sr>\n");
        const QString proj = project(
            dir,
            head + QStringLiteral(
                       "<p><img src=\"env.png\"/></p>\n<p><img src=\"pipe.png\"/></p>\n</sr>\n</topic>\n</topics>\n"),
            QStringLiteral("<image name=\"red.png\" href=\"%1\"/>\n")
                .arg(elsewhere.filePath(QStringLiteral("red.png"))));
        auto res = mktitle::compileTitle(proj, dir.filePath(QStringLiteral("T.m14")));
        QVERIFY(!res.ok);
        const QString all = res.errors.join(u'\n');
        QVERIFY2(all.contains(QStringLiteral("topics.xml:4: image file ")) &&
                     all.contains(QStringLiteral("env.png (which is /proc/")),
                 qPrintable(all));
        QVERIFY2(all.contains(QStringLiteral("topics.xml:5: image file ")) &&
                     all.contains(QStringLiteral("pipe.png is not a regular file")),
                 qPrintable(all));
        QVERIFY2(all.contains(QStringLiteral("title.xml:3: image file ")) &&
                     all.contains(QStringLiteral("red.png is outside")),
                 qPrintable(all));
        // Named with --allow-folder, the other folder may be read.
        const QString fine = project(dir, head + QStringLiteral("<p>x</p>\n</sr>\n</topic>\n</topics>\n"),
                                     QStringLiteral("<image name=\"red.png\" href=\"%1\"/>\n")
                                         .arg(elsewhere.filePath(QStringLiteral("red.png"))));
        res = mktitle::compileTitle(fine, dir.filePath(QStringLiteral("T.m14")), {{elsewhere.path()}});
        QVERIFY2(res.ok, qPrintable(res.errors.join(u'\n')));
    }

    // A topic file is read whole: one larger than a topic file may be is
    // refused at the include that names it, before a byte of it is read
    // (regression: a 1 GB text cost 7 GB of memory before its error).
    void aTopicFileTooLargeIsRefusedUnread()
    {
        QTemporaryDir dir;
        QFile big(dir.filePath(QStringLiteral("big.xml")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(mktitle::SourceAccess::kMaxTopicFileBytes + 1)); // sparse: nothing written
        big.close();
        QFile p(dir.filePath(QStringLiteral("title.xml")));
        QVERIFY(p.open(QIODevice::WriteOnly));
        p.write("<title name=\"T\">\n<include href=\"big.xml\"/>\n</title>\n");
        p.close();
        const auto res = mktitle::compileTitle(p.fileName(), dir.filePath(QStringLiteral("T.m14")));
        QVERIFY(!res.ok);
        QVERIFY2(
            res.errors.join(u'\n').contains(QStringLiteral("title.xml:2: topic file big.xml is larger than 64 MB")),
            qPrintable(res.errors.join(u'\n')));
    }

    // Regression: a DOCTYPE in the project file was reported only as a
    // project without <title> at its root.
    void aDoctypeIsNamedAsTheProblem()
    {
        QTemporaryDir dir;
        QFile p(dir.filePath(QStringLiteral("title.xml")));
        QVERIFY(p.open(QIODevice::WriteOnly));
        p.write("<?xml version=\"1.0\"?>\n<!DOCTYPE title SYSTEM \"title.dtd\">\n<title name=\"T\"/>\n");
        p.close();
        const auto res = mktitle::compileTitle(p.fileName(), dir.filePath(QStringLiteral("T.m14")));
        QVERIFY(!res.ok);
        QCOMPARE(res.errors.size(), 1);
        QVERIFY2(res.errors[0].contains(QStringLiteral("title.xml:2: a DOCTYPE")), qPrintable(res.errors[0]));
    }

    // Ended by a signal (a Ctrl+C, a kill), the compiler leaves nothing
    // half-written beside the title: no .part file, no journal, no
    // temporary file of its own.
    void aCompileEndedByASignalLeavesNoPartFile()
    {
        QTemporaryDir dir;
        QFile p(dir.filePath(QStringLiteral("title.xml")));
        QVERIFY(p.open(QIODevice::WriteOnly));
        p.write("<title name=\"Big\">\n");
        for (int f = 0; f < 40; ++f) {
            QFile t(dir.filePath(QStringLiteral("t%1.xml").arg(f)));
            QVERIFY(t.open(QIODevice::WriteOnly));
            t.write("<topics>\n");
            for (int i = 0; i < 2000; ++i)
                t.write(QStringLiteral("<topic title=\"T%1_%2\" data=\"d%1_%2\" context=\"c%1_%2\"><sr><p>parola%2 "
                                       "comune testo<note>nota %2</note> ancora testo e testo</p></sr></topic>\n")
                            .arg(f)
                            .arg(i)
                            .toUtf8());
            t.write("</topics>\n");
            p.write(QStringLiteral("<include href=\"t%1.xml\"/>\n").arg(f).toUtf8());
        }
        p.write("</title>\n");
        p.close();
        const QString out = dir.filePath(QStringLiteral("out/Big.m14"));
        QDir().mkpath(dir.filePath(QStringLiteral("out")));
        QProcess c;
        c.start(kCompiler, {QStringLiteral("-o"), out, p.fileName()});
        QVERIFY(c.waitForStarted());
        // Once it has begun to write, it is ended.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out + QStringLiteral(".part")) || c.state() == QProcess::NotRunning,
                                 20000);
        if (c.state() == QProcess::NotRunning)
            QSKIP("the compile ended before it could be interrupted");
        c.terminate();
        QVERIFY(c.waitForFinished());
        QCOMPARE(c.exitStatus(), QProcess::CrashExit);
        QCOMPARE(QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void commandLine()
    {
        QProcess p;
        p.start(kCompiler, {QStringLiteral("--help")});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(p.readAllStandardOutput().contains("Usage: folium-mktitle"));

        QTemporaryDir dir;
        p.start(kCompiler, {QStringLiteral("-o"), dir.filePath(QStringLiteral("B.m14")), kFixtureProject});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 0);
        const QString summary = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        QVERIFY2(QRegularExpression(QStringLiteral("^B\\.m14: 17 topics, 31 context strings, \\d+ words indexed, "
                                                   "[0-9.]+ s$"))
                     .match(summary)
                     .hasMatch(),
                 qPrintable(summary));

        const QString bad = project(dir, QStringLiteral("<topics>\n<topic title=\"A\">\n<sr><p><a jump=\"z\">x</a></p>"
                                                        "</sr></topic></topics>"));
        p.start(kCompiler, {QStringLiteral("-o"), dir.filePath(QStringLiteral("C.m14")), bad});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(p.readAllStandardError().contains("topics.xml:3: hotspot target \"z\""));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("C.m14"))));
    }

    void lettereEditionCarriesWhatTheReaderNeeds()
    {
        const QString m14 = QStringLiteral(FOLIUM_RUNTIME_DIR "/Lettere.m14");
        const QString mdb = QStringLiteral(FOLIUM_RUNTIME_DIR "/Lettere.mdb");
        const auto t = engine::TitleFile::open(m14);
        QVERIFY(t);
        QCOMPARE(t->topic(t->homeTopic())->data, QStringLiteral("sommario"));
        for (const char *c :
             {"IndiceAnalitico", "IndiceNomi", "IndiceLocalita", "IndiceDestinatari", "IndiceSinottico"})
            QVERIFY2(t->context(QString::fromLatin1(c)), c);
        const QStringList letters = column(m14, "SELECT data FROM topic WHERE title LIKE '/%'");
        QVERIFY2(letters.size() >= 40, qPrintable(QString::number(letters.size())));
        QSet<QString> years;
        int secondOfDay = 0;
        static const QRegularExpression date(QStringLiteral("^(\\d\\d)(\\d\\d)(\\d\\d)(a?)$"));
        for (const QString &d : letters) {
            const auto m = date.match(d);
            QVERIFY2(m.hasMatch(), qPrintable(d));
            QVERIFY2(t->context(d), qPrintable(d));
            years << m.captured(3);
            secondOfDay += m.captured(4) == u"a";
        }
        QVERIFY(years.size() >= 3);
        QVERIFY(secondOfDay >= 1);
        QVERIFY(column(m14, "SELECT count(*) FROM topic WHERE title LIKE 'Nota%'").value(0).toInt() >= 40);
        QVERIFY(column(m14, "SELECT count(*) FROM hotspot WHERE kind = 1").value(0).toInt() >= 1);
        // Parameters.
        const QStringList params = column(mdb, "SELECT Codice, Param1 FROM Param ORDER BY Ordre");
        QCOMPARE(params.value(0), QStringLiteral("COD|Lettere"));
        QVERIFY(params.contains(QStringLiteral("DAT|O")));
        QVERIFY(params.filter(QRegularExpression(QStringLiteral("^HAS\\|"))).size() == 1);
        QVERIFY(!params.contains(QStringLiteral("HAS|O")));
        QVERIFY(!params.filter(QRegularExpression(QStringLiteral("^NOM\\|."))).isEmpty());
        QVERIFY(!params.filter(QRegularExpression(QStringLiteral("^DEB\\|\\d{4}-"))).isEmpty());
        const QStringList groups = column(mdb, "SELECT Param1 FROM Param WHERE Codice = 'GRP'");
        QVERIFY(groups.size() >= 3);
        for (const QString &g : groups) {
            const QString n = u'N' + g.trimmed();
            QVERIFY2(
                column(m14, qPrintable(QStringLiteral("SELECT count(*) FROM search_group WHERE name = '%1'").arg(n)))
                        .value(0)
                        .toInt() > 0,
                qPrintable(n));
        }
        // A contents tree three levels deep, keyed "D" + context.
        const QStringList deep = column(mdb, "SELECT c.Chiave FROM Item c JOIN Item p ON c.Parente = p.Chiave "
                                             "JOIN Item r ON p.Parente = r.Chiave WHERE r.Ordine = 0");
        QVERIFY(!deep.isEmpty());
        for (const QString &k : deep)
            QVERIFY2(k.startsWith(u'D') && t->context(k.mid(1)), qPrintable(k));
    }

    void carteggioEditionUsesLetterReferences()
    {
        const QString m14 = QStringLiteral(FOLIUM_RUNTIME_DIR "/Carteggio.m14");
        const QString mdb = QStringLiteral(FOLIUM_RUNTIME_DIR "/Carteggio.mdb");
        const auto t = engine::TitleFile::open(m14);
        QVERIFY(t);
        QVERIFY(t->context(QStringLiteral("SMK1")));
        QVERIFY(t->context(QStringLiteral("NSMK1.1")));
        const QStringList params = column(mdb, "SELECT Codice, Param1 FROM Param ORDER BY Ordre");
        QCOMPARE(params.value(0), QStringLiteral("COD|Carteggio"));
        QVERIFY(params.contains(QStringLiteral("DAT|S")));
        QVERIFY(params.contains(QStringLiteral("HAS|O")));
    }
};

QTEST_MAIN(TestMkTitle)
#include "tst_mktitle.moc"
