// folium-mkdb: builds a database from SQL text files, in order. Used at build
// time to make FL.mdb from data/FL.sql and data/langues.sql. The database is
// written beside the target and renamed into place when complete.
#include "dao.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>
#include <filesystem>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        err << "usage: folium-mkdb OUTPUT.mdb SCRIPT.sql [SCRIPT.sql ...]\n";
        return 2;
    }
    const QString out = args[0];
    const QString part = out + QStringLiteral(".part");
    QFile::remove(part);
    int e = 0;
    {
        auto db = folium::db::Database::CreateDatabase(part, QString(), &e);
        if (!db) {
            err << part << ": cannot create (error " << e << ")\n";
            return 1;
        }
        for (const QString &script : args.mid(1)) {
            QFile f(script);
            if (!f.open(QIODevice::ReadOnly)) {
                err << script << ": cannot read\n";
                QFile::remove(part);
                return 1;
            }
            QString message;
            if (db->execScript(QString::fromUtf8(f.readAll()), &message) != 0) {
                err << script << ": " << message << "\n";
                db->Close();
                QFile::remove(part);
                return 1;
            }
        }
    }
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(part).toStdString(), QFile::encodeName(out).toStdString(), ec);
    if (ec) {
        err << out << ": " << QString::fromStdString(ec.message()) << "\n";
        return 1;
    }
    return 0;
}
