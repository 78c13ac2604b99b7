// The indexes a TEI edition's registers make, opened as the reader opens
// them: entries and the letters and notes they jump to, names in the text
// as popups on the entry's card, the synoptic table, the subsets of many
// letters, and a mapping file that changes titles, grouping and the parts
// of the text kept.
#include "dialogs.h"
#include "form1.h"
#include "mdiform1.h"
#include "program.h"
#include "program_folder.h"
#include "tei_import.h"
#include "tei_register.h"
#include "title_file.h"
#include "title_queries.h"
#include "topicview.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace folium;
using folium::config::ScriptedDialogs;

namespace {

const QString kRegisters = QStringLiteral(FOLIUM_FIXTURE_SRC "/tei/registers");

enum HotspotKind { Code = 0, Popup = 1, Jump = 2 };

mktitle::TeiImportResult import(const QString &out, const std::function<void(mktitle::TeiImportOptions &)> &more)
{
    mktitle::TeiImportOptions o;
    o.sources = {kRegisters + QStringLiteral("/letters")};
    o.output = out;
    more(o);
    return mktitle::importTei(o);
}

QStringList rows(const QString &dbPath, const char *sql)
{
    return testing::queryRows(dbPath, sql);
}

// The line of a fixture file that holds a text.
int lineOf(const QString &path, const QString &text)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (int n = 1; !f.atEnd(); ++n)
        if (QString::fromUtf8(f.readLine()).contains(text))
            return n;
    return -1;
}

class Opened {
public:
    explicit Opened(const QString &path)
    {
        view.setViewTitle(path);
        title = view.titleFile();
    }
    int topicOf(const QString &context) const
    {
        const auto c = title ? title->context(context) : std::nullopt;
        return c ? c->topic : -1;
    }
    // A region's text without its markup.
    QString text(const QString &context, int region = 1) const
    {
        const auto t = title->topic(topicOf(context));
        if (!t)
            return {};
        QString s = region == 0 ? t->nsr : t->sr;
        s.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
        s.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        return s;
    }
    // The targets of a region's hotspots of one kind, in reading order.
    QStringList targets(const QString &context, int kind, int region = 1) const
    {
        QStringList out;
        for (const engine::StoredHotspot &h : title->hotspots(topicOf(context)))
            if (h.kind == kind && h.region == region)
                out << h.target;
        return out;
    }
    QList<int> found(const QString &query) { return testing::topicsFound(view, query); }

    engine::TopicView view;
    std::shared_ptr<engine::TitleFile> title;
};

// The texts appear in the region in this order.
bool inOrder(const QString &text, const QStringList &parts)
{
    qsizetype at = -1;
    for (const QString &p : parts) {
        const qsizetype i = text.indexOf(p, at + 1);
        if (i <= at)
            return false;
        at = i;
    }
    return true;
}

} // namespace

class TestTeiIndexes : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_plain, m_mapped;
    mktitle::TeiImportResult m_plainResult, m_mappedResult;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_plain = m_dir.filePath(QStringLiteral("bs.m14"));
        m_plainResult = import(m_plain, [](mktitle::TeiImportOptions &o) {
            o.registers << kRegisters + QStringLiteral("/register/persone.xml");
        });
        QVERIFY2(m_plainResult.ok, qPrintable(m_plainResult.errors.join(u'\n')));
        m_mapped = m_dir.filePath(QStringLiteral("mapped.m14"));
        m_mappedResult =
            import(m_mapped, [](mktitle::TeiImportOptions &o) { o.mapping = kRegisters + QStringLiteral("/map.xml"); });
        QVERIFY2(m_mappedResult.ok, qPrintable(m_mappedResult.errors.join(u'\n')));
    }

    // One entry per register entry however the letters spell or point at
    // it; a reference no register holds is warned of once, where it is
    // first met, and indexed under the name as written.
    void personsMentioned()
    {
        Opened t(m_plain);
        QVERIFY(t.title);
        const QString index = t.text(QStringLiteral("IndiceNomi"));
        QVERIFY2(inOrder(index, {"Carlo Fantasma", "Manzoni, Alessandro", "Morelli, Anna", "Sarti, Tommaso",
                                 "Verdi, Giuseppe"}),
                 qPrintable(index));
        QCOMPARE(index.count(QStringLiteral("Verdi, Giuseppe")), 1);
        QVERIFY(index.contains(QStringLiteral("1813\u20131901")));
        QVERIFY(index.contains(QStringLiteral("anche Giuseppe Fortunino Francesco Verdi")));
        QVERIFY(!index.contains(QStringLiteral("Bellini"))); // a correspondent, never mentioned
        const QStringList jumps = t.targets(QStringLiteral("IndiceNomi"), Jump);
        QCOMPARE(jumps, (QStringList{"SMK3", "SMK2", "SMK5", "SMK5", "TSMK6.2", "SMK4", "SMK1", "SMK3", "SMK5"}));
        // A mention in a note jumps to that note, named by its number.
        const int note = t.topicOf(QStringLiteral("TSMK6.2"));
        QVERIFY(t.title->topicTitle(note).startsWith(QStringLiteral("Nota 1 \u2013")));

        const int line = lineOf(kRegisters + QStringLiteral("/letters/03.xml"), QStringLiteral("ref=\"#ghost\""));
        QStringList ghost;
        for (const QString &w : m_plainResult.warnings)
            if (w.contains(QStringLiteral("ghost")))
                ghost << w;
        QCOMPARE(ghost.size(), 1);
        QVERIFY2(ghost.front().contains(QStringLiteral("03.xml:%1: warning").arg(line)), qPrintable(ghost.front()));
    }

    void correspondentsAndPlaces()
    {
        Opened t(m_plain);
        const QString people = t.text(QStringLiteral("IndiceDestinatari"));
        QVERIFY2(inOrder(people, {"Bellini, Giulia", "Lettere di Giulia Bellini (4)", "Lettere a Giulia Bellini (2)",
                                  "Morelli, Anna", "Lettere ad Anna Morelli (1)", "Sarti, Tommaso",
                                  "Lettere di Tommaso Sarti (2)", "Lettere a Tommaso Sarti (3)"}),
                 qPrintable(people));
        QCOMPARE(t.targets(QStringLiteral("IndiceDestinatari"), Jump),
                 (QStringList{"SMK1", "SMK3", "SMK4", "SMK5", "SMK2", "SMK6", "SMK4", "SMK2", "SMK6", "SMK1", "SMK3",
                              "SMK5"}));
        const QString places = t.text(QStringLiteral("IndiceLocalita"));
        QVERIFY2(inOrder(places, {"Firenze", "anche Florentia", "Milano", "Recanati", "non nei registri", "Torino"}),
                 qPrintable(places));
        QVERIFY(!places.contains(QStringLiteral("Napoli"))); // registered, never named
        // Firenze: written from letter 5, named in letters 4 and 5.
        QCOMPARE(t.targets(QStringLiteral("IndiceLocalita"), Jump).mid(0, 3), (QStringList{"SMK5", "SMK4", "SMK5"}));
        const QString analytic = t.text(QStringLiteral("IndiceAnalitico"));
        QVERIFY(inOrder(analytic, {"Enti e istituzioni", "Teatro alla Scala", "Opere", "Nabucco"}));
        QCOMPARE(t.targets(QStringLiteral("IndiceAnalitico"), Jump).size(), 4);
        // Each index leads to the others from its heading.
        QCOMPARE(t.targets(QStringLiteral("IndiceLocalita"), Jump, 0),
                 (QStringList{"IndiceDestinatari", "IndiceNomi", "IndiceAnalitico", "IndiceSinottico"}));
    }

    // A row per letter by date, its date a jump; its first words shown but
    // no words of the index.
    void synopticTable()
    {
        Opened t(m_plain);
        QCOMPARE(t.targets(QStringLiteral("IndiceSinottico"), Jump),
                 (QStringList{"SMK1", "SMK2", "SMK3", "SMK4", "SMK5", "SMK6"}));
        const QString table = t.text(QStringLiteral("IndiceSinottico"));
        QVERIFY(inOrder(table, {"BS 1", "4 marzo 1862", "Giulia Bellini", "Tommaso Sarti", "Milano", "ieri sera"}));
        QCOMPARE(t.found(QStringLiteral("rigattiere")), QList<int>{t.topicOf(QStringLiteral("SMK3"))});
        QVERIFY(!t.found(QStringLiteral("marzo")).contains(t.topicOf(QStringLiteral("IndiceSinottico"))));
        // A name finds its entries, its card and its letters.
        const QList<int> verdi = t.found(QStringLiteral("Verdi"));
        for (const char *c : {"IndiceNomi", "SMK1", "SMK3", "SMK5"})
            QVERIFY2(verdi.contains(t.topicOf(QLatin1String(c))), c);
    }

    // Names in a letter are popups on one card per entry; the note calls
    // among them still number 1, 2, 3 and have their note contexts.
    void namesShowTheirCard()
    {
        Opened t(m_plain);
        const QStringList popups = t.targets(QStringLiteral("SMK1"), Popup);
        QCOMPARE(popups.size(), 4); // Scala, Nabucco, Verdi, Recanati; Milano is the note's own
        QCOMPARE(t.targets(QStringLiteral("TSMK1.%1").arg(3), Popup).size(), 1);
        const int verdiCard = t.topicOf(popups[2]);
        QCOMPARE(t.title->topicTitle(verdiCard), QStringLiteral("&Giuseppe Verdi"));
        // Letter 5 names him by his authority URI: the same card.
        const QStringList five = t.targets(QStringLiteral("SMK5"), Popup);
        QVERIFY(std::any_of(five.begin(), five.end(), [&](const QString &c) { return t.topicOf(c) == verdiCard; }));
        QVERIFY(t.text(popups[2]).contains(QStringLiteral("https://d-nb.info/gnd/118577190")));
        int calls = 0;
        for (const engine::StoredHotspot &h : t.title->hotspots(t.topicOf(QStringLiteral("SMK1"))))
            if (h.noteCall) {
                ++calls;
                QVERIFY(t.title->context(QStringLiteral("NSMK1.%1").arg(h.ordinal)));
                QVERIFY(t.title->topicTitle(t.topicOf(QStringLiteral("TSMK1.%1").arg(h.ordinal)))
                            .startsWith(QStringLiteral("Nota %1 ").arg(calls)));
            }
        QCOMPARE(calls, 1);
    }

    // The mapping: the letters' titles and reference line from its fields,
    // the contents by correspondent, the summary, the front and the
    // textual notes left out, commentary notes in the text, no synoptic
    // table, a subset for the correspondent of more than two letters.
    void mappingChangesTitlesGroupingAndParts()
    {
        Opened t(m_mapped);
        QVERIFY(t.title);
        QCOMPARE(t.title->name(), QStringLiteral("Lettere Bellini\u2013Sarti"));
        QCOMPARE(t.title->topicTitle(t.topicOf(QStringLiteral("SMK1"))),
                 QStringLiteral("/BS 1: Giulia Bellini a Tommaso Sarti, 4 marzo 1862"));
        QVERIFY(t.text(QStringLiteral("SMK1"), 0).contains(QStringLiteral("Archivio privato Sarti, BS 1")));
        const QString mdb = m_dir.filePath(QStringLiteral("mapped.mdb"));
        const QStringList items = rows(mdb, "SELECT Titolo, Parente FROM Item ORDER BY Ordine");
        QVERIFY2(inOrder(items.join(u'\n'), {"Morelli, Anna|Dsommario", "Sarti, Tommaso|Dsommario"}),
                 qPrintable(items.join(u'\n')));
        QCOMPARE(items.filter(QStringLiteral("|Dg1")).size(), 1); // Morelli's one letter
        QCOMPARE(items.filter(QStringLiteral("|Dg2")).size(), 5);
        for (const char *gone : {"Regesto", "Minutario", "inverno"})
            QVERIFY2(t.found(QLatin1String(gone)).isEmpty(), gone);
        QVERIFY(!t.title->context(QStringLiteral("NSMK6.2")));
        QCOMPARE(t.found(QStringLiteral("coro")), QList<int>{t.topicOf(QStringLiteral("SMK5"))});
        QCOMPARE(t.topicOf(QStringLiteral("IndiceSinottico")), -1);
        QVERIFY(t.topicOf(QStringLiteral("IndiceNomi")) >= 0);
        const QStringList subsets = rows(mdb, "SELECT Param1, Param2 FROM Param WHERE Codice = 'GRP'");
        QVERIFY2(subsets.filter(QStringLiteral("Lettere di e a Tommaso Sarti")).size() == 1,
                 qPrintable(subsets.join(u'\n')));
        QVERIFY(subsets.filter(QStringLiteral("Giulia Bellini")).isEmpty()); // in every letter
        QVERIFY(t.text(QStringLiteral("sommario")).contains(QStringLiteral("Sei lettere inventate")));
    }

    // An unknown setting or value is an error at its line; nothing is written.
    void mappingErrors_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("message");
        QTest::newRow("setting") << "<colour/>"
                                 << "unknown setting <colour>";
        QTest::newRow("attribute") << "<contents group=\"year\" order=\"x\"/>"
                                   << "<contents> has no setting \"order\"";
        QTest::newRow("value") << "<contents group=\"decade\"/>"
                               << "group=\"decade\" is not a value of <contents>";
        QTest::newRow("field") << "<letters title=\"{weather}\"/>"
                               << "{weather} is not a field of a letter";
        QTest::newRow("number") << "<subsets correspondent-letters=\"many\"/>"
                                << "is no number of letters";
        QTest::newRow("language") << "<title language=\"la\"/>"
                                  << "language=\"la\" is not a value";
    }
    void mappingErrors()
    {
        QFETCH(QString, setting);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString map = dir.filePath(QStringLiteral("map.xml"));
        QFile f(map);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(
            ("<?xml version=\"1.0\"?>\n<tei-mapping>\n  <hyphens join=\"no\"/>\n  " + setting + "\n</tei-mapping>\n")
                .toUtf8());
        f.close();
        const QString out = dir.filePath(QStringLiteral("x.m14"));
        const auto r = import(out, [&](mktitle::TeiImportOptions &o) { o.mapping = map; });
        QVERIFY(!r.ok);
        QCOMPARE(r.errors.size(), 1);
        QVERIFY2(r.errors.front().startsWith(map + QStringLiteral(":4: ")), qPrintable(r.errors.front()));
        QVERIFY2(r.errors.front().contains(message), qPrintable(r.errors.front()));
        QVERIFY(!QFile::exists(out));
    }

    // Registers repeated in every letter are read once per id: the first
    // entry read stands (letter 1 gives Sarti his name only, letter 3 his
    // dates and work); a register file is read before the letters. A
    // register file that is not there, or not a register, is an error.
    void registersReadOncePerId()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("own.m14"));
        const auto r = import(out, [](mktitle::TeiImportOptions &) {});
        QVERIFY2(r.ok, qPrintable(r.errors.join(u'\n')));
        Opened own(out);
        const QString people = own.text(QStringLiteral("IndiceDestinatari"));
        QVERIFY(people.contains(QStringLiteral("Sarti, Tommaso. 5 lettere")));
        QVERIFY(!people.contains(QStringLiteral("avvocato")));
        // Manzoni is in the register file only: by name as written.
        QVERIFY(
            own.text(QStringLiteral("IndiceNomi")).contains(QStringLiteral("Alessandro Manzoni. non nei registri")));
        QVERIFY(Opened(m_plain).text(QStringLiteral("IndiceDestinatari")).contains(QStringLiteral("avvocato")));

        for (const QString &bad : {dir.filePath(QStringLiteral("none.xml")), kRegisters + QStringLiteral("/map.xml")}) {
            const auto refused = import(dir.filePath(QStringLiteral("bad.m14")),
                                        [&](mktitle::TeiImportOptions &o) { o.registers << bad; });
            QVERIFY(!refused.ok);
            QVERIFY2(refused.errors.value(0).startsWith(bad + u':'), qPrintable(refused.errors.join(u'\n')));
            QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("bad.m14"))));
        }
    }

    // A name or word of thousands of letters without a blank still makes a
    // title every page of which can be laid out; a register's notes (a
    // person's life) are no notes of the letter.
    void longRunsAndRegisterNotes()
    {
        QTemporaryDir dir;
        const QString x(5000, u'X');
        QFile f(dir.filePath(QStringLiteral("e/1.xml")));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("e"))) && f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral(
                    "<TEI xmlns=\"http://www.tei-c.org/ns/1.0\"><teiHeader><fileDesc><titleStmt><title>T</title>"
                    "</titleStmt><publicationStmt><p/></publicationStmt><sourceDesc><p/></sourceDesc></fileDesc>"
                    "<profileDesc><correspDesc><correspAction type=\"sent\"><persName ref=\"#a\">%1</persName>"
                    "<date when=\"1850-01-02\"/></correspAction></correspDesc></profileDesc></teiHeader><text><body>"
                    "<p>Caro <persName ref=\"#a\">%1</persName>, <persName>%1</persName> %1.</p></body><back>"
                    "<listPerson><person xml:id=\"a\"><persName>%1</persName><note>Nato a %1.</note></person>"
                    "</listPerson></back></text></TEI>")
                    .arg(x)
                    .toUtf8());
        f.close();
        mktitle::TeiImportOptions o;
        o.sources = {dir.filePath(QStringLiteral("e"))};
        o.output = dir.filePath(QStringLiteral("long.m14"));
        const auto r = mktitle::importTei(o);
        QVERIFY2(r.ok, qPrintable(r.errors.join(u'\n')));
        QCOMPARE(r.notes, 0);
        QCOMPARE(r.uncalledNotes, 0);
        Opened t(o.output);
        QVERIFY(t.text(QStringLiteral("IndiceNomi")).contains(QString(200, u'X') + QStringLiteral("\u2026")));
    }

    void referenceKeys()
    {
        mktitle::tei::PrefixDefs prefixes(1);
        prefixes[0].ident = QStringLiteral("psn");
        prefixes[0].match = QRegularExpression(QStringLiteral("^(.+)$"));
        prefixes[0].replacement = QStringLiteral("#p$1");
        using mktitle::tei::referenceKey;
        QCOMPARE(referenceKey(QStringLiteral(" #verdi #other"), prefixes), QStringLiteral("verdi"));
        QCOMPARE(referenceKey(QStringLiteral("persone.xml#verdi"), prefixes), QStringLiteral("verdi"));
        QCOMPARE(referenceKey(QStringLiteral("psn:12"), prefixes), QStringLiteral("p12"));
        QCOMPARE(referenceKey(QStringLiteral("gnd:118577190"), prefixes), QStringLiteral("gnd:118577190"));
        QCOMPARE(referenceKey(QStringLiteral("https://www.wikidata.org/wiki/Q7317#x"), prefixes),
                 QStringLiteral("https://www.wikidata.org/wiki/Q7317#x"));
        QCOMPARE(referenceKey(QStringLiteral("verdi"), prefixes), QStringLiteral("verdi"));
    }

    // The reader shows the subsets and opens the indexes from its menu.
    void subsetsAndIndexMenuInTheReader()
    {
        testing::ProgramFolder folder;
        ScriptedDialogs dialogs;
        app::Program p(folder.path(), dialogs);
        QVERIFY(p.Main(m_mapped));
        QListWidget *subsets = p.reader()->Combo_sottoinsieme;
        QStringList shown;
        for (int i = 0; i < subsets->count(); ++i)
            shown << subsets->item(i)->text();
        QVERIFY2(shown.contains(QStringLiteral("Lettere di e a Tommaso Sarti")), qPrintable(shown.join(u',')));
        QVERIFY(shown.contains(QStringLiteral("Lettere del 1862")));
        p.mainFrame()->item("Nomi")->trigger();
        QCOMPARE(p.reader()->Fl_main->TopicData(), QStringLiteral("IndiceNomi"));
        p.mainFrame()->item("Destinatari")->trigger();
        QCOMPARE(p.reader()->Fl_main->TopicData(), QStringLiteral("IndiceDestinatari"));
    }
};

QTEST_MAIN(TestTeiIndexes)
#include "tst_tei_indexes.moc"
