// The end of the program: the close a reader asks for (the bookmark
// question, what is kept for the next run) and the end an error forces.
#include "bookmarks.h"
#include "dao.h"
#include "dialogs.h"
#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "help_window.h"
#include "last_files.h"
#include "mdiform1.h"
#include "places.h"
#include "program.h"
#include "resume.h"

#include <QCoreApplication>

namespace folium::app {

using namespace folium::config;

void Program::fatal(const QString &text, bool bookmarksAsked)
{
    if (m_w.loading)
        m_w.loading->hide();
    m_dialogs.message(m_frame.get(), text, QStringLiteral("Error"), Icon::Critical, Buttons::Ok);
    endAfterFatalError(bookmarksAsked);
}

void Program::endAfterFatalError(bool bookmarksAsked)
{
    if (m_ended)
        return;
    m_ended = true;
    if (!m_running)
        return; // Main reports it; no list can have changed yet
    if (!bookmarksAsked) {
        title.CancelFlag = false;
        if (VerifieBookmarks)
            VerifieBookmarks();
    }
    // Whatever the answer, the program cannot go on; a cancel leaves the
    // list in its recovery copy.
    if (title.CancelFlag)
        m_bookmarks->writeRecoveryNow();
    else
        m_bookmarks->sessionEnded();
    title.CancelFlag = false;
    if (m_help)
        m_help->close();
    m_frame->close(); // the close asks nothing more: the program has ended
    QCoreApplication::exit(1);
}

void Program::saveWhatWouldBeLost()
{
    if (m_bookmarks)
        m_bookmarks->writeRecoveryNow();
}

void Program::shutdown(bool *cancel)
{
    if (m_shutDown || m_ended)
        return;
    // Asked again while its question is open (a second request to end, say):
    // the question already asked decides.
    if (m_closing) {
        if (cancel)
            *cancel = true;
        return;
    }
    m_closing = true;
    // The reader window's unload: the bookmark question, then the last-used
    // list in menu order, written even when the close is abandoned. A list
    // that was never read into the menu (the open dialog was cancelled at
    // start) is left as it is in the file: the menu holds none of it.
    title.CancelFlag = false;
    if (VerifieBookmarks)
        VerifieBookmarks();
    const bool abandoned = title.CancelFlag;
    title.CancelFlag = false;
    m_closing = false;
    if (title.lastFiles.read) {
        QStringList captions;
        for (int i = 0; i < 4; ++i)
            captions << m_frame->lastUsedEntry(i)->text();
        if (config::writeLastFiles(flPath(), captions) != 0) {
            title.CancelFlag = abandoned;
            fatal(flMdbMissing(), true);
            return;
        }
    }
    if (abandoned) {
        if (cancel)
            *cancel = true;
        return;
    }
    m_shutDown = true;
    m_bookmarks->sessionEnded();
    // Where the reader stopped, and the window's size and place, for the next run.
    m_resume->rememberTitleShown();
    if (const int err = config::writeWindowGeometry(flPath(), m_frame->saveGeometry()); err != 0)
        qWarning("The window's place was not kept (error %d)", err);
    // The main frame's unload: the splitter position, through the options
    // dialog's data control. Only a width the reader has laid out is taken,
    // and never one too narrow to find the pane again.
    if (m_layoutApplied && m_w.reader->splitterPosition() >= Form1::kMinSidePane)
        SplitterPosition = m_w.reader->splitterPosition();
    if (SplitterPosition < Form1::kMinSidePane)
        SplitterPosition = storedSplitterPosition();
    // Like the window's place, a width not kept costs the reader a drag at
    // the next start, never data: it is said in the log, not in a message.
    if (db::Recordset *rs = m_w.options ? m_w.options->Data1->recordset() : nullptr) {
        int err = rs->Edit();
        if (err == 0 && (err = rs->setField(QStringLiteral("SplitPos"), SplitterPosition)) == 0)
            err = rs->Update();
        if (err != 0) {
            rs->CancelUpdate();
            qWarning("The side pane's width was not kept (error %d)", err);
        }
    }
    if (m_help)
        m_help->close();
}

} // namespace folium::app
