// The database layer read as the contents tree reads it: a table of 100,000
// rows walked from first to last with MoveNext, three fields read per row.
#include "dao.h"

#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace folium::db;

namespace {

constexpr int kRows = 100000;

struct Fixture {
    QTemporaryDir dir;
    std::shared_ptr<Database> db;

    Fixture()
    {
        int err = 0;
        db = Database::CreateDatabase(dir.filePath(QStringLiteral("tree.mdb")), QString(), &err);
        QString sql = QStringLiteral("CREATE TABLE Item(Id INTEGER, Parent INTEGER, Testo TEXT, Contesto TEXT);"
                                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                     "INSERT INTO Item SELECT i, i / 10, 'Voce numero ' || i, 'ctx' || i FROM n;")
                          .arg(kRows);
        if (!db || db->execScript(sql) != kOk)
            db.reset();
    }
};

void WalkRecordset(benchmark::State &state)
{
    static Fixture f;
    if (!f.db) {
        state.SkipWithError("could not build the table");
        return;
    }
    for (auto _ : state) {
        int err = 0;
        auto rs = f.db->OpenRecordset(QStringLiteral("Item"), &err);
        qint64 sum = 0;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
            sum += rs->Field(QStringLiteral("Id")).toLongLong();
            sum += rs->Field(QStringLiteral("Testo")).toString().size();
            sum += rs->Field(QStringLiteral("Contesto")).toString().size();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["per_row"] =
        benchmark::Counter(double(kRows), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(WalkRecordset)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
