// The HTML that topic regions may hold, as the sanitizer reads it: which
// tags are blocks or inline, which are dropped with their content, and how
// attribute values, style declarations and entities are cleaned. Inside the
// engine only; the lists titles may use are in html_policy.h.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace folium::engine::html {

const QStringList &blockTags();
const QStringList &inlineTags();
// Elements whose content is thrown away with them.
bool isDroppedWithContent(QStringView tag);
bool isVoid(QStringView tag);

// A whole number, with "px" allowed, clamped to [lo, hi] (or a percentage
// clamped to 1–100 where allowed), written to out; false when unreadable.
bool validNumber(const QString &v, int lo, int hi, QString *out, bool allowPercent = false);
// "#rgb", "#rrggbb" or a colour name.
bool validColor(const QString &v);
// The allowed declarations of a style attribute, with sizes clamped.
QString cleanStyle(const QString &style);
// Decodes the entities of a text run; anything not understood stays literal.
QString decodeEntities(QStringView s);

} // namespace folium::engine::html
