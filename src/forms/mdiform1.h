// MDIForm1: the main frame, with the menus, the toolbar, the status bar and
// the one-second timer. It holds controls only; what the commands do lives
// in the subsystems that own them.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QString>

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

    // A menu item by its name ("Apri", "Cinquanta", "TexteOuvert_2"), a
    // separator by its ("Sep13"), a menu by its ("File", "IndiciMenu").
    QAction *item(const QString &name) const { return m_items.value(name); }
    QMenu *menu(const QString &name) const { return m_menus.value(name); }
    // A toolbar button by its key ("Home", "Avvio", ...).
    QAction *button(const QString &key) const { return m_buttons.value(key); }
    QToolBar *Toolbar() const { return m_toolbar; }
    QTimer *Timer1() const { return m_timer; }

    // The toolbar keys, in toolbar order.
    static const QStringList &toolbarKeys();
    // The menu item (or a menu's own action) that gives the same command as
    // a toolbar button; null for the panel buttons and the buttons that
    // have none. The two are enabled together, and checked together when
    // both can be.
    QAction *twinOf(const QString &buttonKey) const;

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

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    QMenu *addMenu(QMenu *parent, const QString &name, const QString &caption);
    QAction *addItem(QMenu *menu, const QString &name, const QString &caption, const QKeySequence &shortcut = {});
    void addSeparator(QMenu *menu, const QString &name);
    void buildMenus();
    void buildToolbar();
    void linkTwins();

    QHash<QString, QAction *> m_items;
    QHash<QString, QMenu *> m_menus;
    QHash<QString, QAction *> m_buttons;
    QToolBar *m_toolbar = nullptr;
    QTimer *m_timer = nullptr;
    QString m_indexRandomTip;
    QString m_indexMenuTip;
};

} // namespace folium::forms
