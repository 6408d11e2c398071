// SPDX-License-Identifier: GPL-3.0-or-later
// The channel plan as CSV: written and read back to the same data file, a plan typed in a
// spreadsheet taken as if typed into the table, and every refusal with its message.
#include "channels/csvplan.h"
#include "channels/datafile.h"
#include "channels/sheetimage.h"
#include "protocol/radioimage.h"
#include "tools/vradio/radiomemory.h"

#include <QTextCodec>
#include <QtTest>

using namespace wf;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(wf::Language)
Q_DECLARE_METATYPE(wf::ChannelSheet)

namespace {

RadioImage demoImage()
{
    const QString text = vradio::RadioMemory::demo().toText();
    RadioImage image;
    QString error;
    if (!RadioImage::fromText(text, &image, &error))
        qFatal("%s", qPrintable(error));
    return image;
}

QByteArray gbk(const QString &text)
{
    return QTextCodec::codecForName("GBK")->fromUnicode(text);
}

} // namespace

class TestCsvPlan : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void handWrittenPlan_data();
    void handWrittenPlan();
    void refused_data();
    void refused();
};

void TestCsvPlan::roundTrip_data()
{
    QTest::addColumn<ChannelSheet>("sheet");
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("separator");

    const ChannelSheet english = imageToSheet(demoImage(), Language::English);
    const ChannelSheet chinese = imageToSheet(demoImage(), Language::Chinese);
    QTest::newRow("radio read, English, commas") << english << Language::English << ",";
    QTest::newRow("radio read, Chinese, semicolons") << chinese << Language::Chinese << ";";

    // A loaded data file keeps a single space in every empty cell; a receive-only channel has
    // no transmit frequency; a setting off its initial text.
    datafile::Decoded loaded = datafile::decode(
        datafile::encode(csvplan::freshSheet(Language::Chinese), Language::Chinese), u"fresh.wh"_s);
    QVERIFY(loaded.ok());
    ChannelSheet edited = loaded.contents.sheet;
    edited.rows[5] = english.rows[1];
    edited.rows[5][column::Number] = u"5"_s;
    edited.rows[5][column::TxFrequency] = u" "_s;
    edited.settings[setting::TimeOut] = u"180"_s;
    QTest::newRow("loaded data file, receive only")
        << sheetIn(edited, Language::Chinese) << Language::Chinese << ",";
}

void TestCsvPlan::roundTrip()
{
    QFETCH(ChannelSheet, sheet);
    QFETCH(Language, language);
    QFETCH(QString, separator);

    const QByteArray csv = csvplan::planBytes(sheet, language, separator[0]);
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    const csvplan::Imported imported =
        csvplan::importPlan(csv, csvplan::freshSheet(language), language);
    QVERIFY2(imported.ok(), qPrintable(imported.error));
    QCOMPARE(imported.separator, separator[0]);
    QCOMPARE(imported.headerLanguage, language);
    QCOMPARE(datafile::encode(imported.sheet, language), datafile::encode(sheet, language));
}

void TestCsvPlan::handWrittenPlan_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<Language>("language");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("row");      // cells 1..15 joined by "|"
    QTest::addColumn<QString>("settings"); // the ten settings joined by "|"
    QTest::addColumn<QString>("summary");

    const QString freshSettings = u"NONE|1|0|60|CHINESE|NONE|NONE|OPEN|OPEN|OPEN"_s;
    QTest::newRow("frequencies and tones as typed")
        << "CH No.,RX Freq,QT/DQT Dec,qt/dqtenc\n3,145.5,67,D023N\n"_ba << Language::English << 3
        << u"145.50000|145.50000|67.0|023N|HIGH|WIDE|YES|25000|NONE|NONE|NONE|NONE|DTMF|1|NONE"_s
        << freshSettings
        << u"Read as UTF-8 text, fields separated by commas; channels: 1, settings: 0."_s;
    QTest::newRow("semicolons, decimal commas, GBK, Chinese header, English words")
        << gbk(u"信道编号;接收频率;发射频率;发射功率;扫描添加\r\n2;438,525;;low;none\r\n\r\n"
               u"静噪;5\r\nVoice;english\r\n"_s)
        << Language::Chinese << 2 << u"438.52500||无|无|低|宽带|无|25000|无|无|无|无|DTMF|1|无"_s
        << u"无|1|5|60|英文|无|无|开|开|开"_s
        << u"按GBK 文本读入，字段以分号分隔；信道：1，设置：2。"_s;
    QTest::newRow("byte-order mark, quoted fields, rows without channel column")
        << "\xEF\xBB\xBF\"RX Freq\",\"PTTID "
           "Typ\"\r\n\"446.00625\",\"2TONE\"\r\n\"446.0125\",\"FSK\""
           "\r\n,\r\n\"Save Power\",\"CLOSE\",,\r\n\"PF1:\",\"Key Lock\"\r\n"_ba
        << Language::English << 2
        << u"446.01250|446.01250|NONE|NONE|HIGH|WIDE|YES|25000|NONE|NONE|NONE|NONE|FSK|1|NONE"_s
        << u"NONE|1|0|60|CHINESE|Key Lock|NONE|OPEN|CLOSE|OPEN"_s
        << u"Read as UTF-8 text with a byte-order mark, fields separated by commas; channels: 2, "
           u"settings: 2."_s;
}

void TestCsvPlan::handWrittenPlan()
{
    QFETCH(QByteArray, csv);
    QFETCH(Language, language);
    QFETCH(int, channel);
    QFETCH(QString, row);
    QFETCH(QString, settings);
    QFETCH(QString, summary);

    ChannelSheet base = csvplan::freshSheet(language);
    base.rows[7][column::RxFrequency] = u"150.00000"_s; // a channel the plan does not list
    const csvplan::Imported imported = csvplan::importPlan(csv, base, language);
    QVERIFY2(imported.ok(), qPrintable(imported.error));
    const ChannelRow &cells = imported.sheet.rows[channel];
    QCOMPARE(QStringList(cells.begin() + 1, cells.end()).join(u'|'), row);
    QCOMPARE(cells[column::Number], QString::number(channel));
    QCOMPARE(imported.sheet.rows[7][column::RxFrequency], QString());
    QCOMPARE(QStringList(imported.sheet.settings.begin(), imported.sheet.settings.end()).join(u'|'),
             settings);
    QCOMPARE(csvplan::summary(imported, language), summary);
    QCOMPARE(imported.sheet.rows[0], base.rows[0]);
}

void TestCsvPlan::refused_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("message");

    const Language en = Language::English;
    const QByteArray head = "CH No.,RX Freq,TX Freq,QT/DQT Dec,TX Power\r\n";
    QTest::newRow("empty file") << QByteArray() << en
                                << u"the file has no header row of column names"_s;
    QTest::newRow("neither UTF-8 nor GBK")
        << head + "1,145.5\r\n2,\xFF\r\n"
        << en << u"line 3: bytes that are neither UTF-8 nor GBK text"_s;
    QTest::newRow("quote never closed")
        << head + "1,\"145.5" << en
        << u"line 2, RX Freq: '\"145.5' opens a quote that is never "
           u"closed"_s;
    QTest::newRow("text after closing quote")
        << head + "1,145.5,\"145\"5\r\n"
        << en << u"line 2, TX Freq: '\"145\"5' has text after its closing quote"_s;
    QTest::newRow("unknown column")
        << "CH No.,RX Freq,Tone\r\n"_ba << en
        << u"line 1, column 3: 'Tone' is no column of the channel table (CH No., RX Freq, TX "
           u"Freq, QT/DQT Dec, QT/DQTEnc, TX Power, W/N, Scan Add., Step Freq, DTMF1, DTMF2, "
           u"PTTID, Scrambler, PTTID Typ, PTTID NO., Compandor)"_s;
    QTest::newRow("column twice") << "CH No.,RX Freq,接收频率\r\n"_ba << en
                                  << u"line 1, column 3: '接收频率' is already column 2"_s;
    QTest::newRow("no receive frequency column")
        << "CH No.,TX Freq\r\n"_ba << en << u"line 1: the header row has no RX Freq column"_s;
    QTest::newRow("past the header") << head + "1,145.5,,,,HIGH\r\n"
                                     << en
                                     << u"line 2, column 6: 'HIGH' stands under no column of the "
                                        u"header row"_s;
    QTest::newRow("channel 17") << head + "17,145.5\r\n"
                                << en
                                << u"line 2, CH No.: '17' is not a channel number (1 to 16)"_s;
    QTest::newRow("channel twice") << head + "1,145.5\r\n\"1\",146\r\n"
                                   << en << u"line 3: channel 1 was already given on line 2"_s;
    QTest::newRow("seventeen rows") << "RX Freq\r\n"_ba + QByteArray("145.5\r\n").repeated(17) << en
                                    << u"line 18: more rows than the radio has channels (16)"_s;
    QTest::newRow("cell of no channel") << head + "4, ,,,HIGH\r\n"
                                        << en
                                        << u"line 2, TX Power: 'HIGH' belongs to no channel: the "
                                           u"row has no receive frequency"_s;
    QTest::newRow("frequency too high")
        << head + "1,1000\r\n"
        << en
        << u"line 2, RX Freq: '1000' is not a frequency the radio takes (MHz, above 0, at most "
           u"999.99999)"_s;
    QTest::newRow("frequency no number")
        << head + "1,.\r\n"
        << en
        << u"line 2, RX Freq: '.' is not a frequency the radio takes (MHz, above 0, at most "
           u"999.99999)"_s;
    QTest::newRow("transmit frequency with a letter")
        << head + "1,145.5,4N6\r\n"
        << en
        << u"line 2, TX Freq: '4N6' is not a frequency the radio takes (MHz, above 0, at most "
           u"999.99999)"_s;
    QTest::newRow("tone held at 300")
        << head + "1,145.5,,350\r\n"
        << en
        << u"line 2, QT/DQT Dec: '350' is not a tone the radio takes (CTCSS up to 300.0, DCS as "
           u"023N or 023I, or NONE)"_s;
    QTest::newRow("DCS code replaced") << head + "1,145.5,,1234N\r\n"
                                       << en
                                       << u"line 2, QT/DQT Dec: '1234N' is not a tone the radio "
                                          u"takes (CTCSS up to 300.0, DCS as 023N or 023I, or "
                                          u"NONE)"_s;
    QTest::newRow("tone of letters") << head + "1,145.5,,off\r\n"
                                     << en
                                     << u"line 2, QT/DQT Dec: 'off' is not a tone the radio takes "
                                        u"(CTCSS up to 300.0, DCS as 023N or 023I, or NONE)"_s;
    QTest::newRow("word not in the list") << head + "1,145.5,,,MEDIUM\r\n"
                                          << en
                                          << u"line 2, TX Power: 'MEDIUM' is not one of its "
                                             u"values (HIGH, LOW)"_s;
    QTest::newRow("unknown setting") << head + "1,145.5\r\n\r\nVolume,3\r\n"
                                     << en
                                     << u"line 4, column 1: 'Volume' is no setting (VOX Lev, VOX "
                                        u"Time, SQ Lev, TOT, Voice, PF1, PF2, Scan, Save Power, "
                                        u"Beep)"_s;
    QTest::newRow("setting value") << head + "1,145.5\r\n\r\nSQ Lev,12\r\n"
                                   << en
                                   << u"line 4, SQ Lev: '12' is not one of its values (0, 1, 2, "
                                      u"3, 4, 5, 6, 7, 8, 9)"_s;
    QTest::newRow("setting twice") << head + "\r\nBeep,OPEN\r\n报警,关\r\n"
                                   << en << u"line 4: '报警' was already given on line 3"_s;
    QTest::newRow("setting with a third field")
        << head + "\r\nBeep,OPEN,loud\r\n"
        << en << u"line 3, column 3: 'loud' stands under no column of the header row"_s;
    QTest::newRow("Chinese frequency")
        << "信道编号,接收频率\r\n1,1000\r\n"_ba << Language::Chinese
        << u"第2行 接收频率：'1000' 不是对讲机可用的频率（MHz，大于 0，至多 999.99999）"_s;
    QTest::newRow("Chinese word") << head + "1,145.5,,,中\r\n"
                                  << Language::Chinese
                                  << u"第2行 发射功率：'中' 不是可选的值（高、低）"_s;
    QTest::newRow("Chinese unknown column")
        << "信道编号,频率\r\n"_ba << Language::Chinese
        << u"第1行 第2列：'频率' 不是信道表的列（信道编号、接收频率、发射频率、QT/DQT解码、"
           u"QT/DQT编码、发射功率、宽/窄、扫描添加、步进频率、DTMF键1、DTMF键2、PTTID、扰频、"
           u"可选信令、信令信息、压扩）"_s;
}

void TestCsvPlan::refused()
{
    QFETCH(QByteArray, csv);
    QFETCH(Language, language);
    QFETCH(QString, message);

    const csvplan::Imported imported =
        csvplan::importPlan(csv, csvplan::freshSheet(language), language);
    QCOMPARE(imported.error, message);
}

QTEST_GUILESS_MAIN(TestCsvPlan)
#include "tst_csvplan.moc"
