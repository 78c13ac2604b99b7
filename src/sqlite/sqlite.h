// The program's one wrapper over SQLite, shared by the title format and the
// database layer: a connection, a prepared statement, an incremental blob
// read. Nothing outside this folder sees a raw SQLite handle or includes
// SQLite's header; what a caller needs of SQLite (FTS5's interface for the
// tokenizer, a progress handler, limits for files from elsewhere) is asked
// of the connection.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_blob;
struct fts5_api;

namespace folium::sqlite {

// Sets SQLite up for this program before its first use: no connection is
// shared between threads, so connections need no mutex, and no one reads
// SQLite's memory statistics, whose global lock every allocation would take.
// Call it first thing in main(); later it does nothing.
void configure();

// What a result code means to the person who asked for the work.
enum class Failure {
    None,         // it worked (a row, the end of the rows, or OK)
    Busy,         // another connection holds the file
    Interrupted,  // the progress handler stopped it
    NotADatabase, // not a database, or a damaged one
    CannotOpen,   // the file or its folder cannot be opened or written
    Full,         // the disk is full
    Io,           // a disk error
    NoMemory,
    TooBig, // a text or a blob over the limits
    Other,  // anything else: a statement the schema refuses, a misuse
};
Failure failureOf(int resultCode);

// Whether a file layer (an SQLite VFS) of that name is registered; tests
// register one that fails on cue.
bool hasFileLayer(const char *name);

class Connection {
public:
    enum class Mode { ReadOnly, ReadWrite, Create };
    // The bounds put on a file from elsewhere (see restrictUntrusted).
    struct Limits {
        int length;         // the longest text or blob
        int sqlLength;      // the longest statement
        int exprDepth;      // the deepest expression
        int compoundSelect; // the most terms of a compound SELECT
        int vdbeOps = -1;   // the most operations of one statement (-1: SQLite's own)
        int variables = -1; // the most parameters of one statement (-1: SQLite's own)
    };

    Connection() = default;
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    Connection(Connection &&other) noexcept;
    Connection &operator=(Connection &&other) noexcept;

    // Opens a file, through the file layer named when one of that name is
    // registered. Returns 0 or SQLite's result code (the connection stays
    // closed then).
    int open(const QString &path, Mode mode, const char *layer = nullptr);
    // Opens an untrusted title read-only with SQLite's defensive settings
    // and tight limits. Returns false on any failure.
    bool openUntrustedReadOnly(const QString &path);
    // Opens (or creates) a file for writing.
    bool openForWriting(const QString &path);
    void close();
    bool isOpen() const { return m_db != nullptr; }

    // A file from elsewhere may not reach beyond its data (extensions,
    // triggers and views of its schema, attached files), and no statement
    // on it may grow past the limits.
    void restrictUntrusted(const Limits &limits);
    void setBusyTimeout(int milliseconds);
    // Calls handler(context) every `every` steps of a statement; a handler
    // that returns non-zero interrupts it.
    void setProgressHandler(int every, int (*handler)(void *), void *context);

    // Runs statements without results; returns 0 or the result code, and
    // SQLite's message in *message when asked.
    int execute(const char *sql, QString *message = nullptr);
    bool exec(const char *sql) { return execute(sql) == 0; }
    bool inTransaction() const;
    int64_t totalChanges() const;
    int64_t lastInsertRowid() const;
    int64_t pragmaInt(const char *name);
    int errorCode() const;
    QString lastError() const;
    // Why the last write failed, in the words of the person who asked for
    // it (a full disk, a folder that cannot be written, a disk error), never
    // SQLite's own message about the statement.
    QString writeProblem() const;
    // FTS5's interface of this connection (null when it has none), to
    // register a tokenizer or tokenize a text.
    fts5_api *fts5() const;

private:
    friend class Statement;
    friend class Blob;
    sqlite3 *m_db = nullptr;
};

class Statement {
public:
    Statement() = default;
    // A statement to run once, or, persistent, one kept and run many times.
    Statement(const Connection &db, const char *sql, bool persistent = false);
    Statement(const Connection &db, const QString &sql, bool persistent = false);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;

    bool ok() const { return m_stmt != nullptr; }
    // The result code of the preparation or of the last step.
    int rc() const { return m_rc; }
    bool readOnly() const;
    // Returns true while a row is available.
    bool step();
    // True when the last step ended without error (a row or the end).
    bool succeeded() const { return m_ok; }
    // Back to the start, its parameters cleared.
    void reset();
    // Back to the start, its parameters kept.
    void rewind();
    void clearBindings();

    void bind(int i, int64_t v);
    void bind(int i, int v) { bind(i, int64_t(v)); }
    void bind(int i, double v);
    void bind(int i, const QString &v);
    void bind(int i, const QByteArray &blob);
    // A value of the program's types: null, a boolean or an integer, a
    // floating number, or text.
    void bind(int i, const QVariant &v);
    void bindUtf8(int i, const QByteArray &utf8); // text already in UTF-8, kept alive by the caller
    void bindNull(int i);

    int64_t integer(int col) const;
    QString text(int col) const;
    QByteArray blob(int col) const;
    bool isNull(int col) const;
    // The column as it is stored: null, an integer, a floating number or text.
    QVariant value(int col) const;

private:
    sqlite3_stmt *m_stmt = nullptr;
    int m_rc = 0;
    bool m_ok = true;
};

// A blob read a piece at a time, without loading it whole.
class Blob {
public:
    Blob() = default;
    ~Blob() { close(); }
    Blob(const Blob &) = delete;
    Blob &operator=(const Blob &) = delete;

    // Opens the blob of a row, read-only; false when it cannot.
    bool open(const Connection &db, const char *table, const char *column, int64_t row);
    // Moves to another row of the same column; a blob that cannot move is closed.
    bool reopen(int64_t row);
    void close();
    bool isOpen() const { return m_blob != nullptr; }
    int64_t size() const;
    bool read(void *into, int bytes, int offset) const;

private:
    sqlite3_blob *m_blob = nullptr;
};

} // namespace folium::sqlite
