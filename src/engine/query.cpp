#include "query.h"

namespace folium::engine {

namespace {

constexpr int kMaxLeaves = 64;

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

NodePtr makeNode(QueryNode::Kind k, NodePtr a = nullptr, NodePtr b = nullptr)
{
    auto n = std::make_unique<QueryNode>();
    n->kind = k;
    if (a)
        n->parts.push_back(std::move(a));
    if (b)
        n->parts.push_back(std::move(b));
    return n;
}

class Parser {
public:
    Parser(const std::vector<Token> &t, const QueryOptions &o) : m_t(t), m_opt(o) {}

    NodePtr parse(QString *error)
    {
        NodePtr root = parseOr();
        if (root && peek() != Token::End)
            fail(peek() == Token::RParen ? QStringLiteral("unbalanced parentheses")
                                         : QStringLiteral("unexpected operator"));
        if (!m_error.isEmpty()) {
            *error = m_error;
            return nullptr;
        }
        return root;
    }

private:
    Token::Kind peek() const { return m_t[m_i].kind; }
    const Token &take() { return m_t[m_i++]; }

    NodePtr fail(const QString &e)
    {
        if (m_error.isEmpty())
            m_error = e;
        return nullptr;
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
            left = makeNode(QueryNode::Or, std::move(left), std::move(right));
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
            left = makeNode(QueryNode::And, std::move(left), std::move(right));
        }
        return left;
    }

    NodePtr parseUnary()
    {
        if (peek() == Token::Not) {
            take();
            needRight(Token::Not);
            NodePtr operand = parseUnary();
            if (!operand)
                return nullptr;
            return makeNode(QueryNode::Not, std::move(operand));
        }
        return parseNear();
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
            if (++m_leaves > kMaxLeaves)
                return fail(QStringLiteral("query too long"));
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
            NodePtr inner = parseOr();
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
    QString m_error;
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
    std::vector<Token> tokens;
    if (!lex(text, &tokens, &out.error))
        return out;
    if (tokens.size() == 1) {
        out.error = QStringLiteral("empty query");
        return out;
    }
    Parser p(tokens, options);
    out.root = p.parse(&out.error);
    return out;
}

QString toFts5(const QueryNode &n, int nearThreshold)
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
        const QueryNode &a = *n.parts[0];
        const QueryNode &b = *n.parts[1];
        const bool notA = a.kind == QueryNode::Not;
        const bool notB = b.kind == QueryNode::Not;
        if (notA && notB)
            return {};
        if (notA || notB) {
            // FTS5's NOT is binary: "x NOT y".
            const QString pos = toFts5(notA ? b : a, nearThreshold);
            const QString neg = toFts5(*(notA ? a : b).parts[0], nearThreshold);
            if (pos.isEmpty() || neg.isEmpty())
                return {};
            return u'(' + pos + QStringLiteral(" NOT ") + neg + u')';
        }
        const QString x = toFts5(a, nearThreshold);
        const QString y = toFts5(b, nearThreshold);
        return x.isEmpty() || y.isEmpty() ? QString() : u'(' + x + QStringLiteral(" AND ") + y + u')';
    }
    case QueryNode::Or: {
        const QString x = toFts5(*n.parts[0], nearThreshold);
        const QString y = toFts5(*n.parts[1], nearThreshold);
        return x.isEmpty() || y.isEmpty() ? QString() : u'(' + x + QStringLiteral(" OR ") + y + u')';
    }
    case QueryNode::Not: return {};
    }
    return {};
}

QString toSql(const QueryNode &n, int nearThreshold, QStringList *args)
{
    const QString fts = toFts5(n, nearThreshold);
    if (!fts.isEmpty()) {
        args->append(fts);
        return QStringLiteral("SELECT rowid AS r FROM fts WHERE fts MATCH ?");
    }
    const auto sub = [&](const QueryNode &c) {
        return QStringLiteral("SELECT r FROM (") + toSql(c, nearThreshold, args) + u')';
    };
    switch (n.kind) {
    case QueryNode::Not: return QStringLiteral("SELECT idx AS r FROM topic_nav EXCEPT ") + sub(*n.parts[0]);
    case QueryNode::And: {
        const QueryNode &a = *n.parts[0];
        const QueryNode &b = *n.parts[1];
        const bool notA = a.kind == QueryNode::Not;
        const bool notB = b.kind == QueryNode::Not;
        if (notA != notB) {
            const QString pos = sub(notA ? b : a);
            const QString neg = sub(*(notA ? a : b).parts[0]);
            return pos + QStringLiteral(" EXCEPT ") + neg;
        }
        const QString x = sub(a);
        const QString y = sub(b);
        return x + QStringLiteral(" INTERSECT ") + y;
    }
    case QueryNode::Or: {
        const QString a = sub(*n.parts[0]); // in this order: the arguments follow the text
        const QString b = sub(*n.parts[1]);
        return a + QStringLiteral(" UNION ") + b;
    }
    default: return {};
    }
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
