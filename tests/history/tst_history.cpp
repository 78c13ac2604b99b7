// The history through the real windows: its panel, back and forward to the
// place each topic was left at, rows chosen with the mouse or with Enter,
// and note rows going back to their letter.
#include "dialogs.h"
#include "form1.h"
#include "history.h"
#include "mdiform1.h"
#include "program.h"
#include "program_folder.h"
#include "running_program.h"
#include "region_view.h"
#include "topicview.h"

#include <QAction>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

using namespace folium;
using namespace folium::app;
using namespace folium::config;
using folium::testing::ProgramFolder;
using folium::testing::RunningProgram;

namespace {

struct Running : RunningProgram {
    Running()
    {
        start();
        if (!p)
            return;
        p->mainFrame()->resize(1000, 700);
        p->mainFrame()->activateWindow();
        (void)QTest::qWaitForWindowActive(p->mainFrame());
    }
    QTreeView *list() const { return p->reader()->List_cronologia; }
    QStringList rows() const
    {
        QStringList out;
        for (int i = 0; i < list()->model()->rowCount(); ++i)
            out << list()->model()->index(i, 0).data().toString();
        return out;
    }
};

} // namespace

class TestHistory : public QObject {
    Q_OBJECT

private slots:
    void backAndForwardKeepThePlaceAndAddNoRows()
    {
        Running r;
        QVERIFY(r.p);
        r.main()->JumpContext(QStringLiteral("120351"));
        r.main()->JumpContext(QStringLiteral("Deep")); // the long chapter, scrolled
        const long deepScroll = r.main()->TopicScroll();
        QVERIFY(deepScroll > 0);
        r.main()->JumpContext(QStringLiteral("120351a"));
        r.key(Qt::Key_F4);
        QVERIFY(r.p->reader()->isShown(forms::Panel::History));
        QCOMPARE(r.p->reader()->Titre_Splitgauche->text(), r.p->strings.text(QStringLiteral("MENU"), 21).remove(u'&'));
        const QStringList visited{"12 marzo 1851, a Maria", "Long chapter", "12 marzo 1851, a Luigi",
                                  "Home \u2013 Fixture"};
        QCOMPARE(r.rows(), visited);

        // Back: the chapter, at the place it was left; back again, the letter.
        r.p->mainFrame()->item("CronoBack")->trigger();
        QCOMPARE(r.main()->TopicData(), QStringLiteral("long"));
        QCOMPARE(r.main()->TopicScroll(), deepScroll);
        r.key(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(r.main()->TopicData(), QStringLiteral("120351"));
        QCOMPARE(r.p->state.CurrentHistoryRow, 3);
        // Forward: the chapter again, where it was.
        r.key(Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(r.main()->TopicData(), QStringLiteral("long"));
        QCOMPARE(r.main()->TopicScroll(), deepScroll);
        QCOMPARE(r.rows(), visited); // no row added by either
        // Back on the oldest row and forward on the newest do nothing.
        for (int i = 0; i < 5; ++i)
            r.p->history()->BackCrono();
        QCOMPARE(r.main()->TopicData(), QStringLiteral("sommario"));
        QVERIFY(!r.p->mainFrame()->button("BackCrono")->isEnabled());
        for (int i = 0; i < 5; ++i)
            r.p->history()->NextCrono();
        QCOMPARE(r.main()->TopicData(), QStringLiteral("120351a"));
        QCOMPARE(r.rows(), visited);
    }

    void aRowChosenByClickOrByEnter()
    {
        Running r;
        QVERIFY(r.p);
        r.main()->JumpContext(QStringLiteral("Deep"));
        const long deepScroll = r.main()->TopicScroll();
        r.main()->JumpContext(QStringLiteral("120351"));
        r.p->history()->Cronologia_list();
        QCOMPARE(r.rows().size(), 3);
        // A click on an older row: the topic at its top, and a new row.
        r.list()->setCurrentIndex(r.list()->model()->index(1, 0));
        r.p->history()->List_cronologia_Click();
        QCOMPARE(r.main()->TopicData(), QStringLiteral("long"));
        QCOMPARE(r.main()->TopicScroll(), 0L);
        QCOMPARE(r.rows().size(), 4);
        // Enter on an older row: its place, and no new row.
        r.main()->JumpContext(QStringLiteral("120351"));
        const int rows = r.rows().size();
        r.list()->setFocus();
        r.list()->setCurrentIndex(r.list()->model()->index(3, 0)); // the chapter left at its anchor
        QTest::keyClick(r.list(), Qt::Key_Return);
        QCOMPARE(r.main()->TopicData(), QStringLiteral("long"));
        QCOMPARE(r.main()->TopicScroll(), deepScroll);
        QCOMPARE(r.rows().size(), rows);
    }

    void withOneRowBackAndForwardDoNothing()
    {
        Running r;
        QVERIFY(r.p);
        QCOMPARE(r.rows().size(), 1);
        r.p->history()->BackCrono();
        r.p->history()->NextCrono();
        QCOMPARE(r.main()->TopicData(), QStringLiteral("sommario"));
        QCOMPARE(r.p->state.CurrentHistoryRow, 1);
    }

    void backOntoANoteShowsItsLetterAndTheNote()
    {
        Running r;
        QVERIFY(r.p);
        r.main()->JumpContext(QStringLiteral("T120351.2")); // a note shown in the main pane
        QVERIFY(r.rows().first().startsWith(QStringLiteral("Nota")));
        r.main()->JumpContext(QStringLiteral("Long"));
        // With notes at the bottom: the letter at its call, the note below.
        r.p->state.NotesAtBottom = true;
        r.p->history()->BackCrono();
        QCOMPARE(r.main()->TopicData(), QStringLiteral("120351"));
        QCOMPARE(r.p->reader()->Fl_sec->TopicData(), QStringLiteral("120351.2"));
    }

    // Regression: going back onto a note shown in the main pane left the
    // "going back" mark set, because the note reopened is the topic already
    // shown; the next topic reached then counted as a step back, and the
    // history's place pointed at the wrong row.
    void aTopicReachedAfterGoingBackOntoANoteIsTheNewestPlace()
    {
        for (const bool addAlways : {false, true}) {
            Running r;
            QVERIFY(r.p);
            r.p->state.AlwaysAddToHistory = addAlways;
            r.main()->JumpContext(QStringLiteral("T120351.2"));
            r.main()->JumpContext(QStringLiteral("Long"));
            r.p->history()->BackCrono();
            QCOMPARE(r.main()->TopicData(), QStringLiteral("120351.2"));
            QVERIFY(!r.p->state.HistoryGoingBack);
            r.main()->JumpContext(QStringLiteral("120351a"));
            QCOMPARE(r.rows().first(), QStringLiteral("12 marzo 1851, a Maria"));
            QCOMPARE(r.p->state.CurrentHistoryRow, 1);
            QCOMPARE(r.list()->currentIndex().row(), 0);
            QVERIFY(!r.p->mainFrame()->item("CronoNext")->isEnabled());
            // Back from there goes to the second row: the note just left
            // when every visit adds a row, else the chapter (going back
            // added none).
            r.p->history()->BackCrono();
            QCOMPARE(r.main()->TopicData(), addAlways ? QStringLiteral("120351.2") : QStringLiteral("long"));
            QCOMPARE(r.p->state.CurrentHistoryRow, addAlways ? 1 : 2); // a visit added is the newest row
        }
    }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
