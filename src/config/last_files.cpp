#include "last_files.h"

#include "dao.h"

namespace folium::config {

namespace {

// Table "LastFiles" in the order of its index "Ordine", or the error.
std::unique_ptr<db::Recordset> openLastFiles(const std::shared_ptr<db::Database> &db, int *err)
{
    if (!db)
        return nullptr;
    auto rs = db->OpenRecordset(QStringLiteral("LastFiles"), err);
    if (!rs)
        return nullptr;
    if ((*err = rs->setIndex(QStringLiteral("Ordine"))) != 0)
        return nullptr;
    return rs;
}

} // namespace

int readLastFiles(const QString &flPath, LastFiles *out)
{
    *out = LastFiles();
    int err = 0;
    auto rs = openLastFiles(db::Database::OpenDatabase(flPath, &err), &err);
    if (!rs)
        return err;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        const QString file = rs->Field(QStringLiteral("Fichier")).toString();
        if (file.isEmpty() || out->count >= 3)
            continue;
        ++out->count;
        out->captions[out->count] = QStringLiteral("&%1 %2").arg(out->count + 1).arg(file);
        out->visible[out->count] = true;
    }
    out->read = true;
    return 0;
}

int writeLastFiles(const QString &flPath, const QStringList &menuCaptions)
{
    int err = 0;
    const auto db = db::Database::OpenDatabase(flPath, &err);
    auto rs = openLastFiles(db, &err);
    if (!rs)
        return err;
    if ((err = db->BeginTrans()) != 0)
        return err;
    int entry = 0;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext(), ++entry) {
        rs->Edit();
        rs->setField(QStringLiteral("Fichier"), menuCaptions.value(entry).mid(3));
        if ((err = rs->Update()) != 0) {
            db->Rollback();
            return err;
        }
    }
    return db->CommitTrans();
}

} // namespace folium::config
