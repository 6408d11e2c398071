// SPDX-License-Identifier: GPL-3.0-or-later
// Radio image files and the reader of regular files under them: what is refused, and that a
// refusal never waits on a pipe, never fills the memory from a device and never puts a file where
// a device was.
#include "protocol/radioimage.h"
#include "protocol/regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace wf;
using namespace Qt::StringLiterals;

namespace {

// Every block holds its own bank and block number and its byte positions, so that no two blocks
// look alike.
RadioImage patternedImage()
{
    RadioImage image;
    for (const BlockAddress &a : RadioImage::addresses()) {
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
