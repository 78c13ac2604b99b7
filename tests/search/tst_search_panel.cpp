// The search panel through the real windows, on the sample editions: the
// query box, the domains, the results list and its stepping, the marks of
// the hits, the jumps by date and by letter; and the results model's kinds,
// sort keys and context column.
#include "dialogs.h"
#include "status_line.h"
#include "colors.h"
#include "form1.h"
#include "form3.h"
#include "mdiform1.h"
#include "program.h"
#include "program_folder.h"
#include "running_program.h"
#include "region_view.h"
#include "results_model.h"
#include "search.h"
#include "search_panel.h"
#include "topic_display.h"
#include "topicview.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QTextCursor>
#include <QTreeView>
#include <QTreeView>

using namespace folium;
using namespace folium::app;
using namespace folium::config;
using folium::testing::ProgramFolder;
using folium::testing::RunningProgram;

namespace {

struct Running : RunningProgram {
    explicit Running(const QString &edition = QStringLiteral("Lettere")) : RunningProgram(QStringList())
    {
        for (const char *ext : {".m14", ".mdb"})
            ProgramFolder::copy(QStringLiteral(FOLIUM_RUNTIME_DIR "/") + edition + QString::fromLatin1(ext),
                                folder.file(edition + QString::fromLatin1(ext)));
        start(edition, true);
    }
    search::SearchPanel *panel() const { return p->searchPanel(); }
    // F2, the words typed in the query box, Enter.
    void search(const QString &words)
    {
        key(Qt::Key_F2);
        f()->Combo_perparole->setFocus();
        f()->Combo_perparole->lineEdit()->clear();
        QTest::keyClicks(f()->Combo_perparole->lineEdit(), words);
        QTest::keyClick(f()->Combo_perparole, Qt::Key_Return);
    }
    int rows() const { return f()->List_risultati->model()->rowCount(); }
    QString rowText(int row) const { return f()->List_risultati->model()->index(row, 0).data().toString(); }
    int currentRow() const { return f()->List_risultati->currentIndex().row(); }
};

// Every topic of the title that holds a word, as the engine alone finds them.
QList<int> engineHits(engine::TopicView *pane, const QString &query)
{
    engine::TopicView probe;
    probe.setViewTitle(pane->ViewTitle());
    probe.RunSearch(query);
    QList<int> out;
    for (int i = 0; i < probe.SearchHitCount(); ++i)
        out << probe.TopicListIndex(i);
    return out;
}

} // namespace

class TestSearchPanel : public QObject {
    Q_OBJECT

private slots:
    void entryKindsAndSortKeys_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("key");
        QTest::newRow("ordinary") << "Preface" << 7 << "Preface" << 1 << "A   7";
        QTest::newRow("ordinary, five digits") << "Preface" << 12345 << "Preface" << 1 << "A12345";
        QTest::newRow("note") << "Note 3" << 7 << "Note 3" << 7 << "A   7N";
        QTest::newRow("nota") << "Nota 2 \u2013 8 gennaio" << 150 << "Nota 2 \u2013 8 gennaio" << 7 << "A 150N";
        QTest::newRow("letter") << "/8 gennaio 1851" << 42 << "8 gennaio 1851" << 8 << "C000000000042";
        QTest::newRow("Nota n.") << "Nota n. 4" << 9 << "Nota n. 4" << 7 << "C000000000009";
        QTest::newRow("chapter") << "*Prefazione" << 3 << "Prefazione" << 2 << "DPrefazione";
        QTest::newRow("home") << "Home \u2013 Lettere" << 0 << "Home \u2013 Lettere" << 3 << "BHome \u2013 Lettere";
        QTest::newRow("index") << "&Indice dei nomi" << 5 << "Indice dei nomi" << 10 << "BIndice dei nomi";
    }

    void entryKindsAndSortKeys()
    {
        QFETCH(QString, title);
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(int, icon);
        QFETCH(QString, key);
        const search::ResultEntry e = search::resultEntry(title, index);
        QCOMPARE(e.text, text);
        QCOMPARE(e.icon, icon);
        QCOMPARE(e.sortKey, key);
    }

    // The context column is read for the rows a view asks for, once each.
    void theContextIsReadForTheRowsShownOnly()
    {
        search::ResultsModel model;
        std::vector<int> topics, asked;
        for (int i = 0; i < 400000; ++i)
            topics.push_back(i);
        int titlesRead = 0;
        const auto title = [&titlesRead](int) {
            ++titlesRead;
            return QStringLiteral("/letter");
        };
        model.setHits(topics, title, [&asked](int topic) {
            asked.push_back(topic);
            return engine::HitContext{QStringLiteral("before "), QStringLiteral("hit"), QStringLiteral(" after")};
        });
        QTreeView view;
        view.setModel(&model);
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_VERIFY(model.contextsRead() > 0);
        QVERIFY2(model.contextsRead() < 100, qPrintable(QString::number(model.contextsRead())));
        const int before = model.contextsRead();
        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("before hit after"));
        QCOMPARE(model.index(0, 1).data(search::ContextHitRole).toString(), QStringLiteral("hit"));
        QCOMPARE(model.contextsRead(), before);                               // kept
        QVERIFY2(titlesRead < 2000, qPrintable(QString::number(titlesRead))); // the rows shown only
        QCOMPARE(model.index(5, 0).data().toString(), QStringLiteral("letter"));
        QCOMPARE(model.index(399999, 0).data(forms::TagRole).toString(), QStringLiteral(" 399999"));
        QCOMPARE(model.topicAt(12), 12);
    }

    void aSearchFillsTheResultsAndStepsThroughThem()
    {
        Running r;
        QVERIFY(r.p);
        forms::MDIForm1 *frame = r.p->mainFrame();
        // Before any search, the results commands are off on both sides.
        for (forms::ButtonName k : forms::ButtonList{"Risultatilist", "Risultatilistnext", "Risultatilistback"})
            QVERIFY2(!frame->button(k)->isEnabled(), qPrintable(k.toString()));
        QVERIFY(!frame->item("Risultati_cerca")->isEnabled());

        r.search(QStringLiteral("Milano"));
        const QList<int> hits = engineHits(r.main(), QStringLiteral("Milano"));
        QVERIFY(hits.size() >= 4);
        QVERIFY(r.f()->isShown(forms::Panel::Results));
        QCOMPARE(r.rows(), int(hits.size()));
        for (int i = 0; i < r.rows(); ++i)
            QCOMPARE(r.f()->List_risultati->model()->index(i, 0).data(forms::TagRole).toString().trimmed().toInt(),
                     hits[i]);
        QCOMPARE(r.f()->Titre_Splitgauche->text(), r.text("RESU", 1) + QStringLiteral(" (%1)").arg(hits.size()));
        // The first result is shown with the word marked, and the list says
        // where the word stands in it.
        QCOMPARE(r.currentRow(), 0);
        QCOMPARE(r.main()->TopicIndex(), hits[0]);
        QVERIFY(!r.main()->highlightSpans(1).empty());
        // ... and brought into view, wherever it stands in the topic.
        engine::RegionView *text = r.main()->regionView(1);
        QTextCursor at(text->document());
        at.setPosition(r.main()->highlightSpans(1).front().start);
        QVERIFY(text->viewport()->rect().contains(text->cursorRect(at).center()));
        const QModelIndex context = r.f()->List_risultati->model()->index(0, 1);
        QCOMPARE(context.data(search::ContextHitRole).toString().toLower(), QStringLiteral("milano"));
        QVERIFY(!frame->button("Avvio")->isEnabled());
        QVERIFY(frame->button("Risultatilistnext")->isEnabled());
        QVERIFY(!frame->button("Risultatilistback")->isEnabled());

        // W and Q step; Ctrl+W and Ctrl+Q step once each.
        r.key(Qt::Key_W);
        QCOMPARE(r.currentRow(), 1);
        QCOMPARE(r.main()->TopicIndex(), hits[1]);
        r.key(Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(r.currentRow(), 2);
        r.key(Qt::Key_Q);
        QCOMPARE(r.currentRow(), 1);
        for (int i = 0; i < hits.size() + 2; ++i)
            r.panel()->Risultati_list_next();
        QCOMPARE(r.currentRow(), int(hits.size()) - 1);
        QVERIFY(!frame->button("Risultatilistnext")->isEnabled());
        QVERIFY(!frame->item("Risultati_next")->isEnabled());

        // A search of the topic shown leaves the list and its caption alone.
        const int rows = r.rows();
        r.key(Qt::Key_F2);
        r.f()->Option_argomento->click();
        r.search(QStringLiteral("Ottavia OR Milano"));
        QCOMPARE(r.rows(), rows);
        QVERIFY(r.dialogs.shown.empty());
        QVERIFY(r.f()->isShown(forms::Panel::Search));
        r.f()->Option_tutto->click();
        // F3 shows the results again; another title empties them.
        r.key(Qt::Key_F3);
        QVERIFY(r.f()->isShown(forms::Panel::Results));
        QCOMPARE(r.f()->Titre_Splitgauche->text(), r.text("RESU", 1) + QStringLiteral(" (%1)").arg(rows));
        r.p->title.TitlePath = r.folder.file(QStringLiteral("Lettere.m14"));
        r.p->InitialiseNouveauTexte();
        QCOMPARE(r.rows(), 0);
        QVERIFY(!frame->button("Risultatilist")->isEnabled());
    }

    // Regression: the words around a hit, read as rows come into view, were
    // read with the engine's last query: after a search of the topic shown
    // or a search that found nothing, rows not shown yet had an empty or
    // wrong context. The list keeps its own query.
    void theContextColumnKeepsItsOwnQuery()
    {
        Running r;
        QVERIFY(r.p);
        r.search(QStringLiteral("Milano"));
        const int rows = r.rows();
        QVERIFY(rows >= 4);
        auto *model = r.panel()->results();
        const int last = rows - 1;
        // A search of the topic shown, then one that finds nothing.
        r.key(Qt::Key_F2);
        r.f()->Option_argomento->click();
        r.search(QStringLiteral("Ottavia"));
        r.f()->Option_tutto->click();
        r.search(QStringLiteral("zzzqqq"));
        QCOMPARE(r.rows(), rows);
        for (int row : {last, last - 1, 1})
            QCOMPARE(model->index(row, 1).data(search::ContextHitRole).toString().toLower(), QStringLiteral("milano"));
    }

    void pastQueriesAndRefusedQueries()
    {
        Running r;
        QVERIFY(r.p);
        QComboBox *box = r.f()->Combo_perparole;
        r.search(QStringLiteral("Milano"));
        r.search(QStringLiteral("milano"));
        r.search(QStringLiteral("Milano"));
        QCOMPARE(box->count(), 2);
        // No completion: "mil" searches "mil", not a past query.
        r.dialogs.shown.clear();
        r.search(QStringLiteral("mil"));
        QCOMPARE(box->currentText(), QStringLiteral("mil"));
        QCOMPARE(r.dialogs.shown.size(), size_t(1));
        QCOMPARE(r.dialogs.shown[0].text, r.text("BMSG", 1));
        // An empty query, a malformed one.
        r.dialogs.shown.clear();
        r.search(QString());
        QCOMPARE(r.dialogs.shown.size(), size_t(1));
        QCOMPARE(r.dialogs.shown[0].text, r.text("BMSG", 2));
        QCOMPARE(r.dialogs.shown[0].title, r.text("RECH", 1));
        QCOMPARE(r.dialogs.shown[0].icon, Icon::Exclamation);
        r.dialogs.shown.clear();
        r.search(QStringLiteral("\"Milano"));
        QCOMPARE(r.dialogs.shown.size(), size_t(1));
        QCOMPARE(r.dialogs.shown[0].text, r.text("BMSG", 1) + QStringLiteral("\n\n") + r.text("REQU", 1));
        QCOMPARE(r.focus(), static_cast<QWidget *>(box));
    }

    void subsetsSearchTheirGroupsAndTheirNotes()
    {
        Running r;
        QVERIFY(r.p);
        QListWidget *subsets = r.f()->Combo_sottoinsieme;
        QCOMPARE(subsets->count(), 3);
        r.key(Qt::Key_F2);
        r.f()->Option_sottoinsieme->click();
        QVERIFY(subsets->isEnabled());
        for (int i = 0; i < subsets->count(); ++i)
            subsets->item(i)->setSelected(i == 2); // the letters of 1853
        r.panel()->DeterminaGruppo();
        QCOMPARE(r.main()->SearchMode(), 2);
        // A word of a letter of 1851 only: nothing in 1853.
        r.dialogs.shown.clear();
        r.search(QStringLiteral("grigia"));
        QCOMPARE(r.dialogs.shown.size(), size_t(1));
        QCOMPARE(r.dialogs.shown[0].text, r.text("BMSG", 1));
        // A word only in a note of a letter of 1853 is found through the
        // group of the subset's notes.
        r.search(QStringLiteral("entroterra"));
        QCOMPARE(r.rows(), 1);
        QVERIFY2(r.rowText(0).startsWith(QStringLiteral("Nota")), qPrintable(r.rowText(0)));
        // Two subsets: both groups and both notes' groups.
        subsets->item(0)->setSelected(true);
        r.search(QStringLiteral("grigia"));
        QVERIFY(r.rows() >= 1);
    }

    void theProximityBoxTakesNumbersInRange()
    {
        Running r;
        QVERIFY(r.p);
        QLineEdit *near = r.f()->TextNear;
        r.key(Qt::Key_F2);
        near->setFocus();
        near->clear();
        QTest::keyClicks(near, QStringLiteral("ab"));
        QCOMPARE(near->text(), QString()); // letters are not taken
        QTest::keyClicks(near, QStringLiteral("0"));
        const int before = r.main()->SearchNearThreshold();
        QCOMPARE(before, r.p->options->near); // 0 leaves the engine alone
        r.dialogs.shown.clear();
        QTest::keyClick(near, Qt::Key_Return);
        QCOMPARE(r.dialogs.shown.size(), size_t(1));
        QCOMPARE(r.dialogs.shown[0].text, r.text("BMSG", 6));
        QCOMPARE(r.dialogs.shown[0].title, r.text("BMSG", 8));
        QCOMPARE(r.focus(), static_cast<QWidget *>(near));
        near->selectAll();
        QTest::keyClicks(near, QStringLiteral("20"));
        QCOMPARE(r.main()->SearchNearThreshold(), 20);
        // An empty box takes the option's value instead of trapping the focus.
        near->clear();
        r.dialogs.shown.clear();
        r.f()->Combo_perparole->setFocus();
        QTest::qWait(10);
        QVERIFY(r.dialogs.shown.empty());
        QCOMPARE(near->text(), QString::number(r.p->options->near));
        // Implicit AND follows its box.
        r.f()->Check1->setChecked(false);
        QVERIFY(!r.main()->SearchImplicitAND());
        r.f()->Check1->setChecked(true);
        QVERIFY(r.main()->SearchImplicitAND());
    }

    void stepsThroughTheHitsOfATopic()
    {
        Running r;
        QVERIFY(r.p);
        forms::MDIForm1 *frame = r.p->mainFrame();
        QVERIFY(frame->button("Highlight")->isChecked());
        QVERIFY(frame->item("Evidenziatore")->isChecked());
        QVERIFY(r.main()->HiliteSearchHits());
        r.search(QStringLiteral("lettera OR lettere"));
        QVERIFY(r.rows() > 0);
        // Find a result with several hits.
        int count = 0;
        for (int i = 0; i < r.rows() && count < 3; ++i) {
            r.f()->List_risultati->setCurrentIndex(r.f()->List_risultati->model()->index(i, 0));
            r.p->display()->AfficheTopic();
            count = r.p->state.HighlightCount;
        }
        QVERIFY2(count >= 3, qPrintable(QString::number(count)));
        QCOMPARE(r.p->state.CurrentHighlight, -1);
        for (int i = 0; i < count; ++i)
            r.panel()->HighlightNext();
        QCOMPARE(r.p->state.CurrentHighlight, count - 1);
        QVERIFY(!r.panel()->Form6()->isVisible());
        QWidget *focused = r.focus();
        r.panel()->HighlightNext(); // past the last: the notice
        QCOMPARE(r.p->state.CurrentHighlight, count - 1);
        QVERIFY(r.panel()->Form6()->isVisible());
        QCOMPARE(r.panel()->Form6()->text(), r.text("LOAD", 3).trimmed());
        QCOMPARE(r.focus(), focused);
        QTRY_VERIFY_WITH_TIMEOUT(!r.panel()->Form6()->isVisible(), 3000); // it closes by itself
        r.panel()->HighlightBack();
        QCOMPARE(r.p->state.CurrentHighlight, count - 2);
        // Ctrl+E: no marks, no stepping.
        frame->item("Evidenziatore")->trigger();
        QVERIFY(!r.main()->HiliteSearchHits());
        QVERIFY(r.main()->highlightSpans(1).empty());
        QVERIFY(!frame->button("Highlightnext")->isEnabled());
        QVERIFY(!frame->item("EvidenziatorePrecedente")->isEnabled());
        QVERIFY(!frame->button("Highlight")->isChecked());
        frame->button("Highlight")->trigger();
        QVERIFY(r.main()->HiliteSearchHits());
        QVERIFY(frame->item("Evidenziatore")->isChecked());
    }

    // Regression: stepping through the hits showed no current one when all
    // of them fit on the page. The current hit stands out, and the status
    // bar says which it is of how many.
    void theCurrentHitStandsOutAndTheStatusSaysWhichItIs()
    {
        Running r;
        QVERIFY(r.p);
        r.search(QStringLiteral("lettera OR lettere"));
        int count = 0;
        for (int i = 0; i < r.rows() && count < 2; ++i) {
            r.f()->List_risultati->setCurrentIndex(r.f()->List_risultati->model()->index(i, 0));
            r.p->display()->AfficheTopic();
            count = r.p->state.HighlightCount;
        }
        QVERIFY(count >= 2);
        QLabel *status = r.p->statusLine()->hitsLabel();
        QCOMPARE(r.main()->CurrentHighlight(), -1); // a result shown: none yet
        const auto marks = [&r] { return r.main()->regionView(1)->extraSelections(); };
        const auto isCurrent = [](const QTextEdit::ExtraSelection &s) {
            return s.format.background().color() == engine::kCurrentHitColor;
        };
        const auto before = marks();
        QVERIFY(std::none_of(before.begin(), before.end(), isCurrent));
        r.key(Qt::Key_F12);
        r.key(Qt::Key_F12);
        QCOMPARE(r.main()->CurrentHighlight(), 1);
        QVERIFY(!isCurrent(marks().at(0)));
        QVERIFY(isCurrent(marks().at(1)));
        QCOMPARE(marks().at(1).format.underlineStyle(), QTextCharFormat::SingleUnderline);
        QCOMPARE(status->text(), r.text("STAT", 7).arg(2).arg(count));
        QCOMPARE(status->text(), QStringLiteral("Occurrence 2 / %1").arg(count)); // the French interface
        r.key(Qt::Key_F11);
        QVERIFY(isCurrent(marks().at(0)) && !isCurrent(marks().at(1)));
        QCOMPARE(status->text(), r.text("STAT", 7).arg(1).arg(count));
        // Another page: no current hit, the count again.
        r.panel()->Risultati_list_next();
        QCOMPARE(r.main()->CurrentHighlight(), -1);
        QVERIFY(!status->text().contains(u'/'));
    }

    void datesShowTheirLetters()
    {
        Running r;
        QVERIFY(r.p);
        QCOMPARE(search::dateContext(QDate(1998, 12, 25)), QStringLiteral("251298"));
        r.key(Qt::Key_F2);
        QDateEdit *picker = r.f()->DatePicker;
        QVERIFY(picker->isVisible());
        picker->setFocus();
        picker->setDate(QDate(1851, 1, 8));
        QTest::keyClick(picker, Qt::Key_Return);
        QCOMPARE(r.main()->TopicData(), QStringLiteral("080151"));
        // Avvio after the date field was used is a date search.
        picker->setDate(QDate(1851, 2, 3));
        r.panel()->Avvio();
        QCOMPARE(r.main()->TopicData(), QStringLiteral("030251"));
        r.dialogs.shown.clear();
        picker->setDate(QDate(1851, 1, 9));
        QTest::keyClick(picker, Qt::Key_Return);
        QCOMPARE(r.dialogs.shown.size(), size_t(1));
        QCOMPARE(r.dialogs.shown[0].text, r.text("BMSG", 3));
        QCOMPARE(r.dialogs.shown[0].title, r.text("BMSG", 12));
        QCOMPARE(r.main()->TopicData(), QStringLiteral("030251"));
    }

    void lettersAndTheirNotesByNumber()
    {
        Running r(QStringLiteral("Carteggio"));
        QVERIFY(r.p);
        QVERIFY(r.p->title.LetterSearchEnabled);
        QVERIFY(r.f()->DatePicker->minimumDate() <= QDate(1751, 1, 1));
        r.key(Qt::Key_F2);
        QComboBox *letter = r.f()->ComboPerLettera;
        letter->setFocus();
        const auto go = [&](const QString &ref) {
            letter->setEditText(ref);
            QTest::keyClick(letter, Qt::Key_Return);
        };
        go(QStringLiteral(" 1 "));
        QVERIFY(r.dialogs.shown.empty());
        const int first = r.main()->TopicIndex();
        r.main()->JumpContext(QStringLiteral("SMK1"));
        QCOMPARE(r.main()->TopicIndex(), first);
        go(QStringLiteral("1.1"));
        QVERIFY(r.dialogs.shown.empty());
        QVERIFY(r.p->state.NotesPaneOpen || r.main()->TopicData().contains(u'.'));
        go(QStringLiteral("99"));
        QCOMPARE(r.dialogs.shown.back().text, r.text("BMSG", 15));
        QCOMPARE(r.dialogs.shown.back().title, r.text("BMSG", 19));
        go(QString());
        QCOMPARE(r.dialogs.shown.back().text, r.text("BMSG", 14));
        // F2 comes back to the letter field, the field used last.
        r.f()->TreeSommario->setFocus();
        r.key(Qt::Key_F6);
        r.key(Qt::Key_F2);
        QCOMPARE(r.focus(), static_cast<QWidget *>(letter));
    }
};

QTEST_MAIN(TestSearchPanel)
#include "tst_search_panel.moc"
