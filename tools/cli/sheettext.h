// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "channels/mainblocks.h"
#include "i18n/language.h"
#include "protocol/radioimage.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>

/** The channel table, the settings and whole radio images as a person or a script reads them. */
namespace wf::cli {

/** What one input of show or diff holds: the texts of the table and settings, and the memory
 *  blocks when the input was an image or a radio. */
struct Source
{
    QString name;
    ChannelSheet sheet;
    Language language = Language::English; ///< the language of the sheet's words
    std::optional<RadioImage> image;
};

/** How show prints. */
enum class SheetFormat { Text, Csv, Json };

/** The names of the fifteen channel fields (columns 1..15; index 0 names the number). */
const std::array<QStringView, column::kCount> &fieldNames();
/** The names of the ten settings. */
const std::array<QStringView, setting::kCount> &settingNames();

/** The table and settings of `source` in a format. */
QString formatSheet(const ChannelSheet &sheet, SheetFormat format);

/** The differences from `a` to `b`, one line each ("channel 3 receive frequency 145.50000 →
 *  146.00000", "settings squelch 3 → 5", "DTMF block 2 byte 5: 03 → 04"); none when equal.
 *  Texts are compared in English, whatever language each side was saved in; blocks are compared
 *  byte for byte where both sides have them, and a block that differs only where no text shows
 *  it is named too. */
QStringList describeDifferences(const Source &a, const Source &b);

} // namespace wf::cli
