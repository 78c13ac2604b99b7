// A place in a title: the topic, where in the title's text it starts, and
// how far it was scrolled. History rows, bookmarks, the place a reader
// stopped at and search results all keep one, and the topic view both
// gives one (TopicView::place) and goes back to one (TopicView::goTo).
#pragma once

#include <QMetaType>
#include <QString>

namespace folium::engine {

struct Place {
    int topic = -1;   // the topic's index in the title
    long address = 0; // the topic's address (TopicVA)
    long scroll = 0;  // its scroll position (TopicScroll)
    bool operator==(const Place &) const = default;
};

// A place as a list shows it: a history row, a bookmark.
struct ListedPlace {
    int icon = 1; // the number of its image, by the kind of its topic
    QString text;
    Place place;
    bool operator==(const ListedPlace &) const = default;
};

} // namespace folium::engine

Q_DECLARE_METATYPE(folium::engine::Place)
