// The words a title made from a TEI edition writes in its own language:
// dates written out, "A to B" in letter titles, the names of folders and
// subsets, the home page's lines.
#pragma once

#include <QCollator>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace folium::mktitle::tei {

// A date as an edition gives it: a day, a month or a year (the finer parts
// 0 when not given).
struct PartialDate {
    int year = 0, month = 0, day = 0;
    bool valid() const { return year != 0; }
    bool operator==(const PartialDate &) const = default;
};

// "1851-03-12", "1851-03", "1851" (a leading "-" and years of more or fewer
// than four digits are not letter dates); invalid otherwise.
PartialDate parseIsoDate(QStringView s);
QString isoText(const PartialDate &d);

enum class Language { Italian, French, English, German };

// it, fr, en, de; false for anything else.
bool languageFromCode(const QString &code, Language *out);
QString languageCode(Language l);

// The fixed words of the index pages.
enum class Word {
    Correspondents,
    Persons,
    Places,
    Analytic,
    Organisations,
    Works,
    Synoptic,
    LettersFrom, // "Lettere di %1"
    LettersTo,   // "Lettere a %1"
    WrittenFrom, // "scritte da qui"
    MentionedIn,
    NoteAbbrev, // "n."
    NotInRegister,
    Reference,
    Date,
    Sender,
    Receiver,
    Place,
    Incipit,
    AlsoCalled,
    Indexes,
    CorrespondentSubset, // "Lettere di e a %1"
    ByYear,              // letters of many years, shown by year
    Part,                // "parte %1"
};

struct Words {
    Language language;

    QString word(Word w) const;
    // Names in the language's order: letter case ignored, numbers as numbers.
    QCollator collator() const;
    QString monthName(int month) const;
    // "12 marzo 1851", "marzo 1851", "1851".
    QString date(const PartialDate &d) const;
    // A date known as a range: "1 febbraio – 15 marzo 1871"; with one end
    // only, "not before…" or "not after…".
    QString range(const PartialDate &from, const PartialDate &to) const;
    QString undated() const;       // "senza data"
    QString undatedFolder() const; // "Lettere senza data"
    QString yearSubset(int year) const;
    QString undatedSubset() const;
    // "Anna Ferri a Luigi Bassi"; one side may be empty.
    QString fromTo(const QStringList &senders, const QStringList &receivers) const;
    QString joined(const QStringList &names) const; // "A, B e C"
    QString letter(const QString &reference) const; // "Lettera 12"
    QString notesPrefix() const;                    // "Nota" or "Note": the reader knows notes by it
    QString letters(int n) const;                   // "1 lettera", "12 lettere"
    QString uncalledNotes() const;                  // heading of notes the text does not call
    QString contents() const;                       // "Indice" of the contents tree's root
};

} // namespace folium::mktitle::tei
