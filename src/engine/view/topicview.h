// TopicView: the pane that shows topics of a title. A non-scrolling region
// sits above a scrolling one. Properties are read with X() and written with
// setX(v); events are signals emitted synchronously inside the call that
// causes them.
#pragma once

#include <QFrame>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "place.h"
#include "sanitizer.h"
#include "search.h"
#include "title_file.h"
#include "title_schema.h"

class QPrinter;

namespace folium::engine {

class RegionView;
class PopupWindow;
class TopicView;

// A region of a pane, as the region functions take it: the equivalent of
// the engine's region handles lpTVNSR and lpTVSR.
struct TVRegion {
    TopicView *view = nullptr;
    int region = 0; // 0 non-scrolling, 1 scrolling
};

class TopicView : public QFrame {
    Q_OBJECT
public:
    explicit TopicView(QWidget *parent = nullptr);
    ~TopicView() override;

    // Error of the last call (0 when it succeeded).
    int lastError() const { return m_err; }

    // --- Title and topic -------------------------------------------------
    QString ViewTitle() const;
    void setViewTitle(const QString &path);
    QString ViewTopic() const;
    int TopicIndex() const;
    void setTopicIndex(int index);
    long TopicVA() const;
    long TopicScroll() const;
    QString TopicData() const;
    // The place shown (its topic, address and scroll), and back to one.
    Place place() const { return {TopicIndex(), TopicVA(), TopicScroll()}; }
    int goTo(const Place &p) { return JumpToAddress(p.address, p.scroll); }

    int JumpContext(const QString &context);
    int JumpToAddress(long address, long scroll);
    int GoHome();
    int BrowsePrevious();
    int BrowseNext();
    bool HasPreviousBrowseTopic() const;
    bool HasNextBrowseTopic() const;

    // --- Look --------------------------------------------------------------
    int FontZoom() const { return m_zoom; }
    void setFontZoom(int percent);
    int NSRHeight() const;
    bool ScreenSeparatorLine() const { return m_screenSeparator; }
    void setScreenSeparatorLine(bool on);
    int BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int style);
    long BackColorPopup() const { return m_popupColor; }
    void setBackColorPopup(long bgr);

protected:
    void changeEvent(QEvent *event) override;

public:
    // The note shown where a page was cut short because it holds more than
    // the reader lays out (in the interface language).
    void setCutNotice(const QString &text) { m_limits.cutNotice = text; }

    // --- Popups ------------------------------------------------------------
    // Shows a topic in a popup window over the pane; −1 closes it.
    int PopupTopic(int index);
    // What a screen reader calls the popup window (in the interface language).
    QString popupAccessibleName() const { return m_popupName; }
    void setPopupAccessibleName(const QString &name) { m_popupName = name; }
    bool isPopupOpen() const;
    QWidget *popupWindow() const;

    // --- Selection, clipboard, printing ------------------------------------
    bool HasSelection() const;
    int CopySelection(int format);
    double LeftMargin() const { return m_margins[0]; }
    void setLeftMargin(double inches) { m_margins[0] = inches; }
    double RightMargin() const { return m_margins[1]; }
    void setRightMargin(double inches) { m_margins[1] = inches; }
    double TopMargin() const { return m_margins[2]; }
    void setTopMargin(double inches) { m_margins[2] = inches; }
    double BottomMargin() const { return m_margins[3]; }
    void setBottomMargin(double inches) { m_margins[3] = inches; }
    bool PrintSeparatorLine() const { return m_printSeparator; }
    void setPrintSeparatorLine(bool on) { m_printSeparator = on; }
    int PrintTopic(int index);
    // The name a print job and the print dialog's proposed file take: the
    // topic's title without its kind mark and with no path separator, so
    // that the proposed file lands in the folder the dialog shows.
    static QString printDocumentName(const QString &topicTitle);
    // Replaces the platform print dialog (tests print to a file with it).
    // The function prepares the printer and returns false to cancel.
    void setPrintDialog(std::function<bool(QPrinter &)> dialog) { m_printDialog = std::move(dialog); }

    // --- Search and highlights ---------------------------------------------
    // Runs a query over the domain of SearchMode: 0 the whole title, 1 the
    // topic shown, 2 the groups added since ClearSearchGroups. A malformed
    // query gives no hits, error kErrBadQuery, SearchErrorCode() and
    // SearchError() (in English, for logs).
    int RunSearch(const QString &query);
    int SearchHitCount() const { return m_search ? m_search->hitCount() : 0; }
    // The title of hit i.
    QString TopicListTitle(int i) const;
    int TopicListIndex(int i) const { return m_search ? m_search->hitTopic(i) : -1; }
    QString SearchError() const { return m_search ? m_search->error() : QString(); }
    // The words around the first hit of the last query in a topic; what the
    // last query marks, kept as it is when later queries run.
    HitContext SearchHitContext(int topic) const { return m_search ? m_search->hitContext(topic) : HitContext(); }
    HitMarks SearchHitMarks() const { return m_search ? m_search->marks() : HitMarks(); }
    // Why the last query was refused, for a message in the interface language.
    QueryError SearchErrorCode() const { return m_search ? m_search->errorCode() : QueryError::None; }
    int SearchMode() const { return m_searchMode; }
    void setSearchMode(int mode) { m_searchMode = mode; }
    void ClearSearchGroups() { m_groups.clear(); }
    void AddSearchGroup(const QString &name) { m_groups << name; }
    bool SearchImplicitAND() const { return m_queryOptions.implicitAnd; }
    void setSearchImplicitAND(bool on) { m_queryOptions.implicitAnd = on; }
    int SearchNearThreshold() const { return m_queryOptions.nearThreshold; }
    void setSearchNearThreshold(int words) { m_queryOptions.nearThreshold = std::max(0, words); }
    bool HiliteSearchHits() const { return m_hilite; }
    void setHiliteSearchHits(bool on);
    // The look of highlights: a colour (0x00BBGGRR) for the hits' background;
    // a colour too close to the page's is drawn inverted, so hits always show.
    long SearchHitLook() const { return m_hitLook; }
    void setSearchHitLook(long look);
    // Makes highlight n (from 0, in the scrolling region) the current one,
    // marked apart from the others so that it stands out when every hit is
    // on the page, and brings it into view.
    int ShowHighlight(int n);
    // The current highlight, or -1 (none since the hits last changed).
    int CurrentHighlight() const { return m_currentHighlight; }
    // Brings highlight n into view without making it the current one.
    void bringHighlightIntoView(int n);
    const std::vector<HighlightSpan> &highlightSpans(int region) const { return m_highlights[region == 0 ? 0 : 1]; }
    void setHighlightSpans(int region, std::vector<HighlightSpan> spans);

    // --- Regions and windows -----------------------------------------------
    TVRegion lpTVNSR() { return {this, 0}; }
    TVRegion lpTVSR() { return {this, 1}; }
    QWidget *GetViewerWindow() const;
    RegionView *regionView(int region) const;

    // Activates a hotspot of a topic as a click does (used by the regions,
    // the popup window and Enter on a focused hotspot).
    void activateHotspot(int topicIndex, int ordinal);

    // Engine internals the region functions use.
    std::shared_ptr<TitleFile> titleFile() const { return m_title; }
    const std::vector<StoredHotspot> &storedHotspots() const { return m_stored; }

signals:
    void TopicChanged(int id);
    // type 0 (HotspotCode): target.code is the code string;
    // type 1 (HotspotPopup): target.id is the identifier of the popup;
    // type 2 (HotspotJump): target.id is the identifier of the jump's target.
    void HotspotClicked(int type, const folium::engine::HotspotTarget &target, bool *cancel);
    void GotFocus();
    void LostFocus();
    void MouseDownNSR(int button, int shift, int x, int y);
    void MouseDownSR(int button, int shift, int x, int y);
    void MouseUpNSR(int button, int shift, int x, int y);
    void MouseUpSR(int button, int shift, int x, int y);
    // The hotspot under the pointer: its type (0 code, 1 popup, 2 jump) and
    // target (the code or the context string); type -1 when it leaves.
    void HotspotHovered(int type, const QString &target);
    // The search hits marked in the topic shown changed.
    void HighlightsChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    int fail(int err);
    int showTopic(int index, const QString &anchor, std::optional<int> scroll);
    void render();
    void placeAnchor(const QString &anchor);
    void updateNsrHeight();
    QFont baseFont() const;
    void onFocusChanged(QWidget *old, QWidget *now);
    void updateHighlights();
    void drawHighlights(int region);
    // The words of a region as the index holds them, and for each of its
    // characters its position in the region's document (empty when they
    // are the same).
    struct WordText {
        QString text;
        std::vector<int> position;
    };
    WordText wordText(int region) const;

    std::shared_ptr<TitleFile> m_title;
    std::optional<TopicRecord> m_topic;
    std::vector<StoredHotspot> m_stored;
    void applyPalette();
    QString m_nsrHtml, m_srHtml;
    SanitizeLimits m_limits;

    RegionView *m_nsr;
    QFrame *m_separator;
    RegionView *m_sr;
    QWidget *m_viewer;
    QPointer<PopupWindow> m_popup;

    int m_err = 0;
    int m_zoom = 100;
    bool m_screenSeparator = true;
    bool m_printSeparator = true;
    int m_borderStyle = 1;
    long m_popupColor = 0xE0FFFF; // pale yellow (0x00BBGGRR)
    QString m_popupName;
    double m_margins[4] = {0.75, 0.75, 0.75, 0.75};
    std::function<bool(QPrinter &)> m_printDialog;

    std::unique_ptr<TitleSearch> m_search;
    int m_searchMode = 0;
    QStringList m_groups;
    QueryOptions m_queryOptions;
    bool m_hilite = false;
    long m_hitLook = 0x00FFFF; // yellow
    std::vector<HighlightSpan> m_highlights[2];
    int m_currentHighlight = -1;
};

// Region functions of the engine library. err may be null; when it is not,
// its code is set to 0 on success and to an error number on failure
// (kErrNoFocusedHotspot when a region has no focused hotspot).
struct TVError {
    long code = 0;
};

// A hotspot record: field[2], field[3] the position of the hotspot in its
// region in pixels, field[4], field[5] its size, field[6] its identifier,
// field[7] its kind, field[1] its number in the topic.
struct TVHotspotInfo {
    long field[8] = {};
};

// A set of highlights of one region, as hTVGetHighlights returns it.
using TVHighlights = std::shared_ptr<const std::vector<HighlightSpan>>;

uint32_t vaTVConvertContextString(QWidget *viewerWindow, const char *contextString);
uint32_t vaTVConvertHash(QWidget *viewerWindow, uint32_t hash);
long lTVGetHotspotCount(TVRegion region, TVError *err);
bool fTVGetHotspotInfo(TVRegion region, long index, TVHotspotInfo *info, TVError *err);
bool fTVFocusInfo(TVRegion region, TVHotspotInfo *info, TVError *err);
bool fTVMoveFocus(TVRegion region, long direction, TVError *err);
bool fTVClearSelection(TVRegion region, TVError *err);
QWidget *hwndTVGetWindow(TVRegion region);
TVHighlights hTVGetHighlights(TVRegion region);
long lTVTopicHighlightCount(const TVHighlights &set);
bool hTVSetHighlights(TVRegion region, const TVHighlights &set, long flags, TVError *err);

} // namespace folium::engine
