// Fuzzes opening a title from any bytes and showing what it holds: the
// file is checked, then a few topics are read, sanitized and laid out as
// the panes lay them out (images from the title included), their hotspots
// and contexts followed, titles of hits read and a search run.
#include "region_view.h"
#include "sanitizer.h"
#include "search.h"
#include "title_file.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// Made once and never destroyed: libFuzzer ends the process with exit(),
// after which Qt's own statics are gone. The folder is removed by an exit
// handler that runs before them.
QGuiApplication *g_app = nullptr;
QTemporaryDir *g_dir = nullptr;
std::string g_dirPath;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    g_app = new QGuiApplication(*argc, *argv);
    g_dir = new QTemporaryDir;
    g_dir->setAutoRemove(false);
    g_dirPath = g_dir->path().toStdString();
    std::atexit([] { std::filesystem::remove_all(g_dirPath); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace folium::engine;
    const QString path = g_dir->filePath(QStringLiteral("fuzz.m14"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const std::shared_ptr<TitleFile> title = TitleFile::open(path);
    if (!title)
        return 0;
    const int topics = std::min(title->topicCount(), 4);
    for (int i = 0; i < topics; ++i) {
        const auto rec = title->topic(i);
        title->topicTitle(i);
        if (!rec)
            continue;
        for (const StoredHotspot &h : title->hotspots(i))
            title->contextById(h.id);
        title->browseNeighbour(i, 1);
        title->contextId(rec->data);
        for (const QString *region : {&rec->nsr, &rec->sr}) {
            SafeTextDocument doc;
            doc.setTitle(title);
            doc.setTextWidth(600);
            doc.setHtml(sanitizeTopicHtml(*region));
            doc.documentLayout()->documentSize();
        }
    }
    title->context(QStringLiteral("sommario"));
    TitleSearch search(title);
    TitleSearch::Request request;
    request.query = QStringLiteral("a* OR lettera NEAR casa");
    if (search.run(request))
        for (int i = 0; i < std::min(search.hitCount(), 8); ++i) {
            search.hitTitle(i);
            search.hitContext(search.hitTopic(i));
        }
    return 0;
}
