#include "title_schema.h"

namespace folium::engine {

uint32_t contextHash(QStringView context)
{
    const QByteArray bytes = context.toString().toLower().toUtf8();
    uint32_t h = 2166136261u;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
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
  va     INTEGER NOT NULL UNIQUE,
  title  TEXT NOT NULL,
  data   TEXT NOT NULL,
  browse INTEGER,
  nsr    TEXT NOT NULL,
  sr     TEXT NOT NULL
);
CREATE UNIQUE INDEX topic_browse ON topic(browse) WHERE browse IS NOT NULL;
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
  PRIMARY KEY(topic, ordinal)
) WITHOUT ROWID;
CREATE TABLE image(name TEXT PRIMARY KEY, data BLOB NOT NULL);
CREATE TABLE title_chunk(chunk INTEGER PRIMARY KEY, data BLOB NOT NULL);
CREATE TABLE search_group(name TEXT NOT NULL, first INTEGER NOT NULL, last INTEGER NOT NULL);
CREATE INDEX search_group_name ON search_group(name);
CREATE VIRTUAL TABLE fts USING fts5(nsr, sr, content='', detail=full, tokenize='folium');
)SQL";

} // namespace folium::engine
