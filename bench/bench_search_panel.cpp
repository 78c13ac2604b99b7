// The search as a reader meets it, through the real windows (offscreen) on
// the large generated title: from Avvio to the results panel painted with
// its first rows, stepping to the next result, scrolling the results list a
// page (the context column included), and the memory held after the
// largest search. See bench/README.md.
#include "bench_program.h"
#include "form1.h"
#include "mdiform1.h"
#include "program.h"
#include "results_model.h"
#include "search_panel.h"
#include "topicview.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QRadioButton>
#include <QScrollBar>
#include <QTreeView>

#include <memory>

namespace {

std::unique_ptr<folium::bench::ProgramFolder> g_folder;
std::unique_ptr<folium::config::ScriptedDialogs> g_dialogs;
std::unique_ptr<folium::app::Program> g_program;

folium::forms::Form1 *reader()
{
    return g_program->reader();
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
    state.counters["resident_MB"] = folium::bench::residentMB();
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
    g_folder = std::make_unique<folium::bench::ProgramFolder>();
    if (!g_folder->make({"big"}))
        return 1;
    g_dialogs = std::make_unique<folium::config::ScriptedDialogs>();
    g_program = folium::bench::startProgram(*g_folder, *g_dialogs, "big");
    if (!g_program)
        return 1;
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
