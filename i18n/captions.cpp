// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/captions.h"

#include "i18n/inifile.h"

using namespace Qt::StringLiterals;

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

QString withAltLetter(const QString &text, const Row &row, Language language)
{
    const char16_t letter = language == Language::English ? row.alt.english : row.alt.chinese;
    if (!letter || text.isEmpty() || text.contains(u'&'))
        return text;
    if (language == Language::English) {
        if (const qsizetype at = text.indexOf(QChar(letter), 0, Qt::CaseInsensitive); at >= 0)
            return text.left(at) + u'&' + text.mid(at);
    }
    return u"%1(&%2)"_s.arg(text, QChar(letter).toUpper());
}

QList<Shown> mainWindowCaptions(const IniText &ini, Language language, MainSetter setter)
{
    QList<Shown> shown;
    for (const Row &row : kMainWindow) {
        QString text = row.text.in(language).toString();
        if (const QStringView key = overrideKey(row, language, setter); !key.isEmpty())
            text = ini.readString(kOverrideSection, key, text);
        shown.append({row.control, row.column, withAltLetter(text, row, language)});
    }
    return shown;
}

} // namespace wf::captions
