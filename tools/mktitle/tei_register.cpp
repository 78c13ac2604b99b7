#include "tei_register.h"

#include <QFileInfo>

namespace folium::mktitle::tei {

namespace {

constexpr int kMaxDescription = 240;

QString shortened(QString s)
{
    if (s.size() <= kMaxDescription)
        return s;
    s.truncate(kMaxDescription);
    const qsizetype blank = s.lastIndexOf(u' ');
    if (blank > kMaxDescription / 2)
        s.truncate(blank);
    return s + QStringLiteral("\u2026");
}

bool looksLikeUri(const QString &s)
{
    return s.contains(QLatin1String("://")) || s.startsWith(QLatin1String("urn:"));
}

// A year, or the date as written, of birth, death or floruit.
QString dateOf(const xmlNode *e)
{
    if (!e)
        return {};
    for (const char *a : {"when", "when-iso", "notBefore", "from", "notAfter", "to"}) {
        const QString v = attribute(e, a);
        if (!v.isEmpty()) {
            const QString year = v.startsWith(u'-') ? v.section(u'-', 0, 1) : v.section(u'-', 0, 0);
            return year.isEmpty() ? v : year;
        }
    }
    const QString text = plainText(e);
    return text.size() <= 40 ? text : QString();
}

// The preferred of an entry's names (a type of reg, main, full or
// preferred, else the first), and the others.
const xmlNode *preferredName(const xmlNode *entry, const char *element)
{
    const xmlNode *first = nullptr;
    for (const xmlNode *c = entry->children; c; c = c->next) {
        if (!is(c, element))
            continue;
        const QString type = attribute(c, "type");
        if (type == u"reg" || type == u"main" || type == u"full" || type == u"preferred")
            return c;
        if (!first && type != u"alt" && type != u"variant")
            first = c;
    }
    if (first)
        return first;
    return child(entry, element);
}

QString joinedText(const xmlNode *n, const char *element)
{
    QStringList parts;
    for (const xmlNode *c = n ? n->children : nullptr; c; c = c->next)
        if (is(c, element))
            if (const QString t = plainText(c); !t.isEmpty())
                parts << t;
    return parts.join(QStringLiteral(" "));
}

// A person's name, and the name sorted by surname: "Verdi, Giuseppe".
void personName(const xmlNode *name, RegisterEntry &e)
{
    e.name = plainText(name);
    const QString surname = joinedText(name, "surname");
    const QString forename = joinedText(name, "forename");
    if (!surname.isEmpty()) {
        QString link = joinedText(name, "nameLink");
        e.sortName = surname + (forename.isEmpty() ? QString() : QStringLiteral(", ") + forename) +
                     (link.isEmpty() ? QString() : u' ' + link);
    }
    if (e.sortName.isEmpty())
        e.sortName = e.name;
}

void alternativeNames(const xmlNode *entry, const char *element, const xmlNode *preferred, RegisterEntry &e)
{
    for (const xmlNode *c = entry->children; c; c = c->next)
        if (is(c, element) && c != preferred)
            if (const QString t = plainText(c); !t.isEmpty() && t != e.name && !e.altNames.contains(t))
                e.altNames << t;
}

QString descriptionOf(const xmlNode *entry, std::initializer_list<const char *> elements)
{
    QStringList parts;
    for (const char *el : elements)
        for (const xmlNode *c = entry->children; c; c = c->next)
            if (is(c, el))
                if (const QString t = plainText(c); !t.isEmpty() && !parts.contains(t))
                    parts << t;
    return shortened(parts.join(QStringLiteral("; ")));
}

void urisOf(const xmlNode *entry, RegisterEntry &e)
{
    for (const xmlNode *c = entry->children; c; c = c->next)
        if (is(c, "idno")) {
            const QString v = plainText(c);
            if (looksLikeUri(v))
                e.uris << v;
        }
    for (const char *a : {"sameAs", "corresp"})
        for (const QString &v : attribute(entry, a).split(u' ', Qt::SkipEmptyParts))
            if (looksLikeUri(v))
                e.uris << v;
}

bool readPerson(const xmlNode *n, RegisterEntry &e)
{
    e.kind = EntityKind::Person;
    const xmlNode *name = preferredName(n, "persName");
    if (!name)
        return false;
    personName(name, e);
    alternativeNames(n, "persName", name, e);
    const QString born = dateOf(child(n, "birth")), died = dateOf(child(n, "death"));
    if (!born.isEmpty() || !died.isEmpty())
        e.dates = born + QStringLiteral("\u2013") + died;
    else if (const QString fl = dateOf(child(n, "floruit")); !fl.isEmpty())
        e.dates = QStringLiteral("fl. ") + fl;
    e.description = descriptionOf(n, {"occupation", "roleName", "faith", "desc", "note"});
    return true;
}

bool readNamed(const xmlNode *n, const char *element, EntityKind kind, RegisterEntry &e)
{
    e.kind = kind;
    const xmlNode *name = preferredName(n, element);
    if (!name)
        return false;
    e.name = plainText(name);
    e.sortName = e.name;
    alternativeNames(n, element, name, e);
    if (kind == EntityKind::Place)
        e.description = descriptionOf(n, {"desc", "note", "settlement", "region", "country"});
    else
        e.description = descriptionOf(n, {"desc", "note"});
    return true;
}

bool readWork(const xmlNode *n, RegisterEntry &e)
{
    e.kind = EntityKind::Work;
    const xmlNode *title = descendant(n, "title");
    e.name = title ? plainText(title) : plainText(n);
    if (e.name.isEmpty())
        return false;
    e.sortName = e.name;
    QStringList parts;
    for (const char *el : {"author", "editor"})
        if (const xmlNode *a = descendant(n, el))
            if (const QString t = plainText(a); !t.isEmpty())
                parts << t;
    if (const xmlNode *d = descendant(n, "date"))
        e.dates = dateOf(d);
    e.description = shortened(parts.join(QStringLiteral(", ")));
    return true;
}

} // namespace

PrefixDefs prefixDefsOf(const xmlNode *teiHeader)
{
    PrefixDefs out;
    forEachElement(child(teiHeader, "encodingDesc"), [&](const xmlNode *e) {
        if (!is(e, "prefixDef"))
            return true;
        PrefixDef d;
        d.ident = attribute(e, "ident");
        d.match = QRegularExpression(u'^' + attribute(e, "matchPattern") + u'$');
        d.replacement = attribute(e, "replacementPattern");
        if (!d.ident.isEmpty() && d.match.isValid())
            out.push_back(std::move(d));
        return false;
    });
    return out;
}

QString referenceKey(const QString &ref, const PrefixDefs &prefixes)
{
    QString r = ref.trimmed().section(u' ', 0, 0, QString::SectionSkipEmpty);
    for (int expansions = 0; expansions < 2; ++expansions) {
        if (r.startsWith(u'#'))
            return r.mid(1);
        if (looksLikeUri(r))
            return r;
        const qsizetype colon = r.indexOf(u':');
        if (colon <= 0)
            break;
        const QString ident = r.left(colon), rest = r.mid(colon + 1);
        const PrefixDef *def = nullptr;
        for (const PrefixDef &d : prefixes)
            if (d.ident == ident)
                def = &d;
        if (!def)
            return r; // "gnd:118577190": a prefix no one declared, kept as written
        const QRegularExpressionMatch m = def->match.match(rest);
        if (!m.hasMatch())
            return r;
        QString expanded = def->replacement;
        for (int g = 9; g >= 1; --g)
            expanded.replace(QStringLiteral("$%1").arg(g), m.captured(g));
        r = expanded;
    }
    // A pointer into a register file: "persons.xml#verdi".
    if (const qsizetype hash = r.indexOf(u'#'); hash >= 0 && !looksLikeUri(r))
        return r.mid(hash + 1);
    return r;
}

bool mentionKind(const xmlNode *n, EntityKind *kind)
{
    // Called for every element of the text: most are none of these.
    const char first = n && n->name ? char(n->name[0]) : 0;
    if (first != 'p' && first != 'g' && first != 'o' && first != 't' && first != 'r' && first != 'n')
        return false;
    if (is(n, "persName")) {
        *kind = EntityKind::Person;
    } else if (is(n, "placeName") || is(n, "geogName")) {
        *kind = EntityKind::Place;
    } else if (is(n, "orgName")) {
        *kind = EntityKind::Org;
    } else if (is(n, "title")) {
        // A title is a work of the register only when it points at one.
        if (attribute(n, "ref").isEmpty() && attribute(n, "key").isEmpty())
            return false;
        *kind = EntityKind::Work;
    } else if (is(n, "rs") || is(n, "name")) {
        const QString type = attribute(n, "type").toLower();
        if (type.isEmpty() || type == u"person" || type == u"persname" || type == u"pers")
            *kind = EntityKind::Person;
        else if (type == u"place" || type == u"placename")
            *kind = EntityKind::Place;
        else if (type == u"org" || type == u"organisation" || type == u"organization" || type == u"orgname")
            *kind = EntityKind::Org;
        else if (type == u"work" || type == u"bibl" || type == u"title")
            *kind = EntityKind::Work;
        else
            return false;
    } else {
        return false;
    }
    return true;
}

void Registers::read(const xmlNode *n, const QString &file)
{
    forEachElement(n, [&](const xmlNode *e) {
        const bool person = is(e, "person") || is(e, "personGrp");
        const bool place = is(e, "place");
        const bool org = is(e, "org");
        const bool work = (is(e, "bibl") || is(e, "biblStruct") || is(e, "biblFull")) && e->parent &&
                          (is(e->parent, "listBibl") || is(e->parent, "listObject"));
        if (!person && !place && !org && !work)
            return true;
        const QString id = xmlAttribute(e, "id");
        if (!id.isEmpty() && m_byKey.contains(id))
            return place; // known: read once; a place may hold places
        RegisterEntry entry;
        entry.id = id;
        const bool ok = person  ? readPerson(e, entry)
                        : place ? readNamed(e, "placeName", EntityKind::Place, entry)
                        : org   ? readNamed(e, "orgName", EntityKind::Org, entry)
                                : readWork(e, entry);
        if (ok) {
            urisOf(e, entry);
            entry.where = QStringLiteral("%1:%2").arg(file).arg(lineOf(e));
            if (!entry.id.isEmpty() || !entry.uris.isEmpty())
                add(std::move(entry));
        }
        return place;
    });
}

void Registers::readDocument(const TeiDocument &doc, const QString &file)
{
    const xmlNode *profileDesc = child(child(doc.tei, "teiHeader"), "profileDesc");
    for (const xmlNode *n : {child(profileDesc, "particDesc"), child(profileDesc, "settingDesc"),
                             child(doc.tei, "standOff"), child(child(doc.tei, "text"), "back")})
        if (n)
            read(n, file);
}

bool readRegisterFiles(const QStringList &files, Registers &registers, QStringList *errors, QStringList *warnings)
{
    const int errorsBefore = int(errors->size());
    for (const QString &path : files) {
        const QFileInfo fi(path);
        if (!fi.isFile()) {
            *errors << QStringLiteral("%1: cannot read the register file: it is not there").arg(path);
            continue;
        }
        if (fi.size() > kMaxRegisterFileBytes) {
            *errors << QStringLiteral("%1: the register file is larger than %2 MB")
                           .arg(path)
                           .arg(kMaxRegisterFileBytes >> 20);
            continue;
        }
        TeiFileReader reader;
        reader.acceptRegisterRoots(true);
        const int before = registers.size();
        if (!reader.read(fi.absoluteFilePath(), [&](const TeiDocument &doc) { registers.read(doc.tei, path); }))
            *errors << QStringLiteral("%1:%2: %3").arg(path).arg(reader.errorLine()).arg(reader.error());
        else if (registers.size() == before)
            *warnings << QStringLiteral("%1: warning: no register entry with an xml:id (person, place, org, "
                                        "bibl) found in this file")
                             .arg(path);
    }
    return errors->size() == errorsBefore;
}

// What an index shows of an entry stays short, whatever a register holds:
// a name of thousands of letters without a blank would be more than a
// page can lay out.
QString capped(const QString &s, int most)
{
    return s.size() <= most ? s : s.left(most) + QStringLiteral("\u2026");
}

void Registers::add(RegisterEntry e)
{
    constexpr int kMaxNames = 10, kMaxUris = 5, kMaxUri = 300;
    e.name = capped(e.name, kMaxName);
    e.sortName = capped(e.sortName, kMaxName);
    e.altNames = e.altNames.mid(0, kMaxNames);
    for (QString &n : e.altNames)
        n = capped(n, kMaxName);
    QStringList shown;
    for (const QString &u : e.uris.mid(0, kMaxUris))
        shown << capped(u, kMaxUri);
    const int index = int(m_entries.size());
    if (!e.id.isEmpty())
        m_byKey.insert(e.id, index);
    for (const QString &u : e.uris)
        if (!m_byKey.contains(u))
            m_byKey.insert(u, index);
    e.uris = shown;
    m_entries.push_back(std::move(e));
}

const RegisterEntry *Registers::find(const QString &key) const
{
    const int i = m_byKey.value(key, -1);
    return i < 0 ? nullptr : &m_entries[size_t(i)];
}

} // namespace folium::mktitle::tei
