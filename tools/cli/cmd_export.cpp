// SPDX-License-Identifier: GPL-3.0-or-later
// writefreq-cli export: the channel plan of a data file, an image or a radio as CSV, or
// everything it holds as a PDF document.
#include "channels/csvplan.h"
#include "channels/sheetimage.h"
#include "contents/printdocument.h"
#include "tools/cli/clicommon.h"
#include "tools/cli/commands.h"

#include <cstdio>

namespace wf::cli {

int runExport(const QStringList &arguments)
{
    Arguments args(QStringLiteral("export"),
                   QStringLiteral("Writes the channel plan of a data file (\".wh\"), a radio "
                                  "image or radio:PORT as CSV, or its channels, settings and "
                                  "signalling tables as a PDF document."),
                   QStringLiteral("FILE"));
    args.parser().addOptions({
        {QStringLiteral("format"), QStringLiteral("csv or pdf."), QStringLiteral("csv|pdf")},
        {QStringLiteral("out"),
         QStringLiteral("File to write; CSV goes to standard output without it."),
         QStringLiteral("FILE")},
        {QStringLiteral("lang"),
         QStringLiteral("Language of the texts: zh or en (default: a data file's own, else the "
                        "program's language setting)."),
         QStringLiteral("zh|en")},
        {QStringLiteral("separator"),
         QStringLiteral("CSV field separator: comma (default) or semicolon."),
         QStringLiteral("comma|semicolon")},
        {QStringLiteral("paper"),
         QStringLiteral("PDF paper: a4 or letter (default: the one of the system's country)."),
         QStringLiteral("a4|letter")},
    });
    args.addTimeoutOption();
    int exit = kSuccess;
    QStringList files;
    if (!args.parse(arguments, 1, &files, &exit))
        return exit;
    const QCommandLineParser &parser = args.parser();
    const QString format = parser.value(QStringLiteral("format"));
    const QString out = parser.value(QStringLiteral("out"));
    const QString separatorName = parser.value(QStringLiteral("separator"));
    const QString paperName = parser.value(QStringLiteral("paper"));
    std::optional<Language> lang;
    if (!languageOption(parser, QStringLiteral("export"), &lang))
        return kUsageError;
    if (format != QLatin1String("csv") && format != QLatin1String("pdf")) {
        complain(QStringLiteral("export: --format is csv or pdf, not '%1'").arg(format));
        return kUsageError;
    }
    if (format == QLatin1String("pdf") && out.isEmpty()) {
        complain(QStringLiteral("export: a PDF needs a file: --out PLAN.pdf"));
        return kUsageError;
    }
    QChar separator = u',';
    if (separatorName == QLatin1String("semicolon") || separatorName == QLatin1String(";")) {
        separator = u';';
    } else if (!separatorName.isEmpty() && separatorName != QLatin1String("comma") &&
               separatorName != QLatin1String(",")) {
        complain(QStringLiteral("export: --separator is comma or semicolon, not '%1'")
                     .arg(separatorName));
        return kUsageError;
    }
    QPageSize::PageSizeId paper = print::localPaper();
    if (paperName.compare(QLatin1String("a4"), Qt::CaseInsensitive) == 0) {
        paper = QPageSize::A4;
    } else if (paperName.compare(QLatin1String("letter"), Qt::CaseInsensitive) == 0) {
        paper = QPageSize::Letter;
    } else if (!paperName.isEmpty()) {
        complain(QStringLiteral("export: --paper is a4 or letter, not '%1'").arg(paperName));
        return kUsageError;
    }

    setQuiet(true);
    Source source;
    if (const int failed = loadSource(files.first(), args.timeoutMs(), &source))
        return failed;
    const Language language = lang.value_or(source.image ? settingsLanguage() : source.language);
    RadioContents contents;
    contents.sheet = sheetIn(source.sheet, language);
    print::Origin origin;
    if (source.image) {
        contents = contentsOfImage(*source.image, language);
        origin.port = source.image->port;
        origin.readAt = source.image->taken;
    }
    if (!files.first().startsWith(QLatin1String("radio:")))
        origin.fileName = files.first();

    QString error;
    if (format == QLatin1String("pdf")) {
        int pages = 0;
        error =
            print::writePdf(out, print::buildDocument(contents, origin, language), paper, &pages);
        if (error.isEmpty())
            say(QStringLiteral("%1: %2 page(s)").arg(out).arg(pages));
    } else if (out.isEmpty()) {
        std::fputs(csvplan::planText(contents.sheet, language, separator).toUtf8().constData(),
                   stdout);
    } else {
        error = csvplan::writePlan(out, contents.sheet, language, separator);
    }
    if (!error.isEmpty()) {
        complain(error);
        return kBadFile;
    }
    return kSuccess;
}

} // namespace wf::cli
