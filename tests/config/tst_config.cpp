// The application database's last-used titles and interface strings, on
// copies of the FL.mdb built for the program.
#include "dao.h"
#include "interface_strings.h"
#include "last_files.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace folium;

namespace {

QString freshCopy(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("FL.mdb"));
    QFile::remove(path);
    QFile::copy(QStringLiteral(FOLIUM_RUNTIME_DIR "/FL.mdb"), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

void setRows(const QString &path, const QStringList &files)
{
    int err = 0;
    auto db = db::Database::OpenDatabase(path, &err);
    auto rs = db->OpenRecordset(QStringLiteral("LastFiles"), &err);
    rs->setIndex(QStringLiteral("Ordine"));
    int i = 0;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext(), ++i) {
        rs->Edit();
        rs->setField(QStringLiteral("Fichier"), files.value(i));
        rs->Update();
    }
}

QStringList rows(const QString &path)
{
    int err = 0;
    auto db = db::Database::OpenDatabase(path, &err);
    auto rs = db->OpenRecordset(QStringLiteral("LastFiles"), &err);
    rs->setIndex(QStringLiteral("Ordine"));
    QStringList out;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
        out << rs->Field(QStringLiteral("Fichier")).toString();
    return out;
}

} // namespace

class TestConfig : public QObject {
    Q_OBJECT

private slots:
    void lastFilesArePackedAndWrittenBackInMenuOrder()
    {
        QTemporaryDir dir;
        const QString path = freshCopy(dir);
        setRows(path, {QStringLiteral("/t/A.m14"), QString(), QStringLiteral("/t/C.m14"), QString()});
        config::LastFiles lf;
        QCOMPARE(config::readLastFiles(path, &lf), 0);
        QCOMPARE(lf.count, 1);
        QCOMPARE(lf.captions, (QStringList{"&1 /t/A.m14", "&2 /t/C.m14", "", ""}));
        QVERIFY(lf.visible[0] && lf.visible[1] && !lf.visible[2] && !lf.visible[3]);
        QCOMPARE(config::writeLastFiles(path, lf.captions), 0);
        QCOMPARE(rows(path), (QStringList{"/t/A.m14", "/t/C.m14", "", ""}));
    }

    void noLastFiles()
    {
        QTemporaryDir dir;
        const QString path = freshCopy(dir);
        config::LastFiles lf;
        QCOMPARE(config::readLastFiles(path, &lf), 0);
        QCOMPARE(lf.count, -1);
        QVERIFY(!lf.visible[0]);
        QCOMPARE(config::readLastFiles(dir.filePath(QStringLiteral("missing.mdb")), &lf), int(db::kErrFileNotFound));
    }

    void stringsOfEachLanguage()
    {
        QTemporaryDir dir;
        const QString path = freshCopy(dir);
        int err = 0;
        auto db = db::Database::OpenDatabase(path, &err);
        QStringList menus;
        for (const QString &lang :
             {QStringLiteral("Fran\u00e7ais"), QStringLiteral("English"), QStringLiteral("Italiano")}) {
            config::InterfaceStrings s;
            QCOMPARE(s.load(*db, lang), 0);
            QCOMPARE(s.size(), 118);
            QVERIFY(!s.text(QStringLiteral("BMSG"), 30).isEmpty());
            menus << s.text(QStringLiteral("MENU"), 18);
        }
        // Three languages, three different View menus.
        QCOMPARE(QSet<QString>(menus.begin(), menus.end()).size(), 3);
        QCOMPARE(config::languageColumn(QStringLiteral("Italiano")), QStringLiteral("Ita"));
        QCOMPARE(config::helpFileFor(QStringLiteral("English"), QStringLiteral("/p")), QStringLiteral("/p/FLEN.hlp"));
        QCOMPARE(config::helpFileFor(QStringLiteral("Deutsch"), QStringLiteral("/p")), QString());
    }

    void unknownRowsAreIgnored()
    {
        QTemporaryDir dir;
        const QString path = freshCopy(dir);
        int err = 0;
        auto db = db::Database::OpenDatabase(path, &err);
        QCOMPARE(db->execScript(QStringLiteral("INSERT INTO Langues VALUES (500, 'MENU', 50, 'x', 'x', 'x');"
                                               "INSERT INTO Langues VALUES (501, 'ZZZZ', 1, 'x', 'x', 'x');"
                                               "INSERT INTO Langues VALUES (502, 'MENU', 0, 'x', 'x', 'x');")),
                 0);
        config::InterfaceStrings s;
        QCOMPARE(s.load(*db, QStringLiteral("English")), 0);
        QCOMPARE(s.size(), 118);
        QCOMPARE(s.text(QStringLiteral("MENU"), 50), QString());
        QCOMPARE(s.text(QStringLiteral("ZZZZ"), 1), QString());
        QVERIFY(config::isKnownKey(QStringLiteral("MENU"), 49));
        QVERIFY(!config::isKnownKey(QStringLiteral("MENU"), 50));
        QVERIFY(!config::isKnownKey(QStringLiteral("RESU"), 2));
    }
};

QTEST_MAIN(TestConfig)
#include "tst_config.moc"
