#include "search.h"

#include "fold_tokenizer.h"
#include "plain_text.h"
#include "sanitizer.h"
#include "sqlite.h"
#include "title_file.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace folium::engine {

TitleSearch::TitleSearch(std::shared_ptr<const TitleFile> title) : m_title(std::move(title)) {}
TitleSearch::~TitleSearch() = default;

void TitleSearch::clear()
{
    m_hits.clear();
    m_error.clear();
    m_errorCode = QueryError::None;
    m_highlightExpressions.clear();
}

int TitleSearch::hitTopic(int i) const
{
    return i >= 0 && i < hitCount() ? m_hits[size_t(i)] : -1;
}

QString TitleSearch::hitTitle(int i) const
{
    if (i < 0 || i >= hitCount())
        return {};
    // Titles are mostly read in the order of the hits: the titles of the
    // hits a little ahead are brought towards the processor meanwhile, in
    // two steps (where a title is kept, then the title itself), so that
    // scattered hits do not wait on memory one after another.
    constexpr size_t kNear = 8, kFar = 16;
    const size_t at = size_t(i);
    if (at + kFar < m_hits.size())
        m_title->prefetchTitle(m_hits[at + kFar], false);
    if (at + kNear < m_hits.size())
        m_title->prefetchTitle(m_hits[at + kNear], true);
    return m_title->topicTitle(m_hits[at]);
}

std::vector<std::pair<int64_t, int64_t>> TitleSearch::groupRanges(const QStringList &groups) const
{
    // Groups are runs of consecutive topics: the filter is a few ranges of
    // the index, merged, never one probe per member.
    std::vector<std::pair<int64_t, int64_t>> ranges;
    sqlite::Statement st(m_title->database(), "SELECT first, last FROM search_group WHERE name = ?1");
    for (const QString &g : groups) {
        st.reset();
        st.bind(1, g.trimmed());
        while (st.step())
            ranges.emplace_back(st.integer(0), st.integer(1));
    }
    std::sort(ranges.begin(), ranges.end());
    std::vector<std::pair<int64_t, int64_t>> merged;
    for (const auto &r : ranges) {
        if (!merged.empty() && r.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, r.second);
        else
            merged.push_back(r);
    }
    return merged;
}

QString TitleSearch::groupFilter(const QStringList &groups, const QString &column) const
{
    const auto ranges = groupRanges(groups);
    if (ranges.empty())
        return QStringLiteral("0");
    QStringList parts;
    for (const auto &[a, b] : ranges)
        parts << QStringLiteral("%1 BETWEEN %2 AND %3").arg(column).arg(a).arg(b);
    return u'(' + parts.join(QStringLiteral(" OR ")) + u')';
}

namespace {

// A set of topics while a query is evaluated: its members in topic order,
// or, when negated, every topic but those. Negation is kept symbolic until
// the end, so "NOT a OR NOT b" never lists the whole title twice.
struct TopicSet {
    std::vector<int> ids;
    bool negated = false;
};

std::vector<int> intersect(const std::vector<int> &a, const std::vector<int> &b)
{
    std::vector<int> out;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

std::vector<int> unite(const std::vector<int> &a, const std::vector<int> &b)
{
    std::vector<int> out;
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

std::vector<int> minus(const std::vector<int> &a, const std::vector<int> &b)
{
    std::vector<int> out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

TopicSet both(const TopicSet &a, const TopicSet &b)
{
    if (!a.negated && !b.negated)
        return {intersect(a.ids, b.ids), false};
    if (!a.negated)
        return {minus(a.ids, b.ids), false};
    if (!b.negated)
        return {minus(b.ids, a.ids), false};
    return {unite(a.ids, b.ids), true};
}

TopicSet either(const TopicSet &a, const TopicSet &b)
{
    if (!a.negated && !b.negated)
        return {unite(a.ids, b.ids), false};
    if (!a.negated)
        return {minus(b.ids, a.ids), true};
    if (!b.negated)
        return {minus(a.ids, b.ids), true};
    return {intersect(a.ids, b.ids), true};
}

} // namespace

// Evaluates a query that FTS5 cannot take whole: each part FTS5 can say is
// one FTS5 query, and their hit lists are joined here. A chain of operators
// never nests a statement, so no query is refused for its shape.
class TitleSearch::Evaluator {
public:
    Evaluator(sqlite::Connection &db, int nearThreshold)
        : m_st(db, "SELECT rowid FROM fts WHERE fts MATCH ?1 ORDER BY rowid"), m_near(nearThreshold)
    {
    }

    bool ok() const { return m_ok && m_st.ok(); }

    TopicSet eval(const QueryNode &n)
    {
        if (!m_ok)
            return {};
        const QString fts = toFts5(n, m_near);
        if (!fts.isEmpty())
            return {run(fts), false};
        switch (n.kind) {
        case QueryNode::Not: {
            TopicSet s = eval(*n.parts[0]);
            s.negated = !s.negated;
            return s;
        }
        case QueryNode::And:
        case QueryNode::Or: {
            const bool isAnd = n.kind == QueryNode::And;
            // The parts FTS5 can say go to it together, in one query: for
            // AND, the words and what a NOT takes away from them; for OR,
            // the words.
            std::vector<const QueryNode *> positive, negative, rest;
            for (const auto &p : n.parts) {
                const bool isNot = p->kind == QueryNode::Not;
                const bool sayable = !toFts5(isNot ? *p->parts[0] : *p, m_near).isEmpty();
                (!sayable || (isNot && !isAnd) ? rest : isNot ? negative : positive).push_back(p.get());
            }
            if (positive.empty()) // nothing for a NOT to take away from
                rest.insert(rest.end(), negative.begin(), negative.end());
            else
                positive.insert(positive.end(), negative.begin(), negative.end());
            std::optional<TopicSet> acc;
            const auto add = [&](TopicSet s) { acc = !acc ? std::move(s) : isAnd ? both(*acc, s) : either(*acc, s); };
            if (!positive.empty()) {
                QueryNode together;
                together.kind = n.kind;
                for (const QueryNode *p : positive)
                    together.parts.push_back(clone(*p));
                const QString e = toFts5(positive.size() == 1 ? *positive[0] : together, m_near);
                if (!e.isEmpty())
                    add({run(e), false});
                else // together they nest too deep for FTS5
                    for (const QueryNode *p : positive)
                        add(eval(*p));
            }
            for (const QueryNode *p : rest)
                add(eval(*p));
            return acc ? std::move(*acc) : TopicSet{};
        }
        default: m_ok = false; return {};
        }
    }

private:
    static std::unique_ptr<QueryNode> clone(const QueryNode &n)
    {
        auto c = std::make_unique<QueryNode>();
        c->kind = n.kind;
        c->words = n.words;
        for (const auto &p : n.parts)
            c->parts.push_back(clone(*p));
        return c;
    }

    std::vector<int> run(const QString &fts)
    {
        std::vector<int> out;
        m_st.reset();
        m_st.bind(1, fts);
        while (m_st.step())
            out.push_back(int(m_st.integer(0)));
        m_ok = m_ok && m_st.succeeded();
        m_st.reset();
        return out;
    }

    sqlite::Statement m_st;
    int m_near;
    bool m_ok = true;
};

bool TitleSearch::run(const Request &req)
{
    clear();
    const ParsedQuery parsed = parseQuery(req.query, req.options);
    if (!parsed.root) {
        m_error = parsed.error;
        m_errorCode = parsed.code;
        return false;
    }
    const int nearN = std::max(0, req.options.nearThreshold);
    m_highlightExpressions = highlightExpressions(*parsed.root, nearN);

    const QString fts = toFts5(*parsed.root, nearN);
    if (fts.isEmpty())
        return runInParts(*parsed.root, req, nearN);

    // The common case: one FTS5 query, hits in topic order. Titles are read
    // from the packed titles when asked for.
    QString sql = QStringLiteral("SELECT rowid FROM fts WHERE fts MATCH ?");
    if (req.mode == 1)
        sql += QStringLiteral(" AND rowid = ") + QString::number(req.currentTopic);
    else if (req.mode == 2)
        sql += QStringLiteral(" AND ") + groupFilter(req.groups, QStringLiteral("rowid"));
    sql += QStringLiteral(" ORDER BY rowid");
    // Most searches share one statement text: keep it prepared.
    if (!m_statement || sql != m_statementSql) {
        m_statement.reset();
        const QByteArray sqlUtf8 = sql.toUtf8();
        auto prepared = std::make_unique<sqlite::Statement>(m_title->database(), sqlUtf8.constData());
        if (!prepared->ok())
            return failed();
        m_statement = std::move(prepared);
        m_statementSql = sql;
    }
    sqlite::Statement &st = *m_statement;
    st.reset();
    st.bind(1, fts);
    while (st.step())
        m_hits.push_back(int(st.integer(0)));
    const bool ok = st.succeeded();
    st.reset(); // releases the read transaction
    return ok ? true : failed();
}

bool TitleSearch::runInParts(const QueryNode &root, const Request &req, int nearThreshold)
{
    Evaluator ev(m_title->database(), nearThreshold);
    if (!ev.ok())
        return failed();
    TopicSet s = ev.eval(root);
    if (!ev.ok())
        return failed();
    // The domain: every topic, the topic shown, or the ranges of the groups.
    std::vector<std::pair<int64_t, int64_t>> domain;
    if (req.mode == 1)
        domain = {{req.currentTopic, req.currentTopic}};
    else if (req.mode == 2)
        domain = groupRanges(req.groups);
    else
        domain = {{0, m_title->topicCount() - 1}};
    size_t k = 0;
    for (const auto &[first, last] : domain) {
        const int a = int(std::clamp<int64_t>(first, 0, m_title->topicCount()));
        const int b = int(std::clamp<int64_t>(last, -1, m_title->topicCount() - 1));
        if (s.negated) {
            for (int t = a; t <= b; ++t) {
                while (k < s.ids.size() && s.ids[k] < t)
                    ++k;
                if (k == s.ids.size() || s.ids[k] != t)
                    m_hits.push_back(t);
            }
        } else {
            const auto from = std::lower_bound(s.ids.begin(), s.ids.end(), a);
            const auto to = std::upper_bound(from, s.ids.end(), b);
            m_hits.insert(m_hits.end(), from, to);
        }
    }
    return true;
}

bool TitleSearch::failed()
{
    // The database's own words are kept for a log, never shown as the reason.
    m_error = m_title->database().lastError();
    m_errorCode = QueryError::Failed;
    m_hits.clear();
    return false;
}

namespace {

// Maps UTF-8 byte offsets of a text to its UTF-16 positions.
std::vector<int> utf16Positions(const QByteArray &utf8)
{
    std::vector<int> pos(size_t(utf8.size()) + 1, 0);
    int u16 = 0;
    for (int i = 0; i < utf8.size(); ++i) {
        pos[size_t(i)] = u16;
        const auto c = static_cast<unsigned char>(utf8[i]);
        if ((c & 0xC0) != 0x80)
            u16 += c >= 0xF0 ? 2 : 1; // a four-byte sequence is a surrogate pair
    }
    pos[size_t(utf8.size())] = u16;
    return pos;
}

} // namespace

HitMarks::HitMarks(std::shared_ptr<const TitleFile> title, QStringList expressions)
    : m_title(std::move(title)), m_expressions(std::move(expressions))
{
}

std::vector<HighlightSpan> HitMarks::highlights(int topic, const QString &nsrText, const QString &srText) const
{
    std::vector<HighlightSpan> out;
    if (m_expressions.isEmpty() || !m_title || topic < 0)
        return out;
    // Token offsets of every phrase instance, per region.
    std::vector<std::pair<int, int>> instances[2]; // (first token, token count)
    sqlite::Statement st(m_title->database(), "SELECT folium_inst(fts) FROM fts WHERE fts MATCH ?1 AND rowid = ?2");
    for (const QString &expr : m_expressions) {
        st.reset();
        st.bind(1, expr);
        st.bind(2, int64_t(topic));
        if (!st.step())
            continue;
        const QString list = st.text(0);
        for (const QStringView item : QStringView(list).split(u';', Qt::SkipEmptyParts)) {
            const auto f = item.split(u' ');
            if (f.size() != 3)
                continue;
            // The index's columns are (sr, nsr): column 0 is region 1.
            const int col = f[0].toInt();
            if (col == 0 || col == 1)
                instances[1 - col].emplace_back(f[1].toInt(), std::max(1, f[2].toInt()));
        }
    }
    const QString *texts[2] = {&nsrText, &srText};
    for (int region = 0; region < 2; ++region) {
        auto &inst = instances[region];
        if (inst.empty())
            continue;
        const QByteArray utf8 = texts[region]->toUtf8();
        std::vector<std::pair<int, int>> spans;
        if (!tokenSpans(m_title->database(), utf8, &spans))
            continue;
        const std::vector<int> u16 = utf16Positions(utf8);
        std::sort(inst.begin(), inst.end());
        inst.erase(std::unique(inst.begin(), inst.end()), inst.end());
        for (const auto &[first, count] : inst) {
            const int last = first + count - 1;
            if (first < 0 || last >= int(spans.size()))
                continue;
            const HighlightSpan h{region, u16[size_t(spans[size_t(first)].first)],
                                  u16[size_t(spans[size_t(last)].second)]};
            // Overlapping instances (a word in two parts of the query) are marked once.
            if (!out.empty() && out.back().region == region && h.start < out.back().end)
                out.back().end = std::max(out.back().end, h.end);
            else
                out.push_back(h);
        }
    }
    return out;
}

namespace {

// A piece of text on one line: each run of blanks (line ends included)
// becomes one blank, at its ends too.
QString oneLine(QStringView s)
{
    QString out;
    out.reserve(s.size());
    bool blank = false;
    for (const QChar c : s) {
        if (c.isSpace()) {
            blank = true;
            continue;
        }
        if (blank)
            out += u' ';
        blank = false;
        out += c;
    }
    if (blank)
        out += u' ';
    return out;
}

} // namespace

HitContext HitMarks::hitContext(int topic, int around) const
{
    if (m_expressions.isEmpty() || !m_title)
        return {};
    const auto rec = m_title->topic(topic);
    if (!rec)
        return {};
    const std::vector<StoredHotspot> stored = m_title->hotspots(topic);
    const auto isNoteCall = [&stored](int ordinal) {
        const auto it = std::lower_bound(stored.begin(), stored.end(), ordinal,
                                         [](const StoredHotspot &h, int n) { return h.ordinal < n; });
        return it != stored.end() && it->ordinal == ordinal && it->noteCall;
    };
    // The text as shown, without the note that ends a region cut short:
    // its words are not the topic's.
    SanitizeLimits limits;
    limits.cutNotice.clear();
    const QString texts[2] = {plainTextOfRegion(sanitizeTopicHtml(rec->nsr, limits), isNoteCall),
                              plainTextOfRegion(sanitizeTopicHtml(rec->sr, limits), isNoteCall)};
    const std::vector<HighlightSpan> spans = highlights(topic, texts[0], texts[1]);
    if (spans.empty())
        return {};
    // Spans come sorted by region: the text's first hit is the first of region 1.
    const auto inText = std::find_if(spans.begin(), spans.end(), [](const HighlightSpan &h) { return h.region == 1; });
    const HighlightSpan &h = inText != spans.end() ? *inText : spans.front();
    const QString &t = texts[h.region];
    const int from = std::max(0, h.start - around);
    const int to = std::min(int(t.size()), h.end + around * 3 / 2);
    HitContext c;
    c.before = oneLine(QStringView(t).mid(from, h.start - from));
    c.hit = oneLine(QStringView(t).mid(h.start, h.end - h.start));
    c.after = oneLine(QStringView(t).mid(h.end, to - h.end));
    // Cut at whole words, and say where text was left out.
    if (from > 0) {
        const qsizetype blank = c.before.indexOf(u' ');
        c.before = QStringLiteral("\u2026") + (blank >= 0 ? c.before.mid(blank) : QString());
    }
    if (to < t.size()) {
        const qsizetype blank = c.after.lastIndexOf(u' ');
        c.after = (blank > 0 ? c.after.left(blank) : c.after) + QStringLiteral(" \u2026");
    }
    return c;
}

} // namespace folium::engine
