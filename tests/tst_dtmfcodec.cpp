// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/dtmf/dtmfblocks.h"
#include "signalling/dtmf/dtmfcontrols.h"
#include "signalling/dtmf/dtmfdigits.h"

#include "support/codecframes.h"
#include <QRandomGenerator>

#include <QtTest>

using namespace wf;
using namespace wf::dtmf;

Q_DECLARE_METATYPE(wf::Language)

namespace {

constexpr Language kLanguages[] = {Language::Chinese, Language::English};

// Block 0 as a fresh window writes it: rate 6, times 0, 100 and 0 ms, the D code, side tone on,
// identity code 12345678 with its count 8, no group code, reset after 10 s, normal call alert.
const QByteArray kInitialBlock0 = QByteArray::fromHex("06 00 0A 00 00 FF 00 00 00 00 78 56 34 12"
                                                      "FF 0A 01 00 00 08 00 00 00 00 00 00 00 00");

// Where block 0 keeps each combo box.
const QHash<QString, int> kByteOf = {{"cb1", 0},  {"cb2", 1},  {"cb3", 2},  {"cb4", 3}, {"cb5", 4},
                                     {"cb6", 14}, {"cb7", 15}, {"cb8", 16}, {"cb9", 17}};

// A data frame of this bank as the radio sends it.
std::array<quint8, frame::kBlockFrameSize> frameOf(int block, const QByteArray &payload)
{
    return codecFrame(Bank::Dtmf, block, payload);
}

const Control<Texts> &control(const QString &name)
{
    const auto *found = std::find_if(std::begin(kControls), std::end(kControls),
                                     [&](const Control<Texts> &c) { return c.name == name; });
    Q_ASSERT(found != std::end(kControls));
    return *found;
}

// Sets a control by its object name, as the window moves texts; a check box takes "1" or "0".
void setControl(Texts &texts, const QString &name, const QString &text)
{
    const Control<Texts> &c = control(name);
    if (c.flag)
        texts.*c.flag = text == QLatin1String("1");
    else
        texts.*c.text = text;
}

QString controlText(const Texts &texts, const QString &name)
{
    const Control<Texts> &c = control(name);
    return c.flag ? QString(texts.*c.flag ? "1" : "0") : texts.*c.text;
}

bool sameTexts(const Texts &a, const Texts &b)
{
    for (const Control<Texts> &c : kControls) {
        if (controlText(a, c.name.toString()) != controlText(b, c.name.toString()))
            return false;
    }
    return a.memories == b.memories && a.digitCounts == b.digitCounts;
}

} // namespace

class TestDtmfCodec final : public QObject
{
    Q_OBJECT

private slots:
    void initialWrite();
    void fields_data();
    void fields();
    void digits_data();
    void digits();
    void identityAndMemory();
    void digitCounts_data();
    void digitCounts();
    void memoryPlaces();
    void failures_data();
    void failures();
    void otherBlocks();
    void roundTrip();
    void listsMatchTheBlock();
    void captions();
};

void TestDtmfCodec::initialWrite()
{
    for (const Language language : kLanguages) {
        const WriteBlocks<kBlockCount> write = encodeBlocks(initialTexts(language), language);
        QVERIFY(write.ok());
        QCOMPARE(bytesOf(write.payloads[0]).toHex(' '), kInitialBlock0.toHex(' '));
        for (int block = 1; block < kBlockCount; ++block)
            QCOMPARE(bytesOf(write.payloads[block]), QByteArray(frame::kPayloadSize, '\0'));
    }
}

void TestDtmfCodec::fields_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("chinese"); // "?": the control keeps its text when read
    QTest::addColumn<QString>("english");
    QTest::addColumn<int>("ways");
    enum { Encode = 1, Decode = 2, Both = 3 };
    const auto add = [](const char *name, const char *control, int at, int byte, const char *zh,
                        const char *en, int ways = Both) {
        QTest::newRow(name) << QString(control) << at << byte << QString::fromUtf8(zh)
                            << QString::fromUtf8(en) << ways;
    };
    add("rate 15", "cb1", 0, 15, "15", "15");
    add("rate outside the list", "cb1", 0, 200, "200", "200", Decode);
    add("first digit time 0", "cb2", 1, 0, "0", "0");
    add("first digit time 1000", "cb2", 1, 100, "1000", "1000");
    add("first digit delay 550", "cb3", 2, 55, "550", "550");
    add("star and hash tone 500", "cb4", 3, 50, "500", "500");
    add("D key code", "cb5", 4, 0, "D码", "D Code");
    add("D key 10000", "cb5", 4, 100, "10000", "10000");
    add("D key 700 from the radio", "cb5", 4, 7, "700", "700", Decode);
    add("side tone off", "CheckB1", 5, 0x00, "0", "0");
    add("side tone 01", "CheckB1", 5, 0x01, "1", "1", Decode);
    add("group code off", "cb6", 14, 0xFF, "关", "Off");
    add("group code D", "cb6", 14, 0, "D", "D");
    add("group code *", "cb6", 14, 11, "*", "*");
    add("group code #", "cb6", 14, 12, "#", "#");
    add("group code A", "cb6", 14, 13, "A", "A");
    add("group code C", "cb6", 14, 15, "C", "C");
    add("group code not listed", "cb6", 14, 0, "E", "off", Encode);
    add("group code 5", "cb6", 14, 5, "?", "?", Decode);
    add("reset timer off", "cb7", 15, 0, "关", "Off");
    add("reset timer 15", "cb7", 15, 15, "15", "15");
    add("reset timer 60", "cb7", 15, 60, "60", "60", Decode);
    add("call alert off", "cb8", 16, 0, "关", "Off");
    add("call alert continuous", "cb8", 16, 2, "连续", "Continuous");
    add("call alert not listed", "cb8", 16, 0, "Loud", "Normal ", Encode);
    add("call alert 3", "cb8", 16, 3, "?", "?", Decode);
    add("answer alert", "cb9", 17, 1, "告警", "Alert");
    add("answer ID code", "cb9", 17, 2, "ID码", "ID Code");
    add("answer 9", "cb9", 17, 9, "?", "?", Decode);
    add("clear answer on", "CheckB2", 18, 0xFF, "1", "1");
    add("clear answer 80", "CheckB2", 18, 0x80, "1", "1", Decode);
}

void TestDtmfCodec::fields()
{
    QFETCH(QString, control);
    QFETCH(int, at);
    QFETCH(int, byte);
    QFETCH(QString, chinese);
    QFETCH(QString, english);
    QFETCH(int, ways);

    // Only the control's byte differs from a fresh window's block, and the words of either
    // language are taken alike whatever the window shows.
    QByteArray block0 = kInitialBlock0;
    block0[at] = char(byte);
    if (ways & 1) {
        for (const Language language : kLanguages) {
            for (const QString &text : {chinese, english}) {
                Texts texts = initialTexts(language);
                setControl(texts, control, text);
                const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
                QVERIFY(write.ok());
                QCOMPARE(bytesOf(write.payloads[0]).toHex(' '), block0.toHex(' '));
            }
        }
    }
    if (!(ways & 2))
        return;
    for (const Language language : kLanguages) {
        Texts texts = initialTexts(language);
        setControl(texts, control, "?");
        QVERIFY(decodeBlock(frameOf(0, block0).data(), texts, language));
        Texts expected = initialTexts(language);
        setControl(expected, control, language == Language::English ? english : chinese);
        expected.digitCounts[0] = 8;
        QVERIFY(sameTexts(texts, expected));
    }
}

void TestDtmfCodec::digits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("dial");
    QTest::addColumn<quint32>("id");
    QTest::newRow("eight digits") << "12345678" << 0x12345678u << 0x12345678u;
    QTest::newRow("zero, star, hash") << "0*#" << 0xABCu << 0xBACu;
    QTest::newRow("star alone") << "*" << 11u << 10u;
    QTest::newRow("zero alone") << "0" << 10u << 11u;
    QTest::newRow("letters") << "ABCD" << 0xDEF0u << 0xDEF0u;
    QTest::newRow("D and 1") << "D1" << 1u << 1u;
    QTest::newRow("nine and hash") << "9#9" << 0x9C9u << 0x9C9u;
    QTest::newRow("all eight D") << "DDDDDDDD" << 0u << 0u;
}

void TestDtmfCodec::digits()
{
    QFETCH(QString, text);
    QFETCH(quint32, dial);
    QFETCH(quint32, id);

    QCOMPARE(EncodeDialDigits(text), dial);
    QCOMPARE(EncodeIdDigits(text), id);
    // With the count of its characters every number reads back as typed, leading "D"s too; a
    // value of 0 writes nothing.
    const QString none = QStringLiteral("<nothing>");
    QCOMPARE(DecodeDialDigits(dial, int(text.size())).value_or(none), dial ? text : none);
    QCOMPARE(DecodeIdDigits(id, int(text.size())).value_or(none), id ? text : none);
}

void TestDtmfCodec::identityAndMemory()
{
    // The identity code and memory 1 with the three characters 0, * and #.
    Texts texts = initialTexts(Language::Chinese);
    texts.Edit1 = "12345678";
    texts.memories[0] = "0*#";
    const WriteBlocks<kBlockCount> write = encodeBlocks(texts, Language::Chinese);
    QVERIFY(write.ok());
    const QByteArray block0 = bytesOf(write.payloads[0]);
    QCOMPARE(block0.mid(10, 4).toHex(' '), QByteArray("78 56 34 12"));
    QCOMPARE(int(block0[19]), 8);
    QCOMPARE(int(block0[20]), 3);
    QCOMPARE(bytesOf(write.payloads[1]).toHex(' '),
             (QByteArray::fromHex("BC 0A 00 00") + QByteArray(24, '\0')).toHex(' '));

    // Characters the radio has no code for would be dropped from the value but still counted:
    // a write refuses them (failures).
    QVERIFY(hasOnlyDtmfDigits(u"0123456789ABCD*#"));
    for (const QStringView text : {u"1E2", u"a-1", u"12ab", u"1 2", u"\uFF11"})
        QVERIFY2(!hasOnlyDtmfDigits(text), qPrintable(text.toString()));
    // A count beyond eight shows eight characters, no more.
    QCOMPARE(DecodeDialDigits(1, 12), std::optional<QString>("DDDDDDD1"));
    QCOMPARE(DecodeIdDigits(0xB, 0), std::nullopt);
}

void TestDtmfCodec::digitCounts_data()
{
    QTest::addColumn<int>("memory");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count"); // as block 0 keeps it; -1 for the memories it has none for
    QTest::addColumn<QString>("readBack");
    QTest::newRow("D and 1") << 4 << "D1" << 2 << "D1";
    QTest::newRow("D and 1, count 1") << 4 << "D1" << 1 << "1";
    QTest::newRow("D and 1, count 0") << 4 << "D1" << 0 << "kept";
    QTest::newRow("memory 8 with leading D") << 8 << "DD0" << 3 << "DD0";
    QTest::newRow("memory 9, eight digits") << 9 << "12345678" << -1 << "12345678";
    QTest::newRow("memory 10 drops leading D") << 10 << "DD12" << -1 << "12";
    QTest::newRow("memory 16") << 16 << "#*0" << -1 << "#*0";
    QTest::newRow("empty memory") << 2 << "" << 0 << "";
    QTest::newRow("only D is empty") << 12 << "D" << -1 << "";
}

void TestDtmfCodec::digitCounts()
{
    QFETCH(int, memory);
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QString, readBack);

    Texts texts = initialTexts(Language::English);
    texts.memories[memory - 1] = text;
    const WriteBlocks<kBlockCount> write = encodeBlocks(texts, Language::English);
    QVERIFY(write.ok());
    QByteArray block0 = bytesOf(write.payloads[0]);
    QCOMPARE(block0.mid(20).count('\0'), memory <= 8 && !text.isEmpty() ? 7 : 8);
    if (count >= 0) {
        QCOMPARE(int(block0[19 + memory]), text.size());
        block0[19 + memory] = char(count); // as if the radio kept another count
    }

    // Read back in block order: block 0's counts decide how memories 1..8 show.
    Texts read = initialTexts(Language::Chinese);
    read.memories.fill("kept");
    QVERIFY(decodeBlock(frameOf(0, block0).data(), read, Language::English));
    const int block = (memory - 1) / 6 + 1;
    QVERIFY(decodeBlock(frameOf(block, bytesOf(write.payloads[block])).data(), read,
                        Language::English));
    QCOMPARE(read.memories[memory - 1], readBack);
}

void TestDtmfCodec::memoryPlaces()
{
    // Sixteen different memories land six to a block; the two places after memory 16 stay 0.
    Texts texts = initialTexts(Language::English);
    for (int m = 1; m <= kMemoryCount; ++m)
        texts.memories[m - 1] = QString::number(m + 10);
    const WriteBlocks<kBlockCount> write = encodeBlocks(texts, Language::English);
    QVERIFY(write.ok());
    for (int m = 1; m <= kMemoryCount; ++m) {
        const Payload &payload = write.payloads[(m - 1) / 6 + 1];
        const quint32 tens = (m + 10) / 10 == 1 ? 1 : 2;
        const quint32 units = (m + 10) % 10 ? (m + 10) % 10 : 10;
        QCOMPARE(payloadU32(payload.data(), 4 * ((m - 1) % 6)), tens << 4 | units);
    }
    QCOMPARE(bytesOf(write.payloads[3]).mid(16), QByteArray(12, '\0'));
    QCOMPARE(bytesOf(write.payloads[1]).mid(24), QByteArray(4, '\0'));
    QCOMPARE(bytesOf(write.payloads[0]).mid(20), QByteArray(8, '\2'));

    // Whatever the radio keeps in those places and in the unused bytes is not read.
    Texts read = texts;
    QByteArray block3 = bytesOf(write.payloads[3]);
    block3.replace(16, 12, QByteArray(12, '\x77'));
    QVERIFY(decodeBlock(frameOf(3, block3).data(), read, Language::English));
    QVERIFY(sameTexts(read, texts));
}

void TestDtmfCodec::failures_data()
{
    QTest::addColumn<QString>("control"); // "xg2:N" for memory N
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
    add("rate not a number", "cb1", "six", en, "'six' is not a valid integer value");
    add("rate beyond a byte", "cb1", "300", en,
        "DTMF Spend [digit/s]: 300 is out of range (0 to 255)");
    add("rate beyond a byte, Chinese", "cb1", "300", zh, "DTMF速率：300 超出范围（0 至 255）");
    add("first digit time 105", "cb2", "105", en, "'10.5' is not a valid integer value");
    add("first digit delay 2560", "cb3", "2560", en,
        "First Digit Delay [ms]: 2560 is out of range (0 to 2550)");
    add("tone time negative", "cb4", "-100", zh, "*和#音时间(毫秒)：-100 超出范围（0 至 2550）");
    add("D key 1050", "cb5", "1050", zh, "'10.5' is not a valid integer value");
    add("D key 25600", "cb5", "25600", en, "D Code Assignment: 25600 is out of range (0 to 25500)");
    add("D key other word", "cb5", "D", en, "'D' is not a valid integer value");
    add("reset timer 256", "cb7", "256", en,
        "Auto Reset Timer [s]: 256 is out of range (0 to 255)");
    add("reset timer word", "cb7", "CLOSE", zh, "'CLOSE' is not a valid integer value");
    add("identity code of nine", "Edit1", "123456789", en,
        "ID Code: 123456789 has more than 8 characters");
    add("memory 9 of nine", "xg2:9", "#########", zh,
        "自动拨号存储器(第9行)：######### 超过 8 个字符");
    add("memory 16 of nine", "xg2:16", "ABCDABCDA", en,
        "Autodial Memory (row 16): ABCDABCDA has more than 8 characters");
    // Pasted text with characters the radio has no code for would come back as other digits.
    add("identity code in lower case", "Edit1", "12ab", en,
        "ID Code: 12ab holds characters that are not DTMF digits (0-9, A-D, *, #)");
    add("identity code with a minus, Chinese", "Edit1", "1-2", zh,
        "ID码：1-2 含有 DTMF 码以外的字符（0-9、A-D、*、#）");
    add("memory 3 with a minus", "xg2:3", "1-2", en,
        "Autodial Memory (row 3): 1-2 holds characters that are not DTMF digits (0-9, A-D, *, #)");
    add("memory 12 with a blank, Chinese", "xg2:12", "1 2", zh,
        "自动拨号存储器(第12行)：1 2 含有 DTMF 码以外的字符（0-9、A-D、*、#）");
}

void TestDtmfCodec::failures()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(Language, language);
    QFETCH(QString, message);

    Texts texts = initialTexts(language);
    if (control.startsWith("xg2:"))
        texts.memories[control.mid(4).toInt() - 1] = text;
    else
        setControl(texts, control, text);
    // Nothing of a write is sent when any block fails, so no payloads come back.
    const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
    QCOMPARE(write.error, message);
    for (const Payload &payload : write.payloads)
        QCOMPARE(bytesOf(payload), QByteArray(frame::kPayloadSize, '\0'));

    // The first failure in block order is the one reported.
    if (control != QLatin1String("xg2:16")) {
        texts.memories[15] = "123456789";
        QCOMPARE(encodeBlocks(texts, language).error, message);
    }
}

void TestDtmfCodec::otherBlocks()
{
    Texts texts = initialTexts(Language::English);
    texts.memories[0] = "1";
    const Texts before = texts;
    for (const int block : {4, 11, 255})
        QVERIFY(
            !decodeBlock(frameOf(block, QByteArray(28, '\x11')).data(), texts, Language::English));
    QVERIFY(sameTexts(texts, before));
}

void TestDtmfCodec::roundTrip()
{
    // Blocks as the radio sends them, read into the window's texts and written back: the radio
    // gets every byte it defines back as it sent it, whichever language the window shows.
    QRandomGenerator random(5150);
    const auto pick = [&random](std::initializer_list<int> values) {
        return values.begin()[random.bounded(int(values.size()))];
    };
    // A value of `count` 4-bit codes, the first non-zero unless leading "D"s are allowed.
    const auto digits = [&random](int count, bool leadingD) {
        quint32 value = 0;
        for (int i = 0; i < count; ++i)
            value = value << 4 | quint32(random.bounded(i == 0 && !leadingD ? 1 : 0, 16));
        return value;
    };
    Texts texts = initialTexts(Language::Chinese);
    for (int round = 0; round < 300; ++round) {
        const Language language = kLanguages[round % 2];
        std::array<QByteArray, kBlockCount> sent;
        sent.fill(QByteArray(frame::kPayloadSize, '\0'));
        auto *p0 = reinterpret_cast<quint8 *>(sent[0].data());
        for (const int at : {0, 1, 2, 3, 4, 15})
            p0[at] = quint8(random.bounded(256));
        p0[5] = quint8(pick({0x00, 0xFF}));
        p0[14] = quint8(pick({0xFF, 13, 14, 15, 0, 11, 12}));
        p0[16] = quint8(random.bounded(3));
        p0[17] = quint8(random.bounded(3));
        p0[18] = quint8(pick({0x00, 0xFF}));
        const int idCount = random.bounded(1, 9);
        quint32 id = 0;
        while (id == 0)
            id = digits(idCount, true);
        putPayloadU32(p0, 10, id);
        p0[19] = quint8(idCount);
        for (int m = 1; m <= kMemoryCount; ++m) {
            const int count = random.bounded(3) ? random.bounded(1, 9) : 0;
            quint32 value = 0;
            while (count > 0 && value == 0)
                value = digits(count, m <= kCountedMemories);
            auto *p = reinterpret_cast<quint8 *>(sent[(m - 1) / 6 + 1].data());
            putPayloadU32(p, 4 * ((m - 1) % 6), value);
            if (m <= kCountedMemories)
                p0[19 + m] = quint8(count);
        }

        for (int block = 0; block < kBlockCount; ++block)
            QVERIFY(decodeBlock(frameOf(block, sent[block]).data(), texts, language));
        const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
        QVERIFY2(write.ok(), qPrintable(write.error));
        for (int block = 0; block < kBlockCount; ++block)
            QCOMPARE(bytesOf(write.payloads[block]).toHex(' '), sent[block].toHex(' '));
    }
}

void TestDtmfCodec::listsMatchTheBlock()
{
    // Every item of every list writes a byte the window reads back as the same item, in both
    // languages; items that name a code write that code.
    QCOMPARE(items(control("cb3").items, Language::English).size(), 19);
    QCOMPARE(items(control("cb5").items, Language::English).size(), 11);
    QCOMPARE(items(control("cb7").items, Language::Chinese).size(), 16);
    for (const Control<Texts> &c : kControls) {
        if (c.flag || c.kind == ControlKind::Edit)
            continue;
        const QString name = c.name.toString();
        for (const Language language : kLanguages) {
            const QStringList list = items(c.items, language);
            QVERIFY2(!list.isEmpty(), qPrintable(name));
            for (int i = 0; i < list.size(); ++i) {
                Texts texts = initialTexts(language);
                setControl(texts, name, list[i]);
                const WriteBlocks<kBlockCount> write = encodeBlocks(texts, language);
                QVERIFY2(write.ok(), qPrintable(name + ' ' + list[i]));
                if (i < int(c.items.words.size()))
                    QCOMPARE(int(write.payloads[0][kByteOf.value(name)]), c.items.words[i].code);
                Texts read = initialTexts(language);
                setControl(read, name, "?");
                QVERIFY(decodeBlock(frameOf(0, bytesOf(write.payloads[0])).data(), read, language));
                QCOMPARE(controlText(read, name), list[i]);
            }
        }
    }
}

void TestDtmfCodec::captions()
{
    // Every label a control names has its caption, and no caption is given twice.
    QSet<QString> seen;
    for (const Caption &caption : kCaptions) {
        const QString key = caption.control.toString() + '/' + QString::number(caption.column);
        QVERIFY2(!seen.contains(key), qPrintable(key));
        seen.insert(key);
        QVERIFY(!caption.text.chinese.isEmpty() && !caption.text.english.isEmpty());
    }
    for (const Control<Texts> &c : kControls) {
        const QString named = (c.label.isEmpty() ? c.name : c.label).toString();
        QVERIFY2(seen.contains(named + "/-1"), qPrintable(named));
    }
    QVERIFY(seen.contains(kWindowName.toString() + "/-1"));
    QVERIFY(seen.contains(kInitialPage.toString() + "/-1"));

    // The language switch turns the words of a list and leaves its numbers.
    QCOMPARE(translate(control("cb5").items, "D码", Language::English), QStringLiteral("D Code"));
    QCOMPARE(translate(control("cb5").items, "7000", Language::English), QStringLiteral("7000"));
    QCOMPARE(translate(control("cb9").items, "ID Code", Language::Chinese), QStringLiteral("ID码"));
    QCOMPARE(translate(control("cb6").items, "Off", Language::Chinese), QStringLiteral("关"));
}

QTEST_GUILESS_MAIN(TestDtmfCodec)
#include "tst_dtmfcodec.moc"
