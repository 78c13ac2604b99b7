#include "sqlite.h"

#include <sqlite3.h>

#include <QFile>

namespace folium::sqlite {

void configure()
{
    sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
}

Failure failureOf(int rc)
{
    switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE: return Failure::None;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return Failure::Busy;
    case SQLITE_INTERRUPT: return Failure::Interrupted;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: return Failure::NotADatabase;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN: return Failure::CannotOpen;
    case SQLITE_FULL: return Failure::Full;
    case SQLITE_IOERR: return Failure::Io;
    case SQLITE_NOMEM: return Failure::NoMemory;
    case SQLITE_TOOBIG: return Failure::TooBig;
    default: return Failure::Other;
    }
}

bool hasFileLayer(const char *name)
{
    return name && sqlite3_vfs_find(name);
}

// --- Connection ------------------------------------------------------------------

Connection::~Connection()
{
    close();
}

Connection::Connection(Connection &&other) noexcept : m_db(other.m_db)
{
    other.m_db = nullptr;
}

Connection &Connection::operator=(Connection &&other) noexcept
{
    if (this != &other) {
        close();
        m_db = other.m_db;
        other.m_db = nullptr;
    }
    return *this;
}

void Connection::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

int Connection::open(const QString &path, Mode mode, const char *layer)
{
    close();
    const int flags = SQLITE_OPEN_NOMUTEX | (mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY
                                             : mode == Mode::Create ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE
                                                                    : SQLITE_OPEN_READWRITE);
    sqlite3 *db = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, hasFileLayer(layer) ? layer : nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(db);
        return rc;
    }
    m_db = db;
    return SQLITE_OK;
}

bool Connection::openUntrustedReadOnly(const QString &path)
{
    if (open(path, Mode::ReadOnly) != SQLITE_OK)
        return false;
    // A title may come from anywhere: its statements are bounded, and it is
    // only ever read.
    restrictUntrusted({32 * 1024 * 1024, 1000000, 64, 130, 100000, 100});
    exec("PRAGMA query_only=ON");
    return true;
}

bool Connection::openForWriting(const QString &path)
{
    return open(path, Mode::Create) == SQLITE_OK;
}

void Connection::restrictUntrusted(const Limits &limits)
{
    if (!m_db)
        return;
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, limits.length);
    sqlite3_limit(m_db, SQLITE_LIMIT_SQL_LENGTH, limits.sqlLength);
    sqlite3_limit(m_db, SQLITE_LIMIT_COLUMN, 100);
    sqlite3_limit(m_db, SQLITE_LIMIT_EXPR_DEPTH, limits.exprDepth);
    sqlite3_limit(m_db, SQLITE_LIMIT_COMPOUND_SELECT, limits.compoundSelect);
    if (limits.vdbeOps >= 0)
        sqlite3_limit(m_db, SQLITE_LIMIT_VDBE_OP, limits.vdbeOps);
    if (limits.variables >= 0)
        sqlite3_limit(m_db, SQLITE_LIMIT_VARIABLE_NUMBER, limits.variables);
    sqlite3_limit(m_db, SQLITE_LIMIT_FUNCTION_ARG, 8);
    sqlite3_limit(m_db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(m_db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 100);
    sqlite3_limit(m_db, SQLITE_LIMIT_TRIGGER_DEPTH, 1);
    exec("PRAGMA cell_size_check=ON");
}

void Connection::setBusyTimeout(int milliseconds)
{
    if (m_db)
        sqlite3_busy_timeout(m_db, milliseconds);
}

void Connection::setProgressHandler(int every, int (*handler)(void *), void *context)
{
    if (m_db)
        sqlite3_progress_handler(m_db, every, handler, context);
}

int Connection::execute(const char *sql, QString *message)
{
    if (!m_db)
        return SQLITE_MISUSE;
    char *msg = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, message ? &msg : nullptr);
    if (message && msg)
        *message = QString::fromUtf8(msg);
    sqlite3_free(msg);
    return rc;
}

bool Connection::inTransaction() const
{
    return m_db && !sqlite3_get_autocommit(m_db);
}

int64_t Connection::totalChanges() const
{
    return m_db ? sqlite3_total_changes64(m_db) : -1;
}

int64_t Connection::lastInsertRowid() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : -1;
}

int64_t Connection::pragmaInt(const char *name)
{
    const QByteArray sql = QByteArray("PRAGMA ") + name;
    Statement st(*this, sql.constData());
    if (st.ok() && st.step())
        return st.integer(0);
    return -1;
}

int Connection::errorCode() const
{
    return m_db ? sqlite3_errcode(m_db) : SQLITE_CANTOPEN;
}

QString Connection::writeProblem() const
{
    switch (failureOf(errorCode())) {
    case Failure::Full: return QStringLiteral("the disk is full");
    case Failure::CannotOpen: return QStringLiteral("the file or its folder cannot be written");
    case Failure::Io: return QStringLiteral("a disk error");
    case Failure::NoMemory: return QStringLiteral("out of memory");
    case Failure::TooBig: return QStringLiteral("a text or an image is too large");
    default: return QStringLiteral("an unexpected error (%1)").arg(m_db ? errorCode() : -1);
    }
}

QString Connection::lastError() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("database not open");
}

fts5_api *Connection::fts5() const
{
    // FTS5 hands its interface out through a pointer bound to a query.
    fts5_api *api = nullptr;
    sqlite3_stmt *st = nullptr;
    if (!m_db || sqlite3_prepare_v2(m_db, "SELECT fts5(?1)", -1, &st, nullptr) != SQLITE_OK)
        return nullptr;
    sqlite3_bind_pointer(st, 1, static_cast<void *>(&api), "fts5_api_ptr", nullptr);
    sqlite3_step(st);
    sqlite3_finalize(st);
    return api;
}

// --- Statement -------------------------------------------------------------------

Statement::Statement(const Connection &db, const char *sql, bool persistent)
{
    m_rc = db.m_db ? sqlite3_prepare_v3(db.m_db, sql, -1, persistent ? SQLITE_PREPARE_PERSISTENT : 0, &m_stmt, nullptr)
                   : SQLITE_MISUSE;
    if (m_rc != SQLITE_OK || !m_stmt) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        m_ok = false;
    }
}

Statement::Statement(const Connection &db, const QString &sql, bool persistent)
    : Statement(db, sql.toUtf8().constData(), persistent)
{
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement &&other) noexcept : m_stmt(other.m_stmt), m_rc(other.m_rc), m_ok(other.m_ok)
{
    other.m_stmt = nullptr;
}

Statement &Statement::operator=(Statement &&other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = other.m_stmt;
        m_rc = other.m_rc;
        m_ok = other.m_ok;
        other.m_stmt = nullptr;
    }
    return *this;
}

bool Statement::readOnly() const
{
    return m_stmt && sqlite3_stmt_readonly(m_stmt);
}

bool Statement::step()
{
    if (!m_stmt)
        return false;
    m_rc = sqlite3_step(m_stmt);
    m_ok = m_rc == SQLITE_ROW || m_rc == SQLITE_DONE;
    return m_rc == SQLITE_ROW;
}

void Statement::reset()
{
    rewind();
    clearBindings();
}

void Statement::rewind()
{
    if (m_stmt)
        sqlite3_reset(m_stmt);
}

void Statement::clearBindings()
{
    if (m_stmt)
        sqlite3_clear_bindings(m_stmt);
}

void Statement::bind(int i, int64_t v)
{
    sqlite3_bind_int64(m_stmt, i, v);
}

void Statement::bind(int i, double v)
{
    sqlite3_bind_double(m_stmt, i, v);
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

void Statement::bind(int i, const QVariant &v)
{
    switch (v.isNull() ? QMetaType::UnknownType : v.typeId()) {
    case QMetaType::UnknownType: bindNull(i); break;
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong: bind(i, int64_t(v.toLongLong())); break;
    case QMetaType::Double: bind(i, v.toDouble()); break;
    default: bind(i, v.toString()); break;
    }
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

QVariant Statement::value(int col) const
{
    switch (sqlite3_column_type(m_stmt, col)) {
    case SQLITE_INTEGER: return QVariant(qint64(sqlite3_column_int64(m_stmt, col)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(m_stmt, col));
    case SQLITE_NULL: return QVariant();
    default: return QVariant(text(col));
    }
}

// --- Blob ------------------------------------------------------------------------

bool Blob::open(const Connection &db, const char *table, const char *column, int64_t row)
{
    close();
    if (!db.m_db || sqlite3_blob_open(db.m_db, "main", table, column, row, 0, &m_blob) != SQLITE_OK) {
        close();
        return false;
    }
    return true;
}

bool Blob::reopen(int64_t row)
{
    if (m_blob && sqlite3_blob_reopen(m_blob, row) == SQLITE_OK)
        return true;
    close(); // a handle that failed to move is spent
    return false;
}

void Blob::close()
{
    sqlite3_blob_close(m_blob);
    m_blob = nullptr;
}

int64_t Blob::size() const
{
    return m_blob ? sqlite3_blob_bytes(m_blob) : 0;
}

bool Blob::read(void *into, int bytes, int offset) const
{
    return m_blob && sqlite3_blob_read(m_blob, into, bytes, offset) == SQLITE_OK;
}

} // namespace folium::sqlite
