#include "places.h"

#include "dao.h"

namespace folium::config {

namespace {

const QString kWindowTable = QStringLiteral("Fenetre");
const QString kPlaceTable = QStringLiteral("Reprise");

// The table, made the first time in an FL.mdb from an earlier release, which lacks it.
std::unique_ptr<db::Recordset> openOrMake(db::Database &db, const QString &table, int *err)
{
    auto rs = db.OpenRecordset(table, err);
    if (rs || *err != db::kErrNoTable)
        return rs;
    db::TableDef def = db.CreateTableDef(table);
    if (table == kWindowTable) {
        def.appendField(def.CreateField(QStringLiteral("Geometrie"), db::FieldType::Text));
    } else {
        def.appendField(def.CreateField(QStringLiteral("Fichier"), db::FieldType::Text));
        def.appendField(def.CreateField(QStringLiteral("Adresse"), db::FieldType::Long));
        def.appendField(def.CreateField(QStringLiteral("Defilement"), db::FieldType::Long));
        def.appendField(def.CreateField(QStringLiteral("Titre"), db::FieldType::Text));
    }
    if ((*err = db.appendTableDef(def)) != 0)
        return nullptr;
    return db.OpenRecordset(table, err);
}

// Runs an update of one table in a transaction: all of it or nothing.
template <typename Change> int inTransaction(const QString &flPath, const QString &table, Change change)
{
    int err = 0;
    auto db = db::Database::OpenDatabase(flPath, &err);
    if (!db)
        return err;
    if ((err = db->BeginTrans()) != 0)
        return err;
    auto rs = openOrMake(*db, table, &err);
    if (rs)
        err = change(*rs);
    if (err != 0) {
        db->Rollback();
        return err;
    }
    return db->CommitTrans();
}

} // namespace

int readWindowGeometry(const QString &flPath, QByteArray *geometry)
{
    geometry->clear();
    int err = 0;
    auto db = db::Database::OpenDatabase(flPath, &err);
    if (!db)
        return err;
    auto rs = db->OpenRecordset(kWindowTable, &err);
    if (!rs)
        return err == db::kErrNoTable ? 0 : err;
    rs->MoveFirst();
    if (!rs->Eof())
        *geometry = QByteArray::fromHex(rs->Field(QStringLiteral("Geometrie")).toString().toLatin1());
    return 0;
}

int writeWindowGeometry(const QString &flPath, const QByteArray &geometry)
{
    return inTransaction(flPath, kWindowTable, [&](db::Recordset &rs) {
        rs.MoveFirst();
        int err = rs.Eof() ? rs.AddNew() : rs.Edit();
        if (err == 0)
            err = rs.setField(QStringLiteral("Geometrie"), QString::fromLatin1(geometry.toHex()));
        return err == 0 ? rs.Update() : err;
    });
}

int readReadingPlace(const QString &flPath, const QString &titleFile, ReadingPlace *place)
{
    *place = ReadingPlace();
    int err = 0;
    auto db = db::Database::OpenDatabase(flPath, &err);
    if (!db)
        return err;
    auto rs = db->OpenRecordset(kPlaceTable, &err);
    if (!rs)
        return err == db::kErrNoTable ? 0 : err;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        if (rs->Field(QStringLiteral("Fichier")).toString() != titleFile)
            continue;
        place->file = titleFile;
        place->place.address = long(rs->Field(QStringLiteral("Adresse")).toLongLong());
        place->place.scroll = long(rs->Field(QStringLiteral("Defilement")).toLongLong());
        place->topicTitle = rs->Field(QStringLiteral("Titre")).toString();
        break;
    }
    return 0;
}

int writeReadingPlace(const QString &flPath, const ReadingPlace &place)
{
    if (!place.valid())
        return 0;
    return inTransaction(flPath, kPlaceTable, [&](db::Recordset &rs) {
        rs.MoveFirst();
        while (!rs.Eof() && rs.Field(QStringLiteral("Fichier")).toString() != place.file)
            rs.MoveNext();
        int err = rs.Eof() ? rs.AddNew() : rs.Edit();
        const std::pair<QString, QVariant> fields[] = {{QStringLiteral("Fichier"), place.file},
                                                       {QStringLiteral("Adresse"), qlonglong(place.place.address)},
                                                       {QStringLiteral("Defilement"), qlonglong(place.place.scroll)},
                                                       {QStringLiteral("Titre"), place.topicTitle}};
        for (const auto &[name, value] : fields)
            if (err == 0)
                err = rs.setField(name, value);
        return err == 0 ? rs.Update() : err;
    });
}

} // namespace folium::config
