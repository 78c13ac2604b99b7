// The state the reader's parts share, grouped by the part that owns it. One
// instance lives in the program object and is passed to every part.
#pragma once

#include "last_files.h"
#include "option_set.h"

#include <QDate>
#include <QPointer>
#include <QWidget>
#include <QString>
#include <QStringList>

namespace folium::forms {

// The open title, its database and its parameters.
struct TitleState {
    QString TitlePath;
    bool CancelFlag = false;
    bool TitleLoading = false;       // the engine is being given a title
    bool TreeSyncSuppressed = false; // the next topic change leaves the tree alone
    bool NoTitleDatabase = false;
    QString TitleDatabasePath;
    config::LastFiles lastFiles;

    // Read from table "Param" at each opening.
    QStringList SubsetGroupIds, SubsetGroupNames;
    int SubsetGroupLast = -1;
    bool DateSearchEnabled = false;
    bool LetterSearchEnabled = false;
    bool RandomTopicMode = false;
    QString TitleName;
    QDate StartDate;
};

// The reading panes: history bookkeeping, hotspot stepping and the flags of
// the reader window's key handler.
struct ReaderState {
    int LastTopicIndex = 1;
    int CurrentHistoryRow = 1;
    int SavedHistoryRow = 1;
    bool IgnoreTopicChange = false;
    bool HistoryGoingBack = false;
    bool HistoryGoingForward = false;
    bool HistoryListJump = false;
    bool AlwaysAddToHistory = false;

    int CurrentHotspot = 0;
    int NsrHotspotCount = 0;
    int HotspotCount = 0;
    QString HotspotTopicData;
    QString HotspotNumberText;
    bool SteppingAcrossTopics = false;
    bool InHotspotClick = false;
    bool HotspotKey = false;
    bool MainPaneHasFocus = false;
    int LastKey = 0; // the last key pressed if it pages the text (Qt::Key_PageUp, ...), else 0

    bool NotesAtBottom = false;
    bool NotesPaneOpen = false;
    // The pane that Shift with the arrows and the wheel scroll: the notes
    // when the wheel last turned over the open notes pane, else the topic.
    bool ScrollPaneIsNotes = false;
    bool AutoNotes = false;
    long PopupBackColor = 13690848;

    bool CtrlDown = false;
    bool AltDown = false;
    bool FocusAfterKey = false;
    bool NextResultKeyHandled = false;
    bool PreviousResultKeyHandled = false;

    // The search panel.
    QString LastQuery;              // the last query that found something
    int QueryCaretPos = 0;          // the caret of the search field last typed in
    bool RestoreQueryCaret = false; // put it back when the field gains the focus
    int LastSearchField = 0;        // 0 the query box, 1 the letter or date field
    bool FocusLeftImplicitAnd = false;
    int ResultCount = 0;
    bool ListRightClickPending = false;
    int ListRightClickIndex = -1;

    // Search hits in the topic shown. Highlighting starts on, everywhere.
    bool HitHighlighting = true;
    int HighlightCount = 0;
    int CurrentHighlight = -1;

    // The control last right-clicked: what the context menu's "What's this"
    // asks about.
    QPointer<QWidget> ContextMenuSource;
};

} // namespace folium::forms
