// The reader of title projects (see project_reader.h), inside: the project
// file, its database and topics in project_reader.cpp, the rich text of a
// region (elements, hotspots, notes, images) in project_reader_text.cpp.
#pragma once

#include "project_reader.h"

#include "html_policy.h"
#include "sanitizer.h"
#include "source_access.h"
#include "title_file.h"
#include "xml_reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QScopeGuard>
#include <QSet>

namespace folium::mktitle::detail {

inline QByteArray escUtf8(QByteArrayView s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] != '&' && s[i] != '<' && s[i] != '>' && s[i] != '"')
        ++i;
    if (i == s.size())
        return s.toByteArray();
    QByteArray r;
    r.reserve(s.size() + 16);
    r.append(s.first(i));
    for (; i < s.size(); ++i) {
        switch (s[i]) {
        case '&': r += "&amp;"; break;
        case '<': r += "&lt;"; break;
        case '>': r += "&gt;"; break;
        case '"': r += "&quot;"; break;
        default: r += s[i];
        }
    }
    return r;
}

// Where a region's converted text goes while it is read: its HTML, and the
// words of it that the index holds.
//
// The reader marks search hits by splitting the shown page into words with
// the index's tokenizer, so both must split the text at the same places.
// The page breaks words wherever it starts a new block, a table cell, a line
// or an object (an image); here the index text gets a separator at the same
// elements (see engine::breaksWords). A note call's label is shown but is no
// word of the text: the index gets a separator in its place, and the reader
// blanks the label out before it looks for words.
struct Sink {
    TopicSource *topic;
    int region;
    int *ordinal;
    bool inLink = false;
    QByteArray *unindexed = nullptr; // where text goes that the index must not hold
    bool inNoindex = false;          // inside <noindex>: shown, no word of the index
    QSet<QString> imagesShown;       // in this region, each counted once
    qint64 imagePixels = 0;          // shown in this region
    int depth = 0;                   // elements open around the text read
    bool overBudget = false;         // the region is already more than it may hold
    QByteArray *html() const { return region == 0 ? &topic->nsrHtml : &topic->srHtml; }
    QByteArray *text() const { return unindexed ? unindexed : indexText(); }
    // The index text itself, for the separators a note call puts there
    // wherever it stands.
    QByteArray *indexText() const { return region == 0 ? &topic->nsrText : &topic->srText; }
};

// How deep elements may nest in a topic (the reader lays out no deeper), and
// contents items in the contents tree (the reader opens no deeper): past
// them a source is refused, before its depth could exhaust the stack.
inline const int kMaxElementDepth = engine::SanitizeLimits().maxDepth;
inline constexpr int kMaxItemDepth = 256;
// What a region may hold, in bytes of its HTML: far more than the reader
// lays out (see engine::SanitizeLimits), so that a source past it is
// refused as soon as it is reached, in bounded memory, before its text is
// all held.
inline constexpr qsizetype kMaxRegionBytes = 8 << 20;

} // namespace folium::mktitle::detail

namespace folium::mktitle {

using detail::escUtf8;
using detail::kMaxElementDepth;
using detail::kMaxItemDepth;
using detail::kMaxRegionBytes;
using detail::Sink;

class ProjectReader::Impl {
public:
    Impl(TitleSource &out, QStringList &errors) : m_out(out), m_errors(errors) {}

    bool readProject(const QString &path);

    const std::vector<std::pair<QString, Location>> &includes() const { return m_includes; }
    std::vector<TopicSource> takeNotes() { return std::move(m_notes); }

    std::function<void(TopicSource &&)> onTopic;
    std::function<bool(TopicSource &)> onNote;

    void readTopicText(const QByteArray &bytes, const QString &path);

    void declareImage(const QString &name, const QString &path, const Location &loc);

private:
    static Location at(const QString &file, const XmlReader &xml) { return {file, int(xml.lineNumber())}; }

    // The folders the project may read from, as readProject settled them.
    const SourceAccess &access();

    void error(const Location &loc, const QString &message);

    void xmlError(const QString &file, const XmlReader &xml);

    void readDatabase(XmlReader &xml, const QString &file);

    void readItems(XmlReader &xml, const QString &file, const QString &parent, int depth);

    void readTopic(XmlReader &xml, const QString &file);

    // The reader cuts a region short when it holds more than Qt lays out
    // quickly (see engine::SanitizeLimits): a title must not reach that.
    void checkLayout(const TopicSource &t);

    // Reads the children of the current element up to its end tag. An
    // element nested past what the reader lays out is refused and read to
    // its end without going deeper.
    void content(XmlReader &xml, const QString &file, Sink &sink);

    void element(XmlReader &xml, const QString &file, Sink &sink);

    void checkStyle(const QString &style, const Location &loc);

    void link(XmlReader &xml, const QString &file, Sink &sink, const Location &loc);

    // Text shown but left out of the index, and no word break: a word
    // deleted in the manuscript inside a word that stands (ge<del>sag</del>
    // <add>schrieb</add>en is the word "geschrieben"), a folio mark. The
    // reader skips the same text when it looks for the words of a page.
    void noindex(XmlReader &xml, const QString &file, Sink &sink);

    void addNoteCallContext(TopicSource &t, int k, const Location &loc);

    void note(XmlReader &xml, const QString &file, Sink &sink, const Location &loc);

    void image(XmlReader &xml, const QString &file, Sink &sink, const Location &loc);

    // The pixels an image of the title is shown with: its size, scaled down
    // past the largest shown; 0 for one the reader does not show.
    qint64 shownPixels(const QString &name);

    TitleSource &m_out;
    QStringList &m_errors;
    SourceAccess m_access;
    bool m_accessSet = false;
    QHash<QString, qint64> m_imagePixels;
    std::vector<TopicSource> m_notes;
    std::vector<std::pair<QString, Location>> m_includes;
    int m_anchorCount = 0;
};

} // namespace folium::mktitle
