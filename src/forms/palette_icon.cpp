#include "palette_icon.h"

#include "colors.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>

namespace folium::forms {

namespace {

// The colours the icons are drawn in.
const QByteArray kInk = "#37474f";
const QByteArray kAccents[2] = {"#2e7d9a", "#b0413e"};

// A colour moved towards light or dark, as the background asks, until it
// stands out from it by at least `ratio`.
QColor standingOut(QColor c, const QColor &background, double ratio)
{
    const bool darkBackground = background.lightnessF() < 0.5;
    for (int i = 0; i < 20 && engine::contrastRatio(c, background) < ratio; ++i)
        c = darkBackground ? c.lighter(115) : c.darker(115);
    return c;
}

// A colour taken `share` of the way from a towards b.
QColor towards(const QColor &a, const QColor &b, double share)
{
    const auto mix = [share](int x, int y) { return int(x + (y - x) * share + 0.5); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

class PaletteIconEngine : public QIconEngine {
public:
    explicit PaletteIconEngine(QString resource) : m_resource(std::move(resource))
    {
        QFile f(m_resource);
        if (f.open(QIODevice::ReadOnly))
            m_svg = f.readAll();
    }

    QIconEngine *clone() const override { return new PaletteIconEngine(*this); }
    QString key() const override { return QStringLiteral("FoliumPaletteIcon"); }
    bool isNull() override { return m_svg.isEmpty(); }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }

    // The pixmap of `size` device pixels: QIcon asks for what a screen's
    // resolution needs, and sets the pixmap's ratio itself.
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        const IconColours c = iconColours(QApplication::palette(), mode);
        const QString key = QStringLiteral("%1x%2/%3/%4/%5")
                                .arg(size.width())
                                .arg(size.height())
                                .arg(c.ink.name(), c.accent1.name(), c.accent2.name());
        if (const auto it = m_cache.constFind(key); it != m_cache.constEnd())
            return *it;
        QByteArray svg = m_svg;
        svg.replace(kInk, c.ink.name().toLatin1());
        svg.replace(kAccents[0], c.accent1.name().toLatin1());
        svg.replace(kAccents[1], c.accent2.name().toLatin1());
        QBuffer buffer(&svg);
        QImageReader reader(&buffer, "svg");
        reader.setScaledSize(size);
        const QPixmap pm = QPixmap::fromImage(reader.read());
        // A few sizes and two modes per palette: the cache stays small.
        if (m_cache.size() > 32)
            m_cache.clear();
        m_cache.insert(key, pm);
        return pm;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap(rect.size() * ratio, mode, state);
        pm.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, pm);
    }

private:
    QString m_resource;
    QByteArray m_svg;
    QHash<QString, QPixmap> m_cache;
};

} // namespace

IconColours iconColours(const QPalette &palette, QIcon::Mode mode)
{
    // The toolbar's buttons stand on the window's colour.
    const QColor ground = palette.color(QPalette::Active, QPalette::Window);
    IconColours c;
    c.ink = standingOut(palette.color(QPalette::Active, QPalette::ButtonText), ground, 4.5);
    c.accent1 = standingOut(QColor(QString::fromLatin1(kAccents[0])), ground, 4.5);
    c.accent2 = standingOut(QColor(QString::fromLatin1(kAccents[1])), ground, 4.5);
    if (mode == QIcon::Disabled) {
        // Most of the way to the ground: still seen, plainly not at hand.
        for (QColor *colour : {&c.ink, &c.accent1, &c.accent2})
            *colour = towards(*colour, ground, 0.6);
    }
    return c;
}

QIcon paletteIcon(const QString &svgResource)
{
    return QIcon(new PaletteIconEngine(svgResource));
}

} // namespace folium::forms
