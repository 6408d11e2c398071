// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/blocktransfer.h"
#include "protocol/radioimage.h"
#include "protocol/radiolink.h"

#include <QEventLoop>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

namespace wf {

/** The words that name a block for a person: a channel (%1 its number), the settings, and a
 *  block of another bank (%1 the bank, %2 the block, %3 the bank's number). */
struct BlockWords
{
    QStringView channel;
    QStringView settings;
    QStringView other;
};

inline constexpr BlockWords kEnglishBlockWords{u"channel %1 (bank 0 block %1)",
                                               u"settings (bank 5 block 0)",
                                               u"%1 block %2 (bank %3 block %2)"};

/** A block as a message names it, with the bank and block a technician looks up: "channel 3
 *  (bank 0 block 3)", "DTMF block 2 (bank 1 block 2)". */
QString describeBlock(const BlockAddress &address, const BlockWords &words = kEnglishBlockWords);

/** A program's conversation with one radio, without any window: the main read and write of the
 *  channels and settings, the reads and writes of the signalling banks, and a complete image,
 *  each run to its end on the event loop and answered with a result. It drives the very
 *  RadioLink and BlockTransfer the windows use, so the radio sees the same frames, repeats and
 *  pauses whichever front end talks to it. */
class RadioSession final : public QObject, private MainTransferHost
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RadioSession)

public:
    enum class Result {
        Done,
        PortError,   ///< the port would not open, or the line went away
        NoAnswer,    ///< the radio stayed silent for the timeout
        Interrupted, ///< stopped at a block boundary on request
    };

    /** How long the radio may stay silent before a transfer ends as unanswered. */
    static constexpr int kDefaultTimeoutMs = 10000;

    explicit RadioSession(const QString &port, QObject *parent = nullptr);
    ~RadioSession() override;

    QString port() const { return m_port; }
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    int timeoutMs() const { return m_timeoutMs; }

    /** Handshake only: true when a radio answers "PROGRAM" within `timeoutMs`. */
    Result probe(int timeoutMs);

    /** Reads the channels and settings (bank 0 blocks 1..16, bank 5 block 0) into `image`. */
    Result readMain(RadioImage *image);
    /** Reads the signalling banks 1..4 into `image`. */
    Result readSignalling(RadioImage *image);
    /** Reads every block of the radio. */
    Result readAll(RadioImage *image);
    /** Reads the banks `banks` into `image`, which then holds those banks only. */
    Result readBanks(const QList<Bank> &banks, RadioImage *image);

    /** Writes the channels and settings of `image` the way the main window does. */
    Result writeMain(const RadioImage &image);
    /** Writes the signalling banks of `image` the way their windows do. */
    Result writeSignalling(const RadioImage &image);
    /** Writes every block of `image`: the banks it holds, the channels and settings first. */
    Result writeAll(const RadioImage &image);

    /** Asks the transfer that runs to stop at the next block boundary: a read ends at once, a
     *  write sends no further block once the radio has acknowledged the one on the line. */
    void requestStop();
    bool stopRequested() const { return m_stopRequested; }

    /** Why the last transfer did not end in Done, for the user. */
    QString errorText() const { return m_error; }
    /** The blocks the radio acknowledged in the writes since the last call of resetCounts(). */
    const QList<BlockAddress> &writtenBlocks() const { return m_written; }
    void resetCounts() { m_written.clear(); }

    /** The line, for a radio the test plays itself. */
    RadioLink &link() { return m_link; }
    /** Ends the transfer as unanswered when it runs out: started with each transfer and again
     *  with each block that goes across. */
    QTimer &watchdog() { return m_watchdog; }

    /** The blocks one transfer of each kind moves, for a progress display. */
    static int mainBlockCount();
    static int signallingBlockCount();
    /** The blocks a read or a write of these banks moves. */
    static int blockCount(const QList<Bank> &banks);

signals:
    /** One more block went across; `label` says which transfer runs. */
    void progressed(const QString &label, int done, int total);

private:
    enum class Operation { None, Probe, MainRead, MainWrite, BankRead, BankWrite };

    // What the main read and write ask of their host.
    bool mainReadInProgress() const override { return m_operation == Operation::MainRead; }
    bool mainWriteInProgress() const override { return m_operation == Operation::MainWrite; }
    bool decodeMainBlock(const FrameBuffer &receiveCopy) override;
    QString encodeMainBlock(FrameBuffer &tx, int block) override;
    void stepProgress() override;
    void settingsRequested() override;
    void mainReadComplete() override;
    void mainWriteComplete() override;

    bool openPort();
    Result run(Operation operation, const QString &label, int total);
    void finish(Result result, const QString &error = {});
    void step();
    void noAnswer();
    Result bankRead(Bank bank, RadioImage *image);
    Result bankWrite(Bank bank, const RadioImage &image);

    QString m_port;
    int m_timeoutMs = kDefaultTimeoutMs;
    RadioLink m_link;
    QTimer m_watchdog;
    QEventLoop *m_loop = nullptr;
    Operation m_operation = Operation::None;
    Result m_result = Result::Done;
    QString m_error;
    QString m_label;
    int m_done = 0;
    int m_total = 0;
    bool m_stopRequested = false;

    RadioImage *m_readInto = nullptr;
    const RadioImage *m_writeFrom = nullptr;
    std::optional<BlockAddress> m_notSent; ///< asked for, answered with another block
    QList<BlockAddress> m_written;
};

} // namespace wf
