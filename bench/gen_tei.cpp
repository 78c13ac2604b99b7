// Writes a made-up edition of letters in TEI P5 for the benchmark of the
// TEI importer (folium-mktitle --tei): one letter per file, in volume
// folders of 500 letters (OUTDIR/vol01/0001.xml ... OUTDIR/vol01/0500.xml,
// OUTDIR/vol02/0001.xml ...; the file names repeat from folder to folder).
//
//   folium-gentei OUTDIR LETTERS [--seed N]
//
// A letter is about 8 KB on average (from about 2 to 30 KB): a full
// teiHeader (edition title, edition, licence, manuscript reference, sender
// and receiver with places and a date), a body with the usual apparatus of
// a transcription (line and page breaks, also inside words and after a
// hyphen, highlighting, abbreviations, corrections, deletions and
// additions, gaps, notes), and in back the registers of the persons and
// places the letter mentions, repeated in every letter as editions do.
// Every name, place and word is invented: Italian-looking words drawn with
// Zipf frequencies. Two words are planted at known rates in the letter
// text, for checking an import: "zaffiro" in 1% of the letters and
// "Vesuvio" in 10%; the exact counts are printed.
//
// The output is deterministic: the same arguments give the same bytes, with
// any standard library. All draws are made here from std::mt19937_64, whose
// sequence the standard fixes, and not through the std:: distributions,
// whose algorithms it leaves to each library.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kLettersPerVolume = 500;
constexpr int kFirstYear = 1821;
constexpr int kYears = 40;

class Rng {
public:
    explicit Rng(uint64_t seed) : m_g(seed) {}
    // 0 .. n-1 (n > 0). The modulo bias is below 2^-50 for these ranges.
    int below(int n) { return int(m_g() % uint64_t(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    double unit() { return double(m_g() >> 11) * 0x1.0p-53; }
    bool chance(double p) { return unit() < p; }
    template <class T, size_t N> const T &pick(const T (&a)[N]) { return a[size_t(below(int(N)))]; }
    template <class T> const T &pick(const std::vector<T> &v) { return v[size_t(below(int(v.size())))]; }

private:
    std::mt19937_64 m_g;
};

// splitmix64: independent seeds for each letter from the edition's seed, so
// that a letter's text does not depend on how many draws the one before made.
uint64_t mix(uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// Rank r drawn with weight 1 / (r + 1). The weights are exact quotients and
// their sums are taken in a fixed order, so the table is the same on every
// machine.
class Zipf {
public:
    explicit Zipf(size_t n)
    {
        double sum = 0;
        m_cumulative.reserve(n);
        for (size_t r = 0; r < n; ++r) {
            sum += 1.0 / double(r + 1);
            m_cumulative.push_back(sum);
        }
    }
    int draw(Rng &rng) const
    {
        const double u = rng.unit() * m_cumulative.back();
        const auto it = std::upper_bound(m_cumulative.begin(), m_cumulative.end(), u);
        return int(std::min<size_t>(size_t(it - m_cumulative.begin()), m_cumulative.size() - 1));
    }

private:
    std::vector<double> m_cumulative;
};

const char *const kSyllables[] = {"ca",  "ri",  "to",  "la",  "me",  "no",   "sa",  "ve",  "di",  "ro",  "pa",
                                  "te",  "lu",  "mo",  "ge",  "ni",  "fo",   "ra",  "se",  "bi",  "co",  "du",
                                  "fe",  "gi",  "ma",  "po",  "qua", "stra", "gno", "zio", "che", "ghi", "tor",
                                  "pen", "sol", "mar", "ven", "ti",  "le",   "do",  "na",  "ce",  "ta",  "li",
                                  "gra", "pre", "spe", "vo",  "col", "mi",   "ble", "tre", "cia", "glio"};
const char *const kAccents[] = {"à", "è", "é", "ò", "ù", "ì"};
const char *const kLatin[] = {"us",  "um",  "ae",  "ex",  "in", "cor", "pus", "ver", "bum", "tas",  "lex",
                              "qui", "mus", "sum", "est", "ad", "per", "nos", "sic", "ter", "ibus", "orum"};
const char *const kFrench[] = {"ment", "eau", "oir",  "que", "tion", "cher", "bon", "jour",
                               "lui",  "sou", "vent", "rai", "ette", "ois",  "ain", "lé"};
const char *const kSurnameEnds[] = {"i", "i", "o", "a", "etti", "ini", "aghi", "elli", "oni", "ardi", "esi"};
const char *const kPlaceEnds[] = {"ora", "ano", "ello", "ina", "e", "a", "ate", "ago", "engo", "asco"};
const char *const kMonths[] = {"gennaio", "febbraio", "marzo",     "aprile",  "maggio",   "giugno",
                               "luglio",  "agosto",   "settembre", "ottobre", "novembre", "dicembre"};
const char *const kOccupations[] = {"avvocato",
                                    "medico",
                                    "libraio",
                                    "editore",
                                    "pittore",
                                    "incisore",
                                    "notaio",
                                    "professore di retorica",
                                    "canonico",
                                    "ingegnere",
                                    "tipografo",
                                    "botanico",
                                    "ufficiale",
                                    "mercante di seta",
                                    "maestro di musica",
                                    "bibliotecario",
                                    "scrittrice",
                                    "cantante",
                                    "poetessa",
                                    "agente di commercio"};
struct Abbreviation {
    const char *abbr, *expan;
};
const Abbreviation kAbbreviations[] = {
    {"Sig.", "Signore"},       {"Prof.", "Professore"},     {"aff.mo", "affezionatissimo"},
    {"dev.mo", "devotissimo"}, {"Ill.mo", "Illustrissimo"}, {"p.", "per"},
    {"q.to", "questo"},        {"sig.ra", "signora"},       {"V. S.", "Vostra Signoria"},
    {"ecc.", "eccetera"}};
const char *const kSupAbbreviations[] = {"S<hi rend=\"sup\">r</hi>", "Sig<hi rend=\"sup\">ra</hi>",
                                         "N<hi rend=\"sup\">o</hi>", "C<hi rend=\"sup\">o</hi>",
                                         "P<hi rend=\"sup\">ne</hi>"};
const char *const kRends[] = {"italic",    "italic",    "italic", "italic", "underline",
                              "underline", "underline", "bold",   "spaced", "smallcaps"};
const char *const kClosings[] = {"Vostro affezionatissimo amico",
                                 "Con la più sincera stima",
                                 "Mi creda suo devotissimo",
                                 "Vi abbraccio di cuore",
                                 "Addio, addio",
                                 "Tutto vostro",
                                 "Con ossequio"};

bool forbidden(const std::string &w)
{
    // The planted words must occur only where they are planted.
    std::string lower = w;
    for (char &c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return lower.find("zaffir") != std::string::npos || lower.find("vesuv") != std::string::npos;
}

std::string capitalized(std::string w)
{
    if (!w.empty() && w[0] >= 'a' && w[0] <= 'z')
        w[0] = char(w[0] - 'a' + 'A');
    return w;
}

std::string syllables(Rng &rng, int n)
{
    std::string w;
    for (int k = 0; k < n; ++k)
        w += rng.pick(kSyllables);
    return w;
}

struct Date {
    int y, m, d;
};

bool leap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int monthDays(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : days[m - 1];
}

// Day 0 is the first of January of kFirstYear.
Date dateOf(int day)
{
    Date d{kFirstYear, 1, 1};
    for (int len = leap(d.y) ? 366 : 365; day >= len; len = leap(d.y) ? 366 : 365) {
        day -= len;
        ++d.y;
    }
    while (day >= monthDays(d.y, d.m)) {
        day -= monthDays(d.y, d.m);
        ++d.m;
    }
    d.d = day + 1;
    return d;
}

int spanDays()
{
    int days = 0;
    for (int y = kFirstYear; y < kFirstYear + kYears; ++y)
        days += leap(y) ? 366 : 365;
    return days;
}

std::string iso(const Date &d, int parts = 3)
{
    char buf[16];
    if (parts == 1)
        std::snprintf(buf, sizeof buf, "%04d", d.y);
    else if (parts == 2)
        std::snprintf(buf, sizeof buf, "%04d-%02d", d.y, d.m);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.y, d.m, d.d);
    return buf;
}

std::string spoken(const Date &d)
{
    return std::to_string(d.d) + ' ' + kMonths[d.m - 1] + ' ' + std::to_string(d.y);
}

struct Person {
    std::string forename, surname;
    bool female = false;
    int birthYear = 0, birthMonth = 0, birthDay = 0, deathYear = 0, deathMonth = 0, deathDay = 0;
    int birthKind = 0; // 0 year, 1 full date and place, 2 range
    int occupation = 0;
    int home = 0; // place index
    std::string name() const { return forename + ' ' + surname; }
};

struct Place {
    std::string name;
    int latDeg = 0, latFrac = 0, lonDeg = 0, lonFrac = 0;
};

// How a letter is dated.
enum class DateKind { Full, Month, Year, Range, Undated };
const char *const kDateKindNames[] = {"full", "month", "year", "range", "undated"};

struct Edition {
    int letters = 0;
    uint64_t seed = 0;
    std::vector<std::string> vocab, latin, french;
    std::vector<Person> persons; // 0 is the edition's own correspondent
    std::vector<Place> places;   // 0 is his town
    Zipf words{1}, personRank{1}, placeRank{1};
    std::vector<int> day; // the day each letter was written
    std::vector<char> zaffiro, vesuvio;
    std::string title;
};

std::vector<std::string> makeWords(Rng &rng, const char *const *syl, int nsyl, int count, int maxSyllables,
                                   std::unordered_set<std::string> &seen)
{
    std::vector<std::string> out;
    while (int(out.size()) < count) {
        std::string w;
        for (int k = rng.between(1, maxSyllables); k > 0; --k)
            w += syl[rng.below(nsyl)];
        if (w.size() < 2 || forbidden(w) || !seen.insert(w).second)
            continue;
        out.push_back(w);
    }
    return out;
}

void buildEdition(Edition &e)
{
    Rng rng(mix(e.seed));
    // The vocabulary, by rank: the most frequent words are short, as in any
    // language; some of the rarer ones end in an accented vowel.
    std::unordered_set<std::string> seen;
    const int vocabSize = 30000;
    while (int(e.vocab.size()) < vocabSize) {
        const int r = int(e.vocab.size());
        const int n = r < 40 ? 1 : r < 600 ? rng.between(1, 2) : rng.between(2, 4);
        std::string w = syllables(rng, n);
        if (r >= 40 && rng.chance(0.15))
            w += rng.pick(kAccents);
        if (forbidden(w) || !seen.insert(w).second)
            continue;
        e.vocab.push_back(w);
    }
    e.words = Zipf(e.vocab.size());
    e.latin = makeWords(rng, kLatin, int(std::size(kLatin)), 400, 3, seen);
    e.french = makeWords(rng, kFrench, int(std::size(kFrench)), 400, 3, seen);

    // Places: the correspondent's town first.
    const int nplaces = 60 + e.letters / 250;
    std::set<std::string> names;
    e.places.push_back({"Velmora", 45, 1234, 9, 4567});
    names.insert("Velmora");
    while (int(e.places.size()) < nplaces) {
        Place p;
        p.name = capitalized(syllables(rng, rng.between(1, 2)) + rng.pick(kPlaceEnds));
        if (forbidden(p.name) || !names.insert(p.name).second)
            continue;
        p.latDeg = rng.between(38, 46);
        p.latFrac = rng.below(10000);
        p.lonDeg = rng.between(7, 17);
        p.lonFrac = rng.below(10000);
        e.places.push_back(p);
    }
    e.placeRank = Zipf(e.places.size());

    // Persons: the edition's correspondent first, then his correspondents
    // and the people the letters speak of.
    const int npersons = 200 + e.letters / 25;
    Person main;
    main.forename = "Ottavio";
    main.surname = "Brenzaghi";
    main.birthYear = 1798;
    main.birthMonth = 4;
    main.birthDay = 17;
    main.birthKind = 1;
    main.deathYear = 1866;
    main.deathMonth = 11;
    main.deathDay = 2;
    main.occupation = 1;
    e.persons.push_back(main);
    std::set<std::string> people{main.name()};
    while (int(e.persons.size()) < npersons) {
        Person p;
        p.female = rng.chance(0.3);
        p.forename = capitalized(syllables(rng, rng.between(1, 2)) + (p.female ? "a" : rng.chance(0.8) ? "o" : "e"));
        p.surname = capitalized(syllables(rng, rng.between(1, 2)) + rng.pick(kSurnameEnds));
        if (forbidden(p.forename) || forbidden(p.surname) || !people.insert(p.name()).second)
            continue;
        p.birthYear = rng.between(1760, 1815);
        p.birthMonth = rng.between(1, 12);
        p.birthDay = rng.between(1, 28);
        const int k = rng.below(10);
        p.birthKind = k < 6 ? 0 : k < 9 ? 1 : 2;
        if (rng.chance(0.85)) {
            p.deathYear = p.birthYear + rng.between(35, 90);
            p.deathMonth = rng.between(1, 12);
            p.deathDay = rng.between(1, 28);
        }
        p.occupation = rng.below(int(std::size(kOccupations)));
        const std::string_view occupation = kOccupations[p.occupation];
        if (p.female != (occupation == "scrittrice" || occupation == "poetessa"))
            p.occupation = p.female ? 16 : 3; // the two words that name women only
        p.home = rng.chance(0.2) ? 0 : e.placeRank.draw(rng);
        e.persons.push_back(p);
    }
    e.personRank = Zipf(e.persons.size());

    // The days of the letters, in the order of their numbers, over forty
    // years. A sixth of the letters follow the previous one on the same
    // day; the gaps are counted in thousandths of a day so that 20,000
    // letters fill the forty years as well as 2,000 do.
    const int span = spanDays();
    const int64_t meanGap = int64_t(span) * 1000 * 100 / (85 * int64_t(e.letters));
    int64_t pos = rng.below(40000);
    for (int i = 0; i < e.letters; ++i) {
        if (i > 0 && !rng.chance(0.15))
            pos += int64_t(rng.below(int(std::min<int64_t>(2 * meanGap + 1, 1 << 30))));
        e.day.push_back(int(std::min<int64_t>(pos / 1000, span - 1)));
    }

    // Exactly 1% of the letters get "zaffiro" and 10% "Vesuvio", chosen by
    // two independent shuffles.
    const auto chosen = [&](int count) {
        std::vector<int> order(size_t(e.letters));
        for (int i = 0; i < e.letters; ++i)
            order[size_t(i)] = i;
        for (int i = e.letters - 1; i > 0; --i)
            std::swap(order[size_t(i)], order[size_t(rng.below(i + 1))]);
        std::vector<char> mark(size_t(e.letters), 0);
        for (int i = 0; i < count; ++i)
            mark[size_t(order[size_t(i)])] = 1;
        return mark;
    };
    e.zaffiro = chosen((e.letters + 50) / 100);
    e.vesuvio = chosen((e.letters + 5) / 10);

    e.title = "Carteggio di Ottavio Brenzaghi (" + std::to_string(kFirstYear) + "–" +
              std::to_string(kFirstYear + kYears - 1) + "). Edizione digitale";
}

struct Stats {
    long long bytes = 0, registerBytes = 0, headerBytes = 0;
    long long minBytes = -1, maxBytes = 0;
    int dateKinds[5] = {};
    int noCorresp = 0, noIdno = 0, inlineNotes = 0, backNotes = 0, backNoteLetters = 0;
    int zaffiro = 0, vesuvio = 0;
};

// One letter, written into a string.
class Letter {
public:
    Letter(const Edition &e, int index, Stats &stats)
        : m_e(e), m_index(index), m_number(index + 1), m_rng(mix(e.seed * 1000003ULL + uint64_t(index) + 1)),
          m_stats(stats)
    {
    }

    std::string write();

private:
    enum class LineBreak { None, Plain, InWord, Hyphen, Not };
    enum class PageBreak { None, Between, InWord };

    std::string &o() { return m_out; }
    void nl(int depth)
    {
        m_out += '\n';
        m_out.append(size_t(depth) * 2, ' ');
    }
    // A new line indented to depth, to be written on.
    std::string &at(int depth)
    {
        nl(depth);
        return m_out;
    }
    const std::string &word() { return m_e.vocab[size_t(m_e.words.draw(m_rng))]; }
    std::string phrase(int n);
    std::string sentences(int words);
    int person() { return m_e.personRank.draw(m_rng); }
    int place() { return m_e.placeRank.draw(m_rng); }
    std::string persRef(int p, bool full);
    std::string placeRef(int p);
    std::string pageName() { return std::to_string(m_folio) + (m_verso ? "v" : "r"); }
    void turnPage()
    {
        if (m_verso)
            ++m_folio;
        m_verso = !m_verso;
    }

    void header();
    void dateElement(bool withText);
    void body();
    void paragraph(int words, bool postscript = false);
    void slot(bool capital);
    void plainWord(const std::string &w);
    void separate();
    void afterSlot();
    void note();
    std::string noteText();
    void list();
    void table();
    void back();

    const Edition &m_e;
    int m_index, m_number;
    Rng m_rng;
    Stats &m_stats;
    std::string m_out;

    // The letter's frame.
    DateKind m_dateKind = DateKind::Full;
    Date m_date{}, m_from{}, m_to{};
    bool m_fromTo = false;
    bool m_corresp = true, m_idno = true;
    int m_sender = 0, m_receiver = 0, m_sentFrom = 0, m_receivedAt = -1;
    bool m_rendition = false, m_diplomatic = false;
    std::vector<int> m_persons, m_places; // mentioned, for the registers

    // The running text.
    int m_word = 0; // slots written so far in the body paragraphs
    int m_plantZaffiro = -1, m_plantVesuvio = -1;
    double m_noteRate = 0, m_ptrRate = 0;
    int m_noteNumber = 0;
    std::vector<std::string> m_backNotes;
    LineBreak m_line = LineBreak::None;
    PageBreak m_page = PageBreak::None;
    int m_lineWords = 0, m_lineLength = 8, m_lineChars = 0;
    size_t m_pageStart = 0, m_pageBytes = 2000;
    int m_folio = 1;
    bool m_verso = false;
    int m_sentenceLeft = 0;
};

std::string Letter::phrase(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i) {
        if (i)
            s += ' ';
        s += word();
    }
    return s;
}

// Plain sentences, for notes, list items and the like.
std::string Letter::sentences(int words)
{
    std::string s;
    int left = 0;
    for (int i = 0; i < words; ++i) {
        const bool first = left == 0;
        if (first)
            left = m_rng.between(5, 16);
        if (i)
            s += ' ';
        s += first ? capitalized(word()) : word();
        if (--left == 0 || i == words - 1) {
            s += '.';
            left = 0;
        } else if (m_rng.chance(0.07)) {
            s += ',';
        }
    }
    return s;
}

std::string Letter::persRef(int p, bool full)
{
    m_persons.push_back(p);
    const Person &pp = m_e.persons[size_t(p)];
    std::string name;
    const int k = m_rng.below(10);
    if (full || k < 4)
        name = pp.name();
    else if (k < 7)
        name = pp.surname;
    else if (k < 9)
        name = std::string(pp.female ? "la signora " : "il signor ") + pp.surname;
    else
        name = pp.forename;
    return "<persName ref=\"#p" + std::to_string(p + 1) + "\">" + name + "</persName>";
}

std::string Letter::placeRef(int p)
{
    m_places.push_back(p);
    return "<placeName ref=\"#pl" + std::to_string(p + 1) + "\">" + m_e.places[size_t(p)].name + "</placeName>";
}

std::string Letter::write()
{
    const Edition &e = m_e;
    // The frame: who wrote to whom, from where, when.
    const int dk = m_rng.below(100);
    m_dateKind = dk < 85   ? DateKind::Full
                 : dk < 90 ? DateKind::Month
                 : dk < 93 ? DateKind::Year
                 : dk < 97 ? DateKind::Range
                           : DateKind::Undated;
    m_corresp = !m_rng.chance(0.01);
    if (!m_corresp && m_dateKind == DateKind::Undated)
        m_dateKind = DateKind::Full; // these have only their creation date: they keep one
    m_date = dateOf(e.day[size_t(m_index)]);
    if (m_dateKind == DateKind::Range) {
        m_fromTo = m_rng.chance(0.5);
        const int d = e.day[size_t(m_index)];
        m_from = dateOf(std::max(0, d - (m_fromTo ? 0 : m_rng.between(1, 40))));
        m_to = dateOf(d + (m_fromTo ? m_rng.between(1, 5) : m_rng.between(1, 40)));
    }
    m_idno = !m_rng.chance(0.1);
    m_stats.dateKinds[int(m_dateKind)]++;
    m_stats.noCorresp += !m_corresp;
    m_stats.noIdno += !m_idno;

    // Half the letters are the correspondent's own, the others are written
    // to him; his correspondents are drawn with Zipf frequencies, a few of
    // them writing most letters.
    int other = 0;
    while (other == 0)
        other = person();
    const bool own = m_rng.chance(0.5);
    m_sender = own ? 0 : other;
    m_receiver = own ? other : 0;
    m_sentFrom =
        own ? (m_rng.chance(0.8) ? 0 : place()) : (m_rng.chance(0.85) ? e.persons[size_t(other)].home : place());
    if (m_rng.chance(0.7))
        m_receivedAt = own ? e.persons[size_t(other)].home : (m_rng.chance(0.9) ? 0 : place());
    m_rendition = m_rng.chance(0.15);
    m_diplomatic = m_rng.chance(0.6);
    m_folio = m_rng.between(1, 240);
    m_verso = false;

    m_out.reserve(32768);
    o() += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<?xml-model href=\"https://www.tei-c.org/release/xml/tei/custom/schema/relaxng/tei_all.rng\" "
           "type=\"application/xml\" schematypens=\"http://relaxng.org/ns/structure/1.0\"?>\n";
    o() += "<!-- folium-gentei: letter " + std::to_string(m_number) + " of " + std::to_string(e.letters) + ", seed " +
           std::to_string(e.seed) + ". Names, places and text are made up. -->\n";
    o() += "<TEI xmlns=\"http://www.tei-c.org/ns/1.0\" xml:lang=\"it\"";
    if (!m_idno)
        o() += " n=\"L " + std::to_string(m_number) + "\"";
    o() += ">";
    const size_t headerStart = m_out.size();
    header();
    m_stats.headerBytes += (long long)(m_out.size() - headerStart);
    nl(1);
    o() += "<text>";
    body();
    back();
    nl(1);
    o() += "</text>\n</TEI>\n";
    return std::move(m_out);
}

// The letter's date as a date element, with the date in words or empty.
void Letter::dateElement(bool withText)
{
    std::string attrs, words;
    switch (m_dateKind) {
    case DateKind::Full:
        attrs = "when=\"" + iso(m_date) + "\"";
        words = spoken(m_date);
        break;
    case DateKind::Month:
        attrs = "when=\"" + iso(m_date, 2) + "\"";
        words = std::string(kMonths[m_date.m - 1]) + ' ' + std::to_string(m_date.y);
        break;
    case DateKind::Year:
        attrs = "when=\"" + iso(m_date, 1) + "\"";
        words = std::to_string(m_date.y);
        break;
    case DateKind::Range:
        attrs = m_fromTo ? "from=\"" + iso(m_from) + "\" to=\"" + iso(m_to) + "\""
                         : "notBefore=\"" + iso(m_from) + "\" notAfter=\"" + iso(m_to) + "\"";
        words = "[" + spoken(m_from) + " – " + spoken(m_to) + "]";
        break;
    case DateKind::Undated: return;
    }
    o() += "<date " + attrs + (withText ? ">" + words + "</date>" : "/>");
}

void Letter::header()
{
    const Edition &e = m_e;
    at(1) += "<teiHeader>";
    at(2) += "<fileDesc>";
    at(3) += "<titleStmt>";
    at(4) += "<title>" + e.title + "</title>";
    at(4) += "<respStmt><resp>trascrizione e codifica</resp><name>Redazione del Carteggio</name></respStmt>";
    at(3) += "</titleStmt>";
    at(3) += "<editionStmt>";
    at(4) += "<edition n=\"2.1\">Edizione digitale, versione 2.1, <date when=\"2024-03\">marzo 2024</date></edition>";
    at(3) += "</editionStmt>";
    at(3) += "<publicationStmt>";
    at(4) += "<publisher>Istituto per le edizioni epistolari di Velmora</publisher>";
    at(4) += "<pubPlace>Velmora</pubPlace>";
    at(4) += "<date when=\"2024\">2024</date>";
    at(4) += "<availability status=\"free\">";
    at(5) += "<licence target=\"https://creativecommons.org/licenses/by/4.0/\">Creative Commons "
             "Attribution 4.0 International (CC BY 4.0)</licence>";
    at(4) += "</availability>";
    at(3) += "</publicationStmt>";
    at(3) += "<sourceDesc>";
    at(4) += "<msDesc>";
    at(5) += "<msIdentifier>";
    const int holder = m_sender == 0 ? m_receiver : m_sender; // the letters lie with their receivers' papers
    const int town = m_receiver == 0 ? 0 : e.persons[size_t(holder)].home;
    at(6) += "<settlement>" + e.places[size_t(town)].name + "</settlement>";
    at(6) += m_receiver == 0 ? std::string("<repository>Archivio Brenzaghi</repository>")
                             : "<repository>Archivio di Stato di " + e.places[size_t(town)].name + "</repository>";
    if (m_receiver != 0)
        at(6) += "<collection>Carte " + e.persons[size_t(holder)].surname + "</collection>";
    if (m_idno)
        at(6) += "<idno>L " + std::to_string(m_number) + "</idno>";
    at(5) += "</msIdentifier>";
    if (m_rng.chance(0.5)) {
        at(5) += "<physDesc>";
        at(6) += "<objectDesc form=\"letter\"><supportDesc><extent>" + std::to_string(m_rng.between(1, 4)) +
                 " carte</extent></supportDesc></objectDesc>";
        at(5) += "</physDesc>";
    }
    at(4) += "</msDesc>";
    at(3) += "</sourceDesc>";
    at(2) += "</fileDesc>";
    if (m_rendition) {
        at(2) += "<encodingDesc>";
        at(3) += "<tagsDecl>";
        at(4) += "<rendition xml:id=\"k\" scheme=\"css\">font-style: italic;</rendition>";
        at(4) += "<rendition xml:id=\"u\" scheme=\"css\">text-decoration: underline;</rendition>";
        at(4) += "<rendition xml:id=\"g\" scheme=\"css\">letter-spacing: 0.2em;</rendition>";
        at(3) += "</tagsDecl>";
        at(2) += "</encodingDesc>";
    }
    at(2) += "<profileDesc>";
    if (m_corresp) {
        at(3) += "<correspDesc>";
        at(4) += "<correspAction type=\"sent\">";
        at(5) += persRef(m_sender, true);
        at(5) += placeRef(m_sentFrom);
        if (m_dateKind != DateKind::Undated) {
            nl(5);
            dateElement(m_rng.chance(0.5));
        }
        at(4) += "</correspAction>";
        at(4) += "<correspAction type=\"received\">";
        at(5) += persRef(m_receiver, true);
        if (m_receivedAt >= 0)
            at(5) += placeRef(m_receivedAt);
        at(4) += "</correspAction>";
        at(3) += "</correspDesc>";
    } else {
        at(3) += "<creation>";
        dateElement(true);
        o() += "</creation>";
    }
    at(3) += "<langUsage><language ident=\"it\">italiano</language></langUsage>";
    at(2) += "</profileDesc>";
    at(1) += "</teiHeader>";
}

void Letter::body()
{
    const Edition &e = m_e;
    // The length of the letter, in words of running text: most are of one
    // or two pages, a few run to many.
    struct Band {
        int weight, lo, hi;
    };
    static const Band kBands[] = {{120, 12, 90},   {300, 90, 200}, {320, 200, 335},
                                  {180, 350, 560}, {60, 560, 940}, {20, 940, 1500}};
    int roll = m_rng.below(1000), words = 0;
    for (const Band &b : kBands) {
        if (roll < b.weight) {
            words = m_rng.between(b.lo, b.hi);
            break;
        }
        roll -= b.weight;
    }
    // About three notes a letter, more in the longer ones; a fifth of the
    // letters also have notes in back, called by ptr.
    m_noteRate = 3.0 / 282.0; // the mean of the bands above
    if (m_rng.chance(0.2)) {
        m_ptrRate = m_rng.between(1, 4) / double(words);
        m_stats.backNoteLetters++;
    }
    if (e.zaffiro[size_t(m_index)]) {
        m_plantZaffiro = m_rng.below(words);
        m_stats.zaffiro++;
    }
    if (e.vesuvio[size_t(m_index)]) {
        m_plantVesuvio = m_rng.below(words);
        if (m_plantVesuvio == m_plantZaffiro)
            m_plantVesuvio = (m_plantVesuvio + 1) % words;
        m_stats.vesuvio++;
    }

    at(2) += "<body>";
    at(3) += "<div type=\"letter\">";
    at(4) += "<pb n=\"" + pageName() + "\"/>";
    m_pageStart = m_out.size();
    m_pageBytes = size_t(m_rng.between(1600, 2800));
    at(4) += "<opener>";
    at(5) += "<dateline>" + placeRef(m_sentFrom);
    if (m_dateKind != DateKind::Undated) {
        o() += ", ";
        dateElement(true);
    }
    o() += "</dateline>";
    const Person &to = e.persons[size_t(m_receiver)];
    at(5) += "<salute>";
    switch (m_rng.below(5)) {
    case 0: o() += to.female ? "Cara amica," : "Caro amico,"; break;
    case 1: o() += (to.female ? "Carissima " : "Carissimo ") + to.forename + ","; break;
    case 2: o() += "<choice><abbr>Preg.mo</abbr><expan>Pregiatissimo</expan></choice> Signore,"; break;
    case 3: o() += (to.female ? "Mia cara " : "Mio caro ") + to.forename + ","; break;
    default:
        o() += std::string(to.female ? "Gentilissima Signora" : "Illustrissimo Signor ") +
               (to.female ? "," : to.surname + ",");
        break;
    }
    o() += "</salute>";
    at(4) += "</opener>";

    // The paragraphs share out the words.
    const int paragraphs = std::max(1, words / m_rng.between(45, 110));
    int left = words;
    const int listAfter = m_rng.chance(0.05) ? m_rng.below(paragraphs) : -1;
    const int tableAfter = m_rng.chance(0.02) ? m_rng.below(paragraphs) : -1;
    for (int p = 0; p < paragraphs; ++p) {
        const int share = p == paragraphs - 1 ? left
                                              : std::clamp(left / (paragraphs - p) + m_rng.between(-20, 20), 12,
                                                           left - 12 * (paragraphs - p - 1));
        paragraph(share);
        left -= share;
        if (p == listAfter)
            list();
        if (p == tableAfter)
            table();
    }

    at(4) += "<closer>";
    at(5) += std::string("<salute>") + m_rng.pick(kClosings) + "</salute>";
    const Person &from = e.persons[size_t(m_sender)];
    const int sig = m_rng.below(10);
    nl(5);
    if (sig < 6)
        o() += "<signed>" + persRef(m_sender, true) + "</signed>";
    else if (sig < 9)
        o() += "<signed>" + from.forename.substr(0, 1) + ". " + from.surname + "</signed>";
    else
        o() += "<signed>il vostro " + from.forename + "</signed>";
    if (m_rng.chance(0.15)) {
        at(5) += "<address>";
        at(6) += std::string("<addrLine>") + (to.female ? "Alla gentilissima signora" : "All'illustrissimo signore") +
                 "</addrLine>";
        at(6) += "<addrLine>" + persRef(m_receiver, true) + "</addrLine>";
        at(6) += "<addrLine>" + placeRef(m_receivedAt >= 0 ? m_receivedAt : to.home) + "</addrLine>";
        at(5) += "</address>";
    }
    at(4) += "</closer>";
    if (m_rng.chance(0.12)) {
        at(4) += "<postscript>";
        paragraph(m_rng.between(10, 60), true);
        at(4) += "</postscript>";
    }
    at(3) += "</div>";
    at(2) += "</body>";
}

// A paragraph of running text: words with the markup of a transcription
// among them. In a diplomatic transcription every line starts with lb and
// some words run across lines (lb break="no", or a hyphen or ¬ before lb);
// page breaks come every two or three kilobytes, a quarter of them inside
// a word.
void Letter::paragraph(int words, bool postscript)
{
    const int depth = postscript ? 5 : 4;
    if (m_page == PageBreak::Between) {
        at(depth) += "<pb n=\"" + pageName() + "\"/>";
        m_page = PageBreak::None;
        m_pageStart = m_out.size();
    }
    at(depth) += "<p>";
    m_lineChars = 0;
    m_line = LineBreak::None;
    m_lineWords = 0;
    m_lineLength = m_rng.between(6, 11);
    if (m_diplomatic)
        o() += "<lb/>";
    if (postscript)
        o() += "P.S.";
    m_sentenceLeft = 0;
    for (int i = 0; i < words; ++i) {
        if (i > 0 || postscript)
            separate();
        bool capital = false;
        if (m_sentenceLeft == 0) {
            m_sentenceLeft = m_rng.between(6, 22);
            capital = true;
        }
        if (!postscript && m_word == m_plantZaffiro) {
            plainWord(capital ? "Zaffiro" : "zaffiro");
        } else if (!postscript && m_word == m_plantVesuvio) {
            plainWord("Vesuvio");
        } else {
            slot(capital);
        }
        if (!postscript)
            ++m_word;
        --m_sentenceLeft;
        if (m_sentenceLeft == 0 || i == words - 1) {
            o() += m_rng.chance(0.9) ? "." : m_rng.chance(0.5) ? "!" : "?";
        } else if (m_rng.chance(0.08)) {
            o() += m_rng.chance(0.85) ? "," : ";";
        }
        if (!postscript && m_rng.chance(m_noteRate))
            note();
        if (!postscript && m_ptrRate > 0 && m_rng.chance(m_ptrRate)) {
            const int n = ++m_noteNumber;
            o() += "<ptr target=\"#n" + std::to_string(n) + "\"/>";
            m_backNotes.push_back("<note xml:id=\"n" + std::to_string(n) + "\" n=\"" + std::to_string(n) + "\">" +
                                  noteText() + "</note>");
            m_stats.backNotes++;
        }
        afterSlot();
    }
    o() += "</p>";
    m_line = LineBreak::None;
}

void Letter::afterSlot()
{
    if (m_diplomatic && m_line == LineBreak::None && ++m_lineWords >= m_lineLength) {
        const int k = m_rng.below(100);
        m_line = k < 80 ? LineBreak::Plain : k < 88 ? LineBreak::InWord : k < 95 ? LineBreak::Hyphen : LineBreak::Not;
        m_lineWords = 0;
        m_lineLength = m_rng.between(6, 11);
    }
    if (m_page == PageBreak::None && m_out.size() - m_pageStart > m_pageBytes) {
        turnPage();
        m_page = m_rng.chance(0.25) ? PageBreak::InWord : PageBreak::Between;
    }
}

// Between two slots: a space, a new line of the source, or a page break.
void Letter::separate()
{
    if (m_page == PageBreak::Between) {
        at(5) += "<pb n=\"" + pageName() + "\"/>";
        m_page = PageBreak::None;
        m_pageStart = m_out.size();
        m_pageBytes = size_t(m_rng.between(1600, 2800));
        if (m_diplomatic) {
            at(5) += "<lb/>";
            m_line = LineBreak::None;
        } else {
            o() += ' ';
        }
        m_lineChars = 0;
        return;
    }
    if (m_line == LineBreak::Plain) {
        at(5) += "<lb/>";
        m_line = LineBreak::None;
        m_lineChars = 0;
        return;
    }
    if (!m_diplomatic && m_lineChars > 80) {
        nl(5);
        m_lineChars = 0;
    } else {
        o() += ' ';
    }
}

// A word of plain text; a pending break inside a word is placed in it when
// it is long enough (it waits for the next word otherwise).
void Letter::plainWord(const std::string &w)
{
    size_t ascii = 0;
    while (ascii < w.size() && (unsigned char)w[ascii] < 0x80)
        ++ascii;
    const bool inWord = m_page == PageBreak::InWord || (m_line != LineBreak::None && m_line != LineBreak::Plain);
    const bool planted = w == "zaffiro" || w == "Zaffiro" || w == "Vesuvio";
    if (!inWord || ascii < 4 || planted) {
        o() += w;
        m_lineChars += int(w.size()) + 1;
        return;
    }
    const size_t cut = size_t(m_rng.between(2, int(ascii) - 2));
    o().append(w, 0, cut);
    if (m_page == PageBreak::InWord) {
        o() += "<pb n=\"" + pageName() + "\" break=\"no\"/>";
        m_page = PageBreak::None;
        m_pageStart = m_out.size();
        m_pageBytes = size_t(m_rng.between(1600, 2800));
        if (m_diplomatic) {
            o() += "<lb break=\"no\"/>";
            m_line = LineBreak::None;
        }
    }
    if (m_line != LineBreak::None && m_line != LineBreak::Plain) {
        const bool newline = m_rng.chance(0.5);
        switch (m_line) {
        case LineBreak::InWord:
            if (newline)
                nl(5);
            o() += "<lb break=\"no\"/>";
            break;
        case LineBreak::Hyphen:
            o() += '-';
            if (newline)
                nl(5);
            o() += "<lb/>";
            break;
        default:
            o() += "¬";
            if (newline)
                nl(5);
            o() += "<lb/>";
            break;
        }
        m_line = LineBreak::None;
        m_lineChars = 0;
    }
    o().append(w, cut, std::string::npos);
    m_lineChars += int(w.size() - cut) + 1;
}

// One slot of running text: mostly a word, sometimes markup around one or
// a few words.
void Letter::slot(bool capital)
{
    const size_t before = m_out.size();
    const int r = m_rng.below(10000);
    int at = 0;
    const auto band = [&](int width) {
        at += width;
        return r < at;
    };
    if (band(60)) {
        const bool full = m_rng.chance(0.3);
        if (m_rng.chance(0.05))
            o() += "<hi rend=\"underline\">" + persRef(person(), full) + "</hi>";
        else
            o() += persRef(person(), full);
    } else if (band(25)) {
        o() += placeRef(place());
    } else if (band(180)) {
        const char *rend = m_rng.pick(kRends);
        o() += std::string("<hi rend=\"") + rend + "\">" + phrase(m_rng.between(1, 3)) + "</hi>";
    } else if (band(30)) {
        o() += m_rng.pick(kSupAbbreviations);
    } else if (band(m_rendition ? 120 : 0)) {
        static const char *const ids[] = {"#k", "#u", "#g"};
        o() += std::string("<hi rendition=\"") + m_rng.pick(ids) + "\">" + phrase(m_rng.between(1, 3)) + "</hi>";
    } else if (band(80)) {
        const Abbreviation &a = m_rng.pick(kAbbreviations);
        if (m_rng.chance(0.8))
            o() += std::string("<choice><abbr>") + a.abbr + "</abbr><expan>" + a.expan + "</expan></choice>";
        else
            o() += std::string("<choice><expan>") + a.expan + "</expan><abbr>" + a.abbr + "</abbr></choice>";
    } else if (band(60)) {
        // An old spelling and its regularised form.
        const std::string &w = word();
        std::string old = w;
        const size_t i = old.find('i');
        if (i != std::string::npos && i > 0)
            old[i] = 'j';
        else
            old.insert(old.begin() + std::min<size_t>(1, old.size()), old[0]);
        o() += "<choice><orig>" + old + "</orig><reg>" + w + "</reg></choice>";
    } else if (band(30)) {
        const std::string &w = word();
        std::string wrong = w;
        if (wrong.size() >= 3 && (unsigned char)wrong[1] < 0x80 && (unsigned char)wrong[2] < 0x80 &&
            wrong[1] != wrong[2])
            std::swap(wrong[1], wrong[2]);
        else
            wrong.insert(wrong.begin() + 1, wrong[0]);
        o() += "<choice><sic>" + wrong + "</sic><corr>" + w + "</corr></choice>";
    } else if (band(40)) {
        o() +=
            "<subst><del rend=\"strikethrough\">" + word() + "</del><add place=\"above\">" + word() + "</add></subst>";
    } else if (band(30)) {
        o() += "<del rend=\"strikethrough\">" + phrase(m_rng.between(1, 4)) + "</del> " + word();
    } else if (band(30)) {
        o() += "<add place=\"" + std::string(m_rng.chance(0.5) ? "margin" : "above") + "\">" +
               phrase(m_rng.between(1, 4)) + "</add>";
    } else if (band(40)) {
        o() += "<unclear reason=\"illegible\">" + word() + "</unclear>";
    } else if (band(30)) {
        const std::string &w = word();
        // Letters supplied inside a word, kept clear of an accented ending.
        if (w.size() >= 6 && (unsigned char)w[3] < 0x80 && m_rng.chance(0.4))
            o() += w.substr(0, 2) + "<supplied reason=\"omitted\">" + w.substr(2, 2) + "</supplied>" + w.substr(4);
        else
            o() += "<supplied reason=\"omitted\">" + w + "</supplied>";
    } else if (band(20)) {
        o() += "<gap reason=\"" + std::string(m_rng.chance(0.6) ? "illegible" : "damage") + "\" quantity=\"" +
               std::to_string(m_rng.between(1, 5)) + "\" unit=\"" + (m_rng.chance(0.7) ? "words" : "chars") + "\"/> " +
               word();
    } else if (band(10)) {
        o() += word() + "<space quantity=\"" + std::to_string(m_rng.between(2, 8)) + "\" unit=\"chars\"/>" + word();
    } else if (band(40)) {
        const bool latin = m_rng.chance(0.6);
        const auto &v = latin ? m_e.latin : m_e.french;
        std::string s;
        for (int n = m_rng.between(1, 5); n > 0; --n)
            s += (s.empty() ? "" : " ") + m_rng.pick(v);
        o() += std::string("<foreign xml:lang=\"") + (latin ? "la" : "fr") + "\">" + s + "</foreign>";
    } else if (band(20)) {
        o() += "<quote>" + capitalized(phrase(m_rng.between(4, 12))) + "</quote>";
    } else if (band(10)) {
        o() += "&amp;c.";
    } else if (band(10)) {
        o() += "&#x2014; " + word();
    } else {
        const std::string &w = word();
        plainWord(capital ? capitalized(w) : w);
        return;
    }
    m_lineChars += int(m_out.size() - before) + 1;
}

std::string Letter::noteText()
{
    std::string s;
    const int k = m_rng.below(10);
    if (k < 3)
        s += "Cfr. la lettera L " + std::to_string(m_rng.between(1, m_e.letters)) + ". ";
    else if (k < 4)
        s += persRef(person(), true) + ", ";
    else if (k < 7)
        s += "<hi rend=\"italic\">" + capitalized(phrase(m_rng.between(2, 5))) + "</hi>, ";
    s += sentences(m_rng.between(5, 35));
    return s;
}

void Letter::note()
{
    const int n = ++m_noteNumber;
    std::string s = "<note place=\"foot\" n=\"" + std::to_string(n) + "\">";
    if (m_rng.chance(0.4))
        s += "<hi rend=\"footnote\">" + std::to_string(n) + "</hi> ";
    s += noteText();
    s += "</note>";
    o() += s;
    m_stats.inlineNotes++;
}

void Letter::list()
{
    at(4) += "<list type=\"simple\">";
    for (int i = m_rng.between(3, 6); i > 0; --i)
        at(5) += "<item>" + sentences(m_rng.between(3, 12)) + "</item>";
    at(4) += "</list>";
}

void Letter::table()
{
    const int rows = m_rng.between(2, 5), cols = m_rng.between(2, 4);
    at(4) += "<table rows=\"" + std::to_string(rows) + "\" cols=\"" + std::to_string(cols) + "\">";
    for (int r = 0; r < rows; ++r) {
        at(5) += "<row>";
        for (int c = 0; c < cols; ++c)
            o() += "<cell>" +
                   (c == cols - 1 ? std::to_string(m_rng.between(1, 400)) + " lire" : phrase(m_rng.between(1, 4))) +
                   "</cell>";
        o() += "</row>";
    }
    at(4) += "</table>";
}

// back: the notes called by ptr, then the registers of the persons and the
// places the letter names, each entry in full.
void Letter::back()
{
    const Edition &e = m_e;
    at(2) += "<back>";
    if (!m_backNotes.empty()) {
        at(3) += "<div type=\"notes\">";
        for (const std::string &n : m_backNotes)
            at(4) += n;
        at(3) += "</div>";
    }
    const size_t registers = m_out.size();
    std::vector<int> persons = m_persons, places = m_places;
    std::sort(persons.begin(), persons.end());
    persons.erase(std::unique(persons.begin(), persons.end()), persons.end());
    // The persons' homes are not named in their entries; only the places
    // the letter names are listed.
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());

    at(3) += "<div type=\"persons\">";
    at(4) += "<listPerson>";
    for (int p : persons) {
        const Person &pp = e.persons[size_t(p)];
        at(5) += "<person xml:id=\"p" + std::to_string(p + 1) + "\"" + (pp.female ? " sex=\"F\"" : " sex=\"M\"") + ">";
        at(6) += "<persName><forename>" + pp.forename + "</forename> <surname>" + pp.surname + "</surname></persName>";
        const Date b{pp.birthYear, pp.birthMonth, pp.birthDay};
        nl(6);
        if (pp.birthKind == 0)
            o() += "<birth when=\"" + iso(b, 1) + "\">" + std::to_string(pp.birthYear) + "</birth>";
        else if (pp.birthKind == 1)
            o() += "<birth when=\"" + iso(b) + "\">" + spoken(b) + ", " + e.places[size_t(pp.home)].name + "</birth>";
        else
            o() += "<birth notBefore=\"" + std::to_string(pp.birthYear - 3) + "\" notAfter=\"" +
                   std::to_string(pp.birthYear + 2) + "\"/>";
        if (pp.deathYear) {
            const Date d{pp.deathYear, pp.deathMonth, pp.deathDay};
            nl(6);
            if (pp.birthKind == 1)
                o() += "<death when=\"" + iso(d) + "\">" + spoken(d) + "</death>";
            else
                o() += "<death when=\"" + iso(d, 1) + "\">" + std::to_string(pp.deathYear) + "</death>";
        }
        at(6) += std::string("<occupation>") + kOccupations[pp.occupation] + "</occupation>";
        at(5) += "</person>";
    }
    at(4) += "</listPerson>";
    at(3) += "</div>";
    at(3) += "<div type=\"places\">";
    at(4) += "<listPlace>";
    for (int p : places) {
        const Place &pl = e.places[size_t(p)];
        char geo[48];
        std::snprintf(geo, sizeof geo, "%d.%04d %d.%04d", pl.latDeg, pl.latFrac, pl.lonDeg, pl.lonFrac);
        at(5) += "<place xml:id=\"pl" + std::to_string(p + 1) + "\">";
        at(6) += "<placeName>" + pl.name + "</placeName>";
        at(6) += std::string("<location><geo>") + geo + "</geo></location>";
        at(5) += "</place>";
    }
    at(4) += "</listPlace>";
    at(3) += "</div>";
    m_stats.registerBytes += (long long)(m_out.size() - registers);
    at(2) += "</back>";
}

int usage()
{
    std::fprintf(stderr, "usage: folium-gentei OUTDIR LETTERS [--seed N]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    Edition e;
    e.seed = 1;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--seed" && i + 1 < args.size())
            e.seed = std::strtoull(args[++i].c_str(), nullptr, 10);
        else if (args[i].rfind("--", 0) == 0)
            return usage();
        else
            positional.push_back(args[i]);
    }
    if (positional.size() != 2)
        return usage();
    const fs::path out = positional[0];
    e.letters = std::atoi(positional[1].c_str());
    if (e.letters < 1)
        return usage();

    const auto start = std::chrono::steady_clock::now();
    buildEdition(e);
    Stats stats;
    const int volumes = (e.letters + kLettersPerVolume - 1) / kLettersPerVolume;
    const int width = std::max(2, int(std::to_string(volumes).size()));
    for (int i = 0; i < e.letters; ++i) {
        std::string folder = std::to_string(i / kLettersPerVolume + 1);
        folder = "vol" + std::string(size_t(std::max(0, width - int(folder.size()))), '0') + folder;
        std::string file = std::to_string(i % kLettersPerVolume + 1);
        file = std::string(4 - file.size(), '0') + file + ".xml";
        if (i % kLettersPerVolume == 0) {
            std::error_code ec;
            fs::create_directories(out / folder, ec);
            if (ec) {
                std::fprintf(stderr, "folium-gentei: cannot make %s: %s\n", (out / folder).c_str(),
                             ec.message().c_str());
                return 1;
            }
        }
        const std::string text = Letter(e, i, stats).write();
        std::ofstream f(out / folder / file, std::ios::binary | std::ios::trunc);
        f.write(text.data(), std::streamsize(text.size()));
        if (!f) {
            std::fprintf(stderr, "folium-gentei: cannot write %s\n", (out / folder / file).c_str());
            return 1;
        }
        const auto n = (long long)text.size();
        stats.bytes += n;
        stats.minBytes = stats.minBytes < 0 ? n : std::min(stats.minBytes, n);
        stats.maxBytes = std::max(stats.maxBytes, n);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("%d letters in %d folders of %s: %lld bytes (%.1f MB), %.1f KB a letter (%.1f to %.1f KB)\n", e.letters,
                volumes, out.c_str(), stats.bytes, stats.bytes / 1e6, stats.bytes / 1024.0 / e.letters,
                stats.minBytes / 1024.0, stats.maxBytes / 1024.0);
    std::printf("registers %.0f%% of the bytes, teiHeader %.0f%%; notes: %d inline, %d in back (%d letters)\n",
                100.0 * double(stats.registerBytes) / double(stats.bytes),
                100.0 * double(stats.headerBytes) / double(stats.bytes), stats.inlineNotes, stats.backNotes,
                stats.backNoteLetters);
    std::printf("dates:");
    for (int k = 0; k < 5; ++k)
        std::printf(" %s %d", kDateKindNames[k], stats.dateKinds[k]);
    std::printf("; %d without correspDesc, %d without idno (TEI/@n)\n", stats.noCorresp, stats.noIdno);
    std::printf("planted: zaffiro in %d letters, Vesuvio in %d letters\n", stats.zaffiro, stats.vesuvio);
    std::printf("written in %.2f s\n", seconds);
    return 0;
}
