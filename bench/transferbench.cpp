// SPDX-License-Identifier: GPL-3.0-or-later
//
// writefreq-bench: how long a complete main read and a complete main write take, end to end,
// through the real serial component against the virtual radio, and how that compares with what
// the line itself costs.
//
// Run it from the build directory:
//
//     build/bin/writefreq-bench [--runs N] [--radio-log FILE]
//
// N (default 5) reads and N writes are timed, alternately, after one warm-up read (which also
// fills the channel table the writes send) and one warm-up write that are not counted. The
// virtual radio is the program named by WRITEFREQ_VRADIO, or writefreq-vradio next to this
// program; it runs paced at 9600 baud with its default frame gap and logs every frame to a
// temporary file (or FILE, kept). The windows are drawn off screen unless QT_QPA_PLATFORM says
// otherwise.
//
// What is measured, per transfer:
// - time: from the click on the read or write button to the success message ("读取成功!",
//   "写入成功!"), which a message hook takes instead of a message box, so no modal loop waits
//   for a user. The port open, the handshake, every block, the port close and the message are in.
// - floor: what the transfer cannot beat, from the radio's log of that very transfer:
//     (bytes the program sent + bytes the radio sent) x 10/9600 s
//   + 20 ms for every chunk the program received (each burst the radio sent is one chunk: the
//     serial component ends a chunk after 20 ms of silence)
//   + the sum of the radio's turnarounds (its log's figure: from the last byte of a frame it
//     received to the first byte of its answer, so it holds the radio's frame gap but not the
//     answer's own bytes, which the first term counts).
//   A pseudo-terminal carries the program's bytes at once, not at 9600 baud, so the first term
//   overstates this line by the program's bytes; the "radio-only floor" leaves them out and is the
//   stricter yardstick here.
// - longest stall: the largest gap between ticks of a 1 ms precise timer on the user-interface
//   thread, less the 1 ms period, from the click to the success message, split into the time the
//   thread ran, waited for a processor, or was blocked. The 2 ms pause before a read's settings
//   request is part of the protocol and shows up as a stall of 2 to 3 ms.
//
// To tell the program's share from the machine's, it also prints where the time of a transfer
// goes (from the radio's log), the same stall meter with no transfer running, the time the serial
// component's open and close keep the user-interface thread, and, for any transfer that needed a
// repeat, got a chunk that was not one whole frame or wrote back other data than it read, the
// chunks the program received beside the radio's log.
//
// Then, through writefreq-cli (from the process's start to its exit): a complete read of every
// bank (read --image), a write with its snapshot and verify (write), and the fleet with --once on
// one cable and on four, each cable a virtual radio of its own; each beside the floor of its
// radio's log (for the fleet, the slowest cable's), and the rate of four cables against one.
//
// Goals: time at most 1.10 x floor; stall at most 16 ms; four cables at least 0.9 x 4 times the
// rate of one. The exit status is 0 whatever the
// figures; it is 1 when a transfer failed (no success message within 30 s, or another message),
// 2 when the virtual radio could not be started.

#include "app/tform1.h"
#include "i18n/language.h"
#include "i18n/ui/messagebox.h"
#include "protocol/frame.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr double kByteMs = 10.0 * 1000.0 / 9600.0; // one 8N1 character at 9600 baud
constexpr double kChunkSilenceMs = 20.0;           // the silence that ends a received chunk
constexpr double kRatioGoal = 1.10;
constexpr double kStallGoalMs = 16.0;
constexpr int kTickMs = 1;
constexpr int kTransferTimeoutMs = 30000;
constexpr int kSettleMs = 100;
constexpr int kRadioStartMs = 10000;
constexpr int kCliTimeoutMs = 120000;
// N cables program radios at least this share of N times the rate of one.
constexpr double kFleetShare = 0.9;

enum class Kind { Read, Write };

const char *kindName(Kind kind)
{
    return kind == Kind::Read ? "read" : "write";
}

/** What the radio's log says about one transfer. */
struct RadioFigures
{
    int programBytes = 0;   ///< bytes the radio received
    int radioBytes = 0;     ///< bytes the radio sent
    int framesReceived = 0; ///< frames the radio received (18 unless something was repeated)
    int bursts = 0;         ///< bursts the radio sent: the chunks the program received
    double turnaroundMs = 0;
    double spanMs = 0;     ///< the radio's first frame received .. its last character sent
    double reactionMs = 0; ///< each burst's last character .. the program's next frame at the
                           ///< radio, less the silence
    double reactionMaxMs = 0;
    std::map<int, QByteArray> blocksSent;     ///< data frames the radio sent, by bank and block
    std::map<int, QByteArray> blocksReceived; ///< block frames it received, by bank and block

    double floorMs() const
    {
        return (programBytes + radioBytes) * kByteMs + bursts * kChunkSilenceMs + turnaroundMs;
    }
    double radioOnlyFloorMs() const
    {
        return radioBytes * kByteMs + bursts * kChunkSilenceMs + turnaroundMs;
    }
};

QByteArray payloadOf(const QByteArray &frame)
{
    return frame.mid(wf::frame::kPayloadOffset, wf::frame::kPayloadSize);
}

/** Reads the radio's log lines of one transfer: "  312.494 RX    5 5200012006  notes" and
 *  "  322.852 TX   34 5700...  turnaround 10.359 ms". Comments and event lines are skipped. */
RadioFigures parseRadioLog(const QByteArray &text)
{
    static const QRegularExpression line(uR"(^\s*([0-9.]+)\s+(RX|TX)\s+([0-9]+)\s+(\S*)(.*)$)"_s);
    static const QRegularExpression turnaround(uR"(turnaround\s+([0-9.]+)\s+ms)"_s);

    RadioFigures figures;
    double firstReceivedMs = -1;
    double burstEndMs = -1; // the last burst, not yet answered by the program; -1 when none
    double lastEndMs = 0;
    for (const QByteArray &raw : text.split('\n')) {
        const QRegularExpressionMatch m = line.match(QString::fromUtf8(raw));
        if (!m.hasMatch())
            continue;
        const double atMs = m.captured(1).toDouble();
        const int size = m.captured(3).toInt();
        const QByteArray bytes = QByteArray::fromHex(m.captured(4).toLatin1());
        const bool blockFrame =
            bytes.size() >= wf::frame::kBlockFrameSize && quint8(bytes[0]) == wf::frame::kWriteCode;
        const int key = blockFrame ? quint8(bytes[1]) * 256 + quint8(bytes[2]) : 0;
        if (m.captured(2) == u"RX"_s) {
            if (blockFrame)
                figures.blocksReceived[key] = payloadOf(bytes);
            figures.programBytes += size;
            ++figures.framesReceived;
            if (firstReceivedMs < 0)
                firstReceivedMs = atMs;
            if (burstEndMs >= 0) {
                const double reaction = atMs - burstEndMs - kChunkSilenceMs;
                figures.reactionMs += reaction;
                figures.reactionMaxMs = std::max(figures.reactionMaxMs, reaction);
                burstEndMs = -1;
            }
        } else {
            if (blockFrame)
                figures.blocksSent[key] = payloadOf(bytes);
            figures.radioBytes += size;
            ++figures.bursts;
            const QRegularExpressionMatch t = turnaround.match(m.captured(5));
            if (t.hasMatch())
                figures.turnaroundMs += t.captured(1).toDouble();
            // The radio writes each character at the start of its slot and a pseudo-terminal
            // hands it over at once, so the program has a burst's last character when its slot
            // begins, a character time before a real line would have finished it.
            burstEndMs = atMs + (size - 1) * kByteMs;
            lastEndMs = burstEndMs;
        }
    }
    if (firstReceivedMs >= 0)
        figures.spanMs = lastEndMs - firstReceivedMs;
    return figures;
}

/** The user-interface thread's time on a processor and waiting for one, so far, in ns. */
class ThreadClock final
{
public:
    ThreadClock()
    {
#ifdef Q_OS_LINUX
        m_fd = ::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC);
#endif
    }
    ~ThreadClock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ThreadClock(const ThreadClock &) = delete;
    ThreadClock &operator=(const ThreadClock &) = delete;

    /** Time on a processor and time ready to run but waiting; zeros where unknown. */
    void read(qint64 *runningNs, qint64 *waitingNs) const
    {
        *runningNs = 0;
        *waitingNs = 0;
#ifdef Q_OS_LINUX
        char text[96] = {};
        if (m_fd < 0 || ::pread(m_fd, text, sizeof text - 1, 0) <= 0)
            return;
        long long running = 0;
        long long waiting = 0;
        if (std::sscanf(text, "%lld %lld", &running, &waiting) == 2) {
            *runningNs = running;
            *waitingNs = waiting;
        }
#endif
    }

private:
    int m_fd = -1;
};

/** The largest gap between ticks of a 1 ms timer on the user-interface thread, and how the
 *  thread spent it: running (the program's own work), waiting for a processor (the machine), or
 *  neither (blocked: waiting for another thread, sleeping, or the whole machine paused). */
class StallMeter final
{
public:
    StallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(kTickMs);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { tick(); });
    }

    void start()
    {
        m_clock.start();
        m_last = {};
        m_threadClock.read(&m_last.runningNs, &m_last.waitingNs);
        m_longest = {};
        m_timer.start();
    }

    /** Stops the meter; the gap up to now counts too. */
    void stop()
    {
        tick();
        m_timer.stop();
    }

    /** The longest stall, less the timer's own period. */
    double longestMs() const { return std::max(0.0, m_longest.atNs / 1e6 - kTickMs); }
    /** When the longest stall ended, counted from start(). */
    double longestEndMs() const { return m_longestEndNs / 1e6; }
    /** Of the longest stall: the thread running, and the thread ready but waiting. */
    double longestRunningMs() const { return m_longest.runningNs / 1e6; }
    double longestWaitingMs() const { return m_longest.waitingNs / 1e6; }

private:
    struct Sample
    {
        qint64 atNs = 0;
        qint64 runningNs = 0;
        qint64 waitingNs = 0;
    };

    void tick()
    {
        Sample now;
        now.atNs = m_clock.nsecsElapsed();
        m_threadClock.read(&now.runningNs, &now.waitingNs);
        if (now.atNs - m_last.atNs > m_longest.atNs) {
            m_longest = {now.atNs - m_last.atNs, now.runningNs - m_last.runningNs,
                         now.waitingNs - m_last.waitingNs};
            m_longestEndNs = now.atNs;
        }
        m_last = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    ThreadClock m_threadClock;
    Sample m_last;
    Sample m_longest; ///< the gap itself, not points in time
    qint64 m_longestEndNs = 0;
};

/** The virtual radio, run as its own process, as the program would meet a real one. */
class RadioProcess final
{
public:
    ~RadioProcess() { stop(); }

    bool start(const QString &program, const QStringList &arguments, QString *error)
    {
        m_process.setReadChannel(QProcess::StandardOutput);
        m_process.start(program, arguments);
        QElapsedTimer waited;
        waited.start();
        while (!m_process.canReadLine()) {
            const int left = kRadioStartMs - int(waited.elapsed());
            if (m_process.state() == QProcess::NotRunning || left <= 0 ||
                !m_process.waitForReadyRead(left)) {
                m_process.waitForFinished(1000);
                const QString reason =
                    QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed();
                *error = u"%1 gave no device: %2"_s.arg(
                    program, reason.isEmpty() ? m_process.errorString() : reason);
                return false;
            }
        }
        m_devicePath = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        return !m_devicePath.isEmpty();
    }

    /** Stops the radio; returns the summary it prints on its way out. */
    QString stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000)) {
                m_process.kill();
                m_process.waitForFinished(5000);
            }
        }
        return QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed();
    }

    QString devicePath() const { return m_devicePath; }

private:
    QProcess m_process;
    QString m_devicePath;
};

/** What else went on while a transfer ran: the user-interface thread's own processor time, the
 *  time it was ready but found no processor free, and how busy the whole machine was. */
struct Load
{
    double threadCpuMs = 0;
    double runQueueMs = 0;
    double machineBusy = -1; ///< share of all processors' time not idle; -1 when unknown

    /** The figures of the calling thread and the machine so far. */
    static Load now()
    {
        Load load;
#ifdef Q_OS_LINUX
        // processor time, run-queue wait, time slices; all in nanoseconds
        QFile schedstat(u"/proc/thread-self/schedstat"_s);
        if (schedstat.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> fields = schedstat.readAll().simplified().split(' ');
            if (fields.size() >= 2) {
                load.threadCpuMs = fields[0].toDouble() / 1e6;
                load.runQueueMs = fields[1].toDouble() / 1e6;
            }
        }
        // cpu  user nice system idle iowait irq softirq steal (guest time is inside user)
        QFile stat(u"/proc/stat"_s);
        if (stat.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> fields = stat.readLine().simplified().split(' ');
            const double tickMs = 1000.0 / double(::sysconf(_SC_CLK_TCK));
            for (int i = 1; i < fields.size() && i <= 8; ++i) {
                const double ms = fields[i].toDouble() * tickMs;
                load.m_totalMs += ms;
                if (i == 4 || i == 5)
                    load.m_idleMs += ms;
            }
        }
#endif
        return load;
    }

    /** What happened between `before` and this. */
    Load since(const Load &before) const
    {
        Load delta;
        delta.threadCpuMs = threadCpuMs - before.threadCpuMs;
        delta.runQueueMs = runQueueMs - before.runQueueMs;
        const double total = m_totalMs - before.m_totalMs;
        if (total > 0)
            delta.machineBusy = 1.0 - (m_idleMs - before.m_idleMs) / total;
        return delta;
    }

private:
    double m_totalMs = 0;
    double m_idleMs = 0;
};

struct RunResult
{
    int number = 0; ///< 1.. for the timed runs, 0 for the warm-up
    bool ok = false;
    QString error;
    double timeMs = 0;
    double stallMs = 0;
    double stallEndMs = 0;
    double stallRunningMs = 0; ///< of the longest stall: the thread at work
    double stallWaitingMs = 0; ///< of the longest stall: the thread ready, no processor free
    double clickMs = 0; ///< the button's handler itself: port open, handshake queued, dialog up
    RadioFigures radio;
    QByteArray radioLog;             ///< the radio's log lines of this transfer
    std::vector<double> repeatsAtMs; ///< when the program's repeat timer fired
    QStringList chunks;              ///< each chunk the program received: when, size, first bytes
    int brokenChunks = 0;  ///< chunks that were not one whole frame: a frame cut in two, or merged
    QStringList roundTrip; ///< a write: blocks it sent unlike what the read before received
    Load load;
};

/** Runs one transfer from the click to its success message. */
class TransferRunner final
{
public:
    TransferRunner(TForm1 &form, QString logPath)
        : m_form(form)
        , m_logPath(std::move(logPath))
    {
        wf::setMessageHook([this](const wf::ShownMessage &message) { messageShown(message); });
        // A repeat means an answer came later than the program would wait for it.
        QObject::connect(&form.link().Tim1, &QTimer::timeout, &form, [this] {
            if (m_loop)
                m_repeatsAtMs.push_back(m_clock.nsecsElapsed() / 1e6);
        });
        // Connected after the receive handler, so it sees each chunk once the handler is done.
        QObject::connect(&form.link().Comm1, &wf::TComm::OnReceiveData, &form,
                         [this](const QByteArray &chunk) { chunkReceived(chunk); });
    }
    ~TransferRunner() { wf::setMessageHook({}); }
    TransferRunner(const TransferRunner &) = delete;
    TransferRunner &operator=(const TransferRunner &) = delete;

    RunResult run(Kind kind)
    {
        RunResult result;
        QPushButton *button = kind == Kind::Read ? m_form.rbtn : m_form.wbtn;
        if (!button->isEnabled() || !m_form.rbtn->isEnabledTo(m_form.rbtn->parentWidget())) {
            result.error = u"the %1 button is not enabled"_s.arg(QLatin1String(kindName(kind)));
            return result;
        }
        // The log holds every transfer so far; this one's lines start where the file ends now.
        const qint64 logOffset = QFileInfo(m_logPath).size();

        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        m_messages.clear();
        m_repeatsAtMs.clear();
        m_chunks.clear();
        m_brokenChunks = 0;
        m_loop = &loop;

        const Load before = Load::now();
        m_stalls.start();
        m_clock.start();
        button->click();
        result.clickMs = m_clock.nsecsElapsed() / 1e6;
        if (m_messages.isEmpty()) {
            timeout.start(kTransferTimeoutMs);
            loop.exec();
        }
        m_loop = nullptr;
        result.load = Load::now().since(before);
        result.repeatsAtMs = m_repeatsAtMs;
        result.chunks = m_chunks;
        result.brokenChunks = m_brokenChunks;

        const QString expected = kind == Kind::Read ? u"读取成功!"_s : u"写入成功!"_s;
        if (m_messages.isEmpty()) {
            m_stalls.stop();
            m_form.Form3->Button2Click(); // abandon it, as the user would with Cancel
            result.error = u"no message within %1 s"_s.arg(kTransferTimeoutMs / 1000);
            return result;
        }
        if (m_messages.constFirst().text != expected) {
            result.error = u"the message was \"%1\""_s.arg(m_messages.constFirst().text);
            return result;
        }
        result.ok = true;
        result.timeMs = m_messageAtMs;
        result.stallMs = m_stalls.longestMs();
        result.stallEndMs = m_stalls.longestEndMs();
        result.stallRunningMs = m_stalls.longestRunningMs();
        result.stallWaitingMs = m_stalls.longestWaitingMs();

        // Let the last events of the transfer run out before the next one begins.
        QTimer::singleShot(kSettleMs, &loop, &QEventLoop::quit);
        loop.exec();

        QFile log(m_logPath);
        if (log.open(QIODevice::ReadOnly) && log.seek(logOffset)) {
            result.radioLog = log.readAll();
            result.radio = parseRadioLog(result.radioLog);
        }
        return result;
    }

private:
    void chunkReceived(const QByteArray &chunk)
    {
        if (!m_loop)
            return;
        m_chunks << u"%1 ms: %2 bytes %3"_s.arg(m_clock.nsecsElapsed() / 1e6, 9, 'f', 1)
                        .arg(chunk.size(), 3)
                        .arg(QString::fromLatin1(chunk.left(6).toHex()));
        const quint8 first = quint8(chunk.at(0));
        const bool whole =
            (first == wf::frame::kAck && chunk.size() == 1) ||
            (first == wf::frame::kWriteCode && chunk.size() == wf::frame::kBlockFrameSize);
        if (!whole)
            ++m_brokenChunks;
    }

    void messageShown(const wf::ShownMessage &message)
    {
        if (m_messages.isEmpty()) {
            m_messageAtMs = m_clock.nsecsElapsed() / 1e6;
            m_stalls.stop();
        }
        m_messages << message;
        if (m_loop)
            m_loop->quit();
    }

    TForm1 &m_form;
    QString m_logPath;
    StallMeter m_stalls;
    QElapsedTimer m_clock;
    QEventLoop *m_loop = nullptr;
    QList<wf::ShownMessage> m_messages;
    std::vector<double> m_repeatsAtMs;
    QStringList m_chunks;
    int m_brokenChunks = 0;
    double m_messageAtMs = 0;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    if (n == 0)
        return 0;
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

template<typename Field>
std::vector<double> collect(const std::vector<RunResult> &runs, Field field)
{
    std::vector<double> values;
    for (const RunResult &run : runs)
        values.push_back(field(run));
    return values;
}

const char *verdict(bool met)
{
    return met ? "PASS" : "MISS";
}

void printRun(Kind kind, const RunResult &run)
{
    const RadioFigures &r = run.radio;
    const QByteArray differing =
        kind == Kind::Read ? QByteArray("-") : QByteArray::number(run.roundTrip.size());
    std::printf("  %-5s %2d %7.1f %7.1f %5.3f %7.1f %5.3f  %5.1f %5.1f %5.1f %6.1f  %5.1f %3d %3d "
                "%3zu %3d %4s %5.1f %4.0f%%\n",
                kindName(kind), run.number, run.timeMs, r.floorMs(), run.timeMs / r.floorMs(),
                r.radioOnlyFloorMs(), run.timeMs / r.radioOnlyFloorMs(), run.stallMs,
                run.stallRunningMs, run.stallWaitingMs, run.stallEndMs, run.clickMs,
                r.framesReceived, r.bursts, run.repeatsAtMs.size(), run.brokenChunks,
                differing.constData(), run.load.threadCpuMs, run.load.machineBusy * 100);
}

/** The blocks a write sent that differ from what the read before it received. */
QStringList roundTripDifferences(const RadioFigures &read, const RadioFigures &write)
{
    QStringList differences;
    for (const auto &[key, payload] : read.blocksSent) {
        const auto sent = write.blocksReceived.find(key);
        if (sent == write.blocksReceived.end() || sent->second != payload)
            differences << u"bank %1 block %2"_s.arg(key / 256).arg(key % 256);
    }
    return differences;
}

/** A transfer that went wrong on the way: what the program received and what the radio saw. */
void printTrouble(Kind kind, const RunResult &run)
{
    if (run.repeatsAtMs.empty() && run.brokenChunks == 0 && run.roundTrip.isEmpty())
        return;
    std::printf("\n%s %d:", kindName(kind), run.number);
    if (!run.repeatsAtMs.empty()) {
        std::printf(" the repeat fired at");
        for (double at : run.repeatsAtMs)
            std::printf(" %.1f", at);
        std::printf(" ms after the click;");
    }
    if (run.brokenChunks > 0)
        std::printf(" %d chunk(s) were not one whole frame;", run.brokenChunks);
    if (!run.roundTrip.isEmpty())
        std::printf(" it sent back other data than the read before it received: %s;",
                    qPrintable(run.roundTrip.join(u", "_s)));
    std::printf("\nThe chunks the program received (ms after the click):\n");
    for (const QString &chunk : run.chunks)
        std::printf("  %s\n", qPrintable(chunk));
    std::printf("The radio's log (ms since the radio started):\n%s", run.radioLog.constData());
}

void printSummaryRow(Kind kind, const std::vector<RunResult> &runs)
{
    const auto times = collect(runs, [](const RunResult &r) { return r.timeMs; });
    const double floorMs =
        median(collect(runs, [](const RunResult &r) { return r.radio.floorMs(); }));
    const double radioOnlyMs =
        median(collect(runs, [](const RunResult &r) { return r.radio.radioOnlyFloorMs(); }));
    const auto stalls = collect(runs, [](const RunResult &r) { return r.stallMs; });
    const double stall = *std::max_element(stalls.begin(), stalls.end());
    const double med = median(times);
    const double ratio = med / floorMs;
    const double strictRatio = med / radioOnlyMs;
    std::printf("%-8s %4zu %7.1f %7.1f %7.1f %7.1f %6.3f %-4s %7.1f %6.3f %-4s %6.1f %6.1f %-4s\n",
                kindName(kind), runs.size(), *std::min_element(times.begin(), times.end()), med,
                *std::max_element(times.begin(), times.end()), floorMs, ratio,
                verdict(ratio <= kRatioGoal), radioOnlyMs, strictRatio,
                verdict(strictRatio <= kRatioGoal), median(stalls), stall,
                verdict(stall <= kStallGoalMs));
}

/** One transfer's time taken apart; the first six parts add up to the time. */
struct Breakdown
{
    double radioBytes = 0;
    double turnarounds = 0;
    double silences = 0;
    double lastCharacters = 0;
    double reaction = 0;
    double startAndFinish = 0;
    double time = 0;
    double programBytes = 0;
    double largestReaction = 0;

    explicit Breakdown(const RunResult &run)
        : radioBytes(run.radio.radioBytes * kByteMs)
        , turnarounds(run.radio.turnaroundMs)
        , silences(run.radio.bursts * kChunkSilenceMs)
        , lastCharacters(-run.radio.bursts * kByteMs)
        , reaction(run.radio.reactionMs)
        , startAndFinish(run.timeMs - run.radio.spanMs - kChunkSilenceMs)
        , time(run.timeMs)
        , programBytes(run.radio.programBytes * kByteMs)
        , largestReaction(run.radio.reactionMaxMs)
    {}
};

void printBreakdown(const std::vector<RunResult> &reads, const std::vector<RunResult> &writes)
{
    struct Row
    {
        const char *what;
        double Breakdown::*part;
    };
    static constexpr Row rows[] = {
        {"radio's bytes, x 10/9600 s", &Breakdown::radioBytes},
        {"radio's turnarounds (with its frame gap)", &Breakdown::turnarounds},
        {"chunk silences, 20 ms x chunks received", &Breakdown::silences},
        {"last characters handed over at once (*)", &Breakdown::lastCharacters},
        {"program's reactions beyond the silence", &Breakdown::reaction},
        {"start and finish (**)", &Breakdown::startAndFinish},
        {"= time", &Breakdown::time},
        {"program's bytes, x 10/9600 s (***)", &Breakdown::programBytes},
        {"largest single reaction", &Breakdown::largestReaction},
    };
    const auto meanOf = [](const std::vector<RunResult> &runs, double Breakdown::*part) {
        double sum = 0;
        for (const RunResult &run : runs)
            sum += Breakdown(run).*part;
        return runs.empty() ? 0 : sum / runs.size();
    };
    std::printf("\nWhere the time goes (mean over the runs, ms)   %9s %9s\n", "read", "write");
    for (const Row &row : rows) {
        std::printf("  %-43s %9.1f %9.1f\n", row.what, meanOf(reads, row.part),
                    meanOf(writes, row.part));
    }
    std::printf(
        "  A reaction is the time from the last character of a burst reaching the program to the\n"
        "  last byte of the program's next frame reaching the radio, less the 20 ms silence: the\n"
        "  serial thread's chunk timer, the hand-over to the user-interface thread, the receive\n"
        "  handler and the queued writes.\n"
        "  (*) a pseudo-terminal delivers each character when the radio writes it, at the start\n"
        "      of its slot: one character time per chunk sooner than a real line.\n"
        "  (**) the click to the handshake at the radio (port open, handshake), and the end of\n"
        "      the last chunk to the success message (port close, dialog, message).\n"
        "  (***) not spent here: a pseudo-terminal passes the program's bytes at once.\n");
}

/** The same stall meter with no transfer running: how still the user-interface thread keeps on
 *  this machine anyway, so that a transfer's stall can be told from the machine's. */
void printIdleBaseline(int runs, int durationMs)
{
    StallMeter stalls;
    double longest = 0;
    double longestEnd = 0;
    const Load before = Load::now();
    for (int i = 0; i < runs; ++i) {
        QEventLoop loop;
        QTimer::singleShot(durationMs, &loop, &QEventLoop::quit);
        stalls.start();
        loop.exec();
        stalls.stop();
        if (stalls.longestMs() > longest) {
            longest = stalls.longestMs();
            longestEnd = stalls.longestEndMs();
        }
    }
    const Load load = Load::now().since(before);
    std::printf(
        "\nNo transfer, %d x %d ms: longest stall %.1f ms (ending at %.1f ms), user-interface "
        "thread ready but not running %.1f ms, machine %.0f%% busy\n",
        runs, durationMs, longest, longestEnd, load.runQueueMs, load.machineBusy * 100);
}

/** How long the user-interface thread waits in the serial component's open and close, which
 *  start and end its thread and wait for the device: the part of a click and of a transfer's end
 *  that is not the line's. */
void printPortTimes(wf::TComm &port, const QString &device, int cycles)
{
    std::vector<double> opens, closes;
    QElapsedTimer clock;
    port.setCommName(device);
    for (int i = 0; i < cycles; ++i) {
        clock.start();
        try {
            port.OpenPort();
        } catch (const wf::ECommsError &failure) {
            std::printf("\nPort open failed: %s\n", qPrintable(failure.message()));
            return;
        }
        opens.push_back(clock.nsecsElapsed() / 1e6);
        clock.start();
        port.ClosePort();
        closes.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("Port open and close on the user-interface thread, %d times: open median %.1f ms, "
                "max %.1f ms; close median %.1f ms, max %.1f ms\n",
                cycles, median(opens), *std::max_element(opens.begin(), opens.end()),
                median(closes), *std::max_element(closes.begin(), closes.end()));
}

/** The figures of a radio's log from `offset` to its end: one transfer's, or one command's. */
RadioFigures figuresSince(const QString &logPath, qint64 offset)
{
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly) || !log.seek(offset))
        return {};
    return parseRadioLog(log.readAll());
}

/** writefreq-cli as a technician runs it: one process a command, timed from its start to its
 *  exit, waited for in the event loop. */
class CliRunner final
{
public:
    CliRunner(QString program, const QString &dataHome)
        : m_program(std::move(program))
    {
        // Snapshots go to the benchmark's own folder, not the user's.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_DATA_HOME"_s, dataHome);
        m_process.setProcessEnvironment(env);
    }

    /** Runs the command; the time in ms, or a negative number with `error` set. */
    double run(const QStringList &arguments, QString *error)
    {
        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        const auto finished =
            QObject::connect(&m_process, &QProcess::finished, &loop, &QEventLoop::quit);
        const auto failed =
            QObject::connect(&m_process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        clock.start();
        m_process.start(m_program, arguments);
        timeout.start(kCliTimeoutMs);
        loop.exec();
        const double ms = clock.nsecsElapsed() / 1e6;
        QObject::disconnect(finished);
        QObject::disconnect(failed);
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
            *error = u"writefreq-cli %1 did not end within %2 s"_s.arg(arguments.value(0))
                         .arg(kCliTimeoutMs / 1000);
            return -1;
        }
        if (m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0) {
            *error = u"writefreq-cli %1: exit %2: %3"_s.arg(arguments.value(0))
                         .arg(m_process.exitCode())
                         .arg(QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed());
            return -1;
        }
        m_process.readAll();
        return ms;
    }

private:
    QString m_program;
    QProcess m_process;
};

/** The runs of one command: its times, and the floor of the line it used in each. With several
 *  cables the floor is the slowest cable's: the cables work side by side, each on its own line. */
struct CliSeries
{
    const char *name;
    std::vector<double> times;
    std::vector<double> floors;
    std::vector<double> radioOnly;
};

void printCliRow(const CliSeries &series)
{
    if (series.times.empty()) {
        std::printf("%-24s    0  (every run failed)\n", series.name);
        return;
    }
    const double med = median(series.times);
    const double floorMs = median(series.floors);
    const double radioOnlyMs = median(series.radioOnly);
    std::printf("%-24s %4zu %8.1f %8.1f %8.1f %8.1f %6.3f %-4s %8.1f %6.3f %-4s\n", series.name,
                series.times.size(), *std::min_element(series.times.begin(), series.times.end()),
                med, *std::max_element(series.times.begin(), series.times.end()), floorMs,
                med / floorMs, verdict(med / floorMs <= kRatioGoal), radioOnlyMs, med / radioOnlyMs,
                verdict(med / radioOnlyMs <= kRatioGoal));
}

/** A complete read of every bank, a write with its snapshot and verify, and the fleet on one
 *  cable and on four, each through writefreq-cli against virtual radios of its own, beside the
 *  floor of the line. Returns the number of failed runs. */
int benchCli(const QString &cli, const QString &vradio, const QString &radioDevice,
             const QString &radioLog, const QTemporaryDir &dir, int runs)
{
    std::printf("\nwritefreq-cli, from the process's start to its exit (9600 baud, default frame "
                "gap)\n");
    CliRunner runner(cli, dir.filePath(u"data"_s));
    const QString table = dir.filePath(u"table.wh"_s);
    const QString image = dir.filePath(u"all.img"_s);
    QString error;
    // Warm-up, not counted: it also makes the data file the writes and the fleet send.
    if (runner.run({u"read"_s, u"--port"_s, radioDevice, u"--out"_s, table, u"--quiet"_s}, &error) <
        0) {
        std::printf("  warm-up read FAILED: %s\n", qPrintable(error));
        return 1;
    }

    // The fleet's cables, each with a radio and a log of its own.
    constexpr int kCables = 4;
    std::vector<std::unique_ptr<RadioProcess>> cables;
    QStringList logs;
    for (int i = 0; i < kCables; ++i) {
        logs << dir.filePath(u"cable-%1.log"_s.arg(i));
        cables.push_back(std::make_unique<RadioProcess>());
        if (!cables.back()->start(vradio, {u"--log"_s, logs.back()}, &error)) {
            std::printf("  cable %d: %s\n", i, qPrintable(error));
            return 1;
        }
    }
    const auto fleetArguments = [&](int count) {
        QStringList arguments{u"fleet"_s, u"--once"_s, u"--quiet"_s, u"--log"_s,
                              dir.filePath(u"fleet.csv"_s)};
        for (int i = 0; i < count; ++i)
            arguments << u"--port"_s << cables[std::size_t(i)]->devicePath();
        return arguments << table;
    };

    struct Command
    {
        CliSeries series;
        QStringList arguments;
        int cables; ///< 0: the benchmark's own radio
    };
    std::vector<Command> commands = {
        {{"read, every bank", {}, {}, {}},
         {u"read"_s, u"--port"_s, radioDevice, u"--image"_s, image, u"--quiet"_s},
         0},
        {{"write+snapshot+verify", {}, {}, {}},
         {u"write"_s, u"--port"_s, radioDevice, table, u"--quiet"_s},
         0},
        {{"fleet, 1 cable", {}, {}, {}}, fleetArguments(1), 1},
        {{"fleet, 4 cables", {}, {}, {}}, fleetArguments(kCables), kCables},
    };
    int failures = 0;
    for (int run = 1; run <= runs; ++run) {
        for (Command &command : commands) {
            const QStringList used =
                command.cables == 0 ? QStringList{radioLog} : logs.mid(0, command.cables);
            std::vector<qint64> offsets;
            for (const QString &log : used)
                offsets.push_back(QFileInfo(log).size());
            const double ms = runner.run(command.arguments, &error);
            if (ms < 0) {
                std::printf("  %-22s %2d  FAILED: %s\n", command.series.name, run,
                            qPrintable(error));
                ++failures;
                continue;
            }
            // Let the radios write the last lines of their logs.
            QEventLoop settle;
            QTimer::singleShot(kSettleMs, &settle, &QEventLoop::quit);
            settle.exec();
            double floorMs = 0;
            double radioOnlyMs = 0;
            for (int i = 0; i < int(used.size()); ++i) {
                const RadioFigures figures = figuresSince(used[i], offsets[std::size_t(i)]);
                floorMs = std::max(floorMs, figures.floorMs());
                radioOnlyMs = std::max(radioOnlyMs, figures.radioOnlyFloorMs());
            }
            command.series.times.push_back(ms);
            command.series.floors.push_back(floorMs);
            command.series.radioOnly.push_back(radioOnlyMs);
        }
    }

    std::printf("%-24s %4s %8s %8s %8s %8s %6s %-4s %8s %6s\n", "", "", "time ms", "", "", "", "",
                "", "radio-", "");
    std::printf("%-24s %4s %8s %8s %8s %8s %6s %-4s %8s %6s\n", "command", "runs", "min", "median",
                "max", "floor", "ratio", "", "only", "ratio");
    for (const Command &command : commands)
        printCliRow(command.series);
    const std::vector<double> &one = commands[2].series.times;
    const std::vector<double> &four = commands[3].series.times;
    if (!one.empty() && !four.empty()) {
        const double rate = kCables * median(one) / median(four);
        std::printf("\nfleet: %d cables program %d radios at %.2f times the rate of one cable "
                    "(goal >= %.2f) %s\n",
                    kCables, kCables, rate, kFleetShare * kCables,
                    verdict(rate >= kFleetShare * kCables));
    }
    std::printf("A fleet's floor is its slowest cable's line; every command's time holds the "
                "process's start\nand, for the fleet, the handshake that finds the radio.\n");
    return failures;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"writefreq-bench"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Times a complete main read and write against the virtual radio at 9600 baud."_s);
    parser.addHelpOption();
    parser.addOption({u"runs"_s, u"Timed transfers of each kind (default 5)."_s, u"N"_s, u"5"_s});
    parser.addOption({u"radio-log"_s, u"Keep the virtual radio's frame log in FILE."_s, u"FILE"_s});
    parser.process(app);
    bool ok = false;
    const int runs = parser.value(u"runs"_s).toInt(&ok);
    if (!ok || runs < 1) {
        std::fprintf(stderr, "writefreq-bench: --runs wants a whole number from 1\n");
        return 2;
    }

    QString program = qEnvironmentVariable("WRITEFREQ_VRADIO");
    if (program.isEmpty())
        program = QCoreApplication::applicationDirPath() + u"/writefreq-vradio"_s;
    QTemporaryDir dir;
    const QString logPath =
        parser.isSet(u"radio-log"_s) ? parser.value(u"radio-log"_s) : dir.filePath(u"radio.log"_s);
    RadioProcess radio;
    QString error;
    if (!dir.isValid() || !radio.start(program, {u"--log"_s, logPath}, &error)) {
        std::fprintf(stderr, "writefreq-bench: %s\n", qPrintable(error));
        return 2;
    }

    // Every read leaves a snapshot: the bench's go with its radio, not among the user's.
    qputenv("XDG_DATA_HOME", dir.filePath(u"data"_s).toLocal8Bit());
    wf::setDisplayLanguageFlag(0);
    // The window lists the ports it finds when it is created; the radio's line is one of them.
    const QByteArray savedPorts = qgetenv("WRITEFREQ_PORTS");
    qputenv("WRITEFREQ_PORTS", radio.devicePath().toLocal8Bit());
    TForm1 form;
    qputenv("WRITEFREQ_PORTS", savedPorts);
    form.comcbb->setCurrentText(radio.devicePath());
    form.show();
    if (form.comcbb->currentText() != radio.devicePath()) {
        std::fprintf(stderr, "writefreq-bench: the window does not list %s\n",
                     qPrintable(radio.devicePath()));
        return 2;
    }

    TransferRunner runner(form, logPath);
    std::printf("writefreq-bench: %d timed reads and writes against %s (9600 baud, default "
                "frame gap)\n\n",
                runs, qPrintable(radio.devicePath()));
    const char *const header =
        "  %-8s %7s %7s %5s %7s %5s  %5s %5s %5s %6s  %5s %3s %3s %3s %3s %4s %5s %5s\n";
    std::printf(header, "run", "time", "floor", "ratio", "radio-", "ratio", "stall", "run", "wait",
                "at", "click", "rx", "tx", "rep", "bad", "diff", "ui", "busy");
    std::printf(header, "", "ms", "", "", "only", "", "ms", "", "", "", "ms", "", "", "", "", "",
                "cpu", "");

    // The first read fills the table the writes send; both warm the code paths and caches.
    std::vector<RunResult> reads, writes;
    int failures = 0;
    RadioFigures lastRead;
    for (int i = 0; i <= runs; ++i) {
        for (Kind kind : {Kind::Read, Kind::Write}) {
            RunResult result = runner.run(kind);
            result.number = i;
            if (!result.ok) {
                std::printf("  %-5s %2d  FAILED: %s\n", kindName(kind), i,
                            qPrintable(result.error));
                ++failures;
                continue;
            }
            // The demonstration image's settings block differs in a byte the program always
            // writes, so only round trips from the second on must match.
            if (kind == Kind::Read)
                lastRead = result.radio;
            else if (i > 0)
                result.roundTrip = roundTripDifferences(lastRead, result.radio);
            if (i == 0) {
                std::printf("  %-5s  - %8.1f  (warm-up, not counted)\n", kindName(kind),
                            result.timeMs);
                continue;
            }
            printRun(kind, result);
            (kind == Kind::Read ? reads : writes).push_back(result);
        }
    }
    for (const RunResult &run : reads)
        printTrouble(Kind::Read, run);
    for (const RunResult &run : writes)
        printTrouble(Kind::Write, run);

    std::printf(
        "\nstall: longest gap between 1 ms ticks on the user-interface thread, less 1 ms.\n"
        "  run: of it, the thread running; wait: ready, no processor free; the rest it was\n"
        "  blocked (on another thread, asleep, or the machine paused). at: when it ended.\n"
        "click: the button's handler itself. rx, tx: frames the radio received, bursts it sent.\n"
        "rep: repeats the program sent. bad: chunks that were not one whole frame.\n"
        "diff: blocks a write sent back unlike what the read before it received.\n"
        "ui cpu: the user-interface thread's processor time. busy: all processors, not idle.\n"
        "\nfloor      = (program's + radio's bytes) x 10/9600 s + 20 ms x chunks received"
        " + radio's turnarounds\n"
        "radio-only = radio's bytes x 10/9600 s + 20 ms x chunks received + radio's turnarounds\n"
        "             (a pseudo-terminal passes the program's bytes at once)\n"
        "turnaround = the radio's: last byte of its frame received .. first byte of its answer;\n"
        "             holds its frame gap, not its answer's bytes\n"
        "ratio = median time / median floor (goal <= %.2f); stall = longest over the runs, less\n"
        "the 1 ms tick (goal <= %.0f ms)\n\n",
        kRatioGoal, kStallGoalMs);
    std::printf("%-8s %4s %7s %7s %7s %7s %6s %-4s %7s %6s %-4s %13s\n", "", "", "time ms", "", "",
                "", "", "", "radio-", "", "", "stall ms");
    std::printf("%-8s %4s %7s %7s %7s %7s %6s %-4s %7s %6s %-4s %6s %6s\n", "transfer", "runs",
                "min", "median", "max", "floor", "ratio", "", "only", "ratio", "", "median", "max");
    if (!reads.empty())
        printSummaryRow(Kind::Read, reads);
    if (!writes.empty())
        printSummaryRow(Kind::Write, writes);
    if (!reads.empty() && !writes.empty())
        printBreakdown(reads, writes);
    if (!reads.empty())
        printIdleBaseline(runs,
                          int(median(collect(reads, [](const RunResult &r) { return r.timeMs; }))));

    printPortTimes(form.link().Comm1, radio.devicePath(), 2 * runs);

    QString cli = qEnvironmentVariable("WRITEFREQ_CLI");
    if (cli.isEmpty())
        cli = QCoreApplication::applicationDirPath() + u"/writefreq-cli"_s;
    failures += benchCli(cli, program, radio.devicePath(), logPath, dir, runs);

    std::printf("\n%s\n", qPrintable(radio.stop()));
    return failures == 0 ? 0 : 1;
}
