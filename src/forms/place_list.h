// A list of places, as the history and the bookmarks keep them: each row an
// image, a text and a place in the title. The lists of the side pane show
// one; the history and the bookmarks each own theirs, and fill and read it
// without the windows.
#pragma once

#include "place.h"

#include <QAbstractListModel>

#include <vector>

namespace folium::forms {

class PlaceList : public QAbstractListModel {
    Q_OBJECT
public:
    // An editable list lets a row's text be typed in place (a bookmark's).
    explicit PlaceList(bool editable, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    const std::vector<engine::ListedPlace> &rows() const { return m_rows; }
    // The row (0-based); an empty row past the end.
    engine::ListedPlace at(int row) const;
    void insert(int row, engine::ListedPlace place);
    void remove(int row);
    void setRows(std::vector<engine::ListedPlace> rows);
    void clear() { setRows({}); }
    // Keeps the place reached in a row (where its topic was scrolled to);
    // the row keeps its topic.
    void setPlace(int row, const engine::Place &place);
    // The first row of a topic, or -1.
    int rowOfTopic(int topic) const;

signals:
    // A row's text was typed in place.
    void edited(int row);

private:
    bool m_editable;
    std::vector<engine::ListedPlace> m_rows;
};

} // namespace folium::forms
