// A TEI letter's text made into the scrolling region of a topic, in the
// title source format (see docs/title-source.md): the letter laid out as a
// letter, its notes as note calls, its deletions and folio marks shown but
// no words of the index, words kept whole across line breaks as the
// edition marks them.
#pragma once

#include "tei_register.h"
#include "tei_style.h"
#include "tei_xml.h"

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

namespace folium::mktitle::tei {

// Stands, in the text made, where the letter's TopicData goes once it is
// known (the letter's reference, settled when every letter has been read):
// in the targets of a note's links to other notes.
inline constexpr char kDataPlaceholder = '\x01';

// Stands where the heading of the notes no call points at goes, written in
// the title's language once every letter has been read.
inline constexpr char kUncalledHeadingPlaceholder = '\x02';

// A name of a person, place, organisation or work met in the text.
struct Mention {
    EntityKind kind = EntityKind::Person;
    QString ref;  // @ref or @key as written; "" when the name points nowhere
    QString text; // the name as written
    int line = 0;
    int noteOrdinal = 0; // the call of the note it stands in; 0 in the letter's text
    int noteLabel = 0;   // the number that note shows
};

struct TextOptions {
    // A hyphen (-, ¬, ⸗) right before a line or page break joins the two
    // halves of the word, and is not shown.
    bool joinLineEndHyphens = true;
    // The letter's language (xml:lang): the quotation marks it writes.
    QString language;
    QString uncalledNotesHeading = QString(QChar(kUncalledHeadingPlaceholder));
    // Told each name met; returns the context of the card a popup on it
    // shows, or "" for none.
    std::function<QString(const Mention &)> mention;
    // What the mapping leaves out or shows otherwise.
    bool keepFront = true, keepBack = true;
    QStringList leftOutDivTypes, leftOutNoteTypes;
    QStringList keptNoteTypes; // with keepOtherNotes false, the only notes kept
    bool keepOtherNotes = true;
    QStringList inlineNoteTypes; // shown in brackets where they stand
};

struct TextResult {
    QByteArray sr;             // the inside of <sr>, UTF-8
    int notes = 0;             // notes called from the text (a note inside a note included)
    int uncalledNotes = 0;     // notes no call points at, listed after the text
    int pages = 0;             // page breaks
    QMap<QString, int> noRule; // elements met that have no rule of their own, kept as text
    QStringList errors;        // "line: message"
};

// Where a figure's image is: the file's path, or "" to show its
// description instead. Called with the graphic's url and its line; an
// image that may not be read adds an error itself.
using ImageResolver = std::function<QString(const QString &url, int line)>;

// text: the letter's <text> (front, body and back) or its div.
TextResult convertLetterText(const xmlNode *text, const Renditions &renditions, const TextOptions &options,
                             const ImageResolver &images);

} // namespace folium::mktitle::tei
