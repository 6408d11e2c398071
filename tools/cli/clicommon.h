// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "compare/radiodiff.h"
#include "i18n/language.h"
#include "protocol/radiosession.h"
#include "tools/cli/sheettext.h"

#include <QCommandLineParser>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <optional>

/** What every subcommand of writefreq-cli shares: exit codes, options, messages, progress, the
 *  stop signals and the inputs. */
namespace wf::cli {

/** The exit codes, as the README documents them. */
enum ExitCode : int {
    kSuccess = 0,
    kDifferent = 1,      ///< diff: the inputs differ
    kUsageError = 2,     ///< unknown subcommand, option or argument
    kPortError = 3,      ///< the port would not open, or the line went away
    kNoAnswer = 4,       ///< the radio stayed silent for --timeout
    kVerifyMismatch = 5, ///< the radio holds other bytes than were written
    kBadFile = 6,        ///< a data file or image that cannot be read or sent
    kInterrupted = 130,  ///< SIGINT or SIGTERM
};

/** The exit code that goes with a session result. */
int exitCodeFor(RadioSession::Result result);

/** Writes "writefreq-cli: message" to standard error. */
void complain(const QString &message);
/** Writes a line to standard output. */
void say(const QString &line);
/** Writes a line to standard error unless quiet. */
void note(const QString &line);
void setQuiet(bool quiet);
/** What every line the calling thread writes starts with ("/dev/ttyUSB1: "): with several
 *  cables at work at once, each line says which cable it is about. Empty by default. */
void setLinePrefix(const QString &prefix);

/** The program's version, as image headers carry it. */
QString programVersion();

/** The seconds --timeout and --poll take: enough for a radio at 9600 baud to answer, and never
 *  so many that the timer could not count them. */
inline constexpr double kMinSeconds = 0.1;
inline constexpr double kMaxSeconds = 3600;

/** A number of seconds given on the command line, in ms; nothing for anything but a finite
 *  number from kMinSeconds to kMaxSeconds. */
std::optional<int> secondsToMs(const QString &text);

/** The complaint about a seconds option: "--timeout wants a number of seconds from 0.1 to 3600,
 *  not 'nan'". */
QString badSeconds(const QString &option, const QString &text);

/** The --lang option of a command: zh or en. False, having complained, for anything else;
 *  nothing in `language` when it was not given. */
bool languageOption(const QCommandLineParser &parser, const QString &command,
                    std::optional<Language> *language);

/** The language the program's own setting chooses (Chinese when it has none). The INI file is
 *  only read: a command-line run creates no settings. */
Language settingsLanguage();

/** One subcommand's command line: options, positional arguments, --help. */
class Arguments final
{
public:
    Arguments(const QString &command, const QString &description, const QString &positional);
    QCommandLineParser &parser() { return m_parser; }
    /** Adds --port, --timeout and --quiet. */
    void addRadioOptions();
    /** Lets --port be given more than once (fleet: a cable each). */
    void allowSeveralPorts() { m_severalPorts = true; }
    /** Adds --no-snapshot and --no-verify, for the commands that write a radio. */
    void addSafeWriteOptions(const QString &snapshotHelp);
    /** Whether a write takes a snapshot first, and reads its blocks back after. */
    bool snapshot() const { return !m_parser.isSet(QStringLiteral("no-snapshot")); }
    bool verify() const { return !m_parser.isSet(QStringLiteral("no-verify")); }
    /** Adds --timeout alone, for commands that read a radio only when told radio:PORT. */
    void addTimeoutOption();
    /** Adds --format text|csv|json. */
    void addFormatOption(const QString &help);
    /** --format, once parsed. */
    SheetFormat format() const { return m_format; }
    /** Parses; on --help prints the help and sets *exit to 0, on an error complains and sets it
     *  to kUsageError. True when the command should run. */
    bool parse(const QStringList &arguments, int *exit);
    /** The same, and the positional arguments into `values`: when their count is not `count`
     *  it complains and sets *exit to kUsageError. */
    bool parse(const QStringList &arguments, int count, QStringList *values, int *exit);
    /** The positional arguments; complains and gives false when their count is not `count`. */
    bool positional(int count, QStringList *values);
    /** --timeout in ms (seconds on the command line). */
    int timeoutMs() const { return m_timeoutMs; }
    QString port() const { return m_parser.value(QStringLiteral("port")); }
    QStringList ports() const { return m_parser.values(QStringLiteral("port")); }

private:
    QString m_command;
    QString m_positional;
    QCommandLineParser m_parser;
    int m_timeoutMs = RadioSession::kDefaultTimeoutMs;
    SheetFormat m_format = SheetFormat::Text;
    bool m_radio = false;
    bool m_timeout = false;
    bool m_severalPorts = false;
    bool m_formats = false;
};

/** Requests to stop, counted: the first asks a command to finish what it does, a second to
 *  abandon it at the next block boundary. */
class StopRequests : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StopRequests)

public:
    explicit StopRequests(QObject *parent = nullptr);
    /** How many requests came so far. */
    int count() const { return m_count; }
    /** Takes over the requests of `leader`, which lives on another thread: a cable's thread
     *  sees them in its own event loop, in turn with its transfers' events. */
    void follow(const StopRequests &leader);

signals:
    void stopRequested(int count);

protected:
    /** Counts up to `count`, emitting once for each request not seen yet. */
    void raiseTo(int count);

private:
    std::atomic<int> m_count{0};
};

/** SIGINT and SIGTERM brought into the event loop: the handler only writes a byte to a socket
 *  pair, a notifier reads it on the loop and emits stopRequested. */
class StopSignals final : public StopRequests
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StopSignals)

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

private:
    void readSignal();
    std::unique_ptr<QSocketNotifier> m_notifier;
};

/** Progress of a session on standard error: a bar on a terminal, plain lines otherwise. */
void showProgress(RadioSession &session);

/** A session on the command's port with its timeout and progress. */
std::unique_ptr<RadioSession> openSession(const Arguments &arguments);
/** A session on `port` with a timeout and progress. */
std::unique_ptr<RadioSession> openSession(const QString &port, int timeoutMs);

/** What a file holds, told by its contents rather than its name. */
enum class FileKind {
    DataFile, ///< the 28 lines of a ".wh" file
    Image,    ///< a radio image: its header, or block lines only
    Other,
};

/** The kind of the file at `path`; Other for one that cannot be read. A file that is no image
 *  and reads as a data file's lines counts as a data file when it ends in the language line
 *  or is named ".wh". */
FileKind fileKind(const QString &path);

/** When `path` is of the other kind than the command takes, says so and which command takes
 *  it, and gives kBadFile; otherwise 0. */
int refuseOtherKind(const QString &path, FileKind wanted);

/** Reads an input of show or diff: a ".wh" data file, a radio image, or "radio:PORT" (read
 *  from the radio). Returns 0 or the exit code of the failure, having complained. */
int loadSource(const QString &name, int timeoutMs, Source *source);

/** Two inputs of diff as radio images, and the windows both of them hold: a data file's table and
 *  settings are built over the other input's blocks (or blank ones), so that only what its
 *  texts say counts; the signalling windows count only when both inputs are images or radios.
 *  Returns 0 or the exit code, having complained about a text the radio cannot take. */
int comparedImages(const Source &a, const Source &b, RadioImage *first, RadioImage *second,
                   QList<compare::Window> *windows);

/** The table and settings of the data file at `path`, with every block built from them and
 *  checked before anything is sent. Returns 0 or the exit code, having complained. */
int loadDataFile(const QString &path, ChannelSheet *sheet);

/** Keeps what a read of the radio on `port` brought as a snapshot; one that cannot be saved is
 *  said on standard error (unless quiet) and leaves the read as it is. */
void keepReadSnapshot(RadioImage image, const QString &port);

/** The outcome of a write with its snapshot and verify. */
struct WriteOutcome
{
    int exitCode = kSuccess;
    QString snapshot;                       ///< the snapshot file, when one was taken
    QList<compare::Difference> differences; ///< what the verify found
    QStringList mismatches; ///< the same, one line a difference ("CH 3, TX Power: written ...")
    QString summary;        ///< one line for a log
};

/** What a write changes: the main blocks, or every block. */
enum class WriteScope { Main, All };

/** Snapshot (unless told not to), write, verify (unless told not to), with the stop signals'
 *  rule: the first signal during the write lets it finish and skips the verify, a second one
 *  abandons it at the next block boundary. Says what happened on standard error. */
WriteOutcome safeWrite(RadioSession &session, const RadioImage &image, WriteScope scope,
                       bool snapshot, bool verify, StopRequests &stops);

/** The same for the table and settings of a data file: each block is built over the one the
 *  radio holds, read before the write (with the snapshot, or alone without one), so that the
 *  bytes no cell shows keep the radio's values. `sheet` was checked by loadDataFile. */
WriteOutcome safeWrite(RadioSession &session, const ChannelSheet &sheet, bool snapshot, bool verify,
                       StopRequests &stops);

} // namespace wf::cli
