// The mapping file of a TEI import (--map): an edition's conventions stated
// once, each setting optional. See docs/tei-import.md for its reference.
#pragma once

#include "tei_edition.h"
#include "tei_language.h"
#include "tei_letter.h"
#include "tei_register.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace folium::mktitle::tei {

enum class Grouping { YearMonth, Year, Correspondent, Collection };

enum class IndexKind { Correspondents, Persons, Places, Analytic, Synoptic };
inline constexpr int kIndexKinds = 5;

struct TeiMapping {
    QString path; // of the mapping file, "" when there is none
    QString name, language, homeText;
    LetterOptions letters;
    bool keepFront = true, keepBack = true;
    QStringList leftOutDivTypes;
    // Notes by their @type: shown as calls (the default), where they stand
    // in brackets, or left out; keepOtherNotes for the types not named.
    QStringList callNoteTypes, inlineNoteTypes, leftOutNoteTypes;
    bool keepOtherNotes = true;
    // A letter's title, heading and reference line, from the fields
    // {date} {place} {sender} {receiver} {reference} {collection}; "" for
    // the usual ones.
    QString titleTemplate, headingTemplate, referenceTemplate;
    std::optional<bool> joinLineEndHyphens;
    QHash<QString, QString> rendStyles; // an @rend value → CSS or style words
    Grouping grouping = Grouping::YearMonth;
    bool yearSubsets = true;
    int correspondentSubsetLetters = 20; // a subset for each correspondent of more letters; 0 for none
    bool indexes[kIndexKinds] = {true, true, true, true, true};
    QStringList registerFiles; // absolute
    PrefixDefs prefixes;
};

// Reads a mapping file; every problem is "file:line: message", and an
// unknown setting or value is one.
bool readMapping(const QString &path, TeiMapping *out, QStringList *errors);

// A letter's line made from a template: a field left empty takes the text
// before it along ("{date}, {place}" with no place is the date alone).
QString fillTemplate(const QString &pattern, const QHash<QString, QString> &fields);
// The fields a template may name.
const QStringList &templateFields();

// A letter's title, heading and reference line: the usual ones, or the
// mapping's templates filled in. name: the edition's (a letter's own
// title that only repeats it says nothing).
void titleLetter(Letter &l, const Words &words, const TeiMapping &map, const QString &name);

} // namespace folium::mktitle::tei
