// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/cli/clicommon.h"

#include "channels/datafile.h"
#include "channels/sheetimage.h"
#include "i18n/languagesettings.h"
#include "protocol/regularfile.h"
#include "protocol/snapshots.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace wf::cli {

namespace {

bool g_quiet = false;
int g_signalSockets[2] = {-1, -1};
thread_local QString t_linePrefix;

extern "C" void onStopSignal(int)
{
    const char byte = 1;
    const ssize_t written = ::write(g_signalSockets[0], &byte, 1);
    (void)written;
}

// "channels and settings", "DTMF, FSK and 2-Tone".
QString bankNames(const QList<Bank> &banks)
{
    QStringList names;
    for (Bank bank : banks)
        names << bankName(bank);
    const QString last = names.isEmpty() ? QString() : names.takeLast();
    return names.isEmpty() ? last
                           : names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

} // namespace

int exitCodeFor(RadioSession::Result result)
{
    switch (result) {
    case RadioSession::Result::Done:
        return kSuccess;
    case RadioSession::Result::PortError:
        return kPortError;
    case RadioSession::Result::NoAnswer:
        return kNoAnswer;
    case RadioSession::Result::Interrupted:
        return kInterrupted;
    }
    return kPortError;
}

// Each line goes out in one call: the cables' threads write at once, and a line must not be
// split by another's.
void complain(const QString &message)
{
    std::fprintf(stderr, "writefreq-cli: %s\n", qPrintable(t_linePrefix + message));
    std::fflush(stderr);
}

void say(const QString &line)
{
    std::fputs((t_linePrefix + line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

void note(const QString &line)
{
    if (g_quiet)
        return;
    std::fprintf(stderr, "%s\n", qPrintable(t_linePrefix + line));
    std::fflush(stderr);
}

void setQuiet(bool quiet)
{
    g_quiet = quiet;
}

void setLinePrefix(const QString &prefix)
{
    t_linePrefix = prefix;
}

QString programVersion()
{
    return QCoreApplication::applicationVersion();
}

std::optional<int> secondsToMs(const QString &text)
{
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    // Not "seconds < kMinSeconds": a NaN compares false with everything.
    if (!ok || !(seconds >= kMinSeconds && seconds <= kMaxSeconds))
        return std::nullopt;
    return int(std::lround(seconds * 1000));
}

QString badSeconds(const QString &option, const QString &text)
{
    return QStringLiteral("--%1 wants a number of seconds from %2 to %3, not '%4'")
        .arg(option)
        .arg(kMinSeconds)
        .arg(kMaxSeconds)
        .arg(text);
}

bool languageOption(const QCommandLineParser &parser, const QString &command,
                    std::optional<Language> *language)
{
    const QString lang = parser.value(QStringLiteral("lang"));
    language->reset();
    if (lang == QLatin1String("zh"))
        *language = Language::Chinese;
    else if (lang == QLatin1String("en"))
        *language = Language::English;
    else if (!lang.isEmpty()) {
        complain(QStringLiteral("%1: --lang is zh or en, not '%2'").arg(command, lang));
        return false;
    }
    return true;
}

Language settingsLanguage()
{
    const IniFile ini(iniFilePath());
    return ini.exists() ? storedLanguage(ini) : Language::Chinese;
}

Arguments::Arguments(const QString &command, const QString &description, const QString &positional)
    : m_command(command)
    , m_positional(positional)
{
    m_parser.setApplicationDescription(description);
    m_parser.addHelpOption();
}

void Arguments::addRadioOptions()
{
    m_radio = true;
    m_parser.addOptions({
        {QStringLiteral("port"),
         QStringLiteral("Serial port of the radio (COM3, /dev/ttyUSB0, a virtual radio's "
                        "device)."),
         QStringLiteral("PORT")},
        {QStringLiteral("quiet"), QStringLiteral("No progress and no notes on standard error.")},
    });
    addTimeoutOption();
}

void Arguments::addSafeWriteOptions(const QString &snapshotHelp)
{
    m_parser.addOptions({
        {QStringLiteral("no-snapshot"), snapshotHelp},
        {QStringLiteral("no-verify"), QStringLiteral("Do not read the written blocks back.")},
    });
}

void Arguments::addTimeoutOption()
{
    m_timeout = true;
    m_parser.addOption({QStringLiteral("timeout"),
                        QStringLiteral("Seconds the radio may stay silent before the command "
                                       "gives up with \"no answer\" (%1 to %2, default 10).")
                            .arg(kMinSeconds)
                            .arg(kMaxSeconds),
                        QStringLiteral("SECONDS"), QStringLiteral("10")});
}

void Arguments::addFormatOption(const QString &help)
{
    m_formats = true;
    m_parser.addOption(
        {QStringLiteral("format"), help, QStringLiteral("text|csv|json"), QStringLiteral("text")});
}

bool Arguments::parse(const QStringList &arguments, int *exit)
{
    QStringList line = arguments;
    line.prepend(QStringLiteral("writefreq-cli %1").arg(m_command));
    if (!m_parser.parse(line)) {
        complain(QStringLiteral("%1: %2 (see writefreq-cli %1 --help)")
                     .arg(m_command, m_parser.errorText()));
        *exit = kUsageError;
        return false;
    }
    if (m_parser.isSet(QStringLiteral("help"))) {
        // The usage line names the command as it is typed, not the program's path.
        QString help = m_parser.helpText();
        help = QStringLiteral("Usage: writefreq-cli %1 [options] %2")
                   .arg(m_command, m_positional)
                   .trimmed() +
               help.mid(help.indexOf(QLatin1Char('\n')));
        std::fputs(help.toUtf8().constData(), stdout);
        *exit = kSuccess;
        return false;
    }
    if (m_timeout && m_parser.isSet(QStringLiteral("timeout"))) {
        const QString text = m_parser.value(QStringLiteral("timeout"));
        const std::optional<int> ms = secondsToMs(text);
        if (!ms) {
            complain(QStringLiteral("%1: %2").arg(m_command,
                                                  badSeconds(QStringLiteral("timeout"), text)));
            *exit = kUsageError;
            return false;
        }
        m_timeoutMs = *ms;
    }
    if (m_formats) {
        const QString name = m_parser.value(QStringLiteral("format"));
        if (name == QLatin1String("csv")) {
            m_format = SheetFormat::Csv;
        } else if (name == QLatin1String("json")) {
            m_format = SheetFormat::Json;
        } else if (name != QLatin1String("text")) {
            complain(
                QStringLiteral("%1: --format is text, csv or json, not '%2'").arg(m_command, name));
            *exit = kUsageError;
            return false;
        }
    }
    if (m_radio && port().isEmpty()) {
        complain(QStringLiteral("%1: --port is required (writefreq-cli ports lists them)")
                     .arg(m_command));
        *exit = kUsageError;
        return false;
    }
    if (m_radio && !m_severalPorts && ports().size() > 1) {
        complain(QStringLiteral("%1: --port is given %2 times; only fleet programs radios on "
                                "several cables")
                     .arg(m_command)
                     .arg(ports().size()));
        *exit = kUsageError;
        return false;
    }
    if (m_radio)
        setQuiet(m_parser.isSet(QStringLiteral("quiet")));
    return true;
}

bool Arguments::parse(const QStringList &arguments, int count, QStringList *values, int *exit)
{
    if (!parse(arguments, exit))
        return false;
    if (positional(count, values))
        return true;
    *exit = kUsageError;
    return false;
}

bool Arguments::positional(int count, QStringList *values)
{
    *values = m_parser.positionalArguments();
    if (values->size() == count)
        return true;
    complain(QStringLiteral("%1: expected %2 (see writefreq-cli %1 --help)")
                 .arg(m_command, m_positional));
    return false;
}

StopRequests::StopRequests(QObject *parent)
    : QObject(parent)
{}

void StopRequests::follow(const StopRequests &leader)
{
    // Connected before the count is taken: a request in between comes twice, and raiseTo counts
    // it once.
    connect(&leader, &StopRequests::stopRequested, this, [this](int count) { raiseTo(count); });
    raiseTo(leader.count());
}

void StopRequests::raiseTo(int count)
{
    while (m_count < count)
        emit stopRequested(++m_count);
}

StopSignals::StopSignals(QObject *parent)
    : StopRequests(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalSockets) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(g_signalSockets[1], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &StopSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

StopSignals::~StopSignals()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    m_notifier.reset();
    for (int &fd : g_signalSockets) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void StopSignals::readSignal()
{
    char byte = 0;
    if (::read(g_signalSockets[1], &byte, 1) != 1)
        return;
    raiseTo(count() + 1);
}

void showProgress(RadioSession &session)
{
    // Several cables' bars would overwrite each other on one terminal line: they get the lines.
    const bool terminal = ::isatty(STDERR_FILENO) != 0 && t_linePrefix.isEmpty();
    const QString prefix = t_linePrefix;
    QObject::connect(&session, &RadioSession::progressed, &session,
                     [terminal, prefix](const QString &label, int done, int total) {
                         if (g_quiet)
                             return;
                         if (!terminal) {
                             // A log gets one line a transfer, not one a block.
                             if (done == total) {
                                 std::fprintf(stderr, "%s%s: %d blocks\n", qPrintable(prefix),
                                              qPrintable(label), done);
                             }
                             return;
                         }
                         constexpr int kWidth = 30;
                         const int filled = total > 0 ? done * kWidth / total : kWidth;
                         std::fprintf(stderr, "\r%-30s [%s%s] %2d/%d%s", qPrintable(label),
                                      QByteArray(filled, '#').constData(),
                                      QByteArray(kWidth - filled, '.').constData(), done, total,
                                      done == total ? "\n" : "");
                         std::fflush(stderr);
                     });
}

std::unique_ptr<RadioSession> openSession(const Arguments &arguments)
{
    return openSession(arguments.port(), arguments.timeoutMs());
}

std::unique_ptr<RadioSession> openSession(const QString &port, int timeoutMs)
{
    auto session = std::make_unique<RadioSession>(port);
    session->setTimeoutMs(timeoutMs);
    showProgress(*session);
    return session;
}

namespace {

// The data file's own messages name the file only when it cannot be opened; a script that runs
// over many files needs to know which one the rest are about.
QString dataFileError(const QString &path, const QString &error)
{
    return error.contains(path) ? error : QStringLiteral("%1: %2").arg(path, error);
}

bool namedDataFile(const QString &path)
{
    return QFileInfo(path).suffix().compare(datafile::kSuffix, Qt::CaseInsensitive) == 0;
}

// A data file and an image are both text a technician keeps side by side; the one a command
// does not take gets the name of the command that does.
struct KindAdvice
{
    FileKind wanted;
    FileKind given;
    QStringView message; ///< %1 the file
};
constexpr KindAdvice kKindAdvice[] = {
    {FileKind::DataFile, FileKind::Image,
     u"%1 is a radio image, not a data file (.wh): writefreq-cli restore writes a radio image "
     u"into the radio; nothing was sent"},
    {FileKind::Image, FileKind::DataFile,
     u"%1 is a data file (.wh), not a radio image: writefreq-cli write writes a data file into "
     u"the radio; nothing was sent"},
};

} // namespace

FileKind fileKind(const QString &path)
{
    const FileRead file = readRegularFile(path, RadioImage::kMaxImageFileSize);
    if (!file.ok() || file.bytes.size() > RadioImage::kMaxImageFileSize)
        return FileKind::Other;
    // The program's images say what they are on their first line; one put together by hand may
    // have its block lines only.
    RadioImage image;
    QString error;
    if (file.bytes.startsWith("# writefreq radio image") ||
        RadioImage::fromText(QString::fromUtf8(file.bytes), &image, &error))
        return FileKind::Image;
    const datafile::Decoded decoded = datafile::decode(file.bytes, path);
    if (decoded.ok() && (decoded.contents.language || namedDataFile(path)))
        return FileKind::DataFile;
    return FileKind::Other;
}

int refuseOtherKind(const QString &path, FileKind wanted)
{
    const FileKind given = fileKind(path);
    for (const KindAdvice &advice : kKindAdvice) {
        if (advice.wanted == wanted && advice.given == given) {
            complain(advice.message.toString().arg(path));
            return kBadFile;
        }
    }
    return kSuccess;
}

int loadDataFile(const QString &path, ChannelSheet *sheet)
{
    if (const int refused = refuseOtherKind(path, FileKind::DataFile))
        return refused;
    const datafile::Decoded decoded = datafile::read(path);
    if (!decoded.ok()) {
        complain(dataFileError(path, decoded.error));
        return kBadFile;
    }
    // The radio's own blocks come only after the handshake; whether a text converts does not
    // depend on them, so any image will do for the check.
    RadioImage scratch;
    const Conversion conversion = sheetOverImage(decoded.contents.sheet, &scratch);
    if (!conversion.ok()) {
        complain(QStringLiteral("%1: %2; nothing was sent").arg(path, conversion.error));
        return kBadFile;
    }
    *sheet = decoded.contents.sheet;
    return kSuccess;
}

int loadSource(const QString &name, int timeoutMs, Source *source)
{
    source->name = name;
    const QString radioPrefix = QStringLiteral("radio:");
    if (name.startsWith(radioPrefix)) {
        RadioSession session(name.mid(radioPrefix.size()));
        session.setTimeoutMs(timeoutMs);
        showProgress(session);
        RadioImage image;
        const RadioSession::Result result = session.readAll(&image);
        if (result != RadioSession::Result::Done) {
            complain(session.errorText());
            return exitCodeFor(result);
        }
        image.taken = QDateTime::currentDateTime();
        image.port = session.port();
        keepReadSnapshot(image, session.port());
        source->sheet = imageToSheet(image, Language::English);
        source->image = image;
        return kSuccess;
    }
    // Both kinds are welcome here: the contents decide, so an image saved under a ".wh" name
    // shows as the image it is.
    const FileKind kind = fileKind(name);
    if (kind == FileKind::DataFile || (kind == FileKind::Other && namedDataFile(name))) {
        const datafile::Decoded decoded = datafile::read(name);
        if (!decoded.ok()) {
            complain(dataFileError(name, decoded.error));
            return kBadFile;
        }
        source->sheet = decoded.contents.sheet;
        source->language = decoded.contents.language.value_or(Language::English);
        source->image.reset();
        return kSuccess;
    }
    RadioImage image;
    QString error;
    if (!RadioImage::readFile(name, &image, &error)) {
        if (kind == FileKind::Other) {
            error += QStringLiteral(" (it is neither a radio image nor a data file (.wh); show "
                                    "and diff read those, or radio:PORT)");
        }
        complain(error);
        return kBadFile;
    }
    // A signalling window's snapshot has no table to show: all zeros would pass for one.
    if (!image.holds(Bank::Channels)) {
        complain(QStringLiteral("%1: the image holds only %2, without the channels and settings")
                     .arg(name, bankNames(image.banks())));
        return kBadFile;
    }
    source->sheet = imageToSheet(image, Language::English);
    source->image = image;
    return kSuccess;
}

int comparedImages(const Source &a, const Source &b, RadioImage *first, RadioImage *second,
                   QList<compare::Window> *windows)
{
    const RadioImage base = a.image ? *a.image : b.image ? *b.image : RadioImage();
    for (const auto &[source, image] : {std::pair{&a, first}, std::pair{&b, second}}) {
        *image = source->image ? *source->image : base;
        if (source->image)
            continue;
        const Conversion built = sheetOverImage(source->sheet, image);
        if (!built.ok()) {
            complain(QStringLiteral("%1: %2").arg(source->name, built.error));
            return kBadFile;
        }
    }
    if (a.image && b.image) {
        // Snapshots of some banks compare in the banks both hold.
        windows->clear();
        for (const compare::Window window : compare::kWindows) {
            if (a.image->holds(compare::bankOf(window)) && b.image->holds(compare::bankOf(window)))
                *windows << window;
        }
    } else
        *windows = QList<compare::Window>(std::begin(compare::kMainWindows),
                                          std::end(compare::kMainWindows));
    return kSuccess;
}

void keepReadSnapshot(RadioImage image, const QString &port)
{
    image.taken = QDateTime::currentDateTime();
    image.port = port;
    QString error;
    const QString path = saveSnapshot(image, &error);
    if (path.isEmpty())
        note(QStringLiteral("what was read is not kept as a snapshot: %1").arg(error));
    else
        note(QStringLiteral("snapshot saved: %1").arg(path));
}

namespace {

// A write of a whole image (restore), or of a data file's sheet over the radio's own blocks.
WriteOutcome writeSafely(RadioSession &session, RadioImage image, const ChannelSheet *sheet,
                         WriteScope scope, bool snapshot, bool verify, StopRequests &stops)
{
    WriteOutcome outcome;
    const auto fail = [&](int code, const QString &message, const QString &summary) {
        complain(message);
        outcome.exitCode = code;
        outcome.summary = summary;
        return outcome;
    };
    QMetaObject::Connection stopReads = QObject::connect(
        &stops, &StopRequests::stopRequested, &session, [&session](int) { session.requestStop(); });

    // The blocks the radio holds now: bytes no cell shows are written back as they are.
    // A restore of some banks (a read's snapshot) reads, writes and verifies those banks only.
    const QList<Bank> banks = image.banks();
    RadioImage radio;
    if (snapshot) {
        note(
            image.isComplete()
                ? QStringLiteral("reading the radio's complete image for a snapshot before writing")
                : QStringLiteral("reading the radio's %1 for a snapshot before writing")
                      .arg(bankNames(banks)));
        RadioImage before;
        const RadioSession::Result result = session.readBanks(banks, &before);
        if (result != RadioSession::Result::Done) {
            QObject::disconnect(stopReads);
            return fail(exitCodeFor(result),
                        QStringLiteral("%1; nothing was written").arg(session.errorText()),
                        QStringLiteral("snapshot failed: %1").arg(session.errorText()));
        }
        before.taken = QDateTime::currentDateTime();
        before.port = session.port();
        QString error;
        outcome.snapshot = saveSnapshot(before, &error);
        if (outcome.snapshot.isEmpty()) {
            QObject::disconnect(stopReads);
            return fail(
                kBadFile,
                QStringLiteral("cannot save the snapshot (%1); nothing was written").arg(error),
                QStringLiteral("snapshot not saved"));
        }
        note(QStringLiteral("snapshot saved: %1").arg(outcome.snapshot));
        radio = before;
    } else if (sheet) {
        note(QStringLiteral("reading the radio's channels and settings before writing"));
        const RadioSession::Result result = session.readMain(&radio);
        if (result != RadioSession::Result::Done) {
            QObject::disconnect(stopReads);
            return fail(
                exitCodeFor(result),
                QStringLiteral("%1; nothing was written").arg(session.errorText()),
                QStringLiteral("read before the write failed: %1").arg(session.errorText()));
        }
    }
    QObject::disconnect(stopReads);
    if (stops.count() > 0) {
        return fail(kInterrupted,
                    QStringLiteral("interrupted before the write; nothing was written"),
                    QStringLiteral("interrupted, nothing written"));
    }
    if (sheet) {
        image = radio;
        const Conversion built = sheetOverImage(*sheet, &image);
        if (!built.ok()) {
            return fail(kBadFile, QStringLiteral("%1; nothing was written").arg(built.error),
                        QStringLiteral("not written: %1").arg(built.error));
        }
    }

    // A write stopped halfway leaves a radio that is neither the old nor the new: the first
    // signal lets it finish, only a second one abandons it, and then at a block boundary.
    bool finishing = false;
    QMetaObject::Connection stopWrite =
        QObject::connect(&stops, &StopRequests::stopRequested, &session, [&](int count) {
            if (count == 1) {
                finishing = true;
                complain(QStringLiteral("finishing the write so that the radio is not left half "
                                        "written (about a second); interrupt again to abandon "
                                        "it at the next block boundary"));
            } else {
                session.requestStop();
            }
        });
    session.resetCounts();
    const RadioSession::Result written =
        scope == WriteScope::Main ? session.writeMain(image) : session.writeAll(image);
    QObject::disconnect(stopWrite);
    const QString snapshotNote = outcome.snapshot.isEmpty()
                                     ? QString()
                                     : QStringLiteral("; the radio's state before the write is "
                                                      "in %1 (writefreq-cli restore)")
                                           .arg(outcome.snapshot);
    if (written != RadioSession::Result::Done) {
        return fail(exitCodeFor(written),
                    QStringLiteral("%1 (%2 blocks acknowledged)%3")
                        .arg(session.errorText())
                        .arg(session.writtenBlocks().size())
                        .arg(snapshotNote),
                    QStringLiteral("write failed: %1").arg(session.errorText()));
    }
    if (finishing) {
        return fail(kInterrupted,
                    QStringLiteral("interrupted: the write was finished first (every block "
                                   "acknowledged); not verified"),
                    QStringLiteral("written, interrupted before the verify"));
    }
    note(QStringLiteral("written: %1 blocks acknowledged").arg(session.writtenBlocks().size()));
    if (!verify) {
        outcome.summary = QStringLiteral("written, not verified");
        return outcome;
    }

    stopReads = QObject::connect(&stops, &StopRequests::stopRequested, &session,
                                 [&session](int) { session.requestStop(); });
    RadioImage back;
    const RadioSession::Result read =
        scope == WriteScope::Main ? session.readMain(&back) : session.readBanks(banks, &back);
    QObject::disconnect(stopReads);
    if (read != RadioSession::Result::Done) {
        return fail(exitCodeFor(read),
                    QStringLiteral("verify: %1; the write itself was acknowledged")
                        .arg(session.errorText()),
                    QStringLiteral("verify failed: %1").arg(session.errorText()));
    }
    // A restore of some banks compares the windows of those banks only.
    QList<compare::Window> windows;
    for (const compare::Window window : compare::kWindows) {
        if (scope == WriteScope::Main
                ? std::find(std::begin(compare::kMainWindows), std::end(compare::kMainWindows),
                            window) != std::end(compare::kMainWindows)
                : image.holds(compare::bankOf(window)))
            windows << window;
    }
    outcome.differences = compare::compareContents(image, back, Language::English, windows);
    if (!outcome.differences.isEmpty()) {
        for (const compare::Difference &d : std::as_const(outcome.differences))
            outcome.mismatches << compare::sentence(d, compare::kWrittenAndRadio,
                                                    Language::English);
        for (const QString &line : std::as_const(outcome.mismatches))
            complain(QStringLiteral("verify mismatch: %1").arg(line));
        return fail(kVerifyMismatch,
                    QStringLiteral("verify failed: %1%2")
                        .arg(outcome.differences.size() == 1
                                 ? QStringLiteral("1 difference")
                                 : QStringLiteral("%1 differences").arg(outcome.differences.size()),
                             snapshotNote),
                    QStringLiteral("verify mismatch: %1")
                        .arg(outcome.mismatches.join(QStringLiteral("; "))));
    }
    note(QStringLiteral("verified: the radio holds every written block byte for byte"));
    outcome.summary = QStringLiteral("written and verified");
    return outcome;
}

} // namespace

WriteOutcome safeWrite(RadioSession &session, const RadioImage &image, WriteScope scope,
                       bool snapshot, bool verify, StopRequests &stops)
{
    return writeSafely(session, image, nullptr, scope, snapshot, verify, stops);
}

WriteOutcome safeWrite(RadioSession &session, const ChannelSheet &sheet, bool snapshot, bool verify,
                       StopRequests &stops)
{
    return writeSafely(session, RadioImage(), &sheet, WriteScope::Main, snapshot, verify, stops);
}

} // namespace wf::cli
