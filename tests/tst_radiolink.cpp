// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/blocktransfer.h"
#include "protocol/radiolink.h"
#include "support/ptypeer.h"

#include <QtTest>

#include <memory>

using namespace wf;
using namespace Qt::StringLiterals;

namespace {

QByteArray bytes(const FrameBuffer &buffer, int from, int count)
{
    return QByteArray(reinterpret_cast<const char *>(buffer.data()) + from, count);
}

// A data frame as the radio sends it, with its CRC; `crcFlip` spoils the CRC as a radio that
// computes it differently, or a noisy line, would.
QByteArray dataFrame(quint8 bank, quint8 block, quint8 payloadByte1 = 0, quint8 crcFlip = 0)
{
    FrameBuffer tx{};
    putBlockHeader(tx.data(), bank, block);
    tx[5] = payloadByte1;
    ComputeFrameCrc(tx);
    tx[frame::kCrcOffset + 1] ^= crcFlip;
    return bytes(tx, 0, frame::kBlockFrameSize);
}

const QByteArray kAck(1, char(frame::kAck));

// The main window as the receive handler sees it: plain state and a record of what was asked.
struct FakeMainWindow final : MainTransferHost
{
    bool reading = false;
    bool writing = false;
    QStringList calls;

    bool mainReadInProgress() const override { return reading; }
    bool mainWriteInProgress() const override { return writing; }
    bool decodeMainBlock(const FrameBuffer &frame) override
    {
        calls << QStringLiteral("decode %1/%2").arg(frame[1]).arg(frame[2]);
        return frame[1] == quint8(Bank::Settings);
    }
    QString encodeMainBlock(FrameBuffer &tx, int block) override
    {
        calls << QStringLiteral("encode %1").arg(block);
        putBlockHeader(tx.data(), block == 17 ? 5 : 0, block == 17 ? 0 : quint8(block));
        return {};
    }
    void stepProgress() override { calls << QStringLiteral("step"); }
    void settingsRequested() override { calls << QStringLiteral("settings requested"); }
    void mainReadComplete() override
    {
        reading = false;
        calls << QStringLiteral("read complete");
    }
    void mainWriteComplete() override
    {
        writing = false;
        calls << QStringLiteral("write complete");
    }
};

// A signalling window's transfer that records the steps it is given.
struct FakeSignalling final : SignallingTransfer
{
    FakeSignalling(quint8 bank, QStringList &log)
        : m_bank(bank)
        , m_log(log)
    {}
    quint8 bank() const override { return m_bank; }
    bool readInProgress() const override { return reading; }
    bool writeInProgress() const override { return writing; }
    void writeStep() override { m_log << QStringLiteral("write %1").arg(m_bank); }
    void readStep() override { m_log << QStringLiteral("read %1").arg(m_bank); }
    void abandonTransfer() override
    {
        reading = writing = false;
        m_log << QStringLiteral("abandon %1").arg(m_bank);
    }

    bool reading = false;
    bool writing = false;

private:
    quint8 m_bank;
    QStringList &m_log;
};

} // namespace

class TestRadioLink final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dispatchBySignallingWindow_data();
    void dispatchBySignallingWindow();
    void abandonEndsOnlyRunningTransfers();
    void extraAcknowledgement();
    void mainReadSequence();
    void mainWriteSequence();
    void repeatSendsTheBufferAsItStands();
    void repeatPeriod();
    void repeatWaitsForAQuietLine_data();
    void repeatWaitsForAQuietLine();
    void receivedCrc_data();
    void receivedCrc();
    void foreignCrcIsNotedOnce();
    void acknowledgementAnswersOnlyTheHandshake();
    void lostLineStopsTheRepeat();
    void readTakesOnlyTheBlockAskedFor_data();
    void readTakesOnlyTheBlockAskedFor();
    void watchdogCountsFromTheLatestStep_data();
    void watchdogCountsFromTheLatestStep();

private:
    QByteArray written(int count) { return m_peer->read(count, 5000); }
    bool nothingWritten() { return m_peer->read(1, 150).isEmpty(); }

    std::unique_ptr<PtyPeer> m_peer;
    std::unique_ptr<FakeMainWindow> m_window;
    std::unique_ptr<RadioLink> m_link;
};

void TestRadioLink::init()
{
    m_peer = std::make_unique<PtyPeer>();
    QVERIFY(m_peer->isValid());
    m_window = std::make_unique<FakeMainWindow>();
    m_link = std::make_unique<RadioLink>(*m_window);
    m_link->reopenPort(m_peer->devicePath());
}

void TestRadioLink::cleanup()
{
    m_link.reset();
    m_window.reset();
    m_peer.reset();
}

void TestRadioLink::dispatchBySignallingWindow_data()
{
    QTest::addColumn<QStringList>("reading"); // banks whose window reads
    QTest::addColumn<QStringList>("writing"); // banks whose window writes
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<QStringList>("expected");

    // The windows are offered each chunk in the order 5-Tone, 2-Tone, FSK, DTMF.
    QTest::newRow("ack to every writing window in order")
        << QStringList{} << QStringList{"1", "4"} << kAck << QStringList{"write 4", "write 1"};
    QTest::newRow("data frame to the reading window of its bank")
        << QStringList{"3"} << QStringList{} << dataFrame(3, 2) << QStringList{"read 3"};
    QTest::newRow("data frame cut short")
        << QStringList{"3"} << QStringList{} << dataFrame(3, 2).left(20) << QStringList{};
    QTest::newRow("data frame of another bank")
        << QStringList{"3"} << QStringList{} << dataFrame(2, 0) << QStringList{};
    QTest::newRow("only the bank decides among readers")
        << QStringList{"2", "3"} << QStringList{} << dataFrame(2, 1) << QStringList{"read 2"};
    QTest::newRow("a writing window takes no data frame")
        << QStringList{} << QStringList{"1"} << dataFrame(1, 0) << QStringList{};
    QTest::newRow("an ack while nothing runs")
        << QStringList{} << QStringList{} << kAck << QStringList{};
    QTest::newRow("an ack to a reading window is no step")
        << QStringList{"4"} << QStringList{} << kAck << QStringList{};
    QTest::newRow("unknown first byte")
        << QStringList{"1"} << QStringList{"1"} << QByteArray::fromHex("520100") << QStringList{};
}

void TestRadioLink::dispatchBySignallingWindow()
{
    QFETCH(QStringList, reading);
    QFETCH(QStringList, writing);
    QFETCH(QByteArray, chunk);
    QFETCH(QStringList, expected);

    // A data frame answers the request that went out last.
    if (chunk.size() > 2)
        m_link->putRequest(quint8(chunk[1]), quint8(chunk[2]));
    QStringList log;
    std::vector<std::unique_ptr<FakeSignalling>> windows;
    for (quint8 bank : {4, 3, 2, 1}) {
        windows.push_back(std::make_unique<FakeSignalling>(bank, log));
        windows.back()->reading = reading.contains(QString::number(bank));
        windows.back()->writing = writing.contains(QString::number(bank));
        m_link->addSignallingTransfer(windows.back().get());
    }
    m_link->Comm1ReceiveData(chunk);
    QCOMPARE(log, expected);
    // The main window runs nothing, so nothing goes out and nothing reaches it.
    QVERIFY(m_window->calls.isEmpty());
    QVERIFY(nothingWritten());
    // The image keeps the chunk for the windows' read steps, all but the byte that was dispatched.
    QCOMPARE(m_link->RxImage[0], quint8(0));
    QCOMPARE(m_link->ReceiveCopy[0], quint8(0));
    QCOMPARE(bytes(m_link->RxImage, 1, chunk.size() - 1), chunk.mid(1));
}

void TestRadioLink::abandonEndsOnlyRunningTransfers()
{
    QStringList log;
    FakeSignalling fiveTone(4, log), twoTone(3, log), fsk(2, log), dtmf(1, log);
    for (FakeSignalling *window : {&fiveTone, &twoTone, &fsk, &dtmf})
        m_link->addSignallingTransfer(window);
    twoTone.reading = true;
    dtmf.writing = true;
    m_link->abandonSignallingTransfers();
    QCOMPARE(log, (QStringList{"abandon 3", "abandon 1"}));

    // An abandoned window answers nothing more.
    m_link->Comm1ReceiveData(kAck);
    m_link->Comm1ReceiveData(dataFrame(3, 1));
    QCOMPARE(log.size(), 2);
}

void TestRadioLink::extraAcknowledgement()
{
    QStringList log;
    FakeSignalling dtmf(1, log);
    dtmf.reading = true;
    m_link->addSignallingTransfer(&dtmf);
    m_link->TxBuffer.fill(0xEE);
    m_link->putRequest(1, 1);

    // A data frame whose byte 5 is 0x30 is answered with one 0x06, whoever reads it.
    m_link->Comm1ReceiveData(dataFrame(1, 1, 0x30));
    QCOMPARE(log, QStringList{"read 1"});
    QCOMPARE(written(1), kAck);
    QVERIFY(nothingWritten());
    // The request stays in the buffer: should the answer be lost, the repeat sends it again.
    m_link->Tim1Timer();
    QCOMPARE(written(34).toHex(' '),
             (QByteArray::fromHex("52010120") + QByteArray(30, char(0xEE))).toHex(' '));

    m_link->Comm1ReceiveData(dataFrame(1, 2, 0x31));
    QVERIFY(nothingWritten());
}

void TestRadioLink::mainReadSequence()
{
    m_window->reading = true;
    m_link->sendHandshake();
    QCOMPARE(written(7), QByteArray("PROGRAM"));

    m_link->Comm1ReceiveData(kAck);
    QCOMPARE(written(4), QByteArray::fromHex("52000120"));
    QVERIFY(m_link->Tim1.isActive());

    for (quint8 block = 1; block <= 15; ++block) {
        m_link->Comm1ReceiveData(dataFrame(0, block));
        QCOMPARE(written(4), QByteArray::fromHex("5200") + char(block + 1) + char(0x20));
        QCOMPARE(m_link->NextReadBlock, block + 1);
    }
    m_link->Comm1ReceiveData(dataFrame(0, 16));
    QCOMPARE(written(4), QByteArray::fromHex("52050020"));
    QCOMPARE(m_link->NextReadBlock, 0);
    QCOMPARE(m_window->calls.count(QStringLiteral("step")), 15);
    QCOMPARE(m_window->calls.last(), QStringLiteral("settings requested"));

    // A settings frame cut short by a stalled line is not taken for the settings; the repeat
    // asks again and the whole frame completes the read.
    m_window->calls.clear();
    m_link->Comm1ReceiveData(dataFrame(5, 0).left(16));
    QVERIFY(m_window->calls.isEmpty());
    QVERIFY(nothingWritten());
    m_link->Comm1ReceiveData(dataFrame(5, 0));
    QCOMPARE(m_window->calls, (QStringList{"decode 5/0", "read complete"}));
    QVERIFY(!m_link->Comm1.isOpen());
    QVERIFY(!m_link->Tim1.isActive());
    QCOMPARE(m_link->ReceiveCopy[2], quint8(20));
}

void TestRadioLink::mainWriteSequence()
{
    m_window->writing = true;
    m_link->sendHandshake();
    QCOMPARE(written(7), QByteArray("PROGRAM"));

    // Acknowledgements 1..16 bring the channel blocks, each with its CRC.
    for (int ack = 1; ack <= 16; ++ack) {
        m_link->Comm1ReceiveData(kAck);
        const QByteArray frame = written(34);
        QCOMPARE(frame.left(4), QByteArray::fromHex("5700") + char(ack) + char(0x20));
        QVERIFY(hasValidFrameCrc(reinterpret_cast<const quint8 *>(frame.constData())));
        QCOMPARE(m_link->WriteAckCount, ack);
    }
    m_link->Comm1ReceiveData(kAck);
    QCOMPARE(written(34).left(4), QByteArray::fromHex("57050020"));

    // While the count stands at 17 any chunk sends the settings again, a stray byte included.
    m_link->Comm1ReceiveData(QByteArray(1, 'x'));
    QCOMPARE(written(34).left(4), QByteArray::fromHex("57050020"));
    QCOMPARE(m_link->WriteAckCount, 17);

    m_link->Comm1ReceiveData(kAck);
    QCOMPARE(m_window->calls.last(), QStringLiteral("write complete"));
    QCOMPARE(m_link->WriteAckCount, 0);
    QCOMPARE(m_window->calls.count(QStringLiteral("step")), 18);
    QVERIFY(nothingWritten());
}

void TestRadioLink::repeatSendsTheBufferAsItStands()
{
    m_window->reading = true;
    m_link->TxBuffer.fill(0xA5);
    m_link->sendHandshake();
    QCOMPARE(written(7), QByteArray("PROGRAM"));
    m_link->startRepeat();

    // The repeat is transmit bytes 0..33 as they stand: the handshake, leftovers and its CRC.
    // The timer runs on this thread: keep its event loop going while the line is read.
    QByteArray repeat;
    QTRY_VERIFY_WITH_TIMEOUT((repeat += m_peer->read(34 - repeat.size(), 5)).size() == 34, 5000);
    QCOMPARE(repeat, bytes(m_link->TxBuffer, 0, 34));
    QCOMPARE(repeat.mid(7, 25), QByteArray(25, char(0xA5)));
}

void TestRadioLink::repeatPeriod()
{
    // The radio gets the frame again 300 ms after it went out, and every 300 ms while it stays
    // silent. A busy machine only delays a timer, and a timer may round its period down by a
    // millisecond: a repeat much sooner, or none at all, is a fault.
    QCOMPARE(RadioLink::kRepeatMs, 300);
    QCOMPARE(m_link->Tim1.interval(), 300);
    QCOMPARE(m_link->Tim1.timerType(), Qt::PreciseTimer);
    m_link->TxBuffer.fill(0x11);
    m_link->sendHandshake();
    QCOMPARE(written(7), QByteArray("PROGRAM"));
    QElapsedTimer clock;
    clock.start();
    QSignalSpy ticks(&m_link->Tim1, &QTimer::timeout);
    m_link->startRepeat();
    QVERIFY(ticks.wait(60000));
    const qint64 first = clock.elapsed();
    QVERIFY(ticks.wait(60000));
    const qint64 second = clock.elapsed() - first;
    for (const qint64 gap : {first, second})
        QVERIFY2(gap >= 250, qPrintable(QStringLiteral("repeat after %1 ms").arg(gap)));
    QVERIFY(m_link->Tim1.isActive()); // it goes on until an answer or the end of the transfer
    m_link->Tim1.stop();
}

void TestRadioLink::repeatWaitsForAQuietLine_data()
{
    QTest::addColumn<QString>("traffic");
    QTest::newRow("a frame sent") << u"send"_s;
    QTest::newRow("a chunk received") << u"receive"_s;
    QTest::newRow("the extra acknowledgement") << u"extra"_s;
}

void TestRadioLink::repeatWaitsForAQuietLine()
{
    QFETCH(QString, traffic);

    // Time stands still for the timer while this thread sleeps: after 600 ms of a 1000 ms
    // period, traffic either way starts the period afresh.
    m_link->Tim1.setInterval(1000);
    m_link->putRequest(1, 0);
    m_link->startRepeat();
    QTest::qSleep(600);
    QVERIFY(m_link->Tim1.remainingTime() <= 400);
    if (traffic == u"send")
        m_link->SendData(frame::kRequestSize);
    else if (traffic == u"receive")
        m_link->Comm1ReceiveData(kAck);
    else
        m_link->Comm1ReceiveData(dataFrame(1, 0, frame::kExtraAckMark));
    QVERIFY2(m_link->Tim1.remainingTime() > 600,
             qPrintable(QStringLiteral("%1 ms left").arg(m_link->Tim1.remainingTime())));
    m_link->Tim1.stop();

    // Without a repeat running (a write that wants none), traffic starts none.
    m_link->SendData(frame::kRequestSize);
    m_link->Comm1ReceiveData(kAck);
    QVERIFY(!m_link->Tim1.isActive());
}

void TestRadioLink::receivedCrc_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QStringList>("decoded");

    const QByteArray good = dataFrame(0, 3);
    const QByteArray bad = dataFrame(0, 3, 0, 0x01);
    const QByteArray otherBad = dataFrame(0, 3, 0x11, 0x01);
    const QStringList none;
    const QStringList third{QStringLiteral("decode 0/3")};
    QTest::newRow("sound frame") << QList{good} << third;
    QTest::newRow("CRC fails: unanswered") << QList{bad} << none;
    QTest::newRow("CRC fails, then a sound copy") << QList{bad, good} << third;
    QTest::newRow("two copies alike: a radio with its own CRC") << QList{bad, bad} << third;
    QTest::newRow("two copies that differ: a noisy line") << QList{bad, otherBad} << none;
    QTest::newRow("alike, but not one after the other")
        << QList{bad, QByteArray(1, 'x'), bad} << none;
    QTest::newRow("frame without its CRC") << QList{good.left(32), good.left(33)} << none;
    QTest::newRow("alike once counts once") << QList{bad, bad, bad} << third;
}

void TestRadioLink::receivedCrc()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QStringList, decoded);

    // A block taken on the strength of two copies alike is noted in the log.
    if (chunks.count(chunks.first()) > 1 && !decoded.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("CRC differs")));
    m_window->reading = true;
    m_link->putRequest(0, 3);
    for (const QByteArray &chunk : chunks)
        m_link->Comm1ReceiveData(chunk);
    QStringList decodes = m_window->calls.filter(QStringLiteral("decode"));
    QCOMPARE(decodes, decoded);
    // Only a frame that was taken asks for the next block; the others wait for the repeat.
    if (decoded.isEmpty())
        QVERIFY(nothingWritten());
    else
        QCOMPARE(written(4), QByteArray::fromHex("52000420"));
}

void TestRadioLink::foreignCrcIsNotedOnce()
{
    const QByteArray bad = dataFrame(0, 1, 0, 0x80);
    m_window->reading = true;
    m_link->putRequest(0, 1);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("CRC differs")));
    m_link->Comm1ReceiveData(bad);
    m_link->Comm1ReceiveData(bad);
    QCOMPARE(m_window->calls.filter(QStringLiteral("decode")).size(), 1);
    QTest::failOnWarning(QRegularExpression(QStringLiteral("CRC")));
    const QByteArray next = dataFrame(0, 2, 0, 0x80);
    m_link->Comm1ReceiveData(next);
    m_link->Comm1ReceiveData(next);
    QCOMPARE(m_window->calls.filter(QStringLiteral("decode")).size(), 2);
}

void TestRadioLink::acknowledgementAnswersOnlyTheHandshake()
{
    m_window->reading = true;
    m_link->sendHandshake();
    QCOMPARE(written(7), QByteArray("PROGRAM"));
    QVERIFY(m_link->handshakeOutstanding());
    m_link->Comm1ReceiveData(kAck);
    QCOMPARE(written(4), QByteArray::fromHex("52000120"));
    QVERIFY(!m_link->handshakeOutstanding());
    m_link->Comm1ReceiveData(dataFrame(0, 1));
    m_link->Comm1ReceiveData(dataFrame(0, 2));
    QCOMPARE(written(8), QByteArray::fromHex("52000220 52000320"));

    // A frame that arrived in two pieces, the second starting with 0x06 (a key set to a
    // function whose code is 6): neither piece is taken, and the read is not started again.
    QByteArray split = dataFrame(0, 3);
    split[20] = char(frame::kAck);
    m_link->Comm1ReceiveData(split.left(20));
    m_link->Comm1ReceiveData(split.mid(20));
    m_link->Comm1ReceiveData(kAck);
    QVERIFY(nothingWritten());
    QCOMPARE(m_link->NextReadBlock, 3);

    // Retry sends the handshake again, and its answer starts the read from channel 1.
    m_link->restartFromHandshake();
    QCOMPARE(written(7), QByteArray("PROGRAM"));
    QVERIFY(m_link->handshakeOutstanding());
    m_link->Comm1ReceiveData(kAck);
    QCOMPARE(written(4), QByteArray::fromHex("52000120"));
    m_link->Tim1.stop();
}

void TestRadioLink::lostLineStopsTheRepeat()
{
    QSignalSpy lost(m_link.get(), &RadioLink::lineLost);
    m_window->writing = true;
    m_link->sendHandshake();
    m_link->startRepeat();
    QCOMPARE(written(7), QByteArray("PROGRAM"));
    m_peer->hangUp();
    QVERIFY(lost.wait(5000));
    QCOMPARE(lost.count(), 1);
    QVERIFY(!m_link->Tim1.isActive());
}

void TestRadioLink::readTakesOnlyTheBlockAskedFor_data()
{
    QTest::addColumn<QByteArray>("stray"); // what answers the request for DTMF block 1

    QTest::newRow("a block beyond the bank") << dataFrame(1, 7);
    QTest::newRow("the last block of the bank") << dataFrame(1, 3);
    QTest::newRow("a block further on") << dataFrame(1, 2);
    QTest::newRow("the block before, late") << dataFrame(1, 0);
    QTest::newRow("the block of another bank") << dataFrame(2, 1);
    QTest::newRow("the block of another bank's request") << dataFrame(0, 1);
}

void TestRadioLink::readTakesOnlyTheBlockAskedFor()
{
    QFETCH(QByteArray, stray);

    BlockTransfer transfer(*m_link, {Bank::Dtmf, 4, true});
    QList<int> arrived;
    connect(&transfer, &BlockTransfer::blockArrived, this,
            [&](const FrameBuffer &frame) { arrived << frame[2]; });
    QSignalSpy finished(&transfer, &BlockTransfer::finished);
    QSignalSpy notAsked(m_link.get(), &RadioLink::blockNotAskedFor);
    transfer.startRead();
    QCOMPARE(written(4), QByteArray::fromHex("52010020"));
    m_link->Comm1ReceiveData(dataFrame(1, 0));
    QCOMPARE(written(4), QByteArray::fromHex("52010120"));

    // Any block but the one asked for is left like noise: nothing is stored or asked, the read
    // goes on, and the repeat asks for block 1 again.
    m_link->Comm1ReceiveData(stray);
    QVERIFY(nothingWritten());
    QCOMPARE(arrived, QList<int>{0});
    QCOMPARE(transfer.running(), BlockTransfer::Kind::Read);
    QVERIFY(finished.isEmpty());
    QCOMPARE(notAsked.size(), 1);
    QCOMPARE(notAsked.first(), (QList<QVariant>{1, 1}));
    QVERIFY(m_link->Tim1.isActive());
    m_link->Tim1Timer();
    QCOMPARE(written(34).left(4), QByteArray::fromHex("52010120"));

    for (quint8 block = 1; block < 4; ++block) {
        m_link->Comm1ReceiveData(dataFrame(1, block));
        if (block < 3)
            QCOMPARE(written(4), QByteArray::fromHex("5201") + char(block + 1) + ' ');
    }
    QCOMPARE(arrived, (QList<int>{0, 1, 2, 3}));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().at(1).value<BlockTransfer::Outcome>(), BlockTransfer::Outcome::Done);
    QVERIFY(!m_link->Tim1.isActive());
    QVERIFY(nothingWritten());
}

void TestRadioLink::watchdogCountsFromTheLatestStep_data()
{
    QTest::addColumn<bool>("write");
    QTest::newRow("read") << false;
    QTest::newRow("write") << true;
}

void TestRadioLink::watchdogCountsFromTheLatestStep()
{
    QFETCH(bool, write);

    // A long transfer that moves on is not ended by the watchdog: every block read and every
    // acknowledgement starts its ten seconds again. Here its time has run out just before.
    BlockTransfer transfer(*m_link, {Bank::FiveTone, 17, true});
    QSignalSpy finished(&transfer, &BlockTransfer::finished);
    if (write)
        transfer.startWrite(std::vector<BlockTransfer::Payload>(17));
    else
        transfer.startRead();
    QCOMPARE(transfer.Timer1.interval(), 10000);
    for (quint8 block = 0; block < 16; ++block) {
        written(write ? 34 : 4);
        transfer.Timer1.stop();
        m_link->Comm1ReceiveData(write ? kAck : dataFrame(4, block));
        QVERIFY2(transfer.Timer1.isActive(), qPrintable(QStringLiteral("block %1").arg(block)));
        QVERIFY(transfer.Timer1.remainingTime() > 5000);
    }
    QVERIFY(finished.isEmpty());
    written(write ? 34 : 4);
    m_link->Comm1ReceiveData(write ? kAck : dataFrame(4, 16));
    QCOMPARE(finished.size(), 1);
    QVERIFY(!transfer.Timer1.isActive());
}

QTEST_GUILESS_MAIN(TestRadioLink)
#include "tst_radiolink.moc"
