#include "list_events.h"

#include "mdiform1.h"
#include "state.h"
#include "windows.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTreeWidget>

namespace folium::forms {

ListEvents::ListEvents(Windows &w, ReaderState &r, QTreeWidget *list, std::function<void()> onClick,
                       std::function<void()> onEnter, QObject *parent)
    : QObject(parent), m_w(w), m_r(r), m_list(list), m_onClick(std::move(onClick)), m_onEnter(std::move(onEnter))
{
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    connect(list, &QTreeWidget::itemClicked, this, [this] {
        if (m_r.ListRightClickPending) {
            // A right click does not move the selection.
            m_list->setCurrentItem(m_list->topLevelItem(m_r.ListRightClickIndex));
            m_list->setFocus();
            return;
        }
        m_onClick();
    });
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
        if (m_list->currentItem())
            m_w.frame->statusBar()->showMessage(m_list->currentItem()->text(0));
        break;
    case QEvent::MouseButtonPress:
        if (watched == m_list->viewport()) {
            m_r.ListRightClickPending = static_cast<QMouseEvent *>(event)->button() == Qt::RightButton;
            if (m_r.ListRightClickPending) {
                m_r.ListRightClickIndex = m_list->indexOfTopLevelItem(m_list->currentItem());
                emit contextMenuRequested(m_list);
                m_list->setCurrentItem(m_list->topLevelItem(m_r.ListRightClickIndex));
                return true;
            }
        }
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace folium::forms
