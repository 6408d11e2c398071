// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/language.h"
#include "signalling/fieldtable.h"

#include <QString>

#include <array>

/** The FSK data signalling of the radio, bank 2: block 0 the radio's own fleet and ID, the data
 *  rate, the transmit delay, the message timer, the PTT ID side tone and table entries 1 and 2;
 *  blocks 1 and 2 entries 3 to 9 and 10 to 16. The window's texts go in and come out here. */
namespace wf::fsk {

inline constexpr int kBlockCount = 3;  ///< blocks 0..2 of a write and of a read
inline constexpr int kEntryCount = 16; ///< rows 1..16 of `xg1`

/** One row of the fleet/ID table `xg1`; an empty cell stands for 0. */
struct Entry
{
    QString fleet; ///< column 1
    QString id;    ///< column 2
};

/** Everything the FSK window shows, as texts. Start from initialTexts() (fskcontrols.h) for a
 *  fresh window. */
struct Texts
{
    QString ed1;                            ///< own fleet
    QString ed2;                            ///< own ID
    QString cb1;                            ///< data rate, bits per second
    QString ed3;                            ///< data transmit delay, ms
    QString ed4;                            ///< message mode timer, s
    bool CheckBox1 = false;                 ///< PTT ID side tone
    std::array<Entry, kEntryCount> entries; ///< index 0 is row 1
};

/** The three payloads of a write, block 0 first, built and checked before anything is sent; a
 *  text that is no number, or a number its bytes cannot hold, gives the message of the first
 *  such text and no payloads. A data rate read from the radio goes back as it came. */
WriteBlocks<kBlockCount> encodeBlocks(const Texts &texts, Language language);

/** Writes a received frame of bank 2 (frame byte 2 names the block) into the texts. The data
 *  rate shows as the byte times 100 whatever it is, so a rate the list does not offer stays
 *  visible. Returns false, changing nothing, for a block the bank does not have. */
bool decodeBlock(const quint8 *frame, Texts &texts, Language language);

} // namespace wf::fsk
