// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "channels/mainblocks.h"
#include "i18n/language.h"
#include "protocol/radioimage.h"

#include <QString>

/** The channel table and settings as texts on one side, the radio's memory blocks on the other:
 *  the same block codecs the main window uses, without the window. */
namespace wf {

/** Writes the texts of `sheet` over the channel and settings blocks `image` already holds: each
 *  block starts from the image's own, so only the bytes the codecs write change and every other
 *  byte (those no cell shows, and the other banks) keeps the image's. Built over the blocks a
 *  radio holds, it gives what writing the sheet into that radio must leave there; compared with
 *  them, what differs is what the table says differently. On a text the radio cannot take,
 *  returns its message in `language` and leaves `image` alone. */
Conversion sheetOverImage(const ChannelSheet &sheet, RadioImage *image,
                          Language language = Language::English);

/** The texts of the channel and settings blocks of `image` in `language`, as a read into a
 *  fresh main window shows them: row 0 the captions, column 0 the channel numbers. */
ChannelSheet imageToSheet(const RadioImage &image, Language language);

/** `sheet` with every value word in `language`, so two sheets saved in different languages
 *  compare cell by cell. */
ChannelSheet sheetIn(ChannelSheet sheet, Language language);

} // namespace wf
