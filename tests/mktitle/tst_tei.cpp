// TEI letter editions imported as titles, opened with the engine the
// reader uses: the words a search finds and does not find, date and letter
// jumps, notes however the edition calls them, the contents tree, and the
// files an import writes or refuses to write.
#include "contents_model.h"
#include "dao.h"
#include "item_roles.h"
#include "part_files.h"
#include "sqlite.h"
#include "tei_import.h"
#include "title_file.h"
#include "title_queries.h"
#include "topicview.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace folium;

namespace {

const QString kEdition = QStringLiteral(FOLIUM_FIXTURE_SRC "/tei/edition");
const QString kTei = QStringLiteral(FOLIUM_FIXTURE_SRC "/tei");
const QString kImported = QStringLiteral(FOLIUM_FIXTURE_OUT "/tei.m14");
const QString kCompiler = QStringLiteral(FOLIUM_RUNTIME_DIR "/folium-mktitle");

mktitle::TeiImportResult import(const QStringList &sources, const QString &out,
                                const std::function<void(mktitle::TeiImportOptions &)> &more = {})
{
    mktitle::TeiImportOptions o;
    o.sources = sources;
    o.output = out;
    if (more)
        more(o);
    return mktitle::importTei(o);
}

QStringList rows(const QString &dbPath, const char *sql)
{
    return testing::queryRows(dbPath, sql);
}

// The tree the contents model shows: "text(child child ...)".
QString shape(title::ContentsModel &m, const QModelIndex &parent = {}, int depth = 0)
{
    QStringList parts;
    if (m.canFetchMore(parent))
        m.fetchMore(parent);
    for (int i = 0; i < m.rowCount(parent); ++i) {
        const QModelIndex c = m.index(i, 0, parent);
        if (depth >= 1 && m.canFetchMore(c))
            m.fetchMore(c);
        const QString below = depth < 1 ? shape(m, c, depth + 1) : QString::number(m.rowCount(c));
        parts << c.data(forms::TagRole).toString() +
                     (below.isEmpty() || below == u"0" ? QString() : u'(' + below + u')');
    }
    return parts.join(u' ');
}

// A letter of the smallest kind, for editions made in a test.
QByteArray letter(const QString &when, const QString &body, const QString &idno = {}, const QString &extra = {})
{
    return QStringLiteral("<?xml version=\"1.0\"?>\n<?xml-model href=\"tei_all.rng\"?>\n"
                          "<TEI xmlns=\"http://www.tei-c.org/ns/1.0\"><teiHeader><fileDesc>"
                          "<titleStmt><title>Prove</title></titleStmt><publicationStmt><p/>%3</publicationStmt>"
                          "<sourceDesc><p/></sourceDesc></fileDesc><profileDesc><correspDesc>"
                          "<correspAction type=\"sent\"><persName>Ada Rossi</persName><date when=\"%1\"/>"
                          "</correspAction><correspAction type=\"received\"><persName>Bice Neri</persName>"
                          "</correspAction></correspDesc></profileDesc>%4</teiHeader>"
                          "<text><body>%2</body></text></TEI>\n")
        .arg(when, body, idno.isEmpty() ? QString() : QStringLiteral("<idno>%1</idno>").arg(idno), extra)
        .toUtf8();
}

bool write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

class TestTei : public QObject {
    Q_OBJECT

    std::unique_ptr<engine::TopicView> m_view;
    std::shared_ptr<engine::TitleFile> m_title;

    int topicOf(const QString &context) const
    {
        const auto c = m_title->context(context);
        return c ? c->topic : -1;
    }

    // The topics a whole-title search finds.
    QList<int> found(const QString &query) { return testing::topicsFound(*m_view, query); }

private slots:
    void initTestCase()
    {
        m_view = std::make_unique<engine::TopicView>();
        m_view->resize(600, 400);
        m_view->setViewTitle(kImported);
        QCOMPARE(m_view->lastError(), 0);
        m_title = m_view->titleFile();
        QVERIFY(m_title);
    }

    void cleanupTestCase()
    {
        m_title.reset();
        m_view.reset();
    }

    // The words of each letter as the reader searches them: kept whole
    // across line breaks and inline markup as the edition marks them,
    // apart at blocks and breaks; deletions, abbreviations, folio marks
    // and registers no words of the letter.
    void wordsOfEachLetter_data()
    {
        QTest::addColumn<QString>("letter");
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<QStringList>("notFound");
        const auto row = [](const char *file, const char *key, const char *must, const char *mustNot) {
            QTest::newRow(file) << QString::fromLatin1(key) << QString::fromUtf8(must).split(u' ')
                                << QString::fromUtf8(mustNot).split(u' ');
        };
        row("01/001", "SMK1", "amicizia Biblioteca Professore aiuto lettera stato prestato impresa Hannover",
            "Prof ajuto lettra cizia teca Biblio statoprestato impresaAlbrici");
        row("01/002", "SMK2", "geschrieben Verhältnisse Wissenschaft Dr empfangen Liederblättern linea",
            "sag gesagen Verhält nisse Wis senschaft 12v empfangenGemeint");
        row("01/003", "SMK3", "amitié reconnaissance botanique savoir planches coloriées rien depuis vite patientent",
            "sçavoir ami tié recon naissance bota nique planchescoloriées riendepuis");
        row("01/004", "SMK4", "semi giardiniere pioggia finalmente bulbi quaderno correzioni", "semiSemi correzioniLe");
        row("01/005", "SMK5", "Buchhändler Ihre Freundin Husten", "IhreFreundin Buch händler");
        row("01/006", "SMK6", "Urgente corrispondente dodici perpetuo Annibale Roverselli",
            "perpetuoAnnibale socioQuota");
        row("02/001", "SMK7", "Mme enfin épreuves", "135v 135venfin");
        row("02/002", "SMK8", "komme Rechnung begleichen Franken Thüringen", "ko mm begleichenDie ThüringenWendt");
        row("02/003", "SMK9", "tedesco tipografia Pasqua arriva compositori", "n1 a1");
        row("02/004", "SMK10", "Savoie Croyez Mercadier oignons retour Mathurin",
            "SavoieCroyez DesrochesMonsieur retourMathurin panachée caw10");
        row("02/005", "SMK11", "Tulpenzwiebeln angekommen gepflanzt Savoyer berichtet",
            "Nachbar Grobian abkaufen Kupferstecher Philologe Lugdunensis Gelehrtengesellschaft Imola Celle "
            "Scrittrice");
    }

    void wordsOfEachLetter()
    {
        QFETCH(QString, letter);
        QFETCH(QStringList, found);
        QFETCH(QStringList, notFound);
        const int topic = topicOf(letter);
        QVERIFY(topic >= 0);
        for (const QString &w : found)
            QVERIFY2(this->found(u'"' + w + u'"').contains(topic), qPrintable(w + QStringLiteral(" not found")));
        for (const QString &w : notFound)
            QVERIFY2(!this->found(u'"' + w + u'"').contains(topic), qPrintable(w + QStringLiteral(" found")));
        // The words the edition joins or rebuilds stand in one letter only.
        for (const char *w : {"amicizia", "Biblioteca", "geschrieben", "Wissenschaft", "Buchhändler", "komme", "Mme"})
            QCOMPARE(this->found(QStringLiteral("\"%1\"").arg(QString::fromUtf8(w))).size(), 1);
    }

    // A day's date finds its letters in order (a, b for the second and
    // third), a letter's number and note number find the letter and the
    // note call, as the reader's date and letter fields ask for them.
    void datesAndLetterNumbersJump()
    {
        QCOMPARE(topicOf(QStringLiteral("140368")), topicOf(QStringLiteral("SMK1")));
        QCOMPARE(topicOf(QStringLiteral("210670")), topicOf(QStringLiteral("SMK4")));
        QCOMPARE(topicOf(QStringLiteral("210670a")), topicOf(QStringLiteral("SMK7")));
        QCOMPARE(topicOf(QStringLiteral("210670b")), topicOf(QStringLiteral("SMK8")));
        QCOMPARE(topicOf(QStringLiteral("210670c")), -1);
        // A month, a year, a range or no date: no day to find it by.
        QCOMPARE(topicOf(QStringLiteral("001168")), -1);
        const auto call = m_title->context(QStringLiteral("NSMK11.3"));
        QVERIFY(call);
        QCOMPARE(call->topic, topicOf(QStringLiteral("SMK11")));
        QCOMPARE(call->anchor, QStringLiteral("hs:3"));
        QCOMPARE(m_view->JumpContext(QStringLiteral("SMK9")), 0);
        QCOMPARE(m_view->TopicIndex(), topicOf(QStringLiteral("SMK9")));
        QCOMPARE(m_title->topicTitle(m_view->TopicIndex()),
                 QStringLiteral("/1 febbraio \u2013 15 marzo 1871, Pietro Sandrelli a Giulia Albrici"));
        QCOMPARE(m_title->topicTitle(topicOf(QStringLiteral("SMK5"))), QStringLiteral("/30 gennaio 1869, Lettera 5"));
        QCOMPARE(m_title->topicTitle(topicOf(QStringLiteral("SMK11"))),
                 QStringLiteral("/senza data, Heinrich Wendt a Camille Desroches"));
        // Letters by date, then notes outside the browse sequence.
        QList<int> order;
        for (int t = topicOf(QStringLiteral("SMK1")); t >= 0; t = m_title->browseNeighbour(t, 1).value_or(-1))
            order << t;
        QList<int> expected;
        for (int k : {1, 2, 3, 6, 5, 4, 7, 8, 9, 10, 11})
            expected << topicOf(QStringLiteral("SMK%1").arg(k));
        QCOMPARE(order, expected);
    }

    // Notes numbered per letter in reading order, however the edition
    // calls them; their words are found in the note, not in the letter.
    void notesInReadingOrder_data()
    {
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("word");
        QTest::newRow("inline, glued to a word") << "TSMK1.1"
                                                 << "Appennino";
        QTest::newRow("its own number dropped") << "TSMK2.2"
                                                << "Besprechung";
        QTest::newRow("inside a list item") << "TSMK4.3"
                                            << "conservate";
        QTest::newRow("called by ptr") << "TSMK9.1"
                                       << "fascicolo";
        QTest::newRow("called by an empty ref") << "TSMK9.2"
                                                << "soltanto";
        QTest::newRow("pointing at an anchor") << "TSMK9.3"
                                               << "cartiera";
        QTest::newRow("never called, listed after") << "TSMK9.4"
                                                    << "intestata";
        QTest::newRow("holding a note") << "TSMK11.1"
                                        << "Vgl";
        QTest::newRow("held by a note") << "TSMK11.2"
                                        << "Gärtner";
        QTest::newRow("inside a deletion") << "TSMK11.3"
                                           << "Streichung";
    }

    void notesInReadingOrder()
    {
        QFETCH(QString, note);
        QFETCH(QString, word);
        const int topic = topicOf(note);
        QVERIFY(topic >= 0);
        QCOMPARE(found(u'"' + word + u'"'), QList<int>{topic});
        const auto rec = m_title->topic(topic);
        QVERIFY(rec);
        QVERIFY(rec->title.startsWith(QStringLiteral("Nota ") + note.section(u'.', 1)));
        QVERIFY(!m_title->browseNeighbour(topic, 1));
    }

    void notesCallEachOther()
    {
        // The note label the source writes ("3") is not repeated.
        const auto second = m_title->topic(topicOf(QStringLiteral("TSMK2.2")));
        QVERIFY(second->sr.contains(QStringLiteral("Die Besprechung")));
        QVERIFY(!second->sr.contains(QStringLiteral(">3<")));
        QCOMPARE(m_title->context(QStringLiteral("TSMK2.3")), std::nullopt);
        // The outer note's text jumps to the note it held.
        const auto hs = m_title->hotspots(topicOf(QStringLiteral("TSMK11.1")));
        QCOMPARE(int(hs.size()), 1);
        QCOMPARE(hs[0].target, QStringLiteral("TSMK11.2"));
        // A letter's hotspots are its note calls, in order.
        const auto calls = m_title->hotspots(topicOf(QStringLiteral("SMK9")));
        QCOMPARE(int(calls.size()), 4);
        for (int k = 0; k < 4; ++k) {
            QVERIFY(calls[size_t(k)].noteCall);
            QCOMPARE(calls[size_t(k)].target, QStringLiteral("TSMK9.%1").arg(k + 1));
        }
        // The words of a deletion around a note are shown, struck out.
        const auto deleted = m_title->topic(topicOf(QStringLiteral("SMK11")));
        QVERIFY(deleted->sr.contains(QStringLiteral("Grobian")));
    }

    // What a letter shows besides its words: the letter's layout, its
    // quotation marks, folio marks, deletions, a missing figure's
    // description, calls side by side.
    void lettersLaidOut()
    {
        const auto sr = [this](const char *letter) { return m_title->topic(topicOf(QString::fromLatin1(letter)))->sr; };
        QVERIFY(sr("SMK2").contains(QStringLiteral("<p align=\"right\">G\u00f6ttingen, den 2. April 1868.</p>")));
        QVERIFY(sr("SMK2").contains(QStringLiteral("\u201EWer Lieder sammelt, sammelt Herzen\u201C")));
        QVERIFY(sr("SMK3").contains(QStringLiteral("\u00ABles fleurs ne patientent jamais \u00BB")) ||
                sr("SMK3").contains(QStringLiteral("\u00AB les fleurs ne patientent jamais \u00BB")));
        QVERIFY(
            sr("SMK2").contains(QStringLiteral("Wis<span title=\"noindex\"><span style=\"color:#808080;font-size:80%\">"
                                               "[12v]</span></span>senschaft")));
        QVERIFY(sr("SMK2").contains(QStringLiteral("ge<span title=\"noindex\"><s>sag</s></span>schrieben")));
        QVERIFY(sr("SMK10").contains(QStringLiteral("panach\u00e9e")));
        QVERIFY(sr("SMK11").contains(QStringLiteral("</a><sup>,</sup><a")));
    }

    void contentsTreeAndParameters()
    {
        auto db = db::Database::OpenReadOnly(QStringLiteral(FOLIUM_FIXTURE_OUT "/tei.mdb"), nullptr);
        QVERIFY(db);
        title::ContentsModel m;
        QCOMPARE(m.load(db), title::ContentsModel::Load::Whole);
        QCOMPARE(shape(m), QStringLiteral("Dsommario(D1868(3) D1869(2) D1870(3) D1871(1) D1872(1) Dundated(1))"));
        const QModelIndex undated = m.indexOfKey(QStringLiteral("Dundated"));
        QCOMPARE(undated.data().toString(), QStringLiteral("Lettere senza data"));
        QCOMPARE(m.indexOfKey(QStringLiteral("DSMK9")).data().toString(),
                 QStringLiteral("1 febbraio \u2013 15 marzo 1871, Pietro Sandrelli a Giulia Albrici"));
        const QStringList params =
            rows(QStringLiteral(FOLIUM_FIXTURE_OUT "/tei.mdb"),
                 "SELECT Codice, Param1, Param2 FROM Param WHERE Codice <> 'COD' ORDER BY Ordre");
        QCOMPARE(params,
                 (QStringList{QStringLiteral("NOM|Carteggio Albrici\u2013Wendt (1868\u20131872)"), "DAT|O", "HAS|N",
                              "DEB|1868-03-14", "GRP|L1868|Lettere del 1868", "GRP|L1869|Lettere del 1869",
                              "GRP|L1870|Lettere del 1870", "GRP|L1871|Lettere del 1871", "GRP|L1872|Lettere del 1872",
                              "GRP|Lsd|Lettere senza data"}));
        // A year's subset, and its notes in the matching note subset.
        const QStringList groups =
            rows(kImported, "SELECT name, first, last FROM search_group WHERE name LIKE '%1870'");
        QCOMPARE(groups.size(), 2);
        QCOMPARE(m_title->name(), QStringLiteral("Carteggio Albrici\u2013Wendt (1868\u20131872)"));
        QCOMPARE(m_title->topicTitle(m_title->homeTopic()),
                 QStringLiteral("Home \u2013 Carteggio Albrici\u2013Wendt (1868\u20131872)"));
    }

    // A year of more than 30 letters is shown by month; references that
    // are not numbers are keys as they stand; a fourth letter of a day is
    // "c".
    void aYearOfManyLettersByMonth()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 34; ++i) {
            const QString when = QStringLiteral("1900-%1-%2")
                                     .arg(1 + i / 10, 2, 10, QChar(u'0'))
                                     .arg(i < 4 ? 7 : 10 + i % 10, 2, 10, QChar(u'0'));
            QVERIFY(write(dir.filePath(QStringLiteral("e/%1.xml").arg(i)),
                          letter(when, QStringLiteral("<p>parola%1</p>").arg(i),
                                 QStringLiteral("Ms-%1x").arg(QChar(u'A' + i % 26)) + QString::number(i / 26))));
        }
        const auto r = import({dir.filePath(QStringLiteral("e"))}, dir.filePath(QStringLiteral("M.m14")));
        QVERIFY2(r.ok, qPrintable(r.errors.join(u'\n')));
        QCOMPARE(r.letters, 34);
        const auto t = engine::TitleFile::open(dir.filePath(QStringLiteral("M.m14")));
        QVERIFY(t);
        QVERIFY(t->context(QStringLiteral("SMKMs-Ax0")));
        QVERIFY(t->context(QStringLiteral("070100c")));
        QVERIFY(!t->context(QStringLiteral("070100d")));
        auto db = db::Database::OpenReadOnly(dir.filePath(QStringLiteral("M.mdb")), nullptr);
        title::ContentsModel m;
        QCOMPARE(m.load(db), title::ContentsModel::Load::Whole);
        QCOMPARE(shape(m), QStringLiteral("Dsommario(D1900(4))"));
        QCOMPARE(m.indexOfKey(QStringLiteral("D1900-04")).data().toString(),
                 QStringLiteral("April 1900")); // letters of no language: English
    }

    // The manifest lists each letter by its path; the project written is
    // the title, compiled again.
    void manifestAndProjectWritten()
    {
        QTemporaryDir dir;
        const QString src = dir.filePath(QStringLiteral("src"));
        const auto r = import({kEdition}, dir.filePath(QStringLiteral("A.m14")), [&](mktitle::TeiImportOptions &o) {
            o.manifest = dir.filePath(QStringLiteral("a.tsv"));
            o.emitSource = src;
        });
        QVERIFY2(r.ok, qPrintable(r.errors.join(u'\n')));
        QFile tsv(dir.filePath(QStringLiteral("a.tsv")));
        QVERIFY(tsv.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(tsv.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 12);
        QCOMPARE(lines[0], QStringLiteral("source\tcontext\ttitle\tdate\treference"));
        QCOMPARE(lines[3], kEdition + QStringLiteral("/01/003.xml\tSMK3\t/novembre 1868, Camille Desroches a Giulia "
                                                     "Albrici\t1868-11\tCAW 3"));
        QVERIFY(lines[9].startsWith(kEdition + QStringLiteral("/02/003.xml\tSMK9\t")));
        QVERIFY(lines[9].endsWith(QStringLiteral("\t\tCAW 9")));
        QVERIFY(lines[5].endsWith(QStringLiteral("\t1869-01-30\t5")));

        const auto again =
            mktitle::compileTitle(src + QStringLiteral("/title.xml"), dir.filePath(QStringLiteral("B.m14")));
        QVERIFY2(again.ok, qPrintable(again.errors.join(u'\n')));
        QFile a(dir.filePath(QStringLiteral("A.m14"))), b(dir.filePath(QStringLiteral("B.m14")));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QVERIFY(a.readAll() == b.readAll());
        const char *items = "SELECT Chiave, Titolo, Parente FROM Item ORDER BY rowid";
        QCOMPARE(rows(dir.filePath(QStringLiteral("B.mdb")), items),
                 rows(dir.filePath(QStringLiteral("A.mdb")), items));

        // A folder holding anything is never written over.
        QVERIFY(write(src + QStringLiteral("/topics/letters-1868.xml"), "edited by hand"));
        const auto refused = import({kEdition}, dir.filePath(QStringLiteral("C.m14")),
                                    [&](mktitle::TeiImportOptions &o) { o.emitSource = src; });
        QVERIFY(!refused.ok);
        QVERIFY(refused.errors.join(u'\n').contains(QStringLiteral("new or empty")));
        QFile edited(src + QStringLiteral("/topics/letters-1868.xml"));
        QVERIFY(edited.open(QIODevice::ReadOnly));
        QCOMPARE(edited.readAll(), QByteArray("edited by hand"));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("C.m14"))));
    }

    // A file in error is named with its line, and nothing is written; with
    // skipBad the others make the title.
    void badFilesWriteNothing()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("out/Bad.m14"));
        QDir().mkpath(dir.filePath(QStringLiteral("out")));
        const auto r = import({kTei + QStringLiteral("/bad"), kEdition}, out, [&](mktitle::TeiImportOptions &o) {
            o.manifest = dir.filePath(QStringLiteral("out/m.tsv"));
        });
        QVERIFY(!r.ok);
        const QString errors = r.errors.join(u'\n');
        QVERIFY2(errors.contains(kTei + QStringLiteral("/bad/notwellformed.xml:26: ")), qPrintable(errors));
        QVERIFY2(errors.contains(kTei + QStringLiteral("/bad/nottei.xml:11: not a TEI document")), qPrintable(errors));
        QCOMPARE(r.errors.size(), 2);
        QCOMPARE(filesIn(dir.filePath(QStringLiteral("out"))), QStringList());
        QCOMPARE(mktitle::registeredPartFiles(), 0);

        const auto skipped = import({kTei + QStringLiteral("/bad"), kEdition}, out,
                                    [](mktitle::TeiImportOptions &o) { o.skipBad = true; });
        QVERIFY2(skipped.ok, qPrintable(skipped.errors.join(u'\n')));
        QCOMPARE(skipped.leftOut.size(), 2);
        QCOMPARE(skipped.letters, 12); // entities.xml and the edition
        QCOMPARE(filesIn(dir.filePath(QStringLiteral("out"))), (QStringList{"Bad.m14", "Bad.mdb"}));

        // Cancelled: nothing written either.
        const auto cancelled =
            import({kEdition}, dir.filePath(QStringLiteral("out/X.m14")), [](mktitle::TeiImportOptions &o) {
                o.progress = [](int done, int, const QString &) { return done < 5; };
            });
        QVERIFY(!cancelled.ok);
        QCOMPARE(filesIn(dir.filePath(QStringLiteral("out"))), (QStringList{"Bad.m14", "Bad.mdb"}));
    }

    // Entities declared in the document are expanded; nothing outside the
    // file is read, whatever it declares; a figure is read only from
    // beside the letters.
    void nothingOutsideTheEditionIsRead()
    {
        QTemporaryDir dir;
        const auto ok = import({kTei + QStringLiteral("/bad/entities.xml")}, dir.filePath(QStringLiteral("E.m14")));
        QVERIFY2(ok.ok, qPrintable(ok.errors.join(u'\n')));

        QVERIFY(write(dir.filePath(QStringLiteral("secret.txt")), "Geheimnis"));
        QByteArray external = letter(QStringLiteral("1900-01-01"), QStringLiteral("<p>vor &x; nach</p>"));
        external.replace("<TEI ", "<!DOCTYPE TEI [<!ENTITY x SYSTEM \"../secret.txt\">]>\n<TEI ");
        QVERIFY(write(dir.filePath(QStringLiteral("x/1.xml")), external));
        const auto r = import({dir.filePath(QStringLiteral("x"))}, dir.filePath(QStringLiteral("X.m14")));
        QVERIFY(!r.ok);
        QVERIFY2(r.errors.join(u'\n').contains(dir.filePath(QStringLiteral("x/1.xml:"))),
                 qPrintable(r.errors.join(u'\n')));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("X.m14"))));

        QImage img(4, 4, QImage::Format_RGB32);
        img.fill(Qt::red);
        QVERIFY(img.save(dir.filePath(QStringLiteral("outside.png"))));
        QVERIFY(
            img.save(dir.filePath(QStringLiteral("g/pic.png"))) ||
            (QDir().mkpath(dir.filePath(QStringLiteral("g"))) && img.save(dir.filePath(QStringLiteral("g/pic.png")))));
        const auto figure = [](const char *url) {
            return QStringLiteral("<p>prima</p><figure><graphic url=\"%1\"/><figDesc>tulipano</figDesc></figure>")
                .arg(QLatin1String(url));
        };
        QVERIFY(
            write(dir.filePath(QStringLiteral("g/1.xml")), letter(QStringLiteral("1900-01-01"), figure("pic.png"))));
        QVERIFY(write(dir.filePath(QStringLiteral("g/2.xml")),
                      letter(QStringLiteral("1900-01-02"), figure("missing.png"))));
        const auto shown = import({dir.filePath(QStringLiteral("g"))}, dir.filePath(QStringLiteral("G.m14")));
        QVERIFY2(shown.ok, qPrintable(shown.errors.join(u'\n')));
        const auto t = engine::TitleFile::open(dir.filePath(QStringLiteral("G.m14")));
        QVERIFY(!t->image(QStringLiteral("pic.png")).isEmpty());
        QVERIFY(
            t->topic(t->context(QStringLiteral("SMK1"))->topic)->sr.contains(QStringLiteral("<img src=\"pic.png\"")));
        QVERIFY(t->topic(t->context(QStringLiteral("SMK2"))->topic)->sr.contains(QStringLiteral("[tulipano]")));

        QVERIFY(write(dir.filePath(QStringLiteral("g/3.xml")),
                      letter(QStringLiteral("1900-01-03"), figure("../outside.png"))));
        const auto refused = import({dir.filePath(QStringLiteral("g"))}, dir.filePath(QStringLiteral("H.m14")));
        QVERIFY(!refused.ok);
        QVERIFY2(refused.errors.join(u'\n').contains(dir.filePath(QStringLiteral("g/3.xml:3: "))),
                 qPrintable(refused.errors.join(u'\n')));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("H.m14"))));
    }

    // Documents of several letters; the edition's name from a corpus; a
    // century apart.
    void corporaCopyBooksAndCenturies()
    {
        QTemporaryDir dir;
        const auto corpus = import({kTei + QStringLiteral("/corpus.xml")}, dir.filePath(QStringLiteral("C.m14")));
        QVERIFY2(corpus.ok, qPrintable(corpus.errors.join(u'\n')));
        QCOMPARE(corpus.letters, 2);
        QCOMPARE(corpus.name, QStringLiteral("Briefwechsel Brandt\u2013Fenoglio (Auswahl)"));
        QCOMPARE(corpus.language, QStringLiteral("de"));

        const auto multi = import({kTei + QStringLiteral("/multi.xml")}, dir.filePath(QStringLiteral("M.m14")));
        QVERIFY2(multi.ok, qPrintable(multi.errors.join(u'\n')));
        QCOMPARE(multi.letters, 3);
        const auto t = engine::TitleFile::open(dir.filePath(QStringLiteral("M.m14")));
        QCOMPARE(t->topicTitle(t->context(QStringLiteral("SMK2"))->topic),
                 QStringLiteral("/4 mars 1854, Gu\u00e9rinet fr\u00e8res \u00e0 Castagnol"));
        QCOMPARE(t->context(QStringLiteral("040354"))->topic, t->context(QStringLiteral("SMK2"))->topic);

        const auto centuries = import({kTei + QStringLiteral("/centuries")}, dir.filePath(QStringLiteral("Y.m14")));
        QVERIFY2(centuries.ok, qPrintable(centuries.errors.join(u'\n')));
        QVERIFY(centuries.warnings.join(u'\n').contains(QStringLiteral("more than a century")));
    }

    void commandLine()
    {
        QTemporaryDir dir;
        QProcess p;
        p.start(kCompiler, {QStringLiteral("--tei"), kEdition, QStringLiteral("-o"),
                            dir.filePath(QStringLiteral("T.m14")), QStringLiteral("--lang"), QStringLiteral("en")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const QString summary = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(summary.contains(QStringLiteral("11 letters from 11 files (8 dated, 2 by a date range, 1 undated)")),
                 qPrintable(summary));
        QVERIFY(summary.contains(QStringLiteral("18 notes (1 not called in the text)")));
        const auto t = engine::TitleFile::open(dir.filePath(QStringLiteral("T.m14")));
        QCOMPARE(t->topicTitle(t->context(QStringLiteral("SMK1"))->topic),
                 QStringLiteral("/14 March 1868, Giulia Albrici to Heinrich Wendt"));
        p.start(kCompiler, {QStringLiteral("--tei"), kEdition, QStringLiteral("-o"),
                            dir.filePath(QStringLiteral("U.m14")), QStringLiteral("--lang"), QStringLiteral("es")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 2);
    }
};

QTEST_MAIN(TestTei)
#include "tst_tei.moc"
