// Topic text comes from an untrusted title. Before it reaches Qt's rich-text
// engine it goes through this whitelist: known tags, attributes and style
// properties only, well-formed nesting, and caps on size and depth. Qt hangs
// on deeply nested tables and unclosed tags; the caps keep every topic
// renderable in well under a second.
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
};

QString sanitizeTopicHtml(QStringView html, const SanitizeLimits &limits = {});

// Tags and style properties that titles may use (the compiler checks
// sources against the same lists).
bool isAllowedTag(QStringView lowerName);
bool isAllowedAttribute(QStringView lowerTag, QStringView lowerAttribute);
bool isAllowedStyleProperty(QStringView lowerProperty);

// Whether the page Qt lays out from a tag starts a block, a table cell, a
// line or an object there, so that the words on either side are apart even
// with no blank between them ("<td>a</td><td>b</td>", "a<br>b", "a<img>b").
// The compiler puts a separator in the index text at these elements.
bool breaksWords(QStringView lowerName);

} // namespace folium::engine
