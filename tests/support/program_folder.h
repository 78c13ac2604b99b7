// A program folder for tests that run the whole program: FL.mdb and copies
// of the basic fixture title under the names a test asks for, each with a
// title database that names it.
#pragma once

#include "dao.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

namespace folium::testing {

struct ProgramFolder {
    QTemporaryDir dir;
    QString path() const { return dir.path(); }
    QString file(const QString &name) const { return dir.filePath(name); }

    explicit ProgramFolder(const QStringList &titles = {QStringLiteral("abc")})
    {
        copy(QStringLiteral(FOLIUM_RUNTIME_DIR "/FL.mdb"), file(QStringLiteral("FL.mdb")));
        for (const QString &t : titles)
            addTitle(t);
    }

    static void copy(const QString &from, const QString &to)
    {
        QDir().mkpath(QFileInfo(to).absolutePath());
        QFile::copy(from, to);
        QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
    }

    // relPath: "abc" or "Data.old/Letters.final"; the database goes beside
    // it under the base name unless withDatabase is false. fixture names the
    // compiled fixture title to copy.
    QString addTitle(const QString &relPath, bool withDatabase = true, const QString &fixture = QStringLiteral("basic"))
    {
        const QString m14 = file(relPath + QStringLiteral(".m14"));
        copy(QStringLiteral(FOLIUM_FIXTURE_OUT "/") + fixture + QStringLiteral(".m14"), m14);
        if (withDatabase) {
            const QFileInfo fi(m14);
            const QString base = fi.fileName().section(u'.', 0, 0);
            const QString mdb = fi.absolutePath() + u'/' + base + QStringLiteral(".mdb");
            copy(QStringLiteral(FOLIUM_FIXTURE_OUT "/") + fixture + QStringLiteral(".mdb"), mdb);
            exec(mdb, QStringLiteral("UPDATE Param SET Param1 = '%1' WHERE Codice = 'COD'").arg(base));
        }
        return m14;
    }

    static void exec(const QString &database, const QString &sql)
    {
        int err = 0;
        auto db = db::Database::OpenDatabase(database, &err);
        if (db)
            db->execScript(sql);
    }

    void setOption(const QString &column, const QVariant &value)
    {
        int err = 0;
        auto db = db::Database::OpenDatabase(file(QStringLiteral("FL.mdb")), &err);
        auto rs = db->OpenRecordset(QStringLiteral("Options"), &err);
        rs->MoveFirst();
        rs->Edit();
        rs->setField(column, value);
        rs->Update();
    }

    QVariant option(const QString &column)
    {
        int err = 0;
        auto db = db::Database::OpenDatabase(file(QStringLiteral("FL.mdb")), &err);
        auto rs = db->OpenRecordset(QStringLiteral("Options"), &err);
        rs->MoveFirst();
        return rs->Field(column);
    }

    QStringList lastFiles() const { return lastFilesIn(file(QStringLiteral("FL.mdb"))); }
    void setLastFiles(const QStringList &files) { setLastFilesIn(file(QStringLiteral("FL.mdb")), files); }

    // The "Fichier" column of "LastFiles" in an application database, in
    // the order of its index.
    static QStringList lastFilesIn(const QString &fl)
    {
        int err = 0;
        auto db = db::Database::OpenDatabase(fl, &err);
        auto rs = db->OpenRecordset(QStringLiteral("LastFiles"), &err);
        rs->setIndex(QStringLiteral("Ordine"));
        QStringList out;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
            out << rs->Field(QStringLiteral("Fichier")).toString();
        return out;
    }

    static void setLastFilesIn(const QString &fl, const QStringList &files)
    {
        int err = 0;
        auto db = db::Database::OpenDatabase(fl, &err);
        auto rs = db->OpenRecordset(QStringLiteral("LastFiles"), &err);
        rs->setIndex(QStringLiteral("Ordine"));
        int i = 0;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext(), ++i) {
            rs->Edit();
            rs->setField(QStringLiteral("Fichier"), files.value(i));
            rs->Update();
        }
    }
};

} // namespace folium::testing
