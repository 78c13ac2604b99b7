#include "program.h"

#include "dao.h"
#include "dialogs.h"
#include "engine_errors.h"
#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "mdiform1.h"
#include "title_schema.h"
#include "topicview.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

namespace folium::app {

using namespace folium::config;

namespace {
const QString kFatalTail = QStringLiteral("\\fl.mdb missing, Fatal error");
}

Program::Program(QString programFolder, Dialogs &dialogs, QObject *parent)
    : QObject(parent), m_folder(std::move(programFolder)), m_dialogs(dialogs)
{
}

Program::~Program() = default;

QString Program::flPath() const
{
    return m_folder + QStringLiteral("/FL.mdb");
}

void Program::fatal(const QString &text)
{
    if (m_form3)
        m_form3->hide();
    m_dialogs.message(m_frame.get(), text, QStringLiteral("Error"), Icon::Critical, Buttons::Ok);
    m_ended = true;
}

bool Program::Main(const QString &commandLine)
{
    // The main frame's load: the interface strings first, then the reader.
    m_frame = std::make_unique<MDIForm1>();
    m_form1 = new Form1;
    m_frame->setCentralWidget(m_form1);
    m_form3 = new Form3(m_frame.get());
    connectCommands();
    if (!InitLanguesVar())
        return false;
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QSize avail = screen->availableGeometry().size();
        m_frame->resize(std::max(900, avail.width() * 4 / 5), std::max(600, avail.height() * 4 / 5));
    }
    m_frame->show();
    Inizializzazioni(commandLine);
    if (m_ended)
        return false;
    for (int i = 0; i < 4; ++i) {
        QAction *entry = m_frame->item(QStringLiteral("TexteOuvert_%1").arg(i));
        if (!lastFiles.captions.value(i).isEmpty()) {
            entry->setText(lastFiles.captions[i]);
            entry->setVisible(lastFiles.visible[i]);
        }
    }
    // Back in Main: let pending events run, stop the timer, close the loading window.
    QCoreApplication::processEvents();
    m_frame->Timer1()->stop();
    m_form3->hide();
    return true;
}

// The commands built so far. Home and the browse sequence act on the main
// pane; a code hotspot is followed to its context, a "B" code as a popup.
// The full command dispatch and hotspot routes replace these.
void Program::connectCommands()
{
    engine::TopicView *main = m_form1->Fl_main;
    connect(m_frame.get(), &MDIForm1::closing, this, &Program::shutdown);
    connect(m_frame.get(), &MDIForm1::menuItemTriggered, this, [this, main](const QString &name) {
        if (name == u"Esci")
            m_frame->close();
        else if (name == u"HomePage")
            main->GoHome();
        else if (name == u"Back")
            main->BrowsePrevious();
        else if (name == u"Next")
            main->BrowseNext();
    });
    connect(m_frame.get(), &MDIForm1::toolbarButtonClicked, this, [main](const QString &key) {
        if (key == u"Home")
            main->GoHome();
        else if (key == u"Browseback")
            main->BrowsePrevious();
        else if (key == u"Browsenext")
            main->BrowseNext();
    });
    connect(main, &engine::TopicView::TopicChanged, this, [this, main] {
        for (const auto &[item, button, on] : {std::tuple{"Back", "Browseback", main->HasPreviousBrowseTopic()},
                                               std::tuple{"Next", "Browsenext", main->HasNextBrowseTopic()}}) {
            m_frame->item(QString::fromLatin1(item))->setEnabled(on);
            m_frame->button(QString::fromLatin1(button))->setEnabled(on);
        }
    });
    connect(main, &engine::TopicView::HotspotClicked, this, [this](int type, qintptr data, bool *cancel) {
        if (type != engine::HotspotCode)
            return;
        onHotspotCode(reinterpret_cast<const char *>(data));
        *cancel = true;
    });
}

void Program::onHotspotCode(const char *code)
{
    engine::TopicView *main = m_form1->Fl_main;
    const QString c = QString::fromLatin1(code);
    if (c.startsWith(u'B')) {
        engine::TopicView *popup = m_form1->Med2;
        popup->setViewTitle(main->ViewTitle());
        popup->JumpToAddress(long(engine::vaTVConvertContextString(main->GetViewerWindow(), code)), 0);
        popup->setFontZoom(main->FontZoom());
        popup->PopupTopic(popup->TopicIndex());
        return;
    }
    const int dot = int(c.lastIndexOf(u'.'));
    main->JumpContext(c.startsWith(u'N') || dot < 0 ? c : c.left(dot));
}

bool Program::InitLanguesVar()
{
    int err = 0;
    auto fl = db::Database::OpenDatabase(flPath(), &err);
    if (!fl) {
        fatal(QStringLiteral("Err no ") + QString::number(err) + m_folder + kFatalTail);
        return false;
    }
    // The options dialog, loaded hidden, opens the option row; giving up on
    // finding it ends the program.
    m_form2 = new Form2(flPath(), m_folder, m_dialogs, m_frame.get());
    if (!m_form2->Form_Load()) {
        m_ended = true;
        return false;
    }
    config::readOptionSet(*m_form2->Data1->database(), &options);
    strings.load(*fl, m_form2->ComboLangue->currentText());
    if (!m_form2->HelpFilePath.isEmpty())
        HelpFilePath = m_form2->HelpFilePath;
    m_form2->ApplyOptionCaptions(strings);
    AfficheLoadingText();
    m_frame->applyInterfaceStrings(strings);
    // The side pane shows the search panel until another is chosen.
    if (SearchPanelShown)
        m_form1->Titre_Splitgauche->setText(strings.text(QStringLiteral("RECH"), 1));
    m_form1->NotesTitre->setText(strings.text(QStringLiteral("FENE"), 2));
    m_form1->NotesFermer->setToolTip(strings.text(QStringLiteral("FENE"), 3));
    return true;
}

void Program::AfficheLoadingText()
{
    m_form3->setText(strings.text(QStringLiteral("ALOAD"), 1) + QStringLiteral("..."));
    m_form3->setShowAsSplash(true);
    m_form3->showCentred();
}

void Program::Inizializzazioni(const QString &commandLine)
{
    CancelFlag = false;
    engine::TopicView *main = m_form1->Fl_main;
    m_form1->Fl_sec->setFontZoom(main->FontZoom());
    TitlePath = options.defaultTitle;
    if (!commandLine.isEmpty() && TitlePath.isEmpty())
        TitlePath = m_folder + u'/' + commandLine + QStringLiteral(".m14");
    if (TitlePath.isEmpty()) {
        m_form3->hide();
        FileDialogRequest r;
        r.folder = m_folder;
        r.filter = strings.text(QStringLiteral("BMSG"), 20);
        const QString chosen = m_dialogs.file(m_frame.get(), r);
        if (chosen.isEmpty()) {
            CancelFlag = true;
            return;
        }
        TitlePath = chosen;
    }
    InitLastUsedFiles();
    if (m_ended)
        return;
    OuvertureM14();
    if (!CancelFlag)
        main->setFocus();
    SplitterPosition = options.splitPos;
    InizializzazioniSuite();
}

void Program::InitLastUsedFiles()
{
    const int err = config::readLastFiles(flPath(), &lastFiles);
    if (err != 0) {
        fatal(m_folder + kFatalTail);
        return;
    }
    m_frame->item(QStringLiteral("Sep1"))->setVisible(true);
}

void Program::OuvertureM14()
{
    engine::TopicView *main = m_form1->Fl_main;
    for (;;) {
        if (TitlePath == main->ViewTitle())
            return;
        main->setViewTitle(TitlePath);
        if (main->lastError() != engine::kErrBadTitle)
            break;
        m_form3->hide();
        m_dialogs.message(m_frame.get(), QStringLiteral("Bad .m14 file"), QString(), Icon::None, Buttons::Ok);
        FileDialogRequest r;
        r.folder = m_folder;
        r.filter = QStringLiteral("File  (*.m14)|*.m14");
        const QString chosen = m_dialogs.file(m_frame.get(), r);
        if (chosen.isEmpty()) {
            CancelFlag = true;
            return;
        }
        CancelFlag = false;
        TitlePath = chosen;
    }
    AfficheLoadingText();
    m_frame->item(QStringLiteral("Sep1"))->setVisible(true);
    updateLastUsedMenu();
}

void Program::updateLastUsedMenu()
{
    const auto entry = [this](int i) { return m_frame->item(QStringLiteral("TexteOuvert_%1").arg(i)); };
    if (lastFiles.captions.value(0).mid(3) != TitlePath && lastFiles.count > 0) {
        for (int i = 2; i >= 0; --i) {
            if (lastFiles.captions.value(i).isEmpty())
                continue;
            const QString moved = QStringLiteral("&%1").arg(i + 2) + lastFiles.captions[i].mid(2);
            lastFiles.captions[i + 1] = moved;
            lastFiles.visible[i + 1] = true;
            entry(i + 1)->setText(moved);
            entry(i + 1)->setVisible(true);
        }
    }
    lastFiles.captions[0] = QStringLiteral("&1 ") + TitlePath;
    lastFiles.visible[0] = true;
    entry(0)->setText(lastFiles.captions[0]);
    entry(0)->setVisible(true);
}

void Program::InizializzazioniSuite()
{
    engine::TopicView *main = m_form1->Fl_main;
    main->setSearchHitLook(16777215);
    main->setSearchImplicitAND(options.implicitAnd);
    main->setFontZoom(options.zoom);
    main->setSearchNearThreshold(options.near);
    main->setLeftMargin(config::marginInches(options.marginLeft));
    main->setRightMargin(config::marginInches(options.marginRight));
    main->setTopMargin(config::marginInches(options.marginTop));
    main->setBottomMargin(config::marginInches(options.marginBottom));
    main->setPrintSeparatorLine(options.separatorInPrint);
    main->setScreenSeparatorLine(options.separatorOnScreen);
    main->setBorderStyle(0);
    m_frame->checkZoom(main->FontZoom());
    m_form1->setSplitterPosition(SplitterPosition);
}

void Program::shutdown()
{
    if (m_shutDown || m_ended)
        return;
    m_shutDown = true;
    // The reader window's unload: the last-used list, in menu order.
    QStringList captions;
    for (int i = 0; i < 4; ++i)
        captions << m_frame->item(QStringLiteral("TexteOuvert_%1").arg(i))->text();
    if (config::writeLastFiles(flPath(), captions) != 0) {
        fatal(m_folder + kFatalTail);
        return;
    }
    // The main frame's unload: the splitter position, through the options
    // dialog's data control.
    SplitterPosition = m_form1->splitterPosition();
    if (db::Recordset *rs = m_form2 ? m_form2->Data1->recordset() : nullptr) {
        rs->Edit();
        rs->setField(QStringLiteral("SplitPos"), SplitterPosition);
        rs->Update();
    }
}

} // namespace folium::app
