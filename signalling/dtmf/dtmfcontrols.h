// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "signalling/controls.h"
#include "signalling/dtmf/dtmfblocks.h"
#include "signalling/dtmf/dtmfdigits.h"

/** The DTMF window (`TForm2`) as data: its combo boxes, edit and check boxes with their items and
 *  initial values, its grid, and its captions in both languages. */
namespace wf::dtmf {

/** The window's object name; its row of the caption table is the window title. */
inline constexpr QStringView kWindowName = u"Form2";

/** The page shown when the window opens. */
inline constexpr QStringView kInitialPage = u"TabSheet3";

/** The transfer watchdog, `Timer1`: both buttons come back this long after a transfer start. */
inline constexpr int kWatchdogMs = 10000;

/** The text the memory cell editor opens an empty cell with, selected. */
inline constexpr QStringView kMemoryEditorText = u"12345678";

/** Captions that the codec's messages share with the window. */
namespace caption {
inline constexpr WordPair kRate{u"DTMF速率", u"DTMF Spend [digit/s]"};
inline constexpr WordPair kFirstDigitTime{u"首位数码时间(毫秒)", u"First Digit Time [ms]"};
inline constexpr WordPair kFirstDigitDelay{u"首位数码延迟(毫秒)", u"First Digit Delay [ms] "};
inline constexpr WordPair kStarHashTone{u"*和#音时间(毫秒)", u"# and * Tone [ms]"};
inline constexpr WordPair kDKey{u"D键设定(毫秒)", u"D Code Assignment"};
inline constexpr WordPair kSideTone{u"DTMF侧音", u"DTMF Side Tone"};
inline constexpr WordPair kIdCode{u"ID码", u"ID Code"};
inline constexpr WordPair kGroupCode{u"组呼码", u"Group Code"};
inline constexpr WordPair kResetTimer{u"自动复位定时器(秒)", u"Auto Reset Timer [s]"};
inline constexpr WordPair kCallAlert{u"呼叫告警", u"Call Alert"};
inline constexpr WordPair kTranspond{u"自动应答", u"Transpond"};
inline constexpr WordPair kClearTranspond{u"清除自动应答", u"Clear To Transpond "};
inline constexpr WordPair kMemory{u"自动拨号存储器", u"Autodial Memory"};
} // namespace caption

inline constexpr CodeWord kRateWords[] = {
    {6, same(u"6")}, {8, same(u"8")}, {10, same(u"10")}, {15, same(u"15")}};
inline constexpr CodeWord kFirstDigitTimeWords[] = {
    {10, same(u"100")}, {50, same(u"500")}, {100, same(u"1000")}};
inline constexpr CodeWord kStarHashToneWords[] = {
    {0, same(u"0")}, {10, same(u"100")}, {50, same(u"500")}, {100, same(u"1000")}};

/** The window's controls in tab order, each with the label that carries its caption. */
inline constexpr Control<Texts> kControls[] = {
    comboBox(u"cb1", u"Label1", &Texts::cb1, ItemList{kRateWords}, same(u"6")),
    // "0" is not in the list: the window starts with a first digit time the list cannot offer.
    comboBox(u"cb2", u"Label2", &Texts::cb2, ItemList{kFirstDigitTimeWords}, same(u"0")),
    comboBox(u"cb3", u"Label3", &Texts::cb3, ItemList{{}, 100, 1000, 50}, same(u"100")),
    comboBox(u"cb4", u"Label4", &Texts::cb4, ItemList{kStarHashToneWords}, same(u"0")),
    comboBox(u"cb5", u"Label5", &Texts::cb5, ItemList{kDCode, 1000, 10000, 1000},
             kDCodeWords[0].word, LanguageRule::ReplaceFirstItem),
    checkBox(u"CheckB1", QStringView(), &Texts::CheckB1, true),
    edit(u"Edit1", u"Label11", &Texts::Edit1, same(u"12345678"), kMaxDigits),
    comboBox(u"cb6", u"Label9", &Texts::cb6, ItemList{kGroupCodes}, kOff,
             LanguageRule::ReplaceFirstItem),
    comboBox(u"cb7", u"Label12", &Texts::cb7, ItemList{kOffOnly, 1, 15, 1}, same(u"10"),
             LanguageRule::ReplaceFirstItem),
    comboBox(u"cb8", u"Label8", &Texts::cb8, ItemList{kCallAlerts}, kCallAlertWords[1].word,
             LanguageRule::RebuildByWord),
    comboBox(u"cb9", u"Label10", &Texts::cb9, ItemList{kTransponds}, kOff,
             LanguageRule::RebuildByWord),
    checkBox(u"CheckB2", u"Label7", &Texts::CheckB2, false),
};

/** Every caption of the window in both languages, trailing blanks as the window shows them. */
inline constexpr Caption kCaptions[] = {
    {kWindowName, kNoColumn, {u"对讲机写频软件", u"DTMF"}},
    {u"TabSheet1", kNoColumn, {u"DTMF编码", u"DTMF Encode"}},
    {u"TabSheet3", kNoColumn, {u"DTMF解码", u"DTMF Decode"}},
    {u"GroupBox1", kNoColumn, {u"DTMF编码", u"DTMF Encode"}},
    {u"GroupBox2", kNoColumn, {u"DTMF解码", u"DTMF Decode"}},
    {u"xg2", 0, {u"信息码", u"NO."}},
    {u"xg2", 1, caption::kMemory},
    {u"Label1", kNoColumn, caption::kRate},
    {u"Label2", kNoColumn, caption::kFirstDigitTime},
    {u"Label3", kNoColumn, caption::kFirstDigitDelay},
    {u"Label4", kNoColumn, caption::kStarHashTone},
    {u"Label5", kNoColumn, caption::kDKey},
    {u"CheckB1", kNoColumn, caption::kSideTone},
    {u"Label11", kNoColumn, caption::kIdCode},
    {u"Label9", kNoColumn, caption::kGroupCode},
    {u"Label12", kNoColumn, caption::kResetTimer},
    {u"Label8", kNoColumn, caption::kCallAlert},
    {u"Label10", kNoColumn, caption::kTranspond},
    {u"Label7", kNoColumn, caption::kClearTranspond},
    {u"wbtn", kNoColumn, {u"写入", u"Write"}},
    {u"rbtn", kNoColumn, {u"读取", u"Read"}},
    {u"Button3", kNoColumn, {u"关闭", u"Close"}},
};

/** The texts of a freshly created window in a language: every control at its initial value,
 *  the memories empty and the digit counts 0. */
Texts initialTexts(Language language);

} // namespace wf::dtmf
