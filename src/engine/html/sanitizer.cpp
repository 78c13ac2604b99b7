#include "sanitizer.h"

#include "html_policy.h"
#include "html_vocabulary.h"

#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace folium::engine {

namespace {

using namespace html;

const QString kEllipsis = QStringLiteral("\u2026");

struct Attr {
    QString name;
    QString value;
};

struct Element {
    QString tag;
    int rows = 0;  // for tables; items for lists
    int cells = 0; // for tables
};

class Sanitizer {
public:
    Sanitizer(QStringView in, const SanitizeLimits &lim) : m_in(in), m_lim(lim) { m_out.reserve(in.size()); }

    QString run()
    {
        const qsizetype n = m_in.size();
        qsizetype i = 0;
        while (i < n && !m_full) {
            if (m_in[i] == u'<') {
                i = markup(i);
            } else {
                qsizetype j = m_in.indexOf(u'<', i);
                if (j < 0)
                    j = n;
                text(m_in.mid(i, j - i));
                i = j;
            }
        }
        while (!m_stack.empty())
            popEmit();
        if ((m_full || m_leftOut) && !m_lim.cutNotice.isEmpty())
            m_out += QStringLiteral("<p><i>") + escapeHtml(m_lim.cutNotice) + QStringLiteral("</i></p>");
        return m_out;
    }

    // The limit that cut the region short, if any.
    const QString &limitReached() const { return m_limit; }

private:
    // Leaves out the rest of the region from here.
    // Something inside the region was left out (the rest is kept).
    void leaveOut(const char *limit, int value)
    {
        if (m_limit.isEmpty())
            m_limit = QStringLiteral("%1 (at most %2)").arg(QLatin1String(limit)).arg(value);
        m_leftOut = true;
    }

    void cut(const char *limit, int value)
    {
        if (!m_full)
            m_limit = QStringLiteral("%1 (at most %2)").arg(QLatin1String(limit)).arg(value);
        m_full = true;
    }

    // Counts one more of something the region may hold a limited number
    // of; false (and the region cut) past the limit.
    bool count(int &counter, int limit, const char *what)
    {
        if (++counter <= limit)
            return true;
        cut(what, limit);
        return false;
    }

    static bool isBidiControl(char32_t c) { return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069); }

    // A place where a line may break: blanks, hyphens, zero-width spaces,
    // and the letters of scripts written without blanks (CJK and beyond).
    static bool breaksLine(char32_t c)
    {
        return QChar::isSpace(c) || c == u'-' || c == 0x00AD || c == 0x200B || (c >= 0x2010 && c <= 0x2015) ||
               c == u'/' || (c >= 0x2E80 && c < 0xD800) || (c >= 0xF900 && c < 0xFB00) || c >= 0x20000;
    }

    // How much of a text run the region can still take, in UTF-16 units:
    // all of it, or up to the first character past a limit (the region is
    // then cut).
    qsizetype fits(QStringView t)
    {
        for (qsizetype i = 0; i < t.size();) {
            char32_t c = t[i].unicode();
            if (c < 0x80) {
                // ASCII, most of any text, without Qt's character tables:
                // no marks or direction controls; letters are left-to-right,
                // the rest neutral.
                const bool letter = (c | 0x20) >= u'a' && (c | 0x20) <= u'z';
                if (c == u' ' || (c >= 0x09 && c <= 0x0D) || c == u'-' || c == u'/')
                    m_run = 0;
                else if (++m_run > m_lim.maxRunWithoutBreak) {
                    cut("characters without a place to break the line", m_lim.maxRunWithoutBreak);
                    return i;
                }
                m_marks = 0;
                if (letter) {
                    if (m_lastDirection == 2 &&
                        !count(m_directionChanges, m_lim.maxDirectionChanges, "changes of writing direction"))
                        return i;
                    m_lastDirection = 1;
                }
                ++i;
                continue;
            }
            qsizetype next = i + 1;
            if (QChar::isHighSurrogate(c) && next < t.size() && t[next].isLowSurrogate())
                c = QChar::surrogateToUcs4(t[i], t[next++]);
            if (breaksLine(c))
                m_run = 0;
            else if (++m_run > m_lim.maxRunWithoutBreak) {
                cut("characters without a place to break the line", m_lim.maxRunWithoutBreak);
                return i;
            }
            if (QChar::isMark(c)) {
                if (++m_marks > m_lim.maxCombiningMarks) {
                    cut("marks on one letter", m_lim.maxCombiningMarks);
                    return i;
                }
            } else {
                m_marks = 0;
            }
            if (isBidiControl(c) && !count(m_bidiControls, m_lim.maxBidiControls, "explicit direction marks"))
                return i;
            const QChar::Direction d = QChar::direction(c);
            const int dir = d == QChar::DirL ? 1 : d == QChar::DirR || d == QChar::DirAL ? 2 : 0;
            if (dir != 0) {
                if (m_lastDirection != 0 && dir != m_lastDirection &&
                    !count(m_directionChanges, m_lim.maxDirectionChanges, "changes of writing direction"))
                    return i;
                m_lastDirection = dir;
            }
            i = next;
        }
        return t.size();
    }

    qsizetype markup(qsizetype i)
    {
        const qsizetype n = m_in.size();
        if (m_in.mid(i).startsWith(u"<!--")) {
            const qsizetype e = m_in.indexOf(u"-->", i + 4);
            return e < 0 ? n : e + 3;
        }
        if (i + 1 >= n) {
            text(u"<");
            return n;
        }
        const QChar c = m_in[i + 1];
        if (c == u'!' || c == u'?') {
            const qsizetype e = m_in.indexOf(u'>', i);
            return e < 0 ? n : e + 1;
        }
        const bool closing = c == u'/';
        qsizetype p = i + (closing ? 2 : 1);
        if (p >= n || !m_in[p].isLetter()) {
            text(u"<");
            return i + 1;
        }
        qsizetype q = p;
        while (q < n && (m_in[q].isLetterOrNumber()) && q - p < 16)
            ++q;
        const QString tag = m_in.mid(p, q - p).toString().toLower();
        std::vector<Attr> attrs;
        bool selfClose = false;
        // Attributes up to the end of the tag; an unterminated tag swallows the rest.
        while (q < n && m_in[q] != u'>') {
            if (m_in[q].isSpace()) {
                ++q;
                continue;
            }
            if (m_in[q] == u'/') {
                selfClose = true;
                ++q;
                continue;
            }
            selfClose = false;
            qsizetype a = q;
            while (q < n && !m_in[q].isSpace() && m_in[q] != u'=' && m_in[q] != u'>' && m_in[q] != u'/')
                ++q;
            QString name = m_in.mid(a, q - a).toString().toLower();
            QString value;
            while (q < n && m_in[q].isSpace())
                ++q;
            if (q < n && m_in[q] == u'=') {
                ++q;
                while (q < n && m_in[q].isSpace())
                    ++q;
                if (q < n && (m_in[q] == u'"' || m_in[q] == u'\'')) {
                    const QChar quote = m_in[q];
                    const qsizetype e = m_in.indexOf(quote, q + 1);
                    if (e < 0)
                        return n;
                    value = decodeEntities(m_in.mid(q + 1, e - q - 1));
                    q = e + 1;
                } else {
                    qsizetype b = q;
                    while (q < n && !m_in[q].isSpace() && m_in[q] != u'>')
                        ++q;
                    value = decodeEntities(m_in.mid(b, q - b));
                }
            }
            if (attrs.size() < 16 && !name.isEmpty())
                attrs.push_back({name, value});
        }
        if (q >= n)
            return n;
        if (closing)
            closeTag(tag);
        else
            openTag(tag, attrs, selfClose);
        return q + 1;
    }

    void text(QStringView raw)
    {
        if (m_dropNesting > 0 || m_discardTables > 0)
            return;
        QString t = decodeEntities(raw);
        // Stray text directly inside a table or row is not shown by browsers either.
        if (!m_stack.empty() && (m_stack.back().tag == u"table" || m_stack.back().tag == u"tr" ||
                                 m_stack.back().tag == u"ul" || m_stack.back().tag == u"ol")) {
            if (t.trimmed().isEmpty())
                return;
        }
        if (m_textChars + t.size() > m_lim.maxTextChars) {
            t.truncate(std::max<qsizetype>(0, m_lim.maxTextChars - m_textChars));
            cut("characters of text", m_lim.maxTextChars);
        }
        const qsizetype kept = fits(t);
        if (kept < t.size())
            t.truncate(kept);
        m_textChars += t.size();
        m_out += escapeHtml(t);
        if (m_full)
            m_out += kEllipsis;
    }

    int find(const std::initializer_list<const char16_t *> &names, const std::initializer_list<const char16_t *> &stops)
    {
        for (int k = int(m_stack.size()) - 1; k >= 0; --k) {
            const QString &t = m_stack[size_t(k)].tag;
            for (const auto *nm : names)
                if (t == QStringView(nm))
                    return k;
            for (const auto *st : stops)
                if (t == QStringView(st))
                    return -1;
        }
        return -1;
    }

    void popTo(int k)
    {
        while (int(m_stack.size()) > k)
            popEmit();
    }

    void popEmit()
    {
        m_out += QStringLiteral("</") + m_stack.back().tag + u'>';
        m_stack.pop_back();
    }

    int tableDepth() const
    {
        return int(std::count_if(m_stack.begin(), m_stack.end(), [](const Element &e) { return e.tag == u"table"; }));
    }

    Element *currentTable()
    {
        for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it)
            if (it->tag == u"table")
                return &*it;
        return nullptr;
    }

    void openTag(const QString &tagName, const std::vector<Attr> &attrs, bool selfClose)
    {
        QString tag = tagName;
        if (m_dropNesting > 0) {
            if (isDroppedWithContent(tag) && !selfClose)
                ++m_dropNesting;
            return;
        }
        if (isDroppedWithContent(tag)) {
            if (!selfClose)
                m_dropNesting = 1;
            return;
        }
        if (m_discardTables > 0) {
            if (tag == u"table")
                ++m_discardTables;
            return;
        }
        if (!isAllowedTag(tag))
            return;

        // The implicit closes of HTML that matter for well-formed output.
        if (tag == u"li") {
            const int k = find({u"li"}, {u"ul", u"ol", u"td", u"th", u"table"});
            if (k >= 0)
                popTo(k);
            if (m_stack.size() >= 2 && m_stack.back().tag == u"p") {
                const QString &parent = m_stack[m_stack.size() - 2].tag;
                if (parent == u"ul" || parent == u"ol")
                    popEmit();
            }
            // Past the cap, items go on as plain paragraphs inside the list.
            if (!m_stack.empty() && (m_stack.back().tag == u"ul" || m_stack.back().tag == u"ol") &&
                ++m_stack.back().rows > m_lim.maxListItems)
                tag = QStringLiteral("p");
        } else if (tag == u"tr") {
            const int k = find({u"tr"}, {u"table"});
            if (k >= 0)
                popTo(k);
            if (m_stack.empty() || m_stack.back().tag != u"table")
                return;
            Element *t = currentTable();
            if (++t->rows > m_lim.maxRows) {
                leaveOut("rows in one table", m_lim.maxRows);
                m_discardTables = 1;
                return;
            }
        } else if (tag == u"td" || tag == u"th") {
            const int k = find({u"td", u"th"}, {u"tr", u"table"});
            if (k >= 0)
                popTo(k);
            if (m_stack.empty() || m_stack.back().tag != u"tr")
                return;
            Element *t = currentTable();
            if (++t->cells > m_lim.maxCells) {
                leaveOut("cells in one table", m_lim.maxCells);
                m_discardTables = 1;
                return;
            }
        } else if (blockTags().contains(tag) && !m_stack.empty() && m_stack.back().tag == u"p") {
            popEmit();
        }
        if (tag == u"table") {
            if (!m_stack.empty() && (m_stack.back().tag == u"table" || m_stack.back().tag == u"tr"))
                return;
            if (tableDepth() >= m_lim.maxTableDepth) {
                leaveOut("tables inside tables", m_lim.maxTableDepth);
                m_discardTables = 1;
                return;
            }
        }
        if (!isVoid(tag) && int(m_stack.size()) >= m_lim.maxDepth) {
            leaveOut("elements inside each other", m_lim.maxDepth);
            return;
        }
        if (!countLayout(tag, attrs))
            return;

        QString out = u'<' + tag;
        for (const Attr &a : attrs) {
            if (tag == u"span" && a.name == u"title" && a.value == QLatin1String(kUnindexedMark)) {
                out += QStringLiteral(" title=\"%1\"").arg(QLatin1String(kUnindexedMark));
                continue;
            }
            if (!isAllowedAttribute(tag, a.name))
                continue;
            QString v;
            if (!cleanAttribute(tag, a.name, a.value, &v))
                continue;
            out += u' ' + a.name + QStringLiteral("=\"") + escapeHtml(v) + u'"';
        }
        out += u'>';
        m_out += out;
        if (!isVoid(tag))
            m_stack.push_back({tag});
    }

    // Counts what an element adds to the layout; false (and the region cut)
    // when that is past a limit.
    bool countLayout(const QString &tag, const std::vector<Attr> &attrs)
    {
        const bool block = tag == u"p" || tag == u"div" || tag == u"li" || tag == u"pre" || tag == u"blockquote" ||
                           tag == u"hr" || tag == u"td" || tag == u"th" || (tag.size() == 2 && tag[0] == u'h');
        if (block || tag == u"br")
            m_run = 0;
        if (block && !count(m_blocks, m_lim.maxBlocks, "paragraphs and cells"))
            return false;
        if (tag == u"br")
            return count(m_lineBreaks, m_lim.maxLineBreaks, "line breaks");
        if (tag == u"hr")
            return count(m_rules, m_lim.maxRules, "rules");
        if (tag == u"img")
            return count(m_images, m_lim.maxImages, "images");
        if (tag == u"a")
            return count(m_anchors, m_lim.maxAnchors, "links and anchors");
        if (tag == u"td" || tag == u"th") {
            int span = 1;
            for (const Attr &a : attrs) {
                QString v;
                if ((a.name == u"colspan" || a.name == u"rowspan") && validNumber(a.value, 1, 100, &v))
                    span *= v.toInt();
            }
            m_spannedCells += span;
            if (m_spannedCells > m_lim.maxSpannedCells) {
                cut("table cells, each counted as the cells it spans", m_lim.maxSpannedCells);
                return false;
            }
        }
        return true;
    }

    bool cleanAttribute(const QString &tag, const QString &name, const QString &value, QString *out)
    {
        static const QRegularExpression hrefRe(QStringLiteral("^hs:[0-9]{1,6}$"));
        static const QRegularExpression anchorRe(QStringLiteral("^[A-Za-z0-9_:.\\-]{1,64}$"));
        static const QRegularExpression srcRe(QStringLiteral("^[A-Za-z0-9_.\\-]{1,128}$"));
        static const QRegularExpression alignRe(QStringLiteral("^(left|right|center|justify|top|middle|bottom)$"));
        static const QRegularExpression faceRe(QStringLiteral("^[A-Za-z0-9 ,\\-']{1,80}$"));
        static const QRegularExpression fontSizeRe(QStringLiteral("^[+\\-]?[1-7]$"));
        if (name == u"href") {
            *out = value;
            return hrefRe.match(value).hasMatch();
        }
        if (name == u"name") {
            *out = value;
            return anchorRe.match(value).hasMatch();
        }
        if (name == u"src") {
            *out = value;
            return srcRe.match(value).hasMatch() && !value.startsWith(u'.');
        }
        if (name == u"width" || name == u"height") {
            const int cap = tag == u"img" ? m_lim.maxImageSide : 4096;
            return validNumber(value, 1, cap, out, tag != u"img");
        }
        if (name == u"colspan" || name == u"rowspan")
            return validNumber(value, 1, 100, out);
        if (name == u"border" || name == u"cellpadding" || name == u"cellspacing")
            return validNumber(value, 0, 20, out);
        if (name == u"align" || name == u"valign") {
            *out = value.trimmed().toLower();
            return alignRe.match(*out).hasMatch();
        }
        if (name == u"color" || name == u"bgcolor") {
            *out = value.trimmed();
            return validColor(*out);
        }
        if (name == u"face") {
            *out = value;
            return faceRe.match(value).hasMatch();
        }
        if (name == u"size") {
            *out = value.trimmed();
            return fontSizeRe.match(*out).hasMatch();
        }
        if (name == u"alt") {
            *out = value.left(200);
            return true;
        }
        if (name == u"style") {
            *out = cleanStyle(value);
            return !out->isEmpty();
        }
        return false;
    }

    void closeTag(const QString &tag)
    {
        if (m_dropNesting > 0) {
            if (isDroppedWithContent(tag))
                --m_dropNesting;
            return;
        }
        if (m_discardTables > 0) {
            if (tag == u"table")
                --m_discardTables;
            if (m_discardTables > 0)
                return;
            // The table that overflowed is still open: close it now.
            const int k = find({u"table"}, {});
            if (k >= 0)
                popTo(k);
            return;
        }
        if (!isAllowedTag(tag) || isVoid(tag))
            return;
        int k = -1;
        if (tag == u"table") {
            k = find({u"table"}, {});
        } else if (tag == u"tr") {
            k = find({u"tr"}, {u"table"});
        } else if (tag == u"td" || tag == u"th") {
            k = find({u"td", u"th"}, {u"tr", u"table"});
        } else {
            // An end tag never closes anything outside the table cell it is in.
            for (int j = int(m_stack.size()) - 1; j >= 0; --j) {
                const QString &t = m_stack[size_t(j)].tag;
                if (t == tag) {
                    k = j;
                    break;
                }
                if (t == u"td" || t == u"th" || t == u"table")
                    break;
            }
        }
        if (k >= 0)
            popTo(k);
    }

    QStringView m_in;
    SanitizeLimits m_lim;
    QString m_out;
    std::vector<Element> m_stack;
    qsizetype m_textChars = 0;
    int m_dropNesting = 0;
    int m_discardTables = 0;
    bool m_full = false;
    bool m_leftOut = false;
    QString m_limit;
    // What the region holds so far, against the limits.
    int m_blocks = 0, m_lineBreaks = 0, m_rules = 0, m_images = 0, m_anchors = 0, m_spannedCells = 0;
    int m_run = 0, m_marks = 0, m_bidiControls = 0, m_directionChanges = 0, m_lastDirection = 0;
};

} // namespace

QString sanitizeTopicHtml(QStringView html, const SanitizeLimits &limits, SanitizeReport *report)
{
    Sanitizer s(html, limits);
    QString out = s.run();
    if (report)
        report->limit = s.limitReached();
    return out;
}

} // namespace folium::engine
