// One region of a topic (the non-scrolling or the scrolling one): a
// read-only rich-text view that knows the topic's hotspots, draws the
// keyboard focus frame and keeps its place as a text position.
#pragma once

#include <QHash>
#include <QImage>
#include "sanitizer.h"

#include <QSet>
#include <QTextBrowser>
#include <QTextDocument>

#include <functional>
#include <memory>
#include <vector>

namespace folium::engine {

class TitleFile;

// A document whose resources come only from the title: never from a file,
// never from the network, never from a data: URL.
class SafeTextDocument : public QTextDocument {
    Q_OBJECT
public:
    explicit SafeTextDocument(QObject *parent = nullptr);
    void setTitle(std::shared_ptr<const TitleFile> title);

    // Decodes an image of the title with a cap on its size; an image that
    // is missing, undecodable or too large gives a small grey placeholder.
    // One larger than kMaxShownSide on a side is decoded scaled down to it.
    static QImage decodeTitleImage(const QByteArray &data, int maxSide);
    static constexpr int kMaxShownSide = kMaxShownImageSide;
    // The pixels of the images one page may show, all images together;
    // past them, images show as placeholders.
    static constexpr qint64 kMaxPagePixels = kMaxPageImagePixels;
    // A new page: its images count afresh against the budget.
    void startPage();
    // Uses the images another document of the same title has decoded (a
    // popup those of its pane), and decodes into the same store.
    void shareImagesWith(const SafeTextDocument &other);

protected:
    QVariant loadResource(int type, const QUrl &name) override;

private:
    struct DecodedImages {
        QHash<QString, QImage> images;
        qint64 pixels = 0;
    };
    std::shared_ptr<const TitleFile> m_title;
    std::shared_ptr<DecodedImages> m_decoded;
    QSet<QString> m_shown; // images of this page, counted once each
    qint64 m_pagePixels = 0;
};

struct HotspotSpan {
    int ordinal = 0; // 1-based over the whole topic
    int start = 0;   // text positions in this region's document
    int end = 0;
};

class RegionView : public QTextBrowser {
    Q_OBJECT
public:
    explicit RegionView(bool scrolling, QWidget *parent = nullptr);

    SafeTextDocument *safeDocument() const { return m_doc; }

    // Shows sanitised HTML at a zoom percentage and finds its hotspots and
    // named places.
    void showHtml(const QString &html, int zoom, const QFont &baseFont);
    void clearRegion();

    const std::vector<HotspotSpan> &hotspots() const { return m_spans; }
    // Runs of text shown but no words of the index (start, end), in order.
    const std::vector<std::pair<int, int>> &unindexedRuns() const { return m_unindexed; }
    int anchorPosition(const QString &name) const { return m_anchors.value(name, -1); }
    int spanIndexOfOrdinal(int ordinal) const;

    // Keyboard focus on hotspots: -1 is none. moveFocus runs through every
    // hotspot and then to none, in a cycle.
    int focusIndex() const { return m_focus; }
    void setFocusIndex(int index);
    void moveFocus(int direction);
    QRect spanRect(int spanIndex) const; // viewport coordinates
    // Where a click takes the hotspot: its rectangle, at least a square of
    // its line's height.
    QRect targetRect(int spanIndex) const;
    // The hotspot whose target holds a point of the viewport, or -1.
    int hotspotNear(const QPoint &viewportPos) const;

    // The place in the text shown at the top, kept across zoom and resize.
    int topPosition() const { return m_topPos; }
    void scrollToPosition(int pos);
    void ensureSpanVisible(int spanIndex);
    void ensurePositionVisible(int pos);

    int contentHeight() const;

signals:
    void hotspotActivated(int ordinal);
    // The hotspot under the pointer changed: its number, or 0 for none.
    void hotspotHovered(int ordinal);

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void leaveEvent(QEvent *e) override;
    bool focusNextPrevChild(bool next) override;

private:
    void applyZoom(int zoom);
    void setHovered(int ordinal);
    void indexAnchors();
    void findUnindexed(const QString &html);
    void restoreTop();
    int positionAtTop() const;

    SafeTextDocument *m_doc;
    bool m_scrolling;
    std::vector<HotspotSpan> m_spans;
    std::vector<std::pair<int, int>> m_unindexed;
    QHash<QString, int> m_anchors;
    int m_focus = -1;
    int m_pressSpan = -1; // the hotspot near the last left press
    int m_hovered = 0;    // the hotspot under the pointer
    int m_topPos = 0;
    bool m_restoring = false;
};

} // namespace folium::engine
