// The program's options: the one row of table "Options" of FL.mdb, as a
// typed set with its defaults and the ranges each value may take. The
// options dialog writes the row; `Options` reads it, and tells the program
// each time it has, so that the program applies the set in one place.
#pragma once

#include <QObject>
#include <QString>

#include <array>

namespace folium::db {
class Database;
}

namespace folium::config {

// The values an option may take, both ends included.
struct Range {
    double min, max;
    bool contains(double v) const { return v >= min && v <= max; }
};
inline constexpr Range kNearRange{1, 32767};                       // words between two terms of NEAR
inline constexpr Range kMarginRange{0, 30};                        // a print margin, in centimetres
inline constexpr Range kScrollRange{1, 10};                        // lines a wheel notch scrolls
inline constexpr Range kZoomRange{10, 400};                        // per cent, as the panes can show it
inline constexpr std::array<int, 5> kZooms{50, 75, 100, 150, 200}; // the zooms the menus and the dialog offer

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
    bool operator==(const OptionSet &) const = default;
};

// Reads the first row of "Options"; returns 0 or the database error. A
// value that cannot be read, or lies outside its range (a row edited by
// hand, or by another version), keeps the value *out had.
int readOptionSet(db::Database &fl, OptionSet *out);

// A stored margin in centimetres as the engine takes it, in inches: the
// leading number of the text divided by 2.54 (2.54 cm is exactly 1 inch).
double marginInches(const QString &centimetres);

// The option set the program runs with.
class Options : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    const OptionSet &values() const { return m_values; }
    const OptionSet *operator->() const { return &m_values; }
    // Reads the set again from the row; returns 0 or the database error,
    // and, once read, tells the program (`read`).
    int load(db::Database &fl);
    // Takes a set as if it had been read.
    void set(const OptionSet &values);

signals:
    // The set was read (after the options dialog stored it): the program
    // applies it. `before` is the set it replaces, for what acts only on a
    // change (the notes pane).
    void read(const folium::config::OptionSet &before);

private:
    OptionSet m_values;
};

} // namespace folium::config
