// Reading TEI files with libxml2: a file is read as a stream, and each TEI
// document in it (the file's root, or each TEI of a teiCorpus) is built as
// a tree only while it is converted, so that memory follows the largest
// letter, not the edition. Entities declared in the document are expanded;
// nothing outside the file is ever read (no external entity, no DTD, no
// network).
#pragma once

#include <QString>
#include <QStringView>

#include <functional>

#include <libxml/tree.h>

namespace folium::mktitle::tei {

inline constexpr char kTeiNamespace[] = "http://www.tei-c.org/ns/1.0";

// Past this many characters without a blank, text made from TEI gets a
// place to break the line (a zero-width space): a page lays out runs of at
// most 2,000, and no word is this long.
inline constexpr int kLongestRun = 1000;

// --- Nodes -----------------------------------------------------------------

// An element of the TEI namespace named so.
bool is(const xmlNode *n, const char *localName);
bool isTeiElement(const xmlNode *n);
// The element's local name ("" for a node that is no element).
QString localName(const xmlNode *n);
QString attribute(const xmlNode *n, const char *name);
// xml:id, xml:lang.
QString xmlAttribute(const xmlNode *n, const char *name);
int lineOf(const xmlNode *n);

// The first child element of the TEI namespace with that name, or null.
const xmlNode *child(const xmlNode *n, const char *localName);
// The first descendant so named, in document order, or null.
const xmlNode *descendant(const xmlNode *n, const char *localName);
// Walks the elements below n in document order; the visitor returns false
// to leave an element's children out.
void forEachElement(const xmlNode *n, const std::function<bool(const xmlNode *)> &visit);
// The text below n with runs of white space made one blank and trimmed.
QString plainText(const xmlNode *n);

// --- Files -----------------------------------------------------------------

// One TEI document of a file as it is read.
struct TeiDocument {
    const xmlNode *tei = nullptr;          // the TEI element
    const xmlNode *corpusHeader = nullptr; // the teiCorpus's teiHeader, if any
    int indexInFile = 0;                   // 0 for the first TEI of the file
};

class TeiFileReader {
public:
    // Files up to this size are read whole into memory, larger ones as a
    // stream.
    static constexpr qint64 kWholeFileBytes = 16LL << 20;

    TeiFileReader();
    ~TeiFileReader();
    TeiFileReader(const TeiFileReader &) = delete;
    TeiFileReader &operator=(const TeiFileReader &) = delete;

    // Reads the file, handing each TEI document to the visitor as soon as
    // it is whole. False with a message ("line: what") when the file is not
    // well-formed or not TEI; documents handed over before the problem
    // stay handed over.
    bool read(const QString &path, const std::function<void(const TeiDocument &)> &visit);
    // A file whose root is a register (listPerson, listPlace, listOrg,
    // listBibl or standOff) is read too, the register handed over as the
    // document.
    void acceptRegisterRoots(bool on) { m_registerRoots = on; }
    const QString &error() const { return m_error; }
    int errorLine() const { return m_errorLine; }

private:
    QString m_error;
    int m_errorLine = 0;
    bool m_registerRoots = false;
};

} // namespace folium::mktitle::tei
