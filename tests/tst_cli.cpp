// SPDX-License-Identifier: GPL-3.0-or-later
// writefreq-cli as a user runs it: the real binary as a process, against the virtual radio on a
// pseudo-terminal, its exit codes, its output and what the radio holds afterwards.
#include "channels/channeltable.h"
#include "channels/datafile.h"
#include "channels/mainblocks.h"
#include "i18n/languagesettings.h"
#include "protocol/frame.h"
#include "protocol/radioimage.h"
#include "support/vradioprocess.h"
#include "tools/vradio/radiomemory.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <sys/stat.h>

using namespace wf;
using wf::vradio::RadioMemory;

Q_DECLARE_METATYPE(wf::Language)

namespace {

constexpr int kRunTimeoutMs = 30000;

struct CliRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

QString cliProgram()
{
    return qEnvironmentVariable("WRITEFREQ_CLI");
}

QProcessEnvironment cliEnvironment(const QString &dataHome, const QString &ports = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dataHome + QStringLiteral("/config"));
    env.insert(QStringLiteral("WRITEFREQ_PORTS"), ports);
    return env;
}

CliRun runCli(const QStringList &arguments, const QString &dataHome, const QString &ports = {},
              int timeoutMs = kRunTimeoutMs)
{
    QProcess process;
    process.setProcessEnvironment(cliEnvironment(dataHome, ports));
    process.start(cliProgram(), arguments);
    CliRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("did not finish within %1 ms").arg(timeoutMs);
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

FrameBuffer frameOf(int bank, int block, const vradio::Payload &payload)
{
    FrameBuffer frame{};
    putBlockHeader(frame.data(), quint8(bank), quint8(block));
    std::copy(payload.begin(), payload.end(), frame.begin() + frame::kPayloadOffset);
    return frame;
}

// What the main window shows after reading a radio that holds `memory`, straight from the
// window's own codec.
ChannelSheet sheetOf(const RadioMemory &memory, Language language)
{
    ChannelSheet sheet;
    for (int row = 1; row <= kChannelCount; ++row) {
        sheet.rows[row][column::Number] = QString::number(row);
        DecodeChannelBlock(frameOf(0, row, memory.payload(0, row)).data(), sheet.rows[row],
                           language);
    }
    DecodeSettingsBlock(frameOf(5, 0, memory.payload(5, 0)).data(), sheet.settings, language);
    return sheet;
}

QString receiveFrequency(const RadioMemory &memory, int channel)
{
    ChannelRow row;
    DecodeChannelBlock(frameOf(0, channel, memory.payload(0, channel)).data(), row,
                       Language::English);
    return row[column::RxFrequency];
}

RadioMemory memoryIn(const QString &path)
{
    RadioMemory memory;
    QString error;
    if (!memory.loadFile(path, &error))
        qWarning("%s", qPrintable(error));
    return memory;
}

bool sameMemory(const RadioMemory &a, const RadioImage &b)
{
    for (const BlockAddress &address : RadioImage::addresses()) {
        const vradio::Payload &x = a.payload(int(address.bank), address.block);
        if (!std::equal(x.begin(), x.end(), b.payload(address.bank, address.block).begin()))
            return false;
    }
    return true;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Frames the radio received, from its log: nothing was sent when there is none.
int framesReceived(const QString &log)
{
    return int(QString::fromUtf8(readAll(log)).count(QRegularExpression(QStringLiteral(" RX "))));
}

} // namespace

class TestCli final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void usage_data();
    void usage();
    void readToFileAndImage();
    void readLanguage_data();
    void readLanguage();
    void writeTakesSnapshotAndVerifies();
    void verifyNamesTheBadByte_data();
    void verifyNamesTheBadByte();
    void restoreBringsTheRadioBack();
    void refusedBeforeAnythingIsSent_data();
    void refusedBeforeAnythingIsSent();
    void diff_data();
    void diff();
    void show_data();
    void show();
    void importAndExport();
    void silentRadio();
    void ports();
    void interruptedWrite_data();
    void interruptedWrite();
    void interruptedRestoreStopsInItsBank();
    void fleetOfRadios();
    void fleetOnSeveralCables();
    void wrongKindOfFile_data();
    void wrongKindOfFile();
    void refusedSeconds_data();
    void refusedSeconds();
    void refusedSaveTargets_data();
    void refusedSaveTargets();
    void writeKeepsWhatNoCellShows_data();
    void writeKeepsWhatNoCellShows();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString writeDataFile(const QString &name, const ChannelSheet &sheet,
                          Language language = Language::English);
    // The demonstration radio's table with channel 2 receiving on 145.5 MHz.
    ChannelSheet changedSheet() const;

    QTemporaryDir m_dir;
    QString m_dataHome;
};

void TestCli::initTestCase()
{
    QVERIFY2(!cliProgram().isEmpty(), "WRITEFREQ_CLI is not set");
    QVERIFY2(!VirtualRadioProcess::program().isEmpty(), "WRITEFREQ_VRADIO is not set");
    QVERIFY(m_dir.isValid());
}

void TestCli::init()
{
    // Every test gets a data folder of its own, so the snapshots it finds are its own.
    m_dataHome = path(QStringLiteral("data-%1").arg(QTest::currentTestFunction()));
    QDir(m_dataHome).removeRecursively();
    QVERIFY(QDir().mkpath(m_dataHome));
}

QString TestCli::writeDataFile(const QString &name, const ChannelSheet &sheet, Language language)
{
    const QString file = path(name);
    const QString error = datafile::write(file, sheet, language);
    if (!error.isEmpty())
        qWarning("%s", qPrintable(error));
    return file;
}

ChannelSheet TestCli::changedSheet() const
{
    ChannelSheet sheet = sheetOf(RadioMemory::demo(), Language::English);
    sheet.rows[2][column::RxFrequency] = QStringLiteral("145.50000");
    return sheet;
}

void TestCli::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");

    QTest::newRow("no command") << QStringList() << 2 << "Usage: writefreq-cli";
    QTest::newRow("help lists every command")
        << QStringList{"--help"} << 0 << "ports|read|write|restore|diff|show|fleet";
    QTest::newRow("unknown command") << QStringList{"erase"} << 2 << "unknown command 'erase'";
    QTest::newRow("command help") << QStringList{"write", "--help"} << 0
                                  << "Usage: writefreq-cli write [options] FILE.wh|--no-snapshot";
    QTest::newRow("read without a port")
        << QStringList{"read", "--out", "x.wh"} << 2 << "--port is required";
    QTest::newRow("unknown option") << QStringList{"show", "--colour", "x"} << 2 << "colour";
    QTest::newRow("bad timeout") << QStringList{"read", "--port", "p", "--timeout", "soon"} << 2
                                 << "--timeout wants a number";
    QTest::newRow("diff of one input") << QStringList{"diff", "a.wh"} << 2 << "expected A B";
    QTest::newRow("write on two cables")
        << QStringList{"write", "--port", "a", "--port", "b", "x.wh"} << 2
        << "write: --port is given 2 times; only fleet programs radios on several cables";
    QTest::newRow("fleet given one cable twice")
        << QStringList{"fleet", "--port", "a", "--port", "a", "x.wh"} << 2
        << "fleet: --port a is given twice; give each cable once";
}

void TestCli::usage()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, says);

    const CliRun run = runCli(arguments, m_dataHome);
    QCOMPARE(run.exitCode, exitCode);
    for (const QString &part : says.split('|'))
        QVERIFY2((run.out + run.err).contains(part), qPrintable(run.out + run.err));
}

void TestCli::readToFileAndImage()
{
    VirtualRadioProcess radio;
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    const CliRun run = runCli({"read", "--port", radio.devicePath(), "--out", path("read.wh"),
                               "--image", path("read.img"), "--lang", "en"},
                              m_dataHome);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));

    // The image holds every block of every bank as the radio has it, under a header that says
    // when, where and with what it was taken.
    RadioImage image;
    QString error;
    QVERIFY2(RadioImage::readFile(path("read.img"), &image, &error), qPrintable(error));
    QVERIFY(sameMemory(RadioMemory::demo(), image));
    const QString text = QString::fromUtf8(readAll(path("read.img")));
    QVERIFY(text.contains("# port: " + radio.devicePath()));
    QVERIFY(text.contains(QRegularExpression("# date: \\d{4}-\\d\\d-\\d\\dT")));
    QVERIFY(text.contains("# program: writefreq 2."));

    // The data file holds what the main window shows after a read.
    const datafile::Decoded file = datafile::read(path("read.wh"));
    QVERIFY2(file.ok(), qPrintable(file.error));
    const ChannelSheet expected = sheetOf(RadioMemory::demo(), Language::English);
    for (int row = 1; row <= kChannelCount; ++row) {
        for (int c = 1; c < column::kCount; ++c)
            QCOMPARE(file.contents.sheet.rows[row][c].trimmed(), expected.rows[row][c].trimmed());
    }
    QCOMPARE(file.contents.sheet.settings, expected.settings);
    QCOMPARE(file.contents.language, std::optional<Language>(Language::English));
}

void TestCli::readLanguage_data()
{
    QTest::addColumn<QString>("setting"); // the program's stored language; empty: no INI file
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<Language>("expected");

    QTest::newRow("no setting: Chinese, as the program starts")
        << QString() << QStringList() << Language::Chinese;
    QTest::newRow("the program's setting") << "en" << QStringList() << Language::English;
    QTest::newRow("--lang over the setting")
        << "en" << QStringList{"--lang", "zh"} << Language::Chinese;
}

void TestCli::readLanguage()
{
    QFETCH(QString, setting);
    QFETCH(QStringList, options);
    QFETCH(Language, expected);

    const QString iniPath = m_dataHome + "/config/writefreq/inifile.ini";
    if (!setting.isEmpty()) {
        QVERIFY(QDir().mkpath(QFileInfo(iniPath).path()));
        IniFile ini(iniPath);
        QVERIFY(storeLanguage(ini, setting == "en" ? Language::English : Language::Chinese).ok());
    }
    VirtualRadioProcess radio({"--no-pacing"});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    const QString out = path("lang.wh");
    const CliRun run = runCli(
        QStringList{"read", "--port", radio.devicePath(), "--out", out} + options, m_dataHome);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const datafile::Decoded file = datafile::read(out);
    QVERIFY2(file.ok(), qPrintable(file.error));
    QCOMPARE(file.contents.language, std::optional<Language>(expected));
    // The value words are in that language too.
    const ChannelSheet words = sheetOf(RadioMemory::demo(), expected);
    QCOMPARE(file.contents.sheet.rows[1][column::Power], words.rows[1][column::Power]);
    // A command-line read only looks at the setting; it creates none.
    QCOMPARE(QFile::exists(iniPath), !setting.isEmpty());
}

void TestCli::writeTakesSnapshotAndVerifies()
{
    VirtualRadioProcess radio({"--image", path("snapshot-radio.img")});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    const QString file = writeDataFile("changed.wh", changedSheet());
    const CliRun run = runCli({"write", "--port", radio.devicePath(), file}, m_dataHome);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.err.contains("verified"), qPrintable(run.err));

    // The radio took the new table...
    const RadioMemory after = memoryIn(path("snapshot-radio.img"));
    QCOMPARE(receiveFrequency(after, 2), QStringLiteral("145.50000"));
    // ...and the snapshot holds it as it was before, in the user's data folder.
    const QDir snapshots(m_dataHome + "/writefreq/snapshots");
    const QStringList taken = snapshots.entryList({"*.img"}, QDir::Files);
    QCOMPARE(taken.size(), 1);
    QVERIFY2(QRegularExpression("^\\d{8}-\\d{6}-.+\\.img$").match(taken.first()).hasMatch(),
             qPrintable(taken.first()));
    RadioImage before;
    QString error;
    QVERIFY2(RadioImage::readFile(snapshots.filePath(taken.first()), &before, &error),
             qPrintable(error));
    QVERIFY(sameMemory(RadioMemory::demo(), before));
    QVERIFY(!sameMemory(after, before));
}

void TestCli::verifyNamesTheBadByte_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("flip");
    QTest::addColumn<QString>("named");

    // The field the byte belongs to, as the window shows it; a byte no window shows, as a byte.
    QTest::newRow("write, a channel") << "write"
                                      << "0:3:7"
                                      << "CH 3, TX Freq: written 438.55000, radio 3844.32485";
    QTest::newRow("write, the settings") << "write"
                                         << "5:0:2"
                                         << "Settings byte 2: written 00, radio ff";
    // A decoder without a pair shows nothing; with one, its response and prompt show.
    QTest::newRow("restore, a 2-Tone block")
        << "restore"
        << "3:4:0"
        << "2-Tone decode 3, Response Mode (Decode1): written (empty), radio NONE\n"
           "2-Tone decode 3, Prompt (Decode1): written (empty), radio 0";
    // The last payload byte is no text anywhere, and still must be what was written.
    QTest::newRow("write, a channel's last byte") << "write"
                                                  << "0:3:27"
                                                  << "CH 3 byte 27: written ff, radio 00";
    QTest::newRow("restore, a 5-Tone block's last byte")
        << "restore"
        << "4:16:27"
        << "5-Tone decode 16, Response Code: written 00000, radio F0000";
}

void TestCli::verifyNamesTheBadByte()
{
    QFETCH(QString, command);
    QFETCH(QString, flip);
    QFETCH(QString, named);

    VirtualRadioProcess radio({"--store-flip", flip});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    QString input = writeDataFile("flip.wh", changedSheet());
    if (command == "restore") {
        RadioImage image;
        for (const BlockAddress &a : RadioImage::addresses())
            image.setPayload(a.bank, a.block, RadioMemory::demo().payload(int(a.bank), a.block));
        input = path("flip.img");
        QString error;
        QVERIFY2(image.writeFile(input, "test", &error), qPrintable(error));
    }
    const CliRun run =
        runCli({command, "--port", radio.devicePath(), "--no-snapshot", input}, m_dataHome);
    QCOMPARE(run.exitCode, 5);
    // Exactly the fields of the flipped byte: nothing else is blamed.
    QStringList said;
    for (const QString &line : run.err.split('\n')) {
        if (line.startsWith("writefreq-cli: verify mismatch: "))
            said << line.mid(int(qstrlen("writefreq-cli: verify mismatch: ")));
    }
    QCOMPARE(said, named.split('\n'));
}

void TestCli::restoreBringsTheRadioBack()
{
    // Unpaced: this test is about what the radio holds, not about the line's timing.
    VirtualRadioProcess radio({"--image", path("restore-radio.img"), "--no-pacing"});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    const QString port = radio.devicePath();
    CliRun run =
        runCli({"read", "--port", port, "--image", path("good.img"), "--quiet"}, m_dataHome);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    // The read is kept among the snapshots too.
    const QDir snapshots(m_dataHome + "/writefreq/snapshots");
    QCOMPARE(snapshots.entryList({"*.img"}, QDir::Files).size(), 1);

    // The radio is changed in the main blocks and, through its own image, in a signalling bank.
    run = runCli({"write", "--port", port, "--no-snapshot", "--no-verify",
                  writeDataFile("other.wh", changedSheet())},
                 m_dataHome);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    RadioImage good;
    QString error;
    QVERIFY2(RadioImage::readFile(path("good.img"), &good, &error), qPrintable(error));
    RadioImage changed = good;
    BlockPayload dtmf = changed.payload(Bank::Dtmf, 2);
    dtmf[5] ^= 0x0F;
    changed.setPayload(Bank::Dtmf, 2, dtmf);
    QVERIFY(changed.writeFile(path("changed.img"), "test", &error));
    run = runCli({"restore", "--port", port, "--no-snapshot", "--no-verify", path("changed.img")},
                 m_dataHome);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(!sameMemory(memoryIn(path("restore-radio.img")), good));

    const QStringList kept = snapshots.entryList({"*.img"}, QDir::Files);
    run = runCli({"restore", "--port", port, path("good.img")}, m_dataHome);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(sameMemory(memoryIn(path("restore-radio.img")), good));
    // Its snapshot kept the changed state, so even the restore can be undone.
    QStringList taken = snapshots.entryList({"*.img"}, QDir::Files);
    taken.removeIf([&](const QString &name) { return kept.contains(name); });
    QCOMPARE(taken.size(), 1);
    RadioImage snapshot;
    QVERIFY(RadioImage::readFile(snapshots.filePath(taken.first()), &snapshot, &error));
    QCOMPARE(snapshot.payload(Bank::Dtmf, 2), dtmf);
}

void TestCli::refusedBeforeAnythingIsSent_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("message");

    RadioImage demo;
    for (const BlockAddress &a : RadioImage::addresses())
        demo.setPayload(a.bank, a.block, RadioMemory::demo().payload(int(a.bank), a.block));
    const QByteArray good = demo.toText("test").toUtf8();
    const QList<QByteArray> lines = good.split('\n');
    const QByteArray cut = lines.mid(0, 30).join('\n') + '\n';
    QByteArray badHex = good;
    badHex.replace("\n0  1 a0", "\n0  1 g0");
    QByteArray twice = good + "0 1 " + QByteArray(56, '0') + "\n";
    QByteArray foreignBlock = good + "0 17 " + QByteArray(56, '0') + "\n";
    QByteArray foreignLayout = good;
    foreignLayout.replace("# layout: 0:1-16", "# layout: 0:1-32");

    const int headerLines = int(good.left(good.indexOf("\n0  1")).count('\n')) + 1;
    QTest::newRow("image cut short")
        << "restore"
        << "cut.img" << cut << QString("line 31: the image ends without bank");
    QTest::newRow("image with a bad digit")
        << "restore"
        << "hex.img" << badHex << QString("line %1: 'g0fa").arg(headerLines + 1);
    QTest::newRow("image with a block twice") << "restore"
                                              << "twice.img" << twice << "already given on line";
    QTest::newRow("image of another radio's blocks")
        << "restore"
        << "foreign.img" << foreignBlock << "the radio has no block 17 in bank 0";
    QTest::newRow("image of another bank layout") << "restore"
                                                  << "layout.img" << foreignLayout
                                                  << "line 5: the image is of a radio with "
                                                     "other banks";
    QTest::newRow("data file with a frequency the radio cannot take")
        << "write"
        << "bad.wh" << QByteArray() << "Channel 2 RX Freq:";
    QTest::newRow("data file cut short")
        << "write"
        << "short.wh" << QByteArray("\"a\",\"b\"\r\n") << "short.wh: List index out of bounds (1)";
}

void TestCli::refusedBeforeAnythingIsSent()
{
    QFETCH(QString, command);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);

    QString input = path(fileName);
    if (contents.isEmpty()) {
        ChannelSheet sheet = changedSheet();
        sheet.rows[2][column::RxFrequency] = QStringLiteral("9999.1");
        input = writeDataFile(fileName, sheet);
    } else {
        QFile file(input);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
    }
    const QString log = path(fileName + ".log");
    VirtualRadioProcess radio({"--log", log});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    const CliRun run = runCli({command, "--port", radio.devicePath(), input}, m_dataHome);
    QCOMPARE(run.exitCode, 6);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY2(run.err.contains("nothing was sent") || command == "write", qPrintable(run.err));
    QVERIFY(radio.stop());
    QCOMPARE(framesReceived(log), 0);
}

void TestCli::diff_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("expected");

    QTest::newRow("equal data files") << "demo.wh"
                                      << "demo-copy.wh"
                                      << "text" << 0 << "";
    QTest::newRow("the same table saved in Chinese and in English") << "demo.wh"
                                                                    << "demo-zh.wh"
                                                                    << "text" << 0 << "";
    QTest::newRow("a data file and the radio it came from") << "demo.wh"
                                                            << "radio:"
                                                            << "text" << 0 << "";
    QTest::newRow("a frequency") << "demo.wh"
                                 << "changed.wh"
                                 << "text" << 1 << "CH 2, RX Freq: A 438.52500, B 145.50000\n";
    QTest::newRow("a frequency, csv") << "demo.wh"
                                      << "changed.wh"
                                      << "csv" << 1
                                      << "window,control,row,column,block,byte,place,field,A,B\n"
                                         "channels,xg,2,1,,,CH 2,RX Freq,438.52500,145.50000\n";
    QTest::newRow("a setting") << "demo.wh"
                               << "squelch.wh"
                               << "text" << 1 << "Settings, SQ Lev: A 3, B 5\n";
    QTest::newRow("an image and the radio it came from") << "demo.img"
                                                         << "radio:"
                                                         << "text" << 0 << "";
    // Memory 1 holds four digits: a code above them is kept by the radio, never shown.
    QTest::newRow("images a DTMF byte apart, json")
        << "demo.img"
        << "dtmf.img"
        << "json" << 1
        << "[\n"
           "    {\n"
           "        \"A\": \"00\",\n"
           "        \"B\": \"5a\",\n"
           "        \"block\": 1,\n"
           "        \"byte\": 3,\n"
           "        \"place\": \"DTMF block 1 byte 3\",\n"
           "        \"window\": \"dtmf\"\n"
           "    }\n"
           "]\n";
    QTest::newRow("images a channel's last byte apart")
        << "demo.img"
        << "last.img"
        << "text" << 1 << "CH 3 byte 27: A ff, B 00\n";
    QTest::newRow("a compander") << "demo.wh"
                                 << "compander.wh"
                                 << "text" << 1 << "CH 1, Compandor: A NONE, B YES\n";
    QTest::newRow("a data file and a radio a compander apart")
        << "compander.wh"
        << "radio:"
        << "text" << 1 << "CH 1, Compandor: A YES, B NONE\n";
}

void TestCli::diff()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, format);
    QFETCH(int, exitCode);
    QFETCH(QString, expected);

    const ChannelSheet demo = sheetOf(RadioMemory::demo(), Language::English);
    writeDataFile("demo.wh", demo);
    writeDataFile("demo-copy.wh", demo);
    writeDataFile("demo-zh.wh", sheetOf(RadioMemory::demo(), Language::Chinese), Language::Chinese);
    writeDataFile("changed.wh", changedSheet());
    ChannelSheet squelch = demo;
    QCOMPARE(squelch.settings[setting::Squelch], QStringLiteral("3"));
    squelch.settings[setting::Squelch] = QStringLiteral("5");
    writeDataFile("squelch.wh", squelch);
    ChannelSheet compander = demo;
    QCOMPARE(compander.rows[1][column::Compander], QStringLiteral("NONE"));
    compander.rows[1][column::Compander] = QStringLiteral("YES");
    writeDataFile("compander.wh", compander);
    RadioImage image;
    for (const BlockAddress &address : RadioImage::addresses()) {
        image.setPayload(address.bank, address.block,
                         RadioMemory::demo().payload(int(address.bank), address.block));
    }
    QString error;
    QVERIFY(image.writeFile(path("demo.img"), "test", &error));
    BlockPayload dtmf = image.payload(Bank::Dtmf, 1);
    QCOMPARE(dtmf[3], quint8(0));
    dtmf[3] = 0x5a;
    image.setPayload(Bank::Dtmf, 1, dtmf);
    QVERIFY(image.writeFile(path("dtmf.img"), "test", &error));
    image.setPayload(Bank::Dtmf, 1, RadioMemory::demo().payload(int(Bank::Dtmf), 1));
    BlockPayload channel = image.payload(Bank::Channels, 3);
    QCOMPARE(channel[27], quint8(0xFF));
    channel[27] = 0x00;
    image.setPayload(Bank::Channels, 3, channel);
    QVERIFY(image.writeFile(path("last.img"), "test", &error));

    VirtualRadioProcess radio({"--no-pacing"});
    const auto input = [&](const QString &name) {
        return name == "radio:" ? "radio:" + radio.devicePath() : path(name);
    };
    if (a == "radio:" || b == "radio:")
        QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    const CliRun run = runCli({"diff", "--format", format, input(a), input(b)}, m_dataHome);
    QCOMPARE(run.out, expected);
    QCOMPARE(run.exitCode, exitCode);
}

void TestCli::show_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("table"); // --table, or none
    QTest::addColumn<QString>("file");  // show.wh or show.img
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("expected"); // lines that must be in the output, "|" between

    QTest::newRow("aligned text")
        << "text"
        << ""
        << "show.wh" << 0
        << "channel  receive frequency  transmit frequency|2        438.52500          438.52500|"
           "squelch         3";
    QTest::newRow("csv") << "csv"
                         << ""
                         << "show.wh" << 0
                         << "channel,receive frequency,transmit frequency|2,438.52500,438.52500,"
                            "|squelch,3";
    QTest::newRow("json") << "json"
                          << ""
                          << "show.wh" << 0
                          << "\"receive frequency\": \"438.52500\"|\"squelch\": \"3\"";
    // A signalling window's controls and grids under the captions it shows.
    QTest::newRow("the 2-Tone table")
        << "text"
        << "2tone"
        << "show.img" << 0
        << "2-Tone\nFirst Frequency Time(ms)             500\n|"
           "\ndecode  Decode1  Response Mode (Decode1)  Prompt (Decode1)  Decode2  |"
           "\n1       AB       REMIND                   1                 AC       ";
    QTest::newRow("the FSK table as json") << "json"
                                           << "fsk"
                                           << "show.img" << 0
                                           << "\"fsk\": {|\"Fleet[Own]\": \"100\"|"
                                              "\"Fleet\": \"101\",\n                \"ID\": "
                                              "\"2001\",\n                \"entry\": 3";
    QTest::newRow("a data file has no signalling table")
        << "text"
        << "dtmf"
        << "show.wh" << 2
        << "show.wh is a data file, which holds only the channel table and the settings";
}

void TestCli::show()
{
    QFETCH(QString, format);
    QFETCH(QString, table);
    QFETCH(QString, file);
    QFETCH(int, exitCode);
    QFETCH(QString, expected);

    // A hand-edited file may number its lines otherwise: its second channel line is channel 2
    // in the radio, whatever its first field says.
    ChannelSheet sheet = sheetOf(RadioMemory::demo(), Language::Chinese);
    sheet.rows[2][column::Number] = QStringLiteral("9");
    writeDataFile("show.wh", sheet, Language::Chinese);
    RadioImage image;
    for (const BlockAddress &a : RadioImage::addresses())
        image.setPayload(a.bank, a.block, RadioMemory::demo().payload(int(a.bank), a.block));
    QString error;
    QVERIFY(image.writeFile(path("show.img"), "test", &error));
    QStringList arguments{"show", "--format", format, path(file)};
    if (!table.isEmpty())
        arguments << "--table" << table;
    const CliRun run = runCli(arguments, m_dataHome);
    QCOMPARE(run.exitCode, exitCode);
    const QString said = exitCode == 0 ? run.out : run.err;
    for (const QString &part : expected.split('|'))
        QVERIFY2(said.contains(part), qPrintable(part + "\n" + said));
    if (format == "json" && table.isEmpty())
        QCOMPARE(run.out.count("\"channel\":"), kChannelCount);
}

void TestCli::importAndExport()
{
    // An image's plan out to a spreadsheet and back into a data file holds the image's table.
    QString error;
    QVERIFY2(RadioMemory::demo().saveFile(path("demo.img"), &error), qPrintable(error));
    QCOMPARE(runCli({"export", path("demo.img"), "--format", "csv", "--lang", "en", "--out",
                     path("plan.csv")},
                    m_dataHome)
                 .exitCode,
             0);
    const CliRun import =
        runCli({"import", path("plan.csv"), "--out", path("plan.wh")}, m_dataHome);
    QVERIFY2(import.exitCode == 0, qPrintable(import.err));
    QVERIFY2(import.err.contains("Read as UTF-8 text with a byte-order mark, fields separated by "
                                 "commas; channels: 14, settings: 10."),
             qPrintable(import.err));
    ChannelSheet demo = sheetOf(RadioMemory::demo(), Language::English);
    for (int c = 0; c < column::kCount; ++c)
        demo.rows[0][c] = table::channelColumns()[c].caption.english.toString();
    QCOMPARE(readAll(path("plan.wh")), datafile::encode(demo, Language::English));

    // A refused cell names its place, and no data file is made.
    QFile edited(path("refused.csv"));
    QVERIFY(edited.open(QIODevice::WriteOnly));
    edited.write(readAll(path("plan.csv")).replace("438.52500", "1000"));
    edited.close();
    const CliRun refused =
        runCli({"import", path("refused.csv"), "--out", path("refused.wh")}, m_dataHome);
    QCOMPARE(refused.exitCode, 6);
    QVERIFY2(
        refused.err.contains("refused.csv: line 3, RX Freq: '1000' is not a frequency the radio "
                             "takes (MHz, above 0, at most 999.99999); nothing was written"),
        qPrintable(refused.err));
    QVERIFY(!QFile::exists(path("refused.wh")));

    // The document of everything the image holds, made without a display.
    QProcessEnvironment headless = cliEnvironment(m_dataHome);
    headless.remove("QT_QPA_PLATFORM");
    headless.remove("DISPLAY");
    QProcess pdf;
    pdf.setProcessEnvironment(headless);
    pdf.start(cliProgram(), {"export", path("demo.img"), "--format", "pdf", "--paper", "a4",
                             "--lang", "en", "--out", path("plan.pdf")});
    QVERIFY(pdf.waitForFinished(kRunTimeoutMs));
    QCOMPARE(pdf.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(pdf.readAllStandardOutput()), path("plan.pdf") + ": 4 page(s)\n");
    QVERIFY(readAll(path("plan.pdf")).startsWith("%PDF"));
}

void TestCli::silentRadio()
{
    VirtualRadioProcess radio({"--silent-first", "1000000"});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    // A radio that never answers ends the command after the timeout; without the watchdog the
    // process would wait for ever and the run below would give up.
    const CliRun run =
        runCli({"read", "--port", radio.devicePath(), "--timeout", "1", "--out", path("x.wh")},
               m_dataHome, {}, 8000);
    QCOMPARE(run.exitCode, 4);
    QVERIFY2(run.err.contains("no answer from the radio on " + radio.devicePath() + " within 1 s"),
             qPrintable(run.err));
    QVERIFY(!QFile::exists(path("x.wh")));
}

void TestCli::ports()
{
    VirtualRadioProcess radio;
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    const QString gone = path("no-such-device");
    const CliRun run = runCli({"ports"}, m_dataHome, radio.devicePath() + ":" + gone);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(run.err, QString());
    // The virtual radio keeps the far end of the line open: it is named whole, and no one is
    // told to close it.
    const QString entry = radio.devicePath() +
                          "\n  listed by: WRITEFREQ_PORTS\n  can open: yes\n  served by: "
                          "writefreq-vradio (pid %1), the virtual radio on this port\n";
    QVERIFY2(run.out.contains(entry.arg(radio.processId())), qPrintable(run.out));
    QVERIFY2(!run.out.contains("in use by"), qPrintable(run.out));
    QVERIFY2(run.out.contains(gone + "\n  listed by: WRITEFREQ_PORTS\n  can open: no: the device "
                                     "does not exist"),
             qPrintable(run.out));

    // Any other program holding the line is in the way.
    QFile held(radio.devicePath());
    QVERIFY(held.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
    const CliRun inUse = runCli({"ports"}, m_dataHome, radio.devicePath());
    QVERIFY2(inUse.out.contains(QStringLiteral("  in use by: tst_cli (pid %1) (close that program "
                                               "before programming the radio)\n")
                                    .arg(QCoreApplication::applicationPid())),
             qPrintable(inUse.out));
}

void TestCli::interruptedWrite_data()
{
    QTest::addColumn<int>("stops");
    QTest::newRow("one signal: the write finishes") << 1;
    QTest::newRow("two signals: abandoned at a block boundary") << 2;
}

void TestCli::interruptedWrite()
{
    QFETCH(int, stops);

    const QString log = path("interrupt.log");
    QFile::remove(log);
    VirtualRadioProcess radio({"--image", path("interrupt-radio.img"), "--log", log});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    QProcess cli;
    cli.setProcessEnvironment(cliEnvironment(m_dataHome));
    cli.start(cliProgram(), {"write", "--port", radio.devicePath(), "--no-snapshot",
                             writeDataFile("interrupt.wh", changedSheet())});
    QVERIFY(cli.waitForStarted());
    // The first block frames are on the line: the write is under way.
    QTRY_VERIFY_WITH_TIMEOUT(readAll(log).count(" RX   34 5700") >= 2, 10000);
    for (int i = 0; i < stops; ++i)
        ::kill(pid_t(cli.processId()), i == 0 ? SIGINT : SIGTERM);
    QVERIFY(cli.waitForFinished(kRunTimeoutMs));
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    QCOMPARE(cli.exitCode(), 130);
    QVERIFY2(err.contains("finishing the write"), qPrintable(err));
    QVERIFY(radio.stop());

    // The channel blocks the radio received, from its log.
    QSet<int> received;
    const QRegularExpression blockFrame(QStringLiteral(" RX   34 5700([0-9a-f]{2})"));
    for (const auto &match : blockFrame.globalMatch(QString::fromLatin1(readAll(log))))
        received.insert(match.captured(1).toInt(nullptr, 16));
    const bool settingsSent = readAll(log).contains(" RX   34 5705");
    if (stops == 1) {
        // Every block went in: the radio holds the whole new table, settings included.
        QVERIFY2(err.contains("the write was finished first"), qPrintable(err));
        QCOMPARE(received.size(), kChannelCount);
        QVERIFY(settingsSent);
        QCOMPARE(receiveFrequency(memoryIn(path("interrupt-radio.img")), 2),
                 QStringLiteral("145.50000"));
        return;
    }
    // Abandoned: the message says how many blocks the radio acknowledged, and no block after
    // them was sent.
    const QRegularExpressionMatch said =
        QRegularExpression(QStringLiteral("abandoned at a block boundary, after (\\d+) of the 17 "
                                          "blocks"))
            .match(err);
    QVERIFY2(said.hasMatch(), qPrintable(err));
    const int acknowledged = said.captured(1).toInt();
    QVERIFY(acknowledged >= 2 && acknowledged < kChannelCount);
    QCOMPARE(received.size(), acknowledged);
    QCOMPARE(*std::max_element(received.begin(), received.end()), acknowledged);
    QVERIFY(!settingsSent);
}

void TestCli::interruptedRestoreStopsInItsBank()
{
    const QString log = path("restore-interrupt.log");
    VirtualRadioProcess radio({"--log", log});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    RadioImage image;
    for (const BlockAddress &a : RadioImage::addresses())
        image.setPayload(a.bank, a.block, RadioMemory::demo().payload(int(a.bank), a.block));
    QString error;
    QVERIFY(image.writeFile(path("restore-interrupt.img"), "test", &error));
    QProcess cli;
    cli.setProcessEnvironment(cliEnvironment(m_dataHome));
    cli.start(cliProgram(), {"restore", "--port", radio.devicePath(), "--no-snapshot",
                             path("restore-interrupt.img")});
    QVERIFY(cli.waitForStarted());
    // The first DTMF block is on the line: the channels and settings are in, a bank is under way.
    QTRY_VERIFY_WITH_TIMEOUT(readAll(log).contains(" RX   34 570100"), 10000);
    // Two signals of one kind sent at once may arrive as one; a user's second Ctrl-C comes later.
    ::kill(pid_t(cli.processId()), SIGINT);
    ::kill(pid_t(cli.processId()), SIGTERM);
    QVERIFY(cli.waitForFinished(kRunTimeoutMs));
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    QCOMPARE(cli.exitCode(), 130);
    // After a DTMF block, or (on a slow machine) once the DTMF bank was done.
    QVERIFY2(err.contains("write abandoned at a block boundary after DTMF block ") ||
                 err.contains("write abandoned at a block boundary, before FSK"),
             qPrintable(err));
    QVERIFY(radio.stop());
    // Nothing of the banks after it went out.
    const QByteArray frames = readAll(log);
    for (const char *bank : {" RX   34 5702", " RX   34 5703", " RX   34 5704"})
        QVERIFY2(!frames.contains(bank), bank);
}

void TestCli::fleetOfRadios()
{
    const QString link = path("fleet-line");
    const QString file = writeDataFile("fleet.wh", changedSheet());
    const QString logFile = path("fleet.csv");
    auto first = std::make_unique<VirtualRadioProcess>(
        QStringList{"--link", link, "--image", path("fleet-1.img")});
    QVERIFY2(first->start(), qPrintable(first->errorString()));

    QProcess fleet;
    fleet.setProcessEnvironment(cliEnvironment(m_dataHome));
    fleet.start(cliProgram(), {"fleet", "--port", link, "--log", logFile, "--no-snapshot", "--poll",
                               "0.3", "--quiet", file});
    QVERIFY(fleet.waitForStarted());
    QString out;
    const auto saw = [&](const QString &text) {
        out += QString::fromUtf8(fleet.readAllStandardOutput());
        return out.contains(text);
    };
    // The fleet's own transfers give up on a silent radio after seconds; only a hung fleet, or
    // one that ended, keeps a line from coming for a minute and a half.
    const auto awaitLine = [&](const auto &came) {
        return QTest::qWaitFor([&] { return came() || fleet.state() == QProcess::NotRunning; },
                               90000) &&
               came();
    };
    QVERIFY2(awaitLine([&] { return saw("radio 1: PASS"); }), qPrintable(out));
    QVERIFY2(awaitLine([&] { return saw("next radio"); }), qPrintable(out));
    QVERIFY(first->stop());
    first.reset();
    // A radio swapped in before the fleet saw the first one go would pass for the first one.
    QTRY_VERIFY_WITH_TIMEOUT(saw({}) && out.count("waiting for a radio") == 2, 20000);

    VirtualRadioProcess second({"--link", link, "--image", path("fleet-2.img")});
    QVERIFY2(second.start(), qPrintable(second.errorString()));
    QVERIFY2(awaitLine([&] { return saw("radio 2: PASS"); }), qPrintable(out));
    QVERIFY2(awaitLine([&] { return saw({}) && out.count("next radio") == 2; }), qPrintable(out));
    QVERIFY(second.stop());
    QTRY_VERIFY_WITH_TIMEOUT(saw({}) && out.count("waiting for a radio") == 3, 20000);

    // A third radio keeps one byte wrong: it fails, and the fleet names the byte and goes on.
    VirtualRadioProcess third(
        {"--link", link, "--image", path("fleet-3.img"), "--store-flip", "0:2:1"});
    QVERIFY2(third.start(), qPrintable(third.errorString()));
    QVERIFY2(awaitLine([&] { return saw("radio 3: FAIL: verify mismatch"); }), qPrintable(out));
    QVERIFY2(awaitLine([&] { return saw({}) && out.count("next radio") == 3; }), qPrintable(out));

    ::kill(pid_t(fleet.processId()), SIGINT);
    QVERIFY(fleet.waitForFinished(kRunTimeoutMs));
    saw({});
    QCOMPARE(fleet.exitCode(), 5);
    QVERIFY2(out.contains("3 radio(s) programmed: 2 passed, 1 failed"), qPrintable(out));

    for (const QString &image : {path("fleet-1.img"), path("fleet-2.img")})
        QCOMPARE(receiveFrequency(memoryIn(image), 2), QStringLiteral("145.50000"));
    const QStringList lines = QString::fromUtf8(readAll(logFile)).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], QStringLiteral("time,port,snapshot,result,seconds,differences"));
    // The result and the differences column: the field as written and as the radio keeps it,
    // its byte 1 flipped (60 27 ac 08 held as 60 d8 ac 08).
    const QString difference = QStringLiteral("CH 2, RX Freq: written 145.50000, radio 145.54531");
    QVERIFY2(lines[3].contains(",\"FAIL: verify mismatch: " + difference + "\","),
             qPrintable(lines[3]));
    QVERIFY2(lines[3].endsWith(",\"" + difference + "\""), qPrintable(lines[3]));
    for (int i = 1; i <= 2; ++i) {
        QVERIFY2(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT[\\d:]+," +
                                    QRegularExpression::escape(link) + ",,pass,\\d+\\.\\d,$")
                     .match(lines[i])
                     .hasMatch(),
                 qPrintable(lines[i]));
    }
}

void TestCli::fleetOnSeveralCables()
{
    // Four cables at once: two radios take the table, one keeps a byte wrong, and one loses its
    // line during the snapshot (its tenth frame is a read request).
    const QList<QStringList> faults = {{}, {}, {"--store-flip", "0:2:1"}, {"--hangup-after", "10"}};
    std::vector<std::unique_ptr<VirtualRadioProcess>> radios;
    QStringList arguments{"fleet", "--once", "--quiet", "--log", path("cables.csv")};
    for (int i = 0; i < faults.size(); ++i) {
        radios.push_back(std::make_unique<VirtualRadioProcess>(
            QStringList{"--no-pacing", "--image", path(QStringLiteral("cable-%1.img").arg(i))} +
            faults[i]));
        QVERIFY2(radios.back()->start(), qPrintable(radios.back()->errorString()));
        arguments << "--port" << radios.back()->devicePath();
    }
    const CliRun run = runCli(arguments << writeDataFile("cables.wh", changedSheet()), m_dataHome);
    // The code of the first radio to fail: the line went long before any verify.
    QVERIFY2(run.exitCode == 3, qPrintable(run.out + run.err));
    QVERIFY2(run.out.contains("4 radio(s) programmed: 2 passed, 2 failed"), qPrintable(run.out));

    QStringList rows =
        QString::fromUtf8(readAll(path("cables.csv"))).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(rows.takeFirst(), QStringLiteral("time,port,snapshot,result,seconds,differences"));
    QCOMPARE(rows.size(), 4);
    const QString snapshot =
        QRegularExpression::escape(m_dataHome + "/writefreq/snapshots/") + "[^,]+\\.img";
    // Byte 1 of channel 2's receive frequency flipped: 60 27 ac 08 held as 60 d8 ac 08.
    const QString flip = "CH 2, RX Freq: written 145\\.50000, radio 145\\.54531";
    const QString lost = "FAIL: snapshot failed: the line to the radio on %1 went away "
                         "\\(cable or adapter pulled\\?\\)";
    const QStringList expected = {
        snapshot + ",pass,[0-9.]+,",
        snapshot + ",pass,[0-9.]+,",
        snapshot + ",\"FAIL: verify mismatch: " + flip + "\",[0-9.]+,\"" + flip + "\"",
        "," + lost.arg(QRegularExpression::escape(radios[3]->devicePath())) + ",[0-9.]+,",
    };
    for (int i = 0; i < int(radios.size()); ++i) {
        const QString port = QRegularExpression::escape(radios[i]->devicePath());
        const QStringList row = rows.filter(QRegularExpression("^[0-9T:-]+," + port + ","));
        QCOMPARE(row.size(), 1);
        QVERIFY2(QRegularExpression("^[0-9T:-]+," + port + "," + expected[i] + "$")
                     .match(row.first())
                     .hasMatch(),
                 qPrintable(row.first()));
    }
    for (int i : {0, 1})
        QCOMPARE(receiveFrequency(memoryIn(path(QStringLiteral("cable-%1.img").arg(i))), 2),
                 QStringLiteral("145.50000"));
}

void TestCli::wrongKindOfFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says"); // all of standard error; part of the output on success

    const QString nowhere = "/nonexistent/port";
    const QString toImage = "writefreq-cli: %1 is a radio image, not a data file (.wh): "
                            "writefreq-cli restore writes a radio image into the radio; nothing "
                            "was sent\n";
    const QString toDataFile = "writefreq-cli: %1 is a data file (.wh), not a radio image: "
                               "writefreq-cli write writes a data file into the radio; nothing "
                               "was sent\n";
    const QString toLog = "writefreq-cli: %csv: line 1: expected a bank, a block number and 56 "
                          "hex digits (it is neither a radio image nor a data file (.wh); show "
                          "and diff read those, or radio:PORT)\n";
    QTest::newRow("write, an image")
        << QStringList{"write", "--port", nowhere, "%img"} << 6 << toImage.arg("%img");
    QTest::newRow("fleet, an image")
        << QStringList{"fleet", "--port", nowhere, "%img"} << 6 << toImage.arg("%img");
    QTest::newRow("restore, a data file")
        << QStringList{"restore", "--port", nowhere, "%wh"} << 6 << toDataFile.arg("%wh");
    QTest::newRow("restore, a data file under another name")
        << QStringList{"restore", "--port", nowhere, "%txt"} << 6 << toDataFile.arg("%txt");
    QTest::newRow("show, a fleet log") << QStringList{"show", "%csv"} << 6 << toLog;
    QTest::newRow("diff, a fleet log") << QStringList{"diff", "%wh", "%csv"} << 6 << toLog;
    QTest::newRow("show, an image under a data file's name")
        << QStringList{"show", "%mislabelled"} << 0
        << "1        438.50000          438.50000           NONE";
    QTest::newRow("read, an image to a data file's name")
        << QStringList{"read", "--port", nowhere, "--image", "%new"} << 2
        << "writefreq-cli: read: --image saves a radio image, and %new is a data file's name "
           "(.wh): give the image another (such as .img); --out saves the data file\n";
    QTest::newRow("fleet, a data file as its log")
        << QStringList{"fleet", "--port", nowhere, "--log", "%wh", "%wh"} << 2
        << "writefreq-cli: fleet: --log: %wh is a data file (.wh), not a fleet log; give a new "
           "file or an earlier fleet log\n";
}

void TestCli::wrongKindOfFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, says);

    RadioImage image;
    for (const BlockAddress &a : RadioImage::addresses())
        image.setPayload(a.bank, a.block, RadioMemory::demo().payload(int(a.bank), a.block));
    QString error;
    QVERIFY2(image.writeFile(path("kind.img"), "test", &error), qPrintable(error));
    QVERIFY2(image.writeFile(path("image.wh"), "test", &error), qPrintable(error));
    const QString dataFile = writeDataFile("kind.wh", changedSheet());
    QFile::remove(path("kind.txt"));
    QVERIFY(QFile::copy(dataFile, path("kind.txt")));
    QFile log(path("kind.csv"));
    QVERIFY(log.open(QIODevice::WriteOnly | QIODevice::Truncate));
    log.write("time,port,snapshot,result,seconds,differences\n"
              "2026-01-05T10:00:00,/dev/ttyUSB0,,pass,3.1,\n");
    log.close();
    const QList<QPair<QString, QString>> files = {
        {"%wh", dataFile},          {"%img", path("kind.img")},         {"%txt", path("kind.txt")},
        {"%csv", path("kind.csv")}, {"%mislabelled", path("image.wh")}, {"%new", path("new.wh")}};
    for (const auto &[name, file] : files) {
        arguments.replaceInStrings(name, file);
        says.replace(name, file);
    }

    const CliRun run = runCli(arguments, m_dataHome);
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode == 0)
        QVERIFY2(run.out.contains(says), qPrintable(run.out));
    else
        QCOMPARE(run.err, says);
    QVERIFY(!QFile::exists(path("new.wh")));
}

void TestCli::refusedSeconds_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    const QStringList read{"read", "--port", "p", "--out", "x.wh", "--timeout"};
    const QString range = "wants a number of seconds from 0.1 to 3600, not ";
    QTest::newRow("not a number") << read + QStringList{"nan"}
                                  << "read: --timeout " + range + "'nan'";
    QTest::newRow("infinite") << read + QStringList{"inf"} << "read: --timeout " + range + "'inf'";
    // 2147484 s are more milliseconds than a timer counts: it would wait for ever.
    QTest::newRow("beyond any timer")
        << read + QStringList{"2147484"} << "read: --timeout " + range + "'2147484'";
    QTest::newRow("above the range")
        << read + QStringList{"3600.5"} << "read: --timeout " + range + "'3600.5'";
    QTest::newRow("below the range") << QStringList{"show", "--timeout", "0.05", "x.img"}
                                     << "show: --timeout " + range + "'0.05'";
    QTest::newRow("fleet's poll") << QStringList{"fleet", "--port", "p", "--poll", "nan", "x.wh"}
                                  << "fleet: --poll " + range + "'nan'";
}

void TestCli::refusedSeconds()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);

    const CliRun run = runCli(arguments, m_dataHome);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.err, "writefreq-cli: " + message + "\n");
}

void TestCli::refusedSaveTargets_data()
{
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("message"); // "%1" stands for the file

    QTest::newRow("--out a pipe") << "pipe" << QString()
                                  << "read: cannot save to %1: Is a pipe, not a file";
    QTest::newRow("--image a pipe") << "a.wh"
                                    << "pipe"
                                    << "read: cannot save to %1: Is a pipe, not a file";
    QTest::newRow("one file for both")
        << "same"
        << "same"
        << "read: --out and --image name the same file (%1); give each its own";
    QTest::newRow("one file, once through a link")
        << "link"
        << "same"
        << "read: --out and --image name the same file (%1); give each its own";
    QTest::newRow("one new file, once through the folder's link")
        << "new"
        << "folder-link/new"
        << "read: --out and --image name the same file (%1); give each its own";
}

void TestCli::refusedSaveTargets()
{
    QFETCH(QString, out);
    QFETCH(QString, image);
    QFETCH(QString, message);

    const QString folder = path("targets");
    QDir(folder).removeRecursively();
    QVERIFY(QDir().mkpath(folder));
    const auto at = [&](const QString &name) {
        return folder + '/' + name;
    };
    QCOMPARE(::mkfifo(QFile::encodeName(at("pipe")).constData(), 0600), 0);
    QFile same(at("same"));
    QVERIFY(same.open(QIODevice::WriteOnly) && same.write("kept") == 4);
    same.close();
    QVERIFY(QFile::link(at("same"), at("link")));
    QVERIFY(QFile::link(folder, at("folder-link")));

    // Refused before the port is opened: the port need not be there.
    QStringList arguments{"read", "--port", path("no-such-port"), "--out", at(out)};
    if (!image.isEmpty())
        arguments << "--image" << at(image);
    const CliRun run = runCli(arguments, m_dataHome);
    QCOMPARE(run.exitCode, 2);
    const QString named = message.contains("same file") ? QFileInfo(folder).canonicalFilePath() +
                                                              '/' + (out == "new" ? "new" : "same")
                                                        : at("pipe");
    QCOMPARE(run.err, "writefreq-cli: " + message.arg(named) + "\n");
    // Nothing was put in the place of the pipe or over the file.
    QVERIFY(QFileInfo(at("pipe")).exists() && !QFileInfo(at("pipe")).isFile());
    QCOMPARE(readAll(at("same")), QByteArray("kept"));
    QVERIFY(!QFile::exists(at("new")) && !QFile::exists(at("a.wh")));
}

void TestCli::writeKeepsWhatNoCellShows_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("with a snapshot") << QStringList();
    QTest::newRow("without a snapshot") << QStringList{"--no-snapshot"};
}

void TestCli::writeKeepsWhatNoCellShows()
{
    QFETCH(QStringList, options);

    // A radio with values of its own where no cell shows anything: bytes 24 to 26 of every
    // channel block, 16 to 27 of the settings block.
    RadioImage own;
    for (const BlockAddress &a : RadioImage::addresses()) {
        vradio::Payload payload = RadioMemory::demo().payload(int(a.bank), a.block);
        if (a.bank == Bank::Channels) {
            payload[24] = 0xC0;
            payload[25] = quint8(a.block);
            payload[26] = 0x5A;
        } else if (a.bank == Bank::Settings) {
            std::fill(payload.begin() + 16, payload.end(), quint8(0xA5));
        }
        own.setPayload(a.bank, a.block, payload);
    }
    const QString image = path("own-bytes.img");
    QString error;
    QVERIFY2(own.writeFile(image, "test", &error), qPrintable(error));
    VirtualRadioProcess radio({"--image", image, "--no-pacing"});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));

    // The demonstration table, channel 2 changed and channel 16 (empty in the radio) filled.
    ChannelSheet sheet = changedSheet();
    const QStringList channel16 = {"16",   "446.10000", "446.10000", "NONE", "NONE", "HIGH",
                                   "WIDE", "YES",       "25000",     "NONE", "NONE", "NONE",
                                   "NONE", "DTMF",      "1",         "NONE"};
    std::copy(channel16.begin(), channel16.end(), sheet.rows[16].begin());
    const CliRun run = runCli(QStringList{"write", "--port", radio.devicePath(), "--quiet"} +
                                  options + QStringList{writeDataFile("own-bytes.wh", sheet)},
                              m_dataHome);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));

    const RadioMemory after = memoryIn(image);
    QCOMPARE(receiveFrequency(after, 2), QStringLiteral("145.50000"));
    QCOMPARE(receiveFrequency(after, 16), QStringLiteral("446.10000"));
    // Channel 15 is empty, and an empty channel is written all zero up to its last byte.
    for (int n : {1, 2, 7, 14, 16}) {
        const vradio::Payload &payload = after.payload(0, n);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(payload.data()) + 24, 3).toHex(' '),
                 QByteArray("c0 ") + QByteArray::number(n, 16).rightJustified(2, '0') + " 5a");
    }
    const vradio::Payload &settings = after.payload(5, 0);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(settings.data()) + 16, 12),
             QByteArray(12, '\xA5'));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
