// A request from outside to end the program (SIGTERM from a session that
// closes or from kill, SIGINT from a terminal) is a close like the reader's
// own: the window is asked to close, with the questions a close asks, and
// the program ends only if it did. A close the reader cancels keeps the
// program running, and a later request asks again.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace folium::app {

class TerminationRequests : public QObject {
    Q_OBJECT
public:
    // closeWindow asks the window to close and says whether it closed;
    // quit ends the event loop. One watcher per program.
    TerminationRequests(std::function<bool()> closeWindow, std::function<void()> quit, QObject *parent = nullptr);
    ~TerminationRequests() override;

    // Whether the signal handlers are in place.
    bool isWatching() const { return m_notifier != nullptr; }

private:
    void requested();

    std::function<bool()> m_closeWindow;
    std::function<void()> m_quit;
    QSocketNotifier *m_notifier = nullptr;
    bool m_asking = false;
};

// When the program must end on an error it cannot go on from (memory runs
// out, an exception no one catches, a fatal message), what the reader has
// not saved is saved first: save() is called once, with memory set aside at
// start given back for it. Installed once, by main().
void saveBeforeAFatalEnd(std::function<void()> save);

} // namespace folium::app
