// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/scriptedradio.h"

#include "protocol/radiolink.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {
// The repeat of a scripted line: the test makes time pass itself.
constexpr int kNeverMs = 24 * 3600 * 1000;
} // namespace

void ScriptedRadio::attach(wf::RadioLink &link)
{
    m_link = &link;
    m_link->Tim1.setInterval(kNeverMs);
}

QByteArray ScriptedRadio::take(int count, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (m_pending.size() < count && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents();
        m_pending += m_peer.read(1, 5);
    }
    const QByteArray taken = m_pending.left(count);
    m_pending.remove(0, taken.size());
    return taken;
}

void ScriptedRadio::answer(const QByteArray &bytes)
{
    m_link->Comm1ReceiveData(bytes);
}

bool ScriptedRadio::tick()
{
    if (!m_link->Tim1.isActive())
        return false;
    ++ticks;
    m_link->Tim1Timer();
    return true;
}
