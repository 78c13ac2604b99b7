// The popup window of a pane: a topic shown over the reading pane, closed by
// Esc, by a click outside it, or by PopupTopic(-1). It is a window of the
// program's like any other (not a menu-like popup, which screen readers are
// not shown): it takes the keyboard focus while it shows, so that its text is
// read, and a press of the mouse anywhere else closes it.
#pragma once

#include <QFrame>

namespace folium::engine {

class RegionView;
class TopicView;

class PopupWindow : public QFrame {
    Q_OBJECT
public:
    PopupWindow(TopicView *owner, int topicIndex, const QString &html, const QColor &background, int zoom,
                const QFont &font);
    int topicIndex() const { return m_topic; }
    RegionView *region() const { return m_view; }
    void showNear(const QPoint &globalPos);

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    RegionView *m_view;
    int m_topic;
};

} // namespace folium::engine
