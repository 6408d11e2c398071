// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include <QApplication>

void initialiseApplication()
{
    // No display name: Qt would append it to the title of every window on the desktop. The
    // application's title, which messages are titled with, is wf::applicationTitle().
    QApplication::setApplicationName(QStringLiteral("writefreq"));
}
