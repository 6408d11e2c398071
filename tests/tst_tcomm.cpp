// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/chunkassembler.h"
#include "serial/tcomm.h"

#include <QTemporaryFile>
#include <QtTest>

#ifdef Q_OS_UNIX

#include "support/ptypeer.h"

#include <memory>

using namespace wf;
using namespace std::chrono_literals;

namespace {

constexpr int kWaitMs = 5000;
const QString kNoSuchPort = QStringLiteral("/dev/writefreq-no-such-port");
// Long enough for a chunk that is wrongly still on its way to show up.
constexpr int kSettleMs = 150;

QByteArray pattern(int size, int seed = 1)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(seed + i * 7);
    return bytes;
}

bool write(TComm &comm, const QByteArray &bytes, int count = -1)
{
    const auto *data = reinterpret_cast<const quint8 *>(bytes.constData());
    return comm.WritePortData(data, quint16(count < 0 ? bytes.size() : count));
}

QList<QByteArray> chunksOf(const QSignalSpy &spy)
{
    QList<QByteArray> chunks;
    for (const QList<QVariant> &call : spy)
        chunks << call.at(0).toByteArray();
    return chunks;
}

// Line settings a row of lineSettings changes from the program's.
enum Change { TwoStopBits = 1, CtsFlow = 2, RtsHandshake = 4, XonXoff = 8, WhileOpen = 16 };

// The message of the open's failure; empty when the port opened.
QString openError(TComm &comm)
{
    try {
        comm.OpenPort();
    } catch (const ECommsError &error) {
        return error.message();
    }
    return QString();
}

} // namespace

class TestTComm final : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void chunks_data();
    void chunks();
    void lateSilenceTimer();
    void chunkEndsAt2048Bytes();
    void writes();
    void openErrors_data();
    void openErrors();
    void closingAndHangUp();
    void lineSettings_data();
    void lineSettings();

private:
    // Proves the open port carries bytes both ways.
    void exchange(TComm &comm, int seed);

    std::unique_ptr<PtyPeer> m_peer;
    std::unique_ptr<TComm> m_comm;
};

void TestTComm::init()
{
    m_comm.reset(); // before the line it may still have open
    m_peer = std::make_unique<PtyPeer>();
    if (!m_peer->isValid())
        QSKIP("no pseudo-terminal available");
    // The program's port: 8N1 at 9600 baud without flow control, chunks end after 20 ms of
    // silence.
    m_comm = std::make_unique<TComm>();
    m_comm->setCommName(m_peer->devicePath());
    m_comm->setOutx_XonXoffFlow(false);
    m_comm->setInx_XonXoffFlow(false);
    m_comm->setReadIntervalTimeout(20);
}

void TestTComm::exchange(TComm &comm, int seed)
{
    const QByteArray request = pattern(4, seed);
    QVERIFY(write(comm, request));
    QCOMPARE(m_peer->read(request.size()), request);

    QSignalSpy received(&comm, &TComm::OnReceiveData);
    const QByteArray answer = pattern(34, seed + 1);
    QVERIFY(m_peer->sendNow(answer));
    QTRY_COMPARE_WITH_TIMEOUT(chunksOf(received).join(), answer, kWaitMs);
}

void TestTComm::chunks_data()
{
    QTest::addColumn<int>("pauseAfter");           // a 100 ms gap after this many bytes
    QTest::addColumn<int>("silenceMs");            // set while the port is open
    QTest::addColumn<QList<QByteArray>>("chunks"); // sent as one stream, delivered so

    const QByteArray frame = pattern(34);
    QTest::newRow("block frame without pauses") << -1 << 20 << QList{frame};
    QTest::newRow("gap in the middle") << 17 << 20 << QList{frame.left(17), frame.mid(17)};
    QTest::newRow("acknowledgement, then a frame") << 1 << 20 << QList{QByteArray("\x06"), frame};
    QTest::newRow("longer silence holds the frame") << 17 << 400 << QList{frame};
}

void TestTComm::chunks()
{
    QFETCH(int, pauseAfter);
    QFETCH(int, silenceMs);
    QFETCH(QList<QByteArray>, chunks);

    m_comm->OpenPort();
    m_comm->setReadIntervalTimeout(quint32(silenceMs));
    const QByteArray sent = chunks.join();
    QSignalSpy received(m_comm.get(), &TComm::OnReceiveData);
    m_peer->sendPaced(sent, pauseAfter, 100ms);
    QTRY_COMPARE_WITH_TIMEOUT(chunksOf(received).join(), sent, kWaitMs);

    // Every chunk boundary the line asked for is there. A busy machine can stall the peer
    // between two characters, and a stall as long as the silence rightly ends a chunk too;
    // any other boundary is the port's fault.
    const auto gaps = m_peer->gapsBefore();
    QList<int> expected, allowed;
    int at = 0;
    for (const QByteArray &chunk : chunks.mid(0, chunks.size() - 1))
        expected << (at += int(chunk.size()));
    for (int i = 1; i < int(gaps.size()); ++i) {
        if (gaps[std::size_t(i)] >= std::chrono::milliseconds(silenceMs - 5))
            allowed << i;
    }
    QList<int> boundaries;
    at = 0;
    for (const QByteArray &chunk : chunksOf(received).mid(0, received.size() - 1))
        boundaries << (at += int(chunk.size()));
    for (int boundary : expected)
        QVERIFY2(boundaries.contains(boundary),
                 qPrintable(QStringLiteral("no end at %1").arg(boundary)));
    for (int boundary : boundaries)
        QVERIFY2(expected.contains(boundary) || allowed.contains(boundary),
                 qPrintable(QStringLiteral("a chunk ended at byte %1 with no silence before it")
                                .arg(boundary)));
}

void TestTComm::lateSilenceTimer()
{
    // Without a line: the rule that decides what a fired silence timer means.
    ChunkAssembler assembler(TComm::kMaxChunk);
    const QByteArray frame = pattern(34);
    QVERIFY(assembler.add(frame.left(17)).isEmpty());
    QVERIFY(assembler.gathering());
    // The timer ran late and the rest of the frame is already waiting: no chunk yet.
    QVERIFY(assembler.silence(true).isEmpty());
    QVERIFY(assembler.gathering());
    QVERIFY(assembler.add(frame.mid(17)).isEmpty());
    QCOMPARE(assembler.silence(false), frame);
    QVERIFY(!assembler.gathering());
    QVERIFY(assembler.silence(false).isEmpty());

    // Past the largest size a chunk ends at once, the rest starting the next one.
    const QByteArray flood = pattern(2 * TComm::kMaxChunk + 5);
    const QList<QByteArray> full = assembler.add(flood);
    QCOMPARE(full,
             QList({flood.left(TComm::kMaxChunk), flood.mid(TComm::kMaxChunk, TComm::kMaxChunk)}));
    QCOMPARE(assembler.silence(false), flood.right(5));
    assembler.add(frame);
    assembler.clear();
    QVERIFY(!assembler.gathering());
}

void TestTComm::chunkEndsAt2048Bytes()
{
    QSignalSpy received(m_comm.get(), &TComm::OnReceiveData);
    m_comm->OpenPort();
    const QByteArray sent = pattern(TComm::kMaxChunk + 100);
    QVERIFY(m_peer->sendNow(sent));

    QTRY_COMPARE_WITH_TIMEOUT(chunksOf(received),
                              QList({sent.left(TComm::kMaxChunk), sent.mid(TComm::kMaxChunk)}),
                              kWaitMs);
}

void TestTComm::writes()
{
    const QByteArray block = pattern(34, 0x57);
    QVERIFY(!write(*m_comm, block)); // never opened

    // As a transfer starts: the handshake byte by byte right after the open, then a block.
    m_comm->OpenPort();
    for (const char c : QByteArray("PROGRAM"))
        QVERIFY(write(*m_comm, QByteArray(1, c)));
    QVERIFY(write(*m_comm, block));
    QCOMPARE(m_peer->read(7 + block.size()), "PROGRAM" + block);

    // Nothing to send is refused and sends nothing; the line itself works.
    QVERIFY(!write(*m_comm, block, 0));
    QVERIFY(!m_comm->WritePortData(nullptr, 4));
    QVERIFY(write(*m_comm, block, 1));
    QCOMPARE(m_peer->read(4, kSettleMs), block.left(1));

    // Bytes accepted before the close still go out; after it, nothing is accepted.
    QVERIFY(write(*m_comm, block));
    m_comm->ClosePort();
    QCOMPARE(m_peer->read(block.size()), block);
    QVERIFY(!write(*m_comm, block));
}

void TestTComm::openErrors_data()
{
    QTest::addColumn<QString>("port"); // %open%: the port itself, open already
    QTest::addColumn<QString>("message");

    QTest::newRow("no such device") << kNoSuchPort << "Error opening serial port";
    // A character device that is no serial line fails where the line's queues are set up; a
    // plain file is no device at all.
    QTest::newRow("device, not a line") << QString("/dev/null") << "Cannot setup comm buffer";
    QTest::newRow("plain file") << QString("%file%") << "File handle is not a comm handle ";
    QTest::newRow("open already") << QString("%open%") << "This serial port already opened";
}

void TestTComm::openErrors()
{
    QFETCH(QString, port);
    QFETCH(QString, message);
    const bool openAlready = port == QLatin1String("%open%");

    QTemporaryFile file;
    if (port == QLatin1String("%file%")) {
        QVERIFY(file.open());
        port = file.fileName();
    }
    if (openAlready)
        m_comm->OpenPort();
    else
        m_comm->setCommName(port);
    QCOMPARE(openError(*m_comm), message);
    QCOMPARE(m_comm->isOpen(), openAlready);

    // A failed open leaves nothing behind that stands in the way of the next one; a port
    // opened again carries on untouched.
    if (!openAlready) {
        QVERIFY(!write(*m_comm, "\x06"));
        m_comm->setCommName(m_peer->devicePath());
        QCOMPARE(openError(*m_comm), QString());
    }
    exchange(*m_comm, 10);
}

void TestTComm::closingAndHangUp()
{
    m_comm->ClosePort(); // closed already: nothing happens
    QVERIFY(!m_comm->isOpen());

    // The program opens the port for every transfer and holds the device alone meanwhile; a new
    // name is for the next open.
    QSignalSpy received(m_comm.get(), &TComm::OnReceiveData);
    QSignalSpy hangups(m_comm.get(), &TComm::OnRequestHangup);
    m_comm->OpenPort();
#ifdef Q_OS_LINUX
    QVERIFY(m_peer->isExclusive());
#endif
    m_comm->setCommName(kNoSuchPort);
    exchange(*m_comm, 40);
    m_comm->ClosePort();
    QCOMPARE(openError(*m_comm), QStringLiteral("Error opening serial port"));

    // Bytes arriving after the close reach nobody, not even after the next open.
    received.clear();
    QVERIFY(m_peer->sendNow(pattern(34, 2)));
    QTest::qWait(kSettleMs);
    QCOMPARE(received.count(), 0);
    m_comm->setCommName(m_peer->devicePath());
    m_comm->OpenPort();
    exchange(*m_comm, 3);

    // A chunk completed while this thread is busy is already on its way when the port closes.
    received.clear();
    QVERIFY(m_peer->sendNow(pattern(34, 4)));
    QTest::qSleep(300);
    m_comm->ClosePort();
    QTest::qWait(kSettleMs);
    QCOMPARE(received.count(), 0);

    // Destroying an open component lets go of the device as well.
    {
        TComm other;
        other.setCommName(m_peer->devicePath());
        other.OpenPort();
    }
#ifdef Q_OS_LINUX
    QVERIFY(!m_peer->isExclusive());
#endif
    m_comm->OpenPort();
    exchange(*m_comm, 50);

    // A line lost while open asks for a hang-up once; nothing is sent until the port is
    // closed and opened again.
    m_peer->hangUp();
    QVERIFY(hangups.wait(kWaitMs));
    QVERIFY(!write(*m_comm, "\x06"));
    m_comm->ClosePort();
    QCOMPARE(hangups.count(), 1);
}

void TestTComm::lineSettings_data()
{
    // A pseudo-terminal keeps 8 data bits without parity whatever it is told, so only the speed,
    // the stop bits and the flow control can be seen from its far end.
    QTest::addColumn<int>("baudRate"); // 0: the component's own
    QTest::addColumn<int>("changes");
    QTest::addColumn<QString>("line");

    QTest::newRow("the program's line") << 0 << 0 << "9600 8N1";
    QTest::newRow("4800, 2 stop bits") << 4800 << int(TwoStopBits) << "4800 8N2";
    QTest::newRow("CTS output flow") << 0 << int(CtsFlow) << "9600 8N1 rtscts";
    QTest::newRow("RTS handshake") << 0 << int(RtsHandshake) << "9600 8N1 rtscts";
    QTest::newRow("XON/XOFF") << 0 << int(XonXoff) << "9600 8N1 xonxoff";
    QTest::newRow("hardware before software") << 0 << (CtsFlow | XonXoff) << "9600 8N1 rtscts";
    QTest::newRow("changed while open") << 19200 << (TwoStopBits | WhileOpen) << "19200 8N2";
}

void TestTComm::lineSettings()
{
    QFETCH(int, baudRate);
    QFETCH(int, changes);
    QFETCH(QString, line);

    const QString before = m_peer->lineSettings();
    if (changes & WhileOpen)
        m_comm->OpenPort();
    if (baudRate)
        m_comm->setBaudRate(quint32(baudRate));
    if (changes & TwoStopBits)
        m_comm->setStopBits(TStopBits::_2);
    m_comm->setOutx_CtsFlow(changes & CtsFlow);
    m_comm->setRtsControl(changes & RtsHandshake ? TRtsControl::RtsHandshake
                                                 : TRtsControl::RtsEnable);
    m_comm->setOutx_XonXoffFlow(changes & XonXoff);
    if (!(changes & WhileOpen))
        m_comm->OpenPort();
    QTRY_COMPARE_WITH_TIMEOUT(m_peer->lineSettings(), line, kWaitMs);
    m_comm->ClosePort();
    QCOMPARE(m_peer->lineSettings(), before);
}

QTEST_GUILESS_MAIN(TestTComm)

#else // pseudo-terminals are a Unix thing

class TestTComm final : public QObject
{
    Q_OBJECT
private slots:
    void overPseudoTerminal() { QSKIP("the port is tested over a pseudo-terminal"); }
};
QTEST_GUILESS_MAIN(TestTComm)
#endif

#include "tst_tcomm.moc"
