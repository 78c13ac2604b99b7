#include "dao.h"

#include "dao_detail.h"

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
    m_db.close();
}

namespace {

// What a database read from elsewhere may not do: reach beyond its data,
// run code of its schema, or make one statement cost without end.
constexpr sqlite::Connection::Limits kUntrusted{16 * 1024 * 1024, 100000, 100, 20};

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
    std::shared_ptr<Database> d(new Database);
    d->m_path = path;
    const auto how = mode == Mode::ReadOnly ? sqlite::Connection::Mode::ReadOnly
                     : create               ? sqlite::Connection::Mode::Create
                                            : sqlite::Connection::Mode::ReadWrite;
    if (d->m_db.open(path, how, kFileLayerName) != 0) {
        setErr(err, kErrCannotOpen);
        return nullptr;
    }
    d->m_db.setBusyTimeout(250);
    if (mode == Mode::ReadOnly) {
        d->m_db.restrictUntrusted(kUntrusted);
        // Temporary tables and sorts of this connection stay in bounds too.
        d->m_db.exec("PRAGMA temp.max_page_count=65536");
        d->m_db.setProgressHandler(1000, &Database::onProgress, d.get());
    }
    // Reading the schema tells a database from any other file, and a locked
    // one from a free one.
    int rc = d->m_db.execute(create ? "PRAGMA user_version=0" : "SELECT count(*) FROM sqlite_master");
    // What is written is on the disk when a write returns, or the write
    // fails: a database that cannot promise it is not used for writing.
    if (rc == 0 && mode != Mode::ReadOnly) {
        rc = d->m_db.execute("PRAGMA synchronous=FULL");
        if (rc == 0 && d->m_db.pragmaInt("synchronous") != 2)
            rc = -1;
    }
    if (rc != 0) {
        const sqlite::Failure why = sqlite::failureOf(rc);
        setErr(err, why == sqlite::Failure::NotADatabase ? kErrNotDatabase
                    : why == sqlite::Failure::Busy       ? kErrInUse
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
    if (!m_db.isOpen())
        return kErrCannotOpen;
    return writeError(m_db.execute("BEGIN IMMEDIATE"));
}

int Database::CommitTrans()
{
    if (!m_db.isOpen())
        return kErrCannotOpen;
    const int rc = m_db.execute("COMMIT");
    if (rc == 0)
        return kOk;
    Rollback();
    return writeError(rc);
}

void Database::Rollback()
{
    if (m_db.inTransaction())
        m_db.exec("ROLLBACK");
}

int Database::execScript(const QString &sql, QString *message)
{
    startRequest();
    return writeError(m_db.execute(sql.toUtf8().constData(), message));
}

int Database::appendTableDef(const TableDef &def)
{
    if (!m_db.isOpen())
        return kErrCannotOpen;
    {
        sqlite::Statement exists(m_db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1");
        exists.bind(1, def.name());
        if (exists.step())
            return kErrTableExists;
    }
    QStringList cols;
    for (const FieldDef &f : def.fields())
        cols << quoted(f.name) + (f.type == FieldType::Long ? QStringLiteral(" INTEGER") : QStringLiteral(" TEXT"));
    const QString sql = QStringLiteral("CREATE TABLE %1(%2)").arg(quoted(def.name()), cols.join(QStringLiteral(", ")));
    return writeError(m_db.execute(sql.toUtf8().constData()));
}

std::unique_ptr<Recordset> Database::OpenRecordset(const QString &table, int *err)
{
    startRequest();
    if (!m_db.isOpen()) {
        setErr(err, kErrCannotOpen);
        return nullptr;
    }
    QStringList columns;
    {
        sqlite::Statement info(m_db, "SELECT name FROM pragma_table_info(?1)");
        info.bind(1, table);
        while (info.step())
            columns << info.text(0);
        if (!info.succeeded()) {
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
    if (!m_db.isOpen()) {
        setErr(err, kErrCannotOpen);
        return nullptr;
    }
    sqlite::Statement st(m_db, sql, true);
    if (!st.ok() || !st.readOnly()) {
        // A table or column that is not there is the usual reason.
        const sqlite::Failure why = sqlite::failureOf(st.rc());
        setErr(err, why == sqlite::Failure::None || why == sqlite::Failure::Other ? kErrNoTable : writeError(st.rc()));
        return nullptr;
    }
    setErr(err, kOk);
    return std::unique_ptr<Query>(new Query(shared_from_this(), std::move(st)));
}

Query::Query(std::shared_ptr<Database> db, sqlite::Statement statement)
    : m_db(std::move(db)), m_st(std::move(statement))
{
}

Query::~Query() = default;

void Query::bind(int parameter, const QVariant &value)
{
    m_st.bind(parameter, value);
}

bool Query::next()
{
    if (m_done)
        return false;
    m_db->startRequest();
    if (m_st.step())
        return true;
    m_done = true;
    m_error = writeError(m_st.rc());
    return false;
}

void Query::reset()
{
    m_st.rewind();
    m_done = false;
    m_error = kOk;
}

QString Query::text(int column) const
{
    return m_st.text(column);
}

qint64 Query::integer(int column) const
{
    return m_st.integer(column);
}

} // namespace folium::db
