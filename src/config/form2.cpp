#include "form2.h"

#include "option_set.h"

#include "dialogs.h"
#include "interface_strings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace folium::config {

namespace {

template <typename T> T *named(T *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// The zooms the dialog offers, as the combo box shows them.
QStringList zoomTexts()
{
    QStringList out;
    for (int zoom : kZooms)
        out << QString::number(zoom);
    return out;
}
const QStringList kZoomTexts = zoomTexts();
const QStringList kLanguages{QStringLiteral("Fran\u00e7ais"), QStringLiteral("English"), QStringLiteral("Italiano")};

} // namespace

Form2::Form2(QString flPath, QString programFolder, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), Data1(new DataControl(this)), m_flPath(std::move(flPath)), m_folder(std::move(programFolder)),
      m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Form2"));
    setModal(true);
    TabStrip1 = named(new QTabWidget, "TabStrip1");

    auto *general = new QWidget;
    CheckSommario = named(new QCheckBox, "CheckSommario");
    ComboScroll = named(new QComboBox, "ComboScroll");
    for (int i = 1; i <= 10; ++i)
        ComboScroll->addItem(QString::number(i));
    LabelScroll = named(new QLabel, "LabelScroll");
    FrameSepOption = named(new QGroupBox, "FrameSepOption");
    CheckF9 = named(new QCheckBox, "CheckF9");
    CheckNotes = named(new QCheckBox, "CheckNotes");
    ComboLangue = named(new QComboBox, "ComboLangue");
    ComboLangue->addItems(kLanguages);
    LabelLangue = named(new QLabel, "LabelLangue");
    ComboTexte = named(new QComboBox, "ComboTexte");
    ComboTexte->setEditable(true);
    LabelTexteParDefaut = named(new QLabel, "LabelTexteParDefaut");
    CommandSfoglia = named(new QPushButton(QStringLiteral("...")), "CommandSfoglia");
    CommandCurrent = named(new QPushButton(QStringLiteral("=")), "CommandCurrent");
    CheckCrono = named(new QCheckBox, "CheckCrono");
    CheckAggiorna = named(new QCheckBox, "CheckAggiorna");
    ComboZoom = named(new QComboBox, "ComboZoom");
    ComboZoom->addItems(kZoomTexts);
    Label2 = named(new QLabel(QStringLiteral("Zoom")), "Label2");
    TextNear = named(new QLineEdit, "TextNear");
    LabelNear = named(new QLabel(QStringLiteral("Near")), "LabelNear");
    CheckSepScreen = named(new QCheckBox, "CheckSepScreen");
    CheckOptAnd = named(new QCheckBox, "CheckOptAnd");
    auto *frame = new QFormLayout(FrameSepOption);
    frame->addRow(CheckF9);
    frame->addRow(CheckNotes);
    frame->addRow(LabelLangue, ComboLangue);
    auto *titleRow = new QHBoxLayout;
    titleRow->addWidget(ComboTexte, 1);
    titleRow->addWidget(CommandSfoglia);
    titleRow->addWidget(CommandCurrent);
    frame->addRow(LabelTexteParDefaut, titleRow);
    frame->addRow(CheckCrono);
    frame->addRow(CheckAggiorna);
    frame->addRow(Label2, ComboZoom);
    frame->addRow(LabelNear, TextNear);
    frame->addRow(CheckSepScreen);
    frame->addRow(CheckOptAnd);
    auto *generalLay = new QFormLayout(general);
    generalLay->addRow(CheckSommario);
    generalLay->addRow(LabelScroll, ComboScroll);
    generalLay->addRow(FrameSepOption);
    TabStrip1->addTab(general, QStringLiteral("Generale"));

    auto *print = new QWidget;
    CheckSepPrint = named(new QCheckBox, "CheckSepPrint");
    FrameMarginStampa = named(new QGroupBox, "FrameMarginStampa");
    MarginSinistra = named(new QLineEdit, "MarginSinistra");
    MarginDestra = named(new QLineEdit, "MarginDestra");
    MarginSopra = named(new QLineEdit, "MarginSopra");
    MarginSotto = named(new QLineEdit, "MarginSotto");
    LabelGauche = named(new QLabel, "LabelGauche");
    LabelDroite = named(new QLabel, "LabelDroite");
    LabelHaut = named(new QLabel, "LabelHaut");
    LabelBas = named(new QLabel, "LabelBas");
    auto *margins = new QFormLayout(FrameMarginStampa);
    margins->addRow(LabelGauche, MarginSinistra);
    margins->addRow(LabelDroite, MarginDestra);
    margins->addRow(LabelHaut, MarginSopra);
    margins->addRow(LabelBas, MarginSotto);
    auto *printLay = new QVBoxLayout(print);
    printLay->addWidget(CheckSepPrint);
    printLay->addWidget(FrameMarginStampa);
    printLay->addStretch();
    TabStrip1->addTab(print, QStringLiteral("Stampa"));

    CommandOk = named(new QPushButton(QStringLiteral("OK")), "CommandOk");
    CommandAnnulla = named(new QPushButton, "CommandAnnulla");
    CommandRipristina = named(new QPushButton, "CommandRipristina");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CommandOk);
    buttons->addWidget(CommandAnnulla);
    buttons->addWidget(CommandRipristina);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(TabStrip1);
    lay->addLayout(buttons);
    // Enter runs OK wherever the focus is: OK is the only default button.
    for (QPushButton *b : {CommandSfoglia, CommandCurrent, CommandAnnulla, CommandRipristina}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    CommandOk->setDefault(true);
    connect(CommandOk, &QPushButton::clicked, this, &Form2::CommandOk_Click);
    connect(CommandAnnulla, &QPushButton::clicked, this, &Form2::CommandAnnulla_Click);
    connect(CommandRipristina, &QPushButton::clicked, this, &Form2::CommandRipristina_Click);
    connect(CommandSfoglia, &QPushButton::clicked, this, &Form2::CommandSfoglia_Click);
    connect(CommandCurrent, &QPushButton::clicked, this, &Form2::CommandCurrent_Click);
    connect(this, &QDialog::finished, this, [this] {
        TabStrip1->setCurrentIndex(0);
        emit unloaded();
    });
    // The number boxes filter the characters typed (not those pasted: a
    // pasted "12abc" reads as 12).
    for (QLineEdit *box : {TextNear, MarginSinistra, MarginDestra, MarginSopra, MarginSotto})
        box->installEventFilter(this);

    const std::pair<QWidget *, const char *> bound[] = {{CheckSommario, "Sommaire"},
                                                        {CheckF9, "OptF9"},
                                                        {CheckNotes, "OptNotes"},
                                                        {ComboTexte, "TextesD\u00e9faut"},
                                                        {CheckCrono, "OptCrono"},
                                                        {CheckAggiorna, "OptAffiche"},
                                                        {TextNear, "Near"},
                                                        {CheckSepScreen, "SepScreen"},
                                                        {CheckOptAnd, "AndImplicito"},
                                                        {CheckSepPrint, "SepPrint"},
                                                        {MarginSinistra, "MarginSinistra"},
                                                        {MarginDestra, "MarginDestra"},
                                                        {MarginSopra, "MarginSopra"},
                                                        {MarginSotto, "MarginSotto"}};
    for (const auto &[control, column] : bound)
        Data1->bind(control, QString::fromUtf8(column));
}

bool Form2::Form_Load()
{
    Data1->DatabaseName = m_flPath;
    Data1->RecordSource = QStringLiteral("Options");
    // Until the option row opens: say why, then ask for the file.
    for (int err = Data1->Refresh(); err != 0; err = Data1->Refresh()) {
        m_dialogs.message(this, Data1->DatabaseName + u' ' + QString::number(err) + db::errorDescription(err),
                          QString(), Icon::None, Buttons::Ok);
        FileDialogRequest r;
        r.folder = m_folder;
        r.fileName = QStringLiteral("FL.mdb");
        // The language is not known yet: a filter that reads the same in all.
        r.filter = QStringLiteral("FL.mdb (*.mdb)|*.mdb");
        const QString chosen = m_dialogs.file(this, r);
        if (chosen.isEmpty())
            return false;
        Data1->DatabaseName = chosen;
    }
    db::Recordset *rs = Data1->recordset();
    NotesAtBottom = rs->Field(QStringLiteral("OptNotes")).toLongLong() != 0;
    AutoNotes = rs->Field(QStringLiteral("OptF9")).toLongLong() != 0;
    ComboScroll->setCurrentIndex(int(rs->Field(QStringLiteral("Scroll")).toLongLong()) - 1);
    ShowContentsAtStart = rs->Field(QStringLiteral("Sommaire")).toLongLong() != 0;
    RiempieComboZoom();
    RiempieComboLanguage();
    return true;
}

void Form2::RiempieComboZoom()
{
    const QString zoom = Data1->recordset()->Field(QStringLiteral("Zoom")).toString();
    ComboZoom->setCurrentIndex(int(kZoomTexts.indexOf(zoom)));
}

void Form2::RiempieComboLanguage()
{
    const QString language = Data1->recordset()->Field(QStringLiteral("Language")).toString();
    const int i = int(kLanguages.indexOf(language));
    ComboLangue->setCurrentIndex(i);
    if (i >= 0)
        HelpFilePath = helpFileFor(language, m_folder);
}

void Form2::ApplyOptionCaptions(const InterfaceStrings &s)
{
    const auto t = [&s](const char *group, int n) { return s.text(QString::fromLatin1(group), n); };
    TabStrip1->setTabText(0, t("OPTI", 1));
    TabStrip1->setTabText(1, t("MENU", 3));
    CheckSepScreen->setText(t("OPTI", 2));
    CheckCrono->setText(t("OPTI", 3));
    CheckAggiorna->setText(t("OPTI", 4));
    LabelTexteParDefaut->setText(t("OPTI", 5));
    CheckSepPrint->setText(t("OPTI", 6));
    FrameMarginStampa->setTitle(t("OPTI", 7));
    LabelGauche->setText(t("OPTI", 8));
    LabelDroite->setText(t("OPTI", 9));
    LabelHaut->setText(t("OPTI", 10));
    LabelBas->setText(t("OPTI", 11));
    LabelLangue->setText(t("OPTI", 12));
    CommandSfoglia->setToolTip(t("OPTI", 13));
    CommandCurrent->setToolTip(t("OPTI", 14));
    CheckNotes->setText(t("OPTI", 15));
    CheckF9->setText(t("OPTI", 16));
    LabelScroll->setText(t("OPTI", 17));
    CheckSommario->setText(t("OPTI", 18));
    CommandAnnulla->setText(t("BUTT", 1));
    CommandRipristina->setText(t("BUTT", 2));
    CheckOptAnd->setText(t("RECH", 3));
    // A screen reader names each box by its label, and the two small
    // buttons by what their tooltips say.
    const std::pair<QWidget *, QLabel *> labelled[] = {
        {ComboLangue, LabelLangue},  {ComboTexte, LabelTexteParDefaut}, {ComboZoom, Label2},
        {TextNear, LabelNear},       {ComboScroll, LabelScroll},        {MarginSinistra, LabelGauche},
        {MarginDestra, LabelDroite}, {MarginSopra, LabelHaut},          {MarginSotto, LabelBas}};
    for (const auto &[input, label] : labelled) {
        QString name = label->text().remove(u'&');
        while (name.endsWith(u':') || name.endsWith(u' ') || name.endsWith(QChar(0xA0)))
            name.chop(1);
        label->setBuddy(input);
        input->setAccessibleName(name);
    }
    if (ComboTexte->lineEdit())
        ComboTexte->lineEdit()->setAccessibleName(ComboTexte->accessibleName());
    CommandSfoglia->setAccessibleName(t("OPTI", 13));
    CommandCurrent->setAccessibleName(t("OPTI", 14));
    // The dialog's title, as its menu item says it without the access key
    // and the dots.
    QString title = t("MENU", 9).remove(u'&');
    while (title.endsWith(u'.') || title.endsWith(QChar(0x2026)))
        title.chop(1);
    setWindowTitle(title);
    setAccessibleName(title);
}

double Form2::leadingNumber(const QString &text)
{
    qsizetype n = 0;
    bool dot = false;
    while (n < text.size() && (text[n].isDigit() || (text[n] == u'.' && !dot))) {
        dot = dot || text[n] == u'.';
        ++n;
    }
    return text.left(n).toDouble();
}

int Form2::chosenZoom() const
{
    const int i = int(kZoomTexts.indexOf(ComboZoom->currentText()));
    return i >= 0 ? kZooms.at(size_t(i)) : 0;
}

bool Form2::validNumber(QLineEdit *box, const Range &range, int bmsgText, int bmsgTitle)
{
    if (range.contains(leadingNumber(box->text())))
        return true;
    const auto text = [this](int n) { return strings ? strings->text(QStringLiteral("BMSG"), n) : QString(); };
    m_dialogs.message(this, text(bmsgText), text(bmsgTitle), Icon::Exclamation, Buttons::Ok);
    for (int i = 0; i < TabStrip1->count(); ++i)
        if (TabStrip1->widget(i)->isAncestorOf(box))
            TabStrip1->setCurrentIndex(i);
    box->setFocus();
    return false;
}

void Form2::CommandOk_Click()
{
    if (!validNumber(TextNear, kNearRange, 6, 8))
        return;
    for (QLineEdit *margin : {MarginSinistra, MarginDestra, MarginSopra, MarginSotto})
        if (!validNumber(margin, kMarginRange, 7, 9))
            return;
    // The margins as stored: "00.00", with a full stop whatever the locale.
    for (QLineEdit *margin : {MarginSinistra, MarginDestra, MarginSopra, MarginSotto})
        margin->setText(QStringLiteral("%1").arg(leadingNumber(margin->text()), 5, 'f', 2, QChar(u'0')));
    std::vector<std::pair<QString, QVariant>> also{
        {QStringLiteral("TextesD\u00e9faut"), ComboTexte->currentText().trimmed()},
        {QStringLiteral("Near"), int(leadingNumber(TextNear->text()))},
        {QStringLiteral("Scroll"), ComboScroll->currentIndex() + 1},
        {QStringLiteral("Sommaire"), CheckSommario->isChecked() ? 1 : 0}};
    if (chosenZoom() != 0)
        also.emplace_back(QStringLiteral("Zoom"), chosenZoom());
    if (kLanguages.contains(ComboLangue->currentText()))
        also.emplace_back(QStringLiteral("Language"), ComboLangue->currentText());
    // The row is written whole or not at all; a row that cannot be written
    // is said, and nothing is applied.
    if (const int err = Data1->UpdateRecord(also); err != 0) {
        m_dialogs.message(this, strings ? strings->text(QStringLiteral("BMSG"), 38) : db::errorDescription(err),
                          windowTitle(), Icon::Exclamation, Buttons::Ok);
        return;
    }
    NotesAtBottom = CheckNotes->isChecked();
    AutoNotes = CheckF9->isChecked();
    ShowContentsAtStart = CheckSommario->isChecked();
    if (applyToProgram)
        applyToProgram();
    accept();
}

void Form2::CommandAnnulla_Click()
{
    Data1->UpdateControls();
    ComboScroll->setCurrentIndex(int(Data1->recordset()->Field(QStringLiteral("Scroll")).toLongLong()) - 1);
    RiempieComboZoom();
    RiempieComboLanguage();
    reject();
}

void Form2::CommandRipristina_Click()
{
    Data1->UpdateControls();
    ComboScroll->setCurrentIndex(int(Data1->recordset()->Field(QStringLiteral("Scroll")).toLongLong()) - 1);
    RiempieComboZoom();
    RiempieComboLanguage();
}

void Form2::CommandSfoglia_Click()
{
    FileDialogRequest r;
    r.folder = m_folder;
    r.filter = strings ? strings->text(QStringLiteral("BMSG"), 20) : QStringLiteral("*.m14|*.m14");
    const QString chosen = m_dialogs.file(this, r);
    if (!chosen.isEmpty())
        ComboTexte->setEditText(chosen);
}

void Form2::CommandCurrent_Click()
{
    if (currentTitle)
        ComboTexte->setEditText(currentTitle());
}

bool Form2::ValidaTastNum(QChar c)
{
    // What the numeric boxes take as typed: digits, the full stop and "n".
    return c.isDigit() || c == u'.' || c == u'n';
}

bool Form2::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent *>(event)->text();
        if (typed.size() == 1 && typed[0].isPrint() && !ValidaTastNum(typed[0]))
            return true; // discarded
    }
    return QDialog::eventFilter(watched, event);
}

void Form2::keyPressEvent(QKeyEvent *e)
{
    // Esc is Cancel: the controls go back to the stored row.
    if (e->key() == Qt::Key_Escape) {
        CommandAnnulla_Click();
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace folium::config
