// Where an imported title came from: the edition's folder, the mapping file
// used, and what each of their files was (size and time of its last change)
// when the title was made. Kept beside the title, it tells when the folder
// has changed since, so that the reader can be offered to import it again.
#pragma once

#include <QString>

#include <vector>

namespace folium::importer {

struct SourceStamp {
    QString path; // absolute
    qint64 size = 0;
    qint64 modified = 0; // milliseconds since the epoch
    bool operator==(const SourceStamp &) const = default;
};

struct SourceRecord {
    QString folder;
    QString mapping; // "" for none
    std::vector<SourceStamp> files;
    bool valid() const { return !folder.isEmpty(); }
};

// The files an import of the folder reads (its TEI files, and the mapping
// file when there is one), as they are now.
std::vector<SourceStamp> stampsOf(const QString &folder, const QString &mapping);

// The record's file beside a title: "Lettere.m14" has "Lettere.source.json".
QString sourceRecordPath(const QString &m14Path);
bool writeSourceRecord(const QString &path, const SourceRecord &record);
// An invalid record when there is none, or it cannot be read.
SourceRecord readSourceRecord(const QString &path);

// Whether the folder has changed since the record was made: a file added,
// removed, or changed. A folder that is gone has not "changed": there is
// nothing to import again.
bool sourceChanged(const SourceRecord &record);

} // namespace folium::importer
