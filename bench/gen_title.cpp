// Writes the source of a large title for the benchmarks: by default 500,000
// short letters (about 60 MB of text) with Zipf-distributed words, accents,
// a few words and a phrase at known rates, search groups, one long topic, and
// a contents tree of 100,000 letters in three levels (the title, ten folders
// of 10,000 letters).
//
//   folium-gentitle OUTDIR [TOPICS]
//
// The text is deterministic: the same arguments give the same files.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

const char *const kSyllables[] = {"ca",  "ri",  "to",  "la",  "me",  "no",  "sa",  "ve",   "di",  "ro",
                                  "pa",  "te",  "lu",  "mo",  "ge",  "ni",  "fo",  "ra",   "se",  "bi",
                                  "co",  "du",  "fe",  "gi",  "ma",  "po",  "qua", "stra", "gno", "zio",
                                  "che", "ghi", "tor", "pen", "sol", "mar", "ven"};
const char *const kEndings[] = {"", "", "", "à", "è", "é", "ò", "ù", "ì"};

// Words placed at known rates, so that the benchmark queries have known
// hit counts (per topic): "sempre" in 80%, "lettera" and "casa" in 5%,
// "zaffiro" in 0.01%, the phrase "cara amica" in 2%.
struct Planted {
    const char *text;
    double rate;
};
const Planted kPlanted[] = {
    {"sempre", 0.80}, {"lettera", 0.05}, {"casa", 0.05}, {"zaffiro", 0.0001}, {"cara amica", 0.02}};

std::string escape(const std::string &s)
{
    std::string r;
    for (char c : s) {
        if (c == '&')
            r += "&amp;";
        else if (c == '<')
            r += "&lt;";
        else
            r += c;
    }
    return r;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: folium-gentitle OUTDIR [TOPICS]\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    const long topics = argc > 2 ? std::atol(argv[2]) : 500000;
    std::filesystem::create_directories(out / "topics");
    std::mt19937_64 rng(1851);

    // A vocabulary of made-up Italian-looking words, some accented.
    std::vector<std::string> vocab;
    const int vocabSize = 60000;
    std::uniform_int_distribution<int> syl(0, int(std::size(kSyllables)) - 1);
    std::uniform_int_distribution<int> len(1, 4);
    std::uniform_int_distribution<int> end(0, int(std::size(kEndings)) - 1);
    while (int(vocab.size()) < vocabSize) {
        std::string w;
        for (int k = len(rng); k > 0; --k)
            w += kSyllables[syl(rng)];
        w += kEndings[end(rng)];
        vocab.push_back(w);
    }
    // Zipf: the word of rank r is drawn with weight 1 / (r + 1)^1.07.
    std::vector<double> weights(vocab.size());
    for (size_t r = 0; r < vocab.size(); ++r)
        weights[r] = 1.0 / std::pow(double(r + 1), 1.07);
    std::discrete_distribution<int> zipf(weights.begin(), weights.end());
    std::uniform_int_distribution<int> words(7, 20);
    std::uniform_real_distribution<double> chance(0.0, 1.0);

    const long perFile = 10000;
    const int groups = 50; // groups of contiguous topics, as years would be
    std::ofstream project(out / "title.xml");
    project << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<title name=\"Benchmark\">\n";
    std::ofstream file;
    long textBytes = 0;
    for (long t = 0; t < topics; ++t) {
        if (t % perFile == 0) {
            if (file.is_open()) {
                file << "</topics>\n";
                file.close();
            }
            const std::string name = "topics/t" + std::to_string(t / perFile) + ".xml";
            project << "  <include href=\"" << name << "\"/>\n";
            file.open(out / name);
            file << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<topics>\n";
        }
        std::string text;
        const int n = words(rng);
        for (int k = 0; k < n; ++k) {
            if (k)
                text += ' ';
            text += vocab[size_t(zipf(rng))];
        }
        for (const Planted &p : kPlanted) {
            if (chance(rng) < p.rate) {
                text += ' ';
                text += p.text;
            }
        }
        text += '.';
        textBytes += long(text.size());
        const long group = t * groups / topics;
        file << "<topic title=\"/Lettera " << t << "\" data=\"L" << t << "\" context=\"L" << t << "\" groups=\"G"
             << group << "\"><sr><p>" << escape(text) << "</p></sr></topic>\n";
    }
    // One long topic for highlighting: 2,000 paragraphs, "lettera" in each.
    file << "<topic title=\"*Long\" data=\"long\" context=\"LongTopic\" browse=\"no\"><sr>\n";
    for (int p = 0; p < 2000; ++p) {
        std::string text = "lettera";
        for (int k = 0; k < 12; ++k)
            text += ' ' + vocab[size_t(zipf(rng))];
        textBytes += long(text.size());
        file << "<p>" << escape(text) << ".</p>\n";
    }
    file << "</sr></topic>\n</topics>\n";
    file.close();

    // The contents: the title > ten folders > the first 100,000 letters.
    const long listed = std::min(topics, 100000L);
    const long perFolder = (listed + 9) / 10;
    project << "  <database>\n    <param code=\"NOM\" p1=\"Benchmark\"/>\n    <contents>\n"
            << "      <item key=\"LongTopic\" text=\"Benchmark\" type=\"f\">\n";
    for (long first = 0; first < listed; first += perFolder) {
        const long last = std::min(listed, first + perFolder) - 1;
        project << "        <item key=\"F" << first << "\" text=\"Lettere " << first << "-" << last
                << "\" type=\"f\">\n";
        for (long t = first; t <= last; ++t)
            project << "          <item key=\"L" << t << "\" text=\"Lettera " << t << "\"/>\n";
        project << "        </item>\n";
    }
    project << "      </item>\n    </contents>\n  </database>\n</title>\n";
    std::printf("%ld topics, %.1f MB of text in %s\n", topics + 1, textBytes / 1e6, out.c_str());
    return 0;
}
