// The events the history and bookmark lists share: a click or Enter
// chooses the current row, a key released puts its text on the status bar,
// and a right click shows the context menu without moving the selection.
#pragma once

#include <QObject>

#include <functional>

class QTreeView;
class QWidget;

namespace folium::forms {

struct ReaderState;
struct Windows;

class ListEvents : public QObject {
    Q_OBJECT
public:
    ListEvents(Windows &w, ReaderState &r, QTreeView *list, std::function<void()> onClick,
               std::function<void()> onEnter, QObject *parent = nullptr);

signals:
    void contextMenuRequested(QWidget *source);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setCurrentRow(int row);

    Windows &m_w;
    ReaderState &m_r;
    QTreeView *m_list;
    std::function<void()> m_onClick;
    std::function<void()> m_onEnter;
};

} // namespace folium::forms
