// Read access to one .m14 title. The file is untrusted: it is opened
// read-only with SQLite's defensive settings and checked before use.
#pragma once

#include "sqlite.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace folium::engine {

// A topic's title says what kind of topic it is by its first characters,
// which lists show as an icon: "/" a letter, "*" a chapter, "Home" the home
// page, "&" an index or a card, "Note" or "Nota" a note.
enum class TopicKind { Plain, Letter, Chapter, Home, Index, Note };

inline TopicKind topicKindOf(const QString &title)
{
    if (title.startsWith(u'/'))
        return TopicKind::Letter;
    if (title.startsWith(u'*'))
        return TopicKind::Chapter;
    if (title.startsWith(u"Home"))
        return TopicKind::Home;
    if (title.startsWith(u'&'))
        return TopicKind::Index;
    if (title.startsWith(u"Note") || title.startsWith(u"Nota"))
        return TopicKind::Note;
    return TopicKind::Plain;
}

// The title without the mark of its kind ("/", "*" or "&").
inline QString titleWithoutKindMark(const QString &title)
{
    const TopicKind k = topicKindOf(title);
    return k == TopicKind::Letter || k == TopicKind::Chapter || k == TopicKind::Index ? title.mid(1) : title;
}

struct TopicRecord {
    int index = -1;
    uint32_t va = 0;
    QString title;
    QString data;
    QString nsr; // stored (not yet sanitised) rich text of the regions
    QString sr;
};

struct StoredHotspot {
    int ordinal = 0;       // 1-based over the NSR, then the SR
    int region = 0;        // 0 NSR, 1 SR
    int kind = 0;          // HotspotKind
    QString target;        // code string, or context string of the target
    uint32_t id = 0;       // identifier: the hash of the target
    bool noteCall = false; // its text is a note's label, not words of the topic
};

struct ContextTarget {
    int topic = -1;
    QString anchor; // empty: top of the topic; "hs:N" a hotspot; otherwise a named place
};

class TitleFile {
public:
    ~TitleFile();
    TitleFile(const TitleFile &) = delete;
    TitleFile &operator=(const TitleFile &) = delete;

    // Opens and checks a title; nullptr when it is missing, not a title, of
    // another format version, truncated or damaged. why says which.
    static std::shared_ptr<TitleFile> open(const QString &path, QString *why = nullptr);

    const QString &path() const { return m_path; }
    const QString &name() const { return m_name; }
    int topicCount() const { return m_topicCount; }
    int homeTopic() const { return m_home; }

    std::optional<TopicRecord> topic(int index) const;
    std::optional<int> topicAtAddress(uint32_t va) const;
    std::optional<ContextTarget> context(const QString &name) const;
    // A context string by its identifier (the hotspot data of jumps).
    std::optional<ContextTarget> contextById(uint32_t id) const;
    std::optional<uint32_t> contextId(const QString &name) const;
    std::vector<StoredHotspot> hotspots(int topic) const;
    // The browse-sequence neighbour (direction −1 or +1) of a topic.
    std::optional<int> browseNeighbour(int topic, int direction) const;
    QByteArray image(const QString &name) const;
    // The title of a topic, from the packed titles (empty when damaged).
    // The first titles asked of a chunk are read alone, straight from its
    // row, so that a short list of scattered hits does not load a chunk per
    // hit. A chunk asked for more is loaded whole, and its titles decoded
    // are kept for the next lists of hits, within a bound
    // (kCachedTitleChunks chunks of kTitlesPerChunk titles).
    QString topicTitle(int index) const;
    // Brings a decoded title towards the processor ahead of its use: where
    // it is kept, or (`title` set) the title's text. Does nothing for a
    // title not decoded yet.
    void prefetchTitle(int index, bool title) const;
    static constexpr size_t kCachedTitleChunks = 128;
    static constexpr int kTitlesReadAlonePerChunk = 16;

    sqlite::Connection &database() const { return *m_db; }

private:
    TitleFile();
    std::unique_ptr<sqlite::Connection> m_db;
    QString m_path;
    QString m_name;
    int m_topicCount = 0;
    int m_home = 0;
    struct TitleChunk {
        QByteArray data;
        std::vector<uint32_t> ends; // end of each title in the text, checked
        const char *text = nullptr;
        // Titles already decoded: hit lists share them instead of decoding
        // the same title at every search.
        std::vector<QString> decoded;
        uint64_t lastUse = 0;
    };
    TitleChunk &titleChunk(int chunk) const;
    QString titleReadAlone(int chunk, int k) const;
    // Kept open on the last chunk read alone while a list of hits is being
    // read, and closed when control returns to the event loop: an open
    // handle holds a read transaction on the file.
    mutable sqlite::Blob m_titleBlob;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
    mutable std::vector<uint8_t> m_titlesReadAlone; // per chunk, up to the limit
    mutable std::unordered_map<int, TitleChunk> m_titleChunks;
    mutable TitleChunk *m_lastChunk = nullptr;
    mutable int m_lastChunkNumber = -1;
    mutable uint64_t m_useClock = 0;
};

} // namespace folium::engine
