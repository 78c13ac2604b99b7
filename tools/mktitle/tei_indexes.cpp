#include "tei_indexes.h"

#include "tei_language.h"

#include <QCollator>

#include <algorithm>
#include <set>

namespace folium::mktitle::tei {

namespace {

// What one index page may hold, well within what the reader lays out at
// once: past these the index goes on in a next part.
constexpr int kPageChars = 120000;
constexpr int kPageLinks = 2500;
constexpr int kPageEntries = 1500;
constexpr int kSynopticRows = 250;
// An entry of more letters than this lists them by year.
constexpr int kEntryLinks = 300;
// An index of more entries than this starts with the letters A–Z.
constexpr int kEntriesForAlphabet = 30;

// Text of a page: a run of letters too long for a line gets places to
// break it.
QByteArray esc(const QString &s)
{
    return xmlEscaped(breakable(s));
}

// The value of an attribute: a context string, a topic's title.
QByteArray attr(const QString &s)
{
    return xmlEscaped(s);
}

// Shown, and no word of the index: the dates of the links and the first
// words of the letters would make every index a hit for "marzo" or "caro".
QByteArray unindexed(const QString &s)
{
    return s.isEmpty() ? QByteArray() : "<noindex>" + esc(s) + "</noindex>";
}

// The letter an entry is filed under: A–Z without accents, "" for others.
QString initialOf(const QString &sortName)
{
    for (QChar c : sortName.normalized(QString::NormalizationForm_D)) {
        if (c.isLetter()) {
            const QChar u = c.toUpper();
            return u >= u'A' && u <= u'Z' ? QString(u) : QString();
        }
        if (c.isDigit())
            return {};
    }
    return {};
}

struct Entry {
    QString sortName;
    QByteArray html;
    int links = 0;
};

// The context of an index's part n (from 1).
QString partContext(const QString &base, int n)
{
    return n == 1 ? base : QStringLiteral("%1_%2").arg(base).arg(n);
}

class Writer {
public:
    explicit Writer(const IndexInput &in) : m_in(in), m_w(in.words) {}

    QByteArray run()
    {
        QByteArray t = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<topics>\n";
        if (made(IndexKind::Correspondents))
            t += pages(IndexKind::Correspondents, sorted(correspondents()));
        if (made(IndexKind::Persons))
            t += pages(IndexKind::Persons, sorted(mentioned(EntityKind::Person)));
        if (made(IndexKind::Places))
            t += pages(IndexKind::Places, sorted(places()));
        if (made(IndexKind::Analytic))
            t += analytic();
        if (made(IndexKind::Synoptic))
            t += synoptic();
        return t + "</topics>\n";
    }

    QByteArray cards()
    {
        QByteArray t = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<topics>\n";
        for (const Referent &r : m_in.referents) {
            if (r.contexts.isEmpty())
                continue;
            t += "<topic title=\"&amp;" + attr(r.name) + "\" data=\"" + attr(r.contexts.front()) + "\" context=\"" +
                 attr(r.contexts.join(u' ')) + "\" browse=\"no\">\n<nsr><p><b>" + esc(r.name) + "</b></p></nsr>\n<sr>";
            t += "<p>" + summary(r) + "</p>";
            if (r.entry >= 0)
                for (const QString &uri : m_in.registers.at(r.entry).uris)
                    t += "<p><small>" + esc(uri) + "</small></p>";
            // The indexes it is in, each a jump to its entry there.
            QByteArray in;
            const auto link = [&](IndexKind k) {
                if (!made(k))
                    return;
                in += (in.isEmpty() ? "" : " \xC2\xB7 ") + QByteArray("<a jump=\"") + attr(entryContext(r, k)) + "\">" +
                      esc(heading(k)) + "</a>";
            };
            if (!r.sent.empty() || !r.received.empty())
                link(IndexKind::Correspondents);
            if (!r.mentions.empty() || (r.kind == EntityKind::Place && !r.writtenFrom.empty()))
                link(indexOf(r.kind));
            t += "<p>" + esc(m_w.letters(letterCount(r))) + (in.isEmpty() ? QByteArray() : " \xC2\xB7 " + in) +
                 "</p></sr>\n</topic>\n";
        }
        return t + "</topics>\n";
    }

private:
    bool made(IndexKind k) const { return m_in.mapping.indexes[int(k)]; }

    QString heading(IndexKind k) const
    {
        switch (k) {
        case IndexKind::Correspondents: return m_w.word(Word::Correspondents);
        case IndexKind::Persons: return m_w.word(Word::Persons);
        case IndexKind::Places: return m_w.word(Word::Places);
        case IndexKind::Analytic: return m_w.word(Word::Analytic);
        case IndexKind::Synoptic: return m_w.word(Word::Synoptic);
        }
        return {};
    }

    // The line of links to the other indexes, at the top of each.
    QByteArray navigation(IndexKind here) const
    {
        QByteArray out;
        for (int i = 0; i < kIndexKinds; ++i) {
            const auto k = IndexKind(i);
            if (!made(k))
                continue;
            if (!out.isEmpty())
                out += " \xC2\xB7 ";
            out += k == here ? "<b>" + esc(heading(k)) + "</b>"
                             : "<a jump=\"" + attr(indexContext(k)) + "\">" + esc(heading(k)) + "</a>";
        }
        return "<p><small>" + out + "</small></p>";
    }

    int letterCount(const Referent &r) const
    {
        std::set<int> letters(r.sent.begin(), r.sent.end());
        letters.insert(r.received.begin(), r.received.end());
        letters.insert(r.writtenFrom.begin(), r.writtenFrom.end());
        for (const MentionAt &m : r.mentions)
            letters.insert(m.letter);
        return int(letters.size());
    }

    // The register's data in short: life dates, description, other names.
    QByteArray summary(const Referent &r) const
    {
        QStringList parts;
        if (r.entry >= 0) {
            const RegisterEntry &e = m_in.registers.at(r.entry);
            if (!e.dates.isEmpty())
                parts << e.dates;
            if (!e.description.isEmpty())
                parts << e.description;
            if (!e.altNames.isEmpty())
                parts << m_w.word(Word::AlsoCalled) + u' ' + e.altNames.join(QStringLiteral(", "));
        } else {
            parts << m_w.word(Word::NotInRegister);
        }
        for (QString &part : parts)
            while (part.endsWith(u'.') && !part.endsWith(QLatin1String("..")))
                part.chop(1);
        return esc(parts.join(QStringLiteral(". ")));
    }

    QString dateOf(int letter) const
    {
        const LetterMeta &m = m_in.letters[size_t(letter)].meta;
        return m.date.valid() ? m_w.date(m.date) : m.isRange() ? m_w.range(m.from, m.to) : m_w.undated();
    }

    // A date as the lists of letters write it, short: "4.3.1862", "3.1862",
    // "1862", a range "1.2.1871–15.3.1871".
    static QString numeric(const PartialDate &d)
    {
        QString s = QString::number(d.year);
        if (d.month)
            s.prepend(QString::number(d.month) + u'.');
        if (d.day)
            s.prepend(QString::number(d.day) + u'.');
        return s;
    }
    QString shortDateOf(int letter) const
    {
        const LetterMeta &m = m_in.letters[size_t(letter)].meta;
        if (m.date.valid())
            return numeric(m.date);
        if (m.from.valid() && m.to.valid())
            return numeric(m.from) + QStringLiteral("\u2013") + numeric(m.to);
        if (m.from.valid() || m.to.valid())
            return m_w.range(m.from, m.to);
        return m_w.undated();
    }

    QByteArray letterLink(int letter, const QString &extra = {}) const
    {
        const Letter &l = m_in.letters[size_t(letter)];
        QString text = shortDateOf(letter);
        if (!l.meta.date.valid())
            text += QStringLiteral(" (") + l.meta.reference + u')';
        if (!extra.isEmpty())
            text += u' ' + extra;
        return "<a jump=\"" + attr(l.data) + "\">" + unindexed(text) + "</a>";
    }

    // Letters as links, one a letter; by year when there are too many.
    // With who: the other side of each letter, when it is not always the
    // same.
    QByteArray letterList(std::vector<int> letters, int *links, bool sent = false, bool received = false) const
    {
        QSet<QString> others;
        if (sent || received)
            for (int l : letters) {
                const LetterMeta &m = m_in.letters[size_t(l)].meta;
                others.insert((sent ? m.receivers : m.senders).join(u'|'));
            }
        const bool who = others.size() > 1;
        std::sort(letters.begin(), letters.end());
        letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
        QByteArray out;
        if (int(letters.size()) > kEntryLinks) {
            // The first letter of each year, and how many that year has.
            int year = -1, count = 0;
            QByteArray first;
            const auto flush = [&] {
                if (count)
                    out += (out.isEmpty() ? "" : ", ") + first + " (" + QByteArray::number(count) + ')';
            };
            for (int l : letters) {
                const PartialDate d = m_in.letters[size_t(l)].meta.sortDate();
                if (d.year != year) {
                    flush();
                    year = d.year;
                    count = 0;
                    first = "<a jump=\"" + attr(m_in.letters[size_t(l)].data) + "\">" +
                            esc(d.valid() ? QString::number(d.year) : m_w.undated()) + "</a>";
                    ++*links;
                }
                ++count;
            }
            flush();
            return esc(m_w.word(Word::ByYear) + u' ') + out;
        }
        for (int l : letters) {
            if (!out.isEmpty())
                out += ", ";
            out += letterLink(l);
            if (who) {
                const LetterMeta &m = m_in.letters[size_t(l)].meta;
                const QString other = sent ? m_w.fromTo({}, m.receivers) : m_w.joined(m.senders);
                if (!other.isEmpty())
                    out += " (" + esc(other) + ')';
            }
            ++*links;
        }
        return out;
    }

    // Mentions as links: the letter, or its note ("n. 3").
    QByteArray mentionList(std::vector<MentionAt> mentions, int *links) const
    {
        std::sort(mentions.begin(), mentions.end(), [](const MentionAt &a, const MentionAt &b) {
            return std::tie(a.letter, a.noteOrdinal) < std::tie(b.letter, b.noteOrdinal);
        });
        mentions.erase(std::unique(mentions.begin(), mentions.end(),
                                   [](const MentionAt &a, const MentionAt &b) {
                                       return a.letter == b.letter && a.noteOrdinal == b.noteOrdinal;
                                   }),
                       mentions.end());
        if (int(mentions.size()) > kEntryLinks) {
            std::vector<int> letters;
            for (const MentionAt &m : mentions)
                letters.push_back(m.letter);
            return letterList(letters, links);
        }
        QByteArray out;
        for (const MentionAt &m : mentions) {
            if (!out.isEmpty())
                out += ", ";
            if (m.noteOrdinal == 0) {
                out += letterLink(m.letter);
            } else {
                const Letter &l = m_in.letters[size_t(m.letter)];
                out += "<a jump=\"T" + attr(l.data) + '.' + QByteArray::number(m.noteOrdinal) + "\">" +
                       unindexed(shortDateOf(m.letter) + u' ' + m_w.word(Word::NoteAbbrev) + u' ' +
                                 QString::number(m.noteLabel)) +
                       "</a>";
            }
            ++*links;
        }
        return out;
    }

    static IndexKind indexOf(EntityKind k)
    {
        return k == EntityKind::Person  ? IndexKind::Persons
               : k == EntityKind::Place ? IndexKind::Places
                                        : IndexKind::Analytic;
    }

    // Where a referent's entry is in an index: its card jumps there.
    static QString entryContext(const Referent &r, IndexKind k)
    {
        return QStringLiteral("X%1%2").arg(QChar(u'a' + int(k))).arg(r.contexts.value(0).mid(1));
    }
    static QByteArray entryAnchor(const Referent &r, IndexKind k)
    {
        return "<anchor context=\"" + attr(entryContext(r, k)) + "\"/>";
    }

    QByteArray nameLine(const Referent &r) const
    {
        QByteArray out = "<b>" + esc(r.sortName) + "</b>";
        const QByteArray s = summary(r);
        if (!s.isEmpty())
            out += ". " + s;
        return out;
    }

    std::vector<Entry> correspondents() const
    {
        std::vector<Entry> out;
        for (const Referent &r : m_in.referents) {
            if (r.sent.empty() && r.received.empty())
                continue;
            Entry e{r.sortName, {}, 0};
            e.html = "<p>" + entryAnchor(r, IndexKind::Correspondents) + nameLine(r) + ". " +
                     esc(m_w.letters(r.letterCount())) + "</p>\n";
            const QString shortName = r.name;
            QString to = m_w.word(Word::LettersTo);
            if (m_w.language == Language::Italian && shortName.startsWith(u'A', Qt::CaseInsensitive))
                to.replace(QStringLiteral(" a %1"), QStringLiteral(" ad %1"));
            if (!r.sent.empty())
                e.html +=
                    "<p style=\"margin-left:2em\">" +
                    esc(m_w.word(Word::LettersFrom).arg(shortName) + QStringLiteral(" (%1): ").arg(r.sent.size())) +
                    letterList(r.sent, &e.links, true) + "</p>\n";
            if (!r.received.empty())
                e.html += "<p style=\"margin-left:2em\">" +
                          esc(to.arg(shortName) + QStringLiteral(" (%1): ").arg(r.received.size())) +
                          letterList(r.received, &e.links, false, true) + "</p>\n";
            out.push_back(std::move(e));
        }
        return out;
    }

    std::vector<Entry> mentioned(EntityKind kind) const
    {
        std::vector<Entry> out;
        for (const Referent &r : m_in.referents) {
            if (r.kind != kind || r.mentions.empty())
                continue;
            Entry e{r.sortName, {}, 0};
            e.html = "<p>" + entryAnchor(r, indexOf(kind)) + nameLine(r) + ". " + esc(m_w.word(Word::MentionedIn)) +
                     ": " + mentionList(r.mentions, &e.links) + "</p>\n";
            out.push_back(std::move(e));
        }
        return out;
    }

    std::vector<Entry> places() const
    {
        std::vector<Entry> out;
        for (const Referent &r : m_in.referents) {
            if (r.kind != EntityKind::Place || (r.mentions.empty() && r.writtenFrom.empty()))
                continue;
            Entry e{r.sortName, "<p>" + entryAnchor(r, IndexKind::Places) + nameLine(r) + "</p>\n", 0};
            if (!r.writtenFrom.empty())
                e.html += "<p style=\"margin-left:2em\">" +
                          esc(m_w.word(Word::WrittenFrom) + QStringLiteral(" (%1): ").arg(r.writtenFrom.size())) +
                          letterList(r.writtenFrom, &e.links) + "</p>\n";
            if (!r.mentions.empty())
                e.html += "<p style=\"margin-left:2em\">" + esc(m_w.word(Word::MentionedIn)) + ": " +
                          mentionList(r.mentions, &e.links) + "</p>\n";
            out.push_back(std::move(e));
        }
        return out;
    }

    std::vector<Entry> sorted(std::vector<Entry> entries) const
    {
        const QCollator c = m_w.collator();
        std::stable_sort(entries.begin(), entries.end(),
                         [&c](const Entry &a, const Entry &b) { return c.compare(a.sortName, b.sortName) < 0; });
        return entries;
    }

    // An index's topics: one, or parts of it when it is long, each with
    // the letters A–Z at its top.
    QByteArray pages(IndexKind kind, const std::vector<Entry> &entries, const QByteArray &intro = {},
                     bool alphabet = true)
    {
        const QString base = indexContext(kind);
        std::vector<size_t> starts{0};
        int chars = 0, links = 0;
        for (size_t i = 0; i < entries.size(); ++i) {
            const Entry &e = entries[i];
            if (i > starts.back() && (chars + e.html.size() > kPageChars || links + e.links > kPageLinks ||
                                      int(i - starts.back()) >= kPageEntries)) {
                starts.push_back(i);
                chars = links = 0;
            }
            chars += int(e.html.size());
            links += e.links;
        }
        // The letters the entries begin with, and the part each is in.
        QByteArray bar;
        QSet<QString> initials;
        std::vector<QString> initialAt(entries.size());
        if (alphabet && int(entries.size()) > kEntriesForAlphabet) {
            for (size_t i = 0; i < entries.size(); ++i) {
                const QString letter = initialOf(entries[i].sortName);
                if (letter.isEmpty() || initials.contains(letter))
                    continue;
                initials.insert(letter);
                initialAt[i] = letter;
                bar += "<a jump=\"" + attr(base) + '_' + attr(letter) + "\">" + esc(letter) + "</a> ";
            }
        }
        QByteArray t;
        const int parts = int(starts.size());
        for (int p = 0; p < parts; ++p) {
            const size_t from = starts[size_t(p)];
            const size_t to = p + 1 < parts ? starts[size_t(p) + 1] : entries.size();
            QString title = heading(kind);
            if (parts > 1)
                title += QStringLiteral(" (") + m_w.word(Word::Part).arg(p + 1) + u')';
            const QString context = partContext(base, p + 1);
            t += "<topic title=\"&amp;" + attr(title) + "\" data=\"" + attr(context) + "\" context=\"" + attr(context) +
                 "\" browse=\"no\">\n<nsr><h2>" + esc(title) + "</h2>" + navigation(kind);
            if (!bar.isEmpty())
                t += "<p>" + bar.trimmed() + "</p>";
            if (parts > 1) {
                QByteArray partLinks;
                for (int q = 0; q < parts; ++q)
                    partLinks += (q == p ? "<b>" + QByteArray::number(q + 1) + "</b>"
                                         : "<a jump=\"" + attr(partContext(base, q + 1)) + "\">" +
                                               QByteArray::number(q + 1) + "</a>") +
                                 ' ';
                t += "<p><small>" + partLinks.trimmed() + "</small></p>";
            }
            t += "</nsr>\n<sr>\n";
            if (p == 0)
                t += intro;
            for (size_t i = from; i < to; ++i) {
                QByteArray html = entries[i].html;
                if (!initialAt[i].isEmpty())
                    html.insert(html.indexOf('>') + 1,
                                "<anchor context=\"" + attr(base) + '_' + attr(initialAt[i]) + "\"/>");
                t += html;
            }
            t += "</sr>\n</topic>\n";
        }
        return t;
    }

    // Organisations and works; with neither, the guide to the indexes.
    QByteArray analytic()
    {
        std::vector<Entry> orgs = sorted(mentioned(EntityKind::Org));
        std::vector<Entry> works = sorted(mentioned(EntityKind::Work));
        std::vector<Entry> all;
        QByteArray intro;
        if (orgs.empty() && works.empty()) {
            for (int i = 0; i < kIndexKinds; ++i)
                if (IndexKind(i) != IndexKind::Analytic && made(IndexKind(i)))
                    intro += "<p><a jump=\"" + attr(indexContext(IndexKind(i))) + "\">" + esc(heading(IndexKind(i))) +
                             "</a></p>\n";
        }
        // Each group under its heading, in one run of entries.
        const auto group = [&](std::vector<Entry> &entries, Word title) {
            if (entries.empty())
                return;
            entries.front().html.prepend("<h3>" + esc(m_w.word(title)) + "</h3>\n");
            for (Entry &e : entries)
                all.push_back(std::move(e));
        };
        group(orgs, Word::Organisations);
        group(works, Word::Works);
        return pages(IndexKind::Analytic, all, intro, false);
    }

    QString namesOf(const QStringList &names) const { return m_w.joined(names); }

    QByteArray synoptic()
    {
        const QString base = indexContext(IndexKind::Synoptic);
        const std::vector<Letter> &letters = m_in.letters;
        const int parts = std::max<int>(1, int((letters.size() + kSynopticRows - 1) / kSynopticRows));
        const QString title = heading(IndexKind::Synoptic);
        // The years, each a jump to its first row.
        QByteArray years;
        QStringList yearAnchor(int(letters.size()));
        QSet<int> seen;
        for (size_t i = 0; i < letters.size(); ++i) {
            const PartialDate d = letters[i].meta.sortDate();
            const int y = d.valid() ? d.year : 0;
            if (seen.contains(y))
                continue;
            seen.insert(y);
            yearAnchor[int(i)] = base + u'_' + (y ? QString::number(y) : QStringLiteral("sd"));
            years +=
                "<a jump=\"" + attr(yearAnchor[int(i)]) + "\">" + esc(y ? QString::number(y) : m_w.undated()) + "</a> ";
        }
        QByteArray t;
        for (int p = 0; p < parts; ++p) {
            const QString context = partContext(base, p + 1);
            QString partTitle = title;
            if (parts > 1)
                partTitle += QStringLiteral(" (") + m_w.word(Word::Part).arg(p + 1) + u')';
            t += "<topic title=\"&amp;" + attr(partTitle) + "\" data=\"" + attr(context) + "\" context=\"" +
                 esc(context) + "\" browse=\"no\">\n<nsr><h2>" + esc(partTitle) + "</h2>" +
                 navigation(IndexKind::Synoptic);
            if (seen.size() > 1)
                t += "<p>" + years.trimmed() + "</p>";
            t += "</nsr>\n<sr>\n<table border=\"1\" cellpadding=\"3\" cellspacing=\"0\">\n<tr><th>" +
                 esc(m_w.word(Word::Reference)) + "</th><th>" + esc(m_w.word(Word::Date)) + "</th><th>" +
                 esc(m_w.word(Word::Sender)) + "</th><th>" + esc(m_w.word(Word::Receiver)) + "</th><th>" +
                 esc(m_w.word(Word::Place)) + "</th><th>" + esc(m_w.word(Word::Incipit)) + "</th></tr>\n";
            const size_t from = size_t(p) * kSynopticRows;
            const size_t to = std::min(letters.size(), from + kSynopticRows);
            for (size_t i = from; i < to; ++i) {
                const Letter &l = letters[i];
                const QString anchor = yearAnchor[int(i)];
                t += "<tr><td>" + esc(l.meta.reference) + "</td><td>" +
                     (anchor.isEmpty() ? QByteArray() : "<anchor context=\"" + attr(anchor) + "\"/>") + "<a jump=\"" +
                     esc(l.data) + "\">" + unindexed(dateOf(int(i))) + "</a></td><td>" + esc(namesOf(l.meta.senders)) +
                     "</td><td>" + esc(namesOf(l.meta.receivers)) + "</td><td>" + esc(l.meta.place) +
                     "</td><td><small>" + unindexed(l.incipit) + "</small></td></tr>\n";
            }
            t += "</table>\n</sr>\n</topic>\n";
        }
        return t;
    }

    const IndexInput &m_in;
    const Words &m_w;
};

} // namespace

QByteArray indexTopics(const IndexInput &in)
{
    return Writer(in).run();
}

QByteArray cardTopics(const IndexInput &in)
{
    return Writer(in).cards();
}

} // namespace folium::mktitle::tei
