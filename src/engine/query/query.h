// The query language of full-text search: words, "phrases", prefix*, AND,
// OR, NOT, NEAR and parentheses (docs/query-syntax.md). A query is parsed
// into a tree whose AND and OR nodes take any number of parts, so a chain of
// operators never nests. The search turns the tree into FTS5 expressions,
// and joins their hit lists itself where FTS5 cannot say it (a NOT standing
// alone, or nesting deeper than FTS5's parser takes).
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

// Limits on what a reader may type. Past them the query is refused with a
// reason of its own, before anything reaches the database.
inline constexpr int kMaxQueryWords = 100;  // words, prefixes and phrases
inline constexpr int kMaxQueryDepth = 100;  // parentheses and NOTs, one inside the other
inline constexpr int kMaxQueryChars = 4000; // characters of the query text

// Why a query was refused, for the program to say in its own language.
enum class QueryError {
    None,
    Empty,     // nothing to search for
    Malformed, // quotes or parentheses left open, an operator without a word...
    TooLong,   // more words or characters than the limits
    TooDeep,   // parentheses or NOTs nested deeper than the limit
    Failed,    // the title's index could not answer
};

struct QueryOptions {
    bool implicitAnd = true; // words side by side are joined by AND, else by OR
    int nearThreshold = 8;   // at most this many words between the parts of a NEAR
};

struct ParsedQuery {
    std::unique_ptr<QueryNode> root; // null when the query is empty or malformed
    QString error;                   // why it is malformed
    QueryError code = QueryError::None;
};

ParsedQuery parseQuery(const QString &text, const QueryOptions &options);

// The FTS5 expression for a tree, or an empty string when FTS5 cannot say
// it: a NOT with nothing to take away from, or a tree nested deeper than
// FTS5's parser takes (its parts then go one by one).
QString toFts5(const QueryNode &node, int nearThreshold);

// The FTS5 expressions whose matches are highlighted: every positive part
// of the query (what a NOT excludes is never marked).
QStringList highlightExpressions(const QueryNode &node, int nearThreshold);

} // namespace folium::engine
