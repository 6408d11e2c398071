// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/frame.h"

#include <algorithm>

namespace wf {

bool isRadioBlock(int bank, int block)
{
    return std::any_of(kRadioMemory.begin(), kRadioMemory.end(), [&](const BankBlocks &b) {
        return static_cast<int>(b.bank) == bank && b.contains(block);
    });
}

quint16 crc16(const quint8 *data, std::size_t length)
{
    quint16 crc = 0xFFFF;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<quint16>((crc >> 1) ^ 0xA001)
                            : static_cast<quint16>(crc >> 1);
    }
    return crc;
}

void ComputeFrameCrc(FrameBuffer &tx)
{
    const quint16 crc = crc16(tx.data(), frame::kCrcOffset);
    // The radio wants the high byte first, the opposite of the usual order for this CRC.
    tx[frame::kCrcOffset] = static_cast<quint8>(crc >> 8);
    tx[frame::kCrcOffset + 1] = static_cast<quint8>(crc & 0xFF);
}

bool hasValidFrameCrc(const quint8 *frame)
{
    const quint16 crc = crc16(frame, frame::kCrcOffset);
    return frame[frame::kCrcOffset] == (crc >> 8) && frame[frame::kCrcOffset + 1] == (crc & 0xFF);
}

void putHandshake(FrameBuffer &tx)
{
    std::copy(frame::kHandshake.begin(), frame::kHandshake.end(), tx.begin());
}

void putReadRequest(FrameBuffer &tx, quint8 bank, quint8 block)
{
    tx[0] = frame::kReadCode;
    tx[1] = bank;
    tx[2] = block;
    tx[3] = frame::kHeaderMark;
}

void putBlockHeader(quint8 *frame, quint8 bank, quint8 block)
{
    frame[0] = frame::kWriteCode;
    frame[1] = bank;
    frame[2] = block;
    frame[3] = frame::kHeaderMark;
}

quint16 payloadU16(const quint8 *payload, int at)
{
    return static_cast<quint16>(payload[at] | (payload[at + 1] << 8));
}

quint32 payloadU32(const quint8 *payload, int at)
{
    return static_cast<quint32>(payload[at]) | (static_cast<quint32>(payload[at + 1]) << 8) |
           (static_cast<quint32>(payload[at + 2]) << 16) |
           (static_cast<quint32>(payload[at + 3]) << 24);
}

void putPayloadU16(quint8 *payload, int at, quint16 value)
{
    payload[at] = static_cast<quint8>(value & 0xFF);
    payload[at + 1] = static_cast<quint8>(value >> 8);
}

void putPayloadU32(quint8 *payload, int at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        payload[at + i] = static_cast<quint8>((value >> (8 * i)) & 0xFF);
}

} // namespace wf
