#include "tei_language.h"

#include <QDate>

namespace folium::mktitle::tei {

PartialDate parseIsoDate(QStringView s)
{
    s = s.trimmed();
    // Time and zone after a full date are left aside.
    if (s.size() > 10 && s[10] == u'T')
        s = s.left(10);
    const auto number = [](QStringView v, int digits, int *out) {
        if (v.size() != digits)
            return false;
        for (QChar c : v)
            if (c < u'0' || c > u'9')
                return false;
        *out = v.toInt();
        return true;
    };
    PartialDate d;
    const auto parts = s.split(u'-');
    if (parts.isEmpty() || parts.size() > 3 || !number(parts[0], 4, &d.year) || d.year == 0)
        return {};
    if (parts.size() >= 2 && (!number(parts[1], 2, &d.month) || d.month < 1 || d.month > 12))
        return {};
    if (parts.size() == 3 && (!number(parts[2], 2, &d.day) || !QDate(d.year, d.month, d.day).isValid()))
        return {};
    return d;
}

QString isoText(const PartialDate &d)
{
    if (!d.valid())
        return {};
    QString out = QStringLiteral("%1").arg(d.year, 4, 10, QChar(u'0'));
    if (d.month)
        out += QStringLiteral("-%1").arg(d.month, 2, 10, QChar(u'0'));
    if (d.day)
        out += QStringLiteral("-%1").arg(d.day, 2, 10, QChar(u'0'));
    return out;
}

bool languageFromCode(const QString &code, Language *out)
{
    const QString c = code.trimmed().toLower().left(2);
    if (code.trimmed().size() > 2 && code.trimmed()[2] != u'-' && code.trimmed()[2] != u'_')
        return false;
    if (c == u"it")
        *out = Language::Italian;
    else if (c == u"fr")
        *out = Language::French;
    else if (c == u"en")
        *out = Language::English;
    else if (c == u"de")
        *out = Language::German;
    else
        return false;
    return true;
}

QString languageCode(Language l)
{
    switch (l) {
    case Language::Italian: return QStringLiteral("it");
    case Language::French: return QStringLiteral("fr");
    case Language::German: return QStringLiteral("de");
    case Language::English: break;
    }
    return QStringLiteral("en");
}

namespace {

// The four languages' texts, in the order of Language.
QString pick(Language l, const char *it, const char *fr, const char *en, const char *de)
{
    switch (l) {
    case Language::Italian: return QString::fromUtf8(it);
    case Language::French: return QString::fromUtf8(fr);
    case Language::German: return QString::fromUtf8(de);
    case Language::English: break;
    }
    return QString::fromUtf8(en);
}

} // namespace

QString Words::monthName(int month) const
{
    static const char *const it[] = {"gennaio", "febbraio", "marzo",     "aprile",  "maggio",   "giugno",
                                     "luglio",  "agosto",   "settembre", "ottobre", "novembre", "dicembre"};
    static const char *const fr[] = {"janvier", "février", "mars",      "avril",   "mai",      "juin",
                                     "juillet", "août",    "septembre", "octobre", "novembre", "décembre"};
    static const char *const en[] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};
    static const char *const de[] = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                                     "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
    if (month < 1 || month > 12)
        return {};
    return pick(language, it[month - 1], fr[month - 1], en[month - 1], de[month - 1]);
}

QString Words::date(const PartialDate &d) const
{
    if (!d.valid())
        return undated();
    const QString year = QString::number(d.year);
    if (!d.month)
        return year;
    const QString month = monthName(d.month);
    if (!d.day)
        return month + u' ' + year;
    QString day = QString::number(d.day);
    if (language == Language::French && d.day == 1)
        day = QStringLiteral("1er");
    if (language == Language::German)
        day += u'.';
    return day + u' ' + month + u' ' + year;
}

QString Words::range(const PartialDate &from, const PartialDate &to) const
{
    if (from.valid() && !to.valid())
        return pick(language, "non prima del ", "pas avant le ", "not before ", "nicht vor dem ") + date(from);
    if (!from.valid() && to.valid())
        return pick(language, "non dopo il ", "pas après le ", "not after ", "nicht nach dem ") + date(to);
    if (!from.valid())
        return undated();
    // The parts both ends share are written once: "1–20 luglio 1872",
    // "1 febbraio – 15 marzo 1871".
    if (from.year == to.year && from.month && to.month && from.day && to.day) {
        QString first = QString::number(from.day);
        if (language == Language::French && from.day == 1)
            first = QStringLiteral("1er");
        if (language == Language::German)
            first += u'.';
        if (from.month == to.month)
            return first + QStringLiteral("–") + date(to);
        return first + u' ' + monthName(from.month) + QStringLiteral(" – ") + date(to);
    }
    if (from.year == to.year && from.month && to.month && !from.day && !to.day)
        return monthName(from.month) + QStringLiteral(" – ") + date(to);
    return date(from) + QStringLiteral(" – ") + date(to);
}

QString Words::undated() const
{
    return pick(language, "senza data", "sans date", "undated", "undatiert");
}

QString Words::undatedFolder() const
{
    return pick(language, "Lettere senza data", "Lettres sans date", "Undated letters", "Undatierte Briefe");
}

QString Words::yearSubset(int year) const
{
    return pick(language, "Lettere del %1", "Lettres de %1", "Letters of %1", "Briefe von %1").arg(year);
}

QString Words::undatedSubset() const
{
    return undatedFolder();
}

QString Words::joined(const QStringList &names) const
{
    if (names.size() <= 1)
        return names.value(0);
    const QString last = pick(language, " e ", " et ", " and ", " und ");
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + last + names.last();
}

QString Words::fromTo(const QStringList &senders, const QStringList &receivers) const
{
    const QString from = joined(senders);
    const QString to = joined(receivers);
    if (to.isEmpty())
        return from;
    QString word = pick(language, "a", "à", "to", "an");
    // "ad Amalia", as Italian writes "a" before a vowel a.
    if (language == Language::Italian && to.startsWith(u'A', Qt::CaseInsensitive))
        word = QStringLiteral("ad");
    if (from.isEmpty())
        return word + u' ' + to;
    return from + u' ' + word + u' ' + to;
}

QString Words::letter(const QString &reference) const
{
    return pick(language, "Lettera %1", "Lettre %1", "Letter %1", "Brief %1").arg(reference);
}

QString Words::notesPrefix() const
{
    return language == Language::Italian ? QStringLiteral("Nota") : QStringLiteral("Note");
}

QString Words::letters(int n) const
{
    if (n == 1)
        return pick(language, "1 lettera", "1 lettre", "1 letter", "1 Brief");
    return pick(language, "%1 lettere", "%1 lettres", "%1 letters", "%1 Briefe").arg(n);
}

QString Words::uncalledNotes() const
{
    return pick(language, "Note senza richiamo nel testo:", "Notes sans appel dans le texte :",
                "Notes not called in the text:", "Anmerkungen ohne Verweis im Text:");
}

QString Words::word(Word w) const
{
    struct Entry {
        const char *it, *fr, *en, *de;
    };
    static const Entry words[] = {
        {"Corrispondenti", "Correspondants", "Correspondents", "Korrespondenten"},
        {"Persone citate", "Personnes citées", "Persons mentioned", "Erwähnte Personen"},
        {"Luoghi", "Lieux", "Places", "Orte"},
        {"Indice analitico", "Index analytique", "Analytical index", "Sachregister"},
        {"Enti e istituzioni", "Institutions", "Organisations", "Institutionen"},
        {"Opere", "Œuvres", "Works", "Werke"},
        {"Tavola sinottica", "Tableau synoptique", "Synoptic table", "Synoptische Tabelle"},
        {"Lettere di %1", "Lettres de %1", "Letters from %1", "Briefe von %1"},
        {"Lettere a %1", "Lettres à %1", "Letters to %1", "Briefe an %1"},
        {"lettere scritte da qui", "lettres écrites d’ici", "letters written from here", "hier geschriebene Briefe"},
        {"citato in", "cité dans", "mentioned in", "erwähnt in"},
        {"n.", "n.", "n.", "Anm."},
        {"non nei registri dell’edizione", "absent des registres de l’édition", "not in the edition’s registers",
         "nicht in den Registern der Edition"},
        {"Segnatura", "Cote", "Reference", "Signatur"},
        {"Data", "Date", "Date", "Datum"},
        {"Mittente", "Expéditeur", "Sender", "Absender"},
        {"Destinatario", "Destinataire", "Receiver", "Empfänger"},
        {"Luogo", "Lieu", "Place", "Ort"},
        {"Inizio", "Incipit", "First words", "Incipit"},
        {"anche", "aussi", "also", "auch"},
        {"Indici", "Index", "Indexes", "Register"},
        {"Lettere di e a %1", "Lettres de et à %1", "Letters from and to %1", "Briefe von und an %1"},
        {"per anno", "par année", "by year", "nach Jahr"},
        {"parte %1", "partie %1", "part %1", "Teil %1"},
    };
    const Entry &e = words[int(w)];
    return pick(language, e.it, e.fr, e.en, e.de);
}

QCollator Words::collator() const
{
    QCollator c(language == Language::Italian  ? QLocale(QLocale::Italian)
                : language == Language::French ? QLocale(QLocale::French)
                : language == Language::German ? QLocale(QLocale::German)
                                               : QLocale(QLocale::English));
    c.setCaseSensitivity(Qt::CaseInsensitive);
    c.setNumericMode(true);
    return c;
}

QString Words::contents() const
{
    return pick(language, "Indice", "Sommaire", "Contents", "Inhalt");
}

} // namespace folium::mktitle::tei
