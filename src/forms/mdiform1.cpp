#include "mdiform1.h"

#include "interface_strings.h"
#include "palette_icon.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSizeGrip>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

// The icons are compiled into this static library; the linker keeps them
// only when something names their initialiser.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace folium::forms {

namespace {

// The toolbar: key, the text a screen reader says before the strings are
// loaded, and whether the button stays pressed (panel buttons and the
// buttons whose menu or dialog is open).
struct ButtonDef {
    ButtonName key;
    const char *text;
    bool checkable;
};

const ButtonDef kButtons[] = {
    {"Home", "Home Page", false},
    {"Apri", "Ouvrir", false},
    {"Stampa", "Imprimer", false},
    {"Copia", "Copier", false},
    {"Cerca", "Recherche", true},
    {"Risultatilist", "R\u00e9sultats de Recherche", true},
    {"Cronologialist", "Chronologie", true},
    {"Bookmarklist", "Signets", true},
    {"Avvio", "Rechercher", false},
    {"Sommario", "Sommaire", true},
    {"Browseback", "Page pr\u00e9c\u00e9dante", false},
    {"Browsenext", "Page suivante", false},
    {"BackCrono", "Pr\u00e9c\u00e9dant dans Chronologie", false},
    {"Risultatilistback", "Pr\u00e9c\u00e9dant dans R\u00e9sultats de Recherche", false},
    {"Risultatilistnext", "Suivant dans R\u00e9sultats de Recherche", false},
    {"Hotspotback", "Note pr\u00e9c\u00e9dante", false},
    {"Hotspotnext", "Note suivante", false},
    {"BookmarkNuovo", "Nouvelle liste de Signets", false},
    {"BookmarkApri", "Ouvre des Signets", false},
    {"BookmarkSalva", "Enregistrer les Signets", false},
    {"Bookmarkadd", "Ajoute un signet", false},
    {"Bookmarkdel", "Elimine un signet", false},
    {"Highlight", "Surligneur", true},
    {"Highlightback", "Surlign\u00e9 pr\u00e9c\u00e9dant", false},
    {"Highlightnext", "Surlign\u00e9 suivant", false},
    {"Zoom", "Zoom", true},
    {"Opzioni", "Options", true},
    {"Indici", "Indici", false},
};

// Where each MENU string goes: menu items (or menus), toolbar buttons with
// the hint that follows the text in their tooltip.
struct MenuKey {
    int number;
    const char *items; // blank-separated item or menu names
    const char *button;
    const char *hint;
};

const MenuKey kMenuKeys[] = {
    {1, "File", nullptr, nullptr},
    {2, "Apri", "Apri", " (Ctrl-O)"},
    {3, "Stampa", "Stampa", " (Ctrl-P)"},
    {4, "Esci", nullptr, nullptr},
    {5, "Modifica", nullptr, nullptr},
    {6, "Copia", "Copia", " (Ctrl-C)"},
    {7, "Bookmarkadd", "Bookmarkadd", " (Ctrl-S)"},
    {8, "Bookmarkdel", "Bookmarkdel", " (Ctrl-D)"},
    {9, "Opzioni", "Opzioni", " (Ctrl-K)"},
    {10, "Esplora", nullptr, nullptr},
    {11, "HomePage", "Home", " (Ctrl-H)"},
    {12, "Back", "Browseback", " (Ctrl-B)"},
    {13, "Next", "Browsenext", " (Ctrl-N)"},
    {14, "Risultati_back", "Risultatilistback", " (Ctrl-Q)"},
    {15, "Risultati_next", "Risultatilistnext", " (Ctrl-W)"},
    {16, "CronoBack", "BackCrono", " (Ctrl-X)"},
    {17, "CronoNext", nullptr, nullptr},
    {18, "Visualizza", nullptr, nullptr},
    {19, "Cerca", "Cerca", " (F2)"},
    {20, "Risultati_cerca", "Risultatilist", " (F3)"},
    {21, "Cronologia", "Cronologialist", " (F4)"},
    {22, "Segnalibri", "Bookmarklist", " (F5)"},
    {23, "Sommario_scritti", "Sommario", " (F6)"},
    {24, "NotaPrecedente", "Hotspotback", " (F7)"},
    {25, "NotaSuccessiva", "Hotspotnext", " (F8)"},
    {26, "Evidenziatore", "Highlight", " On/Off (Ctrl-E)"},
    {27, "EvidenziatorePrecedente", "Highlightback", " (F11)"},
    {28, "EvidenziatoreSuccessivo", "Highlightnext", " (F12)"},
    {29, "Zoom", "Zoom", " (Ctrl-F2 - Ctrl-F6)"},
    {30, "Guida Guida2", nullptr, nullptr},
    {31, "InformazioniSu", nullptr, nullptr},
    {33, "", "Avvio", " (Enter)"},
    {34, "GuidaRapida", nullptr, nullptr},
    {38, "IndiciMenu", "Indici", ""},
    {39, "Analitico", nullptr, nullptr},
    {40, "Nomi", nullptr, nullptr},
    {41, "Localita", nullptr, nullptr},
    {42, "Destinatari", nullptr, nullptr},
    {43, "Sinottico", nullptr, nullptr},
    {44, "NoteBasPage", nullptr, nullptr},
    {45, "BookmarkApri", "BookmarkApri", ""},
    {46, "BookmarkSalva", "BookmarkSalva", ""},
    {47, "BookmarkSalvaSous", nullptr, nullptr},
    {48, "BookmarkNuovo", "BookmarkNuovo", ""},
    {49, "Raccourcis", nullptr, nullptr},
    {50, "Reprise", nullptr, nullptr},
    {51, "ImportaTei", nullptr, nullptr},
    {52, "ReimportaTei", nullptr, nullptr},
};

// Menu items (or menus) and the toolbar buttons that give the same command:
// each pair is enabled and disabled together, and checked together where
// both can be. The five panel buttons and their items follow their own rule
// (see panels.h): an item is disabled while its panel shows, its button not.
struct Twin {
    const char *item; // an item, or a menu whose own action is the twin
    ButtonName button;
};
const Twin kTwins[] = {
    {"Apri", "Apri"},
    {"Stampa", "Stampa"},
    {"Copia", "Copia"},
    {"Bookmarkadd", "Bookmarkadd"},
    {"Bookmarkdel", "Bookmarkdel"},
    {"Opzioni", "Opzioni"},
    {"HomePage", "Home"},
    {"Back", "Browseback"},
    {"Next", "Browsenext"},
    {"Risultati_back", "Risultatilistback"},
    {"Risultati_next", "Risultatilistnext"},
    {"CronoBack", "BackCrono"},
    {"NotaPrecedente", "Hotspotback"},
    {"NotaSuccessiva", "Hotspotnext"},
    {"Evidenziatore", "Highlight"},
    {"EvidenziatorePrecedente", "Highlightback"},
    {"EvidenziatoreSuccessivo", "Highlightnext"},
    {"BookmarkApri", "BookmarkApri"},
    {"BookmarkSalva", "BookmarkSalva"},
    {"BookmarkNuovo", "BookmarkNuovo"},
    {"Zoom", "Zoom"},
    {"IndiciMenu", "Indici"},
};

QString plain(QString caption)
{
    return caption.remove(u'&');
}

// The zoom entries and their percentages.
struct ZoomEntry {
    ItemName item;
    int percent;
};
const ZoomEntry kZooms[] = {
    {"Cinquanta", 50}, {"Settantacinque", 75}, {"Cento", 100}, {"Centocinquanta", 150}, {"Duecento", 200}};

} // namespace

const QStringList &MDIForm1::toolbarKeys()
{
    static const QStringList keys = [] {
        QStringList k;
        for (const ButtonDef &b : kButtons)
            k << b.key.toString();
        return k;
    }();
    return keys;
}

MDIForm1::MDIForm1(QWidget *parent) : QMainWindow(parent)
{
    initIconResources();
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("Folium"));
    // A folder of TEI letters dropped on the window is imported.
    setAcceptDrops(true);
    // Room for the menus, a side pane and a readable column of text.
    setMinimumSize(kMinimumSize);
    buildMenus();
    buildToolbar();
    // Every name of the lists has its action: a lookup never finds nothing.
    const bool whole = std::all_of(m_items.begin(), m_items.end(), [](QAction *a) { return a; }) &&
                       std::all_of(m_menus.begin(), m_menus.end(), [](QMenu *m) { return m; }) &&
                       std::all_of(m_buttons.begin(), m_buttons.end(), [](QAction *a) { return a; });
    for (const MenuKey &k : kMenuKeys)
        if (k.button && !ButtonName::find(QString::fromLatin1(k.button)))
            qFatal("The menu strings name an unknown button %s", k.button);
    if (!whole) {
        for (int i = 0; i < ItemName::count; ++i)
            if (!m_items[size_t(i)])
                qWarning("No item %s", qPrintable(ItemName::at(i).toString()));
        for (int i = 0; i < MenuName::count; ++i)
            if (!m_menus[size_t(i)])
                qWarning("No menu %s", qPrintable(MenuName::at(i).toString()));
        for (int i = 0; i < ButtonName::count; ++i)
            if (!m_buttons[size_t(i)])
                qWarning("No button %s", qPrintable(ButtonName::at(i).toString()));
        qFatal("The main frame lacks an action of its name lists");
    }
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(1000);
}

QMenu *MDIForm1::addMenu(QMenu *parent, MenuName name, const QString &caption)
{
    QMenu *m = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    m->setObjectName(name.toString());
    m->menuAction()->setObjectName(name.toString());
    m_menus[size_t(name.index())] = m;
    return m;
}

QAction *MDIForm1::addItem(QMenu *menu, ItemName name, const QString &caption, const QKeySequence &shortcut)
{
    QAction *a = menu->addAction(caption);
    const QString n = name.toString();
    a->setObjectName(n);
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    connect(a, &QAction::triggered, this, [this, n] { emit menuItemTriggered(n); });
    m_items[size_t(name.index())] = a;
    return a;
}

void MDIForm1::addSeparator(QMenu *menu, ItemName name)
{
    QAction *s = menu->addSeparator();
    s->setObjectName(name.toString());
    m_items[size_t(name.index())] = s;
}

QAction *MDIForm1::lastUsedEntry(int i) const
{
    Q_ASSERT(i >= 0 && i < 4);
    return item(ItemName::at(ItemName("TexteOuvert_0").index() + std::clamp(i, 0, 3)));
}

void MDIForm1::buildMenus()
{
    using K = QKeySequence;
    QMenu *file = addMenu(nullptr, "File", QStringLiteral("&Fichier"));
    addItem(file, "Apri", QStringLiteral("Ouvrir"), K(Qt::CTRL | Qt::Key_O));
    addItem(file, "ImportaTei", QStringLiteral("Importer une \u00e9dition TEI..."), K(Qt::CTRL | Qt::Key_I));
    addItem(file, "ReimportaTei", QStringLiteral("Importer \u00e0 nouveau"))->setEnabled(false);
    addItem(file, "Stampa", QStringLiteral("Imprimer"), K(Qt::CTRL | Qt::Key_P));
    addSeparator(file, "Sep0");
    addItem(file, "Esci", QStringLiteral("Fermer"));
    addSeparator(file, "Sep1");
    for (int i = 0; i < 4; ++i)
        addItem(file, ItemName::at(ItemName("TexteOuvert_0").index() + i), QString())->setVisible(false);

    QMenu *edit = addMenu(nullptr, "Modifica", QStringLiteral("&Edition"));
    addItem(edit, "Copia", QStringLiteral("Copier"), K(Qt::CTRL | Qt::Key_C));
    addSeparator(edit, "Sep2");
    addItem(edit, "BookmarkNuovo", QStringLiteral("Nouvelle liste de Signets"));
    addItem(edit, "BookmarkApri", QStringLiteral("Ouvre des Signets"));
    addItem(edit, "BookmarkSalva", QStringLiteral("Enregistrer les Signets"));
    addItem(edit, "BookmarkSalvaSous", QStringLiteral("Enregistrer les Signets sous..."));
    addItem(edit, "Bookmarkadd", QStringLiteral("Ajoute un signet"), K(Qt::CTRL | Qt::Key_S));
    addItem(edit, "Bookmarkdel", QStringLiteral("Elimine un signet"), K(Qt::CTRL | Qt::Key_D));
    addSeparator(edit, "Sep3");
    addItem(edit, "Opzioni", QStringLiteral("Options..."), K(Qt::CTRL | Qt::Key_K));

    QMenu *nav = addMenu(nullptr, "Esplora", QStringLiteral("&Naviguer"));
    addItem(nav, "HomePage", QStringLiteral("Home Page"), K(Qt::CTRL | Qt::Key_H));
    addItem(nav, "Reprise", QStringLiteral("Reprendre la lecture"), K(Qt::CTRL | Qt::Key_L));
    addSeparator(nav, "Sep4");
    addItem(nav, "Back", QStringLiteral("Page pr\u00e9c\u00e9dante"), K(Qt::CTRL | Qt::Key_B));
    addItem(nav, "Next", QStringLiteral("Page suivante"), K(Qt::CTRL | Qt::Key_N));
    addSeparator(nav, "Sep5");
    addItem(nav, "Risultati_back", QStringLiteral("Pr\u00e9c\u00e9dant dans R\u00e9sultats de Recherche"),
            K(Qt::CTRL | Qt::Key_Q));
    addItem(nav, "Risultati_next", QStringLiteral("Suivant dans R\u00e9sultats de Recherche"), K(Qt::CTRL | Qt::Key_W));
    addSeparator(nav, "Sep6");
    addItem(nav, "CronoBack", QStringLiteral("Pr\u00e9c\u00e9dant dans Chronologie"), K(Qt::CTRL | Qt::Key_X));
    addItem(nav, "CronoNext", QStringLiteral("Suivant dans Chronologie"), K(Qt::CTRL | Qt::Key_A));
    addSeparator(nav, "Sep13");
    QMenu *indexes = addMenu(nav, "IndiciMenu", QStringLiteral("Indici"));
    addItem(indexes, "Analitico", QStringLiteral("Analitico"), K(Qt::SHIFT | Qt::Key_F2));
    addItem(indexes, "Nomi", QStringLiteral("Nomi"), K(Qt::SHIFT | Qt::Key_F3));
    addItem(indexes, "Localita", QStringLiteral("Localit\u00e0"), K(Qt::SHIFT | Qt::Key_F4));
    addItem(indexes, "Destinatari", QStringLiteral("Destinatari"), K(Qt::SHIFT | Qt::Key_F5));
    addItem(indexes, "Sinottico", QStringLiteral("Sinottico"), K(Qt::SHIFT | Qt::Key_F6));

    QMenu *view = addMenu(nullptr, "Visualizza", QStringLiteral("&Affichage"));
    addItem(view, "Cerca", QStringLiteral("Recherche"), K(Qt::Key_F2));
    addItem(view, "Risultati_cerca", QStringLiteral("R\u00e9sultats de Recherche"), K(Qt::Key_F3));
    addItem(view, "Cronologia", QStringLiteral("Chronologie"), K(Qt::Key_F4));
    addItem(view, "Segnalibri", QStringLiteral("Signets"), K(Qt::Key_F5));
    addItem(view, "Sommario_scritti", QStringLiteral("Sommaire"), K(Qt::Key_F6));
    addSeparator(view, "Sep8");
    addItem(view, "NoteBasPage", QStringLiteral("Notes en bas de page"), K(Qt::CTRL | Qt::Key_F12))->setCheckable(true);
    addItem(view, "NotaPrecedente", QStringLiteral("Note pr\u00e9c\u00e9dante"), K(Qt::Key_F7));
    addItem(view, "NotaSuccessiva", QStringLiteral("Note suivante"), K(Qt::Key_F8));
    addSeparator(view, "Sep9");
    QAction *hilite = addItem(view, "Evidenziatore", QStringLiteral("Surligneur"), K(Qt::CTRL | Qt::Key_E));
    hilite->setCheckable(true);
    hilite->setChecked(true);
    addItem(view, "EvidenziatorePrecedente", QStringLiteral("Surlign\u00e9 pr\u00e9c\u00e9dant"), K(Qt::Key_F11));
    addItem(view, "EvidenziatoreSuccessivo", QStringLiteral("Surlign\u00e9 suivant"), K(Qt::Key_F12));
    addSeparator(view, "Sep10");
    QMenu *zoom = addMenu(view, "Zoom", QStringLiteral("&Zoom"));
    const Qt::Key keys[] = {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5, Qt::Key_F6};
    for (int i = 0; i < 5; ++i)
        addItem(zoom, kZooms[i].item, QStringLiteral("%1%").arg(kZooms[i].percent), K(Qt::CTRL | keys[i]))
            ->setCheckable(true);
    checkZoom(100);

    QMenu *help = addMenu(nullptr, "Aiuto", QStringLiteral("&?"));
    addItem(help, "Guida", QStringLiteral("Rubriques d'aide"), K(Qt::SHIFT | Qt::Key_F1));
    addItem(help, "Raccourcis", QStringLiteral("Raccourcis"), K(Qt::CTRL | Qt::Key_R));
    addSeparator(help, "Sep12");
    addItem(help, "InformazioniSu", QStringLiteral("A propos de..."));

    // Disabled until a title and its state enable them.
    for (ItemName n : ItemList{"Copia", "BookmarkNuovo", "BookmarkSalva", "BookmarkSalvaSous", "Bookmarkdel", "Back",
                               "Next", "Risultati_back", "Risultati_next", "CronoBack", "CronoNext", "Cerca",
                               "Risultati_cerca", "Cronologia", "Segnalibri"})
        item(n)->setEnabled(false);
    buildContextMenu();
}

void MDIForm1::buildContextMenu()
{
    // A menu of its own over the same actions: showing it changes nothing
    // of the Edit menu (hiding an action there would disable it, and its
    // toolbar twin with it).
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("MenuContestuale"));
    m_menus[size_t(MenuName("MenuContestuale").index())] = menu;
    menu->addAction(item("Copia"));
    addSeparator(menu, "Sep");
    addItem(menu, "GuidaRapida", QStringLiteral("Qu'est-ce que c'est?"));
    addItem(menu, "Guida2", QStringLiteral("Rubriques d'aide"));
    for (ItemName n : ItemList{"Sep2", "BookmarkNuovo", "BookmarkApri", "BookmarkSalva", "BookmarkSalvaSous",
                               "Bookmarkadd", "Sep3", "Opzioni"})
        menu->addAction(item(n));
}

void MDIForm1::buildToolbar()
{
    m_toolbar = addToolBar(QStringLiteral("Toolbar"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar"));
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(24, 24));
    for (const ButtonDef &b : kButtons) {
        const QString key = b.key.toString();
        QAction *a =
            m_toolbar->addAction(paletteIcon(QStringLiteral(":/icons/%1.svg").arg(key)), QString::fromUtf8(b.text));
        a->setObjectName(key);
        a->setCheckable(b.checkable);
        connect(a, &QAction::triggered, this, [this, key] { emit toolbarButtonClicked(key); });
        m_buttons[size_t(b.key.index())] = a;
    }
    linkTwins();
}

QAction *MDIForm1::twinOf(ButtonName key) const
{
    for (const Twin &t : kTwins) {
        if (!(t.button == key))
            continue;
        const QString name = QString::fromLatin1(t.item);
        if (const auto m = MenuName::find(name))
            return menu(*m)->menuAction();
        if (const auto i = ItemName::find(name))
            return item(*i);
    }
    return nullptr;
}

void MDIForm1::linkTwins()
{
    for (const Twin &t : kTwins) {
        QAction *button = this->button(t.button);
        QAction *item = twinOf(t.button);
        // The menus hold the state a window starts in.
        button->setEnabled(item->isEnabled());
        const bool checks = button->isCheckable() && item->isCheckable();
        if (checks)
            button->setChecked(item->isChecked());
        for (auto [from, to] : {std::pair{item, button}, std::pair{button, item}}) {
            connect(from, &QAction::enabledChanged, to, &QAction::setEnabled);
            if (checks)
                connect(from, &QAction::toggled, to, &QAction::setChecked);
        }
    }
}

void MDIForm1::checkZoom(int percent)
{
    for (const ZoomEntry &z : kZooms)
        item(z.item)->setChecked(z.percent == percent);
}

namespace {

// The one local folder a drag carries, or "".
QString droppedFolder(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return {};
    const QString path = data->urls().first().toLocalFile();
    return QFileInfo(path).isDir() ? path : QString();
}

} // namespace

void MDIForm1::dragEnterEvent(QDragEnterEvent *e)
{
    if (!droppedFolder(e->mimeData()).isEmpty())
        e->acceptProposedAction();
}

void MDIForm1::dropEvent(QDropEvent *e)
{
    const QString folder = droppedFolder(e->mimeData());
    if (folder.isEmpty())
        return;
    e->acceptProposedAction();
    emit folderDropped(folder);
}

void MDIForm1::closeEvent(QCloseEvent *e)
{
    bool cancel = false;
    emit closing(&cancel);
    if (cancel) {
        e->ignore();
        return;
    }
    QMainWindow::closeEvent(e);
}

void MDIForm1::applyInterfaceStrings(const config::InterfaceStrings &strings)
{
    for (const MenuKey &k : kMenuKeys) {
        const QString text = strings.text(QStringLiteral("MENU"), k.number);
        if (text.isEmpty())
            continue;
        for (const QString &name : QString::fromLatin1(k.items).split(u' ', Qt::SkipEmptyParts)) {
            if (const auto m = MenuName::find(name))
                menu(*m)->setTitle(text);
            else if (const auto i = ItemName::find(name))
                item(*i)->setText(text);
        }
        if (k.button) {
            QAction *b = button(*ButtonName::find(QString::fromLatin1(k.button)));
            b->setText(plain(text));
            // A tooltip shows no access key: the text without its "&".
            b->setToolTip(plain(text) + QString::fromLatin1(k.hint));
        }
    }
    // The status bar's size grip, which a screen reader offers as a control.
    for (QSizeGrip *grip : statusBar()->findChildren<QSizeGrip *>())
        grip->setAccessibleName(strings.text(QStringLiteral("ACCE"), 12));
    const QString toolbarName = strings.text(QStringLiteral("ACCE"), 6);
    if (!toolbarName.isEmpty()) {
        m_toolbar->setWindowTitle(toolbarName);
        m_toolbar->setAccessibleName(toolbarName);
    }
    m_indexRandomTip = plain(strings.text(QStringLiteral("MENU"), 32)) + QStringLiteral(" (F10)");
    m_indexMenuTip = plain(strings.text(QStringLiteral("MENU"), 38));
}

} // namespace folium::forms
