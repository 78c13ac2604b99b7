// Who and what the letters name, gathered while they are read: each name
// becomes a key (its reference, or the name as written when it has none),
// each mention where it stands; once every letter is read, the keys that
// name one register entry become one referent of the indexes.
#pragma once

#include "tei_edition.h"
#include "tei_indexes.h"
#include "tei_register.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace folium::mktitle::tei {

class ReferentCollector {
public:
    // The key of a name: what its @ref or @key points at, or the name as
    // written when it points nowhere. The file and line are kept for the
    // first use of a key.
    int keyOf(EntityKind kind, const QString &ref, const QString &name, const PrefixDefs &prefixes, const QString &file,
              int line);
    void mention(int key, int letterReadIndex, int noteOrdinal, int noteLabel);
    // Mentions are dropped with the letters of a file left out.
    size_t mentionCount() const { return m_mentions.size(); }
    void dropMentionsFrom(size_t n) { m_mentions.resize(n); }

    // The context of the card a key's popups show.
    static QString cardContext(int key) { return QStringLiteral("R%1").arg(key); }

    // The referents, once the letters are in the title's order: keys that
    // name one entry are one referent. A reference no register holds is
    // warned of once, at its first use.
    std::vector<Referent> settle(const Registers &registers, const std::vector<Letter> &letters,
                                 QStringList *warnings) const;

private:
    struct Key {
        QString key;
        EntityKind kind;
        QString name; // as first written
        QString where;
        bool hasRef;
    };
    struct Mention {
        int key, letter, noteOrdinal, noteLabel;
    };
    std::vector<Key> m_keys;
    QHash<QString, int> m_byKey;
    std::vector<Mention> m_mentions;
};

} // namespace folium::mktitle::tei
