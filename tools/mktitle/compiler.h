// The title compiler: a title project in, a .m14 title and its title
// database out, both written atomically.
#pragma once

#include "title_source.h"

#include <QString>
#include <QList>
#include <QPair>
#include <QStringList>

#include <cstdint>

namespace folium::mktitle {

struct CompileResult {
    bool ok = false;
    QStringList errors;   // "file:line: message"
    QStringList warnings; // written, but worth a look
    int topics = 0;
    int contexts = 0;
    int64_t words = 0;
    int64_t sourceBytes = 0; // text of the topics, for the speed figure
    double seconds = 0;
    QList<QPair<QString, double>> phases; // seconds spent in each step
    QString m14Path, mdbPath;
};

struct CompileOptions {
    // Folders besides the project's own that its includes and images may
    // be read from (nothing outside them is read).
    QStringList allowedFolders;
};

// Writes outputM14 and, beside it, the title database the reader looks for:
// the title's file name up to its first dot, with the extension ".mdb"
// ("Lettere.finali.m14" gets "Lettere.mdb", identity record "Lettere").
CompileResult compileTitle(const QString &projectPath, const QString &outputM14, const CompileOptions &options = {});

// The same for a title whose project settings (name, parameters, contents,
// images) a tool has made in memory, with its topic files.
CompileResult compileTopicFiles(TitleSource project, const std::vector<TopicFile> &files, const QString &outputM14);

// "Lettere" for "Lettere.finali.m14": the name a title's database and its
// identity record take.
QString titleBaseName(const QString &m14FileName);

} // namespace folium::mktitle
