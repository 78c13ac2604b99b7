// Colours as the program passes them: a COLORREF, 0x00BBGGRR.
#pragma once

#include <QColor>

namespace folium::engine {

inline QColor fromColorRef(long c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

} // namespace folium::engine
