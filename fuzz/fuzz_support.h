// What each fuzz target sets up once: a Qt application and a folder for
// the files it writes. Both are made once and never destroyed: libFuzzer
// ends the process with exit(), after which Qt's own statics are gone; the
// folder is removed by an exit handler that runs before them.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace folium::fuzzing {

inline QTemporaryDir *&folder()
{
    static QTemporaryDir *dir = nullptr;
    return dir;
}

// Makes the application (QCoreApplication or QGuiApplication) and the folder.
template <typename Application> void setUp(int *argc, char ***argv)
{
    new Application(*argc, *argv);
    folder() = new QTemporaryDir;
    folder()->setAutoRemove(false);
    static std::string path;
    path = folder()->path().toStdString();
    std::atexit([] { std::filesystem::remove_all(path); });
}

// A file of the folder.
inline QString file(const QString &name)
{
    return folder()->filePath(name);
}

} // namespace folium::fuzzing
