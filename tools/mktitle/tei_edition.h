// What a TEI import is made of between reading the letters and compiling
// them: the files of the edition, each letter's place in the title, the
// topic files and the project file written from them.
#pragma once

#include "tei_language.h"
#include "tei_letter.h"
#include "title_source.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace folium::mktitle::tei {

struct SourceFile {
    QString path;    // absolute
    QString asGiven; // the argument, and the path inside it for a folder
    QString folder;  // where its figures are looked for
    qint64 size = 0;
};

struct Letter {
    LetterMeta meta;
    int file = 0; // in the list of source files
    qint64 offset = 0, size = 0;
    int notes = 0;
    int readIndex = 0; // its place in the order the letters were read
    QString incipit;   // the first words of its text
    // Its correspondents and place of writing, as keys of the referents
    // (see ReferentCollector); -1 for none.
    std::vector<int> senderKeys, receiverKeys;
    int placeKey = -1;
    // Settled once every letter is read.
    QString key, data, dateContext, title, group;
    QString heading, referenceLine; // of its non-scrolling region
    QStringList subsets;            // besides its year's: its correspondents'
};

// The TEI files named: files as they are, folders searched for *.xml, in
// the order of their paths with numbers compared as numbers (2 before 10).
bool collectSources(const QStringList &args, std::vector<SourceFile> *out, QStringList *errors);
// A PNG, JPEG or GIF file, by its first bytes.
bool isSupportedImage(const QString &path);
// Sets each letter's key (see docs/tei-import.md).
void assignKeys(std::vector<Letter> &letters);
// "DDMMYY", the date field's context string of a day.
QString dayContext(const PartialDate &d);

// Text for an XML attribute or element of the title source.
QByteArray xmlEscaped(const QString &s);
// The text with places to break the line in its runs longer than
// kLongestRun; short text as it is.
QString breakable(const QString &s);
// The home topic's file.
// more: written after the years (the indexes, the mapping's home text).
QByteArray homeTopic(const std::vector<Letter> &letters, const Words &words, const QString &name,
                     const EditionInfo &edition, const QByteArray &more = {});
// The topic file of letters [start, end), their text read back from the
// temporary file.
bool letterTopics(const std::vector<Letter> &letters, const Words &words, const QString &spoolPath, size_t start,
                  size_t end, QByteArray *out, QString *error);
// The project file of a title project, its topic files in topics/, its
// images in images/.
QByteArray projectFile(const TitleSource &p, const std::vector<TopicFile> &files);

} // namespace folium::mktitle::tei
