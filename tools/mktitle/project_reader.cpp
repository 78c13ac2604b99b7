#include "project_reader.h"

#include "html_policy.h"
#include "sanitizer.h"
#include "title_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QScopeGuard>
#include <QSet>

#include "source_access.h"
#include "xml_reader.h"

namespace folium::mktitle {

namespace {

using engine::isAllowedAttribute;
using engine::isAllowedStyleProperty;
using engine::isAllowedTag;

QByteArray escUtf8(QByteArrayView s)
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
const int kMaxElementDepth = engine::SanitizeLimits().maxDepth;
constexpr int kMaxItemDepth = 256;
// What a region may hold, in bytes of its HTML: far more than the reader
// lays out (see engine::SanitizeLimits), so that a source past it is
// refused as soon as it is reached, in bounded memory, before its text is
// all held.
constexpr qsizetype kMaxRegionBytes = 8 << 20;

} // namespace

class ProjectReader::Impl {
public:
    Impl(TitleSource &out, QStringList &errors) : m_out(out), m_errors(errors) {}

    bool readProject(const QString &path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            error({path, 0}, QStringLiteral("cannot open the project file"));
            return false;
        }
        XmlReader xml(f.readAll());
        const QString dir = QFileInfo(path).absolutePath();
        // What the project may read: its own folder, and the folders named
        // besides it.
        SourceAccess access;
        access.setProjectFolder(dir);
        for (const QString &folder : std::as_const(m_out.readableFolders))
            access.allowFolder(folder);
        m_out.readableFolders = access.folders();
        if (!xml.readNextStartElement() || xml.name() != u"title") {
            // What stopped the reading (a DOCTYPE, bytes that are not UTF-8)
            // is the problem to name, not the root element it hid.
            if (xml.hasError())
                xmlError(path, xml);
            else
                error(at(path, xml), QStringLiteral("the project file must have <title> as its root element"));
            return false;
        }
        const auto a = xml.attributes();
        m_out.name = a.value(QLatin1String("name")).toString();
        if (a.hasAttribute(QLatin1String("notes")))
            m_out.notesPrefix = a.value(QLatin1String("notes")).toString();
        if (a.hasAttribute(QLatin1String("home"))) {
            m_out.homeContext = a.value(QLatin1String("home")).toString();
            m_out.homeWhere = at(path, xml);
        }
        while (xml.readNextStartElement()) {
            const Location loc = at(path, xml);
            if (xml.name() == u"include") {
                const QString href = xml.attributes().value(QLatin1String("href")).toString();
                xml.skipCurrentElement();
                const QString file = QDir(dir).filePath(href);
                if (href.isEmpty())
                    error(loc, QStringLiteral("<include> needs an href"));
                else if (const QString no = this->access().refusal(file, href, SourceAccess::kMaxTopicFileBytes);
                         !no.isEmpty())
                    error(loc, QStringLiteral("topic file ") + no);
                else
                    m_includes.push_back({file, loc});
            } else if (xml.name() == u"image") {
                const QString name = xml.attributes().value(QLatin1String("name")).toString();
                const QString href = xml.attributes().value(QLatin1String("href")).toString();
                xml.skipCurrentElement();
                declareImage(name, QDir(dir).filePath(href), loc);
            } else if (xml.name() == u"database") {
                readDatabase(xml, path);
            } else {
                error(loc, QStringLiteral("unknown element <%1> in the project file").arg(xml.name()));
                xml.skipCurrentElement();
            }
        }
        xmlError(path, xml);
        return true;
    }

    const std::vector<std::pair<QString, Location>> &includes() const { return m_includes; }
    std::vector<TopicSource> takeNotes() { return std::move(m_notes); }

    std::function<void(TopicSource &&)> onTopic;
    std::function<bool(TopicSource &)> onNote;

    void readTopicText(const QByteArray &bytes, const QString &path)
    {
        XmlReader xml(bytes);
        if (!xml.readNextStartElement() || xml.name() != u"topics") {
            if (xml.hasError())
                xmlError(path, xml);
            else
                error(at(path, xml), QStringLiteral("a topic file must have <topics> as its root element"));
            return;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() == u"topic") {
                readTopic(xml, path);
            } else {
                error(at(path, xml), QStringLiteral("unknown element <%1> in a topic file").arg(xml.name()));
                xml.skipCurrentElement();
            }
        }
        xmlError(path, xml);
    }

    void declareImage(const QString &name, const QString &path, const Location &loc)
    {
        if (name.isEmpty() || name.contains(u'/') || name.contains(u':') || name.startsWith(u'.')) {
            error(loc, QStringLiteral("image name \"%1\" must be a plain file name").arg(name));
            return;
        }
        // The file as the source names it, and where that leads when a link
        // takes it elsewhere.
        QString asNamed = QDir::cleanPath(path);
        while (asNamed.startsWith(QStringLiteral("/../")))
            asNamed.remove(0, 3);
        if (const QString real = QFileInfo(path).canonicalFilePath(); !real.isEmpty() && real != asNamed)
            asNamed += QStringLiteral(" (which is %1)").arg(real);
        if (const QString no = access().refusal(path, asNamed, SourceAccess::kMaxImageFileBytes); !no.isEmpty()) {
            error(loc, QStringLiteral("image file ") + no);
            return;
        }
        // Stored as it is, an image must be one the reader decodes.
        const QByteArray format = QImageReader::imageFormat(path);
        if (format != "png" && format != "jpeg" && format != "gif") {
            error(loc, QStringLiteral("image file %1 is not a PNG, JPEG or GIF image").arg(asNamed));
            return;
        }
        for (const ImageSource &i : m_out.images) {
            if (i.name == name) {
                if (QFileInfo(i.path) != QFileInfo(path))
                    error(loc, QStringLiteral("image name \"%1\" already names another file").arg(name));
                return;
            }
        }
        m_out.images.push_back({name, path, loc});
    }

private:
    static Location at(const QString &file, const XmlReader &xml) { return {file, int(xml.lineNumber())}; }

    // The folders the project may read from, as readProject settled them.
    const SourceAccess &access()
    {
        if (!m_accessSet) {
            for (const QString &folder : std::as_const(m_out.readableFolders))
                m_access.allowFolder(folder);
            m_accessSet = true;
        }
        return m_access;
    }

    void error(const Location &loc, const QString &message)
    {
        m_errors << QStringLiteral("%1:%2: %3").arg(loc.file).arg(loc.line).arg(message);
    }

    void xmlError(const QString &file, const XmlReader &xml)
    {
        if (xml.hasError())
            error(at(file, xml), xml.errorString());
    }

    void readDatabase(XmlReader &xml, const QString &file)
    {
        while (xml.readNextStartElement()) {
            const Location loc = at(file, xml);
            if (xml.name() == u"param") {
                const auto a = xml.attributes();
                ParamSource p{a.value(QLatin1String("code")).toString(), a.value(QLatin1String("p1")).toString(),
                              a.value(QLatin1String("p2")).toString(), a.hasAttribute(QLatin1String("p2")), loc};
                if (p.code.isEmpty())
                    error(loc, QStringLiteral("<param> needs a code"));
                m_out.params.push_back(p);
                xml.skipCurrentElement();
            } else if (xml.name() == u"contents") {
                readItems(xml, file, QString(), 1);
            } else {
                error(loc, QStringLiteral("unknown element <%1> in <database>").arg(xml.name()));
                xml.skipCurrentElement();
            }
        }
    }

    void readItems(XmlReader &xml, const QString &file, const QString &parent, int depth)
    {
        while (xml.readNextStartElement()) {
            const Location loc = at(file, xml);
            if (xml.name() != u"item") {
                error(loc, QStringLiteral("unknown element <%1> in the contents").arg(xml.name()));
                xml.skipCurrentElement();
                continue;
            }
            if (depth > kMaxItemDepth) {
                error(loc, QStringLiteral("contents items nest more than %1 deep").arg(kMaxItemDepth));
                xml.skipCurrentElement(); // read to its end without going deeper
                continue;
            }
            const auto a = xml.attributes();
            ItemSource it{a.value(QLatin1String("key")).toString(), a.value(QLatin1String("text")).toString(),
                          a.hasAttribute(QLatin1String("parent")) ? a.value(QLatin1String("parent")).toString()
                                                                  : parent,
                          a.value(QLatin1String("type")).toString(), loc};
            if (it.key.trimmed().isEmpty())
                error(loc, QStringLiteral("<item> needs a key"));
            m_out.items.push_back(it);
            readItems(xml, file, it.key, depth + 1);
        }
    }

    void readTopic(XmlReader &xml, const QString &file)
    {
        TopicSource t;
        t.where = at(file, xml);
        const auto a = xml.attributes();
        t.title = a.value(QLatin1String("title")).toString();
        t.data = a.value(QLatin1String("data")).toString();
        t.browse = a.value(QLatin1String("browse")) != u"no";
        t.groups = a.value(QLatin1String("groups")).toString().split(u' ', Qt::SkipEmptyParts);
        for (const QString &c : a.value(QLatin1String("context")).toString().split(u' ', Qt::SkipEmptyParts))
            t.contexts.push_back({c, QString(), t.where});
        if (t.title.isEmpty())
            error(t.where, QStringLiteral("<topic> needs a title"));
        int ordinal = 0;
        bool seenSr = false;
        while (xml.readNextStartElement()) {
            const Location loc = at(file, xml);
            if (xml.name() == u"nsr" || xml.name() == u"sr") {
                const int region = xml.name() == u"nsr" ? 0 : 1;
                if (region == 0 && seenSr)
                    error(loc, QStringLiteral("<nsr> must come before <sr>"));
                seenSr = seenSr || region == 1;
                Sink sink{&t, region, &ordinal, false, nullptr, false, {}, 0};
                content(xml, file, sink);
            } else {
                error(loc, QStringLiteral("unknown element <%1> in <topic> (expected <nsr> or <sr>)").arg(xml.name()));
                xml.skipCurrentElement();
            }
        }
        checkLayout(t);
        if (onTopic)
            onTopic(std::move(t));
        else
            m_out.topics.push_back(std::move(t));
    }

    // The reader cuts a region short when it holds more than Qt lays out
    // quickly (see engine::SanitizeLimits): a title must not reach that.
    void checkLayout(const TopicSource &t)
    {
        const QByteArray *regions[2] = {&t.nsrHtml, &t.srHtml};
        for (int r = 0; r < 2; ++r) {
            if (regions[r]->isEmpty())
                continue;
            engine::SanitizeReport report;
            engine::sanitizeTopicHtml(QString::fromUtf8(*regions[r]), {}, &report);
            if (!report.limit.isEmpty())
                error(t.where, QStringLiteral("the topic's %1 holds more than the reader lays out: %2")
                                   .arg(r == 0 ? QStringLiteral("<nsr>") : QStringLiteral("<sr>"), report.limit));
        }
    }

    // Reads the children of the current element up to its end tag. An
    // element nested past what the reader lays out is refused and read to
    // its end without going deeper.
    void content(XmlReader &xml, const QString &file, Sink &sink)
    {
        if (sink.depth >= kMaxElementDepth) {
            error(at(file, xml), QStringLiteral("elements nest more than %1 deep").arg(kMaxElementDepth));
            xml.skipCurrentElement();
            return;
        }
        ++sink.depth;
        const auto leave = qScopeGuard([&sink] { --sink.depth; });
        while (!xml.atEnd()) {
            if (sink.overBudget) {
                xml.skipCurrentElement();
                return;
            }
            const auto tok = xml.readNext();
            if (tok == XmlReader::EndElement)
                return;
            if (tok == XmlReader::Characters) {
                if (sink.html()->size() + xml.textUtf8().size() > kMaxRegionBytes) {
                    error(at(file, xml), QStringLiteral("the topic's text is more than a page may hold (%1 MB): "
                                                        "split it into several topics")
                                             .arg(kMaxRegionBytes >> 20));
                    sink.overBudget = true;
                    continue;
                }
                *sink.html() += escUtf8(xml.textUtf8());
                *sink.text() += xml.textUtf8();
            } else if (tok == XmlReader::StartElement) {
                element(xml, file, sink);
            }
        }
    }

    void element(XmlReader &xml, const QString &file, Sink &sink)
    {
        const Location loc = at(file, xml);
        const QString name = xml.name().toString();
        const auto attrs = xml.attributes();
        if (name == u"a") {
            link(xml, file, sink, loc);
        } else if (name == u"note") {
            note(xml, file, sink, loc);
        } else if (name == u"anchor") {
            const QString ctx = attrs.value(QLatin1String("context")).toString();
            if (ctx.isEmpty()) {
                error(loc, QStringLiteral("<anchor> needs a context"));
            } else {
                const QString anchorName = QStringLiteral("m%1").arg(++m_anchorCount);
                *sink.html() += QStringLiteral("<a name=\"%1\"></a>").arg(anchorName).toUtf8();
                sink.topic->contexts.push_back({ctx, anchorName, loc});
            }
            xml.skipCurrentElement();
        } else if (name == u"noindex") {
            noindex(xml, file, sink);
        } else if (sink.inNoindex && (name == u"img" || engine::breaksWords(name) || name == u"hr")) {
            error(loc, QStringLiteral("<%1> cannot stand inside <noindex>, which holds text on a line").arg(name));
            xml.skipCurrentElement();
        } else if (name == u"img") {
            image(xml, file, sink, loc);
        } else if (isAllowedTag(name)) {
            QString tag = u'<' + name;
            for (const auto &at : attrs) {
                const QString an = at.name().toString();
                if (!isAllowedAttribute(name, an)) {
                    error(loc, QStringLiteral("attribute %1 is not allowed on <%2>").arg(an, name));
                    continue;
                }
                if (an == u"style")
                    checkStyle(at.value().toString(), loc);
                tag += u' ' + an + QStringLiteral("=\"") + engine::escapeHtml(at.value()) + u'"';
            }
            *sink.html() += (tag + u'>').toUtf8();
            const bool breaks = engine::breaksWords(name);
            if (breaks)
                *sink.text() += '\n';
            if (name == u"br" || name == u"hr") {
                xml.skipCurrentElement();
                return;
            }
            content(xml, file, sink);
            *sink.html() += (QStringLiteral("</") + name + u'>').toUtf8();
            if (breaks)
                *sink.text() += '\n';
        } else {
            error(loc, QStringLiteral("element <%1> is not allowed in a topic").arg(name));
            xml.skipCurrentElement();
        }
    }

    void checkStyle(const QString &style, const Location &loc)
    {
        for (const QString &decl : style.split(u';', Qt::SkipEmptyParts)) {
            const QString prop = decl.section(u':', 0, 0).trimmed().toLower();
            if (prop.isEmpty())
                continue;
            if (!isAllowedStyleProperty(prop))
                error(loc, QStringLiteral("style property %1 is not allowed").arg(prop));
        }
    }

    void link(XmlReader &xml, const QString &file, Sink &sink, const Location &loc)
    {
        const auto a = xml.attributes();
        HotspotSource h;
        h.region = sink.region;
        h.where = loc;
        int kinds = 0;
        if (a.hasAttribute(QLatin1String("code"))) {
            h.kind = 0;
            h.target = a.value(QLatin1String("code")).toString();
            ++kinds;
        }
        if (a.hasAttribute(QLatin1String("popup"))) {
            h.kind = 1;
            h.target = a.value(QLatin1String("popup")).toString();
            ++kinds;
        }
        if (a.hasAttribute(QLatin1String("jump"))) {
            h.kind = 2;
            h.target = a.value(QLatin1String("jump")).toString();
            ++kinds;
        }
        if (a.hasAttribute(QLatin1String("note"))) {
            h.kind = 2;
            h.noteCall = true;
            h.target = a.value(QLatin1String("note")).toString();
            ++kinds;
        }
        if (kinds != 1 || h.target.isEmpty()) {
            error(loc, QStringLiteral("<a> needs exactly one of code, popup, jump or note"));
            xml.skipCurrentElement();
            return;
        }
        if (sink.inLink) {
            error(loc, QStringLiteral("a hotspot cannot contain another hotspot"));
            xml.skipCurrentElement();
            return;
        }
        h.ordinal = ++*sink.ordinal;
        sink.topic->hotspots.push_back(h);
        if (h.noteCall)
            addNoteCallContext(*sink.topic, h.ordinal, loc);
        *sink.html() += "<a href=\"hs:" + QByteArray::number(h.ordinal) + "\">";
        sink.inLink = true;
        if (h.noteCall) {
            // The text of a note call is its label: shown, not indexed.
            *sink.indexText() += ' ';
            QByteArray label;
            QByteArray *const outer = sink.unindexed;
            sink.unindexed = &label;
            content(xml, file, sink);
            sink.unindexed = outer;
            *sink.indexText() += ' ';
        } else {
            content(xml, file, sink);
        }
        sink.inLink = false;
        *sink.html() += "</a>";
    }

    // Text shown but left out of the index, and no word break: a word
    // deleted in the manuscript inside a word that stands (ge<del>sag</del>
    // <add>schrieb</add>en is the word "geschrieben"), a folio mark. The
    // reader skips the same text when it looks for the words of a page.
    void noindex(XmlReader &xml, const QString &file, Sink &sink)
    {
        if (sink.inNoindex) {
            content(xml, file, sink);
            return;
        }
        *sink.html() += "<span title=\"" + QByteArray(engine::kUnindexedMark) + "\">";
        QByteArray dropped;
        QByteArray *const outer = sink.unindexed;
        sink.unindexed = &dropped;
        sink.inNoindex = true;
        content(xml, file, sink);
        sink.inNoindex = false;
        sink.unindexed = outer;
        *sink.html() += "</span>";
    }

    void addNoteCallContext(TopicSource &t, int k, const Location &loc)
    {
        if (t.data.isEmpty()) {
            error(loc, QStringLiteral("a topic with note calls needs a data attribute"));
            return;
        }
        t.contexts.push_back({QStringLiteral("N%1.%2").arg(t.data).arg(k), QStringLiteral("hs:%1").arg(k), loc});
    }

    void note(XmlReader &xml, const QString &file, Sink &sink, const Location &loc)
    {
        const QString problem = sink.inLink                  ? QStringLiteral("a note cannot stand inside a hotspot")
                                : sink.topic->where.line < 0 ? QStringLiteral("a note cannot contain another note")
                                : sink.topic->data.isEmpty()
                                    ? QStringLiteral("a topic with notes needs a data attribute")
                                    : QString();
        if (!problem.isEmpty()) {
            error(loc, problem);
            xml.skipCurrentElement();
            return;
        }
        TopicSource &caller = *sink.topic;
        const int k = ++*sink.ordinal;
        const QString label = xml.attributes().hasAttribute(QLatin1String("label"))
                                  ? xml.attributes().value(QLatin1String("label")).toString()
                                  : QString::number(k);
        TopicSource n;
        n.where = loc;
        // The title names the note by what its call shows.
        n.title = QStringLiteral("%1 %2 \u2013 %3")
                      .arg(m_out.notesPrefix)
                      .arg(label)
                      .arg(engine::titleWithoutKindMark(caller.title));
        n.data = QStringLiteral("%1.%2").arg(caller.data).arg(k);
        n.browse = false;
        for (const QString &g : caller.groups)
            n.groups << u'N' + g;
        const QString noteContext = QStringLiteral("T%1.%2").arg(caller.data).arg(k);
        n.contexts.push_back({noteContext, QString(), loc});
        // The heading repeats the calling topic's title: it is shown, not
        // indexed, so that a search for a name finds the notes that speak
        // of it, not every note of a letter to that person.
        n.nsrHtml = "<p><b>" + engine::escapeHtml(n.title).toUtf8() + "</b></p>";
        n.where.line = -1; // marks a generated topic: notes do not nest
        int noteOrdinal = 0;
        Sink noteSink{&n, 1, &noteOrdinal, false, nullptr, false, {}, 0, sink.depth};
        n.srHtml = "<p>";
        content(xml, file, noteSink);
        n.srHtml += "</p>";
        n.where.line = loc.line;

        HotspotSource h{k, sink.region, 2, noteContext, true, loc};
        caller.hotspots.push_back(h);
        addNoteCallContext(caller, k, loc);
        *sink.html() +=
            QStringLiteral("<a href=\"hs:%1\"><sup>%2</sup></a>").arg(k).arg(engine::escapeHtml(label)).toUtf8();
        *sink.indexText() += ' ';
        checkLayout(n);
        if (!onNote || !onNote(n))
            m_notes.push_back(std::move(n));
    }

    void image(XmlReader &xml, const QString &file, Sink &sink, const Location &loc)
    {
        const auto a = xml.attributes();
        QString src = a.value(QLatin1String("src")).toString();
        xml.skipCurrentElement();
        bool declared = false;
        for (const ImageSource &i : m_out.images)
            declared = declared || i.name == src;
        if (!declared) {
            const QString path = QFileInfo(file).absoluteDir().filePath(src);
            src = QFileInfo(path).fileName();
            declareImage(src, path, loc);
        }
        // The reader shows a page's images up to a budget of pixels.
        if (!sink.imagesShown.contains(src)) {
            sink.imagesShown.insert(src);
            const bool within = sink.imagePixels <= engine::kMaxPageImagePixels;
            sink.imagePixels += shownPixels(src);
            if (within && sink.imagePixels > engine::kMaxPageImagePixels)
                error(loc, QStringLiteral("the images of this region are more than the reader shows on a page: "
                                          "%1 pixels at most (an image larger than %2 pixels a side counts at "
                                          "that size)")
                               .arg(engine::kMaxPageImagePixels)
                               .arg(engine::kMaxShownImageSide));
        }
        QString tag = QStringLiteral("<img src=\"%1\"").arg(engine::escapeHtml(src));
        for (const char *n : {"width", "height", "alt"})
            if (a.hasAttribute(QLatin1String(n)))
                tag += QStringLiteral(" %1=\"%2\"")
                           .arg(QLatin1String(n))
                           .arg(engine::escapeHtml(a.value(QLatin1String(n))));
        *sink.html() += (tag + u'>').toUtf8();
        *sink.text() += ' '; // the page holds an object here, which parts words
    }

    // The pixels an image of the title is shown with: its size, scaled down
    // past the largest shown; 0 for one the reader does not show.
    qint64 shownPixels(const QString &name)
    {
        const auto known = m_imagePixels.constFind(name);
        if (known != m_imagePixels.constEnd())
            return *known;
        qint64 pixels = 0;
        for (const ImageSource &i : m_out.images) {
            if (i.name != name)
                continue;
            QSize size = QImageReader(i.path).size();
            if (size.isValid()) {
                if (size.width() > engine::kMaxShownImageSide || size.height() > engine::kMaxShownImageSide)
                    size = size.scaled(engine::kMaxShownImageSide, engine::kMaxShownImageSide, Qt::KeepAspectRatio);
                pixels = qint64(size.width()) * size.height();
            }
        }
        m_imagePixels.insert(name, pixels);
        return pixels;
    }

    TitleSource &m_out;
    QStringList &m_errors;
    SourceAccess m_access;
    bool m_accessSet = false;
    QHash<QString, qint64> m_imagePixels;
    std::vector<TopicSource> m_notes;
    std::vector<std::pair<QString, Location>> m_includes;
    int m_anchorCount = 0;
};

ProjectReader::ProjectReader(TitleSource &out, QStringList &errors) : m_impl(std::make_unique<Impl>(out, errors)) {}

ProjectReader::~ProjectReader() = default;

bool ProjectReader::readProject(const QString &path)
{
    return m_impl->readProject(path);
}

const std::vector<std::pair<QString, Location>> &ProjectReader::includes() const
{
    return m_impl->includes();
}

void ProjectReader::readTopicText(const QByteArray &bytes, const QString &name)
{
    m_impl->readTopicText(bytes, name);
}

void ProjectReader::declareImage(const QString &name, const QString &path, const Location &loc)
{
    m_impl->declareImage(name, path, loc);
}

std::vector<TopicSource> ProjectReader::takeNotes()
{
    return m_impl->takeNotes();
}

void ProjectReader::setTopicSink(std::function<void(TopicSource &&)> sink)
{
    m_impl->onTopic = std::move(sink);
}

void ProjectReader::setNoteSink(std::function<bool(TopicSource &)> sink)
{
    m_impl->onNote = std::move(sink);
}

} // namespace folium::mktitle
