// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "channels/mainblocks.h"
#include "i18n/language.h"
#include "i18n/valuewords.h"

#include <QStringList>
#include <QStringView>

#include <array>

/** The main window's channel table and settings panel as data: columns, value lists, the values
 *  of a fresh row and the settings' initial texts, in both languages. */
namespace wf::table {

inline constexpr int kRowCount = kChannelCount + 1; ///< row 0 holds the captions

/** How a column is edited in place. */
enum class EditorKind {
    None,         ///< not editable
    Text,         ///< a plain text editor
    DropDown,     ///< a drop-down that also takes typed text
    DropDownList, ///< a drop-down that takes only its items
};

/** The value lists of the table and the panel; one list may serve several columns or boxes. */
enum class ValueList {
    None,
    Tones,
    Power,
    Bandwidth,
    YesNo,
    Steps,
    DtmfKeys,
    PttId,
    Scrambler,
    Signalling,
    SignallingInfo,
    VoxLevel,
    VoxDelay,
    Squelch,
    TimeOut,
    VoicePrompt,
    KeyFunctions,
    OnOff,
};

/** One column of the channel table. */
struct ChannelColumn
{
    WordPair caption;
    int widthChinese;
    int widthEnglish;
    EditorKind editor;
    ValueList list;
    WordPair freshValue;        ///< what a fresh row holds; empty for the frequency columns
    QStringView defaultChinese; ///< text the Chinese-mode editor opens with on an empty cell
};

/** The sixteen columns, in order. */
const std::array<ChannelColumn, column::kCount> &channelColumns();

/** One box of the settings panel (ComboBox1..ComboBox10). */
struct SettingsBox
{
    WordPair caption;
    ValueList list;
    WordPair initialText;
    int payloadByte;          ///< where the settings block keeps it
    words::ListSwitch rule{}; ///< what its list does when the language switches
};

/** The ten settings boxes, ComboBox1 first. */
const std::array<SettingsBox, setting::kCount> &settingsBoxes();

/** The texts the ten settings boxes start with in a language. */
SettingsTexts initialSettings(Language language);

/** The word of `to` that stands where `text` stands in the list of the other language; a text
 *  that is no word of the list (a number, say) stays as it is. */
QString translate(const QString &text, ValueList list, Language to);

/** The items and text of settings box `box` (0 for ComboBox1) after a switch to `to`, by the
 *  box's rule. */
words::ComboContents switchBox(int box, words::ComboContents contents, Language to);

/** Translates the value words of a channel row into `to`: a cell that holds a word of its
 *  column's list in the other language gets the word of the same place, any other text stays.
 *  A row without receive frequency is no channel and is left as it is. */
void translateRow(ChannelRow &row, Language to);

/** The items of a value list in a language. */
QStringList items(ValueList list, Language language);

/** The key function list as the Chinese window is built before any language switch; the switch
 *  rebuilds it in the order of the English list. */
QStringList keyFunctionItemsAsBuilt();

/** The 51 CTCSS tones in tenths of Hz and the 83 DCS codes, in list order. */
const std::array<int, 51> &ctcssTones();
const std::array<int, 83> &dcsCodes();

} // namespace wf::table
