// The command dispatch through the real windows: menu shortcuts and the
// reader window's keys, the toolbar's drop-down menus and the help files.
#include "commands.h"
#include "hotspots.h"
#include "contents_tree.h"
#include "dialogs.h"
#include "form2.h"
#include "form1.h"
#include "help_window.h"
#include "mdiform1.h"
#include "panels.h"
#include "program.h"
#include "program_folder.h"
#include "running_program.h"
#include "search_panel.h"
#include "region_view.h"
#include "topicview.h"
#include "pdf_words.h"

#include <QAccessible>
#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QContextMenuEvent>
#include <QTest>
#include <QPrinter>
#include <QPrintDialog>
#include <QTemporaryDir>
#include <QStatusBar>
#include <QMenuBar>
#include <QClipboard>
#include <QGroupBox>
#include <QSplitter>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QScrollBar>
#include <QTreeView>
#include <QTimer>

#include <functional>
#include <QToolBar>
#include <QToolButton>

using namespace folium;
using namespace folium::app;
using namespace folium::config;
using folium::testing::ProgramFolder;
using folium::testing::RunningProgram;

namespace {

struct Running : RunningProgram {
    explicit Running(const QString &paramSql = {})
    {
        if (!paramSql.isEmpty())
            ProgramFolder::exec(folder.file(QStringLiteral("abc.mdb")), paramSql);
        start(QStringLiteral("abc"), true);
    }
};

} // namespace

class TestCommands : public QObject {
    Q_OBJECT

private slots:
    // Regression: at start the toolbar and the menus disagreed (highlighting
    // checked in the menu only, results and bookmarks enabled on the toolbar
    // only), and on the empty window every button was enabled.
    void aCommandAndItsTwinAgree()
    {
        const auto twinsAgree = [](forms::MDIForm1 *frame) {
            for (int i = 0; i < forms::ButtonName::count; ++i) {
                const forms::ButtonName key = forms::ButtonName::at(i);
                QAction *button = frame->button(key);
                QAction *item = frame->twinOf(key);
                if (!item)
                    continue;
                QVERIFY2(button->isEnabled() == item->isEnabled(), qPrintable(key.toString()));
                if (button->isCheckable() && item->isCheckable())
                    QVERIFY2(button->isChecked() == item->isChecked(), qPrintable(key.toString()));
            }
        };
        {
            ProgramFolder folder;
            ScriptedDialogs dialogs; // the open dialog at start is cancelled
            Program p(folder.path(), dialogs);
            QVERIFY(p.Main(QString()));
            twinsAgree(p.mainFrame());
            QStringList enabled;
            for (int i = 0; i < forms::ButtonName::count; ++i)
                if (p.mainFrame()->button(forms::ButtonName::at(i))->isEnabled())
                    enabled << forms::ButtonName::at(i).toString();
            QCOMPARE(enabled, QStringList{"Apri"});
        }
        Running r;
        QVERIFY(r.p);
        forms::MDIForm1 *frame = r.p->mainFrame();
        twinsAgree(frame);
        QVERIFY(frame->button("Highlight")->isChecked());
        for (forms::ButtonName k : forms::ButtonList{"Risultatilist", "Risultatilistback", "Risultatilistnext",
                                                     "Bookmarklist", "Copia", "Bookmarkdel"})
            QVERIFY2(!frame->button(k)->isEnabled(), qPrintable(k.toString()));
        // Either side changed, the other follows.
        frame->button("Highlight")->trigger();
        QVERIFY(!frame->item("Evidenziatore")->isChecked());
        frame->item("Risultati_next")->setEnabled(true);
        QVERIFY(frame->button("Risultatilistnext")->isEnabled());
        frame->button("Stampa")->setEnabled(false);
        QVERIFY(!frame->item("Stampa")->isEnabled());
        twinsAgree(frame);
    }

    // Regression: a panel button stayed pressed when its panel did not
    // show, two buttons at a time.
    void aPanelButtonIsPressedOnlyWhileItsPanelShows()
    {
        Running r;
        QVERIFY(r.p);
        forms::MDIForm1 *frame = r.p->mainFrame();
        const auto pressed = [frame] {
            QStringList out;
            for (forms::Panel p : {forms::Panel::Search, forms::Panel::Results, forms::Panel::History,
                                   forms::Panel::Bookmarks, forms::Panel::Contents})
                if (frame->button(forms::panelButtonKey(p))->isChecked())
                    out << forms::panelButtonKey(p).toString();
            return out;
        };
        QCOMPARE(pressed(), QStringList{"Sommario"});
        frame->button("Cerca")->trigger();
        QCOMPARE(pressed(), QStringList{"Cerca"});
        frame->button("Cerca")->trigger(); // shown already: stays pressed
        QCOMPARE(pressed(), QStringList{"Cerca"});
        // A panel with nothing to show yet: its button does not stay pressed.
        frame->item("Cronologia")->setEnabled(true);
        QVERIFY(frame->button("Cronologialist")->isEnabled());
        frame->button("Cronologialist")->trigger();
        QCOMPARE(pressed(), QStringList{r.f()->isShown(forms::Panel::History) ? "Cronologialist" : "Cerca"});
        r.key(Qt::Key_F6);
        QCOMPARE(pressed(), QStringList{"Sommario"});
        // The shown panel's item is disabled, its button is not.
        QVERIFY(!frame->item("Sommario_scritti")->isEnabled());
        QVERIFY(frame->button("Sommario")->isEnabled());
    }

    void panelKeysAndCtrlF2()
    {
        Running r;
        QVERIFY(r.p);
        QVERIFY(r.f()->isShown(forms::Panel::Contents));
        r.key(Qt::Key_F2);
        QVERIFY(r.f()->isShown(forms::Panel::Search));
        QCOMPARE(r.focus(), r.f()->Combo_perparole);
        QVERIFY(r.p->mainFrame()->button("Cerca")->isChecked());
        QVERIFY(!r.p->mainFrame()->button("Sommario")->isChecked());
        r.key(Qt::Key_F6);
        QVERIFY(r.f()->isShown(forms::Panel::Contents));
        QCOMPARE(r.focus(), r.f()->TreeSommario);
        QVERIFY(!r.p->mainFrame()->item("Sommario_scritti")->isEnabled());
        QVERIFY(r.p->mainFrame()->item("Cerca")->isEnabled());

        // Ctrl+F2 is the 50 % zoom, not the search panel.
        r.key(Qt::Key_F2, Qt::ControlModifier);
        QCOMPARE(r.main()->FontZoom(), 50);
        QVERIFY(r.p->mainFrame()->item("Cinquanta")->isChecked());
        QVERIFY(!r.p->mainFrame()->item("Cento")->isChecked());
        QVERIFY(r.f()->isShown(forms::Panel::Contents));
        // Ctrl+F does open it.
        r.key(Qt::Key_F, Qt::ControlModifier);
        QVERIFY(r.f()->isShown(forms::Panel::Search));
    }

    void altF4DoesNotShowTheHistory()
    {
        Running r;
        QVERIFY(r.p);
        r.key(Qt::Key_F4, Qt::AltModifier);
        QVERIFY(r.f()->isShown(forms::Panel::Contents));
        QVERIFY(r.p->state.AltDown);
    }

    void f3WithoutResultsOnlyMovesTheFocus()
    {
        Running r;
        QVERIFY(r.p);
        r.main()->regionView(1)->setFocus();
        r.key(Qt::Key_F3);
        QCOMPARE(r.focus(), r.f()->TreeSommario);
        QVERIFY(r.f()->isShown(forms::Panel::Contents));
    }

    void runButtonInTheLetterFieldActsAsEnter()
    {
        Running r(QStringLiteral("UPDATE Param SET Param1 = 'S' WHERE Codice = 'DAT'"));
        QVERIFY(r.p);
        QVERIFY(r.p->title.LetterSearchEnabled);
        r.key(Qt::Key_F2);
        QComboBox *letter = r.f()->ComboPerLettera;
        QVERIFY(letter->isVisible());
        letter->setFocus();
        struct EnterSpy : QObject {
            int enters = 0;
            bool eventFilter(QObject *, QEvent *e) override
            {
                if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(e)->key() == Qt::Key_Return)
                    ++enters;
                return false;
            }
        } spy;
        QApplication::focusWidget()->installEventFilter(&spy);
        r.p->mainFrame()->button("Avvio")->trigger();
        QCOMPARE(spy.enters, 1);
        // Elsewhere the button does not send Enter anywhere.
        r.f()->Combo_perparole->setFocus();
        r.p->mainFrame()->button("Avvio")->trigger();
        QCOMPARE(spy.enters, 1);
    }

    void shiftArrowsScrollTheTopicFromTheSearchField()
    {
        Running r;
        QVERIFY(r.p);
        r.main()->JumpContext(QStringLiteral("Long"));
        r.p->mainFrame()->resize(900, 400);
        r.key(Qt::Key_F2);
        QWidget *field = r.focus();
        const long before = r.main()->TopicScroll();
        r.key(Qt::Key_PageDown, Qt::ShiftModifier);
        QVERIFY(r.main()->TopicScroll() > before);
        QCOMPARE(r.focus(), field);
    }

    void browseAndIndexCommands()
    {
        Running r;
        QVERIFY(r.p);
        forms::MDIForm1 *frame = r.p->mainFrame();
        QVERIFY(!frame->item("Back")->isEnabled());
        r.key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(r.main()->TopicData(), QStringLiteral("120351"));
        QVERIFY(frame->item("Back")->isEnabled());
        r.key(Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(r.main()->TopicData(), QStringLiteral("sommario"));
        frame->button("Browsenext")->trigger();
        QCOMPARE(r.main()->TopicData(), QStringLiteral("120351"));
        frame->button("Home")->trigger();
        QCOMPARE(r.main()->TopicData(), QStringLiteral("sommario"));
        // The fixture has no index topics: the jump fails quietly.
        r.key(Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(r.main()->TopicData(), QStringLiteral("sommario"));
        QCOMPARE(r.main()->lastError(), 29048);
    }

    void indexButtonDropsTheMenuOrShowsARandomTopic()
    {
        {
            Running r;
            QVERIFY(r.p);
            QMenu *shown = nullptr;
            QPoint at;
            r.p->commands()->popupMenu = [&](QMenu *m, const QPoint &pos) {
                shown = m;
                at = pos;
            };
            r.p->mainFrame()->button("Indici")->trigger();
            QCOMPARE(shown, r.p->mainFrame()->menu("IndiciMenu"));
            QWidget *button = r.p->mainFrame()->Toolbar()->widgetForAction(r.p->mainFrame()->button("Indici"));
            QCOMPARE(at, button->mapToGlobal(QPoint(0, button->height())));
            // The zoom button drops its menu the same way, pressed while it is open.
            bool pressed = false;
            r.p->commands()->popupMenu = [&](QMenu *m, const QPoint &) {
                shown = m;
                pressed = r.p->mainFrame()->button("Zoom")->isChecked();
            };
            r.p->mainFrame()->button("Zoom")->trigger();
            QCOMPARE(shown, r.p->mainFrame()->menu("Zoom"));
            QVERIFY(pressed);
            QVERIFY(!r.p->mainFrame()->button("Zoom")->isChecked());
            // Without random mode F10 does nothing.
            r.key(Qt::Key_F10);
            QCOMPARE(r.main()->TopicData(), QStringLiteral("sommario"));
        }
        {
            Running r(QStringLiteral("UPDATE Param SET Param1 = 'O' WHERE Codice = 'HAS'"));
            QVERIFY(r.p);
            QVERIFY(r.p->title.RandomTopicMode);
            QCOMPARE(r.p->mainFrame()->button("Indici")->toolTip(), r.p->mainFrame()->indexButtonRandomTip());
            r.p->commands()->popupMenu = [](QMenu *, const QPoint &) { QFAIL("no menu in random mode"); };
            // Random topics are leaves of the contents: the two letters.
            QSet<QString> seen;
            for (int i = 0; i < 60 && seen.size() < 2; ++i) {
                if (i % 2)
                    r.p->mainFrame()->button("Indici")->trigger();
                else
                    r.key(Qt::Key_F10);
                if (r.main()->TopicData() != u"sommario")
                    seen << r.main()->TopicData();
            }
            QCOMPARE(seen, (QSet<QString>{QStringLiteral("120351"), QStringLiteral("120351a")}));
        }
    }

    void noteKeysStepAndShowTheNote()
    {
        Running r;
        QVERIFY(r.p);
        r.main()->JumpContext(QStringLiteral("120351"));
        r.key(Qt::Key_F8);
        r.key(Qt::Key_F8);
        QCOMPARE(r.p->state.CurrentHotspot, 2);
        // The focus stays where the reader works: the contents.
        QCOMPARE(r.focus(), r.f()->TreeSommario);
        r.key(Qt::Key_F7);
        QCOMPARE(r.p->state.CurrentHotspot, 1);
        r.key(Qt::Key_F9);
        QCOMPARE(r.main()->TopicData(), QStringLiteral("120351.1"));
    }

    void escapeGivesTheFocusBack()
    {
        Running r;
        QVERIFY(r.p);
        r.main()->setFocus();
        r.key(Qt::Key_Escape);
        QCOMPARE(r.focus(), r.f()->TreeSommario);
        r.key(Qt::Key_F2);
        r.f()->Combo_sottoinsieme->setFocus();
        r.key(Qt::Key_Escape);
        QCOMPARE(r.focus(), r.f()->Combo_perparole);
        // Alt+C chooses the subsets in the search panel.
        r.key(Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(r.f()->Option_sottoinsieme->isChecked());
    }

    void helpFilesOpenAtTheirContexts_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("shift"); // the Shift key's name in the language
        QTest::newRow("fr") << QStringLiteral("Fran\u00e7ais") << QStringLiteral("Maj");
        QTest::newRow("en") << QStringLiteral("English") << QStringLiteral("Shift");
        QTest::newRow("it") << QStringLiteral("Italiano") << QStringLiteral("Maiusc");
    }
    void helpFilesOpenAtTheirContexts()
    {
        QFETCH(QString, language);
        QFETCH(QString, shift);
        ProgramFolder folder;
        for (const char *h : {"FLFR.hlp", "FLEN.hlp", "FLIT.hlp"})
            ProgramFolder::copy(QStringLiteral(FOLIUM_RUNTIME_DIR "/") + QString::fromLatin1(h),
                                folder.file(QString::fromLatin1(h)));
        folder.setOption(QStringLiteral("Language"), language);
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        engine::TopicView *help = p.helpWindow()->pane();
        p.mainFrame()->item("Raccourcis")->trigger();
        QVERIFY(p.helpWindow()->isVisible());
        QCOMPARE(help->ViewTitle(), p.HelpFilePath);
        const int shortcuts = help->TopicIndex();
        // The shortcuts topic names every key of the menus.
        const QString text = help->regionView(1)->toPlainText();
        for (const char *k :
             {"F2",     "F3",     "F4",     "F5",     "F6",     "F7",     "F8",       "F9",     "F10",    "F11",
              "F12",    "Ctrl+O", "Ctrl+P", "Ctrl+C", "Ctrl+S", "Ctrl+D", "Ctrl+K",   "Ctrl+H", "Ctrl+B", "Ctrl+N",
              "Ctrl+Q", "Ctrl+W", "Ctrl+X", "Ctrl+A", "Ctrl+E", "Ctrl+R", "Ctrl+F12", "Ctrl+L"})
            QVERIFY2(text.contains(QString::fromLatin1(k)), k);
        for (const char *k : {"+F1", "+F2", "+F3", "+F4", "+F5", "+F6"})
            QVERIFY2(text.contains(shift + QString::fromLatin1(k)), k);
        p.mainFrame()->item("Guida")->trigger();
        QVERIFY(help->TopicIndex() != shortcuts);
        QCOMPARE(help->TopicData(), QStringLiteral("sommario"));
        QVERIFY(dialogs.shown.empty());

        // Back is the page seen before (not the page before in the help's
        // order), forward the one left; both in the interface language.
        HelpWindow *w = p.helpWindow();
        QCOMPARE(w->backAction()->text(), p.strings.text(QStringLiteral("AIDE"), 2));
        QCOMPARE(w->contentsAction()->text(), p.strings.text(QStringLiteral("AIDE"), 1));
        QCOMPARE(w->toolbar()->accessibleName(), p.strings.text(QStringLiteral("AIDE"), 4));
        const int contents = help->TopicIndex();
        QVERIFY(w->backAction()->isEnabled());
        QVERIFY(!w->forwardAction()->isEnabled());
        w->backAction()->trigger();
        QCOMPARE(help->TopicIndex(), shortcuts);
        QVERIFY(w->forwardAction()->isEnabled());
        w->forwardAction()->trigger();
        QCOMPARE(help->TopicIndex(), contents);
        QCOMPARE(help->JumpContext(QStringLiteral("notes")), 0);
        const int notes = help->TopicIndex();
        w->backAction()->trigger();
        w->backAction()->trigger();
        QCOMPARE(help->TopicIndex(), shortcuts);
        w->contentsAction()->trigger(); // a new page: forward is forgotten
        QVERIFY(!w->forwardAction()->isEnabled());
        w->backAction()->trigger();
        QCOMPARE(help->TopicIndex(), shortcuts);
        QVERIFY(help->TopicIndex() != notes);

        // A window for a screen reader, closed with Esc or Ctrl+W.
        QAccessibleInterface *ai = QAccessible::queryAccessibleInterface(w);
        QCOMPARE(ai->role(), QAccessible::Window);
        QApplication::setActiveWindow(w);
        QTest::keyClick(help->regionView(1), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        p.mainFrame()->item("Guida")->trigger();
        QApplication::setActiveWindow(w);
        QTest::keyClick(help->regionView(1), Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!w->isVisible());
    }

    // Qt's own texts (dialog buttons, the calendar, the text fields' menus)
    // follow the interface language, also when it changes.
    void qtsOwnTextsInTheInterfaceLanguage()
    {
        ProgramFolder folder;
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        const auto cancel = [] {
            QDialogButtonBox box(QDialogButtonBox::Cancel);
            return box.button(QDialogButtonBox::Cancel)->text().remove(u'&');
        };
        QCOMPARE(cancel(), QStringLiteral("Annuler"));
        QCOMPARE(QLocale().dayName(1), QStringLiteral("lundi"));
        QCOMPARE(QCoreApplication::translate("QLineEdit", "&Copy").remove(u'&'), QStringLiteral("Copier"));
        for (const auto &[language, text, monday] :
             {std::tuple{"Italiano", "Annulla", "lunedì"}, std::tuple{"English", "Cancel", "Monday"},
              std::tuple{"Français", "Annuler", "lundi"}}) {
            p.options_dialog()->ComboLangue->setCurrentText(QString::fromUtf8(language));
            QVERIFY(p.InitLanguesVar());
            QCOMPARE(cancel(), QString::fromUtf8(text));
            QCOMPARE(QLocale().dayName(1), QString::fromUtf8(monday));
            // Regression: the calendar of the date search kept the system's
            // month and day names. The windows made before a change follow it.
            QDateEdit *date = p.reader()->DatePicker;
            QCOMPARE(date->locale().dayName(1), QString::fromUtf8(monday));
            QCOMPARE(date->calendarWidget()->locale().dayName(1), QString::fromUtf8(monday));
            QCOMPARE(p.options_dialog()->locale().dayName(1), QString::fromUtf8(monday));
        }
    }

    void rightClickShowsTheEditMenuWithItsHelpItems()
    {
        Running r;
        QVERIFY(r.p);
        forms::MDIForm1 *frame = r.p->mainFrame();
        QMenu *shown = nullptr;
        r.p->commands()->popupMenu = [&](QMenu *m, const QPoint &) { shown = m; };
        QWidget *text = r.main()->regionView(1)->viewport();
        QTest::mousePress(text, Qt::RightButton, {}, QPoint(20, 20));
        QCOMPARE(shown, frame->contextMenu());
        QVERIFY(shown->actions().contains(frame->item("GuidaRapida")));
        QVERIFY(shown->actions().contains(frame->item("Guida2")));
        QVERIFY(!shown->actions().contains(frame->item("Bookmarkdel")));
        QCOMPARE(r.p->state.ContextMenuSource.data(), r.main());

        // Regression: when our menu closed, Qt's own (Copy, Select All) opened
        // at the same place. One right click, one menu.
        bool otherShown = false;
        QTimer::singleShot(0, [&] {
            if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                otherShown = true;
                menu->close();
            }
        });
        shown = nullptr;
        QContextMenuEvent byMouse(QContextMenuEvent::Mouse, QPoint(20, 20), text->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(text, &byMouse);
        QTest::qWait(20);
        QVERIFY(!otherShown);
        QCOMPARE(shown, nullptr);
        // The menu key opens ours.
        QContextMenuEvent byKey(QContextMenuEvent::Keyboard, QPoint(20, 20), text->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(text, &byKey);
        QCOMPARE(shown, frame->contextMenu());

        shown = nullptr;
        QTreeView *tree = r.f()->TreeSommario;
        QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, tree->visualRect(tree->model()->index(0, 0)).center());
        QCOMPARE(shown, frame->contextMenu());
        QCOMPARE(r.p->state.ContextMenuSource.data(), tree);
    }

    void wheelScrollsThePaneUnderThePointerByTheScrollOption()
    {
        Running r;
        r.p->mainFrame()->resize(900, 500);
        QApplication::processEvents();
        r.main()->JumpContext(QStringLiteral("Long"));
        QScrollBar *bar = r.main()->regionView(1)->verticalScrollBar();
        QVERIFY(bar->maximum() > 20 * bar->singleStep());
        const int line = bar->singleStep();
        const auto turn = [](QWidget *over, int delta) {
            const QPointF at = QRectF(over->rect()).center();
            QWheelEvent e(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
            QApplication::sendEvent(over, &e);
        };
        QWidget *text = r.main()->regionView(1)->viewport();
        // "Scroll" 1: a line a notch; 10: ten lines.
        const auto scroll = [&](int lines) {
            config::OptionSet o = r.p->options.values();
            o.scroll = lines;
            r.p->options.set(o);
        };
        scroll(1);
        turn(text, -120);
        QCOMPARE(bar->value(), line);
        scroll(10);
        turn(text, -120);
        QCOMPARE(bar->value(), 11 * line);
        turn(text, 120);
        QCOMPARE(bar->value(), line);
        // Three small turns of 40 make one notch, on the third.
        scroll(1);
        turn(text, -40);
        turn(text, -40);
        QCOMPARE(bar->value(), line);
        turn(text, -40);
        QCOMPARE(bar->value(), 2 * line);
        // Over the contents tree the tree scrolls itself; with the search
        // panel shown, the wheel over the side pane scrolls the topic.
        QVERIFY(r.f()->isShown(forms::Panel::Contents));
        turn(r.f()->TreeSommario->viewport(), -120);
        QCOMPARE(bar->value(), 2 * line);
        search::Cerca_parola(r.p->windows(), r.p->state);
        turn(r.f()->Combo_perparole, -120);
        QCOMPARE(bar->value(), 3 * line);
        // Over the open notes pane the notes scroll, and Shift+Down then
        // scrolls them too.
        r.p->state.NotesAtBottom = true;
        r.p->hotspots()->OuvreFenetreNotes();
        QVERIFY(r.p->state.NotesPaneOpen);
        r.p->mainFrame()->resize(900, 800);
        QApplication::processEvents();
        engine::TopicView *notes = r.f()->Fl_sec;
        if (notes->ViewTitle().isEmpty())
            notes->setViewTitle(r.main()->ViewTitle());
        notes->JumpContext(QStringLiteral("Long"));
        QCOMPARE(notes->TopicData(), QStringLiteral("long"));
        QApplication::processEvents();
        QScrollBar *notesBar = notes->regionView(1)->verticalScrollBar();
        QVERIFY(notesBar->maximum() > 0);
        turn(notes->regionView(1)->viewport(), -120);
        QCOMPARE(notesBar->value(), notesBar->singleStep());
        QCOMPARE(bar->value(), 3 * line);
        r.p->commands()->SendShiftKeyToTopic(Qt::Key_Down);
        QCOMPARE(notesBar->value(), 2 * notesBar->singleStep());
        turn(text, -120);
        QCOMPARE(bar->value(), 4 * line);
    }

    void doubleClickInTheTreeTogglesANodeOnce()
    {
        Running r;
        QTreeView *tree = r.f()->TreeSommario;
        QVERIFY(r.f()->isShown(forms::Panel::Contents));
        const QModelIndex year = title::findNode(r.p->windows(), QStringLiteral("D1851"));
        QVERIFY(year.isValid());
        QVERIFY(!tree->isExpanded(year));
        // As the window system sends a double click: a click, then the
        // double click in place of the second press, then its release.
        const auto doubleClick = [&] {
            const QPoint at = tree->visualRect(year).center();
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, at);
        };
        doubleClick();
        QVERIFY(tree->isExpanded(year));
        doubleClick();
        QVERIFY(!tree->isExpanded(year));
    }

    void dividersStopShortOfTheEdgesAndTheNotesTakeAFifth()
    {
        Running r;
        r.p->mainFrame()->resize(900, 600);
        QApplication::processEvents();
        forms::Form1 *f = r.f();
        const auto drag = [](QSplitterHandle *h, QPoint by) {
            const QPointF from = QRectF(h->rect()).center(), to = from + by;
            QMouseEvent press(QEvent::MouseButtonPress, from, h->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(h, &press);
            QMouseEvent move(QEvent::MouseMove, to, h->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(h, &move);
            QMouseEvent release(QEvent::MouseButtonRelease, to, h->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                                Qt::NoModifier);
            QApplication::sendEvent(h, &release);
        };
        // Dropped 5 pixels from the left, the divider stops at 10; within 10
        // of the right, at 15 from it; it never shuts a pane.
        QSplitterHandle *side = f->Splitter1->handle(1);
        drag(side, QPoint(5 - f->Splitter1->sizes()[0], 0));
        QCOMPARE(f->Splitter1->sizes()[0], 10);
        const int whole = f->Splitter1->width();
        drag(side, QPoint(whole - 5 - 10, 0));
        QCOMPARE(f->Splitter1->sizes()[0], whole - 15);
        QVERIFY(f->Splitter1->sizes()[1] > 0);
        drag(side, QPoint(300 - (whole - 15), 0));
        QCOMPARE(f->Splitter1->sizes()[0], 300);

        // The notes pane takes a fifth of the height above 30 pixels, plus
        // 30: in a reader window 230 pixels high the divider is at
        // 230 - (40 + 30) = 160. A drag holds until the next resize.
        QCOMPARE(forms::Form1::notesDividerFor(230), 160);
        QCOMPARE(forms::Form1::notesDividerFor(20), 20);
        r.p->state.NotesAtBottom = true;
        r.p->hotspots()->OuvreFenetreNotes();
        QApplication::processEvents();
        const int high = f->height();
        QCOMPARE(f->Splitter2->sizes()[0], forms::Form1::notesDividerFor(high));
        drag(f->Splitter2->handle(1), QPoint(0, -60));
        QCOMPARE(f->Splitter2->sizes()[0], forms::Form1::notesDividerFor(high) - 60);
        forms::MDIForm1 *frame = r.p->mainFrame();
        frame->resize(900, frame->height() + 40);
        QApplication::processEvents();
        QCOMPARE(f->height(), high + 40);
        QCOMPARE(f->Splitter2->sizes()[0], forms::Form1::notesDividerFor(high + 40));
        // Dropped 5 pixels from the top, the divider stops at 10.
        drag(f->Splitter2->handle(1), QPoint(0, 5 - f->Splitter2->sizes()[0]));
        QCOMPARE(f->Splitter2->sizes()[0], 10);
    }

    void theSharedMenuOpensOnTheWindowsOtherParts()
    {
        Running r;
        forms::MDIForm1 *frame = r.p->mainFrame();
        QMenu *shown = nullptr;
        r.p->commands()->popupMenu = [&](QMenu *menu, const QPoint &) {
            shown = menu;
            QVERIFY(menu->actions().contains(frame->item("GuidaRapida"))); // "What's this?"
        };
        forms::Form1 *f = r.f();
        search::Cerca_parola(r.p->windows(), r.p->state);
        r.p->state.NotesAtBottom = true;
        r.p->hotspots()->OuvreFenetreNotes();
        QApplication::processEvents();
        const QList<QWidget *> parts{f->Titre_Splitgauche,
                                     f->Frame_cerca,
                                     f->Frame_perparole,
                                     f->NotesFrames,
                                     f->NotesTitre,
                                     f->NotesFermer,
                                     f->Text_notes,
                                     static_cast<QWidget *>(f->Splitter1->handle(1)),
                                     static_cast<QWidget *>(f->Splitter2->handle(1))};
        for (QWidget *part : parts) {
            shown = nullptr;
            QTest::mouseClick(part, Qt::RightButton, {}, QPoint(2, 2));
            QCOMPARE(shown, frame->contextMenu());
            QCOMPARE(r.p->state.ContextMenuSource.data(), part);
        }
        // A left click on them shows nothing; on the close button it still
        // closes the pane.
        shown = nullptr;
        QTest::mouseClick(f->Titre_Splitgauche, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(shown, nullptr);
        QTest::mouseClick(f->NotesFermer, Qt::LeftButton);
        QCOMPARE(shown, nullptr);
        QVERIFY(!r.p->state.NotesPaneOpen);
    }

    void copyTakesTheNotesSelectionAndZoomSparesAnEmptyNotesPane()
    {
        Running r;
        forms::MDIForm1 *frame = r.p->mainFrame();
        engine::TopicView *main = r.main(), *notes = r.f()->Fl_sec;
        // Nothing selected: the clipboard keeps what it had.
        QApplication::clipboard()->setText(QStringLiteral("before"));
        r.p->commands()->menuItem(QStringLiteral("Copia"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
        // Zoom 150 with no title in the notes pane changes the main pane only.
        QVERIFY(notes->ViewTitle().isEmpty());
        const int notesZoom = notes->FontZoom();
        frame->item("Centocinquanta")->trigger();
        QCOMPARE(main->FontZoom(), 150);
        QCOMPARE(notes->FontZoom(), notesZoom);
        QVERIFY(frame->item("Centocinquanta")->isChecked());
        QVERIFY(!frame->item("Cento")->isChecked());
        // Both panes selected: the note's text is the one left.
        main->JumpContext(QStringLiteral("120351"));
        main->regionView(1)->selectAll();
        r.p->state.NotesAtBottom = true;
        r.p->hotspots()->OuvreFenetreNotes();
        notes->setViewTitle(main->ViewTitle());
        notes->JumpContext(QStringLiteral("T120351.1"));
        notes->regionView(1)->selectAll();
        QVERIFY(main->HasSelection() && notes->HasSelection());
        r.p->commands()->menuItem(QStringLiteral("Copia"));
        QCOMPARE(QApplication::clipboard()->text().trimmed(),
                 notes->regionView(1)->textCursor().selectedText().trimmed());
        QVERIFY(QApplication::clipboard()->text() != main->regionView(1)->textCursor().selectedText());
        // With a title in the notes pane, the zoom reaches it too.
        frame->item("Duecento")->trigger();
        QCOMPARE(notes->FontZoom(), 200);
    }

    void everyActionChangesSomethingAReaderSees()
    {
        // Every enabled command of the menus, taken in turn from one state,
        // changes something on screen: the topic or its place, the zoom,
        // the panel, a window or dialog shown, a check mark, the status
        // line, the clipboard or the focus.
        Running r;
        forms::MDIForm1 *frame = r.p->mainFrame();
        engine::TopicView *main = r.main();
        int printDialogs = 0, aboutWindows = 0, menus = 0;
        main->setPrintDialog([&](QPrinter &) {
            ++printDialogs;
            return false;
        });
        r.p->aboutShown = [&](QDialog *) { ++aboutWindows; };
        r.p->commands()->popupMenu = [&](QMenu *, const QPoint &) { ++menus; };
        const auto seen = [&] {
            QStringList s;
            s << QString::number(main->TopicIndex()) << QString::number(main->TopicScroll())
              << QString::number(main->FontZoom()) << QString::number(int(r.f()->shownPanel()))
              << r.f()->Titre_Splitgauche->text() << frame->statusBar()->currentMessage()
              << QApplication::clipboard()->text() << QString::number(r.dialogs.shown.size())
              << QString::number(printDialogs) << QString::number(aboutWindows) << QString::number(menus)
              << QString::number(r.f()->Text_notes->isVisible()) << QString::number(main->isPopupOpen())
              << QString::number(main->HiliteSearchHits()) << QString::number(main->SearchHitCount())
              << QString::number(r.f()->Fl_sec->TopicIndex()) << QString::number(main->regionView(0)->focusIndex())
              << QString::number(main->regionView(1)->focusIndex())
              << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->isVisible())
                    s << w->objectName();
            for (QAction *a : frame->findChildren<QAction *>())
                if (a->isCheckable() && a->isChecked())
                    s << a->objectName();
            return s;
        };
        // A state from which most commands can act: a letter shown after
        // another, a search run, the results listed.
        main->JumpContext(QStringLiteral("sommario"));
        main->JumpContext(QStringLiteral("120351"));
        r.f()->Combo_perparole->setEditText(QStringLiteral("Luigi"));
        r.p->searchPanel()->Avvio();
        QApplication::processEvents();
        QStringList names;
        for (QAction *menu : frame->menuBar()->actions())
            if (menu->menu())
                for (QAction *a : menu->menu()->actions())
                    if (!a->isSeparator() && !a->objectName().isEmpty() && !a->menu())
                        names << a->objectName();
        QVERIFY(names.size() > 30);
        QStringList silent;
        int tried = 0;
        for (const QString &name : std::as_const(names)) {
            // Each command starts from the letter, whose note calls the
            // note commands step through.
            if (main->TopicData() != u"120351")
                main->JumpContext(QStringLiteral("120351"));
            QApplication::processEvents();
            const auto itemName = forms::ItemName::find(name);
            QAction *a = itemName ? frame->item(*itemName) : nullptr;
            if (!a || !a->isEnabled() || !a->isVisible() || name == u"Esci")
                continue;
            // The last-used entry of the title already open reopens nothing.
            if (name.startsWith(u"TexteOuvert_") && a->text().endsWith(main->ViewTitle()))
                continue;
            const QStringList before = seen();
            a->trigger();
            QApplication::processEvents();
            ++tried;
            if (seen() == before)
                silent << name;
            // Back to where the walk started, closing what opened.
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w != frame && w->isVisible() && w->isWindow())
                    w->close();
            main->PopupTopic(-1);
        }
        QVERIFY2(silent.isEmpty(), qPrintable(QStringLiteral("no visible change: ") + silent.join(u", ")));
        QVERIFY2(tried >= 20, qPrintable(QString::number(tried)));
        // Exit, last: the window goes (the bookmarks added on the way are
        // not kept).
        r.dialogs.answers.push_back(config::Answer::No);
        frame->item("Esci")->trigger();
        QApplication::processEvents();
        QVERIFY(!frame->isVisible());
    }

    void aPageKeyInTheTextKeepsTheFocusThereThroughTheNoteButtons()
    {
        Running r;
        r.main()->JumpContext(QStringLiteral("Long"));
        QWidget *text = r.main()->regionView(1);
        text->setFocus();
        QApplication::processEvents();
        QVERIFY(r.p->state.MainPaneHasFocus);
        QTest::keyClick(text, Qt::Key_PageDown);
        r.p->mainFrame()->button("Hotspotnext")->trigger();
        QApplication::processEvents();
        QCOMPARE(QApplication::focusWidget(), text);
        // Another key first, and the button gives the focus back to the panel.
        QTest::keyClick(text, Qt::Key_Down);
        r.p->mainFrame()->button("Hotspotnext")->trigger();
        QApplication::processEvents();
        QVERIFY(QApplication::focusWidget() != text);
    }

    void theFifthNoteCallIsTheSecondOfTheTextAndComesIntoView()
    {
        // Three calls in the heading, four in the text; the second call of
        // the text stands well below the first page.
        Running r;
        engine::TopicView *main = r.main();
        main->JumpContext(QStringLiteral("Sette"));
        QApplication::processEvents();
        QCOMPARE(r.p->state.NsrHotspotCount, 3);
        QCOMPARE(r.p->state.HotspotCount, 7);
        auto *text = main->regionView(1);
        QCOMPARE(text->verticalScrollBar()->value(), 0);
        QWidget *panel = r.focus();
        for (int i = 0; i < 5; ++i)
            r.key(Qt::Key_F8);
        QCOMPARE(r.p->state.CurrentHotspot, 5);
        engine::TVHotspotInfo info;
        engine::TVError err;
        QVERIFY(engine::fTVFocusInfo(main->lpTVSR(), &info, &err));
        QCOMPARE(info.field[1], 5L); // the call's number in the topic
        QVERIFY(text->verticalScrollBar()->value() > 0);
        const QRect call(int(info.field[2]), int(info.field[3]), int(info.field[4]), int(info.field[5]));
        QVERIFY2(text->viewport()->rect().contains(call), qPrintable(QStringLiteral("%1,%2 %3x%4 outside %5")
                                                                         .arg(call.x())
                                                                         .arg(call.y())
                                                                         .arg(call.width())
                                                                         .arg(call.height())
                                                                         .arg(text->viewport()->height())));
        // The keys leave the focus where the reader works, and the topic
        // shown is still the letter.
        QCOMPARE(r.focus(), panel);
        QCOMPARE(main->TopicData(), QStringLiteral("sette"));
    }

    void ctrlPPrintsTheLetterThroughTheDialogWithTheOptionsMargins()
    {
        // Qt's own print dialog, printing to a PDF file, as a reader without
        // a printer would; the margins come from the options (centimetres).
        RunningProgram r;
        r.folder.setOption(QStringLiteral("MarginSinistra"), QStringLiteral("02.54"));
        r.folder.setOption(QStringLiteral("MarginSopra"), QStringLiteral("05.08"));
        r.start(QStringLiteral("abc"), true);
        QVERIFY(r.p);
        r.main()->JumpContext(QStringLiteral("120351"));
        QWidget *panel = r.focus();
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("letter.pdf"));
        bool seen = false;
        // Answers the dialog once it is up (the window may still be
        // activating when the command runs).
        std::function<void(bool)> answer = [&](bool print) {
            QTimer::singleShot(20, [&, print] {
                auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
                if (!dialog) {
                    answer(print);
                    return;
                }
                seen = true;
                if (!print) {
                    dialog->reject();
                    return;
                }
                auto *printers = dialog->findChild<QComboBox *>(QStringLiteral("printers"));
                if (printers)
                    printers->setCurrentIndex(printers->count() - 1); // "Print to File (PDF)"
                dialog->findChild<QLineEdit *>(QStringLiteral("filename"))->setText(pdf);
                dialog->accept();
            });
        };
        // Cancelled: nothing is printed, and no message follows.
        answer(false);
        r.key(Qt::Key_P, Qt::ControlModifier);
        QVERIFY(seen);
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(r.dialogs.shown.empty());
        // Printed, from the text: the focus goes back to the panel after.
        seen = false;
        answer(true);
        r.p->mainFrame()->activateWindow(); // as the desktop does when a dialog goes
        QVERIFY(QTest::qWaitForWindowActive(r.p->mainFrame()));
        r.main()->regionView(1)->setFocus();
        QVERIFY(r.focus() != panel);
        r.key(Qt::Key_P, Qt::ControlModifier);
        QVERIFY(seen);
        const auto words = folium::testing::pdfWords(pdf);
        QVERIFY2(folium::testing::pdfHasWord(words, QStringLiteral("Luigi,")), qPrintable(pdf));
        const QPointF origin = folium::testing::pdfTextOrigin(words);
        QVERIFY2(std::abs(origin.x() - 72.0) < 4, qPrintable(QString::number(origin.x())));
        QVERIFY2(origin.y() >= 144.0 && origin.y() < 144.0 + 12, qPrintable(QString::number(origin.y())));
        // The window's focus: the test desktop does not reactivate the
        // window once the dialog is gone.
        QCOMPARE(r.p->mainFrame()->focusWidget(), panel);
    }

    void whatsThisOpensTheHelpPageOfTheRightClickedPart()
    {
        ProgramFolder folder;
        ProgramFolder::copy(QStringLiteral(FOLIUM_RUNTIME_DIR "/FLFR.hlp"), folder.file(QStringLiteral("FLFR.hlp")));
        ScriptedDialogs dialogs;
        Program p(folder.path(), dialogs);
        QVERIFY(p.Main(QStringLiteral("abc")));
        forms::MDIForm1 *frame = p.mainFrame();
        // "What's this?" is chosen in the context menu of the notes pane.
        p.commands()->popupMenu = [frame](QMenu *, const QPoint &) { frame->item("GuidaRapida")->trigger(); };
        p.commands()->AfficheContextMenu(p.reader()->Fl_sec->regionView(1));
        engine::TopicView *help = p.helpWindow()->pane();
        QVERIFY(p.helpWindow()->isVisible());
        const int notesPage = help->TopicIndex();
        QCOMPARE(help->JumpContext(QStringLiteral("notes")), 0);
        QCOMPARE(help->TopicIndex(), notesPage); // the page shown was the notes page
        p.commands()->AfficheContextMenu(p.reader()->List_risultati);
        QVERIFY(help->TopicIndex() != notesPage);
        QCOMPARE(Commands::helpContextOf(p.reader()->List_risultati), QStringLiteral("results"));
        QCOMPARE(Commands::helpContextOf(p.reader()->Combo_perparole), QStringLiteral("search"));
        QCOMPARE(Commands::helpContextOf(p.reader()->Titre_Splitgauche), QStringLiteral("25"));
        QVERIFY(dialogs.shown.empty());
    }

    void missingHelpFileIsReported()
    {
        Running r;
        QVERIFY(r.p);
        r.p->mainFrame()->item("Guida")->trigger();
        QCOMPARE(r.dialogs.shown.size(), size_t(1));
        QCOMPARE(r.dialogs.shown[0].text, r.p->HelpFilePath);
        QVERIFY(!r.p->helpWindow()->isVisible());
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
