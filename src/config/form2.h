// Form2: the options dialog. It is loaded hidden at start, because its data
// control Data1 is where the option row is opened and read; its controls are
// bound to the row's columns. Editing and confirming come with the dialog's
// commands.
#pragma once

#include "data_control.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace folium::config {

struct Range;

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

    // The dialog's commands. OK validates the NEAR value and the margins
    // (the first wrong one is said, with the focus on it), stores the row in
    // one statement, then lets the program apply it (applyToProgram) and
    // closes. A row that cannot be stored is said, and the dialog stays.
    void CommandOk_Click();
    void CommandAnnulla_Click();
    void CommandRipristina_Click();
    void CommandSfoglia_Click();
    void CommandCurrent_Click();
    // What the program does with options just stored, and the title open
    // (for "Current").
    std::function<void()> applyToProgram;
    std::function<QString()> currentTitle;
    // The strings of the interface, for the messages.
    const InterfaceStrings *strings = nullptr;

    // The leading number of a text, as the options read numbers: "12ab" is
    // 12, "" is 0, "1.5" is 1.5.
    static double leadingNumber(const QString &text);
    // A number of the zoom list, or 0 for any other text.
    int chosenZoom() const;
    // The characters the number boxes take when typed.
    static bool ValidaTastNum(QChar c);

    // Values read at load for the rest of the program.
    bool NotesAtBottom = false;
    bool AutoNotes = false;
    bool ShowContentsAtStart = false;
    QString HelpFilePath;

    DataControl *Data1;
    QTabWidget *TabStrip1;
    QCheckBox *CheckSommario, *CheckF9, *CheckNotes, *CheckCrono, *CheckAggiorna, *CheckSepScreen, *CheckOptAnd,
        *CheckSepPrint;
    QComboBox *ComboScroll, *ComboLangue, *ComboTexte, *ComboZoom;
    QLineEdit *TextNear, *MarginSinistra, *MarginDestra, *MarginSopra, *MarginSotto;
    QLabel *LabelScroll, *LabelLangue, *LabelTexteParDefaut, *Label2, *LabelNear, *LabelGauche, *LabelDroite,
        *LabelHaut, *LabelBas;
    QGroupBox *FrameSepOption, *FrameMarginStampa;
    QPushButton *CommandSfoglia, *CommandCurrent, *CommandOk, *CommandAnnulla, *CommandRipristina;

signals:
    // The dialog closed, confirmed or not.
    void unloaded();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool validNumber(QLineEdit *box, const Range &range, int bmsgText, int bmsgTitle);
    QString m_flPath;
    QString m_folder;
    Dialogs &m_dialogs;
};

} // namespace folium::config
