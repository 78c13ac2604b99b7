// The main frame as a user finds it: the menu tree with its captions,
// shortcuts and states, the toolbar, and the interface strings of each
// language applied to both.
#include "dao.h"
#include "dialogs.h"
#include "interface_strings.h"
#include "mdiform1.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>

using namespace folium;
using folium::forms::MDIForm1;

namespace {

QStringList names(const QList<QAction *> &actions)
{
    QStringList out;
    for (QAction *a : actions)
        out << a->objectName();
    return out;
}

config::InterfaceStrings stringsOf(const QString &language)
{
    int err = 0;
    auto db = db::Database::OpenDatabase(QStringLiteral(FOLIUM_RUNTIME_DIR "/FL.mdb"), &err);
    config::InterfaceStrings s;
    if (db)
        s.load(*db, language);
    return s;
}

} // namespace

class TestMdiForm1 : public QObject {
    Q_OBJECT

private slots:
    void menuTree()
    {
        MDIForm1 f;
        QCOMPARE(names(f.menuBar()->actions()), (QStringList{"File", "Modifica", "Esplora", "Visualizza", "Aiuto"}));
        QCOMPARE(names(f.menu("File")->actions()),
                 (QStringList{"Apri", "ImportaTei", "ReimportaTei", "Stampa", "Sep0", "Esci", "Sep1", "TexteOuvert_0",
                              "TexteOuvert_1", "TexteOuvert_2", "TexteOuvert_3"}));
        QCOMPARE(names(f.menu("Esplora")->actions()),
                 (QStringList{"HomePage", "Reprise", "Sep4", "Back", "Next", "Sep5", "Risultati_back", "Risultati_next",
                              "Sep6", "CronoBack", "CronoNext", "Sep13", "IndiciMenu"}));
        QCOMPARE(names(f.menu("IndiciMenu")->actions()),
                 (QStringList{"Analitico", "Nomi", "Localita", "Destinatari", "Sinottico"}));
        QCOMPARE(names(f.menu("Zoom")->actions()),
                 (QStringList{"Cinquanta", "Settantacinque", "Cento", "Centocinquanta", "Duecento"}));
        QCOMPARE(f.menu("File")->title(), QStringLiteral("&Fichier"));
        QCOMPARE(f.item("Back")->text(), QStringLiteral("Page pr\u00e9c\u00e9dante"));
        QVERIFY(!f.item("TexteOuvert_0")->isVisible());
        // The help items are the context menu's; deleting a bookmark is the
        // Edit menu's only.
        QCOMPARE(names(f.menu("Modifica")->actions()),
                 (QStringList{"Copia", "Sep2", "BookmarkNuovo", "BookmarkApri", "BookmarkSalva", "BookmarkSalvaSous",
                              "Bookmarkadd", "Bookmarkdel", "Sep3", "Opzioni"}));
        QCOMPARE(names(f.contextMenu()->actions()),
                 (QStringList{"Copia", "Sep", "GuidaRapida", "Guida2", "Sep2", "BookmarkNuovo", "BookmarkApri",
                              "BookmarkSalva", "BookmarkSalvaSous", "Bookmarkadd", "Sep3", "Opzioni"}));
    }

    void aNameLooksUpItsActionAndOnlyItsOwn()
    {
        MDIForm1 f;
        for (int i = 0; i < forms::ItemName::count; ++i)
            QCOMPARE(f.item(forms::ItemName::at(i))->objectName(), forms::ItemName::at(i).toString());
        for (int i = 0; i < forms::ButtonName::count; ++i)
            QCOMPARE(f.button(forms::ButtonName::at(i))->objectName(), forms::ButtonName::at(i).toString());
        for (int i = 0; i < forms::MenuName::count; ++i)
            QCOMPARE(f.menu(forms::MenuName::at(i))->objectName(), forms::MenuName::at(i).toString());
        QVERIFY(forms::ItemName::find(u"Apri").has_value());
        QVERIFY(!forms::ItemName::find(u"Bookmarkdell").has_value());
        QVERIFY(!forms::ButtonName::find(u"Segnalibri").has_value()); // an item's name, not a button's
        QCOMPARE(f.lastUsedEntry(3), f.item("TexteOuvert_3"));
    }

    void initialStatesAndShortcuts()
    {
        MDIForm1 f;
        for (forms::ItemName n :
             forms::ItemList{"Copia", "BookmarkNuovo", "BookmarkSalva", "BookmarkSalvaSous", "Bookmarkdel", "Back",
                             "Next", "Risultati_back", "Risultati_next", "CronoBack", "CronoNext", "Cerca",
                             "Risultati_cerca", "Cronologia", "Segnalibri"})
            QVERIFY2(!f.item(n)->isEnabled(), qPrintable(n.toString()));
        QVERIFY(f.item("Apri")->isEnabled());
        QVERIFY(f.item("Evidenziatore")->isChecked());
        QVERIFY(f.item("Cento")->isChecked());
        QVERIFY(!f.item("Cinquanta")->isChecked());
        // Ctrl+F2 is the 50 % zoom; F2 alone is the search panel.
        QCOMPARE(f.item("Cinquanta")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F2));
        QCOMPARE(f.item("Cerca")->shortcut(), QKeySequence(Qt::Key_F2));
        QCOMPARE(f.item("Analitico")->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F2));
        QCOMPARE(f.item("CronoNext")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
        QCOMPARE(f.Timer1()->interval(), 1000);
        QVERIFY(!f.Timer1()->isActive());
    }

    // Each toolbar button can be read and seen, is its own (one name, one
    // command), and tells which it is when pressed.
    void toolbarButtonsAreNamedDrawnAndTellWhichTheyAre()
    {
        MDIForm1 f;
        QSignalSpy buttons(&f, &MDIForm1::toolbarButtonClicked);
        QSet<QString> seen;
        int count = 0;
        for (QAction *b : f.Toolbar()->actions()) {
            if (b->isSeparator())
                continue;
            ++count;
            const QString name = b->objectName();
            QVERIFY2(!seen.contains(name), qPrintable(name));
            seen.insert(name);
            QVERIFY2(forms::ButtonName::find(name) && f.button(*forms::ButtonName::find(name)) == b, qPrintable(name));
            QVERIFY2(!b->text().isEmpty(), qPrintable(name)); // screen readers read it
            QVERIFY2(!b->icon().pixmap(48, 48).isNull(), qPrintable(name));
            b->setEnabled(true); // some start disabled, waiting for a title
            b->trigger();
            QCOMPARE(buttons.last().value(0).toString(), name);
        }
        QCOMPARE(buttons.size(), count);
        QVERIFY(f.button("Sommario")->isCheckable());
        QSignalSpy items(&f, &MDIForm1::menuItemTriggered);
        f.item("Nomi")->trigger();
        QCOMPARE(items.value(0).value(0).toString(), QStringLiteral("Nomi"));
    }

    void dialogFilters()
    {
        QCOMPARE(config::qtFilter(QStringLiteral("Titles (*.m14)|*.m14")), QStringLiteral("Titles (*.m14)"));
        QCOMPARE(config::qtFilter(QStringLiteral("File option (*.mdb)|*.mdb|All|*.*")),
                 QStringLiteral("File option (*.mdb);;All (*.*)"));
        QCOMPARE(config::qtFilter(QStringLiteral("Titles|*.m14;*.M14")), QStringLiteral("Titles (*.m14 *.M14)"));
    }

    void stringsOfEachLanguageWithTheSameHints()
    {
        MDIForm1 f;
        QStringList files;
        for (const QString &lang :
             {QStringLiteral("English"), QStringLiteral("Italiano"), QStringLiteral("Fran\u00e7ais")}) {
            const config::InterfaceStrings s = stringsOf(lang);
            QCOMPARE(s.size(), 177);
            f.applyInterfaceStrings(s);
            QCOMPARE(f.menu("Visualizza")->title(), s.text(QStringLiteral("MENU"), 18));
            QCOMPARE(f.item("Apri")->text(), s.text(QStringLiteral("MENU"), 2));
            // Tooltips carry the text without its access key, and the same hints in every language.
            const auto tip = [&s](int n) { return s.text(QStringLiteral("MENU"), n).remove(u'&'); };
            QCOMPARE(f.button("Apri")->toolTip(), tip(2) + " (Ctrl-O)");
            QCOMPARE(f.button("Highlight")->toolTip(), tip(26) + " On/Off (Ctrl-E)");
            QCOMPARE(f.button("Zoom")->toolTip(), tip(29) + " (Ctrl-F2 - Ctrl-F6)");
            QCOMPARE(f.button("BookmarkApri")->toolTip(), tip(45));
            QVERIFY(!f.button("Cerca")->toolTip().contains(u'&'));
            QCOMPARE(f.item("Guida")->text(), s.text(QStringLiteral("MENU"), 30));
            QCOMPARE(f.item("Guida2")->text(), s.text(QStringLiteral("MENU"), 30));
            QCOMPARE(f.indexButtonRandomTip(), tip(32) + " (F10)");
            QCOMPARE(f.indexButtonMenuTip(), tip(38));
            files << f.menu("Visualizza")->title();
        }
        QCOMPARE(QSet<QString>(files.begin(), files.end()).size(), 3);
    }
};

QTEST_MAIN(TestMdiForm1)
#include "tst_mdiform1.moc"
