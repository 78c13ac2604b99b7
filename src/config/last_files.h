// The titles opened last (table "LastFiles" of FL.mdb) and their entries at
// the end of the File menu.
#pragma once

#include <QString>
#include <QStringList>

namespace folium::config {

struct LastFiles {
    QStringList captions{QString(), QString(), QString(), QString()}; // "&1 path", ...
    bool visible[4] = {false, false, false, false};
    int count = -1;    // index of the last filled entry; -1 when none
    bool read = false; // the list has been read (and shown in the File menu)
};

// Reads the rows in the order of index "Ordine": filled rows become entries
// packed from the first, numbered 1 to 4. Returns 0 or the database error.
int readLastFiles(const QString &flPath, LastFiles *out);

// Writes the menu's entries back, one per row in index order; each row gets
// its entry's caption without its three-character prefix ("&1 "). The rows
// are written in one transaction: the table holds the old list or the new
// one, never a mix.
int writeLastFiles(const QString &flPath, const QStringList &menuCaptions);

} // namespace folium::config
