// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/channeltable.h"

#include "channels/codetables.h"
#include "i18n/words.h"

namespace wf::table {

using namespace Qt::StringLiterals;

namespace {

constexpr WordPair same(QStringView text)
{
    return {text, text};
}

constexpr WordPair kNoText{};

// Chinese caption, English caption, widths (Chinese, English), editor, list, fresh-row value,
// the Chinese editor's default text.
const std::array<ChannelColumn, column::kCount> kColumns = {{
    {{u"信道编号", u"CH No."}, 56, 56, EditorKind::None, ValueList::None, kNoText, {}},
    // Wide enough for the nine characters of 438.50000 in the fonts of every platform.
    {{u"接收频率", u"RX Freq"}, 66, 66, EditorKind::Text, ValueList::None, kNoText, {}},
    {{u"发射频率", u"TX Freq"}, 66, 66, EditorKind::Text, ValueList::None, kNoText, {}},
    {{u"QT/DQT解码", u"QT/DQT Dec"},
     75,
     75,
     EditorKind::DropDown,
     ValueList::Tones,
     words::kNone,
     u"无"},
    {{u"QT/DQT编码", u"QT/DQTEnc"},
     75,
     75,
     EditorKind::DropDown,
     ValueList::Tones,
     words::kNone,
     u"无"},
    {{u"发射功率", u"TX Power"},
     58,
     58,
     EditorKind::DropDownList,
     ValueList::Power,
     words::kHigh,
     u"高"},
    {{u"宽/窄", u"W/N"},
     35,
     55,
     EditorKind::DropDownList,
     ValueList::Bandwidth,
     words::kWide,
     u"宽带"},
    {{u"扫描添加", u"Scan Add."},
     63,
     55,
     EditorKind::DropDownList,
     ValueList::YesNo,
     words::kYes,
     u"有"},
    {{u"步进频率", u"Step Freq"},
     58,
     50,
     EditorKind::DropDownList,
     ValueList::Steps,
     same(u"25000"),
     u"25000"},
    {{u"DTMF键1", u"DTMF1"},
     55,
     43,
     EditorKind::DropDownList,
     ValueList::DtmfKeys,
     words::kNone,
     u"无"},
    {{u"DTMF键2", u"DTMF2"},
     55,
     43,
     EditorKind::DropDownList,
     ValueList::DtmfKeys,
     words::kNone,
     u"无"},
    {same(u"PTTID"), 37, 37, EditorKind::DropDownList, ValueList::PttId, words::kNone, u"无"},
    {{u"扰频", u"Scrambler"},
     36,
     54,
     EditorKind::DropDownList,
     ValueList::Scrambler,
     words::kNone,
     u"无"},
    {{u"可选信令", u"PTTID Typ"},
     53,
     59,
     EditorKind::DropDownList,
     ValueList::Signalling,
     same(u"DTMF"),
     u"DTMF"},
    {{u"信令信息", u"PTTID NO."},
     55,
     57,
     EditorKind::DropDownList,
     ValueList::SignallingInfo,
     same(u"1"),
     u"1"},
    {{u"压扩", u"Compandor"},
     36,
     57,
     EditorKind::DropDownList,
     ValueList::YesNo,
     words::kNone,
     u"无"},
}};

const std::array<SettingsBox, setting::kCount> kSettings = {{
    {{u"Vox等级", u"VOX Lev"}, ValueList::VoxLevel, words::kNone, 8},
    {{u"Vox延迟时间", u"VOX Time"}, ValueList::VoxDelay, same(u"1"), 9},
    {{u"静噪", u"SQ Lev"}, ValueList::Squelch, same(u"0"), 10},
    {{u"超时定时器", u"TOT"}, ValueList::TimeOut, same(u"60"), 11},
    {{u"语音通知", u"Voice"}, ValueList::VoicePrompt, words::kChinese, 12},
    {same(u"PF1："), ValueList::KeyFunctions, words::kNone, 13},
    {same(u"PF2："), ValueList::KeyFunctions, words::kNone, 14},
    {{u"扫描", u"Scan"}, ValueList::OnOff, words::kOpen, 15},
    {{u"省电", u"Save Power"}, ValueList::OnOff, words::kOpen, 0},
    {{u"报警", u"Beep"}, ValueList::OnOff, words::kOpen, 1},
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
    const Language from = to == Language::English ? Language::Chinese : Language::English;
    const int index = items(list, from).indexOf(text);
    return index < 0 ? text : items(list, to).at(index);
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
