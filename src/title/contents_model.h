// The contents tree's model: table "Item" of the title database read folder
// by folder as the reader opens them, so that a title opens at once whatever
// the size of its contents and only the folders opened are held in memory.
#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>

#include <functional>

#include <memory>
#include <vector>

namespace folium::db {
class Database;
class Query;
} // namespace folium::db

namespace folium::title {

// The tree the table describes, in reading order ("Ordine", then the order
// the rows were written): every row whose "Ordine" is 0 is a top-level node,
// every other row a child of the node whose key is its "Parente". A row
// that comes before its parent in reading order, or whose key an earlier row
// already has, is not a node. Keys and parent keys are compared without
// their trailing blanks.
class ContentsModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit ContentsModel(QObject *parent = nullptr);
    ~ContentsModel() override;

    // What a folder holds at most, how deep a node is looked for, and how
    // many rows of a table without the compiler's indexes are read: beyond
    // them, a damaged or hostile table would make the reader wait without
    // end.
    static constexpr int kMaxFolderRows = 100000;
    static constexpr int kMaxDepth = 256;
    static constexpr int kMaxCopiedRows = 500000;

    // Shows the tree of the database's table "Item": its top-level nodes
    // and their children. Failed when the table cannot be read (the model
    // is then empty), Cut when part of it is left out by the limits above.
    enum class Load { Whole, Cut, Failed };
    Load load(std::shared_ptr<db::Database> database);
    void clear();

    // The node with that key, reading the folders on the way to it when
    // they have not been opened yet; invalid when no node has that key.
    QModelIndex indexOfKey(const QString &key);
    // The number of rows of the table, and the node of row n in reading
    // order (0 ≤ n < rowCountInTable()); invalid when that row is not a node.
    qint64 rowCountInTable();
    QModelIndex indexOfRow(qint64 n);
    // How many nodes are held: those of the folders read so far.
    qsizetype nodesHeld() const { return m_byKey.size(); }

    // The view's expanded state, for the open-folder image.
    void setExpanded(const QModelIndex &index, bool expanded);
    // The icons of the nodes, by image number (4 leaf, 5 closed folder,
    // 6 open folder), from the windows that show the tree.
    void setIcons(std::function<QIcon(int image)> icons) { m_icons = std::move(icons); }

signals:
    // A folder opened after the load turned out larger than a folder may
    // be: part of it is not shown (said once per load).
    void contentsCut();

public:
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    struct Node;
    Node *nodeOf(const QModelIndex &index) const;
    QModelIndex indexOf(const Node *node) const;
    // Reads the children of a node not read yet.
    void readChildren(Node *node);
    Node *makeNode(Node *parent, const db::Query &q);

    std::shared_ptr<db::Database> m_db;
    std::unique_ptr<Node> m_root;
    QHash<QString, Node *> m_byKey;
    std::unique_ptr<db::Query> m_children, m_byKeyQuery, m_count, m_nth;
    bool m_cut = false;
    std::function<QIcon(int)> m_icons;
};

} // namespace folium::title
