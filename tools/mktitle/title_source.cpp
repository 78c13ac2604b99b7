#include "title_source.h"

#include "part_files.h"
#include "project_reader.h"
#include "title_database_writer.h"

#include <QDataStream>
#include <QFile>
#include <QTemporaryFile>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace folium::mktitle {

namespace {

qsizetype textBytes(const TopicSource &t)
{
    return t.nsrHtml.size() + t.srHtml.size() + t.nsrText.size() + t.srText.size();
}

QDataStream &operator<<(QDataStream &out, const Location &l)
{
    return out << l.file << qint32(l.line);
}
QDataStream &operator>>(QDataStream &in, Location &l)
{
    qint32 line = 0;
    in >> l.file >> line;
    l.line = line;
    return in;
}

// Notes, put aside whole in a temporary file until every authored topic has
// gone to the sink: a letter edition has several notes to a letter, and
// what was kept of each in memory made it grow with the title.
class NoteSpill {
public:
    // Writes the note to the file and returns where, or -1 (the note then
    // stays as it is) when the file cannot be written.
    qint64 put(const TopicSource &n)
    {
        std::lock_guard lock(m_mutex);
        if (!m_file.isOpen()) {
            if (!m_file.open())
                return -1;
            registerPartFile(m_file.fileName());
        }
        // Notes are written one after the other; a seek (a call to the
        // system) only after a note was read back.
        const qint64 at = m_end;
        if (m_file.pos() != at && !m_file.seek(at))
            return -1;
        QDataStream out(&m_file);
        out << n.title << n.data << n.browse << n.groups << n.nsrHtml << n.srHtml << n.nsrText << n.srText << n.where
            << quint32(n.hotspots.size());
        for (const HotspotSource &h : n.hotspots)
            out << qint32(h.ordinal) << qint32(h.region) << qint32(h.kind) << h.target << h.noteCall << h.where;
        out << quint32(n.contexts.size());
        for (const AnchorSource &c : n.contexts)
            out << c.context << c.anchor << c.where;
        if (out.status() != QDataStream::Ok) {
            m_file.resize(at);
            m_file.seek(at);
            return -1;
        }
        m_end = m_file.pos();
        return at;
    }
    bool take(qint64 at, TopicSource &n)
    {
        std::lock_guard lock(m_mutex);
        if (!m_file.seek(at))
            return false;
        QDataStream in(&m_file);
        quint32 count = 0;
        in >> n.title >> n.data >> n.browse >> n.groups >> n.nsrHtml >> n.srHtml >> n.nsrText >> n.srText >> n.where >>
            count;
        for (quint32 k = 0; k < count && in.status() == QDataStream::Ok; ++k) {
            HotspotSource h;
            qint32 ordinal = 0, region = 0, kind = 0;
            in >> ordinal >> region >> kind >> h.target >> h.noteCall >> h.where;
            h.ordinal = ordinal;
            h.region = region;
            h.kind = kind;
            n.hotspots.push_back(std::move(h));
        }
        in >> count;
        for (quint32 k = 0; k < count && in.status() == QDataStream::Ok; ++k) {
            AnchorSource c;
            in >> c.context >> c.anchor >> c.where;
            n.contexts.push_back(std::move(c));
        }
        return in.status() == QDataStream::Ok;
    }

    ~NoteSpill()
    {
        if (m_file.isOpen())
            unregisterPartFile(m_file.fileName());
    }

private:
    std::mutex m_mutex;
    QTemporaryFile m_file;
    qint64 m_end = 0;
};

// Topics read ahead of the sink, over all topic files but the one the sink
// is taking from, are held up past this many bytes of text.
constexpr qsizetype kReadAheadBytes = 16 << 20;
constexpr size_t kBatchTopics = 256;
constexpr qsizetype kBatchBytes = 1 << 20;

} // namespace

bool readTitleSource(const QString &projectPath, TitleSource *out, QStringList *errors, const TopicSink &sink)
{
    const qsizetype before = errors->size();
    std::vector<TopicFile> files;
    {
        ProjectReader project(*out, *errors);
        project.readProject(projectPath);
        for (const auto &include : project.includes()) {
            const QString path = include.first;
            files.push_back({path, include.second, [path](QByteArray *bytes, QString *error) {
                                 QFile f(path);
                                 if (!f.open(QIODevice::ReadOnly)) {
                                     *error = QStringLiteral("cannot open topic file %1").arg(path);
                                     return false;
                                 }
                                 *bytes = f.readAll();
                                 return true;
                             }});
        }
    }
    return readTopicFiles(out, errors, files, sink) && errors->size() == before;
}

bool readTopicFiles(TitleSource *out, QStringList *errors, const std::vector<TopicFile> &includes,
                    const TopicSink &sink)
{
    const qsizetype before = errors->size();
    // Topic files are read side by side, each into its own part, then
    // joined in the order of the includes.
    struct Part {
        TitleSource source;
        QStringList errors;
        std::vector<TopicSource> notes; // those kept in memory
        std::vector<qint64> order;      // per note, where it waits in the spill (-1: the next kept one)
        std::deque<TopicSource> ready;  // read, not yet taken by the sink
        bool done = false;
    };
    std::vector<Part> parts(includes.size());
    const size_t declared = out->images.size();
    std::atomic<size_t> next{0};
    // With a sink: the part it takes from, and the text held in the others.
    std::mutex mutex;
    std::condition_variable changed;
    size_t current = 0;
    qsizetype held = 0;
    NoteSpill spill;
    const auto work = [&] {
        for (size_t i = next++; i < parts.size(); i = next++) {
            Part &p = parts[i];
            p.source.notesPrefix = out->notesPrefix;
            p.source.images = out->images;
            p.source.readableFolders = out->readableFolders;
            ProjectReader r(p.source, p.errors);
            // Topics are handed over in batches: a hand-over per topic
            // would cost more in waking threads than in reading.
            std::vector<TopicSource> batch;
            qsizetype batchBytes = 0;
            const auto handOver = [&] {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return i == current || held < kReadAheadBytes; });
                held += batchBytes;
                for (TopicSource &t : batch)
                    p.ready.push_back(std::move(t));
                changed.notify_all();
                batch.clear();
                batchBytes = 0;
            };
            if (sink) {
                r.setTopicSink([&](TopicSource &&t) {
                    batchBytes += textBytes(t);
                    batch.push_back(std::move(t));
                    if (batch.size() >= kBatchTopics || batchBytes >= kBatchBytes)
                        handOver();
                });
                r.setNoteSink([&](TopicSource &n) {
                    const qint64 at = spill.put(n);
                    p.order.push_back(at);
                    return at >= 0;
                });
            }
            QByteArray bytes;
            QString problem;
            if (includes[i].read(&bytes, &problem))
                r.readTopicText(bytes, includes[i].name);
            else
                p.errors
                    << QStringLiteral("%1:%2: %3").arg(includes[i].from.file).arg(includes[i].from.line).arg(problem);
            bytes = QByteArray();
            if (!batch.empty())
                handOver();
            p.notes = r.takeNotes();
            std::lock_guard lock(mutex);
            p.done = true;
            changed.notify_all();
        }
    };
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    std::vector<std::thread> pool;
    int index = 0; // of the next topic the sink takes
    if (!sink) {
        for (unsigned t = 1; t < threads && t < parts.size(); ++t)
            pool.emplace_back(work);
        work();
    } else {
        // This thread hands the topics to the sink, in order, while the
        // pool reads; a part is only ever held up when it is not the one
        // being taken from, so reading always goes on.
        for (unsigned t = 0; t < std::max(threads, 2u) - 1 && t < parts.size(); ++t)
            pool.emplace_back(work);
        for (size_t i = 0; i < parts.size(); ++i) {
            for (;;) {
                std::unique_lock lock(mutex);
                current = i;
                changed.notify_all();
                changed.wait(lock, [&] { return !parts[i].ready.empty() || parts[i].done; });
                if (parts[i].ready.empty())
                    break;
                std::deque<TopicSource> taken;
                taken.swap(parts[i].ready);
                for (const TopicSource &t : taken)
                    held -= textBytes(t);
                changed.notify_all();
                lock.unlock();
                for (TopicSource &t : taken)
                    sink(index++, t);
            }
        }
    }
    for (std::thread &t : pool)
        t.join();

    ProjectReader joiner(*out, *errors);
    for (Part &p : parts) {
        *errors += p.errors;
        for (TopicSource &t : p.source.topics)
            out->topics.push_back(std::move(t));
        for (size_t k = declared; k < p.source.images.size(); ++k)
            joiner.declareImage(p.source.images[k].name, p.source.images[k].path, p.source.images[k].where);
    }
    // Notes come after every authored topic, in the order of their calls.
    for (Part &p : parts) {
        if (!sink) {
            for (TopicSource &n : p.notes)
                out->topics.push_back(std::move(n));
            continue;
        }
        size_t kept = 0;
        for (const qint64 at : p.order) {
            TopicSource n;
            if (at < 0) {
                if (kept >= p.notes.size())
                    break;
                n = std::move(p.notes[kept++]);
            } else if (!spill.take(at, n)) {
                errors->append(QStringLiteral("%1: cannot read back a note from its temporary file")
                                   .arg(includes.empty() ? QString() : includes.front().from.file));
                break;
            }
            sink(index++, n);
        }
        p.notes.clear();
    }
    return errors->size() == before;
}

bool writeTitleDatabaseOf(const TitleSource &src, const QString &path, QString *error)
{
    std::vector<engine::ItemRow> items;
    int ordine = 0;
    for (const ItemSource &it : src.items)
        items.push_back({ordine++, it.key, it.text, it.parent, it.type});
    std::vector<engine::ParamRow> params;
    int ordre = 1;
    for (const ParamSource &p : src.params)
        params.push_back({ordre++, p.code, p.p1, p.hasP2 ? p.p2 : QString()});
    return engine::writeTitleDatabase(path, items, params, error);
}

} // namespace folium::mktitle
