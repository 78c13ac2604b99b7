// A TEI letter edition made into a title: each letter a topic dated and
// titled from its correspondence description, its notes note topics, the
// contents tree by year and month, a subset per year. The letters are read
// one at a time and their text kept in a temporary file, so memory does not
// grow with the edition; the title is then compiled as any title project.
#pragma once

#include "compiler.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace folium::mktitle {

struct TeiImportOptions {
    QStringList sources; // TEI files and folders, as given
    QString output;      // the .m14
    QString name;        // the title's name; else the edition's
    QString language;    // it, fr, en or de; else the letters' own
    QString manifest;    // a TSV of the letters, or ""
    QString emitSource;  // a folder for the title project made, or ""
    bool skipBad = false;
    bool joinLineEndHyphens = true;
    QStringList allowedFolders;    // where figures may be read besides the sources' folders
    QString mapping;               // the mapping file (--map), or ""
    QStringList registers;         // register files (--register), besides the mapping's
    bool keepHyphensGiven = false; // joinLineEndHyphens was set on the command line
    // Called before each file: false stops the import (nothing is written).
    std::function<bool(int done, int found, const QString &file)> progress;
};

struct TeiImportResult {
    bool ok = false;
    QStringList errors; // "file:line: message"
    QStringList warnings;
    QStringList leftOut; // letters left out with skipBad: "file:line: message"
    int files = 0;
    int letters = 0, dated = 0, undated = 0, ranges = 0, withoutCorrespDesc = 0;
    int notes = 0, uncalledNotes = 0, pages = 0;
    int registerEntries = 0, mentions = 0, referents = 0, unregistered = 0, correspondentSubsets = 0;
    int64_t words = 0;
    qint64 teiBytes = 0;
    QMap<QString, int> noRule; // elements with no rule, kept as text
    QString language;          // of the title's own words
    QString name;
    double seconds = 0;
    double readSeconds = 0; // reading and converting the letters, before the compile
    CompileResult compile;
};

TeiImportResult importTei(const TeiImportOptions &options);

// The summary printed at the end, a line per figure.
QStringList teiSummary(const TeiImportResult &r);

} // namespace folium::mktitle
