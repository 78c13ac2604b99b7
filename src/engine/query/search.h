// Full-text search over one title: runs a query (whole title, one topic or
// groups of topics), keeps the hit list in topic order, and finds the words
// a query matched in a topic for highlighting.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

#include "query.h"

namespace folium::sqlite {
class Statement;
}

namespace folium::engine {

class TitleFile;

struct HighlightSpan {
    int region = 0; // 0 NSR, 1 SR
    int start = 0;  // character positions in the region's text
    int end = 0;
    bool operator==(const HighlightSpan &o) const = default;
};

// The words around a hit, for a list of results.
struct HitContext {
    QString before, hit, after;
    bool isEmpty() const { return hit.isEmpty(); }
};

// Where one query matches in a title's topics: the words to mark in a
// topic shown, and the words around a topic's first hit. A value of its
// own, kept by whoever shows a query's hits after the engine has run other
// queries (a results list reads the words around each hit as its rows come
// into view).
class HitMarks {
public:
    HitMarks() = default;
    HitMarks(std::shared_ptr<const TitleFile> title, QStringList expressions);

    bool isEmpty() const { return m_expressions.isEmpty(); }
    // The texts are the plain texts of the two regions as shown; spans are
    // sorted by region and position.
    std::vector<HighlightSpan> highlights(int topic, const QString &nsrText, const QString &srText) const;
    // The first place the query matched in a topic (its text first, then its
    // heading), with about `around` characters on either side, read from
    // the stored topic without laying it out.
    HitContext hitContext(int topic, int around = 40) const;

private:
    std::shared_ptr<const TitleFile> m_title;
    QStringList m_expressions;
};

class TitleSearch {
public:
    explicit TitleSearch(std::shared_ptr<const TitleFile> title);
    ~TitleSearch();

    struct Request {
        QString query;
        int mode = 0; // 0 whole title, 1 the topic currentTopic, 2 the groups
        QueryOptions options;
        QStringList groups;
        int currentTopic = -1;
    };
    // Runs a query; false with error() set when it is malformed or fails.
    // Either way the hit list is replaced.
    bool run(const Request &request);

    int hitCount() const { return int(m_hits.size()); }
    // Whether the last query has anything to mark, and what it marks.
    bool hasHighlights() const { return !m_highlightExpressions.isEmpty(); }
    HitMarks marks() const { return HitMarks(m_title, m_highlightExpressions); }
    int hitTopic(int i) const;
    QString hitTitle(int i) const;
    const QString &error() const { return m_error; }
    QueryError errorCode() const { return m_errorCode; }
    void clear();

    // Where the last query matched in a topic (see HitMarks).
    std::vector<HighlightSpan> highlights(int topic, const QString &nsrText, const QString &srText) const
    {
        return marks().highlights(topic, nsrText, srText);
    }
    HitContext hitContext(int topic, int around = 40) const { return marks().hitContext(topic, around); }

private:
    class Evaluator;
    bool runInParts(const QueryNode &root, const Request &request, int nearThreshold);
    bool failed();
    std::vector<std::pair<int64_t, int64_t>> groupRanges(const QStringList &groups) const;
    QString groupFilter(const QStringList &groups, const QString &column) const;

    std::shared_ptr<const TitleFile> m_title;
    std::vector<int> m_hits;
    QString m_error;
    QueryError m_errorCode = QueryError::None;
    QStringList m_highlightExpressions;
    std::unique_ptr<sqlite::Statement> m_statement;
    QString m_statementSql;
};

} // namespace folium::engine
