// SPDX-License-Identifier: GPL-3.0-or-later
// The files that make writefreq a desktop program: the ".wh" file type as the desktop's MIME
// database reads it, and the launcher and AppStream data that must agree with it.
#include "app/startup.h"

#include <QFile>
#include <QGuiApplication>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString kAppId = u"io.github.writefreq.writefreq"_s;
const QString kDataFileType = u"application/x-writefreq"_s;

QString packagingFile(const QString &name)
{
    return QFINDTESTDATA(u"../packaging/"_s + name);
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

/** The "Key=value" entries of a desktop file's [Desktop Entry] group. */
QMap<QString, QString> desktopEntry(const QByteArray &text)
{
    QMap<QString, QString> entries;
    bool inGroup = false;
    for (const QString &line : QString::fromUtf8(text).split(u'\n')) {
        if (line.startsWith(u'['))
            inGroup = line == u"[Desktop Entry]"_s;
        else if (inGroup && !line.startsWith(u'#') && line.contains(u'='))
            entries.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    }
    return entries;
}

/** The texts of the elements `name` in an XML document. */
QStringList elementTexts(const QByteArray &xml, const QString &name)
{
    QStringList texts;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == name)
            texts << reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    }
    if (reader.hasError())
        qFatal("XML error: %s", qPrintable(reader.errorString()));
    return texts;
}

} // namespace

class TestDesktopFiles final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void dataFileType_data();
    void dataFileType();
    void launcherOpensDataFiles();
    void appStreamNamesTheLauncher();
    void windowsNameTheLauncher();

private:
    QTemporaryDir m_dataDir; ///< a share/ folder holding only our MIME package
};

void TestDesktopFiles::initTestCase()
{
    // The desktop reads the MIME packages of every data folder; ours is put where it is the only
    // package of its folder, as the installation puts it, before the database is first used.
    QVERIFY(m_dataDir.isValid());
    QVERIFY(QDir(m_dataDir.path()).mkpath(u"mime/packages"_s));
    QVERIFY(QFile::copy(packagingFile(u"writefreq-mime.xml"_s),
                        m_dataDir.filePath(u"mime/packages/writefreq.xml"_s)));
    qputenv("XDG_DATA_HOME", m_dataDir.path().toLocal8Bit());
    qputenv("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
}

void TestDesktopFiles::dataFileType_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("isDataFile");

    QTest::newRow("data file") << u"radio.wh"_s << true;
    QTest::newRow("Chinese name") << u"一号站.wh"_s << true;
    QTest::newRow("upper case, as saved on Windows") << u"RADIO.WH"_s << true;
    QTest::newRow("name ending in wh") << u"radiowh"_s << false;
    QTest::newRow("longer extension") << u"radio.whl"_s << false;
    QTest::newRow("backup copy") << u"radio.wh.bak"_s << false;
}

void TestDesktopFiles::dataFileType()
{
    QFETCH(QString, fileName);
    QFETCH(bool, isDataFile);

    const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    QCOMPARE(type.name() == kDataFileType, isDataFile);
    if (isDataFile) {
        // A text file underneath: editors and file managers may offer to show it as text.
        QVERIFY(type.inherits(u"text/plain"_s));
        QCOMPARE(type.suffixes(), QStringList{u"wh"_s});
        QVERIFY(!type.comment().isEmpty());
    }
}

void TestDesktopFiles::launcherOpensDataFiles()
{
    const QMap<QString, QString> entry =
        desktopEntry(contentsOf(packagingFile(kAppId + u".desktop"_s)));
    // The launcher hands a double-clicked file to the program, which opens one at a time.
    QCOMPARE(entry.value(u"Exec"_s), u"writefreq %f"_s);
    QVERIFY(entry.value(u"MimeType"_s).split(u';').contains(kDataFileType));
    QVERIFY(!entry.value(u"Name"_s).isEmpty());
    QVERIFY(!entry.value(u"Name[zh_CN]"_s).isEmpty());
    // The icon it names is the one the package installs.
    QVERIFY(QFile::exists(packagingFile(u"icons/"_s + entry.value(u"Icon"_s) + u".svg"_s)));
}

void TestDesktopFiles::appStreamNamesTheLauncher()
{
    const QByteArray metainfo = contentsOf(packagingFile(kAppId + u".metainfo.xml.in"_s));
    QCOMPARE(elementTexts(metainfo, u"id"_s), QStringList{kAppId});
    QCOMPARE(elementTexts(metainfo, u"launchable"_s), QStringList{kAppId + u".desktop"_s});
    QCOMPARE(elementTexts(metainfo, u"mediatype"_s), QStringList{kDataFileType});
    QVERIFY(elementTexts(metainfo, u"binary"_s).contains(u"writefreq"_s));
}

void TestDesktopFiles::windowsNameTheLauncher()
{
    // The desktop finds the launcher, and its icon, for the program's windows by this name.
    initialiseApplication();
    QCOMPARE(QGuiApplication::desktopFileName(), kAppId);
}

QTEST_GUILESS_MAIN(TestDesktopFiles)
#include "tst_desktopfiles.moc"
