// What a click on a hotspot does in each pane, stepping from note call to
// note call, and the notes pane under the main pane.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace folium::engine {
struct HotspotTarget;
struct TVRegion;
} // namespace folium::engine

namespace folium::forms {
struct ReaderState;
struct Windows;
} // namespace folium::forms

namespace folium::reader {

using forms::ReaderState;
using forms::Windows;

// A hotspot's code string as titles write it: the longest prefix made of
// "NBSMK0123456789." within its first 20 characters.
struct HotspotCode {
    QString code;
    QChar kind;      // 'N' main pane, 'B' popup, anything else a plain jump
    QString context; // before the last "." (the whole code without one)
    QString number;  // after the last "."
    bool hasDot = false;
};
HotspotCode readHotspotCode(const QByteArray &data);

class Hotspots : public QObject {
    Q_OBJECT
public:
    Hotspots(Windows &w, ReaderState &r, QObject *parent = nullptr);

    // Whether Ctrl is held for this click: the key handler's flag or the
    // modifiers of the click itself.
    bool ctrlHeld() const;

    void Fl_main_HotspotClicked(int type, const engine::HotspotTarget &target, bool *cancel);
    void Fl_sec_HotspotClicked(int type, const engine::HotspotTarget &target, bool *cancel);
    void Med2_HotspotClicked(int type, const engine::HotspotTarget &target, bool *cancel);

    void HotspotInit();
    void HotspotNext();
    void HotspotBack();
    void IlluminaHotspot();
    void InizializzaHotspotFocus(engine::TVRegion region);
    // Puts the focus back on the current call after the text re-flowed.
    void RimetteIlFocus();
    void MetteIlGiustoFocus();

    void OuvreFenetreNotes();
    void NotesFermer_Click();
    void NoteBasPage_Click();
    // Opens the note of the focused note call, as a click on it would.
    void AfficheNoteAvecClick();

    // The panes' focus and mouse events keep the copy command and the two
    // panes' selections consistent.
    void Fl_main_LostFocus();
    void Fl_sec_LostFocus();
    void paneMouseUp(bool mainPane);

private:
    void enableCopy(bool on);
    void afterStep();
    // Jumps to the note call CurrentHotspot; false when it is no note call.
    bool jumpToNoteCall();
    QString noteContext() const;
    void toNotesPane();
    void highlightInNotes();

    Windows &m_w;
    ReaderState &m_r;
};

} // namespace folium::reader
