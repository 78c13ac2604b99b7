// One import of a TEI edition into the reader's editions folder, run off
// the window's thread by the same code as `folium-mktitle --tei`. The title
// is built in a folder of its own beside the others and takes the place of
// an edition of the same name only once it is complete; cancelled or
// failed, it leaves nothing behind.
#pragma once

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace folium::importer {

struct ImportOutcome {
    enum class Status { Done, Cancelled, Failed };
    Status status = Status::Failed;
    QString m14Path;      // the title made (Done)
    QStringList problems; // "file:line: message": errors, then the letters left out
    QStringList warnings; // what was made, but is worth a look
    int leftOut = 0;      // letters left out
    int letters = 0;      // letters in the title
};

class EditionImport : public QObject {
    Q_OBJECT
public:
    // The edition in `folder` (with a mapping file, or ""), made into a
    // title under `editionsFolder`.
    EditionImport(QString folder, QString mapping, QString editionsFolder, QObject *parent = nullptr);
    // Stops the import and waits for its thread.
    ~EditionImport() override;

    // The folder and file name the title takes: the edition folder's name,
    // with what a file name cannot hold replaced.
    static QString titleName(const QString &folder);
    QString destination() const;

    void start();
    // Stops the import before its next letter; safe from any thread. Once
    // the letters are read the title is built whole, then thrown away.
    void cancel() { m_cancel = true; }
    bool cancelled() const { return m_cancel; }
    bool running() const;
    const QString &folder() const { return m_folder; }
    const QString &mapping() const { return m_mapping; }

    // Tests: called on the import's thread before each letter file.
    std::function<void(int done)> beforeFile;

signals:
    void progress(int done, int found, const QString &file);
    // Building the title from the letters read.
    void building();
    void finished(const folium::importer::ImportOutcome &outcome);

private:
    ImportOutcome run();

    QString m_folder, m_mapping, m_editions;
    std::atomic<bool> m_cancel{false};
    QThread *m_thread = nullptr;
};

} // namespace folium::importer

Q_DECLARE_METATYPE(folium::importer::ImportOutcome)
