// SPDX-License-Identifier: GPL-3.0-or-later
// writefreq-cli show: the channel table and settings of a data file, an image or a radio.
#include "tools/cli/clicommon.h"
#include "tools/cli/commands.h"

namespace wf::cli {

int runShow(const QStringList &arguments)
{
    Arguments args(QStringLiteral("show"),
                   QStringLiteral("Prints the channel table and settings of a data file "
                                  "(\".wh\"), a radio image, or radio:PORT."),
                   QStringLiteral("FILE"));
    args.parser().addOptions({
        {QStringLiteral("format"), QStringLiteral("text (aligned columns), csv or json."),
         QStringLiteral("text|csv|json"), QStringLiteral("text")},
    });
    args.addTimeoutOption();
    int exit = kSuccess;
    QStringList files;
    if (!args.parse(arguments, &exit))
        return exit;
    if (!args.positional(1, &files))
        return kUsageError;
    const QString name = args.parser().value(QStringLiteral("format"));
    SheetFormat format = SheetFormat::Text;
    if (name == QLatin1String("csv")) {
        format = SheetFormat::Csv;
    } else if (name == QLatin1String("json")) {
        format = SheetFormat::Json;
    } else if (name != QLatin1String("text")) {
        complain(QStringLiteral("show: --format is text, csv or json, not '%1'").arg(name));
        return kUsageError;
    }
    setQuiet(true);
    Source source;
    if (const int failed = loadSource(files.first(), args.timeoutMs(), &source))
        return failed;
    std::fputs(formatSheet(source.sheet, format).toUtf8().constData(), stdout);
    return kSuccess;
}

} // namespace wf::cli
