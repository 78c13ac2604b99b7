#include "tei_converter.h"

namespace folium::mktitle::tei::detail {

bool Converter::block(const xmlNode *n, std::string_view name)
{
    if (name == "p" || name == "ab" || name == "l" || name == "salute" || name == "trailer" || name == "argument" ||
        name == "epigraph" || name == "titlePart" || name == "docTitle" || name == "titlePage" ||
        name == "docImprint" || name == "imprimatur" || name == "sp" || name == "speaker" || name == "stage") {
        const Style s = styleOf(n, m_renditions);
        paragraph(n, s.right ? "<p align=\"right\">" : s.center ? "<p align=\"center\">" : "<p>");
    } else if (name == "dateline" || name == "signed") {
        paragraph(n, "<p align=\"right\">");
    } else if (name == "addrLine") {
        paragraph(n, "<p style=\"margin-left:2em;margin-top:0;margin-bottom:0\">");
    } else if (name == "head") {
        m_w->pushInline("<b>", "</b>");
        paragraph(n, "<p>");
        m_w->popInline();
    } else if (name == "opener" || name == "closer" || name == "postscript" || name == "address" || name == "div" ||
               name == "lg" || name == "body" || name == "front" || name == "back" || name == "text" ||
               name == "group" || name == "floatingText" || name == "div1" || name == "div2" || name == "div3" ||
               name == "div4" || name == "div5" || name == "div6" || name == "div7") {
        container(n);
    } else if (name == "list") {
        list(n);
    } else if (name == "item") {
        item(n);
    } else if (name == "table") {
        table(n);
    } else if (name == "row") {
        row(n);
    } else if (name == "cell") {
        cell(n);
    } else if (name == "figure") {
        figure(n);
    } else if (name == "graphic") {
        graphic(n, nullptr);
    } else {
        return false;
    }
    return true;
}

void Converter::paragraph(const xmlNode *n, const QByteArray &open)
{
    m_w->endBlock();
    const QByteArray outer = m_w->paragraph();
    if (!m_w->inNote() && m_w->kind() == Writer::Kind::Root)
        m_w->setParagraph(open);
    styled(n, false);
    m_w->endBlock();
    m_w->setParagraph(outer);
}

void Converter::container(const xmlNode *n)
{
    m_w->endBlock();
    styled(n, false);
    m_w->endBlock();
}

void Converter::list(const xmlNode *n)
{
    if (m_w->inNote() || m_w->count(Writer::Kind::List) >= kMaxListDepth || !m_w->canNest(3) ||
        m_w->kind() == Writer::Kind::Table || m_w->kind() == Writer::Kind::Row) {
        container(n);
        return;
    }
    for (const xmlNode *c = n->children; c; c = c->next)
        if (is(c, "head"))
            element(c);
    const QString type = (attribute(n, "type") + u' ' + attribute(n, "rend")).toLower();
    const bool ordered = type.contains(QLatin1String("order")) || type.contains(QLatin1String("number"));
    m_w->openBlock(Writer::Kind::List, ordered ? "<ol>" : "<ul>", ordered ? "</ol>" : "</ul>");
    for (const xmlNode *c = n->children; c; c = c->next) {
        if (is(c, "head"))
            continue;
        if (c->type == XML_ELEMENT_NODE) {
            if (is(c, "label")) {
                m_w->openBlock(Writer::Kind::Cell, "<li>", "</li>");
                m_w->pushInline("<b>", "</b>");
                styled(c, true);
                m_w->popInline();
                m_w->closeBlock();
            } else {
                element(c);
            }
        } else if (c->type == XML_TEXT_NODE) {
            if (!QString::fromUtf8(reinterpret_cast<const char *>(c->content)).trimmed().isEmpty())
                textOf(c);
        }
    }
    m_w->closeBlock();
}

void Converter::item(const xmlNode *n)
{
    if (m_w->kind() != Writer::Kind::List) {
        container(n);
        return;
    }
    m_w->openBlock(Writer::Kind::Cell, "<li>", "</li>");
    styled(n, false);
    m_w->closeBlock();
}

void Converter::table(const xmlNode *n)
{
    if (m_w->inNote() || m_w->count(Writer::Kind::Table) >= kMaxTableDepth || !m_w->canNest(4) ||
        m_w->kind() == Writer::Kind::List) {
        container(n);
        return;
    }
    for (const xmlNode *c = n->children; c; c = c->next)
        if (is(c, "head"))
            element(c);
    m_w->openBlock(Writer::Kind::Table, "<table border=\"1\" cellpadding=\"3\" cellspacing=\"0\">", "</table>");
    for (const xmlNode *c = n->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && !is(c, "head"))
            element(c);
    m_w->closeBlock();
}

void Converter::row(const xmlNode *n)
{
    if (m_w->kind() != Writer::Kind::Table) {
        container(n);
        return;
    }
    m_w->openBlock(Writer::Kind::Row, "<tr>", "</tr>");
    for (const xmlNode *c = n->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE)
            element(c);
    m_w->closeBlock();
}

void Converter::cell(const xmlNode *n)
{
    if (m_w->kind() != Writer::Kind::Row) {
        m_w->blank();
        styled(n, true);
        m_w->blank();
        return;
    }
    const bool label = attribute(n, "role") == u"label";
    QByteArray open = label ? "<th" : "<td";
    const int cols = attribute(n, "cols").toInt();
    const int rows = attribute(n, "rows").toInt();
    if (cols > 1 && cols <= 100)
        open += " colspan=\"" + QByteArray::number(cols) + '"';
    if (rows > 1 && rows <= 1000)
        open += " rowspan=\"" + QByteArray::number(rows) + '"';
    m_w->openBlock(Writer::Kind::Cell, open + '>', label ? "</th>" : "</td>");
    styled(n, false);
    m_w->closeBlock();
}

void Converter::figure(const xmlNode *n)
{
    const xmlNode *desc = child(n, "figDesc");
    bool shown = false;
    for (const xmlNode *c = n->children; c; c = c->next) {
        if (is(c, "graphic"))
            shown = graphic(c, desc) || shown;
        else if (is(c, "head") || is(c, "p") || is(c, "figure"))
            element(c);
    }
    if (!shown && desc)
        description(desc);
}

bool Converter::graphic(const xmlNode *n, const xmlNode *desc)
{
    const QString url = attribute(n, "url");
    const QString name = url.isEmpty() || !m_images || m_w->inNote() ? QString() : m_images(url, lineOf(n));
    if (name.isEmpty()) {
        if (!desc)
            if (const xmlNode *own = child(n, "desc"))
                description(own);
        return false;
    }
    m_w->object("<img src=\"" + escaped(name) + "\" alt=\"" + escaped(plainText(desc)) + "\"/>", true);
    m_w->blank();
    return true;
}

void Converter::description(const xmlNode *desc)
{
    const QString text = plainText(desc);
    if (text.isEmpty())
        return;
    m_w->blank();
    m_w->unindexedText(u'[' + text + u']', kGrey + "<i>", "</i></span>");
    m_w->blank();
}

} // namespace folium::mktitle::tei::detail
