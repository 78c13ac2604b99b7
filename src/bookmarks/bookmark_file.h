// Bookmark files (.bkm): a database with one table "Bookmarks", one row per
// bookmark, each tagged with the title it belongs to ("Codice"). Rows are
// stored from the last bookmark to the first.
#pragma once

#include "place.h"

#include <QString>

#include <vector>

namespace folium::bookmarks {

// A bookmark: its image, its name and its place (where its topic was
// scrolled to when it was made or last visited).
using Bookmark = engine::ListedPlace;

// Reads a bookmark file: the title it belongs to (the first row's Codice,
// empty for a file with no rows) and the bookmarks in list order. Returns 0
// or the database error; nothing is changed on error.
int readBookmarkFile(const QString &path, QString *codice, std::vector<Bookmark> *list);

// Writes the list to a file, in place of what it held, all or nothing: the
// new file is written beside the old one and takes its place only once it
// is complete, so that a failure at any point (a full disk, a read-only
// folder, an I/O error) leaves the old file as it was, byte for byte.
// Returns 0 or the error.
int writeBookmarkFile(const QString &path, const QString &codice, const std::vector<Bookmark> &list);

// A copy of a bookmark list whose changes are not saved yet, kept so that
// a session that ends without a word (a logout, a kill, a crash) loses
// none of them: the title the list belongs to, the bookmark file it was
// read from or saved to (empty for a list never saved), and the list. It
// is a bookmark file with one table more.
struct RecoveredBookmarks {
    QString titlePath;
    QString filePath;
    QString codice;
    std::vector<Bookmark> list;
};
int writeRecoveryFile(const QString &path, const RecoveredBookmarks &recovered);
int readRecoveryFile(const QString &path, RecoveredBookmarks *recovered);

// What a save cut short (a kill, a full disk) may leave beside a bookmark
// file: its half-written new version and SQLite's journal of it. They are
// removed when that file is next opened or saved, and never read as
// bookmark files.
void removeLeftovers(const QString &bookmarkFile);
bool isLeftover(const QString &path);

// The file name of a new bookmark file: its name lower-cased, its folder as
// it is (a folder may hold capitals).
QString newBookmarkFilePath(const QString &chosen);

} // namespace folium::bookmarks
