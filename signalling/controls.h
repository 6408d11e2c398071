// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "channels/cellchecks.h"
#include "channels/codetables.h"
#include "i18n/language.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstddef>

/** The signalling windows as data: what each control offers, what it starts with, and the
 *  captions in both languages, so that a window builds itself and switches its language by
 *  walking tables instead of naming every control. */
namespace wf {

/** The same text in both languages. */
constexpr WordPair same(QStringView text)
{
    return {text, text};
}

/** The items of a drop-down list: the words of a code table (each with the byte the radio keeps
 *  for it), then the numbers `first` to `last` in steps of `step`. */
struct ItemList
{
    CodeTable words{};
    int first = 0;
    int last = -1; ///< below `first`: no numbers
    int step = 1;
};

/** The items of a list in a language, in the order the list shows them. */
QStringList items(const ItemList &list, Language language);

/** The text a list's box shows after a switch to `to`: a word of the list becomes the same word
 *  of `to`; any other text (a number) stays as it is. */
QString translate(const ItemList &list, const QString &text, Language to);

/** What happens to a combo box's items when the language switches. */
enum class LanguageRule : quint8 {
    Fixed,            ///< the items read the same in both languages
    ReplaceFirstItem, ///< item 0 is a word and is replaced; the text follows if it was that word
    RebuildByWord,    ///< the list is rebuilt in the new language if its text is one of its words
};

/** The kinds of control a signalling window's texts come from. */
enum class ControlKind : quint8 {
    ComboBox,     ///< a drop-down whose items are chosen, typing being discarded
    DropDownList, ///< a drop-down list that shows only its items
    Edit,         ///< a one-line edit
    CheckBox,
};

/** One control of a window: its object name, the member of the window's texts it shows, its
 *  items and what it starts with. */
template<class Record>
struct Control
{
    QStringView name;
    ControlKind kind = ControlKind::ComboBox;
    QString Record::*text = nullptr; ///< combo boxes and edits
    bool Record::*flag = nullptr;    ///< check boxes
    WordPair initialText{};          ///< also what an edit left empty is set back to
    bool initiallyChecked = false;
    ItemList items{};
    LanguageRule rule = LanguageRule::Fixed;
    int maxLength = 0;   ///< edits: at most this many characters; 0 for no limit
    QStringView label{}; ///< the label that carries the control's caption, if any
    bool enabled = true; ///< false: shown but not editable
    bool stored = true;  ///< false: the window's own, no block of the radio carries it
};

/** A combo box, or a drop-down list when `kind` says so. */
template<class Record>
constexpr Control<Record> comboBox(QStringView name, QStringView label, QString Record::*text,
                                   ItemList list, WordPair initial,
                                   LanguageRule rule = LanguageRule::Fixed,
                                   ControlKind kind = ControlKind::ComboBox)
{
    Control<Record> c;
    c.name = name;
    c.kind = kind;
    c.text = text;
    c.initialText = initial;
    c.items = list;
    c.rule = rule;
    c.label = label;
    return c;
}

/** An edit that starts with, and falls back to, `initial`. */
template<class Record>
constexpr Control<Record> edit(QStringView name, QStringView label, QString Record::*text,
                               WordPair initial, int maxLength = 0)
{
    Control<Record> c;
    c.name = name;
    c.kind = ControlKind::Edit;
    c.text = text;
    c.initialText = initial;
    c.maxLength = maxLength;
    c.label = label;
    return c;
}

/** A check box that carries its own caption or has a label beside it. */
template<class Record>
constexpr Control<Record> checkBox(QStringView name, QStringView label, bool Record::*flag,
                                   bool checked)
{
    Control<Record> c;
    c.name = name;
    c.kind = ControlKind::CheckBox;
    c.flag = flag;
    c.initiallyChecked = checked;
    c.label = label;
    return c;
}

/** The same control, shown but not editable: its text only ever comes from the program. */
template<class Record>
constexpr Control<Record> displayOnly(Control<Record> c)
{
    c.enabled = false;
    return c;
}

/** The same control, kept by the window alone: the radio has no byte for it, so a read never
 *  changes it and a comparison of two radios never finds it. */
template<class Record>
constexpr Control<Record> windowOnly(Control<Record> c)
{
    c.stored = false;
    return c;
}

/** Sets every control's member of `record` to the control's initial value in a language. */
template<class Record, std::size_t N>
void applyInitialValues(const Control<Record> (&controls)[N], Record &record, Language language)
{
    for (const Control<Record> &control : controls) {
        if (control.flag)
            record.*control.flag = control.initiallyChecked;
        else
            record.*control.text = control.initialText.in(language).toString();
    }
}

/** Says that a caption names a control rather than a column of a grid's header row. */
inline constexpr int kNoColumn = -1;

/** One row of a window's caption table: the control's object name (the window's own name for its
 *  title), the header column for a grid, and the texts in both languages, blanks included. */
struct Caption
{
    QStringView control;
    int column;
    WordPair text;
};

/** How a grid column's cells are edited in place. */
enum class CellEditorKind : quint8 {
    None,         ///< the fixed column of row numbers or names
    Text,         ///< a one-line text editor
    DropDown,     ///< a drop-down that also takes typed text
    DropDownList, ///< a drop-down that takes only its items
};

/** One column of a signalling window's grid: its width and its in-place editor. The caption is
 *  the window's caption table's, under the grid's name and the column. */
struct GridColumn
{
    int widthChinese = 0;
    int widthEnglish = 0;
    CellEditorKind kind = CellEditorKind::None;
    /** The editor's object name; the two differ where each language has an editor of its own. */
    WordPair editor{};
    ItemList items{};
    WordPair defaultText{}; ///< what the editor opens an empty cell with
};

/** A window's size in a language; a height of 0 keeps the height it is built with. */
struct WindowSize
{
    int width = 0;
    int height = 0;
};

/** One cell of a grid row bound to the member of the row's texts that holds it, with what the
 *  window fills it with (a fresh row's value, or the default a row rule sets). */
template<class Record>
struct GridCell
{
    int column;
    QString Record::*text;
    WordPair fill{};
};

/** The member that holds a row's cell of `column`, or null for a column the row has no text of
 *  (the row number in column 0). */
template<class Record, std::size_t N>
QString *cellText(const GridCell<Record> (&cells)[N], Record &row, int column)
{
    for (const GridCell<Record> &cell : cells) {
        if (cell.column == column)
            return &(row.*cell.text);
    }
    return nullptr;
}

template<class Record, std::size_t N>
const QString *cellText(const GridCell<Record> (&cells)[N], const Record &row, int column)
{
    for (const GridCell<Record> &cell : cells) {
        if (cell.column == column)
            return &(row.*cell.text);
    }
    return nullptr;
}

/** What a row rule does with a row whose key cell is empty. */
enum class KeylessRow : quint8 {
    Cleared,   ///< every cell of the row is emptied, so the row is all or nothing
    EditUndone ///< the edited cell gets its text back and the row stays as it is
};

/** The rule of a grid whose rows hang on a key cell (`cells[0]`), applied after the cell of
 *  `column` was committed with `previousText` as what it held before: a key set to a new text
 *  fills the other cells with their defaults in `language`, and a row without key takes no
 *  edit. A key committed unchanged leaves the row alone, so opening and leaving the key's
 *  editor does not wipe the row. A single space counts as an empty cell. */
template<class Record, std::size_t N>
Record applyRowRule(const GridCell<Record> (&cells)[N], KeylessRow keyless, Record row, int column,
                    const QString &previousText, Language language)
{
    QString &key = row.*cells[0].text;
    if (isBlankCell(key)) {
        if (keyless == KeylessRow::Cleared) {
            for (const GridCell<Record> &cell : cells)
                (row.*cell.text).clear();
        } else if (column == cells[0].column) {
            key.clear();
        } else if (QString *edited = cellText(cells, row, column)) {
            *edited = previousText;
        }
        return row;
    }
    if (column == cells[0].column && key != previousText) {
        for (std::size_t i = 1; i < N; ++i)
            row.*cells[i].text = cells[i].fill.in(language).toString();
    }
    return row;
}

} // namespace wf
