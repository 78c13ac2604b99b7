// The database layer: opening and creating with their errors, table
// definitions, recordsets walked by index, edits, and writes that fail.
#include "dao.h"
#include "faulty_vfs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>

using namespace folium::db;

namespace {

// A database with table "Item"(Ordine, Chiave) and index "Ordine", rows
// added in the order 2, 0, 1.
std::shared_ptr<Database> makeItems(const QString &path)
{
    int err = -1;
    auto db = Database::CreateDatabase(path, QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0"), &err);
    if (!db || err)
        return nullptr;
    TableDef def = db->CreateTableDef(QStringLiteral("Item"));
    def.appendField(def.CreateField(QStringLiteral("Ordine"), FieldType::Long));
    def.appendField(def.CreateField(QStringLiteral("Chiave"), FieldType::Text));
    if (db->appendTableDef(def) || db->execScript(QStringLiteral("CREATE INDEX Ordine ON Item(Ordine)")))
        return nullptr;
    auto rs = db->OpenRecordset(QStringLiteral("Item"), &err);
    for (const auto &[n, k] : {std::pair{2, "c"}, std::pair{0, "a"}, std::pair{1, "b"}}) {
        rs->AddNew();
        rs->setField(QStringLiteral("Ordine"), n);
        rs->setField(QStringLiteral("Chiave"), QString::fromLatin1(k));
        if (rs->Update())
            return nullptr;
    }
    return db;
}

QStringList walk(Recordset &rs)
{
    QStringList out;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        out << rs.Field(QStringLiteral("Chiave")).toString();
    return out;
}

} // namespace

class TestDatabase : public QObject {
    Q_OBJECT

private slots:
    void openingErrors()
    {
        QTemporaryDir dir;
        int err = 0;
        QVERIFY(!Database::OpenDatabase(dir.filePath(QStringLiteral("none.mdb")), &err));
        QCOMPARE(err, int(kErrFileNotFound));
        QFile text(dir.filePath(QStringLiteral("text.mdb")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray(4096, 'x'));
        text.close();
        QVERIFY(!Database::OpenDatabase(text.fileName(), &err));
        QCOMPARE(err, int(kErrNotDatabase));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.mdb")));
        QVERIFY(!Database::OpenDatabase(dir.filePath(QStringLiteral("folder.mdb")), &err));
        QCOMPARE(err, int(kErrCannotOpen));

        const QString path = dir.filePath(QStringLiteral("items.mdb"));
        QVERIFY(makeItems(path));
        QVERIFY(!Database::CreateDatabase(path, QString(), &err));
        QCOMPARE(err, int(kErrDatabaseExists));
        // A database locked by another user.
        auto holder = Database::OpenDatabase(path, &err);
        QCOMPARE(err, 0);
        QCOMPARE(holder->execScript(QStringLiteral("BEGIN EXCLUSIVE; UPDATE Item SET Chiave = 'z';")), 0);
        QVERIFY(!Database::OpenDatabase(path, &err));
        QCOMPARE(err, int(kErrInUse));
        holder->execScript(QStringLiteral("ROLLBACK"));
        QVERIFY(Database::OpenDatabase(path, &err));
        QCOMPARE(err, 0);
    }

    void tablesAndIndexes()
    {
        QTemporaryDir dir;
        auto db = makeItems(dir.filePath(QStringLiteral("items.mdb")));
        QVERIFY(db);
        TableDef again = db->CreateTableDef(QStringLiteral("Item"));
        again.appendField(again.CreateField(QStringLiteral("x"), FieldType::Text));
        QCOMPARE(db->appendTableDef(again), int(kErrTableExists));
        int err = 0;
        QVERIFY(!db->OpenRecordset(QStringLiteral("Nothing"), &err));
        QCOMPARE(err, int(kErrNoTable));

        auto rs = db->OpenRecordset(QStringLiteral("Item"), &err);
        QCOMPARE(walk(*rs), (QStringList{"c", "a", "b"})); // as added
        QCOMPARE(rs->setIndex(QStringLiteral("Ordine")), 0);
        QCOMPARE(walk(*rs), (QStringList{"a", "b", "c"}));
        QCOMPARE(rs->setIndex(QStringLiteral("Ordre")), int(kErrNoIndex));
        db->execScript(QStringLiteral("CREATE TABLE Other(x); CREATE INDEX OtherX ON Other(x);"));
        QCOMPARE(rs->setIndex(QStringLiteral("OtherX")), int(kErrNoIndex));
        QCOMPARE(rs->Sort(QStringLiteral("Chiave")), 0);
        QCOMPARE(walk(*rs), (QStringList{"a", "b", "c"}));
        QCOMPARE(rs->Sort(QStringLiteral("Nope")), int(kErrNoField));
        rs->MoveFirst();
        rs->Field(QStringLiteral("Nope"), &err);
        QCOMPARE(err, int(kErrNoField));
        QCOMPARE(rs->Field(QStringLiteral("Ordine")).toInt(), 0);
    }

    void editAddDeleteAndTheCurrentRecord()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("items.mdb"));
        {
            auto db = makeItems(path);
            int err = 0;
            auto rs = db->OpenRecordset(QStringLiteral("Item"), &err);
            rs->setIndex(QStringLiteral("Ordine"));
            QCOMPARE(rs->Update(), int(kErrUpdateWithoutEdit));
            QCOMPARE(rs->setField(QStringLiteral("Chiave"), QStringLiteral("x")), int(kErrUpdateWithoutEdit));
            rs->MoveFirst();
            rs->MoveNext(); // "b"
            QCOMPARE(rs->Edit(), 0);
            QCOMPARE(rs->setField(QStringLiteral("Chiave"), QStringLiteral("B")), 0);
            QCOMPARE(rs->Update(), 0);
            QCOMPARE(rs->Field(QStringLiteral("Chiave")).toString(), QStringLiteral("B"));
            // AddNew leaves the current record where it was.
            rs->AddNew();
            rs->setField(QStringLiteral("Ordine"), 3);
            rs->setField(QStringLiteral("Chiave"), QStringLiteral("d"));
            QCOMPARE(rs->Update(), 0);
            QCOMPARE(rs->Field(QStringLiteral("Chiave")).toString(), QStringLiteral("B"));
            // Delete: no current record until the next move, which reaches what followed.
            QCOMPARE(rs->Delete(), 0);
            int e = 0;
            rs->Field(QStringLiteral("Chiave"), &e);
            QCOMPARE(e, int(kErrNoCurrentRecord));
            rs->MoveNext();
            QCOMPARE(rs->Field(QStringLiteral("Chiave")).toString(), QStringLiteral("c"));
            rs->MoveNext();
            rs->MoveNext();
            QVERIFY(rs->Eof());
            QCOMPARE(rs->MoveNext(), int(kErrNoCurrentRecord));
            QCOMPARE(rs->Edit(), int(kErrNoCurrentRecord));
        }
        // Everything was written: read it back from a fresh open.
        int err = 0;
        auto db = Database::OpenDatabase(path, &err);
        auto rs = db->OpenRecordset(QStringLiteral("Item"), &err);
        rs->setIndex(QStringLiteral("Ordine"));
        QCOMPARE(walk(*rs), (QStringList{"a", "c", "d"}));
    }

    // Without an index, rows are walked in the order they were stored in
    // (rowid), and a row added takes its place there without the table
    // being read again; the current record, or the end, stays as it was.
    void rowsAddedInStoredOrder()
    {
        QTemporaryDir dir;
        int err = 0;
        auto db = Database::CreateDatabase(dir.filePath(QStringLiteral("k.mdb")), QString(), &err);
        QCOMPARE(db->execScript(QStringLiteral("CREATE TABLE K(Id INTEGER PRIMARY KEY, Chiave TEXT);"
                                               "INSERT INTO K VALUES (1, 'a'), (10, 'c');")),
                 0);
        auto rs = db->OpenRecordset(QStringLiteral("K"), &err);
        rs->MoveFirst();
        rs->MoveNext(); // "c"
        rs->AddNew();
        rs->setField(QStringLiteral("Id"), 5);
        rs->setField(QStringLiteral("Chiave"), QStringLiteral("b"));
        QCOMPARE(rs->Update(), 0);
        QCOMPARE(rs->Field(QStringLiteral("Chiave")).toString(), QStringLiteral("c"));
        rs->MoveNext();
        QVERIFY(rs->Eof());
        rs->AddNew();
        rs->setField(QStringLiteral("Chiave"), QStringLiteral("d"));
        QCOMPARE(rs->Update(), 0);
        QVERIFY(rs->Eof()); // still past the last
        QCOMPARE(rs->recordCount(), 4);
        QCOMPARE(walk(*rs), (QStringList{"a", "b", "c", "d"}));
    }

    // Rows are read ahead a page at a time: a walk over many pages in index
    // order reads the right values, sees what other recordsets and other
    // connections write meanwhile, and leaves no lock behind between rows.
    void longWalksReadAheadButStayCurrent()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("many.mdb"));
        auto db = makeItems(path);
        QVERIFY(db);
        // 300 more rows, added in reverse order of Ordine so that the index
        // order and the rowid order differ.
        QCOMPARE(db->execScript(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 302 UNION ALL SELECT i - 1 FROM n "
                                               "WHERE i > 3) INSERT INTO Item SELECT i, 'k' || i FROM n")),
                 kOk);
        int err = -1;
        auto rs = db->OpenRecordset(QStringLiteral("Item"), &err);
        QVERIFY(rs);
        QCOMPARE(rs->setIndex(QStringLiteral("Ordine")), kOk);
        QStringList expected{"a", "b", "c"};
        for (int i = 3; i <= 302; ++i)
            expected << QStringLiteral("k%1").arg(i);
        QCOMPARE(walk(*rs), expected);

        // The layer's clock is the test's: time passes when the test says.
        auto now = std::chrono::steady_clock::now();
        db->setClock([&now] { return now; });

        // Row 10 is read with its page; a change made meanwhile by another
        // recordset, and one by another connection, are both seen.
        rs->MoveFirst();
        for (int i = 0; i < 10; ++i)
            rs->MoveNext();
        QCOMPARE(rs->Field(QStringLiteral("Chiave")).toString(), QStringLiteral("k10"));
        auto other = db->OpenRecordset(QStringLiteral("Item"), &err);
        QCOMPARE(other->setIndex(QStringLiteral("Ordine")), kOk);
        other->MoveFirst();
        for (int i = 0; i < 11; ++i)
            other->MoveNext();
        QCOMPARE(other->Edit(), kOk);
        other->setField(QStringLiteral("Chiave"), QStringLiteral("changed here"));
        QCOMPARE(other->Update(), kOk);
        rs->MoveNext();
        QCOMPARE(rs->Field(QStringLiteral("Chiave")).toString(), QStringLiteral("changed here"));

        // A second connection can write while the walk is half-way: the
        // walk holds no read lock between rows. What it writes is seen once
        // the page is old enough to be checked again.
        auto second = Database::OpenDatabase(path, &err);
        QVERIFY(second);
        auto far = second->OpenRecordset(QStringLiteral("Item"), &err);
        QCOMPARE(far->setIndex(QStringLiteral("Ordine")), kOk);
        far->MoveFirst();
        for (int i = 0; i < 12; ++i)
            far->MoveNext();
        QCOMPARE(far->Edit(), kOk);
        far->setField(QStringLiteral("Chiave"), QStringLiteral("changed there"));
        QCOMPARE(far->Update(), kOk);
        QCOMPARE(second->execScript(QStringLiteral("DELETE FROM Item WHERE Ordine = 14")), kOk);
        now += std::chrono::milliseconds(600);
        rs->MoveNext();
        QCOMPARE(rs->Field(QStringLiteral("Chiave")).toString(), QStringLiteral("changed there"));
        rs->MoveNext();
        QCOMPARE(rs->Field(QStringLiteral("Chiave")).toString(), QStringLiteral("k13"));
        // The row deleted there has no fields.
        rs->MoveNext();
        QVERIFY(!rs->Field(QStringLiteral("Chiave")).isValid());
        rs->MoveNext();
        QCOMPARE(rs->Field(QStringLiteral("Chiave")).toString(), QStringLiteral("k15"));
    }

    void applicationDatabaseAsDelivered()
    {
        // Work on a copy: the tests never write beside the program.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("FL.mdb"));
        QVERIFY(QFile::copy(QStringLiteral(FOLIUM_RUNTIME_DIR "/FL.mdb"), path));
        int err = 0;
        auto db = Database::OpenDatabase(path, &err);
        QCOMPARE(err, 0);

        auto options = db->OpenRecordset(QStringLiteral("Options"), &err);
        QCOMPARE(options->recordCount(), 1);
        QCOMPARE(options->columns(),
                 (QStringList{"OptNotes", "OptF9", "OptCrono", "OptAffiche", "SepScreen", "SepPrint", "MarginSinistra",
                              "MarginDestra", "MarginSopra", "MarginSotto", "AndImplicito", "Near", "Zoom", "Language",
                              "Sommaire", QStringLiteral("TextesD\u00e9faut"), "Scroll", "SplitPos"}));
        options->MoveFirst();
        QCOMPARE(options->Field(QStringLiteral("MarginSinistra")).toString(), QStringLiteral("02.00"));
        QCOMPARE(options->Field(QStringLiteral("Zoom")).toInt(), 100);
        QCOMPARE(options->Field(QStringLiteral("Language")).toString(), QStringLiteral("Fran\u00e7ais"));

        auto last = db->OpenRecordset(QStringLiteral("LastFiles"), &err);
        QCOMPARE(last->setIndex(QStringLiteral("Ordine")), 0);
        int rows = 0;
        for (last->MoveFirst(); !last->Eof(); last->MoveNext(), ++rows)
            QCOMPARE(last->Field(QStringLiteral("Fichier")).toString(), QString());
        QCOMPARE(rows, 4);

        // Every key of every group, with a text in each language.
        auto langues = db->OpenRecordset(QStringLiteral("Langues"), &err);
        QCOMPARE(langues->setIndex(QStringLiteral("Ordine")), 0);
        QMap<QString, QList<int>> keys;
        int previous = 0;
        for (langues->MoveFirst(); !langues->Eof(); langues->MoveNext()) {
            const int ordine = langues->Field(QStringLiteral("Ordine")).toInt();
            QVERIFY(ordine > previous);
            previous = ordine;
            const QString group = langues->Field(QStringLiteral("Nom")).toString();
            keys[group] << langues->Field(QStringLiteral("No")).toInt();
            for (const char *lang : {"Fra", "Eng", "Ita"})
                QVERIFY2(!langues->Field(QString::fromLatin1(lang)).toString().trimmed().isEmpty(),
                         qPrintable(group + u' ' + QString::fromLatin1(lang)));
        }
        const QMap<QString, int> expected{{"RECH", 10}, {"RESU", 1},  {"MENU", 52}, {"BUTT", 2}, {"FENE", 3},
                                          {"OPTI", 18}, {"BMSG", 39}, {"ALOAD", 1}, {"LOAD", 3}, {"VERS", 1},
                                          {"AIDE", 5},  {"ACCE", 12}, {"STAT", 7},  {"REQU", 4}, {"IMPT", 19}};
        QCOMPARE(keys.keys(), expected.keys());
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            QList<int> want;
            for (int n = 1; n <= it.value(); ++n)
                want << n;
            QList<int> got = keys.value(it.key());
            std::sort(got.begin(), got.end());
            QCOMPARE(got, want);
        }
    }

    // A database read from elsewhere is only read, runs nothing of its
    // schema, and gives each request a budget: a query that would never
    // end ends with an error, and the next request works again.
    void aDatabaseFromElsewhereIsReadWithinBounds()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.mdb"));
        {
            int err = 0;
            auto db = Database::CreateDatabase(path, QString(), &err);
            QCOMPARE(
                db->execScript(QStringLiteral("CREATE TABLE Param(Ordre INTEGER, Codice TEXT);"
                                              "INSERT INTO Param VALUES (1, 'COD');"
                                              "CREATE VIEW Endless AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                                              "SELECT i + 1 FROM n) SELECT i FROM n;"
                                              "CREATE TRIGGER t AFTER INSERT ON Param BEGIN DELETE FROM Param; END;")),
                0);
        }
        int err = 0;
        auto db = Database::OpenReadOnly(path, &err);
        QVERIFY(db);
        auto endless = db->prepare(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT count(*) FROM n"),
            &err);
        QVERIFY(endless);
        QVERIFY(!endless->next());
        QCOMPARE(endless->error(), int(kErrTooLong));
        QVERIFY(!db->OpenRecordset(QStringLiteral("Endless"), &err)); // views are not read
        QVERIFY(err != 0);
        auto rs = db->OpenRecordset(QStringLiteral("Param"), &err);
        QVERIFY(rs);
        QCOMPARE(rs->Field(QStringLiteral("Codice")).toString(), QStringLiteral("COD"));
        QVERIFY(db->execScript(QStringLiteral("INSERT INTO Param VALUES (2, 'X')")) != 0); // nor written
    }

    void readsATitleDatabaseByItsIndexes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("basic.mdb"));
        QVERIFY(QFile::copy(QStringLiteral(FOLIUM_FIXTURE_OUT "/basic.mdb"), path));
        int err = 0;
        auto db = Database::OpenDatabase(path, &err);
        auto items = db->OpenRecordset(QStringLiteral("Item"), &err);
        QCOMPARE(items->setIndex(QStringLiteral("Ordine")), 0);
        items->MoveFirst();
        QCOMPARE(items->Field(QStringLiteral("Ordine")).toInt(), 0);
        QCOMPARE(items->Field(QStringLiteral("Chiave")).toString(), QStringLiteral("Dsommario"));
        auto params = db->OpenRecordset(QStringLiteral("Param"), &err);
        QCOMPARE(params->setIndex(QStringLiteral("Ordre")), 0);
        params->MoveFirst();
        QCOMPARE(params->Field(QStringLiteral("Codice")).toString(), QStringLiteral("COD"));
        QCOMPARE(params->Field(QStringLiteral("Param1")).toString(), QStringLiteral("basic"));
    }

    void failedWritesLeaveTheFileAsItWas_data()
    {
        QTest::addColumn<int>("writesBeforeFailure");
        QTest::newRow("no write gets through") << 0;
        QTest::newRow("the journal, then nothing") << 1;
        QTest::newRow("part of the change") << 3;
    }

    void failedWritesLeaveTheFileAsItWas()
    {
        QFETCH(int, writesBeforeFailure);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("items.mdb"));
        QVERIFY(makeItems(path));
        testing::installFaultyVfs();
        {
            int err = 0;
            auto db = Database::OpenDatabase(path, &err);
            QCOMPARE(err, 0);
            auto rs = db->OpenRecordset(QStringLiteral("Item"), &err);
            rs->setIndex(QStringLiteral("Ordine"));
            rs->MoveFirst();
            testing::failWritesAfter(writesBeforeFailure);
            rs->Edit();
            rs->setField(QStringLiteral("Chiave"), QStringLiteral("lost"));
            QCOMPARE(rs->Update(), int(kErrDiskFull));
            rs->CancelUpdate();
            rs->AddNew();
            rs->setField(QStringLiteral("Ordine"), 9);
            QCOMPARE(rs->Update(), int(kErrDiskFull));
            testing::failWritesAfter(-1);
        }
        int err = 0;
        auto db = Database::OpenDatabase(path, &err);
        QCOMPARE(err, 0);
        auto rs = db->OpenRecordset(QStringLiteral("Item"), &err);
        rs->setIndex(QStringLiteral("Ordine"));
        QCOMPARE(walk(*rs), (QStringList{"a", "b", "c"}));
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
