// Form3: the small window that says a title is loading.
#pragma once

#include <QWidget>

class QLabel;

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

private:
    QLabel *m_text;
    bool m_splash = false;
};

} // namespace folium::forms
