// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/channeltable.h"

#include "channels/codetables.h"
#include "i18n/captions.h"
#include "i18n/words.h"

#include <iterator>

namespace wf::table {

using namespace Qt::StringLiterals;
using words::ListRule;

namespace {

static_assert(std::size(captions::kChannelColumns) == column::kCount);
static_assert(std::size(captions::kSettingLabels) == setting::kCount);

Language otherLanguage(Language language)
{
    return language == Language::English ? Language::Chinese : Language::English;
}

constexpr WordPair same(QStringView text)
{
    return {text, text};
}

constexpr WordPair kNoText{};

// Caption (the language switch writes the same texts), widths (Chinese, English), editor, list,
// fresh-row value, the Chinese editor's default text.
const std::array<ChannelColumn, column::kCount> kColumns = {{
    {captions::kChannelColumns[0], 56, 56, EditorKind::None, ValueList::None, kNoText, {}},
    // Wide enough for the nine characters of 438.50000 in the fonts of every platform.
    {captions::kChannelColumns[1], 66, 66, EditorKind::Text, ValueList::None, kNoText, {}},
    {captions::kChannelColumns[2], 66, 66, EditorKind::Text, ValueList::None, kNoText, {}},
    {captions::kChannelColumns[3], 75, 75, EditorKind::DropDown, ValueList::Tones, words::kNone,
     u"无"},
    {captions::kChannelColumns[4], 75, 75, EditorKind::DropDown, ValueList::Tones, words::kNone,
     u"无"},
    {captions::kChannelColumns[5], 58, 58, EditorKind::DropDownList, ValueList::Power, words::kHigh,
     u"高"},
    {captions::kChannelColumns[6], 35, 55, EditorKind::DropDownList, ValueList::Bandwidth,
     words::kWide, u"宽带"},
    {captions::kChannelColumns[7], 63, 55, EditorKind::DropDownList, ValueList::YesNo, words::kYes,
     u"有"},
    {captions::kChannelColumns[8], 58, 50, EditorKind::DropDownList, ValueList::Steps,
     same(u"25000"), u"25000"},
    {captions::kChannelColumns[9], 55, 43, EditorKind::DropDownList, ValueList::DtmfKeys,
     words::kNone, u"无"},
    {captions::kChannelColumns[10], 55, 43, EditorKind::DropDownList, ValueList::DtmfKeys,
     words::kNone, u"无"},
    {captions::kChannelColumns[11], 37, 37, EditorKind::DropDownList, ValueList::PttId,
     words::kNone, u"无"},
    {captions::kChannelColumns[12], 36, 54, EditorKind::DropDownList, ValueList::Scrambler,
     words::kNone, u"无"},
    {captions::kChannelColumns[13], 53, 59, EditorKind::DropDownList, ValueList::Signalling,
     same(u"DTMF"), u"DTMF"},
    {captions::kChannelColumns[14], 55, 57, EditorKind::DropDownList, ValueList::SignallingInfo,
     same(u"1"), u"1"},
    {captions::kChannelColumns[15], 36, 57, EditorKind::DropDownList, ValueList::YesNo,
     words::kNone, u"无"},
}};

// What a settings box's list does at a language switch.
constexpr words::ListSwitch kFixed{ListRule::Fixed};
constexpr words::ListSwitch kByWord{ListRule::RebuildByWord};
constexpr words::ListSwitch kByIndex{ListRule::RebuildByIndex};
constexpr words::ListSwitch replacing(int item)
{
    return {ListRule::ReplaceItem, item};
}

// Caption, value list, initial text, payload byte, language switch.
const std::array<SettingsBox, setting::kCount> kSettings = {{
    {captions::kSettingLabels[0], ValueList::VoxLevel, words::kNone, 8, replacing(0)},
    {captions::kSettingLabels[1], ValueList::VoxDelay, same(u"1"), 9, kFixed},
    {captions::kSettingLabels[2], ValueList::Squelch, same(u"0"), 10, kFixed},
    {captions::kSettingLabels[3], ValueList::TimeOut, same(u"60"), 11, replacing(3)},
    {captions::kSettingLabels[4], ValueList::VoicePrompt, words::kChinese, 12, kByWord},
    {captions::kSettingLabels[5], ValueList::KeyFunctions, words::kNone, 13, kByIndex},
    {captions::kSettingLabels[6], ValueList::KeyFunctions, words::kNone, 14, kByIndex},
    {captions::kSettingLabels[7], ValueList::OnOff, words::kOpen, 15, kByWord},
    {captions::kSettingLabels[8], ValueList::OnOff, words::kOpen, 0, kByWord},
    {captions::kSettingLabels[9], ValueList::OnOff, words::kOpen, 1, kByWord},
}};

constexpr std::array<int, 51> kCtcss = {
    625,  670,  693,  719,  744,  770,  797,  825,  854,  885,  915,  948,  974,
    1000, 1035, 1072, 1109, 1148, 1188, 1230, 1273, 1318, 1365, 1413, 1462, 1514,
    1567, 1598, 1622, 1655, 1679, 1713, 1738, 1773, 1799, 1835, 1862, 1899, 1928,
    1966, 1995, 2035, 2065, 2107, 2181, 2257, 2291, 2336, 2418, 2503, 2541,
};

constexpr std::array<int, 83> kDcs = {
    23,  25,  26,  31,  32,  43,  47,  51,  54,  65,  71,  72,  73,  74,  114, 115, 116,
    125, 131, 132, 134, 143, 152, 155, 156, 162, 165, 172, 174, 205, 223, 226, 243, 244,
    245, 251, 261, 263, 265, 271, 306, 311, 315, 331, 343, 346, 351, 364, 365, 371, 411,
    412, 413, 423, 431, 432, 445, 464, 465, 466, 503, 506, 516, 532, 546, 565, 606, 612,
    624, 627, 631, 632, 654, 662, 664, 703, 712, 723, 731, 732, 734, 743, 754,
};

QStringList numbers(int first, int last)
{
    QStringList list;
    for (int n = first; n <= last; ++n)
        list << QString::number(n);
    return list;
}

QStringList wordsIn(std::initializer_list<WordPair> pairs, Language language)
{
    QStringList list;
    for (const WordPair &pair : pairs)
        list << pair.in(language).toString();
    return list;
}

QStringList wordsIn(const CodeTable &table, Language language)
{
    QStringList list;
    for (const CodeWord &entry : table)
        list << entry.word.in(language).toString();
    return list;
}

QStringList toneItems(Language language)
{
    QStringList list{words::kNone.in(language).toString()};
    for (int tenths : kCtcss)
        list << QString::number(tenths / 10.0, 'f', 1);
    for (QChar suffix : {u'N', u'I'}) {
        for (int code : kDcs)
            list << QStringLiteral("%1").arg(code, 3, 10, QLatin1Char('0')) + suffix;
    }
    return list;
}

} // namespace

const std::array<ChannelColumn, column::kCount> &channelColumns()
{
    return kColumns;
}

const std::array<SettingsBox, setting::kCount> &settingsBoxes()
{
    return kSettings;
}

const std::array<int, 51> &ctcssTones()
{
    return kCtcss;
}

const std::array<int, 83> &dcsCodes()
{
    return kDcs;
}

QStringList items(ValueList list, Language language)
{
    switch (list) {
    case ValueList::None:
        return {};
    case ValueList::Tones:
        return toneItems(language);
    case ValueList::Power:
        return wordsIn({words::kHigh, words::kLow}, language);
    case ValueList::Bandwidth:
        return wordsIn({words::kWide, words::kNarrow}, language);
    case ValueList::YesNo:
        return wordsIn({words::kNone, words::kYes}, language);
    case ValueList::Steps:
        return {u"5000"_s, u"6250"_s, u"10000"_s, u"12500"_s, u"25000"_s};
    case ValueList::DtmfKeys:
        return wordsIn(kDtmfKeys, language);
    case ValueList::PttId:
        return wordsIn(kPttIdModes, language);
    case ValueList::Scrambler:
    case ValueList::VoxLevel:
        return QStringList{words::kNone.in(language).toString()} + numbers(1, 10);
    case ValueList::Signalling:
        return wordsIn(kSignallingSystems, language);
    case ValueList::SignallingInfo:
        return numbers(1, 16);
    case ValueList::VoxDelay:
        return numbers(1, 3);
    case ValueList::Squelch:
        return numbers(0, 9);
    case ValueList::TimeOut:
        return {u"60"_s, u"120"_s, u"180"_s, words::kClose.in(language).toString()};
    case ValueList::VoicePrompt:
        return wordsIn(kVoicePrompts, language);
    case ValueList::KeyFunctions:
        return wordsIn(kKeyFunctions, language);
    case ValueList::OnOff:
        return wordsIn({words::kOpen, words::kClose}, language);
    }
    return {};
}

SettingsTexts initialSettings(Language language)
{
    SettingsTexts texts;
    for (int i = 0; i < setting::kCount; ++i)
        texts[i] = kSettings[i].initialText.in(language).toString();
    return texts;
}

QString translate(const QString &text, ValueList list, Language to)
{
    return words::translateWord(text, items(list, otherLanguage(to)), items(list, to));
}

words::ComboContents switchBox(int box, words::ComboContents contents, Language to)
{
    Q_ASSERT(box >= 0 && box < setting::kCount);
    const SettingsBox &settings = kSettings[box];
    return words::switchList(settings.rule, std::move(contents),
                             items(settings.list, otherLanguage(to)), items(settings.list, to));
}

void translateRow(ChannelRow &row, Language to)
{
    if (row[column::RxFrequency].isEmpty())
        return;
    for (int c = 0; c < column::kCount; ++c)
        row[c] = translate(row[c], kColumns[c].list, to);
}

QStringList keyFunctionItemsAsBuilt()
{
    // The window as first built lists the alarm third; the language switch moves it last.
    QStringList list = items(ValueList::KeyFunctions, Language::Chinese);
    list.move(list.size() - 1, 2);
    return list;
}
} // namespace wf::table
