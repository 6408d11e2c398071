// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/language.h"
#include "protocol/frame.h"
#include "protocol/radioimage.h"

#include <QList>
#include <QString>
#include <QStringView>

/** A radio's contents as its windows show them: every text of the channel table, the settings
 *  panel and the four signalling windows, decoded from a radio image by the windows' own block
 *  codecs and named by the windows' own captions. Nothing here knows about widgets. */
namespace wf::compare {

/** The windows (and the main window's two parts) that show a radio's contents, each the view of
 *  one bank. */
enum class Window : quint8 { Channels, Settings, Dtmf, TwoTone, FiveTone, Fsk };

/** Every window, in the order differences and tables are listed. */
inline constexpr Window kWindows[] = {Window::Channels, Window::Settings, Window::Dtmf,
                                      Window::TwoTone,  Window::FiveTone, Window::Fsk};

/** The channel table and the settings panel: what the main window's Read and Write move. */
inline constexpr Window kMainWindows[] = {Window::Channels, Window::Settings};

/** The bank whose blocks a window shows. */
Bank bankOf(Window window);

/** The window's name for scripts: "channels", "settings", "dtmf", "2tone", "5tone", "fsk". */
QStringView keyOf(Window window);

/** The window whose name for scripts is `key`, if any. */
bool windowOfKey(QStringView key, Window *window);

/** The window's name for people: "Settings", "DTMF", "2-Tone", ... */
WordPair nameOf(Window window);

/** One text a window shows, and where: a cell of a grid, or a control. */
struct ShownField
{
    Window window = Window::Channels;
    QStringView control; ///< the object name of the grid or control that shows it
    int row = 0;         ///< grid row, from 1; 0 for a control
    int column = -1;     ///< grid column; -1 for a control
    WordPair caption{};  ///< the caption of the control or of the grid's column
    /** Where a grid repeats a column's caption (the four decoders of a 2-Tone decode row), the
     *  caption of the column it belongs to; empty otherwise. */
    WordPair qualifier{};
    QString text; ///< as the window shows it; a check box's state as a word

    bool isCell() const { return row > 0; }
};

/** What the window shows after a read of `image` into a freshly created window, in `language`:
 *  every text a block of its bank carries, controls first, then the grids row by row. The list
 *  has the same length and order for every image. */
QList<ShownField> shownFields(Window window, const RadioImage &image, Language language);

/** Where a field sits, as a person finds it: "CH 3", "Settings", "2-Tone decode 3", "5-Tone
 *  CCIR", "DTMF". */
QString placeOf(const ShownField &field, Language language);

/** The field's caption without trailing blanks and colons, with its column's caption where the
 *  grid repeats it: "TX Power", "Response Mode (Decode2)". */
QString captionOf(const ShownField &field, Language language);

/** How a grid names its rows: the word before the row number ("decode" for "decode 3"), empty
 *  for a grid whose rows have names of their own (the channel numbers, the 5-Tone standards). */
WordPair rowWordOf(Window window, QStringView grid);

/** A block's byte that no field shows, as a person finds it: "FSK block 2 byte 14", "CH 3 byte
 *  27", "Settings byte 20". */
QString bytePlace(Window window, int block, int byte, Language language);

/** The text shown for an empty text: "(empty)". */
QString shownText(const QString &text, Language language);

} // namespace wf::compare
