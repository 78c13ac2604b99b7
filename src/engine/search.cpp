#include "search.h"

#include "fold_tokenizer.h"
#include "sqlite_handle.h"
#include "title_file.h"

#include <algorithm>

namespace folium::engine {

TitleSearch::TitleSearch(std::shared_ptr<const TitleFile> title) : m_title(std::move(title)) {}
TitleSearch::~TitleSearch() = default;

void TitleSearch::clear()
{
    m_hits.clear();
    m_error.clear();
    m_highlightExpressions.clear();
}

int TitleSearch::hitTopic(int i) const
{
    return i >= 0 && i < hitCount() ? m_hits[size_t(i)] : -1;
}

const QString &TitleSearch::hitTitle(int i) const
{
    static const QString none;
    return i >= 0 && i < hitCount() ? m_title->topicTitle(m_hits[size_t(i)]) : none;
}

QString TitleSearch::groupFilter(const QStringList &groups, const QString &column) const
{
    // Groups are runs of consecutive topics: the filter is a few ranges of
    // the index, merged, never one probe per member.
    std::vector<std::pair<int64_t, int64_t>> ranges;
    Statement st(m_title->database(), "SELECT first, last FROM search_group WHERE name = ?1");
    for (const QString &g : groups) {
        st.reset();
        st.bind(1, g.trimmed());
        while (st.step())
            ranges.emplace_back(st.integer(0), st.integer(1));
    }
    if (ranges.empty())
        return QStringLiteral("0");
    std::sort(ranges.begin(), ranges.end());
    std::vector<std::pair<int64_t, int64_t>> merged;
    for (const auto &r : ranges) {
        if (!merged.empty() && r.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, r.second);
        else
            merged.push_back(r);
    }
    QStringList parts;
    for (const auto &[a, b] : merged)
        parts << QStringLiteral("%1 BETWEEN %2 AND %3").arg(column).arg(a).arg(b);
    return u'(' + parts.join(QStringLiteral(" OR ")) + u')';
}

bool TitleSearch::run(const Request &req)
{
    clear();
    const ParsedQuery parsed = parseQuery(req.query, req.options);
    if (!parsed.root) {
        m_error = parsed.error;
        return false;
    }
    const int nearN = std::max(0, req.options.nearThreshold);
    m_highlightExpressions = highlightExpressions(*parsed.root, nearN);

    const auto filterOn = [&](const QString &column) {
        if (req.mode == 1)
            return column + QStringLiteral(" = ") + QString::number(req.currentTopic);
        if (req.mode == 2)
            return groupFilter(req.groups, column);
        return QString();
    };

    QStringList args;
    QString sql;
    const QString fts = toFts5(*parsed.root, nearN);
    if (!fts.isEmpty()) {
        // The common case: one FTS5 query, hits in topic order. Titles are
        // read from the packed titles when asked for.
        args << fts;
        sql = QStringLiteral("SELECT rowid FROM fts WHERE fts MATCH ?") +
              (req.mode == 0 ? QString() : QStringLiteral(" AND ") + filterOn(QStringLiteral("rowid"))) +
              QStringLiteral(" ORDER BY rowid");
    } else {
        const QString inner = toSql(*parsed.root, nearN, &args);
        sql = QStringLiteral("SELECT r FROM (") + inner + u')' +
              (req.mode == 0 ? QString() : QStringLiteral(" WHERE ") + filterOn(QStringLiteral("r"))) +
              QStringLiteral(" ORDER BY r");
    }
    // Most searches share one statement text: keep it prepared.
    if (!m_statement || sql != m_statementSql) {
        m_statement.reset();
        const QByteArray sqlUtf8 = sql.toUtf8();
        auto prepared = std::make_unique<Statement>(m_title->database(), sqlUtf8.constData());
        if (!prepared->ok()) {
            m_error = m_title->database().lastError();
            return false;
        }
        m_statement = std::move(prepared);
        m_statementSql = sql;
    }
    Statement &st = *m_statement;
    st.reset();
    for (int i = 0; i < args.size(); ++i)
        st.bind(i + 1, args[i]);
    while (st.step())
        m_hits.push_back(int(st.integer(0)));
    const bool ok = st.succeeded();
    st.reset(); // releases the read transaction
    if (!ok) {
        m_error = m_title->database().lastError();
        m_hits.clear();
        return false;
    }
    return true;
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

std::vector<HighlightSpan> TitleSearch::highlights(int topic, const QString &nsrText, const QString &srText) const
{
    std::vector<HighlightSpan> out;
    if (m_highlightExpressions.isEmpty() || topic < 0)
        return out;
    // Token offsets of every phrase instance, per region.
    std::vector<std::pair<int, int>> instances[2]; // (first token, token count)
    Statement st(m_title->database(), "SELECT folium_inst(fts) FROM fts WHERE fts MATCH ?1 AND rowid = ?2");
    for (const QString &expr : m_highlightExpressions) {
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
            const int col = f[0].toInt();
            if (col == 0 || col == 1)
                instances[col].emplace_back(f[1].toInt(), std::max(1, f[2].toInt()));
        }
    }
    const QString *texts[2] = {&nsrText, &srText};
    for (int region = 0; region < 2; ++region) {
        auto &inst = instances[region];
        if (inst.empty())
            continue;
        const QByteArray utf8 = texts[region]->toUtf8();
        std::vector<std::pair<int, int>> spans;
        if (!tokenSpans(m_title->database().handle(), utf8, &spans))
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

} // namespace folium::engine
