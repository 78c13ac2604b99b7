#include "region_view.h"
#include "view_accessible.h"

#include "title_file.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFragment>
#include <QTextLayout>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <utility>

namespace folium::engine {

namespace {
constexpr int kMaxImageSide = 4096;
constexpr qint64 kMaxImagePixels = 16LL * 1024 * 1024;
} // namespace

SafeTextDocument::SafeTextDocument(QObject *parent) : QTextDocument(parent) {}

void SafeTextDocument::setTitle(std::shared_ptr<const TitleFile> title)
{
    m_title = std::move(title);
    m_decoded = std::make_shared<DecodedImages>();
    startPage();
}

void SafeTextDocument::shareImagesWith(const SafeTextDocument &other)
{
    if (other.m_title == m_title)
        m_decoded = other.m_decoded;
}

void SafeTextDocument::startPage()
{
    m_shown.clear();
    m_pagePixels = 0;
}

namespace {

// The size an image will be shown at, from its header alone; invalid when
// it is not an image the reader shows.
QSize shownSize(const QByteArray &data, int maxSide)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    if (format != "png" && format != "jpeg" && format != "gif" && format != "bmp")
        return {};
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > maxSide || size.height() > maxSide ||
        qint64(size.width()) * size.height() > kMaxImagePixels)
        return {};
    if (size.width() > SafeTextDocument::kMaxShownSide || size.height() > SafeTextDocument::kMaxShownSide)
        return size.scaled(SafeTextDocument::kMaxShownSide, SafeTextDocument::kMaxShownSide, Qt::KeepAspectRatio);
    return size;
}

QImage placeholderImage()
{
    QImage placeholder(16, 16, QImage::Format_RGB32);
    placeholder.fill(QColor(0xcc, 0xcc, 0xcc));
    return placeholder;
}

} // namespace

QImage SafeTextDocument::decodeTitleImage(const QByteArray &data, int maxSide)
{
    // Refused before decoding: the header's claim is what would be allocated.
    const QSize size = data.isEmpty() ? QSize() : shownSize(data, maxSide);
    if (!size.isValid())
        return placeholderImage();
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(64);
    if (size != reader.size())
        reader.setScaledSize(size);
    QImage img = reader.read();
    return img.isNull() ? placeholderImage() : img;
}

QVariant SafeTextDocument::loadResource(int type, const QUrl &name)
{
    if (type != QTextDocument::ImageResource)
        return QVariant(QByteArray());
    const QString key = name.toString();
    const bool counted = m_shown.contains(key);
    if (!m_decoded)
        m_decoded = std::make_shared<DecodedImages>();
    auto it = m_decoded->images.constFind(key);
    QImage img;
    if (it != m_decoded->images.constEnd()) {
        img = *it;
    } else {
        const QByteArray data = m_title ? m_title->image(key) : QByteArray();
        // An image past the page's budget is not even decoded.
        const QSize size = data.isEmpty() ? QSize() : shownSize(data, kMaxImageSide);
        if (!counted && size.isValid() && m_pagePixels + qint64(size.width()) * size.height() > kMaxPagePixels) {
            m_pagePixels = kMaxPagePixels;
            return placeholderImage();
        }
        img = decodeTitleImage(data, kMaxImageSide);
        // Images decoded are kept for the next pages and the popups, within
        // twice a page's budget; past it the kept ones are let go.
        const qint64 pixels = qint64(img.width()) * img.height();
        if (m_decoded->pixels + pixels > 2 * kMaxPagePixels) {
            m_decoded->images.clear();
            m_decoded->pixels = 0;
        }
        m_decoded->images.insert(key, img);
        m_decoded->pixels += pixels;
    }
    if (!counted) {
        const qint64 pixels = qint64(img.width()) * img.height();
        if (m_pagePixels + pixels > kMaxPagePixels) {
            m_pagePixels = kMaxPagePixels;
            return placeholderImage();
        }
        m_pagePixels += pixels;
        m_shown.insert(key);
    }
    return img;
}

RegionView::RegionView(bool scrolling, QWidget *parent)
    : QTextBrowser(parent), m_doc(new SafeTextDocument(this)), m_scrolling(scrolling)
{
    installViewAccessibility();
    m_doc->setDocumentMargin(10);
    setDocument(m_doc);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse);
    setFrameShape(QFrame::NoFrame);
    if (!scrolling) {
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
        const QString s = url.toString();
        if (s.startsWith(u"hs:"))
            emit hotspotActivated(s.mid(3).toInt());
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!m_restoring)
            m_topPos = positionAtTop();
    });
}

void RegionView::showHtml(const QString &html, int zoom, const QFont &baseFont)
{
    m_restoring = true;
    QFont f = baseFont;
    f.setPointSizeF(baseFont.pointSizeF() * zoom / 100.0);
    m_doc->setDefaultFont(f);
    m_doc->startPage();
    m_doc->setHtml(html);
    applyZoom(zoom);
    indexAnchors();
    findUnindexed(html);
    setHovered(0);
    m_focus = -1;
    m_topPos = 0;
    verticalScrollBar()->setValue(0);
    m_restoring = false;
    viewport()->update();
}

void RegionView::clearRegion()
{
    setHovered(0);
    m_restoring = true;
    m_doc->clear();
    m_spans.clear();
    m_anchors.clear();
    m_unindexed.clear();
    m_focus = -1;
    m_topPos = 0;
    m_restoring = false;
}

void RegionView::applyZoom(int zoom)
{
    if (zoom == 100)
        return;
    const double k = zoom / 100.0;
    struct Change {
        int pos, len;
        QTextCharFormat fmt;
    };
    std::vector<Change> changes;
    for (QTextBlock b = m_doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            QTextCharFormat cf = frag.charFormat();
            bool changed = false;
            if (cf.hasProperty(QTextFormat::FontPointSize)) {
                cf.setFontPointSize(cf.fontPointSize() * k);
                changed = true;
            }
            if (cf.hasProperty(QTextFormat::FontPixelSize)) {
                cf.setProperty(QTextFormat::FontPixelSize,
                               std::max(1, int(std::lround(cf.intProperty(QTextFormat::FontPixelSize) * k))));
                changed = true;
            }
            if (cf.isImageFormat()) {
                QTextImageFormat img = cf.toImageFormat();
                if (img.width() > 0)
                    img.setWidth(img.width() * k);
                if (img.height() > 0)
                    img.setHeight(img.height() * k);
                cf = img;
                changed = true;
            }
            if (changed)
                changes.push_back({frag.position(), frag.length(), cf});
        }
    }
    QTextCursor c(m_doc);
    for (const Change &ch : changes) {
        c.setPosition(ch.pos);
        c.setPosition(ch.pos + ch.len, QTextCursor::KeepAnchor);
        c.setCharFormat(ch.fmt);
    }
}

void RegionView::indexAnchors()
{
    m_spans.clear();
    m_anchors.clear();
    for (QTextBlock b = m_doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QTextCharFormat cf = frag.charFormat();
            if (!cf.isAnchor())
                continue;
            for (const QString &name : cf.anchorNames())
                if (!m_anchors.contains(name))
                    m_anchors.insert(name, frag.position());
            const QString href = cf.anchorHref();
            if (!href.startsWith(u"hs:"))
                continue;
            const int ordinal = href.mid(3).toInt();
            if (!m_spans.empty() && m_spans.back().ordinal == ordinal && m_spans.back().end == frag.position())
                m_spans.back().end = frag.position() + frag.length();
            else
                m_spans.push_back({ordinal, frag.position(), frag.position() + frag.length()});
        }
    }
}

void RegionView::findUnindexed(const QString &html)
{
    m_unindexed.clear();
    const QString mark = QLatin1String(kUnindexedMark);
    if (!html.contains(QStringLiteral("title=\"%1\"").arg(mark)))
        return;
    for (QTextBlock b = m_doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (frag.charFormat().toolTip() != mark)
                continue;
            const int start = frag.position(), end = frag.position() + frag.length();
            if (!m_unindexed.empty() && m_unindexed.back().second == start)
                m_unindexed.back().second = end;
            else
                m_unindexed.push_back({start, end});
        }
    }
    // The mark is for the reader, not a tooltip to show.
    QTextCharFormat plain;
    plain.setToolTip(QString());
    // One edit for all of them: the page is laid out again once, not once
    // a run (an index page has a run in each of its links).
    QTextCursor c(m_doc);
    c.beginEditBlock();
    for (const auto &[start, end] : m_unindexed) {
        c.setPosition(start);
        c.setPosition(end, QTextCursor::KeepAnchor);
        c.mergeCharFormat(plain);
    }
    c.endEditBlock();
}

int RegionView::spanIndexOfOrdinal(int ordinal) const
{
    for (size_t i = 0; i < m_spans.size(); ++i)
        if (m_spans[i].ordinal == ordinal)
            return int(i);
    return -1;
}

void RegionView::setFocusIndex(int index)
{
    m_focus = index >= 0 && index < int(m_spans.size()) ? index : -1;
    if (m_focus >= 0)
        ensureSpanVisible(m_focus);
    viewport()->update();
}

void RegionView::moveFocus(int direction)
{
    const int n = int(m_spans.size());
    if (n == 0) {
        m_focus = -1;
        return;
    }
    // The cycle is: none, 1, 2, ..., n, none, ...
    int k = m_focus + 1; // 0 = none
    k = direction < 0 ? (k + n) % (n + 1) : (k + 1) % (n + 1);
    setFocusIndex(k - 1);
}

QRect RegionView::spanRect(int spanIndex) const
{
    if (spanIndex < 0 || spanIndex >= int(m_spans.size()))
        return {};
    const HotspotSpan &s = m_spans[size_t(spanIndex)];
    QTextCursor c(m_doc);
    c.setPosition(s.start);
    const QRect a = cursorRect(c);
    c.setPosition(s.end);
    const QRect b = cursorRect(c);
    if (a.top() == b.top())
        return QRect(a.topLeft(), QPoint(std::max(b.left(), a.left() + 4), a.bottom()));
    return QRect(a.topLeft(), QPoint(viewport()->width() - 2, a.bottom()));
}

int RegionView::positionAtTop() const
{
    const QPointF p(0, verticalScrollBar()->value() + 1);
    const int pos = m_doc->documentLayout()->hitTest(p, Qt::FuzzyHit);
    return std::max(0, pos);
}

void RegionView::scrollToPosition(int pos)
{
    pos = std::clamp(pos, 0, std::max(0, m_doc->characterCount() - 1));
    const QTextBlock b = m_doc->findBlock(pos);
    int y = 0;
    if (b.isValid()) {
        const QRectF br = m_doc->documentLayout()->blockBoundingRect(b);
        const QTextLine line = b.layout()->lineForTextPosition(pos - b.position());
        y = int(br.top() + (line.isValid() ? line.y() : 0));
    }
    // The first line keeps the page's top margin in view.
    if (y <= m_doc->documentMargin())
        y = 0;
    m_restoring = true;
    verticalScrollBar()->setValue(y);
    m_restoring = false;
    m_topPos = pos;
}

void RegionView::restoreTop()
{
    const int keep = m_topPos;
    scrollToPosition(keep);
}

void RegionView::ensureSpanVisible(int spanIndex)
{
    if (!m_scrolling || spanIndex < 0 || spanIndex >= int(m_spans.size()))
        return;
    ensurePositionVisible(m_spans[size_t(spanIndex)].start);
}

void RegionView::ensurePositionVisible(int pos)
{
    if (!m_scrolling)
        return;
    QTextCursor c(m_doc);
    c.setPosition(std::clamp(pos, 0, std::max(0, m_doc->characterCount() - 1)));
    const QRect r = cursorRect(c);
    const int h = viewport()->height();
    if (r.top() >= 0 && r.bottom() <= h)
        return;
    verticalScrollBar()->setValue(verticalScrollBar()->value() + r.top() - h / 3);
}

int RegionView::contentHeight() const
{
    return int(std::ceil(m_doc->size().height()));
}

void RegionView::paintEvent(QPaintEvent *e)
{
    QTextBrowser::paintEvent(e);
    if (m_focus < 0)
        return;
    // The focused hotspot: a solid frame in the palette's highlight colour
    // over a light wash of it, plain in light and dark palettes alike.
    QPainter p(viewport());
    p.setRenderHint(QPainter::Antialiasing);
    QColor wash = palette().color(QPalette::Highlight);
    wash.setAlpha(60);
    const QRectF r = QRectF(spanRect(m_focus)).adjusted(-2, -1, 2, 1);
    p.setBrush(wash);
    p.setPen(QPen(palette().color(QPalette::Highlight), 2));
    p.drawRoundedRect(r, 2, 2);
}

QRect RegionView::targetRect(int spanIndex) const
{
    // A hotspot's target is at least as wide as its line is high, centred on
    // it: a note call's label is a small superscript, hard to hit.
    QRect r = spanRect(spanIndex);
    if (r.isNull())
        return r;
    const int side = std::max(r.height(), 12);
    if (r.width() < side)
        r.adjust(-(side - r.width()) / 2, 0, (side - r.width() + 1) / 2, 0);
    return r;
}

int RegionView::hotspotNear(const QPoint &viewportPos) const
{
    if (m_spans.empty())
        return -1;
    const QPointF docPos(viewportPos.x() + horizontalScrollBar()->value(),
                         viewportPos.y() + verticalScrollBar()->value());
    const int pos = m_doc->documentLayout()->hitTest(docPos, Qt::FuzzyHit);
    if (pos < 0)
        return -1;
    // The spans in order of their start; the few around the position.
    auto it = std::lower_bound(m_spans.begin(), m_spans.end(), pos + 2,
                               [](const HotspotSpan &s, int p) { return s.start < p; });
    for (int k = 0; k < 3 && it != m_spans.begin(); ++k) {
        --it;
        const int i = int(it - m_spans.begin());
        if (it->end + 1 >= pos && targetRect(i).contains(viewportPos))
            return i;
    }
    return -1;
}

void RegionView::mousePressEvent(QMouseEvent *e)
{
    m_pressSpan = e->button() == Qt::LeftButton && anchorAt(e->position().toPoint()).isEmpty()
                      ? hotspotNear(e->position().toPoint())
                      : -1;
    QTextBrowser::mousePressEvent(e);
}

void RegionView::mouseMoveEvent(QMouseEvent *e)
{
    QTextBrowser::mouseMoveEvent(e);
    const QPoint p = e->position().toPoint();
    const QString anchor = anchorAt(p);
    int ordinal = anchor.startsWith(u"hs:") ? anchor.mid(3).toInt() : 0;
    if (anchor.isEmpty()) {
        const int near = hotspotNear(p);
        if (near >= 0) {
            ordinal = m_spans[size_t(near)].ordinal;
            if (e->buttons() == Qt::NoButton)
                viewport()->setCursor(Qt::PointingHandCursor);
        }
    }
    setHovered(ordinal);
}

void RegionView::leaveEvent(QEvent *e)
{
    setHovered(0);
    QTextBrowser::leaveEvent(e);
}

void RegionView::setHovered(int ordinal)
{
    if (ordinal == m_hovered)
        return;
    m_hovered = ordinal;
    emit hotspotHovered(ordinal);
}

void RegionView::mouseReleaseEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    const int near = e->button() == Qt::LeftButton && anchorAt(p).isEmpty() ? hotspotNear(p) : -1;
    const int pressed = std::exchange(m_pressSpan, -1);
    QTextBrowser::mouseReleaseEvent(e);
    // A click close to a hotspot, begun and ended there, is a click on it.
    if (near >= 0 && near == pressed && !textCursor().hasSelection())
        emit hotspotActivated(m_spans[size_t(near)].ordinal);
}

void RegionView::resizeEvent(QResizeEvent *e)
{
    QTextBrowser::resizeEvent(e);
    if (m_scrolling)
        restoreTop();
}

void RegionView::showEvent(QShowEvent *e)
{
    // A text view scrolls its cursor into sight when first shown; the place
    // in the topic stays where the program put it.
    const bool restoring = m_restoring;
    m_restoring = true;
    QTextBrowser::showEvent(e);
    m_restoring = restoring;
    if (m_scrolling)
        restoreTop();
}

void RegionView::keyPressEvent(QKeyEvent *e)
{
    QScrollBar *sb = verticalScrollBar();
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_focus >= 0) {
            emit hotspotActivated(m_spans[size_t(m_focus)].ordinal);
            return;
        }
        break;
    case Qt::Key_Down: sb->setValue(sb->value() + sb->singleStep()); return;
    case Qt::Key_Up: sb->setValue(sb->value() - sb->singleStep()); return;
    case Qt::Key_PageDown: sb->setValue(sb->value() + sb->pageStep()); return;
    case Qt::Key_PageUp: sb->setValue(sb->value() - sb->pageStep()); return;
    case Qt::Key_Home: sb->setValue(sb->minimum()); return;
    case Qt::Key_End: sb->setValue(sb->maximum()); return;
    default: break;
    }
    QTextBrowser::keyPressEvent(e);
}

bool RegionView::focusNextPrevChild(bool next)
{
    if (m_spans.empty())
        return QWidget::focusNextPrevChild(next);
    moveFocus(next ? 1 : -1);
    if (m_focus < 0)
        return QWidget::focusNextPrevChild(next);
    return true;
}

} // namespace folium::engine
