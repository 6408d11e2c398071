// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/controls.h"

#include "i18n/valuewords.h"

namespace wf {

QStringList items(const ItemList &list, Language language)
{
    QStringList result;
    for (const CodeWord &entry : list.words)
        result << entry.word.in(language).toString();
    for (int n = list.first; n <= list.last; n += list.step)
        result << QString::number(n);
    return result;
}

QString translate(const ItemList &list, const QString &text, Language to)
{
    const Language from = to == Language::English ? Language::Chinese : Language::English;
    return words::translateWord(text, items(list, from), items(list, to));
}

} // namespace wf
