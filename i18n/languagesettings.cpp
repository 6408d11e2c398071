// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/languagesettings.h"

#include "i18n/captions.h"

#include <QStandardPaths>

namespace wf {

using namespace Qt::StringLiterals;

QString iniFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           u"/writefreq/inifile.ini"_s;
}

StartupLanguage startupLanguage(IniFile &ini)
{
    if (ini.exists())
        return {storedLanguage(ini), false, {}};
    const IniWrite written = storeLanguage(ini, Language::Chinese);
    return {Language::Chinese, true, written.error};
}

Language storedLanguage(const IniFile &ini)
{
    return ini.readBool(kLanguageSection, kLanguageKey, true) ? Language::English
                                                              : Language::Chinese;
}

IniWrite storeLanguage(IniFile &ini, Language language)
{
    return ini.writeBool(kLanguageSection, kLanguageKey, language == Language::English);
}

std::optional<Language> languageToSwitchTo(Language shown, QStringView choice)
{
    const QStringView english = captions::kLanguageChoices[0];
    const QStringView chinese = captions::kLanguageChoices[1];
    if (shown == Language::Chinese && choice == english)
        return Language::English;
    if (shown == Language::English && choice == chinese)
        return Language::Chinese;
    return std::nullopt;
}

} // namespace wf
