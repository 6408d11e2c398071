// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "channels/codetables.h"
#include "i18n/language.h"
#include "signalling/controls.h"
#include "signalling/fieldtable.h"

#include <QString>

#include <array>

/** The DTMF settings of the radio, bank 1: block 0 the encoder timing, the identity code, the
 *  decoder options and the digit counts; blocks 1 to 3 the sixteen auto-dial memories, six to a
 *  block. The window's texts go in and come out here; nothing knows about widgets or the line. */
namespace wf::dtmf {

inline constexpr int kBlockCount = 4;      ///< blocks 0..3 of a write and of a read
inline constexpr int kMemoryCount = 16;    ///< rows 1..16 of `xg2`
inline constexpr int kCountedMemories = 8; ///< memories 1..8 have a digit count in block 0

/** "Off" of the group code, the reset timer, the call alert and the auto answer. */
inline constexpr WordPair kOff{u"关", u"Off"};

inline constexpr CodeWord kDCodeWords[] = {{0, {u"D码", u"D Code"}}};
/** `cb5`: 0 is the D key's own code; other values are milliseconds / 100. */
inline constexpr CodeTable kDCode{kDCodeWords};

inline constexpr CodeWord kOffWords[] = {{0, kOff}};
/** `cb7`: 0 switches the reset timer off; other values are seconds. */
inline constexpr CodeTable kOffOnly{kOffWords};

// In the order of the drop-down list; the codes are those of the auto-dial memories.
inline constexpr CodeWord kGroupCodeWords[] = {
    {0xFF, kOff},    {13, same(u"A")}, {14, same(u"B")}, {15, same(u"C")},
    {0, same(u"D")}, {11, same(u"*")}, {12, same(u"#")},
};
/** `cb6`: the group call digit, 0xFF when there is none. */
inline constexpr CodeTable kGroupCodes{kGroupCodeWords};

inline constexpr CodeWord kCallAlertWords[] = {
    {0, kOff},
    {1, {u"常规", u"Normal"}},
    {2, {u"连续", u"Continuous"}},
};
/** `cb8`: how the radio alerts on a call. */
inline constexpr CodeTable kCallAlerts{kCallAlertWords};

inline constexpr CodeWord kTranspondWords[] = {
    {0, kOff},
    {1, {u"告警", u"Alert"}},
    {2, {u"ID码", u"ID Code"}},
};
/** `cb9`: what the radio answers a call with. */
inline constexpr CodeTable kTransponds{kTranspondWords};

/** Everything the DTMF window shows, as texts: the combo boxes, the check boxes, the identity
 *  code, the auto-dial memories and the digit-count table the last read left. Start from
 *  initialTexts() (dtmfcontrols.h) for a fresh window. */
struct Texts
{
    QString cb1;                                ///< DTMF rate, digits per second
    QString cb2;                                ///< first digit time, ms
    QString cb3;                                ///< first digit delay, ms
    QString cb4;                                ///< "*" and "#" tone time, ms
    QString cb5;                                ///< D key setting, ms or the D code word
    bool CheckB1 = false;                       ///< side tone
    QString Edit1;                              ///< identity code
    QString cb6;                                ///< group code
    QString cb7;                                ///< auto reset timer, s or off
    QString cb8;                                ///< call alert
    QString cb9;                                ///< auto answer
    bool CheckB2 = false;                       ///< clear auto answer
    std::array<QString, kMemoryCount> memories; ///< `xg2` column 1; index 0 is row 1
    /** Entry 0 the identity code's digit count, entries 1..8 those of memories 1..8. */
    std::array<quint8, 1 + kCountedMemories> digitCounts{};
};

/** The four payloads of a write, block 0 first, built and checked before anything is sent. A
 *  text that does not convert, a number its byte cannot hold, or a DTMF number of more than
 *  eight characters or with a character that is no DTMF digit gives the message of the first
 *  such text and no payloads. */
WriteBlocks<kBlockCount> encodeBlocks(const Texts &texts, Language language);

/** Writes a received frame of bank 1 (frame byte 2 names the block) into the texts: block 0
 *  also fills the digit-count table that memories 1..8 are shown with; memories 9..16 show as
 *  many characters as their value has significant codes. Values the lists do not define leave
 *  their text. Returns false, changing nothing, for a block the bank does not have. */
bool decodeBlock(const quint8 *frame, Texts &texts, Language language);

} // namespace wf::dtmf
