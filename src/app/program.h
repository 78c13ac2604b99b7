// The program: its windows and the state they share, and the sequences that
// start it and take it down. Owned by main(); tests make one per case.
#pragma once

#include "interface_strings.h"
#include "last_files.h"
#include "option_set.h"

#include <QObject>
#include <QString>

#include <memory>

namespace folium::config {
class Dialogs;
class Form2;
} // namespace folium::config

namespace folium::app {

using config::Dialogs;
class Form1;
class Form3;
class MDIForm1;

class Program : public QObject {
    Q_OBJECT
public:
    Program(QString programFolder, Dialogs &dialogs, QObject *parent = nullptr);
    ~Program() override;

    // The start sequence. False when the program must end at once (the
    // application database cannot be read); the message has been shown.
    bool Main(const QString &commandLine);
    // The shutdown sequence, as closing the main frame runs it. The
    // last-used list and the splitter position are written back.
    void shutdown();
    // True once a fatal error has ended the program.
    bool ended() const { return m_ended; }

    MDIForm1 *mainFrame() const { return m_frame.get(); }
    Form1 *reader() const { return m_form1; }
    Form3 *loading() const { return m_form3; }
    config::Form2 *options_dialog() const { return m_form2; }

    // State shared by the program's parts.
    QString TitlePath;
    bool CancelFlag = false;
    config::OptionSet options;
    config::InterfaceStrings strings;
    config::LastFiles lastFiles;
    int SplitterPosition = 0;
    QString HelpFilePath; // the help file of the interface language
    bool SearchPanelShown = true;

private:
    void connectCommands();
    void onHotspotCode(const char *code);
    QString flPath() const;
    void fatal(const QString &text);
    bool InitLanguesVar();
    void Inizializzazioni(const QString &commandLine);
    void InizializzazioniSuite();
    void InitLastUsedFiles();
    void OuvertureM14();
    void updateLastUsedMenu();
    void AfficheLoadingText();

    QString m_folder;
    Dialogs &m_dialogs;
    std::unique_ptr<MDIForm1> m_frame;
    Form1 *m_form1 = nullptr;
    Form3 *m_form3 = nullptr;
    config::Form2 *m_form2 = nullptr;
    bool m_ended = false;
    bool m_shutDown = false;
};

} // namespace folium::app
