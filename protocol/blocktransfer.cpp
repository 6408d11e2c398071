// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/blocktransfer.h"

#include <QDateTime>

#include <algorithm>

namespace wf {

namespace {
// Every signalling frame is built on a cleared start of the transmit buffer.
constexpr int kClearedBytes = 51;
} // namespace

BlockTransfer::BlockTransfer(RadioLink &link, const Plan &plan, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_plan(plan)
    , m_received({plan.bank})
{
    Timer1.setSingleShot(true);
    Timer1.setInterval(kWatchdogMs);
    connect(&Timer1, &QTimer::timeout, this, [this] { end(Outcome::NoAnswer); });
    m_link.addSignallingTransfer(this);
}

BlockTransfer::~BlockTransfer()
{
    m_link.removeSignallingTransfer(this);
}

void BlockTransfer::begin(Kind kind)
{
    m_kind = kind;
    m_counter = 0;
    Timer1.start();
    if (kind == Kind::Read || m_plan.writeRepeats)
        m_link.startRepeat();
    m_link.notifyTransfers();
}

void BlockTransfer::end(Outcome outcome)
{
    const Kind kind = m_kind;
    if (kind == Kind::None)
        return;
    m_kind = Kind::None;
    m_counter = 0;
    m_payloads.clear();
    Timer1.stop();
    m_link.Tim1.stop();
    m_link.notifyTransfers();
    if (kind == Kind::Read && outcome == Outcome::Done) {
        m_received.taken = QDateTime::currentDateTime();
        m_received.port = m_link.Comm1.CommName();
        emit bankReceived(m_received);
    }
    emit finished(kind, outcome);
}

void BlockTransfer::startRead()
{
    m_received = RadioImage({m_plan.bank});
    begin(Kind::Read);
    sendRequest(0);
}

void BlockTransfer::startWrite(std::vector<Payload> payloads)
{
    m_payloads = std::move(payloads);
    begin(Kind::Write);
    sendBlock(0);
}

void BlockTransfer::sendBlock(int block)
{
    FrameBuffer &tx = m_link.TxBuffer;
    std::fill_n(tx.begin(), kClearedBytes, quint8(0));
    putBlockHeader(tx.data(), bank(), quint8(block));
    const Payload &payload = m_payloads[std::size_t(block)];
    std::copy(payload.begin(), payload.end(), tx.begin() + frame::kPayloadOffset);
    m_link.ComputeFrameCrc();
    m_link.SendData(frame::kBlockFrameSize);
}

void BlockTransfer::sendRequest(int block)
{
    m_link.putRequest(bank(), quint8(block));
    m_link.SendData(frame::kRequestSize);
}

void BlockTransfer::writeStep()
{
    // The radio took block m_counter; the write is done when it has taken the last one. A
    // transfer that moves on is no silent one: the watchdog counts from its latest step.
    Timer1.start();
    if (++m_counter >= int(m_payloads.size())) {
        end(Outcome::Done);
        return;
    }
    sendBlock(m_counter);
    emit stepped();
}

void BlockTransfer::readStep()
{
    // The line hands over only the block asked for last, so every block arrives once and in
    // order, and the read ends only when all of them came.
    Timer1.start();
    const int block = m_link.RxImage[2];
    if (isRadioBlock(int(m_plan.bank), block)) {
        BlockPayload payload;
        std::copy_n(m_link.RxImage.begin() + frame::kPayloadOffset, frame::kPayloadSize,
                    payload.begin());
        m_received.setPayload(m_plan.bank, block, payload);
    }
    emit blockArrived(m_link.RxImage);
    emit stepped();
    m_counter = block + 1;
    m_link.NextReadBlock = m_counter;
    if (m_counter >= m_plan.readBlocks) {
        end(Outcome::Done);
        return;
    }
    sendRequest(m_counter);
}

void BlockTransfer::abandonTransfer()
{
    end(Outcome::Abandoned);
}

} // namespace wf
