// Form3: the small window that says a title is loading; the notices Form5
// (a bookmark added) and Form6 (the first or last hit reached) are windows
// of the same kind. On top, centred, they never take the focus or a key.
#pragma once

#include <QWidget>

class QLabel;
class QTimer;

namespace folium::forms {

class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(QWidget *parent = nullptr);
    void setText(const QString &text);
    QString text() const;
    bool ShowAsSplash() const { return m_splash; }
    void setShowAsSplash(bool on) { m_splash = on; }
    // Shows the window centred on the screen, above the others, at once.
    void showCentred();
    // Closes the window after `ticks` more ticks of its own one-second
    // timer (0: at the first tick).
    void CloseAfter(int ticks);

private:
    QLabel *m_text;
    QTimer *m_tmr;
    int m_ticks = 0;
    int m_limit = 0;
    bool m_splash = false;
};

} // namespace folium::forms
