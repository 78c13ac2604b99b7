// Importing a TEI edition from the reader's window: File > Import a TEI
// edition (a folder and, if the reader has one, a mapping file), a folder
// dropped on the window, and File > Import again for the edition shown.
// While the import runs a progress window tells the letters done of those
// found, the file being read and the time left, and Cancel stops it at
// once; the title shown stays until the new one is complete. Problems are
// listed in a window whose text can be read and copied.
#pragma once

#include "edition_import.h"
#include "source_record.h"

#include <QElapsedTimer>
#include <QObject>

class QDialog;
class QLabel;
class QPlainTextEdit;
class QProgressDialog;

namespace folium::forms {
struct Windows;
}

namespace folium::importer {

class Importer : public QObject {
    Q_OBJECT
public:
    explicit Importer(forms::Windows &w, QObject *parent = nullptr);
    ~Importer() override;

    // Where imported editions go, a folder per edition (the user's data
    // folder, unless set otherwise).
    QString editionsFolder;

    void ImportaTei_Click();
    void ReimportaTei_Click();
    void importFolder(const QString &folder, const QString &mapping = {});
    // A title was opened: if it was imported and its folder has changed
    // since, the reader is told (in the status bar) and Import again waits.
    void titleOpened(const QString &m14Path);

    EditionImport *running() const { return m_job; }
    QProgressDialog *progressWindow() const { return m_progress; }
    QDialog *problemsWindow() const { return m_problems; }
    QPlainTextEdit *problemsText() const { return m_problemsText; }
    const SourceRecord &sourceShown() const { return m_shown; }
    // Tests: given each import before it starts.
    std::function<void(EditionImport *)> starting;

signals:
    // An edition was imported: the title to open.
    void imported(const QString &m14Path);

private:
    QString text(int number) const;
    void showProgress(int done, int found, const QString &file);
    void finished(const ImportOutcome &outcome);
    void cancel();
    void showProblems(const QString &summary, const QStringList &problems);

    forms::Windows &m_w;
    EditionImport *m_job = nullptr;
    QProgressDialog *m_progress = nullptr;
    QDialog *m_problems = nullptr; // a child of the main frame, made at its first use
    QLabel *m_problemsSummary = nullptr;
    QPlainTextEdit *m_problemsText = nullptr;
    QElapsedTimer m_clock;
    QString m_editionName;
    SourceRecord m_shown; // the source of the title shown, when it was imported
};

} // namespace folium::importer
