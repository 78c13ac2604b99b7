#include "project_reader_impl.h"

namespace folium::mktitle {

using engine::isAllowedAttribute;
using engine::isAllowedStyleProperty;
using engine::isAllowedTag;

void ProjectReader::Impl::checkLayout(const TopicSource &t)
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

void ProjectReader::Impl::content(XmlReader &xml, const QString &file, Sink &sink)
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

void ProjectReader::Impl::element(XmlReader &xml, const QString &file, Sink &sink)
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

void ProjectReader::Impl::checkStyle(const QString &style, const Location &loc)
{
    for (const QString &decl : style.split(u';', Qt::SkipEmptyParts)) {
        const QString prop = decl.section(u':', 0, 0).trimmed().toLower();
        if (prop.isEmpty())
            continue;
        if (!isAllowedStyleProperty(prop))
            error(loc, QStringLiteral("style property %1 is not allowed").arg(prop));
    }
}

void ProjectReader::Impl::link(XmlReader &xml, const QString &file, Sink &sink, const Location &loc)
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

void ProjectReader::Impl::noindex(XmlReader &xml, const QString &file, Sink &sink)
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

void ProjectReader::Impl::addNoteCallContext(TopicSource &t, int k, const Location &loc)
{
    if (t.data.isEmpty()) {
        error(loc, QStringLiteral("a topic with note calls needs a data attribute"));
        return;
    }
    t.contexts.push_back({QStringLiteral("N%1.%2").arg(t.data).arg(k), QStringLiteral("hs:%1").arg(k), loc});
}

void ProjectReader::Impl::note(XmlReader &xml, const QString &file, Sink &sink, const Location &loc)
{
    const QString problem = sink.inLink                  ? QStringLiteral("a note cannot stand inside a hotspot")
                            : sink.topic->where.line < 0 ? QStringLiteral("a note cannot contain another note")
                            : sink.topic->data.isEmpty() ? QStringLiteral("a topic with notes needs a data attribute")
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

void ProjectReader::Impl::image(XmlReader &xml, const QString &file, Sink &sink, const Location &loc)
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
            tag +=
                QStringLiteral(" %1=\"%2\"").arg(QLatin1String(n)).arg(engine::escapeHtml(a.value(QLatin1String(n))));
    *sink.html() += (tag + u'>').toUtf8();
    *sink.text() += ' '; // the page holds an object here, which parts words
}

qint64 ProjectReader::Impl::shownPixels(const QString &name)
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

} // namespace folium::mktitle
