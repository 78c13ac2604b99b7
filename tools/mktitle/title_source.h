// The in-memory form of a title project, as read from its XML files.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace folium::mktitle {

struct Location {
    QString file;
    int line = 0;
};

struct HotspotSource {
    int ordinal = 0; // 1-based over the NSR, then the SR
    int region = 0;  // 0 NSR, 1 SR
    int kind = 0;    // 0 code, 1 popup, 2 jump
    QString target;
    bool noteCall = false;
    Location where;
};

struct AnchorSource {
    QString context;
    QString anchor; // "" top, "hs:N" a hotspot, or a named place
    Location where;
};

struct TopicSource {
    QString title;
    QString data;
    bool browse = true;
    QStringList groups;
    QByteArray nsrHtml, srHtml; // UTF-8
    QByteArray nsrText, srText; // UTF-8
    std::vector<HotspotSource> hotspots;
    std::vector<AnchorSource> contexts;
    Location where;
};

struct ItemSource {
    QString key, text, parent, type;
    Location where;
};

struct ParamSource {
    QString code, p1, p2;
    bool hasP2 = false;
    Location where;
};

struct ImageSource {
    QString name;
    QString path;
    Location where;
};

struct TitleSource {
    QString name;
    QString homeContext;
    Location homeWhere;
    QString notesPrefix = QStringLiteral("Nota");
    std::vector<TopicSource> topics; // authored topics, then generated notes
    std::vector<ItemSource> items;
    std::vector<ParamSource> params;
    std::vector<ImageSource> images;
    // The folders its files may be read from (see SourceAccess): those named
    // for the compile, then, once the project file is read, its own folder
    // first, all as canonical paths.
    QStringList readableFolders;
};

// Takes each topic, in the title's order, as soon as it has been read, with
// its index. It may move the four texts out; they are dropped afterwards.
using TopicSink = std::function<void(int index, TopicSource &topic)>;

// A topic file: where it is named (the project file's include, or a name a
// tool gives it), and how its bytes are read when the reader comes to it.
// read returns false with a message when they cannot be.
struct TopicFile {
    QString name;
    Location from;
    std::function<bool(QByteArray *bytes, QString *error)> read;
};

// Reads a project and its topic files. Problems are appended to errors as
// "file:line: message".
//
// Without a sink, every topic is kept in out->topics. With one, out->topics
// stays empty: each topic goes to the sink and is dropped, the topic files
// are read a few at a time, and the texts of notes (which come after every
// authored topic) wait in a temporary file. Memory then stays bounded
// whatever the title's size: the largest topic file, and a few megabytes of
// topics read ahead of the sink.
bool readTitleSource(const QString &projectPath, TitleSource *out, QStringList *errors, const TopicSink &sink = {});

// The same for a project whose settings are already in out (a tool made
// them), with its topic files, read in the same way.
bool readTopicFiles(TitleSource *out, QStringList *errors, const std::vector<TopicFile> &files,
                    const TopicSink &sink = {});

// The title database of a title source: its contents tree and parameters.
bool writeTitleDatabaseOf(const TitleSource &src, const QString &path, QString *error);

} // namespace folium::mktitle
