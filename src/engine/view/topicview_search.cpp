// TopicView: full-text search and the marking of hits in the shown topic.
#include "colors.h"
#include "engine_errors.h"
#include "region_view.h"
#include "topicview.h"

#include <QTextCursor>

#include <algorithm>

namespace folium::engine {

QString TopicView::TopicListTitle(int i) const
{
    return m_search ? m_search->hitTitle(i) : QString();
}

int TopicView::RunSearch(const QString &query)
{
    if (!m_title || !m_search)
        return fail(kErrNoTitle);
    TitleSearch::Request req;
    req.query = query;
    req.mode = m_searchMode;
    req.options = m_queryOptions;
    req.groups = m_groups;
    req.currentTopic = TopicIndex();
    const bool ok = m_search->run(req);
    updateHighlights();
    if (!ok)
        return fail(kErrBadQuery);
    m_err = kErrNone;
    return kErrNone;
}

void TopicView::setHiliteSearchHits(bool on)
{
    m_hilite = on;
    updateHighlights();
}

void TopicView::setSearchHitLook(long look)
{
    m_hitLook = look & 0xFFFFFF;
    drawHighlights(0);
    drawHighlights(1);
}

void TopicView::updateHighlights()
{
    for (auto &h : m_highlights)
        h.clear();
    m_currentHighlight = -1;
    // The texts of the regions are read only when there is something to mark.
    if (m_hilite && m_search && m_topic && m_search->hasHighlights()) {
        const WordText words[2] = {wordText(0), wordText(1)};
        for (HighlightSpan s : m_search->highlights(m_topic->index, words[0].text, words[1].text)) {
            const std::vector<int> &at = words[s.region == 0 ? 0 : 1].position;
            if (!at.empty() && s.start < s.end && s.end <= int(at.size())) {
                s.start = at[size_t(s.start)];
                s.end = at[size_t(s.end - 1)] + 1;
            }
            m_highlights[s.region].push_back(s);
        }
    }
    drawHighlights(0);
    drawHighlights(1);
}

TopicView::WordText TopicView::wordText(int region) const
{
    // The page's own text, position for position, with the labels of note
    // calls blanked out: the index holds a separator in their place (the
    // title compiler leaves them out), so "tua¹ e" is the words "tua" and
    // "e" on both sides. Text shown but not indexed (a deleted word, a
    // folio mark) is left out, with no separator: "ge[sag]schrieben" is the
    // word "geschrieben". The marks Qt puts where tables and images stand
    // are separators of the tokenizer.
    const RegionView *rv = regionView(region);
    WordText out;
    out.text = rv->document()->toRawText();
    QString &text = out.text;
    for (const HotspotSpan &s : rv->hotspots()) {
        // The stored hotspots come in the order of their numbers.
        const auto stored = std::lower_bound(m_stored.begin(), m_stored.end(), s.ordinal,
                                             [](const StoredHotspot &h, int n) { return h.ordinal < n; });
        if (stored == m_stored.end() || stored->ordinal != s.ordinal || !stored->noteCall)
            continue;
        for (int i = std::max(0, s.start); i < std::min<int>(s.end, int(text.size())); ++i)
            text[i] = QChar(0xFFFF); // a blank, below; kept even inside an unindexed run
    }
    const auto &runs = rv->unindexedRuns();
    if (runs.empty()) {
        text.replace(QChar(0xFFFF), u' ');
        return out;
    }
    QString kept;
    kept.reserve(text.size());
    out.position.reserve(size_t(text.size()));
    size_t r = 0;
    for (int i = 0; i < int(text.size()); ++i) {
        while (r < runs.size() && runs[r].second <= i)
            ++r;
        const bool blank = text[i] == QChar(0xFFFF);
        if (!blank && r < runs.size() && runs[r].first <= i)
            continue;
        kept += blank ? QChar(u' ') : text[i];
        out.position.push_back(i);
    }
    text = kept;
    return out;
}

void TopicView::setHighlightSpans(int region, std::vector<HighlightSpan> spans)
{
    m_highlights[region == 0 ? 0 : 1] = std::move(spans);
    if (region != 0)
        m_currentHighlight = -1;
    drawHighlights(region);
}

void TopicView::drawHighlights(int region)
{
    RegionView *rv = regionView(region);
    QColor back = colorFromBgr(m_hitLook);
    QColor fore = palette().color(QPalette::Text);
    const QColor page = rv->palette().color(QPalette::Base);
    // A look that would vanish on the page is drawn inverted.
    const int distance =
        std::abs(back.red() - page.red()) + std::abs(back.green() - page.green()) + std::abs(back.blue() - page.blue());
    if (distance < 120) {
        fore = back;
        back = QColor(0x1F, 0x1F, 0x1F);
    }
    // The hits' text reads on their colour, in a dark desktop too.
    fore = readableOn(back, fore);
    // The current hit, stepped to with F11 and F12, stands apart from the
    // others: a stronger colour, underlined.
    const QColor currentBack = kCurrentHitColor;
    const QColor currentFore = readableOn(currentBack, fore);
    QList<QTextEdit::ExtraSelection> sels;
    const int end = std::max(0, rv->document()->characterCount() - 1);
    // Inside an edit block a cursor does not lay its line out to find its
    // x position: placing thousands of them stays cheap in a long topic.
    QTextCursor batch(rv->document());
    batch.beginEditBlock();
    const auto &spans = m_highlights[region == 0 ? 0 : 1];
    for (size_t i = 0; i < spans.size(); ++i) {
        const HighlightSpan &h = spans[i];
        const bool current = region != 0 && int(i) == m_currentHighlight;
        QTextEdit::ExtraSelection sel;
        sel.cursor = QTextCursor(rv->document());
        sel.cursor.setPosition(std::clamp(h.start, 0, end));
        sel.cursor.setPosition(std::clamp(h.end, 0, end), QTextCursor::KeepAnchor);
        sel.format.setBackground(current ? currentBack : back);
        sel.format.setForeground(current ? currentFore : fore);
        if (current) {
            sel.format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
            sel.format.setUnderlineColor(currentFore);
        }
        sels << sel;
    }
    batch.endEditBlock();
    rv->setExtraSelections(sels);
    emit HighlightsChanged();
}

int TopicView::ShowHighlight(int n)
{
    const auto &hl = m_highlights[1];
    if (n < 0 || n >= int(hl.size()))
        return fail(kErrBadRegion);
    m_currentHighlight = n;
    drawHighlights(1);
    m_sr->ensurePositionVisible(hl[size_t(n)].start);
    m_err = kErrNone;
    return kErrNone;
}

void TopicView::bringHighlightIntoView(int n)
{
    const auto &hl = m_highlights[1];
    if (n >= 0 && n < int(hl.size()))
        m_sr->ensurePositionVisible(hl[size_t(n)].start);
}

} // namespace folium::engine
