#include "tei_xml.h"

#include <QFile>

#include <cstring>
#include <mutex>

#include <libxml/parser.h>
#include <libxml/xmlreader.h>

namespace folium::mktitle::tei {

namespace {

// The external entity a document asked for last, refused.
thread_local QString g_refused;

xmlParserInputPtr refuseExternal(const char *url, const char *, xmlParserCtxtPtr)
{
    g_refused = QString::fromUtf8(url ? url : "");
    return nullptr;
}

void silent(void *, const char *, ...) {}

void setUpLibxml()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        // Nothing but the file itself is read: no DTD, no external entity,
        // whatever the document declares.
        xmlSetExternalEntityLoader(refuseExternal);
        xmlSetGenericErrorFunc(nullptr, silent);
    });
}

bool nameIs(const xmlChar *name, const char *localName)
{
    return name && std::strcmp(reinterpret_cast<const char *>(name), localName) == 0;
}

bool inTeiNamespace(const xmlNode *n)
{
    return n->ns && n->ns->href && std::strcmp(reinterpret_cast<const char *>(n->ns->href), kTeiNamespace) == 0;
}

QString fromXml(const xmlChar *s)
{
    return s ? QString::fromUtf8(reinterpret_cast<const char *>(s)) : QString();
}

void appendText(const xmlNode *n, QString &out)
{
    for (const xmlNode *c = n->children; c; c = c->next) {
        if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE)
            out += fromXml(c->content);
        else if (c->type == XML_ELEMENT_NODE)
            appendText(c, out);
    }
}

} // namespace

bool isTeiElement(const xmlNode *n)
{
    return n && n->type == XML_ELEMENT_NODE && inTeiNamespace(n);
}

bool is(const xmlNode *n, const char *localName)
{
    return isTeiElement(n) && nameIs(n->name, localName);
}

QString localName(const xmlNode *n)
{
    return n && n->type == XML_ELEMENT_NODE ? fromXml(n->name) : QString();
}

QString attribute(const xmlNode *n, const char *name)
{
    xmlChar *v = xmlGetNoNsProp(const_cast<xmlNode *>(n), reinterpret_cast<const xmlChar *>(name));
    const QString out = fromXml(v);
    xmlFree(v);
    return out;
}

QString xmlAttribute(const xmlNode *n, const char *name)
{
    xmlChar *v = xmlGetNsProp(const_cast<xmlNode *>(n), reinterpret_cast<const xmlChar *>(name), XML_XML_NAMESPACE);
    const QString out = fromXml(v);
    xmlFree(v);
    return out;
}

int lineOf(const xmlNode *n)
{
    return n ? int(xmlGetLineNo(const_cast<xmlNode *>(n))) : 0;
}

const xmlNode *child(const xmlNode *n, const char *name)
{
    if (!n)
        return nullptr;
    for (const xmlNode *c = n->children; c; c = c->next)
        if (is(c, name))
            return c;
    return nullptr;
}

const xmlNode *descendant(const xmlNode *n, const char *name)
{
    if (!n)
        return nullptr;
    for (const xmlNode *c = n->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE)
            continue;
        if (is(c, name))
            return c;
        if (const xmlNode *d = descendant(c, name))
            return d;
    }
    return nullptr;
}

void forEachElement(const xmlNode *n, const std::function<bool(const xmlNode *)> &visit)
{
    if (!n)
        return;
    for (const xmlNode *c = n->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && visit(c))
            forEachElement(c, visit);
}

QString plainText(const xmlNode *n)
{
    QString raw;
    if (n)
        appendText(n, raw);
    return raw.simplified();
}

// --- Files -------------------------------------------------------------------

TeiFileReader::TeiFileReader()
{
    setUpLibxml();
}

TeiFileReader::~TeiFileReader() = default;

namespace {

void onError(void *context, xmlErrorPtr e)
{
    auto *state = static_cast<QString *>(context);
    // A refused external entity is only a warning to the parser, which
    // reads on without its text: here it is an error, so that no letter
    // silently loses what the entity stood for.
    if (!e || !state->isEmpty() || (e->level < XML_ERR_ERROR && g_refused.isEmpty()))
        return;
    QString message = QString::fromUtf8(e->message ? e->message : "not well-formed").trimmed();
    if (!g_refused.isEmpty())
        message = QStringLiteral("the external entity or DTD \"%1\" is not read: declare what the document uses "
                                 "inside it")
                      .arg(g_refused);
    *state = QStringLiteral("%1\t%2").arg(e->line).arg(message);
}

} // namespace

bool TeiFileReader::read(const QString &path, const std::function<void(const TeiDocument &)> &visit)
{
    m_error.clear();
    m_errorLine = 0;
    g_refused.clear();
    const int options = XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_NOCDATA | XML_PARSE_BIG_LINES |
                        XML_PARSE_NOWARNING | XML_PARSE_COMPACT;
    // A letter's file (a few kilobytes) is read whole at once, and the
    // parser then makes no call to the system of its own; a large file (a
    // corpus of a volume) is read as a stream, so that memory follows its
    // largest letter.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("cannot open the file: %1").arg(file.errorString());
        return false;
    }
    QByteArray bytes;
    if (file.size() <= kWholeFileBytes) {
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            m_error = QStringLiteral("cannot read the file: %1").arg(file.errorString());
            return false;
        }
    }
    file.close();
    const QByteArray name = QFile::encodeName(path);
    xmlTextReaderPtr r =
        bytes.isNull() ? xmlReaderForFile(name.constData(), nullptr, options)
                       : xmlReaderForMemory(bytes.constData(), int(bytes.size()), name.constData(), nullptr, options);
    if (!r) {
        m_error = QStringLiteral("cannot read the file");
        return false;
    }
    QString problem; // "line\tmessage" of the first error
    xmlTextReaderSetStructuredErrorHandler(r, onError, &problem);
    xmlNode *corpusHeader = nullptr;
    bool corpus = false;
    int index = 0;
    int ret = xmlTextReaderRead(r);
    while (ret == 1 && problem.isEmpty()) {
        if (xmlTextReaderNodeType(r) != XML_READER_TYPE_ELEMENT) {
            ret = xmlTextReaderRead(r);
            continue;
        }
        const int depth = xmlTextReaderDepth(r);
        const xmlChar *ns = xmlTextReaderConstNamespaceUri(r);
        const xmlChar *name = xmlTextReaderConstLocalName(r);
        const bool tei = ns && std::strcmp(reinterpret_cast<const char *>(ns), kTeiNamespace) == 0;
        if (depth == 0 && m_registerRoots && tei &&
            (nameIs(name, "listPerson") || nameIs(name, "listPlace") || nameIs(name, "listOrg") ||
             nameIs(name, "listBibl") || nameIs(name, "standOff"))) {
            // A register file of its own: the register is the document.
            xmlNode *n = xmlTextReaderExpand(r);
            if (!n || !problem.isEmpty())
                break;
            visit({n, nullptr, index++});
            ret = xmlTextReaderNext(r);
            continue;
        }
        if (depth == 0) {
            if (!tei || (!nameIs(name, "TEI") && !nameIs(name, "teiCorpus"))) {
                m_errorLine = xmlTextReaderGetParserLineNumber(r);
                m_error = ns ? QStringLiteral("not a TEI document: the root element is <%1> in the namespace %2, "
                                              "not <TEI> or <teiCorpus> in %3")
                                   .arg(fromXml(name), fromXml(ns), QLatin1String(kTeiNamespace))
                             : QStringLiteral("not a TEI document: the root element is <%1> in no namespace, not "
                                              "<TEI> or <teiCorpus> in %2")
                                   .arg(fromXml(name), QLatin1String(kTeiNamespace));
                xmlFreeTextReader(r);
                return false;
            }
            corpus = nameIs(name, "teiCorpus");
        }
        if (tei && nameIs(name, "TEI")) {
            xmlNode *n = xmlTextReaderExpand(r);
            if (!n || !problem.isEmpty())
                break;
            visit({n, corpusHeader, index++});
            ret = xmlTextReaderNext(r);
            continue;
        }
        if (corpus && depth == 1 && tei && nameIs(name, "teiHeader")) {
            xmlNode *n = xmlTextReaderExpand(r);
            if (!n || !problem.isEmpty())
                break;
            // Kept while the corpus's documents are read; the reader frees
            // what it has passed.
            if (!corpusHeader)
                corpusHeader = xmlCopyNode(n, 1);
            ret = xmlTextReaderNext(r);
            continue;
        }
        ret = xmlTextReaderRead(r);
    }
    if (ret < 0 && problem.isEmpty())
        problem = QStringLiteral("%1\tnot well-formed").arg(xmlTextReaderGetParserLineNumber(r));
    if (problem.isEmpty() && !g_refused.isEmpty())
        problem = QStringLiteral("%1\tthe external entity or DTD \"%2\" is not read: declare what the document uses "
                                 "inside it")
                      .arg(xmlTextReaderGetParserLineNumber(r))
                      .arg(g_refused);
    if (corpusHeader)
        xmlFreeNode(corpusHeader);
    xmlFreeTextReader(r);
    if (!problem.isEmpty()) {
        m_errorLine = problem.section(u'\t', 0, 0).toInt();
        m_error = problem.section(u'\t', 1);
        return false;
    }
    if (index == 0) {
        m_error = QStringLiteral("the file holds no TEI document");
        return false;
    }
    return true;
}

} // namespace folium::mktitle::tei
