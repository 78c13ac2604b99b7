#include "resume.h"

#include "form1.h"
#include "interface_strings.h"
#include "mdiform1.h"
#include "title_file.h"
#include "topic_display.h"
#include "topicview.h"
#include "windows.h"

#include <QAction>
#include <QStatusBar>

namespace folium::reader {

Resume::Resume(forms::Windows &w, forms::ReaderState &r, QObject *parent) : QObject(parent), m_w(w), m_r(r)
{
    m_w.frame->item("Reprise")->setEnabled(false);
}

QString Resume::flPath() const
{
    return m_w.settingsFolder + QStringLiteral("/FL.mdb");
}

void Resume::rememberTitleShown()
{
    const engine::TopicView *main = m_w.reader->Fl_main;
    if (main->ViewTitle().isEmpty() || main->TopicIndex() < 0)
        return;
    const config::ReadingPlace place{main->ViewTitle(), main->place(), main->ViewTopic()};
    // A place not kept costs the reader a command, never data: it is not
    // worth a message at the end of a session.
    if (const int err = config::writeReadingPlace(flPath(), place); err != 0)
        qWarning("The place in %s was not kept (error %d)", qPrintable(place.file), err);
}

void Resume::offer()
{
    engine::TopicView *main = m_w.reader->Fl_main;
    QAction *item = m_w.frame->item("Reprise");
    config::readReadingPlace(flPath(), main->ViewTitle(), &m_offered);
    // Nothing to offer when the place is the page shown (the home page) or
    // the title no longer has it.
    const auto titleFile = main->titleFile();
    if (!m_offered.valid() || m_offered.place.address == main->TopicVA() || !titleFile ||
        !titleFile->topicAtAddress(uint32_t(m_offered.place.address))) {
        m_offered = config::ReadingPlace();
        item->setEnabled(false);
        return;
    }
    item->setEnabled(true);
    m_w.frame->statusBar()->showMessage(
        m_w.strings->text(QStringLiteral("STAT"), 4)
            .arg(listedTitle(m_offered.topicTitle).text, item->shortcut().toString(QKeySequence::NativeText)));
}

void Resume::Reprise_Click()
{
    if (!m_offered.valid())
        return;
    m_w.reader->rememberPlace(m_r);
    m_w.reader->Fl_main->goTo(m_offered.place);
    m_offered = config::ReadingPlace();
    m_w.frame->item("Reprise")->setEnabled(false);
    m_w.frame->statusBar()->clearMessage();
}

} // namespace folium::reader
