// The pane's selection copied to the clipboard, and a topic printed.
#include "topicview.h"

#include "engine_errors.h"
#include "region_view.h"
#include "sanitizer.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextFrame>

namespace folium::engine {

bool TopicView::HasSelection() const
{
    return m_nsr->textCursor().hasSelection() || m_sr->textCursor().hasSelection();
}

int TopicView::CopySelection(int format)
{
    Q_UNUSED(format);
    m_err = kErrNone;
    QString text, html;
    for (RegionView *r : {m_nsr, m_sr}) {
        const QTextCursor c = r->textCursor();
        if (!c.hasSelection())
            continue;
        const QTextDocumentFragment frag = c.selection();
        if (!text.isEmpty())
            text += u'\n';
        text += frag.toPlainText();
        html += frag.toHtml();
    }
    if (text.isEmpty())
        return kErrNone;
    auto *mime = new QMimeData;
    mime->setText(text);
    mime->setHtml(html);
    QApplication::clipboard()->setMimeData(mime);
    return kErrNone;
}

QString TopicView::printDocumentName(const QString &topicTitle)
{
    QString name = titleWithoutKindMark(topicTitle);
    name.replace(u'/', u'-').replace(u'\\', u'-');
    name = name.trimmed();
    return name.isEmpty() ? QStringLiteral("topic") : name;
}

int TopicView::PrintTopic(int index)
{
    if (!m_title)
        return fail(kErrNoTitle);
    const auto rec = m_title->topic(index);
    if (!rec)
        return fail(kErrNoTopic);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(printDocumentName(rec->title));
    printer.setPageMargins(QMarginsF(m_margins[0], m_margins[2], m_margins[1], m_margins[3]), QPageLayout::Inch);
    const bool go = m_printDialog ? m_printDialog(printer) : [&] {
        QPrintDialog dlg(&printer, this);
        return dlg.exec() == QDialog::Accepted;
    }();
    if (!go)
        return fail(kErrPrint);
    // The dialog may have changed the paper; the margins stay ours.
    printer.setPageMargins(QMarginsF(m_margins[0], m_margins[2], m_margins[1], m_margins[3]), QPageLayout::Inch);

    SafeTextDocument doc;
    doc.setTitle(m_title);
    QFont f = baseFont();
    doc.setDefaultFont(f);
    QString html = sanitizeTopicHtml(rec->nsr, m_limits);
    const QString sr = sanitizeTopicHtml(rec->sr, m_limits);
    if (m_printSeparator && !html.trimmed().isEmpty())
        html += QStringLiteral("<hr>");
    html += sr;
    doc.setHtml(html);
    // Lay the text out on the printable area in points, with no margin of
    // the document's own: the page margins are the ones set above.
    const QRectF area = printer.pageLayout().paintRect(QPageLayout::Point);
    doc.setPageSize(area.size());
    QTextFrameFormat ff = doc.rootFrame()->frameFormat();
    ff.setMargin(0);
    doc.rootFrame()->setFrameFormat(ff);
    doc.setDocumentMargin(0);
    doc.print(&printer);
    m_err = printer.printerState() == QPrinter::Error ? kErrPrint : kErrNone;
    return m_err;
}

} // namespace folium::engine
