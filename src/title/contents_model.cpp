#include "contents_model.h"

#include "dao.h"
#include "item_roles.h"

#include <QSet>

namespace folium::title {

struct ContentsModel::Node {
    Node *parent = nullptr;
    int row = 0;
    qint64 ordine = 0, rowid = 0;
    QString key, title;
    bool folder = false;
    bool mayHaveChildren = false; // a later row names it as parent
    bool read = false;            // its children have been read
    bool expanded = false;
    std::vector<std::unique_ptr<Node>> children;
};

namespace {

// Indexes the compiler writes beside the table, for the queries below: a
// folder's children, a node by its key.
constexpr auto kIndexes = "CREATE INDEX %1ItemParente ON %2(rtrim(Parente), Ordine);"
                          "CREATE INDEX %1ItemChiave ON %2(rtrim(Chiave), Ordine);";

// The columns of a node: rowid, "Ordine", key, text, "tipo", and whether a
// row after it names it as parent. That last is a hint for the expander,
// made with one index seek: the folder's children, once read, decide. (The
// view asks it of every row of a folder it opens, so it is read with them.)
QString columns(const QString &table)
{
    return QStringLiteral("i.rowid, i.Ordine, rtrim(i.Chiave), i.Titolo, i.tipo, "
                          "EXISTS (SELECT 1 FROM %1 AS c WHERE rtrim(c.Parente) = rtrim(i.Chiave) "
                          "AND c.Ordine >= i.Ordine)")
        .arg(table);
}
// A row is a node only if no earlier row in reading order has its key: the
// first row of its key, found with one index seek.
QString firstOfItsKey(const QString &table)
{
    return QStringLiteral("(SELECT j.rowid FROM %1 AS j WHERE rtrim(j.Chiave) = rtrim(i.Chiave) "
                          "ORDER BY j.Ordine, j.rowid LIMIT 1) = i.rowid")
        .arg(table);
}

} // namespace

ContentsModel::ContentsModel(QObject *parent) : QAbstractItemModel(parent), m_root(std::make_unique<Node>())
{
    m_root->read = true;
}

ContentsModel::~ContentsModel() = default;

void ContentsModel::clear()
{
    beginResetModel();
    m_children.reset();
    m_byKeyQuery.reset();
    m_count.reset();
    m_nth.reset();
    m_db.reset();
    m_cut = false;
    m_byKey.clear();
    m_root = std::make_unique<Node>();
    m_root->read = true;
    endResetModel();
}

namespace {

// Whether the database has the compiler's three indexes, exactly as it
// writes them: an index of the same name on something else (or on a part
// of the rows) would leave the queries walking the whole table for each row.
bool hasTheCompilersIndexes(db::Database &database)
{
    int err = 0;
    auto q = database.prepare(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND "
                                             "tbl_name = 'Item' AND name IN ('Ordine', 'ItemParente', 'ItemChiave')"),
                              &err);
    if (!q)
        return false;
    const QHash<QString, QString> expected{
        {QStringLiteral("Ordine"), QStringLiteral("CREATE INDEX Ordine ON Item(Ordine)")},
        {QStringLiteral("ItemParente"), QStringLiteral("CREATE INDEX ItemParente ON Item(rtrim(Parente), Ordine)")},
        {QStringLiteral("ItemChiave"), QStringLiteral("CREATE INDEX ItemChiave ON Item(rtrim(Chiave), Ordine)")}};
    int matching = 0;
    while (q->next())
        if (expected.value(q->text(0)) == q->text(1).simplified())
            ++matching;
    return q->error() == 0 && matching == 3;
}

} // namespace

ContentsModel::Load ContentsModel::load(std::shared_ptr<db::Database> database)
{
    clear();
    if (!database)
        return Load::Failed;
    // A table without the compiler's indexes (one written by another tool,
    // or by hand) is copied once into a temporary one that has them, so
    // that no query ever walks the whole table per row. A table too big to
    // copy in a moment is copied in part.
    QString table = QStringLiteral("Item");
    if (!hasTheCompilersIndexes(*database)) {
        table = QStringLiteral("temp.ContentsCopy");
        const QString script =
            QStringLiteral("DROP TABLE IF EXISTS temp.ContentsCopy;"
                           "CREATE TEMP TABLE ContentsCopy(Ordine, Chiave, Titolo, Parente, tipo);"
                           "INSERT INTO temp.ContentsCopy SELECT Ordine, Chiave, Titolo, Parente, tipo "
                           "FROM main.Item ORDER BY rowid LIMIT %1;"
                           "CREATE INDEX temp.CopyOrdine ON ContentsCopy(Ordine);")
                .arg(kMaxCopiedRows) +
            QString::fromLatin1(kIndexes).arg(QStringLiteral("temp.Copy"), QStringLiteral("ContentsCopy"));
        if (database->execScript(script) != 0)
            return Load::Failed;
        int err = 0;
        if (auto more = database->prepare(
                QStringLiteral("SELECT 1 FROM main.Item ORDER BY rowid LIMIT 1 OFFSET %1").arg(kMaxCopiedRows), &err);
            more && more->next())
            m_cut = true;
    }
    int err = 0;
    auto top = database->prepare(QStringLiteral("SELECT %1 FROM %2 AS i WHERE i.Ordine = 0 AND %3 "
                                                "ORDER BY i.Ordine, i.rowid LIMIT %4")
                                     .arg(columns(table), table, firstOfItsKey(table))
                                     .arg(kMaxFolderRows + 1),
                                 &err);
    m_children =
        database->prepare(QStringLiteral("SELECT %1 FROM %2 AS i WHERE rtrim(i.Parente) = ?1 AND i.Ordine <> 0 "
                                         "AND (i.Ordine > ?2 OR (i.Ordine = ?2 AND i.rowid > ?3)) AND %3 "
                                         "ORDER BY i.Ordine, i.rowid LIMIT %4")
                              .arg(columns(table), table, firstOfItsKey(table))
                              .arg(kMaxFolderRows + 1),
                          &err);
    m_byKeyQuery = database->prepare(QStringLiteral("SELECT i.Ordine, rtrim(i.Parente) FROM %1 AS i "
                                                    "WHERE rtrim(i.Chiave) = ?1 ORDER BY i.Ordine, i.rowid LIMIT 1")
                                         .arg(table),
                                     &err);
    m_count = database->prepare(QStringLiteral("SELECT count(*) FROM %1").arg(table), &err);
    m_nth = database->prepare(
        QStringLiteral("SELECT rtrim(Chiave) FROM %1 ORDER BY Ordine, rowid LIMIT 1 OFFSET ?1").arg(table), &err);
    if (!top || !m_children || !m_byKeyQuery || !m_count || !m_nth) {
        clear();
        return Load::Failed;
    }
    m_db = std::move(database);
    std::vector<std::unique_ptr<Node>> nodes;
    while (top->next()) {
        if (nodes.size() >= size_t(kMaxFolderRows)) {
            m_cut = true;
            break;
        }
        if (Node *n = makeNode(m_root.get(), *top)) {
            n->folder = true; // a top-level node has the folder's images
            n->row = int(nodes.size());
            nodes.emplace_back(n);
        }
    }
    if (!nodes.empty()) {
        beginInsertRows({}, 0, int(nodes.size()) - 1);
        m_root->children = std::move(nodes);
        endInsertRows();
    }
    if (top->error() != 0) {
        clear();
        return Load::Failed;
    }
    return m_cut ? Load::Cut : Load::Whole;
}

ContentsModel::Node *ContentsModel::makeNode(Node *parent, const db::Query &q)
{
    const QString key = q.text(2);
    if (m_byKey.contains(key))
        return nullptr;
    auto *n = new Node;
    n->parent = parent;
    n->rowid = q.integer(0);
    n->ordine = q.integer(1);
    n->key = key;
    n->title = q.text(3);
    n->folder = q.text(4) == u"f";
    n->mayHaveChildren = q.integer(5) != 0;
    m_byKey.insert(key, n);
    return n;
}

void ContentsModel::readChildren(Node *node)
{
    if (node->read || !m_children)
        return;
    node->read = true;
    std::vector<std::unique_ptr<Node>> found;
    m_byKey.reserve(m_byKey.size() + 64);
    m_children->reset();
    m_children->bind(1, node->key);
    m_children->bind(2, node->ordine);
    m_children->bind(3, node->rowid);
    while (m_children->next()) {
        if (found.size() >= size_t(kMaxFolderRows)) {
            // A folder holds at most what a reader can scroll through.
            if (!m_cut) {
                m_cut = true;
                emit contentsCut();
            }
            break;
        }
        if (Node *n = makeNode(node, *m_children)) {
            n->row = int(found.size());
            found.emplace_back(n);
        }
    }
    m_children->reset();
    if (found.empty()) {
        // The folder turns out empty: its expander goes.
        if (node != m_root.get()) {
            const QModelIndex i = indexOf(node);
            emit dataChanged(i, i);
        }
        return;
    }
    beginInsertRows(indexOf(node), 0, int(found.size()) - 1);
    node->children = std::move(found);
    endInsertRows();
}

QModelIndex ContentsModel::indexOfKey(const QString &key)
{
    if (!m_byKeyQuery)
        return {};
    // Up the parents to a node already read, then down again reading each
    // folder on the way.
    QStringList chain;
    QSet<QString> seen;
    QString k = key;
    while (!m_byKey.contains(k)) {
        if (seen.contains(k) || seen.size() >= kMaxDepth)
            return {}; // parents that name each other, or a chain no reader would open
        seen.insert(k);
        m_byKeyQuery->reset();
        m_byKeyQuery->bind(1, k);
        const bool found = m_byKeyQuery->next();
        const qint64 ordine = found ? m_byKeyQuery->integer(0) : 0;
        const QString parent = found ? m_byKeyQuery->text(1) : QString();
        m_byKeyQuery->reset();
        if (!found || ordine == 0)
            return {}; // no such row, or a top-level row that is not a node
        chain.prepend(k);
        k = parent;
    }
    for (const QString &next : std::as_const(chain)) {
        readChildren(m_byKey.value(k));
        if (!m_byKey.contains(next))
            return {};
        k = next;
    }
    return indexOf(m_byKey.value(key));
}

qint64 ContentsModel::rowCountInTable()
{
    if (!m_count)
        return 0;
    m_count->reset();
    const qint64 n = m_count->next() ? m_count->integer(0) : 0;
    m_count->reset();
    return n;
}

QModelIndex ContentsModel::indexOfRow(qint64 n)
{
    if (!m_nth)
        return {};
    m_nth->reset();
    m_nth->bind(1, n);
    const QString key = m_nth->next() ? m_nth->text(0) : QString();
    m_nth->reset();
    return key.isNull() ? QModelIndex() : indexOfKey(key);
}

void ContentsModel::setExpanded(const QModelIndex &index, bool expanded)
{
    Node *n = nodeOf(index);
    if (!n || n == m_root.get())
        return;
    if (expanded)
        readChildren(n);
    if (n->expanded != expanded) {
        n->expanded = expanded;
        emit dataChanged(index, index, {Qt::DecorationRole});
    }
}

ContentsModel::Node *ContentsModel::nodeOf(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<Node *>(index.internalPointer()) : m_root.get();
}

QModelIndex ContentsModel::indexOf(const Node *node) const
{
    return !node || node == m_root.get() ? QModelIndex() : createIndex(node->row, 0, node);
}

QModelIndex ContentsModel::index(int row, int column, const QModelIndex &parent) const
{
    const Node *p = nodeOf(parent);
    if (column != 0 || row < 0 || row >= int(p->children.size()))
        return {};
    return createIndex(row, 0, p->children[size_t(row)].get());
}

QModelIndex ContentsModel::parent(const QModelIndex &child) const
{
    const Node *n = child.isValid() ? nodeOf(child) : nullptr;
    return n ? indexOf(n->parent) : QModelIndex();
}

int ContentsModel::rowCount(const QModelIndex &parent) const
{
    return parent.column() > 0 ? 0 : int(nodeOf(parent)->children.size());
}

int ContentsModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant ContentsModel::data(const QModelIndex &index, int role) const
{
    const Node *n = index.isValid() ? nodeOf(index) : nullptr;
    if (!n)
        return {};
    switch (role) {
    case Qt::DisplayRole: return n->title;
    case Qt::DecorationRole: return m_icons ? QVariant(m_icons(!n->folder ? 4 : n->expanded ? 6 : 5)) : QVariant();
    case forms::TagRole: return n->key;
    case forms::ImageRole: return n->folder ? 5 : 4;
    default: return {};
    }
}

bool ContentsModel::hasChildren(const QModelIndex &parent) const
{
    const Node *n = nodeOf(parent);
    return n->read ? !n->children.empty() : n->mayHaveChildren;
}

bool ContentsModel::canFetchMore(const QModelIndex &parent) const
{
    const Node *n = nodeOf(parent);
    return !n->read && n->mayHaveChildren;
}

void ContentsModel::fetchMore(const QModelIndex &parent)
{
    readChildren(nodeOf(parent));
}

} // namespace folium::title
