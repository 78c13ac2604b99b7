// The side pane shows one panel at a time; each has a toolbar button that
// stays pressed while it is shown and a menu item that is disabled then.
#pragma once

#include "form1.h"
#include "frame_names.h"

namespace folium::forms {

struct Windows;

ButtonName panelButtonKey(Panel p);
ItemName panelMenuItem(Panel p);

// The panel buttons as the panels stand: a button is pressed exactly while
// its panel shows (in a side pane that shows), and enabled while its panel
// shows or its menu item is enabled (the item is disabled while its panel
// shows).
void syncPanelButtons(Windows &w);

// Shows the panel: presses its button and, when another panel was shown,
// hides that one, releases its button and enables its menu item again.
// Returns false when the panel was already shown (its button is pressed
// again and nothing else changes).
bool switchPanel(Windows &w, Panel p);

// The title above the panels: its caption on its colour (0x00BBGGRR).
void setPanelTitle(Windows &w, const QString &caption, long bgr);

inline constexpr long kSearchTitleColor = 6291456;
inline constexpr long kResultsTitleColor = 2837760;
inline constexpr long kHistoryTitleColor = 13946;
inline constexpr long kBookmarksTitleColor = 86;
inline constexpr long kContentsTitleColor = 0x00503010;

} // namespace folium::forms
