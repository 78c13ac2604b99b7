// The renditions of TEI text: @rend, @rendition pointing into the header's
// tagsDecl, @style; what of them the title's rich text can show.
#pragma once

#include "tei_xml.h"

#include <QHash>
#include <QString>

namespace folium::mktitle::tei {

// The renditions a document declares (tagsDecl): @rendition="#id" points at
// them; glyphs (charDecl) as "glyph:" + id.
// What the mapping file says an @rend value shows as: "rend:" + value.
using Renditions = QHash<QString, QString>;
inline const QString kRendPrefix = QStringLiteral("rend:");
Renditions renditionsOf(const xmlNode *teiHeader);

// The styles a rendition asks for, of those the title's rich text has.
struct Style {
    bool italic = false, bold = false, underline = false, strike = false, sup = false, sub = false, spaced = false,
         smallCaps = false, big = false, small = false;
    bool right = false, center = false; // of a block
    QString content;                    // the symbol an empty <c> or <g> stands for
    bool any() const
    {
        return italic || bold || underline || strike || sup || sub || spaced || smallCaps || big || small;
    }
};

// The element's own renditions, in words (italic, sup, gesperrt...) or CSS.
Style styleOf(const xmlNode *n, const Renditions &renditions);

} // namespace folium::mktitle::tei
