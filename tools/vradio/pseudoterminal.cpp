// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/vradio/pseudoterminal.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace wf::vradio {

namespace {

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PseudoTerminal::~PseudoTerminal()
{
    close();
}

bool PseudoTerminal::open(QString *error)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        *error = systemError("posix_openpt");
        return false;
    }
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        *error = systemError("grantpt/unlockpt");
        close();
        return false;
    }
    const char *name = ::ptsname(m_master);
    if (!name) {
        *error = systemError("ptsname");
        close();
        return false;
    }
    m_devicePath = QString::fromLocal8Bit(name);

    m_farEnd = ::open(name, O_RDWR | O_NOCTTY);
    if (m_farEnd < 0) {
        *error = systemError("open of the far end");
        close();
        return false;
    }
    // Raw from the start: frames carry 0x03, 0x0D, 0x11 and 0x13, which a cooked line would eat.
    termios settings{};
    if (::tcgetattr(m_farEnd, &settings) != 0) {
        *error = systemError("tcgetattr");
        close();
        return false;
    }
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    if (::tcsetattr(m_farEnd, TCSANOW, &settings) != 0) {
        *error = systemError("tcsetattr");
        close();
        return false;
    }

    // Replies are written byte by byte; a program that stops reading must not stall the radio.
    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0) {
        *error = systemError("fcntl");
        close();
        return false;
    }
    return true;
}

bool PseudoTerminal::makeLink(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (info.isSymLink()) {
        if (!QFile::remove(path)) {
            *error = QStringLiteral("%1: cannot replace the existing link").arg(path);
            return false;
        }
    } else if (info.exists()) {
        *error = QStringLiteral("%1: exists and is not a symbolic link").arg(path);
        return false;
    }
    if (::symlink(m_devicePath.toLocal8Bit().constData(), path.toLocal8Bit().constData()) != 0) {
        *error = QStringLiteral("%1: %2").arg(path, systemError("symlink"));
        return false;
    }
    m_link = path;
    return true;
}

void PseudoTerminal::waitUntilRead(int timeoutMs)
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(timeoutMs);
    // Written bytes reach the far end's queue a moment after the write: trust an empty queue
    // only once it has stayed empty for a while.
    int emptyChecks = 0;
    while (m_farEnd >= 0 && emptyChecks < 20 && steady_clock::now() < deadline) {
        int pending = 0;
        if (::ioctl(m_farEnd, FIONREAD, &pending) != 0)
            return;
        emptyChecks = pending == 0 ? emptyChecks + 1 : 0;
        std::this_thread::sleep_for(milliseconds(1));
    }
}

void PseudoTerminal::close()
{
    if (!m_link.isEmpty()) {
        // Only our own link: another radio may have taken the name over meanwhile.
        if (QFileInfo(m_link).symLinkTarget() == QFileInfo(m_devicePath).absoluteFilePath())
            QFile::remove(m_link);
        m_link.clear();
    }
    if (m_farEnd >= 0) {
        ::close(m_farEnd);
        m_farEnd = -1;
    }
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
}

} // namespace wf::vradio
