// SPDX-License-Identifier: GPL-3.0-or-later
// writefreq-cli read: the main read into a data file, and with --image every bank into a radio
// image.
#include "channels/datafile.h"
#include "channels/sheetimage.h"
#include "protocol/regularfile.h"
#include "tools/cli/clicommon.h"
#include "tools/cli/commands.h"

#include <QDateTime>
#include <QFileInfo>

namespace wf::cli {

int runRead(const QStringList &arguments)
{
    Arguments args(QStringLiteral("read"),
                   QStringLiteral("Reads the radio's channels and settings into a data file "
                                  "(--out), and with --image every block of every bank into a "
                                  "radio image."),
                   QString());
    args.addRadioOptions();
    args.parser().addOptions({
        {QStringLiteral("out"), QStringLiteral("Data file to write (\".wh\")."),
         QStringLiteral("FILE")},
        {QStringLiteral("image"),
         QStringLiteral("Also read the signalling banks and save the complete radio image."),
         QStringLiteral("FILE")},
        {QStringLiteral("lang"),
         QStringLiteral("Language of the data file's texts: zh or en (default: the program's "
                        "language setting, Chinese when it has none)."),
         QStringLiteral("zh|en")},
    });
    int exit = kSuccess;
    QStringList none;
    if (!args.parse(arguments, 0, &none, &exit))
        return exit;
    const QString out = args.parser().value(QStringLiteral("out"));
    const QString imagePath = args.parser().value(QStringLiteral("image"));
    std::optional<Language> lang;
    if (!languageOption(args.parser(), QStringLiteral("read"), &lang))
        return kUsageError;
    if (out.isEmpty() && imagePath.isEmpty()) {
        complain(QStringLiteral("read: say where to put what is read: --out FILE.wh and/or "
                                "--image FILE"));
        return kUsageError;
    }
    // Whatever reads files back takes a ".wh" for a data file: an image under that name would
    // be read as one.
    if (QFileInfo(imagePath).suffix().compare(datafile::kSuffix, Qt::CaseInsensitive) == 0) {
        complain(QStringLiteral("read: --image saves a radio image, and %1 is a data file's name "
                                "(.wh): give the image another (such as .img); --out saves the "
                                "data file")
                     .arg(imagePath));
        return kUsageError;
    }
    // Both are saved by renaming a new file over the old one: over a device that would put a
    // file in its place, and one path given twice would keep only the second save.
    for (const QString &target : {out, imagePath}) {
        if (const QString reason = target.isEmpty() ? QString() : whyNotSaveable(target);
            !reason.isEmpty()) {
            complain(QStringLiteral("read: cannot save to %1: %2").arg(target, reason));
            return kUsageError;
        }
    }
    if (!out.isEmpty() && !imagePath.isEmpty() && savedFilePath(out) == savedFilePath(imagePath)) {
        complain(QStringLiteral("read: --out and --image name the same file (%1); give each its "
                                "own")
                     .arg(savedFilePath(out)));
        return kUsageError;
    }
    // Without --lang the file comes out as the program's window would save it.
    const Language language = lang.value_or(settingsLanguage());

    StopSignals stops;
    auto session = openSession(args);
    QObject::connect(&stops, &StopSignals::stopRequested, session.get(),
                     [&](int) { session->requestStop(); });
    RadioImage image;
    const RadioSession::Result result =
        imagePath.isEmpty() ? session->readBanks({Bank::Channels, Bank::Settings}, &image)
                            : session->readAll(&image);
    if (result != RadioSession::Result::Done) {
        complain(session->errorText());
        return exitCodeFor(result);
    }
    keepReadSnapshot(image, args.port());
    if (!imagePath.isEmpty()) {
        image.taken = QDateTime::currentDateTime();
        image.port = args.port();
        QString error;
        if (!image.writeFile(imagePath, programVersion(), &error)) {
            complain(error);
            return kBadFile;
        }
        note(QStringLiteral("image saved: %1").arg(imagePath));
    }
    if (!out.isEmpty()) {
        const QString error = datafile::write(out, imageToSheet(image, language), language);
        if (!error.isEmpty()) {
            complain(error);
            return kBadFile;
        }
        note(QStringLiteral("data file saved: %1").arg(out));
    }
    return kSuccess;
}

} // namespace wf::cli
