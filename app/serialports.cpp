// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/serialports.h"

#include <QSerialPortInfo>
#include <QtGlobal>

#include <algorithm>

namespace wf {

QStringList systemSerialPorts()
{
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports) {
#ifdef Q_OS_WIN
        names << port.portName();
#else
        names << port.systemLocation();
#endif
    }
    return names;
}

QStringList sortedPortList(const QStringList &systemPorts, const QString &extraPorts,
                           QChar separator)
{
    QStringList names = systemPorts;
    for (const QString &path : extraPorts.split(separator, Qt::SkipEmptyParts)) {
        if (!names.contains(path))
            names << path;
    }
    // Alphabetical without regard to case, so COM10 comes before COM2 as users have always seen.
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

} // namespace wf

void ListSerialPorts(QStringList &ports)
{
#ifdef Q_OS_WIN
    const QChar separator = u';';
#else
    const QChar separator = u':';
#endif
    ports = wf::sortedPortList(wf::systemSerialPorts(), qEnvironmentVariable("WRITEFREQ_PORTS"),
                               separator);
}
