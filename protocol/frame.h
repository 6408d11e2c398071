// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <array>
#include <cstddef>

/** What crosses the serial line between the tool and the radio: frame shapes, banks, the CRC. */
namespace wf {

/** Size of the transmit buffer, the receive image and the receive copy. */
inline constexpr int kFrameBufferSize = 20001;

/** One of the program's 20001-byte frame arrays: the transmit buffer, the receive image or the
 *  copy of the chunk received last. Frame byte N is element N. */
using FrameBuffer = std::array<quint8, kFrameBufferSize>;

namespace frame {
inline constexpr quint8 kAck = 0x06;          ///< acknowledgement byte, both directions
inline constexpr quint8 kWriteCode = 0x57;    ///< 'W': a block frame or a data frame
inline constexpr quint8 kReadCode = 0x52;     ///< 'R': a read request
inline constexpr quint8 kHeaderMark = 0x20;   ///< frame byte 3 of requests and block frames
inline constexpr quint8 kExtraAckMark = 0x30; ///< data-frame byte 5 that asks for an extra 0x06

inline constexpr int kHandshakeSize = 7;
inline constexpr int kRequestSize = 4;
inline constexpr int kBlockFrameSize = 34;
inline constexpr int kHeaderSize = 4;
inline constexpr int kPayloadOffset = 4; ///< payload byte N is frame byte N + 4
inline constexpr int kPayloadSize = 28;
inline constexpr int kCrcOffset = 32; ///< CRC high byte, then low byte at 33

inline constexpr std::array<quint8, kHandshakeSize> kHandshake = {'P', 'R', 'O', 'G',
                                                                  'R', 'A', 'M'};
} // namespace frame

/** The memory banks of the radio (frame byte 1). */
enum class Bank : quint8 {
    Channels = 0, ///< blocks 1..16, one per channel
    Dtmf = 1,
    Fsk = 2,
    TwoTone = 3,
    FiveTone = 4,
    Settings = 5, ///< block 0, the radio-wide settings
};

/** The blocks one bank holds, first to last. */
struct BankBlocks
{
    Bank bank;
    quint8 first;
    quint8 last;
    constexpr int count() const { return last - first + 1; }
    constexpr bool contains(int block) const { return block >= first && block <= last; }
};

/** Every block of the radio's memory that the program reads or writes, bank by bank. */
inline constexpr std::array<BankBlocks, 6> kRadioMemory = {{
    {Bank::Channels, 1, 16},
    {Bank::Settings, 0, 0},
    {Bank::Dtmf, 0, 3},
    {Bank::Fsk, 0, 2},
    {Bank::TwoTone, 0, 11},
    {Bank::FiveTone, 0, 16},
}};

/** True when the radio's memory has this block of this bank. */
bool isRadioBlock(int bank, int block);

/** CRC-16 with the reflected polynomial 0xA001, initial value 0xFFFF and no final XOR. */
quint16 crc16(const quint8 *data, std::size_t length);

/** Computes the CRC of frame bytes 0..31 and stores it high byte first in bytes 32 and 33. */
void ComputeFrameCrc(FrameBuffer &tx);

/** True when bytes 32 and 33 of a 34-byte block frame hold the CRC of bytes 0..31. */
bool hasValidFrameCrc(const quint8 *frame);

/** Writes "PROGRAM" into bytes 0..6; later bytes keep what earlier frames left there. */
void putHandshake(FrameBuffer &tx);

/** Writes the read request 'R', bank, block, 0x20 into bytes 0..3. */
void putReadRequest(FrameBuffer &tx, quint8 bank, quint8 block);

/** Writes the block frame header 'W', bank, block, 0x20 into bytes 0..3. */
void putBlockHeader(quint8 *frame, quint8 bank, quint8 block);

/** Little-endian fields of a payload; `payload` points at payload byte 0. */
quint16 payloadU16(const quint8 *payload, int at);
quint32 payloadU32(const quint8 *payload, int at);
void putPayloadU16(quint8 *payload, int at, quint16 value);
void putPayloadU32(quint8 *payload, int at, quint32 value);

} // namespace wf
