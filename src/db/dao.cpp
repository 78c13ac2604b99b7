#include "dao.h"

#include "sqlite_statement.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>

namespace folium::db {

using namespace detail;

QString errorDescription(int error)
{
    switch (error) {
    case kErrNoCurrentRecord: return QStringLiteral("No current record.");
    case kErrFileNotFound: return QStringLiteral("Could not find file.");
    case kErrUpdateWithoutEdit: return QStringLiteral("Update without AddNew or Edit.");
    case kErrDiskFull: return QStringLiteral("Could not write: disk full, read-only or failing.");
    case kErrTableExists: return QStringLiteral("Table already exists.");
    case kErrInUse: return QStringLiteral("Could not use the file; it is already in use.");
    case kErrCannotOpen: return QStringLiteral("Cannot open the file.");
    case kErrNoTable: return QStringLiteral("Cannot find the table.");
    case kErrDatabaseExists: return QStringLiteral("Database already exists.");
    case kErrNoField: return QStringLiteral("Item not found in this collection.");
    case kErrNotDatabase: return QStringLiteral("Unrecognized database format.");
    case kErrNoIndex: return QStringLiteral("Not an index in this table.");
    case kErrTooLong: return QStringLiteral("The database took too long to answer.");
    default: return QStringLiteral("Error.");
    }
}

Database::~Database()
{
    Close();
}

void Database::Close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

namespace {

// What a database read from elsewhere may not do: reach beyond its data,
// run code of its schema, or make one statement cost without end.
void restrictUntrusted(sqlite3 *db)
{
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 16 * 1024 * 1024);
    sqlite3_limit(db, SQLITE_LIMIT_SQL_LENGTH, 100000);
    sqlite3_limit(db, SQLITE_LIMIT_COLUMN, 100);
    sqlite3_limit(db, SQLITE_LIMIT_EXPR_DEPTH, 100);
    sqlite3_limit(db, SQLITE_LIMIT_COMPOUND_SELECT, 20);
    sqlite3_limit(db, SQLITE_LIMIT_FUNCTION_ARG, 8);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 100);
    sqlite3_limit(db, SQLITE_LIMIT_TRIGGER_DEPTH, 1);
    sqlite3_exec(db, "PRAGMA cell_size_check=ON", nullptr, nullptr, nullptr);
    // Temporary tables and sorts of this connection stay in bounds too.
    sqlite3_exec(db, "PRAGMA temp.max_page_count=65536", nullptr, nullptr, nullptr);
}

} // namespace

std::shared_ptr<Database> Database::open(const QString &path, Mode mode, int *err)
{
    const bool create = mode == Mode::Create;
    const QFileInfo fi(path);
    if (create && fi.exists()) {
        setErr(err, kErrDatabaseExists);
        return nullptr;
    }
    if (!create && !fi.exists()) {
        setErr(err, kErrFileNotFound);
        return nullptr;
    }
    if (fi.isDir()) {
        setErr(err, kErrCannotOpen);
        return nullptr;
    }
    sqlite3 *db = nullptr;
    const int flags =
        mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const char *layer = sqlite3_vfs_find(kFileLayerName) ? kFileLayerName : nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, layer) != SQLITE_OK) {
        sqlite3_close_v2(db);
        setErr(err, kErrCannotOpen);
        return nullptr;
    }
    std::shared_ptr<Database> d(new Database);
    d->m_db = db;
    d->m_path = path;
    sqlite3_busy_timeout(db, 250);
    if (mode == Mode::ReadOnly) {
        restrictUntrusted(db);
        sqlite3_progress_handler(db, 1000, &Database::onProgress, d.get());
    }
    // Reading the schema tells a database from any other file, and a locked
    // one from a free one.
    const char *probe = create ? "PRAGMA user_version=0" : "SELECT count(*) FROM sqlite_master";
    int rc = sqlite3_exec(db, probe, nullptr, nullptr, nullptr);
    // What is written is on the disk when a write returns, or the write
    // fails: a database that cannot promise it is not used for writing.
    if (rc == SQLITE_OK && mode != Mode::ReadOnly) {
        rc = sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
        Stmt check(db, QStringLiteral("PRAGMA synchronous"));
        if (rc == SQLITE_OK && (check.step() != SQLITE_ROW || sqlite3_column_int(check.get(), 0) != 2))
            rc = SQLITE_CANTOPEN;
    }
    if (rc != SQLITE_OK) {
        const int code = rc & 0xFF;
        setErr(err, code == SQLITE_NOTADB || code == SQLITE_CORRUPT ? kErrNotDatabase
                    : code == SQLITE_BUSY || code == SQLITE_LOCKED  ? kErrInUse
                                                                    : kErrCannotOpen);
        d->Close();
        if (create)
            QFile::remove(path);
        return nullptr;
    }
    setErr(err, kOk);
    return d;
}

int Database::onProgress(void *database)
{
    return --static_cast<Database *>(database)->m_workLeft < 0 ? 1 : 0;
}

std::shared_ptr<Database> Database::OpenDatabase(const QString &path, int *err)
{
    return open(path, Mode::ReadWrite, err);
}

std::shared_ptr<Database> Database::OpenReadOnly(const QString &path, int *err)
{
    return open(path, Mode::ReadOnly, err);
}

std::shared_ptr<Database> Database::CreateDatabase(const QString &path, const QString &locale, int *err)
{
    Q_UNUSED(locale);
    return open(path, Mode::Create, err);
}

int Database::BeginTrans()
{
    if (!m_db)
        return kErrCannotOpen;
    const int rc = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? kOk : writeError(rc);
}

int Database::CommitTrans()
{
    if (!m_db)
        return kErrCannotOpen;
    const int rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        return kOk;
    Rollback();
    return writeError(rc);
}

void Database::Rollback()
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

int Database::execScript(const QString &sql, QString *message)
{
    startRequest();
    char *msg = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &msg);
    if (message && msg)
        *message = QString::fromUtf8(msg);
    sqlite3_free(msg);
    return rc == SQLITE_OK ? kOk : writeError(rc);
}

int Database::appendTableDef(const TableDef &def)
{
    if (!m_db)
        return kErrCannotOpen;
    {
        Stmt exists(m_db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1"));
        exists.bind(1, def.name());
        if (exists.step() == SQLITE_ROW)
            return kErrTableExists;
    }
    QStringList cols;
    for (const FieldDef &f : def.fields())
        cols << quoted(f.name) + (f.type == FieldType::Long ? QStringLiteral(" INTEGER") : QStringLiteral(" TEXT"));
    const QString sql = QStringLiteral("CREATE TABLE %1(%2)").arg(quoted(def.name()), cols.join(QStringLiteral(", ")));
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? kOk : writeError(rc);
}

std::unique_ptr<Recordset> Database::OpenRecordset(const QString &table, int *err)
{
    startRequest();
    if (!m_db) {
        setErr(err, kErrCannotOpen);
        return nullptr;
    }
    QStringList columns;
    {
        Stmt info(m_db, QStringLiteral("SELECT name FROM pragma_table_info(?1)"));
        info.bind(1, table);
        while (info.step() == SQLITE_ROW)
            columns << info.column(0).toString();
        if (info.rc() != SQLITE_DONE) {
            setErr(err, writeError(info.rc()));
            return nullptr;
        }
    }
    if (columns.isEmpty()) {
        setErr(err, kErrNoTable);
        return nullptr;
    }
    std::unique_ptr<Recordset> rs(new Recordset(shared_from_this(), table, columns));
    const int e = rs->reload(QString());
    setErr(err, e);
    return e == kOk ? std::move(rs) : nullptr;
}

std::unique_ptr<Query> Database::prepare(const QString &sql, int *err)
{
    startRequest();
    if (!m_db) {
        setErr(err, kErrCannotOpen);
        return nullptr;
    }
    const QByteArray u = sql.toUtf8();
    sqlite3_stmt *st = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, u.constData(), int(u.size()), SQLITE_PREPARE_PERSISTENT, &st, nullptr);
    if (rc != SQLITE_OK || !st || !sqlite3_stmt_readonly(st)) {
        sqlite3_finalize(st);
        // A table or column that is not there is the usual reason.
        setErr(err, rc == SQLITE_OK || (rc & 0xFF) == SQLITE_ERROR ? kErrNoTable : writeError(rc));
        return nullptr;
    }
    setErr(err, kOk);
    return std::unique_ptr<Query>(new Query(shared_from_this(), st));
}

Query::Query(std::shared_ptr<Database> db, sqlite3_stmt *statement) : m_db(std::move(db)), m_st(statement) {}

Query::~Query()
{
    sqlite3_finalize(m_st);
}

void Query::bind(int parameter, const QVariant &value)
{
    if (value.isNull() || !value.isValid()) {
        sqlite3_bind_null(m_st, parameter);
    } else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
               value.typeId() == QMetaType::UInt || value.typeId() == QMetaType::Bool) {
        sqlite3_bind_int64(m_st, parameter, value.toLongLong());
    } else {
        const QByteArray u = value.toString().toUtf8();
        sqlite3_bind_text(m_st, parameter, u.constData(), int(u.size()), SQLITE_TRANSIENT);
    }
}

bool Query::next()
{
    if (m_done)
        return false;
    m_db->startRequest();
    const int rc = sqlite3_step(m_st);
    if (rc == SQLITE_ROW)
        return true;
    m_done = true;
    m_error = rc == SQLITE_DONE ? kOk : writeError(rc);
    return false;
}

void Query::reset()
{
    sqlite3_reset(m_st);
    m_done = false;
    m_error = kOk;
}

QString Query::text(int column) const
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_st, column));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(m_st, column)) : QString();
}

qint64 Query::integer(int column) const
{
    return sqlite3_column_int64(m_st, column);
}

} // namespace folium::db
