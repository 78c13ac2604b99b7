// What the database layer's files share inside: identifier quoting and the
// layer's errors for SQLite's result codes.
#pragma once

#include "dao.h"

#include <QString>

namespace folium::db::detail {

inline QString quoted(const QString &id)
{
    QString s = id;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

// The layer's error for a write (or a request) that failed.
inline int writeError(int rc)
{
    switch (sqlite::failureOf(rc)) {
    case sqlite::Failure::None: return kOk;
    case sqlite::Failure::Interrupted: return kErrTooLong;
    case sqlite::Failure::Busy: return kErrInUse;
    default: return kErrDiskFull;
    }
}

inline void setErr(int *err, int value)
{
    if (err)
        *err = value;
}

} // namespace folium::db::detail
