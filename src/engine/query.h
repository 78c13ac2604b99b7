// The query language of full-text search: words, "phrases", prefix*, AND,
// OR, NOT, NEAR and parentheses (docs/query-syntax.md). A query is parsed
// into a tree, then turned into an FTS5 expression, or into SQL set
// operations where FTS5 cannot say it (a NOT standing alone).
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace folium::engine {

struct QueryNode {
    enum Kind { Term, Prefix, Phrase, Near, And, Or, Not };
    Kind kind = Term;
    QStringList words;                             // Term, Prefix (the stem), Phrase
    std::vector<std::unique_ptr<QueryNode>> parts; // Near, And, Or: two or more; Not: one
};

struct QueryOptions {
    bool implicitAnd = true; // words side by side are joined by AND, else by OR
    int nearThreshold = 8;   // at most this many words between the parts of a NEAR
};

struct ParsedQuery {
    std::unique_ptr<QueryNode> root; // null when the query is empty or malformed
    QString error;                   // why it is malformed
};

ParsedQuery parseQuery(const QString &text, const QueryOptions &options);

// The FTS5 expression for a tree that has no NOT of its own (a NOT that is
// not the right side of an AND); empty when the tree needs set operations.
QString toFts5(const QueryNode &node, int nearThreshold);

// An SQL statement that yields the matching topic indexes in order. Each "?"
// is bound in order to the strings of args (FTS5 expressions).
QString toSql(const QueryNode &node, int nearThreshold, QStringList *args);

// The FTS5 expressions whose matches are highlighted: every positive part
// of the query (what a NOT excludes is never marked).
QStringList highlightExpressions(const QueryNode &node, int nearThreshold);

} // namespace folium::engine
