// The converter of a letter's TEI text into the rich text of a topic (see
// tei_text.h): the element rules and the notes in tei_text.cpp, the blocks
// (paragraphs, lists, tables, figures) in tei_text_blocks.cpp.
#pragma once

#include "tei_register.h"
#include "tei_style.h"
#include "tei_text.h"
#include "tei_writer.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <string_view>
#include <vector>

namespace folium::mktitle::tei::detail {

class Converter {
public:
    Converter(const Renditions &renditions, const TextOptions &options, const ImageResolver &images)
        : m_renditions(renditions), m_options(options), m_images(images)
    {
    }

    TextResult run(const xmlNode *text);

private:
    void collectApartNotes(const xmlNode *text);
    static bool apart(const xmlNode *note);
    void children(const xmlNode *n);

    // A text node's characters, as libxml2 holds them (UTF-8).
    void textOf(const xmlNode *c);
    void countNoRule(const xmlNode *n);

    enum class Rule {
        None,
        Skip,
        Note,
        Break,
        Page,
        Space,
        Gap,
        Symbol,
        Choice,
        App,
        Del,
        Supplied,
        Seg,
        Italic,
        Pointer,
        Anchor,
        Transparent,
        Quote
    };
    static Rule ruleOf(std::string_view name);
    void element(const xmlNode *n);

    // Parts of the text the mapping leaves out: divs of a type, the front
    // or the back, notes of a type.
    bool leftOut(const xmlNode *n, std::string_view name) const;

    // A name of a person, place, organisation or work: told to the
    // importer, and a popup of its card where it can be one (a name that
    // holds a note call, a line break or another name keeps its text).
    void mention(const xmlNode *n, EntityKind kind, Rule rule);

    // Text and inline styles only: what a hotspot may hold.
    bool onALine(const xmlNode *n) const;

    // A quotation in a line of text gets quotation marks, unless the
    // edition writes its own; one of paragraphs is a block of its own.
    void quotation(const xmlNode *n);
    static bool startsWithQuotationMark(const xmlNode *n);
    static bool hasAttribute(const xmlNode *n, const char *name, const char *value);

    // The element's own text with its renditions.
    void styled(const xmlNode *n, bool inlineLevel);
    void pageBreak(const xmlNode *n);
    void symbol(const xmlNode *n);
    void choice(const xmlNode *n);

    // A pointer at a note that stands apart calls it here; any other
    // pointer keeps its text.
    void pointer(const xmlNode *n);
    void notesTargeting(const xmlNode *n);

    // --- notes

    // The note's own number as the source writes it at its start (a
    // <label>, a superscript or footnote figure): the call shows the
    // number the note takes here.
    static bool isLeadingNumber(const xmlNode *e);
    static const xmlNode *leadingNumber(const xmlNode *note);

    // Writes a note's call; the notes it holds follow as calls of their
    // own, numbered in the order they are met, and its text points at
    // them.
    void noteCall(const xmlNode *note);

    // Calls side by side read "1,2", not "12".
    void separateFromLastCall();
    QByteArray noteText(const xmlNode *note, int depth, std::vector<const xmlNode *> *queue);
    void noteChildren(const xmlNode *n, const xmlNode *skip);

    // A note met inside a note's text: it follows the note as a call of
    // its own, and the text points at it.
    void innerNote(const xmlNode *note);

    // --- blocks

    bool block(const xmlNode *n, std::string_view name);
    void paragraph(const xmlNode *n, const QByteArray &open);
    void container(const xmlNode *n);
    void list(const xmlNode *n);
    void item(const xmlNode *n);
    void table(const xmlNode *n);
    void row(const xmlNode *n);
    void cell(const xmlNode *n);
    void figure(const xmlNode *n);

    // The image when it may be shown; false when it may not.
    bool graphic(const xmlNode *n, const xmlNode *desc);
    void description(const xmlNode *desc);
    const Renditions &m_renditions;
    const TextOptions &m_options;
    const ImageResolver &m_images;
    Writer *m_w = nullptr;
    TextResult m_result;

    // A note's call: its hotspot ordinal (its context is "N" + data + "."
    // + ordinal) and the number it shows.
    struct Call {
        int ordinal = 0, label = 0;
    };
    int m_hotspots = 0, m_noteLabels = 0;
    int m_noteOrdinal = 0, m_noteLabel = 0; // of the note whose text is being written; 0 in the letter's text
    bool m_inMention = false;
    std::vector<const xmlNode *> m_apartNotes;
    QHash<QString, const xmlNode *> m_notesById;
    QHash<QString, std::vector<const xmlNode *>> m_notesByTarget;
    QHash<const xmlNode *, Call> m_called;
    std::vector<const xmlNode *> *m_noteQueue = nullptr;
    qsizetype m_lastCallEnd = -1; // where the last note call ends in the letter's text
};

} // namespace folium::mktitle::tei::detail
