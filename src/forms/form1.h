// Form1: the reader window inside the main frame. It holds the three panes
// of the title engine (Fl_main, the notes pane Fl_sec, the popup pane Med2),
// the side pane with its five panels and its title, and the two splitters.
#pragma once

#include "item_roles.h"
#include "title_file.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSplitter;
class QStackedWidget;
class QToolButton;
class QTreeView;

namespace folium::engine {
class TopicView;
}

namespace folium::config {
class InterfaceStrings;
}

namespace folium::forms {

struct ReaderState;

// The side pane's panels.
// None: the flags were cleared while a title is set up; the pane keeps
// whatever it showed.
enum class Panel { Search, Results, History, Bookmarks, Contents, None };

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);

    engine::TopicView *Fl_main;
    engine::TopicView *Fl_sec;
    engine::TopicView *Med2;
    QWidget *Text_gauche; // the side pane
    QWidget *Text_droit;  // the reading panes
    QLabel *Titre_Splitgauche;
    QStackedWidget *panels;
    QSplitter *Splitter1; // side pane | reading panes
    QSplitter *Splitter2; // main pane over the notes pane
    QWidget *Text_notes;
    QWidget *NotesFrames;
    QLabel *NotesTitre;
    QToolButton *NotesFermer;

    // The search panel.
    QWidget *Frame_cerca;
    QGroupBox *Frame_perparole;
    QComboBox *Combo_perparole;
    QCheckBox *Check1;
    QLineEdit *TextNear;
    QGroupBox *Frame_dominio;
    QRadioButton *Option_tutto;
    QRadioButton *Option_argomento;
    QRadioButton *Option_sottoinsieme;
    QListWidget *Combo_sottoinsieme; // the subsets: a list of several choices
    QGroupBox *FramePerData;
    QDateEdit *DatePicker;
    QCheckBox *CheckCalendrier;
    QGroupBox *FramePerLettera;
    QComboBox *ComboPerLettera;

    // The other four panels.
    QTreeView *List_risultati; // a view over the search's results model
    QTreeView *List_cronologia;
    QTreeView *List_bookmark;
    QTreeView *TreeSommario;

    Panel shownPanel() const { return m_shown; }
    bool isShown(Panel p) const { return m_shown == p; }
    QWidget *panelWidget(Panel p) const;
    void setShownPanel(Panel p);

    // The icon of an item from its image number: the contents tree's 4, 5
    // and 6 (leaf, closed and open folder) and the lists' 1, 2, 3, 7, 8
    // and 10 (topic, chapter, home page, note, letter, index). One icon per
    // number, shared.
    static QIcon image(int number);
    // The icon number of a kind of topic in the lists (history, bookmarks,
    // results).
    static int imageOf(engine::TopicKind kind);

    // The rows of the results list (0 before any search).
    int resultCount() const;

    // A frame of the search panel is made active or inactive as a search
    // field gains the focus. Only its caption dims: the fields it frames
    // stay within reach of a click or Tab (they stand beside the frame, not
    // inside it, as far as being enabled goes).
    static void setFrameActive(QGroupBox *frame, bool active);
    static bool isFrameActive(const QGroupBox *frame);

    // Captions and accessible names of the search panel, the notes strip
    // and the lists from the interface strings; the panel title of the
    // panel shown.
    void applyInterfaceStrings(const config::InterfaceStrings &strings);

    // Before leaving a topic: the history row of the topic shown records its
    // address and scroll position (the first row when every topic is added).
    void rememberPlace(ReaderState &r);

    // The width of the side pane, kept from one run to the next. A width
    // under kMinSidePane (a pane that was never laid out, a damaged option)
    // is never kept: kDefaultSidePane stands for it.
    static constexpr int kMinSidePane = 10;
    static constexpr int kDefaultSidePane = 360;
    // The text keeps at least this width when the window narrows: the side
    // pane yields first, and takes its width back when the window widens.
    static constexpr int kMinReadingWidth = 280;
    // The width the reader gave the side pane (kept from one run to the
    // next), whatever a narrow window lets it have for now.
    int splitterPosition() const;
    void setSplitterPosition(int pixels);
    // The notes pane's place for a window this high: a fifth of the height
    // above 30 pixels, plus 30 pixels (all of it under 30). Applied when the
    // window is resized and when the notes pane opens; a drag of the
    // divider holds until then.
    static int notesDividerFor(int height);
    void placeNotesDivider();

signals:
    // The panel shown changed, or the side pane showed or hid.
    void shownPanelChanged();
    // Keys reach the reader window before its controls (its key preview).
    void keyDown(int key, int shift, bool *handled);
    void keyUp(int key, int shift);
    // A divider was dropped in a new place (the focus goes back where it
    // belongs).
    void dividerDropped();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildSearchPanel();
    void dividerMoved(QSplitter *splitter);
    // The side pane at the width wanted, or narrower while the window
    // leaves the text less than kMinReadingWidth.
    void fitSidePane();
    Panel m_shown = Panel::Search;
    int m_pendingSplit = -1; // a width for the side pane once it shows
    int m_sideWanted = -1;   // the width the reader gave it
    int m_sideYielded = -1;  // the narrower width a narrow window left it
};

// The modifier keys of a key or mouse event as the handlers take them: the
// sum of 1 for Shift, 2 for Ctrl and 4 for Alt.
int shiftState(Qt::KeyboardModifiers m);

} // namespace folium::forms
