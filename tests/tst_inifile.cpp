// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/inifile.h"
#include "i18n/languagesettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <optional>

#include <sys/stat.h>

using namespace wf;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(wf::Language)
Q_DECLARE_METATYPE(std::optional<wf::Language>)

namespace {

// The file as a user's editor saved it: GBK bytes.
QByteArray gbk(const QString &text)
{
    return QTextCodec::codecForName("GBK")->fromUnicode(text);
}

#ifdef Q_OS_WIN
const QString kNativeEol = u"\r\n"_s;
#else
const QString kNativeEol = u"\n"_s;
#endif

QByteArray contents(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<cannot read " + path.toUtf8() + '>';
    return file.readAll();
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString unableToWrite(const QString &path)
{
    return u"Unable to write to "_s + QDir::toNativeSeparators(path);
}

} // namespace

class TestIniFile final : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void readsValues_data();
    void readsValues();
    void readsBooleans_data();
    void readsBooleans();
    void writeKeepsEveryOtherByte_data();
    void writeKeepsEveryOtherByte();
    void writtenValuesReadBack_data();
    void writtenValuesReadBack();
    void writeCreatesTheFolder();
    void failedWriteChangesNothing_data();
    void failedWriteChangesNothing();
    void missingOrUnreadableFileReadsAsEmpty();
    void specialFilesAreNeitherReadNorReplaced_data();
    void specialFilesAreNeitherReadNorReplaced();

    void locationFollowsTheUsersConfigFolder();
    void startupLanguage_data();
    void startupLanguage();
    void startupWithoutWritableFolderGoesOnInChinese();
    void storedLanguageRoundTrip();
    void dialogDecidesOnTheStoredLanguage_data();
    void dialogDecidesOnTheStoredLanguage();

private:
    std::optional<QTemporaryDir> m_dir;
    QString path() const { return m_dir->filePath(u"inifile.ini"_s); }
};

void TestIniFile::init()
{
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
}

void TestIniFile::readsValues_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<std::optional<QString>>("value");

    const auto row = [](const char *name, const QByteArray &file, const QString &section,
                        const QString &key, std::optional<QString> value) {
        QTest::newRow(name) << file << section << key << value;
    };
    const std::optional<QString> absent;
    row("CR LF", gbk(u"[language]\r\n语言=1\r\n"_s), u"language"_s, u"语言"_s, u"1"_s);
    row("blanks around names and value", gbk(u"[ language ]\n \t语言 =  0 \t\n"_s), u"language"_s,
        u"语言"_s, u"0"_s);
    row("names in another case", gbk(u"[LANGUAGE]\nfile=x\n"_s), u"language"_s, u"File"_s, u"x"_s);
    row("no final line end", gbk(u"[中文]\n文件=档案"_s), u"中文"_s, u"文件"_s, u"档案"_s);
    row("quotes keep the blanks", gbk(u"[中文]\nVOX Lev=\"VOX等级   \"\n"_s), u"中文"_s,
        u"VOX Lev"_s, u"VOX等级   "_s);
    row("single quotes", gbk(u"[a]\nk=' x '\n"_s), u"a"_s, u"k"_s, u" x "_s);
    row("unmatched quote stays", gbk(u"[a]\nk=\"x\n"_s), u"a"_s, u"k"_s, u"\"x"_s);
    row("empty value", gbk(u"[a]\nk=\n"_s), u"a"_s, u"k"_s, u""_s);
    row("equals sign in the value", gbk(u"[a]\nk=b=c\n"_s), u"a"_s, u"k"_s, u"b=c"_s);
    row("first of two keys", gbk(u"[a]\nk=1\nk=2\n"_s), u"a"_s, u"k"_s, u"1"_s);
    row("key in a later section of the name", gbk(u"[a]\nx=1\n[b]\nk=2\n[a]\nk=3\n"_s), u"a"_s,
        u"k"_s, u"3"_s);
    row("GBK trail byte ] inside a section name", gbk(u"[设置匽]\n键=值\n"_s), u"设置匽"_s, u"键"_s,
        u"值"_s);
    // 乚 is 81 5D: the lowest lead byte, with "]" for its trail byte.
    row("lowest GBK lead byte before ] in a section name", gbk(u"[乚]\n键=值\n"_s), u"乚"_s,
        u"键"_s, u"值"_s);
    row("a CR alone ends a line", gbk(u"[a]\rk=1\r[b]\rk=2"_s), u"b"_s, u"k"_s, u"2"_s);
    row("comment with ;", gbk(u"[language]\n;语言=1\n"_s), u"language"_s, u"语言"_s, absent);
    row("comment with #", gbk(u"[language]\n# 语言=1\n"_s), u"language"_s, u"语言"_s, absent);
    row("key before any section", gbk(u"语言=1\n[language]\n"_s), u"language"_s, u"语言"_s, absent);
    row("key of another section", gbk(u"[中文]\n语言=1\n[language]\n"_s), u"language"_s, u"语言"_s,
        absent);
    row("missing section", gbk(u"[中文]\n文件=File\n"_s), u"language"_s, u"语言"_s, absent);
    row("unterminated header is no section", gbk(u"[a]\nk=1\n[b\nk=2\n"_s), u"a"_s, u"k"_s, u"1"_s);
    row("empty file", QByteArray(), u"a"_s, u"k"_s, absent);
}

void TestIniFile::readsValues()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(std::optional<QString>, value);

    put(path(), file);
    const IniFile ini(path());
    QCOMPARE(ini.read().value(section, key), value);
    QCOMPARE(ini.readString(section, key, u"<default>"_s), value.value_or(u"<default>"_s));
}

void TestIniFile::readsBooleans_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<std::optional<bool>>("value"); // nothing: counts as absent

    const auto row = [](const QString &stored, std::optional<bool> value) {
        QTest::newRow(qPrintable(u"\""_s + stored + u'"')) << stored << value;
    };
    row(u"1"_s, true);
    row(u"0"_s, false);
    row(u"-1"_s, true);
    row(u"2"_s, true);
    row(u"00"_s, false);
    row(u"+0"_s, false);
    row(u"  0  "_s, false);
    row(u"0x10"_s, true);
    row(u"0x0"_s, false);
    row(u"$0"_s, false);
    row(u"$ff"_s, true);
    row(u"2147483647"_s, true);
    row(u"2147483648"_s, std::nullopt); // no 32-bit integer
    row(u"abc"_s, std::nullopt);
    row(u"1abc"_s, std::nullopt);
    row(u"1.0"_s, std::nullopt);
    row(u"0x"_s, std::nullopt);
    row(u"true"_s, std::nullopt);
    row(u""_s, std::nullopt);
}

void TestIniFile::readsBooleans()
{
    QFETCH(QString, stored);
    QFETCH(std::optional<bool>, value);

    put(path(), gbk(u"[language]\r\n语言="_s + stored + u"\r\n"_s));
    const IniFile ini(path());
    for (bool defaultValue : {false, true})
        QCOMPARE(ini.readBool(u"language", u"语言", defaultValue), value.value_or(defaultValue));
}

void TestIniFile::writeKeepsEveryOtherByte_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const auto row = [](const char *name, const QByteArray &before, const QString &section,
                        const QString &key, const QString &value, const QByteArray &after) {
        QTest::newRow(name) << before << section << key << value << after;
    };
    // A file a reseller has edited by hand: a comment, foreign sections with GBK keys, odd
    // spacing, a tab, and no line end after the last line.
    const QString reseller = u"; 经销商\r\n"
                             u"[中文]\r\n"
                             u"文件 = 档案  \r\n"
                             u"\r\n"
                             u"[language]\r\n"
                             u"  语言 =  %1\t\r\n"
                             u"[其他]\r\n"
                             u"键=值"_s;
    row("value changed in place", gbk(reseller.arg(u"1"_s)), u"language"_s, u"语言"_s, u"0"_s,
        gbk(reseller.arg(u"0"_s)));
    row("key added at the end of its section, before the blank line",
        gbk(u"[language]\n语言=1\n\n[中文]\nFile=档案\n"_s), u"language"_s, u"x"_s, u"2"_s,
        gbk(u"[language]\n语言=1\nx=2\n\n[中文]\nFile=档案\n"_s));
    row("key added before a comment leading into the next section",
        gbk(u"[language]\r\nx=1\r\n; next\r\n[b]\r\n"_s), u"language"_s, u"语言"_s, u"0"_s,
        gbk(u"[language]\r\nx=1\r\n语言=0\r\n; next\r\n[b]\r\n"_s));
    row("key added to an empty section", gbk(u"[language]\n[b]\nk=v\n"_s), u"language"_s, u"语言"_s,
        u"0"_s, gbk(u"[language]\n语言=0\n[b]\nk=v\n"_s));
    row("section added with the file's CR LF", gbk(u"[中文]\r\n文件=档案\r\n"_s), u"language"_s,
        u"语言"_s, u"0"_s, gbk(u"[中文]\r\n文件=档案\r\n\r\n[language]\r\n语言=0\r\n"_s));
    row("section added with the file's LF", gbk(u"[中文]\n文件=档案\n"_s), u"language"_s, u"语言"_s,
        u"0"_s, gbk(u"[中文]\n文件=档案\n\n[language]\n语言=0\n"_s));
    row("section added after a blank last line", gbk(u"[中文]\n文件=档案\n\n"_s), u"language"_s,
        u"语言"_s, u"0"_s, gbk(u"[中文]\n文件=档案\n\n[language]\n语言=0\n"_s));
    row("new section: still no final line end", gbk(u"[中文]\r\n文件=档案"_s), u"language"_s,
        u"语言"_s, u"0"_s, gbk(u"[中文]\r\n文件=档案\r\n\r\n[language]\r\n语言=0"_s));
    row("new last key: still no final line end", gbk(u"[language]\nx=1"_s), u"language"_s,
        u"语言"_s, u"0"_s, gbk(u"[language]\nx=1\n语言=0"_s));
    row("last value changed: still no final line end", gbk(u"[language]\n语言=1"_s), u"language"_s,
        u"语言"_s, u"0"_s, gbk(u"[language]\n语言=0"_s));
    row("the first line end is the file's", gbk(u"[a]\r\nk=1\n"_s), u"b"_s, u"k"_s, u"2"_s,
        gbk(u"[a]\r\nk=1\n\r\n[b]\r\nk=2\r\n"_s));
    row("header and key keep their case", gbk(u"[LANGUAGE]\n 语言 = 1\n"_s), u"language"_s,
        u"语言"_s, u"0"_s, gbk(u"[LANGUAGE]\n 语言 = 0\n"_s));
    row("empty value filled", gbk(u"[language]\n语言=  \n"_s), u"language"_s, u"语言"_s, u"0"_s,
        gbk(u"[language]\n语言=0  \n"_s));
    row("a key outside any section is not the section's", gbk(u"语言=1\n[language]\n"_s),
        u"language"_s, u"语言"_s, u"0"_s, gbk(u"语言=1\n[language]\n语言=0\n"_s));
    row("the first section of two takes a new key", gbk(u"[a]\nx=1\n[b]\n[a]\ny=2\n"_s), u"a"_s,
        u"k"_s, u"3"_s, gbk(u"[a]\nx=1\nk=3\n[b]\n[a]\ny=2\n"_s));
    row("a CR alone after the value keeps the next header",
        gbk(u"[language]\r语言=1\r[中文]\r\n文件=档案\n"_s), u"language"_s, u"语言"_s, u"0"_s,
        gbk(u"[language]\r语言=0\r[中文]\r\n文件=档案\n"_s));
    row("key added after a line that a CR alone ends", gbk(u"[a]\rx=1\r[b]\n"_s), u"a"_s, u"k"_s,
        u"2"_s, gbk(u"[a]\rx=1\rk=2\r[b]\n"_s));
    row("bytes that are no GBK text survive", QByteArray("[a]\nk=\xff\x80\x81\n"), u"b"_s, u"k"_s,
        u"1"_s, QByteArray("[a]\nk=\xff\x80\x81\n\n[b]\nk=1\n"));
    row("value with blanks at its ends is quoted", gbk(u"[中文]\n"_s), u"中文"_s, u"VOX Lev"_s,
        u"VOX等级   "_s, gbk(u"[中文]\nVOX Lev=\"VOX等级   \"\n"_s));
    row("empty file", QByteArray(), u"language"_s, u"语言"_s, u"0"_s,
        gbk(u"[language]"_s + kNativeEol + u"语言=0"_s + kNativeEol));
}

void TestIniFile::writeKeepsEveryOtherByte()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);

    put(path(), before);
    IniFile ini(path());
    const IniWrite written = ini.writeString(section, key, value);
    QVERIFY2(written.ok(), qPrintable(written.reason));
    QCOMPARE(contents(path()), after);
    QCOMPARE(ini.read().value(section, key), value);
    // Written beside the file and renamed: nothing else is left in the folder.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{u"inifile.ini"_s});
}

void TestIniFile::writtenValuesReadBack_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("empty") << QString();
    QTest::newRow("leading blanks") << u"  x"_s;
    QTest::newRow("trailing tab") << u"x\t"_s;
    QTest::newRow("quoted") << u"\"x\""_s;
    QTest::newRow("single-quoted") << u"'x'"_s;
    QTest::newRow("lone quote") << u"\""_s;
    QTest::newRow("Chinese") << u"语言设置"_s;
    QTest::newRow("equals and semicolon") << u";a=b"_s;
    QTest::newRow("brackets") << u"[x]"_s;
}

void TestIniFile::writtenValuesReadBack()
{
    QFETCH(QString, value);
    IniFile ini(path());
    for (const QString &stored : {u"old"_s, value}) {
        const IniWrite written = ini.writeString(u"中文", u"键", stored);
        QVERIFY2(written.ok(), qPrintable(written.reason));
        QCOMPARE(ini.readString(u"中文", u"键", u"<default>"_s), stored);
    }
}

void TestIniFile::writeCreatesTheFolder()
{
    const QString nested = m_dir->filePath(u"a/b/writefreq/inifile.ini"_s);
    IniFile ini(nested);
    QVERIFY(!ini.exists());
    QVERIFY(ini.writeBool(u"language", u"语言", true).ok());
    QVERIFY(ini.exists());
    QCOMPARE(contents(nested), gbk(u"[language]"_s + kNativeEol + u"语言=1"_s + kNativeEol));
}

void TestIniFile::failedWriteChangesNothing_data()
{
    QTest::addColumn<QString>("file"); // relative to the temporary folder
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    // The folder cannot be made: a file stands where it should be.
    QTest::newRow("folder blocked")
        << u"blocker/inifile.ini"_s << u"language"_s << u"语言"_s << u"0"_s;
    // A folder stands where the file should be: it cannot be read, so it is not overwritten.
    QTest::newRow("file is a folder") << u"taken"_s << u"language"_s << u"语言"_s << u"0"_s;
    QTest::newRow("value beyond GBK") << u"inifile.ini"_s << u"中文"_s << u"文件"_s << u"档案😀"_s;
    QTest::newRow("key beyond GBK") << u"inifile.ini"_s << u"中文"_s << u"文件😀"_s << u"x"_s;
    QTest::newRow("value on two lines")
        << u"inifile.ini"_s << u"中文"_s << u"文件"_s << u"a\nb=c"_s;
    QTest::newRow("key with equals sign")
        << u"inifile.ini"_s << u"language"_s << u"a=b"_s << u"1"_s;
    QTest::newRow("key that reads as a section")
        << u"inifile.ini"_s << u"language"_s << u"[x]"_s << u"1"_s;
    QTest::newRow("key that reads as a comment")
        << u"inifile.ini"_s << u"language"_s << u";x"_s << u"1"_s;
    QTest::newRow("section name with bracket") << u"inifile.ini"_s << u"a]b"_s << u"k"_s << u"1"_s;
    QTest::newRow("empty section name") << u"inifile.ini"_s << u" "_s << u"k"_s << u"1"_s;
}

void TestIniFile::failedWriteChangesNothing()
{
    QFETCH(QString, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);

    put(m_dir->filePath(u"blocker"_s), "not a folder");
    QVERIFY(QDir(m_dir->path()).mkdir(u"taken"_s));
    const QByteArray original = gbk(u"[language]\r\n语言=1\r\n[中文]\r\n文件=档案"_s);
    put(path(), original);
    const QStringList entries =
        QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    const QString target = m_dir->filePath(file);
    IniFile ini(target);
    const IniWrite written = ini.writeString(section, key, value);
    QVERIFY(!written.ok());
    QCOMPARE(written.error, unableToWrite(target));
    QVERIFY(!written.reason.isEmpty());

    QCOMPARE(contents(path()), original);
    QCOMPARE(contents(m_dir->filePath(u"blocker"_s)), QByteArray("not a folder"));
    QVERIFY(QDir(m_dir->filePath(u"taken"_s)).isEmpty());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             entries);
}

void TestIniFile::missingOrUnreadableFileReadsAsEmpty()
{
    const IniFile missing(path());
    QVERIFY(!missing.exists());
    QCOMPARE(missing.read().bytes(), QByteArray());
    QVERIFY(!missing.readBool(u"language", u"语言", false));

    QVERIFY(QDir(m_dir->path()).mkdir(u"inifile.ini"_s));
    const IniFile folder(path());
    QVERIFY(!folder.exists());
    QCOMPARE(folder.readString(u"language", u"语言", u"d"_s), u"d"_s);
}

void TestIniFile::specialFilesAreNeitherReadNorReplaced_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");

    QTest::newRow("a pipe") << u"pipe"_s << u"the file cannot be read: Is a pipe, not a file"_s;
    QTest::newRow("a link to an endless device")
        << u"link to /dev/zero"_s << u"the file cannot be read: Is a device, not a file"_s;
    QTest::newRow("a file past the limit")
        << u"large"_s << u"the file cannot be read: the file is larger than 1024 KiB"_s;
}

void TestIniFile::specialFilesAreNeitherReadNorReplaced()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);

    const QByteArray large = gbk(u"[language]\n语言=0\n"_s) + QByteArray(IniFile::kMaxSize, ';');
    if (kind == u"pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
    else if (kind == u"large")
        put(path(), large);
    else
        QVERIFY(QFile::link(u"/dev/zero"_s, path()));
    const QFileInfo before(path());

    // Read at start-up: not waited for, not read to the end of memory; the program goes on in
    // Chinese and says that it could not keep the choice.
    IniFile ini(path());
    QCOMPARE(ini.readString(u"language", u"语言", u"<default>"_s), u"<default>"_s);
    const StartupLanguage startup = wf::startupLanguage(ini);
    QCOMPARE(startup.language, kind == u"large" ? Language::English : Language::Chinese);
    const IniWrite written = storeLanguage(ini, Language::English);
    QCOMPARE(written.error, unableToWrite(path()));
    QCOMPARE(written.reason, reason);

    // What was there is still there.
    const QFileInfo after(path());
    QCOMPARE(after.isSymLink(), before.isSymLink());
    QCOMPARE(after.isFile(), before.isFile());
    QCOMPARE(after.symLinkTarget(), before.symLinkTarget());
    if (kind == u"large")
        QCOMPARE(contents(path()), large);
}

void TestIniFile::locationFollowsTheUsersConfigFolder()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    const QByteArray savedHome = qgetenv("HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("XDG_CONFIG_HOME", savedConfig);
        qputenv("HOME", savedHome);
    });
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(u"config"_s)));
    QCOMPARE(iniFilePath(), m_dir->filePath(u"config/writefreq/inifile.ini"_s));

    qunsetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(m_dir->path()));
    QCOMPARE(iniFilePath(), m_dir->filePath(u".config/writefreq/inifile.ini"_s));
#else
    QVERIFY(iniFilePath().endsWith(u"/writefreq/inifile.ini"_s));
    QVERIFY(QDir::isAbsolutePath(iniFilePath()));
#endif
}

void TestIniFile::startupLanguage_data()
{
    QTest::addColumn<std::optional<QByteArray>>("file"); // nothing: no file at all
    QTest::addColumn<Language>("language");

    const auto row = [](const char *name, std::optional<QByteArray> file, Language language) {
        QTest::newRow(name) << file << language;
    };
    row("no file", std::nullopt, Language::Chinese);
    row("English stored", gbk(u"[language]\r\n语言=1\r\n"_s), Language::English);
    row("Chinese stored", gbk(u"[language]\r\n语言=0\r\n"_s), Language::Chinese);
    row("-1 stored", gbk(u"[language]\n语言=-1\n"_s), Language::English);
    row("no key", gbk(u"[language]\nother=0\n[中文]\n文件=File\n"_s), Language::English);
    row("no section", gbk(u"[中文]\n语言=0\n"_s), Language::English);
    row("not a number", gbk(u"[language]\n语言=中文\n"_s), Language::English);
    row("empty file", QByteArray(), Language::English);
}

void TestIniFile::startupLanguage()
{
    QFETCH(std::optional<QByteArray>, file);
    QFETCH(Language, language);

    if (file)
        put(path(), *file);
    IniFile ini(path());
    const StartupLanguage startup = wf::startupLanguage(ini);
    QCOMPARE(startup.language, language);
    QCOMPARE(startup.keepBuiltInCaptions, !file.has_value());
    QCOMPARE(startup.error, QString());
    // A file that is there is only read; a missing one is created holding Chinese.
    QCOMPARE(contents(path()),
             file.value_or(gbk(u"[language]"_s + kNativeEol + u"语言=0"_s + kNativeEol)));
    QCOMPARE(wf::startupLanguage(ini).language, language);
}

void TestIniFile::startupWithoutWritableFolderGoesOnInChinese()
{
    put(m_dir->filePath(u"blocker"_s), QByteArray());
    const QString blocked = m_dir->filePath(u"blocker/writefreq/inifile.ini"_s);
    IniFile ini(blocked);
    const StartupLanguage startup = wf::startupLanguage(ini);
    QCOMPARE(startup.language, Language::Chinese);
    QVERIFY(startup.keepBuiltInCaptions);
    QCOMPARE(startup.error, unableToWrite(blocked));
}

void TestIniFile::storedLanguageRoundTrip()
{
    const QString foreign = u"[中文]\r\n文件=档案\r\n[language]\r\n语言=%1\r\n"_s;
    put(path(), gbk(foreign.arg(u"0"_s)));
    IniFile ini(path());
    QCOMPARE(storedLanguage(ini), Language::Chinese);

    QVERIFY(storeLanguage(ini, Language::English).ok());
    QCOMPARE(contents(path()), gbk(foreign.arg(u"1"_s)));
    QCOMPARE(storedLanguage(ini), Language::English);

    QVERIFY(storeLanguage(ini, Language::Chinese).ok());
    QCOMPARE(contents(path()), gbk(foreign.arg(u"0"_s)));
    QCOMPARE(storedLanguage(ini), Language::Chinese);
}

void TestIniFile::dialogDecidesOnTheStoredLanguage_data()
{
    QTest::addColumn<Language>("stored");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<std::optional<Language>>("switchTo");

    QTest::newRow("Chinese stored, English chosen")
        << Language::Chinese << u"English"_s << std::optional(Language::English);
    QTest::newRow("English stored, 中文 chosen")
        << Language::English << u"中文"_s << std::optional(Language::Chinese);
    QTest::newRow("English stored, English chosen")
        << Language::English << u"English"_s << std::optional<Language>();
    QTest::newRow("Chinese stored, 中文 chosen")
        << Language::Chinese << u"中文"_s << std::optional<Language>();
    QTest::newRow("no choice") << Language::Chinese << QString() << std::optional<Language>();
    QTest::newRow("a caption is no choice")
        << Language::Chinese << u"english"_s << std::optional<Language>();
}

void TestIniFile::dialogDecidesOnTheStoredLanguage()
{
    QFETCH(Language, stored);
    QFETCH(QString, choice);
    QFETCH(std::optional<Language>, switchTo);
    QCOMPARE(languageToSwitchTo(stored, choice), switchTo);
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
