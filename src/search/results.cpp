// SearchPanel: running a search into the results list, the list itself and
// stepping through it, and the marking of the hits in the topic shown.
#include "dialogs.h"
#include "engine_errors.h"
#include "form1.h"
#include "form3.h"
#include "hotspots.h"
#include "interface_strings.h"
#include "mdiform1.h"
#include "panels.h"
#include "query.h"
#include "results_model.h"
#include "search_panel.h"
#include "state.h"
#include "topic_display.h"
#include "topicview.h"
#include "windows.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

namespace folium::search {

using config::Buttons;
using config::Icon;
using engine::TopicView;

namespace {

// The context column: the words around the hit, the hit in bold, cut to the
// column's width.
class ContextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, p, opt.widget);
        const QRect r = opt.rect.adjusted(4, 0, -4, 0);
        const bool selected = opt.state & QStyle::State_Selected;
        p->save();
        p->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        QFont bold = opt.font;
        bold.setBold(true);
        const QFontMetrics plain(opt.font), strong(bold);
        const QString hit = index.data(ContextHitRole).toString();
        // The hit always shows: the words before it give way first, cut
        // from their start, keeping at most a third of the width.
        const int hitWidth = std::min(strong.horizontalAdvance(hit), r.width());
        const int beforeRoom = std::clamp(r.width() - hitWidth - r.width() / 3, 0, r.width());
        const QString before = plain.elidedText(index.data(ContextBeforeRole).toString(), Qt::ElideLeft, beforeRoom);
        int x = r.left();
        const auto draw = [&](const QString &s, const QFont &font, const QFontMetrics &fm) {
            if (s.isEmpty() || x >= r.right())
                return;
            const QString shown = fm.elidedText(s, Qt::ElideRight, r.right() - x);
            p->setFont(font);
            p->drawText(QRect(x, r.top(), r.right() - x, r.height()), Qt::AlignVCenter | Qt::AlignLeft, shown);
            x += fm.horizontalAdvance(shown);
        };
        draw(before, opt.font, plain);
        draw(hit, bold, strong);
        draw(index.data(ContextAfterRole).toString(), opt.font, plain);
        p->restore();
    }
};

QString queryErrorText(const config::InterfaceStrings &s, engine::QueryError e)
{
    const int n = e == engine::QueryError::TooLong   ? 2
                  : e == engine::QueryError::TooDeep ? 3
                  : e == engine::QueryError::Failed  ? 4
                                                     : 1;
    return s.text(QStringLiteral("REQU"), n);
}

} // namespace

void SearchPanel::setUpResultsList()
{
    QTreeView *list = m_w.reader->List_risultati;
    list->setModel(m_results);
    list->setItemDelegateForColumn(1, new ContextDelegate(list));
    list->header()->setStretchLastSection(true);
    list->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    list->setColumnWidth(0, 170);
    list->setMouseTracking(true);
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    connect(list, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (m_r.ListRightClickPending) {
            // A right click does not move the selection.
            m_w.reader->List_risultati->setCurrentIndex(m_results->index(m_r.ListRightClickIndex, 0));
            m_w.reader->List_risultati->setFocus();
            return;
        }
        if (index.isValid())
            showResult();
    });
}

bool SearchPanel::resultsListEvent(QEvent *event)
{
    QTreeView *list = m_w.reader->List_risultati;
    switch (event->type()) {
    case QEvent::KeyPress: {
        // A character key (Enter among them) shows the result selected.
        auto *ke = static_cast<QKeyEvent *>(event);
        if (!ke->text().isEmpty() && list->currentIndex().isValid()) {
            showResult();
            return ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter;
        }
        break;
    }
    case QEvent::KeyRelease:
        if (list->currentIndex().isValid())
            m_w.frame->statusBar()->showMessage(list->currentIndex().siblingAtColumn(0).data().toString());
        break;
    case QEvent::MouseButtonPress: {
        auto *me = static_cast<QMouseEvent *>(event);
        m_r.ListRightClickPending = me->button() == Qt::RightButton;
        if (m_r.ListRightClickPending) {
            m_r.ListRightClickIndex = list->currentIndex().row();
            emit contextMenuRequested(list);
            list->setCurrentIndex(m_results->index(m_r.ListRightClickIndex, 0));
            return true;
        }
        break;
    }
    default: break;
    }
    return false;
}

void SearchPanel::showResult()
{
    m_display.AfficheTopic();
    // The reader sees where the words stand: the first hit is brought into
    // view (stepping with F12 still starts from it).
    if (m_r.HitHighlighting && m_r.HighlightCount > 0)
        m_w.reader->Fl_main->bringHighlightIntoView(0);
}

void SearchPanel::clearResults()
{
    m_results->clear();
    m_r.ResultCount = 0;
}

void SearchPanel::addPastQuery(const QString &query)
{
    // Compared with its letter case: "Milano" and "milano" are two entries.
    QComboBox *box = m_w.reader->Combo_perparole;
    if (box->findText(query, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
        box->addItem(query);
        box->setEditText(query);
    }
}

void SearchPanel::Avvio()
{
    forms::Form1 *f = m_w.reader;
    forms::MDIForm1 *frame = m_w.frame;
    TopicView *main = f->Fl_main;
    // The date field was the last search field used (and it shows): a date search.
    if (forms::Form1::isFrameActive(f->FramePerData) && !f->FramePerData->isHidden() && m_r.LastSearchField == 1) {
        dateJump();
        return;
    }
    DeterminaGruppo();
    const QString query = f->Combo_perparole->currentText();
    if (query.isEmpty()) {
        m_w.dialogs->message(frame, text("BMSG", 2), text("RECH", 1), Icon::Exclamation, Buttons::Ok);
        f->Combo_perparole->setFocus();
        CercaHighlights();
        return;
    }
    const int rc = main->RunSearch(query);
    m_r.ResultCount = main->SearchHitCount();
    if (m_r.ResultCount > 0)
        m_r.LastQuery = query;
    if (m_r.ResultCount > 0 && main->SearchMode() != 1) {
        // The list copies the hit list: a later search of the topic shown
        // leaves it as it is.
        std::vector<int> topics;
        topics.reserve(size_t(m_r.ResultCount));
        for (int i = 0; i < m_r.ResultCount; ++i)
            topics.push_back(main->TopicListIndex(i));
        // ... and what its query marks: the words around each hit are read
        // as rows come into view, after other queries may have run.
        m_results->setHits(
            std::move(topics), [title = main->titleFile()](int topic) { return title->topicTitle(topic); },
            [marks = main->SearchHitMarks()](int topic) { return marks.hitContext(topic); });
        if (f->isShown(forms::Panel::Results))
            f->setShownPanel(forms::Panel::None); // so that the panel switch is made again
        frame->button("Risultatilist")->setEnabled(true);
        frame->item("Risultati_cerca")->setEnabled(true);
        frame->button("Risultatilistnext")->setEnabled(false);
        frame->button("Risultatilistback")->setEnabled(false);
        Risultati_list();
        frame->button("Avvio")->setEnabled(false);
        f->List_risultati->setCurrentIndex(m_results->index(0, 0));
        f->List_risultati->scrollToTop();
        f->List_risultati->setFocus();
        showResult();
        addPastQuery(query);
    } else {
        if (main->SearchHitCount() == 0)
            refuse(1, 0,
                   rc == engine::kErrBadQuery ? queryErrorText(*m_w.strings, main->SearchErrorCode()) : QString());
        else
            addPastQuery(query);
        f->Combo_perparole->setFocus();
    }
    CercaHighlights();
}

void SearchPanel::Risultati_list()
{
    forms::Form1 *f = m_w.reader;
    QTreeView *list = f->List_risultati;
    if (forms::switchPanel(m_w, forms::Panel::Results)) {
        list->setFocus();
        const QModelIndex current = list->currentIndex();
        if (current.isValid()) {
            m_w.frame->statusBar()->showMessage(current.siblingAtColumn(0).data().toString());
            list->scrollTo(current);
        }
        m_w.frame->item("Risultati_cerca")->setEnabled(false);
    }
    forms::setPanelTitle(m_w, text("RESU", 1) + QStringLiteral(" (%1)").arg(m_results->rowCount()),
                         forms::kResultsTitleColor);
}

void SearchPanel::Risultati_list_back()
{
    forms::MDIForm1 *frame = m_w.frame;
    QTreeView *list = m_w.reader->List_risultati;
    frame->button("Risultatilistnext")->setEnabled(true);
    frame->item("Risultati_next")->setEnabled(true);
    const int k = list->currentIndex().row() - 1;
    if (k >= 0) {
        list->setCurrentIndex(m_results->index(k, 0));
        showResult();
        m_hotspots.MetteIlGiustoFocus();
    }
    if (k <= 0) {
        frame->button("Risultatilistback")->setEnabled(false);
        frame->item("Risultati_back")->setEnabled(false);
    }
    if (m_w.reader->isShown(forms::Panel::Results))
        frame->statusBar()->showMessage(list->currentIndex().siblingAtColumn(0).data().toString());
}

void SearchPanel::Risultati_list_next()
{
    forms::MDIForm1 *frame = m_w.frame;
    QTreeView *list = m_w.reader->List_risultati;
    frame->button("Risultatilistback")->setEnabled(true);
    frame->item("Risultati_back")->setEnabled(true);
    const int k = list->currentIndex().row() + 1;
    const int rows = m_results->rowCount();
    if (k < rows) {
        list->setCurrentIndex(m_results->index(k, 0));
        showResult();
        m_hotspots.MetteIlGiustoFocus();
    }
    if (k >= rows - 1) {
        frame->button("Risultatilistnext")->setEnabled(false);
        frame->item("Risultati_next")->setEnabled(false);
    }
    if (m_w.reader->isShown(forms::Panel::Results))
        frame->statusBar()->showMessage(list->currentIndex().siblingAtColumn(0).data().toString());
}

// --- Highlighting --------------------------------------------------------------

void SearchPanel::Highlight()
{
    forms::Form1 *f = m_w.reader;
    forms::MDIForm1 *frame = m_w.frame;
    const bool on = !m_r.HitHighlighting;
    frame->button("Highlight")->setChecked(on);
    frame->item("Evidenziatore")->setChecked(on);
    f->Fl_main->setHiliteSearchHits(on);
    if (m_r.NotesPaneOpen && (!on || !f->Fl_sec->ViewTitle().isEmpty())) {
        f->Fl_sec->setHiliteSearchHits(on);
        // The note shown below is marked with the last query too.
        if (on && !m_r.LastQuery.isEmpty()) {
            f->Fl_sec->setSearchMode(1);
            f->Fl_sec->RunSearch(m_r.LastQuery);
        }
    }
    m_r.HitHighlighting = on;
    for (forms::ButtonName k : forms::ButtonList{"Highlightnext", "Highlightback"})
        frame->button(k)->setEnabled(on);
    for (forms::ItemName n : forms::ItemList{"EvidenziatoreSuccessivo", "EvidenziatorePrecedente"})
        frame->item(n)->setEnabled(on);
    CercaHighlights();
}

void SearchPanel::CercaHighlights()
{
    const engine::TVHighlights set = engine::hTVGetHighlights(m_w.reader->Fl_main->lpTVSR());
    m_r.HighlightCount = int(engine::lTVTopicHighlightCount(set));
    m_r.CurrentHighlight = -1;
}

void SearchPanel::HighlightNext()
{
    if (m_r.HighlightCount == 0)
        return;
    ++m_r.CurrentHighlight;
    m_r.SteppingAcrossTopics = true;
    if (m_r.CurrentHighlight >= m_r.HighlightCount) {
        AfficheDebutFinHighlight(text("LOAD", 3));
        m_r.CurrentHighlight = m_r.HighlightCount - 1;
    } else {
        m_w.reader->Fl_main->ShowHighlight(m_r.CurrentHighlight);
    }
    m_r.SteppingAcrossTopics = false;
}

void SearchPanel::HighlightBack()
{
    if (m_r.HighlightCount == 0)
        return;
    m_r.SteppingAcrossTopics = true;
    --m_r.CurrentHighlight;
    if (m_r.CurrentHighlight >= 0) {
        m_w.reader->Fl_main->ShowHighlight(m_r.CurrentHighlight);
    } else {
        AfficheDebutFinHighlight(text("LOAD", 2));
        m_r.CurrentHighlight = 0;
    }
    m_r.SteppingAcrossTopics = false;
}

void SearchPanel::AfficheDebutFinHighlight(const QString &message)
{
    // A notice over the window that closes by itself at its timer's first
    // tick; the focus stays where it was.
    QWidget *focus = QApplication::focusWidget();
    m_notice->setText(message.trimmed());
    m_notice->setShowAsSplash(true);
    m_notice->showCentred();
    m_notice->CloseAfter(0);
    if (focus)
        focus->setFocus();
}

} // namespace folium::search
