// SPDX-License-Identifier: GPL-3.0-or-later
// writefreq-cli restore: every block of a radio image (every bank it holds) back into the radio,
// with the same snapshot and verify as a write.
#include "tools/cli/clicommon.h"
#include "tools/cli/commands.h"

namespace wf::cli {

int runRestore(const QStringList &arguments)
{
    Arguments args(QStringLiteral("restore"),
                   QStringLiteral("Writes every block of a radio image (from read --image or a "
                                  "snapshot) back into the radio, with a snapshot before and a "
                                  "verify after. An image of some banks (the snapshot of one "
                                  "read) writes those banks only."),
                   QStringLiteral("IMAGE"));
    args.addRadioOptions();
    args.addSafeWriteOptions(QStringLiteral("Do not read and save the radio first."));
    int exit = kSuccess;
    QStringList files;
    if (!args.parse(arguments, 1, &files, &exit))
        return exit;

    if (const int refused = refuseOtherKind(files.first(), FileKind::Image))
        return refused;
    RadioImage image;
    QString error;
    if (!RadioImage::readFile(files.first(), &image, &error)) {
        complain(QStringLiteral("%1; nothing was sent").arg(error));
        return kBadFile;
    }
    StopSignals stops;
    auto session = openSession(args);
    const WriteOutcome outcome =
        safeWrite(*session, image, WriteScope::All, args.snapshot(), args.verify(), stops);
    return outcome.exitCode;
}

} // namespace wf::cli
