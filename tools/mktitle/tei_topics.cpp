#include "tei_edition.h"

#include "tei_text.h"

#include <QFile>

namespace folium::mktitle::tei {

QByteArray xmlEscaped(const QString &s)
{
    QByteArray out;
    for (char c : s.toUtf8()) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\t': out += "&#9;"; break;
        case '\n': out += "&#10;"; break;
        default: out += c;
        }
    }
    return out;
}

QString breakable(const QString &s)
{
    if (s.size() <= kLongestRun)
        return s;
    QString out;
    int run = 0;
    for (QChar c : s) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kLongestRun) {
            out += QChar(0x200B);
            run = 1;
        }
        out += c;
    }
    return out;
}

QByteArray homeTopic(const std::vector<Letter> &letters, const Words &words, const QString &name,
                     const EditionInfo &edition, const QByteArray &more)
{
    QByteArray t = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<topics>\n";
    t += "<topic title=\"" + xmlEscaped(QStringLiteral("Home \u2013 ") + name) +
         "\" data=\"sommario\" context=\"sommario\">\n<nsr><h1 align=\"center\">" + xmlEscaped(name) +
         "</h1></nsr>\n<sr>\n";
    if (!edition.edition.isEmpty())
        t += "<p align=\"center\"><i>" + xmlEscaped(edition.edition) + "</i></p>\n";
    PartialDate first, last;
    for (const Letter &l : letters) {
        const PartialDate d = l.meta.sortDate();
        if (!d.valid())
            continue;
        if (!first.valid())
            first = d;
        last = d;
    }
    QString span = words.letters(int(letters.size()));
    if (first.valid())
        span += QStringLiteral(", ") +
                (first == last ? words.date(first) : words.date(first) + QStringLiteral(" – ") + words.date(last));
    t += "<p align=\"center\">" + xmlEscaped(span) + "</p>\n";
    // Each year, a jump to its first letter.
    QByteArray years;
    QString year;
    for (const Letter &l : letters) {
        const PartialDate d = l.meta.sortDate();
        const QString y = d.valid() ? QString::number(d.year) : words.undatedFolder();
        if (y == year)
            continue;
        year = y;
        years += "<li><a jump=\"" + xmlEscaped(l.data) + "\">" + xmlEscaped(y) + "</a></li>\n";
    }
    t += "<h3>" + xmlEscaped(words.contents()) + "</h3>\n<ul>\n" + years + "</ul>\n" + more;
    if (!edition.licence.isEmpty())
        t += "<p><small>" + xmlEscaped(edition.licence) + "</small></p>\n";
    t += "</sr>\n</topic>\n</topics>\n";
    return t;
}

bool letterTopics(const std::vector<Letter> &letters, const Words &words, const QString &spoolPath, size_t start,
                  size_t end, QByteArray *out, QString *error)
{
    QFile spool(spoolPath);
    if (!spool.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the temporary file %1: %2").arg(spoolPath, spool.errorString());
        return false;
    }
    QByteArray &t = *out;
    t = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<topics>\n";
    for (size_t i = start; i < end; ++i) {
        const Letter &l = letters[i];
        const LetterMeta &m = l.meta;
        QString contexts = l.data;
        if (!l.dateContext.isEmpty())
            contexts += u' ' + l.dateContext;
        const QString groups = l.subsets.isEmpty() ? l.group : l.group + u' ' + l.subsets.join(u' ');
        t += "<topic title=\"" + xmlEscaped(l.title) + "\" data=\"" + xmlEscaped(l.data) + "\" context=\"" +
             xmlEscaped(contexts) + "\" groups=\"" + xmlEscaped(groups) + "\">\n<nsr>";
        if (!l.heading.isEmpty())
            t += "<p><b>" + xmlEscaped(breakable(l.heading)) + "</b></p>";
        const QString when = m.date.valid() ? words.date(m.date)
                             : m.isRange()  ? words.range(m.from, m.to)
                                            : words.undated();
        t += "<p><i>" + xmlEscaped(breakable(m.place.isEmpty() ? when : m.place + QStringLiteral(", ") + when)) +
             "</i></p>";
        if (!l.referenceLine.isEmpty())
            t += "<p><small>" + xmlEscaped(breakable(l.referenceLine)) + "</small></p>";
        t += "</nsr>\n<sr>";
        if (!spool.seek(l.offset)) {
            *error = QStringLiteral("cannot read the temporary file %1").arg(spoolPath);
            return false;
        }
        QByteArray sr = spool.read(l.size);
        if (sr.size() != l.size) {
            *error = QStringLiteral("cannot read the temporary file %1").arg(spoolPath);
            return false;
        }
        if (sr.indexOf(kDataPlaceholder) >= 0)
            sr.replace(kDataPlaceholder, l.data.toUtf8());
        if (sr.indexOf(kUncalledHeadingPlaceholder) >= 0)
            sr.replace(kUncalledHeadingPlaceholder, xmlEscaped(words.uncalledNotes()));
        t += sr + "</sr>\n</topic>\n";
    }
    t += "</topics>\n";
    return true;
}

QByteArray projectFile(const TitleSource &p, const std::vector<TopicFile> &files)
{
    QByteArray x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<title name=\"" + xmlEscaped(p.name) + "\" notes=\"" +
                   xmlEscaped(p.notesPrefix) + "\" home=\"" + xmlEscaped(p.homeContext) + "\">\n";
    for (const TopicFile &f : files)
        x += "  <include href=\"topics/" + xmlEscaped(f.name) + "\"/>\n";
    for (const ImageSource &i : p.images)
        x += "  <image name=\"" + xmlEscaped(i.name) + "\" href=\"images/" + xmlEscaped(i.name) + "\"/>\n";
    x += "  <database>\n";
    for (const ParamSource &pa : p.params) {
        x += "    <param code=\"" + xmlEscaped(pa.code) + "\" p1=\"" + xmlEscaped(pa.p1) + '"';
        if (pa.hasP2)
            x += " p2=\"" + xmlEscaped(pa.p2) + '"';
        x += "/>\n";
    }
    x += "    <contents>\n";
    for (const ItemSource &it : p.items) {
        x += "      <item key=\"" + xmlEscaped(it.key) + "\" text=\"" + xmlEscaped(it.text) + '"';
        if (!it.parent.isEmpty())
            x += " parent=\"" + xmlEscaped(it.parent) + '"';
        if (!it.type.isEmpty())
            x += " type=\"" + xmlEscaped(it.type) + '"';
        x += "/>\n";
    }
    x += "    </contents>\n  </database>\n</title>\n";
    return x;
}

} // namespace folium::mktitle::tei
