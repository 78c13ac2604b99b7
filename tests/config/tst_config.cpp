// The application database's last-used titles and interface strings, on
// copies of the FL.mdb built for the program.
#include "dao.h"
#include "data_control.h"
#include "faulty_vfs.h"
#include "program_folder.h"
#include "dialogs.h"
#include "form2.h"
#include "interface_strings.h"
#include "last_files.h"
#include "option_set.h"
#include "places.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
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

} // namespace

class TestConfig : public QObject {
    Q_OBJECT

private slots:
    void lastFilesArePackedAndWrittenBackInMenuOrder()
    {
        QTemporaryDir dir;
        const QString path = freshCopy(dir);
        testing::ProgramFolder::setLastFilesIn(
            path, {QStringLiteral("/t/A.m14"), QString(), QStringLiteral("/t/C.m14"), QString()});
        config::LastFiles lf;
        QCOMPARE(config::readLastFiles(path, &lf), 0);
        QCOMPARE(lf.count, 1);
        QCOMPARE(lf.captions, (QStringList{"&1 /t/A.m14", "&2 /t/C.m14", "", ""}));
        QVERIFY(lf.visible[0] && lf.visible[1] && !lf.visible[2] && !lf.visible[3]);
        QCOMPARE(config::writeLastFiles(path, lf.captions), 0);
        QCOMPARE(testing::ProgramFolder::lastFilesIn(path), (QStringList{"/t/A.m14", "/t/C.m14", "", ""}));
    }

    // Regression: the rows were written one transaction each, and a write
    // cut short left a list that was neither the old nor the new one.
    void anInterruptedWriteLeavesTheOldListOrTheNew()
    {
        QTemporaryDir dir;
        const QString path = freshCopy(dir);
        const QStringList before{"/t/D.m14", "/t/C.m14", "/t/B.m14", "/t/A.m14"};
        const QStringList after{"&1 /t/A.m14", "&2 /t/D.m14", "&3 /t/C.m14", "&4 /t/B.m14"};
        db::testing::installFaultyVfs();
        int failures = 0;
        for (int writes = 0; writes < 40; ++writes) {
            testing::ProgramFolder::setLastFilesIn(path, before);
            db::testing::failWritesAfter(writes);
            const int err = config::writeLastFiles(path, after);
            db::testing::failWritesAfter(-1);
            const QStringList now = testing::ProgramFolder::lastFilesIn(path);
            if (err != 0) {
                ++failures;
                QCOMPARE(err, int(db::kErrDiskFull));
                QCOMPARE(now, before);
            } else {
                QCOMPARE(now, (QStringList{"/t/A.m14", "/t/D.m14", "/t/C.m14", "/t/B.m14"}));
                break;
            }
        }
        QVERIFY(failures > 0); // some point of the write was interrupted
    }

    // The window's place and the places to resume reading: kept per title,
    // added to an FL.mdb that lacks their tables, and never torn by a write
    // cut short.
    void placesKeptAndNeverTorn()
    {
        QTemporaryDir dir;
        const QString path = freshCopy(dir);
        {
            int err = 0;
            auto db = db::Database::OpenDatabase(path, &err);
            QCOMPARE(db->execScript(QStringLiteral("DROP TABLE Reprise; DROP TABLE Fenetre")), 0);
        }
        QByteArray geometry("old");
        QCOMPARE(config::readWindowGeometry(path, &geometry), 0);
        QVERIFY(geometry.isEmpty());
        config::ReadingPlace place;
        QCOMPARE(config::readReadingPlace(path, QStringLiteral("/t/A.m14"), &place), 0);
        QVERIFY(!place.valid());

        const config::ReadingPlace a{QStringLiteral("/t/A.m14"), {-1, 0x100010, 1234}, QStringLiteral("/12 marzo")};
        const config::ReadingPlace b{QStringLiteral("/t/B.m14"), {-1, 0x100020, 7}, QStringLiteral("*Chapter")};
        QCOMPARE(config::writeReadingPlace(path, a), 0);
        QCOMPARE(config::writeReadingPlace(path, b), 0);
        QCOMPARE(config::writeWindowGeometry(path, QByteArray("\x01\x02geometry")), 0);
        QCOMPARE(config::readReadingPlace(path, a.file, &place), 0);
        QCOMPARE(place.place.address, a.place.address);
        QCOMPARE(place.place.scroll, a.place.scroll);
        QCOMPARE(place.topicTitle, a.topicTitle);
        QCOMPARE(config::readWindowGeometry(path, &geometry), 0);
        QCOMPARE(geometry, QByteArray("\x01\x02geometry"));

        // A new place for A replaces its old one; cut short, it leaves it.
        const config::ReadingPlace a2{a.file, {-1, 0x100030, 99}, QStringLiteral("/13 marzo")};
        db::testing::installFaultyVfs();
        int failures = 0;
        for (int writes = 0; writes < 40; ++writes) {
            db::testing::failWritesAfter(writes);
            const int placeErr = config::writeReadingPlace(path, a2);
            const int windowErr = config::writeWindowGeometry(path, QByteArray("new"));
            db::testing::failWritesAfter(-1);
            QCOMPARE(config::readReadingPlace(path, a.file, &place), 0);
            QCOMPARE(place.place.address, placeErr == 0 ? a2.place.address : a.place.address);
            QCOMPARE(place.topicTitle, placeErr == 0 ? a2.topicTitle : a.topicTitle);
            QCOMPARE(config::readWindowGeometry(path, &geometry), 0);
            QCOMPARE(geometry, windowErr == 0 ? QByteArray("new") : QByteArray("\x01\x02geometry"));
            if (placeErr == 0 && windowErr == 0)
                break;
            ++failures;
        }
        QVERIFY(failures > 0);
        QCOMPARE(config::readReadingPlace(path, b.file, &place), 0);
        QCOMPARE(place.place.address, b.place.address);
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
            QCOMPARE(s.size(), 177);
            QVERIFY(!s.text(QStringLiteral("BMSG"), 30).isEmpty());
            menus << s.text(QStringLiteral("MENU"), 18);
        }
        // Three languages, three different View menus.
        QCOMPARE(QSet<QString>(menus.begin(), menus.end()).size(), 3);
        QCOMPARE(config::languageColumn(QStringLiteral("Italiano")), QStringLiteral("Ita"));
        QCOMPARE(config::helpFileFor(QStringLiteral("English"), QStringLiteral("/p")), QStringLiteral("/p/FLEN.hlp"));
        QCOMPARE(config::helpFileFor(QStringLiteral("Deutsch"), QStringLiteral("/p")), QString());
    }

    // A row edited by hand (or by another program) may hold values the
    // program cannot use: each keeps the value it had, the others are taken,
    // and each read tells the program what the set was before.
    void theOptionSetKeepsToItsRanges()
    {
        QTemporaryDir dir;
        const QString path = freshCopy(dir);
        int err = 0;
        auto db = db::Database::OpenDatabase(path, &err);
        QVERIFY(db);
        config::Options options;
        std::vector<config::OptionSet> before;
        connect(&options, &config::Options::read, this, [&before](const config::OptionSet &b) { before.push_back(b); });
        QCOMPARE(db->execScript(QStringLiteral("UPDATE Options SET Near = 0, Zoom = 900, Scroll = 99, "
                                               "MarginSinistra = '45.00', MarginDestra = 'wide', "
                                               "MarginSopra = '3,5', OptCrono = 1")),
                 0);
        QCOMPARE(options.load(*db), 0);
        const config::OptionSet defaults;
        QCOMPARE(options->near, defaults.near);
        QCOMPARE(options->zoom, defaults.zoom);
        QCOMPARE(options->scroll, defaults.scroll);
        QCOMPARE(options->marginLeft, defaults.marginLeft);
        QCOMPARE(options->marginRight, defaults.marginRight);
        QCOMPARE(options->marginTop, QStringLiteral("3,5"));
        QCOMPARE(config::marginInches(options->marginTop), 3.5 / 2.54);
        QVERIFY(options->alwaysAddToHistory);
        QCOMPARE(before.size(), size_t(1));
        QVERIFY(before[0] == defaults);
        // Values at the ends of their ranges are taken.
        QCOMPARE(db->execScript(QStringLiteral("UPDATE Options SET Near = 32767, Zoom = 200, Scroll = 10, "
                                               "MarginSinistra = '30.00', OptCrono = 0")),
                 0);
        QCOMPARE(options.load(*db), 0);
        QCOMPARE(options->near, 32767);
        QCOMPARE(options->zoom, 200);
        QCOMPARE(options->scroll, 10);
        QCOMPARE(options->marginLeft, QStringLiteral("30.00"));
        QCOMPARE(before.size(), size_t(2));
        QVERIFY(before[1].alwaysAddToHistory);
        QCOMPARE(db->execScript(QStringLiteral("UPDATE Options SET Near = 32768")), 0);
        QCOMPARE(options.load(*db), 0);
        QCOMPARE(options->near, 32767); // out of range: the value it had
        // A set that cannot be read is not applied.
        QCOMPARE(db->execScript(QStringLiteral("DROP TABLE Options")), 0);
        QVERIFY(options.load(*db) != 0);
        QCOMPARE(before.size(), size_t(3));
    }

    void optionsDialogLoadsHiddenWithItsRow()
    {
        QTemporaryDir dir;
        const QString path = freshCopy(dir);
        {
            int err = 0;
            auto db = db::Database::OpenDatabase(path, &err);
            db->execScript(QStringLiteral("UPDATE Options SET Scroll = 10, Zoom = 120, Language = 'English'"));
        }
        config::ScriptedDialogs dialogs;
        config::Form2 form(path, dir.path(), dialogs);
        QVERIFY(form.Form_Load());
        QVERIFY(!form.isVisible());
        QVERIFY(dialogs.shown.empty());
        QCOMPARE(form.ComboScroll->currentText(), QStringLiteral("10"));
        QCOMPARE(form.ComboZoom->currentIndex(), -1); // 120 is none of the five
        QCOMPARE(form.ComboLangue->currentText(), QStringLiteral("English"));
        QCOMPARE(form.HelpFilePath, dir.filePath(QStringLiteral("FLEN.hlp")));
        QVERIFY(form.CheckSommario->isChecked());
        QVERIFY(form.ShowContentsAtStart);
        QCOMPARE(form.MarginSinistra->text(), QStringLiteral("02.00"));
        QCOMPARE(form.TextNear->text(), QStringLiteral("8"));

        int err = 0;
        auto db = db::Database::OpenDatabase(path, &err);
        config::InterfaceStrings s;
        QCOMPARE(s.load(*db, QStringLiteral("Italiano")), 0);
        form.ApplyOptionCaptions(s);
        QCOMPARE(form.CheckNotes->text(), s.text(QStringLiteral("OPTI"), 15));
        QCOMPARE(form.TabStrip1->tabText(1), s.text(QStringLiteral("MENU"), 3));
        QCOMPARE(form.CheckOptAnd->text(), s.text(QStringLiteral("RECH"), 3));
    }

    void optionsRowRecoveryDialog()
    {
        QTemporaryDir dir;
        const QString good = freshCopy(dir);
        const QString missing = dir.filePath(QStringLiteral("elsewhere/FL.mdb"));
        config::ScriptedDialogs dialogs;
        dialogs.files = {good};
        config::Form2 form(missing, dir.path(), dialogs);
        QVERIFY(form.Form_Load());
        QCOMPARE(dialogs.shown.size(), size_t(2));
        QCOMPARE(dialogs.shown[0].text, missing + QStringLiteral(" 3024") + db::errorDescription(db::kErrFileNotFound));
        QCOMPARE(dialogs.shown[0].icon, config::Icon::None);
        QVERIFY(dialogs.shown[1].isFileDialog);
        QCOMPARE(dialogs.shown[1].request.fileName, QStringLiteral("FL.mdb"));
        QCOMPARE(dialogs.shown[1].request.filter, QStringLiteral("FL.mdb (*.mdb)|*.mdb"));
        QCOMPARE(form.Data1->DatabaseName, good);

        config::ScriptedDialogs giveUp;
        config::Form2 again(missing, dir.path(), giveUp);
        QVERIFY(!again.Form_Load());
    }

    void unknownRowsAreIgnored()
    {
        QTemporaryDir dir;
        const QString path = freshCopy(dir);
        int err = 0;
        auto db = db::Database::OpenDatabase(path, &err);
        QCOMPARE(db->execScript(QStringLiteral("INSERT INTO Langues VALUES (500, 'MENU', 53, 'x', 'x', 'x');"
                                               "INSERT INTO Langues VALUES (501, 'ZZZZ', 1, 'x', 'x', 'x');"
                                               "INSERT INTO Langues VALUES (502, 'MENU', 0, 'x', 'x', 'x');")),
                 0);
        config::InterfaceStrings s;
        QCOMPARE(s.load(*db, QStringLiteral("English")), 0);
        QCOMPARE(s.size(), 177);
        QCOMPARE(s.text(QStringLiteral("MENU"), 53), QString());
        QCOMPARE(s.text(QStringLiteral("ZZZZ"), 1), QString());
        QVERIFY(config::isKnownKey(QStringLiteral("MENU"), 52));
        QVERIFY(!config::isKnownKey(QStringLiteral("MENU"), 53));
        QVERIFY(!config::isKnownKey(QStringLiteral("RESU"), 2));
    }

    void dataControlWithBoundControls()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("FL.mdb"));
        QVERIFY(QFile::copy(QStringLiteral(FOLIUM_RUNTIME_DIR "/FL.mdb"), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        config::DataControl data;
        data.DatabaseName = dir.filePath(QStringLiteral("none.mdb"));
        data.RecordSource = QStringLiteral("Options");
        QCOMPARE(data.Refresh(), int(db::kErrFileNotFound));
        data.DatabaseName = path;
        QCOMPARE(data.Refresh(), 0);
        QCheckBox sommaire;
        QLineEdit margin;
        QComboBox title;
        title.setEditable(true);
        data.bind(&sommaire, QStringLiteral("Sommaire"));
        data.bind(&margin, QStringLiteral("MarginSinistra"));
        data.bind(&title, QStringLiteral("TextesD\u00e9faut"));
        QVERIFY(sommaire.isChecked());
        QCOMPARE(margin.text(), QStringLiteral("02.00"));
        // Edits stay in the controls until written; UpdateControls drops them.
        sommaire.setChecked(false);
        margin.setText(QStringLiteral("03.50"));
        data.UpdateControls();
        QVERIFY(sommaire.isChecked());
        QCOMPARE(margin.text(), QStringLiteral("02.00"));
        margin.setText(QStringLiteral("03.50"));
        title.setEditText(QStringLiteral("/t/A.m14"));
        QCOMPARE(data.UpdateRecord(), 0);
        config::DataControl again;
        again.DatabaseName = path;
        again.RecordSource = QStringLiteral("Options");
        QCOMPARE(again.Refresh(), 0);
        QCOMPARE(again.recordset()->Field(QStringLiteral("MarginSinistra")).toString(), QStringLiteral("03.50"));
        QCOMPARE(again.recordset()->Field(QStringLiteral("TextesD\u00e9faut")).toString(), QStringLiteral("/t/A.m14"));
        data.RecordSource = QStringLiteral("Nothing");
        QCOMPARE(data.Refresh(), int(db::kErrNoTable));
    }
};

QTEST_MAIN(TestConfig)
#include "tst_config.moc"
