#include "query.h"

#include <algorithm>

namespace folium::engine {

namespace {

struct Token {
    enum Kind { Word, Prefix, Phrase, And, Or, Not, Near, LParen, RParen, End };
    Kind kind = End;
    QStringList words;
};

bool hasWordChar(const QString &s)
{
    for (const QChar c : s)
        if (c.isLetterOrNumber())
            return true;
    return false;
}

bool lex(const QString &text, std::vector<Token> *out, QString *error)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'(') {
            out->push_back({Token::LParen, {}});
            ++i;
        } else if (c == u')') {
            out->push_back({Token::RParen, {}});
            ++i;
        } else if (c == u'"') {
            const qsizetype e = text.indexOf(u'"', i + 1);
            if (e < 0) {
                *error = QStringLiteral("unbalanced quotes");
                return false;
            }
            QStringList words = text.mid(i + 1, e - i - 1).split(u' ', Qt::SkipEmptyParts);
            // A * at the end of a phrase makes its last word a prefix.
            const bool prefix = !words.isEmpty() && words.last().endsWith(u'*');
            if (prefix)
                while (words.last().endsWith(u'*'))
                    words.last().chop(1);
            QStringList kept;
            for (const QString &w : words) {
                if (w.contains(u'*')) {
                    *error = QStringLiteral("a * may only end a word");
                    return false;
                }
                if (hasWordChar(w))
                    kept << w;
            }
            if (kept.isEmpty()) {
                *error = QStringLiteral("empty phrase");
                return false;
            }
            out->push_back({prefix ? Token::Prefix : Token::Phrase, kept});
            i = e + 1;
        } else {
            qsizetype e = i;
            while (e < n && !text[e].isSpace() && text[e] != u'(' && text[e] != u')' && text[e] != u'"')
                ++e;
            QString w = text.mid(i, e - i);
            i = e;
            if (w == u"AND")
                out->push_back({Token::And, {}});
            else if (w == u"OR")
                out->push_back({Token::Or, {}});
            else if (w == u"NOT")
                out->push_back({Token::Not, {}});
            else if (w == u"NEAR")
                out->push_back({Token::Near, {}});
            else if (w.endsWith(u'*')) {
                while (w.endsWith(u'*'))
                    w.chop(1);
                if (!hasWordChar(w)) {
                    *error = QStringLiteral("a * needs letters before it");
                    return false;
                }
                if (w.contains(u'*')) {
                    *error = QStringLiteral("a * may only end a word");
                    return false;
                }
                out->push_back({Token::Prefix, {w}});
            } else if (w.contains(u'*')) {
                *error = QStringLiteral("a * may only end a word");
                return false;
            } else if (hasWordChar(w)) {
                out->push_back({Token::Word, {w}});
            }
            // A "word" of punctuation alone matches nothing and is dropped.
        }
    }
    out->push_back({Token::End, {}});
    return true;
}

using NodePtr = std::unique_ptr<QueryNode>;

NodePtr makeNode(QueryNode::Kind k, NodePtr a = nullptr)
{
    auto n = std::make_unique<QueryNode>();
    n->kind = k;
    if (a)
        n->parts.push_back(std::move(a));
    return n;
}

// Joins two parts with AND or OR. Chains stay flat: "a OR b OR c" is one OR
// of three parts, whatever the brackets, since both operators are
// associative.
NodePtr join(QueryNode::Kind k, NodePtr left, NodePtr right)
{
    NodePtr n = left->kind == k ? std::move(left) : makeNode(k, std::move(left));
    if (right->kind == k)
        for (NodePtr &p : right->parts)
            n->parts.push_back(std::move(p));
    else
        n->parts.push_back(std::move(right));
    return n;
}

// A recursive-descent parser. Every way down (a bracket, a NOT) counts
// against kMaxQueryDepth, so no query can exhaust the stack.
class Parser {
public:
    Parser(const std::vector<Token> &t, const QueryOptions &o) : m_t(t), m_opt(o) {}

    NodePtr parse(QString *error, QueryError *code)
    {
        NodePtr root = parseOr();
        if (root && peek() != Token::End)
            fail(peek() == Token::RParen ? QStringLiteral("unbalanced parentheses")
                                         : QStringLiteral("unexpected operator"));
        if (!m_error.isEmpty()) {
            *error = m_error;
            *code = m_code;
            return nullptr;
        }
        return root;
    }

private:
    Token::Kind peek() const { return m_t[m_i].kind; }
    const Token &take() { return m_t[m_i++]; }

    NodePtr fail(const QString &e, QueryError code = QueryError::Malformed)
    {
        if (m_error.isEmpty()) {
            m_error = e;
            m_code = code;
        }
        return nullptr;
    }

    bool deeper()
    {
        if (++m_depth <= kMaxQueryDepth)
            return true;
        fail(QStringLiteral("the query nests brackets or NOTs more than %1 deep").arg(kMaxQueryDepth),
             QueryError::TooDeep);
        return false;
    }

    static bool startsOperand(Token::Kind k)
    {
        return k == Token::Word || k == Token::Prefix || k == Token::Phrase || k == Token::LParen;
    }

    static QString name(Token::Kind k)
    {
        switch (k) {
        case Token::And: return QStringLiteral("AND");
        case Token::Or: return QStringLiteral("OR");
        case Token::Not: return QStringLiteral("NOT");
        case Token::Near: return QStringLiteral("NEAR");
        default: return QString();
        }
    }

    NodePtr needRight(Token::Kind op)
    {
        if (!startsOperand(peek()) && peek() != Token::Not)
            return fail(name(op) + QStringLiteral(" needs a word after it"));
        return nullptr;
    }

    NodePtr parseOr()
    {
        NodePtr left = parseAnd();
        while (left && m_error.isEmpty()) {
            if (peek() == Token::Or) {
                take();
                needRight(Token::Or);
            } else if (!(m_opt.implicitAnd == false && startsOperand(peek()))) {
                break;
            }
            NodePtr right = parseAnd();
            if (!right)
                return nullptr;
            left = join(QueryNode::Or, std::move(left), std::move(right));
        }
        return left;
    }

    NodePtr parseAnd()
    {
        NodePtr left = parseUnary();
        while (left && m_error.isEmpty()) {
            if (peek() == Token::And) {
                take();
                needRight(Token::And);
            } else if (peek() == Token::Not) {
                // "a NOT b" is "a AND NOT b".
            } else if (!(m_opt.implicitAnd && startsOperand(peek()))) {
                break;
            }
            NodePtr right = parseUnary();
            if (!right)
                return nullptr;
            left = join(QueryNode::And, std::move(left), std::move(right));
        }
        return left;
    }

    NodePtr parseUnary()
    {
        if (peek() != Token::Not)
            return parseNear();
        take();
        needRight(Token::Not);
        if (!deeper())
            return nullptr;
        NodePtr operand = parseUnary();
        --m_depth;
        if (!operand)
            return nullptr;
        // NOT NOT x is x.
        if (operand->kind == QueryNode::Not)
            return std::move(operand->parts[0]);
        return makeNode(QueryNode::Not, std::move(operand));
    }

    NodePtr parseNear()
    {
        NodePtr left = parsePrimary();
        if (!left || peek() != Token::Near)
            return left;
        auto near = makeNode(QueryNode::Near, std::move(left));
        while (peek() == Token::Near) {
            take();
            if (!startsOperand(peek()))
                return fail(QStringLiteral("NEAR needs a word after it"));
            NodePtr right = parsePrimary();
            if (!right)
                return nullptr;
            near->parts.push_back(std::move(right));
        }
        for (const auto &p : near->parts)
            if (p->kind != QueryNode::Term && p->kind != QueryNode::Prefix && p->kind != QueryNode::Phrase)
                return fail(QStringLiteral("NEAR joins words and phrases only"));
        return near;
    }

    NodePtr parsePrimary()
    {
        const Token::Kind k = peek();
        if (k == Token::Word || k == Token::Prefix || k == Token::Phrase) {
            if (++m_leaves > kMaxQueryWords)
                return fail(QStringLiteral("the query has more than %1 words").arg(kMaxQueryWords),
                            QueryError::TooLong);
            const Token &t = take();
            auto n = makeNode(k == Token::Word     ? QueryNode::Term
                              : k == Token::Prefix ? QueryNode::Prefix
                                                   : QueryNode::Phrase);
            n->words = t.words;
            return n;
        }
        if (k == Token::LParen) {
            take();
            if (peek() == Token::RParen)
                return fail(QStringLiteral("empty parentheses"));
            if (!deeper())
                return nullptr;
            NodePtr inner = parseOr();
            --m_depth;
            if (!inner)
                return nullptr;
            if (peek() != Token::RParen)
                return fail(QStringLiteral("unbalanced parentheses"));
            take();
            return inner;
        }
        if (k == Token::RParen)
            return fail(QStringLiteral("unbalanced parentheses"));
        if (k == Token::End)
            return fail(QStringLiteral("the query ends too soon"));
        return fail(name(k) + QStringLiteral(" needs a word before it"));
    }

    const std::vector<Token> &m_t;
    QueryOptions m_opt;
    size_t m_i = 0;
    int m_leaves = 0;
    int m_depth = 0;
    QString m_error;
    QueryError m_code = QueryError::None;
};

QString quoted(const QStringList &words)
{
    QString s = words.join(u' ');
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

QString leaf(const QueryNode &n)
{
    return n.kind == QueryNode::Prefix ? quoted(n.words) + u'*' : quoted(n.words);
}

} // namespace

ParsedQuery parseQuery(const QString &text, const QueryOptions &options)
{
    ParsedQuery out;
    if (text.size() > kMaxQueryChars) {
        out.error = QStringLiteral("the query is longer than %1 characters").arg(kMaxQueryChars);
        out.code = QueryError::TooLong;
        return out;
    }
    std::vector<Token> tokens;
    if (!lex(text, &tokens, &out.error)) {
        out.code = QueryError::Malformed;
        return out;
    }
    if (tokens.size() == 1) {
        out.error = QStringLiteral("empty query");
        out.code = QueryError::Empty;
        return out;
    }
    Parser p(tokens, options);
    out.root = p.parse(&out.error, &out.code);
    return out;
}

namespace {

// FTS5's own parser keeps a stack of a hundred entries, and each bracket
// takes up to three: expressions are sent to it at most this many levels
// deep; a deeper part of a query is taken apart by the search.
constexpr int kMaxFtsHeight = 16;

// The levels of a tree, counted no further than limit.
int height(const QueryNode &n, int limit)
{
    if (limit <= 1 || n.kind == QueryNode::Near)
        return 1;
    int h = 0;
    for (const auto &p : n.parts)
        h = std::max(h, height(*p, limit - 1));
    return h + 1;
}

QString fts5Of(const QueryNode &n, int nearThreshold)
{
    switch (n.kind) {
    case QueryNode::Term:
    case QueryNode::Prefix:
    case QueryNode::Phrase: return leaf(n);
    case QueryNode::Near: {
        QStringList parts;
        for (const auto &p : n.parts)
            parts << leaf(*p);
        return QStringLiteral("NEAR(%1, %2)").arg(parts.join(u' ')).arg(nearThreshold);
    }
    case QueryNode::And: {
        // FTS5's NOT is binary, "x NOT y": the parts that are not negated
        // come first, then each negated one is taken away.
        QStringList positive, negative;
        for (const auto &p : n.parts) {
            const QString e = fts5Of(p->kind == QueryNode::Not ? *p->parts[0] : *p, nearThreshold);
            if (e.isEmpty())
                return {};
            (p->kind == QueryNode::Not ? negative : positive) << e;
        }
        if (positive.isEmpty())
            return {};
        QString out = u'(' + positive.join(QStringLiteral(" AND ")) + u')';
        for (const QString &e : negative)
            out += QStringLiteral(" NOT ") + e;
        return negative.isEmpty() ? out : u'(' + out + u')';
    }
    case QueryNode::Or: {
        QStringList parts;
        for (const auto &p : n.parts) {
            const QString e = fts5Of(*p, nearThreshold);
            if (e.isEmpty())
                return {};
            parts << e;
        }
        return u'(' + parts.join(QStringLiteral(" OR ")) + u')';
    }
    case QueryNode::Not: return {};
    }
    return {};
}

} // namespace

QString toFts5(const QueryNode &n, int nearThreshold)
{
    if (height(n, kMaxFtsHeight + 1) > kMaxFtsHeight)
        return {};
    return fts5Of(n, nearThreshold);
}

QStringList highlightExpressions(const QueryNode &n, int nearThreshold)
{
    switch (n.kind) {
    case QueryNode::Term:
    case QueryNode::Prefix:
    case QueryNode::Phrase:
    case QueryNode::Near: return {toFts5(n, nearThreshold)};
    case QueryNode::And:
    case QueryNode::Or: {
        QStringList out;
        for (const auto &p : n.parts)
            if (p->kind != QueryNode::Not)
                out << highlightExpressions(*p, nearThreshold);
        return out;
    }
    case QueryNode::Not: return {};
    }
    return {};
}

} // namespace folium::engine
