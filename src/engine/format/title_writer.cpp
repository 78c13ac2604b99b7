#include "title_writer.h"

#include "fold_tokenizer.h"
#include "sqlite.h"
#include "title_schema.h"

#include <QFile>

namespace folium::engine {

namespace {

// Settings for loading a whole index at once: terms gather in a large memory
// buffer and the segments are merged once at the end rather than all along.
void prepareBulkIndex(sqlite::Connection &db)
{
    db.exec("INSERT INTO fts(fts, rank) VALUES('automerge', 0)");
    db.exec("INSERT INTO fts(fts, rank) VALUES('crisismerge', 2000)");
    db.exec("INSERT INTO fts(fts, rank) VALUES('hashsize', 33554432)");
}

// The number of words indexed, from FTS5's averages record (row 1 of
// fts_data): a varint for the row count, then one per column for its tokens.
int64_t indexedWordsOf(sqlite::Connection &db)
{
    sqlite::Statement st(db, "SELECT block FROM fts_data WHERE id = 1");
    if (!st.step())
        return 0;
    const QByteArray b = st.blob(0);
    qsizetype at = 0;
    const auto varint = [&]() -> int64_t {
        uint64_t v = 0;
        for (int i = 0; i < 9 && at < b.size(); ++i) {
            const auto c = static_cast<unsigned char>(b[at++]);
            if (i == 8)
                return int64_t((v << 8) | c);
            v = (v << 7) | (c & 0x7F);
            if (!(c & 0x80))
                break;
        }
        return int64_t(v);
    };
    varint(); // rows
    int64_t words = 0;
    while (at < b.size())
        words += varint();
    return words;
}

// Creates a file to be filled in one go. It is renamed into place only when
// complete, so a journal buys nothing.
bool createBulkFile(sqlite::Connection &db, const QString &path)
{
    QFile::remove(path);
    if (!db.openForWriting(path) || !registerFoliumTokenizer(db))
        return false;
    db.exec("PRAGMA journal_mode=OFF");
    db.exec("PRAGMA synchronous=OFF");
    db.exec("PRAGMA page_size=4096");
    return true;
}

} // namespace

TitleWriter::TitleWriter() : m_db(std::make_unique<sqlite::Connection>()) {}
TitleWriter::~TitleWriter() = default;

bool TitleWriter::fail()
{
    if (m_error.isEmpty())
        m_error = m_db->writeProblem();
    return false;
}

bool TitleWriter::create(const QString &path)
{
    if (!createBulkFile(*m_db, path))
        return fail();
    const QByteArray pragmas = QByteArray("PRAGMA application_id=") + QByteArray::number(kTitleApplicationId) +
                               "; PRAGMA user_version=" + QByteArray::number(kTitleFormatVersion) + ";";
    if (!m_db->exec(pragmas.constData()) || !m_db->exec(kTitleSchemaSql) || !m_db->exec(kIndexSchemaSql) ||
        !m_db->exec("BEGIN"))
        return fail();
    prepareBulkIndex(*m_db);
    m_db->exec("PRAGMA cache_size=-8192");
    m_topic = std::make_unique<sqlite::Statement>(
        *m_db, "INSERT INTO topic(idx, title, data, nsr, sr) VALUES(?1,?2,?3,?4,?5)");
    m_nav = std::make_unique<sqlite::Statement>(*m_db, "INSERT INTO topic_nav(idx, va, browse) VALUES(?1,?2,?3)");
    m_fts = std::make_unique<sqlite::Statement>(*m_db, "INSERT INTO fts(rowid, nsr, sr) VALUES(?1,?2,?3)");
    m_context = std::make_unique<sqlite::Statement>(
        *m_db, "INSERT INTO context(id, hash, name, topic, anchor) VALUES(?1,?2,?3,?4,?5)");
    m_hotspot = std::make_unique<sqlite::Statement>(
        *m_db, "INSERT INTO hotspot(topic, ordinal, region, kind, target, id, note) VALUES(?1,?2,?3,?4,?5,?6,?7)");
    return m_topic->ok() && m_nav->ok() && m_fts->ok() && m_context->ok() && m_hotspot->ok() ? true : fail();
}

void TitleWriter::setMeta(const QString &name, int homeTopic)
{
    m_name = name;
    m_home = homeTopic;
}

bool TitleWriter::addTopic(int index, uint32_t va, const QString &title, const QString &data, std::optional<int> browse,
                           const QString &nsr, const QString &sr, const QString &nsrText, const QString &srText)
{
    const auto utf8 = [](const QString &s) { return s.isNull() ? QByteArray() : s.toUtf8(); };
    return addTopicUtf8(index, va, title, data, browse, nsr.toUtf8(), sr.toUtf8(), utf8(nsrText), utf8(srText));
}

bool TitleWriter::addTopicUtf8(int index, uint32_t va, const QString &title, const QString &data,
                               std::optional<int> browse, const QByteArray &nsr, const QByteArray &sr,
                               const QByteArray &nsrText, const QByteArray &srText)
{
    m_topic->reset();
    m_topic->bind(1, int64_t(index));
    m_topic->bind(2, title);
    m_topic->bind(3, data);
    m_topic->bindUtf8(4, nsr);
    m_topic->bindUtf8(5, sr);
    m_topic->step();
    if (!m_topic->succeeded())
        return fail();
    m_nav->reset();
    m_nav->bind(1, int64_t(index));
    m_nav->bind(2, int64_t(va));
    if (browse)
        m_nav->bind(3, int64_t(*browse));
    else
        m_nav->bindNull(3);
    m_nav->step();
    if (!m_nav->succeeded())
        return fail();
    m_pendingTitles.push_back(title.toUtf8());
    m_topics = std::max(m_topics, index + 1);
    if (int(m_pendingTitles.size()) == kTitlesPerChunk && !flushTitles())
        return false;
    if (nsrText.isNull() && srText.isNull())
        return true;
    m_fts->reset();
    m_fts->bind(1, int64_t(index));
    m_fts->bindUtf8(2, nsrText);
    m_fts->bindUtf8(3, srText);
    m_fts->step();
    return m_fts->succeeded() ? true : fail();
}

bool TitleWriter::flushTitles()
{
    if (m_pendingTitles.empty())
        return true;
    const auto put32 = [](QByteArray &b, uint32_t v) {
        const char bytes[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
        b.append(bytes, 4);
    };
    QByteArray blob;
    put32(blob, uint32_t(m_pendingTitles.size()));
    uint32_t offset = 0;
    put32(blob, 0);
    for (const QByteArray &t : m_pendingTitles) {
        offset += uint32_t(t.size());
        put32(blob, offset);
    }
    for (const QByteArray &t : m_pendingTitles)
        blob += t;
    // Topics are added in index order, so the chunk number follows from the count.
    const int chunk = (m_topics - 1) / kTitlesPerChunk;
    m_pendingTitles.clear();
    sqlite::Statement st(*m_db, "INSERT INTO title_chunk(chunk, data) VALUES(?1, ?2)");
    st.bind(1, int64_t(chunk));
    st.bind(2, blob);
    st.step();
    return st.succeeded() ? true : fail();
}

bool TitleWriter::addContext(const QString &name, uint32_t id, int topic, const QString &anchor)
{
    m_context->reset();
    m_context->bind(1, int64_t(id));
    m_context->bind(2, int64_t(contextHash(name)));
    m_context->bind(3, name);
    m_context->bind(4, int64_t(topic));
    if (anchor.isEmpty())
        m_context->bindNull(5);
    else
        m_context->bind(5, anchor);
    m_context->step();
    return m_context->succeeded() ? true : fail();
}

bool TitleWriter::addHotspot(int topic, int ordinal, int region, int kind, const QString &target, uint32_t id,
                             bool noteCall)
{
    m_hotspot->reset();
    m_hotspot->bind(1, int64_t(topic));
    m_hotspot->bind(2, int64_t(ordinal));
    m_hotspot->bind(3, int64_t(region));
    m_hotspot->bind(4, int64_t(kind));
    m_hotspot->bind(5, target);
    m_hotspot->bind(6, int64_t(id));
    m_hotspot->bind(7, int64_t(noteCall ? 1 : 0));
    m_hotspot->step();
    return m_hotspot->succeeded() ? true : fail();
}

bool TitleWriter::addImage(const QString &name, const QByteArray &data)
{
    sqlite::Statement st(*m_db, "INSERT OR REPLACE INTO image(name, data) VALUES(?1, ?2)");
    st.bind(1, name);
    st.bind(2, data);
    st.step();
    return st.succeeded() ? true : fail();
}

bool TitleWriter::addGroupRange(const QString &name, int first, int last)
{
    sqlite::Statement st(*m_db, "INSERT INTO search_group(name, first, last) VALUES(?1, ?2, ?3)");
    st.bind(1, name);
    st.bind(2, int64_t(first));
    st.bind(3, int64_t(last));
    st.step();
    return st.succeeded() ? true : fail();
}

bool TitleWriter::finish()
{
    {
        sqlite::Statement st(*m_db, "INSERT INTO meta(key, value) VALUES(?1, ?2)");
        if (!flushTitles())
            return false;
        const std::pair<const char *, QString> rows[] = {
            {"name", m_name}, {"home", QString::number(m_home)}, {"topics", QString::number(m_topics)}};
        for (const auto &[k, v] : rows) {
            st.reset();
            st.bind(1, QString::fromLatin1(k));
            st.bind(2, v);
            st.step();
            if (!st.succeeded())
                return fail();
        }
    }
    m_topic.reset();
    m_nav.reset();
    m_fts.reset();
    m_context.reset();
    m_hotspot.reset();
    // Indexes built after the rows are in are built sorted, once.
    if (!m_db->exec("CREATE INDEX context_hash ON context(hash)") ||
        !m_db->exec("CREATE UNIQUE INDEX topic_va ON topic_nav(va)") ||
        !m_db->exec("CREATE UNIQUE INDEX topic_browse ON topic_nav(browse) WHERE browse IS NOT NULL") ||
        (!m_adopted && !m_db->exec("INSERT INTO fts(fts) VALUES('optimize')")) || !m_db->exec("COMMIT"))
        return fail();
    m_words = indexedWordsOf(*m_db);
    m_db->exec("DETACH DATABASE ix");
    m_db->close();
    return true;
}

bool TitleWriter::adoptIndex(const QString &indexPath)
{
    sqlite::Statement attach(*m_db, "ATTACH DATABASE ?1 AS ix");
    attach.bind(1, indexPath);
    attach.step();
    if (!attach.succeeded())
        return fail();
    // FTS5 keeps an index in four tables of its own; a contentless index has
    // no others. They are copied whole, row for row.
    for (const char *table : {"fts_data", "fts_idx", "fts_docsize", "fts_config"}) {
        const QByteArray del = QByteArray("DELETE FROM main.") + table;
        const QByteArray copy = QByteArray("INSERT INTO main.") + table + " SELECT * FROM ix." + table;
        if (!m_db->exec(del.constData()) || !m_db->exec(copy.constData()))
            return fail();
    }
    m_adopted = true;
    return true;
}

IndexWriter::IndexWriter() : m_db(std::make_unique<sqlite::Connection>()) {}
IndexWriter::~IndexWriter() = default;

bool IndexWriter::fail()
{
    if (m_error.isEmpty())
        m_error = m_db->writeProblem();
    return false;
}

bool IndexWriter::create(const QString &path)
{
    if (!createBulkFile(*m_db, path))
        return fail();
    if (!m_db->exec(kIndexSchemaSql) || !m_db->exec("BEGIN"))
        return fail();
    prepareBulkIndex(*m_db);
    m_insert = std::make_unique<sqlite::Statement>(*m_db, "INSERT INTO fts(rowid, nsr, sr) VALUES(?1,?2,?3)");
    return m_insert->ok() ? true : fail();
}

bool IndexWriter::add(int topic, const QByteArray &nsrText, const QByteArray &srText)
{
    m_insert->reset();
    m_insert->bind(1, int64_t(topic));
    m_insert->bindUtf8(2, nsrText);
    m_insert->bindUtf8(3, srText);
    m_insert->step();
    return m_insert->succeeded() ? true : fail();
}

bool IndexWriter::finish()
{
    m_insert.reset();
    if (!m_db->exec("INSERT INTO fts(fts) VALUES('optimize')") || !m_db->exec("COMMIT"))
        return fail();
    m_words = indexedWordsOf(*m_db);
    m_db->close();
    return true;
}

} // namespace folium::engine
