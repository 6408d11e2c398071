// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

namespace wf {

/** The two languages every window, list and message comes in. */
enum class Language { Chinese, English };

/** The process-wide display language flag: 0 for Chinese, -1 for English. Any non-zero value
 *  reads as English, as older data files and INI files may hold 1. */
qint32 displayLanguageFlag();
void setDisplayLanguageFlag(qint32 flag);

/** The language the flag selects. */
Language displayLanguage();

/** The flag value that stands for a language: 0 or -1. */
constexpr qint32 flagFor(Language language)
{
    return language == Language::English ? -1 : 0;
}

/** A text that exists in both languages, Chinese first as the radio's users know it. */
struct WordPair
{
    QStringView chinese;
    QStringView english;

    constexpr QStringView in(Language language) const
    {
        return language == Language::English ? english : chinese;
    }
    /** True when the text is either form of the pair, compared exactly. */
    bool matches(QStringView text) const { return text == chinese || text == english; }
};

/** The message of a serial port that will not open: the port's name, why it would not open (as
 *  the system said it) and what to check, in a language. */
QString portOpenMessage(Language language, const QString &port, const QString &why);

/** The application's title in both languages: the main window's caption, and the title of the
 *  error messages and of the English messages of every window. */
inline constexpr WordPair kApplicationTitle{u"中英文对讲机写频软件 V2.0", u"WRITE FREQ V2.0"};

/** The application's title in the display language. */
QStringView applicationTitle();

} // namespace wf
