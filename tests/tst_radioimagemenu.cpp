// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's File menu entries for complete radio images and the verify, against the
// virtual radio, driven as a user does: the menu entry, the file dialog, the message.
#include "app/filedialogs.h"
#include "app/tform1.h"
#include "channels/mainblocks.h"
#include "i18n/language.h"
#include "i18n/ui/messagebox.h"
#include "protocol/radioimage.h"
#include "signalling/dtmf/ui/tform2.h"
#include "support/vradioprocess.h"
#include "tools/vradio/radiomemory.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace wf;
using wf::vradio::RadioMemory;

namespace {

constexpr int kTransferTimeoutMs = 30000;

bool sameMemory(const RadioMemory &a, const RadioImage &b)
{
    for (const BlockAddress &address : RadioImage::addresses()) {
        const vradio::Payload &x = a.payload(int(address.bank), address.block);
        if (!std::equal(x.begin(), x.end(), b.payload(address.bank, address.block).begin()))
            return false;
    }
    return true;
}

RadioImage demoImage()
{
    RadioImage image;
    for (const BlockAddress &a : RadioImage::addresses())
        image.setPayload(a.bank, a.block, RadioMemory::demo().payload(int(a.bank), a.block));
    return image;
}

} // namespace

class TestRadioImageMenu final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void entriesFollowTheLanguage();
    void saveImage();
    void verifyAgainstTheTable();
    void restoreImage();
    void refusedImageSendsNothing();
    void signallingWindowReadsAfterAnImage();

private:
    TForm1 &openWindow(const QString &port);
    void trigger(const char *entry);
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<TForm1> m_form;
    QList<ShownMessage> m_messages;
    QString m_answer; ///< the file the next file dialog chooses; empty: Cancel
};

void TestRadioImageMenu::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("XDG_DATA_HOME", path("data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", path("config").toLocal8Bit());
}

void TestRadioImageMenu::init()
{
    setDisplayLanguageFlag(flagFor(Language::English));
    m_messages.clear();
    setMessageHook([this](const ShownMessage &message) { m_messages << message; });
    setFileDialogHook([this](QFileDialog &dialog) {
        if (m_answer.isEmpty()) {
            dialog.reject();
            return dialog.result();
        }
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.selectFile(m_answer);
        static_cast<QDialog &>(dialog).accept(); // as the dialog's own button does
        return dialog.result();
    });
}

void TestRadioImageMenu::cleanup()
{
    m_form.reset();
    setMessageHook({});
    setFileDialogHook({});
    setDisplayLanguageFlag(0);
}

TForm1 &TestRadioImageMenu::openWindow(const QString &port)
{
    qputenv("WRITEFREQ_PORTS", port.toLocal8Bit());
    m_form = std::make_unique<TForm1>();
    qunsetenv("WRITEFREQ_PORTS");
    m_form->show();
    m_form->comcbb->setCurrentText(port);
    return *m_form;
}

void TestRadioImageMenu::trigger(const char *entry)
{
    QAction *action = m_form->findChild<QAction *>(QString::fromLatin1(entry));
    QVERIFY(action);
    QVERIFY(action->isEnabled());
    action->trigger();
}

void TestRadioImageMenu::entriesFollowTheLanguage()
{
    VirtualRadioProcess radio({"--no-pacing"});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    TForm1 &form = openWindow(radio.devicePath());
    QAction *save = form.findChild<QAction *>(QStringLiteral("saveRadioImage"));
    QVERIFY(save);
    QCOMPARE(save->text(), QStringLiteral("Save Radio &Image..."));
    // The entries sit in the File menu, between the data files and Exit.
    QMenu *file = form.N11->menu();
    const QList<QAction *> actions = file->actions();
    QVERIFY(actions.indexOf(save) > actions.indexOf(form.N13));
    QVERIFY(actions.indexOf(save) < actions.indexOf(form.N1));
    // The main window's caption setter writes them, as the language dialog runs it.
    form.ApplyCaptions(Language::Chinese, captions::MainSetter::Switch);
    QCOMPARE(save->text(), QStringLiteral("保存电台镜像(&B)..."));
}

void TestRadioImageMenu::saveImage()
{
    VirtualRadioProcess radio({"--no-pacing"});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    openWindow(radio.devicePath());
    m_answer = path("saved.img");
    trigger("saveRadioImage");
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.last().text, QStringLiteral("Radio image saved."));
    RadioImage image;
    QString error;
    QVERIFY2(RadioImage::readFile(path("saved.img"), &image, &error), qPrintable(error));
    QVERIFY(sameMemory(RadioMemory::demo(), image));
}

void TestRadioImageMenu::verifyAgainstTheTable()
{
    VirtualRadioProcess radio({"--no-pacing"});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    TForm1 &form = openWindow(radio.devicePath());
    // The window's own Read fills the table; the verify then finds the radio as the table says.
    form.rbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QTRY_VERIFY(form.rbtn->isEnabled());
    trigger("verifyRadio");
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 2, kTransferTimeoutMs);
    QCOMPARE(m_messages.last().text, QStringLiteral("The radio holds the table."));

    ChannelRow row = form.channelRow(2);
    row[column::RxFrequency] = QStringLiteral("145.50000");
    form.setChannelRow(2, row);
    trigger("verifyRadio");
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 3, kTransferTimeoutMs);
    QCOMPARE(m_messages.last().kind, MessageKind::Error);
    const QStringList lines = m_messages.last().text.split('\n');
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QStringLiteral("The radio differs from the table:"));
    QVERIFY2(lines[1].startsWith(QStringLiteral("CH 2 byte 0: ")), qPrintable(lines[1]));

    // The window's own Read still has its line afterwards.
    form.rbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 4, kTransferTimeoutMs);
    QCOMPARE(form.channelRow(2)[column::RxFrequency].trimmed(), QStringLiteral("438.52500"));
}

void TestRadioImageMenu::restoreImage()
{
    VirtualRadioProcess radio({"--no-pacing", "--image", path("restore-radio.img")});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    openWindow(radio.devicePath());
    RadioImage image = demoImage();
    BlockPayload payload = image.payload(Bank::FiveTone, 7);
    payload[3] ^= 0x55;
    image.setPayload(Bank::FiveTone, 7, payload);
    QString error;
    QVERIFY(image.writeFile(path("to-restore.img"), "test", &error));
    m_answer = path("to-restore.img");
    trigger("restoreRadioImage");
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.last().text, QStringLiteral("Radio restored and verified."));
    RadioMemory memory;
    QVERIFY2(memory.loadFile(path("restore-radio.img"), &error), qPrintable(error));
    QVERIFY(sameMemory(memory, image));
    // The radio as it was before is in the snapshots.
    const QDir snapshots(path("data/writefreq/snapshots"));
    const QStringList taken = snapshots.entryList({"*.img"}, QDir::Files);
    QCOMPARE(taken.size(), 1);
    RadioImage before;
    QVERIFY(RadioImage::readFile(snapshots.filePath(taken.first()), &before, &error));
    QVERIFY(sameMemory(RadioMemory::demo(), before));
}

void TestRadioImageMenu::refusedImageSendsNothing()
{
    const QString log = path("refused.log");
    VirtualRadioProcess radio({"--no-pacing", "--log", log});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    openWindow(radio.devicePath());
    QFile file(path("cut.img"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(demoImage().toText("test").left(400).toUtf8());
    file.close();
    m_answer = file.fileName();
    trigger("restoreRadioImage");
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.last().kind, MessageKind::Error);
    QVERIFY2(m_messages.last().text.contains(QStringLiteral("cut.img: line ")),
             qPrintable(m_messages.last().text));
    QVERIFY(radio.stop());
    QFile logFile(log);
    QVERIFY(logFile.open(QIODevice::ReadOnly));
    QVERIFY(!logFile.readAll().contains(" RX "));
}

void TestRadioImageMenu::signallingWindowReadsAfterAnImage()
{
    // A DTMF read leaves the port open, as the signalling windows do; saving an image closes
    // it. The DTMF window must then open it again rather than send into a closed line.
    VirtualRadioProcess radio({"--no-pacing"});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    TForm1 &form = openWindow(radio.devicePath());
    TForm2 dtmf(form.link(), *form.comcbb);
    const auto readDtmf = [&] {
        m_messages.clear();
        dtmf.rbtn->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
        QCOMPARE(m_messages.first().text, QStringLiteral("         READ SUCCEED!"));
    };
    readDtmf();
    QVERIFY(!form.comcbb->isEnabled());

    m_answer = path("between.img");
    m_messages.clear();
    trigger("saveRadioImage");
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.first().kind, MessageKind::Plain);
    QVERIFY(form.comcbb->isEnabled()); // the line is closed, so another port may be chosen

    readDtmf();
}

QTEST_MAIN(TestRadioImageMenu)
#include "tst_radioimagemenu.moc"
