// What the status bar tells a reader beside what the commands put there:
// where the link under the pointer leads (for as long as the pointer is on
// it; the message it covered comes back), and how many search hits the
// page shown holds (at the right, apart from the messages).
#pragma once

#include <QObject>
#include <QString>

class QLabel;

namespace folium::forms {
struct Windows;
}

namespace folium::reader {

class StatusLine : public QObject {
    Q_OBJECT
public:
    explicit StatusLine(forms::Windows &w, QObject *parent = nullptr);

    // The texts again, after the interface language changed.
    void refresh();
    QLabel *hitsLabel() const { return m_hits; }
    // What the link under the pointer leads to, as the status bar says it;
    // empty when it leads nowhere that can be named.
    QString targetText(int type, const QString &target) const;

private:
    void hovered(int type, const QString &target);
    void countHits();

    forms::Windows &m_w;
    QLabel *m_hits;
    QString m_covered; // the message the link's target covers
    bool m_onLink = false;
};

} // namespace folium::reader
