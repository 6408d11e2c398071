// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/twotone/twotoneblocks.h"
#include "signalling/twotone/twotonecontrols.h"

#include "support/codecframes.h"
#include <QRandomGenerator>

#include <QtTest>

using namespace wf;
using namespace wf::twotone;

Q_DECLARE_METATYPE(wf::Language)

namespace {

constexpr Language kLanguages[] = {Language::Chinese, Language::English};

// Block 0 as a fresh window writes it: tones 1981, 1124, 1197, 1275 Hz, reset 6000 ms, the three
// times 500 ms, no encode pairs.
const QByteArray kInitialBlock0 =
    QByteArray::fromHex("BD 07 64 04 AD 04 FB 04 70 17 F4 01 F4 01 F4 01") + QByteArray(12, '\0');

const QByteArray kZeros(frame::kPayloadSize, '\0');

// A data frame of this bank as the radio sends it.
std::array<quint8, frame::kBlockFrameSize> frameOf(int block, const QByteArray &payload)
{
    return codecFrame(Bank::TwoTone, block, payload);
}

// A control by its object name, or a cell as "xg1:R:C" or "xg2:R:C" (row R, column C).
QString &textOf(Texts &texts, const QString &name)
{
    if (name.startsWith("xg")) {
        const int row = name.section(':', 1, 1).toInt();
        const int column = name.section(':', 2, 2).toInt();
        QString *cell = name.startsWith("xg1")
                            ? cellText(kEncodeCells, texts.pairs[row - 1], column)
                            : cellText(kDecodeCells, texts.decodeRows[row - 1], column);
        Q_ASSERT(cell);
        return *cell;
    }
    for (const Control<Texts> &c : kControls) {
        if (c.name == name)
            return texts.*c.text;
    }
    Q_UNREACHABLE();
}

QStringList cellsOf(const DecodeRow &row)
{
    QStringList cells;
    for (const GridCell<DecodeRow> &cell : kDecodeCells)
        cells << row.*cell.text;
    return cells;
}

DecodeRow rowOf(const QStringList &cells)
{
    DecodeRow row;
    for (int i = 0; i < cells.size(); ++i)
        row.*kDecodeCells[i].text = cells[i];
    return row;
}

QStringList allTexts(const Texts &texts)
{
    QStringList all = {texts.ed1, texts.ed2, texts.ed3, texts.ed4,
                       texts.ed5, texts.cb1, texts.cb2, texts.cb3};
    for (const EncodePair &pair : texts.pairs)
        all << pair.first << pair.second;
    for (const DecodeRow &row : texts.decodeRows)
        all << cellsOf(row);
    return all;
}

QStringList decodeRowCells(const char *texts)
{
    return QString::fromUtf8(texts).split(',');
}

} // namespace

class TestTwoToneCodec final : public QObject
{
    Q_OBJECT

private slots:
    void initialWrite();
    void fields_data();
    void fields();
    void decodeRows_data();
    void decodeRows();
    void pairText_data();
    void pairText();
    void incompleteRead();
    void failures_data();
    void failures();
    void otherBlocks();
    void roundTrip();
    void decodeRowRule_data();
    void decodeRowRule();
    void listsMatchTheBlock();
    void captionsAndColumns();
};

void TestTwoToneCodec::initialWrite()
{
    // Twelve blocks, the last one all zero: it stands for decode rows the radio does not have.
    for (const Language language : kLanguages) {
        const WriteBlocks<kBlockCount> write = encodeBlocks(initialTexts(language), language);
        QVERIFY2(write.ok(), qPrintable(write.error));
        QCOMPARE(int(write.payloads.size()), 12);
        QCOMPARE(bytesOf(write.payloads[0]).toHex(' '), kInitialBlock0.toHex(' '));
        for (int block = 1; block < kBlockCount; ++block)
            QCOMPARE(bytesOf(write.payloads[block]), kZeros);
    }
}

void TestTwoToneCodec::fields_data()
{
    QTest::addColumn<QString>("control"); // "xg1:R:C" for the cells of the encode table
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
    add("tone A as a whole decimal", "ed1", "1981.0", 0, 0, "BD07", "1981");
    add("tone B exponent", "ed2", "1.5E3", 0, 2, "DC05", "1500");
    add("tone C 0", "ed3", "0", 0, 4, "0000", "0");
    add("tone D largest", "ed4", "65535", 0, 6, "FFFF", "65535");
    add("reset time 6000", "ed5", "6000", 0, 8, "7017", "6000");
    add("reset time 0", "ed5", "0", 0, 8, "0000", "0");
    add("first tone time 50", "cb1", "50", 0, 10, "3200", "50");
    add("second tone time 1000", "cb2", "1000", 0, 12, "E803", "1000");
    add("interval the list lacks", "cb3", "777", 0, 14, "0903", "777");
    add("pair 1 first", "xg1:1:1", "1000", 0, 20, "E803", "1000");
    add("pair 1 second", "xg1:1:2", "65535", 0, 22, "FFFF", "65535");
    add("pair 2 first", "xg1:2:1", "300", 0, 24, "2C01", "300");
    add("pair 2 second", "xg1:2:2", "2", 0, 26, "0200", "2");
    add("pair 3 first", "xg1:3:1", "1", 1, 0, "0100", "1");
    add("pair 9 second", "xg1:9:2", "4096", 1, 26, "0010", "4096");
    add("pair 10 first", "xg1:10:1", "999", 2, 0, "E703", "999");
    add("pair 16 second", "xg1:16:2", "12345", 2, 26, "3930", "12345");
    add("pair 0 reads back empty", "xg1:5:1", "0", 1, 8, "0000", "");
    add("pair one space", "xg1:12:2", " ", 2, 10, "0000", "");
}

void TestTwoToneCodec::fields()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(int, block);
    QFETCH(int, at);
    QFETCH(QByteArray, code);
    QFETCH(QString, readBack);

    std::array<QByteArray, kBlockCount> expected;
    expected.fill(kZeros);
    expected[0] = kInitialBlock0;
    expected[block].replace(at, code.size(), code);
    for (const Language language : kLanguages) {
        Texts texts = initialTexts(language);
        textOf(texts, control) = text;
        const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
        QVERIFY2(write.ok(), qPrintable(write.error));
        for (int b = 0; b < kBlockCount; ++b)
            QCOMPARE(bytesOf(write.payloads[b]).toHex(' '), expected[b].toHex(' '));

        Texts read = initialTexts(language);
        textOf(read, control) = "?";
        QVERIFY(decodeBlock(frameOf(block, expected[block]).data(), read, language));
        QCOMPARE(textOf(read, control), readBack);
        textOf(read, control) = text;
        QCOMPARE(allTexts(read), allTexts(texts));
    }
}

void TestTwoToneCodec::decodeRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("cells"); // columns 1 to 12
    QTest::addColumn<Language>("language");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("at");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QStringList>("readBack"); // what the bytes show in a row of "?"
    const Language zh = Language::Chinese;
    const Language en = Language::English;
    const auto add = [](const char *name, int row, const char *cells, Language language, int block,
                        int at, const char *hex, const char *readBack) {
        QTest::newRow(name) << row << decodeRowCells(cells) << language << block << at
                            << QByteArray::fromHex(hex) << decodeRowCells(readBack);
    };
    add("row 1, English", 1, "DB,REMIND,16,AB,NONE,1,CD,REPLY,2,DA,REMIND+REPLY,255", en, 3, 0,
        "DB0110 AB0001 CD0202 DA03FF", "DB,REMIND,16,AB,NONE,1,CD,REPLY,2,DA,REMIND+REPLY,255");
    add("row 2, Chinese", 2, "AB,提醒并回复,1,BA,回复,2,AC,提醒,3,CA,无,4", zh, 3, 12,
        "AB0301 BA0202 AC0103 CA0004", "AB,提醒并回复,1,BA,回复,2,AC,提醒,3,CA,无,4");
    add("row 3 in block 4", 3, "AD,NONE,1,AB,NONE,1,AB,NONE,1,AB,NONE,1", en, 4, 0,
        "AD0001 AB0001 AB0001 AB0001", "AD,NONE,1,AB,NONE,1,AB,NONE,1,AB,NONE,1");
    add("row 16 in block 10", 16, "DC,REPLY,0,DB,REPLY,8,BD,REPLY,9,CB,REPLY,10", en, 10, 12,
        "DC0200 DB0208 BD0209 CB020A", "DC,REPLY,0,DB,REPLY,8,BD,REPLY,9,CB,REPLY,10");
    add("lower-case pair", 5, "db,NONE,1,AB,NONE,1,AB,NONE,1,AB,NONE,1", en, 5, 0,
        "DB0001 AB0001 AB0001 AB0001", "DB,NONE,1,AB,NONE,1,AB,NONE,1,AB,NONE,1");
    // Responses are compared with the window's own language only; any other text writes 0.
    add("English word in a Chinese window", 7, "AB,REMIND,1,AB,提醒,1,AB,REPLY,1,AB,xyz,1", zh, 6,
        0, "AB0001 AB0101 AB0001 AB0001", "AB,无,1,AB,提醒,1,AB,无,1,AB,无,1");
    add("Chinese word in an English window", 8, "AB,提醒,1,AB,REMIND,1,AB,,1,AB,NONE,1", en, 6, 12,
        "AB0001 AB0101 AB0001 AB0001", "AB,NONE,1,AB,REMIND,1,AB,NONE,1,AB,NONE,1");
    // A decoder without a pair still has its response and prompt, which the radio keeps; only
    // three empty cells are an unused decoder.
    add("row without a first pair", 9, ",REMIND,3,DB,REPLY,4,CD,NONE,5,AB,NONE,6", en, 7, 0,
        "000103 DB0204 CD0005 AB0006", ",REMIND,3,DB,REPLY,4,CD,NONE,5,AB,NONE,6");
    add("row with a blank first pair", 10, " ,NONE,1,AB,NONE,1,AB,NONE,1,AB,NONE,1", zh, 7, 12,
        "000001 AB0001 AB0001 AB0001", ",无,1,AB,无,1,AB,无,1,AB,无,1");
    add("unused decoders", 11, "AB,REPLY,2,,,, ,,,DB,NONE,4", en, 8, 0,
        "AB0202 000000 000000 DB0004", "AB,REPLY,2,,,,,,,DB,NONE,4");
}

void TestTwoToneCodec::decodeRows()
{
    QFETCH(int, row);
    QFETCH(QStringList, cells);
    QFETCH(Language, language);
    QFETCH(int, block);
    QFETCH(int, at);
    QFETCH(QByteArray, code);
    QFETCH(QStringList, readBack);

    Texts texts = initialTexts(language);
    texts.decodeRows[row - 1] = rowOf(cells);
    const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
    QVERIFY2(write.ok(), qPrintable(write.error));
    QByteArray expected = kZeros;
    expected.replace(at, code.size(), code);
    QCOMPARE(bytesOf(write.payloads[block]).toHex(' '), expected.toHex(' '));
    for (int b = 1; b < kBlockCount; ++b) {
        if (b != block)
            QCOMPARE(bytesOf(write.payloads[b]), kZeros);
    }

    Texts read = initialTexts(language);
    read.decodeRows.fill(rowOf(QStringList(12, "?")));
    QVERIFY(decodeBlock(frameOf(block, expected).data(), read, language));
    QCOMPARE(cellsOf(read.decodeRows[row - 1]), readBack);
    // The other row of the block holds zeros: every cell empties.
    const int other = row % 2 ? row + 1 : row - 1;
    QCOMPARE(cellsOf(read.decodeRows[other - 1]), decodeRowCells(",,,,,,,,,,,"));
}

void TestTwoToneCodec::pairText_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("writtenBack");
    QTest::newRow("AB") << 0xAB << "AB" << 0xAB;
    QTest::newRow("DB") << 0xDB << "DB" << 0xDB;
    QTest::newRow("AA, not in the list") << 0xAA << "AA" << 0xAA;
    QTest::newRow("1B shows only B") << 0x1B << "B" << 0x0B;
    QTest::newRow("A0 shows only A") << 0xA0 << "A" << 0x0A;
    QTest::newRow("EF shows nothing") << 0xEF << "" << 0x00;
}

void TestTwoToneCodec::pairText()
{
    QFETCH(int, byte);
    QFETCH(QString, shown);
    QFETCH(int, writtenBack);

    // The pair of the second decoder; a pair that shows nothing is written as no pair.
    QByteArray block3 = kZeros;
    block3.replace(0, 12, QByteArray::fromHex("AB0001 000001 AB0001 AB0001"));
    block3[3] = char(byte);
    for (const Language language : kLanguages) {
        Texts texts = initialTexts(language);
        QVERIFY(decodeBlock(frameOf(3, block3).data(), texts, language));
        QCOMPARE(texts.decodeRows[0].decode2, shown);
        const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
        QVERIFY2(write.ok(), qPrintable(write.error));
        QCOMPARE(int(write.payloads[3][3]), writtenBack);
    }
}

void TestTwoToneCodec::incompleteRead()
{
    // Rows with a decoder the radio keeps unused, or without a pair, are shown as they are and
    // written back byte for byte: a read and a write zero nothing the radio holds.
    QByteArray block4 = kZeros;
    block4.replace(0, 12, QByteArray::fromHex("AB0105 000302 CD0207 DA0308"));
    block4.replace(12, 12, QByteArray::fromHex("000000 BA0203 AB0001 AB0001"));
    Texts texts = initialTexts(Language::English);
    texts.decodeRows[2] = rowOf(decodeRowCells("AB,NONE,1,BC,REPLY,9,AB,NONE,1,AB,NONE,1"));
    texts.decodeRows[3] = texts.decodeRows[2];
    QVERIFY(decodeBlock(frameOf(4, block4).data(), texts, Language::English));
    QCOMPARE(cellsOf(texts.decodeRows[2]),
             decodeRowCells("AB,REMIND,5,,REMIND+REPLY,2,CD,REPLY,7,DA,REMIND+REPLY,8"));
    QCOMPARE(cellsOf(texts.decodeRows[3]), decodeRowCells(",,,BA,REPLY,3,AB,NONE,1,AB,NONE,1"));

    const WriteBlocks<kBlockCount> write = encodeBlocks(texts, Language::English);
    QVERIFY2(write.ok(), qPrintable(write.error));
    QCOMPARE(bytesOf(write.payloads[4]).toHex(' '), block4.toHex(' '));

    // A response code the radio does not define leaves the cell as it was.
    QByteArray block5 = kZeros;
    block5.replace(0, 12, QByteArray::fromHex("AB0401 ACFF02 AD0203 BA0304"));
    texts.decodeRows[4] = rowOf(decodeRowCells("AB,kept,1,AB,提醒,1,AB,NONE,1,AB,NONE,1"));
    QVERIFY(decodeBlock(frameOf(5, block5).data(), texts, Language::English));
    QCOMPARE(cellsOf(texts.decodeRows[4]),
             decodeRowCells("AB,kept,1,AC,提醒,2,AD,REPLY,3,BA,REMIND+REPLY,4"));
}

void TestTwoToneCodec::failures_data()
{
    QTest::addColumn<QString>("control"); // "xg1:R:C" and "xg2:R:C" for cells
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
    add("tone with a fraction", "ed1", "1981.5", en, "'1981.5' is not a valid integer value");
    add("tone not a number", "ed2", "11x4", zh, "'11x4' is not a valid floating point value");
    add("tone 70000", "ed3", "70000", en, "Ctone(hz): 70000 is out of range (0 to 65535)");
    add("tone negative, Chinese", "ed4", "-1", zh, "D音(HZ)：-1 超出范围（0 至 65535）");
    add("reset time empty", "ed5", "", en, "'' is not a valid integer value");
    add("reset time 70000", "ed5", "70000", en,
        "Rest Time(ms): 70000 is out of range (0 to 65535)");
    add("reset time decimal", "ed5", "6000.0", zh, "'6000.0' is not a valid integer value");
    add("tone time word", "cb1", "long", en, "'long' is not a valid integer value");
    add("interval 65536", "cb3", "65536", zh,
        "前后两个频率的间隔时间长(MS)：65536 超出范围（0 至 65535）");
    add("frequency 70000", "xg1:1:1", "70000", en,
        "First Frequency(hz) (row 1): 70000 is out of range (0 to 65535)");
    add("frequency 70000, Chinese", "xg1:10:2", "70000", zh,
        "第二个频率(HZ)(第10行)：70000 超出范围（0 至 65535）");
    add("frequency with a fraction", "xg1:16:1", "1000.5", en,
        "'1000.5' is not a valid integer value");
    add("pair not hexadecimal", "xg2:1:1", "XY", en, "'$XY' is not a valid integer value");
    add("pair of three letters", "xg2:2:4", "ABC", en,
        "Decode2 (row 2): ABC is out of range (0 to 255)");
    add("pair not a pair", "xg2:3:7", "G", zh, "'$G' is not a valid integer value");
    add("prompt 300", "xg2:4:3", "300", en, "Prompt (row 4): 300 is out of range (0 to 255)");
    add("prompt 300, Chinese", "xg2:16:12", "300", zh, "提示(第16行)：300 超出范围（0 至 255）");
    add("prompt not a number", "xg2:15:6", "one", en, "'one' is not a valid integer value");
    add("prompt empty", "xg2:8:9", "", en, "'' is not a valid integer value");
}

void TestTwoToneCodec::failures()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(Language, language);
    QFETCH(QString, message);

    Texts texts = initialTexts(language);
    const DecodeRow complete = rowOf(decodeRowCells("AB,,1,AB,,1,AB,,1,AB,,1"));
    texts.decodeRows.fill(complete);
    textOf(texts, control) = text;
    // Nothing of a write is sent when any block fails, so no payloads come back.
    const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
    QCOMPARE(write.error, message);
    for (const Payload &payload : write.payloads)
        QCOMPARE(bytesOf(payload), kZeros);

    // A later cell that fails as well does not change which failure is reported.
    if (control != QLatin1String("xg2:16:12")) {
        texts.decodeRows[15].prompt4 = "bad";
        QCOMPARE(encodeBlocks(texts, language).error, message);
    }
}

void TestTwoToneCodec::otherBlocks()
{
    // Block 11 is written but never read; the radio has nothing beyond it.
    Texts texts = initialTexts(Language::Chinese);
    texts.pairs[0].first = "1";
    texts.decodeRows[15] = rowOf(decodeRowCells("AB,无,1,AB,无,1,AB,无,1,AB,无,1"));
    const QStringList before = allTexts(texts);
    for (const int block : {11, 12, 255})
        QVERIFY(
            !decodeBlock(frameOf(block, QByteArray(28, '\xAB')).data(), texts, Language::Chinese));
    QCOMPARE(allTexts(texts), before);
}

void TestTwoToneCodec::roundTrip()
{
    // Blocks as the radio sends them, read into the window's texts and written back: the radio
    // gets every byte it defines back as it sent it, whichever language the window shows.
    QRandomGenerator random(3303);
    const auto pairByte = [&random] {
        return quint8(random.bounded(0xA, 0xE) << 4 | random.bounded(0xA, 0xE));
    };
    Texts texts = initialTexts(Language::English);
    for (int round = 0; round < 300; ++round) {
        const Language language = kLanguages[round % 2];
        std::array<QByteArray, kBlockCount> sent;
        sent.fill(kZeros);
        for (int block = 0; block < 3; ++block) {
            for (char &byte : sent[block])
                byte = char(random.bounded(4) ? random.bounded(256) : 0);
        }
        sent[0].replace(16, 4, QByteArray(4, '\0'));
        for (int block = 3; block <= 10; ++block) {
            auto *p = reinterpret_cast<quint8 *>(sent[block].data());
            for (const int at : {0, 12}) {
                if (random.bounded(5) == 0)
                    continue; // an empty row
                for (int d = 0; d < kDecodersPerRow; ++d) {
                    if (random.bounded(6) == 0)
                        continue; // a decoder left unused
                    // Now and then a decoder without a pair, which keeps its other bytes.
                    p[at + 3 * d] = random.bounded(6) ? pairByte() : 0;
                    p[at + 3 * d + 1] = quint8(random.bounded(4));
                    p[at + 3 * d + 2] = quint8(random.bounded(256));
                }
            }
        }

        for (int block = 0; block < kReadBlockCount; ++block)
            QVERIFY(decodeBlock(frameOf(block, sent[block]).data(), texts, language));
        const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
        QVERIFY2(write.ok(), qPrintable(write.error));
        for (int block = 0; block < kBlockCount; ++block)
            QCOMPARE(bytesOf(write.payloads[block]).toHex(' '), sent[block].toHex(' '));
    }
}

void TestTwoToneCodec::decodeRowRule_data()
{
    QTest::addColumn<QStringList>("before"); // columns 1 to 12, the committed cell already set
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("previous");
    QTest::addColumn<Language>("language");
    QTest::addColumn<QStringList>("after");
    const Language zh = Language::Chinese;
    const Language en = Language::English;
    const auto add = [](const char *name, const char *before, int column, const char *previous,
                        Language language, const char *after) {
        QTest::newRow(name) << decodeRowCells(before) << column << QString::fromUtf8(previous)
                            << language << decodeRowCells(after);
    };
    add("pair chosen in an empty row, Chinese", "DB,,,,,,,,,,,", 1, "", zh,
        "DB,无,1,AB,无,1,AB,无,1,AB,无,1");
    add("pair chosen in an empty row, English", "AB,,,,,,,,,,,", 1, "", en,
        "AB,NONE,1,AB,NONE,1,AB,NONE,1,AB,NONE,1");
    add("first pair changed resets the row", "CD,REPLY,5,DB,REMIND,6,BA,NONE,7,DC,REPLY,8", 1, "AB",
        en, "CD,NONE,1,AB,NONE,1,AB,NONE,1,AB,NONE,1");
    add("first pair committed unchanged", "CD,REPLY,5,DB,REMIND,6,BA,NONE,7,DC,REPLY,8", 1, "CD",
        en, "CD,REPLY,5,DB,REMIND,6,BA,NONE,7,DC,REPLY,8");
    add("typing into a row without first pair", ",,,,REPLY,,,,,,,", 5, "", en, ",,,,,,,,,,,");
    add("a row read without first pair empties on an edit",
        ",REMIND,5,BC,REPLY,9,CD,提醒,7,DA,NONE,8", 9, "7", zh, ",,,,,,,,,,,");
    add("first pair cleared", ",NONE,1,AB,NONE,1,AB,NONE,1,AB,NONE,1", 1, "AB", en, ",,,,,,,,,,,");
    add("first pair a single space", " ,NONE,1,AB,NONE,1,AB,NONE,1,AB,NONE,1", 1, "AB", en,
        ",,,,,,,,,,,");
    add("edit in a complete row stays", "AB,NONE,1,AB,REMIND+REPLY,1,AB,NONE,1,AB,NONE,16", 5,
        "NONE", en, "AB,NONE,1,AB,REMIND+REPLY,1,AB,NONE,1,AB,NONE,16");
}

void TestTwoToneCodec::decodeRowRule()
{
    QFETCH(QStringList, before);
    QFETCH(int, column);
    QFETCH(QString, previous);
    QFETCH(Language, language);
    QFETCH(QStringList, after);

    QCOMPARE(cellsOf(applyDecodeRowRule(rowOf(before), column, previous, language)), after);
}

void TestTwoToneCodec::listsMatchTheBlock()
{
    // Every item of every list and grid editor writes a byte the window reads back as the same
    // item, in both languages; items that name a code write that code.
    for (const Language language : kLanguages) {
        for (const Control<Texts> &c : kControls) {
            if (c.kind != ControlKind::ComboBox)
                continue;
            const QStringList list = items(c.items, language);
            QCOMPARE(list.size(), 20);
            for (const QString &item : list) {
                Texts texts = initialTexts(language);
                texts.*c.text = item;
                const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
                QVERIFY2(write.ok(), qPrintable(write.error));
                Texts read = initialTexts(language);
                read.*c.text = "?";
                QVERIFY(decodeBlock(frameOf(0, bytesOf(write.payloads[0])).data(), read, language));
                QCOMPARE(read.*c.text, item);
            }
        }

        // Decode rows of the same column, one item a row, so each column's items all appear.
        for (int column = 1; column <= 12; ++column) {
            const GridColumn &editor = kDecodeColumns[column];
            const QStringList list = items(editor.items, language);
            QVERIFY(!list.isEmpty());
            QVERIFY(list.contains(editor.defaultText.in(language).toString()));
            for (int first = 0; first < list.size(); first += kDecodeRowCount) {
                Texts texts = initialTexts(language);
                for (int r = 0; r < kDecodeRowCount; ++r) {
                    DecodeRow &row = texts.decodeRows[r];
                    row =
                        applyDecodeRowRule(rowOf(decodeRowCells("AB,,,,,,,,,,,")), 1, "", language);
                    *cellText(kDecodeCells, row, column) = list[(first + r) % list.size()];
                }
                const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
                QVERIFY2(write.ok(), qPrintable(write.error));
                Texts read = initialTexts(language);
                for (int block = 3; block <= 10; ++block)
                    QVERIFY(decodeBlock(frameOf(block, bytesOf(write.payloads[block])).data(), read,
                                        language));
                for (int r = 0; r < kDecodeRowCount; ++r) {
                    const int item = (first + r) % list.size();
                    QCOMPARE(*cellText(kDecodeCells, read.decodeRows[r], column), list[item]);
                    if (item < int(editor.items.words.size())) {
                        const int at = (r % 2) * 12 + column - 1;
                        QCOMPARE(int(write.payloads[3 + r / 2][at]), editor.items.words[item].code);
                    }
                }
            }
        }
    }
    QCOMPARE(items(kPairColumn.items, Language::English),
             QStringList({"AB", "AC", "AD", "BA", "BC", "BD", "CA", "CB", "CD", "DA", "DC", "DB"}));
    QCOMPARE(items(kResponseColumn.items, Language::Chinese),
             QStringList({"无", "提醒", "回复", "提醒并回复"}));
    QCOMPARE(items(kPromptColumn.items, Language::English).size(), 16);
}

void TestTwoToneCodec::captionsAndColumns()
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
    for (int column = 0; column < int(std::size(kEncodeColumns)); ++column)
        QVERIFY(seen.contains(kEncodeGrid.toString() + '/' + QString::number(column)));
    for (int column = 0; column < int(std::size(kDecodeColumns)); ++column)
        QVERIFY(seen.contains(kDecodeGrid.toString() + '/' + QString::number(column)));
    QCOMPARE(int(std::size(kCaptions)), 32);

    // Only the response columns change their editor and their words with the language.
    for (int column = 0; column < int(std::size(kDecodeColumns)); ++column) {
        const GridColumn &c = kDecodeColumns[column];
        QCOMPARE(c.editor.chinese != c.editor.english, column > 0 && column % 3 == 2);
        QVERIFY(c.widthChinese > 0 && c.widthEnglish > 0);
    }
    QCOMPARE(translate(kResponseColumn.items, "提醒并回复", Language::English),
             QStringLiteral("REMIND+REPLY"));
    QCOMPARE(translate(kResponseColumn.items, "NONE", Language::Chinese), QStringLiteral("无"));
    QCOMPARE(translate(kPairColumn.items, "DB", Language::Chinese), QStringLiteral("DB"));

    // The tones are shown, not edited; the window is wider in English.
    int shownOnly = 0;
    for (const Control<Texts> &c : kControls)
        shownOnly += c.enabled ? 0 : 1;
    QCOMPARE(shownOnly, 4);
    QVERIFY(kSizeEnglish.width > kSizeChinese.width);
}

QTEST_GUILESS_MAIN(TestTwoToneCodec)
#include "tst_twotonecodec.moc"
