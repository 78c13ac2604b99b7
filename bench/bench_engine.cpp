// Benchmarks of the title engine on a large generated title. Each search
// class runs twice in the same process: through TopicView (RunSearch, then
// every hit's index and title) and as the same query sent straight to
// SQLite FTS5 on the same file (the floor). See bench/README.md.
#include "fold_tokenizer.h"
#include "region_view.h"
#include "sqlite.h"
#include "topicview.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QFile>
#include <QFileInfo>

#include <memory>

#include <sys/resource.h>
#include <random>

using folium::engine::TopicView;

namespace {

QString g_title;  // the large title
QString g_source; // its source project, for the compile benchmark
std::unique_ptr<TopicView> g_view;
folium::sqlite::Connection g_floor;

struct SearchCase {
    const char *name;
    const char *query;  // as a reader types it
    const char *fts5;   // the same query in FTS5's syntax
    const char *groups; // blank-separated groups, or null for the whole title
};

const SearchCase kCases[] = {
    {"common", "lettera", "\"lettera\"", nullptr},
    {"very_common", "sempre", "\"sempre\"", nullptr},
    {"rare", "zaffiro", "\"zaffiro\"", nullptr},
    {"and", "lettera AND casa", "(\"lettera\" AND \"casa\")", nullptr},
    {"or", "lettera OR casa", "(\"lettera\" OR \"casa\")", nullptr},
    {"not", "lettera NOT casa", "(\"lettera\" NOT \"casa\")", nullptr},
    {"near", "lettera NEAR casa", "NEAR(\"lettera\" \"casa\", 8)", nullptr},
    {"phrase", "\"cara amica\"", "\"cara amica\"", nullptr},
    {"prefix", "lett*", "\"lett\"*", nullptr},
    {"group", "lettera", "\"lettera\"", "G10 G11"},
};

// With titles: RunSearch, then every hit's index and title, as the results
// list needs them. Without: RunSearch and every hit's index, the same work
// as the floor.
void engineSearch(benchmark::State &state, const SearchCase &c, bool titles)
{
    TopicView &v = *g_view;
    v.setSearchNearThreshold(8);
    v.setSearchImplicitAND(true);
    v.ClearSearchGroups();
    v.setSearchMode(c.groups ? 2 : 0);
    if (c.groups)
        for (const QString &g : QString::fromLatin1(c.groups).split(u' '))
            v.AddSearchGroup(g);
    const QString query = QString::fromUtf8(c.query);
    int hits = 0;
    for (auto _ : state) {
        v.RunSearch(query);
        hits = v.SearchHitCount();
        qsizetype chars = 0;
        for (int i = 0; i < hits; ++i) {
            benchmark::DoNotOptimize(v.TopicListIndex(i));
            if (titles)
                chars += v.TopicListTitle(i).size();
        }
        benchmark::DoNotOptimize(chars);
    }
    state.counters["hits"] = hits;
}

// The floor: the query straight to FTS5. With titles, the hits are joined
// to the topic table for their titles, as plain SQL would get them; without,
// only the hits' indexes are read, which no search can do without.
void floorSearch(benchmark::State &state, const SearchCase &c, bool titles)
{
    std::string sql = titles ? "SELECT f.rowid, t.title FROM fts f CROSS JOIN topic t ON t.idx = f.rowid WHERE fts "
                               "MATCH ?1"
                             : "SELECT f.rowid FROM fts f WHERE fts MATCH ?1";
    if (c.groups) {
        // The groups' ranges, written by hand as a caller would.
        std::string ranges;
        folium::sqlite::Statement g(g_floor, "SELECT first, last FROM search_group WHERE name = ?1 ORDER BY first");
        for (const QString &name : QString::fromLatin1(c.groups).split(u' ')) {
            g.bind(1, name);
            while (g.step())
                ranges += std::string(ranges.empty() ? "" : " OR ") + "f.rowid BETWEEN " +
                          std::to_string(g.integer(0)) + " AND " + std::to_string(g.integer(1));
            g.reset();
        }
        sql += " AND (" + ranges + ")";
    }
    sql += " ORDER BY f.rowid";
    folium::sqlite::Statement st(g_floor, sql.c_str());
    if (!st.ok()) {
        state.SkipWithError(qPrintable(g_floor.lastError()));
        return;
    }
    const QByteArray query(c.fts5);
    int hits = 0;
    for (auto _ : state) {
        st.bindUtf8(1, query);
        hits = 0;
        size_t bytes = 0;
        while (st.step()) {
            benchmark::DoNotOptimize(st.integer(0));
            if (titles)
                bytes += size_t(st.text(1).size());
            ++hits;
        }
        st.reset();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["hits"] = hits;
}

void BM_OpenToFirstTopic(benchmark::State &state)
{
    TopicView v;
    v.resize(800, 600);
    v.show();
    for (auto _ : state) {
        v.setViewTitle(g_title);
        benchmark::DoNotOptimize(v.regionView(1)->document()->size());
        state.PauseTiming();
        if (v.lastError() != 0)
            state.SkipWithError("the title did not open");
        v.setViewTitle(QString());
        state.ResumeTiming();
    }
}

void BM_JumpContextAndRender(benchmark::State &state)
{
    TopicView &v = *g_view;
    v.setHiliteSearchHits(false);
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> pick(0, 499999);
    for (auto _ : state) {
        v.JumpContext(QStringLiteral("L%1").arg(pick(rng)));
        benchmark::DoNotOptimize(v.grab()); // laid out and painted
    }
}

void BM_HighlightsInALongTopic(benchmark::State &state)
{
    TopicView &v = *g_view;
    v.setSearchMode(0);
    v.setHiliteSearchHits(false);
    v.JumpContext(QStringLiteral("LongTopic"));
    v.RunSearch(QStringLiteral("lettera"));
    for (auto _ : state)
        v.setHiliteSearchHits(true); // finds the hits of the topic and marks them
    state.counters["highlights"] = double(v.highlightSpans(1).size());
    v.setHiliteSearchHits(false);
}

// The title compiler run as a reader's editor runs it, a program of its
// own, so that its peak memory is its own (getrusage of the children).
void BM_Compile(benchmark::State &state)
{
    const QString out = QFileInfo(g_title).absolutePath() + QStringLiteral("/bench-compile.m14");
    double seconds = 0, textBytes = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        QProcess compiler;
        compiler.start(QCoreApplication::applicationDirPath() + QStringLiteral("/folium-mktitle"),
                       {QStringLiteral("--timing"), QStringLiteral("-o"), out, g_source});
        if (!compiler.waitForFinished(-1) || compiler.exitCode() != 0) {
            state.SkipWithError("compile failed");
            return;
        }
        seconds = t.nsecsElapsed() / 1e9;
        for (const QByteArray &line : compiler.readAllStandardOutput().split('\n'))
            if (line.trimmed().startsWith("text:"))
                textBytes = line.trimmed().mid(5).trimmed().split(' ').value(0).toDouble();
    }
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    state.counters["MB_per_s"] = textBytes / 1e6 / seconds;
    state.counters["text_MB"] = textBytes / 1e6;
    state.counters["peak_MB"] = children.ru_maxrss / 1024.0;
    // The index (FTS5's shadow tables) against the raw text.
    {
        folium::sqlite::Connection db;
        db.open(out, folium::sqlite::Connection::Mode::ReadOnly);
        folium::sqlite::Statement st(
            db, "SELECT (SELECT sum(length(block)) FROM fts_data) + (SELECT sum(length(sz)) FROM fts_docsize)"
                " + (SELECT sum(length(term)) + 16 * count(*) FROM fts_idx)");
        if (st.step()) {
            state.counters["index_MB"] = st.integer(0) / 1e6;
            state.counters["index_to_text"] = st.integer(0) / textBytes;
        }
    }
    QFile::remove(out);
    QFile::remove(QFileInfo(out).absolutePath() + QStringLiteral("/bench-compile.mdb"));
}

} // namespace

int main(int argc, char **argv)
{
    folium::sqlite::configure();
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    g_title = qEnvironmentVariable("FOLIUM_BENCH_TITLE", QStringLiteral(FOLIUM_BENCH_DIR "/big.m14"));
    g_source = qEnvironmentVariable("FOLIUM_BENCH_SOURCE", QStringLiteral(FOLIUM_BENCH_DIR "/big/title.xml"));
    if (!QFileInfo::exists(g_title)) {
        std::fprintf(stderr, "no benchmark title at %s: build the target bench-title first (bench/README.md)\n",
                     qPrintable(g_title));
        return 1;
    }
    g_view = std::make_unique<TopicView>();
    g_view->resize(800, 600);
    g_view->show();
    g_view->setViewTitle(g_title);
    if (g_view->lastError() != 0) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(g_title));
        return 1;
    }
    g_floor.open(g_title, folium::sqlite::Connection::Mode::ReadOnly);
    folium::engine::registerFoliumTokenizer(g_floor);

    for (const SearchCase &c : kCases) {
        benchmark::RegisterBenchmark((std::string("Search/") + c.name + "/engine").c_str(), engineSearch, c, true)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("Search/") + c.name + "/engine_no_titles").c_str(), engineSearch, c,
                                     false)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("Search/") + c.name + "/floor").c_str(), floorSearch, c, false)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("Search/") + c.name + "/floor_with_join").c_str(), floorSearch, c,
                                     true)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("OpenToFirstTopic", BM_OpenToFirstTopic)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("JumpContextAndRender", BM_JumpContextAndRender)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("HighlightsInALongTopic", BM_HighlightsInALongTopic)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Compile", BM_Compile)->Unit(benchmark::kSecond)->Iterations(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_view.reset();
    g_floor.close();
    return 0;
}
