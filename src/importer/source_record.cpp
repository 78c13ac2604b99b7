#include "source_record.h"

#include "tei_edition.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace folium::importer {

namespace {

SourceStamp stampOf(const QString &path)
{
    const QFileInfo f(path);
    return {f.absoluteFilePath(), f.size(), f.lastModified().toMSecsSinceEpoch()};
}

} // namespace

std::vector<SourceStamp> stampsOf(const QString &folder, const QString &mapping)
{
    std::vector<mktitle::tei::SourceFile> files;
    QStringList errors;
    mktitle::tei::collectSources({folder}, &files, &errors);
    std::vector<SourceStamp> out;
    out.reserve(files.size() + 1);
    for (const auto &f : files)
        out.push_back(stampOf(f.path));
    if (!mapping.isEmpty())
        out.push_back(stampOf(mapping));
    return out;
}

QString sourceRecordPath(const QString &m14Path)
{
    const QFileInfo f(m14Path);
    return f.absolutePath() + u'/' + f.completeBaseName() + QStringLiteral(".source.json");
}

bool writeSourceRecord(const QString &path, const SourceRecord &record)
{
    QJsonArray files;
    for (const SourceStamp &s : record.files)
        files.append(QJsonObject{{QStringLiteral("path"), s.path},
                                 {QStringLiteral("size"), double(s.size)},
                                 {QStringLiteral("modified"), double(s.modified)}});
    const QJsonObject root{{QStringLiteral("folder"), record.folder},
                           {QStringLiteral("mapping"), record.mapping},
                           {QStringLiteral("files"), files}};
    QSaveFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(QJsonDocument(root).toJson()) >= 0 && out.commit();
}

SourceRecord readSourceRecord(const QString &path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly) || in.size() > 64 * 1024 * 1024)
        return {};
    const QJsonObject root = QJsonDocument::fromJson(in.readAll()).object();
    SourceRecord r;
    r.folder = root.value(QStringLiteral("folder")).toString();
    r.mapping = root.value(QStringLiteral("mapping")).toString();
    for (const QJsonValue &v : root.value(QStringLiteral("files")).toArray()) {
        const QJsonObject f = v.toObject();
        r.files.push_back({f.value(QStringLiteral("path")).toString(),
                           qint64(f.value(QStringLiteral("size")).toDouble()),
                           qint64(f.value(QStringLiteral("modified")).toDouble())});
    }
    return r;
}

bool sourceChanged(const SourceRecord &record)
{
    if (!record.valid() || !QFileInfo(record.folder).isDir())
        return false;
    return stampsOf(record.folder, record.mapping) != record.files;
}

} // namespace folium::importer
