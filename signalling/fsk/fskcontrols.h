// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "signalling/controls.h"
#include "signalling/fsk/fskblocks.h"

/** The FSK window (`TForm6`) as data: its edits, drop-down list and check box with their items
 *  and initial values, and its captions in both languages. */
namespace wf::fsk {

/** The window's object name; its row of the caption table is the window title. */
inline constexpr QStringView kWindowName = u"Form6";

/** The transfer watchdog, `Timer1`: both buttons come back this long after a transfer start. */
inline constexpr int kWatchdogMs = 10000;

/** Captions that the codec's messages share with the window. */
namespace caption {
inline constexpr WordPair kOwnFleet{u"队列(自身)", u"Fleet[Own]"};
inline constexpr WordPair kOwnId{u"ID(自身)", u"ID[Own]"};
inline constexpr WordPair kBaudRate{u"队列同步波特率[bps]", u"FleetSync Baud Rate[bps]"};
inline constexpr WordPair kTxDelay{u"数据发射延迟时间[MS]", u"Data TX Modulation Delay Time[ms]"};
inline constexpr WordPair kMessageTimer{u"信息模式定时器[S]", u"Message Mode Timer [s]"};
inline constexpr WordPair kSideTone{u"PTT ID侧音", u"PTT ID Side Tone"};
inline constexpr WordPair kFleet{u"队列", u"Fleet"};
inline constexpr WordPair kId = same(u"ID");
} // namespace caption

/** `cb1`: the two rates the list offers, each with the byte the radio keeps (bps / 100). */
inline constexpr CodeWord kBaudRateWords[] = {{12, same(u"1200")}, {24, same(u"2400")}};

/** The window's controls in tab order, each with the label that carries its caption. */
inline constexpr Control<Texts> kControls[] = {
    edit(u"ed1", u"Label1", &Texts::ed1, same(u"100")),
    edit(u"ed2", u"Label2", &Texts::ed2, same(u"1000")),
    comboBox(u"cb1", u"Label3", &Texts::cb1, ItemList{kBaudRateWords}, same(u"2400"),
             LanguageRule::Fixed, ControlKind::DropDownList),
    edit(u"ed3", u"Label4", &Texts::ed3, same(u"400")),
    edit(u"ed4", u"Label5", &Texts::ed4, same(u"10")),
    checkBox(u"CheckBox1", QStringView(), &Texts::CheckBox1, true),
};

/** The fleet/ID grid `xg1`: a header row and sixteen entries numbered in column 0. */
inline constexpr QStringView kEntryGrid = u"xg1";

/** The cells of an entry row by column. */
inline constexpr GridCell<Entry> kEntryCells[] = {
    {1, &Entry::fleet},
    {2, &Entry::id},
};

/** Every caption of the window in both languages; the title and the ID column read the same in
 *  both. */
inline constexpr Caption kCaptions[] = {
    {kWindowName, kNoColumn, same(u"FSK")},
    {u"Label1", kNoColumn, caption::kOwnFleet},
    {u"Label2", kNoColumn, caption::kOwnId},
    {u"Label3", kNoColumn, caption::kBaudRate},
    {u"Label4", kNoColumn, caption::kTxDelay},
    {u"Label5", kNoColumn, caption::kMessageTimer},
    {u"CheckBox1", kNoColumn, caption::kSideTone},
    {kEntryGrid, 0, {u"编号", u"NO."}},
    {kEntryGrid, 1, caption::kFleet},
    {kEntryGrid, 2, caption::kId},
    {u"wbtn", kNoColumn, {u"写入", u"Write"}},
    {u"rbtn", kNoColumn, {u"读取", u"Read"}},
    {u"Button3", kNoColumn, {u"关闭", u"Close"}},
};

/** The texts of a freshly created window in a language: every control at its initial value and
 *  the table empty. */
Texts initialTexts(Language language);

} // namespace wf::fsk
