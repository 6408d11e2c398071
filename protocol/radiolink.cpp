// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/radiolink.h"

#include <QThread>

#include <algorithm>

namespace wf {

namespace {
constexpr int kChannelBlocks = 16;
constexpr int kSettingsBlock = kChannelBlocks + 1; ///< the write's block after the channels
constexpr int kWriteDone = kSettingsBlock + 1;     ///< acknowledgements of a complete write
constexpr quint8 kReadEndMark = 20; ///< block number that stops further requests of a read
/// Bytes of a data frame that are read: the header and the payload; the CRC is not checked.
constexpr qsizetype kDataFrameUsed = frame::kHeaderSize + frame::kPayloadSize;
} // namespace

RadioLink::RadioLink(MainTransferHost &host, QObject *parent)
    : QObject(parent)
    , m_host(host)
{
    Comm1.setReadIntervalTimeout(20);
    Comm1.setOutx_XonXoffFlow(false);
    Comm1.setInx_XonXoffFlow(false);
    Tim1.setInterval(kRepeatMs);
    connect(&Comm1, &TComm::OnReceiveData, this, &RadioLink::Comm1ReceiveData);
    connect(&Tim1, &QTimer::timeout, this, &RadioLink::Tim1Timer);
}

RadioLink::~RadioLink() = default;

void RadioLink::addSignallingTransfer(SignallingTransfer *transfer)
{
    m_signalling.push_back(transfer);
}

void RadioLink::abandonSignallingTransfers()
{
    for (SignallingTransfer *transfer : m_signalling) {
        if (transfer->readInProgress() || transfer->writeInProgress())
            transfer->abandonTransfer();
    }
}

void RadioLink::reopenPort(const QString &portName)
{
    Comm1.ClosePort();
    Comm1.setCommName(portName);
    Comm1.OpenPort();
}

void RadioLink::sendHandshake()
{
    putHandshake(TxBuffer);
    ComputeFrameCrc();
    SendData(frame::kHandshakeSize);
}

void RadioLink::SendData(int count)
{
    for (int i = 0; i < count; ++i)
        Comm1.WritePortData(&TxBuffer[i], 1);
}

void RadioLink::restartFromHandshake()
{
    // The radio needs a moment after the line was opened again before it takes a handshake.
    QThread::msleep(kRetryPauseMs);
    if (m_host.mainWriteInProgress())
        WriteAckCount = 0;
    else if (m_host.mainReadInProgress())
        NextReadBlock = 0;
    putHandshake(TxBuffer);
    Comm1.WritePortData(TxBuffer.data(), frame::kHandshakeSize);
    startRepeat();
}

void RadioLink::startRepeat()
{
    if (!Tim1.isActive())
        Tim1.start();
}

void RadioLink::cancel()
{
    Tim1.stop();
    Comm1.ClosePort();
}

void RadioLink::Tim1Timer()
{
    Comm1.WritePortData(TxBuffer.data(), frame::kBlockFrameSize);
}

void RadioLink::Comm1ReceiveData(const QByteArray &buffer)
{
    const auto length = std::min<qsizetype>(buffer.size(), kFrameBufferSize);
    std::copy_n(buffer.constData(), length, ReceiveCopy.begin());
    std::copy_n(buffer.constData(), length, RxImage.begin());
    // A data frame cut short (a line that stalled mid-frame) would be read together with the
    // stale tail of the frame before it and stored as the radio's data. It is left unanswered,
    // like noise, and the repeat asks for the block again.
    m_dataFrame = ReceiveCopy[0] == frame::kWriteCode && length >= kDataFrameUsed;

    offerToSignalling();

    // The radio took the handshake of a read: ask for the first channel.
    if (ReceiveCopy[0] == frame::kAck && m_host.mainReadInProgress()) {
        putRequest(quint8(Bank::Channels), 1);
        SendData(frame::kRequestSize);
        startRepeat();
    }
    if (m_dataFrame && m_host.mainReadInProgress())
        mainReadStep();

    // Some radios want every data frame whose byte 5 is 0x30 acknowledged, whichever window
    // asked for it.
    if (m_dataFrame && ReceiveCopy[5] == frame::kExtraAckMark) {
        TxBuffer[0] = frame::kAck;
        SendData(1);
    }

    const int block = mainWriteAcknowledged();
    if (block > 0 && block <= kChannelBlocks && m_host.mainWriteInProgress())
        mainWriteStep(block);

    ReceiveCopy[0] = 0;
    RxImage[0] = 0;
}

void RadioLink::offerToSignalling()
{
    for (SignallingTransfer *transfer : m_signalling) {
        if (ReceiveCopy[0] == frame::kAck && transfer->writeInProgress())
            transfer->writeStep();
        if (m_dataFrame && transfer->readInProgress() && ReceiveCopy[1] == transfer->bank())
            transfer->readStep();
    }
}

void RadioLink::mainReadStep()
{
    Tim1.stop();
    if (m_host.decodeMainBlock(ReceiveCopy)) {
        // The settings came last: the read is complete and asks for nothing more.
        ReceiveCopy[2] = kReadEndMark;
        Comm1.ClosePort();
        m_host.mainReadComplete();
    }
    const int next = ReceiveCopy[2] + 1;
    NextReadBlock = next;
    if (next <= kChannelBlocks) {
        putRequest(quint8(Bank::Channels), quint8(next));
        Comm1.WritePortData(TxBuffer.data(), frame::kRequestSize);
        m_host.stepProgress();
    } else if (next == kSettingsBlock) {
        QThread::msleep(kSettingsPauseMs);
        NextReadBlock = 0;
        putRequest(quint8(Bank::Settings), 0);
        SendData(frame::kRequestSize);
        m_host.settingsRequested();
    } else {
        // A finished read, or a channel numbered past the last: nothing more to ask for. Only
        // Retry or Cancel leave the second case, so the repeat keeps its last request going.
        if (!m_host.mainReadInProgress())
            return;
    }
    startRepeat();
}

int RadioLink::mainWriteAcknowledged()
{
    int block = 0;
    if (ReceiveCopy[0] == frame::kAck && m_host.mainWriteInProgress()) {
        Tim1.stop();
        block = ++WriteAckCount;
        m_host.stepProgress();
    }
    if (!m_host.mainWriteInProgress())
        return 0;
    if (WriteAckCount == kWriteDone) {
        WriteAckCount = 0;
        m_host.mainWriteComplete();
        return 0;
    }
    // Any chunk while the settings block is outstanding sends it again, a stray byte included.
    if (WriteAckCount == kSettingsBlock) {
        const QString error = m_host.encodeMainBlock(TxBuffer, kSettingsBlock);
        if (error.isEmpty()) {
            ComputeFrameCrc();
            SendData(frame::kBlockFrameSize);
            startRepeat();
        }
        return 0;
    }
    return block;
}

void RadioLink::mainWriteStep(int block)
{
    // The texts were all checked before the write began; a failure here stops the write with
    // the repeat timer still, so Retry or Cancel decide what happens.
    if (!m_host.encodeMainBlock(TxBuffer, block).isEmpty())
        return;
    ComputeFrameCrc();
    SendData(frame::kBlockFrameSize);
    startRepeat();
}

} // namespace wf
