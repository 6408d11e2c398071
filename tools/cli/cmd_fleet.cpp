// SPDX-License-Identifier: GPL-3.0-or-later
// writefreq-cli fleet: a box of radios programmed one after another on one cable, each written
// and verified, with a line in a log for each.
#include "tools/cli/clicommon.h"
#include "tools/cli/commands.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

namespace wf::cli {

namespace {

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool appendLog(const QString &path, const QStringList &fields, QString *error)
{
    QFile file(path);
    const bool fresh = !file.exists() || file.size() == 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    if (fresh)
        file.write("time,port,result,seconds,differences\n");
    QStringList quoted;
    for (const QString &field : fields)
        quoted << csvField(field);
    file.write((quoted.join(QLatin1Char(',')) + QLatin1Char('\n')).toUtf8());
    return file.flush();
}

// Waits until a radio on the port answers the handshake (or, with `answering` false, until none
// does). False when a stop signal came first.
bool waitForRadio(const QString &port, bool answering, int pollMs, StopSignals &stops)
{
    while (stops.count() == 0) {
        RadioSession probe(port);
        const QMetaObject::Connection stop = QObject::connect(
            &stops, &StopSignals::stopRequested, &probe, [&probe](int) { probe.requestStop(); });
        const RadioSession::Result result = probe.probe(pollMs);
        QObject::disconnect(stop);
        if (result == RadioSession::Result::Interrupted)
            return false;
        if ((result == RadioSession::Result::Done) == answering)
            return true;
        if (result == RadioSession::Result::PortError) {
            // No port at all (an adapter or a virtual radio between two radios): look again
            // after a while, still answering the stop signal at once.
            QEventLoop pause;
            QTimer::singleShot(pollMs, &pause, &QEventLoop::quit);
            QObject::connect(&stops, &StopSignals::stopRequested, &pause, &QEventLoop::quit);
            pause.exec();
        }
    }
    return false;
}

} // namespace

int runFleet(const QStringList &arguments)
{
    Arguments args(QStringLiteral("fleet"),
                   QStringLiteral("Programs radio after radio with one data file: waits until a "
                                  "radio answers, writes and verifies it (with a snapshot "
                                  "first), logs the result, then waits for the next radio. "
                                  "Ctrl-C ends it between radios; during a write it lets the "
                                  "write finish first."),
                   QStringLiteral("FILE.wh"));
    args.addRadioOptions();
    args.addSafeWriteOptions(
        QStringLiteral("Do not save each radio's complete image first (its channels and "
                       "settings are still read, for the bytes no cell shows)."));
    args.parser().addOptions({
        {QStringLiteral("log"),
         QStringLiteral("CSV file to append a line to for every radio (time, port, result, "
                        "seconds, differences)."),
         QStringLiteral("FILE")},
        {QStringLiteral("poll"),
         QStringLiteral("Seconds between looks for the next radio (%1 to %2, default 1).")
             .arg(kMinSeconds)
             .arg(kMaxSeconds),
         QStringLiteral("SECONDS"), QStringLiteral("1")},
    });
    int exit = kSuccess;
    QStringList files;
    if (!args.parse(arguments, &exit))
        return exit;
    if (!args.positional(1, &files))
        return kUsageError;
    const QString pollText = args.parser().value(QStringLiteral("poll"));
    const std::optional<int> poll = secondsToMs(pollText);
    if (!poll) {
        complain(QStringLiteral("fleet: %1").arg(badSeconds(QStringLiteral("poll"), pollText)));
        return kUsageError;
    }
    const int pollMs = *poll;
    ChannelSheet sheet;
    if (const int failed = loadDataFile(files.first(), &sheet))
        return failed;

    const QString port = args.port();
    const QString logPath = args.parser().value(QStringLiteral("log"));
    StopSignals stops;
    int radios = 0;
    int passed = 0;
    int firstFailure = kSuccess;
    while (true) {
        say(QStringLiteral("waiting for a radio on %1 (Ctrl-C to end)").arg(port));
        if (!waitForRadio(port, true, pollMs, stops))
            break;
        ++radios;
        say(QStringLiteral("radio %1: programming").arg(radios));
        QElapsedTimer clock;
        clock.start();
        auto session = openSession(args);
        const WriteOutcome outcome =
            safeWrite(*session, sheet, args.snapshot(), args.verify(), stops);
        const double seconds = clock.elapsed() / 1000.0;
        const bool ok = outcome.exitCode == kSuccess;
        if (ok)
            ++passed;
        else if (firstFailure == kSuccess)
            firstFailure = outcome.exitCode;
        if (!logPath.isEmpty()) {
            QString error;
            const QStringList fields = {
                QDateTime::currentDateTime().toString(Qt::ISODate), port,
                ok ? QStringLiteral("pass") : QStringLiteral("FAIL: ") + outcome.summary,
                QString::number(seconds, 'f', 1), outcome.mismatches.join(QStringLiteral("; "))};
            if (!appendLog(logPath, fields, &error))
                complain(QStringLiteral("cannot write the log: %1").arg(error));
        }
        say(QStringLiteral("radio %1: %2 (%3 s)")
                .arg(radios)
                .arg(ok ? QStringLiteral("PASS") : QStringLiteral("FAIL: ") + outcome.summary)
                .arg(seconds, 0, 'f', 1));
        if (stops.count() > 0)
            break;
        say(QStringLiteral("next radio: take this one off the cable and connect the next"));
        if (!waitForRadio(port, false, pollMs, stops))
            break;
    }
    say(QStringLiteral("%1 radio(s) programmed: %2 passed, %3 failed")
            .arg(radios)
            .arg(passed)
            .arg(radios - passed));
    return firstFailure;
}

} // namespace wf::cli
