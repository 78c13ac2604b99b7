// Which files a title project may have the compiler read. A project comes
// from its author, and may come from anyone: its includes and images are
// read only from inside the project's own folder, or from folders the
// person compiling names, once links and ".." are resolved, and only when
// they are regular files (no device, pipe or /proc file) of a sensible size.
#pragma once

#include <QString>
#include <QStringList>

namespace folium::mktitle {

class SourceAccess {
public:
    // The largest topic file and the largest image read (a topic file is
    // read whole; a title's topics are split into files of a few MB).
    static constexpr qint64 kMaxTopicFileBytes = 64LL << 20;
    static constexpr qint64 kMaxImageFileBytes = 32LL << 20;

    // The project's folder, and folders named besides it.
    void setProjectFolder(const QString &folder);
    void allowFolder(const QString &folder);
    const QStringList &folders() const { return m_folders; }

    // Empty when the file may be read whole, else why not, as the end of
    // a "file:line: message" (the file named as the source names it).
    QString refusal(const QString &path, const QString &asNamed, qint64 maxBytes) const;

private:
    QStringList m_folders; // canonical paths
};

} // namespace folium::mktitle
