#include "history.h"

#include "form1.h"
#include "hotspots.h"
#include "interface_strings.h"
#include "list_events.h"
#include "mdiform1.h"
#include "panels.h"
#include "state.h"
#include "topic_display.h"
#include "topicview.h"
#include "windows.h"

#include <QAction>
#include <QStatusBar>
#include <QTreeView>

namespace folium::history {

using engine::TopicView;

namespace {
constexpr long kHistoryTitleColor = 13946;
}

History::History(forms::Windows &w, forms::TitleState &t, forms::ReaderState &r, reader::Hotspots &hotspots,
                 reader::TopicDisplay &display, QObject *parent)
    : QObject(parent), m_w(w), m_t(t), m_r(r), m_hotspots(hotspots)
{
    w.reader->List_cronologia->setModel(&m_rows);
    display.observe(reader::TopicObserver::History, [this](const engine::Place &place) { topicShown(place); });
    // Click, Enter, key release and right click, as every list of the side pane.
    auto *events = new forms::ListEvents(
        w, r, w.reader->List_cronologia, [this] { List_cronologia_Click(); }, [this] { List_cronologia_Enter(); },
        this);
    connect(events, &forms::ListEvents::contextMenuRequested, this, &History::contextMenuRequested);
}

void History::refreshRow(int row)
{
    // The place in the topic being left, kept in its row.
    m_rows.setPlace(row - 1, m_w.reader->Fl_main->place());
}

void History::setCurrentRow(int row)
{
    m_w.reader->List_cronologia->setCurrentIndex(m_rows.index(row - 1));
}

int History::currentRow() const
{
    const QModelIndex current = m_w.reader->List_cronologia->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void History::topicShown(const engine::Place &place)
{
    if (m_r.IgnoreTopicChange)
        return;
    forms::Form1 *f = m_w.reader;
    forms::MDIForm1 *frame = m_w.frame;
    TopicView *main = f->Fl_main;
    if (m_t.TitleLoading) {
        m_rows.clear();
        m_r.LastTopicIndex = 1;
    }
    const int index = place.topic;
    if (index == m_r.LastTopicIndex || main->ViewTopic().isEmpty())
        return;
    const int newest = m_rows.rowCount() == 0 ? 1 : m_rows.at(0).place.topic;
    const bool always = m_r.AlwaysAddToHistory;
    if (index != newest && ((always && !m_r.HistoryGoingForward) ||
                            (!always && !m_r.HistoryGoingBack && !m_r.HistoryGoingForward && !m_r.HistoryListJump))) {
        const reader::ListedTitle listed = reader::listedTitle(main->ViewTopic());
        m_rows.insert(0, {listed.icon, listed.text, place});
    }
    m_r.LastTopicIndex = index;
    if (m_r.HistoryGoingBack || m_r.HistoryGoingForward) {
        if (always && m_r.HistoryGoingBack)
            ++m_r.CurrentHistoryRow;
        setCurrentRow(m_r.CurrentHistoryRow);
    } else if (m_r.HistoryListJump && !always) {
        m_r.CurrentHistoryRow = currentRow();
    } else {
        m_r.CurrentHistoryRow = 1;
        setCurrentRow(1);
    }
    m_r.SavedHistoryRow = m_r.CurrentHistoryRow;
    enableForCurrentRow();
    m_r.HistoryGoingBack = m_r.HistoryGoingForward = false;
    if (f->isShown(forms::Panel::History) && currentRow() > 0)
        frame->statusBar()->showMessage(m_rows.at(currentRow() - 1).text);
    frame->button("Cronologialist")->setEnabled(true);
}

void History::Cronologia_list()
{
    if (forms::switchPanel(m_w, forms::Panel::History)) {
        m_w.reader->List_cronologia->setFocus();
        if (currentRow() > 0)
            m_w.frame->statusBar()->showMessage(m_rows.at(currentRow() - 1).text);
        m_w.frame->item("Cronologia")->setEnabled(false);
    }
    forms::setPanelTitle(m_w, QString(m_w.strings->text(QStringLiteral("MENU"), 21)).remove(u'&'), kHistoryTitleColor);
}

void History::showNoteRow(int row, bool goingBack)
{
    // A note: its letter at the note's call, then the note opened from it.
    TopicView *main = m_w.reader->Fl_main;
    if (row < 1 || row > m_rows.rowCount())
        return;
    main->setTopicIndex(m_rows.at(row - 1).place.topic);
    const QString data = main->TopicData();
    const QString note = data.mid(data.indexOf(u'.') + 1);
    if (m_r.AlwaysAddToHistory)
        m_r.CurrentHistoryRow = 1;
    refreshRow(m_r.CurrentHistoryRow);
    if (goingBack) {
        m_r.HistoryGoingBack = true;
        m_r.IgnoreTopicChange = true;
    }
    main->JumpContext(QStringLiteral("N") + data);
    if (goingBack)
        m_r.IgnoreTopicChange = false;
    m_hotspots.HotspotInit();
    m_r.CurrentHotspot = note.toInt();
    m_hotspots.IlluminaHotspot();
    m_hotspots.AfficheNoteAvecClick();
    // The note reopened is the topic the row already showed (or it opened
    // in the notes pane), so no change of topic took the mark; left set, it
    // would make the next topic reached count as a step back.
    if (goingBack)
        m_r.HistoryGoingBack = false;
}

void History::BackCrono()
{
    const int rows = m_rows.rowCount();
    if (rows >= 2 && m_r.CurrentHistoryRow + 1 <= rows) {
        ++m_r.CurrentHistoryRow;
        m_r.HistoryGoingBack = true;
        const engine::ListedPlace row = m_rows.at(m_r.CurrentHistoryRow - 1);
        if (reader::isNoteTitle(row.text)) {
            showNoteRow(m_r.CurrentHistoryRow, true);
        } else {
            if (m_r.AlwaysAddToHistory)
                m_r.SavedHistoryRow = 1;
            refreshRow(m_r.SavedHistoryRow);
            m_w.reader->Fl_main->goTo(row.place);
        }
    }
    m_hotspots.MetteIlGiustoFocus();
}

void History::NextCrono()
{
    if (m_rows.rowCount() < 2 || m_r.CurrentHistoryRow - 1 < 1)
        return;
    --m_r.CurrentHistoryRow;
    m_r.HistoryGoingForward = true;
    refreshRow(m_r.SavedHistoryRow);
    m_w.reader->Fl_main->goTo(m_rows.at(m_r.CurrentHistoryRow - 1).place);
}

void History::enableForCurrentRow()
{
    forms::MDIForm1 *frame = m_w.frame;
    const int rows = m_rows.rowCount();
    frame->button("BackCrono")->setEnabled(true);
    for (forms::ItemName n : forms::ItemList{"CronoBack", "CronoNext", "Cronologia"})
        frame->item(n)->setEnabled(true);
    if (m_r.CurrentHistoryRow == rows) {
        frame->button("BackCrono")->setEnabled(false);
        frame->item("CronoBack")->setEnabled(false);
    }
    if (m_r.CurrentHistoryRow == 1)
        frame->item("CronoNext")->setEnabled(false);
}

void History::List_cronologia_Click()
{
    const int row = currentRow();
    if (row < 1)
        return;
    const engine::ListedPlace chosen = m_rows.at(row - 1);
    TopicView *main = m_w.reader->Fl_main;
    if (chosen.place.topic != main->TopicIndex()) {
        if (reader::isNoteTitle(chosen.text)) {
            showNoteRow(row, false);
        } else {
            if (m_r.AlwaysAddToHistory)
                m_r.CurrentHistoryRow = 1;
            refreshRow(m_r.CurrentHistoryRow);
            main->setTopicIndex(chosen.place.topic); // at its top
        }
    } else {
        m_r.CurrentHistoryRow = row;
        enableForCurrentRow();
    }
    m_w.frame->statusBar()->showMessage(chosen.text);
}

void History::List_cronologia_Enter()
{
    const int row = currentRow();
    if (row < 1)
        return;
    m_r.CurrentHistoryRow = row;
    const engine::ListedPlace chosen = m_rows.at(row - 1);
    if (chosen.place.topic != m_w.reader->Fl_main->TopicIndex()) {
        refreshRow(m_r.SavedHistoryRow);
        m_r.HistoryListJump = true;
        m_w.reader->Fl_main->goTo(chosen.place);
        m_r.HistoryListJump = false;
    } else {
        enableForCurrentRow();
    }
}

} // namespace folium::history
