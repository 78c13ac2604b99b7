// What the tests read off the main frame.
#pragma once

#include "mdiform1.h"

#include <QAction>
#include <QStringList>

namespace folium::testing {

// The captions of the last-used entries the File menu shows.
inline QStringList visibleLastUsed(const forms::MDIForm1 &frame)
{
    QStringList out;
    for (int i = 0; i < 4; ++i) {
        QAction *a = frame.lastUsedEntry(i);
        if (a->isVisible())
            out << a->text();
    }
    return out;
}

} // namespace folium::testing
