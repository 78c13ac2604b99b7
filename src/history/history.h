// The history of the topics visited in the title, newest first: its panel,
// going back and forward through it (each row keeps the place in its topic),
// and choosing a row. The rows themselves are added by each topic change
// (reader::TopicDisplay).
#pragma once

#include <QObject>

class QWidget;

namespace folium::forms {
struct ReaderState;
struct Windows;
} // namespace folium::forms

namespace folium::reader {
class Hotspots;
}

namespace folium::history {

class History : public QObject {
    Q_OBJECT
public:
    History(forms::Windows &w, forms::ReaderState &r, reader::Hotspots &hotspots, QObject *parent = nullptr);

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
    void refreshRow(int row);
    void showNoteRow(int row, bool goingBack);
    void enableForCurrentRow();

    forms::Windows &m_w;
    forms::ReaderState &m_r;
    reader::Hotspots &m_hotspots;
};

} // namespace folium::history
