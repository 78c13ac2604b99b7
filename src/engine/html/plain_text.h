// The words of a stored region without its markup, cut into words as the
// page Qt lays out from it is cut (and as the title compiler cut the text it
// indexed): a separator wherever the page starts a block, a cell, a line or
// an image, and in place of a note call's label; text shown but no word of
// the index is left out. For the context of a hit in a list of results,
// where laying the topic out would cost too much.
#pragma once

#include <QString>
#include <QStringView>

#include <functional>

namespace folium::engine {

// html: a region as the sanitiser gives it. isNoteCall tells whether the
// hotspot of a number is a note call.
QString plainTextOfRegion(QStringView sanitizedHtml, const std::function<bool(int ordinal)> &isNoteCall);

} // namespace folium::engine
