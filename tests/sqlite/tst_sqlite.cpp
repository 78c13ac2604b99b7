// The SQLite wrapper the title format and the database layer share: values
// of every type bound and read back as stored, a kept statement run again,
// a blob read in pieces across rows, result codes told apart, and a file
// from elsewhere held to its limits.
#include "sqlite.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using folium::sqlite::Blob;
using folium::sqlite::Connection;
using folium::sqlite::Failure;
using folium::sqlite::Statement;

class TestSqlite : public QObject {
    Q_OBJECT
private slots:
    void valuesGoInAndComeBackAsStored()
    {
        QTemporaryDir dir;
        Connection db;
        QCOMPARE(db.open(dir.filePath(QStringLiteral("v.db")), Connection::Mode::Create), 0);
        QVERIFY(db.exec("CREATE TABLE t(v)"));
        Statement insert(db, "INSERT INTO t(v) VALUES(?1)", true);
        const QVariantList values{QVariant(),    QVariant(true),
                                  QVariant(42),  QVariant(qint64(1) << 40),
                                  QVariant(2.5), QVariant(QStringLiteral("c\u0153ur \u00e0 l'\u00e9cart"))};
        for (const QVariant &v : values) {
            insert.reset();
            insert.bind(1, v);
            QVERIFY(!insert.step());
            QVERIFY(insert.succeeded());
        }
        QCOMPARE(db.lastInsertRowid(), qint64(values.size()));
        QCOMPARE(db.totalChanges(), qint64(values.size()));
        Statement read(db, "SELECT v, typeof(v) FROM t ORDER BY rowid");
        const QStringList types{"null", "integer", "integer", "integer", "real", "text"};
        for (int i = 0; i < values.size(); ++i) {
            QVERIFY(read.step());
            QCOMPARE(read.text(1), types[i]);
            QCOMPARE(read.isNull(0), i == 0);
        }
        QVERIFY(!read.step());
        QVERIFY(read.succeeded());
        read.rewind();
        QVERIFY(read.step());
        QVERIFY(read.step());
        QCOMPARE(read.value(0), QVariant(qint64(1))); // a boolean is stored as 1
        QVERIFY(read.step() && read.step() && read.step());
        QCOMPARE(read.value(0), QVariant(2.5));
        QVERIFY(read.step());
        QCOMPARE(read.value(0), QVariant(QStringLiteral("c\u0153ur \u00e0 l'\u00e9cart")));
    }

    void aBlobIsReadInPiecesAcrossRows()
    {
        QTemporaryDir dir;
        Connection db;
        QVERIFY(db.openForWriting(dir.filePath(QStringLiteral("b.db"))));
        QVERIFY(db.exec("CREATE TABLE c(data BLOB)"));
        Statement insert(db, "INSERT INTO c(rowid, data) VALUES(?1, ?2)");
        for (int row = 1; row <= 2; ++row) {
            insert.reset();
            insert.bind(1, int64_t(row));
            insert.bind(2, QByteArray(row == 1 ? "first" : "second row"));
            insert.step();
            QVERIFY(insert.succeeded());
        }
        Blob blob;
        QVERIFY(blob.open(db, "c", "data", 1));
        QCOMPARE(blob.size(), 5);
        char piece[4] = {};
        QVERIFY(blob.read(piece, 3, 1));
        QCOMPARE(QByteArray(piece, 3), QByteArray("irs"));
        QVERIFY(!blob.read(piece, 4, 3)); // past its end
        QVERIFY(blob.reopen(2));
        QCOMPARE(blob.size(), 10);
        QVERIFY(!blob.reopen(3)); // no such row: the blob is spent
        QVERIFY(!blob.isOpen());
        QVERIFY(!blob.read(piece, 1, 0));
        QVERIFY(!blob.open(db, "c", "nothing", 1));
    }

    void resultCodesAreToldApart()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.db"));
        Connection db;
        QVERIFY(db.open(dir.filePath(QStringLiteral("none/x.db")), Connection::Mode::Create) != 0);
        QVERIFY(!db.isOpen());
        QFile text(path);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray(4096, 'x'));
        text.close();
        QCOMPARE(db.open(path, Connection::Mode::ReadOnly), 0); // SQLite reads the header lazily
        const int rc = db.execute("SELECT count(*) FROM sqlite_master");
        QCOMPARE(folium::sqlite::failureOf(rc), Failure::NotADatabase);
        QCOMPARE(folium::sqlite::failureOf(0), Failure::None);
        // A statement the schema refuses is no disk error.
        Connection mem;
        QCOMPARE(mem.open(dir.filePath(QStringLiteral("m.db")), Connection::Mode::Create), 0);
        Statement bad(mem, "SELECT * FROM missing");
        QVERIFY(!bad.ok());
        QCOMPARE(folium::sqlite::failureOf(bad.rc()), Failure::Other);
        QVERIFY(!bad.step()); // a statement that failed to prepare steps to nothing
        QVERIFY(!mem.inTransaction());
        QVERIFY(mem.exec("BEGIN"));
        QVERIFY(mem.inTransaction());
        QVERIFY(mem.exec("ROLLBACK"));
    }

    void aFileFromElsewhereKeepsToItsLimits()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.db"));
        {
            Connection w;
            QVERIFY(w.openForWriting(path));
            QVERIFY(w.exec("CREATE TABLE t(a); CREATE VIEW v AS SELECT a FROM t; INSERT INTO t VALUES(1)"));
        }
        Connection db;
        QVERIFY(db.openUntrustedReadOnly(path));
        Statement view(db, "SELECT * FROM v");
        QVERIFY(!view.ok() || !view.step()); // the schema's views are not run
        QVERIFY(!db.exec("INSERT INTO t VALUES(2)"));
        QVERIFY(!db.exec("ATTACH DATABASE ':memory:' AS other"));
        const QByteArray deep = "SELECT " + QByteArray("(").repeated(200) + "1" + QByteArray(")").repeated(200);
        QVERIFY(!Statement(db, deep.constData()).ok());
        Statement plain(db, "SELECT a FROM t");
        QVERIFY(plain.step());
        QCOMPARE(plain.integer(0), 1);
    }
};

QTEST_GUILESS_MAIN(TestSqlite)
#include "tst_sqlite.moc"
