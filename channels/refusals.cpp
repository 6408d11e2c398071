// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/refusals.h"

namespace wf {

QString outOfRangeText(const QString &name, QStringView text, const QString &lowest,
                       const QString &highest, Language language)
{
    const QString pattern = language == Language::English
                                ? QStringLiteral("%1: %2 is out of range (%3 to %4)")
                                : QStringLiteral("%1：%2 超出范围（%3 至 %4）");
    return pattern.arg(name, text.trimmed().toString(), lowest, highest);
}

QString notOneOfText(const QString &name, QStringView text, const QStringList &values,
                     Language language)
{
    const QString pattern = language == Language::English
                                ? QStringLiteral("%1: '%2' is not one of its values (%3)")
                                : QStringLiteral("%1：'%2' 不是可选的值（%3）");
    const QString separator =
        language == Language::English ? QStringLiteral(", ") : QStringLiteral("、");
    return pattern.arg(name, text.toString(), values.join(separator));
}

QString channelFieldName(int channel, WordPair caption, Language language)
{
    const QString pattern = language == Language::English ? QStringLiteral("Channel %1 %2")
                                                          : QStringLiteral("信道%1 %2");
    return pattern.arg(channel).arg(caption.in(language).trimmed().toString());
}

QString settingName(WordPair label, Language language)
{
    QString name = label.in(language).trimmed().toString();
    // "PF1：" is followed by its box on the panel; in a message the colon comes after the name.
    while (name.endsWith(u'：') || name.endsWith(u':'))
        name.chop(1);
    return name;
}

} // namespace wf
