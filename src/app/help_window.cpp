#include "help_window.h"

#include "topicview.h"

#include <QAction>
#include <QToolBar>
#include <QVBoxLayout>

namespace folium::app {

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QToolBar;
    m_pane = new engine::TopicView;
    m_pane->setObjectName(QStringLiteral("HelpPane"));
    QAction *home = bar->addAction(QIcon(QStringLiteral(":/icons/Home.svg")), tr("Contents"));
    QAction *back = bar->addAction(QIcon(QStringLiteral(":/icons/Browseback.svg")), tr("Previous"));
    QAction *next = bar->addAction(QIcon(QStringLiteral(":/icons/Browsenext.svg")), tr("Next"));
    connect(home, &QAction::triggered, m_pane, [this] { m_pane->JumpContext(QStringLiteral("25")); });
    connect(back, &QAction::triggered, m_pane, &engine::TopicView::BrowsePrevious);
    connect(next, &QAction::triggered, m_pane, &engine::TopicView::BrowseNext);
    lay->addWidget(bar);
    lay->addWidget(m_pane, 1);
    // A help popup shows over the help window; jumps stay inside it.
    connect(m_pane, &engine::TopicView::HotspotClicked, this, [this](int type, qintptr data, bool *cancel) {
        if (type == 0) {
            m_pane->JumpContext(QString::fromLatin1(reinterpret_cast<const char *>(data)));
            *cancel = true;
        }
    });
    connect(m_pane, &engine::TopicView::TopicChanged, this, [this] { setWindowTitle(m_pane->ViewTopic()); });
    resize(640, 720);
}

bool HelpWindow::ShowHelp()
{
    m_error.clear();
    if (m_pane->ViewTitle() != HelpFile) {
        m_pane->setViewTitle(HelpFile);
        if (m_pane->lastError() != 0) {
            m_error = HelpFile;
            return false;
        }
    }
    if (HelpCommand == 1 && m_pane->JumpContext(HelpContext) != 0) {
        m_error = HelpFile + QStringLiteral(" (") + HelpContext + u')';
        return false;
    }
    show();
    raise();
    activateWindow();
    return true;
}

} // namespace folium::app
