// Opening a title: the open dialog, handing the file to the engine with its
// retry loop, the last-used list of the File menu, and where the title's
// database lies.
#pragma once

#include <QString>

namespace folium::config {
struct FileDialogRequest;
}

namespace folium::forms {
struct TitleState;
struct Windows;
} // namespace folium::forms

namespace folium::title {

using forms::TitleState;
using forms::Windows;

// The names derived from a title's path. The base name ends at the first
// "." of the file name, so "Letters.final.m14" has the database
// "Letters.mdb" beside it.
struct TitleNames {
    QString folder;   // up to and including the last separator
    QString fileName; // after it
    QString baseName;
    QString databaseFileName;
    QString databasePath;
};
TitleNames titleNames(const QString &titlePath);

// Whether two paths name the same file, as the file system compares them:
// letter case counts (Lettere.m14 and lettere.m14 are two titles), and a
// link or a "../" leads to what it names.
bool sameFile(const QString &a, const QString &b);

// The open (or, with request.save, save) dialog. Sets CancelFlag when the
// user cancels; otherwise returns the chosen file.
QString ApriFile(Windows &w, TitleState &t, const config::FileDialogRequest &request);

// "Loading..." in the loading window, shown at once.
void AfficheLoadingText(Windows &w);

// Gives TitlePath to the main pane. A file the engine cannot read brings the
// message that says so and the open dialog until one opens or the user
// cancels (CancelFlag). On success the last-used list gets the title on top.
void OuvertureM14(Windows &w, TitleState &t);

// The File menu's last-used entries after TitlePath was opened.
void updateLastUsedList(Windows &w, TitleState &t);

} // namespace folium::title
