// Fuzzes opening a title from any bytes and showing what it holds: the
// file is checked, then a few topics are read, sanitized and laid out as
// the panes lay them out (images from the title included), their hotspots
// and contexts followed, titles of hits read and a search run.
#include "region_view.h"
#include "sanitizer.h"
#include "search.h"
#include "title_file.h"
#include "fuzz_support.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    folium::fuzzing::setUp<QGuiApplication>(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace folium::engine;
    const QString path = folium::fuzzing::file(QStringLiteral("fuzz.m14"));
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
