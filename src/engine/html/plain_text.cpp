#include "plain_text.h"

#include "html_policy.h"
#include "sanitizer.h"

#include <vector>

namespace folium::engine {

namespace {

// The sanitiser writes text with these four entities only.
void appendDecoded(QString &out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            out += text[i];
            continue;
        }
        static const std::pair<QStringView, QChar> entities[] = {
            {u"&amp;", u'&'}, {u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&quot;", u'"'}};
        bool done = false;
        for (const auto &[name, c] : entities) {
            if (text.mid(i).startsWith(name)) {
                out += c;
                i += name.size() - 1;
                done = true;
                break;
            }
        }
        if (!done)
            out += text[i];
    }
}

} // namespace

QString plainTextOfRegion(QStringView html, const std::function<bool(int)> &isNoteCall)
{
    QString out;
    out.reserve(html.size());
    bool inLabel = false; // inside a note call's anchor
    // Open spans, and how many of them hold text that is no word of the
    // index (left out, with no separator).
    std::vector<bool> spans;
    int unindexed = 0;
    const QString unindexedAttribute = QStringLiteral("title=\"%1\"").arg(QLatin1String(kUnindexedMark));
    qsizetype i = 0;
    while (i < html.size()) {
        if (html[i] != u'<') {
            qsizetype j = html.indexOf(u'<', i);
            if (j < 0)
                j = html.size();
            if (!inLabel && unindexed == 0)
                appendDecoded(out, html.mid(i, j - i));
            i = j;
            continue;
        }
        const qsizetype end = html.indexOf(u'>', i);
        if (end < 0)
            break;
        const QStringView tag = html.mid(i + 1, end - i - 1);
        i = end + 1;
        const bool closing = tag.startsWith(u'/');
        const QStringView body = closing ? tag.mid(1) : tag;
        qsizetype n = 0;
        while (n < body.size() && body[n].isLetterOrNumber())
            ++n;
        const QStringView name = body.left(n);
        if (name == u"a") {
            if (closing && inLabel) {
                inLabel = false;
                out += u' ';
            } else if (!closing) {
                const qsizetype href = body.indexOf(u"href=\"hs:");
                if (href >= 0 && isNoteCall && isNoteCall(body.mid(href + 9).toString().section(u'"', 0, 0).toInt())) {
                    inLabel = true;
                    out += u' ';
                }
            }
        } else if (name == u"span") {
            if (!closing) {
                spans.push_back(body.contains(unindexedAttribute));
                unindexed += spans.back() ? 1 : 0;
            } else if (!spans.empty()) {
                unindexed -= spans.back() ? 1 : 0;
                spans.pop_back();
            }
        } else if (breaksWords(name)) {
            out += u'\n';
        }
    }
    return out;
}

} // namespace folium::engine
