// Full-text search and highlights through the pane, on a fixture written so
// that every operator has a topic it finds and one it does not.
#include "engine_errors.h"
#include "region_view.h"
#include "topicview.h"

#include <QScrollBar>
#include <QTest>

using namespace folium::engine;

Q_DECLARE_METATYPE(folium::engine::QueryError)

namespace {

const QString kTitle = QStringLiteral(FOLIUM_FIXTURE_OUT "/search.m14");

// Topics of the fixture.
enum { Home = 0, Near1 = 1, Citta = 2, Coeur = 3, Phrase = 4, Long = 5 };

} // namespace

class TestSearch : public QObject {
    Q_OBJECT

    std::unique_ptr<TopicView> m_view;

    QList<int> hits(const QString &query)
    {
        const int rc = m_view->RunSearch(query);
        if (rc != 0)
            return {-rc};
        QList<int> out;
        for (int i = 0; i < m_view->SearchHitCount(); ++i)
            out << m_view->TopicListIndex(i);
        return out;
    }

    // The highlighted words of a region, as text.
    QStringList marked(int region)
    {
        QStringList out;
        const QString text = m_view->regionView(region)->document()->toRawText();
        for (const HighlightSpan &h : m_view->highlightSpans(region))
            out << text.mid(h.start, h.end - h.start);
        return out;
    }

private slots:
    void init()
    {
        m_view = std::make_unique<TopicView>();
        m_view->resize(500, 300);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        m_view->setViewTitle(kTitle);
        QCOMPARE(m_view->lastError(), 0);
        m_view->setSearchImplicitAND(true);
        m_view->setSearchNearThreshold(3);
    }

    void cleanup() { m_view.reset(); }

    void operators_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QList<int>>("expected");
        const QList<int> all{Home, Near1, Citta, Coeur, Phrase, Long};
        QTest::newRow("word, any case") << "ALPHA" << QList<int>{Near1};
        QTest::newRow("word in the NSR") << "heading" << QList<int>{Near1};
        QTest::newRow("implicit AND") << "omnia quick" << QList<int>{Phrase};
        QTest::newRow("AND") << "omnia AND coeur" << QList<int>{Citta, Coeur};
        QTest::newRow("OR") << "zeta OR dog" << QList<int>{Near1, Phrase};
        QTest::newRow("NOT after a word") << "omnia NOT coeur" << QList<int>{Home, Near1, Phrase, Long};
        QTest::newRow("NOT alone") << "NOT omnia" << QList<int>{};
        QTest::newRow("NOT alone of a few") << "NOT (coeur OR dog)" << QList<int>{Home, Near1, Long};
        QTest::newRow("NOT of nothing") << "NOT nowhereword" << all;
        QTest::newRow("NOT OR a word") << "(NOT omnia) OR fox" << QList<int>{Phrase};
        QTest::newRow("parentheses") << "(zeta OR fox) AND (alpha OR dog)" << QList<int>{Near1, Phrase};
        QTest::newRow("NEAR at the threshold") << "alpha NEAR epsilon" << QList<int>{Near1};
        QTest::newRow("NEAR one past") << "alpha NEAR zeta" << QList<int>{};
        QTest::newRow("phrase") << "\"quick brown\"" << QList<int>{Phrase};
        QTest::newRow("phrase in the wrong order") << "\"brown quick\"" << QList<int>{};
        QTest::newRow("phrase with a prefix") << "\"quick br*\"" << QList<int>{Phrase};
        QTest::newRow("prefix") << "cittad*" << QList<int>{Citta};
        QTest::newRow("prefix across accents") << "citt*" << QList<int>{Citta};
        QTest::newRow("grave accent") << "citta" << QList<int>{Citta};
        QTest::newRow("acute accent") << "perche" << QList<int>{Citta};
        QTest::newRow("accented query") << "ÉLÈVE" << QList<int>{Citta};
        QTest::newRow("ligature in the text") << "coeur" << QList<int>{Citta, Coeur};
        QTest::newRow("ligature in the query") << "cœur" << QList<int>{Citta, Coeur};
        QTest::newRow("capital ligature") << "SŒUR" << QList<int>{Coeur};
        QTest::newRow("elided article") << "l'élève" << QList<int>{Citta};
        QTest::newRow("punctuation alone is ignored") << "fox -" << QList<int>{Phrase};
        QTest::newRow("no hit") << "nowhereword" << QList<int>{};
        // Precedence: NEAR, then NOT, then AND (written or implied), then OR.
        QTest::newRow("AND before OR") << "zeta OR dog AND omnia" << QList<int>{Near1, Phrase};
        QTest::newRow("implied AND before OR") << "dog OR zeta alpha" << QList<int>{Near1, Phrase};
        QTest::newRow("NOT binds to its word")
            << "omnia NOT dog OR fox" << QList<int>{Home, Near1, Citta, Coeur, Phrase, Long};
        QTest::newRow("NEAR before AND") << "alpha NEAR epsilon AND omnia" << QList<int>{Near1};
        QTest::newRow("operators in small letters are words") << "fox and" << QList<int>{};
    }

    void operators()
    {
        QFETCH(QString, query);
        QFETCH(QList<int>, expected);
        QCOMPARE(hits(query), expected);
    }

    void nearThresholdIsWordsBetween()
    {
        // "alpha beta gamma delta epsilon": three words stand between alpha and epsilon.
        m_view->setSearchNearThreshold(2);
        QCOMPARE(hits(QStringLiteral("alpha NEAR epsilon")), QList<int>{});
        m_view->setSearchNearThreshold(3);
        QCOMPARE(hits(QStringLiteral("alpha NEAR epsilon")), QList<int>{Near1});
        QCOMPARE(hits(QStringLiteral("epsilon NEAR alpha")), QList<int>{Near1});
    }

    void implicitOperatorFollowsTheSetting()
    {
        m_view->setSearchImplicitAND(true);
        QCOMPARE(hits(QStringLiteral("zeta dog")), QList<int>{});
        m_view->setSearchImplicitAND(false);
        QCOMPARE(hits(QStringLiteral("zeta dog")), (QList<int>{Near1, Phrase}));
        // Explicit operators do not change with it.
        QCOMPARE(hits(QStringLiteral("zeta AND dog")), QList<int>{});
        QCOMPARE(hits(QStringLiteral("omnia NOT dog")).contains(Phrase), false);
    }

    void titlesComeWithTheHits()
    {
        QCOMPARE(hits(QStringLiteral("coeur")), (QList<int>{Citta, Coeur}));
        QCOMPARE(m_view->TopicListTitle(0), QStringLiteral("/Città"));
        QCOMPARE(m_view->TopicListTitle(1), QStringLiteral("*Coeur"));
        QCOMPARE(m_view->TopicListTitle(2), QString());
        QCOMPARE(m_view->TopicListIndex(2), -1);
    }

    void groupsLimitTheSearch()
    {
        m_view->setSearchMode(2);
        m_view->ClearSearchGroups();
        QCOMPARE(hits(QStringLiteral("omnia")), QList<int>{}); // no group added
        m_view->AddSearchGroup(QStringLiteral("A"));
        QCOMPARE(hits(QStringLiteral("omnia")), (QList<int>{Near1, Citta}));
        m_view->AddSearchGroup(QStringLiteral("B"));
        QCOMPARE(hits(QStringLiteral("omnia")), (QList<int>{Near1, Citta, Coeur}));
        m_view->ClearSearchGroups();
        m_view->AddSearchGroup(QStringLiteral(" C ")); // as written in the title database
        QCOMPARE(hits(QStringLiteral("omnia")), QList<int>{Phrase});
        m_view->ClearSearchGroups();
        m_view->AddSearchGroup(QStringLiteral("NoSuchGroup"));
        QCOMPARE(hits(QStringLiteral("omnia")), QList<int>{});
        m_view->ClearSearchGroups();
        m_view->AddSearchGroup(QStringLiteral("A"));
        QCOMPARE(hits(QStringLiteral("NOT coeur")), QList<int>{Near1});
        m_view->setSearchMode(0);
        QCOMPARE(hits(QStringLiteral("omnia")).size(), 6);
    }

    void topicModeSearchesTheShownTopic()
    {
        m_view->setSearchMode(1);
        m_view->JumpContext(QStringLiteral("fr2"));
        QCOMPARE(hits(QStringLiteral("coeur")), QList<int>{Coeur});
        QCOMPARE(hits(QStringLiteral("dog")), QList<int>{});
        m_view->JumpContext(QStringLiteral("ph"));
        QCOMPARE(hits(QStringLiteral("dog OR coeur")), QList<int>{Phrase});
    }

    void malformedQueriesGiveNoHitsAndAReason_data()
    {
        QTest::addColumn<QString>("query");
        for (const char *q :
             {"\"quick brown", "(alpha OR beta", "alpha)", "alpha AND", "OR alpha", "NOT", "*", "alpha NEAR",
              "NEAR alpha", "a*b", "()", "", "   ", "\"\"", "alpha AND OR beta", "(alpha OR beta) NEAR gamma"})
            QTest::newRow(q) << QString::fromUtf8(q);
    }

    void malformedQueriesGiveNoHitsAndAReason()
    {
        QFETCH(QString, query);
        QCOMPARE(hits(QStringLiteral("omnia")).size(), 6);
        QCOMPARE(m_view->RunSearch(query), kErrBadQuery);
        QCOMPARE(m_view->lastError(), kErrBadQuery);
        QCOMPARE(m_view->SearchHitCount(), 0);
        QVERIFY(!m_view->SearchError().isEmpty());
        const QueryError why = m_view->SearchErrorCode();
        QVERIFY(why == QueryError::Malformed || why == QueryError::Empty);
    }

    // Chains of operators and nesting never reach the database as nesting:
    // any mix of operators up to the limits is answered, and the answers
    // agree with the same query written flat.
    void queriesOfAnyShape_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QList<int>>("expected");
        const QList<int> all{Home, Near1, Citta, Coeur, Phrase, Long};
        const QList<int> notCoeur{Home, Near1, Phrase, Long};
        const auto words = [](int n, const QString &op, const QString &pattern) {
            QStringList w;
            for (int i = 0; i < n; ++i)
                w << pattern.arg(i);
            return w.join(op);
        };
        QTest::newRow("NOT then a chain of OR")
            << QStringLiteral("NOT coeur OR ") + words(13, QStringLiteral(" OR "), QStringLiteral("w%1")) << notCoeur;
        QTest::newRow("20 NOTs") << QStringLiteral("NOT ").repeated(20) + QStringLiteral("coeur")
                                 << QList<int>{Citta, Coeur};
        QTest::newRow("21 NOTs") << QStringLiteral("NOT ").repeated(21) + QStringLiteral("coeur") << notCoeur;
        QTest::newRow("15 bracketed NOTs joined by OR")
            << words(15, QStringLiteral(" OR "), QStringLiteral("(NOT w%1)")) << all;
        QTest::newRow("bracketed NOTs of words found")
            << "(NOT omnia) OR (NOT dog)" << QList<int>{Home, Near1, Citta, Coeur, Long};
        QTest::newRow("NOT of a chain") << "NOT (coeur OR dog OR zeta)" << QList<int>{Home, Long};
        QTest::newRow("NOTs side by side") << "NOT coeur NOT dog NOT zeta" << QList<int>{Home, Long};
        QTest::newRow("a word and NOTs of chains") << "omnia NOT (coeur OR dog) NOT (NOT zeta)" << QList<int>{Near1};
        // 100 words, every operator, nested deeper than FTS5 takes at once.
        QString deep = QStringLiteral("coeur");
        for (int i = 0; i < 40; ++i)
            deep = (i % 2 ? QStringLiteral("omnia AND (%1)") : QStringLiteral("dog OR (%1)")).arg(deep);
        QTest::newRow("40 levels") << deep << QList<int>{Citta, Coeur, Phrase};
        QString mixed;
        const char *const ops[] = {" OR ", " AND ", " NOT ", " NEAR ", " OR "};
        for (int i = 0; i < 99; ++i)
            mixed += QStringLiteral("w%1").arg(i) + QLatin1String(ops[(i + 1) % 5]);
        QTest::newRow("100 words, every operator") << mixed + QStringLiteral("fox") << QList<int>{Phrase};
        QTest::newRow("100 brackets") << QStringLiteral("(").repeated(100) + QStringLiteral("fox") +
                                             QStringLiteral(")").repeated(100)
                                      << QList<int>{Phrase};
    }

    void queriesOfAnyShape()
    {
        QFETCH(QString, query);
        QFETCH(QList<int>, expected);
        QCOMPARE(hits(query), expected);
        QCOMPARE(m_view->SearchErrorCode(), QueryError::None);
    }

    // Past the limits a query is refused with a reason of its own, never the
    // database's words, and no input can exhaust the stack.
    void queriesPastTheLimits_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QueryError>("why");
        QStringList w;
        for (int i = 0; i < 101; ++i)
            w << QStringLiteral("w%1").arg(i);
        QTest::newRow("101 words") << w.join(u' ') << QueryError::TooLong;
        QTest::newRow("101 brackets") << QStringLiteral("(").repeated(101) + QStringLiteral("fox") +
                                             QStringLiteral(")").repeated(101)
                                      << QueryError::TooDeep;
        QTest::newRow("1,500 brackets") << QStringLiteral("(").repeated(1500) + QStringLiteral("fox") +
                                               QStringLiteral(")").repeated(1500)
                                        << QueryError::TooDeep;
        QTest::newRow("900 NOTs") << QStringLiteral("NOT ").repeated(900) + QStringLiteral("fox")
                                  << QueryError::TooDeep;
        QTest::newRow("20,000 brackets") << QStringLiteral("(").repeated(20000) + QStringLiteral("fox") +
                                                QStringLiteral(")").repeated(20000)
                                         << QueryError::TooLong;
        QTest::newRow("32,767 NOTs") << QStringLiteral("NOT ").repeated(32767) + QStringLiteral("fox")
                                     << QueryError::TooLong;
        QTest::newRow("unbalanced") << "(fox" << QueryError::Malformed;
        QTest::newRow("blank") << "  " << QueryError::Empty;
    }

    void queriesPastTheLimits()
    {
        QFETCH(QString, query);
        QFETCH(QueryError, why);
        QCOMPARE(m_view->RunSearch(query), kErrBadQuery);
        QCOMPARE(m_view->SearchErrorCode(), why);
        QCOMPARE(m_view->SearchHitCount(), 0);
        const QString reason = m_view->SearchError();
        QVERIFY(!reason.isEmpty());
        QVERIFY2(!reason.contains(QStringLiteral("stack")) && !reason.contains(QStringLiteral("fts5")),
                 qPrintable(reason));
        // The next search works as before.
        QCOMPARE(hits(QStringLiteral("fox")), QList<int>{Phrase});
    }

    void highlightsMarkWhatTheQueryMatched()
    {
        m_view->setHiliteSearchHits(true);
        m_view->JumpContext(QStringLiteral("fr1"));
        m_view->RunSearch(QStringLiteral("citta OR cœur OR cittad*"));
        QCOMPARE(marked(1), (QStringList{"città", "cœur", "Cittadino", "cittadella"}));
        // What a NOT excludes is not marked.
        m_view->RunSearch(QStringLiteral("omnia NOT dog"));
        QCOMPARE(marked(1), QStringList{"Omnia"});
        // Phrases are marked whole; NEAR only where the words stand near.
        m_view->JumpContext(QStringLiteral("n1"));
        m_view->RunSearch(QStringLiteral("alpha NEAR beta"));
        QCOMPARE(marked(1), (QStringList{"alpha", "beta"}));
        QCOMPARE(marked(0), QStringList{});
        m_view->RunSearch(QStringLiteral("heading"));
        QCOMPARE(marked(0), QStringList{"heading"});
        m_view->JumpContext(QStringLiteral("ph"));
        m_view->RunSearch(QStringLiteral("\"quick brown\""));
        QCOMPARE(marked(1), QStringList{"quick brown"});
        // A new topic is marked with the last query.
        m_view->RunSearch(QStringLiteral("omnia"));
        m_view->JumpContext(QStringLiteral("fr2"));
        QCOMPARE(marked(1), QStringList{"Omnia"});
        // Switched off, nothing is marked.
        m_view->setHiliteSearchHits(false);
        QCOMPARE(marked(1), QStringList{});
        QCOMPARE(m_view->regionView(1)->extraSelections().size(), 0);
    }

    void highlightCountsOrderAndScrolling()
    {
        m_view->setHiliteSearchHits(true);
        m_view->setSearchHitLook(16777215);
        m_view->JumpContext(QStringLiteral("long"));
        m_view->RunSearch(QStringLiteral("marker"));
        const TVHighlights set = hTVGetHighlights(m_view->lpTVSR());
        QCOMPARE(lTVTopicHighlightCount(set), 3L);
        QVERIFY((*set)[0].start < (*set)[1].start && (*set)[1].start < (*set)[2].start);
        // White on a white page would vanish: the hits are drawn inverted.
        const auto sels = m_view->regionView(1)->extraSelections();
        QCOMPARE(sels.size(), 3);
        QVERIFY(sels[0].format.background().color().lightness() < 80);
        QScrollBar *sb = m_view->regionView(1)->verticalScrollBar();
        QCOMPARE(sb->value(), 0);
        QCOMPARE(m_view->ShowHighlight(2), 0);
        QVERIFY(sb->value() > 0);
        const int atLast = sb->value();
        QCOMPARE(m_view->ShowHighlight(1), 0);
        QVERIFY(sb->value() < atLast);
        QCOMPARE(m_view->ShowHighlight(3), kErrBadRegion);
        // Setting a set back draws it.
        TVError err;
        QVERIFY(hTVSetHighlights(m_view->lpTVSR(), TVHighlights(), -1, &err));
        QCOMPARE(lTVTopicHighlightCount(hTVGetHighlights(m_view->lpTVSR())), 0L);
        QVERIFY(hTVSetHighlights(m_view->lpTVSR(), set, -1, &err));
        QCOMPARE(m_view->regionView(1)->extraSelections().size(), 3);
        // Zoom keeps the marks.
        m_view->setFontZoom(150);
        QCOMPARE(marked(1), (QStringList{"Marker", "Marker", "Marker"}));
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
