// Toolbar icons that follow the desktop's colours. The icons are drawn in
// one ink colour with two accents; drawn as they are, a dark desktop shows
// dark ink on a dark button. Here the ink takes the palette's button text
// colour, the accents are lightened or darkened until they read on the
// button, and a disabled icon is drawn halfway to the button's colour, so
// that it is plainly dimmer than an enabled one in any palette.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPalette>
#include <QString>

namespace folium::forms {

// An icon of the program's own, from its SVG resource, drawn with the
// colours of the application's palette at the time it is painted.
QIcon paletteIcon(const QString &svgResource);

// The colours an icon's ink and accents take in a palette, in a mode.
struct IconColours {
    QColor ink, accent1, accent2;
};
IconColours iconColours(const QPalette &palette, QIcon::Mode mode);

} // namespace folium::forms
