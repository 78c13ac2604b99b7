#include "title_open.h"

#include <QDir>

#include "dialogs.h"
#include "engine_errors.h"
#include "form1.h"
#include "form3.h"
#include "interface_strings.h"
#include "mdiform1.h"
#include "state.h"
#include "topicview.h"
#include "windows.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

namespace folium::title {

using namespace folium::config;

TitleNames titleNames(const QString &titlePath)
{
    TitleNames n;
    const qsizetype sep = std::max(titlePath.lastIndexOf(u'/'), titlePath.lastIndexOf(u'\\'));
    n.folder = titlePath.left(sep + 1);
    n.fileName = titlePath.mid(sep + 1);
    const qsizetype dot = n.fileName.indexOf(u'.');
    n.baseName = dot < 0 ? n.fileName : n.fileName.left(dot);
    n.databaseFileName = n.baseName + QStringLiteral(".mdb");
    n.databasePath = n.folder + n.databaseFileName;
    return n;
}

bool sameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() && b.isEmpty();
    const QFileInfo fa(a), fb(b);
    const QString ca = fa.canonicalFilePath(), cb = fb.canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return QDir::cleanPath(fa.absoluteFilePath()) == QDir::cleanPath(fb.absoluteFilePath());
}

QString ApriFile(Windows &w, TitleState &t, const FileDialogRequest &request)
{
    const QString chosen = w.dialogs->file(w.frame, request);
    t.CancelFlag = chosen.isEmpty();
    return chosen;
}

void AfficheLoadingText(Windows &w)
{
    w.loading->setText(w.strings->text(QStringLiteral("ALOAD"), 1) + QStringLiteral("..."));
    w.loading->setShowAsSplash(true);
    w.loading->showCentred();
}

void OuvertureM14(Windows &w, TitleState &t)
{
    engine::TopicView *main = w.reader->Fl_main;
    while (t.TitlePath != main->ViewTitle()) {
        t.TitleLoading = true;
        main->setViewTitle(t.TitlePath);
        t.TitleLoading = false;
        if (main->lastError() != engine::kErrBadTitle)
            break;
        w.loading->hide();
        // The program's text, with the file it is about; the warning icon,
        // and the program's name as the title.
        w.dialogs->message(w.frame,
                           w.strings->text(QStringLiteral("BMSG"), 35) + u'\n' + QDir::toNativeSeparators(t.TitlePath),
                           QStringLiteral("Folium"), Icon::Exclamation, Buttons::Ok);
        FileDialogRequest r;
        r.folder = w.programFolder;
        r.filter = w.strings->text(QStringLiteral("BMSG"), 20);
        const QString chosen = ApriFile(w, t, r);
        if (t.CancelFlag)
            return;
        t.TitlePath = chosen;
    }
    AfficheLoadingText(w);
    w.frame->item("Sep1")->setVisible(true);
    updateLastUsedList(w, t);
}

void updateLastUsedList(Windows &w, TitleState &t)
{
    config::LastFiles &lf = t.lastFiles;
    const auto entry = [&w](int i) { return w.frame->lastUsedEntry(i); };
    if (lf.captions.value(0).mid(3) != t.TitlePath && lf.count > 0) {
        for (int i = 2; i >= 0; --i) {
            if (lf.captions.value(i).isEmpty())
                continue;
            const QString moved = QStringLiteral("&%1").arg(i + 2) + lf.captions[i].mid(2);
            entry(i + 1)->setText(moved);
            entry(i + 1)->setVisible(true);
            lf.captions[i + 1] = moved;
            lf.visible[i + 1] = true;
        }
    }
    lf.captions[0] = QStringLiteral("&1 ") + t.TitlePath;
    lf.visible[0] = true;
    entry(0)->setText(lf.captions[0]);
    entry(0)->setVisible(true);
}

} // namespace folium::title
