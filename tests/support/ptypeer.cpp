// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ptypeer.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX

#include <QElapsedTimer>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace {

void makeRaw(int fd)
{
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
}

bool writeAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

constexpr std::array<std::pair<speed_t, int>, 8> kSpeeds = {{
    {B1200, 1200},
    {B2400, 2400},
    {B4800, 4800},
    {B9600, 9600},
    {B19200, 19200},
    {B38400, 38400},
    {B57600, 57600},
    {B115200, 115200},
}};

} // namespace

PtyPeer::PtyPeer()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return;
    m_path = QString::fromLocal8Bit(::ptsname(m_master));
    m_slave = ::open(::ptsname(m_master), O_RDWR | O_NOCTTY);
    if (m_slave < 0)
        return;
    makeRaw(m_master);
    makeRaw(m_slave);
}

PtyPeer::~PtyPeer()
{
    waitSent();
    hangUp();
}

void PtyPeer::sendPaced(const QByteArray &bytes, int pauseAfter, std::chrono::milliseconds pause)
{
    waitSent();
    m_gaps.clear();
    m_sender = std::thread([this, bytes, pauseAfter, pause] {
        // Absolute times: a late wake-up catches up instead of stretching the whole frame.
        auto due = std::chrono::steady_clock::now();
        auto previous = due;
        for (int i = 0; i < bytes.size(); ++i) {
            if (i == pauseAfter)
                due += pause;
            std::this_thread::sleep_until(due);
            const auto now = std::chrono::steady_clock::now();
            m_gaps.push_back(
                i == 0 ? std::chrono::microseconds(0)
                       : std::chrono::duration_cast<std::chrono::microseconds>(now - previous));
            if (!writeAll(m_master, bytes.constData() + i, 1))
                return;
            previous = std::chrono::steady_clock::now();
            due += kCharTime;
        }
    });
}

std::vector<std::chrono::microseconds> PtyPeer::gapsBefore()
{
    waitSent();
    return m_gaps;
}

void PtyPeer::waitSent()
{
    if (m_sender.joinable())
        m_sender.join();
}

bool PtyPeer::sendNow(const QByteArray &bytes)
{
    return writeAll(m_master, bytes.constData(), bytes.size());
}

QByteArray PtyPeer::read(int count, int timeoutMs)
{
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (got.size() < count) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            break;
        pollfd pfd{m_master, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, int(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || !(pfd.revents & POLLIN))
            break;
        char buffer[4096];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got.append(buffer, n);
    }
    return got;
}

QString PtyPeer::lineSettings() const
{
    termios tio{};
    if (::tcgetattr(m_slave, &tio) != 0)
        return QString();

    int baud = 0;
    for (const auto &[code, rate] : kSpeeds) {
        if (::cfgetospeed(&tio) == code)
            baud = rate;
    }
    int dataBits = 8;
    switch (tio.c_cflag & CSIZE) {
    case CS5:
        dataBits = 5;
        break;
    case CS6:
        dataBits = 6;
        break;
    case CS7:
        dataBits = 7;
        break;
    default:
        break;
    }
    const char parity = !(tio.c_cflag & PARENB) ? 'N' : (tio.c_cflag & PARODD) ? 'O' : 'E';
    QString text = QStringLiteral("%1 %2%3%4")
                       .arg(baud)
                       .arg(dataBits)
                       .arg(QLatin1Char(parity))
                       .arg((tio.c_cflag & CSTOPB) ? 2 : 1);
    if (tio.c_cflag & CRTSCTS)
        text += QStringLiteral(" rtscts");
    if (tio.c_iflag & (IXON | IXOFF))
        text += QStringLiteral(" xonxoff");
    return text;
}

bool PtyPeer::isExclusive() const
{
#ifdef TIOCGEXCL
    int exclusive = 0;
    return ::ioctl(m_slave, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
#else
    return false;
#endif
}

void PtyPeer::hangUp()
{
    waitSent();
    for (int *fd : {&m_slave, &m_master}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

#endif // Q_OS_UNIX
