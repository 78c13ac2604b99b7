#include "importer.h"

#include "dialogs.h"
#include "interface_strings.h"
#include "mdiform1.h"
#include "windows.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QVBoxLayout>

namespace folium::importer {

using config::Buttons;
using config::Icon;

Importer::Importer(forms::Windows &w, QObject *parent)
    : QObject(parent),
      editionsFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/editions")),
      m_w(w)
{
    connect(w.frame, &forms::MDIForm1::folderDropped, this, [this](const QString &folder) { importFolder(folder); });
}

Importer::~Importer()
{
    delete m_job; // stops the import and waits for it
    delete m_problems;
}

QString Importer::text(int number) const
{
    return m_w.strings->text(QStringLiteral("IMPT"), number);
}

void Importer::ImportaTei_Click()
{
    if (m_job)
        return;
    config::ImportDialogRequest r;
    r.title = text(1);
    r.folderTitle = text(1);
    r.folderLabel = text(2);
    r.mappingLabel = text(3);
    r.browseFolder = text(4);
    r.browseMapping = text(9);
    r.mappingFilter = text(16);
    r.folder = m_shown.folder;
    r.mapping = m_shown.mapping;
    if (m_w.dialogs->importEdition(m_w.frame, &r))
        importFolder(r.folder, r.mapping);
}

void Importer::ReimportaTei_Click()
{
    if (m_shown.valid())
        importFolder(m_shown.folder, m_shown.mapping);
}

void Importer::importFolder(const QString &folder, const QString &mapping)
{
    if (m_job)
        return;
    // Nothing to read: said at once, before a window of progress.
    if (stampsOf(folder, QString()).empty()) {
        m_w.dialogs->message(m_w.frame, text(15) + u'\n' + QDir::toNativeSeparators(folder), text(1), Icon::Exclamation,
                             Buttons::Ok);
        return;
    }
    m_job = new EditionImport(folder, mapping, editionsFolder, this);
    m_editionName = EditionImport::titleName(folder);
    connect(m_job, &EditionImport::progress, this, &Importer::showProgress);
    connect(m_job, &EditionImport::building, this, [this] {
        if (m_progress)
            m_progress->setLabelText(text(8));
    });
    connect(m_job, &EditionImport::finished, this, &Importer::finished);
    if (!m_progress) {
        m_progress = new QProgressDialog(m_w.frame);
        m_progress->setObjectName(QStringLiteral("ImportProgress"));
        m_progress->setWindowModality(Qt::WindowModal);
        m_progress->setMinimumDuration(0);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setMinimumWidth(480);
        m_progress->setBar(new QProgressBar);
        connect(m_progress, &QProgressDialog::canceled, this, &Importer::cancel);
    }
    m_progress->setWindowTitle(text(5).arg(m_editionName));
    m_progress->setAccessibleName(m_progress->windowTitle());
    m_progress->findChild<QProgressBar *>()->setAccessibleName(m_progress->windowTitle());
    m_progress->setRange(0, 0);
    m_progress->setValue(0);
    m_progress->setLabelText(text(5).arg(m_editionName));
    m_progress->show();
    m_clock.start();
    if (starting)
        starting(m_job);
    m_job->start();
}

void Importer::showProgress(int done, int found, const QString &file)
{
    if (!m_progress || !m_job || m_job->cancelled())
        return;
    m_progress->setRange(0, found);
    m_progress->setValue(done);
    QString label = text(6).arg(done + 1).arg(found) + u'\n' + QDir::toNativeSeparators(file);
    // The time left, once a few letters tell the pace.
    if (done >= 3 && m_clock.elapsed() > 1000) {
        const qint64 left = m_clock.elapsed() * (found - done) / done / 1000;
        const QString time = left < 60 ? text(17) : text(18).arg((left + 30) / 60);
        label += u'\n' + text(7).arg(time);
    }
    m_progress->setLabelText(label);
}

void Importer::cancel()
{
    // The window is given back at once; the import stops before its next
    // letter and throws away what it made.
    if (m_job)
        m_job->cancel();
    if (m_progress)
        m_progress->hide();
}

void Importer::finished(const ImportOutcome &outcome)
{
    EditionImport *job = m_job;
    m_job = nullptr;
    job->deleteLater();
    if (m_progress)
        m_progress->hide();
    switch (outcome.status) {
    case ImportOutcome::Status::Cancelled: return;
    case ImportOutcome::Status::Failed:
        m_w.dialogs->message(m_w.frame, text(11), text(1), Icon::Exclamation, Buttons::Ok);
        showProblems(text(11), outcome.problems + outcome.warnings);
        return;
    case ImportOutcome::Status::Done: break;
    }
    // Warnings alone (a name no register holds) make no window; they are
    // listed after the problems when there are some.
    if (!outcome.problems.isEmpty())
        showProblems(outcome.leftOut > 0 ? text(10).arg(outcome.leftOut) : QString(),
                     outcome.problems + outcome.warnings);
    emit imported(outcome.m14Path);
}

void Importer::showProblems(const QString &summary, const QStringList &problems)
{
    if (!m_problems) {
        m_problems = new QDialog(m_w.frame);
        m_problems->setObjectName(QStringLiteral("ImportProblems"));
        m_problemsSummary = new QLabel;
        m_problemsSummary->setWordWrap(true);
        m_problemsText = new QPlainTextEdit;
        m_problemsText->setReadOnly(true);
        m_problemsText->setLineWrapMode(QPlainTextEdit::NoWrap);
        auto *buttons = new QDialogButtonBox;
        auto *copy = buttons->addButton(text(13), QDialogButtonBox::ActionRole);
        auto *close = buttons->addButton(text(19), QDialogButtonBox::RejectRole);
        copy->setObjectName(QStringLiteral("CopyProblems"));
        connect(copy, &QPushButton::clicked, this,
                [this] { QApplication::clipboard()->setText(m_problemsText->toPlainText()); });
        connect(close, &QPushButton::clicked, m_problems, &QDialog::close);
        auto *layout = new QVBoxLayout(m_problems);
        layout->addWidget(m_problemsSummary);
        layout->addWidget(m_problemsText);
        layout->addWidget(buttons);
        m_problems->resize(720, 360);
    }
    m_problems->setWindowTitle(text(12));
    m_problemsText->setAccessibleName(text(12));
    m_problemsSummary->setText(summary);
    m_problemsSummary->setVisible(!summary.isEmpty());
    m_problemsText->setPlainText(problems.join(u'\n'));
    m_problems->show();
    m_problems->raise();
}

void Importer::titleOpened(const QString &m14Path)
{
    m_shown = readSourceRecord(sourceRecordPath(m14Path));
    QAction *again = m_w.frame->item("ReimportaTei");
    again->setEnabled(m_shown.valid() && QFileInfo(m_shown.folder).isDir());
    if (sourceChanged(m_shown))
        m_w.frame->statusBar()->showMessage(text(14));
}

} // namespace folium::importer
