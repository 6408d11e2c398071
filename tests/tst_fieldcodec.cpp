// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/controls.h"
#include "signalling/fieldtable.h"

#include "support/codecframes.h"

#include <QtTest>

using namespace wf;

Q_DECLARE_METATYPE(wf::Language)

namespace {

// A record with the kinds of field the signalling windows have, laid out in one payload the way
// the 2-Tone and 5-Tone blocks keep them.
struct Sample
{
    QString number;   // 16-bit
    QString time;     // milliseconds in tens, one byte
    QString tone;     // a decimal that must be whole, 16-bit
    QString code;     // five hexadecimal digits in three bytes
    QString standard; // low 4 bits of a byte
    QString function; // high 4 bits of the same byte
    QString response; // words of the display language only
    QString timer;    // "off" or a number, one byte
    QString cell;     // a table cell: blank is 0
    bool flag = false;
    bool strictFlag = false;
};

constexpr WordPair kNumberName{u"数字", u"Number"};
constexpr WordPair kTimeName{u"时间(MS)", u"Time(ms) "};

constexpr CodeWord kStandardWords[] = {
    {1, same(u"CCIR")},  {2, same(u"EIA")},   {3, same(u"EEA")},
    {4, same(u"ZVEI1")}, {5, same(u"ZVEI2")},
};
constexpr CodeWord kFunctionWords[] = {
    {0, {u"通话", u"CALL"}},
    {1, {u"主叫", u"ASK"}},
    {6, {u"遥毙", u"REMOTE"}},
    {8, {u"唤醒", u"AWAKEN"}},
};
constexpr CodeWord kResponseWords[] = {
    {0, {u"无", u"NONE"}}, {1, {u"提醒", u"REMIND"}}, {3, {u"提醒并回复", u"REMIND+REPLY"}}};
constexpr CodeWord kOffWords[] = {{0, {u"关", u"Off"}}};

constexpr Field<Sample> kSampleFields[] = {
    {integerField(0, 2, kNumberName), &Sample::number},
    {scaledField(2, 1, 10, kTimeName), &Sample::time},
    {wholeDecimalField(3, 2, same(u"Atone(hz)")), &Sample::tone},
    {hexField(5, 3, 5, same(u"First Frame Coding")), &Sample::code},
    {wordField(8, kStandardWords, same(u"Use Standard")).withBits(0, 4).withUnknown(0, kKeepText),
     &Sample::standard},
    {wordField(8, kFunctionWords, same(u"Function"), WordMatch::DisplayLanguage)
         .withBits(4, 4)
         .withUnknown(0, 0),
     &Sample::function},
    {wordField(9, kResponseWords, same(u"Response Mode"), WordMatch::DisplayLanguage),
     &Sample::response},
    {integerField(10, 1, same(u"Timer")).withWords(kOffWords).withRange(0, 99), &Sample::timer},
    {integerField(11, 2, same(u"Fleet")).withBlankAsZero(), &Sample::cell},
    {flagField(13), &Sample::flag},
    {flagField(14).withOnByteOnly(), &Sample::strictFlag},
};

Sample baseSample()
{
    Sample s;
    s.number = "1";
    s.time = "50";
    s.tone = "1981";
    s.code = "12345";
    s.standard = "CCIR";
    s.function = "CALL";
    s.response = "NONE";
    s.timer = "Off";
    s.cell = "";
    return s;
}

// The bytes of baseSample() in English.
const QByteArray kBasePayload =
    QByteArray::fromHex("01 00 05 BD 07 45 23 01 01 00 00 00 00 00 00") + QByteArray(13, '\0');

// Where each field of the sample table starts.
const QHash<QString, int> kFieldAt = {{"number", 0}, {"time", 2},   {"tone", 3},
                                      {"code", 5},   {"timer", 10}, {"cell", 11}};

QString *member(Sample &s, const QString &name)
{
    static const QHash<QString, QString Sample::*> members = {
        {"number", &Sample::number},     {"time", &Sample::time},
        {"tone", &Sample::tone},         {"code", &Sample::code},
        {"standard", &Sample::standard}, {"function", &Sample::function},
        {"response", &Sample::response}, {"timer", &Sample::timer},
        {"cell", &Sample::cell},
    };
    return &(s.*members.value(name));
}

Payload payloadFrom(const QByteArray &bytes)
{
    Payload payload{};
    std::copy(bytes.begin(), bytes.end(), payload.begin());
    return payload;
}

} // namespace

class TestFieldCodec final : public QObject
{
    Q_OBJECT

private slots:
    void fields_data();
    void fields();
    void sharedByte();
    void flags_data();
    void flags();
    void failures_data();
    void failures();
    void rowRuns();
    void itemLists();
};

void TestFieldCodec::fields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Language>("language");
    QTest::addColumn<int>("at");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QString>("shown"); // read back in the same language; "?" keeps the text
    const auto add = [](const char *name, const char *field, const char *text, Language language,
                        int at, const char *hex, const char *shown) {
        QTest::newRow(name) << QString(field) << QString::fromUtf8(text) << language << at
                            << QByteArray::fromHex(hex) << QString::fromUtf8(shown);
    };
    const Language zh = Language::Chinese;
    const Language en = Language::English;
    add("integer largest", "number", "65535", en, 0, "FFFF", "65535");
    add("integer hexadecimal", "number", "$1F", en, 0, "1F00", "31");
    add("integer spaces", "number", " 7 ", en, 0, "0700", "7");
    add("scaled 1000", "time", "1000", en, 2, "64", "1000");
    add("scaled 0", "time", "0", en, 2, "00", "0");
    add("scaled largest", "time", "2550", en, 2, "FF", "2550");
    add("whole decimal", "tone", "1124.0", en, 3, "6404", "1124");
    add("whole decimal exponent", "tone", "1.275E3", en, 3, "FB04", "1275");
    add("hex five digits", "code", "12345", en, 5, "452301", "12345");
    add("hex short", "code", "ab", en, 5, "AB0000", "000AB");
    add("hex sixth digit kept, not shown", "code", "123456", en, 5, "563412", "23456");
    add("word either language", "standard", "ZVEI1", zh, 8, "04", "ZVEI1");
    add("word not listed", "standard", "XYZ", en, 8, "00", "?");
    add("display word, English", "function", "AWAKEN", en, 8, "81", "AWAKEN");
    add("display word, Chinese", "function", "遥毙", zh, 8, "61", "遥毙");
    add("other language's word", "function", "遥毙", en, 8, "01", "CALL");
    add("response, English", "response", "REMIND+REPLY", en, 9, "03", "REMIND+REPLY");
    add("response, Chinese", "response", "提醒", zh, 9, "01", "提醒");
    add("response in the wrong language", "response", "REMIND", zh, 9, "00", "无");
    add("word for 0, Chinese", "timer", "关", zh, 10, "00", "关");
    add("word for 0, English", "timer", "关", en, 10, "00", "Off");
    add("number beside a word", "timer", "99", en, 10, "63", "99");
    add("blank cell", "cell", "", en, 11, "0000", "");
    add("single space", "cell", " ", en, 11, "0000", "");
    add("filled cell", "cell", "4464", en, 11, "7011", "4464");
}

void TestFieldCodec::fields()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(Language, language);
    QFETCH(int, at);
    QFETCH(QByteArray, code);
    QFETCH(QString, shown);

    Sample sample = baseSample();
    *member(sample, field) = text;
    QByteArray expected = kBasePayload;
    for (int i = 0; i < code.size(); ++i)
        expected[at + i] = code[i];
    if (field == "function")
        expected[8] = char(code[0] | 0x01); // the standard's nibble of the same byte stays CCIR
    Payload payload{};
    QVERIFY(encodeFields(kSampleFields, sample, payload.data(), language).ok());
    QCOMPARE(bytesOf(payload).toHex(' '), expected.toHex(' '));

    Sample read;
    *member(read, field) = "?";
    decodeFields(kSampleFields, payload.data(), read, language);
    QCOMPARE(*member(read, field), shown);
}

void TestFieldCodec::sharedByte()
{
    // Two fields in the two halves of one byte, as the 5-Tone decode rows keep the standard and
    // the first function: each keeps the other's bits.
    Sample sample = baseSample();
    sample.standard = "EEA";
    sample.function = "ASK";
    Payload payload{};
    payload[8] = 0xFF;
    QVERIFY(encodeFields(kSampleFields, sample, payload.data(), Language::English).ok());
    QCOMPARE(payload[8], quint8(0x13));

    // Codes outside the tables: the standard keeps its text, the function shows code 0's word.
    payload[8] = 0xF9;
    Sample read = baseSample();
    read.standard = "kept";
    decodeFields(kSampleFields, payload.data(), read, Language::Chinese);
    QCOMPARE(read.standard, QStringLiteral("kept"));
    QCOMPARE(read.function, QStringLiteral("通话"));
}

void TestFieldCodec::flags_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<bool>("anyNonZero");
    QTest::addColumn<bool>("onByteOnly");
    QTest::newRow("00") << 0x00 << false << false;
    QTest::newRow("01") << 0x01 << true << false;
    QTest::newRow("FE") << 0xFE << true << false;
    QTest::newRow("FF") << 0xFF << true << true;
}

void TestFieldCodec::flags()
{
    QFETCH(int, byte);
    QFETCH(bool, anyNonZero);
    QFETCH(bool, onByteOnly);

    Payload payload = payloadFrom(kBasePayload);
    payload[13] = payload[14] = quint8(byte);
    Sample read = baseSample();
    read.flag = !anyNonZero;
    read.strictFlag = !onByteOnly;
    decodeFields(kSampleFields, payload.data(), read, Language::English);
    QCOMPARE(read.flag, anyNonZero);
    QCOMPARE(read.strictFlag, onByteOnly);

    // Written back, a checked box is always the on byte.
    Payload written{};
    QVERIFY(encodeFields(kSampleFields, read, written.data(), Language::English).ok());
    QCOMPARE(written[13], quint8(anyNonZero ? 0xFF : 0x00));
    QCOMPARE(written[14], quint8(onByteOnly ? 0xFF : 0x00));
}

void TestFieldCodec::failures_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("message");
    const Language zh = Language::Chinese;
    const Language en = Language::English;
    const auto add = [](const char *name, const char *field, const char *text, Language language,
                        const char *message) {
        QTest::newRow(name) << QString(field) << QString::fromUtf8(text) << language
                            << QString::fromUtf8(message);
    };
    // The fields are checked in the order of their bytes.
    add("not an integer", "number", "12a", en, "'12a' is not a valid integer value");
    add("empty integer", "number", "", zh, "'' is not a valid integer value");
    add("decimal for an integer", "number", "1.0", en, "'1.0' is not a valid integer value");
    add("too large", "number", "65536", en, "Number: 65536 is out of range (0 to 65535)");
    add("too large, Chinese", "number", "70000", zh, "数字：70000 超出范围（0 至 65535）");
    add("negative", "number", "-1", en, "Number: -1 is out of range (0 to 65535)");
    add("beyond 32 bits", "number", "4294967296", en, "'4294967296' is not a valid integer value");
    add("not a multiple", "time", "105", en, "'10.5' is not a valid integer value");
    add("not a multiple, a tenth", "time", "1", zh, "'0.1' is not a valid integer value");
    add("scaled not a number", "time", "fast", en, "'fast' is not a valid integer value");
    add("scaled too large, name trimmed", "time", "2560", en,
        "Time(ms): 2560 is out of range (0 to 2550)");
    add("scaled negative", "time", "-10", zh, "时间(MS)：-10 超出范围（0 至 2550）");
    add("decimal not a number", "tone", "19x1", en, "'19x1' is not a valid floating point value");
    add("decimal not whole", "tone", "1981.5", en, "'1981.5' is not a valid integer value");
    add("hex empty", "code", "", en, "'$' is not a valid integer value");
    add("hex not hex", "code", "12G45", en, "'$12G45' is not a valid integer value");
    add("hex too long", "code", "1234567", en,
        "First Frame Coding: 1234567 is out of range (0 to 16777215)");
    add("narrowed range", "timer", "100", en, "Timer: 100 is out of range (0 to 99)");
    add("other language's word", "timer", "CLOSE", en, "'CLOSE' is not a valid integer value");
}

void TestFieldCodec::failures()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(Language, language);
    QFETCH(QString, message);

    Sample sample = baseSample();
    *member(sample, field) = text;
    // A field that does not convert leaves its bytes alone, and the walk stops there.
    Payload payload;
    payload.fill(0xA5);
    const Conversion done = encodeFields(kSampleFields, sample, payload.data(), language);
    QCOMPARE(done.error, message);
    const QByteArray written = bytesOf(payload);
    const int at = kFieldAt.value(field);
    QCOMPARE(written.mid(at), QByteArray(int(payload.size()) - at, '\xA5'));
    QCOMPARE(written.left(at), kBasePayload.left(at));
}

void TestFieldCodec::rowRuns()
{
    // Rows of a table in the runs of two blocks; messages name the row.
    struct Row
    {
        QString value;
    };
    static constexpr Field<Row> kRowFields[] = {
        {integerField(0, 2, {u"队列", u"Fleet"}).withBlankAsZero(), &Row::value}};
    std::array<Row, 9> rows;
    for (int r = 1; r <= 9; ++r)
        rows[r - 1].value = r % 3 ? QString::number(r * 1000) : QString();
    const RowRun first{0, 1, 2, 20, 4};
    const RowRun second{1, 3, 7, 0, 4};

    Payload a{}, b{};
    QVERIFY(encodeRowRun(kRowFields, first, rows, a, Language::English).ok());
    QVERIFY(encodeRowRun(kRowFields, second, rows, b, Language::English).ok());
    QCOMPARE(bytesOf(a).mid(20).toHex(' '), QByteArray::fromHex("E803 0000 D007 0000").toHex(' '));
    QCOMPARE(bytesOf(b).toHex(' '),
             QByteArray::fromHex("0000 0000 A00F 0000 8813 0000 0000 0000 581B 0000 401F 0000 "
                                 "0000 0000")
                 .toHex(' '));

    std::array<Row, 9> read;
    read.fill(Row{"?"});
    decodeRowRun(kRowFields, first, a.data(), read, Language::English);
    decodeRowRun(kRowFields, second, b.data(), read, Language::English);
    for (int r = 0; r < 9; ++r)
        QCOMPARE(read[r].value, rows[r].value);

    rows[7].value = "70000";
    QCOMPARE(encodeRowRun(kRowFields, second, rows, b, Language::English).error,
             QStringLiteral("Fleet (row 8): 70000 is out of range (0 to 65535)"));
    QCOMPARE(encodeRowRun(kRowFields, second, rows, b, Language::Chinese).error,
             QStringLiteral("队列(第8行)：70000 超出范围（0 至 65535）"));
}

void TestFieldCodec::itemLists()
{
    static constexpr CodeWord kWords[] = {{0, {u"关", u"Off"}}, {1, {u"常规", u"Normal"}}};
    const ItemList list{kWords, 50, 200, 50};
    QCOMPARE(items(list, Language::Chinese),
             QStringList({"关", "常规", "50", "100", "150", "200"}));
    QCOMPARE(items(list, Language::English),
             QStringList({"Off", "Normal", "50", "100", "150", "200"}));
    QCOMPARE(items(ItemList{{}, 100, 1000, 50}, Language::English).size(), 19);
    QCOMPARE(items(ItemList{kWords}, Language::English), QStringList({"Off", "Normal"}));

    QCOMPARE(translate(list, "常规", Language::English), QStringLiteral("Normal"));
    QCOMPARE(translate(list, "Off", Language::Chinese), QStringLiteral("关"));
    QCOMPARE(translate(list, "150", Language::Chinese), QStringLiteral("150"));
    // A word already in the target language, or of no list, stays.
    QCOMPARE(translate(list, "Normal", Language::English), QStringLiteral("Normal"));
    QCOMPARE(translate(list, "常规", Language::Chinese), QStringLiteral("常规"));
}

QTEST_GUILESS_MAIN(TestFieldCodec)
#include "tst_fieldcodec.moc"
