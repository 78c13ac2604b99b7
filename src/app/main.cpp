// Folium: a reader for scholarly editions.
#include "dialogs.h"
#include "mdiform1.h"
#include "program.h"
#include "sqlite_handle.h"

#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onTerminate(int)
{
    const char byte = 1;
    (void)!write(g_signalPipe[0], &byte, 1);
}

} // namespace

int main(int argc, char *argv[])
{
    folium::engine::configureSqlite();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Folium"));
    QApplication::setDesktopFileName(QStringLiteral("org.folium.Folium"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/folium.svg")));
    // The command line carries a bare title name, or a title file's path.
    const QString commandLine = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const folium::app::ProgramFolders folders = folium::app::programFolders(QCoreApplication::applicationDirPath());
    if (!folders.error.isEmpty())
        std::fprintf(stderr, "folium: %s\n", qPrintable(folders.error));
    folium::config::QtDialogs dialogs;
    folium::app::Program program(folders.data, folders.settings, dialogs);
    if (!program.Main(commandLine))
        return 1;
    // Asked to end (a session closing, kill), the program closes its window
    // as a reader would, so that options and last-used titles are kept.
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        auto *notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [&program, notifier] {
            char byte = 0;
            (void)!read(g_signalPipe[1], &byte, 1);
            notifier->setEnabled(false);
            program.mainFrame()->close();
            QApplication::quit();
        });
        std::signal(SIGTERM, onTerminate);
        std::signal(SIGINT, onTerminate);
    }
    const int rc = app.exec();
    return program.ended() ? 1 : rc;
}
