#include "topicview.h"

#include "colors.h"
#include "engine_errors.h"
#include "popup_window.h"
#include "region_view.h"
#include "sanitizer.h"
#include "title_schema.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

namespace folium::engine {

namespace {

// The button and the modifiers of a mouse event as the pane's mouse signals
// give them: 1 left, 2 right, 4 middle; the sum of 1 Shift, 2 Ctrl, 4 Alt.
int buttonNumber(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int modifierNumber(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

} // namespace

TopicView::TopicView(QWidget *parent)
    : QFrame(parent), m_nsr(new RegionView(false)), m_separator(new QFrame), m_sr(new RegionView(true)),
      m_viewer(new QWidget(this))
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_viewer);
    auto *lay = new QVBoxLayout(m_viewer);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    lay->addWidget(m_nsr);
    lay->addWidget(m_separator);
    lay->addWidget(m_sr, 1);
    m_viewer->setObjectName(QStringLiteral("TopicViewer"));
    m_nsr->setObjectName(QStringLiteral("NSR"));
    m_sr->setObjectName(QStringLiteral("SR"));
    m_separator->setFrameShape(QFrame::HLine);
    m_separator->setFrameShadow(QFrame::Plain);
    m_separator->setFixedHeight(1);
    applyPalette();
    m_nsr->hide();
    m_separator->hide();
    setBorderStyle(1);
    for (RegionView *r : {m_nsr, m_sr}) {
        r->viewport()->installEventFilter(this);
        const int region = r == m_nsr ? 0 : 1;
        connect(r, &RegionView::hotspotHovered, this, [this](int ordinal) {
            const auto h = std::find_if(m_stored.begin(), m_stored.end(),
                                        [ordinal](const StoredHotspot &s) { return s.ordinal == ordinal; });
            if (ordinal == 0 || h == m_stored.end())
                emit HotspotHovered(-1, QString());
            else
                emit HotspotHovered(h->kind, h->target);
        });
        connect(r, &RegionView::hotspotActivated, this, [this, region](int ordinal) {
            Q_UNUSED(region);
            if (m_topic)
                activateHotspot(m_topic->index, ordinal);
        });
    }
    connect(qApp, &QApplication::focusChanged, this, &TopicView::onFocusChanged);
}

TopicView::~TopicView()
{
    // The child widgets are destroyed after this body, and their losing the
    // focus must not reach a half-destroyed pane.
    disconnect(qApp, nullptr, this, nullptr);
}

int TopicView::fail(int err)
{
    m_err = err;
    return err;
}

QFont TopicView::baseFont() const
{
    QFont f;
    f.setFamilies({QStringLiteral("Noto Serif"), QStringLiteral("DejaVu Serif"), QStringLiteral("Liberation Serif"),
                   QStringLiteral("Times New Roman"), QStringLiteral("serif")});
    f.setStyleHint(QFont::Serif);
    f.setPointSizeF(12);
    return f;
}

RegionView *TopicView::regionView(int region) const
{
    return region == 0 ? m_nsr : region == 1 ? m_sr : nullptr;
}

QWidget *TopicView::GetViewerWindow() const
{
    return m_viewer;
}

// ---------------------------------------------------------------------------
// Title and topic

QString TopicView::ViewTitle() const
{
    return m_title ? m_title->path() : QString();
}

void TopicView::setViewTitle(const QString &path)
{
    m_err = kErrNone;
    if (path.isEmpty()) {
        PopupTopic(-1);
        m_title.reset();
        m_topic.reset();
        m_stored.clear();
        m_nsrHtml.clear();
        m_srHtml.clear();
        m_nsr->clearRegion();
        m_sr->clearRegion();
        m_nsr->safeDocument()->setTitle(nullptr);
        m_sr->safeDocument()->setTitle(nullptr);
        m_search.reset();
        m_highlights[0].clear();
        m_highlights[1].clear();
        m_nsr->hide();
        m_separator->hide();
        return;
    }
    std::shared_ptr<TitleFile> t;
    // Assigning the title that is already open (the program copies the main
    // pane's title to the others at every note) does not reopen the file.
    if (m_title && QFileInfo(m_title->path()) == QFileInfo(path) &&
        QFileInfo(path).lastModified() == QFileInfo(m_title->path()).lastModified())
        t = m_title;
    else
        t = TitleFile::open(path);
    if (!t) {
        fail(kErrBadTitle);
        return;
    }
    PopupTopic(-1);
    if (t != m_title)
        m_search = std::make_unique<TitleSearch>(t);
    m_title = std::move(t);
    m_nsr->safeDocument()->setTitle(m_title);
    m_sr->safeDocument()->setTitle(m_title);
    m_topic.reset();
    if (showTopic(m_title->homeTopic(), QString(), std::nullopt) != kErrNone)
        fail(kErrBadTitle);
}

QString TopicView::ViewTopic() const
{
    return m_topic ? m_topic->title : QString();
}
int TopicView::TopicIndex() const
{
    return m_topic ? m_topic->index : -1;
}
long TopicView::TopicVA() const
{
    return m_topic ? long(m_topic->va) : 0;
}
long TopicView::TopicScroll() const
{
    return m_topic ? m_sr->topPosition() : 0;
}
QString TopicView::TopicData() const
{
    return m_topic ? m_topic->data : QString();
}

void TopicView::setTopicIndex(int index)
{
    m_err = kErrNone;
    if (!m_title) {
        fail(kErrNoTitle);
        return;
    }
    showTopic(index, QString(), std::nullopt);
}

int TopicView::showTopic(int index, const QString &anchor, std::optional<int> scroll)
{
    if (!m_title)
        return fail(kErrNoTitle);
    if (!m_topic || m_topic->index != index) {
        auto rec = m_title->topic(index);
        if (!rec)
            return fail(kErrNoTopic);
        m_topic = std::move(rec);
        m_stored = m_title->hotspots(index);
        m_nsrHtml = sanitizeTopicHtml(m_topic->nsr, m_limits);
        m_srHtml = sanitizeTopicHtml(m_topic->sr, m_limits);
        render();
        updateHighlights();
    }
    if (scroll)
        m_sr->scrollToPosition(*scroll);
    else if (!anchor.isEmpty())
        placeAnchor(anchor);
    else
        m_sr->scrollToPosition(0);
    m_err = kErrNone;
    emit TopicChanged(index);
    return kErrNone;
}

void TopicView::render()
{
    const QFont f = baseFont();
    const bool hasNsr = !m_nsrHtml.trimmed().isEmpty();
    if (hasNsr)
        m_nsr->showHtml(m_nsrHtml, m_zoom, f);
    else
        m_nsr->clearRegion();
    m_nsr->setVisible(hasNsr);
    m_separator->setVisible(hasNsr && m_screenSeparator);
    m_sr->showHtml(m_srHtml, m_zoom, f);
    updateNsrHeight();
}

void TopicView::updateNsrHeight()
{
    if (!m_nsr->isVisibleTo(this))
        return;
    const int w = std::max(50, m_viewer->width());
    m_nsr->document()->setTextWidth(w);
    m_nsr->setFixedHeight(m_nsr->contentHeight() + 2);
}

void TopicView::resizeEvent(QResizeEvent *e)
{
    QFrame::resizeEvent(e);
    updateNsrHeight();
}

void TopicView::placeAnchor(const QString &anchor)
{
    m_sr->scrollToPosition(0);
    if (anchor.startsWith(u"hs:")) {
        const int ordinal = anchor.mid(3).toInt();
        const int i = m_sr->spanIndexOfOrdinal(ordinal);
        if (i >= 0)
            m_sr->ensureSpanVisible(i);
        return;
    }
    const int pos = m_sr->anchorPosition(anchor);
    if (pos >= 0)
        m_sr->scrollToPosition(pos);
}

int TopicView::JumpContext(const QString &context)
{
    if (!m_title)
        return fail(kErrNoContext);
    const auto target = m_title->context(context);
    if (!target)
        return fail(kErrNoContext);
    return showTopic(target->topic, target->anchor, std::nullopt);
}

int TopicView::JumpToAddress(long address, long scroll)
{
    if (!m_title)
        return fail(kErrNoTitle);
    const auto index = m_title->topicAtAddress(uint32_t(address));
    if (!index)
        return fail(kErrNoTopic);
    return showTopic(*index, QString(), int(std::max(0L, scroll)));
}

int TopicView::GoHome()
{
    if (!m_title)
        return fail(kErrNoTitle);
    return showTopic(m_title->homeTopic(), QString(), std::nullopt);
}

int TopicView::BrowsePrevious()
{
    if (!m_title || !m_topic)
        return fail(kErrNoTitle);
    const auto prev = m_title->browseNeighbour(m_topic->index, -1);
    if (!prev)
        return fail(kErrNoTopic);
    return showTopic(*prev, QString(), std::nullopt);
}

int TopicView::BrowseNext()
{
    if (!m_title || !m_topic)
        return fail(kErrNoTitle);
    const auto next = m_title->browseNeighbour(m_topic->index, +1);
    if (!next)
        return fail(kErrNoTopic);
    return showTopic(*next, QString(), std::nullopt);
}

bool TopicView::HasPreviousBrowseTopic() const
{
    return m_title && m_topic && m_title->browseNeighbour(m_topic->index, -1).has_value();
}

bool TopicView::HasNextBrowseTopic() const
{
    return m_title && m_topic && m_title->browseNeighbour(m_topic->index, +1).has_value();
}

// ---------------------------------------------------------------------------
// Look

void TopicView::setFontZoom(int percent)
{
    m_err = kErrNone;
    percent = std::clamp(percent, 10, 400);
    if (percent == m_zoom)
        return;
    m_zoom = percent;
    if (!m_topic)
        return;
    // Re-flow at the new size and keep the reader's place and hotspot focus.
    const int top = m_sr->topPosition();
    const int focusNsr = m_nsr->focusIndex();
    const int focusSr = m_sr->focusIndex();
    render();
    drawHighlights(0);
    drawHighlights(1);
    m_sr->scrollToPosition(top);
    m_nsr->setFocusIndex(focusNsr);
    if (focusSr >= 0) {
        m_sr->setFocusIndex(focusSr);
        m_sr->scrollToPosition(top);
        m_sr->ensureSpanVisible(focusSr);
    }
}

int TopicView::NSRHeight() const
{
    if (!m_nsr->isVisibleTo(this))
        return 0;
    return m_nsr->height() + (m_separator->isVisibleTo(this) ? m_separator->height() : 0);
}

void TopicView::setScreenSeparatorLine(bool on)
{
    m_screenSeparator = on;
    m_separator->setVisible(on && m_nsr->isVisibleTo(this));
}

void TopicView::setBorderStyle(int style)
{
    m_borderStyle = style;
    setFrameShape(style == 0 ? QFrame::NoFrame : QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
}

void TopicView::applyPalette()
{
    // The heading region is set off from the page by a tint: parchment on
    // a light page, a lighter shade on a dark one.
    QPalette pal = palette();
    const QColor page = pal.color(QPalette::Base);
    pal.setColor(QPalette::Base, page.lightness() > 128 ? QColor(0xF4, 0xF0, 0xE6) : page.lighter(135));
    pal.setColor(QPalette::Text, readableOn(pal.color(QPalette::Base), pal.color(QPalette::Text)));
    m_nsr->setPalette(pal);
}

void TopicView::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_nsr)
        applyPalette();
}

void TopicView::setBackColorPopup(long bgr)
{
    m_popupColor = bgr & 0xFFFFFF;
}

// ---------------------------------------------------------------------------
// Popups

int TopicView::PopupTopic(int index)
{
    m_err = kErrNone;
    if (index == -1) {
        if (m_popup)
            m_popup->close();
        return kErrNone;
    }
    if (!m_title)
        return fail(kErrNoTitle);
    const auto rec = m_title->topic(index);
    if (!rec)
        return fail(kErrNoTopic);
    if (m_popup)
        m_popup->close();
    QString html = sanitizeTopicHtml(rec->nsr, m_limits);
    const QString sr = sanitizeTopicHtml(rec->sr, m_limits);
    if (!html.trimmed().isEmpty() && !sr.trimmed().isEmpty())
        html += QStringLiteral("<hr>");
    html += sr;
    m_popup = new PopupWindow(this, index, html, colorFromBgr(m_popupColor), m_zoom, baseFont());
    // Near the pointer when it is over the pane's window (the click that
    // asked for the popup); otherwise near the pane's own corner. A pane
    // that only draws popups is hidden but keeps its place in the window.
    const QPoint cursor = QCursor::pos();
    const QWidget *win = window();
    const QRect area = win ? QRect(win->mapToGlobal(QPoint(0, 0)), win->size()) : QRect();
    m_popup->showNear(area.contains(cursor) ? cursor : mapToGlobal(QPoint(40, 60)));
    return kErrNone;
}

bool TopicView::isPopupOpen() const
{
    return m_popup && m_popup->isVisible();
}
QWidget *TopicView::popupWindow() const
{
    return m_popup;
}

// ---------------------------------------------------------------------------
// Hotspots

void TopicView::activateHotspot(int topicIndex, int ordinal)
{
    if (!m_title)
        return;
    std::optional<StoredHotspot> hs;
    const std::vector<StoredHotspot> other =
        m_topic && topicIndex == m_topic->index ? std::vector<StoredHotspot>() : m_title->hotspots(topicIndex);
    const auto &list = m_topic && topicIndex == m_topic->index ? m_stored : other;
    for (const StoredHotspot &h : list)
        if (h.ordinal == ordinal)
            hs = h;
    if (!hs)
        return;
    // The handlers may change the topic or close the title: keep what the
    // engine's own action needs before raising the event.
    const std::shared_ptr<TitleFile> title = m_title;
    const StoredHotspot h = *hs;
    bool cancel = false;
    switch (h.kind) {
    case HotspotCode: emit HotspotClicked(HotspotCode, HotspotTarget{h.target.toLatin1(), 0}, &cancel); break;
    case HotspotPopup:
        emit HotspotClicked(HotspotPopup, HotspotTarget{{}, h.id}, &cancel);
        if (!cancel && m_title == title) {
            if (const auto target = title->context(h.target))
                PopupTopic(target->topic);
        }
        break;
    case HotspotJump:
        emit HotspotClicked(HotspotJump, HotspotTarget{{}, h.id}, &cancel);
        if (!cancel && m_title == title) {
            PopupTopic(-1);
            if (const auto target = title->contextById(h.id))
                showTopic(target->topic, target->anchor, std::nullopt);
        }
        break;
    default: break;
    }
}

// ---------------------------------------------------------------------------
// Events

bool TopicView::eventFilter(QObject *watched, QEvent *event)
{
    const bool nsr = watched == m_nsr->viewport();
    const bool sr = watched == m_sr->viewport();
    if ((nsr || sr) && event->type() == QEvent::ContextMenu) {
        // The pane has no menu of its own: the program shows its menu on the
        // right button's press. The menu key is passed on as that press.
        auto *ce = static_cast<QContextMenuEvent *>(event);
        if (ce->reason() != QContextMenuEvent::Mouse) {
            const int s = modifierNumber(ce->modifiers());
            if (nsr)
                emit MouseDownNSR(2, s, ce->pos().x(), ce->pos().y());
            else
                emit MouseDownSR(2, s, ce->pos().x(), ce->pos().y());
        }
        return true;
    }
    if ((nsr || sr) && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
        auto *me = static_cast<QMouseEvent *>(event);
        const int b = buttonNumber(me->button());
        const int s = modifierNumber(me->modifiers());
        const int x = int(me->position().x());
        const int y = int(me->position().y());
        if (event->type() == QEvent::MouseButtonPress) {
            if (nsr)
                emit MouseDownNSR(b, s, x, y);
            else
                emit MouseDownSR(b, s, x, y);
        } else {
            if (nsr)
                emit MouseUpNSR(b, s, x, y);
            else
                emit MouseUpSR(b, s, x, y);
        }
    }
    return QFrame::eventFilter(watched, event);
}

void TopicView::onFocusChanged(QWidget *old, QWidget *now)
{
    const auto inside = [this](QWidget *w) { return w && (w == this || isAncestorOf(w)); };
    const bool was = inside(old);
    const bool is = inside(now);
    if (!was && is)
        emit GotFocus();
    else if (was && !is)
        emit LostFocus();
}

} // namespace folium::engine
