// SPDX-License-Identifier: GPL-3.0-or-later
//
// writefreq-bench-startup: how long writefreq takes from being started to its main window
// painted, and how much memory it needs meanwhile, beside writefreq-bench-minimal, the least a
// Qt Widgets program does to show a window of the same size with a 17 x 16 table.
//
// Run it from the build directory:
//
//     build/bin/writefreq-bench-startup [--runs N] [--linger MS]
//
// Each program is started N times (default 15), the two by turns, after one warm-up start each
// that is not counted. A start is timed from just before the process is made to the moment the
// program writes its mark: both programs take part in the start-up probe (app/firstpaint.h),
// which writes "shown WxH" once the main window has been painted for the first time, then quits
// after MS milliseconds (default 300), so that work the program puts off until after the first
// paint counts towards its memory. Peak memory is the process's largest resident set, as the
// system reports it when the process ends.
//
// The windows are drawn off screen, on a 1440 x 900 screen, unless QT_QPA_PLATFORM says
// otherwise (xcb on a display shows what a user sees, with the window manager's share in it).
// The programs run in a temporary folder with their own configuration and runtime folders, so
// that a language choice the program keeps stays out of the user's.
//
// Goals: median start-up time and median peak memory at most 1.5 x the minimal program's.
// The exit status is 0 whatever the figures; 1 when a program failed to start or to mark.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr double kGoal = 1.5;
constexpr int kMarkTimeoutMs = 30000;
constexpr char kDesktopScreen[] = R"({"screens": [{"name": "desktop", "x": 0, "y": 0,
    "width": 1440, "height": 900, "logicalDpi": 96}]})";

/** One start of one program. */
struct Start
{
    double shownMs = 0; ///< process made .. mark read
    double peakMiB = 0; ///< largest resident set
    QString windowSize; ///< "WxH", as the program reported it
};

/** A program to start, with its arguments, in an environment of its own. */
struct Program
{
    QString name;
    QStringList arguments;
};

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

/** Keeps the byte strings alive that a spawned process's argument and environment vectors
 *  point into. */
class CStrings final
{
public:
    explicit CStrings(const QStringList &texts)
    {
        for (const QString &text : texts)
            m_bytes.push_back(text.toLocal8Bit());
        for (QByteArray &bytes : m_bytes)
            m_pointers.push_back(bytes.data());
        m_pointers.push_back(nullptr);
    }
    char **data() { return m_pointers.data(); }

private:
    std::vector<QByteArray> m_bytes;
    std::vector<char *> m_pointers;
};

/** Reads from `fd` until a line break or the deadline; the line without its break. */
std::optional<QByteArray> readLine(int fd, const QElapsedTimer &clock, int timeoutMs)
{
    QByteArray line;
    for (;;) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0)
            return std::nullopt;
        pollfd watched{fd, POLLIN, 0};
        const int ready = ::poll(&watched, 1, left);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return std::nullopt;
        char buffer[256];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0)
            return std::nullopt;
        line.append(buffer, got);
        if (const qsizetype end = line.indexOf('\n'); end >= 0)
            return line.left(end);
    }
}

/** Starts the program once and waits for its mark and its end. */
std::optional<Start> startOnce(const Program &program, const QStringList &environment,
                               const QString &folder, QString *error)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        *error = u"no pipe"_s;
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    const QByteArray folderBytes = folder.toLocal8Bit();
    posix_spawn_file_actions_addchdir_np(&actions, folderBytes.constData());
    CStrings argv(QStringList{program.name} + program.arguments);
    CStrings envp(environment);
    const QByteArray path = program.name.toLocal8Bit();

    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, path.constData(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0) {
        ::close(pipeFds[0]);
        *error = u"%1 did not start: %2"_s.arg(program.name,
                                               QString::fromLocal8Bit(std::strerror(spawned)));
        return std::nullopt;
    }

    Start start;
    const std::optional<QByteArray> line = readLine(pipeFds[0], clock, kMarkTimeoutMs);
    start.shownMs = clock.nsecsElapsed() / 1e6;
    ::close(pipeFds[0]);
    if (!line || !line->startsWith("shown ")) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        *error = u"%1 gave no mark within %2 s"_s.arg(program.name).arg(kMarkTimeoutMs / 1000);
        return std::nullopt;
    }
    start.windowSize = QString::fromLatin1(line->mid(6)).trimmed();

    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *error = u"%1 did not end well after its mark"_s.arg(program.name);
        return std::nullopt;
    }
    start.peakMiB = usage.ru_maxrss / 1024.0; // kilobytes on Linux
    return start;
}

void printRow(const char *name, const std::vector<Start> &starts)
{
    std::vector<double> times, peaks;
    for (const Start &s : starts) {
        times.push_back(s.shownMs);
        peaks.push_back(s.peakMiB);
    }
    std::printf("  %-22s %4zu %8.1f %8.1f %8.1f   %8.1f %8.1f\n", name, starts.size(),
                *std::min_element(times.begin(), times.end()), median(times),
                *std::max_element(times.begin(), times.end()), median(peaks),
                *std::max_element(peaks.begin(), peaks.end()));
}

const char *verdict(bool met)
{
    return met ? "met" : "NOT MET";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"writefreq-bench-startup"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Times writefreq's start to its main window painted, beside a minimal Qt program."_s);
    parser.addHelpOption();
    parser.addOption({u"runs"_s, u"Timed starts of each program (default 15)."_s, u"N"_s, u"15"_s});
    parser.addOption({u"linger"_s,
                      u"Milliseconds each program runs on after its mark (default 300)."_s, u"MS"_s,
                      u"300"_s});
    parser.process(app);
    bool runsOk = false;
    bool lingerOk = false;
    const int runs = parser.value(u"runs"_s).toInt(&runsOk);
    const int linger = parser.value(u"linger"_s).toInt(&lingerOk);
    if (!runsOk || runs < 1 || !lingerOk || linger < 0) {
        std::fprintf(stderr, "writefreq-bench-startup: --runs wants a whole number from 1, "
                             "--linger one from 0\n");
        return 2;
    }

    const QString folder = QCoreApplication::applicationDirPath();
    QString programPath = qEnvironmentVariable("WRITEFREQ_PROGRAM");
    if (programPath.isEmpty())
        programPath = folder + u"/writefreq"_s;
    const QString minimalPath = folder + u"/writefreq-bench-minimal"_s;
    for (const QString &path : {programPath, minimalPath}) {
        if (!QFileInfo(path).isExecutable()) {
            std::fprintf(stderr, "writefreq-bench-startup: no program %s\n", qPrintable(path));
            return 1;
        }
    }

    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "writefreq-bench-startup: no temporary folder\n");
        return 1;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(u"QT_QPA_PLATFORM"_s)) {
        // A workshop PC's screen, on which the main window keeps the size it was laid out for;
        // the offscreen platform's own screen is small enough to make the window shrink.
        QFile screens(home.filePath(u"screens.json"_s));
        if (!screens.open(QIODevice::WriteOnly) || screens.write(kDesktopScreen) < 0) {
            std::fprintf(stderr, "writefreq-bench-startup: cannot write %s\n",
                         qPrintable(screens.fileName()));
            return 1;
        }
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen:configfile="_s + screens.fileName());
    }
    environment.insert(u"WRITEFREQ_STARTUP_PROBE"_s, QString::number(linger));
    environment.remove(u"WRITEFREQ_PORTS"_s);
    // Folders of their own: a configuration the program keeps stays out of the user's.
    for (const char *folder : {"config", "runtime"}) {
        QDir(home.path()).mkpath(QString::fromLatin1(folder));
        QFile::setPermissions(home.filePath(QString::fromLatin1(folder)),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner);
    }
    environment.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
    environment.insert(u"XDG_RUNTIME_DIR"_s, home.filePath(u"runtime"_s));
    const QStringList env = environment.toStringList();

    // The program's warm-up start tells the size of its window, which the minimal one copies.
    QString error;
    Program program{programPath, {}};
    const std::optional<Start> programWarm = startOnce(program, env, home.path(), &error);
    if (!programWarm) {
        std::fprintf(stderr, "writefreq-bench-startup: %s\n", qPrintable(error));
        return 1;
    }
    Program minimal{minimalPath, {programWarm->windowSize}};
    const std::optional<Start> minimalWarm = startOnce(minimal, env, home.path(), &error);
    if (!minimalWarm) {
        std::fprintf(stderr, "writefreq-bench-startup: %s\n", qPrintable(error));
        return 1;
    }

    std::printf("writefreq-bench-startup: %d starts of each program by turns, window %s, "
                "platform %s\n\n",
                runs, qPrintable(programWarm->windowSize),
                qPrintable(environment.value(u"QT_QPA_PLATFORM"_s)));
    std::vector<Start> programStarts, minimalStarts;
    for (int i = 0; i < runs; ++i) {
        for (auto [what, starts] :
             {std::pair{&program, &programStarts}, std::pair{&minimal, &minimalStarts}}) {
            const std::optional<Start> start = startOnce(*what, env, home.path(), &error);
            if (!start) {
                std::fprintf(stderr, "writefreq-bench-startup: %s\n", qPrintable(error));
                return 1;
            }
            starts->push_back(*start);
        }
    }

    std::printf("  %-22s %4s %8s %8s %8s   %8s %8s\n", "", "", "shown ms", "", "", "peak MiB", "");
    std::printf("  %-22s %4s %8s %8s %8s   %8s %8s\n", "program", "runs", "min", "median", "max",
                "median", "max");
    printRow("writefreq", programStarts);
    printRow("minimal Qt program", minimalStarts);

    const auto medianOf = [](const std::vector<Start> &starts, double Start::*figure) {
        std::vector<double> values;
        for (const Start &s : starts)
            values.push_back(s.*figure);
        return median(values);
    };
    const double timeRatio =
        medianOf(programStarts, &Start::shownMs) / medianOf(minimalStarts, &Start::shownMs);
    const double memoryRatio =
        medianOf(programStarts, &Start::peakMiB) / medianOf(minimalStarts, &Start::peakMiB);
    std::printf("\nstart-up time: %.2f x the minimal program (goal <= %.1f: %s)\n", timeRatio,
                kGoal, verdict(timeRatio <= kGoal));
    std::printf("peak memory:   %.2f x the minimal program (goal <= %.1f: %s)\n", memoryRatio,
                kGoal, verdict(memoryRatio <= kGoal));
    return 0;
}
