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
#include <QTreeWidget>

namespace folium::history {

using engine::TopicView;

namespace {
constexpr long kHistoryTitleColor = 13946;
}

History::History(forms::Windows &w, forms::ReaderState &r, reader::Hotspots &hotspots, QObject *parent)
    : QObject(parent), m_w(w), m_r(r), m_hotspots(hotspots)
{
    // Click, Enter, key release and right click, as every list of the side pane.
    auto *events = new forms::ListEvents(
        w, r, w.reader->List_cronologia, [this] { List_cronologia_Click(); }, [this] { List_cronologia_Enter(); },
        this);
    connect(events, &forms::ListEvents::contextMenuRequested, this, &History::contextMenuRequested);
}

void History::refreshRow(int row)
{
    // The place in the topic being left, kept in its row.
    if (QTreeWidgetItem *item = m_w.reader->List_cronologia->topLevelItem(row - 1)) {
        const TopicView *main = m_w.reader->Fl_main;
        item->setData(0, forms::AddressRole, qlonglong(main->TopicVA()));
        item->setData(0, forms::ScrollRole, qlonglong(main->TopicScroll()));
    }
}

void History::Cronologia_list()
{
    forms::Form1 *f = m_w.reader;
    QTreeWidget *list = f->List_cronologia;
    if (forms::switchPanel(m_w, forms::Panel::History)) {
        list->setFocus();
        if (list->currentItem())
            m_w.frame->statusBar()->showMessage(list->currentItem()->text(0));
        m_w.frame->item("Cronologia")->setEnabled(false);
    }
    forms::setPanelTitle(m_w, QString(m_w.strings->text(QStringLiteral("MENU"), 21)).remove(u'&'), kHistoryTitleColor);
}

void History::showNoteRow(int row, bool goingBack)
{
    // A note: its letter at the note's call, then the note opened from it.
    forms::Form1 *f = m_w.reader;
    TopicView *main = f->Fl_main;
    const QTreeWidgetItem *item = f->List_cronologia->topLevelItem(row - 1);
    if (!item)
        return;
    main->setTopicIndex(item->data(0, forms::TagRole).toInt());
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
    forms::Form1 *f = m_w.reader;
    QTreeWidget *list = f->List_cronologia;
    const int rows = list->topLevelItemCount();
    if (rows >= 2 && m_r.CurrentHistoryRow + 1 <= rows) {
        ++m_r.CurrentHistoryRow;
        m_r.HistoryGoingBack = true;
        const QTreeWidgetItem *item = list->topLevelItem(m_r.CurrentHistoryRow - 1);
        if (reader::isNoteTitle(item->text(0))) {
            showNoteRow(m_r.CurrentHistoryRow, true);
        } else {
            if (m_r.AlwaysAddToHistory)
                m_r.SavedHistoryRow = 1;
            refreshRow(m_r.SavedHistoryRow);
            f->Fl_main->JumpToAddress(long(item->data(0, forms::AddressRole).toLongLong()),
                                      long(item->data(0, forms::ScrollRole).toLongLong()));
        }
    }
    m_hotspots.MetteIlGiustoFocus();
}

void History::NextCrono()
{
    forms::Form1 *f = m_w.reader;
    QTreeWidget *list = f->List_cronologia;
    if (list->topLevelItemCount() < 2 || m_r.CurrentHistoryRow - 1 < 1)
        return;
    --m_r.CurrentHistoryRow;
    m_r.HistoryGoingForward = true;
    refreshRow(m_r.SavedHistoryRow);
    const QTreeWidgetItem *item = list->topLevelItem(m_r.CurrentHistoryRow - 1);
    f->Fl_main->JumpToAddress(long(item->data(0, forms::AddressRole).toLongLong()),
                              long(item->data(0, forms::ScrollRole).toLongLong()));
}

void History::enableForCurrentRow()
{
    forms::MDIForm1 *frame = m_w.frame;
    const int rows = m_w.reader->List_cronologia->topLevelItemCount();
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
    forms::Form1 *f = m_w.reader;
    QTreeWidget *list = f->List_cronologia;
    QTreeWidgetItem *item = list->currentItem();
    if (!item)
        return;
    const int row = list->indexOfTopLevelItem(item) + 1;
    if (item->data(0, forms::TagRole).toInt() != f->Fl_main->TopicIndex()) {
        if (reader::isNoteTitle(item->text(0))) {
            showNoteRow(row, false);
        } else {
            if (m_r.AlwaysAddToHistory)
                m_r.CurrentHistoryRow = 1;
            refreshRow(m_r.CurrentHistoryRow);
            f->Fl_main->setTopicIndex(item->data(0, forms::TagRole).toInt()); // at its top
        }
    } else {
        m_r.CurrentHistoryRow = row;
        enableForCurrentRow();
    }
    m_w.frame->statusBar()->showMessage(item->text(0));
}

void History::List_cronologia_Enter()
{
    forms::Form1 *f = m_w.reader;
    QTreeWidget *list = f->List_cronologia;
    QTreeWidgetItem *item = list->currentItem();
    if (!item)
        return;
    m_r.CurrentHistoryRow = list->indexOfTopLevelItem(item) + 1;
    if (item->data(0, forms::TagRole).toInt() != f->Fl_main->TopicIndex()) {
        refreshRow(m_r.SavedHistoryRow);
        m_r.HistoryListJump = true;
        f->Fl_main->JumpToAddress(long(item->data(0, forms::AddressRole).toLongLong()),
                                  long(item->data(0, forms::ScrollRole).toLongLong()));
        m_r.HistoryListJump = false;
    } else {
        enableForCurrentRow();
    }
}

} // namespace folium::history
