// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/portworker.h"

#include <QFile>

#include <array>
#include <climits>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace wf {

namespace {

// Indexed by the ordinals of TParity and TStopBits.
constexpr std::array<QSerialPort::Parity, 5> kParities = {
    QSerialPort::NoParity, QSerialPort::OddParity, QSerialPort::EvenParity, QSerialPort::MarkParity,
    QSerialPort::SpaceParity};
constexpr std::array<QSerialPort::StopBits, 3> kStopBits = {
    QSerialPort::OneStop, QSerialPort::OneAndHalfStop, QSerialPort::TwoStop};

// How long a close waits for the driver to take each part of what is still queued. A line held
// off by flow control must not keep the user waiting.
constexpr int kFlushWaitMs = 100;

} // namespace

PortWorker::PortWorker()
{
    m_silence.setSingleShot(true);
    m_silence.setTimerType(Qt::PreciseTimer);
    connect(&m_silence, &QTimer::timeout, this, &PortWorker::endChunk);
    connect(&m_port, &QSerialPort::readyRead, this, &PortWorker::takeBytes);
    connect(&m_port, &QSerialPort::errorOccurred, this, &PortWorker::checkError);
}

PortWorker::OpenResult PortWorker::open(const TCommSettings &settings)
{
    m_port.setPortName(settings.commName);
    m_openFailure.clear();
    if (!m_port.open(QIODevice::ReadWrite)) {
        m_openFailure = m_port.errorString();
        return whyNotOpened(settings.commName);
    }
    // Whatever came in while the port was closed answers nothing the program has asked.
    m_port.clear(QSerialPort::AllDirections);
    applyTimeouts(settings);
    applyLine(settings);
    return OpenResult::Opened;
}

PortWorker::OpenResult PortWorker::whyNotOpened(const QString &name) const
{
    // A name that cannot be opened at all, or is held by another program, is the common case;
    // the port reports everything else as an operation the device does not support.
    if (m_port.error() != QSerialPort::UnsupportedOperationError)
        return OpenResult::NoDevice;
#ifdef Q_OS_UNIX
    // Something opened but took no line settings: a character device such as /dev/null is a
    // device without a line's queues, anything else is not a device at all.
    // The port's own naming rule: a bare name lives in /dev.
    const bool isPath = name.startsWith(u'/') || name.startsWith(QLatin1String("./")) ||
                        name.startsWith(QLatin1String("../"));
    const QByteArray path = QFile::encodeName(isPath ? name : QLatin1String("/dev/") + name);
    struct stat status = {};
    if (::stat(path.constData(), &status) == 0 && S_ISCHR(status.st_mode))
        return OpenResult::NoLineQueues;
#else
    Q_UNUSED(name)
#endif
    return OpenResult::NotCommHandle;
}

void PortWorker::close()
{
    if (m_port.isOpen()) {
        while (m_port.bytesToWrite() > 0 && m_port.waitForBytesWritten(kFlushWaitMs)) {
        }
        m_port.close();
    }
    m_silence.stop();
    m_chunks.clear();
}

void PortWorker::write(const QByteArray &bytes)
{
    if (m_port.isOpen())
        m_port.write(bytes);
}

void PortWorker::applyLine(const TCommSettings &settings)
{
    if (!m_port.isOpen())
        return;

    const bool rtsCts = settings.outxCtsFlow || settings.rtsControl == TRtsControl::RtsHandshake;
    const bool xonXoff = settings.outxXonXoffFlow || settings.inxXonXoffFlow;

    // Each request stands on its own: whatever the device refuses, it keeps the rest, as a port
    // whose settings are only partly accepted still carries the radio's frames.
    m_port.setBaudRate(qint32(qMin<quint32>(settings.baudRate, INT_MAX)));
    m_port.setDataBits(QSerialPort::DataBits(int(settings.byteSize) + 5));
    m_port.setParity(kParities.at(std::size_t(settings.parity)));
    m_port.setStopBits(kStopBits.at(std::size_t(settings.stopBits)));
    m_port.setFlowControl(rtsCts    ? QSerialPort::HardwareControl
                          : xonXoff ? QSerialPort::SoftwareControl
                                    : QSerialPort::NoFlowControl);
    // A pseudo-terminal has no modem lines and refuses both requests.
    m_port.setDataTerminalReady(settings.dtrControl != TDtrControl::DtrDisable);
    if (!rtsCts) // under RTS/CTS flow control the driver drives RTS itself
        m_port.setRequestToSend(settings.rtsControl != TRtsControl::RtsDisable);
    m_port.clearError();
}

void PortWorker::applyTimeouts(const TCommSettings &settings)
{
    m_silence.setInterval(int(qMin<quint32>(settings.readIntervalTimeout, INT_MAX)));
}

void PortWorker::takeBytes()
{
    for (const QByteArray &chunk : m_chunks.add(m_port.readAll()))
        emit chunkReceived(chunk);
    if (m_chunks.gathering())
        m_silence.start();
    else
        m_silence.stop();
}

void PortWorker::endChunk()
{
    // On a busy machine the timer can run late, after more bytes have reached the driver: they
    // prove the line was not silent, so the chunk goes on instead of cutting a frame in two.
    const bool moreWaiting =
        m_port.isOpen() && (m_port.bytesAvailable() > 0 || m_port.waitForReadyRead(0));
    const QByteArray chunk = m_chunks.silence(moreWaiting);
    if (moreWaiting)
        takeBytes();
    else if (!chunk.isEmpty())
        emit chunkReceived(chunk);
}

void PortWorker::checkError(QSerialPort::SerialPortError error)
{
    // Refused settings are harmless; a device that can no longer be read or written is gone.
    // The port is still inside its own error handling here, so it is closed a moment later.
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
        error == QSerialPort::WriteError)
        QMetaObject::invokeMethod(this, &PortWorker::dropLine, Qt::QueuedConnection);
}

void PortWorker::dropLine()
{
    if (!m_port.isOpen())
        return;
    // Bytes that came in before the line went are still the radio's.
    m_silence.stop();
    endChunk();
    m_port.close();
    emit lineLost();
}

} // namespace wf
