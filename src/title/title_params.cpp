#include "title_params.h"

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

bool belongsToTitle(db::Database &database, const QString &baseName)
{
    int err = 0;
    auto rs = database.OpenRecordset(QStringLiteral("Param"), &err);
    if (!rs)
        return false;
    rs->setIndex(QStringLiteral("Ordre"));
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        if (rs->Field(QStringLiteral("Codice")).toString() == u"COD" &&
            rs->Field(QStringLiteral("Param1")).toString().toLower() == baseName.toLower())
            return true;
    }
    return false;
}

std::shared_ptr<db::Database> openTitleDatabase(Windows &w, TitleState &t)
{
    const TitleNames names = titleNames(t.TitlePath);
    t.TitleDatabasePath = names.databasePath;
    for (;;) {
        int err = 0;
        auto database = db::Database::OpenDatabase(t.TitleDatabasePath, &err);
        if (database) {
            t.NoTitleDatabase = false;
            if (belongsToTitle(*database, names.baseName))
                return database;
            w.loading->hide();
            w.dialogs->message(w.frame, names.databaseFileName + QStringLiteral(" not found or wrong"),
                               w.strings->text(QStringLiteral("BMSG"), 11), Icon::None, Buttons::Ok);
        }
        w.loading->hide();
        FileDialogRequest r;
        r.fileName = names.databaseFileName;
        r.folder = names.folder;
        r.filter = QStringLiteral("File option (*.mdb)|*.mdb");
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

void showDateSearch(forms::Form1 *f, bool date, bool letter)
{
    f->FramePerData->setVisible(date);
    f->DatePicker->setVisible(date);
    f->CheckCalendrier->setVisible(date);
    f->FramePerLettera->setVisible(letter);
    f->ComboPerLettera->setVisible(letter);
}

void runWithoutDatabase(Windows &w, TitleState &t)
{
    forms::Form1 *f = w.reader;
    AfficheLoadingText(w);
    f->Combo_sottoinsieme->clear();
    f->Combo_sottoinsieme->addItem(w.strings->text(QStringLiteral("BMSG"), 13));
    f->Option_tutto->setChecked(true);
    t.SubsetGroupIds.clear();
    t.SubsetGroupNames.clear();
    t.SubsetGroupLast = -1;
    t.TitleName = QStringLiteral("Inconnu");
    w.frame->setWindowTitle(t.TitleName);
    showDateSearch(f, false, false);
    t.DateSearchEnabled = t.LetterSearchEnabled = false;
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
    t.SubsetGroupLast = -1;
    t.SubsetGroupIds.clear();
    t.SubsetGroupNames.clear();
    f->Combo_sottoinsieme->clear();
    int err = 0;
    auto rs = database->OpenRecordset(QStringLiteral("Param"), &err);
    if (!rs)
        return;
    rs->setIndex(QStringLiteral("Ordre"));
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        const QString code = rs->Field(QStringLiteral("Codice")).toString();
        const QVariant p1 = rs->Field(QStringLiteral("Param1"));
        if (code == u"GRP") {
            ++t.SubsetGroupLast;
            const QString name = rs->Field(QStringLiteral("Param2")).toString();
            t.SubsetGroupIds << p1.toString();
            t.SubsetGroupNames << name;
            f->Combo_sottoinsieme->addItem(name);
        } else if (code == u"DAT") {
            if (p1.toString() == u"O") {
                f->FramePerData->show();
                f->DatePicker->show();
                f->CheckCalendrier->show();
                f->FramePerLettera->hide();
                f->ComboPerLettera->hide();
                t.DateSearchEnabled = true;
                t.LetterSearchEnabled = false;
            } else if (p1.toString() == u"S") {
                t.LetterSearchEnabled = true;
                f->FramePerLettera->show();
                f->ComboPerLettera->show();
                QFont font = f->List_risultati->font();
                font.setFamily(QStringLiteral("Americana BT"));
                f->List_risultati->setFont(font);
            } else {
                showDateSearch(f, false, false);
                t.DateSearchEnabled = t.LetterSearchEnabled = false;
            }
        } else if (code == u"HAS") {
            const bool random = p1.toString() == u"O";
            t.RandomTopicMode = random;
            frame->button("Indici")->setToolTip(random ? frame->indexButtonRandomTip() : frame->indexButtonMenuTip());
            frame->item("Sep13")->setVisible(!random);
            frame->menu("IndiciMenu")->menuAction()->setVisible(!random);
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

} // namespace folium::title
