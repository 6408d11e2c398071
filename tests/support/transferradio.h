// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/vradioprocess.h"
#include "tools/vradio/radiomemory.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

/** The frames a radio took, each repeat of the program's buffer and each answer it brought twice
 *  left out: a repeat starts with the frame it repeats. A real line on a busy machine may need
 *  the repeat now and then. */
QList<QByteArray> withoutRepeats(const QList<QByteArray> &frames);

/** One line of the virtual radio's frame log: a frame it received or a burst it sent. */
struct TransferLogLine
{
    double ms = 0; ///< since the radio started: a received frame's last byte, a burst's first
    bool received = false; ///< RX; false for TX
    QByteArray bytes;
    QString notes; ///< why the radio kept quiet, or the fault it played
};

/** A virtual radio for the transfer tests: its image file and frame log in a folder of the
 *  test's, its line reachable under a fixed port name. A radio started after another one has
 *  stopped may take over the same port name, as a radio swapped on the same cable would. */
class TransferRadio final
{
public:
    /** A radio named `name` in `folder` with these extra options; it serves `port`, or
     *  folder/name.tty when that is empty. */
    TransferRadio(const QString &folder, const QString &name, const QStringList &options = {},
                  const QString &port = {});
    ~TransferRadio();
    TransferRadio(const TransferRadio &) = delete;
    TransferRadio &operator=(const TransferRadio &) = delete;

    /** Writes `memory` as the radio's image file and starts the radio on it. */
    bool start(const wf::vradio::RadioMemory &memory);
    /** Stops the radio; its port name goes away with it. */
    bool stop();
    QString errorString() const { return m_error; }

    /** The name to open: a link to the radio's pseudo-terminal. */
    QString port() const { return m_port; }
    /** The memory as the radio last saved it. */
    wf::vradio::RadioMemory image() const;
    /** Every line of the frame log so far. */
    QList<TransferLogLine> log() const;
    /** The frames the radio received so far, as it delimited them by line silence. */
    QList<QByteArray> received() const;
    /** True once a note of the log contains `text`. */
    bool logMentions(const QString &text) const;

private:
    QString m_port;
    QString m_imagePath;
    QString m_logPath;
    QStringList m_options;
    std::unique_ptr<VirtualRadioProcess> m_process;
    QString m_error;
};
