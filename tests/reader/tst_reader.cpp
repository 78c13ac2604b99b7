// The reading panes through the real windows: hotspot codes and where each
// kind of hotspot sends its target from each pane, with and without Ctrl;
// stepping through note calls; the history rows and buttons that every topic
// change keeps.
#include "bookmarks.h"
#include "dialogs.h"
#include "form1.h"
#include "form3.h"
#include "history.h"
#include "hotspots.h"
#include "mdiform1.h"
#include "program.h"
#include "program_folder.h"
#include "region_view.h"
#include "status_line.h"
#include "topic_display.h"
#include "title_file.h"
#include "topicview.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QTextCursor>
#include <QStatusBar>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

using namespace folium;
using namespace folium::app;
using namespace folium::config;
using folium::testing::ProgramFolder;

namespace {

// The home topic's hotspots, numbered as the engine numbers them.
enum HomeHotspot { First = 1, CodeJump = 2, NoteCode = 3, CardPopup = 4, CodePopup = 5, DeepJump = 6 };

struct Running {
    ProgramFolder folder;
    ScriptedDialogs dialogs;
    Program p{folder.path(), dialogs};
    engine::TopicView *main = nullptr;
    engine::TopicView *sec = nullptr;

    Running()
    {
        if (p.Main(QStringLiteral("abc"))) {
            main = p.reader()->Fl_main;
            sec = p.reader()->Fl_sec;
        }
    }
    void click(engine::TopicView *pane, int ordinal) { pane->activateHotspot(pane->TopicIndex(), ordinal); }
    // Ctrl pressed and held, as the reader window's key handler sees it.
    void holdCtrl() { QTest::keyPress(p.reader(), Qt::Key_Control, Qt::ControlModifier); }
    void releaseCtrl() { QTest::keyRelease(p.reader(), Qt::Key_Control, Qt::NoModifier); }
    bool notesOpen() const { return !p.reader()->Text_notes->isHidden(); }
};

} // namespace

class TestReader : public QObject {
    Q_OBJECT

private slots:
    // The status bar: where the link under the pointer leads, while it is
    // there (the message it covered comes back), and the hits of the page.
    void theStatusBarSaysWhereALinkLeadsAndCountsTheHits()
    {
        Running r;
        QVERIFY(r.main);
        QStatusBar *bar = r.p.mainFrame()->statusBar();
        reader::StatusLine *line = r.p.statusLine();
        const QString stat1 = r.p.strings.text(QStringLiteral("STAT"), 1);
        QCOMPARE(line->targetText(2, QStringLiteral("Deep")), stat1.arg(QStringLiteral("Long chapter")));
        QCOMPARE(line->targetText(0, QStringLiteral("N120351.2")), stat1.arg(QStringLiteral("12 marzo 1851, a Luigi")));
        QCOMPARE(line->targetText(0, QStringLiteral("120351")), stat1.arg(QStringLiteral("12 marzo 1851, a Luigi")));
        QCOMPARE(line->targetText(1, QStringLiteral("NoSuchContext")), QString());

        bar->showMessage(QStringLiteral("a message of the program"));
        engine::RegionView *text = r.main->regionView(1);
        const QRect deep = text->spanRect(text->spanIndexOfOrdinal(DeepJump));
        QTest::mouseMove(text->viewport(), deep.center());
        QTRY_COMPARE(bar->currentMessage(), stat1.arg(QStringLiteral("Long chapter")));
        QTest::mouseMove(text->viewport(), QPoint(text->viewport()->width() - 5, text->viewport()->height() - 5));
        QTRY_COMPARE(bar->currentMessage(), QStringLiteral("a message of the program"));

        // The hits of the page shown, at the right of the bar.
        QCOMPARE(line->hitsLabel()->text(), QString());
        r.main->setHiliteSearchHits(true);
        QCOMPARE(r.main->JumpContext(QStringLiteral("Long")), 0);
        r.main->RunSearch(QStringLiteral("paragraph"));
        const int hits = int(r.main->highlightSpans(1).size());
        QVERIFY(hits > 1);
        QCOMPARE(line->hitsLabel()->text(), r.p.strings.text(QStringLiteral("STAT"), 3).arg(hits));
        r.main->RunSearch(QStringLiteral("nowhereword"));
        QCOMPARE(line->hitsLabel()->text(), QString());
    }

    // Regression: popups were windows of a kind screen readers are not shown
    // (no showing state, no size, no text), and the short notices had no
    // name, so nothing was said. A popup is a window of the application,
    // with its name and its text; a notice is an alert named by its words,
    // announced as it shows.
    void popupsAndNoticesReachAScreenReader()
    {
        Running r;
        QVERIFY(r.main);
        r.p.mainFrame()->show();
        QVERIFY(QTest::qWaitForWindowExposed(r.p.mainFrame()));
        QCOMPARE(r.main->PopupTopic(4), 0);
        QTRY_VERIFY(r.main->isPopupOpen());
        QAccessibleInterface *application = QAccessible::queryAccessibleInterface(qApp);
        QAccessibleInterface *popup = nullptr;
        for (int i = 0; i < application->childCount(); ++i)
            if (application->child(i)->object() == r.main->popupWindow())
                popup = application->child(i);
        QVERIFY(popup);
        QCOMPARE(popup->role(), QAccessible::Window);
        QCOMPARE(popup->text(QAccessible::Name), r.p.strings.text(QStringLiteral("ACCE"), 7));
        QVERIFY(!popup->state().invisible);
        QVERIFY(popup->rect().width() > 0 && popup->rect().height() > 0);
        QAccessibleInterface *card =
            QAccessible::queryAccessibleInterface(r.main->popupWindow()->findChild<engine::RegionView *>());
        QCOMPARE(card->parent()->object(), r.main->popupWindow());
        QCOMPARE(card->role(), QAccessible::Document);
        QVERIFY(card->textInterface()
                    ->text(0, card->textInterface()->characterCount())
                    .contains(QStringLiteral("A card shown in a popup")));
        QTRY_VERIFY(card->state().focused); // its text is what the keyboard reads
        // Esc closes it, and the keyboard is the window's again.
        QTest::keyClick(r.main->popupWindow()->findChild<engine::RegionView *>(), Qt::Key_Escape);
        QTRY_VERIFY(!r.main->isPopupOpen());
        QTRY_COMPARE(QApplication::activeWindow(), r.p.mainFrame());

        r.p.bookmarks()->Bookmark_add();
        QWidget *notice = r.p.bookmarks()->Form5();
        QVERIFY(notice->isVisible());
        QAccessibleInterface *said = QAccessible::queryAccessibleInterface(notice);
        QCOMPARE(said->role(), QAccessible::AlertMessage);
        QCOMPARE(said->text(QAccessible::Name), r.p.strings.text(QStringLiteral("LOAD"), 1));
        QVERIFY(!said->state().invisible);
    }

    void hotspotCodes_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("number");
        QTest::newRow("dotted") << QByteArray("S12.3") << "S12.3"
                                << "S12"
                                << "3";
        QTest::newRow("last dot") << QByteArray("M1.2.3") << "M1.2.3"
                                  << "M1.2"
                                  << "3";
        QTest::newRow("note") << QByteArray("N45") << "N45"
                              << "N45"
                              << "";
        QTest::newRow("stops at other characters") << QByteArray("K7.1x9") << "K7.1"
                                                   << "K7"
                                                   << "1";
        QTest::newRow("cut to 20") << QByteArray("S1234567890123456789012.4") << "S1234567890123456789"
                                   << "S1234567890123456789"
                                   << "";
        QTest::newRow("lower case") << QByteArray("s12.3") << ""
                                    << ""
                                    << "";
    }
    void hotspotCodes()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QString, code);
        QFETCH(QString, context);
        QFETCH(QString, number);
        const reader::HotspotCode h = reader::readHotspotCode(raw);
        QCOMPARE(h.code, code);
        QCOMPARE(h.context, context);
        QCOMPARE(h.number, number);
    }

    // The parts told of a topic shown are told in their declared order,
    // whatever the order they asked in: the history has the topic's row
    // before the hit count and the search hear of it.
    void aTopicShownIsToldInTheDeclaredOrder()
    {
        Running r;
        QVERIFY(r.main);
        QStringList told;
        reader::TopicDisplay *display = r.p.display();
        display->observe(reader::TopicObserver::SearchHits, [&](const engine::Place &) { told << "search"; });
        display->observe(reader::TopicObserver::HitCount, [&](const engine::Place &) { told << "count"; });
        display->observe(reader::TopicObserver::History, [&](const engine::Place &p) {
            told << "history";
            QCOMPARE(p, r.main->place());
        });
        display->observe(reader::TopicObserver::HitCount,
                         [&](const engine::Place &p) { QCOMPARE(r.p.history()->rows().at(0).place.topic, p.topic); });
        r.main->JumpContext(QStringLiteral("120351"));
        QCOMPARE(told, (QStringList{"history", "count", "search"}));
        QCOMPARE(display->current().topic, r.main->TopicIndex());
    }

    void topicChangesKeepHistoryAndButtons()
    {
        Running r;
        QVERIFY(r.main);
        forms::MDIForm1 *frame = r.p.mainFrame();
        const forms::PlaceList &history = r.p.history()->rows();
        QTreeView *historyView = r.p.reader()->List_cronologia;
        QCOMPARE(history.rowCount(), 1);
        QCOMPARE(history.at(0).icon, 3);
        QVERIFY(!frame->button("Home")->isEnabled());
        QVERIFY(!frame->item("HomePage")->isEnabled());

        r.main->JumpContext(QStringLiteral("120351"));
        QCOMPARE(history.rowCount(), 2);
        QCOMPARE(history.at(0).text, QStringLiteral("12 marzo 1851, a Luigi"));
        QCOMPARE(history.at(0).icon, 8);
        QCOMPARE(historyView->currentIndex().row(), 0);
        QVERIFY(frame->button("Home")->isEnabled());
        QVERIFY(frame->button("BackCrono")->isEnabled());
        QVERIFY(!frame->item("CronoNext")->isEnabled());
        QVERIFY(frame->button("Browseback")->isEnabled());

        // Leaving a topic records where the reader was in its history row.
        r.main->JumpContext(QStringLiteral("Deep"));
        const QString scroll = QString::number(r.main->TopicScroll());
        r.p.display()->Home();
        QCOMPARE(history.at(1).text, QStringLiteral("Long chapter"));
        QCOMPARE(QString::number(history.at(1).place.scroll), scroll);
        QCOMPARE(history.at(0).icon, 3);

        // A place inside the topic already shown adds no row.
        const int rows = history.rowCount();
        r.main->JumpContext(QStringLiteral("Home"));
        QCOMPARE(history.rowCount(), rows);
    }

    void indexMenuItemsJumpToTheirContexts()
    {
        QCOMPARE(reader::TopicDisplay::indexContext(QStringLiteral("Localita")), QStringLiteral("IndiceLocalita"));
        QCOMPARE(reader::TopicDisplay::indexContext(QStringLiteral("Sinottico")), QStringLiteral("IndiceSinottico"));
        QVERIFY(reader::TopicDisplay::indexContext(QStringLiteral("Cerca")).isEmpty());
    }

    void codeHotspotsFromTheMainPane()
    {
        Running r;
        QVERIFY(r.main);
        // A plain code jumps in the main pane.
        r.click(r.main, CodeJump);
        QCOMPARE(r.main->TopicData(), QStringLiteral("120351"));
        QVERIFY(!r.notesOpen());

        // With Ctrl it goes to the notes pane, and the main pane stays.
        r.p.display()->Home();
        r.holdCtrl();
        r.click(r.main, CodeJump);
        QVERIFY(r.notesOpen());
        QVERIFY(r.p.mainFrame()->item("NoteBasPage")->isChecked());
        QCOMPARE(r.sec->TopicData(), QStringLiteral("120351"));
        QCOMPARE(r.main->TopicData(), QStringLiteral("sommario"));

        // An "N" code goes to the main pane even with Ctrl.
        r.click(r.main, NoteCode);
        QCOMPARE(r.main->TopicData(), QStringLiteral("120351"));
        r.releaseCtrl();
    }

    void popupCodesFromEachPane()
    {
        Running r;
        QVERIFY(r.main);
        r.click(r.main, CodePopup);
        QVERIFY(r.p.reader()->Med2->isPopupOpen());
        QCOMPARE(r.p.reader()->Med2->TopicData(), QStringLiteral("card1"));
        QCOMPARE(r.p.reader()->Med2->BackColorPopup(), 13690848L);
        QVERIFY(!r.notesOpen());

        // The card's link, clicked in the popup, jumps in the main pane and closes the popup.
        r.p.reader()->Med2->activateHotspot(r.p.reader()->Med2->TopicIndex(), 1);
        QVERIFY(!r.p.reader()->Med2->isPopupOpen());
        QCOMPARE(r.main->TopicData(), QStringLiteral("120351a"));

        // In the notes pane, a popup code shows there, not as a popup.
        r.main->GoHome();
        r.sec->setViewTitle(r.main->ViewTitle());
        r.sec->GoHome();
        r.click(r.sec, CodePopup);
        QCOMPARE(r.sec->TopicData(), QStringLiteral("card1"));
        QVERIFY(!r.p.reader()->Med2->isPopupOpen());
        // A plain code there jumps in the main pane.
        r.sec->GoHome();
        r.click(r.sec, CodeJump);
        QCOMPARE(r.main->TopicData(), QStringLiteral("120351"));
        // The main pane's new topic clears the notes pane.
        QCOMPARE(r.sec->ViewTitle(), QString());
    }

    void dottedAndPopupCodesFromEachPane()
    {
        // The codes title's home: S1.2, S2, NS1.1, B1.
        ProgramFolder folder{QStringList{}};
        folder.addTitle(QStringLiteral("codes"), true, QStringLiteral("codes"));
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("codes")));
        engine::TopicView *main = p.reader()->Fl_main;
        engine::TopicView *sec = p.reader()->Fl_sec;
        const auto click = [](engine::TopicView *pane, int ordinal) {
            pane->activateHotspot(pane->TopicIndex(), ordinal);
        };
        // S1.2: the letter S1, the current call set to 2 and then stepped on.
        click(main, 1);
        QCOMPARE(main->TopicData(), QStringLiteral("S1"));
        QCOMPARE(p.state.CurrentHotspot, 3);
        engine::TVHotspotInfo info;
        engine::TVError err;
        QVERIFY(engine::fTVFocusInfo(main->lpTVSR(), &info, &err));
        QCOMPARE(info.field[1], 3L);

        // B1 with Ctrl: the card in the notes pane, no popup.
        main->GoHome();
        QTest::keyPress(p.reader(), Qt::Key_Control, Qt::ControlModifier);
        click(main, 4);
        QTest::keyRelease(p.reader(), Qt::Key_Control, Qt::NoModifier);
        QCOMPARE(sec->TopicData(), QStringLiteral("card"));
        QVERIFY(!p.reader()->Med2->isPopupOpen());
        QCOMPARE(main->TopicData(), QStringLiteral("sommario"));

        // In the notes pane: S1.2 steps the main pane to call 3 and opens its note below.
        sec->GoHome();
        click(sec, 1);
        QCOMPARE(main->TopicData(), QStringLiteral("S1"));
        QCOMPARE(p.state.CurrentHotspot, 3);
        QCOMPARE(sec->TopicData(), QStringLiteral("S1.3"));
        // And an "N" code there jumps in the main pane.
        main->GoHome();
        sec->setViewTitle(main->ViewTitle());
        sec->GoHome();
        click(sec, 3);
        QCOMPARE(main->TopicData(), QStringLiteral("S1"));
    }

    void jumpHotspotWithCtrlOpensTheNotesPane()
    {
        Running r;
        QVERIFY(r.main);
        r.holdCtrl();
        r.click(r.main, First);
        QVERIFY(r.notesOpen());
        QCOMPARE(r.sec->TopicData(), QStringLiteral("120351"));
        QCOMPARE(r.main->TopicData(), QStringLiteral("sommario"));
        r.releaseCtrl();
        // Released, the same hotspot is the engine's own jump.
        r.p.hotspots()->NotesFermer_Click();
        QVERIFY(!r.notesOpen());
        r.click(r.main, First);
        QCOMPARE(r.main->TopicData(), QStringLiteral("120351"));
    }

    void notesAtBottomSendsTargetsToThePane()
    {
        ProgramFolder folder;
        folder.setOption(QStringLiteral("OptNotes"), true);
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        engine::TopicView *main = p.reader()->Fl_main;
        main->activateHotspot(main->TopicIndex(), CodeJump);
        QVERIFY(!p.reader()->Text_notes->isHidden());
        QCOMPARE(p.reader()->Fl_sec->TopicData(), QStringLiteral("120351"));
        QCOMPARE(main->TopicData(), QStringLiteral("sommario"));
    }

    void automaticNotesFollowEachStep()
    {
        ProgramFolder folder;
        folder.setOption(QStringLiteral("OptF9"), true);
        folder.setOption(QStringLiteral("OptNotes"), true);
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        engine::TopicView *main = p.reader()->Fl_main;
        main->JumpContext(QStringLiteral("120351"));
        p.hotspots()->HotspotNext();
        QCOMPARE(p.reader()->Fl_sec->TopicData(), QStringLiteral("120351.1"));
        p.hotspots()->HotspotNext();
        QCOMPARE(p.reader()->Fl_sec->TopicData(), QStringLiteral("120351.2"));
        QCOMPARE(main->TopicData(), QStringLiteral("120351"));
        QCOMPARE(p.state.CurrentHotspot, 2);
    }

    void steppingThroughNoteCallsWraps()
    {
        Running r;
        QVERIFY(r.main);
        r.main->JumpContext(QStringLiteral("120351"));
        reader::Hotspots *hs = r.p.hotspots();
        QCOMPARE(r.p.state.HotspotCount, 3);
        for (int expected : {1, 2, 3, 1}) {
            hs->HotspotNext();
            QCOMPARE(r.p.state.CurrentHotspot, expected);
            QCOMPARE(r.main->TopicData(), QStringLiteral("120351"));
        }
        engine::TVHotspotInfo info;
        engine::TVError err;
        QVERIFY(engine::fTVFocusInfo(r.main->lpTVSR(), &info, &err));
        QCOMPARE(info.field[1], 1L);
        // Back from the first call goes to "none", which the title lacks, and wraps to the last.
        hs->HotspotBack();
        QCOMPARE(r.p.state.CurrentHotspot, 3);
        QVERIFY(engine::fTVFocusInfo(r.main->lpTVSR(), &info, &err));
        QCOMPARE(info.field[1], 3L);

        // F9 opens the note of the focused call.
        r.p.hotspots()->AfficheNoteAvecClick();
        QCOMPARE(r.main->TopicData(), QStringLiteral("120351.3"));
    }

    // A name's popup between the calls is no note: the keys pass over it.
    void steppingPassesOverHotspotsThatAreNoNoteCalls()
    {
        Running r;
        QVERIFY(r.main);
        r.main->JumpContext(QStringLiteral("120351a"));
        reader::Hotspots *hs = r.p.hotspots();
        QCOMPARE(r.p.state.HotspotCount, 2);
        for (int i = 0; i < 2; ++i) {
            hs->HotspotNext();
            QCOMPARE(r.p.state.CurrentHotspot, 2);
            QCOMPARE(r.main->TopicData(), QStringLiteral("120351a"));
        }
        hs->HotspotBack();
        QCOMPARE(r.p.state.CurrentHotspot, 2);
        engine::TVHotspotInfo info;
        engine::TVError err;
        QVERIFY(engine::fTVFocusInfo(r.main->lpTVSR(), &info, &err));
        QCOMPARE(info.field[1], 2L);
        r.p.hotspots()->AfficheNoteAvecClick();
        QCOMPARE(r.main->TopicData(), QStringLiteral("120351a.2"));
        // The note is named by the number its call shows.
        QVERIFY(r.main->titleFile()->topicTitle(r.main->TopicIndex()).startsWith(QStringLiteral("Nota 1 ")));
    }

    void resultChosenInTheResultsList()
    {
        Running r;
        QVERIFY(r.main);
        QTreeView *results = r.p.reader()->List_risultati;
        forms::MDIForm1 *frame = r.p.mainFrame();
        QStandardItemModel model;
        results->setModel(&model);
        const auto add = [&model](const QString &text, int topic) {
            auto *item = new QStandardItem(text);
            item->setData(QVariant::fromValue(engine::Place{topic}), forms::PlaceRole);
            model.appendRow(item);
            return item->index();
        };
        const QModelIndex letter = add(QStringLiteral("12 marzo 1851, a Maria"), 2);
        const QModelIndex note = add(QStringLiteral("Nota 2 \u2013 12 marzo 1851, a Luigi"),
                                     r.main->titleFile()->context(QStringLiteral("T120351.2"))->topic);
        results->setCurrentIndex(letter);
        r.p.display()->AfficheTopic();
        QCOMPARE(r.main->TopicData(), QStringLiteral("120351a"));
        QCOMPARE(frame->statusBar()->currentMessage(), letter.data().toString());
        QVERIFY(!frame->button("Risultatilistback")->isEnabled());
        QVERIFY(frame->item("Risultati_next")->isEnabled());

        // A hit in a note shows the letter at the note's call, and the note.
        results->setCurrentIndex(note);
        r.p.display()->AfficheTopic();
        QVERIFY(frame->button("Risultatilistback")->isEnabled());
        QVERIFY(!frame->item("Risultati_next")->isEnabled());
        // The note replaces the letter, as a click on its call would.
        QCOMPARE(r.main->TopicData(), QStringLiteral("120351.2"));

        // The result already shown only refreshes the status bar and buttons.
        const int rows = r.p.history()->rows().rowCount();
        frame->statusBar()->clearMessage();
        r.p.display()->AfficheTopic();
        QCOMPARE(frame->statusBar()->currentMessage(), note.data().toString());
        QCOMPARE(r.p.history()->rows().rowCount(), rows);

        // With notes at the bottom, the letter stays at its call and the note opens below.
        r.p.state.NotesAtBottom = true;
        results->setCurrentIndex(letter);
        r.p.display()->AfficheTopic();
        results->setCurrentIndex(note);
        r.p.display()->AfficheTopic();
        QCOMPARE(r.main->TopicData(), QStringLiteral("120351"));
        QCOMPARE(r.p.state.CurrentHotspot, 2);
        QCOMPARE(r.sec->TopicData(), QStringLiteral("120351.2"));
        results->setModel(nullptr);
    }

    void selectionInOnePaneDropsTheOthersAndEnablesCopy()
    {
        Running r;
        QVERIFY(r.main);
        forms::MDIForm1 *frame = r.p.mainFrame();
        QVERIFY(!frame->item("Copia")->isEnabled());
        const auto select = [](engine::TopicView *pane) {
            engine::RegionView *rv = pane->regionView(1);
            QTextCursor c(rv->document());
            c.setPosition(0);
            c.setPosition(5, QTextCursor::KeepAnchor);
            rv->setTextCursor(c);
            QTest::mouseRelease(rv->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        };
        r.sec->setViewTitle(r.main->ViewTitle());
        r.sec->GoHome();
        select(r.sec);
        QVERIFY(frame->item("Copia")->isEnabled());
        QVERIFY(frame->button("Copia")->isEnabled());
        select(r.main);
        QVERIFY(r.main->HasSelection());
        QVERIFY(!r.sec->HasSelection());
        // The focus went back to the side pane; the copy takes the main pane's words.
        QCOMPARE(QApplication::focusWidget(), r.p.reader()->TreeSommario);
        QVERIFY(frame->item("Copia")->isEnabled());
        frame->item("Copia")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Start"));
        // A new topic has no selection.
        r.main->JumpContext(QStringLiteral("Long"));
        QVERIFY(!frame->item("Copia")->isEnabled());
    }

    void notesPaneToggleAndClose()
    {
        Running r;
        QVERIFY(r.main);
        QAction *item = r.p.mainFrame()->item("NoteBasPage");
        item->trigger();
        QVERIFY(r.notesOpen());
        QVERIFY(item->isChecked());
        QVERIFY(r.p.state.NotesAtBottom);
        item->trigger();
        QVERIFY(!r.notesOpen());
        QVERIFY(!item->isChecked());
        // The option is off, so targets go back to the main pane.
        QVERIFY(!r.p.state.NotesAtBottom);
    }
};

QTEST_MAIN(TestReader)
#include "tst_reader.moc"
