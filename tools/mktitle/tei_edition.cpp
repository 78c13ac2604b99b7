#include "tei_edition.h"

#include <QCollator>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <functional>

namespace folium::mktitle::tei {

bool collectSources(const QStringList &args, std::vector<SourceFile> *out, QStringList *errors)
{
    QCollator collator(QLocale::c());
    collator.setNumericMode(true);
    QSet<QString> seen;
    // A file's path with its folder's links resolved, the folder's looked
    // up once: an edition has thousands of files in a few folders.
    QHash<QString, QString> canonicalFolders;
    const auto canonical = [&](const QFileInfo &f) {
        if (f.isSymLink())
            return f.canonicalFilePath();
        const QString folder = f.absolutePath();
        auto it = canonicalFolders.find(folder);
        if (it == canonicalFolders.end())
            it = canonicalFolders.insert(folder, QFileInfo(folder).canonicalFilePath());
        return *it + u'/' + f.fileName();
    };
    for (const QString &arg : args) {
        const QFileInfo fi(arg);
        if (fi.isDir()) {
            QString given = arg;
            while (given.size() > 1 && given.endsWith(u'/'))
                given.chop(1);
            const QDir dir(fi.absoluteFilePath());
            std::vector<std::pair<QString, QFileInfo>> found;
            QDirIterator it(dir.path(), {QStringLiteral("*.xml")}, QDir::Files | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                it.next();
                found.push_back({dir.relativeFilePath(it.filePath()), it.fileInfo()});
            }
            std::sort(found.begin(), found.end(),
                      [&](const auto &a, const auto &b) { return collator.compare(a.first, b.first) < 0; });
            for (const auto &[r, f] : found) {
                const QString key = canonical(f);
                if (!f.isFile() || seen.contains(key))
                    continue;
                seen.insert(key);
                out->push_back({f.absoluteFilePath(), given + u'/' + r, f.absolutePath(), f.size()});
            }
        } else if (fi.isFile()) {
            const QString key = canonical(fi);
            if (seen.contains(key))
                continue;
            seen.insert(key);
            out->push_back({fi.absoluteFilePath(), arg, fi.absolutePath(), fi.size()});
        } else if (fi.exists()) {
            errors->append(QStringLiteral("%1: not a regular file or folder").arg(arg));
        } else {
            errors->append(QStringLiteral("%1: no such file or folder").arg(arg));
        }
    }
    return errors->isEmpty();
}

bool isSupportedImage(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(8);
    return head.startsWith("\x89PNG") || head.startsWith("\xFF\xD8\xFF") || head.startsWith("GIF8");
}

// The key of each letter: what its reference ends in when that is a
// number for every letter and no two share it ("Br. 12" is 12), else the
// reference itself made of letters, digits, - and _, when unique, else its
// number in date order. The reader's letter field finds a letter by it.
void assignKeys(std::vector<Letter> &letters)
{
    static const QRegularExpression lastNumber(QStringLiteral("([0-9]+)[^0-9]*$"));
    const auto unique = [&](const std::function<QString(const Letter &)> &keyOf) {
        QSet<QString> seen;
        for (const Letter &l : letters) {
            const QString k = keyOf(l).toLower();
            if (k.isEmpty() || seen.contains(k))
                return false;
            seen.insert(k);
        }
        return true;
    };
    const auto number = [](const Letter &l) {
        const auto m = lastNumber.match(l.meta.reference);
        if (!m.hasMatch())
            return QString();
        QString digits = m.captured(1);
        while (digits.size() > 1 && digits.front() == u'0')
            digits.remove(0, 1);
        return digits.size() > 12 ? QString() : digits;
    };
    const auto cleaned = [](const Letter &l) {
        QString k;
        for (QChar c : l.meta.reference)
            if (c.isLetterOrNumber() || c == u'-' || c == u'_')
                k += c;
        return k.left(40);
    };
    if (unique(number)) {
        for (Letter &l : letters)
            l.key = number(l);
    } else if (unique(cleaned)) {
        for (Letter &l : letters)
            l.key = cleaned(l);
    } else {
        for (size_t i = 0; i < letters.size(); ++i)
            letters[i].key = QString::number(i + 1);
    }
}

QString dayContext(const PartialDate &d)
{
    return QStringLiteral("%1%2%3")
        .arg(d.day, 2, 10, QChar(u'0'))
        .arg(d.month, 2, 10, QChar(u'0'))
        .arg(d.year % 100, 2, 10, QChar(u'0'));
}

} // namespace folium::mktitle::tei
