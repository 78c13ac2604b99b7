// The rich text a TEI letter is made into, written as the title source has
// it, and the limits it keeps to.
#pragma once

#include "tei_style.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace folium::mktitle::tei::detail {

// Elements nest at most this deep in what is made, below the region: the
// compiler refuses a topic deeper than the reader lays out, and a note's
// text counts from where its call stands.
inline constexpr int kMaxDepth = 20;
inline constexpr int kMaxListDepth = 5;
inline constexpr int kMaxTableDepth = 2;

// What the edition adds to the letter, shown and not indexed, is grey: a
// folio mark, a figure's description, the heading of notes never called.
inline const QByteArray kPageMarkOpen = "<span style=\"color:#808080;font-size:80%\">";
inline const QByteArray kGrey = "<span style=\"color:#808080\">";

inline QByteArray escaped(const QString &s)
{
    QByteArray out;
    const QByteArray u = s.toUtf8();
    out.reserve(u.size());
    for (char c : u) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// Characters that format text without showing: they neither show nor split
// a word.
inline bool invisible(char32_t c)
{
    return c == 0xFEFF || c == 0x200B || c == 0x00AD || c == 0x2060 || c == 0x200C || c == 0x200D ||
           (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F;
}

inline bool space(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == 0xA0 || c == 0x2009 || c == 0x202F;
}

inline bool lineEndHyphen(char32_t c)
{
    return c == '-' || c == 0x00AC || c == 0x2E17;
}

// Writes rich text as the title source has it. Text comes in as the TEI
// has it, white space and all; paragraphs and the inline styles around
// the text are opened only when text comes, so that an empty element
// leaves nothing, and reopened after a block ends inside them. A block
// end, a line break or a blank separate words; inline elements never do.
class Writer {
public:
    // In a note, blocks are lines of the one paragraph the note is.
    Writer(bool inNote, int depth) : m_inNote(inNote), m_depth(depth), m_base(depth) {}

    QByteArray take()
    {
        endBlock();
        closeInlines();
        while (!m_blocks.empty())
            closeBlock();
        return std::move(m_out);
    }
    bool inNote() const { return m_inNote; }
    bool inNoindex() const { return m_noindexWanted > 0; }
    qsizetype size() const { return m_out.size(); }
    int depth() const { return m_depth; }

    // --- text
    void text(const QString &s) { text(s.toUtf8()); }
    void text(const QByteArray &utf8) { text(utf8.constData(), utf8.size()); }
    // The text of a node as libxml2 gives it: UTF-8, checked by the parser.
    void text(const char *p, qsizetype n)
    {
        if (noTextHere())
            return;
        const char *const end = p + n;
        while (p < end) {
            const char *const at = p;
            const char32_t c = decode(p, end);
            if (invisible(c))
                continue;
            if (space(c)) {
                if (!m_glue && m_wroteInBlock)
                    m_space = true;
                m_run = 0;
                continue;
            }
            if (++m_run > kLongestRun) {
                // No word is this long: a place to break the line.
                m_out += "\xE2\x80\x8B";
                m_run = 1;
            }
            m_glue = false;
            ensureOpen();
            if (m_space) {
                m_out += ' ';
                m_space = false;
            }
            if (m_written < int(m_inlines.size()))
                openInlines();
            m_prevChar = m_lastChar;
            m_lastChar = c;
            m_lastCharAt = m_out.size();
            m_lastCharInNoindex = m_noindexOpen;
            switch (c) {
            case '&': m_out += "&amp;"; break;
            case '<': m_out += "&lt;"; break;
            case '>': m_out += "&gt;"; break;
            case '"': m_out += "&quot;"; break;
            default: m_out.append(at, p - at);
            }
            m_lastCharBytes = int(m_out.size() - m_lastCharAt);
            m_wroteInBlock = true;
            // The plain characters that follow (most of a word) go at once.
            const char *q = p;
            while (q < end && plainAscii(*q))
                ++q;
            if (q - p > kLongestRun - m_run)
                q = p + (kLongestRun - m_run); // the rest goes a character at a time
            if (q > p) {
                m_run += int(q - p);
                m_prevChar = q - p >= 2 ? static_cast<unsigned char>(q[-2]) : m_lastChar;
                m_lastChar = static_cast<unsigned char>(q[-1]);
                m_out.append(p, q - p);
                m_lastCharAt = m_out.size() - 1;
                m_lastCharBytes = 1;
                p = q;
            }
        }
    }
    static bool plainAscii(char c) { return c > ' ' && c < 0x7F && c != '&' && c != '<' && c != '>' && c != '"'; }
    // One code point of valid UTF-8 (as the parser hands it over); a stray
    // byte is taken as it stands.
    static char32_t decode(const char *&p, const char *end)
    {
        const auto b = static_cast<unsigned char>(*p++);
        if (b < 0x80)
            return b;
        const int more = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        char32_t c = more == 3 ? b & 0x07 : more == 2 ? b & 0x0F : b & 0x1F;
        for (int i = 0; i < more && p < end; ++i)
            c = (c << 6) | (static_cast<unsigned char>(*p++) & 0x3F);
        return more ? c : b;
    }
    // Text that is shown but no word of the index, inside the word it
    // stands in.
    void unindexedText(const QString &s, const QByteArray &open = {}, const QByteArray &close = {})
    {
        if (noTextHere())
            return;
        ensureOpen();
        if (m_space) {
            m_out += ' ';
            m_space = false;
        }
        openInlines();
        const bool wrap = !m_noindexOpen;
        if (wrap)
            m_out += "<noindex>";
        m_out += open + escaped(s) + close;
        if (wrap)
            m_out += "</noindex>";
        m_wroteInBlock = true;
        m_glue = false;
    }
    void blank()
    {
        if (!m_glue && m_wroteInBlock)
            m_space = true;
    }
    // A line break: a blank, unless the word goes on across it. A hyphen
    // right before it then goes.
    void lineBreak(bool wordGoesOn, bool joinHyphen)
    {
        if (wordGoesOn || (joinHyphen && endsWithLineEndHyphen())) {
            dropLineEndHyphen();
            m_space = false;
            m_glue = true;
        } else {
            blank();
        }
    }
    bool endsWithLineEndHyphen() const
    {
        return m_lastChar && lineEndHyphen(m_lastChar) && QChar::isLetter(m_prevChar) && m_lastCharAt >= 0 &&
               !m_lastCharInNoindex && m_wroteInBlock;
    }
    void dropLineEndHyphen()
    {
        if (!endsWithLineEndHyphen())
            return;
        m_out.remove(m_lastCharAt, m_lastCharBytes);
        m_lastChar = m_prevChar;
        m_prevChar = 0;
        m_lastCharAt = -1;
    }
    // --- inline styles
    void pushInline(const QByteArray &open, const QByteArray &close, bool noindex = false)
    {
        if (noindex && (m_noindexWanted > 0)) {
            m_inlines.push_back({{}, {}, false});
            return;
        }
        if (m_inlines.size() >= 8 || m_base + int(m_blocks.size()) * 3 + int(m_inlines.size()) + 2 > kMaxDepth) {
            m_inlines.push_back({{}, {}, noindex});
            if (noindex)
                ++m_noindexWanted;
            return;
        }
        m_inlines.push_back({open, close, noindex});
        if (noindex)
            ++m_noindexWanted;
    }
    void pushNoindex() { pushInline("<noindex>", "</noindex>", true); }
    void popInline()
    {
        if (m_inlines.empty())
            return;
        if (m_written == int(m_inlines.size())) {
            const Inline &i = m_inlines.back();
            if (!i.open.isEmpty())
                --m_depth;
            m_out += i.close;
            if (i.noindex && !i.open.isEmpty())
                m_noindexOpen = false;
            --m_written;
        }
        if (m_inlines.back().noindex)
            --m_noindexWanted;
        m_inlines.pop_back();
    }
    void pushStyle(const Style &s, int *pushed)
    {
        auto push = [&](const char *open, const char *close) {
            pushInline(open, close);
            ++*pushed;
        };
        if (s.italic)
            push("<i>", "</i>");
        if (s.bold)
            push("<b>", "</b>");
        if (s.underline)
            push("<u>", "</u>");
        if (s.strike)
            push("<s>", "</s>");
        if (s.sup && !s.sub)
            push("<sup>", "</sup>");
        if (s.sub && !s.sup)
            push("<sub>", "</sub>");
        if (s.big && !s.small)
            push("<big>", "</big>");
        if (s.small && !s.big)
            push("<small>", "</small>");
        if (s.spaced)
            push("<span style=\"letter-spacing:0.15em\">", "</span>");
        if (s.smallCaps)
            push("<span style=\"font-variant:small-caps\">", "</span>");
    }

    // --- blocks
    enum class Kind { Root, Cell, List, Table, Row };
    // Ends the paragraph (or, in a cell or a note, the line). Words on
    // either side are apart.
    void endBlock()
    {
        m_space = false;
        m_glue = false;
        if (!m_wroteInBlock && !m_paraOpen)
            return;
        closeInlines();
        if (m_inNote || kind() == Kind::Cell) {
            if (m_wroteInBlock)
                m_pendingBreak = true;
        } else if (m_paraOpen) {
            m_out += "</p>";
            --m_depth;
            m_paraOpen = false;
        }
        m_wroteInBlock = false;
        m_lastChar = 0;
    }
    // The paragraph the next text opens: "<p>", "<p align=\"right\">"...
    void setParagraph(const QByteArray &open) { m_paragraph = open; }
    const QByteArray &paragraph() const { return m_paragraph; }

    bool canNest(int more) const { return m_depth + more + 3 <= kMaxDepth; }
    // Opens a block element of the region (a list, a table, a row, a
    // cell) at the top of a container; returns false when it is one too
    // deep, and the caller keeps its text in the block around.
    void openBlock(Kind k, const QByteArray &open, const QByteArray &close)
    {
        endBlock();
        flushBreak(false);
        if (kind() == Kind::List && k != Kind::Cell)
            implicitItem();
        m_out += open;
        ++m_depth;
        m_blocks.push_back({k, close, false});
        m_pendingBreak = false;
        m_wroteInBlock = false;
    }
    void closeBlock()
    {
        endBlock();
        m_pendingBreak = false;
        if (m_blocks.empty())
            return;
        if (m_blocks.back().implicitItem) {
            m_out += "</li>";
            --m_depth;
        }
        m_out += m_blocks.back().close;
        --m_depth;
        m_blocks.pop_back();
        m_wroteInBlock = false;
    }
    Kind kind() const { return m_blocks.empty() ? Kind::Root : m_blocks.back().kind; }
    int count(Kind k) const
    {
        int n = 0;
        for (const auto &b : m_blocks)
            n += b.kind == k;
        return n;
    }

    // --- what stands on its own: a folio mark, an image, a note call
    // Written where the text is; between paragraphs a folio mark waits
    // for the next one.
    void pageMark(const QString &n, bool inWord)
    {
        if (!m_wroteInBlock && !m_paraOpen && !m_inNote && kind() == Kind::Root) {
            m_heldPageMarks << n;
            return;
        }
        if (!inWord)
            blank();
        const bool glue = m_glue;
        unindexedText(u'[' + n + u']', kPageMarkOpen, "</span>");
        if (!inWord)
            blank();
        m_glue = glue || inWord;
    }
    // Raw markup that stands outside every inline style: a note call, an
    // image.
    void object(const QByteArray &markup, bool separates)
    {
        if (noTextHere())
            return;
        ensureOpen();
        closeInlines();
        if (m_space || (separates && m_wroteInBlock)) {
            m_out += ' ';
            m_space = false;
        }
        m_out += markup;
        m_wroteInBlock = true;
        m_lastChar = 0;
    }
    void separate() { m_space = m_wroteInBlock; }

private:
    struct Inline {
        QByteArray open, close;
        bool noindex = false;
    };
    struct Block {
        Kind kind;
        QByteArray close;
        bool implicitItem = false;
    };

    // Between a table's rows and cells no text belongs: what stands
    // there is left out.
    bool noTextHere() const { return !m_inNote && (kind() == Kind::Table || kind() == Kind::Row); }
    void implicitItem()
    {
        if (!m_blocks.back().implicitItem) {
            m_out += "<li>";
            ++m_depth;
            m_blocks.back().implicitItem = true;
        }
    }
    void flushBreak(bool before)
    {
        if (m_pendingBreak && before)
            m_out += "<br/>";
        m_pendingBreak = false;
    }
    void ensureOpen()
    {
        if (m_inNote || kind() == Kind::Cell) {
            flushBreak(true);
            return;
        }
        if (kind() == Kind::List)
            implicitItem();
        if (kind() == Kind::List || kind() == Kind::Table || kind() == Kind::Row)
            return; // text where no text belongs: kept in the list's implicit item, or dropped by the caller
        if (m_paraOpen)
            return;
        m_out += m_paragraph;
        ++m_depth;
        m_paraOpen = true;
        if (!m_heldPageMarks.isEmpty()) {
            const QStringList marks = std::exchange(m_heldPageMarks, {});
            for (const QString &n : marks) {
                m_out += "<noindex>" + kPageMarkOpen + escaped(u'[' + n + u']') + "</span></noindex>";
                m_wroteInBlock = true;
            }
            m_space = true;
        }
    }
    void openInlines()
    {
        while (m_written < int(m_inlines.size())) {
            const Inline &i = m_inlines[size_t(m_written)];
            m_out += i.open;
            if (!i.open.isEmpty())
                ++m_depth;
            if (i.noindex && !i.open.isEmpty())
                m_noindexOpen = true;
            ++m_written;
        }
    }
    void closeInlines()
    {
        while (m_written > 0) {
            const Inline &i = m_inlines[size_t(m_written - 1)];
            m_out += i.close;
            if (!i.open.isEmpty())
                --m_depth;
            if (i.noindex && !i.open.isEmpty())
                m_noindexOpen = false;
            --m_written;
        }
    }

    QByteArray m_out;
    bool m_inNote;
    int m_depth, m_base;
    std::vector<Inline> m_inlines;
    int m_written = 0;       // of m_inlines, open in m_out
    int m_noindexWanted = 0; // noindex styles among m_inlines
    bool m_noindexOpen = false;
    std::vector<Block> m_blocks;
    QByteArray m_paragraph = "<p>";
    bool m_paraOpen = false;
    bool m_wroteInBlock = false;
    bool m_pendingBreak = false;
    bool m_space = false; // a blank waits for the next character
    int m_run = 0;        // characters since the last blank
    bool m_glue = false;  // the word goes on: blanks before the next character are none
    char32_t m_lastChar = 0, m_prevChar = 0;
    qsizetype m_lastCharAt = -1;
    int m_lastCharBytes = 0;
    bool m_lastCharInNoindex = false;
    QStringList m_heldPageMarks;
};

} // namespace folium::mktitle::tei::detail
