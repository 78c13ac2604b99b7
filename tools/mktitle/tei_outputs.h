// What a TEI import writes beside the title, besides the title: the title
// project made (--emit-source) and the list of the letters (--manifest).
// Each is written under a temporary name and renamed into place only when
// the title is written; nothing of it stays when the import fails.
#pragma once

#include "tei_edition.h"
#include "title_source.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace folium::mktitle::tei {

class OutputFiles {
public:
    // The project in a folder that must be new or empty: a folder that
    // holds anything may hold an editor's changes, and is never written
    // over.
    bool emitSource(const TitleSource &p, const std::vector<TopicFile> &files, const QString &folder,
                    QStringList *errors);
    // A tab-separated line per letter: source, context, title, date,
    // reference.
    bool writeManifest(const std::vector<Letter> &letters, const std::vector<SourceFile> &files, const QString &path,
                       QStringList *errors);
    // Removes what was written.
    void discard();
    // Renames what was written into place.
    bool place(const QString &manifest, const QString &folder, QStringList *errors);

private:
    QString m_manifestPart, m_emitPart;
};

} // namespace folium::mktitle::tei
