#include "tei_letter.h"

namespace folium::mktitle::tei {

namespace {

// An attribute of att.datable, in its plain or its -iso form.
QString datable(const xmlNode *n, const char *name)
{
    QString v = attribute(n, name);
    if (v.isEmpty())
        v = attribute(n, (QByteArray(name) + "-iso").constData());
    return v;
}

struct DateFields {
    PartialDate date, from, to;
    bool any() const { return date.valid() || from.valid() || to.valid(); }
};

// A date element's date; with attributes (the mapping's), the first of
// them that is there.
DateFields dateOf(const xmlNode *d, const QStringList &attributes)
{
    DateFields f;
    if (!d)
        return f;
    if (!attributes.isEmpty()) {
        for (const QString &a : attributes) {
            f.date = parseIsoDate(datable(d, a.toUtf8().constData()));
            if (f.date.valid())
                break;
        }
        return f;
    }
    f.date = parseIsoDate(datable(d, "when"));
    if (f.date.valid())
        return f;
    f.from = parseIsoDate(datable(d, "notBefore"));
    if (!f.from.valid())
        f.from = parseIsoDate(datable(d, "from"));
    f.to = parseIsoDate(datable(d, "notAfter"));
    if (!f.to.valid())
        f.to = parseIsoDate(datable(d, "to"));
    // A range of one day, month or year is that date.
    if (f.from.valid() && f.from == f.to) {
        f.date = f.from;
        f.from = f.to = {};
    }
    return f;
}

// The first date below n that gives one, in document order.
DateFields firstDateBelow(const xmlNode *n, const QStringList &attributes)
{
    DateFields found;
    forEachElement(n, [&](const xmlNode *e) {
        if (found.any())
            return false;
        if (is(e, "date"))
            found = dateOf(e, attributes);
        return !found.any();
    });
    return found;
}

void setDate(LetterMeta &m, const DateFields &f)
{
    m.date = f.date;
    m.from = f.from;
    m.to = f.to;
}

bool isName(const xmlNode *n)
{
    return is(n, "persName") || is(n, "orgName") || is(n, "name") || is(n, "rs");
}

QString refOf(const xmlNode *n)
{
    const QString ref = attribute(n, "ref");
    return ref.isEmpty() ? attribute(n, "key") : ref;
}

void namesIn(const xmlNode *n, QStringList *names, QStringList *refs)
{
    for (const xmlNode *c = n ? n->children : nullptr; c; c = c->next)
        if (isName(c))
            if (const QString s = plainText(c); !s.isEmpty()) {
                *names << s;
                *refs << refOf(c);
            }
}

// What one correspDesc says: senders and place of the "sent" action,
// receivers of the "received" one, and the date of sending.
void readCorrespDesc(const xmlNode *desc, LetterMeta &m, const QStringList &attributes)
{
    m.hasCorrespDesc = true;
    DateFields date;
    for (const xmlNode *a = desc->children; a; a = a->next) {
        if (!is(a, "correspAction"))
            continue;
        const QString type = attribute(a, "type");
        if (type == u"sent") {
            namesIn(a, &m.senders, &m.senderRefs);
            if (m.place.isEmpty()) {
                m.place = plainText(child(a, "placeName"));
                m.placeRef = refOf(child(a, "placeName"));
            }
            if (!date.any())
                date = dateOf(child(a, "date"), attributes);
        } else if (type == u"received") {
            namesIn(a, &m.receivers, &m.receiverRefs);
            if (m.placeReceived.isEmpty())
                m.placeReceived = plainText(child(a, "placeName"));
        }
    }
    setDate(m, date);
}

bool looksLikeAddress(const QString &s)
{
    return s.startsWith(QLatin1String("http://")) || s.startsWith(QLatin1String("https://")) ||
           s.startsWith(QLatin1String("urn:")) || s.startsWith(QLatin1String("doi:"));
}

// The first idno of an element that names the letter, not a web address.
QString idnoOf(const xmlNode *n)
{
    for (const xmlNode *c = n ? n->children : nullptr; c; c = c->next) {
        if (!is(c, "idno"))
            continue;
        const QString type = attribute(c, "type").toLower();
        const QString v = plainText(c);
        if (v.isEmpty() || looksLikeAddress(v) || type == u"uri" || type == u"url" || type == u"doi" ||
            type == u"handle")
            continue;
        return v;
    }
    return {};
}

QString languageOf(const xmlNode *tei, const xmlNode *text)
{
    QString l = text ? xmlAttribute(text, "lang") : QString();
    return l.isEmpty() ? xmlAttribute(tei, "lang") : l;
}

// The letters' own dates when a document holds several: in the dateline
// of each (or elsewhere in its opener or closer).
DateFields dateInLetterText(const xmlNode *div, const QStringList &attributes)
{
    for (const char *where : {"dateline", "opener", "closer"}) {
        const xmlNode *n = descendant(div, where);
        if (!n)
            continue;
        const DateFields f = firstDateBelow(n, attributes);
        if (f.any())
            return f;
    }
    return {};
}

// Who wrote a letter of a copy-book or a collection in one document, when
// the header does not say: the name tagged in its signature (or a short
// signature as it stands), the names tagged in its salutation, the place
// of its dateline.
void readLetterText(const xmlNode *div, LetterMeta &m)
{
    if (const xmlNode *signed_ = descendant(div, "signed")) {
        QStringList names, refs;
        forEachElement(signed_, [&](const xmlNode *e) {
            if (isName(e)) {
                names << plainText(e);
                refs << refOf(e);
                return false;
            }
            return true;
        });
        const QString text = plainText(signed_);
        if (names.isEmpty() && text.size() <= 40 && !text.isEmpty()) {
            names << text;
            refs << QString();
        }
        m.senders = names;
        m.senderRefs = refs;
    }
    if (const xmlNode *opener = descendant(div, "opener"))
        if (const xmlNode *salute = descendant(opener, "salute"))
            forEachElement(salute, [&](const xmlNode *e) {
                if (isName(e)) {
                    m.receivers << plainText(e);
                    m.receiverRefs << refOf(e);
                    return false;
                }
                return true;
            });
    if (const xmlNode *dateline = descendant(div, "dateline")) {
        m.place = plainText(descendant(dateline, "placeName"));
        m.placeRef = refOf(descendant(dateline, "placeName"));
        if (m.place.isEmpty()) {
            const QString text = plainText(dateline);
            const QString before = text.section(u',', 0, 0).trimmed();
            bool digits = false;
            for (QChar c : before)
                digits = digits || c.isDigit();
            if (text.contains(u',') && !before.isEmpty() && before.size() <= 30 && !digits)
                m.place = before;
        }
    }
}

// The text a reader reads: no notes, no deletions, the expansion of
// an abbreviation.
QString readingText(const xmlNode *n)
{
    QString out;
    for (const xmlNode *c = n->children; c; c = c->next) {
        if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) {
            out += QString::fromUtf8(reinterpret_cast<const char *>(c->content));
        } else if (c->type == XML_ELEMENT_NODE) {
            if (is(c, "note") || is(c, "del") || is(c, "abbr") || is(c, "sic") || is(c, "orig") || is(c, "fw") ||
                is(c, "figDesc"))
                continue;
            if (is(c, "lb") || is(c, "pb"))
                out += attribute(c, "break") == u"no" ? QString() : QStringLiteral(" ");
            else
                out += readingText(c);
        }
    }
    return out;
}

} // namespace

// The first words of a letter: of its first paragraph that is not its
// opener, dateline or heading.
QString incipitOf(const xmlNode *text, const QString &divType, const QStringList &leftOutDivTypes)
{
    constexpr int kWords = 12;
    // In a body of several divs, the letter's own (a div of the body, or
    // of one of its divs).
    const xmlNode *from = text;
    const xmlNode *body = is(text, "text") ? child(text, "body") : nullptr;
    for (const xmlNode *c = body ? body->children : nullptr; c && from == text; c = c->next) {
        if (!is(c, "div"))
            continue;
        if (attribute(c, "type") == divType)
            from = c;
        for (const xmlNode *d = c->children; d && from == text; d = d->next)
            if (is(d, "div") && attribute(d, "type") == divType)
                from = d;
    }
    QString found;
    forEachElement(from, [&](const xmlNode *e) {
        if (is(e, "div") && e != from && leftOutDivTypes.contains(attribute(e, "type")))
            return false;
        if (!found.isEmpty() || is(e, "teiHeader") || is(e, "front") || is(e, "back") || is(e, "opener") ||
            is(e, "closer") || is(e, "dateline") || is(e, "head") || is(e, "note") || is(e, "address") ||
            is(e, "docket") || is(e, "fw"))
            return false;
        if (is(e, "p") || is(e, "ab") || is(e, "l"))
            found = readingText(e).simplified();
        return found.isEmpty();
    });
    const QStringList words = found.split(u' ', Qt::SkipEmptyParts);
    return words.size() <= kWords ? found : words.mid(0, kWords).join(u' ') + QStringLiteral(" …");
}

std::vector<LetterInDocument> lettersOf(const TeiDocument &doc, const LetterOptions &options)
{
    const QString &divType = options.divType;
    const QStringList &dates = options.dateAttributes;
    std::vector<LetterInDocument> out;
    const xmlNode *tei = doc.tei;
    const xmlNode *header = child(tei, "teiHeader");
    const xmlNode *text = child(tei, "text");
    if (!text)
        return out;
    const xmlNode *fileDesc = child(header, "fileDesc");
    const xmlNode *profileDesc = child(header, "profileDesc");

    std::vector<const xmlNode *> letterDivs;
    forEachElement(child(text, "body"), [&](const xmlNode *e) {
        if (is(e, "div") && attribute(e, "type") == divType) {
            letterDivs.push_back(e);
            return false;
        }
        return !is(e, "note");
    });
    std::vector<const xmlNode *> descs;
    for (const xmlNode *c = profileDesc ? profileDesc->children : nullptr; c; c = c->next)
        if (is(c, "correspDesc"))
            descs.push_back(c);

    if (letterDivs.size() < 2) {
        LetterInDocument l;
        l.text = text;
        LetterMeta &m = l.meta;
        m.rangeByEnd = options.rangeByEnd;
        m.line = lineOf(tei);
        m.language = languageOf(tei, text);
        m.ownTitle = plainText(child(child(fileDesc, "titleStmt"), "title"));
        if (!descs.empty())
            readCorrespDesc(descs.front(), m, dates);
        if (!m.date.valid() && !m.isRange()) {
            // A letter whose correspondence description gives no date, or
            // that has none: the date of its creation, or another of the
            // header's (never the edition's own publication date).
            DateFields f = firstDateBelow(child(profileDesc, "creation"), dates);
            if (!f.any() && descs.empty())
                f = firstDateBelow(profileDesc, dates);
            if (!f.any() && descs.empty())
                f = firstDateBelow(child(fileDesc, "sourceDesc"), dates);
            setDate(m, f);
        }
        const xmlNode *sourceDesc = child(fileDesc, "sourceDesc");
        const xmlNode *msIdentifier = descendant(sourceDesc, "msIdentifier");
        m.collection = plainText(child(msIdentifier, "collection"));
        if (m.collection.isEmpty())
            m.collection = plainText(child(msIdentifier, "repository"));
        m.reference = idnoOf(msIdentifier);
        if (m.reference.isEmpty())
            m.reference = idnoOf(child(fileDesc, "publicationStmt"));
        if (m.reference.isEmpty())
            m.reference = attribute(tei, "n").simplified();
        out.push_back(std::move(l));
        return out;
    }

    for (size_t i = 0; i < letterDivs.size(); ++i) {
        const xmlNode *div = letterDivs[i];
        LetterInDocument l;
        l.text = div;
        LetterMeta &m = l.meta;
        m.rangeByEnd = options.rangeByEnd;
        m.line = lineOf(div);
        m.language = xmlAttribute(div, "lang");
        if (m.language.isEmpty())
            m.language = languageOf(tei, text);
        m.reference = attribute(div, "n").simplified();
        m.ownTitle = plainText(child(div, "head"));
        // The correspondence description that points at this letter, or
        // the one in the same place when there is one per letter.
        const QString id = xmlAttribute(div, "id");
        const xmlNode *desc = nullptr;
        for (const xmlNode *d : descs) {
            const QString pointers =
                attribute(d, "corresp") + u' ' + attribute(d, "ref") + u' ' + attribute(d, "sameAs");
            if (!id.isEmpty() && pointers.split(u' ', Qt::SkipEmptyParts).contains(u'#' + id))
                desc = d;
        }
        if (!desc && descs.size() == letterDivs.size())
            desc = descs[i];
        if (desc)
            readCorrespDesc(desc, m, dates);
        else
            readLetterText(div, m);
        if (!m.date.valid() && !m.isRange())
            setDate(m, dateInLetterText(div, dates));
        out.push_back(std::move(l));
    }
    return out;
}

EditionInfo editionInfo(const xmlNode *teiHeader)
{
    EditionInfo info;
    const xmlNode *fileDesc = child(teiHeader, "fileDesc");
    const xmlNode *titleStmt = child(fileDesc, "titleStmt");
    for (const xmlNode *t = titleStmt ? titleStmt->children : nullptr; t; t = t->next) {
        if (!is(t, "title"))
            continue;
        const QString type = attribute(t, "type");
        if (info.title.isEmpty() || type == u"main")
            info.title = plainText(t);
        if (type == u"main")
            break;
    }
    info.edition = plainText(child(child(fileDesc, "editionStmt"), "edition"));
    if (info.edition.isEmpty())
        info.edition = plainText(child(fileDesc, "editionStmt"));
    const xmlNode *availability = descendant(child(fileDesc, "publicationStmt"), "availability");
    if (const xmlNode *licence = descendant(availability, "licence")) {
        info.licence = plainText(licence);
        const QString target = attribute(licence, "target");
        if (!target.isEmpty() && !info.licence.contains(target))
            info.licence += (info.licence.isEmpty() ? QString() : QStringLiteral(", ")) + target;
    } else {
        info.licence = plainText(availability);
    }
    return info;
}

} // namespace folium::mktitle::tei
