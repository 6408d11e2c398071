// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

/** DTMF numbers as the radio keeps them: up to eight characters of "0"-"9", "A"-"D", "*" and
 *  "#", one 4-bit code each, the last character in the lowest bits of a 32-bit value. */
namespace wf::dtmf {

/** One character of a DTMF number and its 4-bit code. */
struct DigitCode
{
    char16_t character;
    quint8 code;
};

/** The most characters a DTMF number has. */
inline constexpr int kMaxDigits = 8;

/** The code of the auto-dial memories and of the group code; "D" is 0. */
inline constexpr DigitCode kDialDigitCodes[] = {
    {u'1', 1}, {u'2', 2},  {u'3', 3},  {u'4', 4},  {u'5', 5},  {u'6', 6},  {u'7', 7},  {u'8', 8},
    {u'9', 9}, {u'0', 10}, {u'*', 11}, {u'#', 12}, {u'A', 13}, {u'B', 14}, {u'C', 15}, {u'D', 0},
};

// The radio's own identity code swaps "0" and "*" against the memories' code.
/** The code of the identity code (`Edit1`). */
inline constexpr DigitCode kIdDigitCodes[] = {
    {u'1', 1}, {u'2', 2},  {u'3', 3},  {u'4', 4},  {u'5', 5},  {u'6', 6},  {u'7', 7},  {u'8', 8},
    {u'9', 9}, {u'0', 11}, {u'*', 10}, {u'#', 12}, {u'A', 13}, {u'B', 14}, {u'C', 15}, {u'D', 0},
};

/** True when every character of the text has a code ("0"-"9", "A"-"D", "*", "#"); both codes
 *  have the same characters. */
bool hasOnlyDtmfDigits(QStringView text);

/** The value of an auto-dial memory's text; characters outside the code are skipped. */
quint32 EncodeDialDigits(QStringView text);

/** The text of an auto-dial memory: `count` characters (at most 8), the lowest code last and
 *  leading "D"s for codes above the highest set bit; nothing when the value or count is 0. */
std::optional<QString> DecodeDialDigits(quint32 value, int count);

/** The value of an identity code's text; characters outside the code are skipped. */
quint32 EncodeIdDigits(QStringView text);

/** The text of an identity code, as DecodeDialDigits but in the identity code. */
std::optional<QString> DecodeIdDigits(quint32 value, int count);

/** How many 4-bit codes a value has up to its highest set bit: the characters a memory without a
 *  stored digit count shows (leading "D"s cannot be told apart from nothing). */
int significantDigits(quint32 value);

} // namespace wf::dtmf
