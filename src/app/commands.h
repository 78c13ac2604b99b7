// The command dispatch: every menu item, toolbar button and key of the
// reader window reaches its command here.
#pragma once

#include "frame_names.h"

#include <QList>
#include <QObject>
#include <QString>

class QMenu;

namespace folium::title {
class ContentsTree;
}

namespace folium::app {

class Program;

class Commands : public QObject {
    Q_OBJECT
public:
    Commands(Program &program, title::ContentsTree *tree, QObject *parent = nullptr);

    // A menu item chosen, by its name ("Apri", "TexteOuvert_2", ...).
    void menuItem(const QString &name);
    // A toolbar button clicked, by its key.
    void Toolbar_ButtonClick(const QString &key);
    // The reader window's key handler; handled keys are swallowed.
    void Form_KeyDown(int key, int shift, bool *handled);
    void Form_KeyUp(int key, int shift);

    // The Edit menu as a context menu, with the help items that only it
    // shows, for the control that was right-clicked.
    void AfficheContextMenu(QWidget *source);

    // Shift with Down, Up, Page Down or Page Up scrolls the main pane's text
    // from wherever the focus is.
    void SendShiftKeyToTopic(int key);

    // The help page (a context of the help file) about a control.
    static QString helpContextOf(const QWidget *w);

    // The menu that last dropped down under a toolbar button (for tests,
    // which cannot wait inside a modal menu).
    QMenu *lastPopup() const { return m_lastPopup; }
    // Tests replace the modal menu loop by a function that gets the menu
    // and where it would show.
    std::function<void(QMenu *, const QPoint &)> popupMenu;

private:
    // A key pressed in the reader window.
    struct KeyPress {
        int key, shift;
        bool ctrl;
        const QWidget *focus;
    };
    void modifierFlags(int key, int shift);
    bool shiftScrolls(int key, int shift);
    bool escapeKey(int key);
    bool searchDomainKey(int key, int shift);
    bool readerKey(const KeyPress &k);
    bool buttonEnabled(forms::ButtonName key) const;
    bool resultStepKey(const KeyPress &k);
    bool enterKey(const KeyPress &k);
    bool searchKey(const KeyPress &k);
    bool resultsKey(const KeyPress &k);
    bool historyKey(const KeyPress &k);
    bool bookmarksKey(const KeyPress &k);
    bool contentsKey(const KeyPress &k);
    bool noteStepKey(const KeyPress &k);
    bool noteKey(const KeyPress &k);
    bool randomKey(const KeyPress &k);
    bool bookmarkCommand(const QString &name);
    void popupUnder(forms::ButtonName key, QMenu *menu);
    void popup(QMenu *menu, const QPoint &at);
    void GuidaRapida();
    void Cerca_parola();
    void Sommario();
    void Hasard();

    Program &m_p;
    QMenu *m_lastPopup = nullptr;
    QList<QWidget *> m_menuSources; // parts that show the shared menu

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace folium::app
