#include "title_file.h"

#include "fold_tokenizer.h"
#include "sqlite.h"
#include "title_schema.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace folium::engine {

namespace {

uint32_t be(const QByteArray &h, int at, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | static_cast<unsigned char>(h[at + i]);
    return v;
}

// Checks the SQLite header against the file: a title cut short or with a
// damaged header is refused before SQLite reads any page.
bool headerLooksWhole(const QString &path, QString *why)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("cannot be read");
        return false;
    }
    const QByteArray h = f.read(100);
    if (h.size() < 100 || !h.startsWith(QByteArray("SQLite format 3\0", 16))) {
        *why = QStringLiteral("not a title file");
        return false;
    }
    uint32_t pageSize = be(h, 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) {
        *why = QStringLiteral("damaged header");
        return false;
    }
    const uint32_t pages = be(h, 28, 4);
    const bool sizeValid = be(h, 24, 4) == be(h, 92, 4) && pages != 0;
    if (!sizeValid || qint64(pages) * pageSize != f.size()) {
        *why = QStringLiteral("truncated or damaged");
        return false;
    }
    return true;
}

} // namespace

TitleFile::TitleFile() : m_db(std::make_unique<sqlite::Connection>()) {}
TitleFile::~TitleFile()
{
    m_titleBlob.close(); // before the database closes
}

std::shared_ptr<TitleFile> TitleFile::open(const QString &path, QString *why)
{
    QString dummy;
    QString &reason = why ? *why : dummy;
    const QFileInfo fi(path);
    if (!fi.isFile()) {
        reason = QStringLiteral("file not found");
        return nullptr;
    }
    if (!headerLooksWhole(path, &reason))
        return nullptr;
    std::shared_ptr<TitleFile> t(new TitleFile);
    sqlite::Connection &db = *t->m_db;
    if (!db.openUntrustedReadOnly(path) || !registerFoliumTokenizer(db)) {
        reason = QStringLiteral("cannot be opened");
        return nullptr;
    }
    if (db.pragmaInt("application_id") != kTitleApplicationId) {
        reason = QStringLiteral("not a title file");
        return nullptr;
    }
    if (db.pragmaInt("user_version") != kTitleFormatVersion) {
        reason = QStringLiteral("another format version");
        return nullptr;
    }
    {
        sqlite::Statement st(db, "SELECT key, value FROM meta");
        while (st.step()) {
            const QString key = st.text(0);
            if (key == u"name")
                t->m_name = st.text(1);
            else if (key == u"home")
                t->m_home = st.text(1).toInt();
            else if (key == u"topics")
                t->m_topicCount = st.text(1).toInt();
        }
        if (!st.ok() || !st.succeeded()) {
            reason = QStringLiteral("damaged (meta)");
            return nullptr;
        }
    }
    {
        // Topic indexes run from 0 to the count less one (both ends are a
        // lookup in the table's b-tree, not a scan).
        sqlite::Statement first(db, "SELECT idx FROM topic ORDER BY idx LIMIT 1");
        sqlite::Statement last(db, "SELECT idx FROM topic ORDER BY idx DESC LIMIT 1");
        if (!first.step() || !last.step()) {
            reason = QStringLiteral("damaged (topics)");
            return nullptr;
        }
        if (t->m_topicCount <= 0 || first.integer(0) != 0 || last.integer(0) != t->m_topicCount - 1) {
            reason = QStringLiteral("damaged (topic numbering)");
            return nullptr;
        }
        // The count sizes what the reader builds (a search for NOT lists
        // every topic): it must be what the file holds, one row of the
        // navigation table per topic (counted through its small index).
        sqlite::Statement held(db, "SELECT count(*), min(idx), max(idx) FROM topic_nav");
        if (!held.step() || held.integer(0) != t->m_topicCount || held.integer(1) != 0 ||
            held.integer(2) != t->m_topicCount - 1) {
            reason = QStringLiteral("damaged (topic count)");
            return nullptr;
        }
    }
    if (t->m_home < 0 || t->m_home >= t->m_topicCount || !t->topic(t->m_home)) {
        reason = QStringLiteral("damaged (home topic)");
        return nullptr;
    }
    // Every table the reader queries must be there and usable.
    for (const char *sql :
         {"SELECT id, hash, name, topic, anchor FROM context LIMIT 1",
          "SELECT topic, ordinal, region, kind, target, id, note FROM hotspot LIMIT 1",
          "SELECT name, data FROM image LIMIT 0", "SELECT chunk, data FROM title_chunk LIMIT 1",
          "SELECT idx, va, browse FROM topic_nav LIMIT 1", "SELECT name, first, last FROM search_group LIMIT 1",
          "SELECT rowid FROM fts WHERE fts MATCH 'folium' LIMIT 1"}) {
        sqlite::Statement st(db, sql);
        st.step();
        if (!st.ok() || !st.succeeded()) {
            reason = QStringLiteral("damaged (") + db.lastError() + u')';
            return nullptr;
        }
    }
    t->m_path = path;
    return t;
}

std::optional<TopicRecord> TitleFile::topic(int index) const
{
    sqlite::Statement st(
        *m_db,
        "SELECT n.va, t.title, t.data, t.nsr, t.sr FROM topic t JOIN topic_nav n ON n.idx = t.idx WHERE t.idx = ?1");
    st.bind(1, int64_t(index));
    if (!st.step())
        return std::nullopt;
    TopicRecord r;
    r.index = index;
    r.va = uint32_t(st.integer(0));
    r.title = st.text(1);
    r.data = st.text(2);
    r.nsr = st.text(3);
    r.sr = st.text(4);
    return r;
}

std::optional<int> TitleFile::topicAtAddress(uint32_t va) const
{
    sqlite::Statement st(*m_db, "SELECT idx FROM topic_nav WHERE va = ?1");
    st.bind(1, int64_t(va));
    if (!st.step())
        return std::nullopt;
    return int(st.integer(0));
}

std::optional<ContextTarget> TitleFile::contextById(uint32_t id) const
{
    sqlite::Statement st(*m_db, "SELECT topic, anchor FROM context WHERE id = ?1");
    st.bind(1, int64_t(id));
    if (!st.step())
        return std::nullopt;
    const int topicIndex = int(st.integer(0));
    if (topicIndex < 0 || topicIndex >= m_topicCount)
        return std::nullopt;
    return ContextTarget{topicIndex, st.text(1)};
}

std::optional<ContextTarget> TitleFile::context(const QString &name) const
{
    // Different names may share a hash: compare the names of each.
    sqlite::Statement st(*m_db, "SELECT topic, anchor, name FROM context WHERE hash = ?1");
    st.bind(1, int64_t(contextHash(name)));
    for (int guard = 0; st.step() && guard < 64; ++guard) {
        if (st.text(2).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        const int topicIndex = int(st.integer(0));
        if (topicIndex < 0 || topicIndex >= m_topicCount)
            return std::nullopt;
        return ContextTarget{topicIndex, st.text(1)};
    }
    return std::nullopt;
}

std::optional<uint32_t> TitleFile::contextId(const QString &name) const
{
    sqlite::Statement st(*m_db, "SELECT id, name FROM context WHERE hash = ?1");
    st.bind(1, int64_t(contextHash(name)));
    for (int guard = 0; st.step() && guard < 64; ++guard)
        if (st.text(1).compare(name, Qt::CaseInsensitive) == 0)
            return uint32_t(st.integer(0));
    return std::nullopt;
}

std::vector<StoredHotspot> TitleFile::hotspots(int topic) const
{
    std::vector<StoredHotspot> out;
    sqlite::Statement st(
        *m_db, "SELECT ordinal, region, kind, target, id, note FROM hotspot WHERE topic = ?1 ORDER BY ordinal");
    st.bind(1, int64_t(topic));
    while (st.step() && out.size() < 100000)
        out.push_back({int(st.integer(0)), int(st.integer(1)), int(st.integer(2)), st.text(3), uint32_t(st.integer(4)),
                       st.integer(5) != 0});
    return out;
}

std::optional<int> TitleFile::browseNeighbour(int topic, int direction) const
{
    const char *sql = direction < 0
                          ? "SELECT idx FROM topic_nav WHERE browse < (SELECT browse FROM topic_nav WHERE idx = ?1) "
                            "AND browse IS NOT NULL ORDER BY browse DESC LIMIT 1"
                          : "SELECT idx FROM topic_nav WHERE browse > (SELECT browse FROM topic_nav WHERE idx = ?1) "
                            "AND browse IS NOT NULL ORDER BY browse ASC LIMIT 1";
    sqlite::Statement st(*m_db, sql);
    st.bind(1, int64_t(topic));
    if (!st.step())
        return std::nullopt;
    return int(st.integer(0));
}

TitleFile::TitleChunk &TitleFile::titleChunk(int chunk) const
{
    if (chunk == m_lastChunkNumber)
        return *m_lastChunk;
    auto it = m_titleChunks.find(chunk);
    if (it == m_titleChunks.end()) {
        // Within the bound, the chunk used least lately makes room.
        if (m_titleChunks.size() >= kCachedTitleChunks) {
            auto oldest = m_titleChunks.begin();
            for (auto i = m_titleChunks.begin(); i != m_titleChunks.end(); ++i)
                if (i->second.lastUse < oldest->second.lastUse)
                    oldest = i;
            m_titleChunks.erase(oldest);
        }
        TitleChunk c;
        sqlite::Statement st(*m_db, "SELECT data FROM title_chunk WHERE chunk = ?1");
        st.bind(1, int64_t(chunk));
        if (st.step())
            c.data = st.blob(0);
        // The chunk comes from an untrusted file: its numbers are checked
        // once here, against its size and each other.
        const QByteArray &b = c.data;
        const auto u32 = [&](qsizetype at) {
            const auto *p = reinterpret_cast<const unsigned char *>(b.constData() + at);
            return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        };
        const uint32_t count = b.size() >= 4 ? u32(0) : 0;
        const qsizetype header = 4 + 4 * (qsizetype(count) + 1);
        bool ok = count <= uint32_t(kTitlesPerChunk) && b.size() >= header && u32(4) == 0;
        for (uint32_t k = 0; ok && k < count; ++k) {
            const uint32_t end = u32(4 + 4 * (qsizetype(k) + 1));
            ok = end >= (c.ends.empty() ? 0 : c.ends.back()) && header + qsizetype(end) <= b.size();
            c.ends.push_back(end);
        }
        if (!ok)
            c.ends.clear();
        c.text = b.constData() + (ok ? header : 0);
        it = m_titleChunks.emplace(chunk, std::move(c)).first;
        it->second.text = it->second.data.constData() + (it->second.ends.empty() ? 0 : header);
    }
    m_lastChunkNumber = chunk;
    m_lastChunk = &it->second;
    it->second.lastUse = ++m_useClock;
    return it->second;
}

QString TitleFile::titleReadAlone(int chunk, int k) const
{
    if (m_titleBlob.isOpen() && !m_titleBlob.reopen(chunk))
        return {};
    if (!m_titleBlob.isOpen()) {
        if (!m_titleBlob.open(*m_db, "title_chunk", "data", chunk))
            return {};
        QTimer::singleShot(0, [this, alive = std::weak_ptr<char>(m_alive)] {
            if (alive.lock())
                m_titleBlob.close();
        });
    }
    // The same checks as for a whole chunk, on the entries this title uses.
    const qint64 size = m_titleBlob.size();
    unsigned char b[8];
    const auto u32 = [&](int at) {
        return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
    };
    if (size < 8 || !m_titleBlob.read(b, 4, 0))
        return {};
    const uint32_t count = u32(0);
    const qint64 header = 4 + 4 * (qint64(count) + 1);
    if (count > uint32_t(kTitlesPerChunk) || uint32_t(k) >= count || size < header ||
        !m_titleBlob.read(b, 8, 4 + 4 * k))
        return {};
    const uint32_t from = u32(0), to = u32(4);
    if (to < from || header + qint64(to) > size)
        return {};
    QByteArray text(qsizetype(to - from), Qt::Uninitialized);
    if (!text.isEmpty() && !m_titleBlob.read(text.data(), int(text.size()), int(header + from)))
        return {};
    return QString::fromUtf8(text);
}

QString TitleFile::topicTitle(int index) const
{
    if (index < 0 || index >= m_topicCount)
        return {};
    const int chunk = index / kTitlesPerChunk;
    if (chunk != m_lastChunkNumber && !m_titleChunks.contains(chunk)) {
        if (m_titlesReadAlone.empty())
            m_titlesReadAlone.resize(size_t((int64_t(m_topicCount) + kTitlesPerChunk - 1) / kTitlesPerChunk));
        uint8_t &n = m_titlesReadAlone[size_t(chunk)];
        if (n < kTitlesReadAlonePerChunk) {
            ++n;
            return titleReadAlone(chunk, index % kTitlesPerChunk);
        }
    }
    TitleChunk &c = titleChunk(chunk);
    const size_t k = size_t(index % kTitlesPerChunk);
    if (k >= c.ends.size())
        return {};
    if (c.decoded.empty()) {
        // A chunk read whole serves lists of many hits: its titles are
        // decoded at once, in order, so that they lie side by side in
        // memory and a list of scattered hits walks them forwards.
        c.decoded.resize(c.ends.size());
        uint32_t from = 0;
        for (size_t j = 0; j < c.ends.size(); ++j) {
            c.decoded[j] = QString::fromUtf8(c.text + from, qsizetype(c.ends[j] - from));
            from = c.ends[j];
        }
    }
    return c.decoded[k];
}

void TitleFile::prefetchTitle(int index, bool title) const
{
    if (index < 0 || index / kTitlesPerChunk != m_lastChunkNumber || !m_lastChunk)
        return;
    const size_t k = size_t(index % kTitlesPerChunk);
    if (k >= m_lastChunk->decoded.size())
        return;
    const QString &kept = m_lastChunk->decoded[k];
    if (!title)
        __builtin_prefetch(&kept);
    else if (const auto *d = const_cast<QString &>(kept).data_ptr().d_ptr())
        __builtin_prefetch(d, 1); // a copy writes its reference count
}

QByteArray TitleFile::image(const QString &name) const
{
    sqlite::Statement st(*m_db, "SELECT data FROM image WHERE name = ?1");
    st.bind(1, name);
    if (!st.step())
        return {};
    return st.blob(0);
}

} // namespace folium::engine
