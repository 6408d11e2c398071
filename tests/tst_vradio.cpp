// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/frame.h"
#include "support/vradioprocess.h"
#include "tools/vradio/demoimage.h"
#include "tools/vradio/radioengine.h"
#include "tools/vradio/radiomemory.h"

#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace wf;
using namespace wf::vradio;

Q_DECLARE_METATYPE(wf::vradio::FaultOptions)

namespace {

// Generous: the tests must hold on a loaded machine.
constexpr int kReplyTimeoutMs = 5000;
const QByteArray kHandshake("PROGRAM");
const QByteArray kAck(1, char(frame::kAck));

QByteArray bytesOf(const Payload &payload)
{
    return QByteArray(reinterpret_cast<const char *>(payload.data()), frame::kPayloadSize);
}

QByteArray readRequest(int bank, int block)
{
    return QByteArray("R") + char(bank) + char(block) + char(0x20);
}

bool isDataFrameOf(const QByteArray &reply, int bank, int block, const Payload &payload)
{
    return reply.size() == frame::kBlockFrameSize &&
           hasValidFrameCrc(reinterpret_cast<const quint8 *>(reply.constData())) &&
           reply.left(4) == QByteArray("W") + char(bank) + char(block) + char(0x20) &&
           reply.mid(frame::kPayloadOffset, frame::kPayloadSize) == bytesOf(payload);
}

// One result as text: "silent", or its actions joined by ", ". A data frame that carries the
// memory's payload of the block it names, with a good CRC, reads "W<bank>.<block>"; other bytes
// read as hex. A block frame that changed the memory adds " stored".
QString render(const FrameResult &result, const RadioMemory &memory)
{
    QStringList parts;
    for (const ReplyAction &action : result.actions) {
        const QByteArray &b = action.bytes;
        const int bank = b.size() > 2 ? quint8(b[1]) : -1;
        const int block = b.size() > 2 ? quint8(b[2]) : -1;
        const bool has = RadioMemory::has(bank, block);
        if (action.kind == ReplyAction::Kind::Pause)
            parts << QStringLiteral("pause %1").arg(action.pauseMs);
        else if (action.kind == ReplyAction::Kind::HangUp)
            parts << QStringLiteral("hang-up");
        else if (isDataFrameOf(b, bank, block, has ? memory.payload(bank, block) : Payload{}))
            parts << QStringLiteral("W%1.%2").arg(bank).arg(block);
        else
            parts << QString::fromLatin1(b.toHex());
    }
    const QString shown = parts.isEmpty() ? QStringLiteral("silent") : parts.join(", ");
    return result.stored ? shown + " stored" : shown;
}

// The program's end of the line, opened the plain POSIX way, independent of the program's code,
// and left as the radio set it up: bytes that a line not made raw would swallow or translate
// only pass if the radio made it raw.
class LineClient final
{
public:
    explicit LineClient(const QString &path)
        : m_fd(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {}
    ~LineClient() { ::close(m_fd); }

    bool write(const QByteArray &b) { return ::write(m_fd, b.constData(), b.size()) == b.size(); }

    // Reads until `count` bytes came, the time is up or the radio closed the line.
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

private:
    int m_fd;
};

} // namespace

class TestVirtualRadio final : public QObject
{
    Q_OBJECT

private slots:
    void engine_data();
    void engine();
    void demoImage();
    void imageTexts_data();
    void imageTexts();
    void lineSession();
    void lineRefusesToStart_data();
    void lineRefusesToStart();
};

void TestVirtualRadio::engine_data()
{
    QTest::addColumn<FaultOptions>("faults");
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<QString>("expected"); // the results, joined by "|"
    const auto add = [](const char *name, const QList<QByteArray> &frames, const QString &expected,
                        const FaultOptions &faults = {}) {
        QTest::newRow(name) << faults << frames << expected;
    };
    const QByteArray p = kHandshake;
    const Payload other = RadioMemory::demo().payload(0, 2); // a block's bytes to write elsewhere
    const QByteArray write1 = RadioEngine::dataFrame(0, 1, other);
    const QByteArray write35 = RadioEngine::dataFrame(3, 5, other);

    // Whatever follows a complete frame is the rest of the program's resent buffer.
    add("handshake, also resent with leftovers", {p, p + QByteArray(27, 'x')}, "06|06");
    add("the last block of each bank",
        {readRequest(0, 16), readRequest(5, 0), readRequest(1, 3), readRequest(2, 2),
         readRequest(3, 11), readRequest(4, 16)},
        "W0.16|W5.0|W1.3|W2.2|W3.11|W4.16");
    add("request resent with leftovers, or an extra 0x06",
        {readRequest(0, 2) + QByteArray(30, 'W'), readRequest(0, 3) + kAck}, "W0.2|W0.3");
    add("block stored once, read back", {write35 + QByteArray(6, 'R'), write35, readRequest(3, 5)},
        "06 stored|06|W3.5");
    add("blocks the radio lacks",
        {readRequest(0, 0), readRequest(0, 17), readRequest(5, 1), readRequest(6, 0),
         readRequest(1, 4), RadioEngine::dataFrame(5, 1, other)},
        "silent|silent|silent|silent|silent|silent");
    QByteArray badCrc = write1;
    badCrc[33] = static_cast<char>(badCrc[33] ^ 0x01);
    add("no frame the radio knows",
        {QByteArray::fromHex("52000121"), QByteArray::fromHex("520001"), QByteArray("PROGRA"), kAck,
         QByteArray::fromHex("00ff1113"), badCrc, write1.left(33)},
        "silent|silent|silent|silent|silent|silent|silent");

    FaultOptions f;
    f.silentFirst = 2;
    add("silent first 2", {p, write1, p, readRequest(0, 1)}, "silent|silent|06|W0.1", f);
    f = {};
    f.stopAfter = 2;
    add("stop after 2", {kAck, p, p, readRequest(0, 1)}, "silent|06|silent|silent", f);
    f = {};
    f.hangupAfter = 3; // the block frame cut off by it never reaches the memory
    add("hang up on the third frame", {p, readRequest(0, 1), write1}, "06|W0.1|hang-up", f);
    f.silentFirst = 3; // the cable comes out whether the radio listens or not
    add("hang up even while not yet listening", {p, kAck, p}, "silent|silent|hang-up", f);
    f = {};
    f.wrongBlock = Occurrence::nth(2);
    add("wrong block, second data frame",
        {p, readRequest(0, 1), readRequest(0, 2), readRequest(0, 3)}, "06|W0.1|W0.3|W0.3", f);
    f.wrongBlock = Occurrence::every();
    add("wrong block past the end", {readRequest(0, 16), readRequest(5, 0)}, "W0.17|W5.1", f);
    f = {};
    f.corruptReply = Occurrence::nth(2);
    QByteArray corrupted = RadioEngine::dataFrame(0, 1, RadioMemory::demo().payload(0, 1));
    corrupted[4] = static_cast<char>(corrupted[4] ^ 0xFF);
    add("corrupt second reply", {p, kAck, readRequest(0, 1), readRequest(0, 1)},
        "06|silent|" + corrupted.toHex() + "|W0.1", f);
    f.corruptReply = Occurrence::every();
    add("corrupt every acknowledgement", {p, write1}, "f9|f9 stored", f);
    f = {};
    f.splitReply = Occurrence::nth(2); // acknowledgements are not data frames: not counted
    f.splitPauseMs = 60;
    const QByteArray settings = RadioEngine::dataFrame(5, 0, RadioMemory::demo().payload(5, 0));
    add("split second data frame", {p, readRequest(0, 1), readRequest(5, 0), readRequest(0, 2)},
        "06|W0.1|" + settings.left(17).toHex() + ", pause 60, " + settings.mid(17).toHex() +
            "|W0.2",
        f);
    f.splitReply = Occurrence::every();
    f.splitAt = 30;
    add("split at a chosen byte", {readRequest(5, 0)},
        settings.left(30).toHex() + ", pause 60, " + settings.mid(30).toHex(), f);
    f = {};
    f.foreignCrc = true;
    QByteArray foreign = settings;
    std::swap(foreign[32], foreign[33]);
    add("CRC low byte first", {readRequest(5, 0), p}, foreign.toHex() + "|06", f);
    f = {};
    f.doubleAck = true;
    add("double acknowledgement in one burst", {p, readRequest(0, 1), write1},
        "0606|W0.1|0606 stored", f);
    f.doubleAckGapMs = 30;
    add("double acknowledgement 30 ms apart", {write1}, "06, pause 30, 06 stored", f);
    f = {};
    f.storeFlipBank = 3;
    f.storeFlipBlock = 5;
    f.storeFlipByte = 7;
    // The memory check below expects byte 7 of bank 3 block 5 flipped, and the read-back
    // carries the memory as it is.
    add("one byte stored flipped, acknowledged all the same",
        {write1, write35, readRequest(3, 5), readRequest(0, 1)}, "06 stored|06 stored|W3.5|W0.1",
        f);
}

void TestVirtualRadio::engine()
{
    QFETCH(FaultOptions, faults);
    QFETCH(QList<QByteArray>, frames);
    QFETCH(QString, expected);

    RadioMemory memory = RadioMemory::demo();
    RadioMemory changed = memory; // as the frames reported stored should leave it
    RadioEngine engine(&memory, faults);
    QStringList actual;
    for (const QByteArray &frame : frames) {
        const FrameResult result = engine.handleFrame(frame);
        actual << render(result, memory);
        // The log must say why the radio kept quiet.
        QVERIFY(!result.actions.isEmpty() || !result.notes.isEmpty());
        if (result.stored) {
            Payload payload;
            std::copy_n(frame.begin() + frame::kPayloadOffset, payload.size(), payload.begin());
            if (result.bank == faults.storeFlipBank && result.block == faults.storeFlipBlock)
                payload[std::size_t(faults.storeFlipByte)] ^= 0xFF;
            changed.setPayload(result.bank, result.block, payload);
        }
    }
    QCOMPARE(actual.join('|'), expected);
    QCOMPARE(engine.framesReceived(), frames.size());
    QCOMPARE(memory.toText(), changed.toText());
}

void TestVirtualRadio::demoImage()
{
    // The demonstration lists every block the radio has.
    RadioMemory memory;
    QList<BlockId> missing;
    QVERIFY(memory.loadText(QString::fromUtf8(kDemoImage), nullptr, &missing) && missing.isEmpty());
    QCOMPARE(RadioMemory::blocks().size(), 16 + 1 + 4 + 3 + 12 + 17);

    int emptyChannels = 0;
    for (const BlockId &id : RadioMemory::blocks()) {
        const Payload &p = memory.payload(id.bank, id.block);
        // The program answers a data frame whose frame byte 5 is 0x30 with an extra 0x06; the
        // demonstration must not trigger that by accident.
        QVERIFY2(p[1] != frame::kExtraAckMark, qPrintable(QString::number(id.bank)));
        const quint32 rx = payloadU32(p.data(), 0);
        if (id.bank == 0 && rx == 0)
            emptyChannels += std::count(p.begin(), p.end(), 0) == 27 && p[27] == 0xFF;
        else if (id.bank == 0)
            QVERIFY(p[27] == 0xFF && rx >= 100'000'000 && rx <= 999'999'990);
        else if (id.block == 0)
            QVERIFY(std::count(p.begin(), p.end(), 0) < frame::kPayloadSize); // tables filled
    }
    QCOMPARE(emptyChannels, 2);
}

void TestVirtualRadio::imageTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result"); // the error, or channel 1 and how many blocks are missing

    const QString digits = "0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c";
    const QString zeros(56, QLatin1Char('0'));
    const QString good = "0 1 " + digits + "\n";
    const int all = static_cast<int>(RadioMemory::blocks().size());
    const QString loaded = QStringLiteral("%1, %2 missing");
    QTest::newRow("one run of digits") << good << loaded.arg(digits).arg(all - 1);
    QTest::newRow("groups, comments, blanks, capitals")
        << "# header\n\n   0   1  01020304 0506 07 08090A0B0C0D0E0F1011121314151617 "
           "18191a1b1c  # tail\n\t\n"
        << loaded.arg(digits).arg(all - 1);
    QTest::newRow("windows line ends") << "0 2 " + digits + "\r\n" + good.chopped(1) + "\r\n"
                                       << loaded.arg(digits).arg(all - 2);
    QTest::newRow("empty file") << QString() << loaded.arg(zeros).arg(all);

    QTest::newRow("bad hex") << good + "0 2 " + zeros.left(54) + "zz\n"
                             << "line 2: '" + zeros.left(54) + "zz' is not hexadecimal";
    QTest::newRow("half a byte") << "# c\n0 1 000 " + zeros.left(53)
                                 << "line 2: '000' is not a whole number of bytes";
    QTest::newRow("short payload")
        << "0 1 " + zeros.left(54) << "line 1: the payload has 54 hex digits instead of 56";
    QTest::newRow("block the radio lacks")
        << "0 17 " + zeros << "line 1: the radio has no block 17 in bank 0";
    QTest::newRow("block given twice")
        << good + "\n" + good << "line 3: bank 0 block 1 was already given on line 1";
}

void TestVirtualRadio::imageTexts()
{
    QFETCH(QString, text);
    QFETCH(QString, result);

    RadioMemory memory = RadioMemory::demo();
    QList<BlockId> missing;
    QString error;
    if (!memory.loadText(text, &error, &missing)) {
        QCOMPARE(error, result);
        // A bad image leaves the memory as it was.
        QCOMPARE(memory.toText(), RadioMemory::demo().toText());
        return;
    }
    const QByteArray channel1 = bytesOf(memory.payload(0, 1)).toHex();
    QCOMPARE(QStringLiteral("%1, %2 missing").arg(channel1).arg(missing.size()), result);
    // A block the text leaves out holds zero bytes, not what was there before.
    for (const BlockId &id : missing)
        QCOMPARE(bytesOf(memory.payload(id.bank, id.block)), QByteArray(28, 0));
}

void TestVirtualRadio::lineSession()
{
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("radio.img"));
    const QString logPath = dir.filePath(QStringLiteral("radio.log"));
    // A stale link from an earlier run is replaced.
    const QString link = dir.filePath(QStringLiteral("ttyRADIO"));
    QVERIFY(QFile::link(QStringLiteral("/nonexistent"), link));
    VirtualRadioProcess radio({"--image", image, "--log", logPath, "--link", link});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    QCOMPARE(QFileInfo(link).symLinkTarget(), radio.devicePath());
    // A missing image file starts out as the demonstration image.
    RadioMemory onDisk;
    QString error;
    QVERIFY2(onDisk.loadFile(image, &error), qPrintable(error));
    QCOMPARE(onDisk.toText(), RadioMemory::demo().toText());

    LineClient line(link);
    QVERIFY(line.write(kHandshake));
    QCOMPARE(line.read(1), kAck);
    QCOMPARE(line.read(1, 400), QByteArray()); // a radio with more to say would have said it

    // 34 bytes at 9600 baud take 35 ms on the wire: the reply cannot be complete sooner.
    QElapsedTimer clock;
    clock.start();
    QVERIFY(line.write(readRequest(0, 1)));
    QVERIFY(isDataFrameOf(line.read(frame::kBlockFrameSize), 0, 1, onDisk.payload(0, 1)));
    QVERIFY2(clock.elapsed() >= 30, qPrintable(QString::number(clock.elapsed())));

    // A block is on disk as soon as the radio acknowledges it, with bytes a cooked line would
    // swallow or translate, and no temporary file is left behind.
    Payload payload = onDisk.payload(0, 2);
    const quint8 special[] = {0x03, 0x0D, 0x11, 0x13, 0x0A, 0x7F};
    std::copy(std::begin(special), std::end(special), payload.begin());
    QVERIFY(line.write(RadioEngine::dataFrame(0, 7, payload)));
    QCOMPARE(line.read(1), kAck);
    QVERIFY2(onDisk.loadFile(image, &error), qPrintable(error));
    QCOMPARE(bytesOf(onDisk.payload(0, 7)), bytesOf(payload));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System),
             QStringList({"radio.img", "radio.log", "ttyRADIO"}));

    // The program's repeat of a request: the request followed by the rest of its buffer.
    QVERIFY(line.write(readRequest(0, 7) + QByteArray(30, 'G')));
    QVERIFY(isDataFrameOf(line.read(frame::kBlockFrameSize), 0, 7, payload));

    QVERIFY(radio.stop());
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY2(radio.standardError().contains("4 frames received, 4 replies, mean turnaround"),
             radio.standardError().constData());
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    QVERIFY2(text.contains(" RX    7 50524f4752414d") && text.count(" TX   34 570") == 2 &&
                 text.contains(" TX    1 06  turnaround "),
             text.constData());

    // The next radio on the same image remembers the block. Its second frame pulls the cable:
    // the line closes and the radio ends on its own.
    VirtualRadioProcess next({"--image", image, "--hangup-after", "2"});
    QVERIFY2(next.start(), qPrintable(next.errorString()));
    LineClient nextLine(next.devicePath());
    QVERIFY(nextLine.write(readRequest(0, 7)));
    QVERIFY(isDataFrameOf(nextLine.read(frame::kBlockFrameSize), 0, 7, payload));
    QVERIFY(nextLine.write(readRequest(0, 2)));
    QCOMPARE(nextLine.read(1), QByteArray());
    QVERIFY(next.waitForExit());
    QCOMPARE(next.exitCode(), 0);
}

void TestVirtualRadio::lineRefusesToStart_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");

    QTest::newRow("bad image line") << QStringList{"--image", "IMAGE"} << "IMAGE: line 1: the";
    QTest::newRow("zero count") << QStringList{"--corrupt-reply", "0"}
                                << "--corrupt-reply wants a whole number from 1 or 'all'";
    QTest::newRow("unknown option") << QStringList{"--no-such-fault"} << "no-such-fault";
    QTest::newRow("store flip of a block the radio lacks")
        << QStringList{"--store-flip", "0:17:3"} << "--store-flip wants BANK:BLOCK:BYTE";
}

void TestVirtualRadio::lineRefusesToStart()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QFile image(dir.filePath(QStringLiteral("radio.img")));
    QVERIFY(image.open(QIODevice::WriteOnly) && image.write("0 1 00\n") == 7);
    image.close();
    VirtualRadioProcess radio(arguments.replaceInStrings("IMAGE", image.fileName()));
    QVERIFY(!radio.start());
    QVERIFY2(radio.errorString().contains(reason.replace("IMAGE", image.fileName())),
             qPrintable(radio.errorString()));
    QVERIFY(radio.waitForExit());
    QCOMPARE(radio.exitCode(), 1);
    // A bad image is left as it was.
    QVERIFY(image.open(QIODevice::ReadOnly));
    QCOMPARE(image.readAll(), "0 1 00\n");
}

QTEST_GUILESS_MAIN(TestVirtualRadio)
#include "tst_vradio.moc"
