#include "title_schema.h"

namespace folium::engine {

uint32_t contextHash(QStringView context)
{
    // FNV-1a over the UTF-8 bytes of the lower-cased text, computed as the
    // characters are read (a title may hold hundreds of thousands of names).
    uint32_t h = 2166136261u;
    const auto byte = [&h](uint32_t b) {
        h ^= b;
        h *= 16777619u;
    };
    const qsizetype n = context.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = context[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && context[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), context[++i].unicode());
        c = QChar::toLower(c);
        if (c < 0x80) {
            byte(c);
        } else if (c < 0x800) {
            byte(0xC0 | (c >> 6));
            byte(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            byte(0xE0 | (c >> 12));
            byte(0x80 | ((c >> 6) & 0x3F));
            byte(0x80 | (c & 0x3F));
        } else {
            byte(0xF0 | (c >> 18));
            byte(0x80 | ((c >> 12) & 0x3F));
            byte(0x80 | ((c >> 6) & 0x3F));
            byte(0x80 | (c & 0x3F));
        }
    }
    return h;
}

uint32_t contextIdCandidate(QStringView context, int salt)
{
    if (salt == 0)
        return contextHash(context);
    return contextHash(context.toString() + QStringLiteral("#") + QString::number(salt));
}

const char *const kTitleSchemaSql = R"SQL(
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;
CREATE TABLE topic(
  idx    INTEGER PRIMARY KEY,
  title  TEXT NOT NULL,
  data   TEXT NOT NULL,
  nsr    TEXT NOT NULL,
  sr     TEXT NOT NULL
);
CREATE TABLE topic_nav(
  idx    INTEGER PRIMARY KEY,
  va     INTEGER NOT NULL,
  browse INTEGER
);
CREATE TABLE context(
  id     INTEGER PRIMARY KEY,
  hash   INTEGER NOT NULL,
  name   TEXT NOT NULL,
  topic  INTEGER NOT NULL,
  anchor TEXT
);
CREATE TABLE hotspot(
  topic   INTEGER NOT NULL,
  ordinal INTEGER NOT NULL,
  region  INTEGER NOT NULL,
  kind    INTEGER NOT NULL,
  target  TEXT NOT NULL,
  id      INTEGER NOT NULL,
  note    INTEGER NOT NULL,
  PRIMARY KEY(topic, ordinal)
) WITHOUT ROWID;
CREATE TABLE image(name TEXT PRIMARY KEY, data BLOB NOT NULL);
CREATE TABLE title_chunk(chunk INTEGER PRIMARY KEY, data BLOB NOT NULL);
CREATE TABLE search_group(name TEXT NOT NULL, first INTEGER NOT NULL, last INTEGER NOT NULL);
CREATE INDEX search_group_name ON search_group(name);
)SQL";

const char *const kIndexSchemaSql =
    "CREATE VIRTUAL TABLE fts USING fts5(sr, nsr, content='', detail=full, tokenize='folium');";

} // namespace folium::engine
