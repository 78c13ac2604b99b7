// The registers of a TEI edition: the persons, places, organisations and
// works its letters refer to (listPerson, listPlace, listOrg, listBibl), in
// the letters' <back>, in standOff or in register files of their own; and
// the references to them (@ref, @key) made into one key per entry.
#pragma once

#include "tei_xml.h"

#include <QHash>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <vector>

namespace folium::mktitle::tei {

enum class EntityKind { Person, Place, Org, Work };
inline constexpr int kEntityKinds = 4;

struct RegisterEntry {
    EntityKind kind = EntityKind::Person;
    QString id;       // xml:id
    QString name;     // as the index shows it: "Giuseppe Verdi"
    QString sortName; // as the index sorts it: "Verdi, Giuseppe"
    QString dates;    // "1813–1901", "fl. 1850"
    QString description;
    QStringList altNames;
    QStringList uris; // authority records (GND, GeoNames, Wikidata...), kept as text
    QString where;    // "file:line" of the entry
};

// A prefix of the header's listPrefixDef (or of the mapping file): "psn:12"
// is the pointer the replacement makes of what matches.
struct PrefixDef {
    QString ident;
    QRegularExpression match;
    QString replacement;
};
using PrefixDefs = std::vector<PrefixDef>;
PrefixDefs prefixDefsOf(const xmlNode *teiHeader);

// A name as an index or a card shows it: at most kMaxName characters.
inline constexpr int kMaxName = 200;
// The text cut to at most that many characters and "…".
QString capped(const QString &s, int most);

// The key of a reference as @ref or @key give it (the first pointer of
// several): "#verdi", "persons.xml#verdi" and key="verdi" are "verdi";
// "psn:verdi" is what its prefix makes of it; a URI stays as it is.
QString referenceKey(const QString &ref, const PrefixDefs &prefixes);

// The kind of entry a name in the text refers to; false for an element
// that names nothing (or a @type of rs or name that is none of them).
bool mentionKind(const xmlNode *n, EntityKind *kind);

class Registers {
public:
    // Reads the entries of every register below n. An entry whose id is
    // already known is not read again: editions repeat the registers of
    // the persons a letter mentions in every letter.
    void read(const xmlNode *n, const QString &file);
    // The registers a TEI document carries: in its header (particDesc,
    // settingDesc), its standOff and the back of its text.
    void readDocument(const TeiDocument &doc, const QString &file);
    // The entry a key names, by its id or one of its authority URIs.
    const RegisterEntry *find(const QString &key) const;
    int size() const { return int(m_entries.size()); }
    const RegisterEntry &at(int i) const { return m_entries[size_t(i)]; }
    int indexOf(const QString &key) const { return m_byKey.value(key, -1); }

private:
    void add(RegisterEntry e);
    std::vector<RegisterEntry> m_entries;
    QHash<QString, int> m_byKey;
};

// Register files are read before the letters: their entries are the ones
// the letters' own registers repeat. A file is a TEI document holding
// registers anywhere, or a register of its own (<listPerson> as its root).
inline constexpr qint64 kMaxRegisterFileBytes = 64LL << 20;
bool readRegisterFiles(const QStringList &files, Registers &registers, QStringList *errors, QStringList *warnings);

} // namespace folium::mktitle::tei
