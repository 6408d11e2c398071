// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "channels/mainblocks.h"
#include "i18n/language.h"

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

/** The channel table edited as a spreadsheet: clipboard text pasted into it, ranges cleared,
 *  and whole channels inserted, deleted, moved and cleared. Nothing here knows about widgets;
 *  every operation takes a sheet and gives a new one, or the message that refuses it, so that a
 *  window changes nothing when an operation is refused. A range is a QRect of cells: x the
 *  column (1..15), y the channel (1..16). Column 0 keeps the channel numbers 1 to 16. */
namespace wf::sheetedit {

/** An edited sheet, or the message that refuses the edit (the sheet is then not to be used). */
struct [[nodiscard]] Edited
{
    ChannelSheet sheet;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

/** The rows and cells of clipboard text: tab-separated when a line holds a tab (a spreadsheet's
 *  or this program's), otherwise comma-separated with CSV quoting. The line feed that ends the
 *  last row makes no row of its own. */
QList<QStringList> clipboardCells(const QString &text);

/** Pastes clipboard text with its first cell at (`col`, `channel`) (column 0, a channel's number
 *  cell, pastes from column 1). Each cell is taken as if typed there and committed, row by row
 *  and left to right: a frequency must be one the table takes, a tone one its check reads, a
 *  word one of its column's (in either language; the shown language's word is stored). The
 *  first refused cell, or text that does not fit in the table from that cell, refuses the
 *  whole paste with a message naming the channel, the column and the text. */
Edited paste(const ChannelSheet &sheet, int col, int channel, const QString &text,
             Language language);

/** Empties the cells of `range`, each as a user emptying it would: emptying the receive
 *  frequency empties the channel; a word cell of a channel that stays gets the value a new
 *  channel holds, since the radio has no empty word. */
ChannelSheet clearCells(const ChannelSheet &sheet, const QRect &range, Language language);

/** An empty channel at `channel`; those below move down one. Refused when channel 16 holds a
 *  channel, which would be pushed off the table. */
Edited insertChannel(const ChannelSheet &sheet, int channel, Language language);

/** Deletes channels `first`..`last`; those below move up and empty channels fill the end. */
ChannelSheet deleteChannels(const ChannelSheet &sheet, int first, int last);

/** Moves channels `first`..`last` one place up (`by` -1) or down (`by` 1), the channel they pass
 *  taking their old place; at the table's edge nothing moves. */
ChannelSheet moveChannels(const ChannelSheet &sheet, int first, int last, int by);

} // namespace wf::sheetedit
