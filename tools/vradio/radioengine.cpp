// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/vradio/radioengine.h"

#include <algorithm>

namespace wf::vradio {

Occurrence Occurrence::nth(int n)
{
    Occurrence o;
    o.m_nth = n;
    return o;
}

Occurrence Occurrence::every()
{
    Occurrence o;
    o.m_every = true;
    return o;
}

bool Occurrence::parse(const QString &text, Occurrence *out)
{
    if (text == QLatin1String("all")) {
        *out = every();
        return true;
    }
    bool ok = false;
    const int n = text.toInt(&ok, 10);
    if (!ok || n < 1)
        return false;
    *out = nth(n);
    return true;
}

RadioEngine::RadioEngine(RadioMemory *memory, const FaultOptions &faults)
    : m_memory(memory)
    , m_faults(faults)
{}

QByteArray RadioEngine::dataFrame(int bank, int block, const Payload &payload)
{
    FrameBuffer tx{};
    putBlockHeader(tx.data(), static_cast<quint8>(bank), static_cast<quint8>(block));
    std::copy(payload.begin(), payload.end(), tx.begin() + frame::kPayloadOffset);
    ComputeFrameCrc(tx);
    return QByteArray(reinterpret_cast<const char *>(tx.data()), frame::kBlockFrameSize);
}

void RadioEngine::classify(const QByteArray &frame, FrameResult *result) const
{
    const auto *bytes = reinterpret_cast<const quint8 *>(frame.constData());
    const int size = static_cast<int>(frame.size());
    if (size >= frame::kHandshakeSize &&
        std::equal(frame::kHandshake.begin(), frame::kHandshake.end(), bytes)) {
        result->kind = FrameKind::Handshake;
    } else if (size >= frame::kHeaderSize && bytes[3] == frame::kHeaderMark &&
               (bytes[0] == frame::kReadCode || bytes[0] == frame::kWriteCode)) {
        result->kind =
            bytes[0] == frame::kReadCode ? FrameKind::ReadRequest : FrameKind::BlockFrame;
        result->bank = bytes[1];
        result->block = bytes[2];
    } else if (size >= 1 && bytes[0] == frame::kAck) {
        result->kind = FrameKind::Acknowledgement;
    } else {
        result->kind = FrameKind::Unknown;
    }
}

QByteArray RadioEngine::answer(const QByteArray &frame, FrameResult *result)
{
    const auto *bytes = reinterpret_cast<const quint8 *>(frame.constData());
    const QString noBlock = QStringLiteral("no block %1 in bank %2: no answer");

    switch (result->kind) {
    case FrameKind::Handshake:
        return QByteArray(1, static_cast<char>(frame::kAck));

    case FrameKind::ReadRequest: {
        if (!RadioMemory::has(result->bank, result->block)) {
            result->notes << noBlock.arg(result->block).arg(result->bank);
            return {};
        }
        ++m_dataFrames;
        int block = result->block;
        if (m_faults.wrongBlock.hits(m_dataFrames)) {
            ++block;
            result->notes
                << QStringLiteral("fault --wrong-block: answering with block %1").arg(block);
        }
        const Payload payload = RadioMemory::has(result->bank, block)
                                    ? m_memory->payload(result->bank, block)
                                    : Payload{};
        return dataFrame(result->bank, block, payload);
    }

    case FrameKind::BlockFrame: {
        if (frame.size() < frame::kBlockFrameSize) {
            result->notes << QStringLiteral("block frame of %1 bytes: no answer").arg(frame.size());
            return {};
        }
        if (!hasValidFrameCrc(bytes)) {
            result->notes << QStringLiteral("bad CRC: no answer");
            return {};
        }
        if (!RadioMemory::has(result->bank, result->block)) {
            result->notes << noBlock.arg(result->block).arg(result->bank);
            return {};
        }
        Payload payload;
        std::copy_n(bytes + frame::kPayloadOffset, frame::kPayloadSize, payload.begin());
        if (result->bank == m_faults.storeFlipBank && result->block == m_faults.storeFlipBlock &&
            m_faults.storeFlipByte >= 0 && m_faults.storeFlipByte < frame::kPayloadSize) {
            // The radio acknowledges what it got but keeps one byte wrong: only reading the
            // block back shows it.
            payload[std::size_t(m_faults.storeFlipByte)] ^= 0xFF;
            result->notes << QStringLiteral("fault --store-flip: payload byte %1 stored flipped")
                                 .arg(m_faults.storeFlipByte);
        }
        if (payload != m_memory->payload(result->bank, result->block)) {
            m_memory->setPayload(result->bank, result->block, payload);
            result->stored = true;
        }
        return QByteArray(1, static_cast<char>(frame::kAck));
    }

    case FrameKind::Acknowledgement:
        result->notes << QStringLiteral("acknowledgement from the program: ignored");
        return {};

    case FrameKind::Unknown:
        break;
    }
    result->notes << QStringLiteral("unknown frame: ignored");
    return {};
}

void RadioEngine::addReplyActions(const QByteArray &answerBytes, FrameResult *result)
{
    ++m_replies;
    QByteArray reply = answerBytes;
    const bool isDataFrame = reply.size() == frame::kBlockFrameSize;

    if (isDataFrame && m_faults.foreignCrc) {
        // The same CRC stored the other way round: every frame fails the program's check, and
        // every copy of a block is the same.
        std::swap(reply[frame::kCrcOffset], reply[frame::kCrcOffset + 1]);
    }

    if (m_faults.corruptReply.hits(m_replies)) {
        // A payload byte of a data frame, so the header still names the block but the CRC fails.
        const int at = isDataFrame ? frame::kPayloadOffset : 0;
        reply[at] = static_cast<char>(reply[at] ^ 0xFF);
        result->notes << QStringLiteral("fault --corrupt-reply: frame byte %1 flipped").arg(at);
    }

    const QByteArray ack(1, static_cast<char>(frame::kAck));
    if (isDataFrame && m_faults.splitReply.hits(m_dataFrames)) {
        const int at = std::clamp(m_faults.splitAt, 1, frame::kBlockFrameSize - 1);
        result->actions << ReplyAction::send(reply.left(at))
                        << ReplyAction::pause(m_faults.splitPauseMs)
                        << ReplyAction::send(reply.mid(at));
        result->notes << QStringLiteral("fault --split-reply: %1 ms pause after byte %2")
                             .arg(m_faults.splitPauseMs)
                             .arg(at - 1);
    } else if (!isDataFrame && m_faults.doubleAck) {
        if (m_faults.doubleAckGapMs > 0) {
            result->actions << ReplyAction::send(reply)
                            << ReplyAction::pause(m_faults.doubleAckGapMs)
                            << ReplyAction::send(ack);
        } else {
            result->actions << ReplyAction::send(reply + ack);
        }
        result->notes << QStringLiteral("fault --double-ack");
    } else {
        result->actions << ReplyAction::send(reply);
    }
}

FrameResult RadioEngine::handleFrame(const QByteArray &frame)
{
    FrameResult result;
    ++m_frames;
    classify(frame, &result);

    if (m_faults.hangupAfter > 0 && m_frames >= m_faults.hangupAfter) {
        // The cable comes out while this frame is on the way: the radio never gets it whole.
        result.actions << ReplyAction::hangUp();
        result.notes << QStringLiteral("fault --hangup-after: closing the line");
    } else if (m_faults.silentFirst > 0 && m_frames <= m_faults.silentFirst) {
        result.notes << QStringLiteral("fault --silent-first: not listening yet");
    } else if (m_faults.stopAfter > 0 && m_frames > m_faults.stopAfter) {
        result.notes << QStringLiteral("fault --stop-after: no longer answering");
    } else {
        const QByteArray reply = answer(frame, &result);
        if (!reply.isEmpty())
            addReplyActions(reply, &result);
    }
    return result;
}

} // namespace wf::vradio
