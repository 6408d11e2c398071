// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/tcomm.h"

#include "serial/portworker.h"

#include <QThread>

namespace wf {

ECommsError::ECommsError(const QString &message, const QString &reason)
    : std::runtime_error(message.toStdString())
    , m_message(message)
    , m_reason(reason)
{}

namespace {
QString openErrorMessage(PortWorker::OpenResult result)
{
    switch (result) {
    case PortWorker::OpenResult::NotCommHandle:
        return QStringLiteral("File handle is not a comm handle ");
    case PortWorker::OpenResult::NoLineQueues:
        return QStringLiteral("Cannot setup comm buffer");
    case PortWorker::OpenResult::Opened:
    case PortWorker::OpenResult::NoDevice:
        break;
    }
    return QStringLiteral("Error opening serial port");
}
} // namespace

TComm::TComm(QObject *parent)
    : QObject(parent)
{}

TComm::~TComm()
{
    ClosePort();
}

void TComm::OpenPort()
{
    if (m_worker)
        throw ECommsError(QStringLiteral("This serial port already opened"));

    auto thread = std::make_unique<QThread>();
    thread->setObjectName(QStringLiteral("serial port"));
    auto worker = std::make_unique<PortWorker>();
    PortWorker *const w = worker.get();
    w->moveToThread(thread.get());

    // Connected before the open: with a short silence timeout the first chunk can follow at once.
    const quint32 generation = m_generation;
    connect(w, &PortWorker::chunkReceived, this, [this, generation](const QByteArray &chunk) {
        if (generation == m_generation)
            emit OnReceiveData(chunk);
    });
    connect(w, &PortWorker::lineLost, this, [this, generation] {
        if (generation != m_generation)
            return;
        m_lineLost = true;
        emit OnRequestHangup();
    });

    // Chunk boundaries follow the line's silences only as closely as this thread gets to run.
    thread->start(QThread::HighestPriority);
    if (!thread->isRunning())
        throw ECommsError(QStringLiteral("Unable to create read thread"));

    auto result = PortWorker::OpenResult::NoDevice;
    QString reason;
    QMetaObject::invokeMethod(
        w,
        [&] {
            result = w->open(m_settings);
            reason = w->openFailure();
        },
        Qt::BlockingQueuedConnection);
    if (result != PortWorker::OpenResult::Opened) {
        thread->quit();
        thread->wait();
        // A device that opened but is no serial line has no system error to tell.
        throw ECommsError(openErrorMessage(result),
                          result == PortWorker::OpenResult::NoDevice ? reason : QString());
    }

    m_thread = std::move(thread);
    m_worker = std::move(worker);
    m_lineLost = false;
    emit OnPortOpenChanged(true);
}

void TComm::ClosePort()
{
    if (!m_worker)
        return;

    // Chunks already on their way to this thread belong to the port being closed.
    ++m_generation;
    QMetaObject::invokeMethod(m_worker.get(), &PortWorker::close, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    m_worker.reset();
    m_thread.reset();
    emit OnPortOpenChanged(false);
}

bool TComm::WritePortData(const quint8 *data, quint16 count)
{
    if (!m_worker || m_lineLost || !data || count == 0)
        return false;

    PortWorker *const w = m_worker.get();
    const QByteArray bytes(reinterpret_cast<const char *>(data), count);
    return QMetaObject::invokeMethod(
        w, [w, bytes] { w->write(bytes); }, Qt::QueuedConnection);
}

void TComm::reapply(Apply apply)
{
    if (!m_worker || apply == Apply::Nothing)
        return;

    PortWorker *const w = m_worker.get();
    const TCommSettings settings = m_settings;
    if (apply == Apply::Line)
        QMetaObject::invokeMethod(
            w, [w, settings] { w->applyLine(settings); }, Qt::QueuedConnection);
    else
        QMetaObject::invokeMethod(
            w, [w, settings] { w->applyTimeouts(settings); }, Qt::QueuedConnection);
}

} // namespace wf
