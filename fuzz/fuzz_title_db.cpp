// Fuzzes a title's database as the reader opens it: any bytes as the .mdb
// that comes beside a title, opened only to be read, checked (its tables,
// the title it names), its parameters read as a title's opening reads them,
// and its contents tree read as the contents panel reads it: the top
// folders, folders opened, nodes looked up by key and by their row.
#include "contents_model.h"
#include "dao.h"
#include "item_roles.h"
#include "title_database.h"
#include "fuzz_support.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

void walk(folium::title::ContentsModel &m, const QModelIndex &parent, int depth, int *budget)
{
    if (m.canFetchMore(parent))
        m.fetchMore(parent);
    for (int i = 0; i < m.rowCount(parent) && *budget > 0; ++i, --*budget) {
        const QModelIndex child = m.index(i, 0, parent);
        const QString key = child.data(folium::forms::TagRole).toString();
        child.data(Qt::DisplayRole);
        m.hasChildren(child);
        m.indexOfKey(key);
        if (depth < 4)
            walk(m, child, depth + 1, budget);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    folium::fuzzing::setUp<QCoreApplication>(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace folium;
    const QString path = folium::fuzzing::file(QStringLiteral("t.mdb"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    int err = 0;
    auto db = db::Database::OpenReadOnly(path, &err);
    if (!db)
        return 0;
    title::hasTheTablesOfATitleDatabase(*db);
    title::belongsToTitle(*db, QStringLiteral("t"));
    if (auto rs = db->OpenRecordset(QStringLiteral("Param"), &err)) {
        rs->setIndex(QStringLiteral("Ordre"));
        int read = 0;
        for (rs->MoveFirst(); !rs->Eof() && ++read <= 200; rs->MoveNext())
            for (const char *column : {"Codice", "Param1", "Param2"})
                rs->Field(QString::fromLatin1(column));
    }
    title::ContentsModel m;
    if (m.load(db) != title::ContentsModel::Load::Failed) {
        int budget = 400;
        walk(m, {}, 0, &budget);
        const qint64 rows = m.rowCountInTable();
        for (const qint64 n : {qint64(0), rows / 2, rows - 1, rows})
            m.indexOfRow(n);
        m.indexOfKey(QStringLiteral("Dsommario"));
    }
    return 0;
}
