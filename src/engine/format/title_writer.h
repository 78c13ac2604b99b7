// Writes .m14 titles; their title databases are written by
// title_database_writer.h. Used by the title compiler and by tests that
// build damaged or unusual titles on purpose.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace folium::sqlite {
class Connection;
class Statement;
} // namespace folium::sqlite

namespace folium::engine {

class TitleWriter {
public:
    TitleWriter();
    ~TitleWriter();
    TitleWriter(const TitleWriter &) = delete;
    TitleWriter &operator=(const TitleWriter &) = delete;

    // Creates an empty title at path (an existing file is replaced).
    bool create(const QString &path);
    void setMeta(const QString &name, int homeTopic);
    // nsrText and srText are the plain text of the regions, for the index;
    // null strings leave the topic out of the index (see adoptIndex).
    bool addTopic(int index, uint32_t va, const QString &title, const QString &data, std::optional<int> browse,
                  const QString &nsr, const QString &sr, const QString &nsrText, const QString &srText);
    // The same with the regions and their text in UTF-8; null texts leave the
    // topic out of the index.
    bool addTopicUtf8(int index, uint32_t va, const QString &title, const QString &data, std::optional<int> browse,
                      const QByteArray &nsr, const QByteArray &sr, const QByteArray &nsrText, const QByteArray &srText);
    // id is the context string's identifier (see contextIdCandidate).
    bool addContext(const QString &name, uint32_t id, int topic, const QString &anchor);
    // A note call's label is shown but is not a word of the topic (see
    // TopicView's highlights).
    bool addHotspot(int topic, int ordinal, int region, int kind, const QString &target, uint32_t id, bool noteCall);
    bool addImage(const QString &name, const QByteArray &data);
    bool addGroupRange(const QString &name, int first, int last);
    // Takes the full-text index built by an IndexWriter in place of the
    // title's own (which is then left empty by addTopic). Call before finish.
    bool adoptIndex(const QString &indexPath);
    // Commits and closes; the file is complete when this returns true.
    bool finish();
    // Words (token occurrences) in the index; valid after finish().
    int64_t indexedWords() const { return m_words; }
    QString lastError() const { return m_error; }

private:
    bool fail();
    bool flushTitles();
    std::unique_ptr<sqlite::Connection> m_db;
    std::unique_ptr<sqlite::Statement> m_topic, m_nav, m_fts, m_context, m_hotspot;
    QString m_name;
    int m_home = 0;
    int64_t m_words = 0;
    int m_topics = 0;
    bool m_adopted = false;
    std::vector<QByteArray> m_pendingTitles;
    QString m_error;
};

// Builds a title's full-text index in a file of its own, so that a compiler
// can index the text on one thread while it writes the topics on another.
class IndexWriter {
public:
    IndexWriter();
    ~IndexWriter();
    IndexWriter(const IndexWriter &) = delete;
    IndexWriter &operator=(const IndexWriter &) = delete;

    bool create(const QString &path);
    bool add(int topic, const QByteArray &nsrText, const QByteArray &srText); // UTF-8
    bool finish();
    int64_t indexedWords() const { return m_words; }
    QString lastError() const { return m_error; }

private:
    bool fail();
    std::unique_ptr<sqlite::Connection> m_db;
    std::unique_ptr<sqlite::Statement> m_insert;
    int64_t m_words = 0;
    QString m_error;
};

} // namespace folium::engine
