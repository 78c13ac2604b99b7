#include "form3.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace folium::forms {

namespace {

// A notice is an alert named by what it says: a screen reader reads it as
// it shows, as a sighted reader sees it.
QAccessibleInterface *noticeAccessible(const QString &className, QObject *object)
{
    if (className == u"folium::forms::Form3" && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::AlertMessage);
    return nullptr;
}

} // namespace

Form3::Form3(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      m_text(new QLabel), m_tmr(new QTimer(this))
{
    static const bool accessible = [] {
        QAccessible::installFactory(noticeAccessible);
        return true;
    }();
    Q_UNUSED(accessible);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    m_tmr->setInterval(1000);
    connect(m_tmr, &QTimer::timeout, this, [this] {
        if (++m_ticks > m_limit) {
            m_tmr->stop();
            hide();
        }
    });
    setObjectName(QStringLiteral("Form3"));
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setAlignment(Qt::AlignCenter);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(24, 16, 24, 16);
    lay->addWidget(m_text);
    setAutoFillBackground(true);
}

void Form3::setText(const QString &text)
{
    m_text->setText(text);
    setAccessibleName(text);
}
QString Form3::text() const
{
    return m_text->text();
}

void Form3::CloseAfter(int ticks)
{
    m_ticks = 0;
    m_limit = ticks;
    m_tmr->start();
}

void Form3::showCentred()
{
    adjustSize();
    if (QScreen *s = QGuiApplication::primaryScreen()) {
        const QRect g = s->availableGeometry();
        move(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2);
    }
    show();
    raise();
    repaint();
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

} // namespace folium::forms
