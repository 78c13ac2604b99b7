#include "project_reader_impl.h"

namespace folium::mktitle {

bool ProjectReader::Impl::readProject(const QString &path)
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

void ProjectReader::Impl::readTopicText(const QByteArray &bytes, const QString &path)
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

void ProjectReader::Impl::declareImage(const QString &name, const QString &path, const Location &loc)
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

const SourceAccess &ProjectReader::Impl::access()
{
    if (!m_accessSet) {
        for (const QString &folder : std::as_const(m_out.readableFolders))
            m_access.allowFolder(folder);
        m_accessSet = true;
    }
    return m_access;
}

void ProjectReader::Impl::error(const Location &loc, const QString &message)
{
    m_errors << QStringLiteral("%1:%2: %3").arg(loc.file).arg(loc.line).arg(message);
}

void ProjectReader::Impl::xmlError(const QString &file, const XmlReader &xml)
{
    if (xml.hasError())
        error(at(file, xml), xml.errorString());
}

void ProjectReader::Impl::readDatabase(XmlReader &xml, const QString &file)
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

void ProjectReader::Impl::readItems(XmlReader &xml, const QString &file, const QString &parent, int depth)
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
                      a.hasAttribute(QLatin1String("parent")) ? a.value(QLatin1String("parent")).toString() : parent,
                      a.value(QLatin1String("type")).toString(), loc};
        if (it.key.trimmed().isEmpty())
            error(loc, QStringLiteral("<item> needs a key"));
        m_out.items.push_back(it);
        readItems(xml, file, it.key, depth + 1);
    }
}

void ProjectReader::Impl::readTopic(XmlReader &xml, const QString &file)
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
