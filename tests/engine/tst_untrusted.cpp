// Titles are untrusted input: the sanitiser's whitelist, damaged copies of a
// real title, and topics built to hang or exhaust Qt's rich-text engine.
#include "engine_errors.h"
#include "hostile_topics.h"
#include "region_view.h"
#include "sanitizer.h"
#include "sqlite.h"
#include "title_file.h"
#include "title_schema.h"
#include "title_writer.h"
#include "topicview.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextList>
#include <QUrl>
#include <QtEndian>

using namespace folium::engine;
namespace sqlite = folium::sqlite;

namespace {

const QString kFixture = QStringLiteral(FOLIUM_FIXTURE_OUT "/basic.m14");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

quint32 crc32Of(const QByteArray &data)
{
    quint32 c = 0xFFFFFFFFu;
    for (const char ch : data) {
        c ^= uchar(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

// A PNG whose header claims a size but which carries almost no pixels.
QByteArray pngClaiming(quint32 w, quint32 h)
{
    const auto chunk = [](const char *type, const QByteArray &data) {
        QByteArray c;
        quint32 len = qToBigEndian(quint32(data.size()));
        c.append(reinterpret_cast<const char *>(&len), 4);
        QByteArray td = QByteArray(type, 4) + data;
        c.append(td);
        quint32 crc = qToBigEndian(crc32Of(td));
        c.append(reinterpret_cast<const char *>(&crc), 4);
        return c;
    };
    QByteArray ihdr(13, 0);
    qToBigEndian(w, ihdr.data());
    qToBigEndian(h, ihdr.data() + 4);
    ihdr[8] = 8; // bit depth
    ihdr[9] = 2; // RGB
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) + chunk("IDAT", QByteArray(8, '\0')) +
           chunk("IEND", {});
}

// The note that ends a region cut short, as the sanitizer writes it.
QString notice()
{
    return QStringLiteral("<p><i>") + SanitizeLimits().cutNotice + QStringLiteral("</i></p>");
}

// The text of a document's last paragraph.
QString lastBlockText(const QTextDocument *doc)
{
    return doc->lastBlock().text();
}

// Opens a title in a pane and walks all of it: the damaged-file sweep
// requires each file to be refused or to show without harm.
void exercise(TopicView &v, const QString &path)
{
    v.setViewTitle(path);
    if (v.lastError() != 0) {
        QCOMPARE(v.lastError(), kErrBadTitle);
        return;
    }
    for (int i = 0; i < 12; ++i)
        v.setTopicIndex(i);
    for (const char *ctx : {"sommario", "120351", "120351a", "Long", "Deep", "Card1", "N120351.2", "T120351.1"})
        v.JumpContext(QString::fromLatin1(ctx));
    v.GoHome();
    for (int i = 0; i < 20 && v.HasNextBrowseTopic(); ++i)
        v.BrowseNext();
    TVError err;
    lTVGetHotspotCount(v.lpTVSR(), &err);
    fTVMoveFocus(v.lpTVSR(), -1, &err);
    v.PopupTopic(4);
    v.PopupTopic(-1);
    v.RunSearch(QStringLiteral("lettera OR a* OR \"cara amica\""));
    for (int i = 0; i < std::min(v.SearchHitCount(), 10); ++i) {
        v.TopicListTitle(i);
        v.SearchHitContext(v.TopicListIndex(i));
        v.setTopicIndex(v.TopicListIndex(i));
    }
}

} // namespace

class TestUntrusted : public QObject {
    Q_OBJECT

private slots:
    void sanitiserKeepsOnlyTheWhitelist_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("plain") << "<p>Caro <b>Luigi</b></p>"
                               << "<p>Caro <b>Luigi</b></p>";
        QTest::newRow("script dropped with content") << "<p>a<script>alert(1)</script>b</p>"
                                                     << "<p>ab</p>";
        QTest::newRow("unknown tag dropped, content kept") << "<p><blink>x</blink></p>"
                                                           << "<p>x</p>";
        QTest::newRow("event attribute") << "<p onclick=\"x()\" align=center>t</p>"
                                         << "<p align=\"center\">t</p>";
        QTest::newRow("link outside the title") << "<a href=\"file:///etc/passwd\">x</a>"
                                                << "<a>x</a>";
        QTest::newRow("hotspot link") << "<a href=\"hs:12\">x</a>"
                                      << "<a href=\"hs:12\">x</a>";
        QTest::newRow("image from a device") << "<img src=\"/dev/zero\">"
                                             << "<img>";
        QTest::newRow("image from a data url") << "<img src=\"data:image/png;base64,AAAA\">"
                                               << "<img>";
        QTest::newRow("image size capped") << "<img src=\"a.png\" width=100000 height=7>"
                                           << "<img src=\"a.png\" width=\"4096\" height=\"7\">";
        QTest::newRow("style whitelist")
            << "<span style=\"color:red; background-image:url(x); font-size:900pt\">s</span>"
            << "<span style=\"color:red;font-size:72pt;\">s</span>";
        QTest::newRow("unclosed tags closed") << "<p><b><i>x"
                                              << "<p><b><i>x</i></b></p>";
        QTest::newRow("stray end tag") << "x</b></table>y"
                                       << "xy";
        QTest::newRow("list items close each other") << "<ul><li>a<li>b</ul>"
                                                     << "<ul><li>a</li><li>b</li></ul>";
        QTest::newRow("cell outside a row") << "<table><td>x</td></table>"
                                            << "<table>x</table>";
        QTest::newRow("entities") << "&lt;&amp;&#233;&#x153;&bogus;&#0;"
                                  << "&lt;&amp;\u00e9\u0153&amp;bogus;&amp;#0;";
        QTest::newRow("comment and doctype") << "<!DOCTYPE html><!-- <b> -->t"
                                             << "t";
        QTest::newRow("unterminated tag") << "a<b class=\"x"
                                          << "a";
    }

    void sanitiserKeepsOnlyTheWhitelist()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(sanitizeTopicHtml(in), out);
    }

    void sanitiserCapsNestingAndSize()
    {
        QString deep;
        for (int i = 0; i < 100; ++i)
            deep += QStringLiteral("<div>");
        const QString d = sanitizeTopicHtml(deep + QStringLiteral("x"));
        QCOMPARE(d.count(QStringLiteral("<div>")), SanitizeLimits().maxDepth);
        QCOMPARE(d.count(QStringLiteral("<div>")), d.count(QStringLiteral("</div>")));

        QString tables;
        for (int i = 0; i < 40; ++i)
            tables += QStringLiteral("<table><tr><td>");
        const QString t = sanitizeTopicHtml(tables + QStringLiteral("x"));
        QCOMPARE(t.count(QStringLiteral("<table>")), SanitizeLimits().maxTableDepth);
        QCOMPARE(t.count(QStringLiteral("<table>")), t.count(QStringLiteral("</table>")));

        const QString big = sanitizeTopicHtml(QStringLiteral("a ").repeated(SanitizeLimits().maxTextChars));
        QVERIFY(big.size() <= SanitizeLimits().maxTextChars + 200);
        QVERIFY(big.contains(u'\u2026'));
        QVERIFY(big.endsWith(notice()));

        QString rows = QStringLiteral("<table>");
        for (int i = 0; i < SanitizeLimits().maxRows + 50; ++i)
            rows += QStringLiteral("<tr><td>r</td></tr>");
        const QString r = sanitizeTopicHtml(rows + QStringLiteral("</table>after"));
        QCOMPARE(r.count(QStringLiteral("<tr>")), SanitizeLimits().maxRows);
        QVERIFY(r.endsWith(QStringLiteral("</table>after") + notice()));
    }

    void layoutCapsCutTheRegionWithANote_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("limit"); // empty: kept whole
        const SanitizeLimits l;
        const auto many = [](const QString &piece, int n) { return piece.repeated(n); };
        QTest::newRow("line breaks") << QStringLiteral("<p>start") + many(QStringLiteral("<br>"), l.maxLineBreaks + 1)
                                     << "line breaks";
        QTest::newRow("rules") << QStringLiteral("<p>start</p>") + many(QStringLiteral("<hr>"), l.maxRules + 1)
                               << "rules";
        QTest::newRow("images") << QStringLiteral("<p>start") + many(QStringLiteral("<img src=\"a.png\">"), 501)
                                << "images";
        QTest::newRow("anchors") << QStringLiteral("<p>start") + many(QStringLiteral("<a name=\"x\">x</a> "), 5001)
                                 << "links and anchors";
        QTest::newRow("empty paragraphs")
            << QStringLiteral("<p>start</p>") + many(QStringLiteral("<p></p>"), l.maxBlocks) << "paragraphs and cells";
        QTest::newRow("spanning cells") << QStringLiteral("<p>start</p><table>") +
                                               many(QStringLiteral("<tr><td colspan=\"100\">c</td></tr>"), 201)
                                        << "table cells";
        QTest::newRow("long word") << QStringLiteral("<p>start ") + QString(l.maxRunWithoutBreak + 1, u'w')
                                   << "characters without a place to break";
        QTest::newRow("combining marks") << QStringLiteral("<p>start a") + QString(31, QChar(0x0301))
                                         << "marks on one letter";
        QTest::newRow("direction marks") << QStringLiteral("<p>start ") + many(QStringLiteral("\u202ex "), 501)
                                         << "explicit direction marks";
        QTest::newRow("direction changes")
            << QStringLiteral("<p>start ") + many(QStringLiteral("\u05d0a "), 2501) << "changes of writing direction";
        // What honest titles hold stays whole.
        QTest::newRow("2,000 paragraphs")
            << many(QStringLiteral("<p>start, some words <b>and more</b>.</p>"), 2000) << "";
        QTest::newRow("500-row table")
            << QStringLiteral("<p>start</p><table>") +
                   many(QStringLiteral("<tr><td>1</td><td colspan=\"2\">a</td><td>b</td><td>c</td></tr>"), 500) +
                   QStringLiteral("</table>")
            << "";
        QTest::newRow("Chinese without blanks") << QStringLiteral("<p>start ") + QString(5000, QChar(0x4E2D)) << "";
        QTest::newRow("Hebrew with Latin")
            << QStringLiteral("<p>start ") + many(QStringLiteral("\u05e9\u05dc\u05d5\u05dd shalom "), 400) << "";
        QTest::newRow("Vietnamese marks") << QStringLiteral("<p>start Vi\u1ec7t Nam ng\u01b0\u1edd\u0301i") << "";
        QTest::newRow("a long address") << QStringLiteral("<p>start ") + QString(1500, u'x') + QStringLiteral(" end")
                                        << "";
    }

    void layoutCapsCutTheRegionWithANote()
    {
        QFETCH(QString, html);
        QFETCH(QString, limit);
        SanitizeReport report;
        const QString out = sanitizeTopicHtml(html, {}, &report);
        QVERIFY(out.startsWith(QStringLiteral("<p>start")));
        if (limit.isEmpty()) {
            QCOMPARE(report.limit, QString());
            QVERIFY(!out.contains(SanitizeLimits().cutNotice));
        } else {
            QVERIFY2(report.limit.startsWith(limit), qPrintable(report.limit));
            QVERIFY(out.endsWith(notice()));
            QCOMPARE(out.count(SanitizeLimits().cutNotice), 1);
        }
        // The note is the one given, in the interface language.
        SanitizeLimits french;
        french.cutNotice = QStringLiteral("La suite n'est pas affich\u00e9e.");
        QCOMPARE(sanitizeTopicHtml(html, french).contains(french.cutNotice), !limit.isEmpty());
    }

    void hostileTopicsShowTheirStartAndANote()
    {
        // Each topic shown in the pane, zoomed, and as a popup: what reaches
        // Qt is within the caps, the start of the topic shows, and the
        // last paragraph says the rest was left out. Ordinary long topics
        // show whole.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("hostile.m14"));
        auto topics = folium::testing::hostileTopics();
        const int hostile = int(topics.size());
        for (auto &t : folium::testing::longOrdinaryTopics())
            topics.push_back(t);
        // Images a little over the size shown, so they are scaled down.
        QVERIFY(folium::testing::writeHostileTitle(path, topics, SafeTextDocument::kMaxShownSide + 52));
        TopicView v;
        v.resize(700, 500);
        v.show();
        v.setViewTitle(path);
        QCOMPARE(v.lastError(), 0);
        const QString note = SanitizeLimits().cutNotice;
        for (int i = 0; i < int(topics.size()); ++i) {
            const QString name = QString::fromLatin1(topics[size_t(i)].name);
            v.setTopicIndex(i + 1); // 0 is the title's home
            QCOMPARE(v.lastError(), 0);
            const bool inNsr = name == u"nsr_br";
            const QTextDocument *doc = v.regionView(inNsr ? 0 : 1)->document();
            QVERIFY2(doc->toPlainText().startsWith(QStringLiteral("start")), qPrintable(name));
            QVERIFY2(doc->blockCount() <= SanitizeLimits().maxBlocks + 2, qPrintable(name));
            const bool cut = i < hostile && name != u"big_images";
            QCOMPARE(lastBlockText(doc) == note, cut);
            if (name == u"letter_2000_paragraphs")
                QCOMPARE(doc->blockCount(), 2001);
            if (name == u"synoptic_500_rows")
                QVERIFY(doc->toPlainText().contains(QStringLiteral("499")));
            if (name == u"big_images") {
                // A page shows images up to its budget of pixels, each
                // scaled down to the size shown; the rest are placeholders.
                int full = 0, placeholders = 0;
                for (int k = 0; k < 30; ++k) {
                    const QImage img =
                        doc->resource(QTextDocument::ImageResource, QUrl(folium::testing::bigImageName(k)))
                            .value<QImage>();
                    if (img.width() == SafeTextDocument::kMaxShownSide)
                        ++full;
                    else if (img.width() == 16)
                        ++placeholders;
                }
                const qint64 side = SafeTextDocument::kMaxShownSide;
                QCOMPARE(full, int(SafeTextDocument::kMaxPagePixels / (side * side)));
                QCOMPARE(full + placeholders, 30);
            }
            v.setFontZoom(150);
            QCOMPARE(lastBlockText(doc) == note, cut);
            v.setFontZoom(100);
            v.PopupTopic(i + 1);
            auto *popup = v.popupWindow();
            QVERIFY(popup);
            const auto *popupView = popup->findChild<RegionView *>();
            QVERIFY(popupView);
            QVERIFY2(popupView->document()->toPlainText().startsWith(QStringLiteral("start")) || inNsr,
                     qPrintable(name));
            QCOMPARE(popupView->document()->toPlainText().contains(note), cut);
            v.PopupTopic(-1);
        }
    }

    void oversizedImagesBecomePlaceholders()
    {
        const QImage huge = SafeTextDocument::decodeTitleImage(pngClaiming(100000, 100000), 4096);
        QCOMPARE(huge.size(), QSize(16, 16));
        QCOMPARE(SafeTextDocument::decodeTitleImage("GIF89a garbage", 4096).size(), QSize(16, 16));
        QCOMPARE(SafeTextDocument::decodeTitleImage(QByteArray(), 4096).size(), QSize(16, 16));
    }

    // Damaged titles (cut short, pages flipped or zeroed, the file's header
    // and the title's counts edited, bytes changed at random) are refused or
    // shown without harm: opened, browsed, searched, their hits read. Run
    // under the asan preset, each is also checked for memory and undefined
    // behaviour. FOLIUM_MUTANTS sets the random mutants of each title (40
    // by default, some 420 damaged copies in all; see docs/fuzzing.md for a
    // long sweep).
    void damagedTitlesAreRefusedOrShownSafely_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("fixture") << kFixture;
        QTest::newRow("Lettere") << QStringLiteral(FOLIUM_RUNTIME_DIR "/Lettere.m14");
    }
    void damagedTitlesAreRefusedOrShownSafely()
    {
        QFETCH(QString, title);
        const QByteArray original = readAll(title);
        QVERIFY(original.size() > 4096);
        const int pageSize = (uchar(original[16]) << 8) | uchar(original[17]);
        QCOMPARE(pageSize, 4096);
        const int pages = int(original.size() / pageSize);
        const int mutants =
            qEnvironmentVariableIsSet("FOLIUM_MUTANTS") ? qEnvironmentVariableIntValue("FOLIUM_MUTANTS") : 40;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("damaged.m14"));
        TopicView v;
        v.resize(500, 400);
        v.show();
        int refused = 0, shown = 0, runs = 0;
        // Each file is opened, browsed, searched and shown; one that takes
        // more than a generous limit is taken for a hang.
        QElapsedTimer clock;
        qint64 slowest = 0;
        const auto run = [&](const QByteArray &bytes) {
            writeAll(path, bytes);
            clock.start();
            exercise(v, path);
            slowest = std::max(slowest, clock.elapsed());
            QVERIFY2(clock.elapsed() < 20000, qPrintable(QStringLiteral("%1 bytes: hung").arg(bytes.size())));
            (v.lastError() == kErrBadTitle ? refused : shown)++;
            ++runs;
            v.setViewTitle(QString());
        };
        // Cut short at every page (every fourth of a long title), and at
        // bytes inside pages.
        for (int p = 0; p<pages; p += pages> 64 ? 4 : 1)
            run(original.left(qsizetype(p) * pageSize));
        QRandomGenerator cuts(1851);
        for (int k = 0; k < 40; ++k)
            run(original.left(qsizetype(cuts.bounded(int(original.size())))));
        // Page headers flipped, then zeroed.
        for (int p = 0; p<pages; p += pages> 64 ? 4 : 1) {
            QByteArray b = original;
            const int at = p * pageSize + (p == 0 ? 100 : 0);
            for (int k = 0; k < 12; ++k)
                b[at + k] = char(~uchar(b[at + k]));
            run(b);
            b = original;
            for (int k = 0; k < 12; ++k)
                b[at + k] = 0;
            run(b);
        }
        // The database file's own counts (page count, freelist, schema
        // cookie, sizes of its parts) set to the extremes.
        for (const int at : {24, 28, 32, 36, 40, 44, 48, 52, 56, 60, 64, 92, 96}) {
            for (const quint32 value : {0u, 1u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
                QByteArray b = original;
                qToBigEndian(value, b.data() + at);
                run(b);
            }
        }
        // The title's own counts and numbers, edited in its tables.
        const QString edited = dir.filePath(QStringLiteral("edited.m14"));
        for (const char *sql :
             {"UPDATE meta SET value = '2147483647' WHERE key = 'topics'",
              "UPDATE meta SET value = '-1' WHERE key = 'home'", "UPDATE meta SET value = '999999' WHERE key = 'home'",
              "UPDATE topic_nav SET va = -1 - idx", "UPDATE topic_nav SET browse = 2147483647 WHERE idx = 0",
              "UPDATE context SET topic = 2147483647", "UPDATE context SET topic = -2147483648",
              "UPDATE hotspot SET ordinal = 2147483647 - ordinal", "UPDATE hotspot SET region = 7, kind = 99",
              "UPDATE search_group SET first = -2147483648, last = 2147483647",
              "UPDATE title_chunk SET data = zeroblob(8)", "UPDATE title_chunk SET data = X'FFFFFFFF'",
              "DELETE FROM topic WHERE idx = 1", "DELETE FROM topic_nav WHERE idx = 1"}) {
            QFile::remove(edited);
            writeAll(edited, original);
            {
                sqlite::Connection db;
                QVERIFY(db.openForWriting(edited));
                QVERIFY2(db.exec(sql), sql);
            }
            run(readAll(edited));
        }
        // Random mutants, reproducible.
        QRandomGenerator rng(20261206);
        for (int m = 0; m < mutants; ++m) {
            QByteArray b = original;
            const int changes = 1 + int(rng.bounded(16));
            for (int k = 0; k < changes; ++k)
                b[int(rng.bounded(int(b.size())))] = char(rng.bounded(256));
            run(b);
        }
        qInfo("%s, %d damaged copies: %d refused, %d shown, slowest %lld ms", qPrintable(QFileInfo(title).fileName()),
              runs, refused, shown, slowest);
        QVERIFY(refused > 0);
        QVERIFY(shown > 0); // most single-byte mutants still open
    }

    // Regression: a title whose count said 2^31-1 topics (with a topic of
    // that number) opened, and its first search ended the reader (memory
    // for every topic, a signed overflow on the way). Every count is held
    // to what the file holds; a title that says otherwise is refused.
    void aTitleWhoseCountLiesIsRefused_data()
    {
        QTest::addColumn<QString>("sql");
        const QString far = QStringLiteral("INSERT INTO topic SELECT 2147483646, title, data, nsr, sr FROM topic "
                                           "WHERE idx = 0; UPDATE meta SET value = '2147483647' WHERE key = 'topics';");
        QTest::newRow("2^31-1 topics, the last one there") << far;
        QTest::newRow("and a navigation row for it")
            << far + QStringLiteral("INSERT INTO topic_nav VALUES (2147483646, 4294967295, NULL);");
        QTest::newRow("one topic more than held")
            << QStringLiteral("INSERT INTO topic SELECT (SELECT max(idx) + 1 FROM topic), title, data, nsr, sr FROM "
                              "topic WHERE idx = 0; UPDATE meta SET value = value + 1 WHERE key = 'topics';");
        QTest::newRow("a negative count") << QStringLiteral("UPDATE meta SET value = '-5' WHERE key = 'topics';");
        QTest::newRow("a count past any integer")
            << QStringLiteral("UPDATE meta SET value = '99999999999999999999' WHERE key = 'topics';");
    }
    void aTitleWhoseCountLiesIsRefused()
    {
        QFETCH(QString, sql);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lying.m14"));
        QVERIFY(QFile::copy(kFixture, path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        {
            sqlite::Connection db;
            QVERIFY(db.openForWriting(path));
            QVERIFY2(db.exec(sql.toUtf8().constData()), qPrintable(db.lastError()));
        }
        TopicView v;
        v.setViewTitle(path);
        QCOMPARE(v.lastError(), kErrBadTitle);
        // Nothing to search, nothing to size.
        QCOMPARE(v.RunSearch(QStringLiteral("NOT zzzz")), kErrNoTitle);
        QCOMPARE(v.SearchHitCount(), 0);
    }

    void damagedTitleChunksGiveEmptyTitles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("chunks.m14"));
        QVERIFY(QFile::copy(kFixture, path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        {
            folium::sqlite::Connection db;
            QVERIFY(db.openForWriting(path));
            // A count far larger than the row, then offsets past its end.
            QVERIFY(db.exec("UPDATE title_chunk SET data = x'FFFFFF7F00000000'"));
        }
        const auto t = TitleFile::open(path);
        QVERIFY(t);
        QCOMPARE(t->topicTitle(1), QString());
        QCoreApplication::processEvents(); // the title reader lets go of the file
        {
            folium::sqlite::Connection db;
            QVERIFY(db.openForWriting(path));
            QVERIFY(db.exec("UPDATE title_chunk SET data = x'0200000000000000FFFFFF0000000000'"));
        }
        const auto u = TitleFile::open(path);
        QVERIFY(u);
        QCOMPARE(u->topicTitle(0), QString());
        // The topic itself still shows, and a search still lists its hits.
        TopicView v;
        v.setViewTitle(path);
        QCOMPARE(v.lastError(), 0);
        QCOMPARE(v.RunSearch(QStringLiteral("Luigi")), 0);
        QVERIFY(v.SearchHitCount() > 0);
        QCOMPARE(v.TopicListTitle(0), QString());
    }

    // Titles come two ways: the first few asked of a chunk are read alone
    // from its row, the rest from the chunk loaded whole. Both give the same
    // titles, in any order of asking, across chunks; a damaged entry read
    // alone gives an empty title and leaves its neighbours readable.
    void titlesReadAloneAndFromWholeChunksAgree()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("many.m14"));
        const int n = kTitlesPerChunk + 300;
        const auto titleOf = [](int i) {
            return i % 1000 == 7 ? QString() : QStringLiteral("Lettera n\u00b0 %1 \u2014 citt\u00e0").arg(i);
        };
        {
            TitleWriter w;
            QVERIFY(w.create(path));
            w.setMeta(QStringLiteral("Many"), 0);
            for (int i = 0; i < n; ++i)
                QVERIFY(w.addTopic(i, 0x100000u + uint32_t(i) * 16, titleOf(i), QString(), i, QString(),
                                   QStringLiteral("<p>x</p>"), QString(), QStringLiteral("x")));
            QVERIFY(w.finish());
        }
        const auto t = TitleFile::open(path);
        QVERIFY(t);
        // Scattered first, so that both chunks are read alone, then in order
        // twice: the second time from the loaded chunks.
        for (int i = n - 1; i >= 0; i -= 257)
            QCOMPARE(t->topicTitle(i), titleOf(i));
        for (int pass = 0; pass < 2; ++pass)
            for (int i = 0; i < n; ++i)
                QCOMPARE(t->topicTitle(i), titleOf(i));
        QCOMPARE(t->topicTitle(n), QString());

        // Once the event loop has run, the title holds no lock on its file.
        QCoreApplication::processEvents();
        // Entry 1 of chunk 0 claims to end before it starts.
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        {
            folium::sqlite::Connection db;
            QVERIFY(db.openForWriting(path));
            QVERIFY(db.exec("UPDATE title_chunk SET data = substr(data, 1, 12) || x'00000000' || substr(data, 17) "
                            "WHERE chunk = 0"));
        }
        const auto u = TitleFile::open(path);
        QVERIFY(u);
        QCOMPARE(u->topicTitle(1), QString());
        QCOMPARE(u->topicTitle(3), titleOf(3));
        QCOMPARE(u->topicTitle(kTitlesPerChunk + 5), titleOf(kTitlesPerChunk + 5));
    }

    void pathologicalTopicsRenderWithinTheCaps()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("patho.m14"));
        QString nested;
        for (int i = 0; i < 40; ++i)
            nested += QStringLiteral("<table><tr><td>cell %1 ").arg(i);
        QString divs;
        for (int i = 0; i < 40; ++i)
            divs += QStringLiteral("<div><ul><li><blockquote>%1 ").arg(i);
        QString items = QStringLiteral("<ul>");
        for (int i = 0; i < 10000; ++i)
            items += QStringLiteral("<li>item %1").arg(i);
        QString bigText;
        bigText.reserve(10 * 1024 * 1024 + 64);
        while (bigText.size() < 10 * 1024 * 1024)
            bigText += QStringLiteral("<p>Lorem ipsum dolor sit amet, <b>consectetur</b> adipiscing elit.</p>");
        const QStringList topics{nested, divs, items,
                                 QStringLiteral("<p><img src=\"huge.png\" width=\"100000\" "
                                                "height=\"100000\"><img src=\"huge.png\"></p>"),
                                 bigText};
        TitleWriter w;
        QVERIFY(w.create(path));
        w.setMeta(QStringLiteral("Pathological"), 0);
        for (int i = 0; i < topics.size(); ++i)
            QVERIFY(w.addTopic(i, 0x100000u + uint32_t(i) * 16, QStringLiteral("T%1").arg(i), QString(), i, QString(),
                               topics[i], QString(), QStringLiteral("x")));
        QVERIFY(w.addImage(QStringLiteral("huge.png"), pngClaiming(100000, 100000)));
        QVERIFY(w.finish());

        TopicView v;
        v.resize(700, 500);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        v.setViewTitle(path);
        QCOMPARE(v.lastError(), 0);
        // Every topic renders, re-flows and paints; what keeps that fast is
        // the caps, checked on what reached the text views.
        for (int i = 0; i < topics.size(); ++i) {
            v.setTopicIndex(i);
            v.setFontZoom(v.FontZoom() == 100 ? 150 : 100);
            QCoreApplication::processEvents();
            v.grab(); // paint it
            QCOMPARE(v.lastError(), 0);
            const QTextDocument *doc = v.regionView(1)->document();
            // 300,000 characters of text, plus one separator per paragraph,
            // and the note that the rest was left out.
            QVERIFY2(doc->characterCount() <= 300000 + doc->blockCount() + 2 + SanitizeLimits().cutNotice.size(),
                     qPrintable(QStringLiteral("topic %1: %2 characters, %3 blocks")
                                    .arg(i)
                                    .arg(doc->characterCount())
                                    .arg(doc->blockCount())));
            int listItems = 0;
            for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
                listItems += b.textList() ? 1 : 0;
            if (i == 2)
                QVERIFY2(listItems <= 1000, qPrintable(QString::number(listItems)));
        }
    }
};

QTEST_MAIN(TestUntrusted)
#include "tst_untrusted.moc"
