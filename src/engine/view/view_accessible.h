// What a screen reader is told of the reading panes: a region of a topic is
// a document (read-only text it can walk word by word and line by line,
// with the caret and the selection), not a label; a pane is a panel that
// holds its regions; a popup is a window with its name and its text.
#pragma once

namespace folium::engine {

// Installs the accessibility factory of the engine's widgets. Called by
// their constructors; the first call does it.
void installViewAccessibility();

} // namespace folium::engine
