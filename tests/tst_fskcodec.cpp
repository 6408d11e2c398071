// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/fsk/fskblocks.h"
#include "signalling/fsk/fskcontrols.h"

#include "support/codecframes.h"
#include <QRandomGenerator>

#include <QtTest>

using namespace wf;
using namespace wf::fsk;

Q_DECLARE_METATYPE(wf::Language)

namespace {

constexpr Language kLanguages[] = {Language::Chinese, Language::English};

// Block 0 as a fresh window writes it: fleet 100, ID 1000, 2400 bps, 400 ms, 10 s, side tone on.
const QByteArray kInitialBlock0 =
    QByteArray::fromHex("64 00 E8 03 18 90 01 0A FF") + QByteArray(19, '\0');

// A data frame of this bank as the radio sends it.
std::array<quint8, frame::kBlockFrameSize> frameOf(int block, const QByteArray &payload)
{
    return codecFrame(Bank::Fsk, block, payload);
}

// A control by its object name, or a table cell as "fleet:N" or "id:N" for row N.
QString &textOf(Texts &texts, const QString &name)
{
    if (name.contains(':')) {
        Entry &entry = texts.entries[name.section(':', 1).toInt() - 1];
        return name.startsWith("fleet") ? entry.fleet : entry.id;
    }
    for (const Control<Texts> &c : kControls) {
        if (c.name == name && c.text)
            return texts.*c.text;
    }
    Q_UNREACHABLE();
}

bool sameTexts(const Texts &a, const Texts &b)
{
    for (int r = 0; r < kEntryCount; ++r) {
        if (a.entries[r].fleet != b.entries[r].fleet || a.entries[r].id != b.entries[r].id)
            return false;
    }
    return a.ed1 == b.ed1 && a.ed2 == b.ed2 && a.cb1 == b.cb1 && a.ed3 == b.ed3 && a.ed4 == b.ed4 &&
           a.CheckBox1 == b.CheckBox1;
}

} // namespace

class TestFskCodec final : public QObject
{
    Q_OBJECT

private slots:
    void initialWrite();
    void fields_data();
    void fields();
    void sideTone_data();
    void sideTone();
    void failures_data();
    void failures();
    void otherBlocks();
    void roundTrip();
    void listAndCaptions();
};

void TestFskCodec::initialWrite()
{
    for (const Language language : kLanguages) {
        const WriteBlocks<kBlockCount> write = encodeBlocks(initialTexts(language), language);
        QVERIFY(write.ok());
        QCOMPARE(bytesOf(write.payloads[0]).toHex(' '), kInitialBlock0.toHex(' '));
        QCOMPARE(bytesOf(write.payloads[1]), QByteArray(frame::kPayloadSize, '\0'));
        QCOMPARE(bytesOf(write.payloads[2]), QByteArray(frame::kPayloadSize, '\0'));
    }
}

void TestFskCodec::fields_data()
{
    QTest::addColumn<QString>("control"); // "fleet:N" and "id:N" for the cells of row N
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("at");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QString>("readBack");
    const auto add = [](const char *name, const char *control, const char *text, int block, int at,
                        const char *hex, const char *readBack) {
        QTest::newRow(name) << QString(control) << QString(text) << block << at
                            << QByteArray::fromHex(hex) << QString(readBack);
    };
    add("fleet largest", "ed1", "65535", 0, 0, "FFFF", "65535");
    add("fleet 0", "ed1", "0", 0, 0, "0000", "0");
    add("ID 4464", "ed2", "4464", 0, 2, "7011", "4464");
    add("rate 1200", "cb1", "1200", 0, 4, "0C", "1200");
    add("rate 2400", "cb1", "2400", 0, 4, "18", "2400");
    add("rate the list lacks", "cb1", "3600", 0, 4, "24", "3600");
    add("rate 0", "cb1", "0", 0, 4, "00", "0");
    add("delay 400 at an odd byte", "ed3", "400", 0, 5, "9001", "400");
    add("delay 65535", "ed3", "65535", 0, 5, "FFFF", "65535");
    add("timer 255", "ed4", "255", 0, 7, "FF", "255");
    add("timer 0", "ed4", "0", 0, 7, "00", "0");
    add("entry 1 fleet", "fleet:1", "100", 0, 20, "6400", "100");
    add("entry 1 ID", "id:1", "65535", 0, 22, "FFFF", "65535");
    add("entry 2 fleet", "fleet:2", "2", 0, 24, "0200", "2");
    add("entry 2 ID", "id:2", "300", 0, 26, "2C01", "300");
    add("entry 3 fleet", "fleet:3", "1", 1, 0, "0100", "1");
    add("entry 9 ID", "id:9", "4096", 1, 26, "0010", "4096");
    add("entry 10 fleet", "fleet:10", "999", 2, 0, "E703", "999");
    add("entry 16 ID", "id:16", "12345", 2, 26, "3930", "12345");
    add("entry 0 reads back empty", "fleet:5", "0", 1, 8, "0000", "");
    add("entry one space", "id:12", " ", 2, 10, "0000", "");
}

void TestFskCodec::fields()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(int, block);
    QFETCH(int, at);
    QFETCH(QByteArray, code);
    QFETCH(QString, readBack);

    std::array<QByteArray, kBlockCount> expected = {kInitialBlock0,
                                                    QByteArray(frame::kPayloadSize, '\0'),
                                                    QByteArray(frame::kPayloadSize, '\0')};
    expected[block].replace(at, code.size(), code);
    for (const Language language : kLanguages) {
        Texts texts = initialTexts(language);
        textOf(texts, control) = text;
        const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
        QVERIFY(write.ok());
        for (int b = 0; b < kBlockCount; ++b)
            QCOMPARE(bytesOf(write.payloads[b]).toHex(' '), expected[b].toHex(' '));

        Texts read = initialTexts(language);
        textOf(read, control) = "?";
        QVERIFY(decodeBlock(frameOf(block, expected[block]).data(), read, language));
        QCOMPARE(textOf(read, control), readBack);
        textOf(read, control) = text;
        textOf(texts, control) = text;
        QVERIFY(sameTexts(read, texts));
    }
}

void TestFskCodec::sideTone_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<bool>("checked");
    QTest::newRow("FF") << 0xFF << true;
    QTest::newRow("00") << 0x00 << false;
    QTest::newRow("01") << 0x01 << false;
    QTest::newRow("FE") << 0xFE << false;
}

void TestFskCodec::sideTone()
{
    QFETCH(int, byte);
    QFETCH(bool, checked);

    QByteArray block0 = kInitialBlock0;
    block0[8] = char(byte);
    Texts texts = initialTexts(Language::English);
    texts.CheckBox1 = !checked;
    QVERIFY(decodeBlock(frameOf(0, block0).data(), texts, Language::English));
    QCOMPARE(texts.CheckBox1, checked);
    const WriteBlocks<kBlockCount> write = encodeBlocks(texts, Language::English);
    QVERIFY(write.ok());
    QCOMPARE(int(write.payloads[0][8]), checked ? 0xFF : 0x00);
}

void TestFskCodec::failures_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("message");
    const Language zh = Language::Chinese;
    const Language en = Language::English;
    const auto add = [](const char *name, const char *control, const char *text, Language language,
                        const char *message) {
        QTest::newRow(name) << QString(control) << QString::fromUtf8(text) << language
                            << QString::fromUtf8(message);
    };
    add("fleet 70000", "ed1", "70000", en, "Fleet[Own]: 70000 is out of range (0 to 65535)");
    add("fleet 70000, Chinese", "ed1", "70000", zh, "队列(自身)：70000 超出范围（0 至 65535）");
    add("fleet negative", "ed1", "-1", en, "Fleet[Own]: -1 is out of range (0 to 65535)");
    add("fleet empty", "ed1", "", en, "'' is not a valid integer value");
    add("ID letters", "ed2", "abc", zh, "'abc' is not a valid integer value");
    add("ID 65536", "ed2", "65536", en, "ID[Own]: 65536 is out of range (0 to 65535)");
    add("rate 1250", "cb1", "1250", en, "'12.5' is not a valid integer value");
    add("rate 25600", "cb1", "25600", en,
        "FleetSync Baud Rate[bps]: 25600 is out of range (0 to 25500)");
    add("delay decimal", "ed3", "400.5", en, "'400.5' is not a valid integer value");
    add("delay 65536", "ed3", "65536", zh, "数据发射延迟时间[MS]：65536 超出范围（0 至 65535）");
    add("timer 256", "ed4", "256", en, "Message Mode Timer [s]: 256 is out of range (0 to 255)");
    add("entry 1 fleet 70000", "fleet:1", "70000", en,
        "Fleet (row 1): 70000 is out of range (0 to 65535)");
    add("entry 12 fleet 70000", "fleet:12", "70000", zh,
        "队列(第12行)：70000 超出范围（0 至 65535）");
    add("entry 9 ID -5", "id:9", "-5", en, "ID (row 9): -5 is out of range (0 to 65535)");
    add("entry 16 ID text", "id:16", "x1", en, "'x1' is not a valid integer value");
}

void TestFskCodec::failures()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(Language, language);
    QFETCH(QString, message);

    Texts texts = initialTexts(language);
    textOf(texts, control) = text;
    const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
    QCOMPARE(write.error, message);
    for (const Payload &payload : write.payloads)
        QCOMPARE(bytesOf(payload), QByteArray(frame::kPayloadSize, '\0'));

    // A later cell that fails as well does not change which failure is reported.
    if (control != QLatin1String("id:16")) {
        texts.entries[15].id = "bad";
        QCOMPARE(encodeBlocks(texts, language).error, message);
    }
}

void TestFskCodec::otherBlocks()
{
    Texts texts = initialTexts(Language::Chinese);
    const Texts before = texts;
    for (const int block : {3, 16, 255})
        QVERIFY(
            !decodeBlock(frameOf(block, QByteArray(28, '\x22')).data(), texts, Language::Chinese));
    QVERIFY(sameTexts(texts, before));
}

void TestFskCodec::roundTrip()
{
    // Blocks as the radio sends them, with any rate and any numbers, read into the window's
    // texts and written back: every byte the radio defines comes back as it was sent.
    QRandomGenerator random(2023);
    Texts texts = initialTexts(Language::English);
    for (int round = 0; round < 300; ++round) {
        const Language language = kLanguages[round % 2];
        std::array<QByteArray, kBlockCount> sent;
        sent.fill(QByteArray(frame::kPayloadSize, '\0'));
        for (QByteArray &block : sent) {
            for (char &byte : block)
                byte = char(random.bounded(4) ? random.bounded(256) : 0);
        }
        QByteArray &block0 = sent[0];
        block0[8] = char(random.bounded(2) ? 0xFF : 0x00);
        block0.replace(9, 11, QByteArray(11, '\0'));

        for (int block = 0; block < kBlockCount; ++block)
            QVERIFY(decodeBlock(frameOf(block, sent[block]).data(), texts, language));
        const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
        QVERIFY2(write.ok(), qPrintable(write.error));
        for (int block = 0; block < kBlockCount; ++block)
            QCOMPARE(bytesOf(write.payloads[block]).toHex(' '), sent[block].toHex(' '));
    }
}

void TestFskCodec::listAndCaptions()
{
    // The rate list's items write the bytes they stand for and read back as themselves.
    const Control<Texts> &rate = *std::find_if(std::begin(kControls), std::end(kControls),
                                               [](const auto &c) { return c.name == u"cb1"; });
    QCOMPARE(rate.kind, ControlKind::DropDownList);
    const QStringList list = items(rate.items, Language::English);
    QCOMPARE(list, items(rate.items, Language::Chinese));
    QCOMPARE(list.size(), 2);
    for (int i = 0; i < list.size(); ++i) {
        Texts texts = initialTexts(Language::English);
        texts.cb1 = list[i];
        const WriteBlocks<kBlockCount> write = encodeBlocks(texts, Language::English);
        QVERIFY(write.ok());
        QCOMPARE(int(write.payloads[0][4]), rate.items.words[i].code);
    }

    QSet<QString> seen;
    for (const Caption &caption : kCaptions) {
        const QString key = caption.control.toString() + '/' + QString::number(caption.column);
        QVERIFY2(!seen.contains(key), qPrintable(key));
        seen.insert(key);
    }
    for (const Control<Texts> &c : kControls)
        QVERIFY(seen.contains((c.label.isEmpty() ? c.name : c.label).toString() + "/-1"));
    for (int column = 0; column < 3; ++column)
        QVERIFY(seen.contains("xg1/" + QString::number(column)));
}

QTEST_GUILESS_MAIN(TestFskCodec)
#include "tst_fskcodec.moc"
