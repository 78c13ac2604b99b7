#include "status_line.h"

#include "form1.h"
#include "hotspots.h"
#include "interface_strings.h"
#include "mdiform1.h"
#include "title_file.h"
#include "topic_display.h"
#include "topicview.h"
#include "windows.h"

#include <QLabel>
#include <QStatusBar>

namespace folium::reader {

using engine::TopicView;

StatusLine::StatusLine(forms::Windows &w, QObject *parent) : QObject(parent), m_w(w)
{
    m_hits = new QLabel;
    m_hits->setObjectName(QStringLiteral("StatusHits"));
    m_hits->setContentsMargins(6, 0, 6, 0);
    w.frame->statusBar()->addPermanentWidget(m_hits);
    forms::Form1 *f = w.reader;
    for (TopicView *pane : {f->Fl_main, f->Fl_sec, f->Med2})
        connect(pane, &TopicView::HotspotHovered, this, &StatusLine::hovered);
    connect(f->Fl_main, &TopicView::HighlightsChanged, this, &StatusLine::countHits);
}

void StatusLine::refresh()
{
    countHits();
}

QString StatusLine::targetText(int type, const QString &target) const
{
    // A code leads to a context string by the rules of a click on it.
    QString context = target;
    if (type == 0) { // a code string
        const HotspotCode h = readHotspotCode(target.toLatin1());
        context = h.kind == u'N' || h.kind == u'B' || !h.hasDot ? h.code : h.context;
    }
    const auto title = m_w.reader->Fl_main->titleFile();
    const auto where = title ? title->context(context) : std::nullopt;
    if (!where)
        return {};
    return m_w.strings->text(QStringLiteral("STAT"), 1).arg(listedTitle(title->topicTitle(where->topic)).text);
}

void StatusLine::hovered(int type, const QString &target)
{
    QStatusBar *bar = m_w.frame->statusBar();
    const QString text = type < 0 ? QString() : targetText(type, target);
    if (text.isEmpty()) {
        if (m_onLink)
            bar->showMessage(m_covered);
        m_onLink = false;
        return;
    }
    if (!m_onLink)
        m_covered = bar->currentMessage();
    m_onLink = true;
    bar->showMessage(text);
}

void StatusLine::countHits()
{
    const TopicView *main = m_w.reader->Fl_main;
    const int hits = int(main->highlightSpans(0).size() + main->highlightSpans(1).size());
    const QString stat = QStringLiteral("STAT");
    // While the reader steps through the hits of the text (F11, F12): the
    // one shown of how many.
    if (main->CurrentHighlight() >= 0) {
        m_hits->setText(
            m_w.strings->text(stat, 7).arg(main->CurrentHighlight() + 1).arg(main->highlightSpans(1).size()));
        return;
    }
    m_hits->setText(hits == 0   ? QString()
                    : hits == 1 ? m_w.strings->text(stat, 2)
                                : m_w.strings->text(stat, 3).arg(hits));
}

} // namespace folium::reader
