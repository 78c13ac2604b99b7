// Folium: for now a plain reading window over the title engine, with home,
// back and next. The full reader window replaces it.
#include "engine_errors.h"
#include "sqlite_handle.h"
#include "topicview.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

using folium::engine::TopicView;

int main(int argc, char *argv[])
{
    folium::engine::configureSqlite();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Folium"));
    // A bare title name on the command line opens program folder + name + ".m14".
    const QString name = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Lettere");
    const QString path = QFileInfo(name).isAbsolute() || name.endsWith(u".m14")
                             ? name
                             : QCoreApplication::applicationDirPath() + u'/' + name + QStringLiteral(".m14");

    QWidget window;
    window.setWindowTitle(QStringLiteral("Folium"));
    auto *view = new TopicView;
    view->setObjectName(QStringLiteral("Fl_main"));
    view->setAccessibleName(QStringLiteral("Topic"));
    auto *home = new QPushButton(QStringLiteral("&Home"));
    auto *back = new QPushButton(QStringLiteral("&Back"));
    auto *next = new QPushButton(QStringLiteral("&Next"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(home);
    buttons->addWidget(back);
    buttons->addWidget(next);
    buttons->addStretch();
    auto *lay = new QVBoxLayout(&window);
    lay->addLayout(buttons);
    lay->addWidget(view, 1);

    const auto update = [&] {
        back->setEnabled(view->HasPreviousBrowseTopic());
        next->setEnabled(view->HasNextBrowseTopic());
        window.setWindowTitle(view->ViewTopic().isEmpty() ? QStringLiteral("Folium")
                                                          : view->ViewTopic() + QStringLiteral(" – Folium"));
    };
    QObject::connect(view, &TopicView::TopicChanged, &window, update);
    QObject::connect(home, &QPushButton::clicked, view, [view] { view->GoHome(); });
    QObject::connect(back, &QPushButton::clicked, view, [view] { view->BrowsePrevious(); });
    QObject::connect(next, &QPushButton::clicked, view, [view] { view->BrowseNext(); });
    // Code hotspots name context strings (a "B" code opens a popup); the
    // program of the full reader interprets them, this window follows them.
    QObject::connect(view, &TopicView::HotspotClicked, view, [view](int type, qintptr data, bool *cancel) {
        if (type != 0)
            return;
        const QString code = QString::fromLatin1(reinterpret_cast<const char *>(data));
        if (code.startsWith(u'B')) {
            view->PopupTopic(-1);
            const long va = long(folium::engine::vaTVConvertContextString(view->GetViewerWindow(),
                                                                          reinterpret_cast<const char *>(data)));
            if (auto t = view->titleFile())
                if (auto i = t->topicAtAddress(uint32_t(va)))
                    view->PopupTopic(*i);
        } else {
            const int dot = int(code.lastIndexOf(u'.'));
            view->JumpContext(code.startsWith(u'N') || dot < 0 ? code : code.left(dot));
        }
        *cancel = true;
    });

    window.resize(900, 700);
    window.show();
    view->setViewTitle(path);
    if (view->lastError() != 0)
        QMessageBox::critical(&window, QStringLiteral("Folium"), QStringLiteral("Bad .m14 file\n") + path);
    update();
    return app.exec();
}
