#include "tei_text.h"

#include "tei_converter.h"

#include <QRegularExpression>

#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace folium::mktitle::tei {

namespace detail {

namespace {

// --- The conversion -------------------------------------------------------

bool isNotesContainer(const xmlNode *n)
{
    return is(n, "noteGrp") ||
           (is(n, "div") && attribute(n, "type").contains(QLatin1String("note"), Qt::CaseInsensitive));
}

// listPerson, listPlace, listBibl...: registers, no letter text.
bool isRegister(std::string_view name)
{
    return name.size() > 4 && name.substr(0, 4) == "list";
}

// Elements kept as their text with nothing of their own.
constexpr const char *kTransparent[] = {
    "persName",  "placeName", "orgName",    "name",        "rs",       "date",       "time",       "geogName",
    "roleName",  "forename",  "surname",    "addName",     "genName",  "nameLink",   "measure",    "num",
    "unclear",   "add",       "w",          "pc",          "term",     "bibl",       "author",     "subst",
    "damage",    "restore",   "mod",        "idno",        "abbr",     "expan",      "ex",         "corr",
    "reg",       "sic",       "orig",       "lem",         "distinct", "soCalled",   "gloss",      "hi",
    "docAuthor", "docDate",   "byline",     "affiliation", "country",  "settlement", "region",     "bloc",
    "district",  "street",    "postCode",   "objectName",  "label",    "secl",       "retrace",    "handShift",
    "addSpan",   "delSpan",   "damageSpan", "metamark",    "stamp",    "seal",       "docEdition", "biblScope",
    "pubPlace",  "publisher", "editor",     "span",        "origDate", "origPlace",  "material",   "signatures",
    "cit",       "phr",       "s",          "cl",          "m",        "milestone",  "caesura",    "index"};

// Elements whose text is no text of the letter.
constexpr const char *kSkipped[] = {"teiHeader", "fw",        "am",        "figDesc",    "interpGrp", "interp",
                                    "certainty", "precision", "respons",   "link",       "linkGrp",   "join",
                                    "joinGrp",   "alt",       "altGrp",    "catchwords", "facsimile", "standOff",
                                    "rdg",       "rdgGrp",    "witDetail", "desc",       "surplus"};

} // namespace

TextResult Converter::run(const xmlNode *text)
{
    collectApartNotes(text);
    Writer w(false, 0);
    m_w = &w;
    children(text);
    // Notes no call points at: after the text, under their heading.
    std::vector<const xmlNode *> uncalled;
    for (const xmlNode *n : m_apartNotes)
        if (!m_called.contains(n))
            uncalled.push_back(n);
    if (!uncalled.empty()) {
        w.endBlock();
        w.setParagraph("<p>");
        w.unindexedText(m_options.uncalledNotesHeading, "<small>" + kGrey, "</span></small>");
        for (const xmlNode *n : uncalled) {
            w.separate();
            noteCall(n);
            ++m_result.uncalledNotes;
        }
    }
    m_result.sr = w.take();
    return std::move(m_result);
}

void Converter::collectApartNotes(const xmlNode *text)
{
    forEachElement(text, [&](const xmlNode *e) {
        // A register's notes are its entries' (a person's life), no
        // notes of the letter.
        if (isTeiElement(e) && isRegister(reinterpret_cast<const char *>(e->name)))
            return false;
        if (is(e, "note") && apart(e)) {
            if (leftOut(e, "note"))
                return false;
            m_apartNotes.push_back(e);
            const QString id = xmlAttribute(e, "id");
            if (!id.isEmpty())
                m_notesById.insert(id, e);
            QString target = attribute(e, "targetEnd");
            if (target.isEmpty())
                target = attribute(e, "target");
            const QStringList targets = target.split(u' ', Qt::SkipEmptyParts);
            if (!targets.isEmpty() && targets.back().startsWith(u'#'))
                m_notesByTarget[targets.back().mid(1)].push_back(e);
            return false;
        }
        return true;
    });
}

bool Converter::apart(const xmlNode *note)
{
    for (const xmlNode *p = note->parent; p && p->type == XML_ELEMENT_NODE; p = p->parent) {
        if (is(p, "back") || isNotesContainer(p))
            return true;
        if (is(p, "note"))
            return false;
    }
    return false;
}

void Converter::children(const xmlNode *n)
{
    for (const xmlNode *c = n->children; c; c = c->next) {
        if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) {
            textOf(c);
        } else if (c->type == XML_ELEMENT_NODE) {
            element(c);
        } else if (c->type == XML_ENTITY_REF_NODE) {
            children(c);
        }
    }
}

void Converter::textOf(const xmlNode *c)
{
    const char *text = reinterpret_cast<const char *>(c->content);
    if (text)
        m_w->text(text, qsizetype(std::strlen(text)));
}

void Converter::countNoRule(const xmlNode *n)
{
    QString name = localName(n);
    if (!isTeiElement(n) && n->ns && n->ns->prefix)
        name = QString::fromUtf8(reinterpret_cast<const char *>(n->ns->prefix)) + u':' + name;
    ++m_result.noRule[name];
}

Converter::Rule Converter::ruleOf(std::string_view name)
{
    static const auto rules = [] {
        std::unordered_map<std::string_view, Rule> m;
        for (const char *n : kSkipped)
            m.emplace(n, Rule::Skip);
        for (const char *n : kTransparent)
            m.emplace(n, Rule::Transparent);
        const std::pair<const char *, Rule> own[] = {
            {"note", Rule::Note},     {"lb", Rule::Break},    {"cb", Rule::Break},       {"pb", Rule::Page},
            {"space", Rule::Space},   {"gap", Rule::Gap},     {"c", Rule::Symbol},       {"g", Rule::Symbol},
            {"choice", Rule::Choice}, {"app", Rule::App},     {"del", Rule::Del},        {"supplied", Rule::Supplied},
            {"seg", Rule::Seg},       {"emph", Rule::Italic}, {"foreign", Rule::Italic}, {"mentioned", Rule::Italic},
            {"title", Rule::Italic},  {"ptr", Rule::Pointer}, {"ref", Rule::Pointer},    {"anchor", Rule::Anchor},
            {"q", Rule::Quote},       {"quote", Rule::Quote}, {"said", Rule::Quote}};
        for (const auto &[n, r] : own)
            m[n] = r;
        return m;
    }();
    const auto it = rules.find(name);
    return it == rules.end() ? Rule::None : it->second;
}

void Converter::element(const xmlNode *n)
{
    if (!isTeiElement(n)) {
        countNoRule(n);
        children(n);
        return;
    }
    const std::string_view name(reinterpret_cast<const char *>(n->name));
    const Rule rule = ruleOf(name);
    if (rule == Rule::Skip || isRegister(name) || isNotesContainer(n) || leftOut(n, name))
        return;
    EntityKind kind;
    if (!m_inMention && m_options.mention && mentionKind(n, &kind)) {
        mention(n, kind, rule);
        return;
    }
    switch (rule) {
    case Rule::Note:
        if (!m_options.inlineNoteTypes.isEmpty() && !m_noteQueue &&
            m_options.inlineNoteTypes.contains(attribute(n, "type"))) {
            // Shown where it stands, in brackets, as the mapping asks.
            m_w->unindexedText(QStringLiteral(" ["));
            styled(n, true);
            m_w->unindexedText(QStringLiteral("]"));
            return;
        }
        if (m_noteQueue || !apart(n))
            noteCall(n);
        return;
    case Rule::Break: m_w->lineBreak(hasAttribute(n, "break", "no"), m_options.joinLineEndHyphens); break;
    case Rule::Page: pageBreak(n); break;
    case Rule::Space: m_w->blank(); break;
    case Rule::Gap: m_w->text(QByteArrayLiteral("[\xE2\x80\xA6]")); break;
    case Rule::Symbol: symbol(n); break;
    case Rule::Choice: choice(n); break;
    case Rule::App:
        if (const xmlNode *lem = child(n, "lem"))
            element(lem);
        else if (const xmlNode *rdg = child(n, "rdg"))
            children(rdg);
        break;
    case Rule::Del:
        m_w->pushNoindex();
        m_w->pushInline("<s>", "</s>");
        styled(n, true);
        m_w->popInline();
        m_w->popInline();
        break;
    case Rule::Supplied:
        m_w->unindexedText(QStringLiteral("["));
        styled(n, true);
        m_w->unindexedText(QStringLiteral("]"));
        break;
    case Rule::Seg:
        m_w->blank();
        styled(n, true);
        m_w->blank();
        break;
    case Rule::Italic:
        m_w->pushInline("<i>", "</i>");
        styled(n, true);
        m_w->popInline();
        break;
    case Rule::Pointer: pointer(n); break;
    case Rule::Anchor: notesTargeting(n); return;
    case Rule::Transparent: styled(n, true); break;
    case Rule::Quote: quotation(n); break;
    case Rule::None:
    case Rule::Skip:
        if (!block(n, name)) {
            countNoRule(n);
            styled(n, true);
        }
        break;
    }
    notesTargeting(n);
}

bool Converter::leftOut(const xmlNode *n, std::string_view name) const
{
    if (name == "front")
        return !m_options.keepFront;
    if (name == "back")
        return !m_options.keepBack;
    if (name == "note") {
        if (m_options.keepOtherNotes && m_options.leftOutNoteTypes.isEmpty())
            return false;
        const QString type = attribute(n, "type");
        return m_options.leftOutNoteTypes.contains(type) ||
               (!m_options.keepOtherNotes && !m_options.keptNoteTypes.contains(type) &&
                !m_options.inlineNoteTypes.contains(type));
    }
    if (name == "div" && !m_options.leftOutDivTypes.isEmpty())
        return m_options.leftOutDivTypes.contains(attribute(n, "type"));
    return false;
}

void Converter::mention(const xmlNode *n, EntityKind kind, Rule rule)
{
    Mention m;
    m.kind = kind;
    m.ref = attribute(n, "ref");
    if (m.ref.isEmpty())
        m.ref = attribute(n, "key");
    m.text = plainText(n);
    m.line = lineOf(n);
    m.noteOrdinal = m_noteOrdinal;
    m.noteLabel = m_noteLabel;
    const QString card = m.text.isEmpty() ? QString() : m_options.mention(m);
    m_inMention = true;
    if (!card.isEmpty() && !m_w->inNoindex() && onALine(n)) {
        Writer w(true, m_w->depth() + 1);
        Writer *const outer = m_w;
        m_w = &w;
        if (rule == Rule::Italic)
            w.pushInline("<i>", "</i>");
        styled(n, true);
        if (rule == Rule::Italic)
            w.popInline();
        m_w = outer;
        const QByteArray html = w.take();
        if (!html.trimmed().isEmpty()) {
            m_w->object("<a popup=\"" + escaped(card) + "\">" + html + "</a>", false);
            if (!m_noteQueue)
                ++m_hotspots;
        }
    } else if (rule == Rule::Italic) {
        m_w->pushInline("<i>", "</i>");
        styled(n, true);
        m_w->popInline();
    } else {
        styled(n, true);
    }
    m_inMention = false;
    notesTargeting(n);
}

bool Converter::onALine(const xmlNode *n) const
{
    static const std::unordered_map<std::string_view, bool> inlineOnly = [] {
        std::unordered_map<std::string_view, bool> m;
        for (const char *e :
             {"hi", "forename", "surname", "addName", "roleName", "genName", "nameLink", "choice", "abbr", "expan",
              "ex", "reg",      "orig",    "sic",     "corr",     "unclear", "supplied", "add",    "del",  "g",
              "c",  "w",        "seg",     "emph",    "foreign",  "num",     "am",       "pc"})
            m.emplace(e, true);
        return m;
    }();
    bool ok = true;
    forEachElement(n, [&](const xmlNode *e) {
        if (e == n || !ok)
            return ok;
        if (!isTeiElement(e) || !inlineOnly.count(reinterpret_cast<const char *>(e->name)) ||
            (!m_notesByTarget.isEmpty() && m_notesByTarget.contains(xmlAttribute(e, "id"))))
            ok = false;
        return ok;
    });
    return ok && (m_notesByTarget.isEmpty() || !m_notesByTarget.contains(xmlAttribute(n, "id")));
}

void Converter::quotation(const xmlNode *n)
{
    bool blocks = false;
    for (const xmlNode *c = n->children; c && !blocks; c = c->next)
        blocks = is(c, "p") || is(c, "lg") || is(c, "l") || is(c, "ab") || is(c, "list");
    const QString rend = attribute(n, "rend");
    const bool marks = !blocks && !rend.contains(QLatin1String("pre")) && !rend.contains(QLatin1String("none")) &&
                       !startsWithQuotationMark(n);
    const QString lang = m_options.language.left(2).toLower();
    const auto [open, close] = lang == u"de"   ? std::pair("\u201E", "\u201C")
                               : lang == u"fr" ? std::pair("\u00AB\u00A0", "\u00A0\u00BB")
                               : lang == u"it" ? std::pair("\u00AB", "\u00BB")
                                               : std::pair("\u201C", "\u201D");
    if (marks)
        m_w->text(QByteArray(open));
    styled(n, true);
    if (marks)
        m_w->text(QByteArray(close));
}

bool Converter::startsWithQuotationMark(const xmlNode *n)
{
    const QString text = plainText(n);
    static const QString marks = QStringLiteral("\"'\u201C\u201E\u00AB\u2018\u201A\u2039\u00BB");
    return !text.isEmpty() && marks.contains(text.front());
}

bool Converter::hasAttribute(const xmlNode *n, const char *name, const char *value)
{
    for (const xmlAttr *a = n->properties; a; a = a->next)
        if (!a->ns && std::strcmp(reinterpret_cast<const char *>(a->name), name) == 0)
            return a->children && a->children->content &&
                   std::strcmp(reinterpret_cast<const char *>(a->children->content), value) == 0;
    return false;
}

void Converter::styled(const xmlNode *n, bool inlineLevel)
{
    const Style s = styleOf(n, m_renditions);
    int pushed = 0;
    if (inlineLevel || s.any())
        m_w->pushStyle(s, &pushed);
    children(n);
    while (pushed-- > 0)
        m_w->popInline();
}

void Converter::pageBreak(const xmlNode *n)
{
    ++m_result.pages;
    const bool inWord =
        attribute(n, "break") == u"no" || (m_options.joinLineEndHyphens && m_w->endsWithLineEndHyphen());
    if (inWord)
        m_w->lineBreak(true, m_options.joinLineEndHyphens);
    const QString label = attribute(n, "n").simplified();
    if (!label.isEmpty())
        m_w->pageMark(label, inWord);
    else if (!inWord)
        m_w->blank();
}

void Converter::symbol(const xmlNode *n)
{
    bool empty = true;
    for (const xmlNode *c = n->children; c && empty; c = c->next)
        empty = !(c->type == XML_ELEMENT_NODE ||
                  ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && c->content && *c->content));
    if (!empty) {
        styled(n, true);
        return;
    }
    Style s = styleOf(n, m_renditions);
    if (s.content.isEmpty()) {
        // A glyph declared in the header: its mapping.
        QString ref = attribute(n, "ref");
        if (ref.startsWith(u'#'))
            s.content = m_renditions.value(QStringLiteral("glyph:") + ref.mid(1));
    }
    if (s.content.trimmed().isEmpty()) {
        m_w->blank();
        return;
    }
    m_w->blank();
    m_w->text(s.content);
    m_w->blank();
}

void Converter::choice(const xmlNode *n)
{
    for (const char *preferred : {"expan", "reg", "corr"})
        if (const xmlNode *c = child(n, preferred)) {
            element(c);
            return;
        }
    // A choice of segments or of other choices: the first.
    for (const xmlNode *c = n->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && !is(c, "abbr") && !is(c, "orig") && !is(c, "sic")) {
            element(c);
            return;
        }
    for (const xmlNode *c = n->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE) {
            element(c);
            return;
        }
}

void Converter::pointer(const xmlNode *n)
{
    const QStringList targets = attribute(n, "target").split(u' ', Qt::SkipEmptyParts);
    bool called = false;
    for (const QString &t : targets) {
        if (!t.startsWith(u'#'))
            continue;
        const xmlNode *note = m_notesById.value(t.mid(1));
        if (!note)
            continue;
        noteCall(note);
        called = true;
    }
    // The text of a reference that calls a note is the label the
    // edition wrote ("3"): the call shows its own number instead.
    if (!called)
        styled(n, true);
}

void Converter::notesTargeting(const xmlNode *n)
{
    if (m_notesByTarget.isEmpty())
        return;
    const QString id = xmlAttribute(n, "id");
    if (id.isEmpty())
        return;
    const auto it = m_notesByTarget.constFind(id);
    if (it == m_notesByTarget.constEnd())
        return;
    for (const xmlNode *note : *it)
        noteCall(note);
}

bool Converter::isLeadingNumber(const xmlNode *e)
{
    if (!isTeiElement(e))
        return false;
    const QString text = plainText(e);
    if (is(e, "label"))
        return text.size() <= 6;
    if (!is(e, "hi") && !is(e, "seg") && !is(e, "num"))
        return false;
    const QString rend = attribute(e, "rend") + u' ' + attribute(e, "rendition");
    static const QRegularExpression number(QStringLiteral("^[\\(\\[]?[0-9]{1,3}[a-z]?[\\)\\]\\.]?$"));
    return rend.contains(QLatin1String("footnote"), Qt::CaseInsensitive) ||
           rend.contains(QLatin1String("sup"), Qt::CaseInsensitive) || number.match(text).hasMatch();
}

const xmlNode *Converter::leadingNumber(const xmlNode *note)
{
    for (const xmlNode *c = note->children; c; c = c->next) {
        if (c->type == XML_TEXT_NODE && c->content) {
            if (!QString::fromUtf8(reinterpret_cast<const char *>(c->content)).trimmed().isEmpty())
                return nullptr;
        } else if (c->type == XML_ELEMENT_NODE) {
            if (is(c, "p") || is(c, "ab"))
                return leadingNumber(c);
            return isLeadingNumber(c) ? c : nullptr;
        }
    }
    return nullptr;
}

void Converter::noteCall(const xmlNode *note)
{
    if (m_noteQueue) {
        innerNote(note);
        return;
    }
    if (const auto it = m_called.constFind(note); it != m_called.constEnd()) {
        // Called again: the number it has, shown; one note, one call.
        separateFromLastCall();
        m_w->object("<noindex><sup>" + kGrey + QByteArray::number(it->label) + "</span></sup></noindex>", false);
        m_lastCallEnd = m_w->size();
        return;
    }
    const int depthAtCall = m_w->depth() + 1;
    m_called.insert(note, {++m_hotspots, ++m_noteLabels});
    std::vector<const xmlNode *> queue{note};
    for (size_t i = 0; i < queue.size(); ++i) {
        const Call call = m_called.value(queue[i]);
        m_noteOrdinal = call.ordinal;
        m_noteLabel = call.label;
        const QByteArray text = noteText(queue[i], depthAtCall, &queue);
        m_noteOrdinal = m_noteLabel = 0;
        separateFromLastCall();
        // The label is the note's number among the letter's notes: a
        // name between two calls is a hotspot too, and takes an
        // ordinal but no number.
        m_w->object("<note label=\"" + QByteArray::number(call.label) + "\">" + text + "</note>", false);
        m_lastCallEnd = m_w->size();
        ++m_result.notes;
    }
}

void Converter::separateFromLastCall()
{
    if (m_w->size() == m_lastCallEnd)
        m_w->object("<sup>,</sup>", false);
}

QByteArray Converter::noteText(const xmlNode *note, int depth, std::vector<const xmlNode *> *queue)
{
    Writer w(true, depth);
    Writer *const outer = m_w;
    std::vector<const xmlNode *> *const outerQueue = m_noteQueue;
    m_w = &w;
    m_noteQueue = queue;
    const xmlNode *skip = leadingNumber(note);
    noteChildren(note, skip);
    m_w = outer;
    m_noteQueue = outerQueue;
    return w.take();
}

void Converter::noteChildren(const xmlNode *n, const xmlNode *skip)
{
    for (const xmlNode *c = n->children; c; c = c->next) {
        if (c == skip)
            continue;
        if (c->type == XML_ELEMENT_NODE && skip && (is(c, "p") || is(c, "ab")) && skip->parent == c) {
            m_w->endBlock();
            noteChildren(c, skip);
            m_w->endBlock();
            continue;
        }
        if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE)
            textOf(c);
        else if (c->type == XML_ELEMENT_NODE)
            element(c);
    }
}

void Converter::innerNote(const xmlNode *note)
{
    Call call = m_called.value(note);
    if (!call.ordinal) {
        call = {++m_hotspots, ++m_noteLabels};
        m_called.insert(note, call);
        m_noteQueue->push_back(note);
    }
    m_w->object("<a jump=\"T" + QByteArray(1, kDataPlaceholder) + '.' + QByteArray::number(call.ordinal) + "\"><sup>" +
                    QByteArray::number(call.label) + "</sup></a>",
                false);
}

} // namespace detail

TextResult convertLetterText(const xmlNode *text, const Renditions &renditions, const TextOptions &options,
                             const ImageResolver &images)
{
    detail::Converter c(renditions, options, images);
    return c.run(text);
}

} // namespace folium::mktitle::tei
