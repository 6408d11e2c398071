// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <stdexcept>

class QThread;

// How the port works
// ------------------
// TComm owns one serial port. While the port is open, a worker thread of the component owns the
// QSerialPort; the user-interface thread never touches the device and never waits on it, except
// for the open and the close themselves.
//
// Receiving: bytes are gathered into a chunk on the worker thread. A chunk ends when the line has
// been silent for ReadIntervalTimeout ms (a precise single-shot timer restarted whenever bytes
// come in) or when it reaches 2048 bytes. A radio frame sent without pauses therefore arrives as
// one chunk, which is what the receive handler expects. Each chunk is handed to the
// user-interface thread as a queued signal carrying its bytes and arrives there as OnReceiveData.
//
// Sending: WritePortData copies the bytes and queues them to the worker thread, which writes them
// in the order they were given. OpenPort returns with the port open, so bytes written right after
// it go out, in order. ClosePort hands the bytes already accepted to the driver before closing.
//
// Closing: every open gets a generation number; ClosePort moves the generation on, so chunks that
// were already on their way to the user-interface thread are dropped on arrival. No OnReceiveData
// follows a ClosePort. Destroying the component closes the port.
//
// Line settings as this mapping applies them:
// - BaudRate, ByteSize, Parity and StopBits are set on the port (1.5 stop bits only where the
//   platform has them).
// - Outx_CtsFlow, or RtsControl = RtsHandshake, selects RTS/CTS flow control; otherwise
//   Outx_XonXoffFlow or Inx_XonXoffFlow selects XON/XOFF flow control in both directions.
// - DTR is raised unless DtrControl is DtrDisable; RTS is raised unless RtsControl is RtsDisable
//   or RtsHandshake. DtrHandshake and RtsTransmissionAvailable raise the line and keep it up.
//   A device without modem lines (a pseudo-terminal) refuses these requests; that is harmless.
// - ReadIntervalTimeout ends a chunk after that much silence (0: each batch of bytes the driver
//   hands over is a chunk of its own).
// - No effect here: ParityCheck, Outx_DsrFlow, DsrSensitivity, TxContinueOnXoff,
//   ReplaceWhenParityError, IgnoreNullChar, XonLimit, XoffLimit, XonChar, XoffChar, ReplacedChar
//   and the four total timeouts. They are kept and reported like the others.
//
// A line lost while open (a pulled USB cable, the far end of a pseudo-terminal closed, a write
// the device refuses) closes the device and raises OnRequestHangup; WritePortData then refuses
// until the port is closed and opened again.

namespace wf {

class PortWorker;

/** Data bits per character: ordinal + 5. */
enum class TByteSize : quint8 { _5, _6, _7, _8 };
/** Parity of each character. */
enum class TParity : quint8 { None, Odd, Even, Mark, Space };
/** Stop bits after each character. */
enum class TStopBits : quint8 { _1, _1_5, _2 };
/** What the DTR line does while the port is open. */
enum class TDtrControl : quint8 { DtrEnable, DtrDisable, DtrHandshake };
/** What the RTS line does while the port is open. */
enum class TRtsControl : quint8 { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };

/** A serial port that cannot be opened; message() is the text shown to the user. */
class ECommsError final : public std::runtime_error
{
public:
    /** Carries `message` as both what() (UTF-8) and message(); `reason` is what the operating
     *  system said, when it said anything. */
    explicit ECommsError(const QString &message, const QString &reason = {});
    /** The component's own text. */
    QString message() const { return m_message; }
    /** Why the port would not open, for the user: the system's reason, else the message. */
    QString why() const { return m_reason.isEmpty() ? m_message : m_reason; }

private:
    QString m_message;
    QString m_reason;
};

/** Everything a port is opened with: the properties of TComm, with the component's defaults. */
struct TCommSettings
{
    QString commName = QStringLiteral("COM2");
    quint32 baudRate = 9600;
    bool parityCheck = false;
    bool outxCtsFlow = false;
    bool outxDsrFlow = false;
    TDtrControl dtrControl = TDtrControl::DtrEnable;
    bool dsrSensitivity = false;
    bool txContinueOnXoff = true;
    bool outxXonXoffFlow = true;
    bool inxXonXoffFlow = true;
    bool replaceWhenParityError = false;
    bool ignoreNullChar = false;
    TRtsControl rtsControl = TRtsControl::RtsEnable;
    quint16 xonLimit = 500;
    quint16 xoffLimit = 500;
    TByteSize byteSize = TByteSize::_8;
    TParity parity = TParity::None;
    TStopBits stopBits = TStopBits::_1;
    char xonChar = 0x11;
    char xoffChar = 0x13;
    char replacedChar = 0x00;
    quint32 readIntervalTimeout = 100; ///< ms of silence that end a received chunk
    quint32 readTotalTimeoutMultiplier = 0;
    quint32 readTotalTimeoutConstant = 0;
    quint32 writeTotalTimeoutMultiplier = 0;
    quint32 writeTotalTimeoutConstant = 0;
};

/** The serial port the program talks to the radio through: chunks in, queued writes out. */
class TComm final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TComm)

public:
    /** Largest chunk OnReceiveData delivers. */
    static constexpr int kMaxChunk = 2048;

    /** A closed port with the default settings. */
    explicit TComm(QObject *parent = nullptr);
    /** Closes the port if it is open. */
    ~TComm() override;

    /** Opens CommName with the current settings; throws ECommsError and stays closed on failure
     *  (an open port stays open and untouched when it is opened again). */
    void OpenPort();
    /** Closes the port and ends its thread; does nothing when the port is closed. */
    void ClosePort();
    /** Queues `count` bytes for the line without waiting; false, sending nothing, when the port is
     *  closed or lost, or when `count` is 0. */
    bool WritePortData(const quint8 *data, quint16 count);
    /** True between a successful OpenPort and ClosePort. */
    bool isOpen() const { return m_worker != nullptr; }

    /** All settings at once. */
    const TCommSettings &settings() const { return m_settings; }

    /** The port name, passed to the system unchanged (COM3, /dev/ttyUSB0); used at the next open.
     */
    QString CommName() const { return m_settings.commName; }
    void setCommName(const QString &value) { update(m_settings.commName, value, Apply::Nothing); }

    quint32 BaudRate() const { return m_settings.baudRate; }
    void setBaudRate(quint32 value) { update(m_settings.baudRate, value, Apply::Line); }
    bool ParityCheck() const { return m_settings.parityCheck; }
    void setParityCheck(bool value) { update(m_settings.parityCheck, value, Apply::Line); }
    bool Outx_CtsFlow() const { return m_settings.outxCtsFlow; }
    void setOutx_CtsFlow(bool value) { update(m_settings.outxCtsFlow, value, Apply::Line); }
    bool Outx_DsrFlow() const { return m_settings.outxDsrFlow; }
    void setOutx_DsrFlow(bool value) { update(m_settings.outxDsrFlow, value, Apply::Line); }
    TDtrControl DtrControl() const { return m_settings.dtrControl; }
    void setDtrControl(TDtrControl value) { update(m_settings.dtrControl, value, Apply::Line); }
    bool DsrSensitivity() const { return m_settings.dsrSensitivity; }
    void setDsrSensitivity(bool value) { update(m_settings.dsrSensitivity, value, Apply::Line); }
    bool TxContinueOnXoff() const { return m_settings.txContinueOnXoff; }
    void setTxContinueOnXoff(bool value)
    {
        update(m_settings.txContinueOnXoff, value, Apply::Line);
    }
    bool Outx_XonXoffFlow() const { return m_settings.outxXonXoffFlow; }
    void setOutx_XonXoffFlow(bool value) { update(m_settings.outxXonXoffFlow, value, Apply::Line); }
    bool Inx_XonXoffFlow() const { return m_settings.inxXonXoffFlow; }
    void setInx_XonXoffFlow(bool value) { update(m_settings.inxXonXoffFlow, value, Apply::Line); }
    bool ReplaceWhenParityError() const { return m_settings.replaceWhenParityError; }
    void setReplaceWhenParityError(bool value)
    {
        update(m_settings.replaceWhenParityError, value, Apply::Line);
    }
    bool IgnoreNullChar() const { return m_settings.ignoreNullChar; }
    void setIgnoreNullChar(bool value) { update(m_settings.ignoreNullChar, value, Apply::Line); }
    TRtsControl RtsControl() const { return m_settings.rtsControl; }
    void setRtsControl(TRtsControl value) { update(m_settings.rtsControl, value, Apply::Line); }
    quint16 XonLimit() const { return m_settings.xonLimit; }
    void setXonLimit(quint16 value) { update(m_settings.xonLimit, value, Apply::Line); }
    quint16 XoffLimit() const { return m_settings.xoffLimit; }
    void setXoffLimit(quint16 value) { update(m_settings.xoffLimit, value, Apply::Line); }
    TByteSize ByteSize() const { return m_settings.byteSize; }
    void setByteSize(TByteSize value) { update(m_settings.byteSize, value, Apply::Line); }
    TParity Parity() const { return m_settings.parity; }
    void setParity(TParity value) { update(m_settings.parity, value, Apply::Line); }
    TStopBits StopBits() const { return m_settings.stopBits; }
    void setStopBits(TStopBits value) { update(m_settings.stopBits, value, Apply::Line); }
    char XonChar() const { return m_settings.xonChar; }
    void setXonChar(char value) { update(m_settings.xonChar, value, Apply::Line); }
    char XoffChar() const { return m_settings.xoffChar; }
    void setXoffChar(char value) { update(m_settings.xoffChar, value, Apply::Line); }
    char ReplacedChar() const { return m_settings.replacedChar; }
    void setReplacedChar(char value) { update(m_settings.replacedChar, value, Apply::Line); }

    /** Milliseconds of line silence that end a received chunk. */
    quint32 ReadIntervalTimeout() const { return m_settings.readIntervalTimeout; }
    void setReadIntervalTimeout(quint32 value)
    {
        update(m_settings.readIntervalTimeout, value, Apply::Timeouts);
    }
    quint32 ReadTotalTimeoutMultiplier() const { return m_settings.readTotalTimeoutMultiplier; }
    void setReadTotalTimeoutMultiplier(quint32 value)
    {
        update(m_settings.readTotalTimeoutMultiplier, value, Apply::Timeouts);
    }
    quint32 ReadTotalTimeoutConstant() const { return m_settings.readTotalTimeoutConstant; }
    void setReadTotalTimeoutConstant(quint32 value)
    {
        update(m_settings.readTotalTimeoutConstant, value, Apply::Timeouts);
    }
    quint32 WriteTotalTimeoutMultiplier() const { return m_settings.writeTotalTimeoutMultiplier; }
    void setWriteTotalTimeoutMultiplier(quint32 value)
    {
        update(m_settings.writeTotalTimeoutMultiplier, value, Apply::Timeouts);
    }
    quint32 WriteTotalTimeoutConstant() const { return m_settings.writeTotalTimeoutConstant; }
    void setWriteTotalTimeoutConstant(quint32 value)
    {
        update(m_settings.writeTotalTimeoutConstant, value, Apply::Timeouts);
    }

signals:
    /** One received chunk, 1 to kMaxChunk bytes, on the user-interface thread. */
    void OnReceiveData(const QByteArray &buffer);
    /** The line was lost while open; nothing is sent or received until the port is reopened. */
    void OnRequestHangup();
    /** The port was opened or closed: the one place every window learns whether it is open. */
    void OnPortOpenChanged(bool open);

private:
    enum class Apply { Nothing, Line, Timeouts };

    template<typename T>
    void update(T &field, const T &value, Apply apply)
    {
        if (field == value)
            return;
        field = value;
        reapply(apply);
    }
    void reapply(Apply apply);

    TCommSettings m_settings;
    std::unique_ptr<QThread> m_thread;
    std::unique_ptr<PortWorker> m_worker; ///< lives on m_thread; set while the port is open
    quint32 m_generation = 0;             ///< moves on at every close
    bool m_lineLost = false;
};

} // namespace wf
