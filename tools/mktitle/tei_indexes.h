// The index topics of a TEI edition: correspondents, persons and places
// mentioned, organisations and works (the analytic index), the synoptic
// table of the letters; and the cards of the entries, which names in the
// text show in popups.
#pragma once

#include "tei_edition.h"
#include "tei_map.h"
#include "tei_register.h"
#include "title_source.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace folium::mktitle::tei {

struct MentionAt {
    int letter = 0;      // in the title's order
    int noteOrdinal = 0; // the note's call, 0 for the letter's text
    int noteLabel = 0;   // the number the note shows
};

// One entry of an index: a register entry, or a name no register holds,
// known by the name as written.
struct Referent {
    EntityKind kind = EntityKind::Person;
    int entry = -1; // in the registers
    QString name, sortName;
    QStringList contexts; // of its card: one for each key that names it
    std::vector<MentionAt> mentions;
    std::vector<int> sent, received, writtenFrom; // letters, in the title's order
    int letterCount() const { return int(sent.size() + received.size()); }
};

struct IndexInput {
    const std::vector<Letter> &letters;
    const Registers &registers;
    const std::vector<Referent> &referents;
    const Words &words;
    const TeiMapping &mapping;
};

// The context of each index topic, as the reader's index menu asks.
QString indexContext(IndexKind k);

// The home page's list of the indexes, after the mapping's home text.
QByteArray homeIndexLinks(const Words &words, const TeiMapping &mapping);
// A topic file of the indexes the mapping asks for.
QByteArray indexTopics(const IndexInput &in);
// A topic file of the referents' cards.
QByteArray cardTopics(const IndexInput &in);

// The subsets of the title: a year's letters, and the letters from and to
// each correspondent of many (the mapping says how many); each letter is
// given its correspondents' subsets. Returns the correspondents' subsets
// made.
int addSubsets(TitleSource &p, std::vector<Letter> &letters, const std::vector<Referent> &referents, const Words &words,
               const TeiMapping &mapping);
// The contents tree, grouped as the mapping asks: by year (and month in a
// year of many letters), by correspondent or by collection.
void addContents(TitleSource &p, const std::vector<Letter> &letters, const std::vector<Referent> &referents,
                 const Words &words, const TeiMapping &mapping, const QString &name);

} // namespace folium::mktitle::tei
