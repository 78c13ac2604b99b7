// The topic in the main pane: home, the browse sequence, the index topics,
// the result chosen in the results list, and what every topic change does to
// the buttons, the history and the contents tree.
#pragma once

#include <QObject>
#include <QString>

namespace folium::forms {
struct ReaderState;
struct TitleState;
struct Windows;
} // namespace folium::forms

namespace folium::reader {

using forms::ReaderState;
using forms::TitleState;
using forms::Windows;
class Hotspots;

// How a topic is listed in the history and the results: its icon number and
// its text, from the first characters of its title.
struct ListedTitle {
    int icon;
    QString text;
};
ListedTitle listedTitle(const QString &topicTitle);

// Whether a listed title is a note's: "Nota ..." in Italian titles, "Note
// ..." in French ones.
bool isNoteTitle(const QString &listedText);

class TopicDisplay : public QObject {
    Q_OBJECT
public:
    TopicDisplay(Windows &w, TitleState &t, ReaderState &r, Hotspots &hotspots, QObject *parent = nullptr);

    void Home();
    void Browseback();
    void Browsenext();
    // The index menu's items, by their names ("Analitico", "Nomi", ...).
    void indexJump(const QString &item);
    static QString indexContext(const QString &item);

    void AfficheTopic();
    void TopicChanged();
    void UpdateButtonsEnabled();

private:
    Windows &m_w;
    TitleState &m_t;
    ReaderState &m_r;
    Hotspots &m_hotspots;
};

} // namespace folium::reader
