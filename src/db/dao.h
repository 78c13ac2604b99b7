// The database layer: a small object model over SQLite in the shape the
// program expects of its databases (open, create, table recordsets walked in
// the order of a named index, edit, add, delete, table definitions). Every
// failure is an error number greater than 0 that the caller reads right
// after the call; nothing throws.
#pragma once

#include "sqlite.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace folium::db {

// Databases are opened through the file layer of this name when one is
// registered (the tests register one that fails writes on demand, as a
// full disk would), else through SQLite's own.
inline constexpr char kFileLayerName[] = "folium-faulty";

// Error numbers: one stable code per kind of failure, which callers test
// right after a call and which the messages name.
enum Error : int {
    kOk = 0,
    kErrNoCurrentRecord = 3021,   // no current record (before the first or past the last)
    kErrFileNotFound = 3024,      // the database file does not exist
    kErrUpdateWithoutEdit = 3020, // Update without Edit or AddNew
    kErrDiskFull = 3026,          // the write failed: disk full, read-only, I/O error
    kErrTableExists = 3010,       // a table of that name exists
    kErrInUse = 3045,             // the file is locked by another user
    kErrCannotOpen = 3051,        // the file cannot be opened (no permission, a folder, ...)
    kErrNoTable = 3078,           // no such table
    kErrDatabaseExists = 3204,    // CreateDatabase on an existing file
    kErrNoField = 3265,           // no such field
    kErrNotDatabase = 3343,       // the file is not a database
    kErrNoIndex = 3800,           // no such index on this table
    kErrTooLong = 3156,           // a request to a database read from elsewhere ran past its budget
};

class Recordset;
class Query;

// The description of an error number, as message boxes show it.
QString errorDescription(int error);

enum class FieldType { Text, Long };

struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
};

class TableDef {
public:
    explicit TableDef(QString name) : m_name(std::move(name)) {}
    FieldDef CreateField(const QString &name, FieldType type) const { return {name, type}; }
    void appendField(const FieldDef &f) { m_fields.push_back(f); }
    const QString &name() const { return m_name; }
    const std::vector<FieldDef> &fields() const { return m_fields; }

private:
    QString m_name;
    std::vector<FieldDef> m_fields;
};

class Database : public std::enable_shared_from_this<Database> {
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens an existing database for reading and writing.
    static std::shared_ptr<Database> OpenDatabase(const QString &path, int *err);
    // Opens a database that comes from elsewhere (a title's database, a
    // bookmark file to read) only to read it: read-only, with SQLite's
    // defensive settings, without triggers, views or functions its schema
    // could name, and with limits on what a statement may cost. Temporary
    // tables of this connection remain possible.
    static std::shared_ptr<Database> OpenReadOnly(const QString &path, int *err);
    // Creates a new empty database; kErrDatabaseExists when the file exists.
    // The locale string is accepted for the program's sake; text compares in
    // SQLite's binary order.
    static std::shared_ptr<Database> CreateDatabase(const QString &path, const QString &locale, int *err);

    std::unique_ptr<Recordset> OpenRecordset(const QString &table, int *err);
    // A read-only SQL query, prepared once and run as often as needed.
    std::unique_ptr<Query> prepare(const QString &sql, int *err);
    TableDef CreateTableDef(const QString &name) const { return TableDef(name); }
    int appendTableDef(const TableDef &def); // TableDefs.Append
    void Close();

    // A transaction: the updates made until CommitTrans are written all
    // together or not at all. When CommitTrans fails, nothing was written
    // and the transaction is over.
    int BeginTrans();
    int CommitTrans();
    void Rollback();

    const QString &path() const { return m_path; }
    bool isOpen() const { return m_db.isOpen(); }
    // Runs a script of SQL statements (used to build databases from text).
    int execScript(const QString &sql, QString *message = nullptr);

    const sqlite::Connection &connection() const { return m_db; } // for the layer's own classes

    // A database read from elsewhere gives each request (a query's next
    // row, a recordset's move, a script) a budget of work; past it the
    // request fails with kErrTooLong instead of keeping the program busy.
    // The layer's classes call this as a request begins.
    void startRequest() { m_workLeft = kWorkBudget; }

    // The clock the layer reads to know how old what it keeps is: the
    // steady clock, or a test's own, which moves when the test says.
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    void setClock(Clock clock) { m_clock = std::move(clock); }
    std::chrono::steady_clock::time_point now() const { return m_clock ? m_clock() : std::chrono::steady_clock::now(); }
    static constexpr int kWorkBudget = 60000; // in thousands of SQLite's steps: a second or so

private:
    Database() = default;
    enum class Mode { ReadWrite, Create, ReadOnly };
    static std::shared_ptr<Database> open(const QString &path, Mode mode, int *err);
    static int onProgress(void *database);
    sqlite::Connection m_db;
    QString m_path;
    int m_workLeft = kWorkBudget;
    Clock m_clock;
};

class Recordset {
public:
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    // Orders the rows by a named index of the table (then by insertion).
    // Index names are unique in an SQLite database: an index that another
    // table's index shares a name with is stored as "Table.Name".
    int setIndex(const QString &indexName);
    // Orders the rows by a column.
    int Sort(const QString &column);
    int MoveFirst();
    int MoveNext();
    bool Eof() const;
    int recordCount() const { return int(m_rows.size()); }

    QVariant Field(const QString &name, int *err = nullptr) const;
    int setField(const QString &name, const QVariant &value);

    int Edit();
    int AddNew();
    // Writes the edited or new row in one atomic, durable statement.
    int Update();
    void CancelUpdate();
    int Delete();

    const QStringList &columns() const { return m_columns; }

private:
    friend class Database;
    Recordset(std::shared_ptr<Database> db, QString table, QStringList columns);
    int reload(const QString &orderBy);
    void loadCurrent() const;
    void readPage(qsizetype first) const;
    void dropPage() const { m_pageFirst = -1; }

    std::shared_ptr<Database> m_db;
    QString m_table;
    QStringList m_columns;
    QString m_orderBy;
    std::vector<qint64> m_rows;
    qsizetype m_pos = 0;
    bool m_currentDeleted = false;
    enum class Mode { None, Edit, AddNew } m_mode = Mode::None;
    std::map<QString, QVariant> m_buffer;
    // The current row's values, in the order of m_columns.
    mutable std::vector<QVariant> m_current;
    mutable qint64 m_currentRow = -1;
    // Rows are read a page at a time, by one statement prepared once, so
    // that walking a table costs a few steps per row rather than a
    // statement per row. The page holds the rows at positions m_pageFirst
    // onwards. It is read again when this connection has written anything
    // since, and, once it is half a second old, when another connection has.
    mutable sqlite::Statement m_pageStmt;
    mutable sqlite::Statement m_versionStmt;
    mutable std::vector<qint64> m_pageRows; // rowid per page slot, -1 when gone
    mutable std::vector<std::vector<QVariant>> m_page;
    mutable qsizetype m_pageFirst = -1;
    mutable qint64 m_pageChanges = -1;
    mutable qint64 m_pageVersion = -1;
    mutable std::chrono::steady_clock::time_point m_pageChecked;
    // The last Update's statement, kept for the next one of the same shape.
    sqlite::Statement m_writeStmt;
    QString m_writeSql;
};

// A read-only query whose rows are stepped through one at a time and never
// held: what a view that reads a big table piece by piece needs. Parameters
// are bound (from 1) before a run; next() starts the run and steps it;
// reset() makes it ready to run again with new parameters.
class Query {
public:
    ~Query();
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    void bind(int parameter, const QVariant &value);
    // The next row, or false at the end of the rows or on an error.
    bool next();
    // 0, or the error that ended the last run early.
    int error() const { return m_error; }
    void reset();

    QString text(int column) const;
    qint64 integer(int column) const;

private:
    friend class Database;
    Query(std::shared_ptr<Database> db, sqlite::Statement statement);
    std::shared_ptr<Database> m_db;
    sqlite::Statement m_st;
    int m_error = kOk;
    bool m_done = false;
};

} // namespace folium::db
