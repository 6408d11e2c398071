// SPDX-License-Identifier: GPL-3.0-or-later
// writefreq-vradio: a radio on a pseudo-terminal, answering the programming protocol from a
// memory image, for tests, demonstrations and training.
#include "tools/vradio/pseudoterminal.h"
#include "tools/vradio/radioengine.h"
#include "tools/vradio/radiomemory.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

using namespace wf;
using namespace wf::vradio;

namespace {

using Clock = std::chrono::steady_clock;

// 9600 baud, 8N1: ten bit times a byte.
constexpr std::chrono::nanoseconds kByteTime{10'000'000'000LL / 9600};
// The program's serial component delivers at most 2048 bytes as one chunk; so does the radio.
constexpr int kMaxFrameSize = 2048;
// How long a full line may block a reply before the rest of it is dropped.
constexpr int kWriteStallMs = 1000;

// How long a hang-up waits for the program to read the replies before it.
constexpr int kHangUpGraceMs = 1000;

int g_signalPipe[2] = {-1, -1};

extern "C" void onStopSignal(int)
{
    const char byte = 0;
    const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
    (void)written;
}

struct Options
{
    QString image;
    QString link;
    QString log;
    int gapMs = 10;
    bool pacing = true;
    FaultOptions faults;
};

void fail(const QString &message)
{
    std::fprintf(stderr, "writefreq-vradio: %s\n", qPrintable(message));
}

bool positive(const QCommandLineParser &parser, const QString &name, int *value)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int n = parser.value(name).toInt(&ok, 10);
    if (!ok || n < 1) {
        fail(QStringLiteral("--%1 wants a whole number from 1, not '%2'")
                 .arg(name, parser.value(name)));
        return false;
    }
    *value = n;
    return true;
}

bool occurrence(const QCommandLineParser &parser, const QString &name, Occurrence *value)
{
    if (!parser.isSet(name))
        return true;
    if (!Occurrence::parse(parser.value(name), value)) {
        fail(QStringLiteral("--%1 wants a whole number from 1 or 'all', not '%2'")
                 .arg(name, parser.value(name)));
        return false;
    }
    return true;
}

bool storeFlip(const QString &text, FaultOptions *faults)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 3)
        return false;
    int numbers[3] = {};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok, 10);
        if (!ok)
            return false;
    }
    if (!isRadioBlock(numbers[0], numbers[1]) || numbers[2] < 0 ||
        numbers[2] >= frame::kPayloadSize)
        return false;
    faults->storeFlipBank = numbers[0];
    faults->storeFlipBlock = numbers[1];
    faults->storeFlipByte = numbers[2];
    return true;
}

bool parseOptions(const QCoreApplication &app, Options *options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A virtual radio: answers the programming protocol on a pseudo-terminal.\n"
        "Prints the device to open as the first line of its output, then runs until interrupted.\n"
        "\n"
        "Faults for tests: N counts the frames the radio receives for --silent-first,\n"
        "--stop-after and --hangup-after; the data frames it sends for --wrong-block and\n"
        "--split-reply; and all its replies (0x06 or data frame) for --corrupt-reply.\n"
        "'all' hits every one."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("image"),
         QStringLiteral("Memory image to load; every change is saved back to it at once. A missing "
                        "file is created from the demonstration image."),
         QStringLiteral("FILE")},
        {QStringLiteral("link"), QStringLiteral("Also make PATH a symbolic link to the device."),
         QStringLiteral("PATH")},
        {QStringLiteral("log"),
         QStringLiteral("Log every frame received and sent, with times and the radio's "
                        "turnaround."),
         QStringLiteral("FILE")},
        {QStringLiteral("gap"),
         QStringLiteral("Line silence that ends a received frame (default 10)."),
         QStringLiteral("MS"), QStringLiteral("10")},
        {QStringLiteral("no-pacing"),
         QStringLiteral("Send replies at once instead of at 9600 baud.")},
        {QStringLiteral("silent-first"),
         QStringLiteral("Fault: ignore the first N frames, as a radio not listening yet."),
         QStringLiteral("N")},
        {QStringLiteral("stop-after"),
         QStringLiteral("Fault: ignore every frame after the Nth, as a radio gone dead."),
         QStringLiteral("N")},
        {QStringLiteral("hangup-after"),
         QStringLiteral("Fault: the Nth frame gets no answer: the line closes and the radio "
                        "exits, as if the cable were pulled."),
         QStringLiteral("N")},
        {QStringLiteral("wrong-block"),
         QStringLiteral("Fault: data frame number N (or all) answers with block + 1 of the "
                        "requested bank instead (28 zero bytes if the radio has no such "
                        "block)."),
         QStringLiteral("N|all")},
        {QStringLiteral("corrupt-reply"),
         QStringLiteral("Fault: flip reply number N (or all): payload byte 0 (frame byte 4) of a "
                        "data frame, so its CRC fails; a 0x06 becomes 0xF9."),
         QStringLiteral("N|all")},
        {QStringLiteral("split-reply"),
         QStringLiteral("Fault: send data frame number N (or all) in two pieces with a pause "
                        "between (see --split-at and --split-pause)."),
         QStringLiteral("N|all")},
        {QStringLiteral("split-at"),
         QStringLiteral("Bytes of a split data frame sent before the pause, 1 to 33 (default "
                        "17): a piece can start with any byte of the frame."),
         QStringLiteral("N"), QStringLiteral("17")},
        {QStringLiteral("foreign-crc"),
         QStringLiteral("Fault: every data frame carries its CRC low byte first, as a radio "
                        "whose CRC is computed differently from the program's.")},
        {QStringLiteral("split-pause"),
         QStringLiteral("Pause inside a split data frame (default 50; above 20 the program sees "
                        "two chunks)."),
         QStringLiteral("MS"), QStringLiteral("50")},
        {QStringLiteral("double-ack"),
         QStringLiteral("Fault: send every 0x06 twice, in one burst.")},
        {QStringLiteral("double-ack-gap"),
         QStringLiteral("Fault: send every 0x06 twice, MS apart (implies --double-ack)."),
         QStringLiteral("MS")},
        {QStringLiteral("store-flip"),
         QStringLiteral("Fault: acknowledge a block frame of BANK and BLOCK as usual but store "
                        "its payload byte BYTE (0 to 27) flipped, as a radio with a bad memory "
                        "cell."),
         QStringLiteral("BANK:BLOCK:BYTE")},
    });
    parser.process(app);

    if (!parser.positionalArguments().isEmpty()) {
        fail(QStringLiteral("unexpected argument '%1' (see --help)")
                 .arg(parser.positionalArguments().constFirst()));
        return false;
    }
    options->image = parser.value(QStringLiteral("image"));
    options->link = parser.value(QStringLiteral("link"));
    options->log = parser.value(QStringLiteral("log"));
    options->pacing = !parser.isSet(QStringLiteral("no-pacing"));
    FaultOptions &faults = options->faults;
    faults.doubleAck = parser.isSet(QStringLiteral("double-ack"));
    faults.foreignCrc = parser.isSet(QStringLiteral("foreign-crc"));
    if (!positive(parser, QStringLiteral("gap"), &options->gapMs) ||
        !positive(parser, QStringLiteral("silent-first"), &faults.silentFirst) ||
        !positive(parser, QStringLiteral("stop-after"), &faults.stopAfter) ||
        !positive(parser, QStringLiteral("hangup-after"), &faults.hangupAfter) ||
        !positive(parser, QStringLiteral("split-pause"), &faults.splitPauseMs) ||
        !positive(parser, QStringLiteral("split-at"), &faults.splitAt) ||
        !positive(parser, QStringLiteral("double-ack-gap"), &faults.doubleAckGapMs) ||
        !occurrence(parser, QStringLiteral("wrong-block"), &faults.wrongBlock) ||
        !occurrence(parser, QStringLiteral("corrupt-reply"), &faults.corruptReply) ||
        !occurrence(parser, QStringLiteral("split-reply"), &faults.splitReply)) {
        return false;
    }
    if (faults.splitAt >= frame::kBlockFrameSize) {
        fail(QStringLiteral("--split-at wants a whole number from 1 to %1, not '%2'")
                 .arg(frame::kBlockFrameSize - 1)
                 .arg(faults.splitAt));
        return false;
    }
    if (faults.doubleAckGapMs > 0)
        faults.doubleAck = true;
    if (parser.isSet(QStringLiteral("store-flip")) &&
        !storeFlip(parser.value(QStringLiteral("store-flip")), &faults)) {
        fail(QStringLiteral("--store-flip wants BANK:BLOCK:BYTE of a block the radio has and a "
                            "byte from 0 to %1, not '%2'")
                 .arg(frame::kPayloadSize - 1)
                 .arg(parser.value(QStringLiteral("store-flip"))));
        return false;
    }
    return true;
}

bool loadMemory(const QString &image, RadioMemory *memory)
{
    QString error;
    if (image.isEmpty()) {
        *memory = RadioMemory::demo();
        return true;
    }
    if (!QFileInfo::exists(image)) {
        *memory = RadioMemory::demo();
        if (!memory->saveFile(image, &error)) {
            fail(error);
            return false;
        }
        return true;
    }
    QList<BlockId> missing;
    if (!memory->loadFile(image, &error, &missing)) {
        fail(error);
        return false;
    }
    if (!missing.isEmpty()) {
        fail(QStringLiteral("%1 lists no data for %2 block(s); they hold zero bytes")
                 .arg(image)
                 .arg(missing.size()));
    }
    return true;
}

/** The frame log: one line for each frame received and each burst sent. */
class FrameLog final
{
public:
    explicit FrameLog(Clock::time_point start)
        : m_start(start)
    {}

    bool open(const QString &path)
    {
        if (path.isEmpty())
            return true;
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            fail(QStringLiteral("%1: %2").arg(path, m_file.errorString()));
            return false;
        }
        write("# time in ms since start; RX: frame received, at its last byte; TX: bytes sent, at "
              "the first byte;\n# turnaround: last byte received to first byte of the reply\n");
        return true;
    }

    void line(Clock::time_point at, const char *direction, const QByteArray &bytes,
              const QString &tail = {})
    {
        if (!m_file.isOpen())
            return;
        QByteArray text = QByteArray::number(milliseconds(at), 'f', 3).rightJustified(12) + ' ' +
                          direction + ' ' + QByteArray::number(bytes.size()).rightJustified(4) +
                          ' ' + bytes.toHex();
        if (!tail.isEmpty())
            text += "  " + tail.toUtf8();
        write(text + '\n');
    }

    void event(Clock::time_point at, const QString &what)
    {
        if (!m_file.isOpen())
            return;
        write(QByteArray::number(milliseconds(at), 'f', 3).rightJustified(12) + " -- " +
              what.toUtf8() + '\n');
    }

private:
    double milliseconds(Clock::time_point at) const
    {
        return std::chrono::duration<double, std::milli>(at - m_start).count();
    }

    void write(const QByteArray &text)
    {
        m_file.write(text);
        m_file.flush(); // readable while the radio runs
    }

    Clock::time_point m_start;
    QFile m_file;
};

/** Writes bytes to the line, waiting while it is full but never for good. */
bool writeBytes(int fd, const char *data, int size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n > 0) {
            data += n;
            size -= static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd out{fd, POLLOUT, 0};
            if (::poll(&out, 1, kWriteStallMs) > 0)
                continue;
        }
        return false;
    }
    return true;
}

class Radio final
{
public:
    Radio(const Options &options, RadioMemory *memory, PseudoTerminal *line, FrameLog *log)
        : m_options(options)
        , m_memory(memory)
        , m_engine(memory, options.faults)
        , m_line(line)
        , m_log(log)
    {}

    /** Serves the line until a stop signal or a hang-up; false on a line error. */
    bool run()
    {
        const auto gap = std::chrono::milliseconds(m_options.gapMs);
        QByteArray frame;
        Clock::time_point lastByte;
        char buffer[4096];

        for (;;) {
            int timeout = -1;
            if (!frame.isEmpty()) {
                const auto left = lastByte + gap - Clock::now();
                timeout = static_cast<int>(std::max<long long>(
                    0, std::chrono::ceil<std::chrono::milliseconds>(left).count()));
            }
            pollfd fds[2] = {{m_line->fd(), POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
            const int ready = ::poll(fds, 2, timeout);
            if (ready < 0 && errno != EINTR) {
                fail(QStringLiteral("poll failed"));
                return false;
            }
            if (ready > 0 && fds[1].revents != 0)
                return true;
            if (ready > 0 && (fds[0].revents & POLLIN)) {
                const ssize_t n = ::read(m_line->fd(), buffer, sizeof buffer);
                if (n > 0) {
                    frame.append(buffer, static_cast<int>(n));
                    lastByte = Clock::now();
                } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                    fail(QStringLiteral("the line failed"));
                    return false;
                }
            } else if (ready > 0 && (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))) {
                fail(QStringLiteral("the line hung up"));
                return false;
            }

            const bool quiet = !frame.isEmpty() && Clock::now() >= lastByte + gap;
            if (quiet || frame.size() >= kMaxFrameSize) {
                const bool lineUp = handle(frame, lastByte);
                frame.clear();
                if (!lineUp)
                    return true;
            }
        }
    }

    void printSummary() const
    {
        QString turnaround = QStringLiteral("no replies");
        if (m_replies > 0) {
            turnaround = QStringLiteral("mean turnaround %1 ms (max %2 ms)")
                             .arg(m_turnaroundSumMs / m_replies, 0, 'f', 3)
                             .arg(m_turnaroundMaxMs, 0, 'f', 3);
        }
        std::fprintf(stderr, "writefreq-vradio: %d frames received, %d replies, %s\n",
                     m_engine.framesReceived(), m_replies, qPrintable(turnaround));
    }

private:
    // Returns false once the line has been closed.
    bool handle(const QByteArray &frame, Clock::time_point lastByte)
    {
        const FrameResult result = m_engine.handleFrame(frame);
        m_log->line(lastByte, "RX", frame, result.notes.join(QStringLiteral("; ")));

        if (result.stored && !m_options.image.isEmpty()) {
            // Saved before the answer goes out: once the program sees 0x06, the file has the block.
            QString error;
            if (!m_memory->saveFile(m_options.image, &error)) {
                fail(error);
                m_log->event(Clock::now(), QStringLiteral("image not saved: ") + error);
            }
        }

        bool first = true;
        Clock::time_point slot = Clock::now();
        for (const ReplyAction &action : result.actions) {
            switch (action.kind) {
            case ReplyAction::Kind::Send: {
                const Clock::time_point start = send(action.bytes, &slot);
                QString tail;
                if (first) {
                    const double ms =
                        std::chrono::duration<double, std::milli>(start - lastByte).count();
                    m_turnaroundSumMs += ms;
                    m_turnaroundMaxMs = std::max(m_turnaroundMaxMs, ms);
                    ++m_replies;
                    tail = QStringLiteral("turnaround %1 ms").arg(ms, 0, 'f', 3);
                    first = false;
                }
                m_log->line(start, "TX", action.bytes, tail);
                break;
            }
            case ReplyAction::Kind::Pause:
                slot = std::max(slot, Clock::now()) + std::chrono::milliseconds(action.pauseMs);
                std::this_thread::sleep_until(slot);
                break;
            case ReplyAction::Kind::HangUp:
                m_line->waitUntilRead(kHangUpGraceMs);
                m_log->event(Clock::now(), QStringLiteral("hang-up"));
                m_line->close();
                return false;
            }
        }
        return true;
    }

    // Puts bytes on the line at 9600 baud, each byte at its own slot counted from the first, so
    // the pace does not drift with scheduling delays. Returns when the first byte went out.
    Clock::time_point send(const QByteArray &bytes, Clock::time_point *slot)
    {
        const Clock::time_point start = std::max(*slot, Clock::now());
        bool written = true;
        if (!m_options.pacing) {
            written = writeBytes(m_line->fd(), bytes.constData(), static_cast<int>(bytes.size()));
            *slot = Clock::now();
        } else {
            *slot = start;
            for (int i = 0; i < bytes.size() && written; ++i) {
                std::this_thread::sleep_until(*slot);
                written = writeBytes(m_line->fd(), bytes.constData() + i, 1);
                *slot += kByteTime;
            }
        }
        if (!written)
            m_log->event(Clock::now(), QStringLiteral("the line is full: reply cut short"));
        return start;
    }

    const Options &m_options;
    RadioMemory *m_memory;
    RadioEngine m_engine;
    PseudoTerminal *m_line;
    FrameLog *m_log;
    int m_replies = 0;
    double m_turnaroundSumMs = 0;
    double m_turnaroundMaxMs = 0;
};

bool installStopSignals()
{
    if (::pipe(g_signalPipe) != 0)
        return false;
    for (int fd : g_signalPipe)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);

    struct sigaction stop
    {
    };
    stop.sa_handler = onStopSignal;
    sigemptyset(&stop.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &stop, nullptr);

    struct sigaction ignore
    {
    };
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, nullptr);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("writefreq-vradio"));

    Options options;
    if (!parseOptions(app, &options))
        return 1;

    RadioMemory memory;
    if (!loadMemory(options.image, &memory))
        return 1;

    const Clock::time_point start = Clock::now();
    FrameLog log(start);
    if (!log.open(options.log))
        return 1;
    if (!installStopSignals()) {
        fail(QStringLiteral("cannot set up the stop signals"));
        return 1;
    }

    PseudoTerminal line;
    QString error;
    if (!line.open(&error) || (!options.link.isEmpty() && !line.makeLink(options.link, &error))) {
        fail(error);
        return 1;
    }

    std::printf("%s\n", qPrintable(line.devicePath()));
    std::fflush(stdout);

    Radio radio(options, &memory, &line, &log);
    const bool ok = radio.run();
    line.close();
    log.event(Clock::now(), QStringLiteral("stopped"));
    radio.printSummary();
    return ok ? 0 : 1;
}
