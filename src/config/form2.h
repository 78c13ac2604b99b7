// Form2: the options dialog. It is loaded hidden at start, because its data
// control Data1 is where the option row is opened and read; its controls are
// bound to the row's columns. Editing and confirming come with the dialog's
// commands.
#pragma once

#include "data_control.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace folium::config {

class Dialogs;
class InterfaceStrings;

class Form2 : public QDialog {
    Q_OBJECT
public:
    Form2(QString flPath, QString programFolder, Dialogs &dialogs, QWidget *parent = nullptr);

    // Opens the option row, asking for the file while it cannot be opened,
    // and fills the lists. False when the user gave up: the program ends.
    bool Form_Load();
    void RiempieComboZoom();
    void RiempieComboLanguage();
    void ApplyOptionCaptions(const InterfaceStrings &strings);

    // Values read at load for the rest of the program.
    bool NotesAtBottom = false;
    bool AutoNotes = false;
    bool ShowContentsAtStart = false;
    QString HelpFilePath;

    db::DataControl *Data1;
    QTabWidget *TabStrip1;
    QCheckBox *CheckSommario, *CheckF9, *CheckNotes, *CheckCrono, *CheckAggiorna, *CheckSepScreen, *CheckOptAnd,
        *CheckSepPrint;
    QComboBox *ComboScroll, *ComboLangue, *ComboTexte, *ComboZoom;
    QLineEdit *TextNear, *MarginSinistra, *MarginDestra, *MarginSopra, *MarginSotto;
    QLabel *LabelScroll, *LabelLangue, *LabelTexteParDefaut, *Label2, *LabelNear, *LabelGauche, *LabelDroite,
        *LabelHaut, *LabelBas;
    QGroupBox *FrameSepOption, *FrameMarginStampa;
    QPushButton *CommandSfoglia, *CommandCurrent, *CommandOk, *CommandAnnulla, *CommandRipristina;

private:
    QString m_flPath;
    QString m_folder;
    Dialogs &m_dialogs;
};

} // namespace folium::config
