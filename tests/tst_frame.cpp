// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/frame.h"

#include <QtTest>

using namespace wf;

class TestFrame final : public QObject
{
    Q_OBJECT

private slots:
    void frameCrc_data();
    void frameCrc();
    void crcIsModbusComputation();
    void headersLeaveLaterBytesAlone();
    void payloadFieldsAreLittleEndian();
    void radioMemoryMap_data();
    void radioMemoryMap();
};

void TestFrame::frameCrc_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<quint8>("high");
    QTest::addColumn<quint8>("low");
    QTest::newRow("channel 1 zero payload")
        << QByteArray::fromHex("57000120") << quint8(0x78) << quint8(0x2F);
}

void TestFrame::frameCrc()
{
    QFETCH(QByteArray, header);
    QFETCH(quint8, high);
    QFETCH(quint8, low);

    FrameBuffer tx{};
    std::copy(header.begin(), header.end(), tx.begin());
    tx[40] = 0xAA; // beyond the frame: must not enter the CRC nor be touched
    ComputeFrameCrc(tx);
    QCOMPARE(tx[32], high);
    QCOMPARE(tx[33], low);
    QCOMPARE(tx[40], quint8(0xAA));
    QVERIFY(hasValidFrameCrc(tx.data()));

    tx[17] ^= 0x01;
    QVERIFY(!hasValidFrameCrc(tx.data()));
}

void TestFrame::crcIsModbusComputation()
{
    // The catalogue check value of CRC-16/MODBUS over "123456789".
    const QByteArray check("123456789");
    QCOMPARE(crc16(reinterpret_cast<const quint8 *>(check.constData()), check.size()),
             quint16(0x4B37));
    QCOMPARE(crc16(nullptr, 0), quint16(0xFFFF));
}

void TestFrame::headersLeaveLaterBytesAlone()
{
    FrameBuffer tx{};
    tx.fill(0xEE);
    putHandshake(tx);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(tx.data()), 8), QByteArray("PROGRAM\xEE"));

    putReadRequest(tx, 5, 0);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(tx.data()), 8),
             QByteArray::fromHex("52050020") + QByteArray("RAM\xEE"));

    putBlockHeader(tx.data(), 0, 16);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(tx.data()), 5),
             QByteArray::fromHex("57001020") + QByteArray("R"));
}

void TestFrame::payloadFieldsAreLittleEndian()
{
    quint8 payload[8] = {};
    putPayloadU32(payload, 0, 145500000);
    putPayloadU16(payload, 4, 0x2F2A);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(payload), 6),
             QByteArray::fromHex("6027ac082a2f"));
    QCOMPARE(payloadU32(payload, 0), quint32(145500000));
    QCOMPARE(payloadU16(payload, 4), quint16(0x2F2A));
    QCOMPARE(payload[6], quint8(0));
}

void TestFrame::radioMemoryMap_data()
{
    QTest::addColumn<int>("bank");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("channels") << 0 << 1 << 16;
    QTest::newRow("DTMF") << 1 << 0 << 3;
    QTest::newRow("FSK") << 2 << 0 << 2;
    QTest::newRow("2-Tone") << 3 << 0 << 11;
    QTest::newRow("5-Tone") << 4 << 0 << 16;
    QTest::newRow("settings") << 5 << 0 << 0;
}

void TestFrame::radioMemoryMap()
{
    QFETCH(int, bank);
    QFETCH(int, first);
    QFETCH(int, last);
    // Each bank holds exactly its own blocks: the first and last, nothing before or after.
    QVERIFY(isRadioBlock(bank, first));
    QVERIFY(isRadioBlock(bank, last));
    QVERIFY(!isRadioBlock(bank, first - 1));
    QVERIFY(!isRadioBlock(bank, last + 1));
    QVERIFY(!isRadioBlock(6, 0));
    const auto entry = std::find_if(kRadioMemory.begin(), kRadioMemory.end(),
                                    [bank](const BankBlocks &b) { return int(b.bank) == bank; });
    QVERIFY(entry != kRadioMemory.end());
    QCOMPARE(entry->count(), last - first + 1);
}

QTEST_GUILESS_MAIN(TestFrame)
#include "tst_frame.moc"
