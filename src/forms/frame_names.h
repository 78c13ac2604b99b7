// The names of the main frame's menu items, menus and toolbar buttons.
//
// A name written in the code is checked when the program is compiled: one
// that names no item ("Bookmarkdell") does not compile, so looking an
// action up by name always finds it. A name only known at run time (a
// test walking the menus, a signal) is looked up with find(), which says
// when there is no such name.
#pragma once

#include <QString>
#include <QStringView>

#include <iterator>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace folium::forms {

struct ItemNames {
    static constexpr std::string_view list[] = {
        // File
        "Apri", "ImportaTei", "ReimportaTei", "Stampa", "Sep0", "Esci", "Sep1", "TexteOuvert_0", "TexteOuvert_1",
        "TexteOuvert_2", "TexteOuvert_3",
        // Edit, and the help items that only the context menu shows
        "Copia", "Sep", "GuidaRapida", "Guida2", "Sep2", "BookmarkNuovo", "BookmarkApri", "BookmarkSalva",
        "BookmarkSalvaSous", "Bookmarkadd", "Bookmarkdel", "Sep3", "Opzioni",
        // Navigate, with the index menu
        "HomePage", "Reprise", "Sep4", "Back", "Next", "Sep5", "Risultati_back", "Risultati_next", "Sep6", "CronoBack",
        "CronoNext", "Sep13", "Analitico", "Nomi", "Localita", "Destinatari", "Sinottico",
        // View, with the zoom menu
        "Cerca", "Risultati_cerca", "Cronologia", "Segnalibri", "Sommario_scritti", "Sep8", "NoteBasPage",
        "NotaPrecedente", "NotaSuccessiva", "Sep9", "Evidenziatore", "EvidenziatorePrecedente",
        "EvidenziatoreSuccessivo", "Sep10", "Cinquanta", "Settantacinque", "Cento", "Centocinquanta", "Duecento",
        // Help
        "Guida", "Raccourcis", "Sep12", "InformazioniSu"};
};

struct MenuNames {
    static constexpr std::string_view list[] = {"File",       "Modifica", "Esplora", "IndiciMenu",
                                                "Visualizza", "Zoom",     "Aiuto",   "MenuContestuale"};
};

struct ButtonNames {
    static constexpr std::string_view list[] = {"Home",
                                                "Apri",
                                                "Stampa",
                                                "Copia",
                                                "Cerca",
                                                "Risultatilist",
                                                "Cronologialist",
                                                "Bookmarklist",
                                                "Avvio",
                                                "Sommario",
                                                "Browseback",
                                                "Browsenext",
                                                "BackCrono",
                                                "Risultatilistback",
                                                "Risultatilistnext",
                                                "Hotspotback",
                                                "Hotspotnext",
                                                "BookmarkNuovo",
                                                "BookmarkApri",
                                                "BookmarkSalva",
                                                "Bookmarkadd",
                                                "Bookmarkdel",
                                                "Highlight",
                                                "Highlightback",
                                                "Highlightnext",
                                                "Zoom",
                                                "Opzioni",
                                                "Indici"};
};

namespace detail {
// Reached only while compiling a name that is not in its list: the call of
// a function that is not constexpr stops the compilation there.
void unknownFrameName(const char *);
} // namespace detail

template <typename Names> class FrameName {
public:
    static constexpr int count = int(std::size(Names::list));

    // A name written in the code; it must be one of the list.
    consteval FrameName(const char *name) : m_index(indexOf(name)) {}

    // A name known only at run time, or nothing when it names no action.
    static std::optional<FrameName> find(QStringView name)
    {
        for (int i = 0; i < count; ++i)
            if (name == QLatin1String(Names::list[size_t(i)].data(), qsizetype(Names::list[size_t(i)].size())))
                return FrameName(i, 0);
        return std::nullopt;
    }
    // The name at a place of the list (0 <= i < count).
    static FrameName at(int i) { return FrameName(i, 0); }

    int index() const { return m_index; }
    QString toString() const
    {
        const std::string_view s = Names::list[size_t(m_index)];
        return QString::fromLatin1(s.data(), qsizetype(s.size()));
    }
    bool operator==(const FrameName &) const = default;

private:
    constexpr FrameName(int index, int) : m_index(index) {}
    static consteval int indexOf(const char *name)
    {
        const std::string_view wanted(name);
        for (size_t i = 0; i < std::size(Names::list); ++i)
            if (Names::list[i] == wanted)
                return int(i);
        detail::unknownFrameName(name);
        return -1;
    }
    int m_index;
};

using ItemName = FrameName<ItemNames>;
using MenuName = FrameName<MenuNames>;
using ButtonName = FrameName<ButtonNames>;
// Lists of names written in the code: for (ButtonName k : ButtonList{"Home", "Apri"}).
using ItemList = std::initializer_list<ItemName>;
using ButtonList = std::initializer_list<ButtonName>;

} // namespace folium::forms
