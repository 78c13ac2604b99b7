// Bookmark files and the bookmark list through the real windows: a save cut
// short at every point leaves the old file whole; adding, saving, opening,
// the file of another title, and the questions before bookmarks are lost.
#include "bookmark_file.h"
#include "bookmarks.h"
#include "commands.h"
#include "form2.h"
#include "termination.h"
#include "dao.h"
#include "dialogs.h"
#include "faulty_vfs.h"
#include "form1.h"
#include "form3.h"
#include "mdiform1.h"
#include "program.h"
#include "program_folder.h"
#include "running_program.h"
#include "topicview.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <csignal>
#include <exception>
#include <new>
#include <QTest>
#include <QTreeView>

using namespace folium;
using namespace folium::app;
using namespace folium::config;
using folium::bookmarks::RecoveredBookmarks;
using folium::testing::ProgramFolder;
using folium::testing::RunningProgram;

namespace {

std::vector<bookmarks::Bookmark> someBookmarks(int n, const QString &prefix)
{
    std::vector<bookmarks::Bookmark> out;
    for (int i = 0; i < n; ++i)
        out.push_back({8, QStringLiteral("%1 lettera %2, città").arg(prefix).arg(i), i, 0x100000 + 16 * i, i * 7});
    return out;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Running : RunningProgram {
    Running() : RunningProgram({QStringLiteral("abc"), QStringLiteral("def")}) { start(); }
    bookmarks::Bookmarks *b() const { return p->bookmarks(); }
    QTreeView *list() const { return p->reader()->List_bookmark; }
    QStringList texts() const
    {
        QStringList out;
        for (int i = 0; i < list()->model()->rowCount(); ++i)
            out << list()->model()->index(i, 0).data().toString();
        return out;
    }
    void mark(const char *context)
    {
        main()->JumpContext(QString::fromLatin1(context));
        b()->Bookmark_add();
    }
};

} // namespace

class TestBookmarks : public QObject {
    Q_OBJECT

private slots:
    // Interrupted at every write, a save of 200 bookmarks leaves the old
    // file as it was, byte for byte, or the new one whole.
    void aSaveCutShortLeavesTheOldFileOrTheNew()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath(QStringLiteral("Édition città")));
        const QString path = dir.filePath(QStringLiteral("Édition città/Miei segni.bkm"));
        const auto before = someBookmarks(150, QStringLiteral("vecchia"));
        const auto after = someBookmarks(200, QStringLiteral("nuova"));
        QCOMPARE(bookmarks::writeBookmarkFile(path, QStringLiteral("lettere"), before), 0);
        const QByteArray old = bytesOf(path);
        db::testing::installFaultyVfs();
        int failures = 0;
        for (int writes = 0; writes < 400; ++writes) {
            db::testing::failWritesAfter(writes);
            const int err = bookmarks::writeBookmarkFile(path, QStringLiteral("lettere"), after);
            db::testing::failWritesAfter(-1);
            QString codice;
            std::vector<bookmarks::Bookmark> read;
            QCOMPARE(bookmarks::readBookmarkFile(path, &codice, &read), 0);
            QCOMPARE(codice, QStringLiteral("lettere"));
            if (err != 0) {
                ++failures;
                QCOMPARE(bytesOf(path), old);
                QVERIFY(read == before);
                QVERIFY(!QFile::exists(path + QStringLiteral(".part")));
            } else {
                QVERIFY(read == after);
                break;
            }
        }
        QVERIFY(failures > 10);
        // Rows come back in the order of the list.
        QString codice;
        std::vector<bookmarks::Bookmark> read;
        QCOMPARE(bookmarks::readBookmarkFile(path, &codice, &read), 0);
        QCOMPARE(read.front().text, after.front().text);
        QCOMPARE(bookmarks::newBookmarkFilePath(QStringLiteral("/Dati/Città/MyMarks")),
                 QStringLiteral("/Dati/Città/mymarks.bkm"));
    }

    void addingSavingAndOpening()
    {
        Running r;
        QVERIFY(r.p);
        r.mark("120351");
        QVERIFY(r.b()->Form5()->isVisible());
        QCOMPARE(r.b()->Form5()->text(), r.p->strings.text(QStringLiteral("LOAD"), 1));
        r.mark("120351a");
        r.mark("Long");
        r.mark("120351a"); // the same letter again: nothing added
        QCOMPARE(r.texts().size(), 3);
        QVERIFY(r.b()->modified());
        // Save as MyMarks: mymarks.bkm, three rows for this title.
        const QString folder = r.folder.file(QStringLiteral("Segni Città"));
        QDir().mkpath(folder);
        r.dialogs.files = {folder + QStringLiteral("/MyMarks")};
        r.p->mainFrame()->item("BookmarkSalvaSous")->trigger();
        const QString saved = folder + QStringLiteral("/mymarks.bkm");
        QVERIFY(QFile::exists(saved));
        QVERIFY(r.b()->named() && !r.b()->modified());
        QString codice;
        std::vector<bookmarks::Bookmark> read;
        QCOMPARE(bookmarks::readBookmarkFile(saved, &codice, &read), 0);
        QCOMPARE(int(read.size()), 3);
        QCOMPARE(codice, QStringLiteral("abc"));
        r.b()->Bookmark_list();
        QVERIFY(r.p->reader()->Titre_Splitgauche->text().contains(QStringLiteral("mymarks.bkm")));

        // A new list, then the file: the three rows; one more, saved: four.
        r.b()->NuovoBookmarks();
        QCOMPARE(r.texts().size(), 0);
        r.dialogs.files = {saved};
        r.b()->ApriBookmarks();
        QCOMPARE(r.texts().size(), 3);
        r.mark("Card1");
        r.b()->SalvaBookmarks();
        QCOMPARE(bookmarks::readBookmarkFile(saved, &codice, &read), 0);
        QCOMPARE(int(read.size()), 4);

        // A click on an entry shows its place.
        r.main()->GoHome();
        r.list()->setCurrentIndex(r.list()->model()->index(2, 0));
        r.b()->List_bookmark_Click();
        QCOMPARE(r.main()->TopicData(), QStringLiteral("long"));
    }

    void theFileOfAnotherTitleOrNoDatabase()
    {
        Running r;
        QVERIFY(r.p);
        r.mark("120351");
        const QString other = r.folder.file(QStringLiteral("other.bkm"));
        QCOMPARE(
            bookmarks::writeBookmarkFile(other, QStringLiteral("carteggio"), someBookmarks(2, QStringLiteral("x"))), 0);
        const QByteArray otherBytes = bytesOf(other);
        r.dialogs.answers = {Answer::No}; // do not save the unnamed list first
        r.dialogs.files = {other};
        r.b()->ApriBookmarks();
        QCOMPARE(r.dialogs.shown.back().text, r.p->strings.text(QStringLiteral("BMSG"), 24));
        QCOMPARE(r.texts().size(), 1); // the list as it was
        QVERIFY(!r.b()->named());
        // The next save asks for a file, and the other title's file is untouched.
        r.dialogs.shown.clear();
        r.b()->SalvaBookmarks();
        QVERIFY(r.dialogs.shown.front().isFileDialog);
        QCOMPARE(bytesOf(other), otherBytes);
        // A file that is not a database.
        const QString junk = r.folder.file(QStringLiteral("junk.bkm"));
        QFile j(junk);
        QVERIFY(j.open(QIODevice::WriteOnly));
        j.write(QByteArray(3000, 'z'));
        j.close();
        r.dialogs.answers = {Answer::No};
        r.dialogs.files = {junk};
        r.b()->ApriBookmarks();
        QCOMPARE(r.dialogs.shown.back().text, r.p->strings.text(QStringLiteral("BMSG"), 23));
        QCOMPARE(r.texts().size(), 1);
    }

    void nothingIsLostAtClose()
    {
        Running r;
        QVERIFY(r.p);
        r.mark("120351");
        // Unnamed and changed: BMSG 25; Cancel keeps the program open, and so
        // does Yes followed by a cancelled save dialog.
        r.dialogs.answers = {Answer::Cancel};
        QVERIFY(!r.p->mainFrame()->close());
        QCOMPARE(r.dialogs.shown.back().text, r.p->strings.text(QStringLiteral("BMSG"), 25));
        r.dialogs.answers = {Answer::Yes};
        QVERIFY(!r.p->mainFrame()->close());
        QVERIFY(r.p->mainFrame()->isVisible());

        // Named and changed: BMSG 28/29; emptied: BMSG 26/27 with No preselected.
        const QString file = r.folder.file(QStringLiteral("named.bkm"));
        r.dialogs.files = {file};
        QVERIFY(r.b()->SalvaBookmarks());
        r.mark("Long");
        r.dialogs.shown.clear();
        r.dialogs.answers = {Answer::Cancel};
        QVERIFY(!r.p->mainFrame()->close());
        QVERIFY(r.dialogs.shown.back().text.startsWith(r.p->strings.text(QStringLiteral("BMSG"), 28)));
        r.list()->setCurrentIndex(r.list()->model()->index(0, 0));
        r.b()->Bookmark_del();
        r.list()->setCurrentIndex(r.list()->model()->index(0, 0));
        r.b()->Bookmark_del();
        QVERIFY(!r.p->mainFrame()->button("Bookmarkdel")->isEnabled());
        r.dialogs.answers = {Answer::No};
        QVERIFY(!r.p->mainFrame()->close());
        QVERIFY(r.dialogs.shown.back().text.startsWith(r.p->strings.text(QStringLiteral("BMSG"), 26)));
        QCOMPARE(r.dialogs.shown.back().defaultButton, Answer::No);
        QVERIFY(QFile::exists(file));
    }

    void saveAsOntoAFileThatExists()
    {
        Running r;
        QVERIFY(r.p);
        r.mark("120351");
        const QString file = r.folder.file(QStringLiteral("taken.bkm"));
        QCOMPARE(bookmarks::writeBookmarkFile(file, QStringLiteral("abc"), someBookmarks(5, QStringLiteral("y"))), 0);
        const QByteArray before = bytesOf(file);
        r.dialogs.files = {file};
        r.dialogs.answers = {Answer::Cancel};
        r.b()->BookmarkSalvaSous_Click();
        QVERIFY(r.dialogs.shown.back().text.startsWith(r.p->strings.text(QStringLiteral("BMSG"), 30)));
        QCOMPARE(r.dialogs.shown.back().defaultButton, Answer::Cancel);
        QCOMPARE(bytesOf(file), before);
        QVERIFY(!r.b()->named() && r.b()->modified());
        r.dialogs.files = {file};
        r.dialogs.answers = {Answer::Ok};
        r.b()->BookmarkSalvaSous_Click();
        QVERIFY(r.b()->named());
        QVERIFY(bytesOf(file) != before);
    }

    void aFailedSaveSaysSoAndKeepsTheList()
    {
        Running r;
        QVERIFY(r.p);
        r.mark("120351");
        const QString file = r.folder.file(QStringLiteral("kept.bkm"));
        r.dialogs.files = {file};
        QVERIFY(r.b()->SalvaBookmarks());
        const QByteArray before = bytesOf(file);
        r.mark("Long");
        db::testing::installFaultyVfs();
        db::testing::failWritesAfter(2); // the disk fills up during the save
        r.dialogs.shown.clear();
        QVERIFY(!r.b()->SalvaBookmarks());
        db::testing::failWritesAfter(-1);
        QVERIFY(r.dialogs.shown.back().text.startsWith(r.p->strings.text(QStringLiteral("BMSG"), 21)));
        QCOMPARE(bytesOf(file), before);
        QVERIFY(r.b()->modified());
        QCOMPARE(r.texts().size(), 2);
        // Saved again once there is room.
        QVERIFY(r.b()->SalvaBookmarks());
        QVERIFY(bytesOf(file) != before);

        // A file with no rows opens as an empty named list; F5 has nothing to show.
        const QString empty = r.folder.file(QStringLiteral("empty.bkm"));
        QCOMPARE(bookmarks::writeBookmarkFile(empty, QStringLiteral("abc"), {}), 0);
        r.dialogs.files = {empty};
        r.b()->ApriBookmarks();
        QVERIFY(r.b()->named());
        QCOMPARE(r.texts().size(), 0);
    }

    void anotherTitleForgetsTheFile()
    {
        Running r;
        QVERIFY(r.p);
        r.mark("120351");
        r.dialogs.files = {r.folder.file(QStringLiteral("abc.bkm"))};
        QVERIFY(r.b()->SalvaBookmarks());
        const QByteArray saved = bytesOf(r.folder.file(QStringLiteral("abc.bkm")));
        r.dialogs.files = {r.folder.file(QStringLiteral("def.m14"))};
        r.p->ApriTexte();
        QCOMPARE(r.main()->ViewTitle(), r.folder.file(QStringLiteral("def.m14")));
        QVERIFY(!r.b()->named());
        r.mark("120351");
        r.dialogs.shown.clear();
        r.b()->SalvaBookmarks(); // asks for a file: the first title's stays as it was
        QVERIFY(r.dialogs.shown.front().isFileDialog);
        QCOMPARE(bytesOf(r.folder.file(QStringLiteral("abc.bkm"))), saved);
    }

    // A session that ends without a word (a kill, a crash, a logout that
    // does not wait) loses no bookmark: the changed list is copied as it
    // changes, and offered back when the title is next opened.
    void unsavedBookmarksSurviveAnEndedSession()
    {
        Running r;
        QVERIFY(r.p);
        r.mark("120351");
        r.mark("Long");
        const QString copy = r.b()->recoveryPath();
        QTRY_VERIFY(QFile::exists(copy));
        r.p.reset(); // ended without closing its window
        QVERIFY(QFile::exists(copy));

        r.dialogs.shown.clear();
        r.dialogs.answers = {Answer::Yes};
        r.start();
        QVERIFY(r.p);
        QCOMPARE(r.dialogs.shown.size(), size_t(1));
        QCOMPARE(r.dialogs.shown[0].text,
                 r.p->strings.text(QStringLiteral("BMSG"), 36).arg(QStringLiteral("Fixture title")));
        QCOMPARE(r.texts().size(), 2);
        QVERIFY(r.b()->modified() && !r.b()->named());
        QVERIFY(r.p->reader()->Titre_Splitgauche->text().endsWith(QStringLiteral(" *")));
        QVERIFY(r.p->mainFrame()->item("BookmarkSalva")->isEnabled());
        // Saved, the copy has nothing left to keep.
        r.dialogs.files = {r.folder.file(QStringLiteral("kept.bkm"))};
        QVERIFY(r.b()->SalvaBookmarks());
        QVERIFY(!QFile::exists(copy));
        QVERIFY(!r.p->reader()->Titre_Splitgauche->text().contains(u'*'));

        // Refused, the copy goes; another title's copy waits for its title.
        r.mark("Card1");
        r.b()->writeRecoveryNow();
        QVERIFY(QFile::exists(copy));
        r.p.reset();
        r.dialogs.answers = {Answer::No};
        r.start(QStringLiteral("def"));
        QVERIFY(r.p);
        QVERIFY(QFile::exists(copy)); // abc's, not asked about in def
        r.p.reset();
        r.start();
        QVERIFY(!QFile::exists(copy));
        QCOMPARE(r.texts().size(), 0);
        // A close that saves nothing on purpose leaves no copy either.
        r.mark("120351");
        r.b()->writeRecoveryNow();
        r.dialogs.answers = {Answer::No};
        QVERIFY(r.p->mainFrame()->close());
        QVERIFY(!QFile::exists(copy));
    }

    // Regression: a save cut short left "x.bkm.part" and its journal beside
    // the reader's file until the next whole save. They go when that file is
    // next opened (the file itself untouched), and are never opened as
    // bookmark files.
    void leftoversOfASaveCutShortAreCleanedAndNeverOpened()
    {
        Running r;
        QVERIFY(r.p);
        const QString file = r.folder.file(QStringLiteral("mine.bkm"));
        QCOMPARE(bookmarks::writeBookmarkFile(file, QStringLiteral("abc"), someBookmarks(3, QStringLiteral("x"))), 0);
        const QByteArray before = bytesOf(file);
        for (const char *suffix : {".part", ".part-journal"}) {
            QFile f(file + QString::fromLatin1(suffix));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("half a file");
        }
        r.dialogs.files = {file + QStringLiteral(".part")};
        r.dialogs.shown.clear();
        r.b()->ApriBookmarks();
        QCOMPARE(r.dialogs.shown.back().text, r.p->strings.text(QStringLiteral("BMSG"), 23));
        QCOMPARE(r.texts().size(), 0);
        r.dialogs.files = {file};
        r.b()->ApriBookmarks();
        QCOMPARE(r.texts().size(), 3);
        QVERIFY(!QFile::exists(file + QStringLiteral(".part")));
        QVERIFY(!QFile::exists(file + QStringLiteral(".part-journal")));
        QCOMPARE(bytesOf(file), before);
    }

    // Regression: when the emptied list's file was to be deleted, a file that
    // could not be removed went without a word. It stays as it was, and the
    // reader is told.
    void aFileThatCannotBeDeletedIsSaid()
    {
        Running r;
        QVERIFY(r.p);
        r.mark("120351");
        const QString file = r.folder.file(QStringLiteral("named.bkm"));
        r.dialogs.files = {file};
        QVERIFY(r.b()->SalvaBookmarks());
        r.b()->Bookmark_del();
        // Something the program cannot remove now stands where the file was.
        QVERIFY(QFile::remove(file));
        QVERIFY(QDir().mkpath(file + QStringLiteral("/kept")));
        r.dialogs.shown.clear();
        r.dialogs.answers = {Answer::Yes, Answer::Ok};
        QVERIFY(r.p->mainFrame()->close());
        QCOMPARE(r.dialogs.shown.size(), size_t(2));
        QCOMPARE(r.dialogs.shown[1].text,
                 r.p->strings.text(QStringLiteral("BMSG"), 37).arg(QDir::toNativeSeparators(file)));
        QVERIFY(QFileInfo::exists(file + QStringLiteral("/kept")));
    }

    // A bookmark is renamed in place with F2; the list then shows it has
    // changes; Esc or an empty name keeps the old one.
    void aBookmarkIsRenamedInPlace()
    {
        Running r;
        QVERIFY(r.p);
        r.mark("120351");
        r.b()->Form5()->hide(); // as its timer does, a second later
        r.dialogs.files = {r.folder.file(QStringLiteral("named.bkm"))};
        QVERIFY(r.b()->SalvaBookmarks());
        r.b()->Bookmark_list();
        const QString before = r.texts().value(0);
        QCOMPARE(r.p->reader()->Titre_Splitgauche->text(),
                 QString(r.p->strings.text(QStringLiteral("MENU"), 22)).remove(u'&') + QStringLiteral(" (named.bkm)"));
        QTreeView *list = r.list();
        list->setCurrentIndex(list->model()->index(0, 0));
        // The keys reach the list in the active window (the offscreen
        // platform leaves the last notice shown as the active one).
        const auto f2 = [&] {
            r.p->mainFrame()->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(r.p->mainFrame()));
            list->setFocus();
            QTest::keyClick(list, Qt::Key_F2);
        };
        f2();
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        QVERIFY(r.p->reader()->Frame_cerca->isHidden()); // F2 did not open the search panel
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("La lettera del gatto"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(r.texts().value(0), QStringLiteral("La lettera del gatto")); // taken once Enter is handled
        QVERIFY(r.b()->modified());
        QVERIFY(r.p->reader()->Titre_Splitgauche->text().endsWith(QStringLiteral("(named.bkm) *")));
        // Esc, then an empty name: the name stays.
        f2();
        editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("xyz"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QCOMPARE(r.texts().value(0), QStringLiteral("La lettera del gatto"));
        f2();
        editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->clear();
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!list->isPersistentEditorOpen(list->currentIndex()) && QApplication::focusWidget() == list);
        QCOMPARE(r.texts().value(0), QStringLiteral("La lettera del gatto"));
        // Saved under its new name; the title keeps the file's name after
        // the options' OK (which reloads every caption).
        QVERIFY(r.b()->SalvaBookmarks());
        QString codice;
        std::vector<bookmarks::Bookmark> read;
        QCOMPARE(bookmarks::readBookmarkFile(r.folder.file(QStringLiteral("named.bkm")), &codice, &read), 0);
        QCOMPARE(read.at(0).text, QStringLiteral("La lettera del gatto"));
        QVERIFY(before != read.at(0).text);
        r.p->mainFrame()->item("Opzioni")->trigger();
        r.p->options_dialog()->CommandOk_Click();
        QVERIFY(r.p->reader()->Titre_Splitgauche->text().endsWith(QStringLiteral("(named.bkm)")));
    }

    // Regression: a fatal error in mid-session (the application database
    // gone when the options apply) left the program running broken, and the
    // close that followed skipped the bookmark question. It ends the
    // program, after that question.
    void aFatalErrorAsksAboutTheBookmarksThenEnds()
    {
        Running r;
        QVERIFY(r.p);
        r.mark("120351");
        QFile::remove(r.folder.file(QStringLiteral("FL.mdb")));
        const QString saved = r.folder.file(QStringLiteral("saved.bkm"));
        r.dialogs.answers = {Answer::Ok, Answer::Yes};
        r.dialogs.files = {saved};
        r.dialogs.shown.clear();
        r.p->mainFrame()->item("Opzioni")->trigger();
        r.p->options_dialog()->CommandOk_Click();
        QVERIFY(r.p->ended());
        QVERIFY(!r.p->mainFrame()->isVisible());
        QCOMPARE(r.dialogs.shown.at(0).icon, Icon::Critical);
        QCOMPARE(r.dialogs.shown.at(1).text, r.p->strings.text(QStringLiteral("BMSG"), 25));
        QString codice;
        std::vector<bookmarks::Bookmark> read;
        QCOMPARE(bookmarks::readBookmarkFile(saved, &codice, &read), 0);
        QCOMPARE(int(read.size()), 1);
        QVERIFY(!QFile::exists(r.b()->recoveryPath()));
        // Answered Cancel, the program ends all the same, and the list waits
        // in its recovery copy.
        Running s;
        QVERIFY(s.p);
        s.mark("Long");
        QFile::remove(s.folder.file(QStringLiteral("FL.mdb")));
        s.dialogs.answers = {Answer::Ok, Answer::Cancel};
        s.p->mainFrame()->item("Opzioni")->trigger();
        s.p->options_dialog()->CommandOk_Click();
        QVERIFY(s.p->ended());
        RecoveredBookmarks kept;
        QCOMPARE(bookmarks::readRecoveryFile(s.b()->recoveryPath(), &kept), 0);
        QCOMPARE(int(kept.list.size()), 1);
        QCOMPARE(kept.titlePath, s.folder.file(QStringLiteral("abc.m14")));
    }

    // When memory runs out (or another error ends the program without a
    // word), the changed list is kept at once, not a moment later.
    void memoryRunningOutKeepsTheChangedListFirst()
    {
        Running r;
        QVERIFY(r.p);
        r.mark("120351");
        const QString copy = r.b()->recoveryPath();
        QVERIFY(!QFile::exists(copy)); // written a moment after the change
        const std::terminate_handler terminate = std::get_terminate();
        app::saveBeforeAFatalEnd([&r] { r.p->saveWhatWouldBeLost(); });
        std::get_new_handler()(); // as operator new calls it when memory runs out
        QVERIFY(QFile::exists(copy));
        RecoveredBookmarks kept;
        QCOMPARE(bookmarks::readRecoveryFile(copy, &kept), 0);
        QCOMPARE(int(kept.list.size()), 1);
        std::set_new_handler(nullptr);
        std::set_terminate(terminate);
        qInstallMessageHandler(nullptr);
    }

    // Regression: asked to end (SIGTERM), the program quit even after the
    // reader answered Cancel to the bookmark question. A cancelled close
    // keeps it running, and the next request asks again.
    void aRequestToEndIsACloseTheReaderMayCancel()
    {
        Running r;
        QVERIFY(r.p);
        r.mark("120351");
        int quits = 0;
        app::TerminationRequests requests([&r] { return r.p->mainFrame()->close(); }, [&quits] { ++quits; });
        QVERIFY(requests.isWatching());
        r.dialogs.answers = {Answer::Cancel};
        r.dialogs.shown.clear();
        ::raise(SIGTERM);
        QTRY_COMPARE(r.dialogs.shown.size(), size_t(1));
        QCOMPARE(r.dialogs.shown[0].text, r.p->strings.text(QStringLiteral("BMSG"), 25));
        QTest::qWait(50);
        QCOMPARE(quits, 0);
        QVERIFY(r.p->mainFrame()->isVisible());
        QCOMPARE(r.texts().size(), 1);
        r.dialogs.answers = {Answer::No};
        ::raise(SIGTERM);
        QTRY_COMPARE(quits, 1);
        QVERIFY(!r.p->mainFrame()->isVisible());
    }

    // Regression: a right click in the list, then Esc, left "Delete
    // bookmark" disabled in the menu, on the toolbar and for Ctrl+D until
    // the panel had been switched twice.
    void deleteStaysAtHandAfterTheContextMenuIsDismissed()
    {
        Running r;
        QVERIFY(r.p);
        r.mark("120351");
        r.mark("Long");
        r.b()->Bookmark_list();
        forms::MDIForm1 *frame = r.p->mainFrame();
        QVERIFY(frame->item("Bookmarkdel")->isEnabled());
        QMenu *shown = nullptr;
        r.p->commands()->popupMenu = [&](QMenu *menu, const QPoint &at) {
            shown = menu;
            menu->popup(at);
            QTest::keyClick(menu, Qt::Key_Escape);
        };
        QTest::mouseClick(r.list()->viewport(), Qt::RightButton, {},
                          r.list()->visualRect(r.list()->model()->index(0, 0)).center());
        QVERIFY(shown);
        QVERIFY(!shown->isVisible());
        QVERIFY(frame->item("Bookmarkdel")->isEnabled());
        QVERIFY(frame->item("Bookmarkdel")->isVisible());
        QVERIFY(frame->button("Bookmarkdel")->isEnabled());
        frame->item("Bookmarkdel")->trigger();
        QCOMPARE(r.texts().size(), 1);
    }
};

QTEST_MAIN(TestBookmarks)
#include "tst_bookmarks.moc"
