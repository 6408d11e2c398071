// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/channeltable.h"
#include "channels/datafile.h"
#include "i18n/words.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

using namespace wf;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(wf::ChannelRow)

namespace {

ChannelRow rowOf(const QStringList &cells)
{
    ChannelRow row;
    for (int c = 0; c < cells.size() && c < column::kCount; ++c)
        row[c] = cells[c];
    return row;
}

QString shown(const ChannelRow &row)
{
    QStringList cells;
    for (const QString &cell : row)
        cells << u'[' + cell + u']';
    return cells.join(QString());
}

// A sheet of no channels: row 0 empty, every channel row only its number.
ChannelSheet emptySheet()
{
    ChannelSheet sheet;
    for (int r = 1; r <= kChannelCount; ++r)
        sheet.rows[r][column::Number] = QString::number(r);
    sheet.settings = table::initialSettings(Language::Chinese);
    return sheet;
}

// A data file of `lines`, each ended by CR LF.
QByteArray fileOf(const QList<QByteArray> &lines)
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + "\r\n";
    return bytes;
}

QList<QByteArray> linesOf(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray &line : lines)
        line.chop(line.endsWith('\r') ? 1 : 0);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<cannot read>");
}

// Lines past the 28th are not read: they bring a valid file to exactly `size` bytes.
QByteArray paddedTo(QByteArray bytes, qsizetype size)
{
    while (bytes.size() < size) {
        const qsizetype room = size - bytes.size() - 2;
        bytes += QByteArray(qMin<qsizetype>(room, datafile::kMaxLineLength), 'x') + "\r\n";
    }
    return bytes;
}

} // namespace

class TestDataFile final : public QObject
{
    Q_OBJECT

private slots:
    void exactBytes();
    void quoting_data();
    void quoting();
    void splitting_data();
    void splitting();
    void roundTrip();
    void languageLine_data();
    void languageLine();
    void refusedFiles_data();
    void refusedFiles();
    void filesOnDisk();
    void failedSaveKeepsTheOldFile();
    void translatedRows_data();
    void translatedRows();
};

void TestDataFile::exactBytes()
{
    // GBK for the Chinese words, CR LF after every line, the last one too.
    ChannelSheet sheet = emptySheet();
    sheet.rows[0][column::Number] = u"CH No."_s;
    sheet.rows[0][column::RxFrequency] = u"接收频率"_s;
    sheet.rows[2] =
        rowOf({u"2"_s, u"145.50000"_s, u"145.50000"_s, u"无"_s, u"023N"_s, u"高"_s, u"宽带"_s,
               u"有"_s, u"25000"_s, u"*"_s, u"#"_s, u"BOT"_s, u"10"_s, u"DTMF"_s, u"1"_s, u" "_s});
    sheet.settings[setting::VoicePrompt] = u"中文"_s;
    sheet.settings[setting::Pf1] = u"Key Lock With Backup"_s;

    QByteArray expected = "\"CH No.\",\xBD\xD3\xCA\xD5\xC6\xB5\xC2\xCA,,,,,,,,,,,,,,\r\n"
                          "1,,,,,,,,,,,,,,,\r\n"
                          "2,145.50000,145.50000,\xCE\xDE,023N,\xB8\xDF,\xBF\xED\xB4\xF8,\xD3\xD0,"
                          "25000,*,#,BOT,10,DTMF,1,\" \"\r\n";
    for (int r = 3; r <= kChannelCount; ++r)
        expected += QByteArray::number(r) + ",,,,,,,,,,,,,,,\r\n";
    expected += "\xCE\xDE\r\n1\r\n0\r\n60\r\n\xD6\xD0\xCE\xC4\r\nKey Lock With Backup\r\n"
                "\xCE\xDE\r\n\xBF\xAA\r\n\xBF\xAA\r\n\xBF\xAA\r\n";
    QCOMPARE(datafile::encode(sheet, Language::Chinese), expected + "0\r\n");
    QCOMPARE(datafile::encode(sheet, Language::English), expected + "1\r\n");
}

void TestDataFile::quoting_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("written");
    QTest::newRow("plain") << u"145.50000"_s << u"145.50000"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("Chinese") << u"宽带"_s << u"宽带"_s;
    QTest::newRow("other signs") << u"Scan+Temporary/Delete*#'"_s << u"Scan+Temporary/Delete*#'"_s;
    QTest::newRow("single space") << u" "_s << u"\" \""_s;
    QTest::newRow("space inside") << u"CH No."_s << u"\"CH No.\""_s;
    QTest::newRow("comma") << u"1,5"_s << u"\"1,5\""_s;
    QTest::newRow("quotes doubled") << u"say \"hi\""_s << u"\"say \"\"hi\"\"\""_s;
    QTest::newRow("lone quote") << u"\""_s << u"\"\"\"\""_s;
    QTest::newRow("tab") << u"a\tb"_s << u"\"a\tb\""_s;
    QTest::newRow("control character 1") << u"a\x01"_s << u"\"a\x01\""_s;
    QTest::newRow("control character 31") << u"\x1f"_s << u"\"\x1f\""_s;
}

void TestDataFile::quoting()
{
    QFETCH(QString, cell);
    QFETCH(QString, written);
    QCOMPARE(datafile::quoteCell(cell), written);

    // The cell comes back from its line in any column, an empty one as a single space.
    for (int c : {0, 7, 15}) {
        ChannelRow row;
        row[c] = cell;
        ChannelRow expected;
        expected.fill(u" "_s);
        expected[c] = cell.isEmpty() ? u" "_s : cell;
        const ChannelRow back = datafile::splitRow(datafile::joinRow(row));
        QVERIFY2(back == expected, qPrintable(shown(back)));
    }
}

void TestDataFile::splitting_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("cells"); // the first cells; the others are empty

    const QString s = u" "_s;
    QTest::newRow("fresh channel")
        << u"1,,,,,,,,,,,,,,,"_s << (QStringList{u"1"_s} + QStringList(15, s));
    QTest::newRow("empty line") << QString() << QStringList();
    QTest::newRow("only blanks") << u" \t "_s << QStringList();
    QTest::newRow("fewer fields") << u"3,145.5"_s << QStringList{u"3"_s, u"145.5"_s};
    QTest::newRow("empty between commas") << u"a,,b"_s << QStringList{u"a"_s, s, u"b"_s};
    QTest::newRow("quoted empty and space") << u"a,\"\",\" \""_s << QStringList{u"a"_s, s, s};
    QTest::newRow("trailing comma adds a field") << u"a,"_s << QStringList{u"a"_s, s};
    QTest::newRow("lone comma") << u","_s << QStringList{s, s};
    QTest::newRow("comma then blank adds none") << u"a, "_s << QStringList{u"a"_s};
    QTest::newRow("blanks separate fields") << u"a b\tc"_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("blanks around commas") << u"  a , b ,c"_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("control characters are blanks") << u"\x01"
                                                      "a\x1f,\x02"
                                                      "b"_s
                                                   << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("quoted comma and space") << u"\"1, 2\",x"_s << QStringList{u"1, 2"_s, u"x"_s};
    QTest::newRow("doubled quotes") << u"\"x\"\"y\"\"\""_s << QStringList{u"x\"y\""_s};
    QTest::newRow("text after a closing quote")
        << u"\"ab\"cd,e"_s << QStringList{u"ab"_s, u"cd"_s, u"e"_s};
    QTest::newRow("quote inside an unquoted field")
        << u"a\"b,c"_s << QStringList{u"a\"b"_s, u"c"_s};
    QTest::newRow("quote never closed") << u"x,\"a, b"_s << QStringList{u"x"_s, u"a, b"_s};
    QTest::newRow("NUL ends the line") << u"a,b\0c,d"_s << QStringList{u"a"_s, u"b"_s};

    QStringList twenty;
    for (int i = 1; i <= 20; ++i)
        twenty << QString::number(i);
    QTest::newRow("past the sixteenth dropped") << twenty.join(u',') << twenty.mid(0, 16);
    QTest::newRow("trailing comma of a full row dropped")
        << twenty.mid(0, 16).join(u',') + u","_s << twenty.mid(0, 16);
}

void TestDataFile::splitting()
{
    QFETCH(QString, line);
    QFETCH(QStringList, cells);
    const ChannelRow row = datafile::splitRow(line);
    const ChannelRow expected = rowOf(cells);
    QVERIFY2(row == expected, qPrintable(shown(row) + u" expected "_s + shown(expected)));
}

void TestDataFile::roundTrip()
{
    // Every kind of text a cell or a box may hold comes back from the file's bytes.
    ChannelSheet sheet = emptySheet();
    sheet.rows[0] = rowOf({u"CH No."_s, u"RX Freq"_s, u"QT/DQT解码"_s});
    sheet.rows[5] = rowOf({u"5"_s, u"438.50000"_s, u"x,y"_s, u"say \"hi\""_s, u"a b"_s, u"低"_s,
                           u"窄带"_s, u"\""_s, u"\"\""_s, u","_s, u",,"_s, u"trailing "_s,
                           u" leading"_s, u"扫描+暂时删除"_s, u"7"_s, u"有"_s});
    sheet.settings[setting::Pf2] = u"瞬时取消静噪"_s;
    sheet.settings[setting::Pf1] = u"a, \"b\""_s; // boxes are written as they are

    const datafile::Decoded decoded =
        datafile::decode(datafile::encode(sheet, Language::English), u"x.wh"_s);
    QVERIFY2(decoded.ok(), qPrintable(decoded.error));
    for (int r = 0; r <= kChannelCount; ++r) {
        ChannelRow expected = sheet.rows[r];
        for (QString &cell : expected) {
            if (cell.isEmpty())
                cell = u" "_s;
        }
        QVERIFY2(decoded.contents.sheet.rows[r] == expected,
                 qPrintable(u"row %1: "_s.arg(r) + shown(decoded.contents.sheet.rows[r])));
    }
    QCOMPARE(decoded.contents.sheet.settings, sheet.settings);
    QCOMPARE(decoded.contents.language, std::optional(Language::English));

    // Saved again, the loaded empty cells are spaces within quotes.
    const QList<QByteArray> again =
        linesOf(datafile::encode(decoded.contents.sheet, Language::English));
    QCOMPARE(again.size(), datafile::kLineCount);
    QCOMPARE(again[1], "1" + QByteArray(",\" \"").repeated(15));
}

void TestDataFile::languageLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("language"); // -1: none
    QTest::newRow("0 Chinese") << "0"_ba << int(Language::Chinese);
    QTest::newRow("1 English") << "1"_ba << int(Language::English);
    QTest::newRow("-1 is neither") << "-1"_ba << -1;
    QTest::newRow("blank is neither") << " 1"_ba << -1;
    QTest::newRow("empty is neither") << ""_ba << -1;
}

void TestDataFile::languageLine()
{
    QFETCH(QByteArray, line);
    QFETCH(int, language);
    QList<QByteArray> lines = linesOf(datafile::encode(emptySheet(), Language::Chinese));
    lines.last() = line;
    const datafile::Decoded decoded = datafile::decode(fileOf(lines), u"x.wh"_s);
    QVERIFY2(decoded.ok(), qPrintable(decoded.error));
    QCOMPARE(decoded.contents.language.has_value(), language >= 0);
    if (language >= 0)
        QCOMPARE(int(*decoded.contents.language), language);
}

void TestDataFile::refusedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error"); // empty: the file is taken

    const QByteArray valid = datafile::encode(emptySheet(), Language::Chinese);
    const QList<QByteArray> lines = linesOf(valid);
    const QString open = u"Cannot open file \"%1\". "_s.arg(QDir::toNativeSeparators(u"/d/x.wh"_s));

    QTest::newRow("valid") << valid << QString();
    QTest::newRow("27 lines") << fileOf(lines.mid(0, 27)) << u"List index out of bounds (27)"_s;
    QTest::newRow("5 lines") << fileOf(lines.mid(0, 5)) << u"List index out of bounds (5)"_s;
    QTest::newRow("empty file") << QByteArray() << u"List index out of bounds (0)"_s;
    QTest::newRow("no break after the last line") << valid.chopped(2) << QString();
    QTest::newRow("LF only") << QByteArray(valid).replace("\r\n", "\n") << QString();
    QTest::newRow("CR only") << QByteArray(valid).replace("\r\n", "\r") << QString();
    QTest::newRow("binary") << QByteArray(valid).insert(40, '\0')
                            << open + u"The file holds binary data, not the text of a data file."_s;
    QTest::newRow("padded to the limit") << paddedTo(valid, datafile::kMaxFileSize) << QString();
    QTest::newRow("one byte past the limit")
        << paddedTo(valid, datafile::kMaxFileSize + 1)
        << open + u"The file is larger than a data file can be (64 KiB)."_s;
    QTest::newRow("megabytes") << QByteArray(4 << 20, 'x')
                               << open + u"The file is larger than a data file can be (64 KiB)."_s;

    // Bytes that are no GBK text would not come back from a save as they are.
    const auto withLine = [&lines](int index, const QByteArray &line) {
        QList<QByteArray> changed = lines;
        changed[index] = line;
        return fileOf(changed);
    };
    const QString notGbk =
        u"Line %1 holds bytes that are not GBK text; saving would change them."_s;
    QTest::newRow("0xFE alone in a setting") << withLine(17, "\xFE") << open + notGbk.arg(18);
    QTest::newRow("lead byte at the end of a field")
        << withLine(2, "2,145.50000\x81,,,,,,,,,,,,,,") << open + notGbk.arg(3);
    QTest::newRow("lead byte at the end of the last field")
        << withLine(1, "1,,,,,,,,,,,,,,,\x81") << open + notGbk.arg(2);
    QTest::newRow("lead byte before a comma") << withLine(16, "16,\x81,") << open + notGbk.arg(17);
    QTest::newRow("lead byte before a blank")
        << withLine(0, "\"CH No.\xA1 \"") << open + notGbk.arg(1);
    QTest::newRow("0xFE in the language line") << withLine(27, "0\xFE") << open + notGbk.arg(28);
    QTest::newRow("four-byte sequence")
        << withLine(26, "\x81\x30\x81\x30") << open + notGbk.arg(27);
    QTest::newRow("past the 28th line, never read")
        << fileOf(lines + QList<QByteArray>{"\xFE\x81"}) << QString();

    // Every line is looked at, also those past the 28th.
    QList<QByteArray> longest = lines;
    longest << QByteArray(datafile::kMaxLineLength, 'x');
    QTest::newRow("longest line") << fileOf(longest) << QString();
    longest.last() += 'x';
    QTest::newRow("line too long")
        << fileOf(longest)
        << open + u"Line 29 is longer than a line of a data file can be (4096 bytes)."_s;
    longest = lines.mid(0, 3);
    longest[2] = QByteArray(10000, ',');
    QTest::newRow("too long before too short")
        << fileOf(longest)
        << open + u"Line 3 is longer than a line of a data file can be (4096 bytes)."_s;
}

void TestDataFile::refusedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    const datafile::Decoded decoded = datafile::decode(bytes, u"/d/x.wh"_s);
    QCOMPARE(decoded.error, error);
    if (!error.isEmpty())
        return;
    const ChannelSheet expected = [] {
        // Every field of a line of commas is empty, and so a single space.
        ChannelSheet sheet = emptySheet();
        sheet.rows[0].fill(u" "_s);
        for (int r = 1; r <= kChannelCount; ++r)
            std::fill(sheet.rows[r].begin() + 1, sheet.rows[r].end(), u" "_s);
        return sheet;
    }();
    QCOMPARE(decoded.contents.sheet.rows, expected.rows);
    QCOMPARE(decoded.contents.sheet.settings, expected.settings);
}

void TestDataFile::filesOnDisk()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"radio.wh"_s);
    ChannelSheet sheet = emptySheet();
    sheet.rows[1] = rowOf({u"1"_s, u"145.50000"_s});
    QCOMPARE(datafile::write(path, sheet, Language::Chinese), QString());
    QCOMPARE(readBytes(path), datafile::encode(sheet, Language::Chinese));

    // Saving again replaces the file, whatever it held.
    QVERIFY(writeBytes(path, QByteArray(100000, 'z')));
    QCOMPARE(datafile::write(path, sheet, Language::English), QString());
    QCOMPARE(readBytes(path), datafile::encode(sheet, Language::English));
    const datafile::Decoded decoded = datafile::read(path);
    QVERIFY2(decoded.ok(), qPrintable(decoded.error));
    QCOMPARE(decoded.contents.sheet.rows[1][column::RxFrequency], u"145.50000"_s);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"radio.wh"_s});

    // A folder that does not exist: nothing is written.
    const QString nowhere = dir.filePath(u"gone/radio.wh"_s);
    const QString created = datafile::write(nowhere, sheet, Language::Chinese);
    QVERIFY2(
        created.startsWith(u"Cannot create file \"%1\". "_s.arg(QDir::toNativeSeparators(nowhere))),
        qPrintable(created));
    QVERIFY(created.size() > u"Cannot create file \"\". "_s.size() + nowhere.size());
    QVERIFY(!QFile::exists(nowhere));
#ifdef Q_OS_UNIX
    // A pipe in the file's place stays a pipe (a device likewise): the save says why it cannot.
    const QString pipe = dir.filePath(u"pipe.wh"_s);
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QCOMPARE(datafile::write(pipe, sheet, Language::Chinese),
             u"Cannot create file \"%1\". Is a pipe, not a file"_s.arg(pipe));
    QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
#endif

    // A file that is not there, and a folder, cannot be opened.
    for (const QString &name : {dir.filePath(u"missing.wh"_s), dir.path()}) {
        const datafile::Decoded missing = datafile::read(name);
        const QString start = u"Cannot open file \"%1\". "_s.arg(QDir::toNativeSeparators(name));
        QVERIFY2(missing.error.startsWith(start) && missing.error.size() > start.size(),
                 qPrintable(missing.error));
    }
}

void TestDataFile::failedSaveKeepsTheOldFile()
{
#ifdef Q_OS_UNIX
    // A disk that fills up during the save: the process may write no file past 64 bytes.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"radio.wh"_s);
    const QByteArray old = datafile::encode(emptySheet(), Language::Chinese);
    QVERIFY(writeBytes(path, old));
    ChannelSheet sheet = emptySheet();
    sheet.rows[1] = rowOf({u"1"_s, u"145.50000"_s});

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString error = datafile::write(path, sheet, Language::Chinese);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    const QString start = u"Cannot create file \"%1\". "_s.arg(path);
    QVERIFY2(error.startsWith(start) && error.size() > start.size(), qPrintable(error));
    QCOMPARE(readBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"radio.wh"_s});
#else
    QSKIP("the file size limit that stands for a full disk is a POSIX one");
#endif
}

void TestDataFile::translatedRows_data()
{
    QTest::addColumn<ChannelRow>("chinese");
    QTest::addColumn<ChannelRow>("english");

    QTest::newRow("fresh channel")
        << rowOf({u"1"_s, u"145.50000"_s, u"145.50000"_s, u"无"_s, u"无"_s, u"高"_s, u"宽带"_s,
                  u"有"_s, u"25000"_s, u"无"_s, u"无"_s, u"无"_s, u"无"_s, u"DTMF"_s, u"1"_s,
                  u"无"_s})
        << rowOf({u"1"_s, u"145.50000"_s, u"145.50000"_s, u"NONE"_s, u"NONE"_s, u"HIGH"_s,
                  u"WIDE"_s, u"YES"_s, u"25000"_s, u"NONE"_s, u"NONE"_s, u"NONE"_s, u"NONE"_s,
                  u"DTMF"_s, u"1"_s, u"NONE"_s});
    QTest::newRow("other values") << rowOf({u"2"_s, u"446.00625"_s, u"446.00625"_s, u"67.0"_s,
                                            u"023N"_s, u"低"_s, u"窄带"_s, u"无"_s, u"6250"_s,
                                            u"*"_s, u"D"_s, u"BOTH"_s, u"10"_s, u"FSK"_s, u"16"_s,
                                            u"有"_s})
                                  << rowOf({u"2"_s, u"446.00625"_s, u"446.00625"_s, u"67.0"_s,
                                            u"023N"_s, u"LOW"_s, u"NARROW"_s, u"NONE"_s, u"6250"_s,
                                            u"*"_s, u"D"_s, u"BOTH"_s, u"10"_s, u"FSK"_s, u"16"_s,
                                            u"YES"_s});
    // Only the words of a column's own list change; texts a file may bring stay as they are.
    const ChannelRow stray =
        rowOf({u"3"_s, u"无"_s, u"高"_s, u"高"_s, u" "_s, u"有"_s, u"无"_s, u"宽带"_s, u"开"_s,
               u"有"_s, u"x"_s, u"高"_s, u"有"_s, u"无"_s, u"无"_s, u"低"_s});
    QTest::newRow("words in other columns") << stray << stray;
    // A row without receive frequency is no channel.
    const ChannelRow empty = rowOf({u"4"_s, QString(), QString(), u"无"_s, u"无"_s, u"高"_s});
    QTest::newRow("no receive frequency") << empty << empty;
}

void TestDataFile::translatedRows()
{
    QFETCH(ChannelRow, chinese);
    QFETCH(ChannelRow, english);
    ChannelRow row = chinese;
    table::translateRow(row, Language::English);
    QVERIFY2(row == english, qPrintable(shown(row)));
    table::translateRow(row, Language::Chinese);
    QVERIFY2(row == chinese, qPrintable(shown(row)));
    // Words already in the language asked for stay.
    table::translateRow(row, Language::Chinese);
    QVERIFY2(row == chinese, qPrintable(shown(row)));
}

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
