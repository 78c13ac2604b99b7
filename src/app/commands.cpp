#include "commands.h"

#include "bookmarks.h"
#include "contents_tree.h"
#include "form1.h"
#include "history.h"
#include "hotspots.h"
#include "importer.h"
#include "mdiform1.h"
#include "pane_commands.h"
#include "panels.h"
#include "program.h"
#include "region_view.h"
#include "resume.h"
#include "search_panel.h"
#include "topic_display.h"
#include "topicview.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QSplitter>
#include <QMouseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

namespace folium::app {

namespace {

// The zoom entries and their percentages.
int zoomOf(const QString &item)
{
    static const QHash<QString, int> zooms{{QStringLiteral("Cinquanta"), 50},
                                           {QStringLiteral("Settantacinque"), 75},
                                           {QStringLiteral("Cento"), 100},
                                           {QStringLiteral("Centocinquanta"), 150},
                                           {QStringLiteral("Duecento"), 200}};
    return zooms.value(item);
}

} // namespace

Commands::Commands(Program &program, title::ContentsTree *tree, QObject *parent) : QObject(parent), m_p(program)
{
    MDIForm1 *frame = m_p.mainFrame();
    Form1 *f = m_p.reader();
    connect(frame, &MDIForm1::menuItemTriggered, this, &Commands::menuItem);
    connect(frame, &MDIForm1::toolbarButtonClicked, this, &Commands::Toolbar_ButtonClick);
    connect(f, &Form1::keyDown, this, &Commands::Form_KeyDown);
    // The shared menu on the parts of the reading window that have none of
    // their own: the panel title, the search frames, the notes strip and
    // the dividers (on the right button's release, or its press on the
    // search frames, as lists and panes do). The notes pane's strip,
    // caption, close button and container each name themselves as the
    // menu's source, so "What's this?" speaks of the part clicked.
    m_menuSources = {f->Titre_Splitgauche, f->Frame_cerca,          f->Frame_perparole,     f->FramePerData,
                     f->FramePerLettera,   f->NotesFrames,          f->NotesTitre,          f->NotesFermer,
                     f->Text_notes,        f->Splitter1->handle(1), f->Splitter2->handle(1)};
    for (QWidget *w : std::as_const(m_menuSources))
        w->installEventFilter(this);
    // A divider dropped gives the focus back where it belongs.
    connect(f, &Form1::dividerDropped, this, [this] { m_p.hotspots()->MetteIlGiustoFocus(); });
    connect(f, &Form1::keyUp, this, &Commands::Form_KeyUp);
    connect(tree, &title::ContentsTree::scrollTopic, this, &Commands::SendShiftKeyToTopic);
    connect(tree, &title::ContentsTree::contextMenuRequested, this, &Commands::AfficheContextMenu);
    connect(m_p.searchPanel(), &search::SearchPanel::contextMenuRequested, this, &Commands::AfficheContextMenu);
    connect(m_p.history(), &history::History::contextMenuRequested, this, &Commands::AfficheContextMenu);
    connect(m_p.bookmarks(), &bookmarks::Bookmarks::contextMenuRequested, this, &Commands::AfficheContextMenu);
    // A right button pressed in a reading pane, or released on the toolbar.
    for (engine::TopicView *pane : {f->Fl_main, f->Fl_sec}) {
        const auto onDown = [this, pane](int button, int, int, int) {
            if (button == 2)
                AfficheContextMenu(pane);
        };
        connect(pane, &engine::TopicView::MouseDownNSR, this, onDown);
        connect(pane, &engine::TopicView::MouseDownSR, this, onDown);
    }
    // The panel buttons follow the panels and their menu items.
    const auto syncPanels = [this] { forms::syncPanelButtons(m_p.windows()); };
    connect(f, &Form1::shownPanelChanged, this, syncPanels);
    for (forms::Panel p : {forms::Panel::Search, forms::Panel::Results, forms::Panel::History, forms::Panel::Bookmarks,
                           forms::Panel::Contents})
        connect(frame->item(forms::panelMenuItem(p)), &QAction::enabledChanged, this, syncPanels);
    syncPanels();
    frame->Toolbar()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(frame->Toolbar(), &QWidget::customContextMenuRequested, this,
            [this, frame] { AfficheContextMenu(frame->Toolbar()); });
}

void Commands::popup(QMenu *menu, const QPoint &at)
{
    m_lastPopup = menu;
    if (popupMenu)
        popupMenu(menu, at);
    else
        menu->exec(at);
}

bool Commands::eventFilter(QObject *watched, QEvent *event)
{
    const bool press = event->type() == QEvent::MouseButtonPress, release = event->type() == QEvent::MouseButtonRelease;
    if ((!press && !release) || static_cast<QMouseEvent *>(event)->button() != Qt::RightButton)
        return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || !m_menuSources.contains(w))
        return false;
    Form1 *f = m_p.reader();
    const bool onPress =
        w == f->Frame_cerca || w == f->Frame_perparole || w == f->FramePerData || w == f->FramePerLettera;
    if (press == onPress)
        AfficheContextMenu(w);
    return true;
}

void Commands::AfficheContextMenu(QWidget *source)
{
    m_p.state.ContextMenuSource = source;
    popup(m_p.mainFrame()->contextMenu(), QCursor::pos());
}

void Commands::Cerca_parola()
{
    search::Cerca_parola(m_p.windows(), m_p.state);
}

void Commands::Sommario()
{
    title::Sommario(m_p.windows(), m_p.title);
}

void Commands::Hasard()
{
    search::Hasard(m_p.windows(), m_p.title);
}

void Commands::menuItem(const QString &name)
{
    reader::Hotspots &hs = *m_p.hotspots();
    reader::TopicDisplay &display = *m_p.display();
    forms::Windows &w = m_p.windows();
    if (name == u"Apri")
        m_p.ApriTexte();
    else if (name == u"ImportaTei")
        m_p.importer()->ImportaTei_Click();
    else if (name == u"ReimportaTei")
        m_p.importer()->ReimportaTei_Click();
    else if (name == u"Stampa")
        reader::Stampa_topic(w, hs);
    else if (name == u"Esci")
        m_p.mainFrame()->close();
    else if (name.startsWith(u"TexteOuvert_"))
        m_p.TexteOuvert_Click(name.mid(12).toInt());
    else if (name == u"Copia")
        reader::Copia_selected(w);
    else if (name == u"HomePage")
        m_p.reader()->Fl_main->GoHome();
    else if (name == u"Back")
        display.Browseback();
    else if (name == u"Next")
        display.Browsenext();
    else if (!reader::TopicDisplay::indexContext(name).isEmpty())
        display.indexJump(name);
    else if (name == u"Cerca")
        Cerca_parola();
    else if (bookmarkCommand(name))
        ;
    else if (name == u"Opzioni")
        m_p.Opzioni();
    else if (name == u"InformazioniSu")
        m_p.InformazioniSu();
    else if (name == u"CronoBack")
        m_p.history()->BackCrono();
    else if (name == u"CronoNext")
        m_p.history()->NextCrono();
    else if (name == u"Cronologia") {
        if (m_p.mainFrame()->button("Cronologialist")->isEnabled())
            m_p.history()->Cronologia_list();
    } else if (name == u"Risultati_cerca") {
        if (m_p.mainFrame()->button("Risultatilist")->isEnabled())
            m_p.searchPanel()->Risultati_list();
    } else if (name == u"Risultati_back" || name == u"Risultati_next") {
        // The key handler has already stepped for this keystroke (Ctrl+Q, Ctrl+W).
        const bool next = name == u"Risultati_next";
        bool &handled = next ? m_p.state.NextResultKeyHandled : m_p.state.PreviousResultKeyHandled;
        if (handled)
            handled = false;
        else
            next ? m_p.searchPanel()->Risultati_list_next() : m_p.searchPanel()->Risultati_list_back();
    } else if (name == u"Evidenziatore")
        m_p.searchPanel()->Highlight();
    else if (name == u"EvidenziatorePrecedente")
        m_p.searchPanel()->HighlightBack();
    else if (name == u"EvidenziatoreSuccessivo")
        m_p.searchPanel()->HighlightNext();
    else if (name == u"Sommario_scritti")
        Sommario();
    else if (name == u"NoteBasPage")
        hs.NoteBasPage_Click();
    else if (name == u"NotaPrecedente")
        hs.HotspotBack();
    else if (name == u"NotaSuccessiva")
        hs.HotspotNext();
    else if (zoomOf(name) != 0)
        reader::setZoom(w, hs, zoomOf(name));
    else if (name == u"Guida")
        m_p.ShowHelp(1, QStringLiteral("25"));
    else if (name == u"Reprise")
        m_p.resume()->Reprise_Click();
    else if (name == u"Raccourcis")
        m_p.ShowHelp(1, QStringLiteral("23"));
    else if (name == u"Guida2")
        m_p.ShowHelp(0);
    else if (name == u"GuidaRapida")
        GuidaRapida();
}

QString Commands::helpContextOf(const QWidget *w)
{
    // The help page about a part of the window: the nearest named control
    // that has one.
    static const QHash<QString, QString> pages{
        {QStringLiteral("Fl_main"), QStringLiteral("reading")},
        {QStringLiteral("Text_notes"), QStringLiteral("notes")},
        {QStringLiteral("Fl_sec"), QStringLiteral("notes")},
        {QStringLiteral("TreeSommario"), QStringLiteral("reading")},
        {QStringLiteral("Frame_cerca"), QStringLiteral("search")},
        {QStringLiteral("List_risultati"), QStringLiteral("results")},
        {QStringLiteral("List_cronologia"), QStringLiteral("history")},
        {QStringLiteral("List_bookmark"), QStringLiteral("bookmarks")},
        {QStringLiteral("Toolbar"), QStringLiteral("shortcuts")},
    };
    for (; w; w = w->parentWidget())
        if (const auto it = pages.constFind(w->objectName()); it != pages.constEnd())
            return *it;
    return QStringLiteral("25");
}

void Commands::GuidaRapida()
{
    m_p.ShowHelp(1, helpContextOf(m_p.state.ContextMenuSource));
}

void Commands::popupUnder(forms::ButtonName key, QMenu *menu)
{
    MDIForm1 *frame = m_p.mainFrame();
    QAction *button = frame->button(key);
    QWidget *bw = frame->Toolbar()->widgetForAction(button);
    const QPoint at = bw ? bw->mapToGlobal(QPoint(0, bw->height())) : QCursor::pos();
    if (button->isCheckable())
        button->setChecked(true);
    popup(menu, at);
    if (button->isCheckable())
        button->setChecked(false);
}

void Commands::Toolbar_ButtonClick(const QString &key)
{
    reader::Hotspots &hs = *m_p.hotspots();
    reader::TopicDisplay &display = *m_p.display();
    forms::Windows &w = m_p.windows();
    Form1 *f = m_p.reader();
    if (key == u"Home")
        display.Home();
    else if (key == u"Apri")
        m_p.ApriTexte();
    else if (key == u"Stampa")
        reader::Stampa_topic(w, hs);
    else if (key == u"Copia")
        reader::Copia_selected(w);
    else if (key == u"Cerca")
        Cerca_parola();
    else if (key == u"Avvio") {
        // In the letter field, the button does what Enter does there.
        if (QApplication::focusWidget() == f->ComboPerLettera ||
            (f->ComboPerLettera->lineEdit() && QApplication::focusWidget() == f->ComboPerLettera->lineEdit())) {
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(QApplication::focusWidget(), &enter);
        } else {
            m_p.searchPanel()->Avvio();
        }
    } else if (bookmarkCommand(key))
        ;
    else if (key == u"Opzioni")
        m_p.Opzioni();
    else if (key == u"BackCrono")
        m_p.history()->BackCrono();
    else if (key == u"Cronologialist")
        m_p.history()->Cronologia_list();
    else if (key == u"Risultatilist")
        m_p.searchPanel()->Risultati_list();
    else if (key == u"Risultatilistback")
        m_p.searchPanel()->Risultati_list_back();
    else if (key == u"Risultatilistnext")
        m_p.searchPanel()->Risultati_list_next();
    else if (key == u"Highlight")
        m_p.searchPanel()->Highlight();
    else if (key == u"Highlightback")
        m_p.searchPanel()->HighlightBack();
    else if (key == u"Highlightnext")
        m_p.searchPanel()->HighlightNext();
    else if (key == u"Sommario")
        Sommario();
    else if (key == u"Browseback")
        display.Browseback();
    else if (key == u"Browsenext")
        display.Browsenext();
    else if (key == u"Hotspotback")
        hs.HotspotBack();
    else if (key == u"Hotspotnext")
        hs.HotspotNext();
    else if (key == u"Zoom")
        popupUnder("Zoom", m_p.mainFrame()->menu("Zoom"));
    else if (key == u"Indici") {
        if (m_p.title.RandomTopicMode)
            Hasard();
        else
            popupUnder("Indici", m_p.mainFrame()->menu("IndiciMenu"));
    }
    // A panel button clicked toggles itself; it shows as pressed only if
    // its panel is shown now.
    forms::syncPanelButtons(w);
}

bool Commands::bookmarkCommand(const QString &name)
{
    // The toolbar keys and the menu items of the bookmarks (the same names
    // but for the panel: "Bookmarklist" on the toolbar, Segnalibri in the menu).
    bookmarks::Bookmarks *b = m_p.bookmarks();
    if (name == u"Bookmarkadd")
        b->Bookmark_add();
    else if (name == u"Bookmarkdel")
        b->Bookmark_del();
    else if (name == u"Bookmarklist")
        b->Bookmark_list();
    else if (name == u"Segnalibri") {
        if (m_p.mainFrame()->button("Bookmarklist")->isEnabled())
            b->Bookmark_list();
    } else if (name == u"BookmarkNuovo")
        b->NuovoBookmarks();
    else if (name == u"BookmarkApri")
        b->ApriBookmarks();
    else if (name == u"BookmarkSalva")
        b->SalvaBookmarks();
    else if (name == u"BookmarkSalvaSous")
        b->BookmarkSalvaSous_Click();
    else
        return false;
    return true;
}

void Commands::SendShiftKeyToTopic(int key)
{
    Form1 *f = m_p.reader();
    engine::TopicView *pane = m_p.state.ScrollPaneIsNotes && m_p.state.NotesPaneOpen ? f->Fl_sec : f->Fl_main;
    engine::RegionView *sr = pane->regionView(1);
    if (!sr)
        return;
    QScrollBar *bar = sr->verticalScrollBar();
    switch (key) {
    case Qt::Key_Down: bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case Qt::Key_Up: bar->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case Qt::Key_PageDown: bar->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    case Qt::Key_PageUp: bar->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    default: break;
    }
}

void Commands::Form_KeyDown(int key, int shift, bool *handled)
{
    forms::ReaderState &r = m_p.state;
    Form1 *f = m_p.reader();
    // A bookmark being renamed in place: its keys are the editor's (Enter
    // takes the name, Esc gives the old one back).
    const QWidget *focus = QApplication::focusWidget();
    if (focus && focus != f->List_bookmark && f->List_bookmark->isAncestorOf(focus))
        return;
    // The paging keys are remembered: the focus stays in the text they moved.
    const bool paging = key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_End || key == Qt::Key_Home;
    r.LastKey = paging ? key : 0;
    modifierFlags(key, shift);
    if (shiftScrolls(key, shift) || escapeKey(key) || searchDomainKey(key, shift)) {
        *handled = true;
        return;
    }
    *handled = readerKey({key, shift, r.CtrlDown || shift == 2, focus});
    // The focus goes back where the reader works.
    if (r.FocusAfterKey) {
        m_p.hotspots()->MetteIlGiustoFocus();
        r.FocusAfterKey = false;
    }
}

void Commands::modifierFlags(int key, int shift)
{
    forms::ReaderState &r = m_p.state;
    r.AltDown = shift == 4;
    if (shift != 2) {
        r.CtrlDown = false;
        return;
    }
    if (key == Qt::Key_F) {
        Cerca_parola();
        return;
    }
    // Ctrl+W and Ctrl+Q are the results' own keys, not a held Ctrl.
    r.CtrlDown = key != Qt::Key_W && key != Qt::Key_Q;
    if (r.FocusAfterKey)
        m_p.hotspots()->MetteIlGiustoFocus();
}

// Shift with the arrows and page keys scrolls the topic from anywhere.
bool Commands::shiftScrolls(int key, int shift)
{
    if (shift != 1 || (key != Qt::Key_Down && key != Qt::Key_Up && key != Qt::Key_PageDown && key != Qt::Key_PageUp))
        return false;
    SendShiftKeyToTopic(key);
    return true;
}

// Esc gives the focus back.
bool Commands::escapeKey(int key)
{
    if (key != Qt::Key_Escape)
        return false;
    Form1 *f = m_p.reader();
    if (QApplication::focusWidget() == static_cast<QWidget *>(f->Combo_sottoinsieme))
        f->Combo_perparole->setFocus();
    else
        m_p.hotspots()->MetteIlGiustoFocus();
    return true;
}

// Alt with T, P, C chooses the search domain in the search panel.
bool Commands::searchDomainKey(int key, int shift)
{
    Form1 *f = m_p.reader();
    if (shift != 4 || !f->isShown(forms::Panel::Search))
        return false;
    QRadioButton *option = key == Qt::Key_T   ? f->Option_tutto
                           : key == Qt::Key_P ? f->Option_argomento
                           : key == Qt::Key_C ? f->Option_sottoinsieme
                                              : nullptr;
    if (option)
        option->click();
    return option;
}

// The keys of the reader window, one function each; true when the key is
// swallowed.
bool Commands::readerKey(const KeyPress &k)
{
    using Handler = bool (Commands::*)(const KeyPress &);
    static const std::pair<int, Handler> keys[] = {
        {Qt::Key_W, &Commands::resultStepKey}, {Qt::Key_Q, &Commands::resultStepKey},
        {Qt::Key_Return, &Commands::enterKey}, {Qt::Key_Enter, &Commands::enterKey},
        {Qt::Key_F2, &Commands::searchKey},    {Qt::Key_F3, &Commands::resultsKey},
        {Qt::Key_F4, &Commands::historyKey},   {Qt::Key_F5, &Commands::bookmarksKey},
        {Qt::Key_F6, &Commands::contentsKey},  {Qt::Key_F7, &Commands::noteStepKey},
        {Qt::Key_F8, &Commands::noteStepKey},  {Qt::Key_F9, &Commands::noteKey},
        {Qt::Key_F10, &Commands::randomKey}};
    for (const auto &[key, handler] : keys)
        if (key == k.key)
            return (this->*handler)(k);
    return false;
}

bool Commands::buttonEnabled(forms::ButtonName key) const
{
    return m_p.mainFrame()->button(key)->isEnabled();
}

// With the results list shown, W and Q step through the results. With
// Ctrl the flag stays set, so that the menu's Ctrl+W that follows does not
// step a second time.
bool Commands::resultStepKey(const KeyPress &k)
{
    forms::ReaderState &r = m_p.state;
    const bool next = k.key == Qt::Key_W;
    bool &flag = next ? r.NextResultKeyHandled : r.PreviousResultKeyHandled;
    flag = true;
    const bool listed = m_p.reader()->isShown(forms::Panel::Results) &&
                        (next ? buttonEnabled("Risultatilistnext") : buttonEnabled("Risultatilistback"));
    if (listed)
        next ? m_p.searchPanel()->Risultati_list_next() : m_p.searchPanel()->Risultati_list_back();
    if (!k.ctrl)
        flag = false;
    return listed;
}

bool Commands::enterKey(const KeyPress &)
{
    m_p.hotspots()->MetteIlGiustoFocus();
    return false;
}

bool Commands::searchKey(const KeyPress &k)
{
    // In the bookmark list, F2 renames the bookmark selected.
    Form1 *f = m_p.reader();
    if (k.shift == 0 && k.focus == f->List_bookmark && f->List_bookmark->currentIndex().isValid()) {
        m_p.bookmarks()->renameCurrent();
        return true;
    }
    m_p.hotspots()->MetteIlGiustoFocus();
    if (!k.ctrl)
        Cerca_parola();
    return true;
}

bool Commands::resultsKey(const KeyPress &k)
{
    m_p.hotspots()->MetteIlGiustoFocus();
    if (buttonEnabled("Risultatilist") && !k.ctrl)
        m_p.searchPanel()->Risultati_list();
    return true;
}

bool Commands::historyKey(const KeyPress &k)
{
    m_p.hotspots()->MetteIlGiustoFocus();
    if (!k.ctrl && !m_p.state.AltDown && k.shift != 4)
        m_p.history()->Cronologia_list();
    return true;
}

bool Commands::bookmarksKey(const KeyPress &k)
{
    m_p.hotspots()->MetteIlGiustoFocus();
    if (buttonEnabled("Bookmarklist") && !k.ctrl)
        m_p.bookmarks()->Bookmark_list();
    return true;
}

bool Commands::contentsKey(const KeyPress &k)
{
    m_p.hotspots()->MetteIlGiustoFocus();
    if (!k.ctrl)
        Sommario();
    return true;
}

// F7 and F8: the previous and the next note call.
bool Commands::noteStepKey(const KeyPress &k)
{
    m_p.state.HotspotKey = true;
    reader::Hotspots &hs = *m_p.hotspots();
    hs.MetteIlGiustoFocus();
    k.key == Qt::Key_F7 ? hs.HotspotBack() : hs.HotspotNext();
    return true;
}

// F9: the note of the call in focus.
bool Commands::noteKey(const KeyPress &)
{
    m_p.state.FocusAfterKey = true;
    m_p.hotspots()->AfficheNoteAvecClick();
    return true;
}

bool Commands::randomKey(const KeyPress &)
{
    if (m_p.title.RandomTopicMode)
        Hasard();
    return true;
}

void Commands::Form_KeyUp(int key, int shift)
{
    Q_UNUSED(shift);
    // Ctrl released: a click that follows is a plain click.
    if (key == Qt::Key_Control)
        m_p.state.CtrlDown = false;
}

} // namespace folium::app
