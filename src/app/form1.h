// Form1: the reader window inside the main frame. It holds the three panes
// of the title engine (Fl_main, the notes pane Fl_sec, the popup pane Med2),
// the side pane with its title, and the two splitters.
#pragma once

#include <QWidget>

class QLabel;
class QSplitter;
class QStackedWidget;
class QToolButton;

namespace folium::engine {
class TopicView;
}

namespace folium::app {

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);

    engine::TopicView *Fl_main;
    engine::TopicView *Fl_sec;
    engine::TopicView *Med2;
    QLabel *Titre_Splitgauche;
    QStackedWidget *panels; // the side pane's five panels, as their Parts add them
    QSplitter *Splitter1;   // side pane | reading panes
    QSplitter *Splitter2;   // main pane over the notes pane
    QWidget *Text_notes;
    QLabel *NotesTitre;
    QToolButton *NotesFermer;

    // The width of the side pane, kept from one run to the next.
    int splitterPosition() const;
    void setSplitterPosition(int pixels);
};

} // namespace folium::app
