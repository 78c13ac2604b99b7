// The full-text tokenizer of titles: SQLite's unicode61 with diacritics
// removed, wrapped so that the ligatures œ, æ (and ß) fold to oe, ae, ss
// first. "cœur" and "coeur" are then the same word.
#pragma once

#include <QByteArray>
#include <vector>

namespace folium::sqlite {
class Connection;
}

namespace folium::engine {

// Registers the tokenizer "folium" on a connection. Both the compiler (which
// builds the index) and the reader (which queries it) must register it.
// The reader also gets the auxiliary function folium_inst(fts), which lists
// the phrase instances of a matching row as "column offset length;" triples
// (offsets in tokens), for highlighting.
bool registerFoliumTokenizer(const sqlite::Connection &db);

// Splits UTF-8 text into the tokens the index holds: for each token, the
// byte offsets of its start and end.
bool tokenSpans(const sqlite::Connection &db, const QByteArray &utf8, std::vector<std::pair<int, int>> *spans);

// Folds the ligatures of UTF-8 text. map receives, for each byte of the
// result and one past its end, the offset of the source byte it came from.
QByteArray foldLigatures(const QByteArray &utf8, std::vector<int> *map = nullptr);

} // namespace folium::engine
