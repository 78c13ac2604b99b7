// The contents tree: built from table "Item" of the title database, shown as
// a panel of the side pane, and turned into jumps in the main pane.
#pragma once

#include <QModelIndex>
#include <QObject>
#include <QString>

namespace folium::forms {
struct ReaderState;
struct TitleState;
struct Windows;
} // namespace folium::forms

namespace folium::title {

class ContentsModel;
using forms::ReaderState;
using forms::TitleState;
using forms::Windows;

// Fills TreeSommario. False when the database cannot be opened and the user
// cancels the dialog that asks for it: the program must end.
bool LetturaSommario(Windows &w, TitleState &t);

// The node key of the topic shown: its TopicData up to the first ".",
// with "D" in front in a title with date search.
QString nodeKeyForTopic(const QString &topicData, bool dateSearch);
// The node with that key, its folders read if need be; invalid if none.
QModelIndex findNode(Windows &w, const QString &key);
// Makes the node the tree's current one, its folders opened and the node
// scrolled into view; its own folder is opened too when `open` is set.
void selectNode(Windows &w, const QModelIndex &node, bool open);
// The tree's model, made and set on the tree the first time it is asked for.
ContentsModel *contentsModel(Windows &w);

// Shows the tree as the side pane's panel with the shown topic selected.
void Sommario(Windows &w, TitleState &t);

// The tree's events: a click or Enter jumps to the node's topic, Shift with
// an arrow scrolls the topic, a right click keeps the selection.
class ContentsTree : public QObject {
    Q_OBJECT
public:
    ContentsTree(Windows &w, TitleState &t, ReaderState &r, QObject *parent = nullptr);

    void TreeSommario_Click();
    void TreeSommario_KeyPress(int keyAscii);

signals:
    // Shift+Down, Up, Page Down or Page Up pressed in the tree.
    void scrollTopic(int key);
    // The right button was pressed on the tree: the shared context menu.
    void contextMenuRequested(QWidget *source);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Windows &m_w;
    TitleState &m_t;
    ReaderState &m_r;
    const QObject *m_treeObject = nullptr;
    const QObject *m_viewportObject = nullptr;
};

} // namespace folium::title
