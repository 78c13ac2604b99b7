#include "tei_text.h"

#include "tei_register.h"
#include "tei_style.h"
#include "tei_writer.h"

#include <QRegularExpression>

#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace folium::mktitle::tei {

namespace {

using namespace detail;

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

class Converter {
public:
    Converter(const Renditions &renditions, const TextOptions &options, const ImageResolver &images)
        : m_renditions(renditions), m_options(options), m_images(images)
    {
    }

    TextResult run(const xmlNode *text)
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

private:
    void collectApartNotes(const xmlNode *text)
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

    static bool apart(const xmlNode *note)
    {
        for (const xmlNode *p = note->parent; p && p->type == XML_ELEMENT_NODE; p = p->parent) {
            if (is(p, "back") || isNotesContainer(p))
                return true;
            if (is(p, "note"))
                return false;
        }
        return false;
    }

    void children(const xmlNode *n)
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

    // A text node's characters, as libxml2 holds them (UTF-8).
    void textOf(const xmlNode *c)
    {
        const char *text = reinterpret_cast<const char *>(c->content);
        if (text)
            m_w->text(text, qsizetype(std::strlen(text)));
    }

    void countNoRule(const xmlNode *n)
    {
        QString name = localName(n);
        if (!isTeiElement(n) && n->ns && n->ns->prefix)
            name = QString::fromUtf8(reinterpret_cast<const char *>(n->ns->prefix)) + u':' + name;
        ++m_result.noRule[name];
    }

    enum class Rule {
        None,
        Skip,
        Note,
        Break,
        Page,
        Space,
        Gap,
        Symbol,
        Choice,
        App,
        Del,
        Supplied,
        Seg,
        Italic,
        Pointer,
        Anchor,
        Transparent,
        Quote
    };

    static Rule ruleOf(std::string_view name)
    {
        static const auto rules = [] {
            std::unordered_map<std::string_view, Rule> m;
            for (const char *n : kSkipped)
                m.emplace(n, Rule::Skip);
            for (const char *n : kTransparent)
                m.emplace(n, Rule::Transparent);
            const std::pair<const char *, Rule> own[] = {
                {"note", Rule::Note},        {"lb", Rule::Break},      {"cb", Rule::Break},
                {"pb", Rule::Page},          {"space", Rule::Space},   {"gap", Rule::Gap},
                {"c", Rule::Symbol},         {"g", Rule::Symbol},      {"choice", Rule::Choice},
                {"app", Rule::App},          {"del", Rule::Del},       {"supplied", Rule::Supplied},
                {"seg", Rule::Seg},          {"emph", Rule::Italic},   {"foreign", Rule::Italic},
                {"mentioned", Rule::Italic}, {"title", Rule::Italic},  {"ptr", Rule::Pointer},
                {"ref", Rule::Pointer},      {"anchor", Rule::Anchor}, {"q", Rule::Quote},
                {"quote", Rule::Quote},      {"said", Rule::Quote}};
            for (const auto &[n, r] : own)
                m[n] = r;
            return m;
        }();
        const auto it = rules.find(name);
        return it == rules.end() ? Rule::None : it->second;
    }

    void element(const xmlNode *n)
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

    // Parts of the text the mapping leaves out: divs of a type, the front
    // or the back, notes of a type.
    bool leftOut(const xmlNode *n, std::string_view name) const
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

    // A name of a person, place, organisation or work: told to the
    // importer, and a popup of its card where it can be one (a name that
    // holds a note call, a line break or another name keeps its text).
    void mention(const xmlNode *n, EntityKind kind, Rule rule)
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

    // Text and inline styles only: what a hotspot may hold.
    bool onALine(const xmlNode *n) const
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

    // A quotation in a line of text gets quotation marks, unless the
    // edition writes its own; one of paragraphs is a block of its own.
    void quotation(const xmlNode *n)
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

    static bool startsWithQuotationMark(const xmlNode *n)
    {
        const QString text = plainText(n);
        static const QString marks = QStringLiteral("\"'\u201C\u201E\u00AB\u2018\u201A\u2039\u00BB");
        return !text.isEmpty() && marks.contains(text.front());
    }

    static bool hasAttribute(const xmlNode *n, const char *name, const char *value)
    {
        for (const xmlAttr *a = n->properties; a; a = a->next)
            if (!a->ns && std::strcmp(reinterpret_cast<const char *>(a->name), name) == 0)
                return a->children && a->children->content &&
                       std::strcmp(reinterpret_cast<const char *>(a->children->content), value) == 0;
        return false;
    }

    // The element's own text with its renditions.
    void styled(const xmlNode *n, bool inlineLevel)
    {
        const Style s = styleOf(n, m_renditions);
        int pushed = 0;
        if (inlineLevel || s.any())
            m_w->pushStyle(s, &pushed);
        children(n);
        while (pushed-- > 0)
            m_w->popInline();
    }

    void pageBreak(const xmlNode *n)
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

    void symbol(const xmlNode *n)
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

    void choice(const xmlNode *n)
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

    // A pointer at a note that stands apart calls it here; any other
    // pointer keeps its text.
    void pointer(const xmlNode *n)
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

    void notesTargeting(const xmlNode *n)
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

    // --- notes

    // The note's own number as the source writes it at its start (a
    // <label>, a superscript or footnote figure): the call shows the
    // number the note takes here.
    static bool isLeadingNumber(const xmlNode *e)
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

    static const xmlNode *leadingNumber(const xmlNode *note)
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

    // Writes a note's call; the notes it holds follow as calls of their
    // own, numbered in the order they are met, and its text points at
    // them.
    void noteCall(const xmlNode *note)
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

    // Calls side by side read "1,2", not "12".
    void separateFromLastCall()
    {
        if (m_w->size() == m_lastCallEnd)
            m_w->object("<sup>,</sup>", false);
    }

    QByteArray noteText(const xmlNode *note, int depth, std::vector<const xmlNode *> *queue)
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

    void noteChildren(const xmlNode *n, const xmlNode *skip)
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

    // A note met inside a note's text: it follows the note as a call of
    // its own, and the text points at it.
    void innerNote(const xmlNode *note)
    {
        Call call = m_called.value(note);
        if (!call.ordinal) {
            call = {++m_hotspots, ++m_noteLabels};
            m_called.insert(note, call);
            m_noteQueue->push_back(note);
        }
        m_w->object("<a jump=\"T" + QByteArray(1, kDataPlaceholder) + '.' + QByteArray::number(call.ordinal) +
                        "\"><sup>" + QByteArray::number(call.label) + "</sup></a>",
                    false);
    }

    // --- blocks

    bool block(const xmlNode *n, std::string_view name)
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

    void paragraph(const xmlNode *n, const QByteArray &open)
    {
        m_w->endBlock();
        const QByteArray outer = m_w->paragraph();
        if (!m_w->inNote() && m_w->kind() == Writer::Kind::Root)
            m_w->setParagraph(open);
        styled(n, false);
        m_w->endBlock();
        m_w->setParagraph(outer);
    }

    void container(const xmlNode *n)
    {
        m_w->endBlock();
        styled(n, false);
        m_w->endBlock();
    }

    void list(const xmlNode *n)
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

    void item(const xmlNode *n)
    {
        if (m_w->kind() != Writer::Kind::List) {
            container(n);
            return;
        }
        m_w->openBlock(Writer::Kind::Cell, "<li>", "</li>");
        styled(n, false);
        m_w->closeBlock();
    }

    void table(const xmlNode *n)
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

    void row(const xmlNode *n)
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

    void cell(const xmlNode *n)
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

    void figure(const xmlNode *n)
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

    // The image when it may be shown; false when it may not.
    bool graphic(const xmlNode *n, const xmlNode *desc)
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

    void description(const xmlNode *desc)
    {
        const QString text = plainText(desc);
        if (text.isEmpty())
            return;
        m_w->blank();
        m_w->unindexedText(u'[' + text + u']', kGrey + "<i>", "</i></span>");
        m_w->blank();
    }

    const Renditions &m_renditions;
    const TextOptions &m_options;
    const ImageResolver &m_images;
    Writer *m_w = nullptr;
    TextResult m_result;
    // A note's call: its hotspot ordinal (its context is "N" + data + "."
    // + ordinal) and the number it shows.
    struct Call {
        int ordinal = 0, label = 0;
    };
    int m_hotspots = 0, m_noteLabels = 0;
    int m_noteOrdinal = 0, m_noteLabel = 0; // of the note whose text is being written; 0 in the letter's text
    bool m_inMention = false;
    std::vector<const xmlNode *> m_apartNotes;
    QHash<QString, const xmlNode *> m_notesById;
    QHash<QString, std::vector<const xmlNode *>> m_notesByTarget;
    QHash<const xmlNode *, Call> m_called;
    std::vector<const xmlNode *> *m_noteQueue = nullptr;
    qsizetype m_lastCallEnd = -1; // where the last note call ends in the letter's text
};

} // namespace

TextResult convertLetterText(const xmlNode *text, const Renditions &renditions, const TextOptions &options,
                             const ImageResolver &images)
{
    Converter c(renditions, options, images);
    return c.run(text);
}

} // namespace folium::mktitle::tei
