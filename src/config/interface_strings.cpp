#include "interface_strings.h"

#include "dao.h"

namespace folium::config {

QString languageColumn(const QString &languageName)
{
    return languageName.left(3);
}

QString helpFileFor(const QString &languageName, const QString &programFolder)
{
    const char *file = languageName == u"Fran\u00e7ais" ? "FLFR.hlp"
                       : languageName == u"English"     ? "FLEN.hlp"
                       : languageName == u"Italiano"    ? "FLIT.hlp"
                                                        : nullptr;
    return file ? programFolder + u'/' + QString::fromLatin1(file) : QString();
}

bool isKnownKey(const QString &group, int number)
{
    // The program's ten groups, then five of its own: the help window
    // (AIDE), the names a screen reader says (ACCE), the status bar (STAT),
    // why a query was refused (REQU) and importing a TEI edition (IMPT).
    static const QHash<QString, int> last{
        {QStringLiteral("RECH"), 10}, {QStringLiteral("RESU"), 1},  {QStringLiteral("MENU"), 52},
        {QStringLiteral("BUTT"), 2},  {QStringLiteral("FENE"), 3},  {QStringLiteral("OPTI"), 18},
        {QStringLiteral("BMSG"), 39}, {QStringLiteral("ALOAD"), 1}, {QStringLiteral("LOAD"), 3},
        {QStringLiteral("VERS"), 1},  {QStringLiteral("AIDE"), 5},  {QStringLiteral("ACCE"), 12},
        {QStringLiteral("STAT"), 7},  {QStringLiteral("REQU"), 4},  {QStringLiteral("IMPT"), 19}};
    const auto it = last.constFind(group);
    return it != last.constEnd() && number >= 1 && number <= *it;
}

int InterfaceStrings::load(db::Database &fl, const QString &languageName)
{
    int err = 0;
    auto rs = fl.OpenRecordset(QStringLiteral("Langues"), &err);
    if (!rs)
        return err;
    if ((err = rs->setIndex(QStringLiteral("Ordine"))) != 0)
        return err;
    const QString column = languageColumn(languageName);
    QHash<StringKey, QString> texts;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        const QString group = rs->Field(QStringLiteral("Nom")).toString();
        const int number = rs->Field(QStringLiteral("No")).toInt();
        if (!isKnownKey(group, number))
            continue;
        int e = 0;
        const QString text = rs->Field(column, &e).toString();
        if (e == 0)
            texts.insert({group, number}, text);
    }
    m_texts = std::move(texts);
    return 0;
}

} // namespace folium::config
