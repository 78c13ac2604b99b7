// The in-memory form of a title project, as read from its XML files.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

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
};

// Reads a project and its topic files. Problems are appended to errors as
// "file:line: message".
bool readTitleSource(const QString &projectPath, TitleSource *out, QStringList *errors);

} // namespace folium::mktitle
