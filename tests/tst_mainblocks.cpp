// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/channeltable.h"
#include "channels/mainblocks.h"
#include "channels/numbertext.h"
#include "channels/sheetimage.h"
#include "protocol/radioimage.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace wf;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(wf::Language)

namespace {

// A row as the table holds it: the channel number, then columns 1..15.
ChannelRow makeRow(int number, const QStringList &cells)
{
    ChannelRow row;
    row[column::Number] = QString::number(number);
    for (int c = 1; c < column::kCount; ++c)
        row[c] = cells.value(c - 1);
    return row;
}

// The row the table builds when a receive frequency is typed into an empty row.
ChannelRow freshRow(int number, Language language, const QString &frequency)
{
    if (language == Language::English)
        return makeRow(number, {frequency, frequency, "NONE", "NONE", "HIGH", "WIDE", "YES",
                                "25000", "NONE", "NONE", "NONE", "NONE", "DTMF", "1", "NONE"});
    return makeRow(number, {frequency, frequency, "无", "无", "高", "宽带", "有", "25000", "无",
                            "无", "无", "无", "DTMF", "1", "无"});
}

SettingsTexts initialPanel(Language language)
{
    if (language == Language::English)
        return {"NONE", "1", "0", "60", "CHINESE", "NONE", "NONE", "OPEN", "OPEN", "OPEN"};
    return {"无", "1", "0", "60", "中文", "无", "无", "开", "开", "开"};
}

const QByteArray kFreshPayload = QByteArray::fromHex(
    "60 27 AC 08 60 27 AC 08 FF FF FF FF FF FF FF A8 61 FF FF 00 00 00 00 01 00 00 00 FF");
const QByteArray kInitialSettingsPayload =
    QByteArray::fromHex("01 01 00 00 00 00 00 00 00 01 00 3C 01 00 00 01");

QByteArray bytes(const FrameBuffer &frame, int from, int count)
{
    return QByteArray(reinterpret_cast<const char *>(frame.data() + from), count);
}

QByteArray payloadOf(const FrameBuffer &frame)
{
    return bytes(frame, frame::kPayloadOffset, frame::kPayloadSize);
}

// A received data frame: header and payload, the rest of the image as another frame left it.
FrameBuffer dataFrame(quint8 bank, quint8 block, const QByteArray &payload)
{
    FrameBuffer frame;
    frame.fill(0xEE);
    putBlockHeader(frame.data(), bank, block);
    std::copy(payload.begin(), payload.end(), frame.begin() + frame::kPayloadOffset);
    return frame;
}

// A transmit buffer still holding the bytes of some earlier frame everywhere.
FrameBuffer usedBuffer(quint8 fill = 0x5A)
{
    FrameBuffer tx;
    for (std::size_t i = 0; i < tx.size(); ++i)
        tx[i] = static_cast<quint8>(fill + i * 7);
    return tx;
}

// True when the bytes from `from` on are still those of the frame before.
bool untouchedFrom(const FrameBuffer &tx, int from)
{
    const FrameBuffer before = usedBuffer();
    return std::equal(tx.begin() + from, tx.end(), before.begin() + from);
}

// A field of the tables below: a channel column, or kBox plus a settings box.
constexpr int kBox = 100;
enum Ways { Encode = 1, Decode = 2, Both = Encode | Decode };

// The fresh Chinese row or the initial Chinese panel with one text changed, encoded over a
// buffer that still holds another frame; messages come in `language`.
Conversion encodeWith(int field, const QString &text, FrameBuffer &tx,
                      Language language = Language::Chinese)
{
    tx = usedBuffer();
    if (field >= kBox) {
        SettingsTexts panel = initialPanel(Language::Chinese);
        panel[field - kBox] = text;
        return EncodeSettingsBlock(tx, panel, language);
    }
    ChannelRow row = freshRow(5, Language::Chinese, "145.50000");
    row[field] = text;
    return EncodeChannelBlock(tx, 5, row, language);
}

} // namespace

class TestMainBlocks final : public QObject
{
    Q_OBJECT

private slots:
    void numberTexts_data();
    void numberTexts();
    void initialTexts();
    void fields_data();
    void fields();
    void emptyChannel();
    void failures_data();
    void failures();
    void dispatch();
    void roundTrip();
    void sheetOverRadio_data();
    void sheetOverRadio();
    void sheetOverImageNamesTheChannel_data();
    void sheetOverImageNamesTheChannel();
};

void TestMainBlocks::numberTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("decimal"); // invalid: not a decimal
    QTest::addColumn<QVariant>("integer"); // invalid: not an integer
    const QVariant no;

    QTest::newRow("spaces around") << " 145.5 " << QVariant(145.5) << no;
    QTest::newRow("exponent") << "15e-1" << QVariant(1.5) << no;
    QTest::newRow("signs") << "-7" << QVariant(-7.0) << QVariant(-7);
    QTest::newRow("plus") << "+5" << QVariant(5.0) << QVariant(5);
    QTest::newRow("leading point") << ".5" << QVariant(0.5) << no;
    QTest::newRow("trailing point") << "5." << QVariant(5.0) << no;
    QTest::newRow("hex") << "$1F" << no << QVariant(31);
    QTest::newRow("largest") << "2147483647" << QVariant(2147483647.0) << QVariant(2147483647);
    QTest::newRow("smallest") << "-2147483648" << QVariant(-2147483648.0) << QVariant(INT_MIN);
    QTest::newRow("overflow") << "2147483648" << QVariant(2147483648.0) << no;
    for (const char *text :
         {"", " ", ".", "1,5", "abc", "inf", "nan", "1E", "12.3.4", "1 2", "0x10", "１２", "023N"})
        QTest::addRow("not a number: '%s'", text) << QString::fromUtf8(text) << no << no;
}

void TestMainBlocks::numberTexts()
{
    QFETCH(QString, text);
    QFETCH(QVariant, decimal);
    QFETCH(QVariant, integer);

    const std::optional<double> d = readDecimal(text);
    QCOMPARE(d ? QVariant(*d) : QVariant(), decimal);
    const std::optional<qint32> i = readInteger(text);
    QCOMPARE(i ? QVariant(*i) : QVariant(), integer);
}

void TestMainBlocks::initialTexts()
{
    for (const Language language : {Language::Chinese, Language::English}) {
        // A fresh row as the first frame after program start.
        FrameBuffer tx{};
        QVERIFY(EncodeChannelBlock(tx, 7, freshRow(7, language, "145.50000")).ok());
        QCOMPARE(bytes(tx, 0, frame::kHeaderSize), QByteArray::fromHex("57 00 07 20"));
        QCOMPARE(payloadOf(tx).toHex(' '), kFreshPayload.toHex(' '));
        QCOMPARE(bytes(tx, frame::kCrcOffset, 2), QByteArray(2, '\0')); // the CRC is the caller's
        ChannelRow row = makeRow(7, QStringList(15, "?"));
        DecodeChannelBlock(tx.data(), row, language);
        QCOMPARE(row, freshRow(7, language, "145.50000"));

        // The settings panel as the program starts.
        tx = usedBuffer();
        QVERIFY(EncodeSettingsBlock(tx, initialPanel(language)).ok());
        QCOMPARE(bytes(tx, 0, frame::kHeaderSize), QByteArray::fromHex("57 05 00 20"));
        QCOMPARE(bytes(tx, frame::kPayloadOffset, 16).toHex(' '),
                 kInitialSettingsPayload.toHex(' '));
        SettingsTexts shown;
        DecodeSettingsBlock(tx.data(), shown, language);
        QCOMPARE(shown, initialPanel(language));
    }
}

void TestMainBlocks::fields_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("at");          // payload byte
    QTest::addColumn<QByteArray>("code"); // empty: the byte the frame before left there
    QTest::addColumn<QString>("chinese"); // decoding: "?" when the cell keeps its text
    QTest::addColumn<QString>("english");
    QTest::addColumn<int>("ways");
    const auto add = [](const char *name, int field, int at, const char *hex, const char *zh,
                        const char *en, int ways = Both) {
        QTest::newRow(name) << field << at << QByteArray::fromHex(hex) << QString::fromUtf8(zh)
                            << QString::fromUtf8(en) << ways;
    };
    using namespace column;
    add("RX 446.00625", RxFrequency, 0, "EA83951A", "446.00625", "446.00625");
    add("RX short text", RxFrequency, 0, "E0D79908", "144.3", "144.3", Encode);
    add("RX six decimals", RxFrequency, 0, "8068A608", "145.123456", "145.123456", Encode);
    add("RX shown rounded", RxFrequency, 0, "8068A608", "145.12346", "145.12346", Decode);
    add("RX highest", RxFrequency, 0, "F6C99A3B", "999.99999", "999.99999");
    add("TX lowest", TxFrequency, 4, "0A000000", "0.00001", "0.00001");
    add("TX empty", TxFrequency, 4, "00000000", "", "");
    add("TX one space", TxFrequency, 4, "00000000", " ", " ", Encode);
    add("CTCSS 67.0", DecodeTone, 8, "9E02", "67.0", "67.0");
    add("CTCSS 254.1", EncodeTone, 10, "ED09", "254.1", "254.1");
    add("DCS 023N", EncodeTone, 10, "1720", "023N", "023N");
    add("DCS 023I", DecodeTone, 8, "17A0", "023I", "023I");
    add("DCS 754N", EncodeTone, 10, "F222", "754N", "754N");
    add("DCS 007N", DecodeTone, 8, "0720", "007N", "007N");
    add("DCS 1000N", DecodeTone, 8, "E823", "1000N", "1000N", Decode);
    add("no tone", EncodeTone, 10, "FFFF", "无", "NONE");
    add("tone top nibble 4", DecodeTone, 8, "0040", "?", "?", Decode);
    add("tone top nibble 8", EncodeTone, 10, "1780", "?", "?", Decode);
    add("power high", Power, 12, "FF", "高", "HIGH");
    add("power low", Power, 12, "00", "低", "LOW");
    add("power 01", Power, 12, "01", "高", "HIGH", Decode);
    add("narrow", Bandwidth, 13, "00", "窄带", "NARROW");
    add("wide", Bandwidth, 13, "FF", "宽带", "WIDE");
    add("scan add none", ScanAdd, 14, "00", "无", "NONE");
    add("step 6250", Step, 15, "6A18", "6250", "6250");
    add("step 65535", Step, 15, "FFFF", "65535", "65535");
    add("DTMF 1 D", DtmfKey1, 17, "00", "D", "D");
    add("DTMF 1 0", DtmfKey1, 17, "0A", "0", "0");
    add("DTMF 2 none", DtmfKey2, 18, "FF", "无", "NONE");
    add("DTMF 16", DtmfKey1, 17, "10", "?", "?", Decode);
    add("DTMF 254", DtmfKey2, 18, "FE", "?", "?", Decode);
    add("PTT ID BOT", PttId, 19, "02", "BOT", "BOT");
    add("PTT ID none", PttId, 19, "00", "无", "NONE");
    add("PTT ID 4", PttId, 19, "04", "?", "?", Decode);
    add("scrambler 10", Scrambler, 20, "0A", "10", "10");
    add("scrambler none", Scrambler, 20, "00", "无", "NONE");
    add("scrambler 255", Scrambler, 20, "FF", "255", "255");
    add("compander on", Compander, 21, "FF", "有", "YES");
    add("compander off", Compander, 21, "00", "无", "NONE");
    add("2TONE", Signalling, 22, "01", "2TONE", "2TONE");
    add("signalling 4", Signalling, 22, "04", "?", "?", Decode);
    add("signalling info 16", SignallingInfo, 23, "10", "16", "16");

    using namespace setting;
    add("battery save off", kBox + BatterySave, 0, "00", "关", "CLOSE");
    add("battery save 2", kBox + BatterySave, 0, "02", "关", "CLOSE", Decode);
    add("beep off", kBox + Beep, 1, "00", "关", "CLOSE");
    add("VOX level none", kBox + VoxLevel, 8, "00", "无", "NONE");
    add("VOX level 10", kBox + VoxLevel, 8, "0A", "10", "10");
    add("VOX delay 3", kBox + VoxDelay, 9, "03", "3", "3");
    add("squelch 9", kBox + Squelch, 10, "09", "9", "9");
    add("TOT off", kBox + TimeOut, 11, "00", "关", "CLOSE");
    add("TOT 180", kBox + TimeOut, 11, "B4", "180", "180");
    add("TOT 255", kBox + TimeOut, 11, "FF", "255", "255");
    add("voice off", kBox + VoicePrompt, 12, "00", "关", "CLOSE");
    add("voice English", kBox + VoicePrompt, 12, "02", "英文", "ENGLISH");
    add("voice 9", kBox + VoicePrompt, 12, "09", "英文", "ENGLISH", Decode);
    add("PF1 alarm", kBox + Pf1, 13, "01", "警报音", "Emergency Alarm");
    add("PF1 autodial", kBox + Pf1, 13, "03", "自动拨号", "Autodial");
    add("PF2 delete", kBox + Pf2, 14, "0C", "暂时删除", "Temporary Delete");
    add("PF2 13", kBox + Pf2, 14, "0D", "无", "NONE", Decode);
    add("scan off", kBox + Scan, 15, "00", "关", "CLOSE");
    add("scan FF", kBox + Scan, 15, "FF", "关", "CLOSE", Decode);
}

void TestMainBlocks::fields()
{
    QFETCH(int, field);
    QFETCH(int, at);
    QFETCH(QByteArray, code);
    QFETCH(QString, chinese);
    QFETCH(QString, english);
    QFETCH(int, ways);
    const bool isSetting = field >= kBox;

    // Only the bytes of the changed text may differ from the fresh row's or the initial
    // panel's, and the words of either language are taken alike. A block leaves the bytes it
    // does not own, and a text it does not know, as the frame before left them.
    const FrameBuffer used = usedBuffer();
    QByteArray payload = isSetting ? kInitialSettingsPayload + bytes(used, 4 + 16, 12)
                                   : kFreshPayload.left(24) + bytes(used, 4 + 24, 3) + '\xFF';
    if (code.isEmpty())
        code = bytes(used, frame::kPayloadOffset + at, 1);
    payload.replace(at, code.size(), code);
    FrameBuffer tx;
    for (const QString &text : ways &Encode ? QStringList{chinese, english} : QStringList()) {
        QVERIFY(encodeWith(field, text, tx).ok());
        QCOMPARE(payloadOf(tx).toHex(' '), payload.toHex(' '));
        QVERIFY(untouchedFrom(tx, frame::kCrcOffset));
    }
    if (!(ways & Decode))
        return;

    const FrameBuffer frame = dataFrame(isSetting ? 5 : 0, isSetting ? 0 : 9, payload);
    for (const Language language : {Language::Chinese, Language::English}) {
        ChannelSheet sheet;
        sheet.rows[9] = makeRow(9, QStringList(15, "?"));
        sheet.settings.fill("?");
        ChannelSheet expected = sheet;
        const QString word = language == Language::Chinese ? chinese : english;
        if (isSetting) {
            expected.settings = initialPanel(language);
            expected.settings[field - kBox] = word;
        } else {
            expected.rows[9] = freshRow(9, language, "145.50000");
            expected.rows[9][field] = word;
        }
        DecodeMainBlock(frame.data(), sheet, language);
        QCOMPARE(sheet.rows[9], expected.rows[9]);
        QCOMPARE(sheet.settings, expected.settings);
    }
}

void TestMainBlocks::emptyChannel()
{
    // A cell emptied by loading a data file holds one space.
    for (const QString &rx : {QString(), QStringLiteral(" ")}) {
        ChannelRow row = freshRow(12, Language::Chinese, rx);
        row[column::Step] = QStringLiteral("not read for an empty channel");
        FrameBuffer tx = usedBuffer();
        QVERIFY(EncodeChannelBlock(tx, 12, row).ok());
        QCOMPARE(payloadOf(tx), QByteArray(27, '\0') + '\xFF');
        QVERIFY(untouchedFrom(tx, frame::kCrcOffset));

        // Read back, it empties the row but keeps the channel number.
        row = freshRow(12, Language::English, "433.00000");
        DecodeChannelBlock(tx.data(), row, Language::English);
        QCOMPARE(row, makeRow(12, {}));
    }

    // Erased memory reads FF FF FF FF as receive frequency: an empty channel too, whatever the
    // other bytes hold, and written back as one.
    QByteArray anyOther = kFreshPayload;
    anyOther.replace(0, 4, QByteArray(4, '\xFF'));
    for (const QByteArray &payload : {QByteArray(frame::kPayloadSize, '\xFF'), anyOther}) {
        ChannelSheet sheet;
        sheet.rows[3] = freshRow(3, Language::Chinese, "433.00000");
        QCOMPARE(DecodeMainBlock(dataFrame(0, 3, payload).data(), sheet, Language::Chinese),
                 (DecodedBlock{DecodedBlock::Kind::Channel, 3}));
        QCOMPARE(sheet.rows[3], makeRow(3, {}));
        FrameBuffer tx = usedBuffer();
        QVERIFY(EncodeChannelBlock(tx, 3, sheet.rows[3]).ok());
        QCOMPARE(payloadOf(tx), QByteArray(27, '\0') + '\xFF');
    }
}

void TestMainBlocks::failures_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("message");
    const Language zh = Language::Chinese;
    const Language en = Language::English;
    const auto add = [](const char *name, int field, const char *text, Language language,
                        const char *message) {
        QTest::newRow(name) << field << QString::fromUtf8(text) << language
                            << QString::fromUtf8(message);
    };

    using namespace column;
    add("RX letters", RxFrequency, "abc", zh, "'abc' is not a valid floating point value");
    add("RX not whole Hz", RxFrequency, "145.1234567", en,
        "'145123456.7' is not a valid integer value");
    add("TX typed wrong", TxFrequency, "4N6", zh, "'4N6' is not a valid floating point value");
    add("tone not whole", DecodeTone, "12.34", en, "'123.4' is not a valid integer value");
    add("tone too high", EncodeTone, "500.0", zh, "'5000' is not a valid integer value");
    add("DCS not digits", DecodeTone, "0X3N", en, "'0X3N' is not a valid integer value");
    add("DCS lowercase", DecodeTone, "023n", zh, "'023n' is not a valid floating point value");
    add("step decimal", Step, "25000.0", en, "'25000.0' is not a valid integer value");
    add("scrambler word", Scrambler, "on", zh, "'on' is not a valid integer value");
    add("VOX level word", kBox + setting::VoxLevel, "OPEN", en,
        "'OPEN' is not a valid integer value");
    add("TOT decimal", kBox + setting::TimeOut, "1.5", zh, "'1.5' is not a valid integer value");

    // Beyond what the radio's eight digits of tens of hertz hold.
    add("RX 1500 MHz", RxFrequency, "1500", en,
        "Channel 5 RX Freq: 1500 is out of range (0 to 999.99999)");
    add("RX 2147.48 MHz", RxFrequency, "2147.48", zh,
        "信道5 接收频率：2147.48 超出范围（0 至 999.99999）");
    add("RX 2^31 Hz", RxFrequency, "2147.483648", en,
        "Channel 5 RX Freq: 2147.483648 is out of range (0 to 999.99999)");
    add("RX just above", RxFrequency, "999.999991", en,
        "Channel 5 RX Freq: 999.999991 is out of range (0 to 999.99999)");
    add("RX negative", RxFrequency, "-145.5", zh,
        "信道5 接收频率：-145.5 超出范围（0 至 999.99999）");
    add("TX 1000 MHz", TxFrequency, "1000", en,
        "Channel 5 TX Freq: 1000 is out of range (0 to 999.99999)");

    // Numbers wider than their bytes.
    add("step 99999", Step, "99999", en, "Channel 5 Step Freq: 99999 is out of range (0 to 65535)");
    add("scrambler 300", Scrambler, "300", en,
        "Channel 5 Scrambler: 300 is out of range (0 to 255)");
    add("signalling info 256", SignallingInfo, "256", zh,
        "信道5 信令信息：256 超出范围（0 至 255）");
    add("squelch -1", kBox + setting::Squelch, "-1", en, "SQ Lev: -1 is out of range (0 to 255)");
    add("VOX delay 300", kBox + setting::VoxDelay, "300", zh,
        "Vox延迟时间：300 超出范围（0 至 255）");
    add("TOT 999", kBox + setting::TimeOut, "999", zh, "超时定时器：999 超出范围（0 至 255）");

    // Words a field does not have, in neither language.
    add("power low", Power, "low", en,
        "Channel 5 TX Power: 'low' is not one of its values (HIGH, LOW)");
    add("power with a blank", Power, "低 ", zh, "信道5 发射功率：'低 ' 不是可选的值（高、低）");
    add("power banana", Power, "banana", en,
        "Channel 5 TX Power: 'banana' is not one of its values (HIGH, LOW)");
    add("bandwidth", Bandwidth, "wide", en,
        "Channel 5 W/N: 'wide' is not one of its values (WIDE, NARROW)");
    add("scan add", ScanAdd, "maybe", zh, "信道5 扫描添加：'maybe' 不是可选的值（无、有）");
    add("compander", Compander, "on", en,
        "Channel 5 Compandor: 'on' is not one of its values (NONE, YES)");
    add("DTMF key 1", DtmfKey1, "E", en,
        "Channel 5 DTMF1: 'E' is not one of its values "
        "(NONE, 1, 2, 3, 4, 5, 6, 7, 8, 9, *, 0, #, A, B, C, D)");
    add("DTMF key 2", DtmfKey2, "none", zh,
        "信道5 DTMF键2：'none' 不是可选的值（无、1、2、3、4、5、6、7、8、9、*、0、#、A、B、C、D）");
    add("PTT ID", PttId, "bot", en,
        "Channel 5 PTTID: 'bot' is not one of its values (NONE, BOTH, BOT, EOT)");
    add("signalling", Signalling, "3TONE", zh,
        "信道5 可选信令：'3TONE' 不是可选的值（DTMF、2TONE、5TONE、FSK）");
    add("scan maybe", kBox + setting::Scan, "maybe", en,
        "Scan: 'maybe' is not one of its values (OPEN, CLOSE)");
    add("beep open", kBox + setting::Beep, "open", zh, "报警：'open' 不是可选的值（开、关）");
    add("voice", kBox + setting::VoicePrompt, "French", en,
        "Voice: 'French' is not one of its values (CLOSE, CHINESE, ENGLISH)");
    add("PF2", kBox + setting::Pf2, "scan", zh,
        "PF2：'scan' 不是可选的值（无、自动拨号、按键锁定、按键锁定及备份、监听、监听瞬时、扫描、"
        "扫描+暂时删除、扰频器、取消静噪、瞬时取消静噪、暂时删除、警报音）");
}

void TestMainBlocks::failures()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(Language, language);
    QFETCH(QString, message);

    // The frame is not half built: the buffer still holds the frame before, which a resend may
    // repeat, and its CRC still matches.
    FrameBuffer tx;
    QCOMPARE(encodeWith(field, text, tx, language).error, message);
    QVERIFY(tx == usedBuffer());
}

void TestMainBlocks::dispatch()
{
    ChannelSheet sheet;
    sheet.rows[0] = makeRow(0, QStringList(15, "caption"));
    for (int r = 1; r <= kChannelCount; ++r)
        sheet.rows[r] = makeRow(r, {});
    sheet.settings = initialPanel(Language::Chinese);
    const ChannelSheet initial = sheet;
    const auto decode = [&sheet](quint8 bank, quint8 block, const QByteArray &payload) {
        return DecodeMainBlock(dataFrame(bank, block, payload).data(), sheet, Language::English);
    };

    // Blocks the protocol never asks for change nothing, the caption row least of all.
    for (const int block : {0, 17, 255}) {
        QCOMPARE(decode(0, quint8(block), kFreshPayload), DecodedBlock{});
        QVERIFY(sheet.rows == initial.rows && sheet.settings == initial.settings);
    }
    // Any bank other than the settings bank is taken as a channel block.
    for (const auto &[bank, block] : {std::pair{0, 3}, std::pair{2, 16}}) {
        QCOMPARE(decode(quint8(bank), quint8(block), kFreshPayload),
                 (DecodedBlock{DecodedBlock::Kind::Channel, block}));
        QCOMPARE(sheet.rows[block], freshRow(block, Language::English, "145.50000"));
        sheet.rows[block] = initial.rows[block];
        QVERIFY(sheet.rows == initial.rows && sheet.settings == initial.settings);
    }
    QByteArray settings = kInitialSettingsPayload + QByteArray(12, '\0');
    settings[12] = 2;
    QCOMPARE(decode(5, 0, settings), (DecodedBlock{DecodedBlock::Kind::Settings, 0}));
    SettingsTexts expected = initialPanel(Language::English);
    expected[setting::VoicePrompt] = QStringLiteral("ENGLISH");
    QCOMPARE(sheet.settings, expected);
    QVERIFY(sheet.rows == initial.rows);
}

void TestMainBlocks::roundTrip()
{
    // Blocks as the radio sends them, read into the table and the panel and written back: the
    // radio gets the very bytes it sent, whatever the texts shown before.
    QRandomGenerator random(4242);
    const auto any = [&random](std::initializer_list<int> values) {
        return values.begin()[random.bounded(int(values.size()))];
    };
    ChannelRow row = makeRow(1, {});
    SettingsTexts panel = initialPanel(Language::Chinese);
    for (int i = 0; i < 400; ++i) {
        const Language language = i % 2 ? Language::English : Language::Chinese;
        QByteArray sent(frame::kPayloadSize, '\0');
        auto *p = reinterpret_cast<quint8 *>(sent.data());
        putPayloadU32(p, 0, 10u * quint32(random.bounded(1, 100000000)));
        putPayloadU32(p, 4, random.bounded(5) ? quint32(random.bounded(1, 100000000)) * 10 : 0);
        for (const int at : {8, 10})
            putPayloadU16(p, at, quint16(any({0xFFFF, 0, 0x2000, 0xA000}) | random.bounded(1000)));
        for (const int at : {12, 13, 14, 21})
            p[at] = quint8(any({0x00, 0xFF}));
        putPayloadU16(p, 15, quint16(any({5000, 6250, 10000, 12500, 25000})));
        for (const int at : {17, 18})
            p[at] = quint8(any({0xFF, random.bounded(16)}));
        for (const int at : {19, 22})
            p[at] = quint8(random.bounded(4));
        for (const int at : {20, 23})
            p[at] = quint8(random.bounded(256));
        p[27] = 0xFF;

        const int block = 1 + i % kChannelCount;
        DecodeChannelBlock(dataFrame(0, quint8(block), sent).data(), row, language);
        FrameBuffer tx = usedBuffer(quint8(i));
        QVERIFY(EncodeChannelBlock(tx, block, row).ok());
        sent.replace(24, 3, bytes(tx, frame::kPayloadOffset + 24, 3)); // never written
        QCOMPARE(payloadOf(tx).toHex(' '), sent.toHex(' '));

        QByteArray settings(frame::kPayloadSize, '\0');
        const int choices[16] = {2, 2, 1, 1, 1, 1, 1, 1, 256, 256, 256, 256, 3, 13, 13, 2};
        for (int at = 0; at < 16; ++at)
            settings[at] = char(random.bounded(choices[at]));
        DecodeSettingsBlock(dataFrame(5, 0, settings).data(), panel, language);
        tx = usedBuffer(quint8(i));
        QVERIFY(EncodeSettingsBlock(tx, panel).ok());
        QCOMPARE(bytes(tx, frame::kPayloadOffset, 16).toHex(' '), settings.left(16).toHex(' '));
    }
}

void TestMainBlocks::sheetOverRadio_data()
{
    QTest::addColumn<int>("bank");
    QTest::addColumn<int>("block");
    QTest::addColumn<QByteArray>("payload");

    // The radio holds 80+n in every byte of channel n's block and 5A in the settings': what no
    // cell shows must stay as the radio has it, in each block.
    QTest::newRow("channel 1") << 0 << 1
                               << QByteArray::fromHex(
                                      "60 27 AC 08 60 27 AC 08 FF FF FF FF FF FF FF "
                                      "A8 61 FF FF 00 00 00 00 01 81 81 81 FF");
    QTest::newRow("channel 8") << 0 << 8
                               << QByteArray::fromHex(
                                      "60 27 AC 08 60 27 AC 08 FF FF FF FF FF FF FF "
                                      "A8 61 FF FF 00 00 00 00 08 88 88 88 FF");
    QTest::newRow("empty channel 9") << 0 << 9 << QByteArray(27, '\0') + '\xFF';
    QTest::newRow("channel 10, after an empty one")
        << 0 << 10
        << QByteArray::fromHex("60 27 AC 08 60 27 AC 08 FF FF FF FF FF FF FF "
                               "A8 61 FF FF 00 00 00 00 0A 8A 8A 8A FF");
    QTest::newRow("channel 16") << 0 << 16
                                << QByteArray::fromHex("60 27 AC 08 60 27 AC 08 FF FF FF FF FF FF "
                                                       "FF A8 61 FF FF 00 00 00 00 10 90 90 90 FF");
    QTest::newRow("settings") << 5 << 0
                              << QByteArray::fromHex("01 01 00 00 00 00 00 00 00 01 00 3C 01 00 00 "
                                                     "01 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A");
    QTest::newRow("a DTMF block is not the table's") << 1 << 1 << QByteArray(28, '\x33');
}

void TestMainBlocks::sheetOverRadio()
{
    QFETCH(int, bank);
    QFETCH(int, block);
    QFETCH(QByteArray, payload);

    RadioImage radio;
    for (const BlockAddress &a : RadioImage::addresses()) {
        BlockPayload bytes;
        bytes.fill(a.bank == Bank::Channels   ? quint8(0x80 + a.block)
                   : a.bank == Bank::Settings ? 0x5A
                                              : 0x33);
        radio.setPayload(a.bank, a.block, bytes);
    }
    ChannelSheet sheet;
    for (int n = 1; n <= kChannelCount; ++n) {
        sheet.rows[n] = freshRow(n, Language::English, "145.50000");
        sheet.rows[n][column::SignallingInfo] = QString::number(n);
    }
    sheet.rows[9] = makeRow(9, {});
    sheet.settings = initialPanel(Language::Chinese);

    QVERIFY(sheetOverImage(sheet, &radio).ok());
    const BlockPayload &built = radio.payload(Bank(bank), block);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(built.data()), int(built.size())).toHex(' '),
             payload.toHex(' '));
}

void TestMainBlocks::sheetOverImageNamesTheChannel_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("no number") << 3 << int(column::RxFrequency) << u"abc"_s
                               << u"channel 3: 'abc' is not a valid floating point value"_s;
    QTest::newRow("a refusal names it once")
        << 5 << int(column::Power) << u"banana"_s
        << u"Channel 5 TX Power: 'banana' is not one of its values (HIGH, LOW)"_s;
}

void TestMainBlocks::sheetOverImageNamesTheChannel()
{
    QFETCH(int, channel);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, message);
    ChannelSheet sheet;
    for (int row = 1; row <= kChannelCount; ++row)
        sheet.rows[std::size_t(row)][column::Number] = QString::number(row);
    sheet.settings = table::initialSettings(Language::English);
    ChannelRow &row = sheet.rows[std::size_t(channel)];
    row = {QString::number(channel),
           u"145.50000"_s,
           u"145.50000"_s,
           u"NONE"_s,
           u"NONE"_s,
           u"HIGH"_s,
           u"WIDE"_s,
           u"YES"_s,
           u"25000"_s,
           u"NONE"_s,
           u"NONE"_s,
           u"NONE"_s,
           u"NONE"_s,
           u"DTMF"_s,
           u"1"_s,
           u"NONE"_s};
    row[std::size_t(column)] = text;
    RadioImage radio;
    const RadioImage before = radio;
    QCOMPARE(sheetOverImage(sheet, &radio).error, message);
    QVERIFY(radio == before);
}

QTEST_GUILESS_MAIN(TestMainBlocks)
#include "tst_mainblocks.moc"
