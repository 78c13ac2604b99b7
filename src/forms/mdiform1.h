// MDIForm1: the main frame, with the menus, the toolbar, the status bar and
// the one-second timer. It holds controls only; what the commands do lives
// in the subsystems that own them.
#pragma once

#include "frame_names.h"

#include <QMainWindow>
#include <QString>

#include <array>

class QAction;
class QMenu;
class QTimer;
class QToolBar;

namespace folium::config {
class InterfaceStrings;
}

namespace folium::forms {

class MDIForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit MDIForm1(QWidget *parent = nullptr);

    static constexpr QSize kMinimumSize{560, 380};

    // A menu item by its name ("Apri", "Cinquanta", "TexteOuvert_2"), a
    // separator by its ("Sep13"), a menu by its ("File", "IndiciMenu"), a
    // toolbar button by its key ("Home", "Avvio"). The names are checked
    // when the program is compiled (see frame_names.h): none is ever null.
    QAction *item(ItemName name) const { return m_items[size_t(name.index())]; }
    QMenu *menu(MenuName name) const { return m_menus[size_t(name.index())]; }
    QAction *button(ButtonName key) const { return m_buttons[size_t(key.index())]; }
    // Entry i (0-3) of the last-used titles of the File menu.
    QAction *lastUsedEntry(int i) const;
    QToolBar *Toolbar() const { return m_toolbar; }
    QTimer *Timer1() const { return m_timer; }

    // The toolbar keys, in toolbar order.
    static const QStringList &toolbarKeys();
    // The menu item (or a menu's own action) that gives the same command as
    // a toolbar button; null for the panel buttons and the buttons that
    // have none. The two are enabled together, and checked together when
    // both can be.
    QAction *twinOf(ButtonName key) const;
    // The menu that a right click shows: the Edit menu's commands but the
    // deletion of a bookmark, with the help items that only it holds.
    QMenu *contextMenu() const { return menu("MenuContestuale"); }

    // Captions of menus and tooltips of buttons from the interface strings
    // of group MENU: a tooltip is the text followed by its shortcut hint.
    void applyInterfaceStrings(const config::InterfaceStrings &strings);
    // Checks the zoom entry of that percentage and clears the others; none
    // is checked for a percentage that has no entry.
    void checkZoom(int percent);
    // The kept texts of the index button: MENU 32 + " (F10)" and MENU 38.
    QString indexButtonRandomTip() const { return m_indexRandomTip; }
    QString indexButtonMenuTip() const { return m_indexMenuTip; }

signals:
    // The frame is closing (the window's close button, Alt+F4, Esci); a
    // receiver that sets *cancel keeps it open.
    void closing(bool *cancel);
    // A menu item or a toolbar button was chosen; the name is the item's
    // name or the button's key.
    void menuItemTriggered(const QString &name);
    void toolbarButtonClicked(const QString &key);
    // A folder was dropped on the window (an edition to import).
    void folderDropped(const QString &folder);

protected:
    void closeEvent(QCloseEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private:
    QMenu *addMenu(QMenu *parent, MenuName name, const QString &caption);
    QAction *addItem(QMenu *menu, ItemName name, const QString &caption, const QKeySequence &shortcut = {});
    void addSeparator(QMenu *menu, ItemName name);
    void buildMenus();
    void buildContextMenu();
    void buildToolbar();
    void linkTwins();

    std::array<QAction *, ItemName::count> m_items{};
    std::array<QMenu *, MenuName::count> m_menus{};
    std::array<QAction *, ButtonName::count> m_buttons{};
    QToolBar *m_toolbar = nullptr;
    QTimer *m_timer = nullptr;
    QString m_indexRandomTip;
    QString m_indexMenuTip;
};

} // namespace folium::forms
