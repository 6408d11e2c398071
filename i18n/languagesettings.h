// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/inifile.h"
#include "i18n/language.h"

#include <QString>
#include <QStringView>

#include <optional>

/** The language the program starts in and the choice it keeps in the INI file. */
namespace wf {

/** Where the language choice is kept: section "language", key "语言", 1 for English. */
inline constexpr QStringView kLanguageSection = u"language";
inline constexpr QStringView kLanguageKey = u"语言";

/** The INI file: "inifile.ini" in the user's configuration folder for writefreq, on Linux
 *  $XDG_CONFIG_HOME/writefreq/inifile.ini (~/.config/writefreq/inifile.ini by default). Every
 *  user can write there without administrator rights. */
QString iniFilePath();

/** What the main window does with the language at start-up. */
struct [[nodiscard]] StartupLanguage
{
    Language language = Language::Chinese;
    /** The file was not there and has just been created: the main window keeps the captions it
     *  is built with, menu accelerators included, and runs no caption setter. */
    bool keepBuiltInCaptions = false;
    /** The file could not be created: shown to the user, and the program goes on in Chinese. */
    QString error;
};

/** Reads the language from the INI file; a missing file is created holding Chinese ("0"). A
 *  missing key, or a value that is not a number, means English. */
StartupLanguage startupLanguage(IniFile &ini);

/** The language the INI file holds now, English when it holds none. */
Language storedLanguage(const IniFile &ini);

/** Keeps a language in the INI file: "1" for English, "0" for Chinese. */
IniWrite storeLanguage(IniFile &ini, Language language);

/** The language the language dialog's OK switches to, given the stored language and the text
 *  of its list, or nothing when the choice is what is stored (or not a language). The stored
 *  language decides, not the one shown. */
std::optional<Language> languageToSwitchTo(Language stored, QStringView choice);

} // namespace wf
