// Copy, print and zoom on the reading panes.
#pragma once

namespace folium::forms {
struct Windows;
}

namespace folium::reader {

class Hotspots;

// Copies the selection of the main pane, then that of the notes pane.
void Copia_selected(forms::Windows &w);
// Prints the topic of the main pane.
void Stampa_topic(forms::Windows &w, Hotspots &hotspots);
// Sets the zoom of the main pane (and of the notes pane when it shows a
// title) and checks its entry in the zoom menu.
void setZoom(forms::Windows &w, Hotspots &hotspots, int percent);

} // namespace folium::reader
