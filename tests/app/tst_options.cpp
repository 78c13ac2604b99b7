// The options dialog through the real windows: validation in order, what
// OK stores and applies at once, Cancel, Restore, Current, the language of
// every window, the notes pane, a row that cannot be written; and the about
// window.
#include "about_window.h"
#include "dao.h"
#include "dialogs.h"
#include "faulty_vfs.h"
#include "form1.h"
#include "form2.h"
#include "hotspots.h"
#include "mdiform1.h"
#include "program.h"
#include "program_folder.h"
#include "running_program.h"
#include "topicview.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace folium;
using namespace folium::app;
using namespace folium::config;
using folium::testing::ProgramFolder;
using folium::testing::RunningProgram;

namespace {

struct Running : RunningProgram {
    Running() { start(); }
    Form2 *d() const { return p->options_dialog(); }
    void open() { p->mainFrame()->item("Opzioni")->trigger(); }
};

} // namespace

class TestOptions : public QObject {
    Q_OBJECT

private slots:
    void cancelChangesNothing()
    {
        Running r;
        QVERIFY(r.p);
        r.open();
        QVERIFY(r.d()->isVisible());
        QVERIFY(r.p->mainFrame()->button("Opzioni")->isChecked());
        r.d()->TextNear->setText(QStringLiteral("20"));
        r.d()->MarginSinistra->setText(QStringLiteral("5"));
        QTest::keyClick(r.d(), Qt::Key_Escape);
        QVERIFY(!r.d()->isVisible());
        QVERIFY(!r.p->mainFrame()->button("Opzioni")->isChecked());
        QCOMPARE(r.folder.option(QStringLiteral("Near")).toInt(), 8);
        QCOMPARE(r.folder.option(QStringLiteral("MarginSinistra")).toString(), QStringLiteral("02.00"));
        QCOMPARE(r.d()->TextNear->text(), QStringLiteral("8")); // the controls went back
    }

    void validationInOrder()
    {
        Running r;
        QVERIFY(r.p);
        r.open();
        for (const char *bad : {"0", "40000"}) {
            r.dialogs.shown.clear();
            r.d()->TextNear->setText(QString::fromLatin1(bad));
            r.d()->MarginDestra->setText(QStringLiteral("31")); // wrong too: only NEAR is said
            r.d()->CommandOk_Click();
            QCOMPARE(r.dialogs.shown.size(), size_t(1));
            QCOMPARE(r.dialogs.shown[0].text, r.text("BMSG", 6));
            QCOMPARE(r.dialogs.shown[0].title, r.text("BMSG", 8));
            QVERIFY(r.d()->isVisible());
        }
        // "12abc" reads 12; a margin of 30.5 is refused with the focus on it.
        r.d()->TextNear->setText(QStringLiteral("12abc"));
        r.d()->MarginDestra->setText(QStringLiteral("30.5"));
        r.dialogs.shown.clear();
        r.d()->CommandOk_Click();
        QCOMPARE(r.dialogs.shown.size(), size_t(1));
        QCOMPARE(r.dialogs.shown[0].text, r.text("BMSG", 7));
        QCOMPARE(r.dialogs.shown[0].title, r.text("BMSG", 9));
        QCOMPARE(r.d()->focusWidget(), static_cast<QWidget *>(r.d()->MarginDestra)); // its tab shown
        QCOMPARE(r.folder.option(QStringLiteral("Near")).toInt(), 8);                // nothing stored
        // 30 is fine, stored "30.00"; NEAR 12 applied to the engine and the panel.
        r.d()->MarginDestra->setText(QStringLiteral("30"));
        r.d()->CommandOk_Click();
        QVERIFY(!r.d()->isVisible());
        QCOMPARE(r.folder.option(QStringLiteral("MarginDestra")).toString(), QStringLiteral("30.00"));
        QCOMPARE(r.folder.option(QStringLiteral("Near")).toInt(), 12);
        QCOMPARE(r.p->reader()->Fl_main->SearchNearThreshold(), 12);
        QCOMPARE(r.p->reader()->TextNear->text(), QStringLiteral("12"));
        QCOMPARE(r.p->reader()->Fl_main->RightMargin(), 30.0 / 2.54);
        // Letters typed are not taken.
        r.open();
        r.d()->TextNear->clear();
        QTest::keyClicks(r.d()->TextNear, QStringLiteral("4x2"));
        QCOMPARE(r.d()->TextNear->text(), QStringLiteral("42"));
        QTest::keyClick(r.d()->CommandSfoglia, Qt::Key_Return); // Enter on Browse runs OK
        QVERIFY(!r.d()->isVisible());
        QCOMPARE(r.folder.option(QStringLiteral("Near")).toInt(), 42);
    }

    void theLanguageChangesEverywhereAtOnce()
    {
        Running r;
        QVERIFY(r.p);
        r.open();
        r.d()->ComboLangue->setCurrentText(QStringLiteral("English"));
        r.d()->CommandOk_Click();
        QCOMPARE(r.folder.option(QStringLiteral("Language")).toString(), QStringLiteral("English"));
        QCOMPARE(r.p->mainFrame()->menu("Visualizza")->title(), r.text("MENU", 18));
        QCOMPARE(r.p->mainFrame()->button("Cerca")->toolTip(), QStringLiteral("Search (F2)"));
        QCOMPARE(r.p->reader()->Option_tutto->text(), QStringLiteral("En&tire edition"));
        QCOMPARE(r.d()->CommandAnnulla->text(), r.text("BUTT", 1));
        QCOMPARE(r.p->HelpFilePath, r.folder.file(QStringLiteral("FLEN.hlp")));
        // The next start is in English too.
        r.p.reset();
        Program again(r.folder.path(), r.dialogs);
        QVERIFY(again.Main(QStringLiteral("abc")));
        QCOMPARE(again.mainFrame()->button("Cerca")->toolTip(), QStringLiteral("Search (F2)"));
    }

    void zoomAtOnceOrAtTheNextStart()
    {
        Running r;
        QVERIFY(r.p);
        r.open();
        r.d()->CheckAggiorna->setChecked(false);
        r.d()->ComboZoom->setCurrentText(QStringLiteral("150"));
        r.d()->CommandOk_Click();
        QCOMPARE(r.folder.option(QStringLiteral("Zoom")).toInt(), 150);
        QCOMPARE(r.p->reader()->Fl_main->FontZoom(), 100);
        r.open();
        r.d()->CheckAggiorna->setChecked(true);
        r.d()->CommandOk_Click();
        QCOMPARE(r.p->reader()->Fl_main->FontZoom(), 150);
        QVERIFY(r.p->mainFrame()->item("Centocinquanta")->isChecked());
        // The next title's set-up keeps the options just stored.
        r.p->title.TitlePath = r.folder.file(QStringLiteral("abc.m14"));
        r.p->InitialiseNouveauTexte();
        QCOMPARE(r.p->reader()->Fl_main->FontZoom(), 150);
    }

    void restoreAndCurrent()
    {
        Running r;
        QVERIFY(r.p);
        r.open();
        r.d()->TextNear->setText(QStringLiteral("99"));
        r.d()->CommandRipristina_Click();
        QVERIFY(r.d()->isVisible());
        QCOMPARE(r.d()->TextNear->text(), QStringLiteral("8"));
        r.d()->CommandCurrent_Click();
        QCOMPARE(r.d()->ComboTexte->currentText(), r.folder.file(QStringLiteral("abc.m14")));
        r.d()->CommandOk_Click();
        QCOMPARE(r.folder.option(QStringLiteral("TextesD\u00e9faut")).toString(),
                 r.folder.file(QStringLiteral("abc.m14")));
        // Restarted with no argument: that title opens.
        r.p.reset();
        ScriptedDialogs dialogs;
        Program again(r.folder.path(), dialogs);
        QVERIFY(again.Main(QString()));
        QCOMPARE(again.reader()->Fl_main->ViewTitle(), r.folder.file(QStringLiteral("abc.m14")));
    }

    void notesTurnedOffCloseTheNotesPane()
    {
        Running r;
        QVERIFY(r.p);
        r.open();
        r.d()->CheckNotes->setChecked(true);
        r.d()->CommandOk_Click();
        QVERIFY(r.p->state.NotesAtBottom);
        r.p->hotspots()->OuvreFenetreNotes();
        QVERIFY(r.p->state.NotesPaneOpen);
        r.open();
        r.d()->CheckNotes->setChecked(false);
        r.d()->CommandOk_Click();
        QVERIFY(!r.p->state.NotesPaneOpen);
        QVERIFY(!r.p->state.NotesAtBottom);
    }

    // Regression: OK closed a notes pane opened from the View menu although
    // the notes option had never been ticked. Only a change of the option
    // may close it.
    void okLeavesANotesPaneTheOptionDidNotOpen()
    {
        Running r;
        QVERIFY(r.p);
        QVERIFY(!r.folder.option(QStringLiteral("OptNotes")).toBool());
        r.p->mainFrame()->item("NoteBasPage")->trigger();
        QVERIFY(r.p->state.NotesPaneOpen);
        r.open();
        r.d()->TextNear->setText(QStringLiteral("12"));
        r.d()->CommandOk_Click();
        QVERIFY(r.p->state.NotesPaneOpen);
        QVERIFY(!r.p->reader()->Text_notes->isHidden());
        QVERIFY(r.p->mainFrame()->item("NoteBasPage")->isChecked());
        QCOMPARE(r.p->reader()->Fl_main->SearchNearThreshold(), 12);
    }

    void aRowThatCannotBeWrittenIsSaid()
    {
        db::testing::installFaultyVfs(); // before FL.mdb is opened
        Running r;
        QVERIFY(r.p);
        r.open();
        r.d()->TextNear->setText(QStringLiteral("25"));
        db::testing::failWritesAfter(0);
        r.dialogs.shown.clear();
        r.d()->CommandOk_Click();
        db::testing::failWritesAfter(-1);
        QCOMPARE(r.dialogs.shown.size(), size_t(1));
        QCOMPARE(r.dialogs.shown[0].text, r.p->strings.text(QStringLiteral("BMSG"), 38)); // in the reader's language
        QVERIFY(r.d()->isVisible());
        QCOMPARE(r.folder.option(QStringLiteral("Near")).toInt(), 8);
        QCOMPARE(r.p->reader()->Fl_main->SearchNearThreshold(), 8); // nothing applied
    }

    void theAboutWindow()
    {
        Running r;
        QVERIFY(r.p);
        QString caption, version;
        r.p->aboutShown = [&](QDialog *about) {
            caption = about->windowTitle();
            version = static_cast<Form4 *>(about)->Text2->text();
        };
        r.p->mainFrame()->item("InformazioniSu")->trigger();
        QCOMPARE(caption, r.text("MENU", 31).remove(u'&'));
        QCOMPARE(version, r.text("VERS", 1));
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
