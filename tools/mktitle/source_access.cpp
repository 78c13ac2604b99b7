#include "source_access.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace folium::mktitle {

namespace {

QString canonicalFolder(const QString &folder)
{
    const QString c = QFileInfo(folder).canonicalFilePath();
    return c.isEmpty() ? QString() : QDir::cleanPath(c);
}

bool inside(const QString &path, const QString &folder)
{
    return path.startsWith(folder == u"/" ? folder : folder + u'/');
}

} // namespace

void SourceAccess::setProjectFolder(const QString &folder)
{
    m_folders.clear();
    allowFolder(folder);
}

void SourceAccess::allowFolder(const QString &folder)
{
    const QString c = canonicalFolder(folder);
    if (!c.isEmpty() && !m_folders.contains(c))
        m_folders << c;
}

QString SourceAccess::refusal(const QString &path, const QString &asNamed, qint64 maxBytes) const
{
    // Where the name leads once every link and ".." is followed.
    const QString real = QFileInfo(path).canonicalFilePath();
    if (real.isEmpty())
        return QStringLiteral("%1 not found").arg(asNamed);
    if (!std::any_of(m_folders.begin(), m_folders.end(), [&real](const QString &f) { return inside(real, f); }))
        return QStringLiteral("%1 is outside the project's folder (name other folders with --allow-folder)")
            .arg(asNamed);
    struct stat st = {};
    if (::stat(QFile::encodeName(real).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return QStringLiteral("%1 is not a regular file").arg(asNamed);
    if (st.st_size > maxBytes)
        return QStringLiteral("%1 is larger than %2 MB").arg(asNamed).arg(maxBytes >> 20);
    return {};
}

} // namespace folium::mktitle
