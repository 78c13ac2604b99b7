#include "title_params.h"

#include "title_database.h"

#include "contents_model.h"
#include "contents_tree.h"
#include "dao.h"
#include "dialogs.h"
#include "form1.h"
#include "form3.h"
#include "interface_strings.h"
#include "mdiform1.h"
#include "state.h"
#include "title_open.h"
#include "windows.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QDateEdit>
#include <QGroupBox>
#include <QMenu>
#include <QRadioButton>
#include <QTreeView>

namespace folium::title {

using namespace folium::config;

namespace {
// A list of subsets a reader can choose from; more would only be a damaged table.
constexpr int kMaxSubsets = 1000;
} // namespace

std::shared_ptr<db::Database> openTitleDatabase(Windows &w, TitleState &t)
{
    const TitleNames names = titleNames(t.TitlePath);
    t.TitleDatabasePath = names.databasePath;
    for (;;) {
        int err = 0;
        auto database = db::Database::OpenReadOnly(t.TitleDatabasePath, &err);
        if (database) {
            t.NoTitleDatabase = false;
            if (hasTheTablesOfATitleDatabase(*database) && belongsToTitle(*database, names.baseName))
                return database;
            w.loading->hide();
            w.dialogs->message(w.frame, w.strings->text(QStringLiteral("BMSG"), 34).arg(names.databaseFileName),
                               w.strings->text(QStringLiteral("BMSG"), 11), Icon::Exclamation, Buttons::Ok);
        }
        w.loading->hide();
        FileDialogRequest r;
        r.fileName = names.databaseFileName;
        r.folder = names.folder;
        r.filter = w.strings->text(QStringLiteral("BMSG"), 22);
        const QString chosen = ApriFile(w, t, r);
        if (t.CancelFlag) {
            // The title runs without contents and parameters; the cancel
            // does not cancel the opening itself.
            t.CancelFlag = false;
            t.NoTitleDatabase = true;
            AfficheLoadingText(w);
            return nullptr;
        }
        t.TitleDatabasePath = chosen;
    }
}

namespace {

// The search fields a title asks for, and nothing else: a title that
// searches by letter shows no date field left by the title before it.
void showSearchFields(forms::Form1 *f, const TitleState &t)
{
    f->FramePerData->setVisible(t.DateSearchEnabled);
    f->DatePicker->setVisible(t.DateSearchEnabled);
    f->CheckCalendrier->setVisible(t.DateSearchEnabled);
    f->FramePerLettera->setVisible(t.LetterSearchEnabled);
    f->ComboPerLettera->setVisible(t.LetterSearchEnabled);
}

// The index button and menu as the title's parameters ask: the random
// topic, or the menu of indexes.
void showIndexCommand(forms::MDIForm1 *frame, bool random)
{
    frame->button("Indici")->setToolTip(random ? frame->indexButtonRandomTip() : frame->indexButtonMenuTip());
    frame->item("Sep13")->setVisible(!random);
    frame->menu("IndiciMenu")->menuAction()->setVisible(!random);
}

// Each opening starts from a title that asks for nothing: no subsets, no
// search by date or letter, the index menu, no name.
void resetParameters(Windows &w, TitleState &t)
{
    forms::Form1 *f = w.reader;
    t.SubsetGroupLast = -1;
    t.SubsetGroupIds.clear();
    t.SubsetGroupNames.clear();
    t.DateSearchEnabled = t.LetterSearchEnabled = t.RandomTopicMode = false;
    t.TitleName.clear();
    f->DatePicker->setDate(QDate::currentDate());
    t.StartDate = f->DatePicker->date();
    f->Combo_sottoinsieme->clear();
    f->List_risultati->setFont(QFont());
}

void runWithoutDatabase(Windows &w, TitleState &t)
{
    forms::Form1 *f = w.reader;
    AfficheLoadingText(w);
    resetParameters(w, t);
    f->Combo_sottoinsieme->addItem(w.strings->text(QStringLiteral("BMSG"), 13));
    f->Option_tutto->setChecked(true);
    t.TitleName = QStringLiteral("Inconnu");
    w.frame->setWindowTitle(t.TitleName);
    showSearchFields(f, t);
    showIndexCommand(w.frame, false);
    contentsModel(w)->clear();
    w.frame->button("Indici")->setEnabled(false);
    w.loading->hide();
}

} // namespace

void LetturaParam(Windows &w, TitleState &t)
{
    auto database = openTitleDatabase(w, t);
    if (!database) {
        runWithoutDatabase(w, t);
        return;
    }
    forms::Form1 *f = w.reader;
    forms::MDIForm1 *frame = w.frame;
    AfficheLoadingText(w);
    resetParameters(w, t);
    int err = 0;
    auto rs = database->OpenRecordset(QStringLiteral("Param"), &err);
    if (rs) {
        rs->setIndex(QStringLiteral("Ordre"));
        int read = 0;
        for (rs->MoveFirst(); !rs->Eof() && ++read <= kMaxParamRows; rs->MoveNext()) {
            const QString code = rs->Field(QStringLiteral("Codice")).toString();
            const QVariant p1 = rs->Field(QStringLiteral("Param1"));
            if (code == u"GRP") {
                // A list of subsets a reader can choose from; more would only
                // be a damaged table.
                if (t.SubsetGroupLast + 1 >= kMaxSubsets)
                    continue;
                ++t.SubsetGroupLast;
                const QString name = rs->Field(QStringLiteral("Param2")).toString();
                t.SubsetGroupIds << p1.toString();
                t.SubsetGroupNames << name;
                f->Combo_sottoinsieme->addItem(name);
            } else if (code == u"DAT") {
                t.DateSearchEnabled = p1.toString() == u"O";
                t.LetterSearchEnabled = p1.toString() == u"S";
            } else if (code == u"HAS") {
                t.RandomTopicMode = p1.toString() == u"O";
            } else if (code == u"NOM") {
                t.TitleName = p1.toString();
                frame->setWindowTitle(t.TitleName);
            } else if (code == u"DEB") {
                const QDate d = QDate::fromString(p1.toString().left(10), Qt::ISODate);
                if (d.isValid())
                    f->DatePicker->setDate(d);
                t.StartDate = f->DatePicker->date();
            }
        }
    }
    showSearchFields(f, t);
    showIndexCommand(frame, t.RandomTopicMode);
    if (t.LetterSearchEnabled) {
        QFont font = f->List_risultati->font();
        font.setFamily(QStringLiteral("Americana BT"));
        f->List_risultati->setFont(font);
    }
}

} // namespace folium::title
