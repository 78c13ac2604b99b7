// The interface strings of table "Langues" of FL.mdb: texts named by a group
// code and a number (MENU 22), in French, English or Italian.
#pragma once

#include <QHash>
#include <QString>

namespace folium::db {
class Database;
}

namespace folium::config {

struct StringKey {
    QString group;
    int number = 0;
    bool operator==(const StringKey &o) const { return group == o.group && number == o.number; }
};

inline size_t qHash(const StringKey &k, size_t seed = 0)
{
    return ::qHash(k.group, seed) ^ size_t(k.number);
}

// The column of a language in table "Langues": the first three characters
// of its name as the options list it ("Français" -> "Fra").
QString languageColumn(const QString &languageName);

// The help file of a language beside the program; empty for an unknown name.
QString helpFileFor(const QString &languageName, const QString &programFolder);

// Whether a key is one the program uses: one of its groups, and a number
// within that group's range. Rows with other keys are ignored.
bool isKnownKey(const QString &group, int number);

class InterfaceStrings {
public:
    // Reads every known key of the language from table "Langues" in the
    // order of its index "Ordine". Returns 0 or the database error.
    int load(db::Database &fl, const QString &languageName);

    QString text(const QString &group, int number) const { return m_texts.value({group, number}); }
    int size() const { return int(m_texts.size()); }

private:
    QHash<StringKey, QString> m_texts;
};

} // namespace folium::config
