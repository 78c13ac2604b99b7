// folium-mkicons: renders the program's SVG icon as PNG files of the sizes
// a desktop's icon theme expects, for installation.
//
//   folium-mkicons ICON.svg OUTDIR SIZE...   writes OUTDIR/SIZExSIZE/apps/NAME.png
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: folium-mkicons ICON.svg OUTDIR SIZE...\n");
        return 2;
    }
    const QString name = QFileInfo(args[1]).completeBaseName();
    for (const QString &s : args.mid(3)) {
        const int size = s.toInt();
        QImageReader reader(args[1]);
        reader.setScaledSize(QSize(size, size));
        const QImage image = reader.read();
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(args[2]).arg(size);
        if (image.isNull() || !QDir().mkpath(dir) || !image.save(dir + u'/' + name + QStringLiteral(".png"))) {
            std::fprintf(stderr, "folium-mkicons: cannot render %s at %d: %s\n", qPrintable(args[1]), size,
                         qPrintable(reader.errorString()));
            return 1;
        }
    }
    return 0;
}
