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

/** The language the language dialog's OK switches to, given the language the windows show and
 *  the text of its list, or nothing when the choice is what is shown (or not a language). The
 *  shown language decides: after a choice the INI file could not keep, the stored one differs,
 *  and choosing the shown language back must still switch. */
std::optional<Language> languageToSwitchTo(Language shown, QStringView choice);

/** Said after "Unable to write to ..." when the dialog's choice could not be kept. */
inline constexpr WordPair kLanguageNotKept{
    u"语言选择未能保存，下次启动时仍显示原来的语言。请检查配置文件夹是否可写。",
    u"The language choice could not be kept: the next start shows the language kept before. "
    u"Check that the configuration folder can be written to."};

} // namespace wf
