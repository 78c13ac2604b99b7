// Reads the XML of a title project: the project file (its includes, images
// and database), then each topic file, into a TitleSource. Topic texts are
// converted to the engine's HTML and index text as they are read, and notes
// are made into topics of their own.
#pragma once

#include "title_source.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace folium::mktitle {

class ProjectReader {
public:
    // Problems are appended to errors as "file:line: message".
    ProjectReader(TitleSource &out, QStringList &errors);
    ~ProjectReader();
    ProjectReader(const ProjectReader &) = delete;
    ProjectReader &operator=(const ProjectReader &) = delete;

    bool readProject(const QString &path);
    // The topic files the project includes, in order, with where they are named.
    const std::vector<std::pair<QString, Location>> &includes() const;
    // A topic file's text, named as messages name it.
    void readTopicText(const QByteArray &bytes, const QString &name);
    void declareImage(const QString &name, const QString &path, const Location &loc);
    // The notes made so far, in the order of their calls.
    std::vector<TopicSource> takeNotes();

    // Where topics go as they are read, and notes as they are made, when
    // they are not all kept in the TitleSource. The note sink returns true
    // when it took the note (the reader then keeps nothing of it), false
    // when the note stays with the reader.
    void setTopicSink(std::function<void(TopicSource &&)> sink);
    void setNoteSink(std::function<bool(TopicSource &)> sink);

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace folium::mktitle
