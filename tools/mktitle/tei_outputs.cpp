#include "tei_outputs.h"

#include "part_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>

namespace folium::mktitle::tei {

namespace {

QString withoutTabs(QString s)
{
    s.replace(u'\t', u' ');
    s.replace(u'\n', u' ');
    s.replace(u'\r', u' ');
    return s;
}

} // namespace

bool OutputFiles::emitSource(const TitleSource &p, const std::vector<TopicFile> &files, const QString &folder,
                             QStringList *errors)
{
    const QString dir = QFileInfo(folder).absoluteFilePath();
    if (QFileInfo(dir).exists() &&
        (!QFileInfo(dir).isDir() || !QDir(dir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))) {
        *errors << QStringLiteral("%1: the folder for the title project must be new or empty (it is not "
                                  "written over, so that no change made in it is lost)")
                       .arg(folder);
        return false;
    }
    m_emitPart = dir + QStringLiteral(".part");
    QDir(m_emitPart).removeRecursively();
    const auto fail = [&](const QString &what) {
        *errors << QStringLiteral("%1: cannot write: %2").arg(folder, what);
        QDir(m_emitPart).removeRecursively();
        m_emitPart.clear();
        return false;
    };
    if (!QDir().mkpath(m_emitPart + QStringLiteral("/topics")) ||
        (!p.images.empty() && !QDir().mkpath(m_emitPart + QStringLiteral("/images"))))
        return fail(QStringLiteral("cannot make the folder %1").arg(m_emitPart));
    const auto write = [&](const QString &path, const QByteArray &bytes) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
    };
    if (!write(m_emitPart + QStringLiteral("/title.xml"), projectFile(p, files)))
        return fail(QStringLiteral("title.xml"));
    for (const TopicFile &f : files) {
        QByteArray bytes;
        QString error;
        if (!f.read(&bytes, &error))
            return fail(error);
        if (!write(m_emitPart + QStringLiteral("/topics/") + f.name, bytes))
            return fail(f.name);
    }
    for (const ImageSource &i : p.images)
        if (!QFile::copy(i.path, m_emitPart + QStringLiteral("/images/") + i.name))
            return fail(i.name);
    return true;
}

bool OutputFiles::writeManifest(const std::vector<Letter> &letters, const std::vector<SourceFile> &files,
                                const QString &path, QStringList *errors)
{
    m_manifestPart = QFileInfo(path).absoluteFilePath() + QStringLiteral(".part");
    QFile f(m_manifestPart);
    registerPartFile(m_manifestPart);
    QByteArray tsv = "source\tcontext\ttitle\tdate\treference\n";
    for (const Letter &l : letters) {
        const LetterMeta &m = l.meta;
        tsv += withoutTabs(files[size_t(l.file)].asGiven).toUtf8() + '\t' + l.data.toUtf8() + '\t' +
               withoutTabs(l.title).toUtf8() + '\t' + isoText(m.date).toUtf8() + '\t' +
               withoutTabs(m.reference.isEmpty() ? l.key : m.reference).toUtf8() + '\n';
    }
    if (!f.open(QIODevice::WriteOnly) || f.write(tsv) != tsv.size() || !f.flush()) {
        *errors << QStringLiteral("%1: cannot write: %2").arg(path, f.errorString());
        f.remove();
        return false;
    }
    return true;
}

void OutputFiles::discard()
{
    if (!m_manifestPart.isEmpty()) {
        QFile::remove(m_manifestPart);
        unregisterPartFile(m_manifestPart);
    }
    if (!m_emitPart.isEmpty())
        QDir(m_emitPart).removeRecursively();
}

bool OutputFiles::place(const QString &manifest, const QString &folder, QStringList *errors)
{
    std::error_code ec;
    if (!m_manifestPart.isEmpty()) {
        const QString target = QFileInfo(manifest).absoluteFilePath();
        std::filesystem::rename(QFile::encodeName(m_manifestPart).toStdString(),
                                QFile::encodeName(target).toStdString(), ec);
        unregisterPartFile(m_manifestPart);
        if (ec) {
            *errors << QStringLiteral("%1: cannot rename into place: %2")
                           .arg(manifest, QString::fromStdString(ec.message()));
            discard();
            return false;
        }
    }
    if (!m_emitPart.isEmpty()) {
        const QString target = QFileInfo(folder).absoluteFilePath();
        QDir().rmdir(target); // empty, or not there
        std::filesystem::rename(QFile::encodeName(m_emitPart).toStdString(), QFile::encodeName(target).toStdString(),
                                ec);
        if (ec) {
            *errors
                << QStringLiteral("%1: cannot rename into place: %2").arg(folder, QString::fromStdString(ec.message()));
            QDir(m_emitPart).removeRecursively();
            return false;
        }
    }
    return true;
}

} // namespace folium::mktitle::tei
