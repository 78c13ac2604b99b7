#include "hotspots.h"

#include "engine_errors.h"
#include "form1.h"
#include "form2.h"
#include "mdiform1.h"
#include "state.h"
#include "title_schema.h"
#include "topicview.h"
#include "windows.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QSplitter>
#include <QToolButton>
#include <QTreeView>

namespace folium::reader {

using engine::TopicView;
using engine::TVError;
using engine::TVHotspotInfo;
using engine::TVRegion;

HotspotCode readHotspotCode(const QByteArray &data)
{
    static const char kAllowed[] = "NBSMK0123456789.";
    HotspotCode h;
    // Never more than the 20 characters that count.
    int n = 0;
    while (n < 20 && n < data.size() && data[n] != '\0' && std::strchr(kAllowed, data[n]))
        ++n;
    h.code = QString::fromLatin1(data.constData(), n);
    h.kind = h.code.isEmpty() ? QChar() : h.code.at(0);
    const qsizetype dot = h.code.lastIndexOf(u'.');
    h.hasDot = dot >= 0;
    h.context = h.hasDot ? h.code.left(dot) : h.code;
    h.number = h.hasDot ? h.code.mid(dot + 1) : QString();
    return h;
}

Hotspots::Hotspots(Windows &w, ReaderState &r, QObject *parent) : QObject(parent), m_w(w), m_r(r)
{
    forms::Form1 *f = w.reader;
    connect(f->Fl_main, &TopicView::HotspotClicked, this, &Hotspots::Fl_main_HotspotClicked);
    connect(f->Fl_sec, &TopicView::HotspotClicked, this, &Hotspots::Fl_sec_HotspotClicked);
    connect(f->Med2, &TopicView::HotspotClicked, this, &Hotspots::Med2_HotspotClicked);
    connect(f->NotesFermer, &QAbstractButton::clicked, this, &Hotspots::NotesFermer_Click);
    connect(f->Fl_main, &TopicView::GotFocus, this, [this] { m_r.MainPaneHasFocus = true; });
    connect(f->Fl_main, &TopicView::LostFocus, this, &Hotspots::Fl_main_LostFocus);
    connect(f->Fl_sec, &TopicView::LostFocus, this, &Hotspots::Fl_sec_LostFocus);
    const auto mainUp = [this](int, int, int, int) { paneMouseUp(true); };
    const auto secUp = [this](int, int, int, int) { paneMouseUp(false); };
    connect(f->Fl_main, &TopicView::MouseUpNSR, this, mainUp);
    connect(f->Fl_main, &TopicView::MouseUpSR, this, mainUp);
    connect(f->Fl_sec, &TopicView::MouseUpNSR, this, secUp);
    connect(f->Fl_sec, &TopicView::MouseUpSR, this, secUp);
}

void Hotspots::enableCopy(bool on)
{
    m_w.frame->button("Copia")->setEnabled(on);
    m_w.frame->item("Copia")->setEnabled(on);
}

void Hotspots::Fl_main_LostFocus()
{
    TopicView *main = m_w.reader->Fl_main;
    TopicView *sec = m_w.reader->Fl_sec;
    const bool secTitled = !sec->ViewTitle().isEmpty();
    TVError err;
    if (main->HasSelection()) {
        if (secTitled)
            engine::fTVClearSelection(sec->lpTVSR(), &err);
        enableCopy(true);
    } else if (!secTitled || !sec->HasSelection()) {
        enableCopy(false);
    }
    m_r.MainPaneHasFocus = false;
}

void Hotspots::Fl_sec_LostFocus()
{
    TopicView *main = m_w.reader->Fl_main;
    TopicView *sec = m_w.reader->Fl_sec;
    if (sec->ViewTitle().isEmpty())
        return;
    TVError err;
    if (sec->HasSelection()) {
        engine::fTVClearSelection(main->lpTVSR(), &err);
        enableCopy(true);
    } else if (!main->HasSelection()) {
        enableCopy(false);
    }
}

void Hotspots::paneMouseUp(bool mainPane)
{
    // A selection made in one pane drops the other pane's.
    TopicView *main = m_w.reader->Fl_main;
    TopicView *sec = m_w.reader->Fl_sec;
    TVError err;
    if (mainPane) {
        if (main->HasSelection())
            enableCopy(true);
        if (!sec->ViewTitle().isEmpty())
            engine::fTVClearSelection(sec->lpTVSR(), &err);
    } else {
        if (!sec->ViewTitle().isEmpty() && sec->HasSelection())
            enableCopy(true);
        engine::fTVClearSelection(main->lpTVNSR(), &err);
        engine::fTVClearSelection(main->lpTVSR(), &err);
    }
    m_r.LastKey = 0;
    m_r.InHotspotClick = false;
    MetteIlGiustoFocus();
}

bool Hotspots::ctrlHeld() const
{
    return m_r.CtrlDown || (QGuiApplication::keyboardModifiers() & Qt::ControlModifier);
}

void Hotspots::toNotesPane()
{
    forms::Form1 *f = m_w.reader;
    if (!m_r.NotesPaneOpen) {
        OuvreFenetreNotes();
        m_w.frame->item("NoteBasPage")->setChecked(true);
    }
    f->Fl_sec->setViewTitle(f->Fl_main->ViewTitle());
    f->Fl_sec->setFontZoom(f->Fl_main->FontZoom());
}

void Hotspots::highlightInNotes()
{
    if (m_r.LastQuery.isEmpty() || !m_r.HitHighlighting)
        return;
    TopicView *sec = m_w.reader->Fl_sec;
    sec->setHiliteSearchHits(true);
    sec->setSearchMode(1);
    sec->RunSearch(m_r.LastQuery);
}

void Hotspots::Fl_main_HotspotClicked(int type, const engine::HotspotTarget &target, bool *cancel)
{
    forms::Form1 *f = m_w.reader;
    TopicView *main = f->Fl_main;
    m_r.InHotspotClick = true;
    m_r.FocusAfterKey = true;
    f->rememberPlace(m_r);
    if (type == engine::HotspotCode) {
        const HotspotCode h = readHotspotCode(target.code);
        if (h.kind == u'N') {
            main->JumpContext(h.code);
            *cancel = true;
        } else if (ctrlHeld() || m_r.NotesAtBottom) {
            toNotesPane();
            f->Fl_sec->JumpContext(h.code);
            highlightInNotes();
        } else if (h.kind == u'B') {
            TopicView *popup = f->Med2;
            const uint32_t address = engine::vaTVConvertContextString(main->GetViewerWindow(), target.code.constData());
            popup->setViewTitle(main->ViewTitle());
            popup->JumpToAddress(long(address), 0);
            popup->setFontZoom(main->FontZoom());
            popup->setBackColorPopup(m_r.PopupBackColor);
            popup->move(main->mapTo(f, QPoint(0, 0)));
            popup->PopupTopic(popup->TopicIndex());
        } else if (h.hasDot) {
            main->JumpContext(h.context);
            m_r.CurrentHotspot = h.number.toInt();
            HotspotNext();
            IlluminaHotspot();
        } else {
            main->JumpContext(h.code);
        }
    } else if (type == engine::HotspotPopup) {
        m_r.InHotspotClick = false;
        if (m_r.HotspotKey) {
            *cancel = true;
            m_r.HotspotKey = false;
        }
    } else if (type == engine::HotspotJump) {
        const long id = long(target.id);
        int counter = 0;
        TVError err;
        TVHotspotInfo info;
        for (int i = 1; i <= m_r.NsrHotspotCount; ++i) {
            engine::fTVGetHotspotInfo(main->lpTVNSR(), i - 1, &info, &err);
            ++counter;
            if (info.field[6] == id) {
                InizializzaHotspotFocus(main->lpTVSR());
                m_r.CurrentHotspot = counter;
                IlluminaHotspot();
                break;
            }
        }
        m_r.CurrentHotspot = counter;
        if (m_r.HotspotCount - m_r.NsrHotspotCount > 0) {
            counter = 0;
            for (int i = 1; i <= m_r.HotspotCount - m_r.NsrHotspotCount; ++i) {
                engine::fTVGetHotspotInfo(main->lpTVSR(), i - 1, &info, &err);
                ++counter;
                if (info.field[6] == id) {
                    InizializzaHotspotFocus(main->lpTVNSR());
                    m_r.CurrentHotspot = counter + m_r.NsrHotspotCount;
                    IlluminaHotspot();
                    break;
                }
            }
        }
        if (ctrlHeld() || m_r.NotesAtBottom) {
            toNotesPane();
            const uint32_t address = engine::vaTVConvertHash(main->GetViewerWindow(), target.id);
            f->Fl_sec->JumpToAddress(long(address), 0);
            highlightInNotes();
            IlluminaHotspot();
            *cancel = true;
        }
    }
    m_r.InHotspotClick = false;
}

void Hotspots::Fl_sec_HotspotClicked(int type, const engine::HotspotTarget &target, bool *cancel)
{
    forms::Form1 *f = m_w.reader;
    TopicView *main = f->Fl_main;
    if (type != engine::HotspotCode) {
        Fl_main_HotspotClicked(type, target, cancel);
        *cancel = true;
        return;
    }
    const HotspotCode h = readHotspotCode(target.code);
    if (h.kind == u'N') {
        main->JumpContext(h.code);
        *cancel = true;
    } else if (h.kind == u'B') {
        f->Fl_sec->JumpToAddress(
            long(engine::vaTVConvertContextString(main->GetViewerWindow(), target.code.constData())), 0);
    } else if (h.hasDot) {
        main->JumpContext(h.context);
        m_r.CurrentHotspot = h.number.toInt();
        HotspotNext();
        IlluminaHotspot();
        AfficheNoteAvecClick();
    } else {
        main->JumpContext(h.code);
    }
}

void Hotspots::Med2_HotspotClicked(int type, const engine::HotspotTarget &target, bool *cancel)
{
    Fl_main_HotspotClicked(type, target, cancel);
    // A jump the main handler leaves to the engine would only move the
    // hidden popup pane: it is the main pane's to make.
    if (type == engine::HotspotJump && !*cancel) {
        TopicView *main = m_w.reader->Fl_main;
        main->JumpToAddress(long(engine::vaTVConvertHash(main->GetViewerWindow(), target.id)), 0);
        *cancel = true;
    }
    m_w.reader->Med2->PopupTopic(-1);
}

QString Hotspots::noteContext() const
{
    return QStringLiteral("N") + m_r.HotspotTopicData + u'.' + QString::number(m_r.CurrentHotspot);
}

void Hotspots::HotspotInit()
{
    TopicView *main = m_w.reader->Fl_main;
    TVError err;
    m_r.NsrHotspotCount = int(engine::lTVGetHotspotCount(main->lpTVNSR(), &err));
    m_r.HotspotCount = int(engine::lTVGetHotspotCount(main->lpTVSR(), &err)) + m_r.NsrHotspotCount;
    if (!m_r.SteppingAcrossTopics) {
        m_r.CurrentHotspot = 0;
        m_r.HotspotTopicData = main->TopicData();
    } else {
        m_r.SteppingAcrossTopics = false;
    }
}

bool Hotspots::jumpToNoteCall()
{
    m_r.SteppingAcrossTopics = true;
    return m_w.reader->Fl_main->JumpContext(noteContext()) != engine::kErrNoContext;
}

// A hotspot that is no note call (a name's popup, a link) has no note
// context: stepping passes over it to the next call, so that the keys step
// through the notes only.
void Hotspots::HotspotNext()
{
    ++m_r.CurrentHotspot;
    bool found = jumpToNoteCall();
    while (!found && m_r.CurrentHotspot < m_r.HotspotCount) {
        ++m_r.CurrentHotspot;
        found = jumpToNoteCall();
    }
    if (!found) {
        m_r.CurrentHotspot = 1;
        found = jumpToNoteCall();
        while (!found && m_r.CurrentHotspot < m_r.HotspotCount) {
            ++m_r.CurrentHotspot;
            found = jumpToNoteCall();
        }
    }
    IlluminaHotspot();
    afterStep();
}

void Hotspots::HotspotBack()
{
    if (m_r.CurrentHotspot > 0)
        --m_r.CurrentHotspot;
    else
        m_r.CurrentHotspot = m_r.HotspotCount;
    bool found = jumpToNoteCall();
    while (!found && m_r.CurrentHotspot > 1) {
        --m_r.CurrentHotspot;
        found = jumpToNoteCall();
    }
    if (!found) {
        m_r.CurrentHotspot = m_r.HotspotCount;
        found = jumpToNoteCall();
        while (!found && m_r.CurrentHotspot > 1) {
            --m_r.CurrentHotspot;
            found = jumpToNoteCall();
        }
    }
    if (m_r.CurrentHotspot > 0)
        IlluminaHotspot();
    afterStep();
}

void Hotspots::afterStep()
{
    // With automatic notes, each step opens the note of the call reached.
    if (m_r.AutoNotes) {
        m_r.FocusAfterKey = true;
        AfficheNoteAvecClick();
    }
    MetteIlGiustoFocus();
    m_r.SteppingAcrossTopics = false;
}

void Hotspots::IlluminaHotspot()
{
    TopicView *main = m_w.reader->Fl_main;
    const bool inNsr = m_r.CurrentHotspot <= m_r.NsrHotspotCount;
    const TVRegion region = inNsr ? main->lpTVNSR() : main->lpTVSR();
    const int index = inNsr ? m_r.CurrentHotspot - 1 : m_r.CurrentHotspot - m_r.NsrHotspotCount - 1;
    const int limit = (inNsr ? m_r.NsrHotspotCount : m_r.HotspotCount) + 1;
    TVError err;
    TVHotspotInfo target;
    if (!engine::fTVGetHotspotInfo(region, index, &target, &err))
        return;
    for (int i = 0; i < limit; ++i) {
        TVHotspotInfo focus;
        engine::fTVMoveFocus(region, -1, &err);
        if (engine::fTVFocusInfo(region, &focus, &err) && focus.field[6] == target.field[6])
            break;
    }
}

void Hotspots::InizializzaHotspotFocus(TVRegion region)
{
    // Runs the region's focus out; bounded by its hotspot count.
    TVError err;
    const long bound = engine::lTVGetHotspotCount(region, &err) + 1;
    err.code = 0;
    TVHotspotInfo info;
    for (long i = 0; i < bound && err.code == 0; ++i) {
        engine::fTVMoveFocus(region, -1, &err);
        if (err.code == 0)
            engine::fTVFocusInfo(region, &info, &err);
    }
}

void Hotspots::RimetteIlFocus()
{
    TopicView *main = m_w.reader->Fl_main;
    const bool inNsr = m_r.CurrentHotspot <= m_r.NsrHotspotCount;
    const TVRegion region = inNsr ? main->lpTVNSR() : main->lpTVSR();
    InizializzaHotspotFocus(region);
    const int steps = inNsr ? m_r.CurrentHotspot : m_r.CurrentHotspot - m_r.NsrHotspotCount;
    TVError err;
    for (int i = 0; i < steps; ++i)
        engine::fTVMoveFocus(region, -1, &err);
}

void Hotspots::MetteIlGiustoFocus()
{
    forms::Form1 *f = m_w.reader;
    if (m_r.MainPaneHasFocus && m_r.LastKey != 0) // a paging key in the text
        return;
    switch (f->shownPanel()) {
    case forms::Panel::Search:
        // The search field used last: the query box, or the letter or date field.
        if (m_r.LastSearchField != 1)
            f->Combo_perparole->setFocus();
        else if (!f->FramePerLettera->isHidden())
            f->ComboPerLettera->setFocus();
        else
            f->DatePicker->setFocus();
        if (m_r.RestoreQueryCaret) {
            m_r.RestoreQueryCaret = false;
            if (QLineEdit *edit = f->Combo_perparole->lineEdit())
                edit->setCursorPosition(m_r.QueryCaretPos);
        }
        break;
    case forms::Panel::Results: f->List_risultati->setFocus(); break;
    case forms::Panel::Contents: f->TreeSommario->setFocus(); break;
    case forms::Panel::Bookmarks: f->List_bookmark->setFocus(); break;
    case forms::Panel::History: f->List_cronologia->setFocus(); break;
    case forms::Panel::None: break;
    }
    m_r.FocusAfterKey = false;
}

void Hotspots::OuvreFenetreNotes()
{
    forms::Form1 *f = m_w.reader;
    m_r.NotesPaneOpen = true;
    m_r.NotesAtBottom = true;
    f->Text_notes->show();
    // The pane takes 30 pixels plus a fifth of the rest of the height.
    const int h = f->Splitter2->height();
    const int top = h < 30 ? h : h - (int((h - 30) * 20 / 100) + 30);
    f->Splitter2->setSizes({top, h - top});
    if (m_r.CurrentHotspot > 0)
        IlluminaHotspot();
}

void Hotspots::NotesFermer_Click()
{
    forms::Form1 *f = m_w.reader;
    m_r.NotesPaneOpen = false;
    if (!m_w.options->CheckNotes->isChecked())
        m_r.NotesAtBottom = false;
    m_w.frame->item("NoteBasPage")->setChecked(false);
    f->Text_notes->hide();
    if (m_r.CurrentHotspot > 0)
        IlluminaHotspot();
}

void Hotspots::NoteBasPage_Click()
{
    QAction *item = m_w.frame->item("NoteBasPage");
    if (!m_r.NotesPaneOpen) {
        OuvreFenetreNotes();
        item->setChecked(true);
    } else {
        NotesFermer_Click();
        m_r.NotesPaneOpen = false;
        item->setChecked(false);
    }
}

void Hotspots::AfficheNoteAvecClick()
{
    m_r.FocusAfterKey = true;
    TopicView *main = m_w.reader->Fl_main;
    // The engine activates the focused call itself, as a click on it would.
    TVError err;
    TVHotspotInfo info;
    if (!engine::fTVFocusInfo(main->lpTVSR(), &info, &err)) {
        err.code = 0;
        if (!engine::fTVFocusInfo(main->lpTVNSR(), &info, &err))
            return;
    }
    main->activateHotspot(main->TopicIndex(), int(info.field[1]));
}

} // namespace folium::reader
