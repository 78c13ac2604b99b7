#include "edition_import.h"

#include "source_record.h"
#include "tei_import.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

namespace folium::importer {

EditionImport::EditionImport(QString folder, QString mapping, QString editionsFolder, QObject *parent)
    : QObject(parent), m_folder(std::move(folder)), m_mapping(std::move(mapping)), m_editions(std::move(editionsFolder))
{
    qRegisterMetaType<ImportOutcome>();
}

EditionImport::~EditionImport()
{
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
        delete m_thread;
    }
}

QString EditionImport::titleName(const QString &folder)
{
    QString name = QFileInfo(QDir::cleanPath(folder)).fileName();
    static const QRegularExpression unsafe(QStringLiteral("[^\\w\\- ]"),
                                           QRegularExpression::UseUnicodePropertiesOption);
    name.replace(unsafe, QStringLiteral("_"));
    name = name.trimmed();
    return name.isEmpty() ? QStringLiteral("edition") : name.left(80);
}

QString EditionImport::destination() const
{
    return m_editions + u'/' + titleName(m_folder);
}

bool EditionImport::running() const
{
    return m_thread && m_thread->isRunning();
}

void EditionImport::start()
{
    if (m_thread)
        return;
    m_thread = QThread::create([this] {
        const ImportOutcome outcome = run();
        emit finished(outcome);
    });
    m_thread->start();
}

namespace {

// Takes the place of `dest` with `staging`, keeping the old folder until
// the new one is in place; false (and the old one as it was) on failure.
bool replaceFolder(const QString &staging, const QString &dest)
{
    QDir parent = QFileInfo(dest).dir();
    QString old;
    if (QFileInfo::exists(dest)) {
        old = dest + QStringLiteral(".old");
        for (int i = 1; QFileInfo::exists(old); ++i)
            old = dest + QStringLiteral(".old%1").arg(i);
        if (!parent.rename(dest, old))
            return false;
    }
    if (!parent.rename(staging, dest)) {
        if (!old.isEmpty())
            parent.rename(old, dest);
        return false;
    }
    if (!old.isEmpty())
        QDir(old).removeRecursively();
    return true;
}

} // namespace

ImportOutcome EditionImport::run()
{
    ImportOutcome outcome;
    const QString name = titleName(m_folder);
    if (!QDir().mkpath(m_editions)) {
        outcome.problems << QStringLiteral("%1: the folder cannot be made").arg(QDir::toNativeSeparators(m_editions));
        return outcome;
    }
    // What an import of this edition cut short (the program killed) left.
    const QDir editions(m_editions);
    for (const QString &left :
         editions.entryList({u'.' + name + QStringLiteral("-*")}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        QDir(editions.filePath(left)).removeRecursively();
    // Built beside the editions, so that putting it in place is a rename.
    QTemporaryDir staging(m_editions + QStringLiteral("/.") + name + QStringLiteral("-XXXXXX"));
    if (!staging.isValid()) {
        outcome.problems << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(m_editions), staging.errorString());
        return outcome;
    }
    const QString m14 = staging.path() + u'/' + name + QStringLiteral(".m14");
    mktitle::TeiImportOptions o;
    o.sources = {m_folder};
    o.output = m14;
    o.mapping = m_mapping;
    o.skipBad = true;
    o.progress = [this](int done, int found, const QString &file) {
        if (m_cancel)
            return false;
        if (beforeFile)
            beforeFile(done);
        emit progress(done, found, file);
        if (done + 1 == found)
            emit building();
        return !m_cancel;
    };
    const mktitle::TeiImportResult r = mktitle::importTei(o);
    if (m_cancel) {
        outcome.status = ImportOutcome::Status::Cancelled;
        return outcome;
    }
    outcome.problems << r.errors << r.compile.errors << r.leftOut;
    outcome.problems.removeDuplicates();
    outcome.warnings << r.warnings << r.compile.warnings;
    outcome.warnings.removeDuplicates();
    outcome.leftOut = int(r.leftOut.size());
    outcome.letters = r.letters;
    if (!r.ok || !QFileInfo::exists(m14))
        return outcome;
    const SourceRecord record{QFileInfo(m_folder).absoluteFilePath(),
                              m_mapping.isEmpty() ? QString() : QFileInfo(m_mapping).absoluteFilePath(),
                              stampsOf(m_folder, m_mapping)};
    const QString dest = destination();
    if (!writeSourceRecord(sourceRecordPath(m14), record) || !replaceFolder(staging.path(), dest)) {
        outcome.problems.prepend(
            QStringLiteral("%1: the title cannot be put in place").arg(QDir::toNativeSeparators(dest)));
        return outcome;
    }
    staging.setAutoRemove(false); // it is the edition now
    outcome.status = ImportOutcome::Status::Done;
    outcome.m14Path = dest + u'/' + name + QStringLiteral(".m14");
    return outcome;
}

} // namespace folium::importer
