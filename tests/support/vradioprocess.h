// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

/** Runs the virtual radio (the program named by WRITEFREQ_VRADIO) for a test: starts it with the
 *  given options, waits for the device path it prints, and stops it again when destroyed. */
class VirtualRadioProcess final
{
public:
    /** Prepares a radio with these command-line options; start() launches it. */
    explicit VirtualRadioProcess(const QStringList &arguments = {});
    ~VirtualRadioProcess();
    VirtualRadioProcess(const VirtualRadioProcess &) = delete;
    VirtualRadioProcess &operator=(const VirtualRadioProcess &) = delete;

    /** The virtual radio's program, from WRITEFREQ_VRADIO; empty when that is not set. */
    static QString program();

    /** Launches the radio and waits up to `timeoutMs` for its device path. False, with
     *  errorString() saying why, when it did not come up. */
    bool start(int timeoutMs = 10000);

    /** Asks the radio to stop (SIGTERM) and waits for it; kills it after `timeoutMs`. True when
     *  it exited normally with status 0. */
    bool stop(int timeoutMs = 5000);

    /** Waits up to `timeoutMs` for the radio to end on its own (after --hangup-after). */
    bool waitForExit(int timeoutMs = 10000);

    /** True while the radio process runs. */
    bool isRunning() const;

    /** The pseudo-terminal the radio serves: the port to open. */
    QString devicePath() const { return m_devicePath; }

    /** Why start() failed. */
    QString errorString() const { return m_error; }

    /** Everything the radio wrote to its error output so far (its summary comes on exit). */
    QByteArray standardError();

    /** The radio's process id, as other programs see it. */
    qint64 processId() const { return m_process.processId(); }

    /** The exit code after the radio ended. */
    int exitCode() const { return m_process.exitCode(); }

private:
    QStringList m_arguments;
    QProcess m_process;
    QString m_devicePath;
    QString m_error;
    QByteArray m_stderr;
};
