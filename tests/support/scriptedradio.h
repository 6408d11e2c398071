// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/ptypeer.h"

#include <QByteArray>
#include <QString>

namespace wf {
class RadioLink;
}

/** A radio played by the test itself: it reads what the program sent from the far end of a
 *  pseudo-terminal, hands its answers straight to the receive handler as one chunk each, and
 *  makes the repeat timer fire when the test says time has passed. Nothing depends on how busy
 *  the machine is. */
class ScriptedRadio final
{
public:
    bool isValid() const { return m_peer.isValid(); }
    QString port() const { return m_peer.devicePath(); }

    /** The line whose answers this radio gives; its repeat now waits for tick(). */
    void attach(wf::RadioLink &link);

    /** The next `count` bytes the program sent, or fewer after `timeoutMs`. */
    QByteArray take(int count, int timeoutMs = 10000);
    /** True when the program sends nothing for `ms` (its events running meanwhile). */
    bool quietFor(int ms) { return take(1, ms).isEmpty(); }

    /** The radio answers: the bytes reach the receive handler as one chunk. */
    void answer(const QByteArray &bytes);

    /** 300 ms pass in silence: the repeat fires if it runs. Returns whether it did. */
    bool tick();

    int ticks = 0; ///< repeats fired so far

private:
    PtyPeer m_peer;
    QByteArray m_pending;
    wf::RadioLink *m_link = nullptr;
};
