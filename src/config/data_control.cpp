#include "data_control.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace folium::config {

DataControl::DataControl(QObject *parent) : QObject(parent) {}
DataControl::~DataControl() = default;

int DataControl::Refresh()
{
    m_recordset.reset();
    m_database.reset();
    int err = 0;
    m_database = db::Database::OpenDatabase(DatabaseName, &err);
    if (!m_database)
        return err;
    m_recordset = m_database->OpenRecordset(RecordSource, &err);
    if (!m_recordset)
        return err;
    m_recordset->MoveFirst();
    UpdateControls();
    return 0;
}

void DataControl::bind(QWidget *control, const QString &column)
{
    m_bindings.push_back({control, column});
    UpdateControls();
}

void DataControl::UpdateControls()
{
    if (!m_recordset || m_recordset->Eof())
        return;
    m_recordset->CancelUpdate();
    for (const Binding &b : m_bindings) {
        if (!b.control)
            continue;
        int err = 0;
        const QVariant v = m_recordset->Field(b.column, &err);
        if (err)
            continue;
        if (auto *check = qobject_cast<QCheckBox *>(b.control))
            check->setChecked(v.toLongLong() != 0);
        else if (auto *edit = qobject_cast<QLineEdit *>(b.control))
            edit->setText(v.toString());
        else if (auto *combo = qobject_cast<QComboBox *>(b.control))
            combo->setEditText(v.toString());
    }
}

int DataControl::UpdateRecord(const std::vector<std::pair<QString, QVariant>> &alsoColumns)
{
    if (!m_recordset)
        return db::kErrCannotOpen;
    if (int err = m_recordset->Edit())
        return err;
    for (const Binding &b : m_bindings) {
        if (!b.control)
            continue;
        QVariant v;
        if (auto *check = qobject_cast<QCheckBox *>(b.control))
            v = check->isChecked() ? 1 : 0;
        else if (auto *edit = qobject_cast<QLineEdit *>(b.control))
            v = edit->text();
        else if (auto *combo = qobject_cast<QComboBox *>(b.control))
            v = combo->currentText();
        else
            continue;
        if (int err = m_recordset->setField(b.column, v)) {
            m_recordset->CancelUpdate();
            return err;
        }
    }
    for (const auto &[column, value] : alsoColumns) {
        if (int err = m_recordset->setField(column, value)) {
            m_recordset->CancelUpdate();
            return err;
        }
    }
    const int err = m_recordset->Update();
    if (err != 0)
        m_recordset->CancelUpdate();
    return err;
}

} // namespace folium::config
