// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <thread>
#include <vector>

/** The far end of a pseudo-terminal, standing in for a radio on a serial cable. The tool opens
 *  devicePath(); the peer writes to it like a 9600-baud line and reads what the tool sends. */
class PtyPeer final
{
public:
    /** Time one character takes on a 9600-baud 8N1 line (10 bits). */
    static constexpr std::chrono::microseconds kCharTime{1042};

    /** Creates the pseudo-terminal; isValid() tells whether that worked. */
    PtyPeer();
    /** Waits for a paced send to finish, then closes both ends. */
    ~PtyPeer();
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    bool isValid() const { return m_master >= 0 && m_slave >= 0; }
    /** The device the tool opens, e.g. /dev/pts/7. */
    QString devicePath() const { return m_path; }

    /** Starts sending `bytes` on a thread of its own, one character time apart, with a gap of
     *  `pause` after the first `pauseAfter` bytes; returns at once. */
    void sendPaced(const QByteArray &bytes, int pauseAfter = -1,
                   std::chrono::milliseconds pause = std::chrono::milliseconds(0));
    /** Waits until the paced send started last has put out its last byte. */
    void waitSent();
    /** Waits for the paced send, then tells the silence on the line before each of its bytes
     *  (the first byte's is 0). A busy machine makes gaps of its own beside the pause asked for,
     *  and a receiver rightly splits the bytes there. */
    std::vector<std::chrono::microseconds> gapsBefore();
    /** Writes `bytes` at once, as fast as the pseudo-terminal takes them. */
    bool sendNow(const QByteArray &bytes);

    /** What the tool sent: returns once `count` bytes are in or after `timeoutMs`. */
    QByteArray read(int count, int timeoutMs = 5000);

    /** The line settings the tool has set, as "9600 8N1" plus " rtscts" and " xonxoff". */
    QString lineSettings() const;
    /** True while someone holds the device for exclusive use. */
    bool isExclusive() const;

    /** Drops the line as a pulled cable does: both ends close. */
    void hangUp();

private:
    int m_master = -1;
    int m_slave = -1; ///< kept open so the device outlives every close of the tool
    QString m_path;
    std::thread m_sender;
    std::vector<std::chrono::microseconds> m_gaps; ///< written by m_sender only while it runs
};
