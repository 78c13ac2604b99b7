// Topics made to hurt a reader: each is cheap to store and, without the
// caps of the sanitizer and the image loader, costly for Qt to lay out,
// zoom or show as a popup. Shared by the test that checks what the caps
// leave and the benchmark that times them.
#pragma once

#include "title_schema.h"
#include "title_writer.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QString>

#include <vector>

namespace folium::testing {

struct HostileTopic {
    const char *name;
    QString nsr, sr;
};

inline QString repeated(const QString &piece, int times)
{
    QString s;
    s.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        s += piece;
    return s;
}

// The names of the images the topic "big_images" shows.
inline QString bigImageName(int i)
{
    return QStringLiteral("big%1.png").arg(i);
}

inline std::vector<HostileTopic> hostileTopics()
{
    std::vector<HostileTopic> t;
    t.push_back({"br_1m",
                 {},
                 QStringLiteral("<p>start ") + repeated(QStringLiteral("<br>"), 1000000) + QStringLiteral("end</p>")});
    t.push_back({"hr_1m", {}, QStringLiteral("<p>start</p>") + repeated(QStringLiteral("<hr>"), 1000000)});
    QString table = QStringLiteral("<p>start</p><table border=\"1\">");
    for (int r = 0; r < 2000; ++r)
        table += QStringLiteral("<tr>") + repeated(QStringLiteral("<td colspan=\"100\">c</td>"), 10) +
                 QStringLiteral("</tr>");
    t.push_back({"colspan_table", {}, table + QStringLiteral("</table>")});
    t.push_back({"missing_images",
                 {},
                 QStringLiteral("<p>start ") + repeated(QStringLiteral("<img src=\"missing.png\">"), 200000)});
    t.push_back({"nsr_br",
                 QStringLiteral("<p>start ") + repeated(QStringLiteral("<br>"), 200000) + QStringLiteral("end</p>"),
                 QStringLiteral("<p>body</p>")});
    QString images = QStringLiteral("<p>start</p>");
    for (int i = 0; i < 30; ++i)
        images += QStringLiteral("<p><img src=\"%1\"></p>").arg(bigImageName(i));
    t.push_back({"big_images", {}, images});
    QString bidi = QStringLiteral("<p>start ");
    for (int i = 0; i < 33000; ++i)
        bidi += QStringLiteral("\u202e\u05d0a");
    t.push_back({"bidi", {}, bidi + QStringLiteral("</p>")});
    QString anchors = QStringLiteral("<p>start ");
    for (int i = 0; i < 10000; ++i)
        anchors += QStringLiteral("<a name=\"n%1\">x</a> <a href=\"hs:%2\">y</a> ").arg(i).arg(i % 100 + 1);
    t.push_back({"anchors", {}, anchors + QStringLiteral("</p>")});
    t.push_back({"long_word", {}, QStringLiteral("<p>start ") + QString(100000, u'w') + QStringLiteral("</p>")});
    t.push_back(
        {"combining", {}, QStringLiteral("<p>start a") + QString(300000, QChar(0x0301)) + QStringLiteral("</p>")});
    t.push_back({"empty_paragraphs", {}, QStringLiteral("<p>start</p>") + repeated(QStringLiteral("<p></p>"), 500000)});
    return t;
}

// Ordinary long topics, which must still show whole.
inline std::vector<HostileTopic> longOrdinaryTopics()
{
    std::vector<HostileTopic> t;
    QString letter = QStringLiteral("<p>start</p>");
    for (int p = 0; p < 2000; ++p)
        letter += QStringLiteral("<p>Paragraph %1 of a long letter, with <i>some</i> words and a <a "
                                 "href=\"hs:1\">call</a>.</p>")
                      .arg(p);
    t.push_back({"letter_2000_paragraphs", {}, letter});
    QString table = QStringLiteral("<p>start</p><table border=\"1\">");
    for (int r = 0; r < 500; ++r)
        table +=
            QStringLiteral("<tr><td>%1</td><td colspan=\"2\">name</td><td>place</td><td>date</td><td>note</td></tr>")
                .arg(r);
    t.push_back({"synoptic_500_rows", {}, table + QStringLiteral("</table>")});
    return t;
}

// A flat-coloured PNG of that side: cheap to store, costly to decode.
inline QByteArray flatPng(int side, int shade)
{
    QImage img(side, side, QImage::Format_RGB32);
    img.fill(QColor(shade % 256, (shade * 7) % 256, (shade * 13) % 256));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return bytes;
}

// Writes a title of a small home topic (index 0) then the given topics
// (topic i at index i + 1, context "H<i>"), with the 30 images of
// "big_images" (4096 pixels a side unless told); false when it cannot.
inline bool writeHostileTitle(const QString &path, const std::vector<HostileTopic> &topics, int imageSide = 4096)
{
    engine::TitleWriter w;
    if (!w.create(path))
        return false;
    w.setMeta(QStringLiteral("Hostile"), 0);
    if (!w.addTopic(0, 0x100000u, QStringLiteral("Home"), QString(), 0, QString(), QStringLiteral("<p>home</p>"),
                    QString(), QStringLiteral("home")))
        return false;
    for (int i = 0; i < int(topics.size()); ++i) {
        const int index = i + 1;
        if (!w.addTopic(index, 0x100000u + uint32_t(index) * 16, QString::fromLatin1(topics[size_t(i)].name), QString(),
                        index, topics[size_t(i)].nsr, topics[size_t(i)].sr, QString(), QStringLiteral("x")))
            return false;
        const QString context = QStringLiteral("H%1").arg(i);
        if (!w.addContext(context, engine::contextIdCandidate(context, 0), index, QString()))
            return false;
    }
    for (int i = 0; i < 30; ++i)
        if (!w.addImage(bigImageName(i), flatPng(imageSide, i)))
            return false;
    return w.finish();
}

} // namespace folium::testing
