// The HTML a title's regions may hold: the tags, attributes and style
// properties allowed, the tags that keep words apart, and text made safe to
// stand in it. The title compiler checks sources against it and the reader's
// sanitizer cleans pages by it.
#pragma once

#include <QString>
#include <QStringView>

namespace folium::engine {

// Tags and style properties that titles may use.
bool isAllowedTag(QStringView lowerName);
bool isAllowedAttribute(QStringView lowerTag, QStringView lowerAttribute);
bool isAllowedStyleProperty(QStringView lowerProperty);

// Text made safe to stand in HTML, in an element or a quoted attribute:
// & < > and " as entities.
QString escapeHtml(QStringView text);

// Whether the page Qt lays out from a tag starts a block, a table cell, a
// line or an object there, so that the words on either side are apart even
// with no blank between them ("<td>a</td><td>b</td>", "a<br>b", "a<img>b").
// The compiler puts a separator in the index text at these elements.
bool breaksWords(QStringView lowerName);

} // namespace folium::engine
