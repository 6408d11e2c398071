// SPDX-License-Identifier: GPL-3.0-or-later
// writefreq-cli ports: every serial port the system and WRITEFREQ_PORTS offer, what it is, and
// whether this user can open it; when one cannot be opened, why and what to do.
#include "tools/cli/clicommon.h"
#include "tools/cli/commands.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace wf::cli {

namespace {

struct PortEntry
{
    QString location;
    QString description;
    QString manufacturer;
    QString usbId;
    QString serialNumber;
    QString source; ///< "system" or "WRITEFREQ_PORTS"
};

#ifdef Q_OS_UNIX
// Programs that take new USB serial adapters for themselves: each is a frequent reason why a
// cable "does not work".
struct Grabber
{
    const char *process;
    const char *advice;
};
constexpr Grabber kGrabbers[] = {
    {"ModemManager",
     "ModemManager probes new USB serial devices as modems for several seconds after they appear "
     "and may keep them: wait, or stop it (sudo systemctl stop ModemManager), or mark the adapter "
     "with ID_MM_DEVICE_IGNORE in a udev rule"},
    {"brltty",
     "brltty (a braille display driver) grabs common USB serial adapters (CH340, CP210x, FTDI): "
     "remove the brltty package or disable its udev rules unless you use a braille display"},
};

QStringList runningProcesses()
{
    QStringList names;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &pid : pids) {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        if (comm.open(QIODevice::ReadOnly))
            names << QString::fromLocal8Bit(comm.readAll()).trimmed();
    }
    return names;
}

// A program by its whole name: the kernel's short name (comm) stops at 15 characters, which
// makes two of ours look alike. The executable names it; the command line does when the
// executable cannot be read.
QString programName(const QString &pid)
{
    QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    // A program whose file was replaced while it runs (a rebuild, an upgrade).
    const QString deleted = QStringLiteral(" (deleted)");
    if (exe.endsWith(deleted))
        exe.chop(deleted.size());
    if (!exe.isEmpty())
        return QFileInfo(exe).fileName();
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (cmdline.open(QIODevice::ReadOnly)) {
        const QByteArray first = cmdline.readAll().split('\0').value(0);
        if (!first.isEmpty())
            return QFileInfo(QString::fromLocal8Bit(first)).fileName();
    }
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    return comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll()).trimmed()
                                          : QStringLiteral("?");
}

// The virtual radio keeps the far end of its line open: that is the radio on the port, not a
// program in the way.
constexpr QStringView kVirtualRadio = u"writefreq-vradio";

struct Holder
{
    QString program;
    QString pid;
    QString text() const { return QStringLiteral("%1 (pid %2)").arg(program, pid); }
};

// Processes of this user holding the device open (others' are not visible, and say so).
QList<Holder> holders(const QString &device)
{
    QList<Holder> found;
    const QString target = QFileInfo(device).canonicalFilePath();
    // No device, no holder: sockets and pipes among the descriptors have no target either.
    if (target.isEmpty())
        return found;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &pid : pids) {
        bool numeric = false;
        pid.toInt(&numeric);
        if (!numeric || pid == QString::number(::getpid()))
            continue;
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QFileInfo &fd : fds.entryInfoList(QDir::Files | QDir::System)) {
            if (fd.symLinkTarget() == target) {
                found << Holder{programName(pid), pid};
                break;
            }
        }
    }
    return found;
}

// Why this user cannot open the device, and what to do; empty when it can.
QString accessProblem(const QString &device)
{
    const QByteArray path = QFile::encodeName(device);
    struct stat info = {};
    if (::stat(path.constData(), &info) != 0)
        return QStringLiteral("the device does not exist (unplugged, or a virtual radio that "
                              "has stopped?)");
    if (::access(path.constData(), R_OK | W_OK) == 0)
        return {};
    const group *owner = ::getgrgid(info.st_gid);
    const QString groupName =
        owner ? QString::fromLocal8Bit(owner->gr_name) : QString::number(info.st_gid);
    return QStringLiteral("no permission: the device belongs to group '%1' and you are not in "
                          "it; run: sudo usermod -aG %1 $USER, then log out and in again")
        .arg(groupName);
}
#endif

QString yesNo(const QString &problem)
{
    return problem.isEmpty() ? QStringLiteral("yes") : QStringLiteral("no: ") + problem;
}

} // namespace

int runPorts(const QStringList &arguments)
{
    Arguments args(QStringLiteral("ports"),
                   QStringLiteral("Lists every serial port (and the WRITEFREQ_PORTS entries) with "
                                  "what is known of it and whether you can open it; says why "
                                  "not and what to do."),
                   QString());
    int exit = kSuccess;
    QStringList none;
    if (!args.parse(arguments, 0, &none, &exit))
        return exit;

    QList<PortEntry> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        PortEntry entry;
        entry.location = info.systemLocation();
        entry.description = info.description();
        entry.manufacturer = info.manufacturer();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            entry.usbId = QStringLiteral("%1:%2")
                              .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                              .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        }
        entry.serialNumber = info.serialNumber();
        entry.source = QStringLiteral("system");
        ports << entry;
    }
#ifdef Q_OS_WIN
    const QChar separator = u';';
#else
    const QChar separator = u':';
#endif
    for (const QString &path :
         qEnvironmentVariable("WRITEFREQ_PORTS").split(separator, Qt::SkipEmptyParts)) {
        PortEntry entry;
        entry.location = path;
        entry.source = QStringLiteral("WRITEFREQ_PORTS");
        ports << entry;
    }

    if (ports.isEmpty()) {
        say(QStringLiteral("No serial port found."));
#ifdef Q_OS_WIN
        say(QStringLiteral("Plug the programming cable in and look in the Device Manager: a "
                           "cable shown with a warning sign under \"Other devices\" needs its "
                           "driver (CH340, CP210x, PL2303 or FTDI, from the cable's maker)."));
#else
        say(QStringLiteral("Plug the programming cable in; 'dmesg | tail' shows whether the "
                           "system saw it (a ttyUSB or ttyACM device), and whether a program "
                           "such as brltty took it."));
#endif
    }

    bool anyProblem = false;
    for (const PortEntry &port : ports) {
        say(port.location);
        const auto field = [](const QString &name, const QString &value) {
            if (!value.isEmpty())
                say(QStringLiteral("  %1: %2").arg(name, value));
        };
        field(QStringLiteral("description"), port.description);
        field(QStringLiteral("manufacturer"), port.manufacturer);
        field(QStringLiteral("USB VID:PID"), port.usbId);
        field(QStringLiteral("serial number"), port.serialNumber);
        field(QStringLiteral("listed by"), port.source);
#ifdef Q_OS_UNIX
        const QString problem = accessProblem(port.location);
        field(QStringLiteral("can open"), yesNo(problem));
        anyProblem = anyProblem || !problem.isEmpty();
        QStringList radios;
        QStringList users;
        for (const Holder &holder : holders(port.location))
            (holder.program == kVirtualRadio ? radios : users) << holder.text();
        if (!radios.isEmpty()) {
            field(QStringLiteral("served by"),
                  radios.join(QStringLiteral(", ")) +
                      QStringLiteral(", the virtual radio on this port"));
        }
        if (!users.isEmpty()) {
            field(QStringLiteral("in use by"),
                  users.join(QStringLiteral(", ")) +
                      QStringLiteral(" (close that program before programming the radio)"));
            anyProblem = true;
        }
#else
        field(QStringLiteral("can open"), QStringLiteral("not checked on this system"));
#endif
    }

#ifdef Q_OS_UNIX
    // Programs known to take serial adapters away, whichever port is in question.
    const QStringList running = runningProcesses();
    for (const Grabber &grabber : kGrabbers) {
        if (running.contains(QLatin1String(grabber.process)))
            say(QStringLiteral("note: %1 runs on this machine. %2.")
                    .arg(QLatin1String(grabber.process), QLatin1String(grabber.advice)));
    }
    if (anyProblem) {
        say(QStringLiteral("note: a port held by another user's program does not show as in "
                           "use here; 'sudo fuser -v DEVICE' shows it."));
    }
#else
    Q_UNUSED(anyProblem);
#endif
    return kSuccess;
}

} // namespace wf::cli
