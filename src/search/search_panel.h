// The search panel of the side pane, and the random topic of the contents.
#pragma once

namespace folium::forms {
struct TitleState;
struct Windows;
} // namespace folium::forms

namespace folium::search {

// Shows the search panel with the focus in the query box.
void Cerca_parola(forms::Windows &w);

// Shows a random topic of the contents tree: a node without children is
// jumped to; a folder gives nothing.
void Hasard(forms::Windows &w, const forms::TitleState &t);

} // namespace folium::search
