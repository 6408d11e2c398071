// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/frame.h"
#include "protocol/radioimage.h"
#include "serial/tcomm.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

namespace wf {

/** What the main window lends the transfers: whether its read or write runs (its read and write
 *  buttons are disabled while they do), its block conversions and its progress display. */
class MainTransferHost
{
public:
    virtual ~MainTransferHost() = default;

    /** A main read runs while the read button is disabled. */
    virtual bool mainReadInProgress() const = 0;
    /** A main write runs while the write button is disabled. */
    virtual bool mainWriteInProgress() const = 0;

    /** Writes the block a main read asked for into the table or the settings panel; true when
     *  it was the settings block, which completes the read. */
    virtual bool decodeMainBlock(const FrameBuffer &receiveCopy) = 0;
    /** Builds block `block` of a main write into the transmit buffer: channel blocks 1..16, then
     *  the settings as block 17. Returns the message of a text that did not convert, else empty. */
    virtual QString encodeMainBlock(FrameBuffer &tx, int block) = 0;

    /** One more block went across. */
    virtual void stepProgress() = 0;
    /** The last request of a read (the settings) went out. */
    virtual void settingsRequested() = 0;
    /** The settings block arrived and the port is closed: enable what the read disabled and tell
     *  the user. */
    virtual void mainReadComplete() = 0;
    /** The radio acknowledged the last block of a write. */
    virtual void mainWriteComplete() = 0;
};

/** A signalling window's transfers, as the receive handler drives them. */
class SignallingTransfer
{
public:
    virtual ~SignallingTransfer() = default;

    /** The bank whose data frames belong to this window. */
    virtual quint8 bank() const = 0;
    virtual bool readInProgress() const = 0;
    virtual bool writeInProgress() const = 0;
    /** Called for every acknowledgement while the window writes. */
    virtual void writeStep() = 0;
    /** Called for the data frame of the block the window asked for last, while it reads. */
    virtual void readStep() = 0;
    /** Ends a transfer that never finished, so that it answers no later frame. */
    virtual void abandonTransfer() = 0;
};

/** The program's one line to the radio: the serial port, the transmit buffer every frame is built
 *  in, the image of the frame received last, the repeat timer, and the receive handler that gives
 *  each received chunk to the transfer it belongs to. Every transfer, from the main window or a
 *  signalling window, runs through here; the line never runs two at once. */
class RadioLink final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RadioLink)

public:
    /** How often the repeat timer sends the last frame again while the radio stays silent. */
    static constexpr int kRepeatMs = 300;
    /** The pause before the settings request of a read. */
    static constexpr int kSettingsPauseMs = 2;
    /** The pause inside Retry before the handshake goes out again. */
    static constexpr int kRetryPauseMs = 300;

    explicit RadioLink(MainTransferHost &host, QObject *parent = nullptr);
    ~RadioLink() override;

    /** Signalling windows join the dispatch in the order they are offered each chunk. */
    void addSignallingTransfer(SignallingTransfer *transfer);
    /** A signalling transfer that goes away leaves the dispatch. */
    void removeSignallingTransfer(SignallingTransfer *transfer);
    /** True while any transfer runs on the line: a main read or write, or a signalling one. */
    bool transferRunning() const;
    /** A signalling transfer started or ended: windows that offer transfers look again. */
    void notifyTransfers() { emit transfersChanged(); }
    /** Ends every signalling transfer still marked as running. */
    void abandonSignallingTransfers();

    /** Closes the port, names it and opens it again; throws ECommsError when it will not open. */
    void reopenPort(const QString &portName);
    /** Sends "PROGRAM" (with the CRC computed over the buffer as it stands), byte by byte. Until
     *  the radio answers it, a 0x06 is the handshake's answer. */
    void sendHandshake();
    /** Puts the read request 'R', bank, block, 0x20 into the buffer; sends nothing. From now on
     *  a read takes only the data frame of that block. */
    void putRequest(quint8 bank, quint8 block);

    /** Sends the first `count` bytes of the transmit buffer, one write per byte. */
    void SendData(int count);
    /** Sends the first `count` bytes of the transmit buffer in one write. */
    void sendAtOnce(int count);
    /** The CRC of transmit bytes 0..31 into bytes 32 and 33. */
    void ComputeFrameCrc() { wf::ComputeFrameCrc(TxBuffer); }

    /** The second half of Retry, once the port is open again: after a pause, the transfer
     *  counters back at the start and the handshake in one write, then the repeat timer. */
    void restartFromHandshake();
    /** Cancel: the repeat timer stops and the port closes. */
    void cancel();

    /** Starts the repeat timer afresh. While it runs, every frame sent and every chunk received
     *  starts its period again: the repeat goes out only after 300 ms in which the line was
     *  quiet both ways. */
    void startRepeat();

    /** The receive handler, run for every chunk the port delivers. */
    void Comm1ReceiveData(const QByteArray &buffer);
    /** The repeat: transmit bytes 0..33 again, in one write. */
    void Tim1Timer();

    /** True while the handshake of a main transfer waits for the radio's 0x06. */
    bool handshakeOutstanding() const { return m_handshakeOutstanding; }

signals:
    /** A transfer started or ended; transferRunning() tells which way. */
    void transfersChanged();
    /** The radio sent something: a chunk reached the receive handler. */
    void radioSpoke();
    /** During a read the radio sent a sound data frame, but not of the block asked for (bank
     *  `bank`, block `block`); it was left unanswered for the repeat to ask again. */
    void blockNotAskedFor(int bank, int block);
    /** The line to the radio went away while the port was open (a cable or adapter pulled). The
     *  repeat has stopped; the transfer waits for Retry or Cancel. */
    void lineLost();
    /** A main read is complete: the channels and settings exactly as the radio sent them, just
     *  before the host hears of it. */
    void mainReadReceived(const wf::RadioImage &image);

public:
    // The state every transfer shares, named as the radio's documentation names it.
    TComm Comm1;
    FrameBuffer TxBuffer{};    ///< every frame the program sends is built here from byte 0
    FrameBuffer RxImage{};     ///< the chunk received last, from byte 0
    FrameBuffer ReceiveCopy{}; ///< the same chunk, as the main block decoder reads it
    QTimer Tim1;               ///< the repeat timer
    int WriteAckCount = 0;     ///< acknowledgements counted during a main write
    int NextReadBlock = 0;     ///< the block after the last data frame received

private:
    void lineBusy();
    bool answersRequest() const;
    void takeChunk(const QByteArray &buffer);
    bool acceptDataFrame(qsizetype length);
    void handleLineLost();
    void offerToSignalling();
    void keepMainBlock();
    void mainReadStep();
    int mainWriteAcknowledged();
    void mainWriteStep(int block);

    MainTransferHost &m_host;
    std::vector<SignallingTransfer *> m_signalling;
    bool m_dataFrame = false; ///< the chunk being handled is a whole, sound data frame
    bool m_handshakeOutstanding = false;
    QByteArray m_unconfirmedFrame; ///< a data frame whose CRC failed, kept to compare the next
    bool m_foreignCrcNoted = false;
    int m_askedBank = -1;  ///< the bank and block of the last read request, -1: none since the
    int m_askedBlock = -1; ///< handshake
    RadioImage m_mainRead{{Bank::Channels, Bank::Settings}}; ///< the blocks of the main read
};

} // namespace wf
