// Folium: a reader for scholarly editions.
#include "dialogs.h"
#include "mdiform1.h"
#include "program.h"
#include "sqlite.h"
#include "termination.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char *argv[])
{
    folium::sqlite::configure();
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
    program.settingsMovedFrom = folders.movedFrom;
    if (!program.Main(commandLine))
        return 1;
    // Asked to end (a session closing, kill), the program closes its window
    // as a reader would, so that options, last-used titles and bookmarks are
    // kept, and goes on if the reader cancels.
    folium::app::TerminationRequests requests([&program] { return program.mainFrame()->close(); },
                                              [] { QApplication::quit(); });
    // Ended by an error it cannot go on from, it keeps the unsaved bookmarks.
    folium::app::saveBeforeAFatalEnd([&program] { program.saveWhatWouldBeLost(); });
    const int rc = app.exec();
    return program.ended() ? 1 : rc;
}
