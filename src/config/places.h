// What the program keeps in FL.mdb beyond the options: the main window's
// size and place (table "Fenetre"), and where the reader stopped in each
// title (table "Reprise"). Each write is one transaction: a write cut short
// leaves the old state.
#pragma once

#include "place.h"

#include <QByteArray>
#include <QString>

namespace folium::config {

// Qt's description of the main window's geometry, as the last run stored
// it; empty (and 0) when none was stored. Returns 0 or the database error.
int readWindowGeometry(const QString &flPath, QByteArray *geometry);
int writeWindowGeometry(const QString &flPath, const QByteArray &geometry);

struct ReadingPlace {
    QString file;        // the title file
    engine::Place place; // the topic shown, by its address (its index is not stored), and its scroll
    QString topicTitle;  // its title, for the message that offers the place
    bool valid() const { return !file.isEmpty(); }
};

// The place stored for a title file (an invalid place when none is).
int readReadingPlace(const QString &flPath, const QString &titleFile, ReadingPlace *place);
// Stores the place of its title, in place of the one stored before.
int writeReadingPlace(const QString &flPath, const ReadingPlace &place);

} // namespace folium::config
