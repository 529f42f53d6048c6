#include "platform/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace tavrin::platform {

namespace {

constexpr auto languageKey = "language";

// The program's texts are written in Chinese: without a catalogue they read in Chinese.
UiLanguage installedLanguage = UiLanguage::Chinese;

QSettings userSettings() {
    return QSettings(u"tavrin"_s, u"tavrin"_s);
}

} // namespace

UiLanguage languageOf(const QLocale &locale) {
    return locale.language() == QLocale::Chinese ? UiLanguage::Chinese : UiLanguage::English;
}

UiLanguage languageFor(LanguageChoice choice, const QLocale &system) {
    switch (choice) {
    case LanguageChoice::Chinese:
        return UiLanguage::Chinese;
    case LanguageChoice::English:
        return UiLanguage::English;
    case LanguageChoice::System:
        break;
    }
    return languageOf(system);
}

LanguageChoice storedLanguageChoice() {
    const QString value = userSettings().value(QLatin1StringView(languageKey)).toString();
    if (value == u"zh"_s) {
        return LanguageChoice::Chinese;
    }
    if (value == u"en"_s) {
        return LanguageChoice::English;
    }
    return LanguageChoice::System;
}

void storeLanguageChoice(LanguageChoice choice) {
    QSettings settings = userSettings();
    switch (choice) {
    case LanguageChoice::Chinese:
        settings.setValue(QLatin1StringView(languageKey), u"zh"_s);
        break;
    case LanguageChoice::English:
        settings.setValue(QLatin1StringView(languageKey), u"en"_s);
        break;
    case LanguageChoice::System:
        settings.remove(QLatin1StringView(languageKey));
        break;
    }
    settings.sync();
}

Translations::Translations() = default;

Translations::~Translations() {
    remove();
}

void Translations::remove() {
    for (const std::unique_ptr<QTranslator> &translator : {std::cref(m_program), std::cref(m_qt)}) {
        if (translator) {
            QCoreApplication::removeTranslator(translator.get());
        }
    }
    m_program.reset();
    m_qt.reset();
    installedLanguage = UiLanguage::Chinese;
}

UiLanguage shownLanguage() {
    return installedLanguage;
}

bool Translations::install(UiLanguage language) {
    remove();
    m_language = language;
    installedLanguage = language;
    const QLocale locale = language == UiLanguage::Chinese ? QLocale(QLocale::Chinese, QLocale::China)
                                                           : QLocale(QLocale::English, QLocale::UnitedStates);
    bool complete = true;
    m_qt = std::make_unique<QTranslator>();
    if (m_qt->load(locale, u"qtbase"_s, u"_"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(m_qt.get());
    } else {
        m_qt.reset();
        complete = language == UiLanguage::English; // Qt speaks English without a catalogue
    }
    if (language == UiLanguage::English) {
        m_program = std::make_unique<QTranslator>();
        if (m_program->load(locale, u"tavrin"_s, u"_"_s, QLatin1StringView(catalogueFolder))) {
            QCoreApplication::installTranslator(m_program.get());
        } else {
            m_program.reset();
            complete = false;
        }
    }
    return complete;
}

} // namespace tavrin::platform
