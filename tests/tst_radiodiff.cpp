// SPDX-License-Identifier: GPL-3.0-or-later
// Two radios' contents compared through the windows' own codecs: each difference named by
// window, row, caption and both values in the display language, and a byte no window shows
// named as a byte.
#include "compare/radiodiff.h"
#include "tools/vradio/radiomemory.h"

#include <QtTest>

using namespace wf;
using namespace wf::compare;

namespace {

RadioImage demoImage()
{
    RadioImage image;
    for (const BlockAddress &a : RadioImage::addresses())
        image.setPayload(a.bank, a.block,
                         vradio::RadioMemory::demo().payload(int(a.bank), a.block));
    return image;
}

// Changes written "bank:block:byte=value", comma-separated, the value in hexadecimal.
RadioImage changed(const QString &changes)
{
    RadioImage image = demoImage();
    for (const QString &change : changes.split(u',', Qt::SkipEmptyParts)) {
        const QStringList parts = change.split(QRegularExpression(QStringLiteral("[:=]")));
        const Bank bank = Bank(parts[0].toInt());
        const int block = parts[1].toInt();
        BlockPayload payload = image.payload(bank, block);
        payload[parts[2].toUInt()] = quint8(parts[3].toUInt(nullptr, 16));
        image.setPayload(bank, block, payload);
    }
    return image;
}

} // namespace

class TestRadioDiff final : public QObject
{
    Q_OBJECT

private slots:
    void compareContents_data();
    void compareContents();
};

void TestRadioDiff::compareContents_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("table"); // changes to the demo radio on the table's side
    QTest::addColumn<QString>("radio"); // and on the radio's side
    QTest::addColumn<QStringList>("expected");

    const int en = int(Language::English);
    const int zh = int(Language::Chinese);
    QTest::newRow("identical") << en << ""
                               << "" << QStringList();
    QTest::newRow("channel, English")
        << en << ""
        << "0:1:12=00" << QStringList{"CH 1, TX Power: table HIGH, radio LOW"};
    QTest::newRow("channel, Chinese")
        << zh << ""
        << "0:1:12=00" << QStringList{"信道 1，发射功率：表格 高，电台 低"};
    QTest::newRow("settings, English")
        << en << ""
        << "5:0:10=05" << QStringList{"Settings, SQ Lev: table 3, radio 5"};
    QTest::newRow("settings, Chinese") << zh << ""
                                       << "5:0:10=05" << QStringList{"设置，静噪：表格 3，电台 5"};
    QTest::newRow("DTMF, English")
        << en << ""
        << "1:0:16=02" << QStringList{"DTMF, Call Alert: table Normal, radio Continuous"};
    QTest::newRow("DTMF, Chinese")
        << zh << ""
        << "1:0:16=02" << QStringList{"DTMF，呼叫告警：表格 常规，电台 连续"};
    // Decode row 3 is empty in the demo; the table gives it four decoders.
    const QString decodeRow = "3:4:0=ab,3:4:1=03,3:4:2=01,3:4:3=ab,3:4:5=01,3:4:6=ab,3:4:8=01,"
                              "3:4:9=ab,3:4:11=01";
    QTest::newRow("2-Tone, English")
        << en << decodeRow << decodeRow + ",3:4:1=00"
        << QStringList{"2-Tone decode 3, Response Mode (Decode1): table REMIND+REPLY, radio NONE"};
    QTest::newRow("2-Tone, Chinese")
        << zh << decodeRow << decodeRow + ",3:4:1=00"
        << QStringList{"2-Tone 解码 3，响应方式（解码1）：表格 提醒并回复，电台 无"};
    QTest::newRow("5-Tone, English")
        << en << ""
        << "4:9:7=28"
        << QStringList{"5-Tone decode 1, Function (Third Frame Decoding): table REMOTE, radio "
                       "BE ASKED"};
    QTest::newRow("5-Tone, Chinese")
        << zh << ""
        << "4:9:7=28" << QStringList{"5-Tone 解码 1，功能（第三帧解码）：表格 遥毙，电台 被叫"};
    QTest::newRow("FSK, English") << en << ""
                                  << "2:0:0=65"
                                  << QStringList{"FSK, Fleet[Own]: table 100, radio 101"};
    QTest::newRow("FSK, Chinese") << zh << ""
                                  << "2:0:0=65"
                                  << QStringList{"FSK，队列(自身)：表格 100，电台 101"};
    QTest::newRow("a byte no window shows, English")
        << en << ""
        << "2:0:12=ff" << QStringList{"FSK block 0 byte 12: table 00, radio ff"};
    QTest::newRow("a byte no window shows, Chinese")
        << zh << ""
        << "0:3:25=7f" << QStringList{"信道 3 第 25 字节：表格 00，电台 7f"};
    // A memory's digit count shows nothing under an empty memory, on either side.
    QTest::newRow("a digit count of an empty memory")
        << en << ""
        << "1:0:24=03" << QStringList{"DTMF block 0 byte 24: table 00, radio 03"};
    QTest::newRow("a memory with its digit count")
        << en << "1:1:16=23,1:1:17=01,1:0:24=03"
        << "" << QStringList{"DTMF memory 5, Autodial Memory: table 123, radio (empty)"};
}

void TestRadioDiff::compareContents()
{
    QFETCH(int, language);
    QFETCH(QString, table);
    QFETCH(QString, radio);
    QFETCH(QStringList, expected);

    const QList<Difference> differences =
        wf::compare::compareContents(changed(table), changed(radio), Language(language));
    QStringList said;
    for (const Difference &d : differences)
        said << sentence(d, kTableAndRadio, Language(language));
    QCOMPARE(said, expected);
}

QTEST_GUILESS_MAIN(TestRadioDiff)
#include "tst_radiodiff.moc"
