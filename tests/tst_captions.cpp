// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/channeltable.h"
#include "i18n/captions.h"
#include "i18n/inifile.h"
#include "i18n/valuewords.h"

#include <QSet>
#include <QTextCodec>
#include <QtTest>

#include <iterator>

using namespace wf;
using namespace wf::captions;
using namespace wf::words;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(wf::Language)
Q_DECLARE_METATYPE(wf::captions::MainSetter)

namespace {

struct Table
{
    const char *name;
    const Row *begin;
    const Row *end;
};

template<std::size_t N>
Table tableOf(const char *name, const Row (&rows)[N])
{
    return {name, std::begin(rows), std::end(rows)};
}

const Table kTables[] = {
    tableOf("main window", kMainWindow),
    tableOf("progress dialog", kProgressDialog),
    tableOf("language dialog", kLanguageDialog),
};

// Section "中文" as a reseller writes it, in GBK.
IniText overrides(const QString &lines)
{
    return IniText(QTextCodec::codecForName("GBK")->fromUnicode(u"[中文]\r\n"_s + lines));
}

QString shown(const QList<Shown> &captions, QStringView control, int column = kNoColumn)
{
    for (const Shown &caption : captions) {
        if (caption.control == control && caption.column == column)
            return caption.text;
    }
    return u"<no row for %1>"_s.arg(control);
}

Language other(Language language)
{
    return language == Language::English ? Language::Chinese : Language::English;
}

QStringList list(table::ValueList values, Language language)
{
    return table::items(values, language);
}

} // namespace

class TestCaptions final : public QObject
{
    Q_OBJECT

private slots:
    void exactTexts_data();
    void exactTexts();
    void everyControlOnce();
    void mainWindowRows();
    void overrideKeysAreUnique();

    void overridesByLanguage_data();
    void overridesByLanguage();
    void withoutOverridesTheTableShows();

    void settingsBoxes_data();
    void settingsBoxes();
    void gridCells_data();
    void gridCells();
    void switchListFollowsTheRule();
};

void TestCaptions::exactTexts_data()
{
    QTest::addColumn<int>("tableIndex");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("chinese");
    QTest::addColumn<QString>("english");

    const auto row = [](const char *name, int tableIndex, const QString &control, int column,
                        const QString &chinese, const QString &english) {
        QTest::newRow(name) << tableIndex << control << column << chinese << english;
    };
    row("title", 0, u"Form1"_s, kNoColumn, u"中英文对讲机写频软件 V2.0"_s, u"WRITE FREQ V2.0"_s);
    // The setters' texts carry no accelerators or blanks, unlike the captions the window is
    // built with ("文件(&F)", "VOX等级   ").
    row("File menu", 0, u"N11"_s, kNoColumn, u"文件"_s, u"File"_s);
    row("signalling menu", 0, u"N2"_s, kNoColumn, u"信令编辑"_s, u"Signa"_s);
    row("VOX label", 0, u"VOX"_s, kNoColumn, u"Vox等级"_s, u"VOX Lev"_s);
    row("TOT label", 0, u"Label6"_s, kNoColumn, u"超时定时器"_s, u"TOT"_s);
    row("squelch label", 0, u"Label5"_s, kNoColumn, u"静噪"_s, u"SQ Lev"_s);
    row("decode tone column", 0, u"xg"_s, 3, u"QT/DQT解码"_s, u"QT/DQT Dec"_s);
    row("encode tone column", 0, u"xg"_s, 4, u"QT/DQT编码"_s, u"QT/DQTEnc"_s);
    row("signalling info column", 0, u"xg"_s, 14, u"信令信息"_s, u"PTTID NO."_s);
    row("write button", 0, u"wbtn"_s, kNoColumn, u"写频(&W)(F11)"_s, u"Write(&W)(F11)"_s);
    row("read button", 0, u"rbtn"_s, kNoColumn, u"读频(&R)(F12)"_s, u"Read(&R)(F12)"_s);
    row("retry", 1, u"Button1"_s, kNoColumn, u"重试"_s, u"RETRY"_s);
    row("cancel", 1, u"Button2"_s, kNoColumn, u"取消"_s, u"CANCEL"_s);
    row("dialog title", 2, u"Form7"_s, kNoColumn, u"语言设置"_s, u"Language Setup"_s);
    row("dialog list", 2, u"ComboBox1"_s, kNoColumn, u"中文"_s, u"English"_s);
    row("dialog cancel", 2, u"Button2"_s, kNoColumn, u"取消"_s, u"Cancel"_s);
}

void TestCaptions::exactTexts()
{
    QFETCH(int, tableIndex);
    QFETCH(QString, control);
    QFETCH(int, column);
    QFETCH(QString, chinese);
    QFETCH(QString, english);

    const Table &t = kTables[tableIndex];
    for (const Row *row = t.begin; row != t.end; ++row) {
        if (row->control == control && row->column == column) {
            QCOMPARE(row->text.chinese.toString(), chinese);
            QCOMPARE(row->text.english.toString(), english);
            return;
        }
    }
    QFAIL("no row for the control");
}

void TestCaptions::everyControlOnce()
{
    for (const Table &t : kTables) {
        QSet<QPair<QString, int>> seen;
        for (const Row *row = t.begin; row != t.end; ++row) {
            const QPair<QString, int> control{row->control.toString(), row->column};
            QVERIFY2(!seen.contains(control), qPrintable(u"%1 twice in the %2"_s.arg(
                                                  control.first, QString::fromLatin1(t.name))));
            seen.insert(control);
            QVERIFY(!row->text.chinese.isEmpty());
            QVERIFY(!row->text.english.isEmpty());
            QVERIFY2(row->text.chinese != row->text.english, qPrintable(control.first));
        }
    }
    // The dialog's list holds exactly the two texts its caption row shows.
    QCOMPARE(std::size(kLanguageChoices), std::size_t(2));
    QCOMPARE(kLanguageChoices[0], kLanguageDialog[2].text.english);
    QCOMPARE(kLanguageChoices[1], kLanguageDialog[2].text.chinese);
}

void TestCaptions::mainWindowRows()
{
    // Every header column but 11 ("PTTID" in both languages), every menu but the four
    // signalling entries, eight of the ten labels (not PF1, PF2), the buttons and the title.
    QSet<int> columns;
    QStringList others;
    for (const Row &row : kMainWindow) {
        if (row.control == u"xg")
            columns.insert(row.column);
        else
            others << row.control.toString();
        QCOMPARE(row.override == Override::None, row.control == kMainWindowName);
        QCOMPARE(row.override == Override::EnglishStartUp, !row.englishKey.isEmpty());
    }
    QSet<int> expectedColumns;
    for (int c = 0; c < 16; ++c) {
        if (c != 11)
            expectedColumns.insert(c);
    }
    QCOMPARE(columns, expectedColumns);
    others.sort();
    QStringList expected{u"Form1"_s,  u"N11"_s,    u"N12"_s,    u"N13"_s,     u"N1"_s,
                         u"N2"_s,     u"N3"_s,     u"N4"_s,     u"VOX"_s,     u"Label4"_s,
                         u"Label5"_s, u"Label6"_s, u"Label7"_s, u"Label10"_s, u"Label11"_s,
                         u"Label1"_s, u"wbtn"_s,   u"rbtn"_s};
    expected.sort();
    QCOMPARE(others, expected);
}

void TestCaptions::overrideKeysAreUnique()
{
    // One key of section "中文" renames one caption, in each language and setter.
    for (Language language : {Language::Chinese, Language::English}) {
        for (MainSetter setter : {MainSetter::StartUp, MainSetter::Switch}) {
            QSet<QString> keys;
            int count = 0;
            for (const Row &row : kMainWindow) {
                const QStringView key = overrideKey(row, language, setter);
                if (key.isEmpty())
                    continue;
                ++count;
                QVERIFY2(!keys.contains(key.toString()), qPrintable(key.toString()));
                keys.insert(key.toString());
            }
            // 7 menus, 8 labels and 15 header columns; the buttons only at an English start.
            const bool buttons = language == Language::English && setter == MainSetter::StartUp;
            QCOMPARE(count, 30 + (buttons ? 2 : 0));
        }
    }
}

void TestCaptions::overridesByLanguage_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<Language>("language");
    QTest::addColumn<MainSetter>("setter");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");

    const auto row = [](const char *name, const QString &section, Language language,
                        MainSetter setter, const QString &control, int column,
                        const QString &text) {
        QTest::newRow(name) << section << language << setter << control << column << text;
    };
    const Language zh = Language::Chinese;
    const Language en = Language::English;
    const MainSetter start = MainSetter::StartUp;
    const MainSetter change = MainSetter::Switch;
    const QString file = u"文件=Archive\r\n"_s;
    row("文件 renames File in English", file, en, start, u"N11"_s, kNoColumn, u"Archive(&F)"_s);
    row("文件 renames File at a switch too", file, en, change, u"N11"_s, kNoColumn,
        u"Archive(&F)"_s);
    row("文件 leaves 文件 in Chinese", file, zh, start, u"N11"_s, kNoColumn, u"文件(&F)"_s);
    row("File renames 文件 in Chinese", u"File=档案\r\n"_s, zh, change, u"N11"_s, kNoColumn,
        u"档案(&F)"_s);
    row("File leaves File in English", u"File=档案\r\n"_s, en, start, u"N11"_s, kNoColumn,
        u"&File"_s);
    // A rename keeps the Alt letter: marked where it has the letter, else after it, unless it
    // marks one of its own.
    row("a rename with the letter", u"设置=Settings\r\n"_s, en, change, u"N3"_s, kNoColumn,
        u"&Settings"_s);
    row("a rename with a letter of its own", u"设置=Op&tions\r\n"_s, en, change, u"N3"_s, kNoColumn,
        u"Op&tions"_s);
    row("a column", u"接收频率=RX Frequency\r\n"_s, en, change, u"xg"_s, 1, u"RX Frequency"_s);
    row("a label", u"VOX Lev=VOX等级\r\n"_s, zh, start, u"VOX"_s, kNoColumn, u"VOX等级"_s);
    row("trailing blanks in quotes", u"Save Power=\"省电  \"\r\n"_s, zh, start, u"Label11"_s,
        kNoColumn, u"省电  "_s);
    row("an empty value empties the caption", u"设置=\r\n"_s, en, start, u"N3"_s, kNoColumn,
        QString());
    row("写频 renames the write button at an English start", u"写频=Program(&W)\r\n"_s, en, start,
        u"wbtn"_s, kNoColumn, u"Program(&W)"_s);
    row("读频 renames the read button at an English start", u"读频=Fetch(&R)\r\n"_s, en, start,
        u"rbtn"_s, kNoColumn, u"Fetch(&R)"_s);
    row("not at a switch", u"写频=Program(&W)\r\n"_s, en, change, u"wbtn"_s, kNoColumn,
        u"Write(&W)(F11)"_s);
    row("not in Chinese", u"Write(&W)(F11)=烧写\r\n写频=烧写\r\n"_s, zh, start, u"wbtn"_s,
        kNoColumn, u"写频(&W)(F11)"_s);
    row("the title is never renamed", u"中英文对讲机写频软件 V2.0=Mine\r\n"_s, en, start,
        u"Form1"_s, kNoColumn, u"WRITE FREQ V2.0"_s);
    row("only section 中文 counts", u"[language]\r\n文件=Archive\r\n"_s, en, start, u"N11"_s,
        kNoColumn, u"&File"_s);
}

void TestCaptions::overridesByLanguage()
{
    QFETCH(QString, section);
    QFETCH(Language, language);
    QFETCH(MainSetter, setter);
    QFETCH(QString, control);
    QFETCH(int, column);
    QFETCH(QString, text);

    const QList<Shown> captions = mainWindowCaptions(overrides(section), language, setter);
    QCOMPARE(shown(captions, control, column), text);
    // Nothing but the renamed caption changes.
    const QList<Shown> plain = mainWindowCaptions(IniText(), language, setter);
    QCOMPARE(captions.size(), plain.size());
    for (qsizetype i = 0; i < captions.size(); ++i) {
        if (captions[i].control != control || captions[i].column != column)
            QCOMPARE(captions[i].text, plain[i].text);
    }
}

void TestCaptions::withoutOverridesTheTableShows()
{
    for (Language language : {Language::Chinese, Language::English}) {
        for (MainSetter setter : {MainSetter::StartUp, MainSetter::Switch}) {
            // Keys of the wrong language do nothing: each caption's own text is no key.
            QString wrongKeys;
            for (const Row &row : kMainWindow)
                wrongKeys += row.text.in(language).toString() + u"=x\r\n"_s;
            const QList<Shown> captions =
                mainWindowCaptions(overrides(wrongKeys), language, setter);
            QCOMPARE(captions.size(), qsizetype(std::size(kMainWindow)));
            for (qsizetype i = 0; i < captions.size(); ++i) {
                QCOMPARE(captions[i].control, kMainWindow[i].control);
                QCOMPARE(captions[i].column, kMainWindow[i].column);
                QCOMPARE(captions[i].text,
                         withAltLetter(kMainWindow[i].text.in(language).toString(), kMainWindow[i],
                                       language));
            }
        }
    }
}

void TestCaptions::settingsBoxes_data()
{
    QTest::addColumn<int>("box"); // 0 for ComboBox1
    QTest::addColumn<Language>("to");
    QTest::addColumn<bool>("asBuilt"); // the key function list as the window is first built
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shows");
    QTest::addColumn<bool>("rebuilt"); // the list reads in the new language afterwards

    const auto row = [](const char *name, int box, Language to, const QString &text,
                        const QString &shows, bool rebuilt, bool asBuilt = false) {
        QTest::newRow(name) << box << to << asBuilt << text << shows << rebuilt;
    };
    const Language en = Language::English;
    const Language zh = Language::Chinese;
    // One item replaced: ComboBox1 item 0, ComboBox4 item 3.
    row("ComboBox1 5 stays, its item 0 becomes NONE", 0, en, u"5"_s, u"5"_s, true);
    row("ComboBox1 无", 0, en, u"无"_s, u"NONE"_s, true);
    row("ComboBox1 NONE", 0, zh, u"NONE"_s, u"无"_s, true);
    row("ComboBox4 关", 3, en, u"关"_s, u"CLOSE"_s, true);
    row("ComboBox4 120", 3, en, u"120"_s, u"120"_s, true);
    // Numbers only.
    row("ComboBox2", 1, en, u"2"_s, u"2"_s, true);
    row("ComboBox3", 2, zh, u"9"_s, u"9"_s, true);
    // Rebuilt by word: ComboBox5 and ComboBox8..10.
    row("ComboBox5 英文", 4, en, u"英文"_s, u"ENGLISH"_s, true);
    row("ComboBox5 CHINESE", 4, zh, u"CHINESE"_s, u"中文"_s, true);
    row("ComboBox9 开", 8, en, u"开"_s, u"OPEN"_s, true);
    row("ComboBox10 CLOSE", 9, zh, u"CLOSE"_s, u"关"_s, true);
    row("ComboBox8 with no word keeps its list", 7, en, u"7"_s, u"7"_s, false);
    // Rebuilt by index: the key functions of ComboBox6 and ComboBox7.
    row("ComboBox6 警报音", 5, en, u"警报音"_s, u"Emergency Alarm"_s, true, true);
    row("ComboBox7 Emergency Alarm", 6, zh, u"Emergency Alarm"_s, u"警报音"_s, true);
    row("ComboBox6 扫描+暂时删除", 5, en, u"扫描+暂时删除"_s, u"Scan+Temporary Delete"_s, true,
        true);
    // A value the radio sent that no list has is kept, so that the next write does not turn
    // it into "none".
    row("ComboBox7 keeps an unknown text", 6, en, u"15"_s, u"15"_s, true, true);
    row("ComboBox6 keeps a word of the new language", 5, en, u"Monitor"_s, u"Monitor"_s, true,
        true);
}

void TestCaptions::settingsBoxes()
{
    QFETCH(int, box);
    QFETCH(Language, to);
    QFETCH(bool, asBuilt);
    QFETCH(QString, text);
    QFETCH(QString, shows);
    QFETCH(bool, rebuilt);

    const table::ValueList values = table::settingsBoxes()[box].list;
    const QStringList before = asBuilt ? table::keyFunctionItemsAsBuilt() : list(values, other(to));
    const ComboContents after = table::switchBox(box, {before, text}, to);
    QCOMPARE(after.text, shows);
    QCOMPARE(after.items, rebuilt ? list(values, to) : before);
    if (shows == u"Emergency Alarm" || shows == u"警报音")
        QCOMPARE(after.items.last(), shows);
}

void TestCaptions::gridCells_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<Language>("to");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("shows");

    const auto row = [](const char *name, int column, Language to, const QString &cell,
                        const QString &shows) {
        QTest::newRow(name) << column << to << cell << shows;
    };
    const Language en = Language::English;
    const Language zh = Language::Chinese;
    row("高", 5, en, u"高"_s, u"HIGH"_s);
    row("LOW", 5, zh, u"LOW"_s, u"低"_s);
    row("窄带", 6, en, u"窄带"_s, u"NARROW"_s);
    row("WIDE", 6, zh, u"WIDE"_s, u"宽带"_s);
    row("scan add 有", 7, en, u"有"_s, u"YES"_s);
    row("compander NONE", 15, zh, u"NONE"_s, u"无"_s);
    row("tone 无", 3, en, u"无"_s, u"NONE"_s);
    row("tone 67.0 stays", 4, en, u"67.0"_s, u"67.0"_s);
    row("tone 023N stays", 3, zh, u"023N"_s, u"023N"_s);
    row("DTMF key 无", 9, en, u"无"_s, u"NONE"_s);
    row("DTMF key 5 stays", 10, zh, u"5"_s, u"5"_s);
    row("PTT ID 无", 11, en, u"无"_s, u"NONE"_s);
    row("PTT ID BOT stays", 11, en, u"BOT"_s, u"BOT"_s);
    row("scrambler NONE", 12, zh, u"NONE"_s, u"无"_s);
    row("scrambler 3 stays", 12, en, u"3"_s, u"3"_s);
    row("a word already in the language", 5, en, u"HIGH"_s, u"HIGH"_s);
    row("a word of another column", 5, en, u"宽带"_s, u"宽带"_s);
    row("typed text", 6, en, u"abc"_s, u"abc"_s);
}

void TestCaptions::gridCells()
{
    QFETCH(int, column);
    QFETCH(Language, to);
    QFETCH(QString, cell);
    QFETCH(QString, shows);

    ChannelRow channel;
    channel[column::RxFrequency] = u"438.50000"_s;
    channel[column] = cell;
    table::translateRow(channel, to);
    QCOMPARE(channel[column], shows);
    QCOMPARE(channel[column::RxFrequency], u"438.50000"_s);

    // A row without receive frequency is no channel: its words stay.
    ChannelRow unused;
    unused[column] = cell;
    table::translateRow(unused, to);
    QCOMPARE(unused[column], cell);
}

void TestCaptions::switchListFollowsTheRule()
{
    const QStringList zh{u"无"_s, u"1"_s, u"2"_s};
    const QStringList en{u"NONE"_s, u"1"_s, u"2"_s};
    const QStringList frozen{u"关"_s, u"x"_s, u"y"_s};
    const ComboContents box{frozen, u"无"_s};

    QCOMPARE(switchList({ListRule::Fixed, 0}, box, zh, en), box);
    QCOMPARE(switchList({ListRule::ReplaceItem, 2}, box, zh, en),
             (ComboContents{{u"关"_s, u"x"_s, u"2"_s}, u"无"_s}));
    QCOMPARE(switchList({ListRule::RebuildByWord, 0}, box, zh, en), (ComboContents{en, u"NONE"_s}));
    QCOMPARE(switchList({ListRule::RebuildByIndex, 0}, {frozen, u"?"_s}, zh, en),
             (ComboContents{en, u"?"_s}));
    // An item beyond the box's list replaces nothing.
    QCOMPARE(switchList({ListRule::ReplaceItem, 5}, box, zh, en), box);
}

QTEST_GUILESS_MAIN(TestCaptions)
#include "tst_captions.moc"
