#include "tei_style.h"

#include <QRegularExpression>

namespace folium::mktitle::tei {

namespace {

void addToken(Style &s, QString t)
{
    t = t.toLower();
    t.remove(u'(');
    t.remove(u')');
    t.remove(u'#');
    if (t == u"italic" || t == u"italics" || t == u"i" || t == u"it" || t == u"kursiv" || t == u"cursive" ||
        t == u"corsivo" || t == u"italique")
        s.italic = true;
    else if (t == u"bold" || t == u"b" || t == u"fett" || t == u"bf" || t == u"grassetto" || t == u"gras")
        s.bold = true;
    else if (t == u"underline" || t == u"underlined" || t == u"u" || t == u"ul" || t == u"unterstrichen" ||
             t == u"sottolineato" || t == u"souligne")
        s.underline = true;
    else if (t == u"strikethrough" || t == u"strike" || t == u"line-through" || t == u"struck" || t == u"overstrike" ||
             t == u"durchgestrichen")
        s.strike = true;
    else if (t == u"sup" || t == u"superscript" || t == u"super" || t == u"hoch" || t == u"sc-sup" || t == u"raised" ||
             t == u"above")
        s.sup = true;
    else if (t == u"sub" || t == u"subscript" || t == u"tief" || t == u"lowered" || t == u"below")
        s.sub = true;
    else if (t == u"spaced" || t == u"letterspace" || t == u"letterspaced" || t == u"letter-spacing" ||
             t == u"gesperrt" || t == u"spaced-out" || t == u"sperrung" || t == u"espace")
        s.spaced = true;
    else if (t == u"smallcaps" || t == u"small-caps" || t == u"sc" || t == u"kapitaelchen" || t == u"kapitälchen" ||
             t == u"maiuscoletto")
        s.smallCaps = true;
    else if (t == u"large" || t == u"big" || t == u"larger" || t == u"gross")
        s.big = true;
    else if (t == u"small" || t == u"smaller" || t == u"klein")
        s.small = true;
    else if (t == u"right" || t == u"align-right" || t == u"alignright" || t == u"alignright" || t == u"rechts" ||
             t == u"textalignright")
        s.right = true;
    else if (t == u"center" || t == u"centre" || t == u"centered" || t == u"aligncenter" || t == u"align-center" ||
             t == u"zentriert")
        s.center = true;
}

// CSS declarations, as @style or a tagsDecl rendition writes them.
void addCss(Style &s, const QString &css)
{
    for (const QString &decl : css.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype colon = decl.indexOf(u':');
        if (colon < 0)
            continue;
        const QString prop = decl.left(colon).trimmed().toLower();
        const QString value = decl.mid(colon + 1).trimmed();
        const QString v = value.toLower();
        if (prop == u"font-style" && (v == u"italic" || v == u"oblique"))
            s.italic = true;
        else if (prop == u"font-weight" && (v == u"bold" || v == u"bolder" || v.toInt() >= 600))
            s.bold = true;
        else if (prop == u"text-decoration" || prop == u"text-decoration-line") {
            s.underline = s.underline || v.contains(u"underline");
            s.strike = s.strike || v.contains(u"line-through");
        } else if (prop == u"vertical-align") {
            s.sup = s.sup || v == u"super" || v == u"top";
            s.sub = s.sub || v == u"sub" || v == u"bottom";
        } else if (prop == u"letter-spacing" && v != u"normal" && v != u"0")
            s.spaced = true;
        else if (prop == u"font-variant" && v.contains(u"small-caps"))
            s.smallCaps = true;
        else if (prop == u"font-size" && (v == u"larger" || v == u"large" || v == u"x-large"))
            s.big = true;
        else if (prop == u"font-size" && (v == u"smaller" || v == u"small" || v == u"x-small"))
            s.small = true;
        else if (prop == u"text-align" && v == u"right")
            s.right = true;
        else if (prop == u"text-align" && v == u"center")
            s.center = true;
        else if (prop == u"content") {
            QString c = value;
            if (c.size() >= 2 && (c.front() == u'"' || c.front() == u'\'') && c.back() == c.front())
                c = c.mid(1, c.size() - 2);
            // CSS escapes of a code point: "\2026".
            static const QRegularExpression esc(QStringLiteral("\\\\([0-9A-Fa-f]{1,6})\\s?"));
            QString out;
            qsizetype at = 0;
            for (auto it = esc.globalMatch(c); it.hasNext();) {
                const auto m = it.next();
                out += c.mid(at, m.capturedStart() - at);
                const char32_t cp = m.captured(1).toUInt(nullptr, 16);
                if (cp > 0 && cp <= 0x10FFFF)
                    out += QString::fromUcs4(&cp, 1);
                at = m.capturedEnd();
            }
            s.content = out + c.mid(at);
        }
    }
}

void addRendition(Style &s, const QString &r)
{
    if (r.contains(u':'))
        addCss(s, r);
    else
        for (QString t : r.split(u',', Qt::SkipEmptyParts))
            if (t = t.trimmed(); !t.isEmpty())
                addToken(s, t);
}

} // namespace

Style styleOf(const xmlNode *n, const Renditions &renditions)
{
    Style s;
    if (!n->properties)
        return s;
    for (const QString &t : attribute(n, "rend").split(u' ', Qt::SkipEmptyParts)) {
        // A value the mapping file gives a style of its own.
        const auto mapped = renditions.isEmpty() ? renditions.constEnd() : renditions.constFind(kRendPrefix + t);
        addRendition(s, mapped != renditions.constEnd() ? *mapped : t);
    }
    addCss(s, attribute(n, "style"));
    for (QString ref : attribute(n, "rendition").split(u' ', Qt::SkipEmptyParts)) {
        if (ref.startsWith(u'#'))
            ref.remove(0, 1);
        else if (ref.contains(u':'))
            ref = ref.section(u':', -1);
        const auto it = renditions.constFind(ref);
        if (it != renditions.constEnd())
            addRendition(s, *it);
    }
    return s;
}

Renditions renditionsOf(const xmlNode *teiHeader)
{
    Renditions r;
    const xmlNode *encodingDesc = child(teiHeader, "encodingDesc");
    forEachElement(encodingDesc, [&](const xmlNode *e) {
        if (is(e, "rendition")) {
            const QString id = xmlAttribute(e, "id");
            if (!id.isEmpty())
                r.insert(id, plainText(e));
            return false;
        }
        if (is(e, "glyph") || is(e, "char")) {
            const QString id = xmlAttribute(e, "id");
            const xmlNode *mapping = child(e, "mapping");
            if (!id.isEmpty() && mapping)
                r.insert(QStringLiteral("glyph:") + id, plainText(mapping));
            return false;
        }
        return true;
    });
    return r;
}

} // namespace folium::mktitle::tei
