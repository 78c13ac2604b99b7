// Opening the large generated title as a reader does, through the real
// windows (offscreen): the program started until its first topic is painted,
// another title opened in the running program, and a folder of 10,000
// letters of the contents tree opened and painted. See bench/README.md.
#include "bench_program.h"
#include "contents_model.h"
#include "contents_tree.h"
#include "dao.h"
#include "form1.h"
#include "mdiform1.h"
#include "topicview.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeView>

namespace {

using folium::app::Program;

folium::bench::ProgramFolder *g_folder = nullptr;

// The program started on the large title in a window of a reader's size;
// nullptr, with the benchmark skipped, when the title does not open.
std::unique_ptr<Program> openedProgram(benchmark::State &state, folium::config::Dialogs &dialogs)
{
    auto program = folium::bench::startProgram(*g_folder, dialogs, "big");
    if (!program) {
        state.SkipWithError("the title did not open");
        return nullptr;
    }
    program->mainFrame()->resize(1280, 900);
    return program;
}

// From nothing to the home topic painted: windows made, FL.mdb read, the
// title and its database opened, the contents tree read and shown.
void BM_StartToFirstTopic(benchmark::State &state)
{
    folium::config::ScriptedDialogs dialogs;
    double resident = 0;
    for (auto _ : state) {
        auto program = folium::bench::startProgram(*g_folder, dialogs, "big");
        if (!program) {
            state.SkipWithError("the title did not open");
            return;
        }
        program->reader()->Fl_main->repaint();
        state.PauseTiming();
        resident = folium::bench::residentMB();
        program.reset();
        state.ResumeTiming();
    }
    state.counters["resident_MB"] = resident;
}

// The large title opened in the running program (File > Open) in place of
// the sample edition, until its first topic is painted.
void BM_OpenTitle(benchmark::State &state)
{
    folium::config::ScriptedDialogs dialogs;
    auto program = openedProgram(state, dialogs);
    if (!program)
        return;
    for (auto _ : state) {
        state.PauseTiming();
        dialogs.files.push_back(QStringLiteral(FOLIUM_RUNTIME_DIR "/Lettere.m14"));
        program->ApriTexte();
        state.ResumeTiming();
        dialogs.files.push_back(g_folder->file(QStringLiteral("big.m14")));
        program->ApriTexte();
        program->reader()->Fl_main->repaint();
    }
    if (program->title.NoTitleDatabase)
        state.SkipWithError("the title opened without its database");
    auto *model = folium::title::contentsModel(program->windows());
    state.counters["tree_rows"] = double(model->rowCountInTable());
    state.counters["nodes_held"] = double(model->nodesHeld());
    state.counters["resident_MB"] = folium::bench::residentMB();
}

// A folder of 10,000 letters opened in the contents tree, read from the
// title database and painted; the model is read afresh before each turn.
void BM_ExpandFolder(benchmark::State &state)
{
    folium::config::ScriptedDialogs dialogs;
    auto program = openedProgram(state, dialogs);
    if (!program)
        return;
    QTreeView *tree = program->reader()->TreeSommario;
    auto *model = folium::title::contentsModel(program->windows());
    int err = 0;
    auto database = folium::db::Database::OpenDatabase(g_folder->file(QStringLiteral("big.mdb")), &err);
    for (auto _ : state) {
        state.PauseTiming();
        model->load(database);
        const QModelIndex root = model->index(0, 0);
        tree->expand(root);
        const QModelIndex folder = model->index(3, 0, root);
        tree->viewport()->repaint();
        state.ResumeTiming();
        tree->expand(folder);
        tree->scrollTo(model->index(9999, 0, folder));
        tree->viewport()->repaint();
    }
    state.counters["rows"] = model->rowCount(model->index(3, 0, model->index(0, 0)));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    folium::bench::ProgramFolder folder;
    if (!folder.make({"big"}))
        return 1;
    g_folder = &folder;
    benchmark::RegisterBenchmark("StartToFirstTopic", BM_StartToFirstTopic)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("OpenTitle", BM_OpenTitle)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ExpandFolder/10000", BM_ExpandFolder)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
