#include "place_list.h"

#include "form1.h"
#include "item_roles.h"

namespace folium::forms {

PlaceList::PlaceList(bool editable, QObject *parent) : QAbstractListModel(parent), m_editable(editable) {}

int PlaceList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant PlaceList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const engine::ListedPlace &row = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole: return row.text;
    case Qt::DecorationRole: return Form1::image(row.icon);
    case ImageRole: return row.icon;
    case PlaceRole: return QVariant::fromValue(row.place);
    default: return {};
    }
}

bool PlaceList::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= rowCount())
        return false;
    engine::ListedPlace &row = m_rows[size_t(index.row())];
    if (role == PlaceRole && value.canConvert<engine::Place>()) {
        // A row stays the row of its topic; what is refreshed is where it
        // leads (a note's row is refreshed with the place of its letter,
        // the topic left, and must still reopen the note).
        const engine::Place place = value.value<engine::Place>();
        row.place.address = place.address;
        row.place.scroll = place.scroll;
    } else if (role == Qt::EditRole && m_editable) {
        // A name typed empty keeps the old one: a row with no text could
        // not be seen, nor chosen.
        const QString text = value.toString().trimmed();
        if (text.isEmpty() || text == row.text)
            return false;
        row.text = text;
        emit dataChanged(index, index);
        emit edited(index.row());
        return true;
    } else {
        return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

Qt::ItemFlags PlaceList::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractListModel::flags(index);
    if (m_editable && index.isValid())
        f |= Qt::ItemIsEditable;
    return f;
}

engine::ListedPlace PlaceList::at(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[size_t(row)] : engine::ListedPlace{};
}

void PlaceList::insert(int row, engine::ListedPlace place)
{
    row = std::clamp(row, 0, rowCount());
    beginInsertRows({}, row, row);
    m_rows.insert(m_rows.begin() + row, std::move(place));
    endInsertRows();
}

void PlaceList::remove(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void PlaceList::setRows(std::vector<engine::ListedPlace> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void PlaceList::setPlace(int row, const engine::Place &place)
{
    if (row >= 0 && row < rowCount())
        setData(index(row), QVariant::fromValue(place), PlaceRole);
}

int PlaceList::rowOfTopic(int topic) const
{
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].place.topic == topic)
            return int(i);
    return -1;
}

} // namespace folium::forms
