// What the database layer's files share inside: a short-lived prepared
// statement, identifier quoting and error mapping.
#pragma once

#include "dao.h"

#include <sqlite3.h>

#include <QString>
#include <QVariant>

namespace folium::db::detail {

inline QString quoted(const QString &id)
{
    QString s = id;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

// Binds a value of the program's types to a statement's parameter.
inline void bindValue(sqlite3_stmt *st, int i, const QVariant &v)
{
    if (!v.isValid() || v.isNull()) {
        sqlite3_bind_null(st, i);
    } else if (v.typeId() == QMetaType::Bool) {
        sqlite3_bind_int64(st, i, v.toBool() ? 1 : 0);
    } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::UInt) {
        sqlite3_bind_int64(st, i, v.toLongLong());
    } else if (v.typeId() == QMetaType::Double) {
        sqlite3_bind_double(st, i, v.toDouble());
    } else {
        const QByteArray u = v.toString().toUtf8();
        sqlite3_bind_text(st, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
    }
}

// A short-lived prepared statement. (Its database's request budget is
// started by the layer's public calls that run it.)
class Stmt {
public:
    Stmt(sqlite3 *db, const QString &sql)
    {
        const QByteArray u = sql.toUtf8();
        m_rc = sqlite3_prepare_v2(db, u.constData(), int(u.size()), &m_st, nullptr);
    }
    ~Stmt() { sqlite3_finalize(m_st); }
    Stmt(const Stmt &) = delete;
    Stmt &operator=(const Stmt &) = delete;
    bool ok() const { return m_rc == SQLITE_OK && m_st; }
    int rc() const { return m_rc; }
    int step()
    {
        m_rc = sqlite3_step(m_st);
        return m_rc;
    }
    void bind(int i, const QVariant &v) { bindValue(m_st, i, v); }
    QVariant column(int c) const
    {
        switch (sqlite3_column_type(m_st, c)) {
        case SQLITE_INTEGER: return QVariant(qint64(sqlite3_column_int64(m_st, c)));
        case SQLITE_FLOAT: return QVariant(sqlite3_column_double(m_st, c));
        case SQLITE_NULL: return QVariant();
        default: {
            const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_st, c));
            return QVariant(QString::fromUtf8(p, sqlite3_column_bytes(m_st, c)));
        }
        }
    }
    sqlite3_stmt *get() const { return m_st; }

private:
    sqlite3_stmt *m_st = nullptr;
    int m_rc = SQLITE_OK;
};

inline int writeError(int rc)
{
    if ((rc & 0xFF) == SQLITE_INTERRUPT)
        return kErrTooLong;
    return rc == SQLITE_BUSY || rc == SQLITE_LOCKED ? kErrInUse : kErrDiskFull;
}

inline void setErr(int *err, int value)
{
    if (err)
        *err = value;
}

} // namespace folium::db::detail
