// SPDX-License-Identifier: GPL-3.0-or-later
#include "vradioprocess.h"

#include <QDeadlineTimer>

VirtualRadioProcess::VirtualRadioProcess(const QStringList &arguments)
    : m_arguments(arguments)
{
    m_process.setReadChannel(QProcess::StandardOutput);
}

VirtualRadioProcess::~VirtualRadioProcess()
{
    stop();
}

QString VirtualRadioProcess::program()
{
    return qEnvironmentVariable("WRITEFREQ_VRADIO");
}

bool VirtualRadioProcess::start(int timeoutMs)
{
    const QString path = program();
    if (path.isEmpty()) {
        m_error = QStringLiteral("WRITEFREQ_VRADIO is not set");
        return false;
    }
    m_process.start(path, m_arguments);
    if (!m_process.waitForStarted(timeoutMs)) {
        m_error = QStringLiteral("%1 did not start: %2").arg(path, m_process.errorString());
        return false;
    }

    const QDeadlineTimer deadline(timeoutMs);
    while (!m_process.canReadLine()) {
        if (m_process.state() != QProcess::Running ||
            !m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            // The radio refuses to start on bad options or a bad image; its reason is on stderr.
            m_process.waitForFinished(1000);
            m_error = QStringLiteral("no device path from %1: %2")
                          .arg(path, QString::fromLocal8Bit(standardError()).trimmed());
            return false;
        }
    }
    m_devicePath = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return !m_devicePath.isEmpty();
}

bool VirtualRadioProcess::stop(int timeoutMs)
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(timeoutMs)) {
            m_process.kill();
            m_process.waitForFinished(timeoutMs);
            return false;
        }
    }
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

bool VirtualRadioProcess::waitForExit(int timeoutMs)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
}

bool VirtualRadioProcess::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

QByteArray VirtualRadioProcess::standardError()
{
    m_stderr += m_process.readAllStandardError();
    return m_stderr;
}
