// The bookmark list of the side pane and the bookmark files it is kept in:
// adding the topic shown, deleting, the panel, jumping to an entry; new,
// open, save, save as, and the question before unsaved bookmarks are lost.
//
// Where the plain rules of these commands would lose bookmarks, they do
// otherwise: only a new file's name is lower-cased,
// never its folder, and a chosen file is opened as given; a file is read
// into a list of its own and replaces the list only once it is known to
// belong to the title; the named file is forgotten when another title
// opens; "Yes, save" followed by a cancelled or failed save keeps the
// program (or the title) open; a save is written whole beside the old file
// and takes its place only when complete, and a failed save says so and
// keeps the list marked as changed.
//
// A list with changes not saved yet shows an asterisk after its title and
// is copied to a recovery file a moment after each change; the copy goes
// once the list is saved or its changes are given up, and is offered back
// when its title is next opened, so that a session that ends without a
// word (a logout, a kill, a crash) loses no bookmark.
#pragma once

#include "bookmark_file.h"
#include "place_list.h"

#include <QObject>
#include <QString>

class QTimer;
class QWidget;

namespace folium::forms {
class Form3;
struct ReaderState;
struct TitleState;
struct Windows;
} // namespace folium::forms

namespace folium::reader {
class Hotspots;
}

namespace folium::bookmarks {

// How the topic shown is listed among the bookmarks, from its title.
struct BookmarkEntry {
    int icon;
    QString text;
};
BookmarkEntry bookmarkEntry(const QString &topicTitle);

class Bookmarks : public QObject {
    Q_OBJECT
public:
    Bookmarks(forms::Windows &w, forms::TitleState &t, forms::ReaderState &r, reader::Hotspots &hotspots,
              QObject *parent = nullptr);

    void Bookmark_add();
    void Bookmark_del();
    void Bookmark_list();
    void List_bookmark_Click();

    void NuovoBookmarks();
    void ApriBookmarks();
    // Saves to the named file, or asks for one; true when the list was saved.
    bool SalvaBookmarks();
    void BookmarkSalvaSous_Click();
    void CreaNuovoBookmarks();
    // Asks what to do with unsaved bookmarks; sets CancelFlag when the
    // caller must stop.
    void VerifieBookmarks();
    // Another title opens: the list and its file are forgotten.
    void titleChanged();
    // The bookmark selected takes a new name, typed in place (F2).
    void renameCurrent();
    // The panel title: the list's name, its file, and an asterisk while it
    // has changes not saved (when the panel shows).
    void refreshPanelTitle();

    // The recovery copy: the file of the open title's, written now rather
    // than in a moment; the open title's copy offered back (true when it
    // was taken); the copy removed, as the program ends with nothing left
    // to recover.
    QString recoveryPath() const;
    void writeRecoveryNow();
    bool offerRecovery();
    void sessionEnded();

    bool named() const { return m_named; }
    bool modified() const { return m_modified; }
    const QString &filePath() const { return m_path; }
    forms::Form3 *Form5() const { return m_notice; }
    const forms::PlaceList &rows() const { return m_rows; }

signals:
    void contextMenuRequested(QWidget *source);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Offers to save the changed list before another replaces it; false
    // when the reader cancels.
    bool listMayBeReplaced();
    QString codice() const;
    QString fileTitle() const;
    QString text(const char *group, int number) const;
    void enableForList();
    // The list changed, or now stands as saved (or given up).
    void setModified(bool modified);
    void itemEdited(int row);
    int currentRow() const; // 0-based, -1 for none
    void setCurrentRow(int row);

    forms::Windows &m_w;
    forms::TitleState &m_t;
    forms::ReaderState &m_r;
    reader::Hotspots &m_hotspots;
    forms::Form3 *m_notice;
    bool m_named = false;
    bool m_modified = false;
    forms::PlaceList m_rows{true};
    QString m_path;
    QTimer *m_recoveryTimer;
    QString m_recoveryFile; // the copy of the list's changes, while it has some
};

} // namespace folium::bookmarks
