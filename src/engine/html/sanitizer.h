// Topic text comes from an untrusted title. Before it reaches Qt's rich-text
// engine it goes through this whitelist: known tags, attributes and style
// properties only, well-formed nesting, and caps on what Qt will have to lay
// out. Qt hangs on deeply nested tables and unclosed tags, and takes seconds
// to gigabytes on a million line breaks, a table of spanning cells, a word
// of a hundred thousand letters or text that changes direction at every
// letter; the caps keep every region renderable in well under a second.
// Past any of them the rest of the region is left out, and a visible note
// says so. The title compiler refuses sources that reach them, so an honest
// title never meets them.
#pragma once

#include <QString>
#include <QStringView>

namespace folium::engine {

struct SanitizeLimits {
    int maxTextChars = 300000; // characters of text kept; the rest is cut with "…"
    int maxDepth = 24;         // open elements at once
    int maxTableDepth = 3;     // tables inside table cells
    int maxRows = 2000;        // rows of one table
    int maxCells = 20000;      // cells of one table
    int maxListItems = 1000;   // items of one list (Qt numbers list items in quadratic time)
    int maxImageSide = 4096;   // width and height attributes of images
    // What Qt lays out, per region (the rest of the region is left out):
    int maxBlocks = 20000;          // paragraphs, headings, list items, table cells, rules
    int maxLineBreaks = 5000;       // <br>
    int maxRules = 500;             // <hr>
    int maxImages = 500;            // <img>
    int maxAnchors = 5000;          // <a>, links and named places
    int maxSpannedCells = 20000;    // table cells, each counted as the cells it spans
    int maxRunWithoutBreak = 2000;  // characters with no place to break the line
    int maxCombiningMarks = 30;     // marks on one letter
    int maxBidiControls = 500;      // explicit direction marks (RLO, LRE, RLI...)
    int maxDirectionChanges = 5000; // changes between left-to-right and right-to-left letters
    // The note shown where the rest of a region was left out.
    QString cutNotice = QStringLiteral("The rest of this page is not shown: it is more than the reader can lay out.");
};

// Images: one larger than this on a side is shown scaled down to it, and a
// page (a region) shows images up to this many pixels in all; past them,
// images show as placeholders.
inline constexpr int kMaxShownImageSide = 2048;
inline constexpr qint64 kMaxPageImagePixels = 8LL * 1024 * 1024;

// Text shown on the page but no word of the index (a deleted word inside a
// word, a folio mark) stands in <span title="noindex">: the title compiler
// writes it so, and the reader leaves that text out when it looks for the
// words of a page, so that the words it marks are the index's.
inline constexpr char kUnindexedMark[] = "noindex";

// Why a region was cut short, in English: the limit reached, for the title
// compiler's messages. Empty when the region was kept whole.
struct SanitizeReport {
    QString limit;
};

QString sanitizeTopicHtml(QStringView html, const SanitizeLimits &limits = {}, SanitizeReport *report = nullptr);

} // namespace folium::engine
