// SPDX-License-Identifier: GPL-3.0-or-later
// writefreq-cli write: a data file into the radio, checked before the handshake, with a snapshot
// of the radio before and a verify after.
#include "tools/cli/clicommon.h"
#include "tools/cli/commands.h"

namespace wf::cli {

int runWrite(const QStringList &arguments)
{
    Arguments args(QStringLiteral("write"),
                   QStringLiteral("Writes a data file's channels and settings into the radio. "
                                  "Every block is built and checked first; then the radio's "
                                  "complete image is saved as a snapshot, each block is built "
                                  "over the radio's own (bytes no cell shows keep the radio's "
                                  "values), written and read back, and compared byte for "
                                  "byte."),
                   QStringLiteral("FILE.wh"));
    args.addRadioOptions();
    args.addSafeWriteOptions(
        QStringLiteral("Do not save the radio's complete image first (its channels and settings "
                       "are still read, for the bytes no cell shows)."));
    int exit = kSuccess;
    QStringList files;
    if (!args.parse(arguments, 1, &files, &exit))
        return exit;

    // The check comes before the port is even opened: a text the radio cannot take stops the
    // write before the radio hears anything.
    ChannelSheet sheet;
    if (const int failed = loadDataFile(files.first(), &sheet))
        return failed;

    StopSignals stops;
    auto session = openSession(args);
    const WriteOutcome outcome = safeWrite(*session, sheet, args.snapshot(), args.verify(), stops);
    return outcome.exitCode;
}

} // namespace wf::cli
