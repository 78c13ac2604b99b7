#include "qt_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace folium::config {

QLocale localeFor(const QString &languageName)
{
    if (languageName == u"Fran\u00e7ais")
        return QLocale(QLocale::French, QLocale::France);
    if (languageName == u"Italiano")
        return QLocale(QLocale::Italian, QLocale::Italy);
    return QLocale(QLocale::English, QLocale::UnitedKingdom);
}

QtLanguage::QtLanguage() = default;

QtLanguage::~QtLanguage()
{
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
}

bool QtLanguage::apply(const QString &languageName)
{
    m_locale = localeFor(languageName);
    QLocale::setDefault(m_locale);
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
    m_translator = std::make_unique<QTranslator>();
    // "qt" loads qtbase's texts; English is Qt's own language.
    const bool loaded = m_translator->load(m_locale, QStringLiteral("qt"), QStringLiteral("_"),
                                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded)
        QCoreApplication::installTranslator(m_translator.get());
    else
        m_translator.reset();
    return loaded;
}

} // namespace folium::config
