// The context strings of a title being compiled.
#pragma once

#include "title_source.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace folium::mktitle {

// The title's context strings, held compactly: a title has about one per
// topic, and a big title has millions. Names are kept end to end in one
// buffer and found through open-addressing tables of entry numbers, by the
// name in lower case (names differ by more than letter case) and by
// identifier.
class ContextTable {
public:
    struct Entry {
        uint32_t nameAt = 0, nameLength = 0;
        uint32_t id = 0;
        uint32_t nameHash = 0; // of the name in lower case
        int32_t topic = 0;
        uint32_t anchorAt = 0, anchorLength = 0; // in the names; none: the top of the topic
        int32_t file = 0;                        // into the files
        int32_t line = 0;
    };

    // The entry that has the name, or nullptr.
    const Entry *find(const QString &name) const
    {
        if (m_entries.empty())
            return nullptr;
        const QString key = name.toLower();
        const uint32_t hash = uint32_t(qHash(key));
        for (size_t slot = mix(hash) & m_mask;; slot = (slot + 1) & m_mask) {
            const int32_t e = m_byName[slot];
            if (e < 0)
                return nullptr;
            const Entry &entry = m_entries[size_t(e)];
            if (entry.nameHash == hash && this->name(entry).toLower() == key)
                return &entry;
        }
    }
    bool hasId(uint32_t id) const
    {
        if (m_entries.empty())
            return false;
        for (size_t slot = mix(id) & m_mask;; slot = (slot + 1) & m_mask) {
            const int32_t e = m_byId[slot];
            if (e < 0)
                return false;
            if (m_entries[size_t(e)].id == id)
                return true;
        }
    }
    // Adds a name not in the table yet.
    void add(const QString &name, uint32_t id, int topic, const QString &anchor, const Location &where)
    {
        if ((m_entries.size() + 1) * 2 > m_byName.size())
            grow();
        Entry e;
        e.nameAt = uint32_t(m_names.size());
        e.nameLength = uint32_t(name.size());
        e.nameHash = uint32_t(qHash(name.toLower()));
        m_names += name;
        e.id = id;
        e.topic = topic;
        e.anchorAt = uint32_t(m_names.size());
        e.anchorLength = uint32_t(anchor.size());
        m_names += anchor;
        if (where.file != m_lastFile) {
            m_lastFile = where.file;
            m_lastFileIndex = int32_t(m_files.indexOf(where.file));
            if (m_lastFileIndex < 0) {
                m_lastFileIndex = int32_t(m_files.size());
                m_files << where.file;
            }
        }
        e.file = m_lastFileIndex;
        e.line = where.line;
        m_entries.push_back(e);
        place(int32_t(m_entries.size() - 1));
    }

    QString name(const Entry &e) const { return m_names.mid(qsizetype(e.nameAt), qsizetype(e.nameLength)); }
    QString anchor(const Entry &e) const
    {
        return e.anchorLength ? m_names.mid(qsizetype(e.anchorAt), qsizetype(e.anchorLength)) : QString();
    }
    Location where(const Entry &e) const { return {m_files.value(e.file), e.line}; }
    const std::vector<Entry> &entries() const { return m_entries; }

private:
    static size_t mix(uint32_t id) { return size_t(id) * 0x9E3779B97F4A7C15ull >> 16; }
    void place(int32_t e)
    {
        const Entry &entry = m_entries[size_t(e)];
        size_t slot = mix(entry.nameHash) & m_mask;
        while (m_byName[slot] >= 0)
            slot = (slot + 1) & m_mask;
        m_byName[slot] = e;
        slot = mix(entry.id) & m_mask;
        while (m_byId[slot] >= 0)
            slot = (slot + 1) & m_mask;
        m_byId[slot] = e;
    }
    void grow()
    {
        const size_t size = std::max<size_t>(1024, m_byName.size() * 2);
        m_byName.assign(size, -1);
        m_byId.assign(size, -1);
        m_mask = size - 1;
        for (size_t e = 0; e < m_entries.size(); ++e)
            place(int32_t(e));
    }

    QString m_names;
    std::vector<Entry> m_entries;
    std::vector<int32_t> m_byName, m_byId;
    size_t m_mask = 0;
    QStringList m_files;
    QString m_lastFile;
    int32_t m_lastFileIndex = -1;
};

// The hotspots of a title being compiled, held as compactly as its context
// strings: a letter edition has a note call or more in every letter, and
// their targets are checked and written once every topic has been read.
class HotspotTable {
public:
    struct Entry {
        int32_t topic = 0;
        int32_t ordinal = 0;
        uint32_t targetAt = 0, targetLength = 0;
        int32_t file = 0;
        int32_t line = 0;
        int8_t region = 0;
        int8_t kind = 0;
        bool noteCall = false;
    };

    void add(int topic, const HotspotSource &h)
    {
        Entry e;
        e.topic = topic;
        e.ordinal = h.ordinal;
        e.region = int8_t(h.region);
        e.kind = int8_t(h.kind);
        e.noteCall = h.noteCall;
        e.targetAt = uint32_t(m_targets.size());
        e.targetLength = uint32_t(h.target.size());
        m_targets += h.target;
        if (h.where.file != m_lastFile) {
            m_lastFile = h.where.file;
            m_lastFileIndex = int32_t(m_files.indexOf(h.where.file));
            if (m_lastFileIndex < 0) {
                m_lastFileIndex = int32_t(m_files.size());
                m_files << h.where.file;
            }
        }
        e.file = m_lastFileIndex;
        e.line = h.where.line;
        m_entries.push_back(e);
    }
    QString target(const Entry &e) const { return m_targets.mid(qsizetype(e.targetAt), qsizetype(e.targetLength)); }
    Location where(const Entry &e) const { return {m_files.value(e.file), e.line}; }
    const std::vector<Entry> &entries() const { return m_entries; }

private:
    QString m_targets;
    std::vector<Entry> m_entries;
    QStringList m_files;
    QString m_lastFile;
    int32_t m_lastFileIndex = -1;
};

} // namespace folium::mktitle
