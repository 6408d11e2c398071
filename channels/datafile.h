// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "channels/mainblocks.h"
#include "i18n/language.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

/** The ".wh" data file: a text copy of the main window, read and written without widgets so
 *  that the windows and the command-line tool share it.
 *
 *  A file is 28 lines in the GBK code page, each ended by CR LF: the 17 rows of the channel
 *  table (row 0 the captions), one per line with its 16 cells quoted and separated by commas;
 *  the texts of the ten settings boxes as they are; "1" when it was saved in English, "0" in
 *  Chinese. It holds texts, not memory blocks: nothing in it is checked when it is read. */
namespace wf::datafile {

inline constexpr int kLineCount = kChannelCount + 1 + setting::kCount + 1;
inline constexpr int kLanguageLine = kLineCount - 1; ///< counted from 0

// A data file of this program is a few kilobytes at most. Anything far larger, or with a line
// far longer than a row of sixteen cells, is some other file: it is refused before it is split.
inline constexpr qint64 kMaxFileSize = 64 * 1024;
inline constexpr int kMaxLineLength = 4096; ///< bytes, line break excluded

/** The extension of data files, which the file dialogs add to a name typed without one. */
inline constexpr QStringView kSuffix = u"wh";

/** What a data file holds. */
struct Contents
{
    ChannelSheet sheet; ///< rows 0..16 of the table and the ten settings texts
    /** The language the file was saved in; nothing when its last line is neither "0" nor "1". */
    std::optional<Language> language;
};

/** A cell as a row line holds it: inside double quotes, its quotes doubled, when it contains a
 *  space, a control character, a double quote or a comma; otherwise unchanged. */
QString quoteCell(const QString &text);

/** The line of one table row: its cells quoted and joined by commas. */
QString joinRow(const ChannelRow &row);

/** A row line split back into the cells of a row. Fields are separated by commas or by blanks,
 *  a quoted field may hold both; an empty field becomes a single space, fields past the
 *  sixteenth are dropped, and cells the line has no field for stay empty. */
ChannelRow splitRow(QStringView line);

/** The bytes of the file that holds `sheet`, saved in `language`. */
QByteArray encode(const ChannelSheet &sheet, Language language);

/** The outcome of reading a data file: its contents, or the message for the user. */
struct [[nodiscard]] Decoded
{
    Contents contents;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

/** The contents of a file's bytes. A file that is not the text of a data file (binary, too
 *  large, a line too long) gives the open message naming `fileName`; a file of fewer than 28
 *  lines gives "List index out of bounds (n)", n the first missing line counted from 0; one of
 *  the 28 lines that is not clean GBK text (its bytes would not come back from a save) gives the
 *  open message naming the line. On failure nothing of the file is returned, so a caller
 *  changes nothing. */
Decoded decode(const QByteArray &bytes, const QString &fileName);

/** Reads and decodes a data file. A file that cannot be read gives
 *  "Cannot open file "name". reason". */
Decoded read(const QString &fileName);

/** Writes a data file, replacing any file of that name only once the new one is complete: a
 *  full disk or a crash leaves the old file whole. Returns the empty text, or
 *  "Cannot create file "name". reason". */
QString write(const QString &fileName, const ChannelSheet &sheet, Language language);

/** The open message: "Cannot open file "name". reason". */
QString cannotOpenMessage(const QString &fileName, const QString &reason);

} // namespace wf::datafile
