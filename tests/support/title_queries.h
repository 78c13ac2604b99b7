// Asking a compiled title what it holds, for the tests of the title
// compiler: the rows of a query of its files, and the topics a search finds.
#pragma once

#include "sqlite.h"
#include "topicview.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace folium::testing {

// Each row's first `columns` columns joined by "|", the empty ones at its
// end left out; nothing when the file does not open.
inline QStringList queryRows(const QString &dbPath, const char *sql, int columns = 3)
{
    sqlite::Connection db;
    QStringList out;
    if (!db.openUntrustedReadOnly(dbPath))
        return out;
    sqlite::Statement st(db, sql);
    while (st.step()) {
        QStringList row;
        for (int c = 0; c < columns; ++c)
            row << st.text(c);
        while (!row.isEmpty() && row.last().isEmpty())
            row.removeLast();
        out << row.join(u'|');
    }
    return out;
}

// The topics a whole-title search finds, in the order of the hits; {-1}
// when the search fails.
inline QList<int> topicsFound(engine::TopicView &view, const QString &query)
{
    view.setSearchMode(0);
    if (view.RunSearch(query) != 0)
        return {-1};
    QList<int> out;
    for (int i = 0; i < view.SearchHitCount(); ++i)
        out << view.TopicListIndex(i);
    return out;
}

} // namespace folium::testing
