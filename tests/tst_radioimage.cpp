// SPDX-License-Identifier: GPL-3.0-or-later
// Radio image files and the reader of regular files under them: what is refused, and that a
// refusal never waits on a pipe, never fills the memory from a device and never puts a file where
// a device was.
#include "protocol/radioimage.h"
#include "protocol/regularfile.h"
#include "protocol/snapshots.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace wf;
using namespace Qt::StringLiterals;

namespace {

// Every block holds its own bank and block number and its byte positions, so that no two blocks
// look alike.
RadioImage patternedImage(const QList<int> &banks = {0, 5, 1, 2, 3, 4})
{
    QList<Bank> held;
    for (int bank : banks)
        held << Bank(bank);
    RadioImage image(held);
    for (const BlockAddress &a : image.heldBlocks()) {
        BlockPayload payload{};
        for (int i = 0; i < frame::kPayloadSize; ++i)
            payload[std::size_t(i)] = quint8(int(a.bank) * 32 + a.block + i);
        image.setPayload(a.bank, a.block, payload);
    }
    return image;
}

// The image text without the line of one block.
QByteArray without(const QByteArray &text, const QByteArray &blockLine)
{
    QList<QByteArray> lines = text.split('\n');
    lines.removeIf([&](const QByteArray &line) { return line.startsWith(blockLine); });
    return lines.join('\n');
}

bool isFifo(const QString &path)
{
    struct stat status = {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISFIFO(status.st_mode);
}

} // namespace

class TestRadioImage final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void imagesOfSomeBanksReadBack_data();
    void imagesOfSomeBanksReadBack();
    void pruneKeepsTheNewestAndTheWeek_data();
    void pruneKeepsTheNewestAndTheWeek();
    void readRefuses_data();
    void readRefuses();
    void readsRegularFilesOnly_data();
    void readsRegularFilesOnly();
    void savesOverRegularFilesOnly();
    void savedFilePathSeesThroughLinks();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // Makes what a row names at `name`: a pipe, a link, a folder, a file of some bytes.
    void make(const QString &kind, const QString &name, const QByteArray &bytes = {});

    std::optional<QTemporaryDir> m_dir;
};

void TestRadioImage::init()
{
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
}

void TestRadioImage::make(const QString &kind, const QString &name, const QByteArray &bytes)
{
    const QString at = path(name);
    if (kind == u"pipe") {
        QCOMPARE(::mkfifo(QFile::encodeName(at).constData(), 0600), 0);
    } else if (kind == u"link to a pipe") {
        make(u"pipe"_s, name + u".pipe"_s);
        QVERIFY(QFile::link(at + u".pipe"_s, at));
    } else if (kind == u"link to /dev/zero") {
        QVERIFY(QFile::link(u"/dev/zero"_s, at));
    } else if (kind == u"folder") {
        QVERIFY(QDir().mkdir(at));
    } else {
        QFile file(at);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
}

void TestRadioImage::imagesOfSomeBanksReadBack_data()
{
    QTest::addColumn<QList<int>>("banks");
    QTest::addColumn<QStringList>("banksLine");
    QTest::addColumn<int>("blockLines");
    QTest::newRow("a main read: channels and settings")
        << QList<int>{0, 5} << QStringList{u"# banks: 0 5"_s} << 17;
    QTest::newRow("a 2-Tone read") << QList<int>{3} << QStringList{u"# banks: 3"_s} << 12;
    // A complete image names no banks: its text is what it always was.
    QTest::newRow("complete") << QList<int>{0, 5, 1, 2, 3, 4} << QStringList() << 53;
}

void TestRadioImage::imagesOfSomeBanksReadBack()
{
    QFETCH(QList<int>, banks);
    QFETCH(QStringList, banksLine);
    QFETCH(int, blockLines);

    const RadioImage image = patternedImage(banks);
    const QString text = image.toText(u"test"_s);
    const QStringList lines = text.split(u'\n');
    QCOMPARE(lines.filter(u"banks:"_s), banksLine);
    QCOMPARE(lines.filter(QRegularExpression(u"^\\d"_s)).size(), blockLines);
    RadioImage back;
    QString error;
    QVERIFY2(RadioImage::fromText(text, &back, &error), qPrintable(error));
    QVERIFY(back == image);
    QCOMPARE(back.toText(u"test"_s), text);
}

void TestRadioImage::pruneKeepsTheNewestAndTheWeek_data()
{
    QTest::addColumn<int>("count");       // snapshots, the newest one step before now
    QTest::addColumn<int>("stepMinutes"); // between them, by name and by file time
    QTest::addColumn<int>("fileDays");    // their file times, days before now; -1: as named
    QTest::addColumn<QStringList>("gone");
    QTest::newRow("200 stay, however old") << 200 << 60 << -1 << QStringList();
    QTest::newRow("beyond the newest 200, the old ones go")
        << 203 << 60 << -1
        << QStringList{u"20240622-010000-ttyUSB0.img"_s, u"20240622-020000-ttyUSB0.img"_s,
                       u"20240622-030000-ttyUSB0.img"_s};
    QTest::newRow("none younger than a week by its name")
        << 203 << 50 << 365
        << QStringList{u"20240623-105000-ttyUSB0.img"_s, u"20240623-114000-ttyUSB0.img"_s};
    QTest::newRow("none younger than a week by its file time") << 203 << 60 << 0 << QStringList();
}

void TestRadioImage::pruneKeepsTheNewestAndTheWeek()
{
    QFETCH(int, count);
    QFETCH(int, stepMinutes);
    QFETCH(int, fileDays);
    QFETCH(QStringList, gone);

    const QDateTime now(QDate(2024, 6, 30), QTime(12, 0));
    const auto makeFile = [&](const QString &name, const QDateTime &modified) {
        make(u"file"_s, name, "#");
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
    };
    for (int i = 1; i <= count; ++i) {
        const QDateTime taken = now.addSecs(-60 * stepMinutes * i);
        makeFile(taken.toString(u"yyyyMMdd-HHmmss"_s) + u"-ttyUSB0.img"_s,
                 fileDays < 0 ? taken : now.addDays(-fileDays));
    }
    // Old, and no snapshots: the user's own files are neither counted nor deleted.
    const QDateTime longAgo(QDate(2023, 1, 1), QTime(12, 0));
    const QStringList others{u"notes.txt"_s,
                             u"20230101-120000-ttyUSB0.img.bak"_s,
                             u"20231301-120000-ttyUSB0.img"_s,
                             u"20230104-120000-before the repair.img"_s,
                             u"20230102-120000-ttyS1.img"_s,
                             u"20230103-120000-ttyS1.img"_s};
    for (const QString &name : others.mid(0, 4))
        makeFile(name, longAgo);
    make(u"folder"_s, others[4]);
    QVERIFY(QFile::link(path(others[0]), path(others[5])));

    QStringList deleted = pruneSnapshots(m_dir->path(), now);
    deleted.sort();
    QCOMPARE(deleted, gone);
    for (const QString &name : gone)
        QVERIFY(!QFileInfo::exists(path(name)));
    for (const QString &name : others)
        QVERIFY2(QFileInfo(path(name)).exists(), qPrintable(name));
    QCOMPARE(QDir(m_dir->path()).entryList({u"2024*.img"_s}, QDir::Files).size(),
             count - gone.size());
}

void TestRadioImage::readRefuses_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error"); // after "<path>: "

    const QByteArray text = patternedImage().toText(u"test"_s).toUtf8();
    // The last block is the last line: an image cut there still looks complete.
    QTest::newRow("without its last block, 5-Tone block 16")
        << u"file"_s << without(text, "4 16 ")
        << u"line 65: the image ends without bank 4 block 16 (a file cut short?)"_s;
    QTest::newRow("without a DTMF block")
        << u"file"_s << without(text, "1  2 ")
        << u"line 65: the image ends without bank 1 block 2 (a file cut short?)"_s;
    const QByteArray main = patternedImage({0, 5}).toText(u"test"_s).toUtf8();
    QTest::newRow("a main read's image without channel 16")
        << u"file"_s << without(main, "0 16 ")
        << u"line 26: the image ends without bank 0 block 16 (a file cut short?)"_s;
    QTest::newRow("a block of a bank the image does not name")
        << u"file"_s << main + "1 0 " + QByteArray(56, '0') + "\n"
        << u"line 27: bank 1 is not one of the banks the image names"_s;
    QTest::newRow("the channels without the settings")
        << u"file"_s << QByteArray(main).replace("# banks: 0 5", "# banks: 0")
        << u"line 6: the channels and the settings go to the radio together: an image holds "
           "both or neither"_s;
    QTest::newRow("a bank this radio does not have")
        << u"file"_s << QByteArray(main).replace("# banks: 0 5", "# banks: 0 5 9")
        << u"line 6: '9' is not a bank of this radio"_s;
    QTest::newRow("one byte too large")
        << u"file"_s << text + QByteArray(RadioImage::kMaxImageFileSize - text.size() + 1, '#')
        << u"not a radio image (too large)"_s;
    QTest::newRow("a pipe") << u"pipe"_s << QByteArray() << u"Is a pipe, not a file"_s;
    QTest::newRow("a link to an endless device")
        << u"link to /dev/zero"_s << QByteArray() << u"Is a device, not a file"_s;
}

void TestRadioImage::readRefuses()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);

    make(kind, u"radio.img"_s, bytes);
    RadioImage image = patternedImage();
    QString message;
    QVERIFY(!RadioImage::readFile(path(u"radio.img"_s), &image, &message));
    QCOMPARE(message, path(u"radio.img"_s) + u": "_s + error);
    // A refused image leaves the one it would have replaced as it was.
    QVERIFY(image == patternedImage());
}

void TestRadioImage::readsRegularFilesOnly_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<QString>("error");

    constexpr qint64 kLimit = 8;
    QTest::newRow("a file") << u"file"_s << QByteArray("12345678") << QByteArray("12345678")
                            << QString();
    QTest::newRow("an empty file") << u"file"_s << QByteArray() << QByteArray() << QString();
    QTest::newRow("a file past the limit: one byte more, no more")
        << u"file"_s << QByteArray(3 * kLimit, 'x') << QByteArray(kLimit + 1, 'x') << QString();
    QTest::newRow("a pipe") << u"pipe"_s << QByteArray() << QByteArray()
                            << u"Is a pipe, not a file"_s;
    QTest::newRow("a link to a pipe")
        << u"link to a pipe"_s << QByteArray() << QByteArray() << u"Is a pipe, not a file"_s;
    QTest::newRow("a link to an endless device")
        << u"link to /dev/zero"_s << QByteArray() << QByteArray() << u"Is a device, not a file"_s;
    QTest::newRow("a folder") << u"folder"_s << QByteArray() << QByteArray()
                              << u"Is a folder, not a file"_s;
    QTest::newRow("nothing") << u"nothing"_s << QByteArray() << QByteArray()
                             << u"No such file or directory"_s;
}

void TestRadioImage::readsRegularFilesOnly()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, read);
    QFETCH(QString, error);

    if (kind != u"nothing")
        make(kind, u"input"_s, bytes);
    const FileRead file = readRegularFile(path(u"input"_s), 8);
    QCOMPARE(file.error, error);
    QCOMPARE(file.bytes, read);
}

void TestRadioImage::savesOverRegularFilesOnly()
{
    RadioImage image = patternedImage();
    image.taken = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9));
    image.port = u"/dev/ttyUSB0"_s;
    QString error;
    make(u"pipe"_s, u"pipe.img"_s);
    QVERIFY(!image.writeFile(path(u"pipe.img"_s), u"test"_s, &error));
    QCOMPARE(error, path(u"pipe.img"_s) + u": Is a pipe, not a file"_s);
    QVERIFY(isFifo(path(u"pipe.img"_s)));

    // A new file and an old one are saved, and say when and where the image was read.
    for (int i = 0; i < 2; ++i) {
        QVERIFY2(image.writeFile(path(u"radio.img"_s), u"test"_s, &error), qPrintable(error));
        RadioImage back;
        QVERIFY2(RadioImage::readFile(path(u"radio.img"_s), &back, &error), qPrintable(error));
        QVERIFY(back == image);
        QCOMPARE(back.taken, image.taken);
        QCOMPARE(back.port, u"/dev/ttyUSB0"_s);
    }
    QCOMPARE(whyNotSaveable(u"/dev/null"_s), u"Is a device, not a file"_s);
}

void TestRadioImage::savedFilePathSeesThroughLinks()
{
    make(u"file"_s, u"radio.wh"_s, "x");
    QVERIFY(QDir().mkdir(path(u"sub"_s)));
    QVERIFY(QFile::link(path(u"radio.wh"_s), path(u"link.wh"_s)));
    QVERIFY(QFile::link(path(u"new.img"_s), path(u"dangling.img"_s)));
    QVERIFY(QFile::link(m_dir->path(), path(u"sub/up"_s)));
    const QString file = QFileInfo(path(u"radio.wh"_s)).canonicalFilePath();
    const QString folder = QFileInfo(m_dir->path()).canonicalFilePath();

    QCOMPARE(savedFilePath(path(u"link.wh"_s)), file);
    QCOMPARE(savedFilePath(path(u"sub/../radio.wh"_s)), file);
    QCOMPARE(savedFilePath(path(u"sub/up/radio.wh"_s)), file);
    // Files not there yet: their folder's real path, or where the link leads.
    QCOMPARE(savedFilePath(path(u"sub/up/new.img"_s)), folder + u"/new.img"_s);
    QCOMPARE(savedFilePath(path(u"dangling.img"_s)), folder + u"/new.img"_s);
    QVERIFY(savedFilePath(path(u"other.img"_s)) != savedFilePath(path(u"new.img"_s)));
}

QTEST_GUILESS_MAIN(TestRadioImage)
#include "tst_radioimage.moc"
