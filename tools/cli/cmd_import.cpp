// SPDX-License-Identifier: GPL-3.0-or-later
// writefreq-cli import: a channel plan from a spreadsheet (CSV) into a data file.
#include "channels/csvplan.h"
#include "channels/datafile.h"
#include "tools/cli/clicommon.h"
#include "tools/cli/commands.h"

namespace wf::cli {

int runImport(const QStringList &arguments)
{
    Arguments args(QStringLiteral("import"),
                   QStringLiteral("Reads a channel plan (CSV: a header row of column names, one "
                                  "row a channel, the settings after a blank line) into a data "
                                  "file, every cell checked as if typed into the table."),
                   QStringLiteral("PLAN.csv"));
    args.parser().addOptions({
        {QStringLiteral("out"), QStringLiteral("Data file to write (\".wh\")."),
         QStringLiteral("FILE")},
        {QStringLiteral("lang"),
         QStringLiteral("Language of the data file's texts: zh or en (default: the language of "
                        "the plan's column names)."),
         QStringLiteral("zh|en")},
    });
    int exit = kSuccess;
    QStringList files;
    if (!args.parse(arguments, 1, &files, &exit))
        return exit;
    std::optional<Language> lang;
    if (!languageOption(args.parser(), QStringLiteral("import"), &lang))
        return kUsageError;
    const QString out = args.parser().value(QStringLiteral("out"));
    if (out.isEmpty()) {
        complain(QStringLiteral("import: say where the data file goes: --out FILE.wh"));
        return kUsageError;
    }

    const auto read = [&](Language language) {
        return csvplan::readPlan(files.first(), csvplan::freshSheet(language), language);
    };
    csvplan::Imported imported = read(lang.value_or(Language::English));
    // A plan with Chinese column names becomes a file in Chinese unless told otherwise.
    if (imported.ok() && !lang && imported.headerLanguage == Language::Chinese)
        imported = read(Language::Chinese);
    if (!imported.ok()) {
        complain(QStringLiteral("%1; nothing was written").arg(imported.error));
        return kBadFile;
    }
    const Language language = lang.value_or(imported.headerLanguage);
    note(csvplan::summary(imported, Language::English));
    if (const QString error = datafile::write(out, imported.sheet, language); !error.isEmpty()) {
        complain(error);
        return kBadFile;
    }
    note(QStringLiteral("data file saved: %1").arg(out));
    return kSuccess;
}

} // namespace wf::cli
