#include "search_panel.h"

#include "form1.h"
#include "interface_strings.h"
#include "mdiform1.h"
#include "panels.h"
#include "state.h"
#include "topicview.h"
#include "windows.h"

#include <QAction>
#include <QComboBox>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QTreeWidget>

namespace folium::search {

void Cerca_parola(forms::Windows &w)
{
    forms::Form1 *f = w.reader;
    if (forms::switchPanel(w, forms::Panel::Search)) {
        w.frame->button(QStringLiteral("Avvio"))->setEnabled(true);
        w.frame->statusBar()->showMessage(QStringLiteral(" "));
        w.frame->item(QStringLiteral("Cerca"))->setEnabled(false);
    }
    f->Combo_perparole->setFocus();
    forms::setPanelTitle(w, w.strings->text(QStringLiteral("RECH"), 1), forms::kSearchTitleColor);
}

void Hasard(forms::Windows &w, const forms::TitleState &t)
{
    QTreeWidget *tree = w.reader->TreeSommario;
    QList<QTreeWidgetItem *> nodes;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        nodes << *it;
    if (nodes.isEmpty())
        return;
    QTreeWidgetItem *node = nodes.at(int(QRandomGenerator::global()->bounded(qsizetype(nodes.size()))));
    if (node->childCount() > 0)
        return;
    const QString key = node->data(0, forms::TagRole).toString();
    w.reader->Fl_main->JumpContext(t.DateSearchEnabled ? key.mid(1) : key);
}

} // namespace folium::search
