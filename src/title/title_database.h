// A title's database as the reader reads it: whether it is one (its tables,
// and the title it names), without any window. With the contents model,
// what the reader does with a database that comes with a title.
#pragma once

#include <QString>

namespace folium::db {
class Database;
}

namespace folium::title {

// The rows of table "Param" read at most: a title has a few parameters and
// some hundreds of subsets; past these a table is damaged or made to stall
// the reader, and the rest of it is left unread.
inline constexpr int kMaxParamRows = 10000;

// True when the database has the reader's two tables, "Item" and "Param",
// each an ordinary table with its columns: a view, a virtual table or
// another shape in their place makes it the wrong database.
bool hasTheTablesOfATitleDatabase(db::Database &database);

// True when table "Param" has a "COD" row naming the title's base name,
// letter case aside.
bool belongsToTitle(db::Database &database, const QString &baseName);

} // namespace folium::title
