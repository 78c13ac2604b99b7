#include "help_window.h"

#include "interface_strings.h"
#include "region_view.h"
#include "topicview.h"

#include <QAction>
#include <QKeySequence>
#include <QShortcut>
#include <QToolBar>

namespace folium::app {

namespace {
constexpr size_t kMaxPagesKept = 200;
}

HelpWindow::HelpWindow(QWidget *parent) : QMainWindow(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    m_bar = addToolBar(QStringLiteral("Help navigation"));
    m_bar->setObjectName(QStringLiteral("HelpToolbar"));
    m_bar->setMovable(false);
    m_bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_pane = new engine::TopicView;
    m_pane->setObjectName(QStringLiteral("HelpPane"));
    setCentralWidget(m_pane);
    m_contents = m_bar->addAction(QIcon(QStringLiteral(":/icons/Home.svg")), QStringLiteral("Contents"));
    m_back = m_bar->addAction(QIcon(QStringLiteral(":/icons/Browseback.svg")), QStringLiteral("Back"));
    m_forward = m_bar->addAction(QIcon(QStringLiteral(":/icons/Browsenext.svg")), QStringLiteral("Forward"));
    m_back->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_Left), QKeySequence(Qt::Key_Backspace)});
    m_forward->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    connect(m_contents, &QAction::triggered, this, &HelpWindow::contents);
    connect(m_back, &QAction::triggered, this, &HelpWindow::back);
    connect(m_forward, &QAction::triggered, this, &HelpWindow::forward);
    for (const QKeySequence &k : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(k, this), &QShortcut::activated, this, &QWidget::close);
    // A help popup shows over the help window; jumps stay inside it.
    connect(m_pane, &engine::TopicView::HotspotClicked, this,
            [this](int type, const engine::HotspotTarget &target, bool *cancel) {
                if (type == engine::HotspotCode) {
                    m_pane->JumpContext(QString::fromLatin1(target.code));
                    *cancel = true;
                }
            });
    connect(m_pane, &engine::TopicView::TopicChanged, this, &HelpWindow::pageShown);
    updateButtons();
    resize(640, 720);
}

void HelpWindow::applyInterfaceStrings(const config::InterfaceStrings &strings)
{
    const auto text = [&](int n, const char *fallback) {
        const QString s = strings.text(QStringLiteral("AIDE"), n);
        return s.isEmpty() ? QString::fromLatin1(fallback) : s;
    };
    m_contents->setText(text(1, "Contents"));
    if (const QString cut = strings.text(QStringLiteral("STAT"), 6); !cut.isEmpty())
        m_pane->setCutNotice(cut);
    m_back->setText(text(2, "Back"));
    m_forward->setText(text(3, "Forward"));
    m_bar->setWindowTitle(text(4, "Help navigation"));
    m_bar->setAccessibleName(m_bar->windowTitle());
    if (m_pane->ViewTitle().isEmpty())
        setWindowTitle(text(5, "Help"));
    m_pane->regionView(0)->setAccessibleName(strings.text(QStringLiteral("ACCE"), 1));
    m_pane->regionView(1)->setAccessibleName(strings.text(QStringLiteral("ACCE"), 8));
    m_pane->setAccessibleName(strings.text(QStringLiteral("ACCE"), 8));
    m_pane->setPopupAccessibleName(strings.text(QStringLiteral("ACCE"), 7));
}

void HelpWindow::pageShown(int topic)
{
    setWindowTitle(m_pane->ViewTopic());
    if (m_walking)
        return;
    if (!m_seen.empty() && m_seen[m_at] == topic)
        return;
    // A new page: the pages after the one shown are forgotten, as in a browser.
    if (!m_seen.empty())
        m_seen.resize(m_at + 1);
    m_seen.push_back(topic);
    if (m_seen.size() > kMaxPagesKept)
        m_seen.erase(m_seen.begin());
    m_at = m_seen.size() - 1;
    updateButtons();
}

void HelpWindow::showPageOfHistory(size_t at)
{
    if (at >= m_seen.size())
        return;
    m_at = at;
    m_walking = true;
    m_pane->setTopicIndex(m_seen[at]);
    m_walking = false;
    updateButtons();
}

void HelpWindow::back()
{
    if (m_at > 0)
        showPageOfHistory(m_at - 1);
}

void HelpWindow::forward()
{
    showPageOfHistory(m_at + 1);
}

void HelpWindow::contents()
{
    m_pane->JumpContext(QStringLiteral("25"));
}

void HelpWindow::updateButtons()
{
    m_back->setEnabled(m_at > 0);
    m_forward->setEnabled(m_at + 1 < m_seen.size());
}

bool HelpWindow::ShowHelp()
{
    m_error.clear();
    if (m_pane->ViewTitle() != HelpFile) {
        // Another help file (the language changed): its pages start afresh,
        // with the page asked for (the home page the file opens on first
        // is not one the reader saw).
        m_seen.clear();
        m_at = 0;
        m_walking = true;
        m_pane->setViewTitle(HelpFile);
        m_walking = false;
        if (m_pane->lastError() != 0) {
            m_error = HelpFile;
            updateButtons();
            return false;
        }
    }
    if (HelpCommand == 1 && m_pane->JumpContext(HelpContext) != 0) {
        m_error = HelpFile + QStringLiteral(" (") + HelpContext + u')';
        return false;
    }
    if (m_seen.empty())
        pageShown(m_pane->TopicIndex());
    show();
    raise();
    activateWindow();
    return true;
}

} // namespace folium::app
