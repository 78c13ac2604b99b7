// The help window: the help file of the interface language, a small title
// of our own, shown in an engine pane of its own window.
#pragma once

#include <QWidget>

namespace folium::engine {
class TopicView;
}

namespace folium::app {

class HelpWindow : public QWidget {
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

    engine::TopicView *pane() const { return m_pane; }

private:
    engine::TopicView *m_pane;
    QString m_error;
};

} // namespace folium::app
