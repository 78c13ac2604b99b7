#include "option_set.h"

#include "dao.h"

#include <QRegularExpression>

namespace folium::config {

int readOptionSet(db::Database &fl, OptionSet *out)
{
    int err = 0;
    auto rs = fl.OpenRecordset(QStringLiteral("Options"), &err);
    if (!rs)
        return err;
    if ((err = rs->MoveFirst()) != 0)
        return err;
    // A column that cannot be read keeps the value the option had.
    const auto read = [&](const char *column, auto *value) {
        int e = 0;
        const QVariant v = rs->Field(QString::fromUtf8(column), &e);
        if (e || !v.isValid())
            return;
        using T = std::remove_pointer_t<decltype(value)>;
        if constexpr (std::is_same_v<T, bool>)
            *value = v.toLongLong() != 0;
        else if constexpr (std::is_same_v<T, int>)
            *value = int(v.toLongLong());
        else
            *value = v.toString();
    };
    read("OptNotes", &out->notesAtBottom);
    read("OptF9", &out->autoNotes);
    read("OptCrono", &out->alwaysAddToHistory);
    read("OptAffiche", &out->applyZoomAtOnce);
    read("SepScreen", &out->separatorOnScreen);
    read("SepPrint", &out->separatorInPrint);
    read("MarginSinistra", &out->marginLeft);
    read("MarginDestra", &out->marginRight);
    read("MarginSopra", &out->marginTop);
    read("MarginSotto", &out->marginBottom);
    read("AndImplicito", &out->implicitAnd);
    read("Near", &out->near);
    read("Zoom", &out->zoom);
    read("Language", &out->language);
    read("Sommaire", &out->contentsAtStart);
    read("TextesD\u00e9faut", &out->defaultTitle);
    read("Scroll", &out->scroll);
    read("SplitPos", &out->splitPos);
    return 0;
}

double marginInches(const QString &centimetres)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*([0-9]+(?:[.,][0-9]*)?)"));
    const auto m = leading.match(centimetres);
    if (!m.hasMatch())
        return 0;
    return QString(m.captured(1)).replace(u',', u'.').toDouble() / 2.54;
}

} // namespace folium::config
