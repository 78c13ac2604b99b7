#include "dialogs.h"

#include <QFileDialog>
#include <QVBoxLayout>
#include <QPushButton>
#include <QLineEdit>
#include <QLabel>
#include <QGridLayout>
#include <QFileInfo>
#include <QDialogButtonBox>
#include <QDialog>
#include <QMessageBox>

#include <tuple>

namespace folium::config {

QString qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString &label = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ');
        out << (label.contains(u'(') ? label : label + QStringLiteral(" (") + patterns + u')');
    }
    return out.join(QStringLiteral(";;"));
}

Answer QtDialogs::message(QWidget *parent, const QString &text, const QString &title, Icon icon, Buttons buttons,
                          Answer defaultButton)
{
    QMessageBox box(parent);
    box.setText(text);
    box.setWindowTitle(title);
    box.setIcon(icon == Icon::Critical      ? QMessageBox::Critical
                : icon == Icon::Exclamation ? QMessageBox::Warning
                : icon == Icon::Information ? QMessageBox::Information
                : icon == Icon::Question    ? QMessageBox::Question
                                            : QMessageBox::NoIcon);
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
    }
    const QMessageBox::StandardButton preselected = defaultButton == Answer::Yes      ? QMessageBox::Yes
                                                    : defaultButton == Answer::No     ? QMessageBox::No
                                                    : defaultButton == Answer::Cancel ? QMessageBox::Cancel
                                                                                      : QMessageBox::NoButton;
    if (preselected != QMessageBox::NoButton && box.button(preselected))
        box.setDefaultButton(preselected);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default: return Answer::Cancel;
    }
}

QString QtDialogs::file(QWidget *parent, const FileDialogRequest &r)
{
    const QString start = r.fileName.isEmpty() ? r.folder : r.folder + u'/' + r.fileName;
    return r.save ? QFileDialog::getSaveFileName(parent, r.title, start, qtFilter(r.filter))
                  : QFileDialog::getOpenFileName(parent, r.title, start, qtFilter(r.filter));
}

bool QtDialogs::importEdition(QWidget *parent, ImportDialogRequest *r)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(r->title);
    dialog.setObjectName(QStringLiteral("ImportDialog"));
    auto *folder = new QLineEdit(r->folder);
    auto *mapping = new QLineEdit(r->mapping);
    auto *browseFolder = new QPushButton(r->browseFolder);
    auto *browseMapping = new QPushButton(r->browseMapping);
    auto *folderLabel = new QLabel(r->folderLabel);
    auto *mappingLabel = new QLabel(r->mappingLabel);
    folderLabel->setBuddy(folder);
    mappingLabel->setBuddy(mapping);
    const auto spoken = [](QString text) { return text.remove(u'&').remove(u':').trimmed(); };
    folder->setAccessibleName(spoken(r->folderLabel));
    mapping->setAccessibleName(spoken(r->mappingLabel));
    browseFolder->setAccessibleName(spoken(r->browseFolder) + u' ' + spoken(r->folderLabel));
    browseMapping->setAccessibleName(spoken(r->browseMapping) + u' ' + spoken(r->mappingLabel));
    folder->setMinimumWidth(360);
    auto *grid = new QGridLayout;
    grid->addWidget(folderLabel, 0, 0);
    grid->addWidget(folder, 0, 1);
    grid->addWidget(browseFolder, 0, 2);
    grid->addWidget(mappingLabel, 1, 0);
    grid->addWidget(mapping, 1, 1);
    grid->addWidget(browseMapping, 1, 2);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    // OK once the folder is one.
    const auto check = [folder, buttons] {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(QFileInfo(folder->text().trimmed()).isDir());
    };
    check();
    QObject::connect(folder, &QLineEdit::textChanged, &dialog, check);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(browseFolder, &QPushButton::clicked, &dialog, [&dialog, folder, r] {
        const QString chosen = QFileDialog::getExistingDirectory(&dialog, r->folderTitle, folder->text());
        if (!chosen.isEmpty())
            folder->setText(chosen);
    });
    QObject::connect(browseMapping, &QPushButton::clicked, &dialog, [&dialog, mapping, folder, r] {
        const QString chosen = QFileDialog::getOpenFileName(
            &dialog, r->mappingLabel, mapping->text().isEmpty() ? folder->text() : mapping->text(),
            qtFilter(r->mappingFilter));
        if (!chosen.isEmpty())
            mapping->setText(chosen);
    });
    if (dialog.exec() != QDialog::Accepted)
        return false;
    r->folder = folder->text().trimmed();
    r->mapping = mapping->text().trimmed();
    return true;
}

Answer ScriptedDialogs::message(QWidget *, const QString &text, const QString &title, Icon icon, Buttons buttons,
                                Answer defaultButton)
{
    shown.push_back({text, title, icon, buttons, defaultButton, false, {}});
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::Ok;
}

QString ScriptedDialogs::file(QWidget *, const FileDialogRequest &request)
{
    Shown s;
    s.isFileDialog = true;
    s.title = request.title;
    s.request = request;
    shown.push_back(s);
    if (files.empty())
        return {};
    const QString f = files.front();
    files.pop_front();
    return f;
}

bool ScriptedDialogs::importEdition(QWidget *, ImportDialogRequest *request)
{
    Shown s;
    s.isImportDialog = true;
    s.title = request->title;
    shown.push_back(s);
    if (imports.empty())
        return false;
    std::tie(request->folder, request->mapping) = imports.front();
    imports.pop_front();
    return true;
}

} // namespace folium::config
