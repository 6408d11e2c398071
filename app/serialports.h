// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace wf {

/** The serial ports the system reports, as the user knows them: COM3 on Windows, the device
 *  path elsewhere. */
QStringList systemSerialPorts();

/** The port list of the main window: the system's ports plus the device paths listed in
 *  `extraPorts` (the WRITEFREQ_PORTS variable: paths separated by `separator`), so that virtual
 *  serial lines can be chosen; sorted alphabetically without regard to case. */
QStringList sortedPortList(const QStringList &systemPorts, const QString &extraPorts,
                           QChar separator);

} // namespace wf

/** Fills `ports` with the serial ports present, sorted, including those WRITEFREQ_PORTS adds. */
void ListSerialPorts(QStringList &ports);
