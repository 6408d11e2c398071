// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "channels/codetables.h"
#include "i18n/language.h"
#include "i18n/words.h"
#include "signalling/controls.h"
#include "signalling/fieldtable.h"

#include <QString>

#include <array>

/** The two-tone sequential signalling of the radio, bank 3: block 0 the named tones A to D, the
 *  reset time, the tone timing and encode pairs 1 and 2; blocks 1 and 2 encode pairs 3 to 9 and
 *  10 to 16; blocks 3 to 10 the decode table, two rows a block; block 11 stands for decode rows
 *  17 and 18, which the radio does not have, and is written as zeros. The window's texts go in
 *  and come out here; nothing knows about widgets or the line. */
namespace wf::twotone {

inline constexpr int kBlockCount = 12;     ///< blocks 0..11 of a write
inline constexpr int kReadBlockCount = 11; ///< blocks 0..10 of a read
inline constexpr int kPairCount = 16;      ///< rows 1..16 of `xg1`
inline constexpr int kDecodeRowCount = 16; ///< rows 1..16 of `xg2`
inline constexpr int kDecodersPerRow = 4;

inline constexpr CodeWord kResponseWords[] = {
    {0, words::kNone},
    {1, {u"提醒", u"REMIND"}},
    {2, {u"回复", u"REPLY"}},
    {3, {u"提醒并回复", u"REMIND+REPLY"}},
};
/** How a decoder answers a call; a text is compared with the words of the window's language. */
inline constexpr CodeTable kResponses{kResponseWords};

// The radio names a pair by the two tones' letters as hexadecimal digits, first tone high.
inline constexpr CodeWord kPairWords[] = {
    {0xAB, same(u"AB")}, {0xAC, same(u"AC")}, {0xAD, same(u"AD")}, {0xBA, same(u"BA")},
    {0xBC, same(u"BC")}, {0xBD, same(u"BD")}, {0xCA, same(u"CA")}, {0xCB, same(u"CB")},
    {0xCD, same(u"CD")}, {0xDA, same(u"DA")}, {0xDC, same(u"DC")}, {0xDB, same(u"DB")},
};
/** The tone pairs a decoder recognises, in the order of the pair editor; the code is the byte. */
inline constexpr CodeTable kPairs{kPairWords};

/** The tone letters a pair shows; a half byte outside them shows nothing. */
inline constexpr QStringView kToneLetters = u"ABCD";

/** One row of the encode table `xg1`: a pair of frequencies in Hz; an empty cell stands for 0. */
struct EncodePair
{
    QString first;  ///< column 1
    QString second; ///< column 2
};

/** One row of the decode table `xg2`: four decoders, each a tone pair, a response and a prompt
 *  in columns 3d+1, 3d+2 and 3d+3. A decoder whose three cells are empty is written as three
 *  zero bytes; an empty pair in a decoder that has other cells is written as 0. */
struct DecodeRow
{
    QString decode1, response1, prompt1;
    QString decode2, response2, prompt2;
    QString decode3, response3, prompt3;
    QString decode4, response4, prompt4;
};

/** Everything the 2-Tone window shows, as texts. Start from initialTexts() (twotonecontrols.h)
 *  for a fresh window. */
struct Texts
{
    QString ed1;                                       ///< tone A, Hz
    QString ed2;                                       ///< tone B, Hz
    QString ed3;                                       ///< tone C, Hz
    QString ed4;                                       ///< tone D, Hz
    QString ed5;                                       ///< reset time, ms
    QString cb1;                                       ///< first tone time, ms
    QString cb2;                                       ///< second tone time, ms
    QString cb3;                                       ///< interval between the tones, ms
    std::array<EncodePair, kPairCount> pairs;          ///< `xg1`; index 0 is row 1
    std::array<DecodeRow, kDecodeRowCount> decodeRows; ///< `xg2`; index 0 is row 1
};

/** The twelve payloads of a write, block 0 first, built and checked before anything is sent. A
 *  text that does not convert, or a number its bytes cannot hold (a frequency above 65535, a
 *  prompt above 255), gives the message of the first such text in block order and no payloads.
 *  Response words are those of `language`; any other text writes 0. */
WriteBlocks<kBlockCount> encodeBlocks(const Texts &texts, Language language);

/** Writes a received frame of bank 3 (frame byte 2 names the block) into the texts. A decoder
 *  whose three bytes are 0 empties its three cells; a pair byte of 0 shows an empty pair; a
 *  response code the radio does not define leaves its text. So a written row gives the radio
 *  back the bytes it held, rows with decoders left unused included. Returns false, changing
 *  nothing, for a block a read does not ask for (11 and above). */
bool decodeBlock(const quint8 *frame, Texts &texts, Language language);

} // namespace wf::twotone
