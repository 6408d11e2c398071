// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

/** Numbers as the channel table, the settings panel and the data file hold them: plain text with
 *  "." as the decimal separator whatever the system's locale. */
namespace wf {

/** The message shown when a text that must be a whole number is not: "'text' is not a valid
 *  integer value". */
QString invalidIntegerMessage(QStringView text);

/** The message shown when a text that must be a number is not: "'text' is not a valid floating
 *  point value". */
QString invalidFloatMessage(QStringView text);

// What counts as a number. Spaces around the text are ignored. A decimal is an optional sign,
// digits with at most one "." (".5" and "5." are fine) and an optional exponent ("1E2",
// "1.5e-3"); an integer is an optional sign and decimal digits, or "$" and hexadecimal digits
// ("$1F"), and must fit a signed 32-bit number. Only ASCII digits count. Empty text, ".", "1,5",
// "abc", "inf" and "nan" are not numbers.

/** The text read as a decimal number, or nothing when it is not one. */
std::optional<double> readDecimal(QStringView text);

/** The text read as a signed 32-bit integer, or nothing when it is not one. */
std::optional<qint32> readInteger(QStringView text);

/** The number written with a fixed count of decimals ("0.00000", "0.0"), "." as the separator.
 *  It is first brought to 15 significant digits, so that a typed 67.05 shows as 67.1 although
 *  the nearest double lies just below it; halves round away from zero. */
QString formatDecimal(double value, int decimals);

} // namespace wf
