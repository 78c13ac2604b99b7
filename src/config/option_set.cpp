#include "option_set.h"

#include "dao.h"

#include <QRegularExpression>

namespace folium::config {

namespace {

// The leading number of a margin as stored ("02.00", "2,5 cm"); -1 when the
// text does not start with one.
double leadingCentimetres(const QString &text)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*([0-9]+(?:[.,][0-9]*)?)"));
    const auto m = leading.match(text);
    return m.hasMatch() ? QString(m.captured(1)).replace(u',', u'.').toDouble() : -1;
}

} // namespace

int readOptionSet(db::Database &fl, OptionSet *out)
{
    int err = 0;
    auto rs = fl.OpenRecordset(QStringLiteral("Options"), &err);
    if (!rs)
        return err;
    if ((err = rs->MoveFirst()) != 0)
        return err;
    // A column that cannot be read keeps the value the option had, and so
    // does a number outside its range or a margin that is not a number in
    // its range.
    const auto read = [&](const char *column, auto *value, const Range *range = nullptr) {
        int e = 0;
        const QVariant v = rs->Field(QString::fromUtf8(column), &e);
        if (e || !v.isValid() || v.isNull())
            return;
        using T = std::remove_pointer_t<decltype(value)>;
        if constexpr (std::is_same_v<T, bool>) {
            *value = v.toLongLong() != 0;
        } else if constexpr (std::is_same_v<T, int>) {
            bool ok = false;
            const qlonglong n = v.toLongLong(&ok);
            if (ok && (!range || range->contains(double(n))))
                *value = int(n);
        } else {
            if (!range || range->contains(leadingCentimetres(v.toString())))
                *value = v.toString();
        }
    };
    read("OptNotes", &out->notesAtBottom);
    read("OptF9", &out->autoNotes);
    read("OptCrono", &out->alwaysAddToHistory);
    read("OptAffiche", &out->applyZoomAtOnce);
    read("SepScreen", &out->separatorOnScreen);
    read("SepPrint", &out->separatorInPrint);
    read("MarginSinistra", &out->marginLeft, &kMarginRange);
    read("MarginDestra", &out->marginRight, &kMarginRange);
    read("MarginSopra", &out->marginTop, &kMarginRange);
    read("MarginSotto", &out->marginBottom, &kMarginRange);
    read("AndImplicito", &out->implicitAnd);
    read("Near", &out->near, &kNearRange);
    read("Zoom", &out->zoom, &kZoomRange);
    read("Language", &out->language);
    read("Sommaire", &out->contentsAtStart);
    read("TextesD\u00e9faut", &out->defaultTitle);
    read("Scroll", &out->scroll, &kScrollRange);
    read("SplitPos", &out->splitPos);
    return 0;
}

double marginInches(const QString &centimetres)
{
    const double cm = leadingCentimetres(centimetres);
    return cm < 0 ? 0 : cm / 2.54;
}

int Options::load(db::Database &fl)
{
    OptionSet now = m_values;
    if (const int err = readOptionSet(fl, &now); err != 0)
        return err;
    set(now);
    return 0;
}

void Options::set(const OptionSet &values)
{
    const OptionSet before = m_values;
    m_values = values;
    emit read(before);
}

} // namespace folium::config
