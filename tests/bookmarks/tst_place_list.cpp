// The list of places the history and the bookmarks keep, without the
// windows: rows in and out, a place refreshed, a name typed in place, and a
// bookmark file written from a list and read back into another.
#include "bookmark_file.h"
#include "bookmarks.h"
#include "item_roles.h"
#include "place_list.h"
#include "results_model.h"
#include "title_file.h"
#include "topic_display.h"

#include <QMap>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace folium;
using engine::ListedPlace;
using engine::Place;
using forms::PlaceList;

class TestPlaceList : public QObject {
    Q_OBJECT
private slots:
    void rowsCarryTheirPlaceAndImage()
    {
        PlaceList list(false);
        QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
        list.insert(0, {8, QStringLiteral("12 marzo 1851"), Place{4, 0x1000, 30}});
        list.insert(0, {3, QStringLiteral("Home"), Place{0, 0x10, 0}});
        list.insert(99, {2, QStringLiteral("Long chapter"), Place{7, 0x2000, 0}}); // past the end: appended
        QCOMPARE(inserted.size(), 3);
        QCOMPARE(list.rowCount(), 3);
        QCOMPARE(list.index(0).data().toString(), QStringLiteral("Home"));
        QCOMPARE(list.index(1).data(forms::ImageRole).toInt(), 8);
        QCOMPARE(list.index(1).data(forms::PlaceRole).value<Place>(), (Place{4, 0x1000, 30}));
        QVERIFY(!list.index(1).data(Qt::DecorationRole).value<QIcon>().isNull());
        QCOMPARE(list.rowOfTopic(7), 2);
        QCOMPARE(list.rowOfTopic(5), -1);
        QCOMPARE(list.at(-1), ListedPlace{}); // out of range: an empty row, never a crash
        QCOMPARE(list.at(3), ListedPlace{});
        list.remove(0);
        list.remove(10);
        QCOMPARE(list.rowCount(), 2);
        QCOMPARE(list.at(0).text, QStringLiteral("12 marzo 1851"));
        // The history's rows are not renamed.
        QVERIFY(!(list.flags(list.index(0)) & Qt::ItemIsEditable));
        QVERIFY(!list.setData(list.index(0), QStringLiteral("x"), Qt::EditRole));
    }

    // A row refreshed with the place left keeps its topic: a note's row is
    // refreshed with its letter's place and must still reopen the note.
    void aPlaceRefreshedKeepsTheRowsTopic()
    {
        PlaceList list(false);
        list.insert(0, {7, QStringLiteral("Nota 2"), Place{12, 0x3000, 0}});
        QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
        list.setPlace(0, Place{11, 0x2f00, 140});
        QCOMPARE(list.at(0).place, (Place{12, 0x2f00, 140}));
        QCOMPARE(changed.size(), 1);
        list.setPlace(5, Place{1, 1, 1}); // no such row
        QCOMPARE(changed.size(), 1);
    }

    void aBookmarkIsRenamedInPlace()
    {
        PlaceList list(true);
        list.setRows({{8, QStringLiteral("12 marzo 1851"), Place{4, 0x1000, 0}}});
        QSignalSpy edited(&list, &PlaceList::edited);
        QVERIFY(list.flags(list.index(0)) & Qt::ItemIsEditable);
        QVERIFY(list.setData(list.index(0), QStringLiteral("  La lettera del gatto "), Qt::EditRole));
        QCOMPARE(list.at(0).text, QStringLiteral("La lettera del gatto"));
        QCOMPARE(edited.size(), 1);
        // An empty name, or the same one, changes nothing and is no edit.
        QVERIFY(!list.setData(list.index(0), QStringLiteral("   "), Qt::EditRole));
        QVERIFY(!list.setData(list.index(0), QStringLiteral("La lettera del gatto"), Qt::EditRole));
        QCOMPARE(list.at(0).text, QStringLiteral("La lettera del gatto"));
        QCOMPARE(edited.size(), 1);
    }

    // The history, the bookmarks and the results show a topic the same way:
    // one icon per kind, known by the title's first characters, and the
    // title without its mark.
    void everyListShowsATopicAlike()
    {
        const QStringList titles{"/12 marzo 1851",
                                 "*Prefazione",
                                 "Home \u2013 Lettere",
                                 "&Indice dei nomi",
                                 "Nota 2 \u2013 a Luigi",
                                 "Note 3",
                                 "Preface",
                                 "/",
                                 "&",
                                 "Home"};
        QMap<int, QString> kindOfIcon;
        for (const QString &title : titles) {
            const reader::ListedTitle history = reader::listedTitle(title);
            const bookmarks::BookmarkEntry bookmark = bookmarks::bookmarkEntry(title);
            const search::ResultEntry result = search::resultEntry(title, 7);
            QCOMPARE(bookmark.icon, history.icon);
            QCOMPARE(result.icon, history.icon);
            QCOMPARE(bookmark.text, history.text);
            QCOMPARE(result.text, history.text);
            QVERIFY2(!title.startsWith(u'/') || history.text == title.mid(1), qPrintable(title));
            // No two kinds share an icon.
            const auto kind = QString::number(int(engine::topicKindOf(title)));
            QVERIFY2(kindOfIcon.value(history.icon, kind) == kind, qPrintable(title));
            kindOfIcon[history.icon] = kind;
        }
        QCOMPARE(kindOfIcon.size(), 6);
        QVERIFY(reader::isNoteTitle(QStringLiteral("Nota 2")) && reader::isNoteTitle(QStringLiteral("Note 2")));
        QVERIFY(!reader::isNoteTitle(QStringLiteral("Preface")));
        // A plain title whose second character is a blank is shown indented
        // among the bookmarks, as its row was written.
        QCOMPARE(bookmarks::bookmarkEntry(QStringLiteral("A b")).text, QStringLiteral(" A b"));
    }

    void aListSavedIsReadBackWithItsPlaces()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.bkm"));
        PlaceList saved(true);
        saved.setRows({{8, QStringLiteral("12 marzo 1851"), Place{4, 0x1000, 30}},
                       {2, QStringLiteral("Long chapter"), Place{7, 0x7fffffff, 123456}},
                       {7, QStringLiteral("Nota 2 \u2013 a Luigi"), Place{12, 0x3000, 0}}});
        QCOMPARE(bookmarks::writeBookmarkFile(path, QStringLiteral("lettere"), saved.rows()), 0);
        QString codice;
        std::vector<bookmarks::Bookmark> read;
        QCOMPARE(bookmarks::readBookmarkFile(path, &codice, &read), 0);
        PlaceList back(true);
        back.setRows(read);
        QCOMPARE(codice, QStringLiteral("lettere"));
        QCOMPARE(back.rows(), saved.rows());
    }
};

QTEST_MAIN(TestPlaceList)
#include "tst_place_list.moc"
