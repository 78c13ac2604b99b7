#include "html_vocabulary.h"

#include "html_policy.h"

#include <QRegularExpression>

#include <algorithm>

namespace folium::engine {

namespace html {

const QStringList &blockTags()
{
    static const QStringList l{u"p"_qs,  u"div"_qs, u"h1"_qs,  u"h2"_qs, u"h3"_qs,    u"h4"_qs,        u"ul"_qs,
                               u"ol"_qs, u"li"_qs,  u"pre"_qs, u"hr"_qs, u"table"_qs, u"blockquote"_qs};
    return l;
}

const QStringList &inlineTags()
{
    static const QStringList l{u"b"_qs,   u"strong"_qs, u"i"_qs,     u"em"_qs,  u"u"_qs,    u"s"_qs,
                               u"sub"_qs, u"sup"_qs,    u"small"_qs, u"big"_qs, u"span"_qs, u"font"_qs,
                               u"a"_qs,   u"br"_qs,     u"img"_qs,   u"tr"_qs,  u"td"_qs,   u"th"_qs};
    return l;
}

bool isDroppedWithContent(QStringView t)
{
    static const QStringList l{u"script"_qs, u"style"_qs,    u"head"_qs,     u"title"_qs, u"object"_qs,
                               u"embed"_qs,  u"iframe"_qs,   u"svg"_qs,      u"math"_qs,  u"textarea"_qs,
                               u"select"_qs, u"template"_qs, u"noscript"_qs, u"applet"_qs};
    return l.contains(t);
}

bool isVoid(QStringView t)
{
    return t == u"br" || t == u"hr" || t == u"img";
}

bool validNumber(const QString &v, int lo, int hi, QString *out, bool allowPercent)
{
    QString s = v.trimmed();
    bool percent = false;
    if (allowPercent && s.endsWith(u'%')) {
        percent = true;
        s.chop(1);
    }
    if (s.endsWith(u"px"))
        s.chop(2);
    bool ok = false;
    const int n = s.toInt(&ok);
    if (!ok)
        return false;
    if (percent) {
        *out = QString::number(std::clamp(n, 1, 100)) + u'%';
    } else {
        *out = QString::number(std::clamp(n, lo, hi));
    }
    return true;
}

bool validColor(const QString &v)
{
    static const QRegularExpression re(QStringLiteral("^(#[0-9A-Fa-f]{3}|#[0-9A-Fa-f]{6}|[A-Za-z]{1,20})$"));
    return re.match(v.trimmed()).hasMatch();
}

QString cleanStyle(const QString &style)
{
    static const QRegularExpression safeValue(QStringLiteral("^[#%.,\\-a-zA-Z0-9 '\"]{1,100}$"));
    static const QRegularExpression sizeRe(QStringLiteral("^(-?[0-9]{1,4}(?:\\.[0-9]{1,2})?)\\s*(pt|px|em|%)?$"));
    QString out;
    const auto decls = style.split(u';', Qt::SkipEmptyParts);
    int kept = 0;
    for (const QString &decl : decls) {
        if (++kept > 20)
            break;
        const int colon = decl.indexOf(u':');
        if (colon <= 0)
            continue;
        const QString prop = decl.left(colon).trimmed().toLower();
        QString value = decl.mid(colon + 1).trimmed();
        if (!isAllowedStyleProperty(prop) || !safeValue.match(value).hasMatch())
            continue;
        if (prop == u"font-size" || prop.startsWith(u"margin") || prop == u"text-indent" || prop == u"letter-spacing") {
            const auto m = sizeRe.match(value);
            if (!m.hasMatch())
                continue;
            double n = m.captured(1).toDouble();
            const QString unit = m.captured(2).isEmpty() ? QStringLiteral("px") : m.captured(2);
            if (prop == u"font-size") {
                const double maxFor = unit == u"em" ? 6 : unit == u"%" ? 600 : unit == u"px" ? 96 : 72;
                const double minFor = unit == u"em" ? 0.3 : unit == u"%" ? 30 : 4;
                n = std::clamp(n, minFor, maxFor);
            } else if (prop == u"letter-spacing") {
                // Spaced-out type, never so wide that a word falls apart.
                n = std::clamp(n, unit == u"em" ? -0.2 : -3.0, unit == u"em" ? 1.0 : unit == u"%" ? 200.0 : 16.0);
            } else {
                n = std::clamp(n, -500.0, 500.0);
            }
            value = QString::number(n) + unit;
        } else if (prop.contains(u"color") && !validColor(value)) {
            continue;
        } else if (prop == u"font-variant" && value != u"small-caps" && value != u"normal") {
            continue;
        }
        out += prop + u':' + value + u';';
    }
    return out;
}

QString decodeEntities(QStringView s)
{
    if (!s.contains(u'&'))
        return s.toString();
    static const QList<std::pair<QString, char32_t>> named{
        {u"amp"_qs, U'&'},     {u"lt"_qs, U'<'},      {u"gt"_qs, U'>'},      {u"quot"_qs, U'"'},
        {u"apos"_qs, U'\''},   {u"nbsp"_qs, 0xA0},    {u"laquo"_qs, 0xAB},   {u"raquo"_qs, 0xBB},
        {u"copy"_qs, 0xA9},    {u"mdash"_qs, 0x2014}, {u"ndash"_qs, 0x2013}, {u"hellip"_qs, 0x2026},
        {u"rsquo"_qs, 0x2019}, {u"lsquo"_qs, 0x2018}, {u"ldquo"_qs, 0x201C}, {u"rdquo"_qs, 0x201D}};
    QString r;
    r.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != u'&') {
            r += s[i];
            continue;
        }
        const qsizetype semi = s.indexOf(u';', i + 1);
        if (semi < 0 || semi - i > 12) {
            r += s[i];
            continue;
        }
        const QStringView name = s.mid(i + 1, semi - i - 1);
        char32_t cp = 0;
        if (name.startsWith(u'#')) {
            bool ok = false;
            uint v = name.size() > 1 && (name[1] == u'x' || name[1] == u'X') ? name.mid(2).toUInt(&ok, 16)
                                                                             : name.mid(1).toUInt(&ok, 10);
            if (ok && v > 0 && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF) && (v >= 0x20 || v == 9 || v == 10))
                cp = v;
        } else {
            for (const auto &[n, c] : named)
                if (name == n)
                    cp = c;
        }
        if (!cp) {
            r += s[i];
            continue;
        }
        r += QString::fromUcs4(&cp, 1);
        i = semi;
    }
    return r;
}

} // namespace html

using html::blockTags;
using html::inlineTags;

bool isAllowedTag(QStringView t)
{
    return blockTags().contains(t) || inlineTags().contains(t);
}

bool isAllowedAttribute(QStringView tag, QStringView a)
{
    if (a == u"style")
        return tag != u"br" && tag != u"img" && tag != u"a";
    if (a == u"align")
        return blockTags().contains(tag) || tag == u"td" || tag == u"th" || tag == u"tr";
    if (tag == u"a")
        return a == u"href" || a == u"name";
    if (tag == u"img")
        return a == u"src" || a == u"width" || a == u"height" || a == u"alt";
    if (tag == u"font")
        return a == u"face" || a == u"color" || a == u"size";
    if (tag == u"table")
        return a == u"border" || a == u"cellpadding" || a == u"cellspacing" || a == u"width" || a == u"bgcolor";
    if (tag == u"tr")
        return a == u"bgcolor" || a == u"valign";
    if (tag == u"td" || tag == u"th")
        return a == u"colspan" || a == u"rowspan" || a == u"width" || a == u"valign" || a == u"bgcolor";
    return false;
}

bool isAllowedStyleProperty(QStringView p)
{
    static const QStringList l{
        u"font-family"_qs,     u"font-size"_qs,      u"font-weight"_qs,      u"font-style"_qs,
        u"text-decoration"_qs, u"color"_qs,          u"background-color"_qs, u"text-align"_qs,
        u"text-indent"_qs,     u"margin-left"_qs,    u"margin-right"_qs,     u"margin-top"_qs,
        u"margin-bottom"_qs,   u"vertical-align"_qs, u"font-variant"_qs,     u"letter-spacing"_qs};
    return l.contains(p);
}

bool breaksWords(QStringView t)
{
    return blockTags().contains(t) || t == u"br" || t == u"img" || t == u"tr" || t == u"td" || t == u"th";
}

QString escapeHtml(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] != u'&' && s[i] != u'<' && s[i] != u'>' && s[i] != u'"')
        ++i;
    if (i == s.size())
        return s.toString();
    QString r;
    r.reserve(s.size() + 16);
    r.append(s.left(i));
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        switch (c.unicode()) {
        case '&': r += u"&amp;"; break;
        case '<': r += u"&lt;"; break;
        case '>': r += u"&gt;"; break;
        case '"': r += u"&quot;"; break;
        default: r += c;
        }
    }
    return r;
}

} // namespace folium::engine
