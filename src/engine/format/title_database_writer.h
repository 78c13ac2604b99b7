// The title database written beside a title: its contents tree and its
// parameters, in the tables the reader reads (Item and Param).
#pragma once

#include <QString>

#include <vector>

namespace folium::engine {

struct ItemRow {
    int ordine = 0;
    QString chiave, titolo, parente, tipo;
};

struct ParamRow {
    int ordre = 0;
    QString codice, param1, param2;
};

// Writes the title database (contents tree "Item" with index "Ordine" and
// indexes of its parents and keys, parameters "Param" with index "Ordre");
// an existing file is replaced.
bool writeTitleDatabase(const QString &path, const std::vector<ItemRow> &items, const std::vector<ParamRow> &params,
                        QString *error);

} // namespace folium::engine
