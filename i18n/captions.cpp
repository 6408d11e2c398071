// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/captions.h"

#include "i18n/inifile.h"

namespace wf::captions {

QStringView overrideKey(const Row &row, Language language, MainSetter setter)
{
    switch (row.override) {
    case Override::None:
        return {};
    case Override::OtherLanguage:
        // The file names each caption by what it reads in the other language.
        return row.text.in(language == Language::English ? Language::Chinese : Language::English);
    case Override::EnglishStartUp:
        return language == Language::English && setter == MainSetter::StartUp ? row.englishKey
                                                                              : QStringView();
    }
    return {};
}

QList<Shown> mainWindowCaptions(const IniText &ini, Language language, MainSetter setter)
{
    QList<Shown> shown;
    for (const Row &row : kMainWindow) {
        QString text = row.text.in(language).toString();
        if (const QStringView key = overrideKey(row, language, setter); !key.isEmpty())
            text = ini.readString(kOverrideSection, key, text);
        shown.append({row.control, row.column, text});
    }
    return shown;
}

} // namespace wf::captions
