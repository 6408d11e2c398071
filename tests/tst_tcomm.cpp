// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/tcomm.h"

#include <QtTest>

#ifdef Q_OS_UNIX

#include "support/ptypeer.h"

#include <memory>
#include <optional>

using namespace wf;
using namespace std::chrono_literals;

namespace {

constexpr int kWaitMs = 5000;

// Long enough for a chunk that is wrongly still on its way to show up.
constexpr int kSettleMs = 150;

// A gap in the middle of a frame, well over the program's 20 ms silence.
constexpr std::chrono::milliseconds kGap = 100ms;

// A paced send whose characters went out later than this made gaps of its own and is repeated.
constexpr std::chrono::milliseconds kFairStall = 10ms;
constexpr int kPaceAttempts = 5;

QByteArray pattern(int size, int seed = 1)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(seed + i * 7);
    return bytes;
}

const quint8 *bytesOf(const QByteArray &bytes)
{
    return reinterpret_cast<const quint8 *>(bytes.constData());
}

QList<QByteArray> chunksOf(const QSignalSpy &spy)
{
    QList<QByteArray> chunks;
    for (const QList<QVariant> &call : spy)
        chunks << call.at(0).toByteArray();
    return chunks;
}

QList<int> sizesOf(const QList<QByteArray> &chunks)
{
    QList<int> sizes;
    for (const QByteArray &chunk : chunks)
        sizes << int(chunk.size());
    return sizes;
}

QByteArray joined(const QSignalSpy &spy)
{
    return chunksOf(spy).join();
}

// The empty text when the port opened.
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
    void cleanup();

    void defaults();
    void chunksFollowLineSilence_data();
    void chunksFollowLineSilence();
    void chunkEndsAt2048Bytes();
    void writesRightAfterOpenArriveInOrder();
    void refusedWrites();
    void openErrors_data();
    void openErrors();
    void secondOpenLeavesPortWorking();
    void nothingDeliveredAfterClose();
    void closeReleasesDevice();
    void acceptedWritesSurviveClose();
    void lineSettingsWhileOpen();
    void silenceTimeoutWhileOpen();
    void lineSettingsOnOpen_data();
    void lineSettingsOnOpen();
    void lostLineRaisesHangup();

private:
    // The program's port: 8N1 without flow control, chunks end after 20 ms of silence.
    void configureAsComm1(TComm &comm) const;
    // Proves the open port carries bytes both ways.
    void exchange(TComm &comm, int seed);
    // The chunks m_comm delivers for bytes the peer sends at the radio's pace; nothing when the
    // machine was too busy to keep that pace every time.
    std::optional<QList<QByteArray>> receivePaced(const QByteArray &bytes, int pauseAfter = -1,
                                                  std::chrono::milliseconds pause = 0ms);

    std::unique_ptr<PtyPeer> m_peer;
    std::unique_ptr<TComm> m_comm;
};

void TestTComm::init()
{
    m_peer = std::make_unique<PtyPeer>();
    if (!m_peer->isValid())
        QSKIP("no pseudo-terminal available");
    m_comm = std::make_unique<TComm>();
    configureAsComm1(*m_comm);
}

void TestTComm::cleanup()
{
    m_comm.reset();
    m_peer.reset();
}

void TestTComm::configureAsComm1(TComm &comm) const
{
    comm.setCommName(m_peer->devicePath());
    comm.setOutx_XonXoffFlow(false);
    comm.setInx_XonXoffFlow(false);
    comm.setReadIntervalTimeout(20);
}

void TestTComm::exchange(TComm &comm, int seed)
{
    const QByteArray request = pattern(4, seed);
    QVERIFY(comm.WritePortData(bytesOf(request), quint16(request.size())));
    QCOMPARE(m_peer->read(request.size()), request);

    QSignalSpy received(&comm, &TComm::OnReceiveData);
    const QByteArray answer = pattern(34, seed + 1);
    QVERIFY(m_peer->sendNow(answer));
    QTRY_COMPARE_WITH_TIMEOUT(joined(received), answer, kWaitMs);
}

std::optional<QList<QByteArray>> TestTComm::receivePaced(const QByteArray &bytes, int pauseAfter,
                                                         std::chrono::milliseconds pause)
{
    for (int attempt = 0; attempt < kPaceAttempts; ++attempt) {
        QSignalSpy received(m_comm.get(), &TComm::OnReceiveData);
        m_peer->sendPaced(bytes, pauseAfter, pause);
        QDeadlineTimer deadline(kWaitMs);
        while (joined(received).size() < bytes.size() &&
               received.wait(int(deadline.remainingTime()))) {
        }
        if (m_peer->longestStall() < kFairStall)
            return chunksOf(received);
    }
    return std::nullopt;
}

void TestTComm::defaults()
{
    const TComm comm;
    QVERIFY(!comm.isOpen());
    QCOMPARE(comm.CommName(), QStringLiteral("COM2"));
    QCOMPARE(comm.BaudRate(), 9600u);
    QCOMPARE(comm.ByteSize(), TByteSize::_8);
    QCOMPARE(comm.Parity(), TParity::None);
    QCOMPARE(comm.StopBits(), TStopBits::_1);
    QCOMPARE(comm.DtrControl(), TDtrControl::DtrEnable);
    QCOMPARE(comm.RtsControl(), TRtsControl::RtsEnable);
    QVERIFY(comm.Outx_XonXoffFlow() && comm.Inx_XonXoffFlow() && comm.TxContinueOnXoff());
    QVERIFY(!comm.Outx_CtsFlow() && !comm.Outx_DsrFlow() && !comm.ParityCheck());
    QCOMPARE(comm.XonChar(), '\x11');
    QCOMPARE(comm.XoffChar(), '\x13');
    QCOMPARE(comm.XonLimit(), quint16(500));
    QCOMPARE(comm.ReadIntervalTimeout(), 100u);
    QCOMPARE(comm.ReadTotalTimeoutConstant() + comm.WriteTotalTimeoutConstant(), 0u);
}

void TestTComm::chunksFollowLineSilence_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("pauseAfter");
    QTest::addColumn<QList<int>>("chunks");

    QTest::newRow("block frame without pauses") << 34 << -1 << QList<int>{34};
    QTest::newRow("gap in the middle") << 34 << 17 << QList<int>{17, 17};
    QTest::newRow("acknowledgement, then a frame") << 35 << 1 << QList<int>{1, 34};
}

void TestTComm::chunksFollowLineSilence()
{
    QFETCH(int, size);
    QFETCH(int, pauseAfter);
    QFETCH(QList<int>, chunks);

    m_comm->OpenPort();
    const QByteArray sent = pattern(size);
    const auto received = receivePaced(sent, pauseAfter, kGap);
    if (!received)
        QSKIP("this machine is too busy to keep the pace of a 9600-baud line");
    QCOMPARE(received->join(), sent);
    QCOMPARE(sizesOf(*received), chunks);
}

void TestTComm::chunkEndsAt2048Bytes()
{
    QSignalSpy received(m_comm.get(), &TComm::OnReceiveData);
    m_comm->OpenPort();
    const QByteArray sent = pattern(TComm::kMaxChunk + 100);
    QVERIFY(m_peer->sendNow(sent));

    QTRY_COMPARE_WITH_TIMEOUT(joined(received).size(), sent.size(), kWaitMs);
    QCOMPARE(joined(received), sent);
    QCOMPARE(sizesOf(chunksOf(received)), (QList<int>{TComm::kMaxChunk, 100}));
}

void TestTComm::writesRightAfterOpenArriveInOrder()
{
    // As a transfer starts: the handshake byte by byte, then a whole block frame.
    const QByteArray handshake("PROGRAM");
    const QByteArray block = pattern(34, 0x57);

    m_comm->OpenPort();
    for (const char c : handshake)
        QVERIFY(m_comm->WritePortData(reinterpret_cast<const quint8 *>(&c), 1));
    QVERIFY(m_comm->WritePortData(bytesOf(block), quint16(block.size())));

    QCOMPARE(m_peer->read(handshake.size() + block.size()), handshake + block);
}

void TestTComm::refusedWrites()
{
    const QByteArray bytes = pattern(4);
    QVERIFY(!m_comm->WritePortData(bytesOf(bytes), 4)); // never opened

    m_comm->OpenPort();
    QVERIFY(!m_comm->WritePortData(bytesOf(bytes), 0));
    QVERIFY(!m_comm->WritePortData(nullptr, 4));
    QCOMPARE(m_peer->read(1, kSettleMs), QByteArray());

    // The line itself works: the refusals above were the component's.
    QVERIFY(m_comm->WritePortData(bytesOf(bytes), 1));
    QCOMPARE(m_peer->read(4, kSettleMs), bytes.left(1));

    m_comm->ClosePort();
    QVERIFY(!m_comm->WritePortData(bytesOf(bytes), 4));
    QCOMPARE(m_peer->read(1, kSettleMs), QByteArray());
}

void TestTComm::openErrors_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("message");

    const QString cannotOpen = QStringLiteral("Error opening serial port");
    const QString notComm = QStringLiteral("File handle is not a comm handle ");
    QTest::newRow("no such device") << QStringLiteral("/dev/writefreq-no-such-port") << cannotOpen;
    QTest::newRow("empty name") << QString() << cannotOpen;
    QTest::newRow("regular file") << QStringLiteral("%file%") << notComm;
    QTest::newRow("device that is no terminal") << QStringLiteral("/dev/null") << notComm;
}

void TestTComm::openErrors()
{
    QFETCH(QString, port);
    QFETCH(QString, message);

    QTemporaryFile file;
    QVERIFY(file.open());
    m_comm->setCommName(port == QLatin1String("%file%") ? file.fileName() : port);

    try {
        m_comm->OpenPort();
        QFAIL("the port opened");
    } catch (const ECommsError &error) {
        QCOMPARE(error.message(), message);
        QCOMPARE(QString::fromUtf8(error.what()), message);
    }
    QVERIFY(!m_comm->isOpen());
    const quint8 byte = 0x06;
    QVERIFY(!m_comm->WritePortData(&byte, 1));

    // A failed open leaves nothing behind that stands in the way of the next one.
    m_comm->setCommName(m_peer->devicePath());
    QCOMPARE(openError(*m_comm), QString());
    exchange(*m_comm, 10);
}

void TestTComm::secondOpenLeavesPortWorking()
{
    m_comm->OpenPort();
    QCOMPARE(openError(*m_comm), QStringLiteral("This serial port already opened"));
    QVERIFY(m_comm->isOpen());
    exchange(*m_comm, 20);
}

void TestTComm::nothingDeliveredAfterClose()
{
    QSignalSpy received(m_comm.get(), &TComm::OnReceiveData);
    m_comm->OpenPort();
    const QByteArray first = pattern(34, 1);
    QVERIFY(m_peer->sendNow(first));
    QTRY_COMPARE_WITH_TIMEOUT(joined(received), first, kWaitMs);

    // Bytes arriving after the close reach nobody, not even after the next open.
    m_comm->ClosePort();
    received.clear();
    QVERIFY(m_peer->sendNow(pattern(34, 2)));
    QTest::qWait(kSettleMs);
    QCOMPARE(received.count(), 0);

    m_comm->OpenPort();
    const QByteArray fresh = pattern(34, 3);
    QVERIFY(m_peer->sendNow(fresh));
    QTRY_COMPARE_WITH_TIMEOUT(joined(received), fresh, kWaitMs);

    // A chunk completed while this thread is busy is already on its way when the port closes.
    received.clear();
    QVERIFY(m_peer->sendNow(pattern(34, 4)));
    QTest::qSleep(300);
    m_comm->ClosePort();
    QTest::qWait(kSettleMs);
    QCOMPARE(received.count(), 0);
}

void TestTComm::closeReleasesDevice()
{
    m_comm->ClosePort(); // closed already: nothing happens
    QVERIFY(!m_comm->isOpen());

    // The program opens and closes the port for every transfer.
    for (int round = 0; round < 3; ++round) {
        m_comm->OpenPort();
        QVERIFY(m_comm->isOpen());
#ifdef Q_OS_LINUX
        QVERIFY(m_peer->isExclusive());
#endif
        exchange(*m_comm, 30 + round);
        m_comm->ClosePort();
        QVERIFY(!m_comm->isOpen());
#ifdef Q_OS_LINUX
        QVERIFY(!m_peer->isExclusive());
#endif
        m_comm->ClosePort();
    }

    // Destroying an open component lets go of the device as well.
    {
        TComm other;
        configureAsComm1(other);
        other.OpenPort();
    }
#ifdef Q_OS_LINUX
    QVERIFY(!m_peer->isExclusive());
#endif
    m_comm->OpenPort();
    exchange(*m_comm, 40);
}

void TestTComm::acceptedWritesSurviveClose()
{
    const QByteArray block = pattern(34, 0x57);
    m_comm->OpenPort();
    QVERIFY(m_comm->WritePortData(bytesOf(block), quint16(block.size())));
    m_comm->ClosePort();
    QCOMPARE(m_peer->read(block.size()), block);
}

void TestTComm::lineSettingsWhileOpen()
{
    m_comm->OpenPort();
    QCOMPARE(m_peer->lineSettings(), QStringLiteral("9600 8N1"));
    m_comm->setBaudRate(19200);
    m_comm->setStopBits(TStopBits::_2);
    QTRY_COMPARE_WITH_TIMEOUT(m_peer->lineSettings(), QStringLiteral("19200 8N2"), kWaitMs);

    // A new name waits for the next open; the open port carries on.
    m_comm->setCommName(QStringLiteral("/dev/writefreq-no-such-port"));
    exchange(*m_comm, 50);
    m_comm->ClosePort();
    QCOMPARE(openError(*m_comm), QStringLiteral("Error opening serial port"));
}

void TestTComm::silenceTimeoutWhileOpen()
{
    m_comm->OpenPort();
    const QByteArray sent = pattern(34);

    // A longer silence holds a frame with a gap together; back at 20 ms the gap splits it.
    m_comm->setReadIntervalTimeout(400);
    auto received = receivePaced(sent, 17, kGap);
    if (!received)
        QSKIP("this machine is too busy to keep the pace of a 9600-baud line");
    QCOMPARE(sizesOf(*received), QList<int>{34});

    m_comm->setReadIntervalTimeout(20);
    received = receivePaced(sent, 17, kGap);
    if (!received)
        QSKIP("this machine is too busy to keep the pace of a 9600-baud line");
    QCOMPARE(sizesOf(*received), (QList<int>{17, 17}));
}

void TestTComm::lineSettingsOnOpen_data()
{
    // A pseudo-terminal keeps 8 data bits without parity whatever it is told, so only the speed,
    // the stop bits and the flow control can be seen from its far end.
    QTest::addColumn<int>("baudRate");
    QTest::addColumn<bool>("twoStopBits");
    QTest::addColumn<bool>("ctsFlow");
    QTest::addColumn<bool>("rtsHandshake");
    QTest::addColumn<bool>("xonXoff");
    QTest::addColumn<QString>("line");

    QTest::newRow("the program's line") << 9600 << false << false << false << false << "9600 8N1";
    QTest::newRow("4800, 2 stop bits") << 4800 << true << false << false << false << "4800 8N2";
    QTest::newRow("CTS output flow")
        << 9600 << false << true << false << false << "9600 8N1 rtscts";
    QTest::newRow("RTS handshake") << 9600 << false << false << true << false << "9600 8N1 rtscts";
    QTest::newRow("XON/XOFF") << 9600 << false << false << false << true << "9600 8N1 xonxoff";
    QTest::newRow("hardware before software")
        << 9600 << false << true << false << true << "9600 8N1 rtscts";
}

void TestTComm::lineSettingsOnOpen()
{
    QFETCH(int, baudRate);
    QFETCH(bool, twoStopBits);
    QFETCH(bool, ctsFlow);
    QFETCH(bool, rtsHandshake);
    QFETCH(bool, xonXoff);
    QFETCH(QString, line);

    m_comm->setBaudRate(quint32(baudRate));
    m_comm->setStopBits(twoStopBits ? TStopBits::_2 : TStopBits::_1);
    m_comm->setOutx_CtsFlow(ctsFlow);
    m_comm->setRtsControl(rtsHandshake ? TRtsControl::RtsHandshake : TRtsControl::RtsEnable);
    m_comm->setOutx_XonXoffFlow(xonXoff);

    const QString before = m_peer->lineSettings();
    m_comm->OpenPort();
    QCOMPARE(m_peer->lineSettings(), line);
    m_comm->ClosePort();
    QCOMPARE(m_peer->lineSettings(), before);
}

void TestTComm::lostLineRaisesHangup()
{
    QSignalSpy hangups(m_comm.get(), &TComm::OnRequestHangup);
    m_comm->OpenPort();
    exchange(*m_comm, 60);
    QCOMPARE(hangups.count(), 0);

    m_peer->hangUp();
    QVERIFY(hangups.wait(kWaitMs));
    const quint8 byte = 0x06;
    QVERIFY(!m_comm->WritePortData(&byte, 1));

    m_comm->ClosePort();
    QVERIFY(!m_comm->isOpen());
    QCOMPARE(hangups.count(), 1);
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
