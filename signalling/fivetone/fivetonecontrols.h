// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "signalling/controls.h"
#include "signalling/fivetone/fivetoneblocks.h"
#include "signalling/fivetone/fivetonestandards.h"

/** The 5-Tone window (`TForm5`) as data: its combo boxes and edit with their items and initial
 *  values, its three grids with their editors, widths, fresh values and row rules, and its
 *  captions in both languages. The tone edits `Edit1`..`Edit16` (digits 0..F) show
 *  toneTexts() of the `CCIR` selector's standard. */
namespace wf::fivetone {

/** The window's object name; its row of the caption table is the window title. */
inline constexpr QStringView kWindowName = u"Form5";

/** The page shown when the window opens. */
inline constexpr QStringView kInitialPage = u"TabSheet2";

/** `Timer1`, started by every read; nothing of the codec depends on it. */
inline constexpr int kWatchdogMs = 10000;

/** The window's size in each language; the English texts are longer. */
inline constexpr WindowSize kSizeChinese{777, 529};
inline constexpr WindowSize kSizeEnglish{934, 516};

/** Captions that the codec's messages share with the window. */
namespace caption {
inline constexpr WordPair kStandardName{u"标准名称：", u"Standard Name"};
inline constexpr WordPair kStandard{u"5 TONE 标准", u"5 TONE Standard"};
inline constexpr WordPair kTxTime{u"发射时长 (ms)", u"TX Time(ms)"};
inline constexpr WordPair kGroupCode{u"群呼码", u"Group Code"};
inline constexpr WordPair kRepeatCode{u"重复码", u"Duplication Code"};
inline constexpr WordPair kNumber{u"信息码", u"No."};
inline constexpr WordPair kFirstCoding{u"第一帧编码", u"First Frame Coding"};
inline constexpr WordPair kSecondCoding{u"第二帧编码", u"Second Frame Coding"};
inline constexpr WordPair kThirdCoding{u"第三帧编码", u"Third Frame Coding"};
inline constexpr WordPair kConfirmation{u"确认码", u"Confirmation Code"};
inline constexpr WordPair kEncodeStandard{u"使用标准", u"Use  Standard"};
inline constexpr WordPair kFirstDelay{u"发送第一帧编码的延迟时间(MS)",
                                      u"Sending First Frame Coding Delay Time(ms)"};
inline constexpr WordPair kSecondDelay{u"发送第二帧编码的延迟时间(MS)",
                                       u"Sending Second Frame Coding Delay Time(ms)"};
inline constexpr WordPair kThirdDelay{u"发送第三帧编码的延迟时间(MS)",
                                      u"Sending Third Frame Coding Delay Time(ms)"};
inline constexpr WordPair kExtension{u"各组码第一个音的扩展时长",
                                     u"Extended Duration of The First Tone of Each Group"};
inline constexpr WordPair kDecodeStandard{u"使用标准", u"Use Standard"};
inline constexpr WordPair kFirstDecoding{u"第一帧解码", u"First Frame Decoding"};
inline constexpr WordPair kSecondDecoding{u"第二帧解码", u"Second Frame Decoding"};
inline constexpr WordPair kThirdDecoding{u"第三帧解码", u"Third Frame Decoding"};
inline constexpr WordPair kFunction{u"功能", u"Function"};
inline constexpr WordPair kResponse{u"回复码", u"Response Code"};
inline constexpr WordPair kResetTime{u"复位时间(MS)", u"Reset Time(ms)"};
} // namespace caption

/** The Chinese header of `xg1` column 0 after a language switch of all windows at once; the
 *  window's own setter writes caption::kStandard. */
inline constexpr QStringView kSwitchedStandardHeader = u"5TONE 标准";

/** The delay list of `cb1`..`cb4`: 50 to 1000 ms in steps of 50. */
inline constexpr ItemList kDelayItems{{}, 50, 1000, 50};

/** The window's controls in tab order, each with the label that carries its caption. */
inline constexpr Control<Texts> kControls[] = {
    windowOnly(comboBox(u"CCIR", u"Label5", &Texts::CCIR, ItemList{kStandards}, same(u"CCIR"))),
    comboBox(u"cb1", u"Label1", &Texts::cb1, kDelayItems, same(u"500")),
    comboBox(u"cb2", u"Label2", &Texts::cb2, kDelayItems, same(u"500")),
    comboBox(u"cb3", u"Label3", &Texts::cb3, kDelayItems, same(u"500")),
    comboBox(u"cb4", u"Label4", &Texts::cb4, kDelayItems, same(u"500")),
    windowOnly(edit(u"ed1", u"Label8", &Texts::ed1, same(u"6000"))),
};

/** The standards grid `xg1`: a header row and one row per standard, named in column 0. */
inline constexpr QStringView kStandardGrid = u"xg1";
inline constexpr int kStandardGridRowCount = 1 + kStandardCount;
inline constexpr GridColumn kDigitColumn{70, 100, CellEditorKind::DropDownList,
                                         same(u"ComboCellEditor1"), ItemList{kDigits}};
inline constexpr GridColumn kStandardColumns[] = {
    {110, 120},
    {100, 100, CellEditorKind::Text, same(u"EditCellEditor1")},
    kDigitColumn,
    kDigitColumn,
};

/** The cells of a standard row by column, with what a fresh window shows in them. */
inline constexpr GridCell<StandardRow> kStandardCells[] = {
    {1, &StandardRow::txTime, same(u"100")},
    {2, &StandardRow::groupCode, same(u"A")},
    {3, &StandardRow::repeatCode, same(u"E")},
};

/** The encode and decode grids have a header row and sixteen rows numbered in column 0. */
inline constexpr int kTableRowCount = 17;

/** The encode grid `xg2`, indexed by column. */
inline constexpr QStringView kEncodeGrid = u"xg2";
inline constexpr GridColumn kEncodeCodeColumn{
    110, 130, CellEditorKind::Text, same(u"EditCellEditor2"), {}, same(u"12345")};
inline constexpr GridColumn kEncodeColumns[] = {
    {50, 40},
    kEncodeCodeColumn,
    {110, 150, CellEditorKind::Text, same(u"EditCellEditor2"), {}, same(u"12345")},
    kEncodeCodeColumn,
    kEncodeCodeColumn,
    {80, 100, CellEditorKind::DropDownList, same(u"ComboCellEditor2"), ItemList{kStandards},
     same(u"CCIR")},
};

/** The cells of an encode row by column, the first frame code (the row's key) first, each with
 *  what setting the key fills it with. */
inline constexpr GridCell<EncodeRow> kEncodeCells[] = {
    {1, &EncodeRow::first},
    {2, &EncodeRow::second, same(u"12345")},
    {3, &EncodeRow::third, same(u"45678")},
    {4, &EncodeRow::confirmation, same(u"ABCDE")},
    {5, &EncodeRow::standard, same(u"CCIR")},
};

/** The decode grid `xg3`, indexed by column; the function editor is the language's own. */
inline constexpr QStringView kDecodeGrid = u"xg3";
inline constexpr GridColumn kFunctionColumn{64,
                                            82,
                                            CellEditorKind::DropDownList,
                                            {u"ComboCellEditor4", u"ComboCellEditor5"},
                                            ItemList{kFunctions},
                                            kFunctionWords[0].word};
inline constexpr GridColumn kDecodeColumns[] = {
    {46, 34},
    {70, 90, CellEditorKind::DropDownList, same(u"ComboCellEditor3"), ItemList{kStandards},
     same(u"CCIR")},
    {90, 136, CellEditorKind::Text, same(u"EditCellEditor3"), {}, same(u"12345")},
    kFunctionColumn,
    {90, 150, CellEditorKind::Text, same(u"EditCellEditor3"), {}, same(u"12345")},
    kFunctionColumn,
    {90, 140, CellEditorKind::Text, same(u"EditCellEditor3"), {}, same(u"12345")},
    kFunctionColumn,
    {70, 104, CellEditorKind::Text, same(u"EditCellEditor3"), {}, same(u"12345")},
};

/** The cells of a decode row by column, the standard (the row's key) first, each with what
 *  setting the key fills it with. */
inline constexpr GridCell<DecodeRow> kDecodeCells[] = {
    {1, &DecodeRow::standard},
    {2, &DecodeRow::first, same(u"12345")},
    {3, &DecodeRow::function1, kFunctionWords[0].word},
    {4, &DecodeRow::second, same(u"45678")},
    {5, &DecodeRow::function2, kFunctionWords[1].word},
    {6, &DecodeRow::third, same(u"ABCDE")},
    {7, &DecodeRow::function3, kFunctionWords[2].word},
    {8, &DecodeRow::response, same(u"56789")},
};

/** Every caption of the window in both languages; the title reads the same in both. */
inline constexpr Caption kCaptions[] = {
    {kWindowName, kNoColumn, same(u"5TONE")},
    {u"TabSheet1", kNoColumn, {u"标准", u"Standard"}},
    {u"TabSheet2", kNoColumn, {u"编码", u"Encode"}},
    {u"TabSheet3", kNoColumn, {u"解码", u"Decode"}},
    {u"Label5", kNoColumn, caption::kStandardName},
    {kStandardGrid, 0, caption::kStandard},
    {kStandardGrid, 1, caption::kTxTime},
    {kStandardGrid, 2, caption::kGroupCode},
    {kStandardGrid, 3, caption::kRepeatCode},
    {kEncodeGrid, 0, caption::kNumber},
    {kEncodeGrid, 1, caption::kFirstCoding},
    {kEncodeGrid, 2, caption::kSecondCoding},
    {kEncodeGrid, 3, caption::kThirdCoding},
    {kEncodeGrid, 4, caption::kConfirmation},
    {kEncodeGrid, 5, caption::kEncodeStandard},
    {u"Label1", kNoColumn, caption::kFirstDelay},
    {u"Label2", kNoColumn, caption::kSecondDelay},
    {u"Label3", kNoColumn, caption::kThirdDelay},
    {u"Label4", kNoColumn, caption::kExtension},
    {kDecodeGrid, 0, caption::kNumber},
    {kDecodeGrid, 1, caption::kDecodeStandard},
    {kDecodeGrid, 2, caption::kFirstDecoding},
    {kDecodeGrid, 3, caption::kFunction},
    {kDecodeGrid, 4, caption::kSecondDecoding},
    {kDecodeGrid, 5, caption::kFunction},
    {kDecodeGrid, 6, caption::kThirdDecoding},
    {kDecodeGrid, 7, caption::kFunction},
    {kDecodeGrid, 8, caption::kResponse},
    {u"Label8", kNoColumn, caption::kResetTime},
    {u"wbtn", kNoColumn, {u"写入", u"Write"}},
    {u"rbtn", kNoColumn, {u"读取", u"Read"}},
    {u"Button3", kNoColumn, {u"关闭", u"Close"}},
};

/** The texts of a freshly created window in a language: every control at its initial value,
 *  each standard at "100", "A", "E", both tables empty and no standard code read. */
Texts initialTexts(Language language);

/** An encode row after its cell of `column` was committed over `previousText`: a new first code
 *  fills columns 2 to 5 with "12345", "45678", "ABCDE", "CCIR"; a row whose first code is empty
 *  (or a single space) is emptied whole, so an edit elsewhere in it does not stay. */
EncodeRow applyEncodeRowRule(const EncodeRow &row, int column, const QString &previousText,
                             Language language);

/** A decode row after its cell of `column` was committed over `previousText`: a new standard
 *  fills columns 2 to 8 with "12345", the call, "45678", the ask, "ABCDE", the asked and
 *  "56789", the functions in `language`; in a row without a standard an edit elsewhere is
 *  undone (the cell gets `previousText` back) and the rest of the row stays. */
DecodeRow applyDecodeRowRule(const DecodeRow &row, int column, const QString &previousText,
                             Language language);

} // namespace wf::fivetone
