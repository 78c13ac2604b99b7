// The words of a shown page and the words of the index are the same words.
// For topics that use every element of the source format, every word a
// reader sees is found by a search for it and marked exactly where it
// stands; the labels of note calls are no words. The oracle here walks the
// page itself, with rules of its own.
#include "region_view.h"
#include "title_file.h"
#include "topicview.h"

#include <QTest>
#include <QTextBlock>
#include <QTextFragment>

#include <map>
#include <set>

using namespace folium::engine;

namespace {

const QString kTitle = QStringLiteral(FOLIUM_FIXTURE_OUT "/words.m14");

struct Word {
    QString text;
    int start = 0;
    int end = 0;
};

// Case, accents and the ligatures œ, æ and ß do not count in a search.
QString folded(const QString &w)
{
    QString out;
    for (const QChar c : w.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            out += c.toLower();
    out.replace(u'œ', QStringLiteral("oe")).replace(u'æ', QStringLiteral("ae")).replace(u'ß', QStringLiteral("ss"));
    return out;
}

// The words of a region as a reader sees them: runs of letters and digits
// in the page's text, outside the labels of note calls. The fixture writes
// what it does not index struck through or in grey, the index pages of an
// imported edition only mark it: that text is passed
// over, and does not split the word it stands in. A word's place runs from
// its first letter to its last, over what was passed over inside it.
std::vector<Word> wordsOnThePage(const TopicView &view, int region)
{
    const QTextDocument *doc = view.regionView(region)->document();
    const QString text = doc->toRawText();
    std::set<int> noteCalls;
    for (const StoredHotspot &h : view.storedHotspots())
        if (h.noteCall)
            noteCalls.insert(h.ordinal);
    enum Kind { Shown, Blank, PassedOver };
    std::vector<Kind> kind(size_t(text.size()), Shown);
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat cf = f.charFormat();
            const QString href = cf.anchorHref();
            Kind k = Shown;
            if (href.startsWith(u"hs:") && noteCalls.count(href.mid(3).toInt()))
                k = Blank;
            else if (cf.fontStrikeOut() || cf.foreground().color() == QColor(0x80, 0x80, 0x80))
                k = PassedOver;
            for (int i = f.position(); i < f.position() + f.length(); ++i)
                kind[size_t(i)] = k;
        }
    // What the title marks unindexed without greying it (the dates of an
    // index's links), as the page recorded the marks it took off.
    for (const auto &[start, end] : view.regionView(region)->unindexedRuns())
        for (int i = start; i < end && i < int(kind.size()); ++i)
            if (kind[size_t(i)] == Shown)
                kind[size_t(i)] = PassedOver;
    std::vector<Word> out;
    const auto isWordChar = [](QChar c) { return c.isLetterOrNumber() && c != QChar(0x02BC); };
    QString word;
    int start = -1, end = -1;
    for (int i = 0; i <= text.size(); ++i) {
        const Kind k = i < text.size() ? kind[size_t(i)] : Blank;
        if (k == PassedOver)
            continue;
        if (k == Shown && isWordChar(text[i])) {
            if (start < 0)
                start = i;
            word += text[i];
            end = i + 1;
            continue;
        }
        if (start >= 0)
            out.push_back({word, start, end});
        word.clear();
        start = -1;
    }
    return out;
}

} // namespace

class TestWords : public QObject {
    Q_OBJECT

    std::unique_ptr<TopicView> m_view;

private slots:
    void init()
    {
        m_view = std::make_unique<TopicView>();
        m_view->resize(600, 400);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        m_view->setViewTitle(kTitle);
        QCOMPARE(m_view->lastError(), 0);
        m_view->setHiliteSearchHits(true);
        m_view->setSearchMode(1); // the topic shown
    }

    void cleanup() { m_view.reset(); }

    void everyWordShownIsFoundAndMarkedWhereItStands_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("every element of the source format") << kTitle;
        // Letters made from TEI: deletions inside words, folio marks, words
        // joined across line breaks, notes called from elsewhere.
        QTest::newRow("a TEI edition imported") << QStringLiteral(FOLIUM_FIXTURE_OUT "/tei.m14");
    }

    void everyWordShownIsFoundAndMarkedWhereItStands()
    {
        QFETCH(QString, title);
        m_view->setViewTitle(title);
        QCOMPARE(m_view->lastError(), 0);
        const int topics = m_view->titleFile()->topicCount();
        QVERIFY(topics >= 8);
        int checked = 0;
        for (int t = 0; t < topics; ++t) {
            m_view->setTopicIndex(t);
            // A note's heading (its data is its letter's, a "." and its
            // number) repeats the letter's title: it is shown, not indexed.
            const bool note = m_view->TopicData().contains(u'.');
            for (int region = 0; region < 2; ++region) {
                const std::vector<Word> words = wordsOnThePage(*m_view, region);
                // Where each word (folded) stands in this region.
                std::map<QString, std::set<std::pair<int, int>>> places;
                for (const Word &w : words)
                    places[folded(w.text)].insert({w.start, w.end});
                if (note && region == 0) {
                    for (const auto &[word, expected] : places) {
                        QCOMPARE(m_view->RunSearch(u'"' + word + u'"'), 0);
                        QVERIFY2(m_view->SearchHitCount() == 0 || !m_view->highlightSpans(1).empty(),
                                 qPrintable(QStringLiteral("\"%1\" of a note's heading indexed").arg(word)));
                    }
                    continue;
                }
                for (const auto &[word, expected] : places) {
                    QCOMPARE(m_view->RunSearch(u'"' + word + u'"'), 0);
                    QVERIFY2(m_view->SearchHitCount() == 1 && m_view->TopicListIndex(0) == t,
                             qPrintable(QStringLiteral("\"%1\" not found in topic %2").arg(word).arg(t)));
                    std::set<std::pair<int, int>> marked;
                    for (const HighlightSpan &h : m_view->highlightSpans(region))
                        marked.insert({h.start, h.end});
                    QVERIFY2(marked == expected,
                             qPrintable(QStringLiteral("\"%1\" in topic %2, region %3: %4 marks, %5 places")
                                            .arg(word)
                                            .arg(t)
                                            .arg(region)
                                            .arg(marked.size())
                                            .arg(expected.size())));
                    ++checked;
                }
            }
        }
        QVERIFY(checked > 100); // every word of the fixture, not a handful
    }

    void gluedWordsComeApart_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("context");
        QTest::addColumn<int>("hits");
        // A note call right after a word, or right before one.
        QTest::newRow("word before a call") << "tua"
                                            << "calls" << 1;
        QTest::newRow("word and label glued") << "tua2"
                                              << "calls" << 0;
        QTest::newRow("word after a call") << "beta"
                                           << "calls" << 1;
        QTest::newRow("words around a starred call") << "medio AND campo"
                                                     << "calls" << 1;
        QTest::newRow("a call written as a link") << "richiamo"
                                                  << "calls" << 0;
        QTest::newRow("the label alone") << "2"
                                         << "calls" << 0;
        // Table cells, an image, a line break.
        QTest::newRow("next cell") << "vicina"
                                   << "tables" << 1;
        QTest::newRow("cells glued") << "cellavicina"
                                     << "tables" << 0;
        QTest::newRow("after an image") << "seconda"
                                        << "tables" << 1;
        QTest::newRow("around an image") << "primaseconda"
                                         << "tables" << 0;
        QTest::newRow("after a line break") << "dopo"
                                            << "tables" << 1;
        QTest::newRow("inline markup keeps a word whole") << "lontana"
                                                          << "tables" << 1;
        // The modifier-letter apostrophe splits words as ' and ’ do.
        QTest::newRow("after a modifier apostrophe") << "anima"
                                                     << "calls" << 1;
        QTest::newRow("as typed with it") << "dellʼanima"
                                          << "calls" << 1;
        QTest::newRow("phrase across it") << "\"dell anima\""
                                          << "calls" << 1;
        // Text shown but not indexed: deleted words, folio marks.
        QTest::newRow("a word with a deletion inside") << "geschrieben"
                                                       << "deleted" << 1;
        QTest::newRow("the deleted syllable") << "sag"
                                              << "deleted" << 0;
        QTest::newRow("the word as the page spells it") << "gesagschrieben"
                                                        << "deleted" << 0;
        QTest::newRow("a word across a folio mark") << "Wissenschaft"
                                                    << "deleted" << 1;
        QTest::newRow("the folio mark") << "12v"
                                        << "deleted" << 0;
        QTest::newRow("deleted words") << "ganz OR alte OR mitten OR drin OR liebe"
                                       << "deleted" << 0;
        QTest::newRow("a phrase across deleted words") << "\"vorne hinten\""
                                                       << "deleted" << 1;
        QTest::newRow("a call inside a deletion still separates") << "undende"
                                                                  << "deleted" << 0;
        QTest::newRow("words around it") << "\"und ende\""
                                         << "deleted" << 1;
        QTest::newRow("a deleted ending") << "\"sein frau kommt\""
                                          << "deleted" << 1;
    }

    void gluedWordsComeApart()
    {
        QFETCH(QString, query);
        QFETCH(QString, context);
        QFETCH(int, hits);
        QCOMPARE(m_view->JumpContext(context), 0);
        QCOMPARE(m_view->RunSearch(query), 0);
        QCOMPARE(m_view->SearchHitCount(), hits);
    }

    void marksAfterATableFallOnTheirWords()
    {
        QCOMPARE(m_view->JumpContext(QStringLiteral("tables")), 0);
        const QString text = m_view->regionView(1)->document()->toRawText();
        const auto marked = [&](const QString &q) {
            m_view->RunSearch(q);
            QStringList out;
            for (const HighlightSpan &h : m_view->highlightSpans(1))
                out << text.mid(h.start, h.end - h.start);
            return out;
        };
        QCOMPARE(marked(QStringLiteral("cella")), QStringList{"cella"});
        QCOMPARE(marked(QStringLiteral("vicina")), QStringList{"vicina"});
        QCOMPARE(marked(QStringLiteral("uno")), QStringList{"uno"});
        QCOMPARE(marked(QStringLiteral("terza")), QStringList{"terza"});
        QCOMPARE(marked(QStringLiteral("\"due tre\"")), QStringList{"due tre"});
    }
};

QTEST_MAIN(TestWords)
#include "tst_words.moc"
