// The program: its windows, the state they share, the sequences that start
// it and take it down, and the opening of a new title. Owned by main();
// tests make one per case.
#pragma once

#include "interface_strings.h"
#include "option_set.h"
#include "qt_language.h"
#include "state.h"
#include "windows.h"

#include <QDialog>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace folium::config {
class Dialogs;
class Form2;
} // namespace folium::config

namespace folium::forms {
class Form1;
class Form3;
class MDIForm1;
} // namespace folium::forms

namespace folium::reader {
class Hotspots;
class Resume;
class StatusLine;
class TopicDisplay;
} // namespace folium::reader

namespace folium::title {
class ContentsTree;
}

namespace folium::search {
class SearchPanel;
}

namespace folium::history {
class History;
}

namespace folium::importer {
class Importer;
}

namespace folium::bookmarks {
class Bookmarks;
}

namespace folium::app {

using config::Dialogs;
using forms::Form1;
using forms::Form3;
using forms::MDIForm1;
class Commands;
class HelpWindow;
class WheelRouter;

// Where the program finds what it reads and where it keeps what it writes.
// Run from the build folder, both are the folder of the executable, with
// FL.mdb beside it. Installed, the data folder (<prefix>/share/folium) is
// read-only to the program: FL.mdb is copied once into the user's data
// folder, and options, last-used titles and window places are kept there;
// an existing copy is never replaced, so that a new install keeps them.
struct ProgramFolders {
    QString data;     // titles, help, language databases
    QString settings; // the FL.mdb the program writes
    QString error;    // why the user's FL.mdb could not be made
    // The program's own FL.mdb could not be written, and the settings now
    // live in the user's copy: said once, the run that made the copy.
    QString movedFrom;
};
// writable says whether a file or folder can be written (tests, which run
// as root, say so for a folder a reader could not write).
ProgramFolders programFolders(const QString &executableFolder,
                              const std::function<bool(const QString &)> &writable = {});

class Program : public QObject {
    Q_OBJECT
public:
    Program(QString programFolder, Dialogs &dialogs, QObject *parent = nullptr);
    // FL.mdb is read and written in settingsFolder; the rest comes from
    // programFolder.
    Program(QString programFolder, QString settingsFolder, Dialogs &dialogs, QObject *parent = nullptr);
    ~Program() override;

    // The start sequence. False when the program must end at once (the
    // application database cannot be read); the message has been shown.
    // The command line is a bare title name (a title beside the program),
    // or the path of a title file.
    bool Main(const QString &commandLine);
    // The shutdown sequence, as closing the main frame runs it. The
    // last-used list and the splitter position are written back. When the
    // bookmark question is cancelled, *cancel is set: the last-used list is
    // still written, and the program goes on.
    void shutdown(bool *cancel = nullptr);
    // Asked before a title is closed or the program ends: offers to save
    // changed bookmarks and sets title.CancelFlag when the reader cancels.
    // The bookmark lists provide it; without them there is nothing to ask.
    std::function<void()> VerifieBookmarks;

    // Loads the strings of the language chosen in the options dialog and
    // applies them to every window.
    bool InitLanguesVar();
    // True once a fatal error has ended the program.
    bool ended() const { return m_ended; }
    // Ends the program after an error it cannot go on from: once it runs,
    // the unsaved bookmarks are offered first, as at any close (answered
    // Cancel, they wait in their recovery copy for the next start), then
    // the window closes and the event loop ends with status 1.
    // bookmarksAsked: the close that met the error has asked already.
    void endAfterFatalError(bool bookmarksAsked = false);
    // What an end without a word would lose, kept at once: the changed
    // bookmarks' recovery copy (written otherwise a moment after a change).
    void saveWhatWouldBeLost();

    MDIForm1 *mainFrame() const { return m_frame.get(); }
    Form1 *reader() const { return m_w.reader; }
    Form3 *loading() const { return m_w.loading; }
    config::Form2 *options_dialog() const { return m_w.options; }
    Commands *commands() const { return m_commands; }
    reader::Hotspots *hotspots() const { return m_hotspots; }
    reader::TopicDisplay *display() const { return m_display; }
    reader::Resume *resume() const { return m_resume; }
    reader::StatusLine *statusLine() const { return m_status; }
    search::SearchPanel *searchPanel() const { return m_search; }
    history::History *history() const { return m_history; }
    bookmarks::Bookmarks *bookmarks() const { return m_bookmarks; }
    importer::Importer *importer() const { return m_importer; }
    HelpWindow *helpWindow() const { return m_help; }
    forms::Windows &windows() { return m_w; }

    // The Open command: the open dialog, then the chosen title unless it is
    // the one already open.
    void ApriTexte();
    // Opens entry index (0-3) of the last-used list.
    void TexteOuvert_Click(int index);
    // Opens TitlePath in place of the open title, with its database, its
    // parameters and its contents.
    void InitialiseNouveauTexte();
    // Unsaved bookmarks are offered for saving before another title opens;
    // false when the reader cancelled.
    bool bookmarksLetTitleGo();
    // Opens a title just imported, in place of the one shown (read again
    // when it is the one replaced); unsaved bookmarks are offered first.
    void openImported(const QString &m14Path);
    // The help file of the language at a context ("23", "25"), or as it is.
    void ShowHelp(int command, const QString &context = {});
    // The options dialog, with the "Opzioni" button pressed while it shows;
    // and what its OK applies to the windows.
    void Opzioni();
    void applyOptions();
    // Applies the option set to the reader and the engine: all of it at a
    // title's set-up (before null), after the options dialog's OK what the
    // dialog applies at once and what changed from `before`.
    void applyOptionSet(const config::OptionSet *before);
    // The about window.
    void InformazioniSu();

    // State shared by the program's parts.
    forms::TitleState title;
    forms::ReaderState state;
    config::Options options;
    config::InterfaceStrings strings;
    config::QtLanguage qtLanguage; // Qt's own texts in the interface language
    int SplitterPosition = 0;
    // The program's own FL.mdb that could not be written, when this run moved
    // the settings to the user's copy: the reader is told once, at start.
    QString settingsMovedFrom;
    // Tests look at the about window instead of its modal loop.
    std::function<void(QDialog *)> aboutShown;
    QString HelpFilePath; // the help file of the interface language

private:
    QString flPath() const;
    // The message of a missing or unreadable FL.mdb: the file, and which.
    QString flMdbMissing() const;
    void fatal(const QString &text, bool bookmarksAsked = false);
    void Inizializzazioni(const QString &commandLine);
    void InizializzazioniSuite();
    void InitLastUsedFiles();
    void showLastUsedFiles();
    int storedSplitterPosition() const;
    QString titleOfCommandLine(const QString &argument) const;
    void optionsClosed();
    void placeMainWindow();

    QString m_folder;
    QString m_settingsFolder;
    Dialogs &m_dialogs;
    std::unique_ptr<MDIForm1> m_frame;
    forms::Windows m_w;
    reader::Hotspots *m_hotspots = nullptr;
    reader::TopicDisplay *m_display = nullptr;
    reader::Resume *m_resume = nullptr;
    reader::StatusLine *m_status = nullptr;
    search::SearchPanel *m_search = nullptr;
    history::History *m_history = nullptr;
    bookmarks::Bookmarks *m_bookmarks = nullptr;
    importer::Importer *m_importer = nullptr;
    title::ContentsTree *m_tree = nullptr;
    Commands *m_commands = nullptr;
    WheelRouter *m_wheel = nullptr;
    HelpWindow *m_help = nullptr;
    bool m_ended = false;
    bool m_running = false; // the start sequence is over
    bool m_shutDown = false;
    bool m_closing = false;       // the close's questions are being asked
    bool m_layoutApplied = false; // the option set has placed the panes once
};

} // namespace folium::app
