#include "list_events.h"

#include "mdiform1.h"
#include "state.h"
#include "windows.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTreeView>

namespace folium::forms {

ListEvents::ListEvents(Windows &w, ReaderState &r, QTreeView *list, std::function<void()> onClick,
                       std::function<void()> onEnter, QObject *parent)
    : QObject(parent), m_w(w), m_r(r), m_list(list), m_onClick(std::move(onClick)), m_onEnter(std::move(onEnter))
{
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    connect(list, &QTreeView::clicked, this, [this] {
        if (m_r.ListRightClickPending) {
            // A right click does not move the selection.
            setCurrentRow(m_r.ListRightClickIndex);
            m_list->setFocus();
            return;
        }
        m_onClick();
    });
}

void ListEvents::setCurrentRow(int row)
{
    if (QAbstractItemModel *rows = m_list->model())
        m_list->setCurrentIndex(rows->index(row, 0));
}

bool ListEvents::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *ke = static_cast<QKeyEvent *>(event);
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            m_onEnter();
            return true;
        }
        break;
    }
    case QEvent::KeyRelease:
        if (m_list->currentIndex().isValid())
            m_w.frame->statusBar()->showMessage(m_list->currentIndex().data().toString());
        break;
    case QEvent::MouseButtonPress:
        if (watched == m_list->viewport()) {
            m_r.ListRightClickPending = static_cast<QMouseEvent *>(event)->button() == Qt::RightButton;
            if (m_r.ListRightClickPending) {
                m_r.ListRightClickIndex = m_list->currentIndex().isValid() ? m_list->currentIndex().row() : -1;
                emit contextMenuRequested(m_list);
                setCurrentRow(m_r.ListRightClickIndex);
                return true;
            }
        }
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace folium::forms
