// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "channels/mainblocks.h"
#include "i18n/language.h"
#include "protocol/radioimage.h"

#include <QString>

/** The channel table and settings as texts on one side, the radio's memory blocks on the other:
 *  the same block codecs the main window uses, without the window. */
namespace wf {

/** Builds the channel and settings blocks of `sheet` into `image` exactly as the main window's
 *  write sends them (one transmit buffer, channel 1 to 16 then the settings, each frame keeping
 *  the bytes the one before left where the codec writes nothing). The other banks of `image` are
 *  left alone. On a text the radio cannot take, returns its message and leaves `image` alone. */
Conversion sheetToImage(const ChannelSheet &sheet, RadioImage *image);

/** Writes the texts of `sheet` over the channel and settings blocks `image` already holds: only
 *  the bytes the codecs write change, every other byte keeps the image's. Compared with a
 *  radio's own image, what differs is what the table says differently. */
Conversion sheetOverImage(const ChannelSheet &sheet, RadioImage *image);

/** The texts of the channel and settings blocks of `image` in `language`, as a read into a
 *  fresh main window shows them: row 0 the captions, column 0 the channel numbers. */
ChannelSheet imageToSheet(const RadioImage &image, Language language);

/** `sheet` with every value word in `language`, so two sheets saved in different languages
 *  compare cell by cell. */
ChannelSheet sheetIn(ChannelSheet sheet, Language language);

} // namespace wf
