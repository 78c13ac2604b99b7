// What a TEI letter says about itself: who wrote to whom, from where, when,
// under which reference. Read from the correspondence description of the
// header (correspDesc) when there is one; a document holding several
// letters (div type="letter") gives each its own.
#pragma once

#include "tei_language.h"
#include "tei_xml.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace folium::mktitle::tei {

struct LetterMeta {
    QStringList senders, receivers;
    // Their @ref or @key as written, one for each name ("" for none).
    QStringList senderRefs, receiverRefs;
    QString place; // where it was written
    QString placeRef;
    QString collection; // the archive's collection (or repository) the letter is kept in
    QString placeReceived;
    // A day, a month or a year; or a range, either end of which may be
    // missing; or neither (undated).
    PartialDate date;
    PartialDate from, to;
    bool isRange() const { return !date.valid() && (from.valid() || to.valid()); }
    // The first day the letter may date from, for the order of letters.
    PartialDate sortDate() const
    {
        return date.valid() ? date : (rangeByEnd ? (to.valid() ? to : from) : (from.valid() ? from : to));
    }
    bool rangeByEnd = false;
    QString reference; // as the edition gives it; empty when it gives none
    QString ownTitle;  // the letter's own title in the header, or the head of its div
    bool hasCorrespDesc = false;
    QString language; // xml:lang of the letter
    int line = 0;     // where it starts in its file
};

// The letters of a TEI document: the element whose text each one is (the
// document's <text>, or each div type="letter" when its body holds
// several), with what its header says of it.
struct LetterInDocument {
    const xmlNode *text = nullptr;
    LetterMeta meta;
};
struct LetterOptions {
    // The type of the divs that are letters in a document of several.
    QString divType = QStringLiteral("letter");
    // The attributes of a date that give a letter's date, the first one
    // there winning ("when", "notBefore", "notAfter", "from", "to");
    // empty: @when, else a range of notBefore/from and notAfter/to.
    QStringList dateAttributes;
    // A range is dated and sorted by its last day rather than its first.
    bool rangeByEnd = false;
};
std::vector<LetterInDocument> lettersOf(const TeiDocument &doc, const LetterOptions &options = {});

// The first words of a letter's text: of its first paragraph that is not
// its opener, dateline or heading, in the letter's own div (divType) and
// outside the divs left out.
QString incipitOf(const xmlNode *text, const QString &divType, const QStringList &leftOutDivTypes);

// The title of the edition in a document's header (titleStmt/title), and
// its edition statement and licence, for the home page.
struct EditionInfo {
    QString title, edition, licence;
};
EditionInfo editionInfo(const xmlNode *teiHeader);

} // namespace folium::mktitle::tei
