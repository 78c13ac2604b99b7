#include "bookmarks.h"

#include "dialogs.h"
#include "form1.h"
#include "form3.h"
#include "hotspots.h"
#include "interface_strings.h"
#include "list_events.h"
#include "mdiform1.h"
#include "option_set.h"
#include "panels.h"
#include "search_panel.h"
#include "state.h"
#include "contents_tree.h"
#include "title_open.h"
#include "topicview.h"
#include "windows.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>

namespace folium::bookmarks {

using config::Answer;
using config::Buttons;
using config::Icon;

namespace {
// The name a bookmark had before it was renamed: an empty new name gives it back.
// How long after a change the recovery copy is written: changes made in a
// burst are written once.
constexpr int kRecoveryDelayMs = 300;
} // namespace

BookmarkEntry bookmarkEntry(const QString &t)
{
    const engine::TopicKind kind = engine::topicKindOf(t);
    if (kind == engine::TopicKind::Plain)
        return {1, t.size() > 1 && t.at(1) == u' ' ? u' ' + t : t};
    return {forms::Form1::imageOf(kind), engine::titleWithoutKindMark(t)};
}

Bookmarks::Bookmarks(forms::Windows &w, forms::TitleState &t, forms::ReaderState &r, reader::Hotspots &hotspots,
                     QObject *parent)
    : QObject(parent), m_w(w), m_t(t), m_r(r), m_hotspots(hotspots), m_notice(new forms::Form3(w.frame)),
      m_recoveryTimer(new QTimer(this))
{
    m_notice->setObjectName(QStringLiteral("Form5"));
    m_recoveryTimer->setSingleShot(true);
    m_recoveryTimer->setInterval(kRecoveryDelayMs);
    connect(m_recoveryTimer, &QTimer::timeout, this, &Bookmarks::writeRecoveryNow);
    // A bookmark is renamed in place: F2, or a click on the selected one.
    QTreeView *list = w.reader->List_bookmark;
    list->setModel(&m_rows);
    list->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    list->installEventFilter(this);
    connect(&m_rows, &forms::PlaceList::edited, this, &Bookmarks::itemEdited);
    // The main frame's one-second timer closes the notice.
    connect(w.frame->Timer1(), &QTimer::timeout, this, [this] {
        m_notice->hide();
        m_w.frame->Timer1()->stop();
    });
    // Click, Enter, key release and right click, as every list of the side pane.
    auto *events = new forms::ListEvents(
        w, r, w.reader->List_bookmark, [this] { List_bookmark_Click(); }, [this] { List_bookmark_Click(); }, this);
    connect(events, &forms::ListEvents::contextMenuRequested, this, &Bookmarks::contextMenuRequested);
}

QString Bookmarks::text(const char *group, int number) const
{
    return m_w.strings->text(QString::fromLatin1(group), number);
}

QString Bookmarks::codice() const
{
    return title::titleNames(m_w.reader->Fl_main->ViewTitle()).baseName.toLower();
}

QString Bookmarks::fileTitle() const
{
    return QFileInfo(m_path).fileName();
}

void Bookmarks::itemEdited(int row)
{
    // A name typed over the old one (the list keeps the old for an empty one).
    setModified(true);
    m_w.frame->statusBar()->showMessage(m_rows.at(row).text);
}

int Bookmarks::currentRow() const
{
    const QModelIndex current = m_w.reader->List_bookmark->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void Bookmarks::setCurrentRow(int row)
{
    m_w.reader->List_bookmark->setCurrentIndex(m_rows.index(row));
}

bool Bookmarks::eventFilter(QObject *watched, QEvent *event)
{
    // F2 in the list renames the bookmark selected: the key reaches the
    // list instead of the window's F2, the search panel.
    if (event->type() == QEvent::ShortcutOverride && watched == m_w.reader->List_bookmark) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier && currentRow() >= 0)
            event->accept();
    }
    return QObject::eventFilter(watched, event);
}

void Bookmarks::renameCurrent()
{
    QTreeView *list = m_w.reader->List_bookmark;
    if (list->currentIndex().isValid()) {
        list->setFocus();
        list->edit(list->currentIndex());
    }
}

void Bookmarks::setModified(bool modified)
{
    m_modified = modified;
    if (modified) {
        // The copy belongs to the title shown when the list changed.
        if (m_recoveryFile.isEmpty())
            m_recoveryFile = recoveryPath();
        m_recoveryTimer->start();
    } else {
        sessionEnded();
    }
    refreshPanelTitle();
}

void Bookmarks::refreshPanelTitle()
{
    if (!m_w.reader->isShown(forms::Panel::Bookmarks))
        return;
    QString caption = QString(text("MENU", 22)).remove(u'&');
    if (m_named)
        caption += QStringLiteral(" (") + fileTitle() + u')';
    if (m_modified)
        caption += QStringLiteral(" *");
    forms::setPanelTitle(m_w, caption, forms::kBookmarksTitleColor);
}

// --- The recovery copy ---------------------------------------------------------

QString Bookmarks::recoveryPath() const
{
    // One copy per title file: two editions of one name in two folders
    // keep theirs apart.
    const QString title = m_w.reader->Fl_main->ViewTitle();
    const QString canonical = QFileInfo(title).canonicalFilePath();
    const QByteArray id =
        QCryptographicHash::hash((canonical.isEmpty() ? title : canonical).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    return m_w.settingsFolder + QStringLiteral("/Recovery/") + codice() + u'-' + QString::fromLatin1(id) +
           QStringLiteral(".bkm");
}

void Bookmarks::writeRecoveryNow()
{
    m_recoveryTimer->stop();
    if (!m_modified || m_recoveryFile.isEmpty() || m_w.reader->Fl_main->ViewTitle().isEmpty())
        return;
    QDir().mkpath(QFileInfo(m_recoveryFile).absolutePath());
    const RecoveredBookmarks r{m_w.reader->Fl_main->ViewTitle(), m_named ? m_path : QString(), codice(), m_rows.rows()};
    if (const int err = writeRecoveryFile(m_recoveryFile, r); err != 0)
        qWarning("The bookmarks' recovery copy could not be written (error %d)", err);
}

bool Bookmarks::offerRecovery()
{
    const QString path = recoveryPath();
    if (m_w.reader->Fl_main->ViewTitle().isEmpty() || !QFileInfo::exists(path))
        return false;
    RecoveredBookmarks r;
    if (readRecoveryFile(path, &r) != 0 || !title::sameFile(r.titlePath, m_w.reader->Fl_main->ViewTitle())) {
        QFile::remove(path); // damaged, or not this title's: nothing to give back
        return false;
    }
    const QString name = m_t.TitleName.isEmpty() ? QFileInfo(r.titlePath).completeBaseName() : m_t.TitleName;
    m_w.loading->hide(); // the question is asked over the window, not over "Loading"
    const Answer a = m_w.dialogs->message(m_w.frame, text("BMSG", 36).arg(name), QString(text("MENU", 22)).remove(u'&'),
                                          Icon::Question, Buttons::YesNo);
    if (a != Answer::Yes) {
        QFile::remove(path);
        return false;
    }
    m_rows.setRows(r.list);
    m_path = r.filePath;
    m_named = !m_path.isEmpty();
    m_recoveryFile = path;
    enableForList();
    forms::MDIForm1 *frame = m_w.frame;
    frame->button("BookmarkSalva")->setEnabled(true);
    for (forms::ItemName n : forms::ItemList{"BookmarkSalva", "BookmarkSalvaSous"})
        frame->item(n)->setEnabled(true);
    setModified(true);
    if (!r.list.empty())
        Bookmark_list();
    m_hotspots.MetteIlGiustoFocus();
    return true;
}

void Bookmarks::sessionEnded()
{
    m_recoveryTimer->stop();
    if (!m_recoveryFile.isEmpty())
        QFile::remove(m_recoveryFile);
    m_recoveryFile.clear();
}

// --- The list -------------------------------------------------------------------

void Bookmarks::Bookmark_add()
{
    forms::Form1 *f = m_w.reader;
    forms::MDIForm1 *frame = m_w.frame;
    const engine::TopicView *main = f->Fl_main;
    if (main->ViewTitle().isEmpty())
        return;
    QTreeView *list = f->List_bookmark;
    const BookmarkEntry e = bookmarkEntry(main->ViewTopic());
    // The same topic is bookmarked once: found by its topic, its place refreshed.
    const int found = m_rows.rowOfTopic(main->TopicIndex());
    if (found < 0) {
        m_rows.insert(m_rows.rowCount(), {e.icon, e.text, main->place()});
        frame->button("Bookmarklist")->setEnabled(true);
        frame->item("Segnalibri")->setEnabled(true);
        setCurrentRow(m_rows.rowCount() - 1);
        m_notice->setText(text("LOAD", 1));
        m_notice->setShowAsSplash(true);
        QWidget *focus = QApplication::focusWidget();
        m_notice->showCentred();
        if (focus)
            focus->setFocus();
        frame->Timer1()->start();
    } else {
        setCurrentRow(found);
        m_rows.setPlace(found, main->place());
    }
    for (forms::ButtonName k : forms::ButtonList{"BookmarkSalva", "BookmarkNuovo"})
        frame->button(k)->setEnabled(true);
    for (forms::ItemName n : forms::ItemList{"BookmarkSalva", "BookmarkNuovo", "BookmarkSalvaSous"})
        frame->item(n)->setEnabled(true);
    setModified(true);
    if (f->isShown(forms::Panel::Bookmarks))
        list->setFocus();
}

void Bookmarks::Bookmark_del()
{
    forms::Form1 *f = m_w.reader;
    forms::MDIForm1 *frame = m_w.frame;
    QTreeView *list = f->List_bookmark;
    m_rows.remove(currentRow());
    setModified(true);
    if (m_rows.rowCount() == 0) {
        for (forms::ButtonName k : forms::ButtonList{"Bookmarkdel", "Bookmarklist"})
            frame->button(k)->setEnabled(false);
        for (forms::ItemName n : forms::ItemList{"Bookmarkdel", "Segnalibri"})
            frame->item(n)->setEnabled(false);
        if (!m_named) {
            frame->button("BookmarkSalva")->setEnabled(false);
            for (forms::ItemName n : forms::ItemList{"BookmarkSalva", "BookmarkSalvaSous"})
                frame->item(n)->setEnabled(false);
        }
        if (m_w.optionSet && m_w.optionSet->contentsAtStart)
            title::Sommario(m_w, m_t);
        else
            search::Cerca_parola(m_w, m_r);
    } else {
        list->setFocus();
    }
}

void Bookmarks::Bookmark_list()
{
    forms::Form1 *f = m_w.reader;
    if (forms::switchPanel(m_w, forms::Panel::Bookmarks)) {
        f->List_bookmark->setFocus();
        m_w.frame->button("Bookmarkdel")->setEnabled(m_rows.rowCount() > 0);
        m_w.frame->item("Bookmarkdel")->setEnabled(m_rows.rowCount() > 0);
        if (currentRow() >= 0)
            m_w.frame->statusBar()->showMessage(m_rows.at(currentRow()).text);
        m_w.frame->item("Segnalibri")->setEnabled(false);
    }
    refreshPanelTitle();
}

void Bookmarks::List_bookmark_Click()
{
    forms::Form1 *f = m_w.reader;
    engine::TopicView *main = f->Fl_main;
    if (currentRow() < 0)
        return;
    const Bookmark chosen = m_rows.at(currentRow());
    if (chosen.place.topic != main->TopicIndex()) {
        f->rememberPlace(m_r);
        main->goTo(chosen.place);
    }
    m_w.frame->statusBar()->showMessage(chosen.text);
}

// --- The files ------------------------------------------------------------------

void Bookmarks::CreaNuovoBookmarks()
{
    forms::MDIForm1 *frame = m_w.frame;
    m_rows.clear();
    for (forms::ButtonName k : forms::ButtonList{"Bookmarklist", "BookmarkNuovo", "Bookmarkdel"})
        frame->button(k)->setEnabled(false);
    for (forms::ItemName n : forms::ItemList{"Bookmarkdel", "BookmarkNuovo", "Segnalibri"})
        frame->item(n)->setEnabled(false);
    m_named = false;
    m_path.clear();
    setModified(false);
    m_hotspots.MetteIlGiustoFocus();
}

bool Bookmarks::listMayBeReplaced()
{
    // A cancel left over from another command (a file dialog closed) must
    // not stop this one.
    m_t.CancelFlag = false;
    VerifieBookmarks();
    if (!m_t.CancelFlag)
        return true;
    m_t.CancelFlag = false;
    m_hotspots.MetteIlGiustoFocus();
    return false;
}

void Bookmarks::NuovoBookmarks()
{
    if (!listMayBeReplaced())
        return;
    CreaNuovoBookmarks();
}

void Bookmarks::titleChanged()
{
    // The list belonged to the title left: its file must not receive the
    // next title's bookmarks.
    CreaNuovoBookmarks();
}

void Bookmarks::VerifieBookmarks()
{
    const int n = m_rows.rowCount();
    const QString caption = QString(text("MENU", 22)).remove(u'&');
    if (n >= 1 && !m_named && m_modified) {
        const Answer a =
            m_w.dialogs->message(m_w.frame, text("BMSG", 25), caption, Icon::Exclamation, Buttons::YesNoCancel);
        // "Yes" and a save that did not take place: nothing may be lost.
        if (a == Answer::Cancel || (a == Answer::Yes && !SalvaBookmarks()))
            m_t.CancelFlag = true;
    } else if (m_named && m_modified) {
        if (n == 0) {
            const Answer a =
                m_w.dialogs->message(m_w.frame, text("BMSG", 26) + u' ' + fileTitle() + u' ' + text("BMSG", 27),
                                     caption, Icon::Exclamation, Buttons::YesNoCancel, Answer::No);
            if (a == Answer::Yes) {
                // A file that cannot be removed stays as it was: the reader
                // is told, and nothing else is lost.
                if (QFile::exists(m_path) && !QFile::remove(m_path))
                    m_w.dialogs->message(m_w.frame, text("BMSG", 37).arg(QDir::toNativeSeparators(m_path)), caption,
                                         Icon::Exclamation, Buttons::Ok);
                m_named = false;
                m_path.clear();
                setModified(false);
            } else {
                m_t.CancelFlag = true;
            }
        } else {
            const Answer a =
                m_w.dialogs->message(m_w.frame, text("BMSG", 28) + u' ' + fileTitle() + u' ' + text("BMSG", 29),
                                     caption, Icon::Exclamation, Buttons::YesNoCancel);
            if (a == Answer::Cancel || (a == Answer::Yes && !SalvaBookmarks()))
                m_t.CancelFlag = true;
            else if (a == Answer::No)
                CreaNuovoBookmarks();
        }
    }
}

void Bookmarks::ApriBookmarks()
{
    if (!listMayBeReplaced())
        return;
    config::FileDialogRequest r;
    r.folder = m_w.programFolder;
    r.filter = text("BMSG", 33);
    const QString chosen = title::ApriFile(m_w, m_t, r);
    if (m_t.CancelFlag || chosen.isEmpty()) {
        m_t.CancelFlag = false;
        m_hotspots.MetteIlGiustoFocus();
        return;
    }
    const QString caption = QString(text("MENU", 22)).remove(u'&');
    // Read into a list of its own: the list shown changes only for a file
    // of this title.
    QString owner;
    std::vector<Bookmark> read;
    removeLeftovers(chosen); // a save of this file cut short, long ago
    if (readBookmarkFile(chosen, &owner, &read) != 0) {
        m_w.dialogs->message(m_w.frame, text("BMSG", 23), caption, Icon::Critical, Buttons::Ok);
        return;
    }
    if (!read.empty() && owner.compare(codice(), Qt::CaseInsensitive) != 0) {
        m_w.dialogs->message(m_w.frame, text("BMSG", 24), caption, Icon::Exclamation, Buttons::Ok);
        m_hotspots.MetteIlGiustoFocus();
        return;
    }
    m_rows.setRows(read);
    m_path = chosen;
    m_named = true;
    setModified(false);
    enableForList();
    Bookmark_list();
    setCurrentRow(0);
    m_hotspots.MetteIlGiustoFocus();
}

void Bookmarks::enableForList()
{
    forms::MDIForm1 *frame = m_w.frame;
    const bool rows = m_rows.rowCount() > 0;
    frame->button("Bookmarklist")->setEnabled(rows);
    frame->item("Segnalibri")->setEnabled(rows);
    frame->button("BookmarkNuovo")->setEnabled(true);
    for (forms::ItemName n : forms::ItemList{"BookmarkNuovo", "BookmarkSalvaSous"})
        frame->item(n)->setEnabled(true);
}

bool Bookmarks::SalvaBookmarks()
{
    forms::MDIForm1 *frame = m_w.frame;
    const QString caption = QString(text("MENU", 22)).remove(u'&');
    QString path = m_path;
    if (!m_named) {
        config::FileDialogRequest r;
        r.folder = m_w.programFolder;
        r.filter = text("BMSG", 33);
        r.save = true;
        const QString chosen = title::ApriFile(m_w, m_t, r);
        if (m_t.CancelFlag || chosen.isEmpty()) {
            m_t.CancelFlag = false;
            m_hotspots.MetteIlGiustoFocus();
            return false;
        }
        path = newBookmarkFilePath(chosen);
        if (QFileInfo::exists(path)) {
            const Answer a =
                m_w.dialogs->message(frame, text("BMSG", 30) + u' ' + QFileInfo(path).fileName() + QStringLiteral(" ?"),
                                     caption, Icon::Exclamation, Buttons::OkCancel, Answer::Cancel);
            if (a != Answer::Ok) {
                m_hotspots.MetteIlGiustoFocus();
                return false;
            }
        }
    }
    // Written whole beside the old file, which it replaces only once
    // complete: a failure leaves the old file as it was.
    if (const int err = writeBookmarkFile(path, codice(), m_rows.rows()); err != 0) {
        m_w.dialogs->message(frame, text("BMSG", 21) + QStringLiteral("\n\n") + path, caption, Icon::Exclamation,
                             Buttons::Ok);
        m_hotspots.MetteIlGiustoFocus();
        return false;
    }
    m_path = path;
    frame->button("BookmarkSalva")->setEnabled(false);
    frame->item("BookmarkSalva")->setEnabled(false);
    m_named = true;
    setModified(false);
    m_hotspots.MetteIlGiustoFocus();
    return true;
}

void Bookmarks::BookmarkSalvaSous_Click()
{
    const bool wasNamed = m_named;
    m_named = false;
    if (!SalvaBookmarks())
        m_named = wasNamed;
}

} // namespace folium::bookmarks
