// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/cellchecks.h"
#include "channels/channeltable.h"
#include "channels/csvplan.h"
#include "channels/sheetedit.h"

#include <QtTest>

using namespace wf;
using namespace Qt::StringLiterals;

class TestCellChecks final : public QObject
{
    Q_OBJECT

private slots:
    void hugeTonesAreNoNumbers();
    void toneEntries_data();
    void toneEntries();
    void frequencyEntries_data();
    void frequencyEntries();
    void channelKeepsItsFrequency_data();
    void channelKeepsItsFrequency();
    void freshRow_data();
    void freshRow();
    void rowWithoutReceiveFrequencyEmpties();
    void transmitFrequency();
    void loadedRows();
    void unreadableNumbersKeepTheText();
    void valueLists();
    void sheetEdits_data();
    void sheetEdits();
};

void TestCellChecks::toneEntries_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("stored");

    const auto row = [](const char *name, const QString &typed, bool english,
                        const QString &stored) {
        QTest::newRow(name) << typed << english << stored;
    };
    row("67", u"67"_s, false, u"67.0"_s);
    row("100", u"100"_s, false, u"100.0"_s);
    row("350 held at 300", u"350"_s, false, u"300.0"_s);
    row("23N", u"23N"_s, false, u"023N"_s);
    row("7I", u"7I"_s, false, u"007I"_s);
    row("023N stays", u"023N"_s, false, u"023N"_s);
    row("023I stays", u"023I"_s, false, u"023I"_s);
    row("1234N", u"1234N"_s, false, u"023N"_s);
    row("1234I", u"1234I"_s, false, u"023I"_s);
    row("12345", u"12345"_s, false, u"300.0"_s);
    row("ONE", u"ONE"_s, false, u"无"_s);
    row("ONE english", u"ONE"_s, true, u"NONE"_s);
    row("OE", u"OE"_s, false, u"62.5"_s);
    row("O", u"O"_s, false, u"62.5"_s);
    row("lone point", u"."_s, false, u"62.5"_s);
    row("NONE in Chinese mode", u"NONE"_s, false, u"无"_s);
    row("无 in English mode", u"无"_s, true, u"NONE"_s);
    row("other Chinese text", u"高"_s, false, u"无"_s);
    row("8", u"8"_s, false, u"8.0"_s);
    row("99 not checked against the list", u"99"_s, false, u"99.0"_s);
    row("999N not checked", u"999N"_s, false, u"999N"_s);
    row("67.05 rounds up", u"67.05"_s, false, u"67.1"_s);
    row("254.1", u"254.1"_s, false, u"254.1"_s);
    row("N alone in 3 chars is none", u"N.N"_s, false, u"无"_s);
}

void TestCellChecks::hugeTonesAreNoNumbers()
{
    // A pasted tone beyond any number the radio keeps is refused as no number, instead of
    // being stored as "-inf".
    ChannelRow row;
    row[column::RxFrequency] = u"145.50000"_s;
    row[column::DecodeTone] = u"-1e308"_s;
    const Conversion result = checkCommittedCell(row, column::DecodeTone, Language::Chinese);
    QCOMPARE(result.error, u"'-1e308' is not a valid floating point value"_s);
    QVERIFY(!row[column::DecodeTone].contains(u"inf"_s));
}

void TestCellChecks::toneEntries()
{
    QFETCH(QString, typed);
    QFETCH(bool, english);
    QFETCH(QString, stored);

    for (int column : {column::DecodeTone, column::EncodeTone}) {
        ChannelRow row;
        row[column::RxFrequency] = u"145.50000"_s;
        row[column::SignallingInfo] = u"1"_s;
        row[column] = typed;
        const Conversion result =
            checkCommittedCell(row, column, english ? Language::English : Language::Chinese);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(row[column], stored);
    }
}

void TestCellChecks::frequencyEntries_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // empty: the whole row is emptied

    QTest::newRow("145.5") << u"145.5"_s << u"145.50000"_s;
    QTest::newRow("rounds to 10 Hz") << u"145.123456"_s << u"145.12346"_s;
    QTest::newRow("half rounds up") << u"145.123455"_s << u"145.12346"_s;
    QTest::newRow("highest") << u"999.99999"_s << u"999.99999"_s;
    QTest::newRow("1000") << u"1000"_s << QString();
    QTest::newRow("0") << u"0"_s << QString();
    QTest::newRow("two points") << u"12.3.4"_s << QString();
    QTest::newRow("letter") << u"14E"_s << QString();
    QTest::newRow("just above the top") << u"999.999995"_s << QString();
}

void TestCellChecks::frequencyEntries()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);

    ChannelRow row;
    row[column::Number] = u"3"_s;
    row[column::RxFrequency] = typed;
    QVERIFY(checkCommittedCell(row, column::RxFrequency, Language::Chinese).ok());
    QCOMPARE(row[column::RxFrequency], stored);
    QCOMPARE(row[column::Number], u"3"_s);
    if (stored.isEmpty()) {
        for (int c = column::RxFrequency; c < column::kCount; ++c)
            QVERIFY2(row[c].isEmpty(), qPrintable(QString::number(c)));
    }
}

void TestCellChecks::channelKeepsItsFrequency_data()
{
    QTest::addColumn<QString>("before"); // the receive frequency before the edit
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // empty: the whole row is emptied
    QTest::addColumn<QString>("error");

    const QString channel = u"145.50000"_s;
    QTest::newRow("1000") << channel << u"1000"_s << channel << QString();
    QTest::newRow("0") << channel << u"0"_s << channel << QString();
    QTest::newRow("two points") << channel << u"12.3.4"_s << channel << QString();
    QTest::newRow("letter") << channel << u"14E"_s << channel << QString();
    QTest::newRow("no number") << channel << u"."_s << channel
                               << u"'.' is not a valid floating point value"_s;
    QTest::newRow("a new frequency") << channel << u"146"_s << u"146.00000"_s << QString();
    QTest::newRow("loaded, not five decimals") << u"145.5"_s << u"14E"_s << channel << QString();
    // Emptying the receive frequency deletes the channel.
    QTest::newRow("emptied") << channel << QString() << QString() << QString();
    QTest::newRow("one space") << channel << u" "_s << QString() << QString();
    // A row that held no channel has nothing to go back to.
    QTest::newRow("no channel before") << QString() << u"14E"_s << QString() << QString();
    QTest::newRow("loaded empty row") << u" "_s << u"1000"_s << QString() << QString();
    // A number far beyond any frequency (a hand-edited file) is no number: it never comes back
    // as "inf".
    QTest::newRow("loaded, far too large")
        << u"1E306"_s << u"14E"_s << u"1E306"_s << u"'1E306' is not a valid floating point value"_s;
    QTest::newRow("typed far too large") << channel << u"1E306"_s << channel << QString();
}

void TestCellChecks::channelKeepsItsFrequency()
{
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, error);

    ChannelRow row;
    row.fill(u"?"_s);
    row[column::Number] = u"4"_s;
    row[column::RxFrequency] = typed;
    ChannelRow expected = row;
    expected[column::RxFrequency] = stored;
    if (stored.isEmpty()) {
        for (int c = column::RxFrequency; c < column::kCount; ++c)
            expected[c].clear();
    }
    const Conversion result =
        checkCommittedCell(row, column::RxFrequency, Language::Chinese, before);
    QCOMPARE(result.error, error);
    QCOMPARE(row, expected);
}

void TestCellChecks::freshRow_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("fresh");
    QTest::newRow("Chinese") << false
                             << QStringList{u"无"_s,    u"无"_s, u"高"_s, u"宽带"_s, u"有"_s,
                                            u"25000"_s, u"无"_s, u"无"_s, u"无"_s,   u"无"_s,
                                            u"DTMF"_s,  u"1"_s,  u"无"_s};
    QTest::newRow("English") << true
                             << QStringList{u"NONE"_s,  u"NONE"_s, u"HIGH"_s, u"WIDE"_s, u"YES"_s,
                                            u"25000"_s, u"NONE"_s, u"NONE"_s, u"NONE"_s, u"NONE"_s,
                                            u"DTMF"_s,  u"1"_s,    u"NONE"_s};
}

void TestCellChecks::freshRow()
{
    QFETCH(bool, english);
    QFETCH(QStringList, fresh);

    ChannelRow row;
    row[column::RxFrequency] = u"145.5"_s;
    QVERIFY(checkCommittedCell(row, column::RxFrequency,
                               english ? Language::English : Language::Chinese)
                .ok());
    QCOMPARE(row[column::RxFrequency], u"145.50000"_s);
    QCOMPARE(row[column::TxFrequency], u"145.50000"_s);
    for (int c = column::DecodeTone; c < column::kCount; ++c)
        QCOMPARE(row[c], fresh[c - column::DecodeTone]);

    // Editing the receive frequency of an existing row keeps its other values.
    row[column::Power] = english ? u"LOW"_s : u"低"_s;
    row[column::RxFrequency] = u"146"_s;
    QVERIFY(checkCommittedCell(row, column::RxFrequency, Language::Chinese).ok());
    QCOMPARE(row[column::RxFrequency], u"146.00000"_s);
    QCOMPARE(row[column::TxFrequency], u"145.50000"_s);
    QCOMPARE(row[column::Power], english ? u"LOW"_s : u"低"_s);
}

void TestCellChecks::rowWithoutReceiveFrequencyEmpties()
{
    ChannelRow row;
    row[column::Number] = u"7"_s;
    row[column::Power] = u"高"_s;
    QVERIFY(checkCommittedCell(row, column::Power, Language::Chinese).ok());
    QCOMPARE(row[column::Number], u"7"_s);
    for (int c = column::RxFrequency; c < column::kCount; ++c)
        QVERIFY(row[c].isEmpty());

    // A tone typed into a row without receive frequency is not normalised, only emptied.
    row[column::DecodeTone] = u"67"_s;
    QVERIFY(checkCommittedCell(row, column::DecodeTone, Language::Chinese).ok());
    QVERIFY(row[column::DecodeTone].isEmpty());
}

void TestCellChecks::transmitFrequency()
{
    ChannelRow row;
    row[column::RxFrequency] = u"145.5"_s;
    QVERIFY(checkCommittedCell(row, column::RxFrequency, Language::Chinese).ok());

    row[column::TxFrequency] = u"446"_s;
    QVERIFY(checkCommittedCell(row, column::TxFrequency, Language::Chinese).ok());
    QCOMPARE(row[column::TxFrequency], u"446.00000"_s);

    // An unacceptable transmit frequency empties only its own cell.
    row[column::TxFrequency] = u"4N6"_s;
    QVERIFY(checkCommittedCell(row, column::TxFrequency, Language::Chinese).ok());
    QCOMPARE(row[column::TxFrequency], QString());
    QCOMPARE(row[column::RxFrequency], u"145.50000"_s);
    QCOMPARE(row[column::Power], u"高"_s);
}

void TestCellChecks::loadedRows()
{
    // A data file leaves single spaces in the cells of an empty row: typing a receive frequency
    // there makes a fresh channel, as in a row never filled, so that it can be written.
    ChannelRow row;
    row.fill(u" "_s);
    row[column::Number] = u"2"_s;
    row[column::RxFrequency] = u"145.5"_s;
    QVERIFY(checkCommittedCell(row, column::RxFrequency, Language::Chinese).ok());
    ChannelRow fresh;
    fresh[column::Number] = u"2"_s;
    fresh[column::RxFrequency] = u"145.5"_s;
    QVERIFY(checkCommittedCell(fresh, column::RxFrequency, Language::Chinese).ok());
    QCOMPARE(row, fresh);
    QCOMPARE(row[column::Power], u"高"_s);

    // A loaded channel keeps what it has when its receive frequency is typed again.
    row[column::Power] = u"低"_s;
    row[column::SignallingInfo] = u"7"_s;
    row[column::RxFrequency] = u"146"_s;
    QVERIFY(checkCommittedCell(row, column::RxFrequency, Language::Chinese).ok());
    QCOMPARE(row[column::RxFrequency], u"146.00000"_s);
    QCOMPARE(row[column::TxFrequency], u"145.50000"_s);
    QCOMPARE(row[column::Power], u"低"_s);
    QCOMPARE(row[column::SignallingInfo], u"7"_s);
}

void TestCellChecks::unreadableNumbersKeepTheText()
{
    ChannelRow row;
    row[column::RxFrequency] = u"."_s;
    Conversion result = checkCommittedCell(row, column::RxFrequency, Language::Chinese);
    QCOMPARE(result.error, u"'.' is not a valid floating point value"_s);
    QCOMPARE(row[column::RxFrequency], u"."_s);
    QVERIFY(row[column::TxFrequency].isEmpty()); // the fresh-row step did not run

    row[column::RxFrequency] = u"145.50000"_s;
    row[column::EncodeTone] = u"6,7"_s;
    result = checkCommittedCell(row, column::EncodeTone, Language::Chinese);
    QCOMPARE(result.error, u"'6,7' is not a valid floating point value"_s);
    QCOMPARE(row[column::EncodeTone], u"6,7"_s);
}

void TestCellChecks::valueLists()
{
    const QStringList tones = table::items(table::ValueList::Tones, Language::English);
    QCOMPARE(tones.size(), 218);
    QCOMPARE(tones.first(), u"NONE"_s);
    QCOMPARE(tones.at(1), u"62.5"_s);
    QCOMPARE(tones.at(14), u"100.0"_s);
    QCOMPARE(tones.at(51), u"254.1"_s);
    QCOMPARE(tones.at(52), u"023N"_s);
    QCOMPARE(tones.at(134), u"754N"_s);
    QCOMPARE(tones.at(135), u"023I"_s);
    QCOMPARE(tones.last(), u"754I"_s);
    QCOMPARE(table::items(table::ValueList::Tones, Language::Chinese).first(), u"无"_s);

    // Every tone of the list passes the commit check unchanged.
    for (const QString &tone : tones.mid(1))
        QCOMPARE(NormaliseToneText(tone, Language::English).text, tone);

    const QStringList switched = table::items(table::ValueList::KeyFunctions, Language::Chinese);
    const QStringList built = table::keyFunctionItemsAsBuilt();
    QCOMPARE(switched.size(), 13);
    QCOMPARE(switched.last(), u"警报音"_s);
    QCOMPARE(built.mid(0, 4), (QStringList{u"无"_s, u"自动拨号"_s, u"警报音"_s, u"按键锁定"_s}));
    QCOMPARE(built.last(), u"暂时删除"_s);
    QCOMPARE(table::items(table::ValueList::DtmfKeys, Language::Chinese).join(u' '),
             u"无 1 2 3 4 5 6 7 8 9 * 0 # A B C D"_s);
}

// Channels 1 to 3 hold 145.5, 146 and 147 MHz; `full` fills channel 16 too. Each row runs one
// edit and compares a range of the result or the refusal.
void TestCellChecks::sheetEdits_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("full");
    QTest::addColumn<QRect>("shown");
    QTest::addColumn<QString>("expected");

    const QRect rxTx(1, 1, 2, 4);
    const auto row = [](const char *name, const QString &edit, int col, int first, int last,
                        const QString &text, bool full, QRect shown, const QString &expected) {
        QTest::newRow(name) << edit << col << first << last << text << full << shown << expected;
    };
    row("paste spreadsheet", u"paste"_s, 1, 4, 0, u"145.5\t145.5\n146\t146\n"_s, false,
        QRect(1, 4, 5, 2),
        u"145.50000\t145.50000\tNONE\tNONE\tHIGH\n146.00000\t146.00000\tNONE\tNONE\tHIGH\n"_s);
    row("paste commas and words of either language", u"paste"_s, 4, 2, 0, u"67,低\r\n"_s, false,
        QRect(4, 2, 2, 1), u"67.0\tLOW\n"_s);
    row("paste from number cell", u"paste"_s, 0, 3, 0, u"150\n"_s, false, QRect(1, 3, 2, 1),
        u"150.00000\t147.00000\n"_s);
    row("paste refused frequency", u"paste"_s, 1, 1, 0, u"150\t150\n1000\t1\n"_s, false, rxTx,
        u"Nothing was pasted: Channel 2 RX Freq cannot take \"1000\"."_s);
    row("paste refused word", u"paste"_s, 5, 1, 0, u"MAX\n"_s, false, rxTx,
        u"Nothing was pasted: Channel 1 TX Power cannot take \"MAX\"."_s);
    row("paste past the table", u"paste"_s, 14, 16, 0, u"a\tb\tc\n"_s, false, rxTx,
        u"Nothing was pasted: 1 rows of 3 cells do not fit in the table from Channel 16 "
        u"PTTID NO. on."_s);
    row("clear range", u"clear"_s, 2, 1, 2, {}, false, QRect(1, 1, 5, 3),
        u"145.50000\t\tNONE\tNONE\tHIGH\n146.00000\t\tNONE\tNONE\tHIGH\n147.00000\t147.00000\tNONE\tNONE\tHIGH\n"_s);
    row("clear channel", u"clear"_s, 1, 2, 2, {}, false, rxTx,
        u"145.50000\t145.50000\n\t\n147.00000\t147.00000\n\t\n"_s);
    row("insert", u"insert"_s, 0, 2, 0, {}, false, rxTx,
        u"145.50000\t145.50000\n\t\n146.00000\t146.00000\n147.00000\t147.00000\n"_s);
    row("insert into a full table", u"insert"_s, 0, 2, 0, {}, true, rxTx,
        u"Cannot insert a channel: channel 16 holds one. Delete it first."_s);
    row("delete", u"delete"_s, 0, 1, 2, {}, true, QRect(1, 1, 1, 16),
        u"147.00000\n\n\n\n\n\n\n\n\n\n\n\n\n150.00000\n\n\n"_s);
    row("move up", u"up"_s, 0, 2, 3, {}, false, QRect(1, 1, 1, 3),
        u"146.00000\n147.00000\n145.50000\n"_s);
    row("move down", u"down"_s, 0, 1, 1, {}, false, QRect(1, 1, 1, 3),
        u"146.00000\n145.50000\n147.00000\n"_s);
    row("move past the edge", u"up"_s, 0, 1, 2, {}, false, QRect(1, 1, 1, 3),
        u"145.50000\n146.00000\n147.00000\n"_s);
}

void TestCellChecks::sheetEdits()
{
    QFETCH(QString, edit);
    QFETCH(int, col);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QString, text);
    QFETCH(bool, full);
    QFETCH(QRect, shown);
    QFETCH(QString, expected);

    const Language english = Language::English;
    ChannelSheet sheet = csvplan::freshSheet(english);
    const auto fill = [&](int channel, const QString &rx) {
        sheet.rows[channel][column::RxFrequency] = rx;
        QVERIFY(checkCommittedCell(sheet.rows[channel], column::RxFrequency, english).ok());
    };
    fill(1, u"145.5"_s);
    fill(2, u"146"_s);
    fill(3, u"147"_s);
    if (full)
        fill(16, u"150"_s);

    sheetedit::Edited edited{sheet, {}};
    if (edit == u"paste")
        edited = sheetedit::paste(sheet, col, first, text, english);
    else if (edit == u"clear")
        edited.sheet = sheetedit::clearCells(
            sheet, QRect(col, first, col == 1 ? 15 : 1, last - first + 1), english);
    else if (edit == u"insert")
        edited = sheetedit::insertChannel(sheet, first, english);
    else if (edit == u"delete")
        edited.sheet = sheetedit::deleteChannels(sheet, first, last);
    else if (edit == u"up" || edit == u"down")
        edited.sheet = sheetedit::moveChannels(sheet, first, last, edit == u"up" ? -1 : 1);
    QString cells; // as the table copies them: tabs between cells, a line feed after each row
    for (int channel = shown.top(); channel <= shown.bottom(); ++channel) {
        QStringList line;
        for (int c = shown.left(); c <= shown.right(); ++c)
            line << edited.sheet.rows[channel][c];
        cells += line.join(u'\t') + u'\n';
    }
    QCOMPARE(edited.ok() ? cells : edited.error, expected);
    for (int channel = 1; channel <= kChannelCount; ++channel)
        QCOMPARE(edited.sheet.rows[channel][column::Number], QString::number(channel));
}

QTEST_GUILESS_MAIN(TestCellChecks)
#include "tst_cellchecks.moc"
