// The .m14 title format: one SQLite file. docs/m14-format.md describes it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>

namespace folium::engine {

// "FoLM" in the database header identifies a Folium title.
inline constexpr int32_t kTitleApplicationId = 0x466F4C4D;
// Version 2: hotspots say whether they are note calls, and the index leaves
// note-call labels out. Version 3: the index has the scrolling region as its
// first column, where FTS5 stores no column marker, so the bulk of the text
// costs less.
inline constexpr int32_t kTitleFormatVersion = 3;

// Hotspot kinds, as reported by HotspotClicked.
enum HotspotKind : int { HotspotCode = 0, HotspotPopup = 1, HotspotJump = 2 };

// What a clicked hotspot names, handed over by value so that a receiver
// may keep it, queue it or click another hotspot meanwhile: the code
// string of a code hotspot (Latin-1, as titles write codes), or the
// identifier of a popup's or a jump's target (the hash of its context).
struct HotspotTarget {
    QByteArray code;
    uint32_t id = 0;
};

// The 32-bit hash of a context string. Context strings are compared without
// regard to letter case, so the hash is taken of the lower-cased text
// (FNV-1a over UTF-8).
uint32_t contextHash(QStringView context);

// The identifier of a context string: its hash, unless another context
// string of the title already has that number; then the hash of the name
// with a salt, salt 1, 2, ... until the number is free. Hotspots that jump
// carry the identifier of their target.
uint32_t contextIdCandidate(QStringView context, int salt);

// Topic titles are also stored packed, kTitlesPerChunk to a row of table
// title_chunk, so that a hit list of thousands of topics gets its titles
// from a few rows: little-endian uint32 count n, n + 1 uint32 offsets into
// the text that follows, then the UTF-8 titles one after the other.
inline constexpr int kTitlesPerChunk = 4096;

// SQL that creates an empty title (its tables, then its full-text index).
extern const char *const kTitleSchemaSql;
extern const char *const kIndexSchemaSql;

} // namespace folium::engine
