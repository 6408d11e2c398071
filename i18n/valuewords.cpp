// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/valuewords.h"

namespace wf::words {

QString translateWord(const QString &text, const QStringList &from, const QStringList &to)
{
    const qsizetype index = from.indexOf(text);
    return index >= 0 && index < to.size() ? to.at(index) : text;
}

ComboContents replaceItem(ComboContents box, int index, const QStringList &from,
                          const QStringList &to)
{
    if (index < 0 || index >= box.items.size() || index >= from.size() || index >= to.size())
        return box;
    box.items[index] = to.at(index);
    if (box.text == from.at(index))
        box.text = to.at(index);
    return box;
}

ComboContents rebuildByWord(ComboContents box, const QStringList &from, const QStringList &to)
{
    const qsizetype index = from.indexOf(box.text);
    if (index < 0 || index >= to.size())
        return box;
    return {to, to.at(index)};
}

ComboContents rebuildByIndex(ComboContents box, const QStringList &from, const QStringList &to)
{
    return {to, translateWord(box.text, from, to)};
}

ComboContents switchList(const ListSwitch &how, ComboContents box, const QStringList &from,
                         const QStringList &to)
{
    switch (how.rule) {
    case ListRule::Fixed:
        return box;
    case ListRule::ReplaceItem:
        return replaceItem(std::move(box), how.item, from, to);
    case ListRule::RebuildByWord:
        return rebuildByWord(std::move(box), from, to);
    case ListRule::RebuildByIndex:
        return rebuildByIndex(std::move(box), from, to);
    }
    return box;
}

} // namespace wf::words
