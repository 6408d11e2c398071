// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

/** What the program entry sets on the application object before it makes the first window.
 *  The tests that look at the windows as the desktop shows them start the same way. */
void initialiseApplication();

namespace wf {

/** What the command line asks of the program. */
struct StartupOptions
{
    QString port;     ///< the serial port to choose in the port list; empty: the first one
    QString dataFile; ///< a data file to open once the window is up; empty: none
};

/** The outcome of reading the command line: the options, or a text to print and the status
 *  to end the program with at once (help, version, a mistake). */
struct ParsedArguments
{
    StartupOptions options;
    bool exit = false;
    int exitCode = 0;
    QString output; ///< for standard output when exitCode is 0, standard error otherwise
};

/** Reads `writefreq [--port NAME] [FILE]`, `--help` and `--version`; the first of `arguments`
 *  is the program's name. Call after initialiseApplication(). */
ParsedArguments parseArguments(const QStringList &arguments);

/** Chooses `port` in the main window's port list. A port the list does not hold, a line the
 *  system does not report such as a virtual radio's, is added where it sorts. */
void selectPort(QComboBox *ports, const QString &port);

} // namespace wf
