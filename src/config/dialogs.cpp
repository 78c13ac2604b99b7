#include "dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

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

} // namespace folium::config
