// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "signalling/controls.h"
#include "signalling/twotone/twotoneblocks.h"

/** The 2-Tone window (`TForm4`) as data: its edits and combo boxes with their items and initial
 *  values, its two grids with their editors, widths and row rule, and its captions in both
 *  languages. */
namespace wf::twotone {

/** The window's object name; its row of the caption table is the window title. */
inline constexpr QStringView kWindowName = u"Form4";

/** The page shown when the window opens. */
inline constexpr QStringView kInitialPage = u"TabSheet2";

/** `Timer1`, the place of a transfer watchdog; nothing of the codec depends on it. */
inline constexpr int kWatchdogMs = 10000;

/** The window's width in each language; the English texts are longer. */
inline constexpr WindowSize kSizeChinese{703};
inline constexpr WindowSize kSizeEnglish{823};

/** Captions that the codec's messages share with the window. */
namespace caption {
inline constexpr WordPair kToneA{u"A音(HZ)", u"Atone(hz)"};
inline constexpr WordPair kToneB{u"B音(HZ)", u"Btone(hz)"};
inline constexpr WordPair kToneC{u"C音(HZ)", u"Ctone(hz)"};
inline constexpr WordPair kToneD{u"D音(HZ)", u"Dtone(hz)"};
inline constexpr WordPair kResetTime{u"复位时间(MS)", u"Rest Time(ms)"};
inline constexpr WordPair kFirstTime{u"第一个频率时间长(MS)", u"First Frequency Time(ms)"};
inline constexpr WordPair kSecondTime{u"第二个频率时间长(MS)", u"Second Frequency Time(ms)"};
inline constexpr WordPair kInterval{u"前后两个频率的间隔时间长(MS)",
                                    u"Interval Between Two Frequency (ms)"};
inline constexpr WordPair kNumber{u"信息码", u"No."};
inline constexpr WordPair kFirstFrequency{u"第一个频率(HZ)", u"First Frequency(hz)"};
inline constexpr WordPair kSecondFrequency{u"第二个频率(HZ)", u"Second Frequency(hz)"};
inline constexpr WordPair kDecode1{u"解码1", u"Decode1"};
inline constexpr WordPair kDecode2{u"解码2", u"Decode2"};
inline constexpr WordPair kDecode3{u"解码3", u"Decode3"};
inline constexpr WordPair kDecode4{u"解码4", u"Decode4"};
inline constexpr WordPair kResponse{u"响应方式", u"Response Mode"};
inline constexpr WordPair kPrompt{u"提示", u"Prompt"};
} // namespace caption

/** The list of the three timing boxes: 50 to 1000 ms in steps of 50. */
inline constexpr ItemList kTimeItems{{}, 50, 1000, 50};

/** The window's controls in tab order, each with the label that carries its caption. The named
 *  tones are shown only: the radio's tone set is fixed. */
inline constexpr Control<Texts> kControls[] = {
    comboBox(u"cb1", u"Label1", &Texts::cb1, kTimeItems, same(u"500")),
    comboBox(u"cb2", u"Label2", &Texts::cb2, kTimeItems, same(u"500")),
    comboBox(u"cb3", u"Label3", &Texts::cb3, kTimeItems, same(u"500")),
    displayOnly(edit(u"ed1", u"Label4", &Texts::ed1, same(u"1981"))),
    displayOnly(edit(u"ed2", u"Label5", &Texts::ed2, same(u"1124"))),
    displayOnly(edit(u"ed3", u"Label6", &Texts::ed3, same(u"1197"))),
    displayOnly(edit(u"ed4", u"Label7", &Texts::ed4, same(u"1275"))),
    edit(u"ed5", u"Label8", &Texts::ed5, same(u"6000")),
};

/** Both grids have a header row and sixteen rows numbered in column 0. */
inline constexpr int kGridRowCount = 17;

/** The encode grid `xg1`, indexed by column. */
inline constexpr QStringView kEncodeGrid = u"xg1";
inline constexpr GridColumn kEncodeColumns[] = {
    {50, 40},
    {130, 150, CellEditorKind::Text, same(u"EditCellEditor1")},
    {130, 160, CellEditorKind::Text, same(u"EditCellEditor1")},
};

/** The cells of an encode row by column. */
inline constexpr GridCell<EncodePair> kEncodeCells[] = {
    {1, &EncodePair::first},
    {2, &EncodePair::second},
};

/** The decode grid `xg2`, indexed by column: a pair, a response and a prompt for each of the
 *  four decoders. The response editor is the language's own. */
inline constexpr QStringView kDecodeGrid = u"xg2";
inline constexpr GridColumn kPairColumn{
    44, 52, CellEditorKind::DropDown, same(u"ComboCellEditor1"), ItemList{kPairs}, same(u"AB")};
inline constexpr GridColumn kResponseColumn{74,
                                            92,
                                            CellEditorKind::DropDown,
                                            {u"ComboCellEditor3", u"ComboCellEditor4"},
                                            ItemList{kResponses},
                                            words::kNone};
inline constexpr GridColumn kPromptColumn{
    36,        42, CellEditorKind::DropDown, same(u"ComboCellEditor2"), ItemList{{}, 1, 16, 1},
    same(u"1")};
inline constexpr GridColumn kDecodeColumns[] = {
    {40, 32},        kPairColumn,     kResponseColumn, kPromptColumn,   kPairColumn,
    kResponseColumn, kPromptColumn,   kPairColumn,     kResponseColumn, kPromptColumn,
    kPairColumn,     kResponseColumn, kPromptColumn,
};

/** The cells of a decode row by column, the first pair (the row's key) first, each with what
 *  setting the key fills it with. */
inline constexpr GridCell<DecodeRow> kDecodeCells[] = {
    {1, &DecodeRow::decode1},
    {2, &DecodeRow::response1, words::kNone},
    {3, &DecodeRow::prompt1, same(u"1")},
    {4, &DecodeRow::decode2, same(u"AB")},
    {5, &DecodeRow::response2, words::kNone},
    {6, &DecodeRow::prompt2, same(u"1")},
    {7, &DecodeRow::decode3, same(u"AB")},
    {8, &DecodeRow::response3, words::kNone},
    {9, &DecodeRow::prompt3, same(u"1")},
    {10, &DecodeRow::decode4, same(u"AB")},
    {11, &DecodeRow::response4, words::kNone},
    {12, &DecodeRow::prompt4, same(u"1")},
};

/** Every caption of the window in both languages; the title reads the same in both. */
inline constexpr Caption kCaptions[] = {
    {kWindowName, kNoColumn, same(u"2TONE")},
    {u"TabSheet1", kNoColumn, {u"编码", u"Encode"}},
    {u"TabSheet2", kNoColumn, {u"解码", u"Decode"}},
    {u"GroupBox1", kNoColumn, {u"2TONE解码", u"2TONE Decode"}},
    {kDecodeGrid, 0, caption::kNumber},
    {kDecodeGrid, 1, caption::kDecode1},
    {kDecodeGrid, 2, caption::kResponse},
    {kDecodeGrid, 3, caption::kPrompt},
    {kDecodeGrid, 4, caption::kDecode2},
    {kDecodeGrid, 5, caption::kResponse},
    {kDecodeGrid, 6, caption::kPrompt},
    {kDecodeGrid, 7, caption::kDecode3},
    {kDecodeGrid, 8, caption::kResponse},
    {kDecodeGrid, 9, caption::kPrompt},
    {kDecodeGrid, 10, caption::kDecode4},
    {kDecodeGrid, 11, caption::kResponse},
    {kDecodeGrid, 12, caption::kPrompt},
    {u"GroupBox2", kNoColumn, {u"两音频率", u"2TONE Frequency"}},
    {u"Label4", kNoColumn, caption::kToneA},
    {u"Label5", kNoColumn, caption::kToneB},
    {u"Label6", kNoColumn, caption::kToneC},
    {u"Label7", kNoColumn, caption::kToneD},
    {u"Label8", kNoColumn, caption::kResetTime},
    {kEncodeGrid, 0, caption::kNumber},
    {kEncodeGrid, 1, caption::kFirstFrequency},
    {kEncodeGrid, 2, caption::kSecondFrequency},
    {u"Label1", kNoColumn, caption::kFirstTime},
    {u"Label2", kNoColumn, caption::kSecondTime},
    {u"Label3", kNoColumn, caption::kInterval},
    {u"wbtn", kNoColumn, {u"写入", u"Write"}},
    {u"rbtn", kNoColumn, {u"读取", u"Read"}},
    {u"Button3", kNoColumn, {u"关闭", u"Close"}},
};

/** The texts of a freshly created window in a language: every control at its initial value and
 *  both tables empty. */
Texts initialTexts(Language language);

/** A decode row after its cell of `column` was committed over `previousText`: a new first pair
 *  fills the other three decoders with "AB", the response "无"/"NONE" of `language` and the
 *  prompt "1"; a row whose first pair is empty (or a single space) is emptied whole, so an edit
 *  elsewhere in it does not stay. */
DecodeRow applyDecodeRowRule(const DecodeRow &row, int column, const QString &previousText,
                             Language language);

} // namespace wf::twotone
