#include "dao.h"

#include "dao_detail.h"

#include <algorithm>
#include <chrono>

namespace folium::db {

using namespace detail;

Recordset::Recordset(std::shared_ptr<Database> db, QString table, QStringList columns)
    : m_db(std::move(db)), m_table(std::move(table)), m_columns(std::move(columns))
{
}

Recordset::~Recordset() = default;

int Recordset::reload(const QString &orderBy)
{
    m_db->startRequest();
    m_orderBy = orderBy;
    const qint64 keep = m_pos < qsizetype(m_rows.size()) ? m_rows[size_t(m_pos)] : -1;
    sqlite::Statement st(m_db->connection(),
                         QStringLiteral("SELECT rowid FROM %1 ORDER BY %2rowid")
                             .arg(quoted(m_table), orderBy.isEmpty() ? QString() : orderBy + QStringLiteral(", ")));
    if (!st.ok())
        return kErrNoTable;
    m_rows.clear();
    while (st.step())
        m_rows.push_back(st.integer(0));
    if (!st.succeeded())
        return writeError(st.rc());
    m_pos = 0;
    dropPage();
    for (size_t i = 0; keep >= 0 && i < m_rows.size(); ++i)
        if (m_rows[i] == keep)
            m_pos = qsizetype(i);
    m_currentRow = -1;
    return kOk;
}

int Recordset::setIndex(const QString &indexName)
{
    // SQLite's index names are unique in a database, where two tables may
    // each have an index "Ordine": such an index is stored as "Table.Ordine".
    sqlite::Statement owner(m_db->connection(), "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?2 "
                                                "AND (name = ?1 OR name = ?2 || '.' || ?1)");
    owner.bind(1, indexName);
    owner.bind(2, m_table);
    if (!owner.step())
        return kErrNoIndex;
    const QString stored = owner.text(0);
    QStringList keys;
    sqlite::Statement info(m_db->connection(), "SELECT name FROM pragma_index_info(?1) ORDER BY seqno");
    info.bind(1, stored);
    while (info.step())
        keys << quoted(info.text(0));
    if (keys.isEmpty())
        return kErrNoIndex;
    return reload(keys.join(QStringLiteral(", ")));
}

int Recordset::Sort(const QString &column)
{
    if (!m_columns.contains(column))
        return kErrNoField;
    return reload(quoted(column));
}

int Recordset::MoveFirst()
{
    m_pos = 0;
    m_currentDeleted = false;
    m_currentRow = -1;
    return m_rows.empty() ? kErrNoCurrentRecord : kOk;
}

int Recordset::MoveNext()
{
    if (Eof())
        return kErrNoCurrentRecord;
    if (!m_currentDeleted)
        ++m_pos;
    m_currentDeleted = false;
    m_currentRow = -1;
    return kOk;
}

bool Recordset::Eof() const
{
    return m_pos >= qsizetype(m_rows.size());
}

namespace {

constexpr int kPageRows = 64;

// How the database stood when a page was read: the changes made through
// this connection, and the data version, which moves when another
// connection commits. Asking the version starts a read transaction, which
// costs more than reading a row; it is asked when a page is read and when
// a page kept for a while is used again.
qint64 versionOf(const sqlite::Connection &db, sqlite::Statement &version)
{
    if (!version.ok())
        version = sqlite::Statement(db, "PRAGMA data_version", true);
    qint64 v = -1;
    if (version.step())
        v = version.integer(0);
    version.rewind();
    return v;
}

constexpr auto kPageTrustedFor = std::chrono::milliseconds(500);

} // namespace

void Recordset::readPage(qsizetype first) const
{
    m_db->startRequest();
    dropPage();
    const sqlite::Connection &db = m_db->connection();
    if (!db.isOpen())
        return;
    if (!m_pageStmt.ok()) {
        QStringList cols;
        for (const QString &c : m_columns)
            cols << quoted(c);
        QStringList params;
        for (int i = 1; i <= kPageRows; ++i)
            params << QStringLiteral("?%1").arg(i);
        m_pageStmt = sqlite::Statement(db,
                                       QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (%3)")
                                           .arg(cols.join(QStringLiteral(", ")), quoted(m_table), params.join(u',')),
                                       true);
        if (!m_pageStmt.ok())
            return;
    }
    const qsizetype n = std::min<qsizetype>(kPageRows, qsizetype(m_rows.size()) - first);
    // The page's rowids, sorted, to find each row's slot.
    std::vector<std::pair<qint64, qsizetype>> wanted;
    wanted.reserve(size_t(n));
    m_pageStmt.clearBindings(); // unused parameters match nothing
    for (qsizetype i = 0; i < n; ++i) {
        const qint64 row = m_rows[size_t(first + i)];
        m_pageStmt.bind(int(i) + 1, int64_t(row));
        wanted.emplace_back(row, i);
    }
    std::sort(wanted.begin(), wanted.end());
    m_pageRows.assign(size_t(n), -1);
    m_page.resize(size_t(n));
    const int columns = int(m_columns.size());
    while (m_pageStmt.step()) {
        const qint64 row = m_pageStmt.integer(0);
        auto it = std::lower_bound(wanted.begin(), wanted.end(), std::make_pair(row, qsizetype(0)));
        for (; it != wanted.end() && it->first == row; ++it) {
            std::vector<QVariant> &values = m_page[size_t(it->second)];
            values.resize(size_t(columns));
            for (int c = 0; c < columns; ++c)
                values[size_t(c)] = m_pageStmt.value(c + 1);
            m_pageRows[size_t(it->second)] = row;
        }
    }
    // Reset at once: a statement left open would hold a read transaction,
    // and keep this connection's own writes from committing.
    const bool complete = m_pageStmt.succeeded();
    m_pageStmt.rewind();
    if (!complete)
        return;
    m_pageFirst = first;
    m_pageChanges = db.totalChanges();
    m_pageVersion = versionOf(db, m_versionStmt);
    m_pageChecked = m_db->now();
}

void Recordset::loadCurrent() const
{
    const qint64 row = m_rows[size_t(m_pos)];
    if (row == m_currentRow)
        return;
    const bool inPage = m_pageFirst >= 0 && m_pos >= m_pageFirst &&
                        m_pos - m_pageFirst < qsizetype(m_pageRows.size()) &&
                        m_pageRows[size_t(m_pos - m_pageFirst)] == row;
    const sqlite::Connection &db = m_db->connection();
    bool fresh = inPage && db.isOpen() && db.totalChanges() == m_pageChanges;
    if (fresh) {
        const auto now = m_db->now();
        if (now - m_pageChecked > kPageTrustedFor) {
            fresh = versionOf(db, m_versionStmt) == m_pageVersion;
            m_pageChecked = now;
        }
    }
    if (!fresh)
        readPage(m_pos);
    const qsizetype slot = m_pos - m_pageFirst;
    if (m_pageFirst >= 0 && slot < qsizetype(m_pageRows.size()) && m_pageRows[size_t(slot)] == row)
        m_current = m_page[size_t(slot)];
    else
        m_current.assign(size_t(m_columns.size()), QVariant()); // the row is gone
    m_currentRow = row;
}

QVariant Recordset::Field(const QString &name, int *err) const
{
    const qsizetype column = m_columns.indexOf(name);
    if (column < 0) {
        setErr(err, kErrNoField);
        return {};
    }
    if (m_mode != Mode::None && m_buffer.count(name)) {
        setErr(err, kOk);
        return m_buffer.at(name);
    }
    if (m_mode == Mode::AddNew) {
        setErr(err, kOk);
        return {};
    }
    if (Eof() || m_currentDeleted) {
        setErr(err, kErrNoCurrentRecord);
        return {};
    }
    loadCurrent();
    setErr(err, kOk);
    return m_current[size_t(column)];
}

int Recordset::setField(const QString &name, const QVariant &value)
{
    if (!m_columns.contains(name))
        return kErrNoField;
    if (m_mode == Mode::None)
        return kErrUpdateWithoutEdit;
    m_buffer[name] = value;
    return kOk;
}

int Recordset::Edit()
{
    if (Eof() || m_currentDeleted)
        return kErrNoCurrentRecord;
    m_mode = Mode::Edit;
    m_buffer.clear();
    return kOk;
}

int Recordset::AddNew()
{
    m_mode = Mode::AddNew;
    m_buffer.clear();
    return kOk;
}

void Recordset::CancelUpdate()
{
    m_mode = Mode::None;
    m_buffer.clear();
}

int Recordset::Update()
{
    if (m_mode == Mode::None)
        return kErrUpdateWithoutEdit;
    QStringList cols;
    std::vector<QVariant> values;
    for (const auto &[name, value] : m_buffer) {
        cols << quoted(name);
        values.push_back(value);
    }
    QString sql;
    if (m_mode == Mode::Edit) {
        if (cols.isEmpty()) {
            CancelUpdate();
            return kOk;
        }
        QStringList sets;
        for (int i = 0; i < cols.size(); ++i)
            sets << cols[i] + QStringLiteral(" = ?%1").arg(i + 1);
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                  .arg(quoted(m_table), sets.join(QStringLiteral(", ")))
                  .arg(cols.size() + 1);
    } else if (cols.isEmpty()) {
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(m_table));
    } else {
        QStringList params;
        for (int i = 0; i < cols.size(); ++i)
            params << QStringLiteral("?%1").arg(i + 1);
        sql = QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                  .arg(quoted(m_table), cols.join(QStringLiteral(", ")), params.join(QStringLiteral(", ")));
    }
    // One statement, in its own transaction unless the database is in one
    // (BeginTrans): it is written whole or not at all. The statement is
    // kept for the next Update of the same columns: a list written row by
    // row prepares it once.
    if (sql != m_writeSql) {
        m_writeSql.clear();
        m_writeStmt = sqlite::Statement(m_db->connection(), sql, true);
        if (!m_writeStmt.ok())
            return writeError(m_writeStmt.rc());
        m_writeSql = sql;
    }
    m_writeStmt.reset();
    for (size_t i = 0; i < values.size(); ++i)
        m_writeStmt.bind(int(i) + 1, values[i]);
    if (m_mode == Mode::Edit)
        m_writeStmt.bind(int(values.size()) + 1, int64_t(m_rows[size_t(m_pos)]));
    m_writeStmt.step();
    const bool written = m_writeStmt.succeeded();
    const int rc = m_writeStmt.rc();
    m_writeStmt.rewind();
    if (!written)
        return writeError(rc); // the edit stays pending, as it was
    const bool added = m_mode == Mode::AddNew;
    CancelUpdate();
    m_currentRow = -1;
    if (added) {
        const qint64 row = m_db->connection().lastInsertRowid();
        const qint64 current = Eof() ? -1 : m_rows[size_t(m_pos)];
        if (m_orderBy.isEmpty()) {
            // In rowid order the new row's place is found without reading
            // the table again (which made a list written row by row cost
            // the square of its length).
            const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), row);
            if (current < 0 || at - m_rows.begin() <= m_pos)
                ++m_pos;
            m_rows.insert(at, row);
            dropPage();
        } else {
            reload(m_orderBy);
            // The current record stays the one it was before AddNew.
            m_pos = qsizetype(m_rows.size());
            for (size_t i = 0; i < m_rows.size(); ++i)
                if (m_rows[i] == current)
                    m_pos = qsizetype(i);
        }
    }
    return kOk;
}

int Recordset::Delete()
{
    if (Eof() || m_currentDeleted)
        return kErrNoCurrentRecord;
    sqlite::Statement st(m_db->connection(), QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(quoted(m_table)));
    st.bind(1, int64_t(m_rows[size_t(m_pos)]));
    st.step();
    if (!st.succeeded())
        return writeError(st.rc());
    m_rows.erase(m_rows.begin() + m_pos);
    m_currentDeleted = true;
    m_currentRow = -1;
    return kOk;
}

} // namespace folium::db
