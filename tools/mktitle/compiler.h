// The title compiler: a title project in, a .m14 title and its title
// database out, both written atomically.
#pragma once

#include <QString>
#include <QList>
#include <QPair>
#include <QStringList>

#include <cstdint>

namespace folium::mktitle {

struct CompileResult {
    bool ok = false;
    QStringList errors; // "file:line: message"
    int topics = 0;
    int contexts = 0;
    int64_t words = 0;
    int64_t sourceBytes = 0; // text of the topics, for the speed figure
    double seconds = 0;
    QList<QPair<QString, double>> phases; // seconds spent in each step
    QString m14Path, mdbPath;
};

CompileResult compileTitle(const QString &projectPath, const QString &outputM14);

} // namespace folium::mktitle
