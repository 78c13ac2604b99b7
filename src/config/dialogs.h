// Every message box and file dialog of the program goes through Dialogs.
// QtDialogs shows real ones; tests use ScriptedDialogs, which answers from a
// script and records what was shown.
#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <utility>
#include <vector>

class QWidget;

namespace folium::config {

enum class Icon { None, Information, Exclamation, Critical, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct FileDialogRequest {
    QString title;
    QString folder;   // initial folder
    QString fileName; // initial file name
    QString filter;   // "Description|*.ext", as the interface strings write it
    bool save = false;
};

// The import dialog: the folder of an edition, and a mapping file if the
// reader has one. The texts are the interface's; folder and mapping are
// shown at first and hold the answer.
struct ImportDialogRequest {
    QString title, folderLabel, mappingLabel, browseFolder, browseMapping, mappingFilter, folderTitle;
    QString folder, mapping;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // defaultButton: the answer Enter gives (Answer::Ok: the first button).
    virtual Answer message(QWidget *parent, const QString &text, const QString &title, Icon icon, Buttons buttons,
                           Answer defaultButton = Answer::Ok) = 0;
    // The chosen file, or an empty string when the user cancelled.
    virtual QString file(QWidget *parent, const FileDialogRequest &request) = 0;
    // True when the reader chose a folder (and perhaps a mapping file).
    virtual bool importEdition(QWidget *parent, ImportDialogRequest *request) = 0;
};

// "Titles (*.m14)|*.m14|All|*.*" -> "Titles (*.m14);;All (*.*)"
QString qtFilter(const QString &filter);

class QtDialogs : public Dialogs {
public:
    Answer message(QWidget *parent, const QString &text, const QString &title, Icon icon, Buttons buttons,
                   Answer defaultButton = Answer::Ok) override;
    QString file(QWidget *parent, const FileDialogRequest &request) override;
    bool importEdition(QWidget *parent, ImportDialogRequest *request) override;
};

class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        QString text, title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        Answer defaultButton = Answer::Ok;
        bool isFileDialog = false;
        FileDialogRequest request;
        bool isImportDialog = false;
    };

    // Answers given in order; when none is left, messages get Ok (or
    // Cancel where there is no Ok) and file dialogs are cancelled.
    std::deque<Answer> answers;
    std::deque<QString> files;
    // The import dialog's answers: a folder and a mapping file ("" for none);
    // with none left it is cancelled.
    std::deque<std::pair<QString, QString>> imports;
    std::vector<Shown> shown;

    Answer message(QWidget *parent, const QString &text, const QString &title, Icon icon, Buttons buttons,
                   Answer defaultButton = Answer::Ok) override;
    QString file(QWidget *parent, const FileDialogRequest &request) override;
    bool importEdition(QWidget *parent, ImportDialogRequest *request) override;
};

} // namespace folium::config
