#include "program.h"
#include "about_window.h"
#include "bookmarks.h"
#include "commands.h"
#include "contents_tree.h"
#include "wheel.h"
#include "dao.h"
#include "dialogs.h"
#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "help_window.h"
#include "history.h"
#include "hotspots.h"
#include "importer.h"
#include "mdiform1.h"
#include "pane_commands.h"
#include "places.h"
#include "resume.h"
#include "search_panel.h"
#include "status_line.h"
#include "title_open.h"
#include "title_params.h"
#include "topic_display.h"
#include "topicview.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QDir>
#include <QStandardPaths>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>

namespace folium::app {

using namespace folium::config;

QString Program::flMdbMissing() const
{
    // The file itself, as the desktop writes paths, and whether it is not
    // there or there but unreadable.
    return QDir::toNativeSeparators(flPath()) + (QFileInfo::exists(flPath()) ? QStringLiteral(" damaged, Fatal error")
                                                                             : QStringLiteral(" missing, Fatal error"));
}

Program::Program(QString programFolder, Dialogs &dialogs, QObject *parent)
    : Program(programFolder, programFolder, dialogs, parent)
{
}

Program::Program(QString programFolder, QString settingsFolder, Dialogs &dialogs, QObject *parent)
    : QObject(parent), m_folder(std::move(programFolder)), m_settingsFolder(std::move(settingsFolder)),
      m_dialogs(dialogs)
{
}

Program::~Program()
{
    // The parts that answer the windows' signals go first: the windows
    // still signal (focus, topic changes) while they are destroyed.
    const QList<QObject *> parts = findChildren<QObject *>(Qt::FindDirectChildrenOnly);
    qDeleteAll(parts);
    m_frame.reset();
}

QString Program::flPath() const
{
    return m_settingsFolder + QStringLiteral("/FL.mdb");
}

ProgramFolders programFolders(const QString &executableFolder, const std::function<bool(const QString &)> &writable)
{
    const auto canWrite = [&writable](const QString &path) {
        return writable ? writable(path) : QFileInfo(path).isWritable();
    };
    ProgramFolders f;
    const QString beside = executableFolder + QStringLiteral("/FL.mdb");
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString mine = userFolder + QStringLiteral("/FL.mdb");
    const bool besideWritable = QFileInfo::exists(beside) && canWrite(executableFolder) && canWrite(beside);
    // Settings live in one place: the program's own FL.mdb while it can be
    // written, but once they have moved to the user's copy (a folder that
    // could not be written) they stay there, unless the program's own file
    // has been written since.
    const bool movedBefore = QFileInfo::exists(beside) && QFileInfo::exists(mine) &&
                             QFileInfo(mine).lastModified() > QFileInfo(beside).lastModified();
    if (besideWritable && !movedBefore) {
        f.data = f.settings = executableFolder;
        return f;
    }
    const QString shared = QDir::cleanPath(executableFolder + QStringLiteral("/../share/folium"));
    f.data = QFileInfo::exists(shared + QStringLiteral("/FL.mdb")) ? shared : executableFolder;
    f.settings = userFolder;
    if (QFileInfo::exists(mine))
        return f;
    // Copied beside, then renamed into place: a copy cut short (a full
    // disk) never stands as the user's FL.mdb.
    const QString part = mine + QStringLiteral(".part");
    QFile::remove(part);
    if (!QDir().mkpath(f.settings) || !QFile::copy(f.data + QStringLiteral("/FL.mdb"), part) ||
        !QFile::setPermissions(part, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther) ||
        !QFile::rename(part, mine)) {
        QFile::remove(part);
        f.error = QStringLiteral("cannot make %1").arg(QDir::toNativeSeparators(mine));
    } else if (QFileInfo::exists(beside)) {
        // Beside the program, the settings could not be written: said once.
        f.movedFrom = beside;
    }
    return f;
}

bool Program::Main(const QString &commandLine)
{
    // The main frame's load: the interface strings first, then the reader.
    m_frame = std::make_unique<MDIForm1>();
    m_w.frame = m_frame.get();
    m_w.reader = new Form1;
    m_frame->setCentralWidget(m_w.reader);
    m_w.loading = new Form3(m_frame.get());
    m_w.dialogs = &m_dialogs;
    m_w.strings = &strings;
    m_w.optionSet = &options.values();
    m_w.programFolder = m_folder;
    m_w.settingsFolder = m_settingsFolder;
    connect(m_frame.get(), &MDIForm1::closing, this, [this](bool *cancel) { shutdown(cancel); });
    if (!InitLanguesVar())
        return false;
    // From now on, each time the option set is read again it is applied.
    connect(&options, &config::Options::read, this,
            [this](const config::OptionSet &before) { applyOptionSet(&before); });
    m_hotspots = new reader::Hotspots(m_w, state, this);
    m_display = new reader::TopicDisplay(m_w, title, state, *m_hotspots, this);
    m_tree = new title::ContentsTree(m_w, title, state, this);
    m_resume = new reader::Resume(m_w, state, this);
    m_status = new reader::StatusLine(m_w, this);
    m_display->observe(reader::TopicObserver::HitCount, [this](const engine::Place &) { m_status->refresh(); });
    m_search = new search::SearchPanel(m_w, title, state, *m_display, *m_hotspots, this);
    m_history = new history::History(m_w, title, state, *m_hotspots, *m_display, this);
    m_bookmarks = new bookmarks::Bookmarks(m_w, title, state, *m_hotspots, this);
    VerifieBookmarks = [this] { m_bookmarks->VerifieBookmarks(); };
    m_importer = new importer::Importer(m_w, this);
    connect(m_importer, &importer::Importer::imported, this, &Program::openImported);
    connect(m_w.options, &Form2::unloaded, this, &Program::optionsClosed);
    m_help = new HelpWindow(m_frame.get());
    m_help->applyInterfaceStrings(strings);
    m_commands = new Commands(*this, m_tree, this);
    m_wheel = new WheelRouter(*this, this);
    placeMainWindow();
    m_frame->show();
    Inizializzazioni(commandLine);
    if (m_ended)
        return false;
    showLastUsedFiles();
    if (options->contentsAtStart && !title.CancelFlag)
        title::Sommario(m_w, title);
    if (!settingsMovedFrom.isEmpty()) {
        m_w.loading->hide();
        m_dialogs.message(m_frame.get(),
                          strings.text(QStringLiteral("BMSG"), 39)
                              .arg(QDir::toNativeSeparators(settingsMovedFrom), QDir::toNativeSeparators(flPath())),
                          QStringLiteral("Folium"), Icon::Information, Buttons::Ok);
    }
    if (!title.CancelFlag) {
        // Bookmarks a session ended without saving, then where the reader stopped.
        m_bookmarks->offerRecovery();
        m_resume->offer();
    }
    // Back in Main: let pending events run, stop the timer, close the loading window.
    QCoreApplication::processEvents();
    m_frame->Timer1()->stop();
    m_w.loading->hide();
    m_running = !m_ended;
    return m_running;
}

void Program::placeMainWindow()
{
    // Where the last run left the window; the first time, most of the
    // screen, centred.
    QByteArray geometry;
    if (config::readWindowGeometry(flPath(), &geometry) == 0 && !geometry.isEmpty() &&
        m_frame->restoreGeometry(geometry))
        return;
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        const QSize size(std::max(900, avail.width() * 9 / 10), std::max(600, avail.height() * 9 / 10));
        m_frame->resize(size.boundedTo(avail.size()));
        m_frame->move(avail.center() - QPoint(m_frame->width() / 2, m_frame->height() / 2));
    }
}

bool Program::InitLanguesVar()
{
    int err = 0;
    auto fl = db::Database::OpenDatabase(flPath(), &err);
    if (!fl) {
        fatal(QStringLiteral("Err no ") + QString::number(err) + flMdbMissing());
        return false;
    }
    // At start the options dialog, loaded hidden, opens the option row;
    // giving up on finding it ends the program. Later loads take the
    // language the dialog shows.
    const bool starting = !m_w.options;
    if (starting) {
        m_w.options = new Form2(flPath(), m_folder, m_dialogs, m_frame.get());
        if (!m_w.options->Form_Load()) {
            m_ended = true;
            return false;
        }
        options.load(*m_w.options->Data1->database());
    }
    const QString language = m_w.options->ComboLangue->currentText();
    // The texts are the program's, not the user's: an installed program
    // reads those it was delivered with, so that a user's FL.mdb copied
    // from an earlier version lacks none of them.
    std::shared_ptr<db::Database> texts = fl;
    if (m_folder != m_settingsFolder)
        if (auto delivered = db::Database::OpenReadOnly(m_folder + QStringLiteral("/FL.mdb"), &err))
            texts = std::move(delivered);
    strings.load(*texts, language);
    qtLanguage.apply(language);
    // Windows made before, and what they hold (the calendar of the date
    // search, the numbers of the options), take the interface's locale too:
    // a widget keeps the locale it was made with.
    for (QWidget *w : QApplication::topLevelWidgets())
        w->setLocale(qtLanguage.locale());
    const QString help = config::helpFileFor(language, m_folder);
    if (!help.isEmpty())
        HelpFilePath = help;
    m_w.options->ApplyOptionCaptions(strings);
    if (starting)
        title::AfficheLoadingText(m_w);
    m_frame->applyInterfaceStrings(strings);
    m_w.reader->applyInterfaceStrings(strings);
    if (m_status)
        m_status->refresh();
    if (m_bookmarks)
        m_bookmarks->refreshPanelTitle();
    if (m_help)
        m_help->applyInterfaceStrings(strings);
    if (!starting) {
        QAction *indexes = m_frame->button("Indici");
        indexes->setToolTip(title.RandomTopicMode ? m_frame->indexButtonRandomTip() : m_frame->indexButtonMenuTip());
    }
    return true;
}

void Program::Inizializzazioni(const QString &commandLine)
{
    Form1 *f = m_w.reader;
    engine::TopicView *main = f->Fl_main;
    state = forms::ReaderState{};
    title.CancelFlag = false;
    title.NoTitleDatabase = false;
    title.lastFiles.count = -1;
    m_w.options->TabStrip1->setCurrentIndex(0);
    f->setShownPanel(forms::Panel::Search);
    f->DatePicker->setDate(QDate::currentDate());
    title.StartDate = f->DatePicker->date();
    for (QWidget *w :
         std::initializer_list<QWidget *>{f->FramePerData, f->FramePerLettera, f->DatePicker, f->CheckCalendrier})
        w->hide();
    f->Fl_sec->setViewTitle(main->ViewTitle());
    f->Fl_sec->setFontZoom(main->FontZoom());
    title.TitlePath = options->defaultTitle;
    if (!commandLine.isEmpty() && title.TitlePath.isEmpty())
        title.TitlePath = titleOfCommandLine(commandLine);
    if (title.TitlePath.isEmpty()) {
        m_w.loading->hide();
        FileDialogRequest r;
        r.folder = m_folder;
        r.filter = strings.text(QStringLiteral("BMSG"), 20);
        const QString chosen = title::ApriFile(m_w, title, r);
        m_display->UpdateButtonsEnabled();
        // The side pane's width is read even without a title, so that a
        // title opened later, and the shutdown, find it as it was stored.
        SplitterPosition = storedSplitterPosition();
        if (title.CancelFlag)
            return;
        title.TitlePath = chosen;
    }
    InitLastUsedFiles();
    if (m_ended)
        return;
    title.TreeSyncSuppressed = true;
    title::OuvertureM14(m_w, title);
    m_display->UpdateButtonsEnabled();
    if (!title.CancelFlag) {
        title::LetturaParam(m_w, title);
        if (!title.NoTitleDatabase && !title::LetturaSommario(m_w, title)) {
            endAfterFatalError();
            return;
        }
        f->Combo_perparole->setFocus();
    }
    SplitterPosition = storedSplitterPosition();
    InizializzazioniSuite();
}

QString Program::titleOfCommandLine(const QString &argument) const
{
    // A bare name is a title beside the program; a path (a file that is
    // there, a folder in it, or a name ending in .m14), as a desktop hands
    // over a file it opens, is that file.
    const bool path = argument.contains(u'/') || argument.endsWith(QStringLiteral(".m14"), Qt::CaseInsensitive) ||
                      QFileInfo(argument).isFile();
    return path ? QFileInfo(argument).absoluteFilePath() : m_folder + u'/' + argument + QStringLiteral(".m14");
}

int Program::storedSplitterPosition() const
{
    return options->splitPos < Form1::kMinSidePane ? Form1::kDefaultSidePane : options->splitPos;
}

void Program::InitLastUsedFiles()
{
    const int err = config::readLastFiles(flPath(), &title.lastFiles);
    if (err != 0) {
        fatal(flMdbMissing());
        return;
    }
    m_frame->item("Sep1")->setVisible(true);
}

void Program::showLastUsedFiles()
{
    for (int i = 0; i < 4; ++i) {
        QAction *entry = m_frame->lastUsedEntry(i);
        if (!title.lastFiles.captions.value(i).isEmpty()) {
            entry->setText(title.lastFiles.captions[i]);
            entry->setVisible(title.lastFiles.visible[i]);
        }
    }
}

void Program::InizializzazioniSuite()
{
    Form1 *f = m_w.reader;
    engine::TopicView *main = f->Fl_main;
    m_w.options->RiempieComboZoom();
    m_w.options->TabStrip1->setCurrentIndex(0);
    main->setSearchHitLook(16777215);
    main->setBorderStyle(0);
    applyOptionSet(nullptr);
    m_importer->titleOpened(main->ViewTitle());
    f->setSplitterPosition(SplitterPosition);
    m_layoutApplied = true;
}

bool Program::bookmarksLetTitleGo()
{
    title.CancelFlag = false;
    if (VerifieBookmarks)
        VerifieBookmarks();
    if (title.CancelFlag) {
        title.CancelFlag = false;
        return false;
    }
    return true;
}

void Program::ApriTexte()
{
    if (!bookmarksLetTitleGo())
        return;
    FileDialogRequest r;
    r.folder = m_folder;
    r.filter = strings.text(QStringLiteral("BMSG"), 20);
    const QString chosen = title::ApriFile(m_w, title, r);
    if (title.CancelFlag)
        return;
    title.TitlePath = chosen;
    if (!chosen.isEmpty() && !title::sameFile(chosen, m_w.reader->Fl_main->ViewTitle()))
        InitialiseNouveauTexte();
}

void Program::openImported(const QString &m14Path)
{
    if (!bookmarksLetTitleGo())
        return;
    // The title shown was replaced on disk: it is read again.
    if (title::sameFile(m14Path, m_w.reader->Fl_main->ViewTitle()))
        m_w.reader->Fl_main->setViewTitle(QString());
    title.TitlePath = m14Path;
    InitialiseNouveauTexte();
}

void Program::TexteOuvert_Click(int index)
{
    // Unsaved bookmarks are offered for saving here too.
    if (!bookmarksLetTitleGo())
        return;
    title.TitlePath = m_frame->lastUsedEntry(index)->text().mid(3);
    if (!title::sameFile(title.TitlePath, m_w.reader->Fl_main->ViewTitle()))
        InitialiseNouveauTexte();
}

void Program::InitialiseNouveauTexte()
{
    Form1 *f = m_w.reader;
    MDIForm1 *frame = m_frame.get();
    title::AfficheLoadingText(m_w);
    if (title.CancelFlag)
        return;
    // After a start whose open dialog was cancelled, the last-used list is
    // read now, so that the title opened joins the list instead of replacing it.
    if (!title.lastFiles.read) {
        InitLastUsedFiles();
        if (m_ended)
            return;
        showLastUsedFiles();
    }
    // The place in the title shown is kept before another one replaces it.
    m_resume->rememberTitleShown();
    title.TreeSyncSuppressed = true;
    title::OuvertureM14(m_w, title);
    if (title.CancelFlag) {
        m_w.loading->hide();
        return;
    }
    title::LetturaParam(m_w, title);
    if (title.NoTitleDatabase) {
        InizializzazioniSuite();
        if (f->isVisible())
            search::Cerca_parola(m_w, state);
        return;
    }
    // The database was found but cannot be read, and no other was given.
    if (!title::LetturaSommario(m_w, title)) {
        endAfterFatalError();
        return;
    }
    InizializzazioniSuite();
    m_display->UpdateButtonsEnabled();
    m_search->clearResults();
    m_bookmarks->titleChanged();
    m_bookmarks->offerRecovery();
    m_w.loading->hide();
    frame->button("Cerca")->setChecked(false);
    for (forms::ButtonName k :
         forms::ButtonList{"Risultatilistnext", "Risultatilistback", "Bookmarkdel", "Bookmarklist", "Risultatilist"})
        frame->button(k)->setEnabled(false);
    for (forms::ItemName n :
         forms::ItemList{"Risultati_next", "Risultati_back", "Bookmarkdel", "Segnalibri", "Risultati_cerca"})
        frame->item(n)->setEnabled(false);
    m_w.options->TabStrip1->setCurrentIndex(0);
    // The per-title state starts again; the history list is kept.
    state.LastTopicIndex = 1;
    state.CurrentHotspot = 0;
    state.LastQuery.clear();
    for (QWidget *w : {f->Text_gauche, f->Text_droit})
        w->show();
    // The search panel's flag is cleared for the panel choice below; another
    // panel keeps its own, and is hidden by that choice.
    if (f->isShown(forms::Panel::Search))
        f->setShownPanel(forms::Panel::None);
    f->show();
    if (options->contentsAtStart)
        title::Sommario(m_w, title);
    else
        search::Cerca_parola(m_w, state);
    m_resume->offer();
}

void Program::Opzioni()
{
    Form2 *dialog = m_w.options;
    dialog->strings = &strings;
    dialog->applyToProgram = [this] { applyOptions(); };
    dialog->currentTitle = [this] { return title.TitlePath; };
    m_frame->button("Opzioni")->setChecked(true);
    dialog->TabStrip1->setCurrentIndex(0);
    dialog->open();
    dialog->CommandOk->setFocus();
}

void Program::optionsClosed()
{
    m_frame->button("Opzioni")->setChecked(false);
    m_hotspots->MetteIlGiustoFocus();
}

void Program::applyOptions()
{
    // The dialog has stored the row: the set read again is applied (by
    // applyOptionSet, told by the set), then the interface's language.
    options.load(*m_w.options->Data1->database());
    InitLanguesVar();
}

void Program::applyOptionSet(const config::OptionSet *before)
{
    const config::OptionSet &o = options.values();
    Form1 *f = m_w.reader;
    engine::TopicView *main = f->Fl_main;
    main->setSearchImplicitAND(o.implicitAnd);
    f->Check1->setChecked(o.implicitAnd);
    main->setSearchNearThreshold(o.near);
    main->setLeftMargin(config::marginInches(o.marginLeft));
    main->setRightMargin(config::marginInches(o.marginRight));
    main->setTopMargin(config::marginInches(o.marginTop));
    main->setBottomMargin(config::marginInches(o.marginBottom));
    main->setPrintSeparatorLine(o.separatorInPrint);
    main->setScreenSeparatorLine(o.separatorOnScreen);
    state.AlwaysAddToHistory = o.alwaysAddToHistory;
    state.AutoNotes = o.autoNotes;
    if (!before) {
        // A title's set-up: its pane takes the zoom, the notes their place.
        main->setFontZoom(o.zoom);
        m_frame->checkZoom(main->FontZoom());
        state.NotesAtBottom = o.notesAtBottom;
        return;
    }
    // After the options dialog's OK: the search panel's proximity, the zoom
    // of both panes when it applies at once, and the notes pane only on a
    // change of its option (a pane the reader opened from the View menu
    // stays while the option stays off).
    f->TextNear->setText(QString::number(o.near));
    if (o.applyZoomAtOnce && std::find(config::kZooms.begin(), config::kZooms.end(), o.zoom) != config::kZooms.end())
        reader::setZoom(m_w, *m_hotspots, o.zoom);
    if (before->notesAtBottom != o.notesAtBottom) {
        state.NotesAtBottom = o.notesAtBottom;
        if (!o.notesAtBottom && state.NotesPaneOpen)
            m_hotspots->NotesFermer_Click();
    }
}

void Program::InformazioniSu()
{
    Form4 about(m_frame.get());
    about.Form_Load(m_frame->item("InformazioniSu")->text(), strings.text(QStringLiteral("VERS"), 1));
    if (aboutShown)
        aboutShown(&about);
    else
        about.exec();
    m_hotspots->MetteIlGiustoFocus();
}

void Program::ShowHelp(int command, const QString &context)
{
    m_help->HelpFile = HelpFilePath;
    m_help->HelpCommand = command;
    if (!context.isEmpty())
        m_help->HelpContext = context;
    if (!m_help->ShowHelp())
        m_dialogs.message(m_frame.get(), m_help->error(), strings.text(QStringLiteral("AIDE"), 5), Icon::Exclamation,
                          Buttons::Ok);
}

} // namespace folium::app
