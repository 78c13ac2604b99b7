// The help window: the help file of the interface language, a small title
// of our own, shown in an engine pane of its own window, with the pages
// seen kept for going back and forward as in a browser.
#pragma once

#include <QMainWindow>

#include <vector>

class QAction;
class QToolBar;

namespace folium::config {
class InterfaceStrings;
}

namespace folium::engine {
class TopicView;
}

namespace folium::app {

class HelpWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // HelpCommand 1 shows the topic of HelpContext; any other command shows
    // the help file as it stands (its home topic the first time).
    int HelpCommand = 0;
    QString HelpContext;
    QString HelpFile;
    // Shows the window; false, with the reason in error(), when the help
    // file cannot be opened or lacks the context.
    bool ShowHelp();
    QString error() const { return m_error; }

    // The buttons, the toolbar and the panes named in the interface language.
    void applyInterfaceStrings(const config::InterfaceStrings &strings);

    // The page seen before, and back again.
    void back();
    void forward();
    void contents();

    engine::TopicView *pane() const { return m_pane; }
    QAction *backAction() const { return m_back; }
    QAction *forwardAction() const { return m_forward; }
    QAction *contentsAction() const { return m_contents; }
    QToolBar *toolbar() const { return m_bar; }

private:
    void pageShown(int topic);
    void showPageOfHistory(size_t at);
    void updateButtons();

    engine::TopicView *m_pane;
    QToolBar *m_bar;
    QAction *m_contents;
    QAction *m_back;
    QAction *m_forward;
    std::vector<int> m_seen; // topics in the order they were shown
    size_t m_at = 0;         // the one shown
    bool m_walking = false;  // a page shown by back or forward is not a new one
    QString m_error;
};

} // namespace folium::app
