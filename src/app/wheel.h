// The mouse wheel over the reading window, routed as a reader expects: over
// the topic, or anywhere while the search panel is shown, the wheel scrolls
// the topic (the notes when the pointer is over the open notes pane) by the
// lines of the option "Scroll" per notch, whatever widget is under the
// pointer; partial turns (touchpads, fine wheels) add up to notches.
// Elsewhere the widget under the pointer scrolls itself. A double click in
// the contents tree never reaches the tree: a click already toggles a node.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace folium::app {

class Program;

class WheelRouter : public QObject {
    Q_OBJECT
public:
    explicit WheelRouter(Program &program, QObject *parent = nullptr);
    ~WheelRouter() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool wheel(QObject *watched, QEvent *event);
    Program &m_p;
    int m_accumulated = 0;              // wheel units not yet turned into notches
    const QEvent *m_passedOn = nullptr; // a wheel event left to the widgets
    QPointer<QWidget> m_passedTo;       // and the widget it was first sent to
    bool m_swallowRelease = false;      // the release after a double click in the tree
};

} // namespace folium::app
