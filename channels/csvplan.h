// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "channels/mainblocks.h"
#include "i18n/language.h"

#include <QByteArray>
#include <QChar>
#include <QString>

/** The channel plan as a spreadsheet keeps it: a CSV file, written and read without widgets so
 *  that the main window and the command-line tool share it.
 *
 *  The file starts with a header row of column names (the table's captions, in Chinese or in
 *  English) and has one row a channel; after a blank line come the ten settings, one row each:
 *  the setting's label and its value. Fields are separated by commas or by semicolons (as
 *  spreadsheets in many locales write them) and quoted when they need it. A plan is taken only
 *  as a whole: every cell goes through the check a typed cell goes through, and one refused
 *  cell or malformed line refuses the file. */
namespace wf::csvplan {

/** How the bytes of an imported plan were read. */
enum class Encoding { Utf8, Utf8WithBom, Gbk };

/** A plan file is a few kilobytes; anything far larger is some other file. */
inline constexpr qint64 kMaxFileSize = 1024 * 1024;

/** The extension of plan files. */
inline constexpr QStringView kSuffix = u"csv";

/** The text of the plan of `sheet`: the header in `language`, the sixteen channel rows (the
 *  cells as the table holds them, the channel column numbered 1 to 16), a blank line and the
 *  ten settings, lines ended by CR LF. */
QString planText(const ChannelSheet &sheet, Language language, QChar separator = u',');

/** The bytes of a plan file: the text in UTF-8 after a byte-order mark, which spreadsheets take
 *  as the sign of UTF-8. */
QByteArray planBytes(const ChannelSheet &sheet, Language language, QChar separator = u',');

/** The outcome of an import: the new table and settings, how the file was read, or the
 *  message that refuses it. */
struct [[nodiscard]] Imported
{
    ChannelSheet sheet;
    Encoding encoding = Encoding::Utf8;
    QChar separator = u',';
    /** The language of the header's column names; English when they read the same in both. */
    Language headerLanguage = Language::English;
    int channels = 0; ///< rows that hold a channel
    int settings = 0; ///< settings the file gives
    QString error;
    bool ok() const { return error.isEmpty(); }
};

/** Reads a plan over `base` (the table and settings as they are): the channel rows are replaced
 *  by the plan's (a channel the plan does not list is empty), the settings it gives replace
 *  those of `base`, and row 0 keeps its captions. Each cell is taken as if typed into the
 *  table in `language`: a frequency "145.5" becomes 145.50000, a tone "67" 67.0 and "D023N"
 *  023N, a word of either language becomes the word of `language`, and an empty cell of a
 *  channel keeps what a new channel gets (the transmit frequency excepted: empty, it stays
 *  empty, as for a channel that only receives). A cell the table would refuse or replace, a
 *  malformed line or a header that names no table column refuses the whole file with a
 *  message in `language` naming the line, the column and the text; the sheet is then not to
 *  be used. */
Imported importPlan(const QByteArray &bytes, const ChannelSheet &base, Language language);

/** Reads the plan file `fileName` over `base`; messages start with the file's name. */
Imported readPlan(const QString &fileName, const ChannelSheet &base, Language language);

/** Writes the plan file of `sheet`, replacing a file of that name only once the new one is
 *  complete. Returns the empty text, or "Cannot create file "name". reason". */
QString writePlan(const QString &fileName, const ChannelSheet &sheet, Language language,
                  QChar separator = u',');

/** What an import took, for the user: "5 channels and 10 settings read from GBK text, fields
 *  separated by semicolons." */
QString summary(const Imported &imported, Language language);

/** A table of no channels with the captions and the initial settings of `language`, as a fresh
 *  main window shows it: the base of an import that has no table to go over. */
ChannelSheet freshSheet(Language language);

} // namespace wf::csvplan
