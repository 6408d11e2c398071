// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

/** The subcommands of writefreq-cli, one file each; each takes the arguments after its name and
 *  returns the exit code. */
namespace wf::cli {

int runPorts(const QStringList &arguments);
int runRead(const QStringList &arguments);
int runWrite(const QStringList &arguments);
int runRestore(const QStringList &arguments);
int runDiff(const QStringList &arguments);
int runShow(const QStringList &arguments);
int runImport(const QStringList &arguments);
int runExport(const QStringList &arguments);
int runFleet(const QStringList &arguments);

} // namespace wf::cli
