#include "tei_indexes.h"
#include "tei_language.h"

#include <QCollator>
#include <QHash>

#include <algorithm>
#include <map>

namespace folium::mktitle::tei {

namespace {

// A year's letters are shown by month past this many.
constexpr int kLettersForMonths = 30;
// The reader lists at most 1000 subsets; the years come first.
constexpr int kMaxSubsets = 1000;

Location here(const TitleSource &p)
{
    return {p.name, 0};
}

void item(TitleSource &p, const QString &key, const QString &text, const QString &parent, bool folder)
{
    p.items.push_back({key, text, parent, folder ? QStringLiteral("f") : QString(), here(p)});
}

void byDate(TitleSource &p, const std::vector<Letter> &letters, const Words &words, const QString &root, bool months)
{
    QHash<int, int> perYear;
    for (const Letter &l : letters)
        ++perYear[l.meta.sortDate().year];
    QString year, month;
    for (const Letter &l : letters) {
        const PartialDate d = l.meta.sortDate();
        const QString y = d.valid() ? QStringLiteral("D%1").arg(d.year) : QStringLiteral("Dundated");
        if (y != year) {
            year = y;
            month.clear();
            item(p, y, d.valid() ? QString::number(d.year) : words.undatedFolder(), root, true);
        }
        QString parent = year;
        if (months && d.valid() && perYear.value(d.year) > kLettersForMonths) {
            const QString m = d.month ? QStringLiteral("%1-%2").arg(year).arg(d.month, 2, 10, QChar(u'0'))
                                      : year + QStringLiteral("-00");
            if (m != month) {
                month = m;
                item(p, m,
                     d.month ? words.monthName(d.month) + u' ' + QString::number(d.year) : QString::number(d.year),
                     year, true);
            }
            parent = month;
        }
        item(p, u'D' + l.data, l.title.mid(1), parent, false);
    }
}

// Folders named by a text each letter has (its correspondent, its
// collection), in the language's order, the letters by date inside; the
// letters with none last.
void byName(TitleSource &p, const std::vector<Letter> &letters, const std::vector<QString> &names, const Words &words,
            const QString &root, const QString &noneFolder)
{
    const QCollator c = words.collator();
    std::vector<QString> folders;
    QHash<QString, std::vector<size_t>> members;
    for (size_t i = 0; i < letters.size(); ++i) {
        auto &m = members[names[i]];
        if (m.empty())
            folders.push_back(names[i]);
        m.push_back(i);
    }
    std::stable_sort(folders.begin(), folders.end(), [&c](const QString &a, const QString &b) {
        if (a.isEmpty() != b.isEmpty())
            return b.isEmpty();
        return c.compare(a, b) < 0;
    });
    int n = 0;
    for (const QString &f : folders) {
        const QString key = QStringLiteral("Dg%1").arg(++n);
        item(p, key, f.isEmpty() ? noneFolder : f, root, true);
        for (size_t i : members[f])
            item(p, u'D' + letters[i].data, letters[i].title.mid(1), key, false);
    }
}

// The edition's own person: the one in most letters, sender or receiver.
// A letter's correspondent is then the other side.
std::vector<QString> correspondentNames(const std::vector<Letter> &letters, const std::vector<Referent> &referents)
{
    std::vector<QString> out(letters.size());
    int main = -1, most = 0;
    for (size_t r = 0; r < referents.size(); ++r)
        if (referents[r].letterCount() > most) {
            most = referents[r].letterCount();
            main = int(r);
        }
    std::vector<int> other(letters.size(), -1), mainSent(letters.size(), 0);
    for (size_t r = 0; r < referents.size(); ++r) {
        for (int l : referents[r].sent)
            if (int(r) == main)
                mainSent[size_t(l)] = 1;
    }
    for (size_t r = 0; r < referents.size(); ++r) {
        if (int(r) == main)
            continue;
        for (int l : referents[r].received)
            if (mainSent[size_t(l)] && other[size_t(l)] < 0)
                other[size_t(l)] = int(r);
        for (int l : referents[r].sent)
            if (!mainSent[size_t(l)] && other[size_t(l)] < 0)
                other[size_t(l)] = int(r);
    }
    for (size_t i = 0; i < letters.size(); ++i)
        if (other[i] >= 0)
            out[i] = referents[size_t(other[i])].sortName;
    return out;
}

} // namespace

QString indexContext(IndexKind k)
{
    switch (k) {
    case IndexKind::Correspondents: return QStringLiteral("IndiceDestinatari");
    case IndexKind::Persons: return QStringLiteral("IndiceNomi");
    case IndexKind::Places: return QStringLiteral("IndiceLocalita");
    case IndexKind::Analytic: return QStringLiteral("IndiceAnalitico");
    case IndexKind::Synoptic: return QStringLiteral("IndiceSinottico");
    }
    return {};
}

QByteArray homeIndexLinks(const Words &words, const TeiMapping &mapping)
{
    static const Word names[] = {Word::Correspondents, Word::Persons, Word::Places, Word::Analytic, Word::Synoptic};
    QByteArray links;
    for (int i = 0; i < kIndexKinds; ++i)
        if (mapping.indexes[i])
            links += "<li><a jump=\"" + xmlEscaped(indexContext(IndexKind(i))) + "\">" +
                     xmlEscaped(words.word(names[i])) + "</a></li>\n";
    if (!links.isEmpty())
        links = "<h3>" + xmlEscaped(words.word(Word::Indexes)) + "</h3>\n<ul>\n" + links + "</ul>\n";
    if (!mapping.homeText.isEmpty())
        links.prepend("<p>" + xmlEscaped(mapping.homeText) + "</p>\n");
    return links;
}

int addSubsets(TitleSource &p, std::vector<Letter> &letters, const std::vector<Referent> &referents, const Words &words,
               const TeiMapping &mapping)
{
    const Location at = here(p);
    const auto param = [&](const QString &id, const QString &name) {
        p.params.push_back({QStringLiteral("GRP"), id, name, true, at});
    };
    int made = 0;
    if (mapping.yearSubsets) {
        QStringList groups;
        for (const Letter &l : letters)
            if (groups.isEmpty() || groups.back() != l.group)
                groups << l.group;
        for (const QString &g : groups)
            param(g, g == u"Lsd" ? words.undatedSubset() : words.yearSubset(g.mid(1).toInt()));
        made = int(groups.size());
    }
    const int threshold = mapping.correspondentSubsetLetters;
    if (threshold <= 0)
        return 0;
    std::vector<size_t> chosen;
    for (size_t r = 0; r < referents.size(); ++r) {
        const Referent &ref = referents[r];
        std::vector<int> all = ref.sent;
        all.insert(all.end(), ref.received.begin(), ref.received.end());
        std::sort(all.begin(), all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
        // Every letter's subset would be the whole title again.
        if (int(all.size()) > threshold && all.size() < letters.size())
            chosen.push_back(r);
    }
    const QCollator c = words.collator();
    std::stable_sort(chosen.begin(), chosen.end(),
                     [&](size_t a, size_t b) { return c.compare(referents[a].sortName, referents[b].sortName) < 0; });
    int subsets = 0;
    for (size_t r : chosen) {
        if (made + subsets >= kMaxSubsets)
            break;
        const QString id = QStringLiteral("C%1").arg(r + 1);
        param(id, words.word(Word::CorrespondentSubset).arg(referents[r].name));
        for (const std::vector<int> *side : {&referents[r].sent, &referents[r].received})
            for (int l : *side)
                if (!letters[size_t(l)].subsets.contains(id))
                    letters[size_t(l)].subsets << id;
        ++subsets;
    }
    return subsets;
}

void addContents(TitleSource &p, const std::vector<Letter> &letters, const std::vector<Referent> &referents,
                 const Words &words, const TeiMapping &mapping, const QString &name)
{
    const QString root = QStringLiteral("Dsommario");
    item(p, root, name, {}, true);
    switch (mapping.grouping) {
    case Grouping::YearMonth: byDate(p, letters, words, root, true); break;
    case Grouping::Year: byDate(p, letters, words, root, false); break;
    case Grouping::Correspondent:
        byName(p, letters, correspondentNames(letters, referents), words, root, QStringLiteral("\u2014"));
        break;
    case Grouping::Collection: {
        std::vector<QString> names;
        for (const Letter &l : letters)
            names.push_back(l.meta.collection);
        byName(p, letters, names, words, root, QStringLiteral("\u2014"));
        break;
    }
    }
}

} // namespace folium::mktitle::tei
