// The title engine as the program drives it: opening titles, the four ways
// of naming a topic, browsing, hotspot events, keyboard focus, zoom, popups,
// copy and print.
#include "engine_errors.h"
#include "region_view.h"
#include "title_schema.h"
#include "topicview.h"
#include "pdf_words.h"

#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace folium::engine;

namespace {

const QString kFixture = QStringLiteral(FOLIUM_FIXTURE_OUT "/basic.m14");

struct Click {
    int type = -1;
    QString code;
    qintptr data = 0;
};

} // namespace

class TestTopicView : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TopicView> m_view;

    TopicView &view() { return *m_view; }

    void clickHotspot(TopicView &v, int region, int spanIndex)
    {
        RegionView *rv = v.regionView(region);
        QVERIFY(spanIndex < int(rv->hotspots().size()));
        const QPoint p = rv->spanRect(spanIndex).center() + QPoint(2, 0);
        QTest::mouseClick(rv->viewport(), Qt::LeftButton, {}, p);
    }

private slots:
    void init()
    {
        m_view = std::make_unique<TopicView>();
        m_view->resize(640, 420);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        QSignalSpy changed(m_view.get(), &TopicView::TopicChanged);
        m_view->setViewTitle(kFixture);
        QCOMPARE(m_view->lastError(), 0);
        QCOMPARE(changed.count(), 1); // raised inside the assignment
    }

    void cleanup() { m_view.reset(); }

    void opensOnTheHomeTopic()
    {
        QCOMPARE(view().ViewTitle(), kFixture);
        QCOMPARE(view().TopicIndex(), 0);
        QCOMPARE(view().TopicData(), QStringLiteral("sommario"));
        QCOMPARE(view().ViewTopic(), QStringLiteral("Home – Fixture"));
        QVERIFY(view().NSRHeight() > 10);
        QVERIFY(view().regionView(1)->toPlainText().contains(QStringLiteral("Start here.")));
    }

    void badFilesGive29010AndKeepThePreviousTitle_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("text file") << "text";
        QTest::newRow("foreign database") << "foreign";
        QTest::newRow("newer version") << "version";
        QTest::newRow("older version") << "old version";
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("empty") << "empty";
    }

    void badFilesGive29010AndKeepThePreviousTitle()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.m14"));
        QFile src(kFixture);
        QVERIFY(src.open(QIODevice::ReadOnly));
        QByteArray bytes = src.readAll();
        if (kind == u"text") {
            bytes = "This is not a title at all.\n";
        } else if (kind == u"foreign") {
            bytes[68] = 0; // application_id
            bytes[69] = 0;
            bytes[70] = 0;
            bytes[71] = 1;
        } else if (kind == u"version") {
            bytes[63] = char(kTitleFormatVersion + 1); // user_version
        } else if (kind == u"old version") {
            bytes[63] = char(kTitleFormatVersion - 1);
        } else if (kind == u"truncated") {
            bytes.truncate(bytes.size() - 4096);
        } else if (kind == u"empty") {
            bytes.clear();
        }
        if (kind != u"missing") {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(bytes);
        }
        view().setTopicIndex(1);
        QSignalSpy changed(&view(), &TopicView::TopicChanged);
        view().setViewTitle(path);
        QCOMPARE(view().lastError(), kErrBadTitle);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(view().ViewTitle(), kFixture);
        QCOMPARE(view().TopicIndex(), 1);
    }

    void emptyPathClosesTheTitle()
    {
        view().setViewTitle(QString());
        QCOMPARE(view().ViewTitle(), QString());
        QCOMPARE(view().TopicIndex(), -1);
        QCOMPARE(view().JumpContext(QStringLiteral("sommario")), kErrNoContext);
        QVERIFY(view().regionView(1)->toPlainText().isEmpty());
    }

    void fourWaysOfNamingATopic()
    {
        // By index.
        view().setTopicIndex(2);
        QCOMPARE(view().TopicData(), QStringLiteral("120351a"));
        // By context string, without regard to case.
        QSignalSpy changed(&view(), &TopicView::TopicChanged);
        QCOMPARE(view().JumpContext(QStringLiteral("LONG")), 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), 3);
        QCOMPARE(view().TopicData(), QStringLiteral("long"));
        // By address and scroll position.
        const long va = view().TopicVA();
        view().GoHome();
        QCOMPARE(view().JumpToAddress(va, 120), 0);
        QCOMPARE(view().TopicIndex(), 3);
        QCOMPARE(view().TopicScroll(), 120L);
        // The conversions give the same address.
        QCOMPARE(long(vaTVConvertContextString(view().GetViewerWindow(), "Long")), va);
        QCOMPARE(long(vaTVConvertHash(view().GetViewerWindow(), contextHash(u"long"))), va);
        QCOMPARE(vaTVConvertContextString(view().GetViewerWindow(), "NoSuchContext"), 0u);
        // By TopicData: a note carries its caller's data, a dot and its number.
        QCOMPARE(view().JumpContext(QStringLiteral("T120351.2")), 0);
        QCOMPARE(view().TopicData(), QStringLiteral("120351.2"));
        QVERIFY(view().ViewTopic().startsWith(QStringLiteral("Nota 2")));
    }

    void missingContextGives29048AndStays()
    {
        view().setTopicIndex(1);
        QSignalSpy changed(&view(), &TopicView::TopicChanged);
        QCOMPARE(view().JumpContext(QStringLiteral("N120351.9")), kErrNoContext);
        QCOMPARE(view().lastError(), kErrNoContext);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(view().TopicIndex(), 1);
        QCOMPARE(view().JumpContext(QString()), kErrNoContext);
        view().setTopicIndex(999);
        QCOMPARE(view().lastError(), kErrNoTopic);
        QCOMPARE(view().JumpToAddress(12345, 0), kErrNoTopic);
    }

    void noteContextsPointAtTheirCalls()
    {
        QCOMPARE(view().JumpContext(QStringLiteral("N120351.3")), 0);
        QCOMPARE(view().TopicIndex(), 1);
        QCOMPARE(view().TopicData(), QStringLiteral("120351"));
    }

    void browseSequenceAtBothEnds()
    {
        // Home, two letters and the chapter are in the sequence; the card and the notes are not.
        QVERIFY(!view().HasPreviousBrowseTopic());
        QVERIFY(view().HasNextBrowseTopic());
        QCOMPARE(view().BrowsePrevious(), kErrNoTopic);
        QCOMPARE(view().TopicIndex(), 0);
        QList<int> seen;
        while (view().HasNextBrowseTopic()) {
            QCOMPARE(view().BrowseNext(), 0);
            seen << view().TopicIndex();
        }
        QCOMPARE(seen, (QList<int>{1, 2, 3}));
        QVERIFY(view().HasPreviousBrowseTopic());
        QCOMPARE(view().BrowseNext(), kErrNoTopic);
        QCOMPARE(view().TopicIndex(), 3);
        QCOMPARE(view().BrowsePrevious(), 0);
        QCOMPARE(view().TopicIndex(), 2);
        view().JumpContext(QStringLiteral("Card1"));
        QVERIFY(!view().HasNextBrowseTopic());
        QVERIFY(!view().HasPreviousBrowseTopic());
        QCOMPARE(view().GoHome(), 0);
        QCOMPARE(view().TopicData(), QStringLiteral("sommario"));
    }

    void hotspotCountsAndRecords()
    {
        TVError err;
        QCOMPARE(lTVGetHotspotCount(view().lpTVNSR(), &err), 1L);
        QCOMPARE(lTVGetHotspotCount(view().lpTVSR(), &err), 5L);
        TVHotspotInfo info;
        QVERIFY(fTVGetHotspotInfo(view().lpTVSR(), 4, &info, &err));
        QCOMPARE(err.code, 0L);
        QCOMPARE(info.field[1], 6L); // numbered over the NSR first
        QCOMPARE(uint32_t(info.field[6]), contextHash(u"Deep"));
        QCOMPARE(info.field[7], long(HotspotJump));
        QVERIFY(info.field[2] >= 0 && info.field[3] >= 0 && info.field[4] > 0);
        QVERIFY(!fTVGetHotspotInfo(view().lpTVSR(), 5, &info, &err));
        QCOMPARE(err.code, long(kErrBadRegion));
    }

    void codeHotspotHandsTheStringOver()
    {
        std::vector<Click> clicks;
        connect(&view(), &TopicView::HotspotClicked, this, [&](int type, const HotspotTarget &target, bool *) {
            clicks.push_back({type, QString::fromLatin1(target.code), qintptr(target.id)});
        });
        clickHotspot(view(), 1, 1);
        QCOMPARE(clicks.size(), size_t(1));
        QCOMPARE(clicks[0].type, 0);
        QCOMPARE(clicks[0].code, QStringLiteral("N120351.2"));
        QCOMPARE(view().TopicIndex(), 0); // the engine does nothing of its own with a code
    }

    // Regression: a code went out as a pointer into the engine's buffer,
    // which a receiver queued for later, or a hotspot clicked in between,
    // found overwritten or gone.
    void aQueuedReceiverGetsTheCodeItWasSent()
    {
        QStringList codes;
        connect(
            &view(), &TopicView::HotspotClicked, this,
            [&](int type, const HotspotTarget &target, bool *) {
                if (type == HotspotCode)
                    codes << QString::fromLatin1(target.code);
            },
            Qt::QueuedConnection);
        clickHotspot(view(), 1, 1);
        clickHotspot(view(), 1, 2); // a popup: no code, but the engine acts
        QTRY_COMPARE(codes, QStringList{QStringLiteral("N120351.2")});
    }

    void jumpHotspotWithAndWithoutCancel()
    {
        bool cancelIt = true;
        QList<qintptr> data;
        connect(&view(), &TopicView::HotspotClicked, this, [&](int type, const HotspotTarget &target, bool *cancel) {
            QCOMPARE(type, 2);
            QCOMPARE(view().TopicIndex(), 0); // raised before the engine acts
            data << qintptr(target.id);
            *cancel = cancelIt;
        });
        clickHotspot(view(), 1, 4);
        QCOMPARE(data.size(), 1);
        QCOMPARE(uint32_t(data[0]), contextHash(u"deep"));
        QCOMPARE(view().TopicIndex(), 0);
        cancelIt = false;
        clickHotspot(view(), 1, 4);
        QCOMPARE(view().TopicIndex(), 3);
        // The jump lands on the anchored place, not the top of the chapter.
        QVERIFY(view().TopicScroll() > 0);
        QVERIFY(view().regionView(1)->verticalScrollBar()->value() > 0);
    }

    // A note call's label is a small superscript: its target takes a square
    // of the line's height, so a click just beside it still opens the note.
    void aNoteCallIsEasyToHit()
    {
        QCOMPARE(view().JumpContext(QStringLiteral("120351")), 0);
        RegionView *rv = view().regionView(1);
        const QRect label = rv->spanRect(0);
        const QRect target = rv->targetRect(0);
        QVERIFY2(label.width() < 12, "the label is narrow");
        QVERIFY(target.width() >= target.height() && target.contains(label));
        QList<int> types;
        connect(&view(), &TopicView::HotspotClicked, this, [&](int type, const HotspotTarget &, bool *cancel) {
            types << type;
            *cancel = true;
        });
        // Just past the label's right edge, and at the bottom of its line.
        const QPoint beside(label.right() + (target.right() - label.right()) / 2 + 1, target.bottom() - 1);
        QVERIFY(!label.contains(beside));
        QCOMPARE(rv->hotspotNear(beside), 0);
        QTest::mouseClick(rv->viewport(), Qt::LeftButton, {}, beside);
        QCOMPARE(types, QList<int>{2});
        // Farther away, nothing.
        QCOMPARE(rv->hotspotNear(QPoint(target.right() + 40, target.center().y())), -1);
        QTest::mouseClick(rv->viewport(), Qt::LeftButton, {}, QPoint(target.right() + 40, target.center().y()));
        QCOMPARE(types.size(), 1);
    }

    void popupHotspotWithAndWithoutCancel()
    {
        bool cancelIt = true;
        int events = 0;
        connect(&view(), &TopicView::HotspotClicked, this, [&](int type, const HotspotTarget &, bool *cancel) {
            QCOMPARE(type, 1);
            ++events;
            *cancel = cancelIt;
        });
        clickHotspot(view(), 1, 2);
        QCOMPARE(events, 1);
        QVERIFY(!view().isPopupOpen());
        cancelIt = false;
        clickHotspot(view(), 1, 2);
        QCOMPARE(events, 2);
        QTRY_VERIFY(view().isPopupOpen());
        QCOMPARE(view().TopicIndex(), 0);
        // Esc closes it.
        QTest::keyClick(view().popupWindow(), Qt::Key_Escape);
        QTRY_VERIFY(!view().isPopupOpen());
    }

    void popupOpensAndClosesByCallAndByClickOutside()
    {
        view().setBackColorPopup(13690848);
        QCOMPARE(view().PopupTopic(4), 0);
        QTRY_VERIFY(view().isPopupOpen());
        auto *region = view().popupWindow()->findChild<RegionView *>();
        QVERIFY(region);
        QVERIFY(region->toPlainText().contains(QStringLiteral("A card shown in a popup")));
        QCOMPARE(region->palette().color(QPalette::Base), QColor(0xE0, 0xE7, 0xD0));
        QCOMPARE(view().PopupTopic(-1), 0);
        QTRY_VERIFY(!view().isPopupOpen());

        view().PopupTopic(4);
        QTRY_VERIFY(view().isPopupOpen());
        QWidget *popup = view().popupWindow();
        QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(-20, -20));
        QTRY_VERIFY(!view().isPopupOpen());
        QCOMPARE(view().PopupTopic(999), kErrNoTopic);
    }

    void hotspotsInsideAPopupRaiseEventsOnTheOwner()
    {
        view().PopupTopic(4);
        QTRY_VERIFY(view().isPopupOpen());
        auto *region = view().popupWindow()->findChild<RegionView *>();
        QList<int> types;
        connect(&view(), &TopicView::HotspotClicked, this,
                [&](int type, const HotspotTarget &, bool *) { types << type; });
        QTest::mouseClick(region->viewport(), Qt::LeftButton, {}, region->spanRect(0).center() + QPoint(2, 0));
        QCOMPARE(types, QList<int>{2});
        QCOMPARE(view().TopicData(), QStringLiteral("120351a"));
        QTRY_VERIFY(!view().isPopupOpen());
    }

    void focusStepsThroughHotspotsAndRunsOut()
    {
        TVError err;
        TVHotspotInfo info;
        QVERIFY(!fTVFocusInfo(view().lpTVSR(), &info, &err));
        QCOMPARE(err.code, long(kErrNoFocusedHotspot));
        QList<long> ids;
        for (int i = 0; i < 5; ++i) {
            QVERIFY(fTVMoveFocus(view().lpTVSR(), -1, &err));
            QVERIFY(fTVFocusInfo(view().lpTVSR(), &info, &err));
            QCOMPARE(err.code, 0L);
            ids << info.field[1];
        }
        QCOMPARE(ids, (QList<long>{2, 3, 4, 5, 6}));
        // One more step runs the focus out of the region.
        fTVMoveFocus(view().lpTVSR(), -1, &err);
        QVERIFY(!fTVFocusInfo(view().lpTVSR(), &info, &err));
        QCOMPARE(err.code, long(kErrNoFocusedHotspot));
        // The NSR has its own focus.
        fTVMoveFocus(view().lpTVNSR(), -1, &err);
        QVERIFY(fTVFocusInfo(view().lpTVNSR(), &info, &err));
        QCOMPARE(info.field[1], 1L);
    }

    void enterOnAFocusedHotspotActivatesIt()
    {
        TVError err;
        for (int i = 0; i < 5; ++i)
            fTVMoveFocus(view().lpTVSR(), -1, &err); // the jump to "Deep"
        QList<int> types;
        connect(&view(), &TopicView::HotspotClicked, this,
                [&](int type, const HotspotTarget &, bool *) { types << type; });
        QTest::keyClick(view().regionView(1), Qt::Key_Return);
        QCOMPARE(types, QList<int>{2});
        QCOMPARE(view().TopicIndex(), 3);
    }

    void placeIsRestoredAfterAZoomChange()
    {
        view().resize(360, 260);
        view().JumpContext(QStringLiteral("Long"));
        const long va = view().TopicVA();
        QCOMPARE(view().JumpToAddress(va, 400), 0);
        QCOMPARE(view().TopicScroll(), 400L);
        RegionView *sr = view().regionView(1);
        const int before = sr->verticalScrollBar()->value();
        view().setFontZoom(200);
        QCOMPARE(view().FontZoom(), 200);
        QCOMPARE(view().TopicScroll(), 400L);
        QVERIFY(sr->verticalScrollBar()->value() > before); // larger text, same place further down
        // The text at the top of the pane is the line holding position 400.
        const int top = sr->cursorForPosition(QPoint(2, 2)).position();
        QVERIFY2(top <= 400 && 400 - top < 60, qPrintable(QString::number(top)));
        view().setFontZoom(50);
        QCOMPARE(view().TopicScroll(), 400L);
        // A scroll by the reader moves the place.
        sr->verticalScrollBar()->setValue(0);
        QCOMPARE(view().TopicScroll(), 0L);
    }

    void topicShownWhileHiddenStartsAtItsTop()
    {
        TopicView hidden;
        hidden.resize(400, 300);
        hidden.setViewTitle(kFixture);
        hidden.JumpContext(QStringLiteral("Long"));
        QCOMPARE(hidden.TopicScroll(), 0L);
        hidden.show();
        QVERIFY(QTest::qWaitForWindowExposed(&hidden));
        QCOMPARE(hidden.TopicScroll(), 0L);
        QCOMPARE(hidden.regionView(1)->verticalScrollBar()->value(), 0);
    }

    void copySelectionPutsPlainAndRichText()
    {
        QApplication::clipboard()->setText(QStringLiteral("before"));
        QCOMPARE(view().CopySelection(2), 0);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before")); // nothing selected
        view().setTopicIndex(1);
        QVERIFY(!view().HasSelection());
        RegionView *sr = view().regionView(1);
        QTextCursor c = sr->textCursor();
        c.setPosition(0);
        c.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
        c.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
        c.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
        sr->setTextCursor(c);
        QVERIFY(view().HasSelection());
        QCOMPARE(view().CopySelection(2), 0);
        const QMimeData *mime = QApplication::clipboard()->mimeData();
        QCOMPARE(mime->text(), QStringLiteral("Caro Luigi"));
        QVERIFY(mime->hasHtml());
        QVERIFY(mime->html().contains(QStringLiteral("Luigi")));
        TVError err;
        QVERIFY(fTVClearSelection(view().lpTVSR(), &err));
        QVERIFY(!view().HasSelection());
    }

    void printsToPdfWithTheMargins()
    {
        const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
        QVERIFY2(!pdfinfo.isEmpty(), "poppler-utils must be installed");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("topic.pdf"));
        view().setLeftMargin(1.0);
        view().setTopMargin(1.5);
        view().setRightMargin(0.5);
        view().setBottomMargin(0.5);
        QString docName;
        view().setPrintDialog([&](QPrinter &p) {
            docName = p.docName();
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdf);
            p.setPageSize(QPageSize(QPageSize::A4));
            return true;
        });
        QCOMPARE(view().PrintTopic(1), 0);
        QVERIFY(QFile::exists(pdf));
        // The job and the proposed file are named after the letter as shown:
        // its kind mark, and any slash, would make the name a path.
        QCOMPARE(docName, QStringLiteral("12 marzo 1851, a Luigi"));
        QCOMPARE(TopicView::printDocumentName(QStringLiteral("*Libro 1/2 \\ bis")), QStringLiteral("Libro 1-2 - bis"));
        QCOMPARE(TopicView::printDocumentName(QStringLiteral("/")), QStringLiteral("topic"));

        QProcess info;
        info.start(pdfinfo, {pdf});
        QVERIFY(info.waitForFinished());
        const QString infoText = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(infoText.contains(QStringLiteral("Page size:       595 x 842 pts")), qPrintable(infoText));

        const auto words = folium::testing::pdfWords(pdf);
        QVERIFY(folium::testing::pdfHasWord(words, QStringLiteral("Luigi")));
        QVERIFY(folium::testing::pdfHasWord(words, QStringLiteral("Torino,")));
        // The leftmost and topmost words sit at the margins (72 pt per inch).
        const QPointF origin = folium::testing::pdfTextOrigin(words);
        QVERIFY2(std::abs(origin.x() - 72.0) < 4, qPrintable(QString::number(origin.x())));
        QVERIFY2(origin.y() >= 108.0 && origin.y() < 108.0 + 12, qPrintable(QString::number(origin.y())));

        // A cancelled dialog prints nothing.
        view().setPrintDialog([](QPrinter &) { return false; });
        QCOMPARE(view().PrintTopic(1), kErrPrint);
    }

    void mouseAndFocusEvents()
    {
        QSignalSpy downSr(&view(), &TopicView::MouseDownSR);
        QSignalSpy upSr(&view(), &TopicView::MouseUpSR);
        QSignalSpy downNsr(&view(), &TopicView::MouseDownNSR);
        QSignalSpy upNsr(&view(), &TopicView::MouseUpNSR);
        QTest::mouseClick(view().regionView(1)->viewport(), Qt::RightButton, Qt::ShiftModifier, QPoint(30, 80));
        QCOMPARE(downSr.count(), 1);
        QCOMPARE(upSr.count(), 1);
        QCOMPARE(downSr.at(0).at(0).toInt(), 2); // right button
        QCOMPARE(downSr.at(0).at(1).toInt(), 1); // Shift
        QCOMPARE(downSr.at(0).at(2).toInt(), 30);
        QTest::mouseClick(view().regionView(0)->viewport(), Qt::LeftButton, {}, QPoint(300, 5));
        QCOMPARE(downNsr.count(), 1);
        QCOMPARE(upNsr.count(), 1);
        QCOMPARE(downNsr.at(0).at(0).toInt(), 1);

        QWidget other;
        other.setFocusPolicy(Qt::StrongFocus);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QApplication::setActiveWindow(&other);
        other.setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), &other);
        QSignalSpy got(&view(), &TopicView::GotFocus);
        QSignalSpy lost(&view(), &TopicView::LostFocus);
        QApplication::setActiveWindow(&view());
        view().regionView(1)->setFocus();
        QTRY_COMPARE(got.count(), 1);
        view().regionView(0)->setFocus(); // moving inside the pane is no change
        QCOMPARE(got.count(), 1);
        QCOMPARE(lost.count(), 0);
        QApplication::setActiveWindow(&other);
        other.setFocus();
        QTRY_COMPARE(lost.count(), 1);
        QCOMPARE(got.count(), 1);
        QCOMPARE(hwndTVGetWindow(view().lpTVSR()), view().regionView(1)->viewport());
    }

    void imagesComeFromTheTitle()
    {
        const QTextDocument *doc = view().regionView(1)->document();
        const QVariant img = doc->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("seal.png")));
        QVERIFY(img.isValid());
        QCOMPARE(img.value<QImage>().size(), QSize(24, 16));
    }
};

QTEST_MAIN(TestTopicView)
#include "tst_topicview.moc"
