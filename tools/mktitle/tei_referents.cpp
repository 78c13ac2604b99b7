#include "tei_referents.h"

namespace folium::mktitle::tei {

namespace {

// Past this many, references to no entry are counted, not listed.
constexpr int kMaxUnknownWarnings = 50;

QChar kindMark(EntityKind k)
{
    return QChar(u'0' + int(k));
}

} // namespace

int ReferentCollector::keyOf(EntityKind kind, const QString &ref, const QString &name, const PrefixDefs &prefixes,
                             const QString &file, int line)
{
    const QString resolved = ref.trimmed().isEmpty() ? QString() : referenceKey(ref, prefixes);
    // A name that points nowhere is its own entry, one for each spelling
    // (and kind: "Genova" the place is not "Genova" the ship).
    const QString key =
        resolved.isEmpty() ? QStringLiteral("\x01") + kindMark(kind) + name.simplified().toCaseFolded() : resolved;
    const auto it = m_byKey.constFind(key);
    if (it != m_byKey.constEnd())
        return *it;
    const int index = int(m_keys.size());
    m_keys.push_back({key, kind, name.simplified(), QStringLiteral("%1:%2").arg(file).arg(line), !resolved.isEmpty()});
    m_byKey.insert(key, index);
    return index;
}

void ReferentCollector::mention(int key, int letterReadIndex, int noteOrdinal, int noteLabel)
{
    m_mentions.push_back({key, letterReadIndex, noteOrdinal, noteLabel});
}

std::vector<Referent> ReferentCollector::settle(const Registers &registers, const std::vector<Letter> &letters,
                                                QStringList *warnings) const
{
    int maxRead = -1;
    for (const Letter &l : letters)
        maxRead = std::max(maxRead, l.readIndex);
    std::vector<int> order(size_t(maxRead + 1), -1); // read index → place in the title
    for (size_t i = 0; i < letters.size(); ++i)
        order[size_t(letters[i].readIndex)] = int(i);

    std::vector<Referent> out;
    std::vector<int> referentOfKey(m_keys.size(), -1);
    QHash<int, int> byEntry;
    int unknown = 0;
    for (size_t k = 0; k < m_keys.size(); ++k) {
        const Key &key = m_keys[k];
        const int entry = key.hasRef ? registers.indexOf(key.key) : -1;
        int r = entry >= 0 ? byEntry.value(entry, -1) : -1;
        if (r < 0) {
            r = int(out.size());
            Referent ref;
            ref.entry = entry;
            if (entry >= 0) {
                const RegisterEntry &e = registers.at(entry);
                ref.kind = e.kind;
                ref.name = e.name;
                ref.sortName = e.sortName;
                byEntry.insert(entry, r);
            } else {
                ref.kind = key.kind;
                ref.name = ref.sortName = capped(key.name, kMaxName);
                if (key.hasRef && ++unknown <= kMaxUnknownWarnings)
                    *warnings << QStringLiteral("%1: warning: \"%2\" is in no register: indexed as \"%3\"")
                                     .arg(key.where, key.key, key.name);
            }
            out.push_back(std::move(ref));
        }
        referentOfKey[k] = r;
        out[size_t(r)].contexts << cardContext(int(k));
    }
    if (unknown > kMaxUnknownWarnings)
        *warnings
            << QStringLiteral("warning: %1 more references are in no register").arg(unknown - kMaxUnknownWarnings);

    const auto placed = [&](int readIndex) {
        return readIndex >= 0 && size_t(readIndex) < order.size() ? order[size_t(readIndex)] : -1;
    };
    for (const Mention &m : m_mentions)
        if (const int l = placed(m.letter); l >= 0)
            out[size_t(referentOfKey[size_t(m.key)])].mentions.push_back({l, m.noteOrdinal, m.noteLabel});
    for (size_t i = 0; i < letters.size(); ++i) {
        const Letter &l = letters[i];
        for (int k : l.senderKeys)
            out[size_t(referentOfKey[size_t(k)])].sent.push_back(int(i));
        for (int k : l.receiverKeys)
            out[size_t(referentOfKey[size_t(k)])].received.push_back(int(i));
        if (l.placeKey >= 0)
            out[size_t(referentOfKey[size_t(l.placeKey)])].writtenFrom.push_back(int(i));
    }
    return out;
}

} // namespace folium::mktitle::tei
