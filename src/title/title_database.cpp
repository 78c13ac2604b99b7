#include "title_database.h"

#include "dao.h"

#include <QStringList>

#include <utility>

namespace folium::title {

bool hasTheTablesOfATitleDatabase(db::Database &database)
{
    // Each an ordinary table (not a view, not a virtual table) with the
    // columns the reader reads.
    const std::pair<const char *, QStringList> expected[] = {
        {"Item", {"Ordine", "Chiave", "Titolo", "Parente", "tipo"}},
        {"Param", {"Ordre", "Codice", "Param1", "Param2"}},
    };
    for (const auto &[table, columns] : expected) {
        int err = 0;
        auto kind = database.prepare(QStringLiteral("SELECT type, upper(substr(ltrim(sql), 1, 20)) FROM sqlite_master "
                                                    "WHERE name = '%1'")
                                         .arg(QString::fromLatin1(table)),
                                     &err);
        if (!kind || !kind->next() || kind->text(0) != u"table" ||
            kind->text(1).simplified().startsWith(QStringLiteral("CREATE VIRTUAL")))
            return false;
        auto info = database.prepare(
            QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(QString::fromLatin1(table)), &err);
        QStringList found;
        while (info && info->next())
            found << info->text(0);
        for (const QString &c : columns)
            if (!found.contains(c, Qt::CaseInsensitive))
                return false;
    }
    return true;
}

bool belongsToTitle(db::Database &database, const QString &baseName)
{
    int err = 0;
    auto rs = database.OpenRecordset(QStringLiteral("Param"), &err);
    if (!rs)
        return false;
    rs->setIndex(QStringLiteral("Ordre"));
    int read = 0;
    for (rs->MoveFirst(); !rs->Eof() && ++read <= kMaxParamRows; rs->MoveNext()) {
        if (rs->Field(QStringLiteral("Codice")).toString() == u"COD" &&
            rs->Field(QStringLiteral("Param1")).toString().toLower() == baseName.toLower())
            return true;
    }
    return false;
}

} // namespace folium::title
