// Fuzzes the query parser with any text a reader could type or paste, and
// what is made of a query it accepts: the FTS5 expression and the
// expressions of the hits to mark.
#include "query.h"

#include <QString>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace folium::engine;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const bool implicitAnd : {true, false}) {
        QueryOptions options;
        options.implicitAnd = implicitAnd;
        options.nearThreshold = int(size % 12);
        const ParsedQuery q = parseQuery(text, options);
        if (q.root) {
            toFts5(*q.root, options.nearThreshold);
            highlightExpressions(*q.root, options.nearThreshold);
        }
    }
    return 0;
}
