#include "wheel.h"

#include "commands.h"
#include "form1.h"
#include "mdiform1.h"
#include "program.h"
#include "topicview.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTreeView>
#include <QWheelEvent>

namespace folium::app {

namespace {

constexpr int kNotch = 120; // wheel units of one notch of a standard wheel

bool inside(const QWidget *w, const QPoint &global)
{
    return w && w->isVisible() && QRect(w->mapToGlobal(QPoint(0, 0)), w->size()).contains(global);
}

} // namespace

WheelRouter::WheelRouter(Program &program, QObject *parent) : QObject(parent), m_p(program)
{
    qApp->installEventFilter(this);
}

WheelRouter::~WheelRouter()
{
    qApp->removeEventFilter(this);
}

bool WheelRouter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel)
        return wheel(watched, event);
    // The tree toggles a node on a click; a double click would toggle it
    // back, so the tree never sees one.
    const bool onTree = m_p.reader() && watched == m_p.reader()->TreeSommario->viewport();
    if (onTree && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        m_swallowRelease = true; // and the release that ends it, which would click again
        return true;
    }
    if (onTree && event->type() == QEvent::MouseButtonRelease && m_swallowRelease) {
        m_swallowRelease = false;
        return true;
    }
    return false;
}

bool WheelRouter::wheel(QObject *watched, QEvent *event)
{
    // An event left to the widgets comes back here as it goes up to their
    // parents: it is passed on each time.
    auto *target = qobject_cast<QWidget *>(watched);
    if (event == m_passedOn && target && m_passedTo && target->isAncestorOf(m_passedTo))
        return false;
    m_passedTo = target;
    Form1 *f = m_p.reader();
    if (!f || !target || !f->isAncestorOf(target)) {
        m_passedOn = event;
        return false;
    }
    auto *w = static_cast<QWheelEvent *>(event);
    const QPoint global = w->globalPosition().toPoint();
    const QWidget *right = f->Text_droit;
    const bool overText = global.x() > right->mapToGlobal(QPoint(0, 0)).x();
    if (!overText && !f->isShown(forms::Panel::Search)) {
        m_passedOn = event; // a list or the tree scrolls itself
        return false;
    }
    forms::ReaderState &r = m_p.state;
    r.ScrollPaneIsNotes = r.NotesPaneOpen && inside(f->Text_notes, global);
    m_accumulated += w->angleDelta().y();
    const int notches = m_accumulated / kNotch; // toward zero
    m_accumulated %= kNotch;
    const int lines = std::max(1, m_p.options->scroll);
    for (int n = 0; n < std::abs(notches) * lines; ++n)
        m_p.commands()->SendShiftKeyToTopic(notches < 0 ? Qt::Key_Down : Qt::Key_Up);
    return true;
}

} // namespace folium::app
