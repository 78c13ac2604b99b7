// Opening titles through the real windows: the open dialog and the
// last-used list, the title database beside the title and its identity,
// the title's parameters and the contents tree.
#include "commands.h"
#include "dao.h"
#include "contents_model.h"
#include "contents_tree.h"
#include "dialogs.h"
#include "form1.h"
#include "form3.h"
#include "mdiform1.h"
#include "program.h"
#include "frame_helpers.h"
#include "program_folder.h"
#include "title_open.h"
#include "topicview.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QDateEdit>
#include <QGroupBox>
#include <QMenu>
#include <QScrollBar>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "region_view.h"

using namespace folium;
using namespace folium::app;
using namespace folium::config;
using folium::testing::ProgramFolder;
using folium::testing::visibleLastUsed;

namespace {

// The node with that key, its folders read if need be.
QModelIndex node(Program &p, const QString &key)
{
    return title::findNode(p.windows(), key);
}

QString mdbOf(const ProgramFolder &folder, const QString &base)
{
    return folder.file(base + QStringLiteral(".mdb"));
}

// A title database holding only the rows given, with or without the
// indexes the title compiler writes.
std::shared_ptr<db::Database> itemTable(const QTemporaryDir &dir, const QString &rows, bool indexed)
{
    static int made = 0;
    int err = 0;
    auto d = db::Database::CreateDatabase(dir.filePath(QStringLiteral("t%1.mdb").arg(++made)), {}, &err);
    const QString indexes = QStringLiteral("CREATE INDEX ItemParente ON Item(rtrim(Parente), Ordine);"
                                           "CREATE INDEX ItemChiave ON Item(rtrim(Chiave), Ordine);");
    if (!d || d->execScript(QStringLiteral("CREATE TABLE Item(Ordine INTEGER, Chiave TEXT, Titolo TEXT, "
                                           "Parente TEXT, tipo TEXT); CREATE INDEX Ordine ON Item(Ordine); BEGIN;") +
                            rows + (indexed ? indexes : QString()) + QStringLiteral("COMMIT;")) != 0)
        return nullptr;
    return d;
}

// The tree a model shows, read whole: "key(child child ...)".
QString shape(title::ContentsModel &m, const QModelIndex &parent = {})
{
    QStringList parts;
    if (m.canFetchMore(parent))
        m.fetchMore(parent);
    for (int i = 0; i < m.rowCount(parent); ++i) {
        const QModelIndex c = m.index(i, 0, parent);
        const QString below = shape(m, c);
        parts << c.data(forms::TagRole).toString() + (below.isEmpty() ? QString() : u'(' + below + u')');
    }
    return parts.join(u' ');
}

} // namespace

class TestTitle : public QObject {
    Q_OBJECT

private slots:
    void namesDerivedFromTheTitlePath()
    {
        const title::TitleNames n = title::titleNames(QStringLiteral("/data/Data.old/Letters.final.m14"));
        QCOMPARE(n.folder, QStringLiteral("/data/Data.old/"));
        QCOMPARE(n.baseName, QStringLiteral("Letters"));
        QCOMPARE(n.databaseFileName, QStringLiteral("Letters.mdb"));
        QCOMPARE(n.databasePath, QStringLiteral("/data/Data.old/Letters.mdb"));
    }

    void databaseOfATitleWithDotsInItsNameAndFolder()
    {
        ProgramFolder folder;
        const QString title = folder.addTitle(QStringLiteral("Data.old/Letters.final"));
        folder.setOption(QStringLiteral("TextesD\u00e9faut"), title);
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main({}));
        QCOMPARE(p.title.TitleDatabasePath, folder.file(QStringLiteral("Data.old/Letters.mdb")));
        QVERIFY(!p.title.NoTitleDatabase);
        QVERIFY(dialogs.shown.empty());

        // Without that database, the dialog proposes it by name in the title's folder.
        QFile::remove(folder.file(QStringLiteral("Data.old/Letters.mdb")));
        ScriptedDialogs again;
        Program q(folder.path(), again);
        QVERIFY(q.Main({}));
        QCOMPARE(again.shown.size(), size_t(1));
        QVERIFY(again.shown[0].isFileDialog);
        QCOMPARE(again.shown[0].request.fileName, QStringLiteral("Letters.mdb"));
        QCOMPARE(again.shown[0].request.folder, folder.file(QStringLiteral("Data.old/")));
        QCOMPARE(again.shown[0].request.filter, q.strings.text(QStringLiteral("BMSG"), 22));
        // Cancelled: the title runs without contents, as "Inconnu".
        QVERIFY(q.title.NoTitleDatabase);
        QCOMPARE(q.mainFrame()->windowTitle(), QStringLiteral("Inconnu"));
        QCOMPARE(q.reader()->TreeSommario->model()->rowCount(), 0);
        QVERIFY(!q.mainFrame()->button("Indici")->isEnabled());
        QCOMPARE(q.reader()->Combo_sottoinsieme->count(), 1);
        QCOMPARE(q.reader()->Fl_main->ViewTitle(), title);
    }

    void databaseWithoutTheTitlesCodeIsRefused()
    {
        ProgramFolder folder;
        ProgramFolder::exec(mdbOf(folder, QStringLiteral("abc")),
                            QStringLiteral("DELETE FROM Param WHERE Codice='COD'"));
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QVERIFY(dialogs.shown.size() >= 2);
        QCOMPARE(dialogs.shown[0].text, p.strings.text(QStringLiteral("BMSG"), 34).arg(QStringLiteral("abc.mdb")));
        QVERIFY(dialogs.shown[0].text.startsWith(QStringLiteral("abc.mdb ")));
        QCOMPARE(dialogs.shown[0].title, p.strings.text(QStringLiteral("BMSG"), 11));
        QVERIFY(dialogs.shown[1].isFileDialog);
        QVERIFY(p.title.NoTitleDatabase);
    }

    void codeComparedWithoutLetterCase()
    {
        ProgramFolder folder;
        ProgramFolder::exec(mdbOf(folder, QStringLiteral("abc")),
                            QStringLiteral("UPDATE Param SET Param1='ABC' WHERE Codice='COD'"));
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QVERIFY(dialogs.shown.empty());
        QCOMPARE(p.mainFrame()->windowTitle(), QStringLiteral("Fixture title"));
    }

    void openingTheOpenTitleAgainDoesNothing()
    {
        ProgramFolder folder;
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        engine::TopicView *main = p.reader()->Fl_main;
        main->JumpContext(QStringLiteral("Long"));
        const int shown = main->TopicIndex();
        // The same file by another way, from the Open dialog and from the
        // menu: through "..", through a link.
        QDir().mkpath(folder.file(QStringLiteral("sub")));
        dialogs.files.push_back(folder.file(QStringLiteral("sub/../abc.m14")));
        p.ApriTexte();
        QCOMPARE(main->TopicIndex(), shown);
        QVERIFY(QFile::link(folder.file(QStringLiteral("abc.m14")), folder.file(QStringLiteral("link.m14"))));
        p.mainFrame()->item("TexteOuvert_0")->setText(QStringLiteral("&1 ") + folder.file(QStringLiteral("link.m14")));
        p.TexteOuvert_Click(0);
        QCOMPARE(main->TopicIndex(), shown);
        QCOMPARE(main->ViewTitle(), folder.file(QStringLiteral("abc.m14")));
    }

    // Regression: paths were compared lower-cased, so that of two titles
    // whose names differ only in letter case the second never opened.
    void titlesWhoseNamesDifferInLetterCaseAreTwo()
    {
        ProgramFolder folder({QStringLiteral("Lettere"), QStringLiteral("lettere")});
        ProgramFolder::exec(mdbOf(folder, QStringLiteral("lettere")),
                            QStringLiteral("UPDATE Param SET Param1='Le altre lettere' WHERE Codice='NOM'"));
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("Lettere")));
        QCOMPARE(p.title.TitleName, QStringLiteral("Fixture title"));
        dialogs.files.push_back(folder.file(QStringLiteral("lettere.m14")));
        p.ApriTexte();
        QCOMPARE(p.reader()->Fl_main->ViewTitle(), folder.file(QStringLiteral("lettere.m14")));
        QCOMPARE(p.title.TitleName, QStringLiteral("Le altre lettere"));
        // Back through the last-used list.
        p.mainFrame()
            ->item("TexteOuvert_0")
            ->setText(QStringLiteral("&1 ") + folder.file(QStringLiteral("Lettere.m14")));
        p.TexteOuvert_Click(0);
        QCOMPARE(p.reader()->Fl_main->ViewTitle(), folder.file(QStringLiteral("Lettere.m14")));
        QCOMPARE(p.title.TitleName, QStringLiteral("Fixture title"));
    }

    void titleOpenedAfterCancellingAtStart()
    {
        ProgramFolder folder;
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main({}));
        QVERIFY(p.title.CancelFlag);
        QVERIFY(p.reader()->Text_gauche->isHidden());
        QVERIFY(!p.mainFrame()->button("Sommario")->isEnabled());
        dialogs.files.push_back(folder.file(QStringLiteral("abc.m14")));
        p.ApriTexte();
        QCOMPARE(p.reader()->Fl_main->TopicData(), QStringLiteral("sommario"));
        QVERIFY(p.reader()->Text_gauche->isVisible());
        QVERIFY(p.reader()->isShown(forms::Panel::Contents));
        QVERIFY(p.mainFrame()->button("Sommario")->isChecked());
        QVERIFY(!p.mainFrame()->button("Cerca")->isChecked());
        QCOMPARE(p.reader()->TreeSommario->currentIndex(), node(p, QStringLiteral("Dsommario")));
        QCOMPARE(p.mainFrame()->windowTitle(), QStringLiteral("Fixture title"));
        QVERIFY(p.loading()->isHidden());
    }

    void fifthTitleDropsTheFourth()
    {
        ProgramFolder folder({QStringLiteral("abc"), QStringLiteral("e")});
        folder.setLastFiles({QStringLiteral("/t/1.m14"), QStringLiteral("/t/2.m14"), QStringLiteral("/t/3.m14"),
                             QStringLiteral("/t/4.m14")});
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        const QString abc = folder.file(QStringLiteral("abc.m14"));
        QCOMPARE(visibleLastUsed(*p.mainFrame()),
                 (QStringList{QStringLiteral("&1 ") + abc, QStringLiteral("&2 /t/1.m14"), QStringLiteral("&3 /t/2.m14"),
                              QStringLiteral("&4 /t/3.m14")}));
        dialogs.files.push_back(folder.file(QStringLiteral("e.m14")));
        p.ApriTexte();
        QCOMPARE(p.reader()->Fl_main->ViewTitle(), folder.file(QStringLiteral("e.m14")));
        QCOMPARE(visibleLastUsed(*p.mainFrame()),
                 (QStringList{QStringLiteral("&1 ") + folder.file(QStringLiteral("e.m14")), QStringLiteral("&2 ") + abc,
                              QStringLiteral("&3 /t/1.m14"), QStringLiteral("&4 /t/2.m14")}));
    }

    void emptyListKeepsOnlyTheLastTitle()
    {
        ProgramFolder folder({QStringLiteral("abc"), QStringLiteral("b"), QStringLiteral("c")});
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        for (const char *t : {"b", "c"}) {
            dialogs.files.push_back(folder.file(QString::fromLatin1(t) + QStringLiteral(".m14")));
            p.ApriTexte();
        }
        QCOMPARE(visibleLastUsed(*p.mainFrame()), QStringList{QStringLiteral("&1 ") + folder.file("c.m14")});
    }

    void badFileAsksAgainAndCancelKeepsTheOpenTitle()
    {
        ProgramFolder folder;
        QFile bad(folder.file(QStringLiteral("bad.m14")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a title");
        bad.close();
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        dialogs.files.push_back(bad.fileName());
        p.ApriTexte();
        QCOMPARE(dialogs.shown[1].text, p.strings.text(QStringLiteral("BMSG"), 35) + u'\n' + bad.fileName());
        QVERIFY(dialogs.shown[2].isFileDialog);
        QCOMPARE(dialogs.shown[2].request.filter, p.strings.text(QStringLiteral("BMSG"), 20));
        QCOMPARE(p.reader()->Fl_main->ViewTitle(), folder.file(QStringLiteral("abc.m14")));
        QCOMPARE(p.mainFrame()->windowTitle(), QStringLiteral("Fixture title"));
    }

    void subsetGroups_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("three") << QStringLiteral("INSERT INTO Param VALUES (8, 'GRP', 'C', 'Group C')")
                               << QStringList{"Group A", "Group B", "Group C"};
        QTest::newRow("none") << QStringLiteral("DELETE FROM Param WHERE Codice = 'GRP'") << QStringList{};
    }
    void subsetGroups()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, names);
        ProgramFolder folder;
        ProgramFolder::exec(mdbOf(folder, QStringLiteral("abc")), sql);
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QListWidget *subsets = p.reader()->Combo_sottoinsieme;
        QStringList shown;
        for (int i = 0; i < subsets->count(); ++i)
            shown << subsets->item(i)->text();
        QCOMPARE(shown, names);
        QCOMPARE(p.title.SubsetGroupLast, int(names.size()) - 1);
        QCOMPARE(p.title.SubsetGroupNames, names);
    }

    void dateSearchCodeIsCaseSensitive()
    {
        ProgramFolder folder;
        ProgramFolder::exec(mdbOf(folder, QStringLiteral("abc")),
                            QStringLiteral("UPDATE Param SET Param1='o' WHERE Codice='DAT'"));
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QVERIFY(!p.title.DateSearchEnabled);
        QVERIFY(!p.title.LetterSearchEnabled);
        QVERIFY(p.reader()->FramePerData->isHidden());
        QVERIFY(p.reader()->FramePerLettera->isHidden());

        // "O" offers the date search, starting from the title's first date.
        ProgramFolder other;
        ScriptedDialogs d2;
        Program q(other.path(), d2);
        QVERIFY(q.Main(QStringLiteral("abc")));
        QVERIFY(q.title.DateSearchEnabled);
        QVERIFY(!q.reader()->FramePerData->isHidden());
        QCOMPARE(q.title.StartDate, QDate(1851, 3, 12));
    }

    void lastRandomModeRowWins()
    {
        ProgramFolder folder;
        ProgramFolder::exec(mdbOf(folder, QStringLiteral("abc")),
                            QStringLiteral("DELETE FROM Param WHERE Codice='HAS';"
                                           "INSERT INTO Param VALUES (8, 'HAS', 'O', NULL);"
                                           "INSERT INTO Param VALUES (9, 'HAS', 'N', NULL);"));
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QVERIFY(!p.title.RandomTopicMode);
        QCOMPARE(p.mainFrame()->button("Indici")->toolTip(), p.mainFrame()->indexButtonMenuTip());
        QVERIFY(p.mainFrame()->menu("IndiciMenu")->menuAction()->isVisible());
    }

    // Regression: a title searched by letter after one searched by date
    // kept the date field, its tree used the other title's keys and stopped
    // answering clicks, and the index button stayed in the mode of the
    // title before. Each title shows exactly what its parameters ask.
    void eachTitleShowsTheSearchFieldsAndIndexCommandItAsksFor()
    {
        ProgramFolder folder({QStringLiteral("abc"), QStringLiteral("let"), QStringLiteral("rnd")});
        // "let": searched by letter, its tree keys without the date mark,
        // no random row; "rnd": the random topic, no search field at all.
        ProgramFolder::exec(mdbOf(folder, QStringLiteral("let")),
                            QStringLiteral("UPDATE Param SET Param1='S' WHERE Codice='DAT';"
                                           "DELETE FROM Param WHERE Codice IN ('HAS', 'DEB');"
                                           "UPDATE Item SET Chiave=substr(Chiave, 2), Parente=substr(Parente, 2);"));
        ProgramFolder::exec(mdbOf(folder, QStringLiteral("rnd")),
                            QStringLiteral("UPDATE Param SET Param1='O' WHERE Codice='HAS';"
                                           "DELETE FROM Param WHERE Codice='DAT';"));
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        forms::Form1 *f = p.reader();
        const auto fields = [f] {
            return QString(f->FramePerData->isHidden() ? u'-' : u'D') + (f->FramePerLettera->isHidden() ? u'-' : u'L');
        };
        const auto open = [&](const char *name) {
            const QString path = folder.file(QString::fromLatin1(name) + QStringLiteral(".m14"));
            dialogs.files = {path};
            p.ApriTexte();
            QCOMPARE(f->Fl_main->ViewTitle(), path);
        };
        const auto treeJumps = [&](const QString &key, const QString &data) {
            title::Sommario(p.windows(), p.title);
            QTreeView *tree = f->TreeSommario;
            const QModelIndex n = node(p, key);
            QVERIFY2(n.isValid(), qPrintable(key));
            title::selectNode(p.windows(), n, false);
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(n).center());
            QCOMPARE(f->Fl_main->TopicData(), data);
        };
        QCOMPARE(fields(), QStringLiteral("D-"));
        treeJumps(QStringLiteral("D120351"), QStringLiteral("120351"));
        open("let");
        QCOMPARE(fields(), QStringLiteral("-L"));
        QVERIFY(!p.title.DateSearchEnabled && p.title.LetterSearchEnabled);
        QCOMPARE(p.title.StartDate, QDate::currentDate()); // no date of the title before
        treeJumps(QStringLiteral("120351a"), QStringLiteral("120351a"));
        open("rnd");
        QCOMPARE(fields(), QStringLiteral("--"));
        QVERIFY(p.title.RandomTopicMode);
        QVERIFY(!p.mainFrame()->menu("IndiciMenu")->menuAction()->isVisible());
        open("let");
        QCOMPARE(fields(), QStringLiteral("-L"));
        QVERIFY(!p.title.RandomTopicMode); // no random row: the index menu
        QVERIFY(p.mainFrame()->menu("IndiciMenu")->menuAction()->isVisible());
        QMenu *shown = nullptr;
        p.commands()->popupMenu = [&](QMenu *m, const QPoint &) { shown = m; };
        p.mainFrame()->button("Indici")->trigger();
        QCOMPARE(shown, p.mainFrame()->menu("IndiciMenu"));
        open("abc");
        QCOMPARE(fields(), QStringLiteral("D-"));
        QCOMPARE(p.title.StartDate, QDate(1851, 3, 12));
        treeJumps(QStringLiteral("D120351a"), QStringLiteral("120351a"));
    }

    // A title's database comes with the title, from anywhere: it is read
    // and never written, and its triggers do nothing. Regression: a view
    // that never ends in place of the contents, or a slow view of the
    // parameters, kept the reader busy while its temporary file filled the
    // disk. A view or a virtual table where a table belongs makes the
    // database the wrong one, as a database of another title is.
    void aTitleDatabaseIsOnlyRead_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("wrong");
        const QString endless = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) ");
        QTest::newRow("a trigger") << QStringLiteral(
                                          "CREATE TRIGGER wipe AFTER UPDATE ON Param BEGIN DELETE FROM Param; END;")
                                   << false;
        QTest::newRow("contents as an endless view")
            << QStringLiteral("ALTER TABLE Item RENAME TO ItemData; CREATE VIEW Item AS ") + endless +
                   QStringLiteral("SELECT i AS Ordine, 'k' || i AS Chiave, 't' AS Titolo, '' AS Parente, '' AS tipo "
                                  "FROM n;")
            << true;
        QTest::newRow("parameters as a slow view")
            << QStringLiteral(
                   "ALTER TABLE Param RENAME TO ParamData; CREATE VIEW Param AS SELECT * FROM ParamData, (") +
                   endless + QStringLiteral("SELECT i FROM n WHERE i < 100000000) ORDER BY 1;")
            << true;
        QTest::newRow("contents as a virtual table")
            << QStringLiteral("DROP TABLE Item; CREATE VIRTUAL TABLE Item USING fts5(Ordine, Chiave, Titolo, "
                              "Parente, tipo);")
            << true;
    }
    void aTitleDatabaseIsOnlyRead()
    {
        QFETCH(QString, sql);
        QFETCH(bool, wrong);
        ProgramFolder folder;
        const QString mdb = mdbOf(folder, QStringLiteral("abc"));
        ProgramFolder::exec(mdb, sql);
        QFile file(mdb);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        {
            ScriptedDialogs dialogs;
            Program p(folder.path(), dialogs);
            QVERIFY(p.Main(QStringLiteral("abc")));
            QCOMPARE(p.title.NoTitleDatabase, wrong);
            if (wrong) {
                // Said, then asked for: cancelled, the title runs without it.
                QCOMPARE(dialogs.shown.size(), size_t(2));
                QCOMPARE(dialogs.shown[0].text,
                         p.strings.text(QStringLiteral("BMSG"), 34).arg(QStringLiteral("abc.mdb")));
                QVERIFY(dialogs.shown[1].isFileDialog);
                QCOMPARE(p.reader()->TreeSommario->model()->rowCount(), 0);
            } else {
                QVERIFY(dialogs.shown.empty());
                QCOMPARE(p.title.TitleName, QStringLiteral("Fixture title"));
                QVERIFY(p.reader()->TreeSommario->model()->rowCount() > 0);
            }
            QCOMPARE(p.reader()->Fl_main->JumpContext(QStringLiteral("120351")), 0);
            bool cancel = false;
            p.shutdown(&cancel);
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void hugeOrLoopingContentsGiveAMessageAndAUsableReader_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("message");
        // A million top-level rows, without the compiler's indexes, then
        // with indexes of their names that index something else.
        const QString million = QStringLiteral(
            "DELETE FROM Item; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) "
            "INSERT INTO Item SELECT 0, 'k' || i, 'Voce ' || i, '', 'f' FROM n;");
        QTest::newRow("a million rows") << million + QStringLiteral("DROP INDEX IF EXISTS ItemParente;") << 32;
        QTest::newRow("indexes of another shape")
            << million +
                   QStringLiteral("DROP INDEX ItemParente; DROP INDEX ItemChiave;"
                                  "CREATE INDEX ItemParente ON Item(tipo); CREATE INDEX ItemChiave ON Item(Titolo);")
            << 32;
        // A chain of 100,000 rows, each the child of the one before, and two
        // rows whose parents name each other.
        QTest::newRow("a deep chain and a loop")
            << QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
                              "INSERT INTO Item SELECT 100 + i, 'c' || i, 'Anello ' || i, "
                              "CASE i WHEN 1 THEN 'Dsommario' ELSE 'c' || (i - 1) END, 'f' FROM n;"
                              "INSERT INTO Item VALUES (200001, 'X', 'X', 'Y', ''), (200002, 'Y', 'Y', 'X', '');")
            << 0;
        // A million subsets in the parameters.
        QTest::newRow("a million parameters")
            << QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) "
                              "INSERT INTO Param SELECT 100 + i, 'GRP', 'G' || i, 'Gruppo ' || i FROM n;")
            << 0;
    }
    void hugeOrLoopingContentsGiveAMessageAndAUsableReader()
    {
        QFETCH(QString, sql);
        QFETCH(int, message);
        ProgramFolder folder;
        ProgramFolder::exec(mdbOf(folder, QStringLiteral("abc")), sql);
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        if (message) {
            QCOMPARE(dialogs.shown.size(), size_t(1));
            QCOMPARE(dialogs.shown[0].text, p.strings.text(QStringLiteral("BMSG"), message));
        } else {
            QVERIFY(dialogs.shown.empty());
        }
        auto *model = title::contentsModel(p.windows());
        QVERIFY(model->rowCount() > 0);
        QVERIFY(model->rowCount() <= title::ContentsModel::kMaxFolderRows);
        // The reader reads, the tree follows, and a node past the depth a
        // reader could open is simply not found.
        QCOMPARE(p.reader()->Fl_main->JumpContext(QStringLiteral("120351")), 0);
        title::Sommario(p.windows(), p.title);
        QVERIFY(!node(p, QStringLiteral("c100000")).isValid());
        QVERIFY(!node(p, QStringLiteral("X")).isValid());
        QVERIFY(node(p, QStringLiteral("D120351")).isValid() || message);
        QVERIFY(p.reader()->Combo_sottoinsieme->count() <= 1000);
    }

    void contentsTreeFromItemRows()
    {
        ProgramFolder folder;
        // A child listed before its parent does not appear; nor does a second node with a key already used.
        ProgramFolder::exec(mdbOf(folder, QStringLiteral("abc")),
                            QStringLiteral("INSERT INTO Item VALUES (4, 'Dorphan', 'Orphan', 'Dlater', '');"
                                           "INSERT INTO Item VALUES (5, 'Dlater', 'Later', 'Dsommario', 'f');"
                                           "INSERT INTO Item VALUES (6, 'D1851', 'Again', 'Dsommario', '');"));
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QTreeView *tree = p.reader()->TreeSommario;
        QAbstractItemModel *model = tree->model();
        QCOMPARE(model->rowCount(), 1);
        const QModelIndex root = model->index(0, 0);
        QVERIFY(tree->isExpanded(root));
        QCOMPARE(model->rowCount(root), 2);
        const QModelIndex year = node(p, QStringLiteral("D1851"));
        QCOMPARE(year.parent(), root);
        QCOMPARE(year.data().toString(), QStringLiteral("1851"));
        QVERIFY(!tree->isExpanded(year));
        QCOMPARE(year.data(forms::ImageRole).toInt(), 5);
        QCOMPARE(node(p, QStringLiteral("D120351")).data(forms::ImageRole).toInt(), 4);
        QCOMPARE(node(p, QStringLiteral("D120351")).parent(), year);
        QVERIFY(node(p, QStringLiteral("Dlater")).isValid());
        QVERIFY(!node(p, QStringLiteral("Dorphan")).isValid());
        // A folder shows its open image while it is expanded.
        const QIcon closed = year.data(Qt::DecorationRole).value<QIcon>();
        tree->expand(year);
        QVERIFY(year.data(Qt::DecorationRole).value<QIcon>().cacheKey() != closed.cacheKey());
        tree->collapse(year);
        QCOMPARE(year.data(Qt::DecorationRole).value<QIcon>().cacheKey(), closed.cacheKey());
    }

    void contentsReadFolderByFolder()
    {
        // A root, 40 folders of 250 letters each: opening reads the root's
        // children only; finding a letter reads its folder and no other.
        QTemporaryDir dir;
        QString rows = QStringLiteral("INSERT INTO Item VALUES (0, 'R', 'Root', '', 'f');");
        int ordine = 1;
        for (int f = 0; f < 40; ++f) {
            rows += QStringLiteral("INSERT INTO Item VALUES (%1, 'F%2', 'Folder %2', 'R', 'f');").arg(ordine++).arg(f);
            for (int l = 0; l < 250; ++l)
                rows += QStringLiteral("INSERT INTO Item VALUES (%1, 'L%2_%3', 'Letter', 'F%2', '');")
                            .arg(ordine++)
                            .arg(f)
                            .arg(l);
        }
        auto d = itemTable(dir, rows, true);
        QVERIFY(d);
        title::ContentsModel m;
        QCOMPARE(m.load(d), title::ContentsModel::Load::Whole);
        QCOMPARE(m.rowCount(), 1);
        const QModelIndex root = m.index(0, 0);
        m.fetchMore(root);
        QCOMPARE(m.rowCount(root), 40);
        QCOMPARE(m.nodesHeld(), 41);
        QVERIFY(m.hasChildren(m.index(7, 0, root)));

        const QModelIndex letter = m.indexOfKey(QStringLiteral("L37_249"));
        QVERIFY(letter.isValid());
        QCOMPARE(m.nodesHeld(), 41 + 250);
        QCOMPARE(letter.row(), 249);
        QCOMPARE(letter.parent().data(forms::TagRole).toString(), QStringLiteral("F37"));
        QCOMPARE(letter.parent().parent(), root);
        QCOMPARE(letter.data(forms::ImageRole).toInt(), 4);
        QVERIFY(!m.hasChildren(letter));

        // Every row of the table is reachable by its place in reading order.
        QCOMPARE(m.rowCountInTable(), 1 + 40 * 251);
        QCOMPARE(m.indexOfRow(0), root);
        QCOMPARE(m.indexOfRow(2).data(forms::TagRole).toString(), QStringLiteral("L0_0"));
        QVERIFY(!m.indexOfRow(1 + 40 * 251).isValid());
        m.clear();
        QCOMPARE(m.rowCount(), 0);
        QVERIFY(!m.indexOfKey(QStringLiteral("R")).isValid());
    }

    void contentsOfAnOddTableSameWithOrWithoutIndexes()
    {
        // Children listed before their parent, keys used twice, trailing
        // blanks, a second top-level row, parents that name each other, a
        // row out of reading order in the file: the tree is the same
        // whether the database has the compiler's indexes or not.
        const QString rows = QStringLiteral(
            "INSERT INTO Item VALUES (3, 'B1', 'B one', 'B  ', '');" // first in the file, third in reading order
            "INSERT INTO Item VALUES (0, 'A  ', 'Root A', '', '');"  // top level; its key without the blanks
            "INSERT INTO Item VALUES (2, 'B', 'Folder B', 'A', 'f');"
            "INSERT INTO Item VALUES (1, 'Early', 'Early', 'B', '');" // before its parent: not a node
            "INSERT INTO Item VALUES (4, 'B', 'B again', 'A', 'f');"  // key used: not a node
            "INSERT INTO Item VALUES (5, 'C', 'Leaf with a child', 'A', '');"
            "INSERT INTO Item VALUES (6, 'C1', 'Child of a leaf', 'C', '');"
            "INSERT INTO Item VALUES (0, 'Z', 'Root Z', '', 'f');"
            "INSERT INTO Item VALUES (7, 'X', 'X', 'Y', '');" // X and Y name each other
            "INSERT INTO Item VALUES (8, 'Y', 'Y', 'X', '');"
            "INSERT INTO Item VALUES (9, 'Empty', 'Empty folder', 'Z', 'f');"
            "INSERT INTO Item VALUES (0, 'Z', 'Root Z again', '', 'f');");
        QTemporaryDir dir;
        for (const bool indexed : {true, false}) {
            auto d = itemTable(dir, rows, indexed);
            QVERIFY(d);
            title::ContentsModel m;
            QCOMPARE(m.load(d), title::ContentsModel::Load::Whole);
            QCOMPARE(shape(m), QStringLiteral("A(B(B1) C(C1)) Z(Empty)"));
            QCOMPARE(m.index(0, 0).data(forms::ImageRole).toInt(), 5); // a top-level node is a folder
            QCOMPARE(m.index(1, 0).data().toString(), QStringLiteral("Root Z"));
            const QModelIndex c = m.indexOfKey(QStringLiteral("C"));
            QCOMPARE(c.data(forms::ImageRole).toInt(), 4);
            QVERIFY(m.hasChildren(c));
            QVERIFY(!m.hasChildren(m.indexOfKey(QStringLiteral("Empty"))));
            for (const char *absent : {"Early", "X", "Y", "nothing"})
                QVERIFY2(!m.indexOfKey(QString::fromLatin1(absent)).isValid(), absent);
            QCOMPARE(m.rowCountInTable(), 12);
        }
        // A table the tree cannot be read from leaves the model empty.
        auto d = itemTable(dir, QStringLiteral("DROP TABLE Item;"), false);
        QVERIFY(d);
        title::ContentsModel m;
        QCOMPARE(m.load(d), title::ContentsModel::Load::Failed);
        QCOMPARE(m.rowCount(), 0);
    }

    void treeClickShowsTheTopicAndTheTreeFollowsTheTopic()
    {
        ProgramFolder folder;
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QTreeView *tree = p.reader()->TreeSommario;
        engine::TopicView *main = p.reader()->Fl_main;
        QVERIFY(p.reader()->isShown(forms::Panel::Contents));
        // The home topic's node is selected at start.
        QCOMPARE(tree->currentIndex(), node(p, QStringLiteral("Dsommario")));

        // A click on a node (keys of a date-search title carry a "D") shows
        // its topic, and toggles the node: twice on a folder opens and
        // closes it.
        const QModelIndex year = node(p, QStringLiteral("D1851"));
        QVERIFY(!tree->isExpanded(year));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(year).center());
        QVERIFY(tree->isExpanded(year));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(year).center());
        QVERIFY(!tree->isExpanded(year));
        tree->expand(year);
        const QModelIndex letter = node(p, QStringLiteral("D120351"));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(letter).center());
        QCOMPARE(main->TopicData(), QStringLiteral("120351"));

        // A note of that letter ("120351.2") selects the letter's node, and
        // the topic brings its node into view when its folder is closed.
        tree->setCurrentIndex(year);
        main->JumpContext(QStringLiteral("T120351.2"));
        QCOMPARE(main->TopicData(), QStringLiteral("120351.2"));
        QCOMPARE(tree->currentIndex(), letter);
        tree->collapse(year);
        main->JumpContext(QStringLiteral("Long"));
        main->JumpContext(QStringLiteral("120351"));
        QCOMPARE(tree->currentIndex(), letter);
        QVERIFY(tree->isExpanded(year));

        // Enter shows the selected node's topic and does not toggle it.
        tree->setCurrentIndex(node(p, QStringLiteral("D120351a")));
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Return);
        QCOMPARE(main->TopicData(), QStringLiteral("120351a"));
        QVERIFY(tree->isExpanded(year));
    }

    void rightClickAndShiftArrowsLeaveTheSelection()
    {
        ProgramFolder folder;
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QWidget *menuSource = nullptr;
        p.commands()->popupMenu = [&](QMenu *, const QPoint &) { menuSource = p.state.ContextMenuSource; };
        p.mainFrame()->resize(900, 400);
        QTreeView *tree = p.reader()->TreeSommario;
        engine::TopicView *main = p.reader()->Fl_main;
        main->JumpContext(QStringLiteral("Long"));
        const QModelIndex year = node(p, QStringLiteral("D1851"));
        tree->setCurrentIndex(year);
        const QModelIndex root = node(p, QStringLiteral("Dsommario"));
        QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, tree->visualRect(root).center());
        QCOMPARE(tree->currentIndex(), year);
        QCOMPARE(main->TopicData(), QStringLiteral("long"));
        QCOMPARE(menuSource, tree);

        tree->setFocus();
        QScrollBar *bar = main->regionView(1)->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), 0);
        QTest::keyClick(tree, Qt::Key_Down, Qt::ShiftModifier);
        QVERIFY(bar->value() > 0);
        QCOMPARE(tree->currentIndex(), year);
        QCOMPARE(QApplication::focusWidget(), tree);
    }
};

QTEST_MAIN(TestTitle)
#include "tst_title.moc"
