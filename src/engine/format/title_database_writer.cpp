#include "title_database_writer.h"

#include "sqlite.h"

#include <QFile>

namespace folium::engine {

bool writeTitleDatabase(const QString &path, const std::vector<ItemRow> &items, const std::vector<ParamRow> &params,
                        QString *error)
{
    QFile::remove(path);
    sqlite::Connection db;
    const auto fail = [&] {
        if (error)
            *error = db.writeProblem();
        return false;
    };
    if (!db.openForWriting(path))
        return fail();
    if (!db.exec("CREATE TABLE Item(Ordine INTEGER, Chiave TEXT, Titolo TEXT, Parente TEXT, tipo TEXT);"
                 "CREATE INDEX Ordine ON Item(Ordine);"
                 "CREATE TABLE Param(Ordre INTEGER, Codice TEXT, Param1 TEXT, Param2 TEXT);"
                 "CREATE INDEX Ordre ON Param(Ordre);"
                 "BEGIN"))
        return fail();
    {
        sqlite::Statement st(db, "INSERT INTO Item(Ordine, Chiave, Titolo, Parente, tipo) VALUES(?1,?2,?3,?4,?5)");
        for (const ItemRow &r : items) {
            st.reset();
            st.bind(1, int64_t(r.ordine));
            st.bind(2, r.chiave);
            st.bind(3, r.titolo);
            st.bind(4, r.parente);
            st.bind(5, r.tipo);
            st.step();
            if (!st.succeeded())
                return fail();
        }
    }
    {
        sqlite::Statement st(db, "INSERT INTO Param(Ordre, Codice, Param1, Param2) VALUES(?1,?2,?3,?4)");
        for (const ParamRow &r : params) {
            st.reset();
            st.bind(1, int64_t(r.ordre));
            st.bind(2, r.codice);
            st.bind(3, r.param1);
            if (r.param2.isNull())
                st.bindNull(4);
            else
                st.bind(4, r.param2);
            st.step();
            if (!st.succeeded())
                return fail();
        }
    }
    // The reader reads the contents tree folder by folder: a folder's
    // children, and a node by its key. Made once the rows are in.
    return db.exec("CREATE INDEX ItemParente ON Item(rtrim(Parente), Ordine);"
                   "CREATE INDEX ItemChiave ON Item(rtrim(Chiave), Ordine);"
                   "COMMIT")
               ? true
               : fail();
}

} // namespace folium::engine
