// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "channels/codetables.h"
#include "signalling/controls.h"

#include <QStringList>
#include <QStringView>

#include <array>

/** The five 5-tone standards the radio knows, the tone each one gives the sixteen digits, and
 *  the functions a decoded sequence can trigger. */
namespace wf::fivetone {

inline constexpr int kStandardCount = 5;
inline constexpr int kDigitCount = 16; ///< digits 0..9 and A..F

inline constexpr CodeWord kStandardWords[] = {
    {1, same(u"CCIR")},  {2, same(u"EIA")},   {3, same(u"EEA")},
    {4, same(u"ZVEI1")}, {5, same(u"ZVEI2")},
};
/** The standards by the code the radio keeps, in the order of the lists and of block 0. */
inline constexpr CodeTable kStandards{kStandardWords};

inline constexpr CodeWord kFunctionWords[] = {
    {0, {u"通话", u"CALL"}},    {1, {u"主叫", u"ASK"}},         {2, {u"被叫", u"BE ASKED"}},
    {3, {u"监听", u"MONITOR"}}, {4, {u"巡查", u"DETECTION"}},   {5, {u"报警", u"BEEP"}},
    {6, {u"遥毙", u"REMOTE"}},  {7, {u"遥晕", u"REMOTE HALO"}}, {8, {u"唤醒", u"AWAKEN"}},
};
/** What a decoded frame triggers; a text is compared with the words of the window's language,
 *  and every code the radio does not define shows as a call. */
inline constexpr CodeTable kFunctions{kFunctionWords};

inline constexpr CodeWord kDigitWords[] = {
    {0, same(u"0")},  {1, same(u"1")},  {2, same(u"2")},  {3, same(u"3")},
    {4, same(u"4")},  {5, same(u"5")},  {6, same(u"6")},  {7, same(u"7")},
    {8, same(u"8")},  {9, same(u"9")},  {10, same(u"A")}, {11, same(u"B")},
    {12, same(u"C")}, {13, same(u"D")}, {14, same(u"E")}, {15, same(u"F")},
};
/** The 5-tone digits of the group and repeat codes, each with its value. */
inline constexpr CodeTable kDigits{kDigitWords};

/** One standard's tone for each digit, in Hz, digit 0 first. */
struct ToneStandard
{
    QStringView name;
    std::array<double, kDigitCount> tones;
};

/** The tone tables the standard selector shows, in the order of kStandardWords. */
inline constexpr ToneStandard kToneStandards[] = {
    {u"CCIR",
     {1981.0, 1124.0, 1197.0, 1275.0, 1358.0, 1446.0, 1540.0, 1640.0, 1747.0, 1860.0, 2400.0, 930.0,
      2247.0, 991.0, 2110.0, 1055.0}},
    {u"EIA",
     {600.0, 741.0, 882.0, 1023.0, 1164.0, 1305.0, 1446.0, 1587.0, 1728.0, 1869.0, 2151.0, 2433.0,
      2010.0, 2292.0, 459.0, 1091.0}},
    {u"EEA",
     {1981.0, 1124.0, 1197.0, 1275.0, 1358.0, 1446.0, 1540.0, 1640.0, 1747.0, 1860.0, 1055.0, 930.0,
      2400.0, 991.0, 2110.0, 2247.0}},
    {u"ZVEI1",
     {2400.0, 1060.0, 1160.0, 1270.0, 1400.0, 1530.0, 1670.0, 1830.0, 2000.0, 2200.0, 2800.0, 810.0,
      970.0, 885.0, 2600.0, 680.0}},
    {u"ZVEI2",
     {2400.0, 1060.0, 1160.0, 1270.0, 1400.0, 1530.0, 1670.0, 1830.0, 2000.0, 2200.0, 885.0, 810.0,
      740.0, 680.0, 970.0, 2600.0}},
};
static_assert(std::size(kToneStandards) == kStandardCount);

/** The sixteen tone texts ("1981.0") of the standard named `standard`, digit 0 first, or an
 *  empty list for a text that names no standard (the tone edits then keep what they show). */
QStringList toneTexts(QStringView standard);

} // namespace wf::fivetone
