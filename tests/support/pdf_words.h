// The words of a PDF file with their boxes in points, read by poppler's
// pdftotext, for tests that print.
#pragma once

#include <QFile>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace folium::testing {

struct PdfWord {
    QString text;
    QRectF box;
};

// Empty when pdftotext is missing or cannot read the file.
inline std::vector<PdfWord> pdfWords(const QString &pdf)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    QTemporaryDir dir;
    if (pdftotext.isEmpty() || !dir.isValid())
        return {};
    const QString bbox = dir.filePath(QStringLiteral("bbox.html"));
    QProcess run;
    run.start(pdftotext, {QStringLiteral("-bbox"), pdf, bbox});
    if (!run.waitForFinished() || run.exitCode() != 0)
        return {};
    QFile f(bbox);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString html = QString::fromUtf8(f.readAll());
    static const QRegularExpression re(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    std::vector<PdfWord> words;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const QPointF from(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF to(m.captured(3).toDouble(), m.captured(4).toDouble());
        words.push_back({m.captured(5), QRectF(from, to)});
    }
    return words;
}

// The leftmost and topmost points any word reaches.
inline QPointF pdfTextOrigin(const std::vector<PdfWord> &words)
{
    double x = 1e9, y = 1e9;
    for (const PdfWord &w : words) {
        x = std::min(x, w.box.left());
        y = std::min(y, w.box.top());
    }
    return {x, y};
}

inline bool pdfHasWord(const std::vector<PdfWord> &words, const QString &text)
{
    return std::any_of(words.begin(), words.end(), [&](const PdfWord &w) { return w.text == text; });
}

} // namespace folium::testing
