// The search as a reader meets it, through the real windows (offscreen) on
// the large generated title: from Avvio to the results panel painted with
// its first rows, stepping to the next result, scrolling the results list a
// page (the context column included), and the memory held after the
// largest search. See bench/README.md.
#include "dialogs.h"
#include "form1.h"
#include "mdiform1.h"
#include "program.h"
#include "results_model.h"
#include "search_panel.h"
#include "topicview.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeView>

#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> g_folder;
std::unique_ptr<folium::config::ScriptedDialogs> g_dialogs;
std::unique_ptr<folium::app::Program> g_program;

folium::forms::Form1 *reader()
{
    return g_program->reader();
}

// Resident memory of the process, in megabytes.
double residentMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void runSearch(const char *words)
{
    reader()->Option_tutto->setChecked(true);
    reader()->Combo_perparole->setEditText(QString::fromUtf8(words));
    g_program->searchPanel()->Avvio();
    reader()->List_risultati->viewport()->repaint(); // the first rows painted
}

void BM_AvvioToFirstRows(benchmark::State &state, const char *words)
{
    for (auto _ : state)
        runSearch(words);
    state.counters["rows"] = reader()->List_risultati->model()->rowCount();
    state.counters["resident_MB"] = residentMB();
}

void BM_NextResult(benchmark::State &state)
{
    runSearch("lettera");
    auto *panel = g_program->searchPanel();
    QTreeView *list = reader()->List_risultati;
    for (auto _ : state) {
        if (list->currentIndex().row() >= list->model()->rowCount() - 1) {
            state.PauseTiming();
            list->setCurrentIndex(list->model()->index(0, 0));
            state.ResumeTiming();
        }
        panel->Risultati_list_next();
        reader()->Fl_main->repaint(); // the topic shown with its hits marked
    }
}

void BM_ScrollResultsPage(benchmark::State &state)
{
    runSearch("sempre");
    QTreeView *list = reader()->List_risultati;
    QScrollBar *bar = list->verticalScrollBar();
    bar->setValue(0);
    for (auto _ : state) {
        if (bar->value() >= bar->maximum()) {
            state.PauseTiming();
            bar->setValue(0);
            state.ResumeTiming();
        }
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        list->viewport()->repaint(); // new rows, their contexts read
    }
    state.counters["contexts_read"] = static_cast<folium::search::ResultsModel *>(list->model())->contextsRead();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QString title = qEnvironmentVariable("FOLIUM_BENCH_TITLE", QStringLiteral(FOLIUM_BENCH_DIR "/big.m14"));
    if (!QFileInfo::exists(title)) {
        std::fprintf(stderr, "no benchmark title at %s: build the target bench-title first (bench/README.md)\n",
                     qPrintable(title));
        return 1;
    }
    // A program folder of its own: FL.mdb, and the title with its database.
    g_folder = std::make_unique<QTemporaryDir>();
    QFile::copy(QStringLiteral(FOLIUM_RUNTIME_DIR "/FL.mdb"), g_folder->filePath(QStringLiteral("FL.mdb")));
    QFile::setPermissions(g_folder->filePath(QStringLiteral("FL.mdb")), QFile::ReadOwner | QFile::WriteOwner);
    const QFileInfo fi(title);
    QFile::link(fi.absoluteFilePath(), g_folder->filePath(QStringLiteral("big.m14")));
    QFile::link(fi.absolutePath() + QStringLiteral("/big.mdb"), g_folder->filePath(QStringLiteral("big.mdb")));
    g_dialogs = std::make_unique<folium::config::ScriptedDialogs>();
    g_program = std::make_unique<folium::app::Program>(g_folder->path(), *g_dialogs);
    if (!g_program->Main(QStringLiteral("big"))) {
        std::fprintf(stderr, "the program did not open %s\n", qPrintable(title));
        return 1;
    }
    g_program->mainFrame()->resize(1280, 900);

    benchmark::RegisterBenchmark("AvvioToFirstRows/common", BM_AvvioToFirstRows, "lettera")
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("AvvioToFirstRows/very_common", BM_AvvioToFirstRows, "sempre")
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("NextResult", BM_NextResult)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ScrollResultsPage", BM_ScrollResultsPage)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_program.reset();
    return 0;
}
