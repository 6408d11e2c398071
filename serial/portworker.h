// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/chunkassembler.h"
#include "serial/tcomm.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QTimer>

namespace wf {

/** The open port of a TComm, living on the component's worker thread. Every function except the
 *  constructor runs on that thread. */
class PortWorker final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PortWorker)

public:
    /** Why an open failed. */
    enum class OpenResult {
        Opened,
        NoDevice,      ///< nothing of that name can be opened
        NotCommHandle, ///< it opened, but is a file rather than a device
        NoLineQueues,  ///< a device, but not a serial line: it takes no line settings
    };

    PortWorker();

    /** Opens settings.commName and applies the settings to the line. */
    OpenResult open(const TCommSettings &settings);
    /** What the system said when the last open failed ("Permission denied"...). */
    QString openFailure() const { return m_openFailure; }
    /** Hands what is still queued to the driver, then closes the device. */
    void close();
    /** Queues bytes for the line, after everything queued before. */
    void write(const QByteArray &bytes);
    /** Sets speed, character format, flow control and modem lines on the open port. */
    void applyLine(const TCommSettings &settings);
    /** Sets the silence that ends a received chunk. */
    void applyTimeouts(const TCommSettings &settings);

signals:
    /** One received chunk of 1 to TComm::kMaxChunk bytes. */
    void chunkReceived(const QByteArray &chunk);
    /** The device failed while open and has been closed. */
    void lineLost();

private:
    OpenResult whyNotOpened(const QString &name) const;
    void takeBytes();
    void endChunk();
    void checkError(QSerialPort::SerialPortError error);
    void dropLine();

    QSerialPort m_port{this};
    QTimer m_silence{this};
    ChunkAssembler m_chunks{TComm::kMaxChunk};
    QString m_openFailure;
};

} // namespace wf
