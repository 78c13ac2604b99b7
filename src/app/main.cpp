// Folium: a reader for scholarly editions.
#include "dialogs.h"
#include "program.h"
#include "sqlite_handle.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    folium::engine::configureSqlite();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Folium"));
    // The command line carries a bare title name, or a title file's path.
    const QString commandLine = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    folium::config::QtDialogs dialogs;
    folium::app::Program program(QCoreApplication::applicationDirPath(), dialogs);
    if (!program.Main(commandLine))
        return 1;
    const int rc = app.exec();
    return program.ended() ? 1 : rc;
}
