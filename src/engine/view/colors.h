// Colours as the program's settings and titles pass them: one number,
// 0x00BBGGRR (blue, green and red, a byte each, red lowest); and what makes
// text read on a colour.
#pragma once

#include <QColor>

#include <algorithm>
#include <cmath>

namespace folium::engine {

// The current search hit, marked apart from the others (a deep orange,
// which the yellow of the other hits and the pages' colours never are).
inline const QColor kCurrentHitColor(0xE0, 0x6C, 0x00);

inline QColor colorFromBgr(long c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// The contrast of two colours as WCAG defines it: from 1 (the same) to 21
// (black on white). Text is comfortably read from 4.5.
inline double contrastRatio(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A colour for text on that background: the one wanted when it reads well
// there, else black or white, whichever reads better. A light page in a
// dark desktop gets dark text, and the other way round.
inline QColor readableOn(const QColor &background, const QColor &wanted)
{
    if (contrastRatio(background, wanted) >= 4.5)
        return wanted;
    return contrastRatio(background, Qt::black) >= contrastRatio(background, Qt::white) ? QColor(Qt::black)
                                                                                        : QColor(Qt::white);
}

} // namespace folium::engine
