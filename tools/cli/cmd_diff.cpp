// SPDX-License-Identifier: GPL-3.0-or-later
// writefreq-cli diff: what differs between two data files, images or radios, as a person
// reads it.
#include "tools/cli/clicommon.h"
#include "tools/cli/commands.h"

namespace wf::cli {

int runDiff(const QStringList &arguments)
{
    Arguments args(QStringLiteral("diff"),
                   QStringLiteral("Prints what differs from A to B, each a data file (\".wh\"), "
                                  "a radio image or radio:PORT; prints nothing and exits with 0 "
                                  "when they are equal, 1 when they differ."),
                   QStringLiteral("A B"));
    args.addTimeoutOption();
    int exit = kSuccess;
    QStringList names;
    if (!args.parse(arguments, &exit))
        return exit;
    if (!args.positional(2, &names))
        return kUsageError;
    setQuiet(true);
    Source a;
    Source b;
    if (const int failed = loadSource(names[0], args.timeoutMs(), &a))
        return failed;
    if (const int failed = loadSource(names[1], args.timeoutMs(), &b))
        return failed;
    const QStringList lines = describeDifferences(a, b);
    for (const QString &line : lines)
        say(line);
    return lines.isEmpty() ? kSuccess : kDifferent;
}

} // namespace wf::cli
