// Starting and stopping the program through its real windows: which title
// opens, the application database's messages, the option set applied to the
// main pane, the last-used list and the splitter kept between runs.
#include "dao.h"
#include "dialogs.h"
#include "engine_errors.h"
#include "faulty_vfs.h"
#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "mdiform1.h"
#include "program.h"
#include "region_view.h"
#include "frame_helpers.h"
#include "program_folder.h"
#include "topicview.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QDialog>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QGuiApplication>
#include <QScreen>
#include <QStatusBar>
#include <QFile>
#include <QCalendarWidget>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QMenu>
#include <QSizeGrip>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

using namespace folium;
using namespace folium::app;
using namespace folium::forms;
using namespace folium::config;
using folium::testing::visibleLastUsed;

namespace {

// A program folder with FL.mdb and two titles, abc.m14 and def.m14.
struct Folder : folium::testing::ProgramFolder {
    Folder() : ProgramFolder({QStringLiteral("abc"), QStringLiteral("def")}) {}
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void installedTheProgramKeepsItsSettingsInTheUsersFolder()
    {
        QTemporaryDir dir;
        const auto write = [](const QString &path, const QByteArray &bytes) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
        };
        const auto read = [](const QString &path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        // Run from the build folder: everything beside the program.
        write(dir.filePath(QStringLiteral("build/FL.mdb")), "build");
        app::ProgramFolders f = app::programFolders(dir.filePath(QStringLiteral("build")));
        QCOMPARE(f.data, dir.filePath(QStringLiteral("build")));
        QCOMPARE(f.settings, f.data);

        // Installed: the data folder is read, FL.mdb is copied once into the
        // user's folder, and a later install never replaces that copy.
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("home")).toLocal8Bit());
        QDir().mkpath(dir.filePath(QStringLiteral("prefix/bin")));
        write(dir.filePath(QStringLiteral("prefix/share/folium/FL.mdb")), "as installed");
        f = app::programFolders(dir.filePath(QStringLiteral("prefix/bin")));
        QCOMPARE(f.error, QString());
        QCOMPARE(f.data, dir.filePath(QStringLiteral("prefix/share/folium")));
        QCOMPARE(f.settings, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        QVERIFY(f.settings.startsWith(dir.filePath(QStringLiteral("home"))));
        const QString mine = f.settings + QStringLiteral("/FL.mdb");
        QCOMPARE(read(mine), QByteArray("as installed"));
        QVERIFY(QFileInfo(mine).isWritable());
        write(mine, "the user's options");
        write(dir.filePath(QStringLiteral("prefix/share/folium/FL.mdb")), "a newer install");
        f = app::programFolders(dir.filePath(QStringLiteral("prefix/bin")));
        QCOMPARE(read(mine), QByteArray("the user's options"));
        QVERIFY(f.movedFrom.isEmpty()); // an install is no move to tell of
        qunsetenv("XDG_DATA_HOME");
    }

    // Regression: with the program's own FL.mdb read-only the settings went
    // to the user's copy without a word, and once the file could be written
    // again the program went back to it, leaving behind what was saved in the
    // copy. Settings live in one place: once moved they stay, and the move
    // is told once.
    void settingsMovedToTheUsersCopyStayThere()
    {
        QTemporaryDir dir;
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("home")).toLocal8Bit());
        const QString own = dir.filePath(QStringLiteral("build/FL.mdb"));
        QDir().mkpath(dir.filePath(QStringLiteral("build")));
        QVERIFY(QFile::copy(QStringLiteral(FOLIUM_RUNTIME_DIR "/FL.mdb"), own));
        // The program's folder cannot be written (as a reader's account sees
        // it; the tests run as root, whom nothing stops).
        bool readOnly = true;
        const auto writable = [&](const QString &path) {
            return !(readOnly && path.startsWith(dir.filePath(QStringLiteral("build"))));
        };
        app::ProgramFolders f = app::programFolders(dir.filePath(QStringLiteral("build")), writable);
        QCOMPARE(f.settings, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        QCOMPARE(f.movedFrom, own);
        {
            ScriptedDialogs dialogs;
            Program p(f.data, f.settings, dialogs);
            p.settingsMovedFrom = f.movedFrom;
            QVERIFY(p.Main(QString()));
            const QString told = p.strings.text(QStringLiteral("BMSG"), 39)
                                     .arg(QDir::toNativeSeparators(own),
                                          QDir::toNativeSeparators(f.settings + QStringLiteral("/FL.mdb")));
            const auto message = std::find_if(dialogs.shown.begin(), dialogs.shown.end(),
                                              [&told](const ScriptedDialogs::Shown &s) { return s.text == told; });
            QVERIFY(message != dialogs.shown.end());
            QCOMPARE(message->icon, Icon::Information);
        }
        // The option changed in the copy...
        folium::testing::ProgramFolder::setLastFilesIn(f.settings + QStringLiteral("/FL.mdb"),
                                                       {QStringLiteral("/x/kept.m14")});
        // ...is the one read when the program's own file can be written again.
        readOnly = false;
        f = app::programFolders(dir.filePath(QStringLiteral("build")), writable);
        QCOMPARE(f.settings, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        QVERIFY(f.movedFrom.isEmpty()); // told once
        QCOMPARE(folium::testing::ProgramFolder::lastFilesIn(f.settings + QStringLiteral("/FL.mdb")).value(0),
                 QStringLiteral("/x/kept.m14"));
        qunsetenv("XDG_DATA_HOME");
    }

    void defaultTitleWinsOverTheCommandLine()
    {
        Folder folder;
        folder.setOption(QStringLiteral("TextesD\u00e9faut"), folder.file(QStringLiteral("def.m14")));
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QCOMPARE(p.reader()->Fl_main->ViewTitle(), folder.file(QStringLiteral("def.m14")));
        QVERIFY(dialogs.shown.empty());
    }

    void bareNameOnTheCommandLine()
    {
        Folder folder;
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QCOMPARE(p.reader()->Fl_main->ViewTitle(), folder.file(QStringLiteral("abc.m14")));
        QCOMPARE(p.reader()->Fl_main->TopicData(), QStringLiteral("sommario"));
        QVERIFY(!p.loading()->isVisible());
    }

    // A desktop hands over the path of the file it opens: it is opened as
    // given; a bare name keeps its meaning (a title beside the program).
    void aTitleGivenByItsPath()
    {
        Folder folder;
        QTemporaryDir elsewhere;
        const QString path = elsewhere.filePath(QStringLiteral("Altra edizione.m14"));
        QFile::copy(folder.file(QStringLiteral("def.m14")), path);
        QFile::copy(folder.file(QStringLiteral("def.mdb")), elsewhere.filePath(QStringLiteral("Altra edizione.mdb")));
        folium::testing::ProgramFolder::exec(elsewhere.filePath(QStringLiteral("Altra edizione.mdb")),
                                             QStringLiteral("UPDATE Param SET Param1 = 'Altra edizione' "
                                                            "WHERE Codice = 'COD'"));
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(path));
        QCOMPARE(p.reader()->Fl_main->ViewTitle(), path);
        QVERIFY(dialogs.shown.empty());
    }

    void openDialogAtStartAndItsCancel()
    {
        Folder folder;
        folder.setOption(QStringLiteral("Zoom"), 150);
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QString()));
        QCOMPARE(dialogs.shown.size(), size_t(1));
        QVERIFY(dialogs.shown[0].isFileDialog);
        QCOMPARE(dialogs.shown[0].request.folder, folder.path());
        QCOMPARE(dialogs.shown[0].request.filter, p.strings.text(QStringLiteral("BMSG"), 20));
        // Cancelled: running, no title, and the option set not applied.
        QVERIFY(p.title.CancelFlag);
        QCOMPARE(p.reader()->Fl_main->ViewTitle(), QString());
        QCOMPARE(p.reader()->Fl_main->FontZoom(), 100);
        QVERIFY(p.mainFrame()->isVisible());

        ScriptedDialogs chooser;
        chooser.files = {folder.file(QStringLiteral("def.m14"))};
        Program q(folder.path(), chooser);
        QVERIFY(q.Main(QString()));
        QCOMPARE(q.reader()->Fl_main->ViewTitle(), folder.file(QStringLiteral("def.m14")));
        QCOMPARE(q.reader()->Fl_main->FontZoom(), 150);
    }

    // Regression: Esc in the open dialog at start, then Quit, stored four
    // empty last-used rows and a side pane 0 pixels wide.
    void aCancelledStartKeepsTheSettings()
    {
        Folder folder;
        const QStringList before{folder.file(QStringLiteral("def.m14")), QStringLiteral("/t/B.m14"),
                                 QStringLiteral("/t/C.m14"), QStringLiteral("/t/D.m14")};
        folder.setLastFiles(before);
        folder.setOption(QStringLiteral("SplitPos"), 333);
        {
            ScriptedDialogs dialogs;
            Program p(folder.path(), dialogs);
            QVERIFY(p.Main(QString()));
            QVERIFY(p.title.CancelFlag);
            QVERIFY(p.mainFrame()->close());
        }
        QCOMPARE(folder.lastFiles(), before);
        QCOMPARE(folder.option(QStringLiteral("SplitPos")).toInt(), 333);

        // Cancelled, then a title opened with Ctrl+O: it joins the list and
        // the pane gets its stored width.
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QString()));
        p.mainFrame()->resize(1000, 700);
        dialogs.files = {folder.file(QStringLiteral("abc.m14"))};
        p.ApriTexte();
        QCOMPARE(p.reader()->Fl_main->ViewTitle(), folder.file(QStringLiteral("abc.m14")));
        QCOMPARE(p.reader()->splitterPosition(), 333);
        QVERIFY(p.mainFrame()->close());
        QCOMPARE(folder.lastFiles(),
                 (QStringList{folder.file(QStringLiteral("abc.m14")), before[0], before[1], before[2]}));
    }

    void aSidePaneTooNarrowIsNeverKept()
    {
        Folder folder;
        folder.setOption(QStringLiteral("SplitPos"), 0); // as a damaged run left it
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        p.mainFrame()->resize(1000, 700);
        QCOMPARE(p.reader()->splitterPosition(), Form1::kDefaultSidePane);
        // The pane cannot be shut: asked for 0, it keeps its 10 pixels,
        // which are kept for the next run.
        p.reader()->Splitter1->setSizes({0, 1000});
        QCOMPARE(p.reader()->splitterPosition(), Form1::kMinSidePane);
        QVERIFY(p.mainFrame()->close());
        QCOMPARE(folder.option(QStringLiteral("SplitPos")).toInt(), Form1::kMinSidePane);
    }

    // Regression: at 320x240 the side pane kept its 360 pixels and the text
    // became a sliver. The window has a minimum size, the side pane yields
    // to the text while the window is narrow and takes its width back when
    // it widens; the width kept for the next run is the reader's.
    void aNarrowWindowKeepsTheTextReadable()
    {
        Folder folder;
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        MDIForm1 *frame = p.mainFrame();
        Form1 *f = p.reader();
        frame->resize(1000, 700);
        QApplication::processEvents();
        QCOMPARE(f->Splitter1->sizes().value(0), Form1::kDefaultSidePane);
        frame->resize(320, 240);
        QApplication::processEvents();
        QVERIFY(frame->width() >= MDIForm1::kMinimumSize.width());
        QVERIFY(frame->height() >= MDIForm1::kMinimumSize.height());
        QVERIFY(f->Text_droit->width() >= Form1::kMinReadingWidth);
        QVERIFY(f->Splitter1->sizes().value(0) < Form1::kDefaultSidePane);
        QCOMPARE(f->splitterPosition(), Form1::kDefaultSidePane); // the reader's width, still
        frame->resize(1000, 700);
        QApplication::processEvents();
        QCOMPARE(f->Splitter1->sizes().value(0), Form1::kDefaultSidePane);
        // Shrunk again and closed so: the reader's width is the one kept.
        frame->resize(320, 240);
        QApplication::processEvents();
        QVERIFY(frame->close());
        QCOMPARE(folder.option(QStringLiteral("SplitPos")).toInt(), Form1::kDefaultSidePane);
    }

    void applicationDatabaseMissingOrDamagedAtStart_data()
    {
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<int>("error");
        QTest::newRow("missing") << false << int(db::kErrFileNotFound);
        QTest::newRow("not a database") << true << int(db::kErrNotDatabase);
    }

    void applicationDatabaseMissingOrDamagedAtStart()
    {
        QFETCH(bool, damaged);
        QFETCH(int, error);
        Folder folder;
        QFile::remove(folder.file(QStringLiteral("FL.mdb")));
        if (damaged) {
            QFile f(folder.file(QStringLiteral("FL.mdb")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(2048, 'z'));
        }
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(!p.Main(QStringLiteral("abc")));
        QVERIFY(p.ended());
        QCOMPARE(dialogs.shown.size(), size_t(1));
        // Regression: the message named a folder and "\fl.mdb" (mixed
        // separators, another file's name) and said "missing" for a file that
        // is there but damaged.
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("Err no %1%2 %3, Fatal error")
                                            .arg(error)
                                            .arg(QDir::toNativeSeparators(folder.file(QStringLiteral("FL.mdb"))),
                                                 damaged ? QStringLiteral("damaged") : QStringLiteral("missing")));
        QCOMPARE(dialogs.shown[0].title, QStringLiteral("Error"));
        QCOMPARE(dialogs.shown[0].icon, Icon::Critical);
    }

    void applicationDatabaseMissingAtExit()
    {
        Folder folder;
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QFile::remove(folder.file(QStringLiteral("FL.mdb")));
        p.shutdown();
        QVERIFY(p.ended());
        QCOMPARE(dialogs.shown.back().text, QDir::toNativeSeparators(folder.file(QStringLiteral("FL.mdb"))) +
                                                QStringLiteral(" missing, Fatal error"));
        QCOMPARE(dialogs.shown.back().title, QStringLiteral("Error"));
        QCOMPARE(dialogs.shown.back().icon, Icon::Critical);
    }

    void optionRowRecoveredOrGivenUp()
    {
        Folder folder;
        QFile::copy(folder.file(QStringLiteral("FL.mdb")), folder.file(QStringLiteral("good.mdb")));
        {
            int err = 0;
            auto db = db::Database::OpenDatabase(folder.file(QStringLiteral("FL.mdb")), &err);
            QCOMPARE(db->execScript(QStringLiteral("DROP TABLE Options")), 0);
        }
        ScriptedDialogs dialogs;
        dialogs.files = {folder.file(QStringLiteral("good.mdb"))};
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QCOMPARE(dialogs.shown[0].text.left(folder.file(QStringLiteral("FL.mdb")).size() + 5),
                 folder.file(QStringLiteral("FL.mdb")) + QStringLiteral(" 3078"));
        QVERIFY(dialogs.shown[1].isFileDialog);
        QCOMPARE(p.reader()->Fl_main->ViewTitle(), folder.file(QStringLiteral("abc.m14")));

        ScriptedDialogs giveUp;
        Program q(folder.path(), giveUp);
        QVERIFY(!q.Main(QStringLiteral("abc")));
        QVERIFY(q.ended());
    }

    void badTitleGivesTheMessageThenTheDialog()
    {
        Folder folder;
        QFile bad(folder.file(QStringLiteral("bad.m14")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("no title here");
        bad.close();
        ScriptedDialogs dialogs;
        dialogs.files = {folder.file(QStringLiteral("abc.m14"))};
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("bad")));
        QCOMPARE(dialogs.shown[0].text,
                 p.strings.text(QStringLiteral("BMSG"), 35) + u'\n' + folder.file(QStringLiteral("bad.m14")));
        QCOMPARE(dialogs.shown[0].title, QStringLiteral("Folium"));
        QCOMPARE(dialogs.shown[0].icon, Icon::Exclamation);
        QVERIFY(dialogs.shown[1].isFileDialog);
        QCOMPARE(dialogs.shown[1].request.filter, p.strings.text(QStringLiteral("BMSG"), 20));
        QCOMPARE(p.reader()->Fl_main->ViewTitle(), folder.file(QStringLiteral("abc.m14")));
    }

    void lastUsedRowsOneAndThree()
    {
        Folder folder;
        const QString abc = folder.file(QStringLiteral("abc.m14"));
        folder.setLastFiles({abc, QString(), QStringLiteral("/elsewhere/C.m14"), QString()});
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QVERIFY(p.mainFrame()->item("Sep1")->isVisible());
        QCOMPARE(visibleLastUsed(*p.mainFrame()),
                 (QStringList{QStringLiteral("&1 ") + abc, QStringLiteral("&2 /elsewhere/C.m14")}));
        p.shutdown();
        QCOMPARE(folder.lastFiles(), (QStringList{abc, QStringLiteral("/elsewhere/C.m14"), "", ""}));
    }

    void emptyLastUsedList()
    {
        Folder folder;
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QCOMPARE(p.title.lastFiles.count, -1);
        QVERIFY(p.mainFrame()->item("Sep1")->isVisible());
        // Only the title just opened.
        QCOMPARE(visibleLastUsed(*p.mainFrame()),
                 QStringList{QStringLiteral("&1 ") + folder.file(QStringLiteral("abc.m14"))});
    }

    void optionSetAppliedToTheMainPane()
    {
        Folder folder;
        folder.setOption(QStringLiteral("MarginSinistra"), QStringLiteral("02.54"));
        folder.setOption(QStringLiteral("MarginSopra"), QStringLiteral("05.08"));
        folder.setOption(QStringLiteral("Zoom"), 120);
        folder.setOption(QStringLiteral("Near"), 3);
        folder.setOption(QStringLiteral("AndImplicito"), 0);
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        engine::TopicView *main = p.reader()->Fl_main;
        QCOMPARE(main->LeftMargin(), 1.0);
        QCOMPARE(main->TopMargin(), 2.0);
        QCOMPARE(main->FontZoom(), 120);
        QCOMPARE(main->SearchNearThreshold(), 3);
        QVERIFY(!main->SearchImplicitAND());
        QCOMPARE(main->SearchHitLook(), 16777215L);
        QCOMPARE(main->BorderStyle(), 0);
        for (forms::ItemName z : forms::ItemList{"Cinquanta", "Settantacinque", "Cento", "Centocinquanta", "Duecento"})
            QVERIFY2(!p.mainFrame()->item(z)->isChecked(), qPrintable(z.toString()));
    }

    void languageOfTheOptions()
    {
        Folder folder;
        folder.setOption(QStringLiteral("Language"), QStringLiteral("English"));
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QCOMPARE(p.mainFrame()->menu("Visualizza")->title(), p.strings.text(QStringLiteral("MENU"), 18));
        // The contents are shown at start (the option's default) under their title.
        QCOMPARE(p.reader()->Titre_Splitgauche->text(), p.strings.text(QStringLiteral("MENU"), 23).remove(u'&'));
        QCOMPARE(p.mainFrame()->button("Cerca")->toolTip(),
                 p.strings.text(QStringLiteral("MENU"), 19).remove(u'&') + QStringLiteral(" (F2)"));
        QVERIFY(p.strings.text(QStringLiteral("MENU"), 18) != QStringLiteral("&Affichage"));
        QCOMPARE(p.HelpFilePath, folder.file(QStringLiteral("FLEN.hlp")));
        // The search panel's captions and what a screen reader says for its field.
        QCOMPARE(p.reader()->Option_tutto->text(), QStringLiteral("En&tire edition"));
        QCOMPARE(p.reader()->FramePerData->title(), QStringLiteral("Go to date"));
        QCOMPARE(p.reader()->Combo_perparole->accessibleName(), QStringLiteral("Words to find"));
    }

    // What a screen reader says for each control of the main window: a name
    // in the interface language, never an object name, a value or nothing.
    void everyControlHasANameInEachLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("fr") << QStringLiteral("Français");
        QTest::newRow("en") << QStringLiteral("English");
        QTest::newRow("it") << QStringLiteral("Italiano");
    }

    void everyControlHasANameInEachLanguage()
    {
        QFETCH(QString, language);
        Folder folder;
        folder.setOption(QStringLiteral("Language"), language);
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        const auto name = [](QObject *o) {
            QAccessibleInterface *ai = QAccessible::queryAccessibleInterface(o);
            return ai ? ai->text(QAccessible::Name) : QString();
        };
        const auto t = [&p](const char *group, int n) {
            return p.strings.text(QString::fromLatin1(group), n).remove(u'&');
        };
        Form1 *f = p.reader();
        const std::pair<QObject *, QString> named[] = {
            {f->Fl_main->regionView(0), t("ACCE", 1)},
            {f->Fl_main->regionView(1), t("ACCE", 2)},
            {f->Fl_sec->regionView(1), t("FENE", 1)},
            {f->NotesFermer, t("ACCE", 3)},
            {f->Splitter1->handle(1), t("ACCE", 4)},
            {f->Splitter2->handle(1), t("ACCE", 5)},
            {p.mainFrame()->Toolbar(), t("ACCE", 6)},
            {f->Combo_perparole, t("RECH", 2)},
            {f->Combo_perparole->lineEdit(), t("RECH", 2)},
            {f->ComboPerLettera->lineEdit(), t("RECH", 10)},
            {f->List_risultati, t("RESU", 1)},
            {f->TreeSommario, t("MENU", 23)},
            {f->Fl_main, t("ACCE", 9)},
            {f->Splitter1, t("ACCE", 10)},
            {f->Splitter2, t("ACCE", 11)},
            {p.mainFrame()->findChild<QSizeGrip *>(), t("ACCE", 12)},
            {p.options_dialog(), t("MENU", 9).remove(QStringLiteral("..."))},
        };
        for (const auto &[control, expected] : named) {
            QVERIFY2(!expected.isEmpty(), qPrintable(control->objectName()));
            QCOMPARE(name(control), expected);
        }
        // The calendar's parts are Qt's own, named by Qt.
        const auto insideCalendar = [](const QWidget *w) {
            for (; w; w = w->parentWidget())
                if (qobject_cast<const QCalendarWidget *>(w))
                    return true;
            return false;
        };
        // Every input, button, list and pane of the window (and of the
        // options dialog it holds) has a name.
        QStringList unnamed;
        for (QWidget *w : p.mainFrame()->findChildren<QWidget *>()) {
            const bool control =
                qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) ||
                qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QTreeView *>(w) || qobject_cast<QTextEdit *>(w) ||
                qobject_cast<QToolBar *>(w) || qobject_cast<QSplitter *>(w) || qobject_cast<QSizeGrip *>(w) ||
                qobject_cast<engine::TopicView *>(w) || qobject_cast<QDialog *>(w);
            // The bars' overflow buttons and the parts of a spin box are Qt's own.
            if (!control || w->objectName().endsWith(u"_ext_button") || qobject_cast<QAbstractSpinBox *>(w->parent()) ||
                insideCalendar(w))
                continue;
            if (name(w).trimmed().isEmpty())
                unnamed << w->metaObject()->className() + QStringLiteral(" ") + w->objectName();
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u',')));
        // A panel that is not shown is not showing for a screen reader.
        for (QWidget *panel : {static_cast<QWidget *>(f->List_risultati), static_cast<QWidget *>(f->List_cronologia),
                               static_cast<QWidget *>(f->List_bookmark), f->Frame_cerca})
            QVERIFY2(QAccessible::queryAccessibleInterface(panel)->state().invisible, qPrintable(panel->objectName()));
        QVERIFY(!QAccessible::queryAccessibleInterface(f->TreeSommario)->state().invisible);
        // Regression: the reading panes were offered as labels. A region is
        // a read-only document whose text can be read piece by piece; a pane
        // is a panel.
        for (engine::TopicView *pane : {f->Fl_main, f->Fl_sec}) {
            QCOMPARE(QAccessible::queryAccessibleInterface(pane)->role(), QAccessible::Pane);
            for (int region : {0, 1}) {
                QAccessibleInterface *ai = QAccessible::queryAccessibleInterface(pane->regionView(region));
                QCOMPARE(ai->role(), QAccessible::Document);
                QVERIFY(ai->state().readOnly);
                QVERIFY(ai->textInterface());
            }
        }
        QAccessibleTextInterface *text =
            QAccessible::queryAccessibleInterface(f->Fl_main->regionView(1))->textInterface();
        const QString shown = f->Fl_main->regionView(1)->toPlainText();
        QCOMPARE(text->characterCount(), int(shown.size()));
        QCOMPARE(text->text(0, 12), shown.left(12));
        text->setSelection(0, 2, 7);
        int start = 0, end = 0;
        text->selection(0, &start, &end);
        QCOMPARE(QPair(start, end), QPair(2, 7));
        QCOMPARE(f->Fl_main->regionView(1)->textCursor().selectedText(), shown.mid(2, 5));
    }

    // The place where the reader stopped in a title, kept at close and at
    // title change; the title opens at its home page, and Ctrl+L (offered
    // in the status bar) goes back there.
    void goesBackToWhereTheReaderStopped()
    {
        Folder folder;
        const QString abc = folder.file(QStringLiteral("abc.m14"));
        long address = 0, scroll = 0;
        {
            ScriptedDialogs dialogs;
            Program p(folder.path(), dialogs);
            QVERIFY(p.Main(QStringLiteral("abc")));
            QVERIFY(!p.mainFrame()->item("Reprise")->isEnabled()); // nothing kept yet
            engine::TopicView *main = p.reader()->Fl_main;
            QCOMPARE(main->JumpContext(QStringLiteral("Deep")), 0);
            address = main->TopicVA();
            scroll = main->TopicScroll();
            QVERIFY(scroll > 0);
            QVERIFY(p.mainFrame()->close());
        }
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        engine::TopicView *main = p.reader()->Fl_main;
        QCOMPARE(main->TopicData(), QStringLiteral("sommario"));
        QAction *reprise = p.mainFrame()->item("Reprise");
        QVERIFY(reprise->isEnabled());
        QCOMPARE(reprise->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
        const QString offer = p.mainFrame()->statusBar()->currentMessage();
        QVERIFY2(offer.contains(QStringLiteral("Long chapter")) && offer.contains(QStringLiteral("Ctrl+L")),
                 qPrintable(offer));
        reprise->trigger();
        QCOMPARE(main->TopicVA(), address);
        QCOMPARE(main->TopicScroll(), scroll);
        QVERIFY(!reprise->isEnabled());

        // A title change keeps the place in the title left.
        QCOMPARE(main->JumpContext(QStringLiteral("120351")), 0);
        const long letter = main->TopicVA();
        dialogs.files = {folder.file(QStringLiteral("def.m14"))};
        p.ApriTexte();
        QCOMPARE(main->ViewTitle(), folder.file(QStringLiteral("def.m14")));
        QVERIFY(!reprise->isEnabled());
        dialogs.files = {abc};
        p.ApriTexte();
        QVERIFY(reprise->isEnabled());
        reprise->trigger();
        QCOMPARE(main->TopicVA(), letter);
    }

    void theWindowKeepsItsSizeAndPlace()
    {
        Folder folder;
        QSize first;
        {
            ScriptedDialogs dialogs;
            Program p(folder.path(), dialogs);
            QVERIFY(p.Main(QStringLiteral("abc")));
            // The first time, most of the screen.
            const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
            first = p.mainFrame()->size();
            QVERIFY(first.width() >= avail.width() * 8 / 10 || first.width() >= 900);
            p.mainFrame()->resize(first - QSize(100, 80));
            QVERIFY(p.mainFrame()->close());
        }
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QCOMPARE(p.mainFrame()->size(), first - QSize(100, 80));
    }

    void splitterPositionKeptBetweenRuns()
    {
        Folder folder;
        {
            ScriptedDialogs dialogs;
            Program p(folder.path(), dialogs);
            QVERIFY(p.Main(QStringLiteral("abc")));
            p.mainFrame()->resize(1000, 700);
            p.reader()->setSplitterPosition(333);
            QCOMPARE(p.reader()->splitterPosition(), 333);
            p.shutdown();
        }
        QCOMPARE(folder.option(QStringLiteral("SplitPos")).toInt(), 333);
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        p.mainFrame(); // not yet made
        QVERIFY(p.Main(QStringLiteral("abc")));
        QCOMPARE(p.SplitterPosition, 333);
        QCOMPARE(p.reader()->splitterPosition(), 333);
    }

    // Regression: the side pane's width was written at exit without a look
    // at the result. A width or a window place not kept is said (in the
    // log: it costs a drag, never data), and the close goes on.
    void settingsNotKeptAtExitAreSaid()
    {
        db::testing::installFaultyVfs(); // before FL.mdb is opened
        // The disk fails after n more writes: for some n the last-used list
        // (written first) is kept and what follows is not.
        bool met = false;
        for (int n = 0; n < 60 && !met; ++n) {
            Folder folder;
            ScriptedDialogs dialogs;
            Program p(folder.path(), dialogs);
            QVERIFY(p.Main(QStringLiteral("abc")));
            p.mainFrame()->resize(1000, 700);
            p.reader()->setSplitterPosition(300);
            db::testing::failWritesAfter(n);
            static QStringList logged;
            logged.clear();
            const QtMessageHandler previous =
                qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &m) { logged << m; });
            const bool closed = p.mainFrame()->close();
            qInstallMessageHandler(previous);
            db::testing::failWritesAfter(-1);
            if (p.ended() || folder.lastFiles().value(0) != folder.file(QStringLiteral("abc.m14")))
                continue; // the list itself was not kept: the fatal path, tested elsewhere
            QVERIFY(closed);
            met = folder.option(QStringLiteral("SplitPos")).toInt() == Form1::kDefaultSidePane;
            if (met)
                QVERIFY2(logged.filter(QStringLiteral("side pane's width was not kept")).size() == 1,
                         qPrintable(logged.join(u'\n')));
        }
        QVERIFY(met);
    }

    void closeAbandonedByACancelledBookmarkQuestion()
    {
        Folder folder;
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        p.mainFrame()->resize(1000, 700);
        p.reader()->setSplitterPosition(300);
        int asked = 0;
        p.VerifieBookmarks = [&] {
            ++asked;
            p.title.CancelFlag = true;
        };
        QVERIFY(!p.mainFrame()->close());
        QCOMPARE(asked, 1);
        QVERIFY(p.mainFrame()->isVisible());
        QVERIFY(!p.title.CancelFlag);
        // The last-used list was written all the same; the splitter was not.
        QCOMPARE(folder.lastFiles().value(0), folder.file(QStringLiteral("abc.m14")));
        QCOMPARE(folder.option(QStringLiteral("SplitPos")).toInt(), Form1::kDefaultSidePane);
        // Answered, the next close goes through.
        p.VerifieBookmarks = [&] { ++asked; };
        QVERIFY(p.mainFrame()->close());
        QCOMPARE(asked, 2);
        QCOMPARE(folder.option(QStringLiteral("SplitPos")).toInt(), 300);
    }

    void languageChangedWhileRunning()
    {
        Folder folder;
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        QCOMPARE(p.mainFrame()->button("Cerca")->toolTip(), QStringLiteral("Recherche (F2)"));
        // What the options dialog's OK does: the strings of the language it shows.
        p.options_dialog()->ComboLangue->setCurrentText(QStringLiteral("English"));
        QVERIFY(p.InitLanguesVar());
        QCOMPARE(p.mainFrame()->button("Cerca")->toolTip(), QStringLiteral("Search (F2)"));
        QCOMPARE(p.mainFrame()->menu("Visualizza")->title(), p.strings.text(QStringLiteral("MENU"), 18));
        QCOMPARE(p.reader()->Titre_Splitgauche->text(), QStringLiteral("Contents"));
        QCOMPARE(p.reader()->Option_tutto->text(), QStringLiteral("En&tire edition"));
        QCOMPARE(p.mainFrame()->button("Indici")->toolTip(), p.mainFrame()->indexButtonMenuTip());
        QCOMPARE(p.HelpFilePath, folder.file(QStringLiteral("FLEN.hlp")));
        QVERIFY(p.loading()->isHidden());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
