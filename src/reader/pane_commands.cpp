#include "pane_commands.h"

#include "form1.h"
#include "hotspots.h"
#include "mdiform1.h"
#include "topicview.h"
#include "windows.h"

namespace folium::reader {

void Copia_selected(forms::Windows &w)
{
    for (engine::TopicView *pane : {w.reader->Fl_main, w.reader->Fl_sec})
        if (pane->HasSelection())
            pane->CopySelection(2);
}

void Stampa_topic(forms::Windows &w, Hotspots &hotspots)
{
    engine::TopicView *main = w.reader->Fl_main;
    main->PrintTopic(main->TopicIndex());
    hotspots.MetteIlGiustoFocus();
}

void setZoom(forms::Windows &w, Hotspots &hotspots, int percent)
{
    w.reader->Fl_main->setFontZoom(percent);
    if (!w.reader->Fl_sec->ViewTitle().isEmpty())
        w.reader->Fl_sec->setFontZoom(percent);
    w.frame->checkZoom(percent);
    hotspots.RimetteIlFocus();
}

} // namespace folium::reader
