// The results list: one row per topic the last search found, in the
// title's order, copied when the search ends (a later search limited to the
// topic shown leaves it as it is). Each row's text, icon and sort key come
// from its topic's title, read from the title when a view asks for the row
// (a list of 400,000 rows holds 400,000 numbers, not their titles); the
// words around its first hit are read only for the rows a view asks for,
// and kept.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>

#include <functional>
#include <vector>

namespace folium::engine {
struct HitContext;
}

namespace folium::search {

// How a topic is listed among the results, from its title.
struct ResultEntry {
    QString text;
    int icon = 1; // the number of the list image
    QString sortKey;
};
ResultEntry resultEntry(const QString &topicTitle, int topicIndex);

// Roles beside the display text of column 0 (the forms' TagRole and
// SortKeyRole hold the tag and the sort key).
enum ContextRole {
    ContextBeforeRole = Qt::UserRole + 20, // column 1: the words before the hit
    ContextHitRole,                        // the words the query matched
    ContextAfterRole,                      // the words after it
};

class ResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using TitleReader = std::function<QString(int topic)>;
    using ContextReader = std::function<engine::HitContext(int topic)>;
    explicit ResultsModel(QObject *parent = nullptr);

    // The topics a search found, in the engine's order, and how to read a
    // topic's title and the words around its first hit.
    void setHits(std::vector<int> topics, TitleReader titles, ContextReader context);
    void clear();
    int topicAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // The context column's rows read so far (for tests and the benchmark).
    int contextsRead() const { return m_contextsRead; }

private:
    struct Context {
        QString before, hit, after;
        bool read = false;
    };
    const Context &contextOf(int row) const;

    ResultEntry entry(int row) const;

    std::vector<int> m_topics;
    TitleReader m_titles;
    ContextReader m_reader;
    mutable std::vector<Context> m_contexts;
    mutable int m_contextsRead = 0;
};

} // namespace folium::search
