// SPDX-License-Identifier: GPL-3.0-or-later
// writefreq-cli fleet: a box of radios programmed on one cable or on several at once, each radio
// written and verified, with a line in one log for each.
#include "tools/cli/clicommon.h"
#include "tools/cli/commands.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>
#include <vector>

namespace wf::cli {

namespace {

constexpr QStringView kLogHeader = u"time,port,snapshot,result,seconds,differences";

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Rows appended to a data file or an image would spoil it, and rows under another header would
// not line up with its columns: the log is looked at before any radio is programmed.
QString whyNotLog(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() == 0)
        return {};
    switch (fileKind(path)) {
    case FileKind::DataFile:
        return QStringLiteral("%1 is a data file (.wh), not a fleet log").arg(path);
    case FileKind::Image:
        return QStringLiteral("%1 is a radio image, not a fleet log").arg(path);
    case FileKind::Other:
        break;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    const QString header = QString::fromUtf8(file.readLine()).trimmed();
    if (header != kLogHeader) {
        return QStringLiteral("%1 has other columns than a fleet log (%2)")
            .arg(path, kLogHeader.toString());
    }
    return {};
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
        file.write(kLogHeader.toUtf8() + '\n');
    QStringList quoted;
    for (const QString &field : fields)
        quoted << csvField(field);
    file.write((quoted.join(QLatin1Char(',')) + QLatin1Char('\n')).toUtf8());
    return file.flush();
}

enum class Waited { Yes, Stopped, TimedOut };

// Waits until a radio on the port answers the handshake (or, with `answering` false, until none
// does), for ever or until `deadline`.
Waited waitForRadio(const QString &port, bool answering, int pollMs, QDeadlineTimer deadline,
                    StopRequests &stops)
{
    while (stops.count() == 0) {
        if (deadline.hasExpired())
            return Waited::TimedOut;
        RadioSession probe(port);
        const QMetaObject::Connection stop = QObject::connect(
            &stops, &StopRequests::stopRequested, &probe, [&probe](int) { probe.requestStop(); });
        const RadioSession::Result result = probe.probe(pollMs);
        QObject::disconnect(stop);
        if (result == RadioSession::Result::Interrupted)
            return Waited::Stopped;
        if ((result == RadioSession::Result::Done) == answering)
            return Waited::Yes;
        if (result == RadioSession::Result::PortError) {
            // No port at all (an adapter or a virtual radio between two radios): look again
            // after a while, still answering the stop signal at once.
            QEventLoop pause;
            QTimer::singleShot(pollMs, &pause, &QEventLoop::quit);
            QObject::connect(&stops, &StopRequests::stopRequested, &pause, &QEventLoop::quit);
            pause.exec();
        }
    }
    return Waited::Stopped;
}

/** One radio's line in the log. */
struct RadioReport
{
    QString port;
    QString snapshot;
    int exitCode = kSuccess;
    QString summary;
    double seconds = 0;
    QStringList differences;
};

struct FleetSettings
{
    ChannelSheet sheet;
    bool snapshot = true;
    bool verify = true;
    bool once = false;
    int timeoutMs = RadioSession::kDefaultTimeoutMs;
    int pollMs = 1000;
    QString logPath;
};

/** Every cable at once, each on a thread of its own: a cable goes on to its next radio as soon
 *  as its own radio is done, whatever the others do, and a cable that fails holds no other up.
 *  The log and the counts are kept on the main thread, which only waits for the cables' news. */
class Fleet final
{
public:
    Fleet(const FleetSettings &settings, const QStringList &ports, StopSignals &stops)
        : m_settings(settings)
        , m_ports(ports)
        , m_stops(stops)
    {}

    /** Runs until every cable has ended; returns the exit code of the first radio that failed. */
    int run()
    {
        std::vector<std::unique_ptr<QThread>> cables;
        QEventLoop loop;
        int running = int(m_ports.size());
        for (const QString &port : m_ports) {
            std::unique_ptr<QThread> cable(QThread::create([this, port] { runCable(port); }));
            cable->setObjectName(port);
            QObject::connect(cable.get(), &QThread::finished, &loop, [&] {
                if (--running == 0)
                    loop.quit();
            });
            cable->start();
            cables.push_back(std::move(cable));
        }
        loop.exec();
        for (const auto &cable : cables)
            cable->wait();
        say(QStringLiteral("%1 radio(s) programmed: %2 passed, %3 failed")
                .arg(m_radios)
                .arg(m_passed)
                .arg(m_radios - m_passed));
        return m_firstFailure;
    }

private:
    // On the cable's thread: radio after radio on this one cable.
    void runCable(const QString &port)
    {
        const bool several = m_ports.size() > 1;
        if (several)
            setLinePrefix(port + QStringLiteral(": "));
        StopRequests stops;
        stops.follow(m_stops);
        QString where; // what the cable was doing, for the line that says where it stopped
        while (true) {
            where = QStringLiteral("while waiting for a radio");
            say(several ? QStringLiteral("waiting for a radio (Ctrl-C to end)")
                        : QStringLiteral("waiting for a radio on %1 (Ctrl-C to end)").arg(port));
            // A script's single round gives each cable the --timeout to find its radio.
            const QDeadlineTimer deadline = m_settings.once
                                                ? QDeadlineTimer(m_settings.timeoutMs)
                                                : QDeadlineTimer(QDeadlineTimer::Forever);
            const Waited waited = waitForRadio(port, true, m_settings.pollMs, deadline, stops);
            if (waited == Waited::Stopped)
                break;
            const int number = ++m_numbers;
            RadioReport report;
            report.port = port;
            if (waited == Waited::TimedOut) {
                report.exitCode = kNoAnswer;
                report.summary = QStringLiteral("no radio answered on %1 within %2 s")
                                     .arg(port)
                                     .arg(m_settings.timeoutMs / 1000.0);
            } else {
                say(QStringLiteral("radio %1: programming").arg(number));
                QElapsedTimer clock;
                clock.start();
                auto session = openSession(port, m_settings.timeoutMs);
                const WriteOutcome outcome = safeWrite(
                    *session, m_settings.sheet, m_settings.snapshot, m_settings.verify, stops);
                report.seconds = clock.elapsed() / 1000.0;
                report.snapshot = outcome.snapshot;
                report.exitCode = outcome.exitCode;
                report.summary = outcome.summary;
                report.differences = outcome.mismatches;
            }
            const QString result = report.exitCode == kSuccess
                                       ? QStringLiteral("PASS")
                                       : QStringLiteral("FAIL: ") + report.summary;
            say(QStringLiteral("radio %1: %2 (%3 s)")
                    .arg(number)
                    .arg(result)
                    .arg(report.seconds, 0, 'f', 1));
            where = QStringLiteral("after radio %1: %2").arg(number).arg(result);
            QMetaObject::invokeMethod(
                &m_mainThread, [this, report] { logRadio(report); }, Qt::QueuedConnection);
            if (stops.count() > 0 || m_settings.once)
                break;
            say(QStringLiteral("next radio: take this one off the cable and connect the next"));
            where = QStringLiteral("while waiting for radio %1 to be taken off").arg(number);
            if (waitForRadio(port, false, m_settings.pollMs, QDeadlineTimer::Forever, stops) !=
                Waited::Yes)
                break;
        }
        if (several && stops.count() > 0)
            say(QStringLiteral("stopped %1").arg(where));
    }

    // On the main thread, in the order the radios ended.
    void logRadio(const RadioReport &report)
    {
        ++m_radios;
        if (report.exitCode == kSuccess)
            ++m_passed;
        else if (m_firstFailure == kSuccess)
            m_firstFailure = report.exitCode;
        if (m_settings.logPath.isEmpty())
            return;
        const QStringList fields = {
            QDateTime::currentDateTime().toString(Qt::ISODate),
            report.port,
            report.snapshot,
            report.exitCode == kSuccess ? QStringLiteral("pass")
                                        : QStringLiteral("FAIL: ") + report.summary,
            QString::number(report.seconds, 'f', 1),
            report.differences.join(QStringLiteral("; ")),
        };
        QString error;
        if (!appendLog(m_settings.logPath, fields, &error))
            complain(QStringLiteral("cannot write the log: %1").arg(error));
    }

    const FleetSettings &m_settings;
    const QStringList m_ports;
    StopSignals &m_stops;
    QObject m_mainThread; ///< the cables' news is delivered here
    std::atomic<int> m_numbers{0};
    int m_radios = 0;
    int m_passed = 0;
    int m_firstFailure = kSuccess;
};

// The same cable twice would have two threads fight over one port.
QString repeatedPort(const QStringList &ports)
{
    QStringList seen;
    for (const QString &port : ports) {
        const QString canonical = QFileInfo(port).canonicalFilePath();
        const QString key = canonical.isEmpty() ? port : canonical;
        if (seen.contains(key))
            return port;
        seen << key;
    }
    return {};
}

} // namespace

int runFleet(const QStringList &arguments)
{
    Arguments args(QStringLiteral("fleet"),
                   QStringLiteral("Programs radio after radio with one data file, on every "
                                  "--port at once: waits until a radio answers, writes and "
                                  "verifies it (with a snapshot first), logs the result, then "
                                  "waits for the next radio on that cable. Ctrl-C ends it "
                                  "between radios; during a write it lets the write finish "
                                  "first, and a second Ctrl-C stops every cable at a block "
                                  "boundary."),
                   QStringLiteral("FILE.wh"));
    args.addRadioOptions();
    args.allowSeveralPorts();
    args.addSafeWriteOptions(
        QStringLiteral("Do not save each radio's complete image first (its channels and "
                       "settings are still read, for the bytes no cell shows)."));
    args.parser().addOptions({
        {QStringLiteral("log"),
         QStringLiteral("CSV file to append a line to for every radio (time, port, snapshot, "
                        "result, seconds, differences)."),
         QStringLiteral("FILE")},
        {QStringLiteral("poll"),
         QStringLiteral("Seconds between looks for the next radio (%1 to %2, default 1).")
             .arg(kMinSeconds)
             .arg(kMaxSeconds),
         QStringLiteral("SECONDS"), QStringLiteral("1")},
        {QStringLiteral("once"),
         QStringLiteral("Program one radio on each cable, then end (a cable whose radio does "
                        "not answer within --timeout counts it failed).")},
    });
    int exit = kSuccess;
    QStringList files;
    if (!args.parse(arguments, 1, &files, &exit))
        return exit;
    const QString pollText = args.parser().value(QStringLiteral("poll"));
    const std::optional<int> poll = secondsToMs(pollText);
    if (!poll) {
        complain(QStringLiteral("fleet: %1").arg(badSeconds(QStringLiteral("poll"), pollText)));
        return kUsageError;
    }
    const QStringList ports = args.ports();
    if (const QString twice = repeatedPort(ports); !twice.isEmpty()) {
        complain(
            QStringLiteral("fleet: --port %1 is given twice; give each cable once").arg(twice));
        return kUsageError;
    }
    FleetSettings settings;
    settings.logPath = args.parser().value(QStringLiteral("log"));
    if (const QString why = whyNotLog(settings.logPath); !why.isEmpty()) {
        complain(
            QStringLiteral("fleet: --log: %1; give a new file or an earlier fleet log").arg(why));
        return kUsageError;
    }
    if (const int failed = loadDataFile(files.first(), &settings.sheet))
        return failed;
    settings.snapshot = args.snapshot();
    settings.verify = args.verify();
    settings.once = args.parser().isSet(QStringLiteral("once"));
    settings.timeoutMs = args.timeoutMs();
    settings.pollMs = *poll;

    StopSignals stops;
    Fleet fleet(settings, ports, stops);
    return fleet.run();
}

} // namespace wf::cli
