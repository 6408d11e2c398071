// SPDX-License-Identifier: GPL-3.0-or-later
// writefreq-cli diff: what differs between two data files, images or radios, as a person
// reads it.
#include "tools/cli/clicommon.h"
#include "tools/cli/commands.h"

#include <cstdio>

namespace wf::cli {

int runDiff(const QStringList &arguments)
{
    Arguments args(QStringLiteral("diff"),
                   QStringLiteral("Prints what differs from A to B, each a data file (\".wh\"), "
                                  "a radio image or radio:PORT, as the windows show it: one "
                                  "line a field (\"CH 2, RX Freq: A 438.52500, B 145.50000\"), "
                                  "and a byte no window shows as a byte (\"FSK block 0 byte 12: "
                                  "A 00, B ff\"). The signalling tables count when both are "
                                  "images or radios. Prints nothing and exits with 0 when they "
                                  "are equal, 1 when they differ."),
                   QStringLiteral("A B"));
    args.addFormatOption(
        QStringLiteral("text (one line a difference), csv or json, each difference with its "
                       "window, control, row, column, block, byte, place, field, A and B."));
    args.addTimeoutOption();
    int exit = kSuccess;
    QStringList names;
    if (!args.parse(arguments, 2, &names, &exit))
        return exit;
    setQuiet(true);
    Source a;
    Source b;
    if (const int failed = loadSource(names[0], args.timeoutMs(), &a))
        return failed;
    if (const int failed = loadSource(names[1], args.timeoutMs(), &b))
        return failed;
    RadioImage first;
    RadioImage second;
    QList<compare::Window> windows;
    if (const int failed = comparedImages(a, b, &first, &second, &windows))
        return failed;
    const QList<compare::Difference> differences =
        compare::compareContents(first, second, Language::English, windows);
    switch (args.format()) {
    case SheetFormat::Text:
        for (const compare::Difference &d : differences)
            say(compare::sentence(d, compare::kAAndB, Language::English));
        break;
    case SheetFormat::Csv:
        std::fputs(compare::differencesCsv(differences, compare::kAAndB).toUtf8().constData(),
                   stdout);
        break;
    case SheetFormat::Json:
        std::fputs(compare::differencesJson(differences, compare::kAAndB).toUtf8().constData(),
                   stdout);
        break;
    }
    return differences.isEmpty() ? kSuccess : kDifferent;
}

} // namespace wf::cli
