// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/frame.h"
#include "support/vradioprocess.h"
#include "tools/vradio/demoimage.h"
#include "tools/vradio/radioengine.h"
#include "tools/vradio/radiomemory.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace wf;
using namespace wf::vradio;

Q_DECLARE_METATYPE(wf::vradio::FaultOptions)

namespace {

// Generous: the tests must hold on a loaded machine.
constexpr int kReplyTimeoutMs = 5000;
// Long enough that a radio that meant to answer would have answered.
constexpr int kSilenceMs = 400;

QByteArray bytesOf(const Payload &payload)
{
    return QByteArray(reinterpret_cast<const char *>(payload.data()), frame::kPayloadSize);
}

QByteArray handshake()
{
    return QByteArray("PROGRAM");
}

QByteArray readRequest(int bank, int block)
{
    QByteArray request(4, 0);
    request[0] = 'R';
    request[1] = static_cast<char>(bank);
    request[2] = static_cast<char>(block);
    request[3] = 0x20;
    return request;
}

Payload patternPayload(quint8 seed)
{
    Payload payload;
    for (int i = 0; i < frame::kPayloadSize; ++i)
        payload[i] = static_cast<quint8>(seed + 7 * i);
    return payload;
}

// A block frame as the program builds it, CRC computed by the program's own routine.
QByteArray blockFrame(int bank, int block, const Payload &payload)
{
    FrameBuffer tx{};
    putBlockHeader(tx.data(), static_cast<quint8>(bank), static_cast<quint8>(block));
    std::copy(payload.begin(), payload.end(), tx.begin() + frame::kPayloadOffset);
    ComputeFrameCrc(tx);
    return QByteArray(reinterpret_cast<const char *>(tx.data()), frame::kBlockFrameSize);
}

bool isDataFrameOf(const QByteArray &reply, int bank, int block, const Payload &payload)
{
    return reply.size() == frame::kBlockFrameSize &&
           hasValidFrameCrc(reinterpret_cast<const quint8 *>(reply.constData())) &&
           reply.left(4) == QByteArray("W") + char(bank) + char(block) + char(0x20) &&
           reply.mid(frame::kPayloadOffset, frame::kPayloadSize) == bytesOf(payload);
}

// One result as text: "silent", or its actions joined by ", ". A data frame that carries the
// demo memory's payload of the block it names, with a good CRC, reads "W<bank>.<block>"; other
// bytes read as hex.
QString render(const FrameResult &result)
{
    static const RadioMemory demo = RadioMemory::demo();
    QStringList parts;
    for (const ReplyAction &action : result.actions) {
        switch (action.kind) {
        case ReplyAction::Kind::Send: {
            const QByteArray &b = action.bytes;
            const int bank = b.size() > 2 ? quint8(b[1]) : -1;
            const int block = b.size() > 2 ? quint8(b[2]) : -1;
            const Payload expected =
                RadioMemory::has(bank, block) ? demo.payload(bank, block) : Payload{};
            if (isDataFrameOf(b, bank, block, expected))
                parts << QStringLiteral("W%1.%2").arg(bank).arg(block);
            else
                parts << QString::fromLatin1(b.toHex());
            break;
        }
        case ReplyAction::Kind::Pause:
            parts << QStringLiteral("pause %1").arg(action.pauseMs);
            break;
        case ReplyAction::Kind::HangUp:
            parts << QStringLiteral("hang-up");
            break;
        }
    }
    return parts.isEmpty() ? QStringLiteral("silent") : parts.join(QStringLiteral(", "));
}

/** The program's end of the line, opened the plain POSIX way, independent of the program's code. */
class LineClient final
{
public:
    ~LineClient()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool open(const QString &path)
    {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd < 0)
            return false;
        termios settings{};
        if (::tcgetattr(m_fd, &settings) != 0)
            return false;
        ::cfmakeraw(&settings);
        return ::tcsetattr(m_fd, TCSANOW, &settings) == 0;
    }

    // True when the line comes up raw, before this side has set anything: no echo, no line
    // editing, no signal or flow-control characters, no CR/LF translation, 8 data bits.
    static bool comesUpRaw(const QString &path)
    {
        const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0)
            return false;
        termios settings{};
        const bool read = ::tcgetattr(fd, &settings) == 0;
        ::close(fd);
        return read && (settings.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) == 0 &&
               (settings.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP)) == 0 &&
               (settings.c_oflag & OPOST) == 0 && (settings.c_cflag & CSIZE) == CS8;
    }

    bool write(const QByteArray &bytes)
    {
        return ::write(m_fd, bytes.constData(), bytes.size()) == bytes.size();
    }

    // Reads until `count` bytes came or the time is up.
    QByteArray read(int count, int timeoutMs = kReplyTimeoutMs)
    {
        QByteArray received;
        const QDeadlineTimer deadline(timeoutMs);
        while (received.size() < count && !deadline.hasExpired()) {
            pollfd in{m_fd, POLLIN, 0};
            if (::poll(&in, 1, static_cast<int>(deadline.remainingTime())) <= 0)
                break;
            char buffer[256];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            received.append(buffer, static_cast<int>(n));
        }
        return received;
    }

    // True when nothing at all arrives for `ms`.
    bool staysSilent(int ms = kSilenceMs) { return read(1, ms).isEmpty(); }

    // True when the radio closes the line within the time: end of file, EIO or a hang-up.
    bool seesHangUp(int timeoutMs = kReplyTimeoutMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            pollfd in{m_fd, POLLIN, 0};
            if (::poll(&in, 1, static_cast<int>(deadline.remainingTime())) <= 0)
                return false;
            if (in.revents & (POLLHUP | POLLERR))
                return true;
            char buffer[256];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n == 0 || (n < 0 && errno == EIO))
                return true;
        }
        return false;
    }

private:
    int m_fd = -1;
};

} // namespace

class TestVirtualRadio final : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void blockFrameStoresPayload();
    void faults_data();
    void faults();
    void splitReply();
    void demoImage();
    void imageText_data();
    void imageText();
    void imageErrors_data();
    void imageErrors();
    void imageFileRoundTrip();

    void lineHandshakeAndRead();
    void lineWriteReachesImageFile();
    void linePacing();
    void lineHangUp();
    void lineLinkAndCleanStop();
    void lineRefusesToStart_data();
    void lineRefusesToStart();
};

void TestVirtualRadio::answers_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("expected");

    QTest::newRow("handshake") << handshake() << "06";
    QTest::newRow("handshake resent with leftovers") << handshake() + QByteArray(27, 'x') << "06";
    QTest::newRow("channel 1") << readRequest(0, 1) << "W0.1";
    QTest::newRow("channel 16") << readRequest(0, 16) << "W0.16";
    QTest::newRow("settings") << readRequest(5, 0) << "W5.0";
    QTest::newRow("DTMF 3") << readRequest(1, 3) << "W1.3";
    QTest::newRow("FSK 2") << readRequest(2, 2) << "W2.2";
    QTest::newRow("2-Tone 11") << readRequest(3, 11) << "W3.11";
    QTest::newRow("5-Tone 16") << readRequest(4, 16) << "W4.16";
    QTest::newRow("request resent with leftovers")
        << readRequest(0, 2) + QByteArray(30, char(0x57)) << "W0.2";
    QTest::newRow("request and extra acknowledgement")
        << readRequest(0, 3) + char(frame::kAck) << "W0.3";

    QTest::newRow("no channel 0") << readRequest(0, 0) << "silent";
    QTest::newRow("no channel 17") << readRequest(0, 17) << "silent";
    QTest::newRow("no settings block 1") << readRequest(5, 1) << "silent";
    QTest::newRow("no bank 6") << readRequest(6, 0) << "silent";
    QTest::newRow("no DTMF 4") << readRequest(1, 4) << "silent";
    QTest::newRow("request without 0x20") << QByteArray::fromHex("52000121") << "silent";
    QTest::newRow("truncated request") << QByteArray::fromHex("520001") << "silent";
    QTest::newRow("truncated handshake") << QByteArray("PROGRA") << "silent";
    QTest::newRow("acknowledgement") << QByteArray(1, char(frame::kAck)) << "silent";
    QTest::newRow("noise") << QByteArray::fromHex("00ff1113") << "silent";

    QByteArray badCrc = blockFrame(0, 4, patternPayload(1));
    badCrc[33] = static_cast<char>(badCrc[33] ^ 0x01);
    QTest::newRow("block with bad CRC") << badCrc << "silent";
    QTest::newRow("short block") << blockFrame(0, 4, patternPayload(1)).left(33) << "silent";
    QTest::newRow("block the radio lacks") << blockFrame(5, 1, patternPayload(1)) << "silent";
}

void TestVirtualRadio::answers()
{
    QFETCH(QByteArray, frame);
    QFETCH(QString, expected);

    RadioMemory memory = RadioMemory::demo();
    RadioEngine engine(&memory);
    const FrameResult result = engine.handleFrame(frame);
    QCOMPARE(render(result), expected);
    QVERIFY(!result.stored);
    // The log must say why the radio kept quiet.
    QCOMPARE(result.notes.isEmpty(), expected != QLatin1String("silent"));
    QCOMPARE(memory.toText(), RadioMemory::demo().toText());
}

void TestVirtualRadio::blockFrameStoresPayload()
{
    RadioMemory memory = RadioMemory::demo();
    RadioEngine engine(&memory);
    const Payload payload = patternPayload(0x11);

    // The program's resend carries its whole buffer: bytes after the frame are not the block's.
    FrameResult result = engine.handleFrame(blockFrame(3, 5, payload) + QByteArray(6, 'R'));
    QCOMPARE(render(result), QStringLiteral("06"));
    QVERIFY(result.stored);
    QCOMPARE(result.kind, FrameKind::BlockFrame);
    QCOMPARE(bytesOf(memory.payload(3, 5)), bytesOf(payload));

    // Nothing else changed.
    RadioMemory expected = RadioMemory::demo();
    expected.setPayload(3, 5, payload);
    QCOMPARE(memory.toText(), expected.toText());

    // The same block again is acknowledged but changes nothing, so no save is due.
    result = engine.handleFrame(blockFrame(3, 5, payload));
    QCOMPARE(render(result), QStringLiteral("06"));
    QVERIFY(!result.stored);

    // Reading it back gives the stored payload.
    result = engine.handleFrame(readRequest(3, 5));
    QCOMPARE(result.actions.size(), 1);
    QVERIFY(isDataFrameOf(result.actions[0].bytes, 3, 5, payload));
}

void TestVirtualRadio::faults_data()
{
    QTest::addColumn<FaultOptions>("faults");
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<QStringList>("expected");

    const QByteArray prog = handshake();
    const QByteArray noise = QByteArray::fromHex("aa");
    const QByteArray write1 = blockFrame(0, 1, patternPayload(3));

    FaultOptions f;
    f.silentFirst = 2;
    QTest::newRow("silent first 2") << f << QList<QByteArray>{prog, write1, prog, readRequest(0, 1)}
                                    << QStringList{"silent", "silent", "06", "W0.1"};

    f = {};
    f.stopAfter = 2;
    QTest::newRow("stop after 2") << f << QList<QByteArray>{noise, prog, prog, readRequest(0, 1)}
                                  << QStringList{"silent", "06", "silent", "silent"};

    f = {};
    f.hangupAfter = 3;
    QTest::newRow("hang up on the third frame")
        << f << QList<QByteArray>{prog, readRequest(0, 1), write1}
        << QStringList{"06", "W0.1", "hang-up"};
    f.silentFirst = 1;
    QTest::newRow("hang up while not yet listening")
        << f << QList<QByteArray>{prog, noise, prog} << QStringList{"silent", "silent", "hang-up"};

    f = {};
    f.wrongBlock = Occurrence::nth(2);
    QTest::newRow("wrong block, second data frame")
        << f << QList<QByteArray>{prog, readRequest(0, 1), readRequest(0, 2), readRequest(0, 3)}
        << QStringList{"06", "W0.1", "W0.3", "W0.3"};
    f.wrongBlock = Occurrence::every();
    QTest::newRow("wrong block past the last channel")
        << f << QList<QByteArray>{readRequest(0, 16), readRequest(5, 0)}
        << QStringList{"W0.17", "W5.1"};

    f = {};
    f.corruptReply = Occurrence::nth(2);
    QByteArray corrupted = RadioEngine::dataFrame(0, 1, RadioMemory::demo().payload(0, 1));
    corrupted[4] = static_cast<char>(corrupted[4] ^ 0xFF);
    QTest::newRow("corrupt second reply")
        << f << QList<QByteArray>{prog, noise, readRequest(0, 1), readRequest(0, 1)}
        << QStringList{"06", "silent", QString::fromLatin1(corrupted.toHex()), "W0.1"};
    f.corruptReply = Occurrence::every();
    QTest::newRow("corrupt every acknowledgement")
        << f << QList<QByteArray>{prog, write1} << QStringList{"f9", "f9"};

    f = {};
    f.doubleAck = true;
    QTest::newRow("double acknowledgement in one burst")
        << f << QList<QByteArray>{prog, readRequest(0, 1), write1}
        << QStringList{"0606", "W0.1", "0606"};
    f.doubleAckGapMs = 30;
    QTest::newRow("double acknowledgement 30 ms apart")
        << f << QList<QByteArray>{write1} << QStringList{"06, pause 30, 06"};
}

void TestVirtualRadio::faults()
{
    QFETCH(FaultOptions, faults);
    QFETCH(QList<QByteArray>, frames);
    QFETCH(QStringList, expected);

    RadioMemory memory = RadioMemory::demo();
    RadioEngine engine(&memory, faults);
    QStringList actual;
    for (const QByteArray &frame : frames)
        actual << render(engine.handleFrame(frame));
    QCOMPARE(actual, expected);
    QCOMPARE(engine.framesReceived(), frames.size());
    // The block frame cut off by the hang-up never reaches the memory.
    if (faults.hangupAfter > 0)
        QCOMPARE(memory.toText(), RadioMemory::demo().toText());
}

void TestVirtualRadio::splitReply()
{
    FaultOptions faults;
    faults.splitReply = Occurrence::nth(2);
    faults.splitPauseMs = 60;
    RadioMemory memory = RadioMemory::demo();
    RadioEngine engine(&memory, faults);

    // Acknowledgements are not data frames: neither split nor counted.
    QCOMPARE(render(engine.handleFrame(handshake())), QStringLiteral("06"));
    QCOMPARE(render(engine.handleFrame(readRequest(0, 1))), QStringLiteral("W0.1"));

    const FrameResult split = engine.handleFrame(readRequest(5, 0));
    QCOMPARE(split.actions.size(), 3);
    QCOMPARE(split.actions[0].kind, ReplyAction::Kind::Send);
    QCOMPARE(split.actions[1].kind, ReplyAction::Kind::Pause);
    QCOMPARE(split.actions[1].pauseMs, 60);
    QCOMPARE(split.actions[2].kind, ReplyAction::Kind::Send);
    QCOMPARE(split.actions[0].bytes.size(), frame::kBlockFrameSize / 2);
    QVERIFY(
        isDataFrameOf(split.actions[0].bytes + split.actions[2].bytes, 5, 0, memory.payload(5, 0)));

    QCOMPARE(render(engine.handleFrame(readRequest(0, 2))), QStringLiteral("W0.2"));
}

void TestVirtualRadio::demoImage()
{
    // The demonstration lists every block the radio has.
    RadioMemory memory;
    QList<BlockId> missing;
    QString error;
    QVERIFY2(memory.loadText(QString::fromUtf8(kDemoImage), &error, &missing), qPrintable(error));
    QVERIFY(missing.isEmpty());
    QCOMPARE(memory.toText(), RadioMemory::demo().toText());

    int emptyChannels = 0;
    int usedChannels = 0;
    const QList<BlockId> blocks = RadioMemory::blocks();
    QCOMPARE(blocks.size(), 16 + 1 + 4 + 3 + 12 + 17);
    for (const BlockId &id : blocks) {
        const Payload &p = memory.payload(id.bank, id.block);
        // The program answers a data frame whose frame byte 5 is 0x30 with an extra 0x06; the
        // demonstration must not trigger that by accident.
        QVERIFY2(p[1] != frame::kExtraAckMark,
                 qPrintable(QStringLiteral("bank %1 block %2").arg(id.bank).arg(id.block)));
        if (id.bank == 0) {
            QCOMPARE(p[27], quint8(0xFF));
            const quint32 rx = payloadU32(p.data(), 0);
            if (rx == 0) {
                ++emptyChannels;
                QVERIFY(std::all_of(p.begin(), p.begin() + 27, [](quint8 b) { return b == 0; }));
            } else {
                ++usedChannels;
                QVERIFY(rx >= 100'000'000 && rx <= 999'999'990);
            }
        }
    }
    QVERIFY(emptyChannels > 0);
    QVERIFY(usedChannels > 0);
    // Every signalling bank holds something.
    for (int bank = 1; bank <= 4; ++bank)
        QVERIFY(std::any_of(memory.payload(bank, 0).begin(), memory.payload(bank, 0).end(),
                            [](quint8 b) { return b != 0; }));
}

void TestVirtualRadio::imageText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("channel1");
    QTest::addColumn<int>("missing");

    const QByteArray digits = "0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c";
    const int all = static_cast<int>(RadioMemory::blocks().size());
    QTest::newRow("one run of digits")
        << QString("0 1 %1\n").arg(QString(digits)) << QByteArray::fromHex(digits) << all - 1;
    QTest::newRow("groups, comments, blanks, capitals")
        << QString(
               "# header\n\n   0   1  01020304 0506 07 08090A0B0C0D0E0F1011121314151617 18191a1b1c"
               "  # tail\n\t\n")
        << QByteArray::fromHex(digits) << all - 1;
    QTest::newRow("windows line ends") << QString("0 2 %1\r\n0 1 %1\r\n").arg(QString(digits))
                                       << QByteArray::fromHex(digits) << all - 2;
    QTest::newRow("empty file") << QString() << QByteArray(28, 0) << all;
}

void TestVirtualRadio::imageText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, channel1);
    QFETCH(int, missing);

    RadioMemory memory = RadioMemory::demo();
    QList<BlockId> absent;
    QString error;
    QVERIFY2(memory.loadText(text, &error, &absent), qPrintable(error));
    QCOMPARE(bytesOf(memory.payload(0, 1)), channel1);
    QCOMPARE(absent.size(), missing);
    // A block the text leaves out holds zero bytes, not what was there before.
    QVERIFY(absent.contains(BlockId{5, 0}));
    QCOMPARE(bytesOf(memory.payload(5, 0)), QByteArray(28, 0));
}

void TestVirtualRadio::imageErrors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");

    const QString good = QStringLiteral("0 1 %1\n").arg(QString(56, QLatin1Char('0')));
    QTest::newRow("bad hex") << good + "0 2 " + QString(54, '0') + "zz\n"
                             << "line 2: '" + QString(54, '0') + "zz' is not hexadecimal";
    QTest::newRow("half a byte") << "# c\n0 1 000 " + QString(53, '0')
                                 << "line 2: '000' is not a whole number of bytes";
    QTest::newRow("short payload")
        << "0 1 " + QString(54, '0') << "line 1: the payload has 54 hex digits instead of 56";
    QTest::newRow("long payload") << "0 1 " + QString(58, '0')
                                  << "line 1: the payload has 58 hex digits instead of 56";
    QTest::newRow("no payload") << QStringLiteral("\n0 1\n")
                                << "line 2: expected a bank, a block number and 56 hex digits";
    QTest::newRow("bank not a number")
        << "x 1 " + QString(56, '0') << "line 1: 'x' is not a bank number";
    QTest::newRow("block not a number")
        << "0 1.5 " + QString(56, '0') << "line 1: '1.5' is not a block number";
    QTest::newRow("block the radio lacks")
        << "0 17 " + QString(56, '0') << "line 1: the radio has no block 17 in bank 0";
    QTest::newRow("bank the radio lacks")
        << "6 0 " + QString(56, '0') << "line 1: the radio has no block 0 in bank 6";
    QTest::newRow("block given twice")
        << good + "\n" + good << "line 3: bank 0 block 1 was already given on line 1";
}

void TestVirtualRadio::imageErrors()
{
    QFETCH(QString, text);
    QFETCH(QString, error);

    RadioMemory memory = RadioMemory::demo();
    QString message;
    QVERIFY(!memory.loadText(text, &message));
    QCOMPARE(message, error);
    // A bad image leaves the memory as it was.
    QCOMPARE(memory.toText(), RadioMemory::demo().toText());
}

void TestVirtualRadio::imageFileRoundTrip()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("radio.img"));

    RadioMemory memory = RadioMemory::demo();
    memory.setPayload(0, 16, patternPayload(0x21));
    memory.setPayload(4, 9, patternPayload(0x90));
    QString error;
    QVERIFY2(memory.saveFile(path, &error), qPrintable(error));
    // Saved over an existing file too, leaving no temporary file behind.
    memory.setPayload(2, 1, patternPayload(0x05));
    QVERIFY2(memory.saveFile(path, &error), qPrintable(error));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("radio.img")});

    RadioMemory loaded;
    QList<BlockId> missing;
    QVERIFY2(loaded.loadFile(path, &error, &missing), qPrintable(error));
    QVERIFY(missing.isEmpty());
    const QList<BlockId> blocks = RadioMemory::blocks();
    for (const BlockId &id : blocks)
        QCOMPARE(bytesOf(loaded.payload(id.bank, id.block)),
                 bytesOf(memory.payload(id.bank, id.block)));

    QVERIFY(!loaded.loadFile(dir.filePath(QStringLiteral("absent.img")), &error));
    QVERIFY2(error.startsWith(dir.filePath(QStringLiteral("absent.img"))), qPrintable(error));

    QFile bad(path);
    QVERIFY(bad.open(QIODevice::Append));
    bad.write("0 1 nothex\n");
    bad.close();
    QVERIFY(!loaded.loadFile(path, &error));
    QVERIFY2(error.startsWith(path + QStringLiteral(": line ")), qPrintable(error));
}

void TestVirtualRadio::lineHandshakeAndRead()
{
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("radio.log"));
    VirtualRadioProcess radio({QStringLiteral("--log"), logPath});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    QVERIFY(LineClient::comesUpRaw(radio.devicePath()));
    LineClient line;
    QVERIFY(line.open(radio.devicePath()));

    QVERIFY(line.write(handshake()));
    QCOMPARE(line.read(1), QByteArray(1, char(frame::kAck)));
    QVERIFY(line.staysSilent());

    const RadioMemory demo = RadioMemory::demo();
    QVERIFY(line.write(readRequest(0, 1)));
    QVERIFY(isDataFrameOf(line.read(frame::kBlockFrameSize), 0, 1, demo.payload(0, 1)));

    // The program's repeat: the request followed by the rest of its 34-byte buffer.
    QVERIFY(line.write(readRequest(5, 0) + QByteArray(30, 'G')));
    QVERIFY(isDataFrameOf(line.read(frame::kBlockFrameSize), 5, 0, demo.payload(5, 0)));

    QVERIFY(radio.stop());
    QVERIFY2(radio.standardError().contains("3 frames received, 3 replies"),
             radio.standardError().constData());
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    QVERIFY2(text.contains(" RX    7 50524f4752414d"), text.constData());
    QVERIFY2(text.contains(" TX    1 06  turnaround "), text.constData());
    QCOMPARE(text.count(" TX   34 570"), 2);
}

void TestVirtualRadio::lineWriteReachesImageFile()
{
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("radio.img"));
    // Bytes a cooked line would swallow or translate.
    Payload payload = patternPayload(0x40);
    payload[0] = 0x03;
    payload[1] = 0x0D;
    payload[2] = 0x11;
    payload[3] = 0x13;
    payload[4] = 0x0A;
    payload[5] = 0x7F;

    {
        VirtualRadioProcess radio({QStringLiteral("--image"), image});
        QVERIFY2(radio.start(), qPrintable(radio.errorString()));
        // A missing image file starts out as the demonstration image.
        RadioMemory onDisk;
        QString error;
        QVERIFY2(onDisk.loadFile(image, &error), qPrintable(error));
        QCOMPARE(onDisk.toText(), RadioMemory::demo().toText());

        LineClient line;
        QVERIFY(line.open(radio.devicePath()));
        QVERIFY(line.write(blockFrame(0, 7, payload)));
        QCOMPARE(line.read(1), QByteArray(1, char(frame::kAck)));
        // On disk as soon as the radio acknowledged it.
        QVERIFY2(onDisk.loadFile(image, &error), qPrintable(error));
        QCOMPARE(bytesOf(onDisk.payload(0, 7)), bytesOf(payload));

        QVERIFY(line.write(readRequest(0, 7)));
        QVERIFY(isDataFrameOf(line.read(frame::kBlockFrameSize), 0, 7, payload));

        // A bad CRC gets no answer and changes nothing, so the program's repeat comes again.
        QByteArray damaged = blockFrame(0, 7, patternPayload(0x99));
        damaged[20] = static_cast<char>(damaged[20] ^ 0x04);
        QVERIFY(line.write(damaged));
        QVERIFY(line.staysSilent());
        QVERIFY(line.write(readRequest(0, 7)));
        QVERIFY(isDataFrameOf(line.read(frame::kBlockFrameSize), 0, 7, payload));
        QVERIFY(radio.stop());
    }

    // The next radio on the same image remembers the block.
    VirtualRadioProcess radio({QStringLiteral("--image"), image});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    LineClient line;
    QVERIFY(line.open(radio.devicePath()));
    QVERIFY(line.write(readRequest(0, 7)));
    QVERIFY(isDataFrameOf(line.read(frame::kBlockFrameSize), 0, 7, payload));
}

void TestVirtualRadio::linePacing()
{
    VirtualRadioProcess radio;
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    LineClient line;
    QVERIFY(line.open(radio.devicePath()));

    // 34 bytes at 9600 baud take 35 ms on the wire: the reply cannot be complete sooner.
    QElapsedTimer clock;
    clock.start();
    QVERIFY(line.write(readRequest(0, 2)));
    const QByteArray reply = line.read(frame::kBlockFrameSize);
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(reply.size(), frame::kBlockFrameSize);
    QVERIFY2(elapsed >= 30, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
}

void TestVirtualRadio::lineHangUp()
{
    VirtualRadioProcess radio({QStringLiteral("--hangup-after"), QStringLiteral("3")});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    LineClient line;
    QVERIFY(line.open(radio.devicePath()));

    QVERIFY(line.write(handshake()));
    QCOMPARE(line.read(1), QByteArray(1, char(frame::kAck)));
    QVERIFY(line.write(readRequest(0, 1)));
    QVERIFY(
        isDataFrameOf(line.read(frame::kBlockFrameSize), 0, 1, RadioMemory::demo().payload(0, 1)));
    QVERIFY(line.write(readRequest(0, 2)));
    QVERIFY(line.seesHangUp());
    QVERIFY(radio.waitForExit());
    QCOMPARE(radio.exitCode(), 0);
}

void TestVirtualRadio::lineLinkAndCleanStop()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyRADIO"));
    // A stale link from an earlier run is replaced.
    QVERIFY(QFile::link(QStringLiteral("/nonexistent"), link));

    VirtualRadioProcess radio({QStringLiteral("--link"), link});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    QCOMPARE(QFileInfo(link).symLinkTarget(), radio.devicePath());

    LineClient line;
    QVERIFY(line.open(link));
    QVERIFY(line.write(handshake()));
    QCOMPARE(line.read(1), QByteArray(1, char(frame::kAck)));

    QVERIFY(radio.stop());
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY2(radio.standardError().contains("1 frames received, 1 replies, mean turnaround"),
             radio.standardError().constData());
}

void TestVirtualRadio::lineRefusesToStart_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("imageText");
    QTest::addColumn<QString>("reason");

    QTest::newRow("bad image line") << QStringList{"--image", "IMAGE"} << "0 1 00\n"
                                    << "line 1: the payload has 2 hex digits";
    QTest::newRow("zero count") << QStringList{"--corrupt-reply", "0"} << QString()
                                << "--corrupt-reply wants a whole number from 1 or 'all'";
    QTest::newRow("not a count") << QStringList{"--hangup-after", "soon"} << QString()
                                 << "--hangup-after wants a whole number from 1";
    QTest::newRow("unknown option")
        << QStringList{"--no-such-fault"} << QString() << "no-such-fault";
}

void TestVirtualRadio::lineRefusesToStart()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, imageText);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("radio.img"));
    if (!imageText.isEmpty()) {
        QFile file(image);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(imageText.toUtf8());
    }
    arguments.replaceInStrings(QStringLiteral("IMAGE"), image);

    VirtualRadioProcess radio(arguments);
    QVERIFY(!radio.start());
    QVERIFY2(radio.errorString().contains(reason), qPrintable(radio.errorString()));
    QVERIFY(radio.waitForExit());
    QCOMPARE(radio.exitCode(), 1);
    // The bad image is left as it was.
    if (!imageText.isEmpty()) {
        QFile file(image);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), imageText);
    }
}

QTEST_GUILESS_MAIN(TestVirtualRadio)
#include "tst_vradio.moc"
