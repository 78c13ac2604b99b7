// The files a compile writes before it renames them into place, and the
// temporary files it works with: removed when the compile fails (by the
// compiler) and when the compiler is ended by a signal (by the handlers
// here), so that nothing half-written is ever left beside a title.
#pragma once

#include <QString>

namespace folium::mktitle {

// Sets the handlers of the signals that end the program (SIGINT, SIGTERM,
// SIGHUP, and the crashes SIGSEGV, SIGBUS, SIGABRT, SIGFPE): the files
// registered are removed, then the signal takes its usual course.
void removePartFilesOnSignals();

// A file to remove if a signal ends the program before it is unregistered;
// SQLite's journal beside it is removed too.
void registerPartFile(const QString &path);
void unregisterPartFile(const QString &path);

// The files registered now (for tests).
int registeredPartFiles();

} // namespace folium::mktitle
