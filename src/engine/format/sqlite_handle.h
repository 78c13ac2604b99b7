// Small RAII wrapper over SQLite for the engine's own use. Nothing outside
// src/engine sees a raw sqlite3 handle.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace folium::engine {

class Statement;

// Sets SQLite up for this program before its first use: no connection is
// shared between threads, so connections need no mutex, and no one reads
// SQLite's memory statistics, whose global lock every allocation would take.
// Call it first thing in main(); later it does nothing.
void configureSqlite();

class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;
    Database(Database &&other) noexcept;
    Database &operator=(Database &&other) noexcept;

    // Opens an untrusted file read-only with SQLite's defensive settings and
    // tight limits. Returns false on any failure.
    bool openUntrustedReadOnly(const QString &path);
    // Creates (or truncates) a file for writing.
    bool openForWriting(const QString &path);
    void close();

    bool isOpen() const { return m_db != nullptr; }
    bool exec(const char *sql);
    int64_t pragmaInt(const char *name);
    QString lastError() const;
    // Why the last write failed, in the words of the person who asked for
    // it (a full disk, a folder that cannot be written, a disk error), never
    // SQLite's own message about the statement.
    QString writeProblem() const;

    sqlite3 *handle() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
};

class Statement {
public:
    Statement(const Database &db, const char *sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool ok() const { return m_stmt != nullptr; }
    // Returns true while a row is available.
    bool step();
    // True when the last step ended without error (SQLITE_DONE or a row).
    bool succeeded() const { return m_ok; }
    void reset();

    void bind(int i, int64_t v);
    void bind(int i, const QString &v);
    void bind(int i, const QByteArray &blob);
    void bindUtf8(int i, const QByteArray &utf8); // text already in UTF-8
    void bindNull(int i);

    int64_t integer(int col) const;
    QString text(int col) const;
    QByteArray blob(int col) const;
    bool isNull(int col) const;

private:
    sqlite3_stmt *m_stmt = nullptr;
    bool m_ok = true;
};

} // namespace folium::engine
