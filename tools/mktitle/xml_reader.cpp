#include "xml_reader.h"

#include <cstdint>
#include <cstring>

namespace folium::mktitle {

namespace {

bool isNameStart(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
}

bool isNameChar(unsigned char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool isSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The first byte of data that is not a character XML allows, in UTF-8, or
// -1: sequences that are not UTF-8 (a byte out of place, an overlong form,
// a surrogate, past U+10FFFF) and the control characters other than tab,
// line feed and carriage return. ASCII runs are checked eight bytes at a
// time, so that the check costs little beside the reading.
qsizetype firstInvalidCharacter(QByteArrayView data)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data.data());
    const qsizetype n = data.size();
    qsizetype i = 0;
    while (i < n) {
        if (i + 8 <= n) {
            uint64_t word;
            std::memcpy(&word, p + i, 8);
            // No byte with its high bit set, and none under 0x20.
            constexpr uint64_t kHigh = 0x8080808080808080ULL;
            const uint64_t lowBytes = (word - 0x2020202020202020ULL) & ~word & kHigh;
            if ((word & kHigh) == 0 && lowBytes == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned char c = p[i];
        if (c < 0x80) {
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
                return i;
            ++i;
            continue;
        }
        int more = 0;
        uint32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            cp = c & 0x07;
        } else {
            return i;
        }
        for (int k = 1; k <= more; ++k) {
            if (i + k >= n || (p[i + k] & 0xC0) != 0x80)
                return i;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        const bool overlong = (more == 2 && cp < 0x800) || (more == 3 && cp < 0x10000);
        if (overlong || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF || cp == 0xFFFE || cp == 0xFFFF)
            return i;
        i += more + 1;
    }
    return -1;
}

} // namespace

QStringView XmlAttributes::value(QLatin1String name) const
{
    for (const XmlAttribute &a : *this)
        if (a.name() == name)
            return a.value();
    return {};
}

bool XmlAttributes::hasAttribute(QLatin1String name) const
{
    for (const XmlAttribute &a : *this)
        if (a.name() == name)
            return true;
    return false;
}

XmlReader::XmlReader(QByteArray data) : m_data(std::move(data))
{
    // A byte order mark is allowed before the declaration.
    if (m_data.startsWith("\xEF\xBB\xBF"))
        m_pos = 3;
    // Text that is not UTF-8 is an error, as XML has it, at its line: never
    // text stored as it came, nor replaced without a word.
    if (const qsizetype bad = firstInvalidCharacter(m_data); bad >= 0) {
        m_line = 1 + QByteArrayView(m_data.constData(), bad).count('\n');
        fail(QStringLiteral("Invalid UTF-8, or a character XML does not allow (byte 0x%1).")
                 .arg(uint(static_cast<unsigned char>(m_data[bad])), 2, 16, QChar(u'0')));
    }
}

XmlReader::TokenType XmlReader::fail(const QString &message)
{
    if (m_error.isEmpty())
        m_error = message;
    m_token = Invalid;
    return m_token;
}

void XmlReader::advanceTo(qsizetype pos)
{
    const char *p = m_data.constData();
    for (qsizetype i = m_pos; i < pos; ++i)
        if (p[i] == '\n')
            ++m_line;
    m_pos = pos;
}

const QString &XmlReader::internName(qsizetype from, qsizetype to)
{
    const QByteArray bytes = QByteArray::fromRawData(m_data.constData() + from, to - from);
    for (const auto &[b, s] : m_names)
        if (b == bytes)
            return s;
    if (m_names.size() > 64)
        m_names.erase(m_names.begin());
    m_names.emplace_back(QByteArray(bytes.constData(), bytes.size()), QString::fromUtf8(bytes));
    return m_names.back().second;
}

bool XmlReader::readName(QString *out)
{
    const char *p = m_data.constData();
    const qsizetype n = m_data.size();
    qsizetype i = m_pos;
    if (i >= n || !isNameStart(static_cast<unsigned char>(p[i])))
        return false;
    while (i < n && isNameChar(static_cast<unsigned char>(p[i])))
        ++i;
    *out = internName(m_pos, i);
    m_pos = i;
    return true;
}

// Decodes character data between from and to into UTF-8: entities and
// character references are replaced; in attributes, "<" is an error. Text
// without references is handed out as a view of the input.
namespace {

void appendNormalised(QByteArray &buf, const char *p, qsizetype n, bool attribute)
{
    for (qsizetype i = 0; i < n; ++i) {
        char c = p[i];
        if (c == '\r') {
            if (i + 1 < n && p[i + 1] == '\n')
                ++i;
            c = '\n';
        }
        if (attribute && (c == '\n' || c == '\t'))
            c = ' ';
        buf.append(c);
    }
}

} // namespace

bool XmlReader::decodeUtf8(qsizetype from, qsizetype to, QByteArray *buffer, QByteArrayView *out, bool attribute)
{
    const char *p = m_data.constData();
    const char *amp = static_cast<const char *>(std::memchr(p + from, '&', size_t(to - from)));
    if (attribute && std::memchr(p + from, '<', size_t(to - from))) {
        fail(QStringLiteral("\"<\" is not allowed in an attribute value."));
        return false;
    }
    // Line ends are normalised as XML says: CR LF and a lone CR become LF,
    // and in an attribute value every tab and line end becomes a space.
    // Only the literal text is normalised, not characters given by reference.
    const QByteArrayView raw(p + from, to - from);
    const bool literalWork = raw.contains('\r') || (attribute && (raw.contains('\n') || raw.contains('\t')));
    if (!amp && !literalWork) {
        *out = raw;
        return true;
    }
    QByteArray &buf = *buffer;
    buf.clear();
    buf.reserve(to - from);
    qsizetype i = from;
    while (i < to) {
        const char *next = static_cast<const char *>(std::memchr(p + i, '&', size_t(to - i)));
        const qsizetype stop = next ? next - p : to;
        if (literalWork)
            appendNormalised(buf, p + i, stop - i, attribute);
        else
            buf.append(p + i, stop - i);
        i = stop;
        if (i >= to)
            break;
        const char *semi = static_cast<const char *>(std::memchr(p + i, ';', size_t(std::min<qsizetype>(to - i, 12))));
        if (!semi) {
            fail(QStringLiteral("Unterminated entity reference."));
            return false;
        }
        const QByteArrayView ent(p + i + 1, semi - (p + i + 1));
        uint cp = 0;
        if (ent == "lt")
            cp = '<';
        else if (ent == "gt")
            cp = '>';
        else if (ent == "amp")
            cp = '&';
        else if (ent == "quot")
            cp = '"';
        else if (ent == "apos")
            cp = '\'';
        else if (ent.startsWith('#')) {
            bool ok = false;
            cp = ent.size() > 1 && ent[1] == 'x' ? ent.sliced(2).toByteArray().toUInt(&ok, 16)
                                                 : ent.sliced(1).toByteArray().toUInt(&ok, 10);
            if (!ok || cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
                fail(QStringLiteral("Invalid character reference."));
                return false;
            }
        } else {
            fail(QStringLiteral("Entity '%1' not declared.").arg(QString::fromUtf8(ent)));
            return false;
        }
        const char32_t c = cp;
        buf += QString::fromUcs4(&c, 1).toUtf8();
        i = semi - p + 1;
    }
    *out = QByteArrayView(buf);
    return true;
}

bool XmlReader::decode(qsizetype from, qsizetype to, QString *out, bool attribute)
{
    QByteArray buffer;
    QByteArrayView view;
    if (!decodeUtf8(from, to, &buffer, &view, attribute))
        return false;
    *out = QString::fromUtf8(view);
    return true;
}

QStringView XmlReader::text() const
{
    if (!m_textDecoded) {
        m_text = QString::fromUtf8(m_textUtf8);
        m_textDecoded = true;
    }
    return m_text;
}

XmlReader::TokenType XmlReader::readNext()
{
    // Comments, processing instructions and blanks outside the root give
    // no token; elements in another namespace are passed over whole, with
    // all they hold.
    for (;;) {
        const TokenType t = readToken();
        if (t == Invalid || t == EndDocument)
            return t;
        if (m_foreignDepth > 0) {
            if (t == StartElement)
                ++m_foreignDepth;
            else if (t == EndElement)
                --m_foreignDepth;
            continue;
        }
        if (t == StartElement && m_foreign) {
            m_foreignDepth = 1;
            continue;
        }
        if (t != NoToken)
            return t;
    }
}

XmlReader::TokenType XmlReader::readToken()
{
    if (m_token == Invalid || m_token == EndDocument)
        return m_token;
    if (m_pendingEnd) {
        m_pendingEnd = false;
        closeElement();
        m_attributes.clear();
        return m_token = EndElement;
    }
    if (m_pos >= m_data.size()) {
        if (!m_open.empty())
            return fail(QStringLiteral("Premature end of document."));
        if (!m_seenRoot)
            return fail(QStringLiteral("Premature end of document."));
        return m_token = EndDocument;
    }
    return m_data[m_pos] == '<' ? readMarkup() : readText();
}

XmlReader::TokenType XmlReader::readText()
{
    const char *p = m_data.constData();
    const char *lt = static_cast<const char *>(std::memchr(p + m_pos, '<', size_t(m_data.size() - m_pos)));
    const qsizetype end = lt ? lt - p : m_data.size();
    const qsizetype start = m_pos;
    m_textDecoded = false;
    if (!decodeUtf8(start, end, &m_textBuffer, &m_textUtf8, false))
        return m_token;
    advanceTo(end);
    if (m_open.empty()) {
        // Outside the root element only blanks may stand.
        for (const char c : m_textUtf8)
            if (!isSpace(static_cast<unsigned char>(c)))
                return fail(QStringLiteral("Extra content at end of document."));
        return m_token = NoToken;
    }
    m_attributes.clear();
    return m_token = Characters;
}

XmlReader::TokenType XmlReader::readMarkup()
{
    const char *p = m_data.constData();
    const qsizetype n = m_data.size();
    const auto skipTo = [&](const char *end) -> bool {
        const QByteArrayView rest(p + m_pos, n - m_pos);
        const qsizetype at = rest.indexOf(end);
        if (at < 0)
            return false;
        advanceTo(m_pos + at + qsizetype(std::strlen(end)));
        return true;
    };
    if (m_pos + 3 < n && std::memcmp(p + m_pos, "<!--", 4) == 0) {
        if (!skipTo("-->"))
            return fail(QStringLiteral("Unterminated comment."));
        return m_token = NoToken;
    }
    if (m_pos + 8 < n && std::memcmp(p + m_pos, "<![CDATA[", 9) == 0) {
        if (m_open.empty())
            return fail(QStringLiteral("CDATA outside the root element."));
        const qsizetype start = m_pos + 9;
        if (!skipTo("]]>"))
            return fail(QStringLiteral("Unterminated CDATA section."));
        m_textUtf8 = QByteArrayView(p + start, m_pos - 3 - start);
        if (m_textUtf8.contains('\r')) { // its line ends are normalised too
            m_textBuffer.clear();
            appendNormalised(m_textBuffer, m_textUtf8.data(), m_textUtf8.size(), false);
            m_textUtf8 = QByteArrayView(m_textBuffer);
        }
        m_textDecoded = false;
        m_attributes.clear();
        return m_token = Characters;
    }
    if (m_pos + 1 < n && p[m_pos + 1] == '?') {
        if (!skipTo("?>"))
            return fail(QStringLiteral("Unterminated processing instruction."));
        return m_token = NoToken;
    }
    if (m_pos + 1 < n && p[m_pos + 1] == '!')
        return fail(QStringLiteral("a DOCTYPE (or another declaration) is not allowed: sources are read without "
                                   "DTDs, and entities other than XML's five must be written as characters."));

    const bool closing = m_pos + 1 < n && p[m_pos + 1] == '/';
    m_pos += closing ? 2 : 1;
    QString name;
    if (!readName(&name))
        return fail(QStringLiteral("Expected an element name."));
    m_attributes.clear();
    if (closing) {
        while (m_pos < n && isSpace(static_cast<unsigned char>(p[m_pos])))
            advanceTo(m_pos + 1);
        if (m_pos >= n || p[m_pos] != '>')
            return fail(QStringLiteral("Expected '>'."));
        ++m_pos;
        if (m_open.empty() || m_open.back() != name)
            return fail(QStringLiteral("Opening and ending tag mismatch."));
        closeElement();
        return m_token = EndElement;
    }
    if (m_open.empty() && m_seenRoot)
        return fail(QStringLiteral("Extra content at end of document."));
    // Attributes.
    for (;;) {
        qsizetype next = m_pos;
        while (next < n && isSpace(static_cast<unsigned char>(p[next])))
            ++next;
        const bool spaced = next > m_pos;
        advanceTo(next); // counts the lines of what was skipped
        if (m_pos >= n)
            return fail(QStringLiteral("Premature end of document."));
        if (p[m_pos] == '>') {
            ++m_pos;
            break;
        }
        if (p[m_pos] == '/') {
            if (m_pos + 1 >= n || p[m_pos + 1] != '>')
                return fail(QStringLiteral("Expected '>'."));
            m_pos += 2;
            m_pendingEnd = true;
            break;
        }
        QString attr;
        if (!spaced || !readName(&attr))
            return fail(QStringLiteral("Expected an attribute name."));
        while (m_pos < n && isSpace(static_cast<unsigned char>(p[m_pos])))
            advanceTo(m_pos + 1);
        if (m_pos >= n || p[m_pos] != '=')
            return fail(QStringLiteral("Expected '=' after an attribute name."));
        advanceTo(m_pos + 1);
        while (m_pos < n && isSpace(static_cast<unsigned char>(p[m_pos])))
            advanceTo(m_pos + 1);
        if (m_pos >= n || (p[m_pos] != '"' && p[m_pos] != '\''))
            return fail(QStringLiteral("Expected a quoted attribute value."));
        const char quote = p[m_pos];
        const char *endq = static_cast<const char *>(std::memchr(p + m_pos + 1, quote, size_t(n - m_pos - 1)));
        if (!endq)
            return fail(QStringLiteral("Premature end of document."));
        QString value;
        if (!decode(m_pos + 1, endq - p, &value, true))
            return m_token;
        for (const XmlAttribute &a : m_attributes)
            if (a.name() == attr)
                return fail(QStringLiteral("Attribute '%1' redefined.").arg(attr));
        advanceTo(endq - p + 1);
        m_attributes.emplace_back(attr, value);
    }
    m_seenRoot = true;
    m_open.push_back(name);
    if (!resolveNamespaces(name))
        return m_token;
    return m_token = StartElement;
}

namespace {

const QString kXmlNamespace = QStringLiteral("http://www.w3.org/XML/1998/namespace");

QStringView prefixOf(QStringView qname)
{
    const qsizetype colon = qname.indexOf(u':');
    return colon < 0 ? QStringView() : qname.left(colon);
}

QStringView localOf(QStringView qname)
{
    const qsizetype colon = qname.indexOf(u':');
    return colon < 0 ? qname : qname.sliced(colon + 1);
}

} // namespace

const QString *XmlReader::namespaceOf(QStringView prefix) const
{
    if (prefix == u"xml")
        return &kXmlNamespace;
    for (auto it = m_namespaces.rbegin(); it != m_namespaces.rend(); ++it)
        if (it->first == prefix)
            return &it->second;
    return nullptr;
}

bool XmlReader::resolveNamespaces(const QString &qname)
{
    // Declarations first: they hold for this element and all it holds.
    m_namespaceMarks.push_back(m_namespaces.size());
    bool plain = m_namespaces.empty() && !qname.contains(u':');
    for (qsizetype i = 0; plain && i < qsizetype(m_attributes.size()); ++i)
        plain = !m_attributes[size_t(i)].name().contains(u':') && m_attributes[size_t(i)].name() != u"xmlns";
    if (plain) { // the common case: no namespaces anywhere
        m_foreign = false;
        m_name = qname;
        return true;
    }
    XmlAttributes kept;
    for (XmlAttribute &a : m_attributes) {
        if (a.name() == u"xmlns")
            m_namespaces.emplace_back(QString(), a.value().toString());
        else if (a.name().startsWith(u"xmlns:")) {
            if (a.value().isEmpty()) {
                fail(QStringLiteral("Namespace prefix '%1' declared empty.").arg(localOf(a.name())));
                return false;
            }
            m_namespaces.emplace_back(localOf(a.name()).toString(), a.value().toString());
        } else
            kept.push_back(std::move(a));
    }
    const QString none;
    const auto resolve = [&](QStringView prefix, bool element) -> const QString * {
        if (prefix.isEmpty() && !element)
            return &none; // an attribute without a prefix is in no namespace
        const QString *uri = namespaceOf(prefix);
        if (!uri && prefix.isEmpty())
            return &none;
        if (!uri)
            fail(QStringLiteral("Namespace prefix '%1' is not declared.").arg(prefix));
        return uri;
    };
    const QString *elementUri = resolve(prefixOf(qname), true);
    if (!elementUri)
        return false;
    m_foreign = !elementUri->isEmpty() && *elementUri != m_ownNamespace;
    m_name = m_foreign ? qname : localOf(qname).toString();
    m_attributes.clear();
    for (XmlAttribute &a : kept) {
        const QString *uri = resolve(prefixOf(a.name()), false);
        if (!uri)
            return false;
        if (uri->isEmpty())
            m_attributes.push_back(std::move(a));
        else if (*uri == m_ownNamespace)
            m_attributes.emplace_back(localOf(a.name()).toString(), a.value().toString());
        // Attributes of other namespaces (xml:lang, a tool's own) are not the title's.
    }
    return true;
}

void XmlReader::closeElement()
{
    const QString qname = m_open.back();
    m_open.pop_back();
    if (!m_namespaceMarks.empty()) {
        m_namespaces.resize(m_namespaceMarks.back());
        m_namespaceMarks.pop_back();
    }
    m_name = localOf(qname).toString();
}

bool XmlReader::readNextStartElement()
{
    while (readNext() != Invalid) {
        if (m_token == EndElement || m_token == EndDocument)
            return false;
        if (m_token == StartElement)
            return true;
    }
    return false;
}

void XmlReader::skipCurrentElement()
{
    int depth = 1;
    while (depth > 0 && readNext() != Invalid && m_token != EndDocument) {
        if (m_token == EndElement)
            --depth;
        else if (m_token == StartElement)
            ++depth;
    }
}

} // namespace folium::mktitle
