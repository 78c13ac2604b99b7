// The data control: a table of a database with controls bound to its
// columns. Refresh opens the table and shows its first row in the bound
// controls; UpdateControls shows the stored row again, dropping edits;
// UpdateRecord writes the bound controls' values into the row.
#pragma once

#include "dao.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class QWidget;

namespace folium::config {

class DataControl : public QObject {
    Q_OBJECT
public:
    explicit DataControl(QObject *parent = nullptr);
    ~DataControl() override;

    QString DatabaseName;
    QString RecordSource;

    // Opens DatabaseName and RecordSource and moves to the first row;
    // returns 0 or the error number.
    int Refresh();
    db::Recordset *recordset() const { return m_recordset.get(); }
    db::Database *database() const { return m_database.get(); }

    // Binds a check box (yes/no column), a line edit or an editable combo
    // box (text column) to a column.
    void bind(QWidget *control, const QString &column);
    void UpdateControls();
    // Writes the bound controls' values, and the other columns given, into
    // the row in one statement: all of it or nothing.
    int UpdateRecord(const std::vector<std::pair<QString, QVariant>> &alsoColumns = {});

private:
    struct Binding {
        QPointer<QWidget> control;
        QString column;
    };
    std::shared_ptr<db::Database> m_database;
    std::unique_ptr<db::Recordset> m_recordset;
    std::vector<Binding> m_bindings;
};

} // namespace folium::config
