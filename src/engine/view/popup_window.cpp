#include "popup_window.h"

#include "colors.h"

#include "region_view.h"
#include "title_file.h"
#include "topicview.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace folium::engine {

PopupWindow::PopupWindow(TopicView *owner, int topicIndex, const QString &html, const QColor &background, int zoom,
                         const QFont &font)
    : QFrame(owner, Qt::Tool | Qt::FramelessWindowHint), m_view(new RegionView(true, this)), m_topic(topicIndex)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::Box);
    setObjectName(QStringLiteral("TopicPopup"));
    setAccessibleName(owner->popupAccessibleName());
    m_view->setAccessibleName(owner->popupAccessibleName());
    // A press of the mouse outside the popup closes it, as a menu's would.
    qApp->installEventFilter(this);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(1, 1, 1, 1);
    lay->addWidget(m_view);
    // The popup's colour is the reader's choice; its text stays readable on
    // it whatever the desktop's palette.
    QPalette pal = m_view->palette();
    pal.setColor(QPalette::Base, background);
    pal.setColor(QPalette::Text, readableOn(background, pal.color(QPalette::Text)));
    m_view->setPalette(pal);
    // Links take the desktop's link colour unless it is too faint there.
    const QColor link = QGuiApplication::palette().color(QPalette::Link);
    const QColor readableLink = contrastRatio(background, link) >= 3 ? link
                                : background.lightness() > 128       ? QColor(0x1A, 0x4F, 0x9C)
                                                                     : QColor(0x9E, 0xC5, 0xFF);
    m_view->document()->setDefaultStyleSheet(QStringLiteral("a { color: %1; }").arg(readableLink.name()));
    m_view->safeDocument()->setTitle(owner->titleFile());
    m_view->safeDocument()->shareImagesWith(*owner->regionView(1)->safeDocument());
    m_view->showHtml(html, zoom, font);
    connect(m_view, &RegionView::hotspotActivated, owner,
            [owner, topicIndex](int ordinal) { owner->activateHotspot(topicIndex, ordinal); });
}

void PopupWindow::showNear(const QPoint &globalPos)
{
    QScreen *screen = QGuiApplication::screenAt(globalPos);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int w = std::min(520, std::max(240, avail.width() / 2));
    m_view->document()->setTextWidth(w - 2 * m_view->document()->documentMargin());
    const int h = std::min(avail.height() / 2, m_view->contentHeight() + 8);
    resize(w, std::max(40, h));
    QPoint p = globalPos + QPoint(8, 16);
    p.setX(std::clamp(p.x(), avail.left(), std::max(avail.left(), avail.right() - width())));
    p.setY(std::clamp(p.y(), avail.top(), std::max(avail.top(), avail.bottom() - height())));
    move(p);
    show();
    raise();
    activateWindow();
    m_view->setFocus(Qt::PopupFocusReason);
}

void PopupWindow::hideEvent(QHideEvent *e)
{
    QFrame::hideEvent(e);
    // The keyboard goes back to the window the popup showed over, and to
    // the control that had it there.
    QWidget *active = QApplication::activeWindow();
    if (QWidget *owner = parentWidget(); owner && (!active || active == this))
        owner->window()->activateWindow();
}

bool PopupWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
        return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || !isVisible())
        return false;
    const QPoint at = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
    if (w->window() == this && frameGeometry().contains(at))
        return false;
    // The press that closes the popup does nothing else.
    close();
    return true;
}

void PopupWindow::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QFrame::keyPressEvent(e);
}

} // namespace folium::engine
