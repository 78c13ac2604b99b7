// The history of the topics visited in the title, newest first: its rows
// (a list of places, each keeping where its topic was scrolled to), added
// as each topic is shown; its panel, going back and forward through it, and
// choosing a row.
#pragma once

#include "place_list.h"

#include <QObject>

class QWidget;

namespace folium::forms {
struct ReaderState;
struct TitleState;
struct Windows;
} // namespace folium::forms

namespace folium::reader {
class Hotspots;
class TopicDisplay;
} // namespace folium::reader

namespace folium::history {

class History : public QObject {
    Q_OBJECT
public:
    History(forms::Windows &w, forms::TitleState &t, forms::ReaderState &r, reader::Hotspots &hotspots,
            reader::TopicDisplay &display, QObject *parent = nullptr);

    const forms::PlaceList &rows() const { return m_rows; }

    void Cronologia_list();
    void BackCrono();
    void NextCrono();
    // A row chosen with the mouse (the topic at its top, a new row) or with
    // Enter (the place kept in the row, no new row).
    void List_cronologia_Click();
    void List_cronologia_Enter();

signals:
    void contextMenuRequested(QWidget *source);

private:
    // A topic shown: a new row unless it was reached through the history.
    void topicShown(const engine::Place &place);
    void refreshRow(int row);
    void setCurrentRow(int row);
    int currentRow() const;
    void showNoteRow(int row, bool goingBack);
    void enableForCurrentRow();

    forms::Windows &m_w;
    forms::TitleState &m_t;
    forms::ReaderState &m_r;
    reader::Hotspots &m_hotspots;
    forms::PlaceList m_rows{false};
};

} // namespace folium::history
