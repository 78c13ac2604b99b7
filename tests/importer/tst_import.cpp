// Importing a TEI edition through the real window: the File menu (its
// dialog answered by the scripted dialogs), a folder dropped on the window,
// an import cancelled midway, one with a bad letter, one that fails, and
// Import again once the edition's folder has changed.
#include "edition_import.h"
#include "importer.h"
#include "running_program.h"
#include "source_record.h"

#include <QDirIterator>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QUrl>

using namespace folium;
using importer::EditionImport;

namespace {

const QString kEdition = QStringLiteral(FOLIUM_FIXTURE_SRC "/tei/edition");

void copyFolder(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(it.filePath());
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(it.filePath(), target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    }
}

struct Importing : testing::RunningProgram {
    QTemporaryDir editions, sources;
    Importing()
    {
        start();
        if (p)
            p->importer()->editionsFolder = editions.path();
    }
    // A copy of the fixture edition, to change at will.
    QString edition(const QString &name = QStringLiteral("Carteggio")) const
    {
        const QString folder = sources.filePath(name);
        copyFolder(kEdition, folder);
        return folder;
    }
    bool finished() const { return !p->importer()->running(); }
    QStringList editionsListed() const
    {
        return QDir(editions.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    QString shown() const { return main()->ViewTitle(); }
    void trigger(forms::ItemName item) { p->mainFrame()->item(item)->trigger(); }
};

} // namespace

class TestImport : public QObject {
    Q_OBJECT
private slots:
    void anEditionImportedThroughTheMenuOpens()
    {
        Importing r;
        QVERIFY(r.p);
        const QString folder = r.edition();
        QVERIFY(!r.p->mainFrame()->item("ReimportaTei")->isEnabled()); // the fixture title was not imported
        r.dialogs.imports = {{folder, QString()}};
        r.trigger("ImportaTei");
        QVERIFY(r.dialogs.shown.back().isImportDialog);
        QCOMPARE(r.dialogs.shown.back().title, r.text("IMPT", 1));
        QProgressDialog *progress = r.p->importer()->progressWindow();
        QVERIFY(progress && progress->isVisible());
        QVERIFY(progress->accessibleName().contains(QStringLiteral("Carteggio")));
        QVERIFY(!progress->findChild<QProgressBar *>()->accessibleName().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(r.finished(), 60000);
        const QString m14 = r.editions.filePath(QStringLiteral("Carteggio/Carteggio.m14"));
        QTRY_COMPARE(r.shown(), m14);
        QVERIFY(!progress->isVisible());
        QCOMPARE(r.editionsListed(), QStringList{QStringLiteral("Carteggio")}); // nothing half-made beside it
        QVERIFY(QFileInfo::exists(r.editions.filePath(QStringLiteral("Carteggio/Carteggio.mdb"))));
        QCOMPARE(r.p->title.lastFiles.captions.value(0).mid(3), m14);
        QVERIFY(!r.p->importer()->problemsWindow() || !r.p->importer()->problemsWindow()->isVisible());
        // It remembers where it came from.
        const importer::SourceRecord record = r.p->importer()->sourceShown();
        QCOMPARE(record.folder, QFileInfo(folder).absoluteFilePath());
        QCOMPARE(int(record.files.size()), 11);
        QVERIFY(r.p->mainFrame()->item("ReimportaTei")->isEnabled());
        // A cancelled dialog imports nothing.
        r.trigger("ImportaTei");
        QVERIFY(r.finished());
        QCOMPARE(r.shown(), m14);
    }

    // Cancelled midway, an import leaves nothing: neither a new edition nor
    // a change to one imported before; the title shown stays.
    void aCancelledImportLeavesNothing()
    {
        Importing r;
        QVERIFY(r.p);
        const QString first = r.main()->ViewTitle();
        const QString folder = r.edition();
        r.p->importer()->starting = [](EditionImport *job) {
            job->beforeFile = [job](int done) {
                if (done == 3)
                    job->cancel();
            };
        };
        r.p->importer()->importFolder(folder);
        QTRY_VERIFY_WITH_TIMEOUT(r.finished(), 60000);
        QCOMPARE(r.shown(), first);
        QCOMPARE(r.editionsListed(), QStringList());
        // What an import killed midway left is cleared by the next one.
        QVERIFY(QDir().mkpath(r.editions.filePath(QStringLiteral(".Carteggio-abc123/part"))));

        // Imported whole, then again and cancelled: the edition is as it was.
        r.p->importer()->starting = nullptr;
        r.p->importer()->importFolder(folder);
        QTRY_VERIFY_WITH_TIMEOUT(r.finished(), 60000);
        const QString m14 = r.editions.filePath(QStringLiteral("Carteggio/Carteggio.m14"));
        QTRY_COMPARE(r.shown(), m14);
        const QDateTime made = QFileInfo(m14).lastModified();
        QFile::remove(folder + QStringLiteral("/01/001.xml"));
        r.p->importer()->starting = [&r](EditionImport *job) {
            QObject::connect(job, &EditionImport::progress, r.p->importer(), [&r](int done) {
                if (done == 2) // the Cancel button
                    r.p->importer()->progressWindow()->findChild<QPushButton *>()->click();
            });
            job->beforeFile = [](int) { QThread::msleep(50); };
        };
        r.trigger("ReimportaTei");
        QTRY_VERIFY(!r.p->importer()->progressWindow()->isVisible()); // given back at once
        QTRY_VERIFY_WITH_TIMEOUT(r.finished(), 60000);
        QCOMPARE(r.editionsListed(), QStringList{QStringLiteral("Carteggio")});
        QCOMPARE(QFileInfo(m14).lastModified(), made);
        QCOMPARE(r.shown(), m14);
    }

    // A letter that cannot be read is left out, and said: the problems are
    // listed, with their file and line, and the title opens without it.
    void aBadLetterIsListedAndTheRestOpens()
    {
        Importing r;
        QVERIFY(r.p);
        const QString folder = r.edition();
        QFile bad(folder + QStringLiteral("/02/broken.xml"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("<?xml version=\"1.0\"?>\n<TEI xmlns=\"http://www.tei-c.org/ns/1.0\">\n<text><body><p>open\n");
        bad.close();
        r.dialogs.imports = {{folder, QString()}};
        r.trigger("ImportaTei");
        QTRY_VERIFY_WITH_TIMEOUT(r.finished(), 60000);
        QTRY_COMPARE(r.shown(), r.editions.filePath(QStringLiteral("Carteggio/Carteggio.m14")));
        QDialog *problems = r.p->importer()->problemsWindow();
        QVERIFY(problems && problems->isVisible());
        const QString listed = r.p->importer()->problemsText()->toPlainText();
        QVERIFY2(listed.contains(QRegularExpression(QStringLiteral("broken\\.xml:\\d+: "))), qPrintable(listed));
        QVERIFY(!r.p->importer()->problemsText()->accessibleName().isEmpty());
        QVERIFY(problems->findChild<QLabel *>()->text().startsWith(QStringLiteral("1 ")));
    }

    // An import that cannot make a title says so; the title shown stays.
    void aFailedImportChangesNothing()
    {
        Importing r;
        QVERIFY(r.p);
        const QString first = r.shown();
        const QString folder = r.edition();
        QFile map(r.sources.filePath(QStringLiteral("map.xml")));
        QVERIFY(map.open(QIODevice::WriteOnly));
        map.write("<tei-mapping>\n  <nonsense/>\n</tei-mapping>\n");
        map.close();
        r.dialogs.imports = {{folder, map.fileName()}};
        r.dialogs.shown.clear();
        r.trigger("ImportaTei");
        QTRY_VERIFY_WITH_TIMEOUT(r.finished(), 60000);
        QTRY_VERIFY(r.p->importer()->problemsWindow() && r.p->importer()->problemsWindow()->isVisible());
        QCOMPARE(r.dialogs.shown.back().text, r.text("IMPT", 11));
        QVERIFY2(r.p->importer()->problemsText()->toPlainText().contains(QStringLiteral("map.xml:2")),
                 qPrintable(r.p->importer()->problemsText()->toPlainText()));
        QCOMPARE(r.shown(), first);
        QCOMPARE(r.editionsListed(), QStringList());
        // A folder without letters is refused before anything starts.
        r.p->importer()->importFolder(r.sources.filePath(QStringLiteral("nothing")));
        QCOMPARE(r.dialogs.shown.back().text.section(u'\n', 0, 0), r.text("IMPT", 15));
        QVERIFY(r.finished());
    }

    // Once its folder has changed, opening the title says so, and Import
    // again makes it anew; a folder dropped on the window is imported too.
    void importAgainAndDrop()
    {
        Importing r;
        QVERIFY(r.p);
        const QString folder = r.edition();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(folder)});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(r.p->mainFrame(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(r.p->mainFrame(), &drop);
        QVERIFY(drop.isAccepted());
        QTRY_VERIFY_WITH_TIMEOUT(r.finished(), 60000);
        const QString m14 = r.editions.filePath(QStringLiteral("Carteggio/Carteggio.m14"));
        QTRY_COMPARE(r.shown(), m14);
        QVERIFY(!importer::sourceChanged(r.p->importer()->sourceShown()));
        QVERIFY(r.p->mainFrame()->statusBar()->currentMessage() != r.text("IMPT", 14));

        QVERIFY(QFile::copy(folder + QStringLiteral("/01/001.xml"), folder + QStringLiteral("/01/007.xml")));
        r.p->importer()->titleOpened(m14);
        QCOMPARE(r.p->mainFrame()->statusBar()->currentMessage(), r.text("IMPT", 14));
        QVERIFY(r.dialogs.shown.empty() || !r.dialogs.shown.back().isImportDialog); // a notice, no question
        r.trigger("ReimportaTei");
        QTRY_VERIFY_WITH_TIMEOUT(r.finished(), 60000);
        QTRY_COMPARE(int(r.p->importer()->sourceShown().files.size()), 12);
        QCOMPARE(r.shown(), m14);
        QVERIFY(!importer::sourceChanged(r.p->importer()->sourceShown()));
        QCOMPARE(r.editionsListed(), QStringList{QStringLiteral("Carteggio")});
    }
};

QTEST_MAIN(TestImport)
#include "tst_import.moc"
