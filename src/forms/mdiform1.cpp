#include "mdiform1.h"

#include "interface_strings.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

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
    const char *key;
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
};

// Menu items (or menus) and the toolbar buttons that give the same command:
// each pair is enabled and disabled together, and checked together where
// both can be. The five panel buttons and their items follow their own rule
// (see panels.h): an item is disabled while its panel shows, its button not.
struct Twin {
    const char *item;
    const char *button;
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
    const char *item;
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
            k << QString::fromLatin1(b.key);
        return k;
    }();
    return keys;
}

MDIForm1::MDIForm1(QWidget *parent) : QMainWindow(parent)
{
    initIconResources();
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("Folium"));
    buildMenus();
    buildToolbar();
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(1000);
}

QMenu *MDIForm1::addMenu(QMenu *parent, const QString &name, const QString &caption)
{
    QMenu *m = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    m_menus.insert(name, m);
    return m;
}

QAction *MDIForm1::addItem(QMenu *menu, const QString &name, const QString &caption, const QKeySequence &shortcut)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(name);
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    connect(a, &QAction::triggered, this, [this, name] { emit menuItemTriggered(name); });
    m_items.insert(name, a);
    return a;
}

void MDIForm1::addSeparator(QMenu *menu, const QString &name)
{
    QAction *s = menu->addSeparator();
    s->setObjectName(name);
    m_items.insert(name, s);
}

void MDIForm1::buildMenus()
{
    using K = QKeySequence;
    QMenu *file = addMenu(nullptr, QStringLiteral("File"), QStringLiteral("&Fichier"));
    addItem(file, QStringLiteral("Apri"), QStringLiteral("Ouvrir"), K(Qt::CTRL | Qt::Key_O));
    addItem(file, QStringLiteral("Stampa"), QStringLiteral("Imprimer"), K(Qt::CTRL | Qt::Key_P));
    addSeparator(file, QStringLiteral("Sep0"));
    addItem(file, QStringLiteral("Esci"), QStringLiteral("Fermer"));
    addSeparator(file, QStringLiteral("Sep1"));
    for (int i = 0; i < 4; ++i)
        addItem(file, QStringLiteral("TexteOuvert_%1").arg(i), QString())->setVisible(false);

    QMenu *edit = addMenu(nullptr, QStringLiteral("Modifica"), QStringLiteral("&Edition"));
    addItem(edit, QStringLiteral("Copia"), QStringLiteral("Copier"), K(Qt::CTRL | Qt::Key_C));
    addSeparator(edit, QStringLiteral("Sep"));
    addItem(edit, QStringLiteral("GuidaRapida"), QStringLiteral("Qu'est-ce que c'est?"));
    addItem(edit, QStringLiteral("Guida2"), QStringLiteral("Rubriques d'aide"));
    // These three show only in the context menu of the reading panes.
    for (const char *n : {"Sep", "GuidaRapida", "Guida2"})
        m_items.value(QString::fromLatin1(n))->setVisible(false);
    addSeparator(edit, QStringLiteral("Sep2"));
    addItem(edit, QStringLiteral("BookmarkNuovo"), QStringLiteral("Nouvelle liste de Signets"));
    addItem(edit, QStringLiteral("BookmarkApri"), QStringLiteral("Ouvre des Signets"));
    addItem(edit, QStringLiteral("BookmarkSalva"), QStringLiteral("Enregistrer les Signets"));
    addItem(edit, QStringLiteral("BookmarkSalvaSous"), QStringLiteral("Enregistrer les Signets sous..."));
    addItem(edit, QStringLiteral("Bookmarkadd"), QStringLiteral("Ajoute un signet"), K(Qt::CTRL | Qt::Key_S));
    addItem(edit, QStringLiteral("Bookmarkdel"), QStringLiteral("Elimine un signet"), K(Qt::CTRL | Qt::Key_D));
    addSeparator(edit, QStringLiteral("Sep3"));
    addItem(edit, QStringLiteral("Opzioni"), QStringLiteral("Options..."), K(Qt::CTRL | Qt::Key_K));

    QMenu *nav = addMenu(nullptr, QStringLiteral("Esplora"), QStringLiteral("&Naviguer"));
    addItem(nav, QStringLiteral("HomePage"), QStringLiteral("Home Page"), K(Qt::CTRL | Qt::Key_H));
    addItem(nav, QStringLiteral("Reprise"), QStringLiteral("Reprendre la lecture"), K(Qt::CTRL | Qt::Key_L));
    addSeparator(nav, QStringLiteral("Sep4"));
    addItem(nav, QStringLiteral("Back"), QStringLiteral("Page pr\u00e9c\u00e9dante"), K(Qt::CTRL | Qt::Key_B));
    addItem(nav, QStringLiteral("Next"), QStringLiteral("Page suivante"), K(Qt::CTRL | Qt::Key_N));
    addSeparator(nav, QStringLiteral("Sep5"));
    addItem(nav, QStringLiteral("Risultati_back"),
            QStringLiteral("Pr\u00e9c\u00e9dant dans R\u00e9sultats de Recherche"), K(Qt::CTRL | Qt::Key_Q));
    addItem(nav, QStringLiteral("Risultati_next"), QStringLiteral("Suivant dans R\u00e9sultats de Recherche"),
            K(Qt::CTRL | Qt::Key_W));
    addSeparator(nav, QStringLiteral("Sep6"));
    addItem(nav, QStringLiteral("CronoBack"), QStringLiteral("Pr\u00e9c\u00e9dant dans Chronologie"),
            K(Qt::CTRL | Qt::Key_X));
    addItem(nav, QStringLiteral("CronoNext"), QStringLiteral("Suivant dans Chronologie"), K(Qt::CTRL | Qt::Key_A));
    addSeparator(nav, QStringLiteral("Sep13"));
    QMenu *indexes = addMenu(nav, QStringLiteral("IndiciMenu"), QStringLiteral("Indici"));
    addItem(indexes, QStringLiteral("Analitico"), QStringLiteral("Analitico"), K(Qt::SHIFT | Qt::Key_F2));
    addItem(indexes, QStringLiteral("Nomi"), QStringLiteral("Nomi"), K(Qt::SHIFT | Qt::Key_F3));
    addItem(indexes, QStringLiteral("Localita"), QStringLiteral("Localit\u00e0"), K(Qt::SHIFT | Qt::Key_F4));
    addItem(indexes, QStringLiteral("Destinatari"), QStringLiteral("Destinatari"), K(Qt::SHIFT | Qt::Key_F5));
    addItem(indexes, QStringLiteral("Sinottico"), QStringLiteral("Sinottico"), K(Qt::SHIFT | Qt::Key_F6));

    QMenu *view = addMenu(nullptr, QStringLiteral("Visualizza"), QStringLiteral("&Affichage"));
    addItem(view, QStringLiteral("Cerca"), QStringLiteral("Recherche"), K(Qt::Key_F2));
    addItem(view, QStringLiteral("Risultati_cerca"), QStringLiteral("R\u00e9sultats de Recherche"), K(Qt::Key_F3));
    addItem(view, QStringLiteral("Cronologia"), QStringLiteral("Chronologie"), K(Qt::Key_F4));
    addItem(view, QStringLiteral("Segnalibri"), QStringLiteral("Signets"), K(Qt::Key_F5));
    addItem(view, QStringLiteral("Sommario_scritti"), QStringLiteral("Sommaire"), K(Qt::Key_F6));
    addSeparator(view, QStringLiteral("Sep8"));
    addItem(view, QStringLiteral("NoteBasPage"), QStringLiteral("Notes en bas de page"), K(Qt::CTRL | Qt::Key_F12))
        ->setCheckable(true);
    addItem(view, QStringLiteral("NotaPrecedente"), QStringLiteral("Note pr\u00e9c\u00e9dante"), K(Qt::Key_F7));
    addItem(view, QStringLiteral("NotaSuccessiva"), QStringLiteral("Note suivante"), K(Qt::Key_F8));
    addSeparator(view, QStringLiteral("Sep9"));
    QAction *hilite =
        addItem(view, QStringLiteral("Evidenziatore"), QStringLiteral("Surligneur"), K(Qt::CTRL | Qt::Key_E));
    hilite->setCheckable(true);
    hilite->setChecked(true);
    addItem(view, QStringLiteral("EvidenziatorePrecedente"), QStringLiteral("Surlign\u00e9 pr\u00e9c\u00e9dant"),
            K(Qt::Key_F11));
    addItem(view, QStringLiteral("EvidenziatoreSuccessivo"), QStringLiteral("Surlign\u00e9 suivant"), K(Qt::Key_F12));
    addSeparator(view, QStringLiteral("Sep10"));
    QMenu *zoom = addMenu(view, QStringLiteral("Zoom"), QStringLiteral("&Zoom"));
    const Qt::Key keys[] = {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5, Qt::Key_F6};
    for (int i = 0; i < 5; ++i) {
        addItem(zoom, QString::fromLatin1(kZooms[i].item), QStringLiteral("%1%").arg(kZooms[i].percent),
                K(Qt::CTRL | keys[i]))
            ->setCheckable(true);
    }
    checkZoom(100);

    QMenu *help = addMenu(nullptr, QStringLiteral("Aiuto"), QStringLiteral("&?"));
    addItem(help, QStringLiteral("Guida"), QStringLiteral("Rubriques d'aide"), K(Qt::SHIFT | Qt::Key_F1));
    addItem(help, QStringLiteral("Raccourcis"), QStringLiteral("Raccourcis"), K(Qt::CTRL | Qt::Key_R));
    addSeparator(help, QStringLiteral("Sep12"));
    addItem(help, QStringLiteral("InformazioniSu"), QStringLiteral("A propos de..."));

    // Disabled until a title and its state enable them.
    for (const char *n : {"Copia", "BookmarkNuovo", "BookmarkSalva", "BookmarkSalvaSous", "Bookmarkdel", "Back", "Next",
                          "Risultati_back", "Risultati_next", "CronoBack", "CronoNext", "Cerca", "Risultati_cerca",
                          "Cronologia", "Segnalibri"})
        m_items.value(QString::fromLatin1(n))->setEnabled(false);
}

void MDIForm1::buildToolbar()
{
    m_toolbar = addToolBar(QStringLiteral("Toolbar"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar"));
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(24, 24));
    for (const ButtonDef &b : kButtons) {
        const QString key = QString::fromLatin1(b.key);
        QAction *a = m_toolbar->addAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(key)), QString::fromUtf8(b.text));
        a->setObjectName(key);
        a->setCheckable(b.checkable);
        connect(a, &QAction::triggered, this, [this, key] { emit toolbarButtonClicked(key); });
        m_buttons.insert(key, a);
    }
    linkTwins();
}

QAction *MDIForm1::twinOf(const QString &buttonKey) const
{
    for (const Twin &t : kTwins) {
        if (buttonKey != QLatin1String(t.button))
            continue;
        const QString name = QString::fromLatin1(t.item);
        return m_menus.contains(name) ? m_menus.value(name)->menuAction() : m_items.value(name);
    }
    return nullptr;
}

void MDIForm1::linkTwins()
{
    for (const Twin &t : kTwins) {
        QAction *button = m_buttons.value(QString::fromLatin1(t.button));
        QAction *item = twinOf(button->objectName());
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
        m_items.value(QString::fromLatin1(z.item))->setChecked(z.percent == percent);
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
            if (QMenu *m = m_menus.value(name))
                m->setTitle(text);
            else if (QAction *a = m_items.value(name))
                a->setText(text);
        }
        if (k.button) {
            QAction *b = m_buttons.value(QString::fromLatin1(k.button));
            b->setText(plain(text));
            // A tooltip shows no access key: the text without its "&".
            b->setToolTip(plain(text) + QString::fromLatin1(k.hint));
        }
    }
    const QString toolbarName = strings.text(QStringLiteral("ACCE"), 6);
    if (!toolbarName.isEmpty()) {
        m_toolbar->setWindowTitle(toolbarName);
        m_toolbar->setAccessibleName(toolbarName);
    }
    m_indexRandomTip = plain(strings.text(QStringLiteral("MENU"), 32)) + QStringLiteral(" (F10)");
    m_indexMenuTip = plain(strings.text(QStringLiteral("MENU"), 38));
}

} // namespace folium::forms
