#include "view_accessible.h"

#include "popup_window.h"
#include "region_view.h"
#include "topicview.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace folium::engine {

namespace {

// A region: a read-only document over the region's text.
class RegionAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit RegionAccessible(RegionView *view) : QAccessibleWidget(view, QAccessible::Document) {}

    RegionView *view() const { return static_cast<RegionView *>(widget()); }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        s.selectableText = true;
        s.focusable = true;
        return s;
    }

    // Selection and caret.
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        const QTextCursor c = view()->textCursor();
        *startOffset = *endOffset = 0;
        if (selectionIndex == 0 && c.hasSelection()) {
            *startOffset = c.selectionStart();
            *endOffset = c.selectionEnd();
        }
    }
    int selectionCount() const override { return view()->textCursor().hasSelection() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex != 0)
            return;
        QTextCursor c = view()->textCursor();
        c.clearSelection();
        view()->setTextCursor(c);
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex != 0)
            return;
        QTextCursor c(view()->document());
        c.setPosition(clamped(startOffset));
        c.setPosition(clamped(endOffset), QTextCursor::KeepAnchor);
        view()->setTextCursor(c);
    }
    int cursorPosition() const override { return view()->textCursor().position(); }
    void setCursorPosition(int position) override
    {
        QTextCursor c = view()->textCursor();
        c.setPosition(clamped(position));
        view()->setTextCursor(c);
    }

    // The text, position for position as the document holds it (a block's
    // end is a line end).
    QString text(int startOffset, int endOffset) const override
    {
        const int from = clamped(startOffset), to = clamped(endOffset);
        if (to <= from)
            return {};
        QTextCursor c(view()->document());
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        QString s = c.selectedText();
        s.replace(QChar::ParagraphSeparator, u'\n');
        s.replace(QChar::LineSeparator, u'\n');
        s.replace(QChar::Nbsp, u' ');
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        // The document's text is its value; its name stays the region's.
        if (t == QAccessible::Value)
            return text(0, characterCount());
        return QAccessibleWidget::text(t);
    }
    int characterCount() const override { return std::max(0, view()->document()->characterCount() - 1); }

    QRect characterRect(int offset) const override
    {
        QTextCursor c(view()->document());
        c.setPosition(clamped(offset));
        QRect r = view()->cursorRect(c);
        const QString ch = text(clamped(offset), clamped(offset) + 1);
        r.setWidth(std::max(1, view()->fontMetrics().horizontalAdvance(ch.isEmpty() ? QStringLiteral(" ") : ch)));
        r.moveTopLeft(view()->viewport()->mapToGlobal(r.topLeft()));
        return r;
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint local = view()->viewport()->mapFromGlobal(point);
        if (!view()->viewport()->rect().contains(local))
            return -1;
        return view()->cursorForPosition(local).position();
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        Q_UNUSED(endIndex);
        view()->ensurePositionVisible(clamped(startIndex));
    }
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return {};
    }

private:
    int clamped(int offset) const { return std::clamp(offset, 0, characterCount()); }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == u"folium::engine::RegionView")
        return new RegionAccessible(static_cast<RegionView *>(object));
    // A pane holds its two regions; a popup is a window of its own.
    if (className == u"folium::engine::TopicView")
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Pane);
    if (className == u"folium::engine::PopupWindow")
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void installViewAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace folium::engine
