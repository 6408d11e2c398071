// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "channels/mainblocks.h"
#include "i18n/language.h"

#include <QString>
#include <QStringView>

/** The checks that complete a channel row when the user commits a typed cell: frequencies and
 *  tones are brought to the forms the radio's blocks take, a fresh row gets its usual values. */
namespace wf {

/** A checked text, or the message of a text that did not read as a number. */
struct [[nodiscard]] CheckedText
{
    QString text;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

/** The text unchanged if it is an acceptable frequency in MHz (above 0, at most 999.99999),
 *  otherwise the empty text. */
CheckedText CheckFrequencyText(const QString &text);

/** The tone text to store in a QT/DQT column: "67.0", "023N", "007I", "300.0", "62.5" or the
 *  none word of the language. */
CheckedText NormaliseToneText(const QString &text, Language language);

/** How many characters of the text equal `c`. */
int CountChar(QChar c, QStringView text);

/** How many characters of the text are ASCII letters. */
int CountLetters(QStringView text);

/** True when a cell counts as empty: no text, or the single space a loaded data file leaves. */
bool isBlankCell(const QString &text);

/** Checks and completes a row after its cell `column` was committed, as the channel table does
 *  on every edit: tones normalised, frequencies checked and written with five decimals, a fresh
 *  row filled with the usual values, and a row without receive frequency emptied. A text that
 *  does not read as a number stops the check, leaves the rest of the row as it is, and its
 *  message is returned.
 *
 *  `previousText` is what the committed cell held before the edit. A row that held a channel
 *  (a receive frequency) keeps it when the typed one is unacceptable, rather than losing every
 *  cell to one mistyped digit; emptying the receive frequency still deletes the channel. */
Conversion checkCommittedCell(ChannelRow &row, int column, Language language,
                              const QString &previousText = {});

} // namespace wf
