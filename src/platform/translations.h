#pragma once

#include <memory>

#include <QLocale>
#include <QString>

class QTranslator;

// The language the window speaks, the user's stored choice of it and the catalogues that make it.
namespace tavrin::platform {

enum class UiLanguage { Chinese, English };
enum class LanguageChoice { System, Chinese, English };

// Chinese for any Chinese locale, English for every other.
UiLanguage languageOf(const QLocale &locale);
UiLanguage languageFor(LanguageChoice choice, const QLocale &system = QLocale::system());

// The choice made in the menu, kept in the user's settings; System when none was made.
LanguageChoice storedLanguageChoice();
void storeLanguageChoice(LanguageChoice choice);

// The program's own catalogue and Qt's (standard buttons, file dialogs), installed on the
// application for as long as this lives. The program's texts are written in Chinese, so Chinese
// needs only Qt's catalogue.
class Translations {
public:
    Translations();
    ~Translations();
    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

    // Replaces what an earlier call installed. False when a catalogue could not be loaded (the
    // texts it holds then show untranslated).
    bool install(UiLanguage language);
    UiLanguage language() const { return m_language; }

private:
    void remove();

    std::unique_ptr<QTranslator> m_program;
    std::unique_ptr<QTranslator> m_qt;
    UiLanguage m_language = UiLanguage::Chinese;
};

// The language the program's texts read in now: that of the Translations installed last, Chinese
// when none is.
UiLanguage shownLanguage();

// Where the program's compiled catalogues lie among its resources.
inline constexpr auto catalogueFolder = ":/i18n";

} // namespace tavrin::platform
