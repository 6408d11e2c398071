// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/radioimage.h"
#include "protocol/radiolink.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <vector>

namespace wf {

/** One signalling table's read or write over the radio line: the requests or block frames of
 *  one bank in order, the answers taken from the receive handler, a watchdog for a radio that
 *  stops answering. The windows (and tools) supply the blocks and take what is read; this class
 *  knows the order of the frames and nothing of what they carry. */
class BlockTransfer final : public QObject, public SignallingTransfer
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BlockTransfer)

public:
    /** The 28 payload bytes of one block. */
    using Payload = std::array<quint8, frame::kPayloadSize>;

    enum class Kind { None, Read, Write };
    enum class Outcome {
        Done,      ///< the radio took or gave the last block
        NoAnswer,  ///< the watchdog ran out
        Abandoned, ///< ended from outside, for another transfer
    };

    /** How one bank's transfers go. */
    struct Plan
    {
        Bank bank;
        int readBlocks;    ///< blocks 0.. requested by a read
        bool writeRepeats; ///< a write keeps the repeat timer going; a read always does
    };

    /** How long a transfer may go without finishing before it is ended as unanswered. */
    static constexpr int kWatchdogMs = 10000;

    /** Joins the dispatch of `link`'s receive handler. */
    BlockTransfer(RadioLink &link, const Plan &plan, QObject *parent = nullptr);
    ~BlockTransfer() override;

    /** Starts a read on the open port: the request for block 0 goes out. */
    void startRead();
    /** Starts a write of `payloads`, block 0 first: its frame goes out, each acknowledgement
     *  brings the next, and the acknowledgement of the last completes the write. */
    void startWrite(std::vector<Payload> payloads);

    /** The transfer that runs, if any. */
    Kind running() const { return m_kind; }

    // What the receive handler asks of a signalling transfer.
    quint8 bank() const override { return quint8(m_plan.bank); }
    bool readInProgress() const override { return m_kind == Kind::Read; }
    bool writeInProgress() const override { return m_kind == Kind::Write; }
    void writeStep() override;
    void readStep() override;
    void abandonTransfer() override;

    /** The watchdog, started with every transfer and again with every block read or
     *  acknowledged, and stopped when the transfer ends. */
    QTimer Timer1;

signals:
    /** The block asked for arrived during a read: frame byte 2 names it. */
    void blockArrived(const wf::FrameBuffer &frame);
    /** One more block went across. */
    void stepped();
    /** A read is complete: the bank exactly as the radio sent it, just before finished(). A
     *  block a read never asks for (2-Tone block 11, which the radio always holds as zeros)
     *  is zero bytes. */
    void bankReceived(const wf::RadioImage &image);
    /** The transfer ended; the repeat timer is stopped. */
    void finished(wf::BlockTransfer::Kind kind, wf::BlockTransfer::Outcome outcome);

private:
    void begin(Kind kind);
    void end(Outcome outcome);
    void sendBlock(int block);
    void sendRequest(int block);

    RadioLink &m_link;
    Plan m_plan;
    Kind m_kind = Kind::None;
    int m_counter = 0; ///< the block sent or asked for last
    std::vector<Payload> m_payloads;
    RadioImage m_received; ///< the blocks a read brought
};

} // namespace wf
