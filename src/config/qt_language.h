// Qt's own texts (file and print dialogs, message-box buttons, the calendar,
// the text fields' menus) and its locale in the interface language.
#pragma once

#include <QLocale>
#include <QString>

#include <memory>

class QTranslator;

namespace folium::config {

// The locale of a language as the options list it ("Français" -> fr);
// English for an unknown name.
QLocale localeFor(const QString &languageName);

class QtLanguage {
public:
    QtLanguage();
    ~QtLanguage();
    QtLanguage(const QtLanguage &) = delete;
    QtLanguage &operator=(const QtLanguage &) = delete;

    // Installs Qt's translations of the language (from Qt's translations
    // folder) in place of the previous ones, and makes its locale the
    // default. False when Qt has no translation of it (English needs none).
    bool apply(const QString &languageName);
    QLocale locale() const { return m_locale; }

private:
    std::unique_ptr<QTranslator> m_translator;
    QLocale m_locale;
};

} // namespace folium::config
