#include "bookmark_file.h"

#include "dao.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <functional>

namespace folium::bookmarks {

namespace {

const QString kTable = QStringLiteral("Bookmarks");
const QString kLocale = QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0");

int readFile(const QString &path, QString *codice, std::vector<Bookmark> *list,
             const std::function<int(db::Database &)> &more = {})
{
    int err = 0;
    // A bookmark file may come from anywhere: it is only read.
    auto db = db::Database::OpenReadOnly(path, &err);
    if (!db)
        return err;
    auto rs = db->OpenRecordset(kTable, &err);
    if (!rs)
        return err;
    std::vector<Bookmark> read;
    QString owner;
    bool first = true;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        Bookmark b;
        if (first)
            owner = rs->Field(QStringLiteral("Codice")).toString();
        first = false;
        b.icon = rs->Field(QStringLiteral("NoIcona")).toInt();
        b.text = rs->Field(QStringLiteral("Stringa")).toString();
        b.place.topic = rs->Field(QStringLiteral("TopicIndex")).toInt();
        b.place.address = long(rs->Field(QStringLiteral("SubItem1")).toLongLong());
        b.place.scroll = long(rs->Field(QStringLiteral("SubItem2")).toLongLong());
        read.push_back(b);
    }
    if (more && (err = more(*db)) != 0)
        return err;
    // Stored from the last to the first: each row goes to the top.
    *list = std::vector<Bookmark>(read.rbegin(), read.rend());
    *codice = owner;
    return 0;
}

int writeFile(const QString &path, const QString &codice, const std::vector<Bookmark> &list,
              const std::function<int(db::Database &)> &more = {})
{
    const QString part = path + QStringLiteral(".part");
    removeLeftovers(path);
    int err = 0;
    {
        auto db = db::Database::CreateDatabase(part, kLocale, &err);
        if (!db)
            return err == db::kErrDatabaseExists ? db::kErrDiskFull : err;
        db::TableDef def = db->CreateTableDef(kTable);
        def.appendField(def.CreateField(QStringLiteral("Codice"), db::FieldType::Text));
        def.appendField(def.CreateField(QStringLiteral("NoIcona"), db::FieldType::Long));
        def.appendField(def.CreateField(QStringLiteral("Stringa"), db::FieldType::Text));
        def.appendField(def.CreateField(QStringLiteral("TopicIndex"), db::FieldType::Long));
        def.appendField(def.CreateField(QStringLiteral("SubItem1"), db::FieldType::Long));
        def.appendField(def.CreateField(QStringLiteral("SubItem2"), db::FieldType::Long));
        if ((err = db->BeginTrans()) == 0 && (err = db->appendTableDef(def)) == 0) {
            auto rs = db->OpenRecordset(kTable, &err);
            for (auto it = list.rbegin(); rs && err == 0 && it != list.rend(); ++it) {
                rs->AddNew();
                rs->setField(QStringLiteral("Codice"), codice);
                rs->setField(QStringLiteral("NoIcona"), it->icon);
                rs->setField(QStringLiteral("Stringa"), it->text);
                rs->setField(QStringLiteral("TopicIndex"), it->place.topic);
                rs->setField(QStringLiteral("SubItem1"), qlonglong(it->place.address));
                rs->setField(QStringLiteral("SubItem2"), qlonglong(it->place.scroll));
                err = rs->Update();
            }
        }
        if (err == 0 && more)
            err = more(*db);
        if (err == 0)
            err = db->CommitTrans();
        else
            db->Rollback();
        db->Close();
    }
    if (err != 0) {
        removeLeftovers(path);
        return err;
    }
    // The complete file takes the old one's place in one step.
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(part);
        return db::kErrDiskFull;
    }
    return 0;
}

const QString kRecoveryTable = QStringLiteral("Recupero");

} // namespace

void removeLeftovers(const QString &path)
{
    for (const char *suffix : {".part", ".part-journal"})
        QFile::remove(path + QString::fromLatin1(suffix));
}

bool isLeftover(const QString &path)
{
    return path.endsWith(QStringLiteral(".part")) || path.endsWith(QStringLiteral(".part-journal"));
}

int readBookmarkFile(const QString &path, QString *codice, std::vector<Bookmark> *list)
{
    // What a save cut short left is never a bookmark file.
    if (isLeftover(path))
        return db::kErrNotDatabase;
    return readFile(path, codice, list);
}

int writeBookmarkFile(const QString &path, const QString &codice, const std::vector<Bookmark> &list)
{
    return writeFile(path, codice, list);
}

int writeRecoveryFile(const QString &path, const RecoveredBookmarks &r)
{
    return writeFile(path, r.codice, r.list, [&r](db::Database &db) {
        db::TableDef def = db.CreateTableDef(kRecoveryTable);
        def.appendField(def.CreateField(QStringLiteral("Titolo"), db::FieldType::Text));
        def.appendField(def.CreateField(QStringLiteral("File"), db::FieldType::Text));
        def.appendField(def.CreateField(QStringLiteral("Codice"), db::FieldType::Text));
        int err = db.appendTableDef(def);
        auto rs = err == 0 ? db.OpenRecordset(kRecoveryTable, &err) : nullptr;
        if (!rs)
            return err;
        rs->AddNew();
        rs->setField(QStringLiteral("Titolo"), r.titlePath);
        rs->setField(QStringLiteral("File"), r.filePath);
        rs->setField(QStringLiteral("Codice"), r.codice);
        return rs->Update();
    });
}

int readRecoveryFile(const QString &path, RecoveredBookmarks *r)
{
    RecoveredBookmarks read;
    QString owner;
    const int err = readFile(path, &owner, &read.list, [&read](db::Database &db) {
        int e = 0;
        auto rs = db.OpenRecordset(kRecoveryTable, &e);
        if (!rs)
            return e;
        if (rs->MoveFirst() != 0)
            return int(db::kErrNoCurrentRecord);
        read.titlePath = rs->Field(QStringLiteral("Titolo")).toString();
        read.filePath = rs->Field(QStringLiteral("File")).toString();
        read.codice = rs->Field(QStringLiteral("Codice")).toString();
        return 0;
    });
    if (err == 0)
        *r = std::move(read);
    return err;
}

QString newBookmarkFilePath(const QString &chosen)
{
    const QFileInfo fi(chosen);
    QString name = fi.fileName().toLower();
    if (!name.endsWith(QStringLiteral(".bkm")))
        name += QStringLiteral(".bkm");
    const qsizetype slash = chosen.lastIndexOf(u'/');
    return (slash < 0 ? QString() : chosen.left(slash + 1)) + name;
}

} // namespace folium::bookmarks
