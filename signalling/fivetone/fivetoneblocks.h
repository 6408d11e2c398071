// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/language.h"
#include "signalling/fieldtable.h"
#include "signalling/fivetone/fivetonestandards.h"

#include <QString>

#include <array>

/** The 5-tone selective calling of the radio, bank 4: block 0 each standard's transmit time,
 *  group and repeat digits and the frame delays; blocks 1 to 8 the encode table and blocks 9 to
 *  16 the decode table, two rows a block. The window's texts go in and come out here; nothing
 *  knows about widgets or the line. */
namespace wf::fivetone {

inline constexpr int kBlockCount = 17;     ///< blocks 0..16 of a write and of a read
inline constexpr int kEncodeRowCount = 16; ///< rows 1..16 of `xg2`
inline constexpr int kDecodeRowCount = 16; ///< rows 1..16 of `xg3`

/** One row of the standards grid `xg1`; row s is standard code s. */
struct StandardRow
{
    QString txTime;     ///< column 1, ms
    QString groupCode;  ///< column 2, one digit "0".."F"
    QString repeatCode; ///< column 3, one digit
};

/** One row of the encode table `xg2`: the sequences the radio sends, as hexadecimal digits. */
struct EncodeRow
{
    QString first;        ///< column 1, the row's key
    QString second;       ///< column 2
    QString third;        ///< column 3
    QString confirmation; ///< column 4
    QString standard;     ///< column 5
};

/** One row of the decode table `xg3`: the sequences the radio reacts to and what each triggers. */
struct DecodeRow
{
    QString standard;  ///< column 1, the row's key
    QString first;     ///< column 2
    QString function1; ///< column 3
    QString second;    ///< column 4
    QString function2; ///< column 5
    QString third;     ///< column 6
    QString function3; ///< column 7
    QString response;  ///< column 8
};

/** The standard codes the last read received, row by row. A standard cell that holds none of
 *  the five names writes its row's code back, so a read and a write leave the radio as it was
 *  even where it keeps a code the window has no name for. 0 before any read. */
struct ReadStandards
{
    std::array<quint8, kEncodeRowCount> encode{}; ///< the whole standard byte of each row
    std::array<quint8, kDecodeRowCount> decode{}; ///< the low 4 bits of each row's first byte
};

/** Everything the 5-Tone window shows, as texts, and the standard codes of the last read. Start
 *  from initialTexts() (fivetonecontrols.h) for a fresh window. */
struct Texts
{
    QString CCIR;                                      ///< the standard whose tones are shown
    std::array<StandardRow, kStandardCount> standards; ///< `xg1`; index 0 is CCIR
    std::array<EncodeRow, kEncodeRowCount> encodeRows; ///< `xg2`; index 0 is row 1
    QString cb1;                                       ///< first frame delay, ms
    QString cb2;                                       ///< second frame delay, ms
    QString cb3;                                       ///< third frame delay, ms
    QString cb4;                                       ///< first tone extension, ms
    std::array<DecodeRow, kDecodeRowCount> decodeRows; ///< `xg3`; index 0 is row 1
    QString ed1;                                       ///< reset time, ms; no block carries it
    ReadStandards readStandards;
};

/** The seventeen payloads of a write, block 0 first, built and checked before anything is sent.
 *  Every code cell must hold hexadecimal digits: an empty cell fails as "'$' is not a valid
 *  integer value", like any text that does not convert, and a number its bytes cannot hold (a
 *  code of more than six digits, a transmit time above 255) is refused with the field's range;
 *  the first failure in block order is the message and no payloads come back. Function words
 *  are those of `language`; any other text writes a call (0). Bytes 13 and 27 of the encode
 *  blocks are 0. */
WriteBlocks<kBlockCount> encodeBlocks(const Texts &texts, Language language);

/** Writes a received frame of bank 4 (frame byte 2 names the block) into the texts and keeps
 *  the standard codes it holds. A standard code outside 1 to 5 leaves its cell; a function code
 *  the radio does not define shows as a call. Returns false, changing nothing, for a block
 *  above 16. */
bool decodeBlock(const quint8 *frame, Texts &texts, Language language);

} // namespace wf::fivetone
