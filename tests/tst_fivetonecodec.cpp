// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/fivetone/fivetoneblocks.h"
#include "signalling/fivetone/fivetonecontrols.h"
#include "signalling/fivetone/fivetonestandards.h"

#include "support/codecframes.h"
#include <QRandomGenerator>

#include <QtTest>

using namespace wf;
using namespace wf::fivetone;

Q_DECLARE_METATYPE(wf::Language)

namespace {

constexpr Language kLanguages[] = {Language::Chinese, Language::English};

// Block 0 as a fresh window writes it: 100 ms, group "A", repeat "E" for each standard and
// 500 ms for each delay.
const QByteArray kInitialBlock0 = QByteArray::fromHex("640A0E 640A0E 640A0E 640A0E 640A0E") +
                                  QByteArray(5, '\0') + QByteArray::fromHex("32323232") +
                                  QByteArray(4, '\0');

const QByteArray kZeros(frame::kPayloadSize, '\0');

// Encode and decode rows as setting the key fills them.
const QByteArray kFilledEncodeRow = QByteArray::fromHex("452301 452301 785604 DEBC0A 01 00");
const QByteArray kFilledDecodeRow = QByteArray::fromHex("01 452301 785604 21 DEBC0A 896705");

// A data frame of this bank as the radio sends it.
std::array<quint8, frame::kBlockFrameSize> frameOf(int block, const QByteArray &payload)
{
    return codecFrame(Bank::FiveTone, block, payload);
}

// A control by its object name, or a cell as "xg1:R:C", "xg2:R:C" or "xg3:R:C".
QString &textOf(Texts &texts, const QString &name)
{
    if (name.startsWith("xg")) {
        const int row = name.section(':', 1, 1).toInt() - 1;
        const int column = name.section(':', 2, 2).toInt();
        QString *cell =
            name.startsWith("xg1")   ? cellText(kStandardCells, texts.standards[row], column)
            : name.startsWith("xg2") ? cellText(kEncodeCells, texts.encodeRows[row], column)
                                     : cellText(kDecodeCells, texts.decodeRows[row], column);
        Q_ASSERT(cell);
        return *cell;
    }
    for (const Control<Texts> &c : kControls) {
        if (c.name == name)
            return texts.*c.text;
    }
    Q_UNREACHABLE();
}

template<class Record, std::size_t N>
QStringList cellsOf(const GridCell<Record> (&cells)[N], const Record &row)
{
    QStringList texts;
    for (const GridCell<Record> &cell : cells)
        texts << row.*cell.text;
    return texts;
}

template<class Record, std::size_t N>
Record rowOf(const GridCell<Record> (&cells)[N], const QStringList &texts)
{
    Record row;
    for (std::size_t i = 0; i < N; ++i)
        row.*cells[i].text = texts.value(int(i));
    return row;
}

QStringList split(const char *texts)
{
    return QString::fromUtf8(texts).split(',');
}

QStringList allTexts(const Texts &texts)
{
    QStringList all = {texts.CCIR, texts.cb1, texts.cb2, texts.cb3, texts.cb4, texts.ed1};
    for (const StandardRow &row : texts.standards)
        all << cellsOf(kStandardCells, row);
    for (const EncodeRow &row : texts.encodeRows)
        all << cellsOf(kEncodeCells, row);
    for (const DecodeRow &row : texts.decodeRows)
        all << cellsOf(kDecodeCells, row);
    return all;
}

// A fresh window whose every table row the user has started by setting its key.
Texts filledTexts(Language language)
{
    Texts texts = initialTexts(language);
    for (EncodeRow &row : texts.encodeRows) {
        row.first = "12345";
        row = applyEncodeRowRule(row, 1, QString(), language);
    }
    for (DecodeRow &row : texts.decodeRows) {
        row.standard = "CCIR";
        row = applyDecodeRowRule(row, 1, QString(), language);
    }
    return texts;
}

// The payloads filledTexts() writes.
std::array<QByteArray, kBlockCount> filledPayloads()
{
    std::array<QByteArray, kBlockCount> payloads;
    payloads[0] = kInitialBlock0;
    for (int block = 1; block <= 8; ++block)
        payloads[block] = kFilledEncodeRow + kFilledEncodeRow;
    for (int block = 9; block <= 16; ++block)
        payloads[block] = kFilledDecodeRow + kFilledDecodeRow;
    return payloads;
}

} // namespace

class TestFiveToneCodec final : public QObject
{
    Q_OBJECT

private slots:
    void initialWrite();
    void block0_data();
    void block0();
    void encodeRows_data();
    void encodeRows();
    void decodeRows_data();
    void decodeRows();
    void undefinedCodes();
    void unknownStandards();
    void failures_data();
    void failures();
    void otherBlocks();
    void roundTrip();
    void encodeRowRule_data();
    void encodeRowRule();
    void decodeRowRule_data();
    void decodeRowRule();
    void toneTables_data();
    void toneTables();
    void listsMatchTheBlock();
    void captionsAndColumns();
};

void TestFiveToneCodec::initialWrite()
{
    for (const Language language : kLanguages) {
        // A fresh window has no codes in its tables: they go as erased memory holds them, and a
        // read shows them as it shows a bank never written.
        const WriteBlocks<kBlockCount> fresh = encodeBlocks(initialTexts(language), language);
        QVERIFY2(fresh.ok(), qPrintable(fresh.error));
        QCOMPARE(bytesOf(fresh.payloads[1]).toHex(' '),
                 QByteArray("ff ff ff ff ff ff ff ff ff ff ff ff 00 00 "
                            "ff ff ff ff ff ff ff ff ff ff ff ff 00 00"));
        QCOMPARE(bytesOf(fresh.payloads[9]).toHex(' '),
                 QByteArray("00 ff ff ff ff ff ff 00 ff ff ff ff ff ff "
                            "00 ff ff ff ff ff ff 00 ff ff ff ff ff ff"));
        Texts read = initialTexts(language);
        QVERIFY(decodeBlock(frameOf(1, bytesOf(fresh.payloads[1])).data(), read, language));
        QCOMPARE(read.encodeRows[0].first, QStringLiteral("FFFFF"));
        QCOMPARE(read.encodeRows[1].confirmation, QStringLiteral("FFFFF"));

        // Once each row is started, all seventeen blocks go.
        const WriteBlocks<kBlockCount> write = encodeBlocks(filledTexts(language), language);
        QVERIFY2(write.ok(), qPrintable(write.error));
        QCOMPARE(int(write.payloads.size()), 17);
        const std::array<QByteArray, kBlockCount> expected = filledPayloads();
        for (int block = 0; block < kBlockCount; ++block)
            QCOMPARE(bytesOf(write.payloads[block]).toHex(' '), expected[block].toHex(' '));
    }
}

void TestFiveToneCodec::block0_data()
{
    QTest::addColumn<QString>("control"); // "xg1:S:C" for standard S
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("readBack");
    const auto add = [](const char *name, const char *control, const char *text, int at, int byte,
                        const char *readBack) {
        QTest::newRow(name) << QString(control) << QString(text) << at << byte << QString(readBack);
    };
    add("CCIR transmit time 255", "xg1:1:1", "255", 0, 0xFF, "255");
    add("EIA transmit time 0", "xg1:2:1", "0", 3, 0x00, "0");
    add("EIA group code F", "xg1:2:2", "F", 4, 0x0F, "F");
    add("EEA group code 0", "xg1:3:2", "0", 7, 0x00, "0");
    add("ZVEI1 repeat code 9", "xg1:4:3", "9", 11, 0x09, "9");
    add("ZVEI2 repeat code lower case", "xg1:5:3", "b", 14, 0x0B, "B");
    add("ZVEI2 transmit time", "xg1:5:1", "70", 12, 70, "70");
    add("first delay 50", "cb1", "50", 20, 5, "50");
    add("first delay 1000", "cb1", "1000", 20, 100, "1000");
    add("second delay 70", "cb2", "70", 21, 7, "70");
    add("third delay 0", "cb3", "0", 22, 0, "0");
    add("extension 2550", "cb4", "2550", 23, 255, "2550");
}

void TestFiveToneCodec::block0()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(int, at);
    QFETCH(int, byte);
    QFETCH(QString, readBack);

    QByteArray expected = kInitialBlock0;
    expected[at] = char(byte);
    for (const Language language : kLanguages) {
        Texts texts = filledTexts(language);
        textOf(texts, control) = text;
        const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
        QVERIFY2(write.ok(), qPrintable(write.error));
        QCOMPARE(bytesOf(write.payloads[0]).toHex(' '), expected.toHex(' '));

        Texts read = filledTexts(language);
        textOf(read, control) = "?";
        QVERIFY(decodeBlock(frameOf(0, expected).data(), read, language));
        QCOMPARE(textOf(read, control), readBack);
        textOf(read, control) = text;
        QCOMPARE(allTexts(read), allTexts(texts));
    }

    // The radio's digit bytes show their low 4 bits.
    Texts read = initialTexts(Language::English);
    QByteArray digits = kInitialBlock0;
    digits[1] = char(0x3C);
    QVERIFY(decodeBlock(frameOf(0, digits).data(), read, Language::English));
    QCOMPARE(read.standards[0].groupCode, QStringLiteral("C"));
}

void TestFiveToneCodec::encodeRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("cells"); // columns 1 to 5
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("at");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QStringList>("readBack");
    const auto add = [](const char *name, int row, const char *cells, int block, int at,
                        const char *hex, const char *readBack) {
        QTest::newRow(name) << row << split(cells) << block << at << QByteArray::fromHex(hex)
                            << split(readBack);
    };
    add("row 1", 1, "12345,45678,ABCDE,56789,ZVEI1", 1, 0, "452301 785604 DEBC0A 896705 04 00",
        "12345,45678,ABCDE,56789,ZVEI1");
    add("row 2", 2, "00000,FFFFF,0000A,A0000,CCIR", 1, 14, "000000 FFFF0F 0A0000 00000A 01 00",
        "00000,FFFFF,0000A,A0000,CCIR");
    add("row 16", 16, "54321,11111,22222,33333,ZVEI2", 8, 14, "214305 111101 222202 333303 05 00",
        "54321,11111,22222,33333,ZVEI2");
    add("six digits keep the sixth, show five", 5, "123456,12345,12345,12345,EIA", 3, 0,
        "563412 452301 452301 452301 02 00", "23456,12345,12345,12345,EIA");
    add("short codes", 8, "ab,0,7,fffff,EEA", 4, 14, "AB0000 000000 070000 FFFF0F 03 00",
        "000AB,00000,00007,FFFFF,EEA");
}

void TestFiveToneCodec::encodeRows()
{
    QFETCH(int, row);
    QFETCH(QStringList, cells);
    QFETCH(int, block);
    QFETCH(int, at);
    QFETCH(QByteArray, code);
    QFETCH(QStringList, readBack);

    std::array<QByteArray, kBlockCount> expected = filledPayloads();
    expected[block].replace(at, code.size(), code);
    for (const Language language : kLanguages) {
        Texts texts = filledTexts(language);
        texts.encodeRows[row - 1] = rowOf(kEncodeCells, cells);
        const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
        QVERIFY2(write.ok(), qPrintable(write.error));
        for (int b = 0; b < kBlockCount; ++b)
            QCOMPARE(bytesOf(write.payloads[b]).toHex(' '), expected[b].toHex(' '));

        Texts read = initialTexts(language);
        QVERIFY(decodeBlock(frameOf(block, expected[block]).data(), read, language));
        QCOMPARE(cellsOf(kEncodeCells, read.encodeRows[row - 1]), readBack);
    }
}

void TestFiveToneCodec::decodeRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("cells"); // columns 1 to 8
    QTest::addColumn<Language>("language");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("at");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QStringList>("readBack");
    const Language zh = Language::Chinese;
    const Language en = Language::English;
    const auto add = [](const char *name, int row, const char *cells, Language language, int block,
                        int at, const char *hex, const char *readBack) {
        QTest::newRow(name) << row << split(cells) << language << block << at
                            << QByteArray::fromHex(hex) << split(readBack);
    };
    add("standard and functions share bytes", 1, "EEA,12345,ASK,00001,AWAKEN,00002,REMOTE,00003",
        en, 9, 0, "13 452301 010000 68 020000 030000",
        "EEA,12345,ASK,00001,AWAKEN,00002,REMOTE,00003");
    add("Chinese functions", 2, "ZVEI2,ABCDE,主叫,54321,唤醒,FFFFF,遥毙,00000", zh, 9, 14,
        "15 DEBC0A 214305 68 FFFF0F 000000", "ZVEI2,ABCDE,主叫,54321,唤醒,FFFFF,遥毙,00000");
    add("every other function", 15, "EIA,1,BE ASKED,2,MONITOR,3,DETECTION,4", en, 16, 0,
        "22 010000 020000 43 030000 040000",
        "EIA,00001,BE ASKED,00002,MONITOR,00003,DETECTION,00004");
    add("beep and halo", 16, "ZVEI1,5,报警,6,遥晕,7,通话,8", zh, 16, 14,
        "54 050000 060000 07 070000 080000", "ZVEI1,00005,报警,00006,遥晕,00007,通话,00008");
    // Functions are compared with the window's own language; anything else is a call.
    add("English names in a Chinese window", 3, "CCIR,1,ASK,2,AWAKEN,3,主叫,4", zh, 10, 0,
        "01 010000 020000 10 030000 040000", "CCIR,00001,通话,00002,通话,00003,主叫,00004");
    add("Chinese names in an English window", 4, "CCIR,1,CALL,2,遥毙,3,xyz,4", en, 10, 14,
        "01 010000 020000 00 030000 040000", "CCIR,00001,CALL,00002,CALL,00003,CALL,00004");
}

void TestFiveToneCodec::decodeRows()
{
    QFETCH(int, row);
    QFETCH(QStringList, cells);
    QFETCH(Language, language);
    QFETCH(int, block);
    QFETCH(int, at);
    QFETCH(QByteArray, code);
    QFETCH(QStringList, readBack);

    std::array<QByteArray, kBlockCount> expected = filledPayloads();
    expected[block].replace(at, code.size(), code);
    Texts texts = filledTexts(language);
    texts.decodeRows[row - 1] = rowOf(kDecodeCells, cells);
    const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
    QVERIFY2(write.ok(), qPrintable(write.error));
    for (int b = 0; b < kBlockCount; ++b)
        QCOMPARE(bytesOf(write.payloads[b]).toHex(' '), expected[b].toHex(' '));

    Texts read = initialTexts(language);
    QVERIFY(decodeBlock(frameOf(block, expected[block]).data(), read, language));
    QCOMPARE(cellsOf(kDecodeCells, read.decodeRows[row - 1]), readBack);
}

void TestFiveToneCodec::undefinedCodes()
{
    // Function codes 9 to 15 show as a call in either language and go back as 0.
    for (const Language language : kLanguages) {
        QByteArray block12 = filledPayloads()[12];
        block12.replace(14, 14, QByteArray::fromHex("F3 452301 785604 9A DEBC0A 896705"));
        Texts texts = filledTexts(language);
        QVERIFY(decodeBlock(frameOf(12, block12).data(), texts, language));
        const QString call = kFunctionWords[0].word.in(language).toString();
        const DecodeRow &row = texts.decodeRows[7];
        QCOMPARE(QStringList({row.standard, row.function1, row.function2, row.function3}),
                 QStringList({"EEA", call, call, call}));
        const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
        QVERIFY2(write.ok(), qPrintable(write.error));
        QCOMPARE(int(write.payloads[12][14]), 0x03);
        QCOMPARE(int(write.payloads[12][21]), 0x00);
    }
}

void TestFiveToneCodec::unknownStandards()
{
    // A standard code the window has no name for leaves the cell as it was; while the cell holds
    // no name, the write sends the code that was read, so a read and a write change nothing.
    QByteArray block2 = filledPayloads()[2];
    block2[12] = char(0x07);
    block2[26] = char(0x00);
    QByteArray block14 = filledPayloads()[14];
    block14[0] = char(0x29);  // function "asked", standard 9
    block14[14] = char(0x30); // function "monitor", standard 0

    Texts texts = initialTexts(Language::English);
    for (int r = 0; r < kEncodeRowCount; ++r)
        texts.encodeRows[r] = rowOf(kEncodeCells, split("1,2,3,4,"));
    for (int r = 0; r < kDecodeRowCount; ++r)
        texts.decodeRows[r] = rowOf(kDecodeCells, split(",1,CALL,2,CALL,3,CALL,4"));
    texts.encodeRows[3].standard = "kept";
    QVERIFY(decodeBlock(frameOf(2, block2).data(), texts, Language::English));
    QVERIFY(decodeBlock(frameOf(14, block14).data(), texts, Language::English));
    QCOMPARE(texts.encodeRows[2].standard, QString());
    QCOMPARE(texts.encodeRows[3].standard, QStringLiteral("kept"));
    QCOMPARE(texts.decodeRows[10].standard, QString());
    QCOMPARE(texts.decodeRows[10].function1, QStringLiteral("BE ASKED"));
    QCOMPARE(texts.decodeRows[11].function1, QStringLiteral("MONITOR"));

    WriteBlocks<kBlockCount> write = encodeBlocks(texts, Language::English);
    QVERIFY2(write.ok(), qPrintable(write.error));
    QCOMPARE(bytesOf(write.payloads[2]).toHex(' '), block2.toHex(' '));
    QCOMPARE(bytesOf(write.payloads[14]).toHex(' '), block14.toHex(' '));
    // Rows no read has reached write 0.
    QCOMPARE(int(write.payloads[1][12]), 0);
    QCOMPARE(int(write.payloads[9][0]) & 0x0F, 0);

    // A name chosen after the read is what goes.
    texts.encodeRows[2].standard = "ZVEI2";
    texts.decodeRows[10].standard = "EIA";
    write = encodeBlocks(texts, Language::English);
    QVERIFY2(write.ok(), qPrintable(write.error));
    QCOMPARE(int(write.payloads[2][12]), 0x05);
    QCOMPARE(int(write.payloads[14][0]), 0x22);

    // A later read that names the standard replaces the remembered code.
    texts.encodeRows[2].standard.clear();
    block2[12] = char(0x03);
    QVERIFY(decodeBlock(frameOf(2, block2).data(), texts, Language::English));
    QCOMPARE(texts.encodeRows[2].standard, QStringLiteral("EEA"));
    texts.encodeRows[2].standard = "none of the five";
    write = encodeBlocks(texts, Language::English);
    QVERIFY2(write.ok(), qPrintable(write.error));
    QCOMPARE(int(write.payloads[2][12]), 0x03);
}

void TestFiveToneCodec::failures_data()
{
    QTest::addColumn<QString>("control"); // "xgN:R:C" for cells
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
    add("transmit time 256", "xg1:1:1", "256", en,
        "TX Time(ms) (row 1): 256 is out of range (0 to 255)");
    add("transmit time 300, Chinese", "xg1:4:1", "300", zh,
        "发射时长 (ms)(第4行)：300 超出范围（0 至 255）");
    add("transmit time not a number", "xg1:2:1", "fast", en, "'fast' is not a valid integer value");
    add("transmit time empty", "xg1:5:1", "", zh, "'' is not a valid integer value");
    add("group code of two digits", "xg1:2:2", "10", en,
        "Group Code (row 2): 10 is out of range (0 to 15)");
    add("repeat code empty", "xg1:3:3", "", en, "'$' is not a valid integer value");
    add("repeat code not a digit", "xg1:3:3", "G", en, "'$G' is not a valid integer value");
    add("delay not a multiple of 10", "cb1", "55", en, "'5.5' is not a valid integer value");
    add("delay 2560", "cb3", "2560", en,
        "Sending Third Frame Coding Delay Time(ms): 2560 is out of range (0 to 2550)");
    add("code not hexadecimal", "xg2:7:2", "12G45", en, "'$12G45' is not a valid integer value");
    add("code of seven digits", "xg2:5:2", "1234567", en,
        "Second Frame Coding (row 5): 1234567 is out of range (0 to 16777215)");
    add("decode code of seven digits, Chinese", "xg3:9:6", "ABCDEF0", zh,
        "第三帧解码(第9行)：ABCDEF0 超出范围（0 至 16777215）");
    add("response code with a blank", "xg3:12:8", "12 45", en,
        "'$12 45' is not a valid integer value");
}

void TestFiveToneCodec::failures()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(Language, language);
    QFETCH(QString, message);

    Texts texts = filledTexts(language);
    textOf(texts, control) = text;
    // Every cell is checked before block 0 goes: a write that would stop half way sends nothing.
    const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
    QCOMPARE(write.error, message);
    for (const Payload &payload : write.payloads)
        QCOMPARE(bytesOf(payload), kZeros);

    // A later cell that fails as well does not change which failure is reported.
    texts.decodeRows[15].response = "xyz";
    QCOMPARE(encodeBlocks(texts, language).error, message);
}

void TestFiveToneCodec::otherBlocks()
{
    Texts texts = filledTexts(Language::English);
    const QStringList before = allTexts(texts);
    const ReadStandards standardsBefore = texts.readStandards;
    for (const int block : {17, 18, 255})
        QVERIFY(
            !decodeBlock(frameOf(block, QByteArray(28, '\x13')).data(), texts, Language::English));
    QCOMPARE(allTexts(texts), before);
    QVERIFY(texts.readStandards.encode == standardsBefore.encode);
    QVERIFY(texts.readStandards.decode == standardsBefore.decode);
}

void TestFiveToneCodec::roundTrip()
{
    // Blocks as the radio sends them, read into the window's texts and written back: the radio
    // gets every byte it defines back as it sent it, whichever language the window shows. The
    // standard bytes may hold any code; the window has names for five of them.
    QRandomGenerator random(5555);
    // A code is five digits: the top four bits of its third byte are not the radio's.
    const auto code = [&random](quint8 *p) {
        p[0] = quint8(random.bounded(256));
        p[1] = quint8(random.bounded(256));
        p[2] = quint8(random.bounded(16));
    };
    Texts texts = initialTexts(Language::Chinese);
    for (int round = 0; round < 300; ++round) {
        const Language language = kLanguages[round % 2];
        // A standard cell that holds a name writes that name, so a code without one round-trips
        // only into a cell that holds none; the window's rows start empty for those rounds.
        const bool anyStandard = round % 3 == 0;
        if (anyStandard)
            texts = initialTexts(language);
        const auto standard = [&](int bits) {
            return quint8(anyStandard ? random.bounded(1 << bits) : random.bounded(1, 6));
        };

        std::array<QByteArray, kBlockCount> sent;
        sent.fill(kZeros);
        auto *p0 = reinterpret_cast<quint8 *>(sent[0].data());
        for (int s = 0; s < kStandardCount; ++s) {
            p0[3 * s] = quint8(random.bounded(256));
            p0[3 * s + 1] = quint8(random.bounded(16));
            p0[3 * s + 2] = quint8(random.bounded(16));
        }
        for (int at = 20; at <= 23; ++at)
            p0[at] = quint8(random.bounded(256));
        for (int block = 1; block <= 8; ++block) {
            auto *p = reinterpret_cast<quint8 *>(sent[block].data());
            for (const int r : {0, 14}) {
                for (int c = 0; c < 4; ++c)
                    code(p + r + 3 * c);
                p[r + 12] = standard(8);
            }
        }
        for (int block = 9; block <= 16; ++block) {
            auto *p = reinterpret_cast<quint8 *>(sent[block].data());
            for (const int r : {0, 14}) {
                p[r] = quint8(random.bounded(9) << 4 | standard(4));
                code(p + r + 1);
                code(p + r + 4);
                p[r + 7] = quint8(random.bounded(9) << 4 | random.bounded(9));
                code(p + r + 8);
                code(p + r + 11);
            }
        }

        for (int block = 0; block < kBlockCount; ++block)
            QVERIFY(decodeBlock(frameOf(block, sent[block]).data(), texts, language));
        const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
        QVERIFY2(write.ok(), qPrintable(write.error));
        for (int block = 0; block < kBlockCount; ++block)
            QCOMPARE(bytesOf(write.payloads[block]).toHex(' '), sent[block].toHex(' '));
    }
}

void TestFiveToneCodec::encodeRowRule_data()
{
    QTest::addColumn<QStringList>("before"); // columns 1 to 5, the committed cell already set
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("previous");
    QTest::addColumn<QStringList>("after");
    const auto add = [](const char *name, const char *before, int column, const char *previous,
                        const char *after) {
        QTest::newRow(name) << split(before) << column << QString(previous) << split(after);
    };
    add("first code typed in an empty row", "11111,,,,", 1, "", "11111,12345,45678,ABCDE,CCIR");
    add("first code changed replaces the row", "22222,00001,00002,00003,ZVEI2", 1, "11111",
        "22222,12345,45678,ABCDE,CCIR");
    add("first code committed unchanged", "22222,00001,00002,00003,ZVEI2", 1, "22222",
        "22222,00001,00002,00003,ZVEI2");
    add("first code cleared", ",00001,00002,00003,ZVEI2", 1, "22222", ",,,,");
    add("first code a single blank", " ,00001,00002,00003,ZVEI2", 1, "22222", ",,,,");
    add("edit without a first code is undone", ",,99999,,", 3, "", ",,,,");
    add("standard chosen without a first code", ",,,,EIA", 5, "", ",,,,");
    add("edit in a started row stays", "12345,12345,99999,ABCDE,CCIR", 3, "45678",
        "12345,12345,99999,ABCDE,CCIR");
}

void TestFiveToneCodec::encodeRowRule()
{
    QFETCH(QStringList, before);
    QFETCH(int, column);
    QFETCH(QString, previous);
    QFETCH(QStringList, after);

    for (const Language language : kLanguages) {
        const EncodeRow row =
            applyEncodeRowRule(rowOf(kEncodeCells, before), column, previous, language);
        QCOMPARE(cellsOf(kEncodeCells, row), after);
    }
}

void TestFiveToneCodec::decodeRowRule_data()
{
    QTest::addColumn<QStringList>("before"); // columns 1 to 8, the committed cell already set
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("previous");
    QTest::addColumn<Language>("language");
    QTest::addColumn<QStringList>("after");
    const Language zh = Language::Chinese;
    const Language en = Language::English;
    const auto add = [](const char *name, const char *before, int column, const char *previous,
                        Language language, const char *after) {
        QTest::newRow(name) << split(before) << column << QString(previous) << language
                            << split(after);
    };
    add("standard chosen, English", "EEA,,,,,,,", 1, "", en,
        "EEA,12345,CALL,45678,ASK,ABCDE,BE ASKED,56789");
    add("standard chosen, Chinese", "CCIR,,,,,,,", 1, "", zh,
        "CCIR,12345,通话,45678,主叫,ABCDE,被叫,56789");
    add("standard changed replaces the row", "ZVEI1,11111,AWAKEN,22222,BEEP,33333,REMOTE,44444", 1,
        "CCIR", en, "ZVEI1,12345,CALL,45678,ASK,ABCDE,BE ASKED,56789");
    add("standard committed unchanged", "ZVEI1,11111,AWAKEN,22222,BEEP,33333,REMOTE,44444", 1,
        "ZVEI1", en, "ZVEI1,11111,AWAKEN,22222,BEEP,33333,REMOTE,44444");
    add("edit without a standard is undone", ",,,,,,99999,", 7, "", en, ",,,,,,,");
    add("edit in a read row without a standard is undone",
        ",11111,唤醒,22222,报警,99999,遥毙,44444", 6, "33333", zh,
        ",11111,唤醒,22222,报警,33333,遥毙,44444");
    add("standard cleared keeps the rest", ",11111,CALL,22222,ASK,33333,BE ASKED,44444", 1, "EIA",
        en, ",11111,CALL,22222,ASK,33333,BE ASKED,44444");
    add("edit in a row with a standard stays", "EIA,11111,MONITOR,22222,ASK,33333,CALL,44444", 3,
        "CALL", en, "EIA,11111,MONITOR,22222,ASK,33333,CALL,44444");
}

void TestFiveToneCodec::decodeRowRule()
{
    QFETCH(QStringList, before);
    QFETCH(int, column);
    QFETCH(QString, previous);
    QFETCH(Language, language);
    QFETCH(QStringList, after);

    const DecodeRow row =
        applyDecodeRowRule(rowOf(kDecodeCells, before), column, previous, language);
    QCOMPARE(cellsOf(kDecodeCells, row), after);
}

void TestFiveToneCodec::toneTables_data()
{
    // Digits 0 to 9 and A to F, as the tone edits show them.
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QStringList>("tones");
    const auto add = [](const char *standard, const char *tones) {
        QTest::newRow(standard) << QString(standard) << QString(tones).split(' ');
    };
    add("CCIR", "1981.0 1124.0 1197.0 1275.0 1358.0 1446.0 1540.0 1640.0 1747.0 1860.0 "
                "2400.0 930.0 2247.0 991.0 2110.0 1055.0");
    add("EIA", "600.0 741.0 882.0 1023.0 1164.0 1305.0 1446.0 1587.0 1728.0 1869.0 "
               "2151.0 2433.0 2010.0 2292.0 459.0 1091.0");
    add("EEA", "1981.0 1124.0 1197.0 1275.0 1358.0 1446.0 1540.0 1640.0 1747.0 1860.0 "
               "1055.0 930.0 2400.0 991.0 2110.0 2247.0");
    add("ZVEI1", "2400.0 1060.0 1160.0 1270.0 1400.0 1530.0 1670.0 1830.0 2000.0 2200.0 "
                 "2800.0 810.0 970.0 885.0 2600.0 680.0");
    add("ZVEI2", "2400.0 1060.0 1160.0 1270.0 1400.0 1530.0 1670.0 1830.0 2000.0 2200.0 "
                 "885.0 810.0 740.0 680.0 970.0 2600.0");
}

void TestFiveToneCodec::toneTables()
{
    QFETCH(QString, standard);
    QFETCH(QStringList, tones);

    QCOMPARE(tones.size(), kDigitCount);
    QCOMPARE(toneTexts(standard), tones);
    // Only the exact names choose a table; the tone edits then keep what they show.
    QVERIFY(toneTexts(standard.toLower()).isEmpty());
    QVERIFY(toneTexts(u"").isEmpty());
}

void TestFiveToneCodec::listsMatchTheBlock()
{
    // Every item of the delay lists writes a byte that reads back as the same item.
    for (const Control<Texts> &c : kControls) {
        if (c.name == u"CCIR" || c.kind != ControlKind::ComboBox)
            continue;
        const QStringList list = items(c.items, Language::English);
        QCOMPARE(list.size(), 20);
        for (const QString &item : list) {
            Texts texts = filledTexts(Language::English);
            texts.*c.text = item;
            const WriteBlocks<kBlockCount> write = encodeBlocks(texts, Language::English);
            QVERIFY2(write.ok(), qPrintable(write.error));
            Texts read = initialTexts(Language::English);
            QVERIFY(decodeBlock(frameOf(0, bytesOf(write.payloads[0])).data(), read,
                                Language::English));
            QCOMPARE(read.*c.text, item);
        }
    }

    // Each word of a grid editor writes its code into the cell's bits and reads back as itself.
    for (const Language language : kLanguages) {
        const QStringList digits = items(kDigitColumn.items, language);
        QCOMPARE(digits.size(), 16);
        for (int i = 0; i < digits.size(); ++i) {
            Texts texts = filledTexts(language);
            texts.standards[i % kStandardCount].groupCode = digits[i];
            const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
            QVERIFY2(write.ok(), qPrintable(write.error));
            QCOMPARE(int(write.payloads[0][3 * (i % kStandardCount) + 1]), i);
        }

        const QStringList standards = items(kEncodeColumns[5].items, language);
        QCOMPARE(standards, QStringList({"CCIR", "EIA", "EEA", "ZVEI1", "ZVEI2"}));
        QCOMPARE(items(kDecodeColumns[1].items, language), standards);
        for (int i = 0; i < standards.size(); ++i) {
            Texts texts = filledTexts(language);
            texts.encodeRows[0].standard = standards[i];
            texts.decodeRows[0].standard = standards[i];
            const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
            QVERIFY2(write.ok(), qPrintable(write.error));
            QCOMPARE(int(write.payloads[1][12]), i + 1);
            QCOMPARE(int(write.payloads[9][0]), 0x00 | (i + 1));
        }

        const QStringList functions = items(kFunctionColumn.items, language);
        QCOMPARE(functions.size(), 9);
        for (int code = 0; code < functions.size(); ++code) {
            Texts texts = filledTexts(language);
            DecodeRow &row = texts.decodeRows[5];
            row.function1 = row.function2 = row.function3 = functions[code];
            const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
            QVERIFY2(write.ok(), qPrintable(write.error));
            QCOMPARE(int(write.payloads[11][14]), code << 4 | 1);
            QCOMPARE(int(write.payloads[11][21]), code << 4 | code);
            Texts read = initialTexts(language);
            QVERIFY(decodeBlock(frameOf(11, bytesOf(write.payloads[11])).data(), read, language));
            const DecodeRow &back = read.decodeRows[5];
            QCOMPARE(QStringList({back.function1, back.function2, back.function3}),
                     QStringList(3, functions[code]));
        }
    }
    QCOMPARE(items(kFunctionColumn.items, Language::English),
             QStringList({"CALL", "ASK", "BE ASKED", "MONITOR", "DETECTION", "BEEP", "REMOTE",
                          "REMOTE HALO", "AWAKEN"}));
}

void TestFiveToneCodec::captionsAndColumns()
{
    // Every label a control names and every grid column has its caption, and no caption is
    // given twice.
    QSet<QString> seen;
    for (const Caption &caption : kCaptions) {
        const QString key = caption.control.toString() + '/' + QString::number(caption.column);
        QVERIFY2(!seen.contains(key), qPrintable(key));
        seen.insert(key);
        QVERIFY(!caption.text.chinese.isEmpty() && !caption.text.english.isEmpty());
    }
    for (const Control<Texts> &c : kControls)
        QVERIFY2(seen.contains(c.label.toString() + "/-1"), qPrintable(c.label.toString()));
    const auto hasColumns = [&seen](QStringView grid, int count) {
        for (int column = 0; column < count; ++column) {
            if (!seen.contains(grid.toString() + '/' + QString::number(column)))
                return false;
        }
        return !seen.contains(grid.toString() + '/' + QString::number(count));
    };
    QVERIFY(hasColumns(kStandardGrid, int(std::size(kStandardColumns))));
    QVERIFY(hasColumns(kEncodeGrid, int(std::size(kEncodeColumns))));
    QVERIFY(hasColumns(kDecodeGrid, int(std::size(kDecodeColumns))));

    // The two blanks of the encode table's standard header are the window's own.
    QCOMPARE(caption::kEncodeStandard.english.toString(), QStringLiteral("Use  Standard"));
    QCOMPARE(caption::kDecodeStandard.english.toString(), QStringLiteral("Use Standard"));

    // Only the function columns change their editor and their words with the language.
    for (int column = 0; column < int(std::size(kDecodeColumns)); ++column) {
        const GridColumn &c = kDecodeColumns[column];
        QCOMPARE(c.editor.chinese != c.editor.english, column == 3 || column == 5 || column == 7);
        QVERIFY(c.widthChinese > 0 && c.widthEnglish > 0);
    }
    QCOMPARE(translate(kFunctionColumn.items, "唤醒", Language::English), QStringLiteral("AWAKEN"));
    QCOMPARE(translate(kFunctionColumn.items, "REMOTE HALO", Language::Chinese),
             QStringLiteral("遥晕"));
    QCOMPARE(translate(kFunctionColumn.items, "12345", Language::Chinese), QStringLiteral("12345"));

    // A fresh window shows CCIR's tones, every standard at 100 ms, "A" and "E".
    for (const Language language : kLanguages) {
        const Texts texts = initialTexts(language);
        QCOMPARE(texts.CCIR, QStringLiteral("CCIR"));
        QCOMPARE(texts.ed1, QStringLiteral("6000"));
        for (const StandardRow &row : texts.standards)
            QCOMPARE(cellsOf(kStandardCells, row), split("100,A,E"));
    }
    QVERIFY(kSizeEnglish.width > kSizeChinese.width);
}

QTEST_GUILESS_MAIN(TestFiveToneCodec)
#include "tst_fivetonecodec.moc"
