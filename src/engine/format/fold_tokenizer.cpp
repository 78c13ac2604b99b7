#include "fold_tokenizer.h"

#include "sqlite.h"

// FTS5's interface for a tokenizer is declared in SQLite's header.
#include <sqlite3.h>

#include <cstring>
#include <memory>
#include <string>

namespace folium::engine {

namespace {

// The ligatures folded, as the second byte after a lead byte 0xC3 or 0xC5.
const char *ligatureOf(unsigned char lead, unsigned char second)
{
    if (lead == 0xC5)
        return second == 0x93 ? "oe" : second == 0x92 ? "OE" : nullptr;
    if (lead == 0xC3)
        return second == 0xA6 ? "ae" : second == 0x86 ? "AE" : second == 0x9F ? "ss" : nullptr;
    return nullptr;
}

bool hasLigature(const char *p, int n)
{
    for (int i = 0; i + 1 < n; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        if ((c == 0xC3 || c == 0xC5) && ligatureOf(c, static_cast<unsigned char>(p[i + 1])))
            return true;
    }
    return false;
}

} // namespace

QByteArray foldLigatures(const QByteArray &utf8, std::vector<int> *map)
{
    const int n = int(utf8.size());
    const char *in = utf8.constData();
    QByteArray out(n + n / 2 + 2, Qt::Uninitialized);
    char *o = out.data();
    if (map) {
        map->clear();
        map->reserve(size_t(out.size()) + 1);
    }
    int k = 0;
    for (int i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(in[i]);
        const char *rep =
            (c == 0xC5 || c == 0xC3) && i + 1 < n ? ligatureOf(c, static_cast<unsigned char>(in[i + 1])) : nullptr;
        if (rep) {
            for (; *rep; ++rep) {
                o[k++] = *rep;
                if (map)
                    map->push_back(i);
            }
            ++i;
            continue;
        }
        o[k++] = char(c);
        if (map)
            map->push_back(i);
    }
    if (map)
        map->push_back(n);
    out.truncate(k);
    return out;
}

namespace {

struct FoliumTokenizer {
    fts5_tokenizer inner{};
    Fts5Tokenizer *innerInstance = nullptr;
};

int xCreate(void *ctx, const char **, int, Fts5Tokenizer **out)
{
    auto *api = static_cast<fts5_api *>(ctx);
    auto tok = std::make_unique<FoliumTokenizer>();
    void *userData = nullptr;
    if (api->xFindTokenizer(api, "unicode61", &userData, &tok->inner) != SQLITE_OK)
        return SQLITE_ERROR;
    // Beside unicode61's own separators: the modifier-letter apostrophe
    // (written for ' in some texts, "dellʼanima"), and the marks a rich-text
    // document puts where frames and objects stand (table cells, images), so
    // that text taken from a shown page splits into the same words as the
    // index.
    const char *args[] = {"remove_diacritics", "2", "separators", "\u02BC\uFDD0\uFDD1\uFFFC"};
    if (tok->inner.xCreate(userData, args, 4, &tok->innerInstance) != SQLITE_OK)
        return SQLITE_ERROR;
    *out = reinterpret_cast<Fts5Tokenizer *>(tok.release());
    return SQLITE_OK;
}

void xDelete(Fts5Tokenizer *p)
{
    auto *tok = reinterpret_cast<FoliumTokenizer *>(p);
    if (tok->innerInstance)
        tok->inner.xDelete(tok->innerInstance);
    delete tok;
}

struct CallbackContext {
    void *userCtx;
    int (*userCallback)(void *, int, const char *, int, int, int);
    const std::vector<int> *map;
};

int mapCallback(void *ctx, int flags, const char *token, int nToken, int start, int end)
{
    auto *c = static_cast<CallbackContext *>(ctx);
    const auto &m = *c->map;
    const int s = start >= 0 && size_t(start) < m.size() ? m[size_t(start)] : start;
    const int e = end >= 0 && size_t(end) < m.size() ? m[size_t(end)] : end;
    return c->userCallback(c->userCtx, flags, token, nToken, s, e);
}

int xTokenize(Fts5Tokenizer *p, void *userCtx, int flags, const char *text, int nText,
              int (*callback)(void *, int, const char *, int, int, int))
{
    auto *tok = reinterpret_cast<FoliumTokenizer *>(p);
    // Most text has no ligature: hand it over as it is.
    if (!hasLigature(text, nText))
        return tok->inner.xTokenize(tok->innerInstance, userCtx, flags, text, nText, callback);
    std::vector<int> map;
    const QByteArray folded = foldLigatures(QByteArray::fromRawData(text, nText), &map);
    CallbackContext ctx{userCtx, callback, &map};
    return tok->inner.xTokenize(tok->innerInstance, &ctx, flags, folded.constData(), int(folded.size()), mapCallback);
}

void instancesFunction(const Fts5ExtensionApi *api, Fts5Context *fts, sqlite3_context *ctx, int, sqlite3_value **)
{
    int count = 0;
    if (api->xInstCount(fts, &count) != SQLITE_OK) {
        sqlite3_result_error(ctx, "folium_inst: no instances", -1);
        return;
    }
    std::string out;
    out.reserve(size_t(count) * 12);
    for (int i = 0; i < count; ++i) {
        int phrase = 0, column = 0, offset = 0;
        if (api->xInst(fts, i, &phrase, &column, &offset) != SQLITE_OK)
            break;
        out += std::to_string(column) + ' ' + std::to_string(offset) + ' ' +
               std::to_string(api->xPhraseSize(fts, phrase)) + ';';
    }
    sqlite3_result_text(ctx, out.c_str(), int(out.size()), SQLITE_TRANSIENT);
}

struct SpanCollector {
    std::vector<std::pair<int, int>> *spans;
};

int collectSpan(void *ctx, int flags, const char *, int, int start, int end)
{
    if (!(flags & FTS5_TOKEN_COLOCATED))
        static_cast<SpanCollector *>(ctx)->spans->emplace_back(start, end);
    return SQLITE_OK;
}

} // namespace

bool registerFoliumTokenizer(const sqlite::Connection &db)
{
    fts5_api *api = db.fts5();
    if (!api)
        return false;
    fts5_tokenizer t{xCreate, xDelete, xTokenize};
    return api->xCreateTokenizer(api, "folium", api, &t, nullptr) == SQLITE_OK &&
           api->xCreateFunction(api, "folium_inst", nullptr, instancesFunction, nullptr) == SQLITE_OK;
}

bool tokenSpans(const sqlite::Connection &db, const QByteArray &utf8, std::vector<std::pair<int, int>> *spans)
{
    spans->clear();
    fts5_api *api = db.fts5();
    if (!api)
        return false;
    void *userData = nullptr;
    fts5_tokenizer tok{};
    if (api->xFindTokenizer(api, "folium", &userData, &tok) != SQLITE_OK)
        return false;
    Fts5Tokenizer *instance = nullptr;
    if (tok.xCreate(userData, nullptr, 0, &instance) != SQLITE_OK)
        return false;
    SpanCollector c{spans};
    const int rc = tok.xTokenize(instance, &c, FTS5_TOKENIZE_DOCUMENT, utf8.constData(), int(utf8.size()), collectSpan);
    tok.xDelete(instance);
    return rc == SQLITE_OK;
}

} // namespace folium::engine
