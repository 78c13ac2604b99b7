// The topic in the main pane: home, the browse sequence, the index topics,
// the result chosen in the results list, and what every topic change does to
// the buttons, the history and the contents tree.
#pragma once

#include "place.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <vector>

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

// The parts told of each topic the main pane shows, in the order they are
// told: the history first (it records the topic before anything moves on),
// then the count of hits in the status line, then the search's highlights
// of the new topic (which count again when they change).
enum class TopicObserver { History, HitCount, SearchHits };

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

    // Tells a part of each topic shown, at its turn; the order of the calls
    // to observe() does not matter.
    void observe(TopicObserver who, std::function<void(const engine::Place &)> told);
    // The place shown at the last change of topic.
    const engine::Place &current() const { return m_current; }

private:
    // What a change of topic does to the buttons, the results list and the
    // contents tree.
    void showChange();

    static constexpr size_t kObservers = size_t(TopicObserver::SearchHits) + 1;
    std::array<std::vector<std::function<void(const engine::Place &)>>, kObservers> m_observers;
    engine::Place m_current;

    Windows &m_w;
    TitleState &m_t;
    ReaderState &m_r;
    Hotspots &m_hotspots;
};

} // namespace folium::reader
