// Bookmark files of many bookmarks written and read as the bookmark list
// saves and opens them: one transaction under synchronous=FULL, the old file
// replaced only once the new one is whole.
#include "bookmark_file.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace folium::bookmarks;

namespace {

std::vector<Bookmark> manyBookmarks(int n)
{
    std::vector<Bookmark> out;
    out.reserve(size_t(n));
    for (int i = 0; i < n; ++i)
        out.push_back({8, QStringLiteral("Lettera %1, a Luigi Bassi, da Torino").arg(i), i, 0x100000 + 16 * i, i * 7});
    return out;
}

void SaveBookmarks(benchmark::State &state)
{
    QTemporaryDir dir;
    const std::vector<Bookmark> list = manyBookmarks(int(state.range(0)));
    const QString path = dir.filePath(QStringLiteral("many.bkm"));
    for (auto _ : state) {
        if (const int err = writeBookmarkFile(path, QStringLiteral("lettere"), list); err != 0) {
            state.SkipWithError("the save failed");
            return;
        }
    }
    state.counters["per_bookmark"] = benchmark::Counter(
        double(list.size()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(SaveBookmarks)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void OpenBookmarks(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("many.bkm"));
    if (writeBookmarkFile(path, QStringLiteral("lettere"), manyBookmarks(int(state.range(0)))) != 0) {
        state.SkipWithError("the file could not be made");
        return;
    }
    for (auto _ : state) {
        QString codice;
        std::vector<Bookmark> read;
        if (readBookmarkFile(path, &codice, &read) != 0 || int(read.size()) != state.range(0)) {
            state.SkipWithError("the file could not be read");
            return;
        }
        benchmark::DoNotOptimize(read.data());
    }
}
BENCHMARK(OpenBookmarks)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
