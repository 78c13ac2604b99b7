#include "sqlite_handle.h"

#include <sqlite3.h>

#include <QFile>

namespace folium::engine {

void configureSqlite()
{
    sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
}

Database::~Database()
{
    close();
}

Database::Database(Database &&other) noexcept : m_db(other.m_db)
{
    other.m_db = nullptr;
}

Database &Database::operator=(Database &&other) noexcept
{
    if (this != &other) {
        close();
        m_db = other.m_db;
        other.m_db = nullptr;
    }
    return *this;
}

void Database::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool Database::openUntrustedReadOnly(const QString &path)
{
    close();
    const QByteArray name = QFile::encodeName(path);
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(db);
        return false;
    }
    m_db = db;
    // A title may come from anywhere: refuse everything it could use to
    // reach beyond its own data.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 32 * 1024 * 1024);
    sqlite3_limit(db, SQLITE_LIMIT_SQL_LENGTH, 1000000);
    sqlite3_limit(db, SQLITE_LIMIT_COLUMN, 100);
    sqlite3_limit(db, SQLITE_LIMIT_EXPR_DEPTH, 64);
    sqlite3_limit(db, SQLITE_LIMIT_COMPOUND_SELECT, 130);
    sqlite3_limit(db, SQLITE_LIMIT_VDBE_OP, 100000);
    sqlite3_limit(db, SQLITE_LIMIT_FUNCTION_ARG, 8);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 100);
    sqlite3_limit(db, SQLITE_LIMIT_VARIABLE_NUMBER, 100);
    sqlite3_limit(db, SQLITE_LIMIT_TRIGGER_DEPTH, 1);
    exec("PRAGMA cell_size_check=ON");
    exec("PRAGMA query_only=ON");
    return true;
}

bool Database::openForWriting(const QString &path)
{
    close();
    const QByteArray name = QFile::encodeName(path);
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(name.constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(db);
        return false;
    }
    m_db = db;
    return true;
}

bool Database::exec(const char *sql)
{
    return m_db && sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

int64_t Database::pragmaInt(const char *name)
{
    const QByteArray sql = QByteArray("PRAGMA ") + name;
    Statement st(*this, sql.constData());
    if (st.ok() && st.step())
        return st.integer(0);
    return -1;
}

QString Database::writeProblem() const
{
    switch (m_db ? sqlite3_errcode(m_db) : SQLITE_CANTOPEN) {
    case SQLITE_FULL: return QStringLiteral("the disk is full");
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN: return QStringLiteral("the file or its folder cannot be written");
    case SQLITE_IOERR: return QStringLiteral("a disk error");
    case SQLITE_NOMEM: return QStringLiteral("out of memory");
    case SQLITE_TOOBIG: return QStringLiteral("a text or an image is too large");
    default: return QStringLiteral("an unexpected error (%1)").arg(m_db ? sqlite3_errcode(m_db) : -1);
    }
}

QString Database::lastError() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("database not open");
}

Statement::Statement(const Database &db, const char *sql)
{
    if (!db.handle() || sqlite3_prepare_v2(db.handle(), sql, -1, &m_stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        m_ok = false;
    }
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

bool Statement::step()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    m_ok = rc == SQLITE_ROW || rc == SQLITE_DONE;
    return rc == SQLITE_ROW;
}

void Statement::reset()
{
    if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

void Statement::bind(int i, int64_t v)
{
    sqlite3_bind_int64(m_stmt, i, v);
}

void Statement::bind(int i, const QString &v)
{
    const QByteArray u = v.toUtf8();
    sqlite3_bind_text(m_stmt, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

void Statement::bind(int i, const QByteArray &blob)
{
    sqlite3_bind_blob(m_stmt, i, blob.constData(), int(blob.size()), SQLITE_TRANSIENT);
}

void Statement::bindUtf8(int i, const QByteArray &utf8)
{
    sqlite3_bind_text(m_stmt, i, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
}

void Statement::bindNull(int i)
{
    sqlite3_bind_null(m_stmt, i);
}

int64_t Statement::integer(int col) const
{
    return sqlite3_column_int64(m_stmt, col);
}

QString Statement::text(int col) const
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, col));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, col)) : QString();
}

QByteArray Statement::blob(int col) const
{
    const void *p = sqlite3_column_blob(m_stmt, col);
    return p ? QByteArray(static_cast<const char *>(p), sqlite3_column_bytes(m_stmt, col)) : QByteArray();
}

bool Statement::isNull(int col) const
{
    return sqlite3_column_type(m_stmt, col) == SQLITE_NULL;
}

} // namespace folium::engine
