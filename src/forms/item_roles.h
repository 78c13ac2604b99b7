// What the rows of the side pane's lists and tree carry beside their text,
// as item roles: shared by the windows and by the models of the parts that
// fill them (a header of its own, with nothing of the windows).
#pragma once

#include <QtCore/qnamespace.h>

namespace folium::forms {

// Roles of the list and tree items beside their text.
enum ItemRole {
    TagRole = Qt::UserRole,         // a result's topic index, a tree node's key
    ImageRole = Qt::UserRole + 1,   // the number of the item's image
    PlaceRole = Qt::UserRole + 2,   // a history row's, a bookmark's or a result's place (engine::Place)
    SortKeyRole = Qt::UserRole + 4, // a result's sort key
};

} // namespace folium::forms
