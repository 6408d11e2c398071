// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/language.h"

#include <QString>
#include <QStringList>

/** How the words inside drop-down lists and grid cells follow a language switch. Every rule
 *  works on a list's items in the old language and in the new one, in the same order, as the
 *  windows' tables give them; numbers read the same in both and simply stay. */
namespace wf::words {

/** A combo box as a language switch sees it: its items and the text it shows. */
struct ComboContents
{
    QStringList items;
    QString text;

    bool operator==(const ComboContents &other) const
    {
        return items == other.items && text == other.text;
    }
};

/** What a combo box's list does when the language switches. */
enum class ListRule : quint8 {
    Fixed,          ///< the items read the same in both languages
    ReplaceItem,    ///< one item is a word: it is replaced, the text follows if it showed it
    RebuildByWord,  ///< all words: rebuilt when the text is one of them, else left alone
    RebuildByIndex, ///< all words: always rebuilt, the text kept at its position in the list
};

/** A list's rule, and for `ReplaceItem` which item holds the word. */
struct ListSwitch
{
    ListRule rule = ListRule::Fixed;
    int item = 0;
};

/** The word of `to` at the place `text` has in `from`; a text that is not in `from` (a
 *  number, a word already in the new language, anything typed) stays as it is. This is also the
 *  rule for the cells of a grid. */
QString translateWord(const QString &text, const QStringList &from, const QStringList &to);

/** The item at `index` becomes the new language's word (the other items, numbers, stay); the
 *  text becomes that word when it showed the old one. */
ComboContents replaceItem(ComboContents box, int index, const QStringList &from,
                          const QStringList &to);

/** When the text is one of the old words, the list is refilled with the new words and the text
 *  set to the word at the same place; otherwise nothing changes. */
ComboContents rebuildByWord(ComboContents box, const QStringList &from, const QStringList &to);

/** The list is refilled with the new words; a text among the old words becomes the word at its
 *  place, and any other text is kept, so that a value the radio sent that no list has survives
 *  the switch and the next write. */
ComboContents rebuildByIndex(ComboContents box, const QStringList &from, const QStringList &to);

/** The rule `how` applied to a box whose list reads `from` in the old language and `to` in the
 *  new one. */
ComboContents switchList(const ListSwitch &how, ComboContents box, const QStringList &from,
                         const QStringList &to);

} // namespace wf::words
