// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/radiolink.h"

#include <QDateTime>
#include <QLoggingCategory>
#include <QThread>

#include <algorithm>

namespace wf {

namespace {
constexpr int kChannelBlocks = 16;
constexpr int kSettingsBlock = kChannelBlocks + 1; ///< the write's block after the channels
constexpr int kWriteDone = kSettingsBlock + 1;     ///< acknowledgements of a complete write
constexpr quint8 kReadEndMark = 20; ///< block number that stops further requests of a read

Q_LOGGING_CATEGORY(lcLine, "writefreq.line")
} // namespace

RadioLink::RadioLink(MainTransferHost &host, QObject *parent)
    : QObject(parent)
    , m_host(host)
{
    Comm1.setReadIntervalTimeout(20);
    Comm1.setOutx_XonXoffFlow(false);
    Comm1.setInx_XonXoffFlow(false);
    Tim1.setInterval(kRepeatMs);
    Tim1.setTimerType(Qt::PreciseTimer);
    connect(&Comm1, &TComm::OnReceiveData, this, &RadioLink::Comm1ReceiveData);
    connect(&Comm1, &TComm::OnRequestHangup, this, &RadioLink::handleLineLost);
    connect(&Tim1, &QTimer::timeout, this, &RadioLink::Tim1Timer);
}

RadioLink::~RadioLink() = default;

void RadioLink::addSignallingTransfer(SignallingTransfer *transfer)
{
    m_signalling.push_back(transfer);
}

void RadioLink::removeSignallingTransfer(SignallingTransfer *transfer)
{
    m_signalling.erase(std::remove(m_signalling.begin(), m_signalling.end(), transfer),
                       m_signalling.end());
}

bool RadioLink::transferRunning() const
{
    if (m_host.mainReadInProgress() || m_host.mainWriteInProgress())
        return true;
    return std::any_of(m_signalling.begin(), m_signalling.end(), [](SignallingTransfer *t) {
        return t->readInProgress() || t->writeInProgress();
    });
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

void RadioLink::putRequest(quint8 bank, quint8 block)
{
    putReadRequest(TxBuffer, bank, block);
    m_askedBank = bank;
    m_askedBlock = block;
}

void RadioLink::sendHandshake()
{
    m_askedBank = m_askedBlock = -1;
    putHandshake(TxBuffer);
    ComputeFrameCrc();
    m_handshakeOutstanding = true;
    SendData(frame::kHandshakeSize);
}

void RadioLink::SendData(int count)
{
    for (int i = 0; i < count; ++i)
        Comm1.WritePortData(&TxBuffer[i], 1);
    lineBusy();
}

void RadioLink::sendAtOnce(int count)
{
    Comm1.WritePortData(TxBuffer.data(), count);
    lineBusy();
}

void RadioLink::lineBusy()
{
    // A repeat that follows a frame closely runs into it on the line: a radio that ends a frame
    // at a short silence takes both as one, stores the first and acknowledges once, and that
    // acknowledgement would be counted for the frame after it. The repeat is for a radio that
    // stays silent, so it waits for a whole quiet period.
    if (Tim1.isActive())
        Tim1.start();
}

void RadioLink::restartFromHandshake()
{
    // The radio needs a moment after the line was opened again before it takes a handshake.
    QThread::msleep(kRetryPauseMs);
    if (m_host.mainWriteInProgress())
        WriteAckCount = 0;
    else if (m_host.mainReadInProgress())
        NextReadBlock = 0;
    m_askedBank = m_askedBlock = -1;
    putHandshake(TxBuffer);
    m_handshakeOutstanding = true;
    sendAtOnce(frame::kHandshakeSize);
    startRepeat();
}

void RadioLink::startRepeat()
{
    Tim1.start();
}

void RadioLink::cancel()
{
    Tim1.stop();
    m_handshakeOutstanding = false;
    Comm1.ClosePort();
}

void RadioLink::handleLineLost()
{
    // Repeating into a line that is gone only hides the fault; the user decides with Retry,
    // which opens the port again, or Cancel.
    Tim1.stop();
    emit lineLost();
}

void RadioLink::Tim1Timer()
{
    sendAtOnce(frame::kBlockFrameSize);
}

void RadioLink::Comm1ReceiveData(const QByteArray &buffer)
{
    lineBusy();
    emit radioSpoke();
    takeChunk(buffer);
    const bool reading = m_host.mainReadInProgress() ||
                         std::any_of(m_signalling.begin(), m_signalling.end(),
                                     [](SignallingTransfer *t) { return t->readInProgress(); });
    if (m_dataFrame && reading && !answersRequest())
        emit blockNotAskedFor(m_askedBank, m_askedBlock);
    offerToSignalling();

    // The radio took the handshake of a read: ask for the first channel. A 0x06 at any other
    // time is no reason to start again from channel 1: the tail of a frame that arrived in two
    // pieces can start with one.
    if (ReceiveCopy[0] == frame::kAck && m_handshakeOutstanding && m_host.mainReadInProgress()) {
        putRequest(quint8(Bank::Channels), 1);
        SendData(frame::kRequestSize);
        startRepeat();
    }
    if (m_dataFrame && m_host.mainReadInProgress() && answersRequest())
        mainReadStep();

    // Some radios want every data frame whose byte 5 is 0x30 acknowledged, whichever window
    // asked for it. The request stays in the transmit buffer, for the repeat to send should
    // the next answer be lost.
    if (m_dataFrame && ReceiveCopy[5] == frame::kExtraAckMark) {
        static constexpr quint8 kExtraAck = frame::kAck;
        Comm1.WritePortData(&kExtraAck, 1);
        lineBusy();
    }

    const int block = mainWriteAcknowledged();
    if (block > 0 && block <= kChannelBlocks && m_host.mainWriteInProgress())
        mainWriteStep(block);

    if (ReceiveCopy[0] == frame::kAck)
        m_handshakeOutstanding = false;
    ReceiveCopy[0] = 0;
    RxImage[0] = 0;
}

bool RadioLink::answersRequest() const
{
    // A read takes only the block it asked for. Any other (a block the radio was not asked for,
    // one beyond the bank, a late copy of the one before) is left like noise, and the repeat asks
    // again: taking it would skip a block, or end the read with blocks never read.
    return m_dataFrame && ReceiveCopy[1] == m_askedBank && ReceiveCopy[2] == m_askedBlock;
}

void RadioLink::takeChunk(const QByteArray &buffer)
{
    const auto length = std::min<qsizetype>(buffer.size(), kFrameBufferSize);
    std::copy_n(buffer.constData(), length, ReceiveCopy.begin());
    std::copy_n(buffer.constData(), length, RxImage.begin());
    m_dataFrame = ReceiveCopy[0] == frame::kWriteCode && acceptDataFrame(length);
    if (ReceiveCopy[0] != frame::kWriteCode)
        m_unconfirmedFrame.clear();
}

bool RadioLink::acceptDataFrame(qsizetype length)
{
    // A frame cut short (a line that stalled mid-frame) would be read together with the stale
    // tail of the frame before it, and one the line corrupted would put a wrong channel into
    // the table and from there into the radio. Either is left unanswered, like noise, and the
    // repeat asks for the block again.
    if (length < frame::kBlockFrameSize)
        return false;
    if (hasValidFrameCrc(ReceiveCopy.data())) {
        m_unconfirmedFrame.clear();
        return true;
    }
    // A radio whose CRC is computed differently from ours would never be readable. Such a
    // radio sends the same bytes again when asked again; a noisy line does not.
    const QByteArray frameBytes(reinterpret_cast<const char *>(ReceiveCopy.data()),
                                frame::kBlockFrameSize);
    if (frameBytes != m_unconfirmedFrame) {
        m_unconfirmedFrame = frameBytes;
        return false;
    }
    m_unconfirmedFrame.clear();
    if (!m_foreignCrcNoted) {
        m_foreignCrcNoted = true;
        qCWarning(lcLine, "The radio's frame CRC differs from ours; its blocks are taken when "
                          "two copies in a row are alike.");
    }
    return true;
}

void RadioLink::offerToSignalling()
{
    for (SignallingTransfer *transfer : m_signalling) {
        if (ReceiveCopy[0] == frame::kAck && transfer->writeInProgress())
            transfer->writeStep();
        if (transfer->readInProgress() && ReceiveCopy[1] == transfer->bank() && answersRequest())
            transfer->readStep();
    }
}

void RadioLink::keepMainBlock()
{
    const int bank = ReceiveCopy[1];
    const int block = ReceiveCopy[2];
    if ((bank != int(Bank::Channels) && bank != int(Bank::Settings)) || !isRadioBlock(bank, block))
        return;
    BlockPayload payload;
    std::copy_n(ReceiveCopy.begin() + frame::kPayloadOffset, frame::kPayloadSize, payload.begin());
    m_mainRead.setPayload(Bank(bank), block, payload);
}

void RadioLink::mainReadStep()
{
    Tim1.stop();
    keepMainBlock();
    if (m_host.decodeMainBlock(ReceiveCopy)) {
        // The settings came last: the read is complete and asks for nothing more. The line took
        // the blocks only in order, so every one of them is in the image.
        ReceiveCopy[2] = kReadEndMark;
        m_mainRead.taken = QDateTime::currentDateTime();
        m_mainRead.port = Comm1.CommName();
        Comm1.ClosePort();
        emit mainReadReceived(m_mainRead);
        m_host.mainReadComplete();
    }
    const int next = ReceiveCopy[2] + 1;
    NextReadBlock = next;
    if (next <= kChannelBlocks) {
        putRequest(quint8(Bank::Channels), quint8(next));
        sendAtOnce(frame::kRequestSize);
        m_host.stepProgress();
    } else if (next == kSettingsBlock) {
        QThread::msleep(kSettingsPauseMs);
        NextReadBlock = 0;
        putRequest(quint8(Bank::Settings), 0);
        SendData(frame::kRequestSize);
        m_host.settingsRequested();
    } else {
        return; // the settings came: the read is complete
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
