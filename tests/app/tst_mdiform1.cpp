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
        QCOMPARE(names(f.menu(QStringLiteral("File"))->actions()),
                 (QStringList{"Apri", "Stampa", "Sep0", "Esci", "Sep1", "TexteOuvert_0", "TexteOuvert_1",
                              "TexteOuvert_2", "TexteOuvert_3"}));
        QCOMPARE(names(f.menu(QStringLiteral("Esplora"))->actions()),
                 (QStringList{"HomePage", "Reprise", "Sep4", "Back", "Next", "Sep5", "Risultati_back", "Risultati_next",
                              "Sep6", "CronoBack", "CronoNext", "Sep13", "IndiciMenu"}));
        QCOMPARE(names(f.menu(QStringLiteral("IndiciMenu"))->actions()),
                 (QStringList{"Analitico", "Nomi", "Localita", "Destinatari", "Sinottico"}));
        QCOMPARE(names(f.menu(QStringLiteral("Zoom"))->actions()),
                 (QStringList{"Cinquanta", "Settantacinque", "Cento", "Centocinquanta", "Duecento"}));
        QCOMPARE(f.menu(QStringLiteral("File"))->title(), QStringLiteral("&Fichier"));
        QCOMPARE(f.item(QStringLiteral("Back"))->text(), QStringLiteral("Page pr\u00e9c\u00e9dante"));
        QVERIFY(!f.item(QStringLiteral("TexteOuvert_0"))->isVisible());
        QVERIFY(!f.item(QStringLiteral("GuidaRapida"))->isVisible());
    }

    void initialStatesAndShortcuts()
    {
        MDIForm1 f;
        for (const char *n : {"Copia", "BookmarkNuovo", "BookmarkSalva", "BookmarkSalvaSous", "Bookmarkdel", "Back",
                              "Next", "Risultati_back", "Risultati_next", "CronoBack", "CronoNext", "Cerca",
                              "Risultati_cerca", "Cronologia", "Segnalibri"})
            QVERIFY2(!f.item(QString::fromLatin1(n))->isEnabled(), n);
        QVERIFY(f.item(QStringLiteral("Apri"))->isEnabled());
        QVERIFY(f.item(QStringLiteral("Evidenziatore"))->isChecked());
        QVERIFY(f.item(QStringLiteral("Cento"))->isChecked());
        QVERIFY(!f.item(QStringLiteral("Cinquanta"))->isChecked());
        // Ctrl+F2 is the 50 % zoom; F2 alone is the search panel.
        QCOMPARE(f.item(QStringLiteral("Cinquanta"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F2));
        QCOMPARE(f.item(QStringLiteral("Cerca"))->shortcut(), QKeySequence(Qt::Key_F2));
        QCOMPARE(f.item(QStringLiteral("Analitico"))->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F2));
        QCOMPARE(f.item(QStringLiteral("CronoNext"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
        QCOMPARE(f.Timer1()->interval(), 1000);
        QVERIFY(!f.Timer1()->isActive());
    }

    void toolbarKeysAndSignals()
    {
        MDIForm1 f;
        QCOMPARE(names(f.Toolbar()->actions()), MDIForm1::toolbarKeys());
        QCOMPARE(MDIForm1::toolbarKeys().size(), 28);
        for (const QString &k : MDIForm1::toolbarKeys()) {
            QVERIFY2(!f.button(k)->text().isEmpty(), qPrintable(k)); // screen readers read it
            QVERIFY2(!f.button(k)->icon().isNull(), qPrintable(k));
            QVERIFY2(!f.button(k)->icon().pixmap(48, 48).isNull(), qPrintable(k));
        }
        QVERIFY(f.button(QStringLiteral("Sommario"))->isCheckable());
        QSignalSpy buttons(&f, &MDIForm1::toolbarButtonClicked);
        QSignalSpy items(&f, &MDIForm1::menuItemTriggered);
        f.button(QStringLiteral("Avvio"))->trigger();
        f.item(QStringLiteral("Nomi"))->trigger();
        QCOMPARE(buttons.value(0).value(0).toString(), QStringLiteral("Avvio"));
        QCOMPARE(items.value(0).value(0).toString(), QStringLiteral("Nomi"));
    }

    void dialogFiltersAndTheScriptedDialogs()
    {
        QCOMPARE(config::qtFilter(QStringLiteral("Titles (*.m14)|*.m14")), QStringLiteral("Titles (*.m14)"));
        QCOMPARE(config::qtFilter(QStringLiteral("File option (*.mdb)|*.mdb|All|*.*")),
                 QStringLiteral("File option (*.mdb);;All (*.*)"));
        config::ScriptedDialogs d;
        d.answers = {config::Answer::No};
        d.files = {QStringLiteral("/x/a.m14")};
        QCOMPARE(d.message(nullptr, QStringLiteral("Save?"), QStringLiteral("T"), config::Icon::Exclamation,
                           config::Buttons::YesNoCancel),
                 config::Answer::No);
        QCOMPARE(d.file(nullptr, {QStringLiteral("Open"), QStringLiteral("/x"), QString(), QString(), false}),
                 QStringLiteral("/x/a.m14"));
        QCOMPARE(d.file(nullptr, {}), QString()); // nothing left: cancelled
        QCOMPARE(d.message(nullptr, QStringLiteral("Sure?"), QString(), config::Icon::Question, config::Buttons::YesNo),
                 config::Answer::Cancel);
        QCOMPARE(d.shown.size(), size_t(4));
        QCOMPARE(d.shown[0].icon, config::Icon::Exclamation);
        QVERIFY(d.shown[1].isFileDialog);
        QCOMPARE(d.shown[1].request.folder, QStringLiteral("/x"));
    }

    void stringsOfEachLanguageWithTheSameHints()
    {
        MDIForm1 f;
        QStringList files;
        for (const QString &lang :
             {QStringLiteral("English"), QStringLiteral("Italiano"), QStringLiteral("Fran\u00e7ais")}) {
            const config::InterfaceStrings s = stringsOf(lang);
            QCOMPARE(s.size(), 142);
            f.applyInterfaceStrings(s);
            QCOMPARE(f.menu(QStringLiteral("Visualizza"))->title(), s.text(QStringLiteral("MENU"), 18));
            QCOMPARE(f.item(QStringLiteral("Apri"))->text(), s.text(QStringLiteral("MENU"), 2));
            // Tooltips carry the text without its access key, and the same hints in every language.
            const auto tip = [&s](int n) { return s.text(QStringLiteral("MENU"), n).remove(u'&'); };
            QCOMPARE(f.button(QStringLiteral("Apri"))->toolTip(), tip(2) + " (Ctrl-O)");
            QCOMPARE(f.button(QStringLiteral("Highlight"))->toolTip(), tip(26) + " On/Off (Ctrl-E)");
            QCOMPARE(f.button(QStringLiteral("Zoom"))->toolTip(), tip(29) + " (Ctrl-F2 - Ctrl-F6)");
            QCOMPARE(f.button(QStringLiteral("BookmarkApri"))->toolTip(), tip(45));
            QVERIFY(!f.button(QStringLiteral("Cerca"))->toolTip().contains(u'&'));
            QCOMPARE(f.item(QStringLiteral("Guida"))->text(), s.text(QStringLiteral("MENU"), 30));
            QCOMPARE(f.item(QStringLiteral("Guida2"))->text(), s.text(QStringLiteral("MENU"), 30));
            QCOMPARE(f.indexButtonRandomTip(), tip(32) + " (F10)");
            QCOMPARE(f.indexButtonMenuTip(), tip(38));
            files << f.menu(QStringLiteral("Visualizza"))->title();
        }
        QCOMPARE(QSet<QString>(files.begin(), files.end()).size(), 3);
    }
};

QTEST_MAIN(TestMdiForm1)
#include "tst_mdiform1.moc"
