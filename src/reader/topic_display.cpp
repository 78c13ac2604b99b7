#include "topic_display.h"

#include "contents_tree.h"
#include "form1.h"
#include "hotspots.h"
#include "mdiform1.h"
#include "state.h"
#include "topicview.h"
#include "windows.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QStatusBar>
#include <QTreeView>

namespace folium::reader {

using engine::TopicView;
using forms::Panel;

ListedTitle listedTitle(const QString &t)
{
    return {forms::Form1::imageOf(engine::topicKindOf(t)), engine::titleWithoutKindMark(t)};
}

bool isNoteTitle(const QString &text)
{
    return engine::topicKindOf(text) == engine::TopicKind::Note;
}

TopicDisplay::TopicDisplay(Windows &w, TitleState &t, ReaderState &r, Hotspots &hotspots, QObject *parent)
    : QObject(parent), m_w(w), m_t(t), m_r(r), m_hotspots(hotspots)
{
    connect(w.reader->Fl_main, &TopicView::TopicChanged, this, &TopicDisplay::TopicChanged);
}

void TopicDisplay::Home()
{
    m_w.reader->rememberPlace(m_r);
    m_w.reader->Fl_main->GoHome();
}

void TopicDisplay::Browseback()
{
    m_w.reader->rememberPlace(m_r);
    m_w.reader->Fl_main->BrowsePrevious();
}

void TopicDisplay::Browsenext()
{
    m_w.reader->rememberPlace(m_r);
    m_w.reader->Fl_main->BrowseNext();
}

QString TopicDisplay::indexContext(const QString &item)
{
    if (item == u"Analitico")
        return QStringLiteral("IndiceAnalitico");
    if (item == u"Destinatari")
        return QStringLiteral("IndiceDestinatari");
    if (item == u"Localita")
        return QStringLiteral("IndiceLocalita");
    if (item == u"Nomi")
        return QStringLiteral("IndiceNomi");
    if (item == u"Sinottico")
        return QStringLiteral("IndiceSinottico");
    return {};
}

void TopicDisplay::indexJump(const QString &item)
{
    m_w.reader->Fl_main->JumpContext(indexContext(item));
}

void TopicDisplay::AfficheTopic()
{
    forms::Form1 *f = m_w.reader;
    QTreeView *list = f->List_risultati;
    const QModelIndex item = list->currentIndex().siblingAtColumn(0);
    if (!item.isValid())
        return;
    TopicView *main = f->Fl_main;
    const int hit = item.data(forms::PlaceRole).value<engine::Place>().topic;
    const QString text = item.data(Qt::DisplayRole).toString();
    if (hit != main->TopicIndex()) {
        const bool note = text.left(4) == u"Note";
        if (isNoteTitle(text)) {
            main->setTopicIndex(hit);
            const QString data = main->TopicData();
            const qsizetype dot = data.indexOf(u'.');
            const QString right = dot < 0 ? QString() : data.mid(dot + 1);
            f->rememberPlace(m_r);
            main->JumpContext(QStringLiteral("N") + data);
            m_hotspots.HotspotInit();
            if (note)
                m_r.HotspotNumberText = right;
            m_r.CurrentHotspot = right.toInt();
            m_hotspots.IlluminaHotspot();
            m_hotspots.AfficheNoteAvecClick();
        } else {
            f->rememberPlace(m_r);
            main->setTopicIndex(hit);
        }
    }
    m_w.frame->statusBar()->showMessage(text);
    const int row = item.row();
    const bool first = row == 0, last = row == list->model()->rowCount() - 1;
    m_w.frame->button("Risultatilistback")->setEnabled(!first);
    m_w.frame->item("Risultati_back")->setEnabled(!first);
    m_w.frame->button("Risultatilistnext")->setEnabled(!last);
    m_w.frame->item("Risultati_next")->setEnabled(!last);
}

void TopicDisplay::observe(TopicObserver who, std::function<void(const engine::Place &)> told)
{
    m_observers[size_t(who)].push_back(std::move(told));
}

void TopicDisplay::TopicChanged()
{
    TopicView *main = m_w.reader->Fl_main;
    m_current = main->place();
    if (!m_r.IgnoreTopicChange)
        showChange();
    for (const auto &observers : m_observers)
        for (const auto &told : observers)
            told(m_current);
}

void TopicDisplay::showChange()
{
    forms::Form1 *f = m_w.reader;
    forms::MDIForm1 *frame = m_w.frame;
    TopicView *main = f->Fl_main;
    const auto both = [frame](forms::ButtonName button, forms::ItemName item, bool on) {
        frame->button(button)->setEnabled(on);
        frame->item(item)->setEnabled(on);
    };

    both("Copia", "Copia", false);
    if (!m_r.SteppingAcrossTopics)
        f->Fl_sec->setViewTitle(QString());
    both("Browseback", "Back", main->HasPreviousBrowseTopic());
    both("Browsenext", "Next", main->HasNextBrowseTopic());
    both("Home", "HomePage", main->TopicData() != u"sommario");
    if (f->isShown(Panel::Results) && f->List_risultati->currentIndex().isValid())
        f->List_risultati->scrollTo(f->List_risultati->currentIndex());

    if (!m_t.TreeSyncSuppressed && !m_t.NoTitleDatabase && f->isShown(Panel::Contents)) {
        const QString key = title::nodeKeyForTopic(main->TopicData(), m_t.DateSearchEnabled);
        if (const QModelIndex node = title::findNode(m_w, key); node.isValid())
            title::selectNode(m_w, node, true);
    }
    m_t.TreeSyncSuppressed = false;
    if (!m_r.SteppingAcrossTopics)
        m_hotspots.HotspotInit();
}

void TopicDisplay::UpdateButtonsEnabled()
{
    forms::MDIForm1 *frame = m_w.frame;
    forms::Form1 *f = m_w.reader;
    TopicView *main = f->Fl_main;
    const bool on = !m_t.CancelFlag;
    const auto button = [frame](forms::ButtonName k) { return frame->button(k); };
    const auto item = [frame](forms::ItemName n) { return frame->item(n); };
    button("Home")->setEnabled(false);
    item("HomePage")->setEnabled(false);
    for (forms::ButtonName k : forms::ButtonList{"BookmarkNuovo", "BookmarkSalva"})
        button(k)->setEnabled(false);
    for (forms::ItemName n : forms::ItemList{"BookmarkNuovo", "BookmarkSalva", "BookmarkSalvaSous"})
        item(n)->setEnabled(false);
    for (forms::ButtonName k :
         forms::ButtonList{"Stampa", "Cerca", "Avvio", "Sommario", "Hotspotback", "Hotspotnext", "BookmarkApri",
                           "Bookmarkadd", "Highlightback", "Highlightnext", "Highlight", "Zoom", "Opzioni", "Indici"})
        button(k)->setEnabled(on);
    const bool titled = !main->ViewTitle().isEmpty();
    button("Browseback")->setEnabled(titled && main->HasPreviousBrowseTopic());
    item("Back")->setEnabled(titled && main->HasPreviousBrowseTopic());
    button("Browsenext")->setEnabled(titled && main->HasNextBrowseTopic());
    item("Next")->setEnabled(titled && main->HasNextBrowseTopic());
    for (forms::ItemName n : forms::ItemList{"Stampa", "Cerca", "Sommario_scritti", "NotaPrecedente", "NotaSuccessiva",
                                             "BookmarkApri", "Bookmarkadd", "Evidenziatore", "EvidenziatorePrecedente",
                                             "EvidenziatoreSuccessivo", "Opzioni", "NoteBasPage"})
        item(n)->setEnabled(on);
    frame->menu("Zoom")->menuAction()->setEnabled(on);
    // The panes; the five panels inside the side pane are shown one at a
    // time by their stack, which hides the others.
    for (QWidget *wdg : {f->Text_gauche, f->Text_droit})
        wdg->setVisible(on);
}

} // namespace folium::reader
