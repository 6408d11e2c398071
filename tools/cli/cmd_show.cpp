// SPDX-License-Identifier: GPL-3.0-or-later
// writefreq-cli show: the tables of a data file, an image or a radio: the channel table and
// settings, and from an image or a radio the signalling tables too.
#include "tools/cli/clicommon.h"
#include "tools/cli/commands.h"

#include <cstdio>

namespace wf::cli {

int runShow(const QStringList &arguments)
{
    Arguments args(QStringLiteral("show"),
                   QStringLiteral("Prints the tables of a data file (\".wh\"), a radio image, or "
                                  "radio:PORT: the channel table and settings, and with --table "
                                  "the DTMF, 2-Tone, 5-Tone and FSK tables of an image or a "
                                  "radio under the captions their windows show."),
                   QStringLiteral("FILE"));
    args.addFormatOption(QStringLiteral("text (aligned columns), csv or json."));
    args.parser().addOption(
        {QStringLiteral("table"),
         QStringLiteral("Which table: channels, settings, dtmf, 2tone, 5tone, fsk or all "
                        "(default: the channel table and the settings)."),
         QStringLiteral("NAME")});
    args.addTimeoutOption();
    int exit = kSuccess;
    QStringList files;
    if (!args.parse(arguments, 1, &files, &exit))
        return exit;
    const QString table = args.parser().value(QStringLiteral("table"));
    QList<compare::Window> windows;
    compare::Window window = compare::Window::Channels;
    if (table.isEmpty()) {
        windows = {compare::Window::Channels, compare::Window::Settings};
    } else if (table == QLatin1String("all")) {
        windows =
            QList<compare::Window>(std::begin(compare::kWindows), std::end(compare::kWindows));
    } else if (compare::windowOfKey(table, &window)) {
        windows = {window};
    } else {
        complain(QStringLiteral("show: --table is channels, settings, dtmf, 2tone, 5tone, fsk or "
                                "all, not '%1'")
                     .arg(table));
        return kUsageError;
    }
    setQuiet(true);
    Source source;
    if (const int failed = loadSource(files.first(), args.timeoutMs(), &source))
        return failed;
    const bool signalling = std::any_of(windows.begin(), windows.end(), [](compare::Window w) {
        return compare::bankOf(w) != Bank::Channels && compare::bankOf(w) != Bank::Settings;
    });
    if (signalling && !source.image) {
        complain(QStringLiteral("show: %1 is a data file, which holds only the channel table and "
                                "the settings; the signalling tables are in a radio image "
                                "(writefreq-cli read --image) or in the radio (radio:PORT)")
                     .arg(source.name));
        return kUsageError;
    }
    std::fputs(formatTables(source, windows, args.format()).toUtf8().constData(), stdout);
    return kSuccess;
}

} // namespace wf::cli
