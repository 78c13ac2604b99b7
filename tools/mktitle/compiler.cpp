#include "compiler.h"

#include "title_schema.h"
#include "title_source.h"
#include "title_writer.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

namespace folium::mktitle {

namespace {

struct ContextEntry {
    QString name;
    uint32_t id;
    int topic;
    QString anchor;
    Location where;
};

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

class Compiler {
public:
    Compiler(TitleSource &src, CompileResult &res) : m_src(src), m_res(res) {}

    void check(const QString &baseName)
    {
        if (m_src.topics.empty()) {
            m_res.errors << QStringLiteral("%1: the title has no topics").arg(m_projectPath);
            return;
        }
        collectContexts();
        resolveHome();
        checkHotspots();
        completeParams(baseName);
        checkItems();
    }

    // Writes the topics while the checks run on another thread; waitForCheck
    // joins them (false when they found problems). waitForIndex gives the
    // index built meanwhile, or an empty path when it failed.
    bool write(const QString &m14, const QString &mdb, const std::function<bool()> &waitForCheck,
               const std::function<QString()> &waitForIndex);

    QString m_projectPath;

private:
    void error(const Location &l, const QString &message) { m_res.errors << loc(l) + QStringLiteral(": ") + message; }

    void collectContexts()
    {
        QSet<uint32_t> usedIds;
        for (int i = 0; i < int(m_src.topics.size()); ++i) {
            for (const AnchorSource &c : m_src.topics[size_t(i)].contexts) {
                const QString key = c.context.toLower();
                const auto it = m_byName.constFind(key);
                if (it != m_byName.constEnd()) {
                    error(c.where, QStringLiteral("context string \"%1\" is already used at %2")
                                       .arg(c.context, loc(m_contexts[size_t(*it)].where)));
                    continue;
                }
                // 32-bit hashes of many names collide now and then: the
                // identifier then moves to a salted hash that is free.
                uint32_t id = 0;
                for (int salt = 0;; ++salt) {
                    id = engine::contextIdCandidate(c.context, salt);
                    if (!usedIds.contains(id))
                        break;
                }
                usedIds.insert(id);
                m_byName.insert(key, int(m_contexts.size()));
                m_contexts.push_back({c.context, id, i, c.anchor, c.where});
            }
        }
    }

    const ContextEntry *findContext(const QString &name) const
    {
        const auto it = m_byName.constFind(name.toLower());
        return it == m_byName.constEnd() ? nullptr : &m_contexts[size_t(*it)];
    }

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
        for (int i = 0; i < int(m_src.topics.size()); ++i) {
            if (m_src.topics[size_t(i)].data == u"sommario") {
                m_home = i;
                return;
            }
        }
    }

    void checkHotspots()
    {
        for (const TopicSource &t : m_src.topics) {
            for (const HotspotSource &h : t.hotspots) {
                QString target = h.target;
                if (h.kind == engine::HotspotCode) {
                    const QString code = readableCode(h.target);
                    if (code.isEmpty()) {
                        error(h.where, QStringLiteral("code string \"%1\" must start with N, B, S, M, K, a digit or "
                                                      "\".\"")
                                           .arg(h.target));
                        continue;
                    }
                    if (code != h.target) {
                        error(h.where,
                              QStringLiteral("code string \"%1\": the reader reads only \"%2\"").arg(h.target, code));
                        continue;
                    }
                    target = codeTarget(code);
                }
                if (!findContext(target))
                    error(h.where,
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
    std::vector<ContextEntry> m_contexts;
    QHash<QString, int> m_byName;
    int m_home = 0;
    bool m_dateTitle = false;
};

uint32_t topicAddress(int index)
{
    return 0x100000u + uint32_t(index) * 16u;
}

bool Compiler::write(const QString &m14, const QString &mdb, const std::function<bool()> &waitForCheck,
                     const std::function<QString()> &waitForIndex)
{
    bool checked = false;
    // The checks report into the same list: join them before adding to it.
    const auto failWith = [&](const QString &message) {
        if (!checked)
            waitForCheck();
        checked = true;
        m_res.errors << message;
        return false;
    };
    QElapsedTimer t;
    t.start();
    const auto lap = [&](const char *name) {
        m_res.phases.append({QString::fromLatin1(name), t.nsecsElapsed() / 1e9});
        t.restart();
    };
    engine::TitleWriter w;
    if (!w.create(m14))
        return failWith(QStringLiteral("%1: cannot write: %2").arg(m14, w.lastError()));
    int browse = 0;
    for (int i = 0; i < int(m_src.topics.size()); ++i) {
        const TopicSource &t = m_src.topics[size_t(i)];
        m_res.sourceBytes += t.nsrText.size() + t.srText.size();
        std::optional<int> b;
        if (t.browse)
            b = browse++;
        // The text goes to the index on its own thread (see compileTitle).
        if (!w.addTopicUtf8(i, topicAddress(i), t.title, t.data, b, t.nsrHtml, t.srHtml, {}, {}))
            return failWith(QStringLiteral("%1: cannot write: %2").arg(m14, w.lastError()));
    }
    lap("  topics");
    checked = true;
    if (!waitForCheck())
        return false;
    lap("  waiting for the checks");
    w.setMeta(m_src.name, m_home);
    for (int i = 0; i < int(m_src.topics.size()); ++i) {
        for (const HotspotSource &h : m_src.topics[size_t(i)].hotspots) {
            // A popup or a jump is identified by its target's identifier;
            // a code string by its own hash.
            const ContextEntry *target = h.kind == engine::HotspotCode ? nullptr : findContext(h.target);
            const uint32_t id = target ? target->id : engine::contextHash(h.target);
            if (!w.addHotspot(i, h.ordinal, h.region, h.kind, h.target, id, h.noteCall)) {
                m_res.errors << QStringLiteral("%1: cannot write: %2").arg(m14, w.lastError());
                return false;
            }
        }
    }
    lap("  hotspots");
    // In identifier order, the rows go to the end of the table one by one.
    std::vector<const ContextEntry *> byId;
    byId.reserve(m_contexts.size());
    for (const ContextEntry &c : m_contexts)
        byId.push_back(&c);
    std::sort(byId.begin(), byId.end(), [](const ContextEntry *a, const ContextEntry *b) { return a->id < b->id; });
    for (const ContextEntry *c : byId) {
        if (!w.addContext(c->name, c->id, c->topic, c->anchor)) {
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
    // Groups are stored as runs of consecutive topics, so that a search
    // limited to groups filters by ranges of the index.
    QMap<QString, std::vector<int>> groups;
    for (int i = 0; i < int(m_src.topics.size()); ++i)
        for (const QString &g : m_src.topics[size_t(i)].groups)
            groups[g.trimmed()].push_back(i);
    for (auto it = groups.cbegin(); it != groups.cend(); ++it) {
        const std::vector<int> &v = it.value();
        size_t s = 0;
        for (size_t k = 1; k <= v.size(); ++k) {
            if (k == v.size() || v[k] != v[k - 1] + 1) {
                w.addGroupRange(it.key(), v[s], v[k - 1]);
                s = k;
            }
        }
    }
    lap("  images, groups");
    const QString indexPart = waitForIndex();
    lap("  waiting for the index");
    if (indexPart.isEmpty())
        return false;
    if (!w.adoptIndex(indexPart)) {
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

    std::vector<engine::ItemRow> items;
    int ordine = 0;
    for (const ItemSource &it : m_src.items)
        items.push_back({ordine++, it.key, it.text, it.parent, it.type});
    std::vector<engine::ParamRow> params;
    int ordre = 1;
    for (const ParamSource &p : m_src.params)
        params.push_back({ordre++, p.code, p.p1, p.hasP2 ? p.p2 : QString()});
    QString err;
    if (!engine::writeTitleDatabase(mdb, items, params, &err)) {
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

CompileResult compileTitle(const QString &projectPath, const QString &outputM14)
{
    QElapsedTimer timer;
    timer.start();
    CompileResult res;
    TitleSource src;
    qint64 lap = 0;
    const auto phase = [&](const char *name) {
        const qint64 now = timer.nsecsElapsed();
        res.phases.append({QString::fromLatin1(name), (now - lap) / 1e9});
        lap = now;
    };
    readTitleSource(projectPath, &src, &res.errors);
    phase("read");
    const QFileInfo out(outputM14);
    const QString baseName = titleBaseName(out.fileName());
    res.m14Path = out.absoluteFilePath();
    res.mdbPath = out.absoluteDir().filePath(baseName + QStringLiteral(".mdb"));
    if (!out.absoluteDir().exists()) {
        res.errors << QStringLiteral("%1: cannot write: the folder %2 does not exist")
                          .arg(res.m14Path, QDir::toNativeSeparators(out.absolutePath()));
        return res;
    }
    Compiler c(src, res);
    c.m_projectPath = projectPath;

    // The full-text index is built on a thread of its own, into a file of
    // its own, while the topics are checked and written; the title adopts it.
    const QString m14Part = res.m14Path + QStringLiteral(".part");
    const QString mdbPart = res.mdbPath + QStringLiteral(".part");
    const QString indexPart = res.m14Path + QStringLiteral(".index-part");
    std::atomic<bool> cancel{false};
    bool indexed = false;
    QString indexError;
    std::thread indexer;
    if (res.errors.isEmpty() && !src.topics.empty()) {
        indexer = std::thread([&] {
            engine::IndexWriter ix;
            bool ok = ix.create(indexPart);
            for (size_t i = 0; ok && i < src.topics.size() && !cancel; ++i)
                ok = ix.add(int(i), src.topics[i].nsrText, src.topics[i].srText);
            ok = ok && !cancel && ix.finish();
            indexed = ok;
            if (!ok && !cancel)
                indexError = ix.lastError();
        });
    }
    const auto joinIndexer = [&](bool stop) {
        cancel = stop;
        if (indexer.joinable())
            indexer.join();
    };
    if (!res.errors.isEmpty()) {
        joinIndexer(true);
        QFile::remove(indexPart);
        return res;
    }

    // The checks run on a thread of their own while the topics are written
    // beside the targets; everything is renamed into place at the end, so a
    // reader never sees half a title.
    std::thread checker([&] { c.check(baseName); });
    const auto waitForCheck = [&] {
        if (checker.joinable())
            checker.join();
        return res.errors.isEmpty();
    };
    const bool written = c.write(m14Part, mdbPart, waitForCheck, [&] {
        joinIndexer(false);
        if (!indexed)
            res.errors << QStringLiteral("%1: cannot index: %2").arg(res.m14Path, indexError);
        return indexed ? indexPart : QString();
    });
    waitForCheck();
    joinIndexer(!written);
    phase("check and write");
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
    res.topics = int(src.topics.size());
    for (const TopicSource &t : src.topics)
        res.contexts += int(t.contexts.size());
    res.seconds = timer.nsecsElapsed() / 1e9;
    return res;
}

} // namespace folium::mktitle
