// The option set: the one row of table "Options" of FL.mdb.
#pragma once

#include <QString>

namespace folium::db {
class Database;
}

namespace folium::config {

struct OptionSet {
    bool notesAtBottom = false;                                                          // OptNotes
    bool autoNotes = false;                                                              // OptF9
    bool alwaysAddToHistory = false;                                                     // OptCrono
    bool applyZoomAtOnce = true;                                                         // OptAffiche
    bool separatorOnScreen = true;                                                       // SepScreen
    bool separatorInPrint = true;                                                        // SepPrint
    QString marginLeft = QStringLiteral("02.00"), marginRight = QStringLiteral("02.00"); // centimetres
    QString marginTop = QStringLiteral("02.00"), marginBottom = QStringLiteral("02.00");
    bool implicitAnd = true; // AndImplicito
    int near = 8;
    int zoom = 100;
    QString language = QStringLiteral("Fran\u00e7ais");
    bool contentsAtStart = true; // Sommaire
    QString defaultTitle;        // TextesDéfaut
    int scroll = 3;
    int splitPos = 280;
};

// Reads the first row of "Options"; returns 0 or the database error.
int readOptionSet(db::Database &fl, OptionSet *out);

// A stored margin in centimetres as the engine takes it, in inches: the
// leading number of the text divided by 2.54 (2.54 cm is exactly 1 inch).
double marginInches(const QString &centimetres);

} // namespace folium::config
