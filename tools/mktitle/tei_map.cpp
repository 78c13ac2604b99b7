#include "tei_map.h"

#include "tei_language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <functional>
#include <map>

namespace folium::mktitle::tei {

namespace {

// Settings are elements; each names the attributes it has, and reads them.
class MappingReader {
public:
    MappingReader(const QString &path, TeiMapping &m, QStringList &errors) : m_path(path), m_m(m), m_errors(errors) {}

    void read(QIODevice *device)
    {
        m_xml.setDevice(device);
        if (!m_xml.readNextStartElement()) {
            error(QStringLiteral("not a mapping file: it holds no element"));
            return;
        }
        if (m_xml.name() != u"tei-mapping") {
            error(QStringLiteral("not a mapping file: the root element is <%1>, not <tei-mapping>")
                      .arg(m_xml.name().toString()));
            return;
        }
        attributes({});
        while (m_xml.readNextStartElement())
            setting();
        if (m_xml.hasError())
            error(m_xml.errorString());
    }

private:
    void error(const QString &message)
    {
        m_errors << QStringLiteral("%1:%2: %3").arg(m_path).arg(m_xml.lineNumber()).arg(message);
    }

    // Checks that the element has no attribute but these.
    QXmlStreamAttributes attributes(const QStringList &known)
    {
        const QXmlStreamAttributes a = m_xml.attributes();
        for (const QXmlStreamAttribute &at : a)
            if (!known.contains(at.name().toString()))
                error(known.isEmpty()
                          ? QStringLiteral("<%1> has no setting \"%2\"")
                                .arg(m_xml.name().toString(), at.name().toString())
                          : QStringLiteral("<%1> has no setting \"%2\" (its settings: %3)")
                                .arg(m_xml.name().toString(), at.name().toString(), known.join(QStringLiteral(", "))));
        return a;
    }

    // One of the values given, or an error.
    int choice(const QXmlStreamAttributes &a, const char *name, const QStringList &values, int otherwise)
    {
        if (!a.hasAttribute(QLatin1String(name)))
            return otherwise;
        const QString v = a.value(QLatin1String(name)).toString().trimmed();
        const int i = int(values.indexOf(v));
        if (i < 0)
            error(QStringLiteral("%1=\"%2\" is not a value of <%3> (one of: %4)")
                      .arg(QLatin1String(name), v, m_xml.name().toString(), values.join(QStringLiteral(", "))));
        return i < 0 ? otherwise : i;
    }

    bool yesNo(const QXmlStreamAttributes &a, const char *name, bool otherwise)
    {
        return choice(a, name, {QStringLiteral("no"), QStringLiteral("yes")}, otherwise ? 1 : 0) == 1;
    }

    QString text(const QXmlStreamAttributes &a, const char *name) { return a.value(QLatin1String(name)).toString(); }

    QStringList words(const QXmlStreamAttributes &a, const char *name)
    {
        return text(a, name).split(u' ', Qt::SkipEmptyParts);
    }

    // An element with no content of its own.
    void end()
    {
        while (m_xml.readNext() != QXmlStreamReader::EndElement && !m_xml.atEnd()) {
            if (m_xml.isStartElement()) {
                error(QStringLiteral("<%1> cannot stand here").arg(m_xml.name().toString()));
                m_xml.skipCurrentElement();
            } else if (m_xml.isCharacters() && !m_xml.isWhitespace()) {
                error(QStringLiteral("text cannot stand here"));
            }
        }
    }

    QString templateOf(const QXmlStreamAttributes &a, const char *name)
    {
        const QString t = text(a, name);
        static const QRegularExpression field(QStringLiteral("\\{([^}]*)\\}"));
        for (auto it = field.globalMatch(t); it.hasNext();) {
            const QString f = it.next().captured(1);
            if (!templateFields().contains(f))
                error(QStringLiteral("{%1} is not a field of a letter (fields: %2)")
                          .arg(f, templateFields().join(QStringLiteral(", "))));
        }
        return t;
    }

    void setting()
    {
        const QString name = m_xml.name().toString();
        static const std::map<QString, void (MappingReader::*)()> settings = {
            {QStringLiteral("title"), &MappingReader::title},
            {QStringLiteral("text"), &MappingReader::textParts},
            {QStringLiteral("notes"), &MappingReader::notes},
            {QStringLiteral("letters"), &MappingReader::letters},
            {QStringLiteral("dates"), &MappingReader::dates},
            {QStringLiteral("hyphens"), &MappingReader::hyphens},
            {QStringLiteral("rend"), &MappingReader::rend},
            {QStringLiteral("contents"), &MappingReader::contents},
            {QStringLiteral("subsets"), &MappingReader::subsets},
            {QStringLiteral("indexes"), &MappingReader::indexes},
            {QStringLiteral("register"), &MappingReader::registerFile},
            {QStringLiteral("prefix"), &MappingReader::prefix},
        };
        const auto it = settings.find(name);
        if (it == settings.end()) {
            QStringList known;
            for (const auto &[k, v] : settings)
                known << k;
            error(QStringLiteral("unknown setting <%1> (settings: %2)").arg(name, known.join(QStringLiteral(", "))));
            m_xml.skipCurrentElement();
            return;
        }
        (this->*it->second)();
    }

    void title()
    {
        const auto a = attributes({QStringLiteral("name"), QStringLiteral("language")});
        m_m.name = text(a, "name").simplified();
        if (a.hasAttribute(QLatin1String("language"))) {
            Language l;
            m_m.language = text(a, "language");
            if (!languageFromCode(m_m.language, &l))
                error(QStringLiteral("language=\"%1\" is not a value of <title> (one of: it, fr, en, de)")
                          .arg(m_m.language));
        }
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"home") {
                attributes({});
                m_m.homeText = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement).simplified();
            } else {
                error(QStringLiteral("<%1> cannot stand in <title> (only <home>)").arg(m_xml.name().toString()));
                m_xml.skipCurrentElement();
            }
        }
    }

    void textParts()
    {
        const auto a = attributes({QStringLiteral("letter-div"), QStringLiteral("front"), QStringLiteral("back"),
                                   QStringLiteral("leave-out-divs")});
        const QStringList keep{QStringLiteral("leave"), QStringLiteral("keep")};
        if (a.hasAttribute(QLatin1String("letter-div")))
            m_m.letters.divType = text(a, "letter-div").trimmed();
        m_m.keepFront = choice(a, "front", keep, 1) == 1;
        m_m.keepBack = choice(a, "back", keep, 1) == 1;
        m_m.leftOutDivTypes = words(a, "leave-out-divs");
        end();
    }

    void notes()
    {
        const auto a = attributes({QStringLiteral("others")});
        m_m.keepOtherNotes = choice(a, "others", {QStringLiteral("leave"), QStringLiteral("call")}, 1) == 1;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != u"note") {
                error(QStringLiteral("<%1> cannot stand in <notes> (only <note>)").arg(m_xml.name().toString()));
                m_xml.skipCurrentElement();
                continue;
            }
            const auto n = attributes({QStringLiteral("type"), QStringLiteral("show")});
            const QString type = text(n, "type").trimmed();
            if (type.isEmpty())
                error(QStringLiteral("<note> needs the type of the notes it is about"));
            const int show =
                choice(n, "show", {QStringLiteral("call"), QStringLiteral("inline"), QStringLiteral("leave")}, 0);
            (show == 0 ? m_m.callNoteTypes : show == 1 ? m_m.inlineNoteTypes : m_m.leftOutNoteTypes) << type;
            end();
        }
    }

    void letters()
    {
        const auto a = attributes({QStringLiteral("title"), QStringLiteral("heading"), QStringLiteral("reference")});
        m_m.titleTemplate = templateOf(a, "title");
        m_m.headingTemplate = templateOf(a, "heading");
        m_m.referenceTemplate = templateOf(a, "reference");
        end();
    }

    void dates()
    {
        const auto a = attributes({QStringLiteral("attributes"), QStringLiteral("ranges")});
        static const QStringList known{QStringLiteral("when"), QStringLiteral("notBefore"), QStringLiteral("notAfter"),
                                       QStringLiteral("from"), QStringLiteral("to")};
        for (const QString &w : words(a, "attributes")) {
            if (known.contains(w))
                m_m.letters.dateAttributes << w;
            else
                error(QStringLiteral("\"%1\" is not a date attribute (one of: %2)")
                          .arg(w, known.join(QStringLiteral(", "))));
        }
        m_m.letters.rangeByEnd = choice(a, "ranges", {QStringLiteral("start"), QStringLiteral("end")}, 0) == 1;
        end();
    }

    void hyphens()
    {
        const auto a = attributes({QStringLiteral("join")});
        m_m.joinLineEndHyphens = yesNo(a, "join", true);
        end();
    }

    void rend()
    {
        const auto a = attributes({QStringLiteral("value"), QStringLiteral("style")});
        const QString value = text(a, "value").trimmed();
        if (value.isEmpty() || value.contains(u' '))
            error(QStringLiteral("<rend> needs one value of @rend"));
        else
            m_m.rendStyles.insert(value, text(a, "style"));
        end();
    }

    void contents()
    {
        const auto a = attributes({QStringLiteral("group")});
        m_m.grouping = Grouping(choice(a, "group",
                                       {QStringLiteral("year-month"), QStringLiteral("year"),
                                        QStringLiteral("correspondent"), QStringLiteral("collection")},
                                       0));
        end();
    }

    void subsets()
    {
        const auto a = attributes({QStringLiteral("years"), QStringLiteral("correspondent-letters")});
        m_m.yearSubsets = yesNo(a, "years", true);
        if (a.hasAttribute(QLatin1String("correspondent-letters"))) {
            bool ok = false;
            const int n = text(a, "correspondent-letters").toInt(&ok);
            if (!ok || n < 0)
                error(QStringLiteral("correspondent-letters=\"%1\" is no number of letters (0 for no such subsets)")
                          .arg(text(a, "correspondent-letters")));
            else
                m_m.correspondentSubsetLetters = n;
        }
        end();
    }

    void indexes()
    {
        static const char *const names[] = {"correspondents", "persons", "places", "analytic", "synoptic"};
        QStringList known;
        for (const char *n : names)
            known << QLatin1String(n);
        const auto a = attributes(known);
        for (int i = 0; i < kIndexKinds; ++i)
            m_m.indexes[i] = yesNo(a, names[i], true);
        end();
    }

    void registerFile()
    {
        const auto a = attributes({QStringLiteral("href")});
        const QString href = text(a, "href");
        if (href.isEmpty())
            error(QStringLiteral("<register> needs the href of a register file"));
        else
            m_m.registerFiles << QFileInfo(m_path).absoluteDir().absoluteFilePath(href);
        end();
    }

    void prefix()
    {
        const auto a = attributes({QStringLiteral("ident"), QStringLiteral("match"), QStringLiteral("replacement")});
        PrefixDef d;
        d.ident = text(a, "ident");
        d.match = QRegularExpression(
            u'^' + (a.hasAttribute(QLatin1String("match")) ? text(a, "match") : QStringLiteral("(.+)")) + u'$');
        d.replacement = text(a, "replacement");
        if (d.ident.isEmpty() || d.replacement.isEmpty())
            error(QStringLiteral("<prefix> needs an ident and a replacement"));
        else if (!d.match.isValid())
            error(QStringLiteral("match=\"%1\" is no regular expression: %2")
                      .arg(text(a, "match"), d.match.errorString()));
        else
            m_m.prefixes.push_back(std::move(d));
        end();
    }

    QString m_path;
    TeiMapping &m_m;
    QStringList &m_errors;
    QXmlStreamReader m_xml;
};

} // namespace

const QStringList &templateFields()
{
    static const QStringList fields{QStringLiteral("date"),      QStringLiteral("place"),
                                    QStringLiteral("sender"),    QStringLiteral("receiver"),
                                    QStringLiteral("reference"), QStringLiteral("collection")};
    return fields;
}

QString fillTemplate(const QString &pattern, const QHash<QString, QString> &fields)
{
    QString out, literal;
    bool first = true; // the text before the first field
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const qsizetype close = pattern[i] == u'{' ? pattern.indexOf(u'}', i) : -1;
        if (close < 0) {
            literal += pattern[i];
            continue;
        }
        const QString value = fields.value(pattern.mid(i + 1, close - i - 1));
        if (!value.isEmpty()) {
            if (!out.isEmpty() || first)
                out += literal;
            out += value;
        }
        first = false;
        literal.clear();
        i = close;
    }
    if (!out.isEmpty() || first)
        out += literal;
    return out.simplified();
}

void titleLetter(Letter &l, const Words &words, const TeiMapping &map, const QString &name)
{
    const LetterMeta &m = l.meta;
    const QString when = m.date.valid() ? words.date(m.date)
                         : m.isRange()  ? words.range(m.from, m.to)
                                        : words.undated();
    const QString fromTo = words.fromTo(m.senders, m.receivers);
    QString who = fromTo;
    if (who.isEmpty())
        who = m.place;
    if (who.isEmpty() && !m.ownTitle.isEmpty() && m.ownTitle != name)
        who = m.ownTitle;
    if (who.isEmpty())
        who = words.letter(m.reference.isEmpty() ? l.key : m.reference);
    l.title = u'/' + when + QStringLiteral(", ") + who;
    l.heading = fromTo;
    l.referenceLine = m.reference.isEmpty() ? words.letter(l.key) : m.reference;
    const QHash<QString, QString> fields{{QStringLiteral("date"), when},
                                         {QStringLiteral("place"), m.place},
                                         {QStringLiteral("sender"), words.joined(m.senders)},
                                         {QStringLiteral("receiver"), words.joined(m.receivers)},
                                         {QStringLiteral("reference"), m.reference},
                                         {QStringLiteral("collection"), m.collection}};
    if (!map.titleTemplate.isEmpty())
        if (const QString t = fillTemplate(map.titleTemplate, fields); !t.isEmpty())
            l.title = u'/' + t;
    if (!map.headingTemplate.isEmpty())
        l.heading = fillTemplate(map.headingTemplate, fields);
    if (!map.referenceTemplate.isEmpty())
        l.referenceLine = fillTemplate(map.referenceTemplate, fields);
    // A title is a line of the contents and of the lists of results.
    constexpr int kLongestTitle = 300;
    if (l.title.size() > kLongestTitle)
        l.title = l.title.left(kLongestTitle) + QStringLiteral("\u2026");
}

bool readMapping(const QString &path, TeiMapping *out, QStringList *errors)
{
    const int before = int(errors->size());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *errors << QStringLiteral("%1: cannot read the mapping file: %2").arg(path, file.errorString());
        return false;
    }
    out->path = path;
    MappingReader(path, *out, *errors).read(&file);
    return errors->size() == before;
}

} // namespace folium::mktitle::tei
