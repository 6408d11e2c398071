// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/radioimage.h"
#include "protocol/radiosession.h"
#include "support/scriptedradio.h"
#include "support/transferradio.h"
#include "tools/vradio/radioengine.h"
#include "tools/vradio/radiomemory.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace wf;
using namespace Qt::StringLiterals;
using wf::vradio::RadioEngine;
using wf::vradio::RadioMemory;

namespace {

const QByteArray kAck(1, char(frame::kAck));

QByteArray request(int bank, int block)
{
    return QByteArray("R") + char(bank) + char(block) + char(0x20);
}

QByteArray frameOf(const RadioMemory &memory, int bank, int block)
{
    return RadioEngine::dataFrame(bank, block, memory.payload(bank, block));
}

// The scripted radio answering as the program's frames come in, while the session waits for its
// transfer to end: `onFrame` gets each frame whole and answers it, or not.
class Responder final : public QObject
{
public:
    Responder(ScriptedRadio &radio, std::function<void(const QByteArray &)> onFrame)
        : m_radio(radio)
        , m_onFrame(std::move(onFrame))
    {
        connect(&m_poll, &QTimer::timeout, this, &Responder::poll);
        m_poll.start(1);
    }

    QList<QByteArray> frames; ///< every frame the program sent

private:
    void poll()
    {
        for (QByteArray byte; !(byte = m_radio.take(1, 1)).isEmpty();)
            m_buffer += byte;
        while (!m_buffer.isEmpty()) {
            // The repeat never fires on a scripted line, so a frame's first byte tells its size.
            const char first = m_buffer[0];
            const int size = first == 'P'   ? frame::kHandshakeSize
                             : first == 'R' ? frame::kRequestSize
                             : first == 'W' ? frame::kBlockFrameSize
                                            : 1;
            if (m_buffer.size() < size)
                return;
            const QByteArray frame = m_buffer.left(size);
            m_buffer.remove(0, size);
            frames << frame;
            m_onFrame(frame);
        }
    }

    ScriptedRadio &m_radio;
    std::function<void(const QByteArray &)> m_onFrame;
    QTimer m_poll;
    QByteArray m_buffer;
};

// Signalling payloads unlike any the radio holds: each byte names its bank, block and place.
RadioImage signallingImage()
{
    RadioImage image;
    for (Bank bank : {Bank::Dtmf, Bank::Fsk, Bank::TwoTone, Bank::FiveTone}) {
        for (const BlockAddress &address : RadioImage::addresses(bank)) {
            BlockPayload payload;
            for (int i = 0; i < frame::kPayloadSize; ++i)
                payload[std::size_t(i)] = quint8(0x80 + int(bank) * 24 + address.block + i);
            image.setPayload(bank, address.block, payload);
        }
    }
    return image;
}

QList<BlockAddress> signallingAddresses()
{
    QList<BlockAddress> all;
    for (Bank bank : {Bank::Dtmf, Bank::Fsk, Bank::TwoTone, Bank::FiveTone})
        all += RadioImage::addresses(bank);
    return all;
}

} // namespace

class TestRadioSession final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void readNamesTheBlockNeverSent_data();
    void readNamesTheBlockNeverSent();
    void writeEndsWithTheLastAcknowledgement_data();
    void writeEndsWithTheLastAcknowledgement();
    void signallingWriteAtFrameGaps_data();
    void signallingWriteAtFrameGaps();
    void snapshotsOfOneSecondKeepTheirOwnFiles();
};

void TestRadioSession::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestRadioSession::readNamesTheBlockNeverSent_data()
{
    QTest::addColumn<bool>("main");          // the main read, else the signalling banks
    QTest::addColumn<QByteArray>("spoilt");  // the request the radio answers wrongly
    QTest::addColumn<QByteArray>("instead"); // its answer; empty: it says nothing more
    QTest::addColumn<QString>("error");      // %1: the port

    const RadioMemory demo = RadioMemory::demo();
    QTest::newRow("channel 16 answered with channel 15")
        << true << request(0, 16) << frameOf(demo, 0, 15)
        << u"the radio on %1 never sent channel 16"_s;
    QTest::newRow("channel 16 answered with block 17")
        << true << request(0, 16) << RadioEngine::dataFrame(0, 17, {})
        << u"the radio on %1 never sent channel 16"_s;
    QTest::newRow("the settings answered with channel 16")
        << true << request(5, 0) << frameOf(demo, 0, 16)
        << u"the radio on %1 never sent the settings"_s;
    QTest::newRow("DTMF block 2 answered with block 3")
        << false << request(1, 2) << frameOf(demo, 1, 3)
        << u"the radio on %1 never sent DTMF block 2"_s;
    QTest::newRow("the last 5-Tone block answered with one beyond the bank")
        << false << request(4, 16) << RadioEngine::dataFrame(4, 17, {})
        << u"the radio on %1 never sent 5-Tone block 16"_s;
    QTest::newRow("silence after a request")
        << true << request(0, 5) << QByteArray() << u"no answer from the radio on %1 within 10 s"_s;
}

void TestRadioSession::readNamesTheBlockNeverSent()
{
    QFETCH(bool, main);
    QFETCH(QByteArray, spoilt);
    QFETCH(QByteArray, instead);
    QFETCH(QString, error);

    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    RadioSession session(radio.port());
    radio.attach(session.link());
    const RadioMemory demo = RadioMemory::demo();
    Responder responder(radio, [&](const QByteArray &frame) {
        if (frame == "PROGRAM") {
            radio.answer(kAck);
        } else if (frame == spoilt) {
            if (!instead.isEmpty())
                radio.answer(instead);
            // The radio never gets it right: time runs out.
            session.watchdog().start(0);
        } else if (frame.startsWith('R')) {
            radio.answer(frameOf(demo, frame[1], frame[2]));
        }
    });

    RadioImage image;
    const RadioSession::Result result =
        main ? session.readMain(&image) : session.readSignalling(&image);
    QCOMPARE(result, RadioSession::Result::NoAnswer);
    QCOMPARE(session.errorText(), error.arg(radio.port()));
    QCOMPARE(responder.frames.last(), spoilt);
}

void TestRadioSession::writeEndsWithTheLastAcknowledgement_data()
{
    QTest::addColumn<bool>("lastAcknowledged");
    QTest::newRow("every block acknowledged") << true;
    QTest::newRow("the last block never acknowledged") << false;
}

void TestRadioSession::writeEndsWithTheLastAcknowledgement()
{
    QFETCH(bool, lastAcknowledged);

    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    RadioSession session(radio.port());
    radio.attach(session.link());
    const QByteArray last = QByteArray::fromHex("57041020");
    Responder responder(radio, [&](const QByteArray &frame) {
        if (frame.startsWith(last) && !lastAcknowledged)
            session.watchdog().start(0);
        else
            radio.answer(kAck);
    });
    QList<QList<QVariant>> progress;
    connect(&session, &RadioSession::progressed, this,
            [&](const QString &label, int done, int total) {
                progress << QList<QVariant>{label, done, total};
            });

    const RadioSession::Result result = session.writeSignalling(signallingImage());
    QCOMPARE(responder.frames.size(), signallingAddresses().size());
    QCOMPARE(responder.frames.last().left(4), last);
    QList<BlockAddress> written = signallingAddresses();
    if (lastAcknowledged) {
        QCOMPARE(result, RadioSession::Result::Done);
        QCOMPARE(progress.last(), (QList<QVariant>{u"writing 5-Tone"_s, 17, 17}));
    } else {
        // Block 16 went out and was never taken: the write did not succeed, and the blocks
        // written are all but that one.
        QCOMPARE(result, RadioSession::Result::NoAnswer);
        QCOMPARE(progress.last(), (QList<QVariant>{u"writing 5-Tone"_s, 16, 17}));
        written.removeLast();
    }
    QCOMPARE(session.writtenBlocks(), written);
}

void TestRadioSession::signallingWriteAtFrameGaps_data()
{
    QTest::addColumn<int>("gap"); // the silence in ms that ends a frame for the radio
    for (int gap : {5, 12, 20})
        QTest::addRow("frames end after %d ms", gap) << gap;
}

void TestRadioSession::signallingWriteAtFrameGaps()
{
    QFETCH(int, gap);

    // The repeat must never run into the next block on the line: a radio that ends its frames at
    // a short silence would take the two as one, keep the old block and acknowledge once.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    TransferRadio radio(dir.path(), u"radio"_s, {u"--gap"_s, QString::number(gap)});
    QVERIFY2(radio.start(RadioMemory()), qPrintable(radio.errorString()));
    RadioSession session(radio.port());
    const RadioImage image = signallingImage();
    QCOMPARE(session.writeSignalling(image), RadioSession::Result::Done);
    QCOMPARE(session.writtenBlocks(), signallingAddresses());
    const RadioMemory kept = radio.image();
    for (const BlockAddress &address : signallingAddresses()) {
        const BlockPayload &sent = image.payload(address.bank, address.block);
        const auto &stored = kept.payload(int(address.bank), address.block);
        QVERIFY2(std::equal(sent.begin(), sent.end(), stored.begin()),
                 qPrintable(u"%1 block %2"_s.arg(bankName(address.bank)).arg(address.block)));
    }
}

void TestRadioSession::snapshotsOfOneSecondKeepTheirOwnFiles()
{
    // Two writes within one second, as a fleet of fast radios makes them: the second snapshot
    // never takes the first one's name. The names carry the second, so both are taken within
    // one (tried again when a second boundary fell between them).
    const QString port = u"/dev/ttyUSB0"_s;
    for (int attempt = 0; attempt < 5; ++attempt) {
        const QString first = radioSnapshotPath(port);
        QVERIFY(QDir().mkpath(QFileInfo(first).path()));
        QFile file(first);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString second = radioSnapshotPath(port);
        QFile::remove(first);
        const QString stamp = QFileInfo(first).fileName().left(15); // yyyyMMdd-HHmmss
        if (!QFileInfo(second).fileName().startsWith(stamp))
            continue;
        QVERIFY(second != first);
        QVERIFY(QFileInfo(second).fileName().endsWith(u"dev_ttyUSB0-2.img"_s));
        return;
    }
    QFAIL("no two snapshot names within one second");
}

QTEST_GUILESS_MAIN(TestRadioSession)
#include "tst_radiosession.moc"
