// The reader stays legible in a dark desktop and at a scale factor of 2:
// its panes, the heading region, popups, the marks of search hits and the
// panel title are checked on screenshots (the text must stand out from its
// background by a contrast of 4.5 at least), and icons are drawn at the
// screen's resolution. CTest runs this once as is and once with
// QT_SCALE_FACTOR=2.
#include "colors.h"
#include "form1.h"
#include "form2.h"
#include "help_window.h"
#include "region_view.h"
#include "running_program.h"
#include "search_panel.h"

#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>

using namespace folium;
using folium::engine::contrastRatio;

namespace {

QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x2B, 0x2B, 0x2B));
    p.setColor(QPalette::WindowText, QColor(0xE8, 0xE8, 0xE8));
    p.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x1E));
    p.setColor(QPalette::AlternateBase, QColor(0x2A, 0x2A, 0x2A));
    p.setColor(QPalette::Text, QColor(0xE8, 0xE8, 0xE8));
    p.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::ButtonText, QColor(0xE8, 0xE8, 0xE8));
    p.setColor(QPalette::Highlight, QColor(0x3D, 0x7A, 0xD6));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x8A, 0xB4, 0xF8));
    return p;
}

// How well the text of a picture stands out: its most frequent colour is
// taken for the background, and the contrast is that of the pixel that
// differs from it most.
double textContrast(const QImage &picture)
{
    const QImage img = picture.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> counts;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ++counts[img.pixel(x, y)];
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, contrastRatio(QColor(background), QColor(it.key())));
    return best;
}

struct Running : testing::RunningProgram {
    Running()
    {
        start();
        p->mainFrame()->resize(1000, 700);
        QApplication::processEvents();
    }
};

} // namespace

class TestLook : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setPalette(darkPalette()); }

    void textReadsInADarkDesktop()
    {
        Running r;
        QVERIFY(r.p);
        engine::TopicView *main = r.main();
        main->JumpContext(QStringLiteral("120351"));
        QApplication::processEvents();
        for (int region : {0, 1}) {
            QWidget *view = main->regionView(region)->viewport();
            QVERIFY(view->isVisible());
            const double c = textContrast(view->grab().toImage());
            QVERIFY2(c >= 4.5, qPrintable(QStringLiteral("region %1: contrast %2").arg(region).arg(c)));
        }
        // A popup on the reader's pale colour.
        main->PopupTopic(main->TopicIndex());
        QVERIFY(main->popupWindow());
        // FOLIUM_LOOK_SHOTS=folder keeps pictures to look at.
        if (const QString shots = qEnvironmentVariable("FOLIUM_LOOK_SHOTS"); !shots.isEmpty()) {
            r.p->mainFrame()->grab().save(shots + QStringLiteral("/dark-window.png"));
            main->popupWindow()->grab().save(shots + QStringLiteral("/dark-popup.png"));
        }
        const double popup = textContrast(main->popupWindow()->grab().toImage());
        QVERIFY2(popup >= 4.5, qPrintable(QString::number(popup)));
        // Its links (the note calls) read on it too.
        const auto *popupView = main->popupWindow()->findChild<engine::RegionView *>();
        QVERIFY(popupView);
        bool links = false;
        for (QTextBlock b = popupView->document()->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isAnchor() && !it.fragment().charFormat().anchorHref().isEmpty()) {
                    links = true;
                    QVERIFY(contrastRatio(it.fragment().charFormat().foreground().color(),
                                          popupView->palette().color(QPalette::Base)) >= 3);
                }
        QVERIFY(links);
        main->PopupTopic(-1);
        // The marks of search hits.
        main->RunSearch(QStringLiteral("Luigi"));
        main->setHiliteSearchHits(true);
        const auto marks = main->regionView(0)->extraSelections() + main->regionView(1)->extraSelections();
        QVERIFY(!marks.isEmpty());
        for (const QTextEdit::ExtraSelection &m : marks)
            QVERIFY(contrastRatio(m.format.foreground().color(), m.format.background().color()) >= 4.5);
        // The side pane's title, on the panel's colour.
        QLabel *title = r.f()->Titre_Splitgauche;
        QVERIFY(contrastRatio(title->palette().color(QPalette::Window), title->palette().color(QPalette::WindowText)) >=
                4.5);
    }

    void theOptionsAndTheHelpReadInADarkDesktop()
    {
        Running r;
        QVERIFY(r.p);
        testing::ProgramFolder::copy(QStringLiteral(FOLIUM_RUNTIME_DIR "/FLFR.hlp"),
                                     r.folder.file(QStringLiteral("FLFR.hlp")));
        testing::ProgramFolder::copy(QStringLiteral(FOLIUM_RUNTIME_DIR "/FLFR.mdb"),
                                     r.folder.file(QStringLiteral("FLFR.mdb")));
        r.p->Opzioni();
        QApplication::processEvents();
        QWidget *options = r.p->options_dialog();
        QVERIFY(options->isVisible());
        if (const QString shots = qEnvironmentVariable("FOLIUM_LOOK_SHOTS"); !shots.isEmpty())
            options->grab().save(shots + QStringLiteral("/dark-options.png"));
        const double o = textContrast(options->grab().toImage());
        QVERIFY2(o >= 4.5, qPrintable(QString::number(o)));
        options->close();
        r.p->ShowHelp(1, QStringLiteral("25"));
        QApplication::processEvents();
        QWidget *help = r.p->helpWindow();
        QVERIFY(help && help->isVisible());
        const double h = textContrast(help->grab().toImage());
        QVERIFY2(h >= 4.5, qPrintable(QString::number(h)));
    }

    // Regression: in a dark desktop the toolbar's enabled icons stood out
    // from the bar by 1.3:1 and its disabled ones by 2.9:1, so that enabled
    // buttons looked disabled. Icons follow the palette: an enabled one reads
    // at 4.5:1 at least, a disabled one plainly less, in a dark desktop and
    // in a light one.
    void toolbarIconsFollowThePalette()
    {
        Running r;
        QVERIFY(r.p);
        // The strongest contrast an icon's pixels make with the bar under it.
        const auto contrastOn = [](const QIcon &icon, QIcon::Mode mode, const QColor &ground) {
            QImage img(24, 24, QImage::Format_RGB32);
            img.fill(ground);
            QPainter(&img).drawPixmap(0, 0, icon.pixmap(QSize(24, 24), 1.0, mode));
            double best = 1;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    best = std::max(best, contrastRatio(QColor(img.pixel(x, y)), ground));
            return best;
        };
        for (const QPalette &palette : {darkPalette(), QPalette(Qt::black, QColor(0xEF, 0xEF, 0xEF))}) {
            QApplication::setPalette(palette);
            const QColor ground = palette.color(QPalette::Window);
            for (QAction *a : r.p->mainFrame()->Toolbar()->actions()) {
                const double on = contrastOn(a->icon(), QIcon::Normal, ground);
                const double off = contrastOn(a->icon(), QIcon::Disabled, ground);
                QVERIFY2(on >= 4.5, qPrintable(QStringLiteral("%1: %2").arg(a->objectName()).arg(on)));
                QVERIFY2(
                    off < on / 2 && off >= 1.5,
                    qPrintable(QStringLiteral("%1 disabled: %2 (enabled %3)").arg(a->objectName()).arg(off).arg(on)));
            }
        }
        QApplication::setPalette(darkPalette());
        if (const QString shots = qEnvironmentVariable("FOLIUM_LOOK_SHOTS"); !shots.isEmpty())
            r.p->mainFrame()->Toolbar()->grab().save(shots + QStringLiteral("/dark-toolbar.png"));
    }

    void iconsAtTheScreensResolution()
    {
        Running r;
        QVERIFY(r.p);
        const qreal ratio = r.p->mainFrame()->devicePixelRatioF();
        if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
            QCOMPARE(ratio, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
        int buttons = 0;
        for (QToolButton *b : r.p->mainFrame()->findChildren<QToolButton *>()) {
            if (b->icon().isNull() || !b->isVisible())
                continue;
            ++buttons;
            const QPixmap pm = b->icon().pixmap(b->iconSize(), ratio);
            QCOMPARE(pm.devicePixelRatio(), ratio);
            QCOMPARE(pm.width(), qRound(b->iconSize().width() * ratio));
            // The button holds its icon whole.
            QVERIFY(b->width() >= b->iconSize().width() && b->height() >= b->iconSize().height());
        }
        QVERIFY(buttons > 10);
    }
};

QTEST_MAIN(TestLook)
#include "tst_look.moc"
