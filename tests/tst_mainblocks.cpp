// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/codetables.h"
#include "channels/mainblocks.h"
#include "channels/numbertext.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace wf;

Q_DECLARE_METATYPE(wf::Language)

namespace {

const QString kChineseNone = QStringLiteral("无");

// A row as the table holds it: the channel number, then columns 1..15.
ChannelRow makeRow(int number, const QStringList &cells)
{
    Q_ASSERT(cells.size() == column::kCount - 1);
    ChannelRow row;
    row[column::Number] = QString::number(number);
    for (int c = 1; c < column::kCount; ++c)
        row[c] = cells[c - 1];
    return row;
}

// The row the table builds when a receive frequency is typed into an empty row.
ChannelRow freshRow(int number, Language language, const QString &frequency)
{
    const bool english = language == Language::English;
    const QString none = english ? QStringLiteral("NONE") : kChineseNone;
    return makeRow(number,
                   {frequency, frequency, none, none,
                    english ? QStringLiteral("HIGH") : QStringLiteral("高"),
                    english ? QStringLiteral("WIDE") : QStringLiteral("宽带"),
                    english ? QStringLiteral("YES") : QStringLiteral("有"), QStringLiteral("25000"),
                    none, none, none, none, QStringLiteral("DTMF"), QStringLiteral("1"), none});
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

QByteArray payloadOf(const quint8 *frame)
{
    return QByteArray(reinterpret_cast<const char *>(frame + frame::kPayloadOffset),
                      frame::kPayloadSize);
}

QByteArray headerOf(const FrameBuffer &tx)
{
    return QByteArray(reinterpret_cast<const char *>(tx.data()), frame::kHeaderSize);
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

QByteArray bytes(const FrameBuffer &tx, int from, int count)
{
    return QByteArray(reinterpret_cast<const char *>(tx.data() + from), count);
}

void addLanguageRows(const char *name)
{
    QTest::addRow("%s, Chinese", name) << Language::Chinese;
    QTest::addRow("%s, English", name) << Language::English;
}

} // namespace

class TestMainBlocks final : public QObject
{
    Q_OBJECT

private slots:
    void numberTexts_data();
    void numberTexts();
    void frequencies_data();
    void frequencies();
    void freshRowIsFirstFrame_data();
    void freshRowIsFirstFrame();
    void initialSettings_data();
    void initialSettings();
    void encodeTones_data();
    void encodeTones();
    void decodeTones_data();
    void decodeTones();
    void channelWords_data();
    void channelWords();
    void decodeChannelWords_data();
    void decodeChannelWords();
    void emptyChannel_data();
    void emptyChannel();
    void transmitFrequencyZero();
    void untouchedBytes();
    void settingsWords_data();
    void settingsWords();
    void decodeSettings_data();
    void decodeSettings();
    void numbersKeepTheirLowBits_data();
    void numbersKeepTheirLowBits();
    void channelFailures_data();
    void channelFailures();
    void settingsFailures_data();
    void settingsFailures();
    void decodeLeavesUnknownCodes_data();
    void decodeLeavesUnknownCodes();
    void dispatch();
    void channelRoundTrip_data();
    void channelRoundTrip();
    void settingsRoundTrip_data();
    void settingsRoundTrip();
};

void TestMainBlocks::numberTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isDecimal");
    QTest::addColumn<double>("decimal");
    QTest::addColumn<bool>("isInteger");
    QTest::addColumn<int>("integer");

    QTest::newRow("plain") << "145.5" << true << 145.5 << false << 0;
    QTest::newRow("spaces around") << " 145.5 " << true << 145.5 << false << 0;
    QTest::newRow("exponent") << "1E2" << true << 100.0 << false << 0;
    QTest::newRow("negative exponent") << "15e-1" << true << 1.5 << false << 0;
    QTest::newRow("plus") << "+5" << true << 5.0 << true << 5;
    QTest::newRow("minus") << "-7" << true << -7.0 << true << -7;
    QTest::newRow("leading point") << ".5" << true << 0.5 << false << 0;
    QTest::newRow("trailing point") << "5." << true << 5.0 << false << 0;
    QTest::newRow("hex") << "$1F" << false << 0.0 << true << 31;
    QTest::newRow("largest integer") << "2147483647" << true << 2147483647.0 << true << 2147483647;
    QTest::newRow("smallest integer")
        << "-2147483648" << true << -2147483648.0 << true << int(-2147483647 - 1);
    QTest::newRow("integer overflow") << "2147483648" << true << 2147483648.0 << false << 0;
    QTest::newRow("empty") << "" << false << 0.0 << false << 0;
    QTest::newRow("space") << " " << false << 0.0 << false << 0;
    QTest::newRow("point") << "." << false << 0.0 << false << 0;
    QTest::newRow("comma") << "1,5" << false << 0.0 << false << 0;
    QTest::newRow("letters") << "abc" << false << 0.0 << false << 0;
    QTest::newRow("inf") << "inf" << false << 0.0 << false << 0;
    QTest::newRow("nan") << "nan" << false << 0.0 << false << 0;
    QTest::newRow("bare exponent") << "1E" << false << 0.0 << false << 0;
    QTest::newRow("two points") << "12.3.4" << false << 0.0 << false << 0;
    QTest::newRow("two signs") << "--5" << false << 0.0 << false << 0;
    QTest::newRow("inner space") << "1 2" << false << 0.0 << false << 0;
    QTest::newRow("C hex") << "0x10" << false << 0.0 << false << 0;
    QTest::newRow("full-width digits") << "１２" << false << 0.0 << false << 0;
    QTest::newRow("tone suffix") << "023N" << false << 0.0 << false << 0;
}

void TestMainBlocks::numberTexts()
{
    QFETCH(QString, text);
    QFETCH(bool, isDecimal);
    QFETCH(double, decimal);
    QFETCH(bool, isInteger);
    QFETCH(int, integer);

    const std::optional<double> d = readDecimal(text);
    QCOMPARE(d.has_value(), isDecimal);
    if (isDecimal)
        QCOMPARE(*d, decimal);
    const std::optional<qint32> i = readInteger(text);
    QCOMPARE(i.has_value(), isInteger);
    if (isInteger)
        QCOMPARE(*i, integer);
}

void TestMainBlocks::frequencies_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("hertz");
    QTest::addColumn<QString>("shown"); // as the decoder writes the frequency back

    QTest::newRow("145.50000") << "145.50000" << 145500000u << "145.50000";
    QTest::newRow("145.12345") << "145.12345" << 145123450u << "145.12345";
    QTest::newRow("446.00625") << "446.00625" << 446006250u << "446.00625";
    QTest::newRow("lowest") << "0.00001" << 10u << "0.00001";
    QTest::newRow("highest") << "999.99999" << 999999990u << "999.99999";
    QTest::newRow("short text") << "145.5" << 145500000u << "145.50000";
    QTest::newRow("exponent") << "1.5E2" << 150000000u << "150.00000";
    QTest::newRow("six decimals") << "145.123456" << 145123456u << "145.12346";
    QTest::newRow("largest field") << "2147.483647" << 2147483647u << "2147.48365";
}

void TestMainBlocks::frequencies()
{
    QFETCH(QString, text);
    QFETCH(quint32, hertz);
    QFETCH(QString, shown);

    FrameBuffer tx{};
    ChannelRow row = freshRow(3, Language::Chinese, text);
    QVERIFY2(EncodeChannelBlock(tx, 3, row).ok(), qPrintable(text));
    const quint8 *payload = tx.data() + frame::kPayloadOffset;
    QCOMPARE(payloadU32(payload, 0), hertz);
    QCOMPARE(payloadU32(payload, 4), hertz);
    if (text == QLatin1String("145.50000"))
        QCOMPARE(bytes(tx, 4, 8), QByteArray::fromHex("60 27 AC 08 60 27 AC 08"));

    row[column::RxFrequency].clear();
    row[column::TxFrequency].clear();
    DecodeChannelBlock(tx.data(), row, Language::Chinese);
    QCOMPARE(row[column::RxFrequency], shown);
    QCOMPARE(row[column::TxFrequency], shown);
}

void TestMainBlocks::freshRowIsFirstFrame_data()
{
    QTest::addColumn<Language>("language");
    addLanguageRows("fresh row");
}

void TestMainBlocks::freshRowIsFirstFrame()
{
    QFETCH(Language, language);

    FrameBuffer tx{}; // as after program start
    QVERIFY(EncodeChannelBlock(tx, 7, freshRow(7, language, "145.50000")).ok());
    QCOMPARE(headerOf(tx), QByteArray::fromHex("57 00 07 20"));
    QCOMPARE(payloadOf(tx.data()), kFreshPayload);
    QCOMPARE(tx[frame::kCrcOffset], quint8(0)); // the CRC is the caller's
    QCOMPARE(tx[frame::kCrcOffset + 1], quint8(0));

    // Read back in either language, the row comes out as the table built it.
    for (const Language shown : {Language::Chinese, Language::English}) {
        ChannelRow row = makeRow(7, QStringList(15, QStringLiteral("?")));
        DecodeChannelBlock(tx.data(), row, shown);
        QCOMPARE(row, freshRow(7, shown, "145.50000"));
    }
}

void TestMainBlocks::initialSettings_data()
{
    QTest::addColumn<Language>("language");
    addLanguageRows("initial texts");
}

void TestMainBlocks::initialSettings()
{
    QFETCH(Language, language);

    FrameBuffer tx = usedBuffer();
    QVERIFY(EncodeSettingsBlock(tx, initialPanel(language)).ok());
    QCOMPARE(headerOf(tx), QByteArray::fromHex("57 05 00 20"));
    QCOMPARE(bytes(tx, frame::kPayloadOffset, 16), kInitialSettingsPayload);

    SettingsTexts shown;
    DecodeSettingsBlock(tx.data(), shown, language);
    QCOMPARE(shown, initialPanel(language));
}

void TestMainBlocks::encodeTones_data()
{
    QTest::addColumn<QString>("tone");
    QTest::addColumn<QByteArray>("code");

    QTest::newRow("67.0") << "67.0" << QByteArray::fromHex("9E 02");
    QTest::newRow("254.1") << "254.1" << QByteArray::fromHex("ED 09");
    QTest::newRow("62.5") << "62.5" << QByteArray::fromHex("71 02");
    QTest::newRow("0.0") << "0.0" << QByteArray::fromHex("00 00");
    QTest::newRow("300.0") << "300.0" << QByteArray::fromHex("B8 0B");
    QTest::newRow("any length") << "99" << QByteArray::fromHex("DE 03");
    QTest::newRow("023N") << "023N" << QByteArray::fromHex("17 20");
    QTest::newRow("023I") << "023I" << QByteArray::fromHex("17 A0");
    QTest::newRow("754N") << "754N" << QByteArray::fromHex("F2 22");
    QTest::newRow("007I") << "007I" << QByteArray::fromHex("07 A0");
    QTest::newRow("999N unchecked code") << "999N" << QByteArray::fromHex("E7 23");
    QTest::newRow("Chinese none") << "无" << QByteArray::fromHex("FF FF");
    QTest::newRow("English none") << "NONE" << QByteArray::fromHex("FF FF");
}

void TestMainBlocks::encodeTones()
{
    QFETCH(QString, tone);
    QFETCH(QByteArray, code);

    ChannelRow row = freshRow(1, Language::English, "145.50000");
    row[column::DecodeTone] = tone;
    FrameBuffer tx{};
    QVERIFY(EncodeChannelBlock(tx, 1, row).ok());
    QCOMPARE(bytes(tx, frame::kPayloadOffset + 8, 2), code);
    QCOMPARE(bytes(tx, frame::kPayloadOffset + 10, 2), QByteArray::fromHex("FF FF"));

    row[column::DecodeTone] = QStringLiteral("NONE");
    row[column::EncodeTone] = tone;
    QVERIFY(EncodeChannelBlock(tx, 1, row).ok());
    QCOMPARE(bytes(tx, frame::kPayloadOffset + 8, 2), QByteArray::fromHex("FF FF"));
    QCOMPARE(bytes(tx, frame::kPayloadOffset + 10, 2), code);
}

void TestMainBlocks::decodeTones_data()
{
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("shown"); // empty: the cell keeps what it held

    QTest::newRow("007N") << QByteArray::fromHex("07 20") << Language::Chinese << "007N";
    QTest::newRow("023I") << QByteArray::fromHex("17 A0") << Language::English << "023I";
    QTest::newRow("754N") << QByteArray::fromHex("F2 22") << Language::English << "754N";
    QTest::newRow("four digits") << QByteArray::fromHex("E8 23") << Language::English << "1000N";
    QTest::newRow("67.0") << QByteArray::fromHex("9E 02") << Language::Chinese << "67.0";
    QTest::newRow("100.0") << QByteArray::fromHex("E8 03") << Language::Chinese << "100.0";
    QTest::newRow("0.0") << QByteArray::fromHex("00 00") << Language::English << "0.0";
    QTest::newRow("none, Chinese") << QByteArray::fromHex("FF FF") << Language::Chinese << "无";
    QTest::newRow("none, English") << QByteArray::fromHex("FF FF") << Language::English << "NONE";
    QTest::newRow("top nibble 4") << QByteArray::fromHex("00 40") << Language::Chinese << "";
    QTest::newRow("top nibble 1") << QByteArray::fromHex("17 10") << Language::English << "";
    QTest::newRow("top nibble F") << QByteArray::fromHex("00 F0") << Language::English << "";
}

void TestMainBlocks::decodeTones()
{
    QFETCH(QByteArray, code);
    QFETCH(Language, language);
    QFETCH(QString, shown);

    QByteArray payload = kFreshPayload;
    payload.replace(8, 2, code);
    payload.replace(10, 2, code);
    const FrameBuffer frame = dataFrame(0, 2, payload);

    ChannelRow row = makeRow(2, QStringList(15, QStringLiteral("before")));
    DecodeChannelBlock(frame.data(), row, language);
    const QString expected = shown.isEmpty() ? QStringLiteral("before") : shown;
    QCOMPARE(row[column::DecodeTone], expected);
    QCOMPARE(row[column::EncodeTone], expected);
    QCOMPARE(row[column::RxFrequency], QStringLiteral("145.50000"));
}

void TestMainBlocks::channelWords_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("value");

    QTest::newRow("power 高") << int(column::Power) << "高" << 12 << 0xFF;
    QTest::newRow("power HIGH") << int(column::Power) << "HIGH" << 12 << 0xFF;
    QTest::newRow("power 低") << int(column::Power) << "低" << 12 << 0x00;
    QTest::newRow("power LOW") << int(column::Power) << "LOW" << 12 << 0x00;
    QTest::newRow("power, unknown word") << int(column::Power) << "low" << 12 << 0xFF;
    QTest::newRow("窄带") << int(column::Bandwidth) << "窄带" << 13 << 0x00;
    QTest::newRow("NARROW") << int(column::Bandwidth) << "NARROW" << 13 << 0x00;
    QTest::newRow("WIDE") << int(column::Bandwidth) << "WIDE" << 13 << 0xFF;
    QTest::newRow("scan add 无") << int(column::ScanAdd) << "无" << 14 << 0x00;
    QTest::newRow("scan add NONE") << int(column::ScanAdd) << "NONE" << 14 << 0x00;
    QTest::newRow("scan add YES") << int(column::ScanAdd) << "YES" << 14 << 0xFF;
    QTest::newRow("compander 有") << int(column::Compander) << "有" << 21 << 0xFF;
    QTest::newRow("compander NONE") << int(column::Compander) << "NONE" << 21 << 0x00;
    QTest::newRow("step 6250") << int(column::Step) << "6250" << 15 << 0x6A;
    QTest::newRow("DTMF D") << int(column::DtmfKey1) << "D" << 17 << 0x00;
    QTest::newRow("DTMF 0") << int(column::DtmfKey1) << "0" << 17 << 0x0A;
    QTest::newRow("DTMF 9") << int(column::DtmfKey1) << "9" << 17 << 0x09;
    QTest::newRow("DTMF *") << int(column::DtmfKey1) << "*" << 17 << 0x0B;
    QTest::newRow("DTMF #") << int(column::DtmfKey2) << "#" << 18 << 0x0C;
    QTest::newRow("DTMF A") << int(column::DtmfKey2) << "A" << 18 << 0x0D;
    QTest::newRow("DTMF C") << int(column::DtmfKey2) << "C" << 18 << 0x0F;
    QTest::newRow("DTMF 无") << int(column::DtmfKey2) << "无" << 18 << 0xFF;
    QTest::newRow("DTMF NONE") << int(column::DtmfKey1) << "NONE" << 17 << 0xFF;
    QTest::newRow("PTTID BOTH") << int(column::PttId) << "BOTH" << 19 << 1;
    QTest::newRow("PTTID BOT") << int(column::PttId) << "BOT" << 19 << 2;
    QTest::newRow("PTTID EOT") << int(column::PttId) << "EOT" << 19 << 3;
    QTest::newRow("scrambler 10") << int(column::Scrambler) << "10" << 20 << 10;
    QTest::newRow("signalling 2TONE") << int(column::Signalling) << "2TONE" << 22 << 1;
    QTest::newRow("signalling 5TONE") << int(column::Signalling) << "5TONE" << 22 << 2;
    QTest::newRow("signalling FSK") << int(column::Signalling) << "FSK" << 22 << 3;
    QTest::newRow("signalling info 16") << int(column::SignallingInfo) << "16" << 23 << 16;
}

void TestMainBlocks::channelWords()
{
    QFETCH(int, col);
    QFETCH(QString, text);
    QFETCH(int, at);
    QFETCH(int, value);

    // Only the byte of the changed cell may differ from the fresh row's payload.
    ChannelRow row = freshRow(5, Language::Chinese, "145.50000");
    row[col] = text;
    FrameBuffer tx{};
    QVERIFY(EncodeChannelBlock(tx, 5, row).ok());
    QByteArray expected = kFreshPayload;
    expected[at] = char(value);
    if (col == column::Step)
        expected[at + 1] = char(0x18); // 6250 = 0x186A
    QCOMPARE(payloadOf(tx.data()).toHex(' '), expected.toHex(' '));
}

void TestMainBlocks::decodeChannelWords_data()
{
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("chinese");
    QTest::addColumn<QString>("english");

    QTest::newRow("power 01") << 12 << 0x01 << int(column::Power) << "高"
                              << "HIGH";
    QTest::newRow("power 00") << 12 << 0x00 << int(column::Power) << "低"
                              << "LOW";
    QTest::newRow("bandwidth 80") << 13 << 0x80 << int(column::Bandwidth) << "宽带"
                                  << "WIDE";
    QTest::newRow("bandwidth 00") << 13 << 0x00 << int(column::Bandwidth) << "窄带"
                                  << "NARROW";
    QTest::newRow("scan add 00") << 14 << 0x00 << int(column::ScanAdd) << "无"
                                 << "NONE";
    QTest::newRow("scan add 02") << 14 << 0x02 << int(column::ScanAdd) << "有"
                                 << "YES";
    QTest::newRow("compander FF") << 21 << 0xFF << int(column::Compander) << "有"
                                  << "YES";
    QTest::newRow("compander 00") << 21 << 0x00 << int(column::Compander) << "无"
                                  << "NONE";
    QTest::newRow("step high byte") << 16 << 0x30 << int(column::Step) << "12456"
                                    << "12456";
    QTest::newRow("DTMF 0A") << 17 << 0x0A << int(column::DtmfKey1) << "0"
                             << "0";
    QTest::newRow("DTMF 00") << 18 << 0x00 << int(column::DtmfKey2) << "D"
                             << "D";
    QTest::newRow("DTMF 0B") << 18 << 0x0B << int(column::DtmfKey2) << "*"
                             << "*";
    QTest::newRow("DTMF FF") << 17 << 0xFF << int(column::DtmfKey1) << "无"
                             << "NONE";
    QTest::newRow("PTTID 0") << 19 << 0 << int(column::PttId) << "无"
                             << "NONE";
    QTest::newRow("PTTID 3") << 19 << 3 << int(column::PttId) << "EOT"
                             << "EOT";
    QTest::newRow("scrambler 0") << 20 << 0 << int(column::Scrambler) << "无"
                                 << "NONE";
    QTest::newRow("scrambler 200") << 20 << 200 << int(column::Scrambler) << "200"
                                   << "200";
    QTest::newRow("signalling 3") << 22 << 3 << int(column::Signalling) << "FSK"
                                  << "FSK";
    QTest::newRow("signalling info 0") << 23 << 0 << int(column::SignallingInfo) << "0"
                                       << "0";
}

void TestMainBlocks::decodeChannelWords()
{
    QFETCH(int, at);
    QFETCH(int, value);
    QFETCH(int, col);
    QFETCH(QString, chinese);
    QFETCH(QString, english);

    QByteArray payload = kFreshPayload;
    payload[at] = char(value);
    const FrameBuffer frame = dataFrame(0, 9, payload);
    for (const Language language : {Language::Chinese, Language::English}) {
        ChannelRow row = makeRow(9, QStringList(15, QStringLiteral("?")));
        DecodeChannelBlock(frame.data(), row, language);
        QCOMPARE(row[col], language == Language::Chinese ? chinese : english);
    }
}

void TestMainBlocks::emptyChannel_data()
{
    QTest::addColumn<QString>("rx");
    QTest::newRow("empty cell") << "";
    QTest::newRow("loaded from a file") << " ";
}

void TestMainBlocks::emptyChannel()
{
    QFETCH(QString, rx);

    ChannelRow row = freshRow(12, Language::Chinese, "145.50000");
    row[column::RxFrequency] = rx;
    row[column::Step] = QStringLiteral("not read for an empty channel");
    FrameBuffer tx = usedBuffer();
    const FrameBuffer before = tx;
    QVERIFY(EncodeChannelBlock(tx, 12, row).ok());
    QCOMPARE(headerOf(tx), QByteArray::fromHex("57 00 0C 20"));
    QCOMPARE(payloadOf(tx.data()), QByteArray(27, '\0') + QByteArray(1, char(0xFF)));
    QVERIFY(
        std::equal(tx.begin() + frame::kCrcOffset, tx.end(), before.begin() + frame::kCrcOffset));

    // Reading the empty channel back empties the row but keeps its number.
    ChannelRow shown = freshRow(12, Language::English, "433.00000");
    DecodeChannelBlock(tx.data(), shown, Language::English);
    ChannelRow expected;
    expected[column::Number] = QStringLiteral("12");
    QCOMPARE(shown, expected);
}

void TestMainBlocks::transmitFrequencyZero()
{
    for (const QString &tx : {QString(), QStringLiteral(" ")}) {
        ChannelRow row = freshRow(4, Language::English, "145.50000");
        row[column::TxFrequency] = tx;
        FrameBuffer buffer = usedBuffer();
        QVERIFY(EncodeChannelBlock(buffer, 4, row).ok());
        QCOMPARE(bytes(buffer, frame::kPayloadOffset, 8),
                 QByteArray::fromHex("60 27 AC 08 00 00 00 00"));
    }

    QByteArray payload = kFreshPayload;
    payload.replace(4, 4, QByteArray(4, '\0'));
    const FrameBuffer frame = dataFrame(0, 4, payload);
    ChannelRow row = freshRow(4, Language::English, "446.00000");
    DecodeChannelBlock(frame.data(), row, Language::English);
    QCOMPARE(row[column::RxFrequency], QStringLiteral("145.50000"));
    QVERIFY(row[column::TxFrequency].isEmpty());
}

void TestMainBlocks::untouchedBytes()
{
    // Texts outside the lists leave their byte as the frame before left it, and so do the
    // bytes the channel block never writes.
    ChannelRow row = freshRow(2, Language::Chinese, "145.50000");
    row[column::DtmfKey1] = QStringLiteral("E");
    row[column::DtmfKey2] = QStringLiteral("none");
    row[column::PttId] = QStringLiteral("BOTHX");
    row[column::Signalling] = QStringLiteral("3TONE");
    FrameBuffer tx = usedBuffer();
    const FrameBuffer before = tx;
    QVERIFY(EncodeChannelBlock(tx, 2, row).ok());

    QByteArray expected = kFreshPayload;
    for (const int at : {17, 18, 19, 22, 24, 25, 26})
        expected[at] = char(before[frame::kPayloadOffset + at]);
    QCOMPARE(payloadOf(tx.data()).toHex(' '), expected.toHex(' '));
    QVERIFY(
        std::equal(tx.begin() + frame::kCrcOffset, tx.end(), before.begin() + frame::kCrcOffset));

    // The settings block writes payload bytes 0..15 only.
    const FrameBuffer afterChannel = tx;
    QVERIFY(EncodeSettingsBlock(tx, initialPanel(Language::Chinese)).ok());
    QCOMPARE(bytes(tx, frame::kPayloadOffset, 16), kInitialSettingsPayload);
    QVERIFY(std::equal(tx.begin() + frame::kPayloadOffset + 16, tx.end(),
                       afterChannel.begin() + frame::kPayloadOffset + 16));
    QCOMPARE(tx[frame::kPayloadOffset + 27], quint8(0xFF)); // left by the channel block
}

void TestMainBlocks::settingsWords_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("value");

    QTest::newRow("VOX level NONE") << int(setting::VoxLevel) << "NONE" << 8 << 0;
    QTest::newRow("VOX level 10") << int(setting::VoxLevel) << "10" << 8 << 10;
    QTest::newRow("VOX delay 3") << int(setting::VoxDelay) << "3" << 9 << 3;
    QTest::newRow("squelch 9") << int(setting::Squelch) << "9" << 10 << 9;
    QTest::newRow("TOT 关") << int(setting::TimeOut) << "关" << 11 << 0;
    QTest::newRow("TOT CLOSE") << int(setting::TimeOut) << "CLOSE" << 11 << 0;
    QTest::newRow("TOT 180") << int(setting::TimeOut) << "180" << 11 << 0xB4;
    QTest::newRow("voice 关") << int(setting::VoicePrompt) << "关" << 12 << 0;
    QTest::newRow("voice CLOSE") << int(setting::VoicePrompt) << "CLOSE" << 12 << 0;
    QTest::newRow("voice CHINESE") << int(setting::VoicePrompt) << "CHINESE" << 12 << 1;
    QTest::newRow("voice 英文") << int(setting::VoicePrompt) << "英文" << 12 << 2;
    QTest::newRow("voice ENGLISH") << int(setting::VoicePrompt) << "ENGLISH" << 12 << 2;
    QTest::newRow("voice, other text") << int(setting::VoicePrompt) << "?" << 12 << 2;
    QTest::newRow("PF1 警报音") << int(setting::Pf1) << "警报音" << 13 << 1;
    QTest::newRow("PF1 自动拨号") << int(setting::Pf1) << "自动拨号" << 13 << 3;
    QTest::newRow("PF1 Emergency Alarm") << int(setting::Pf1) << "Emergency Alarm" << 13 << 1;
    QTest::newRow("PF1 Monitor") << int(setting::Pf1) << "Monitor" << 13 << 2;
    QTest::newRow("PF2 暂时删除") << int(setting::Pf2) << "暂时删除" << 14 << 12;
    QTest::newRow("PF2 Scan+Temporary Delete")
        << int(setting::Pf2) << "Scan+Temporary Delete" << 14 << 8;
    QTest::newRow("PF2 unknown") << int(setting::Pf2) << "scan" << 14 << 0;
    QTest::newRow("scan 关") << int(setting::Scan) << "关" << 15 << 0;
    QTest::newRow("scan CLOSE") << int(setting::Scan) << "CLOSE" << 15 << 0;
    QTest::newRow("scan OPEN") << int(setting::Scan) << "OPEN" << 15 << 1;
    QTest::newRow("battery save 关") << int(setting::BatterySave) << "关" << 0 << 0;
    QTest::newRow("battery save OPEN") << int(setting::BatterySave) << "OPEN" << 0 << 1;
    QTest::newRow("beep CLOSE") << int(setting::Beep) << "CLOSE" << 1 << 0;
    QTest::newRow("beep, other text") << int(setting::Beep) << "open" << 1 << 0;
}

void TestMainBlocks::settingsWords()
{
    QFETCH(int, box);
    QFETCH(QString, text);
    QFETCH(int, at);
    QFETCH(int, value);

    // Starting from the initial Chinese panel, only the byte of the changed box may differ.
    SettingsTexts settings = initialPanel(Language::Chinese);
    settings[box] = text;
    FrameBuffer tx = usedBuffer();
    QVERIFY(EncodeSettingsBlock(tx, settings).ok());
    QByteArray expected = kInitialSettingsPayload;
    expected[at] = char(value);
    QCOMPARE(bytes(tx, frame::kPayloadOffset, 16).toHex(' '), expected.toHex(' '));
}

void TestMainBlocks::decodeSettings_data()
{
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("chinese");
    QTest::addColumn<QString>("english");

    QTest::newRow("battery save 2") << 0 << 2 << int(setting::BatterySave) << "关"
                                    << "CLOSE";
    QTest::newRow("beep 0") << 1 << 0 << int(setting::Beep) << "关"
                            << "CLOSE";
    QTest::newRow("scan FF") << 15 << 0xFF << int(setting::Scan) << "关"
                             << "CLOSE";
    QTest::newRow("VOX level 0") << 8 << 0 << int(setting::VoxLevel) << "无"
                                 << "NONE";
    QTest::newRow("VOX level 7") << 8 << 7 << int(setting::VoxLevel) << "7"
                                 << "7";
    QTest::newRow("VOX delay 2") << 9 << 2 << int(setting::VoxDelay) << "2"
                                 << "2";
    QTest::newRow("squelch 9") << 10 << 9 << int(setting::Squelch) << "9"
                               << "9";
    QTest::newRow("TOT 0") << 11 << 0 << int(setting::TimeOut) << "关"
                           << "CLOSE";
    QTest::newRow("TOT 180") << 11 << 180 << int(setting::TimeOut) << "180"
                             << "180";
    QTest::newRow("voice 0") << 12 << 0 << int(setting::VoicePrompt) << "关"
                             << "CLOSE";
    QTest::newRow("voice 2") << 12 << 2 << int(setting::VoicePrompt) << "英文"
                             << "ENGLISH";
    QTest::newRow("voice 9") << 12 << 9 << int(setting::VoicePrompt) << "英文"
                             << "ENGLISH";
    QTest::newRow("PF1 1") << 13 << 1 << int(setting::Pf1) << "警报音"
                           << "Emergency Alarm";
    QTest::newRow("PF1 3") << 13 << 3 << int(setting::Pf1) << "自动拨号"
                           << "Autodial";
    QTest::newRow("PF2 12") << 14 << 12 << int(setting::Pf2) << "暂时删除"
                            << "Temporary Delete";
    QTest::newRow("PF2 13") << 14 << 13 << int(setting::Pf2) << "无"
                            << "NONE";
}

void TestMainBlocks::decodeSettings()
{
    QFETCH(int, at);
    QFETCH(int, value);
    QFETCH(int, box);
    QFETCH(QString, chinese);
    QFETCH(QString, english);

    QByteArray payload = kInitialSettingsPayload + QByteArray(12, char(0xCC));
    payload[at] = char(value);
    const FrameBuffer frame = dataFrame(5, 0, payload);
    for (const Language language : {Language::Chinese, Language::English}) {
        SettingsTexts settings;
        settings.fill(QStringLiteral("?"));
        DecodeSettingsBlock(frame.data(), settings, language);
        SettingsTexts expected = initialPanel(language);
        expected[box] = language == Language::Chinese ? chinese : english;
        QCOMPARE(settings, expected);
    }
}

void TestMainBlocks::numbersKeepTheirLowBits_data()
{
    QTest::addColumn<int>("col"); // a channel column, or -1 with `box` a settings box
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("stored");

    QTest::newRow("step 70000") << int(column::Step) << 0 << "70000"
                                << QByteArray::fromHex("70 11");
    QTest::newRow("step hex") << int(column::Step) << 0 << "$3039" << QByteArray::fromHex("39 30");
    QTest::newRow("scrambler 300")
        << int(column::Scrambler) << 0 << "300" << QByteArray::fromHex("2C");
    QTest::newRow("scrambler -1") << int(column::Scrambler) << 0 << "-1"
                                  << QByteArray::fromHex("FF");
    QTest::newRow("signalling info 256")
        << int(column::SignallingInfo) << 0 << "256" << QByteArray::fromHex("00");
    QTest::newRow("TOT 300") << -1 << int(setting::TimeOut) << "300" << QByteArray::fromHex("2C");
    QTest::newRow("squelch +5") << -1 << int(setting::Squelch) << " +5"
                                << QByteArray::fromHex("05");
}

void TestMainBlocks::numbersKeepTheirLowBits()
{
    QFETCH(int, col);
    QFETCH(int, box);
    QFETCH(QString, text);
    QFETCH(QByteArray, stored);

    FrameBuffer tx{};
    if (col >= 0) {
        ChannelRow row = freshRow(1, Language::English, "145.50000");
        row[col] = text;
        QVERIFY(EncodeChannelBlock(tx, 1, row).ok());
        const int at = col == column::Step ? 15 : col == column::Scrambler ? 20 : 23;
        QCOMPARE(bytes(tx, frame::kPayloadOffset + at, stored.size()), stored);
    } else {
        SettingsTexts settings = initialPanel(Language::English);
        settings[box] = text;
        QVERIFY(EncodeSettingsBlock(tx, settings).ok());
        const int at = box == setting::TimeOut ? 11 : 10;
        QCOMPARE(bytes(tx, frame::kPayloadOffset + at, 1), stored);
    }
}

void TestMainBlocks::channelFailures_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    const QString notFloat = QStringLiteral("'%1' is not a valid floating point value");
    const QString notInteger = QStringLiteral("'%1' is not a valid integer value");

    QTest::newRow("RX letters") << int(column::RxFrequency) << "abc" << notFloat.arg("abc");
    QTest::newRow("RX point") << int(column::RxFrequency) << "." << notFloat.arg(".");
    QTest::newRow("RX comma") << int(column::RxFrequency) << "1,5" << notFloat.arg("1,5");
    QTest::newRow("RX two spaces") << int(column::RxFrequency) << "  " << notFloat.arg("  ");
    QTest::newRow("RX not whole Hz")
        << int(column::RxFrequency) << "145.1234567" << notInteger.arg("145123456.7");
    QTest::newRow("RX beyond 32 bits")
        << int(column::RxFrequency) << "5000" << notInteger.arg("5000000000");
    QTest::newRow("RX 2^31 Hz") << int(column::RxFrequency) << "2147.483648"
                                << notInteger.arg("2147483648");
    QTest::newRow("RX negative") << int(column::RxFrequency) << "-145.5"
                                 << notInteger.arg("-145500000");
    QTest::newRow("TX typed wrong") << int(column::TxFrequency) << "4N6" << notFloat.arg("4N6");
    QTest::newRow("tone not whole")
        << int(column::DecodeTone) << "12.34" << notInteger.arg("123.4");
    QTest::newRow("tone too high") << int(column::EncodeTone) << "500.0" << notInteger.arg("5000");
    QTest::newRow("tone negative") << int(column::EncodeTone) << "-5.0" << notInteger.arg("-50");
    QTest::newRow("DCS not digits") << int(column::DecodeTone) << "0X3N" << notInteger.arg("0X3N");
    QTest::newRow("DCS lowercase") << int(column::DecodeTone) << "023n" << notFloat.arg("023n");
    QTest::newRow("tone word") << int(column::EncodeTone) << "ONE" << notFloat.arg("ONE");
    QTest::newRow("step decimal") << int(column::Step) << "25000.0" << notInteger.arg("25000.0");
    QTest::newRow("step empty") << int(column::Step) << "" << notInteger.arg("");
    QTest::newRow("scrambler word") << int(column::Scrambler) << "on" << notInteger.arg("on");
    QTest::newRow("scrambler overflow")
        << int(column::Scrambler) << "99999999999" << notInteger.arg("99999999999");
    QTest::newRow("signalling info") << int(column::SignallingInfo) << "x" << notInteger.arg("x");
}

void TestMainBlocks::channelFailures()
{
    QFETCH(int, col);
    QFETCH(QString, text);
    QFETCH(QString, message);

    ChannelRow row = freshRow(6, Language::Chinese, "145.50000");
    row[col] = text;
    FrameBuffer tx = usedBuffer();
    const FrameBuffer before = tx;
    const Conversion result = EncodeChannelBlock(tx, 6, row);
    QVERIFY(!result.ok());
    QCOMPARE(result.error, message);
    // The frame is not half built: the buffer still holds the frame before, which a resend
    // may repeat, and its CRC still matches.
    QVERIFY(tx == before);
}

void TestMainBlocks::settingsFailures_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("VOX level word") << int(setting::VoxLevel) << "OPEN"
                                    << "'OPEN' is not a valid integer value";
    QTest::newRow("VOX delay empty") << int(setting::VoxDelay) << ""
                                     << "'' is not a valid integer value";
    QTest::newRow("squelch letter") << int(setting::Squelch) << "a"
                                    << "'a' is not a valid integer value";
    QTest::newRow("TOT decimal") << int(setting::TimeOut) << "1.5"
                                 << "'1.5' is not a valid integer value";
}

void TestMainBlocks::settingsFailures()
{
    QFETCH(int, box);
    QFETCH(QString, text);
    QFETCH(QString, message);

    SettingsTexts settings = initialPanel(Language::English);
    settings[box] = text;
    FrameBuffer tx = usedBuffer();
    const FrameBuffer before = tx;
    const Conversion result = EncodeSettingsBlock(tx, settings);
    QCOMPARE(result.error, message);
    QVERIFY(tx == before);
}

void TestMainBlocks::decodeLeavesUnknownCodes_data()
{
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("value");
    QTest::addColumn<QList<int>>("kept");

    QTest::newRow("DTMF 16") << 17 << 16 << QList<int>{column::DtmfKey1};
    QTest::newRow("DTMF 128") << 18 << 128 << QList<int>{column::DtmfKey2};
    QTest::newRow("DTMF 254") << 17 << 254 << QList<int>{column::DtmfKey1};
    QTest::newRow("PTTID 4") << 19 << 4 << QList<int>{column::PttId};
    QTest::newRow("PTTID 255") << 19 << 255 << QList<int>{column::PttId};
    QTest::newRow("signalling 4") << 22 << 4 << QList<int>{column::Signalling};
    QTest::newRow("signalling 200") << 22 << 200 << QList<int>{column::Signalling};
    QTest::newRow("tone nibble 4") << 9 << 0x40 << QList<int>{column::DecodeTone};
    QTest::newRow("tone nibble 8") << 11 << 0x83 << QList<int>{column::EncodeTone};
}

void TestMainBlocks::decodeLeavesUnknownCodes()
{
    QFETCH(int, at);
    QFETCH(int, value);
    QFETCH(QList<int>, kept);

    QByteArray payload = kFreshPayload;
    payload[at] = char(value);
    const FrameBuffer frame = dataFrame(0, 8, payload);
    const ChannelRow before = makeRow(8, QStringList(15, QStringLiteral("kept")));
    ChannelRow row = before;
    DecodeChannelBlock(frame.data(), row, Language::English);

    ChannelRow expected = freshRow(8, Language::English, "145.50000");
    for (const int col : kept)
        expected[col] = before[col];
    QCOMPARE(row, expected);
}

void TestMainBlocks::dispatch()
{
    ChannelSheet sheet;
    sheet.rows[0] = makeRow(0, QStringList(15, QStringLiteral("caption")));
    for (int r = 1; r <= kChannelCount; ++r)
        sheet.rows[r] = makeRow(r, QStringList(15, QString()));
    sheet.settings = initialPanel(Language::Chinese);
    const ChannelSheet initial = sheet;

    // Blocks the protocol never asks for change nothing, the caption row least of all.
    for (const int block : {0, 17, 255}) {
        const FrameBuffer frame = dataFrame(0, quint8(block), kFreshPayload);
        QCOMPARE(DecodeMainBlock(frame.data(), sheet, Language::Chinese), DecodedBlock{});
        QVERIFY2(sheet.rows == initial.rows, qPrintable(QString::number(block)));
        QVERIFY(sheet.settings == initial.settings);
    }

    const FrameBuffer channel = dataFrame(0, 3, kFreshPayload);
    QCOMPARE(DecodeMainBlock(channel.data(), sheet, Language::English),
             (DecodedBlock{DecodedBlock::Kind::Channel, 3}));
    QCOMPARE(sheet.rows[3], freshRow(3, Language::English, "145.50000"));
    sheet.rows[3] = initial.rows[3];
    QVERIFY(sheet.rows == initial.rows);

    // Any bank other than the settings bank is taken as a channel block.
    const FrameBuffer otherBank = dataFrame(2, 16, kFreshPayload);
    QCOMPARE(DecodeMainBlock(otherBank.data(), sheet, Language::Chinese),
             (DecodedBlock{DecodedBlock::Kind::Channel, 16}));
    QCOMPARE(sheet.rows[16], freshRow(16, Language::Chinese, "145.50000"));
    sheet.rows[16] = initial.rows[16];

    QByteArray settingsPayload = kInitialSettingsPayload + QByteArray(12, '\0');
    settingsPayload[12] = 2;
    const FrameBuffer settings = dataFrame(5, 0, settingsPayload);
    QCOMPARE(DecodeMainBlock(settings.data(), sheet, Language::English),
             (DecodedBlock{DecodedBlock::Kind::Settings, 0}));
    SettingsTexts expected = initialPanel(Language::English);
    expected[setting::VoicePrompt] = QStringLiteral("ENGLISH");
    QCOMPARE(sheet.settings, expected);
    QVERIFY(sheet.rows == initial.rows);
}

namespace {

quint16 randomTone(QRandomGenerator &random)
{
    switch (random.bounded(4)) {
    case 0:
        return 0xFFFF;
    case 1:
        return quint16(random.bounded(2542)); // CTCSS up to 254.1 Hz
    case 2:
        return quint16(0x2000 | random.bounded(1000));
    default:
        return quint16(0xA000 | random.bounded(1000));
    }
}

quint8 randomSwitch(QRandomGenerator &random)
{
    return random.bounded(2) ? 0xFF : 0x00;
}

quint32 randomFrequency(QRandomGenerator &random)
{
    return 10u * quint32(random.bounded(1, 100000000)); // 10 Hz to 999,999,990 Hz
}

// A channel block as the radio defines it, with random bytes where the block holds nothing.
QByteArray randomChannelPayload(QRandomGenerator &random)
{
    static constexpr quint16 kSteps[] = {5000, 6250, 10000, 12500, 25000};
    QByteArray bytes(frame::kPayloadSize, '\0');
    auto *payload = reinterpret_cast<quint8 *>(bytes.data());
    putPayloadU32(payload, 0, randomFrequency(random));
    putPayloadU32(payload, 4, random.bounded(5) == 0 ? 0 : randomFrequency(random));
    putPayloadU16(payload, 8, randomTone(random));
    putPayloadU16(payload, 10, randomTone(random));
    payload[12] = randomSwitch(random);
    payload[13] = randomSwitch(random);
    payload[14] = randomSwitch(random);
    putPayloadU16(payload, 15, kSteps[random.bounded(5)]);
    for (const int at : {17, 18}) {
        const int key = random.bounded(17);
        payload[at] = key == 16 ? 0xFF : quint8(key);
    }
    payload[19] = quint8(random.bounded(4));
    payload[20] = quint8(random.bounded(11));
    payload[21] = randomSwitch(random);
    payload[22] = quint8(random.bounded(4));
    payload[23] = quint8(random.bounded(1, 17));
    for (const int at : {24, 25, 26})
        payload[at] = quint8(random.bounded(256));
    payload[27] = 0xFF;
    return bytes;
}

QByteArray randomSettingsPayload(QRandomGenerator &random)
{
    static constexpr quint8 kTimeOuts[] = {0, 60, 120, 180};
    QByteArray bytes(frame::kPayloadSize, '\0');
    auto *payload = reinterpret_cast<quint8 *>(bytes.data());
    payload[0] = quint8(random.bounded(2));
    payload[1] = quint8(random.bounded(2));
    payload[8] = quint8(random.bounded(11));
    payload[9] = quint8(random.bounded(1, 4));
    payload[10] = quint8(random.bounded(10));
    payload[11] = kTimeOuts[random.bounded(4)];
    payload[12] = quint8(random.bounded(3));
    payload[13] = quint8(random.bounded(13));
    payload[14] = quint8(random.bounded(13));
    payload[15] = quint8(random.bounded(2));
    for (int at = 16; at < frame::kPayloadSize; ++at)
        payload[at] = quint8(random.bounded(256));
    return bytes;
}

} // namespace

void TestMainBlocks::channelRoundTrip_data()
{
    QTest::addColumn<Language>("language");
    addLanguageRows("channels");
}

void TestMainBlocks::channelRoundTrip()
{
    QFETCH(Language, language);

    QRandomGenerator random(language == Language::English ? 4242u : 2424u);
    ChannelRow row = makeRow(1, QStringList(15, QString()));
    for (int i = 0; i < 2000; ++i) {
        const int block = 1 + i % kChannelCount;
        const QByteArray sent = randomChannelPayload(random);
        const FrameBuffer received = dataFrame(0, quint8(block), sent);
        row[column::Number] = QString::number(block);
        DecodeChannelBlock(received.data(), row, language); // over the previous row's texts

        FrameBuffer tx = usedBuffer(quint8(i));
        const FrameBuffer before = tx;
        const Conversion result = EncodeChannelBlock(tx, block, row);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(headerOf(tx), headerOf(received));
        QByteArray expected = sent;
        for (const int at : {24, 25, 26})
            expected[at] = char(before[frame::kPayloadOffset + at]);
        QVERIFY2(payloadOf(tx.data()) == expected,
                 qPrintable(QStringLiteral("frame %1 sent %2 came back %3")
                                .arg(i)
                                .arg(QString::fromLatin1(sent.toHex(' ')),
                                     QString::fromLatin1(payloadOf(tx.data()).toHex(' ')))));
    }
}

void TestMainBlocks::settingsRoundTrip_data()
{
    QTest::addColumn<Language>("language");
    addLanguageRows("settings");
}

void TestMainBlocks::settingsRoundTrip()
{
    QFETCH(Language, language);

    QRandomGenerator random(language == Language::English ? 77u : 88u);
    SettingsTexts settings = initialPanel(language);
    for (int i = 0; i < 1000; ++i) {
        const QByteArray sent = randomSettingsPayload(random);
        const FrameBuffer received = dataFrame(5, 0, sent);
        DecodeSettingsBlock(received.data(), settings, language);

        FrameBuffer tx = usedBuffer(quint8(i));
        const FrameBuffer before = tx;
        const Conversion result = EncodeSettingsBlock(tx, settings);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(headerOf(tx), QByteArray::fromHex("57 05 00 20"));
        QCOMPARE(bytes(tx, frame::kPayloadOffset, 16).toHex(' '), sent.left(16).toHex(' '));
        QVERIFY(std::equal(tx.begin() + frame::kPayloadOffset + 16, tx.end(),
                           before.begin() + frame::kPayloadOffset + 16));
    }
}

QTEST_GUILESS_MAIN(TestMainBlocks)
#include "tst_mainblocks.moc"
