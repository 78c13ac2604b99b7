#include "panels.h"

#include "colors.h"
#include "mdiform1.h"
#include "windows.h"

#include <QAction>
#include <QLabel>
#include <QTreeView>

namespace folium::forms {

ButtonName panelButtonKey(Panel p)
{
    static constexpr ButtonName keys[] = {"Cerca", "Risultatilist", "Cronologialist", "Bookmarklist", "Sommario"};
    return keys[int(p)];
}

ItemName panelMenuItem(Panel p)
{
    static constexpr ItemName items[] = {"Cerca", "Risultati_cerca", "Cronologia", "Segnalibri", "Sommario_scritti"};
    return items[int(p)];
}

void syncPanelButtons(Windows &w)
{
    for (Panel p : {Panel::Search, Panel::Results, Panel::History, Panel::Bookmarks, Panel::Contents}) {
        QAction *button = w.frame->button(panelButtonKey(p));
        const bool shown = w.reader->isShown(p) && !w.reader->Text_gauche->isHidden();
        button->setChecked(shown);
        button->setEnabled(shown || w.frame->item(panelMenuItem(p))->isEnabled());
    }
}

bool switchPanel(Windows &w, Panel p)
{
    MDIForm1 *f = w.frame;
    f->button(panelButtonKey(p))->setChecked(true);
    const Panel old = w.reader->shownPanel();
    if (old == p)
        return false;
    w.reader->setShownPanel(p);
    f->button("Bookmarkdel")->setEnabled(false);
    f->item("Bookmarkdel")->setEnabled(false);
    if (old != Panel::None) {
        f->button(panelButtonKey(old))->setChecked(false);
        // A list with nothing to show is not offered again.
        if (old == Panel::Bookmarks)
            f->item(panelMenuItem(old))
                ->setEnabled(w.reader->List_bookmark->model() && w.reader->List_bookmark->model()->rowCount() > 0);
        else if (old == Panel::Results)
            f->item(panelMenuItem(old))->setEnabled(w.reader->resultCount() > 0);
        else
            f->item(panelMenuItem(old))->setEnabled(true);
        if (old == Panel::Search)
            f->button("Avvio")->setEnabled(false);
    }
    return true;
}

void setPanelTitle(Windows &w, const QString &caption, long bgr)
{
    QLabel *t = w.reader->Titre_Splitgauche;
    t->setText(caption);
    t->setAutoFillBackground(true);
    QPalette pal = t->palette();
    pal.setColor(QPalette::Window, engine::colorFromBgr(bgr));
    pal.setColor(QPalette::WindowText, Qt::white);
    t->setPalette(pal);
}

} // namespace folium::forms
