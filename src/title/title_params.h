// The title database: finding it beside the title (or where the user points),
// checking that it belongs to the title, and reading the title's parameters
// from its table "Param".
#pragma once

#include <QString>

#include <memory>

namespace folium::db {
class Database;
}

namespace folium::forms {
struct TitleState;
struct Windows;
} // namespace folium::forms

namespace folium::title {

using forms::TitleState;
using forms::Windows;

// Opens TitleDatabasePath, derived from TitlePath, and checks its "COD" row.
// A database that is missing, unreadable or not the title's own brings the
// open dialog (after a message saying so in the last case);
// a cancel leaves NoTitleDatabase set and returns null.
std::shared_ptr<db::Database> openTitleDatabase(Windows &w, TitleState &t);

// Locates the database and applies every row of "Param" in the order of its
// index "Ordre"; without a database, the title runs as "Inconnu".
void LetturaParam(Windows &w, TitleState &t);

} // namespace folium::title
