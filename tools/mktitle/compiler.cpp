#include "compiler.h"
#include "part_files.h"

#include "context_table.h"

#include "title_schema.h"
#include "title_source.h"
#include "title_writer.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace folium::mktitle {

namespace {

using ContextEntry = ContextTable::Entry;

QString loc(const Location &l)
{
    return QStringLiteral("%1:%2").arg(l.file).arg(l.line);
}

// The part of a code string that the reader acts on: the longest prefix
// made of "NBSMK0123456789.", at most 20 characters.
QString readableCode(const QString &code)
{
    static const QString allowed = QStringLiteral("NBSMK0123456789.");
    int n = 0;
    while (n < code.size() && n < 20 && allowed.contains(code[n]))
        ++n;
    return code.left(n);
}

// The context string a code string leads to in the reader.
QString codeTarget(const QString &code)
{
    if (code.startsWith(u'N') || code.startsWith(u'B'))
        return code;
    const int dot = int(code.lastIndexOf(u'.'));
    return dot >= 0 ? code.left(dot) : code;
}

uint32_t topicAddress(int index)
{
    return 0x100000u + uint32_t(index) * 16u;
}

// Texts on their way to the indexer thread, held up past a bound so that
// a slow index never lets the texts of the whole title pile up.
class IndexQueue {
public:
    struct Item {
        int topic = 0;
        QByteArray nsr, sr;
    };
    // Texts are handed over in batches, to wake the indexer seldom.
    void push(Item item)
    {
        m_batchBytes += item.nsr.size() + item.sr.size();
        m_batch.push_back(std::move(item));
        if (m_batch.size() >= 256 || m_batchBytes >= (1 << 20))
            flush();
    }
    void flush()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_bytes < kBound || m_closed; });
        if (!m_closed) {
            m_bytes += m_batchBytes;
            for (Item &i : m_batch)
                m_items.push_back(std::move(i));
            m_changed.notify_all();
        }
        m_batch.clear();
        m_batchBytes = 0;
    }
    // The texts waiting, or false once the queue is closed and empty.
    bool pop(std::deque<Item> *items)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_items.empty() || m_closed; });
        if (m_items.empty())
            return false;
        items->swap(m_items);
        m_items.clear();
        m_bytes = 0;
        m_changed.notify_all();
        return true;
    }
    // No more texts; with drop, those waiting are dropped too.
    void close(bool drop)
    {
        if (!drop && !m_batch.empty())
            flush();
        std::lock_guard lock(m_mutex);
        m_closed = true;
        if (drop)
            m_items.clear();
        m_changed.notify_all();
    }

private:
    static constexpr qsizetype kBound = 16 << 20;
    std::vector<Item> m_batch; // the producer's own
    qsizetype m_batchBytes = 0;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Item> m_items;
    qsizetype m_bytes = 0;
    bool m_closed = false;
};

// A title compiled as its topics are read: each topic is written to the
// title and queued for the index as it comes, and only what the checks
// need of it is kept (its context strings, hotspots and groups).
class Compiler {
public:
    Compiler(TitleSource &src, CompileResult &res) : m_src(src), m_res(res) {}
    ~Compiler() { stopIndexer(true); }

    // Creates the title and starts the index beside it, in a file of its
    // own on a thread of its own.
    bool begin(const QString &m14, const QString &indexPart)
    {
        m_m14 = m14;
        if (!m_writer.create(m14)) {
            m_res.errors << QStringLiteral("%1: cannot write: %2").arg(m14, m_writer.lastError());
            return false;
        }
        m_indexer = std::thread([this, indexPart] {
            engine::IndexWriter ix;
            bool ok = ix.create(indexPart);
            std::deque<IndexQueue::Item> items;
            while (m_queue.pop(&items)) {
                for (const IndexQueue::Item &item : items)
                    ok = ok && !m_indexCancelled && ix.add(item.topic, item.nsr, item.sr);
                items.clear();
            }
            ok = ok && !m_indexCancelled && ix.finish();
            m_indexed = ok;
            if (!ok && !m_indexCancelled)
                m_indexError = ix.lastError();
        });
        return true;
    }

    void addTopic(int i, TopicSource &t)
    {
        ++m_topicCount;
        m_res.sourceBytes += t.nsrText.size() + t.srText.size();
        std::optional<int> b;
        if (t.browse)
            b = m_browse++;
        if (!m_writeFailed &&
            !m_writer.addTopicUtf8(i, topicAddress(i), t.title, t.data, b, t.nsrHtml, t.srHtml, {}, {})) {
            m_writeFailed = true;
            m_res.errors << QStringLiteral("%1: cannot write: %2").arg(m_m14, m_writer.lastError());
        }
        if (!m_writeFailed)
            m_queue.push({i, std::move(t.nsrText), std::move(t.srText)});
        collectContexts(i, t.contexts);
        for (const HotspotSource &h : t.hotspots)
            m_hotspots.add(i, h);
        if (m_sommario < 0 && t.data == u"sommario")
            m_sommario = i;
        // Groups are stored as runs of consecutive topics, so that a search
        // limited to groups filters by ranges of the index.
        for (const QString &g : std::as_const(t.groups)) {
            std::vector<std::pair<int, int>> &runs = m_groups[g.trimmed()];
            if (!runs.empty() && runs.back().second >= i - 1)
                runs.back().second = i;
            else
                runs.push_back({i, i});
        }
    }

    // After the last topic: the checks, on what was kept of the topics.
    void check(const QString &baseName)
    {
        if (m_topicCount == 0) {
            m_res.errors << QStringLiteral("%1: the title has no topics").arg(m_projectPath);
            return;
        }
        m_res.errors += m_contextErrors;
        m_res.topics = m_topicCount;
        m_res.contexts = int(m_contexts.entries().size());
        resolveHome();
        checkHotspots();
        completeParams(baseName);
        checkItems();
    }

    // Writes the rest of the title and its database once the checks passed,
    // with the index the indexer built meanwhile.
    bool write(const QString &mdb);
    // Ends the indexer; with cancel, what it has not indexed yet is dropped.
    void stopIndexer(bool cancel)
    {
        m_indexCancelled = m_indexCancelled || cancel;
        m_queue.close(cancel);
        if (m_indexer.joinable())
            m_indexer.join();
    }
    bool writeFailed() const { return m_writeFailed; }

    QString m_projectPath;
    QString m_indexPart;

private:
    void error(const Location &l, const QString &message) { m_res.errors << loc(l) + QStringLiteral(": ") + message; }

    // Context strings as topics come: a name used twice is reported (after
    // the errors of reading, as the checks' first finding).
    void collectContexts(int i, const std::vector<AnchorSource> &contexts)
    {
        for (const AnchorSource &c : contexts) {
            if (const ContextEntry *first = m_contexts.find(c.context)) {
                m_contextErrors << loc(c.where) + QStringLiteral(": ") +
                                       QStringLiteral("context string \"%1\" is already used at %2")
                                           .arg(c.context, loc(m_contexts.where(*first)));
                continue;
            }
            // 32-bit hashes of many names collide now and then: the
            // identifier then moves to a salted hash that is free.
            uint32_t id = 0;
            for (int salt = 0;; ++salt) {
                id = engine::contextIdCandidate(c.context, salt);
                if (!m_contexts.hasId(id))
                    break;
            }
            m_contexts.add(c.context, id, i, c.anchor, c.where);
        }
    }

    const ContextEntry *findContext(const QString &name) const { return m_contexts.find(name); }

    void resolveHome()
    {
        m_home = 0;
        if (!m_src.homeContext.isEmpty()) {
            if (const ContextEntry *e = findContext(m_src.homeContext))
                m_home = e->topic;
            else
                error(m_src.homeWhere, QStringLiteral("home context \"%1\" is not defined").arg(m_src.homeContext));
            return;
        }
        if (m_sommario >= 0)
            m_home = m_sommario;
    }

    void checkHotspots()
    {
        {
            for (const HotspotTable::Entry &h : m_hotspots.entries()) {
                const QString written = m_hotspots.target(h);
                QString target = written;
                if (h.kind == engine::HotspotCode) {
                    const QString code = readableCode(written);
                    if (code.isEmpty()) {
                        error(m_hotspots.where(h),
                              QStringLiteral("code string \"%1\" must start with N, B, S, M, K, a digit or "
                                             "\".\"")
                                  .arg(written));
                        continue;
                    }
                    if (code != written) {
                        error(m_hotspots.where(h),
                              QStringLiteral("code string \"%1\": the reader reads only \"%2\"").arg(written, code));
                        continue;
                    }
                    target = codeTarget(code);
                }
                if (!findContext(target))
                    error(m_hotspots.where(h),
                          QStringLiteral("hotspot target \"%1\" is not a context string of the title").arg(target));
            }
        }
    }

    void completeParams(const QString &baseName)
    {
        bool hasCod = false;
        m_dateTitle = false;
        for (const ParamSource &p : m_src.params) {
            if (p.code == u"COD") {
                hasCod = true;
                if (p.p1.compare(baseName, Qt::CaseInsensitive) != 0)
                    error(p.where,
                          QStringLiteral("COD \"%1\" does not match the title file name \"%2\"").arg(p.p1, baseName));
            } else if (p.code == u"DAT") {
                m_dateTitle = p.p1 == u"O";
            } else if (p.code == u"DEB") {
                if (!QDate::fromString(p.p1, Qt::ISODate).isValid())
                    error(p.where, QStringLiteral("DEB \"%1\" is not a date (YYYY-MM-DD)").arg(p.p1));
            } else if (p.code == u"GRP") {
                if (p.p1.trimmed().isEmpty() || p.p2.isEmpty())
                    error(p.where, QStringLiteral("GRP needs p1 (the search group) and p2 (its name)"));
            }
        }
        if (!hasCod)
            m_src.params.insert(m_src.params.begin(), ParamSource{QStringLiteral("COD"), baseName, {}, false, {}});
    }

    void checkItems()
    {
        QHash<QString, Location> seen;
        bool first = true;
        for (ItemSource &it : m_src.items) {
            while (it.key.endsWith(u' '))
                it.key.chop(1);
            while (it.parent.endsWith(u' '))
                it.parent.chop(1);
            if (seen.contains(it.key)) {
                error(it.where,
                      QStringLiteral("contents key \"%1\" is already used at %2").arg(it.key, loc(seen.value(it.key))));
                continue;
            }
            if (first) {
                if (!it.parent.isEmpty())
                    error(it.where, QStringLiteral("the first contents item is the root and has no parent"));
            } else if (it.parent.isEmpty()) {
                error(it.where, QStringLiteral("contents item \"%1\" needs a parent").arg(it.key));
            } else if (!seen.contains(it.parent)) {
                error(it.where, QStringLiteral("parent \"%1\" of contents item \"%2\" is not defined before it")
                                    .arg(it.parent, it.key));
            }
            first = false;
            seen.insert(it.key, it.where);
            if (it.type != u"f") {
                QString ctx = it.key;
                if (m_dateTitle) {
                    if (!ctx.startsWith(u'D')) {
                        error(it.where, QStringLiteral("contents key \"%1\" must start with D in a title searched "
                                                       "by date")
                                            .arg(it.key));
                        continue;
                    }
                    ctx = ctx.mid(1);
                }
                if (!findContext(ctx))
                    error(it.where, QStringLiteral("contents item \"%1\" shows \"%2\", which is not a context string")
                                        .arg(it.key, ctx));
            }
        }
    }

    TitleSource &m_src;
    CompileResult &m_res;
    QString m_m14;
    engine::TitleWriter m_writer;
    IndexQueue m_queue;
    std::thread m_indexer;
    std::atomic<bool> m_indexCancelled{false};
    bool m_indexed = false;
    QString m_indexError;
    bool m_writeFailed = false;
    int m_topicCount = 0;
    int m_browse = 0;
    ContextTable m_contexts;
    QStringList m_contextErrors;
    HotspotTable m_hotspots;
    QMap<QString, std::vector<std::pair<int, int>>> m_groups;
    int m_sommario = -1;
    int m_home = 0;
    bool m_dateTitle = false;
};

bool Compiler::write(const QString &mdb)
{
    QElapsedTimer t;
    t.start();
    const auto lap = [&](const char *name) {
        m_res.phases.append({QString::fromLatin1(name), t.nsecsElapsed() / 1e9});
        t.restart();
    };
    engine::TitleWriter &w = m_writer;
    const QString &m14 = m_m14;
    w.setMeta(m_src.name, m_home);
    for (const HotspotTable::Entry &h : m_hotspots.entries()) {
        // A popup or a jump is identified by its target's identifier; a
        // code string by its own hash.
        const QString written = m_hotspots.target(h);
        const ContextEntry *target = h.kind == engine::HotspotCode ? nullptr : findContext(written);
        const uint32_t id = target ? target->id : engine::contextHash(written);
        if (!w.addHotspot(h.topic, h.ordinal, h.region, h.kind, written, id, h.noteCall)) {
            m_res.errors << QStringLiteral("%1: cannot write: %2").arg(m14, w.lastError());
            return false;
        }
    }
    lap("  hotspots");
    // In identifier order, the rows go to the end of the table one by one.
    std::vector<const ContextEntry *> byId;
    byId.reserve(m_contexts.entries().size());
    for (const ContextEntry &c : m_contexts.entries())
        byId.push_back(&c);
    std::sort(byId.begin(), byId.end(), [](const ContextEntry *a, const ContextEntry *b) { return a->id < b->id; });
    for (const ContextEntry *c : byId) {
        if (!w.addContext(m_contexts.name(*c), c->id, c->topic, m_contexts.anchor(*c))) {
            m_res.errors << QStringLiteral("%1: cannot write: %2").arg(m14, w.lastError());
            return false;
        }
    }
    lap("  contexts");
    for (const ImageSource &img : m_src.images) {
        QFile f(img.path);
        if (!f.open(QIODevice::ReadOnly) || !w.addImage(img.name, f.readAll())) {
            m_res.errors << loc(img.where) + QStringLiteral(": cannot store image %1").arg(img.path);
            return false;
        }
    }
    for (auto it = m_groups.cbegin(); it != m_groups.cend(); ++it)
        for (const auto &[first, last] : it.value())
            w.addGroupRange(it.key(), first, last);
    lap("  images, groups");
    stopIndexer(false);
    lap("  waiting for the index");
    if (!m_indexed) {
        m_res.errors << QStringLiteral("%1: cannot index: %2").arg(m14, m_indexError);
        return false;
    }
    if (!w.adoptIndex(m_indexPart)) {
        m_res.errors << QStringLiteral("%1: cannot write: %2").arg(m14, w.lastError());
        return false;
    }
    lap("  index adopted");
    if (!w.finish()) {
        m_res.errors << QStringLiteral("%1: cannot write: %2").arg(m14, w.lastError());
        return false;
    }
    m_res.words = w.indexedWords();
    lap("  index merge and commit");

    QString err;
    if (!writeTitleDatabaseOf(m_src, mdb, &err)) {
        m_res.errors << QStringLiteral("%1: cannot write: %2").arg(mdb, err);
        return false;
    }
    return true;
}

} // namespace

QString titleBaseName(const QString &m14FileName)
{
    const qsizetype dot = m14FileName.indexOf(u'.');
    return dot < 0 ? m14FileName : m14FileName.left(dot);
}

namespace {

// Other titles in a folder that share the title database of a title: the
// reader takes a title database's name from the title's up to its first
// dot, so "Lettere.m14" and "Lettere.finali.m14" both use "Lettere.mdb".
QStringList titlesSharingTheDatabase(const QFileInfo &m14)
{
    QStringList out;
    const QString base = titleBaseName(m14.fileName());
    const QDir dir = m14.absoluteDir();
    for (const QString &name : dir.entryList({base + QStringLiteral(".*")}, QDir::Files)) {
        if (name.compare(m14.fileName(), Qt::CaseInsensitive) != 0 &&
            name.endsWith(QStringLiteral(".m14"), Qt::CaseInsensitive) &&
            titleBaseName(name).compare(base, Qt::CaseInsensitive) == 0)
            out << name;
    }
    return out;
}

} // namespace

namespace {

// Reads a title's sources into the title source it is given, handing each
// topic to the sink; problems go to the list.
using SourceReader = std::function<void(TitleSource &src, QStringList &errors, const TopicSink &sink)>;

CompileResult compile(TitleSource &src, const QString &projectPath, const SourceReader &readSources,
                      const QString &outputM14)
{
    QElapsedTimer timer;
    timer.start();
    CompileResult res;
    qint64 lap = 0;
    const auto phase = [&](const char *name) {
        const qint64 now = timer.nsecsElapsed();
        res.phases.append({QString::fromLatin1(name), (now - lap) / 1e9});
        lap = now;
    };
    const QFileInfo out(outputM14);
    const QString baseName = titleBaseName(out.fileName());
    res.m14Path = out.absoluteFilePath();
    res.mdbPath = out.absoluteDir().filePath(baseName + QStringLiteral(".mdb"));
    if (!out.absoluteDir().exists()) {
        res.errors << QStringLiteral("%1: cannot write: the folder %2 does not exist")
                          .arg(res.m14Path, QDir::toNativeSeparators(out.absolutePath()));
        return res;
    }
    // Everything is written beside the targets and renamed into place at
    // the end, so a reader never sees half a title.
    const QString m14Part = res.m14Path + QStringLiteral(".part");
    const QString mdbPart = res.mdbPath + QStringLiteral(".part");
    const QString indexPart = res.m14Path + QStringLiteral(".index-part");
    for (const QString &part : {m14Part, mdbPart, indexPart})
        registerPartFile(part);
    const auto unregister = qScopeGuard([&] {
        for (const QString &part : {m14Part, mdbPart, indexPart})
            unregisterPartFile(part);
    });
    bool written = false;
    {
        Compiler c(src, res);
        c.m_projectPath = projectPath;
        c.m_indexPart = indexPart;
        // The topics are written and indexed as they are read.
        if (c.begin(m14Part, indexPart)) {
            QStringList readErrors;
            readSources(src, readErrors, [&c](int index, TopicSource &t) { c.addTopic(index, t); });
            res.errors = readErrors + res.errors;
            phase("read and write the topics");
            if (res.errors.isEmpty())
                c.check(baseName);
            phase("checks");
            written = res.errors.isEmpty() && c.write(mdbPart);
        }
        c.stopIndexer(!written);
    }
    phase("write the rest");
    QFile::remove(indexPart);
    std::error_code ec;
    if (written) {
        std::filesystem::rename(QFile::encodeName(m14Part).toStdString(), QFile::encodeName(res.m14Path).toStdString(),
                                ec);
        if (!ec)
            std::filesystem::rename(QFile::encodeName(mdbPart).toStdString(),
                                    QFile::encodeName(res.mdbPath).toStdString(), ec);
        if (ec)
            res.errors << QStringLiteral("%1: cannot rename into place: %2")
                              .arg(res.m14Path, QString::fromStdString(ec.message()));
    }
    QFile::remove(m14Part);
    QFile::remove(mdbPart);
    if (!res.errors.isEmpty())
        return res;
    const QStringList sharing = titlesSharingTheDatabase(out);
    if (!sharing.isEmpty())
        res.warnings << QStringLiteral("%1: warning: %2 is also the title database of %3, which now shows this "
                                       "title's contents")
                            .arg(res.m14Path, QFileInfo(res.mdbPath).fileName(), sharing.join(QStringLiteral(", ")));
    res.ok = true;
    res.seconds = timer.nsecsElapsed() / 1e9;
    return res;
}

} // namespace

CompileResult compileTitle(const QString &projectPath, const QString &outputM14, const CompileOptions &options)
{
    TitleSource src;
    src.readableFolders = options.allowedFolders;
    return compile(
        src, projectPath,
        [&projectPath](TitleSource &s, QStringList &errors, const TopicSink &sink) {
            readTitleSource(projectPath, &s, &errors, sink);
        },
        outputM14);
}

CompileResult compileTopicFiles(TitleSource project, const std::vector<TopicFile> &files, const QString &outputM14)
{
    const QString name = project.name;
    return compile(
        project, name,
        [&files](TitleSource &s, QStringList &errors, const TopicSink &sink) {
            readTopicFiles(&s, &errors, files, sink);
        },
        outputM14);
}

} // namespace folium::mktitle
