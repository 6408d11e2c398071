// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "channels/mainblocks.h"
#include "compare/shownfields.h"
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

/** The tables of `windows` of `source` in a format: the channel table and the settings as
 *  formatSheet() prints them, each signalling window's controls and grids under the captions the
 *  window shows (one block of text or CSV a window, under its name; one JSON member a window).
 *  The signalling windows are read from `source.image`, which they need. */
QString formatTables(const Source &source, const QList<compare::Window> &windows,
                     SheetFormat format);

} // namespace wf::cli
