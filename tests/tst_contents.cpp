// SPDX-License-Identifier: GPL-3.0-or-later
// Everything a radio holds, without a radio: an image into the windows' texts and back by their
// own codecs, and the printed document as a PDF, read back with poppler's tools.
#include "contents/printdocument.h"
#include "contents/radiocontents.h"
#include "signalling/fsk/fskcontrols.h"
#include "tools/vradio/radiomemory.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace wf;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(wf::Language)

namespace {

RadioImage demoImage()
{
    RadioImage image;
    QString error;
    if (!RadioImage::fromText(vradio::RadioMemory::demo().toText(), &image, &error))
        qFatal("%s", qPrintable(error));
    return image;
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestContents final : public QObject
{
    Q_OBJECT

private slots:
    void imageRoundTrip_data();
    void imageRoundTrip();
    void pdf_data();
    void pdf();

private:
    QTemporaryDir m_dir;
};

void TestContents::imageRoundTrip_data()
{
    QTest::addColumn<Language>("language");
    QTest::newRow("Chinese") << Language::Chinese;
    QTest::newRow("English") << Language::English;
}

void TestContents::imageRoundTrip()
{
    QFETCH(Language, language);

    // Written over the image it came from, every block comes back as it was; written over
    // blank memory, every signalling block too, since each window writes all of its bytes.
    const RadioImage demo = demoImage();
    RadioContents contents = contentsOfImage(demo, language);
    RadioImage over = demo;
    QVERIFY(contentsOverImage(contents, language, &over).ok());
    QVERIFY(over == demo);
    RadioImage blank;
    QVERIFY(contentsOverImage(contents, language, &blank).ok());
    for (Bank bank : {Bank::Dtmf, Bank::Fsk, Bank::TwoTone, Bank::FiveTone})
        QVERIFY(compareBlocks(demo, blank, RadioImage::addresses(bank)).isEmpty());

    // A text the write refuses stops it with the write's message, and nothing is changed.
    contents.fsk->ed1 = u"70000"_s;
    const Conversion refused = contentsOverImage(contents, language, &blank);
    QCOMPARE(refused.error, language == Language::English
                                ? u"Fleet[Own]: 70000 is out of range (0 to 65535)"_s
                                : u"队列(自身)：70000 超出范围（0 至 65535）"_s);
    QVERIFY(compareBlocks(demo, blank, RadioImage::addresses(Bank::Fsk)).isEmpty());
}

void TestContents::pdf_data()
{
    QTest::addColumn<Language>("language");
    QTest::addColumn<QPageSize::PageSizeId>("paper");
    QTest::addColumn<QString>("tables"); // "channels": no signalling; "fresh FSK": FSK as new
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("lines"); // lines the text holds, blanks simplified, "|" between

    const QString heading = u"Printed on: 2024-05-07 09:10|Read from port: /dev/ttyUSB0|"
                            u"Read on: 2024-05-06 07:08|File: "_s;
    QTest::newRow("everything, English, A4")
        << Language::English << QPageSize::A4 << u"all"_s << 4 << u"(A4)"_s
        << heading +
               u"|radio.img|Page 1 of 4|Page 4 of 4|"
               u"CH No. RX Freq TX Freq QT/DQT Dec QT/DQTEnc TX Power W/N Scan Add. Step Freq "
               u"DTMF1 DTMF2 PTTID Scrambler PTTID Typ PTTID NO. Compandor|"
               u"4 439.00000 431.40000 100.0 100.0 HIGH WIDE NONE 25000 NONE NONE NONE NONE "
               u"2TONE 2 NONE|"
               u"6 439.25000 439.25000 754I 754I LOW NARROW YES 12500 NONE NONE BOT 3 5TONE 3 "
               u"NONE|SQ Lev 3|PF1 Monitor|NO. Autodial Memory|3 911|"
               u"1 AB REMIND 1 AC REPLY 2 BD REMIND+REPLY 3 DC NONE 4|"
               u"2 EEA 22222 BE ASKED 00000 CALL 00000 CALL 00000|5 101 2003"_s;
    QTest::newRow("everything, Chinese, Letter")
        << Language::Chinese << QPageSize::Letter << u"all"_s << 4 << u"(letter)"_s
        << u"打印时间：2024-05-07 09:10|读取端口：/dev/ttyUSB0|第 2 页，共 4 页|"
           u"信道编号 接收频率 发射频率 QT/DQT解码 QT/DQT编码 发射功率 宽/窄 扫描添加 步进频率 "
           u"DTMF键1 DTMF键2 PTTID 扰频 可选信令 信令信息 压扩|"
           u"3 438.55000 438.55000 88.5 88.5 低 窄带 有 12500 1 2 BOTH 无 DTMF 1 无|"
           u"静噪 3|PF1 监听|队列(自身) 100"_s;
    QTest::newRow("the table alone") << Language::English << QPageSize::A4 << u"channels"_s << 1
                                     << u"(A4)"_s << u"Channels|Settings|Beep CLOSE|Page 1 of 1"_s;
    QTest::newRow("a fresh FSK table is left out")
        << Language::English << QPageSize::A4 << u"fresh FSK"_s << 3 << u"(A4)"_s
        << u"5TONE|Page 3 of 3"_s;
}

void TestContents::pdf()
{
    QFETCH(Language, language);
    QFETCH(QPageSize::PageSizeId, paper);
    QFETCH(QString, tables);
    QFETCH(int, pages);
    QFETCH(QString, size);
    QFETCH(QString, lines);

    RadioContents contents = contentsOfImage(demoImage(), language);
    if (tables == u"channels")
        contents = RadioContents{contents.sheet, {}, {}, {}, {}};
    if (tables == u"fresh FSK")
        contents.fsk = fsk::initialTexts(language);
    const QString file = m_dir.filePath(u"radio.pdf"_s);
    const print::Origin origin{m_dir.filePath(u"radio.img"_s), u"/dev/ttyUSB0"_s,
                               QDateTime(QDate(2024, 5, 6), QTime(7, 8)),
                               QDateTime(QDate(2024, 5, 7), QTime(9, 10))};
    const print::Document document = print::buildDocument(contents, origin, language);
    int painted = 0;
    QCOMPARE(print::writePdf(file, document, paper, &painted), QString());
    QCOMPARE(painted, pages);

    const QString info = run(u"pdfinfo"_s, {file});
    QVERIFY2(info.contains(QRegularExpression(u"Pages: +%1\n"_s.arg(pages))), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(u"Page size: .*%1"_s.arg(size))), qPrintable(info));

    // Every row of every table on one line of one page: a page break between rows only.
    const QString text = run(u"pdftotext"_s, {u"-layout"_s, file, u"-"_s});
    QStringList shown;
    for (const QString &line : text.split(QRegularExpression(u"[\n\f]"_s)))
        shown << line.simplified();
    for (const QString &line : lines.split(u'|'))
        QVERIFY2(shown.contains(line) || text.contains(line), qPrintable(line + u"\n"_s + text));
    QVERIFY(!text.contains(u"Fleet[Own]"_s) || tables != u"fresh FSK");
    for (const print::Section &section : document.sections) {
        for (const print::Table &table : section.tables) {
            for (const QStringList &row : table.rows) {
                const QString line = row.join(u' ').simplified();
                QVERIFY2(shown.contains(line), qPrintable(line));
            }
        }
    }
}

QTEST_MAIN(TestContents)
#include "tst_contents.moc"
