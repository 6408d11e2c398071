// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's File menu entries for complete radio images and the verify, against the
// virtual radio, and those that need no radio (images, CSV, print, PDF), driven as a user does:
// the menu entry, the file dialog, the message.
#include "app/filedialogs.h"
#include "app/plansmenu.h"
#include "app/tform1.h"
#include "channels/mainblocks.h"
#include "channels/sheetimage.h"
#include "grid/txstringgrid.h"
#include "i18n/language.h"
#include "i18n/ui/messagebox.h"
#include "protocol/radioimage.h"
#include "signalling/dtmf/ui/tform2.h"
#include "signalling/fivetone/ui/tform5.h"
#include "signalling/fsk/ui/tform6.h"
#include "signalling/twotone/ui/tform4.h"
#include "support/questions.h"
#include "support/vradioprocess.h"
#include "tools/vradio/radiomemory.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

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

bool samePayloads(const RadioImage &a, const RadioImage &b)
{
    for (const BlockAddress &address : RadioImage::addresses()) {
        if (a.payload(address.bank, address.block) != b.payload(address.bank, address.block))
            return false;
    }
    return true;
}

// What poppler's tools find in a PDF file: its page count and its text.
int pdfPages(const QString &file)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {file});
    info.waitForFinished();
    const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    return pages.match(QString::fromUtf8(info.readAllStandardOutput())).captured(1).toInt();
}

QString pdfText(const QString &file)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    text.waitForFinished();
    return QString::fromUtf8(text.readAllStandardOutput());
}

// The four signalling windows of a main window, for as long as a test runs.
struct SignallingWindows
{
    explicit SignallingWindows(TForm1 &window)
        : form(window)
        , dtmf(window.link(), *window.comcbb)
        , twoTone(window.link(), *window.comcbb)
        , fiveTone(window.link(), *window.comcbb)
        , fsk(window.link(), *window.comcbb)
    {
        form.Form2 = &dtmf;
        form.Form4 = &twoTone;
        form.Form5 = &fiveTone;
        form.Form6 = &fsk;
    }
    ~SignallingWindows() { form.Form2 = form.Form4 = form.Form5 = form.Form6 = nullptr; }
    Q_DISABLE_COPY_MOVE(SignallingWindows)

    TForm1 &form;
    TForm2 dtmf;
    TForm4 twoTone;
    TForm5 fiveTone;
    TForm6 fsk;
};

// Channels and settings, then the signalling banks: 17 + 4 + 3 + 12 + 17 blocks.
constexpr int kImageBlocks = 53;

// Calls `shown` with the radio image progress dialog as it comes up, while its session runs.
class ProgressWatcher final : public QObject
{
public:
    explicit ProgressWatcher(std::function<void(QProgressDialog &)> shown)
        : m_shown(std::move(shown))
    {
        qApp->installEventFilter(this);
    }
    ~ProgressWatcher() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *dialog = qobject_cast<QProgressDialog *>(object);
        if (event->type() == QEvent::Show && dialog &&
            dialog->objectName() == QLatin1String("radioImageProgress"))
            m_shown(*dialog);
        return false;
    }

private:
    std::function<void(QProgressDialog &)> m_shown;
};

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
    void restoreImage_data();
    void restoreImage();
    void refusedImageSendsNothing();
    void signallingWindowReadsAfterAnImage();
    void progressDialogShowsSteps_data();
    void progressDialogShowsSteps();
    void cancelStops_data();
    void cancelStops();
    void snapshotFolderProblemIsNamed_data();
    void snapshotFolderProblemIsNamed();
    void imageWithoutARadio();
    void importIsOneStep();
    void documentOfTheWindows();

private:
    TForm1 &openWindow(const QString &port);
    void trigger(const char *entry);
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<TForm1> m_form;
    QList<ShownMessage> m_messages;
    std::optional<QuestionRecorder> m_questions;
    QString m_answer;       ///< the file the next file dialog chooses; empty: Cancel
    QString m_dialogFolder; ///< where the last file dialog opened
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
    m_questions.emplace();
    // The snapshots each test finds are its own.
    QVERIFY(QDir(path("data/writefreq/snapshots")).removeRecursively());
    setFileDialogHook([this](QFileDialog &dialog) {
        m_dialogFolder = dialog.directory().absolutePath();
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
    m_questions.reset();
    setMessageHook({});
    setFileDialogHook({});
    setPrintPreviewHook({});
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
    QCOMPARE(save->text(), QStringLiteral("Save Radio Image fro&m Radio..."));
    // The entries sit in the File menu, between the data files and Exit.
    QMenu *file = form.N11->menu();
    const QList<QAction *> actions = file->actions();
    QVERIFY(actions.indexOf(save) > actions.indexOf(form.N13));
    QVERIFY(actions.indexOf(save) < actions.indexOf(form.N1));
    // The main window's caption setter writes them, as the language dialog runs it.
    form.ApplyCaptions(Language::Chinese, captions::MainSetter::Switch);
    QCOMPARE(save->text(), QStringLiteral("从对讲机保存电台镜像(&B)..."));
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
    TForm2 dtmf(form.link(), *form.comcbb);
    TForm4 twoTone(form.link(), *form.comcbb);
    TForm5 fiveTone(form.link(), *form.comcbb);
    TForm6 fsk(form.link(), *form.comcbb);
    form.Form2 = &dtmf;
    form.Form4 = &twoTone;
    form.Form5 = &fiveTone;
    form.Form6 = &fsk;
    const auto forget =
        qScopeGuard([&form] { form.Form2 = form.Form4 = form.Form5 = form.Form6 = nullptr; });
    // The windows' own Reads fill them; the verify then finds the radio as they say.
    form.rbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QTRY_VERIFY(form.rbtn->isEnabled());
    for (SignallingWindow *window : {form.Form2, form.Form4, form.Form5, form.Form6}) {
        window->rbtn->click();
        QTRY_COMPARE_WITH_TIMEOUT(window->running(), BlockTransfer::Kind::None, kTransferTimeoutMs);
    }
    m_messages.clear();
    trigger("verifyRadio");
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.last().text, QStringLiteral("The radio holds the table."));

    // A channel's cell, a DTMF box and a 2-Tone cell say otherwise than the radio.
    ChannelRow row = form.channelRow(2);
    row[column::RxFrequency] = QStringLiteral("145.50000");
    form.setChannelRow(2, row);
    auto *callAlert = dtmf.findChild<QComboBox *>(QStringLiteral("cb8"));
    QVERIFY(callAlert);
    callAlert->setCurrentText(QStringLiteral("Continuous"));
    twoTone.xg2->setCells(2, 1, QStringLiteral("REPLY"));
    trigger("verifyRadio");
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 2, kTransferTimeoutMs);
    QCOMPARE(m_messages.last().kind, MessageKind::Error);
    QCOMPARE(m_messages.last().text.split('\n'),
             QStringList({"The radio differs from the table in 3 places: Channel table 1, DTMF 1, "
                          "2-Tone 1. The windows mark each field that differs, with the radio's "
                          "value as its tooltip.",
                          "CH 2, RX Freq: table 145.50000, radio 438.52500",
                          "DTMF, Call Alert: table Continuous, radio Normal",
                          "2-Tone decode 1, Response Mode (Decode1): table REPLY, radio REMIND"}));
    QCOMPARE(form.xg->cellMark(column::RxFrequency, 2), QStringLiteral("Radio: 438.52500"));
    QCOMPARE(form.xg->model()->index(2, column::RxFrequency).data(Qt::ToolTipRole).toString(),
             QStringLiteral("Radio: 438.52500"));
    QCOMPARE(form.xg->cellMark(column::RxFrequency, 1), QString());
    QCOMPARE(callAlert->toolTip(), QStringLiteral("Radio: Normal"));
    QCOMPARE(callAlert->palette().color(QPalette::Base), TXStringGrid::markColor());
    QCOMPARE(twoTone.xg2->cellMark(2, 1), QStringLiteral("Radio: REMIND"));

    // The next edit takes every mark away.
    form.xg->SetEditText(column::Power, 1, QStringLiteral("LOW"));
    QCOMPARE(form.xg->cellMark(column::RxFrequency, 2), QString());
    QCOMPARE(twoTone.xg2->cellMark(2, 1), QString());
    QCOMPARE(callAlert->toolTip(), QString());
    QVERIFY(callAlert->palette().color(QPalette::Base) != TXStringGrid::markColor());

    // The window's own Read still has its line afterwards.
    form.rbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 3, kTransferTimeoutMs);
    QCOMPARE(form.channelRow(2)[column::RxFrequency].trimmed(), QStringLiteral("438.52500"));
}

void TestRadioImageMenu::restoreImage_data()
{
    QTest::addColumn<QList<int>>("banks"); // the image holds
    QTest::addColumn<int>("bank");         // and the block that differs from the radio
    QTest::addColumn<int>("block");
    QTest::newRow("complete") << QList<int>{0, 5, 1, 2, 3, 4} << 4 << 7;
    QTest::newRow("a DTMF read's snapshot") << QList<int>{1} << 1 << 2;
}

void TestRadioImageMenu::restoreImage()
{
    QFETCH(QList<int>, banks);
    QFETCH(int, bank);
    QFETCH(int, block);
    const QString radioFile = path(QStringLiteral("restore-radio-%1.img").arg(bank));
    VirtualRadioProcess radio({"--no-pacing", "--image", radioFile});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    openWindow(radio.devicePath());
    QList<Bank> held;
    for (int b : banks)
        held << Bank(b);
    RadioImage image(held);
    for (const BlockAddress &a : image.heldBlocks())
        image.setPayload(a.bank, a.block, RadioMemory::demo().payload(int(a.bank), a.block));
    BlockPayload payload = image.payload(Bank(bank), block);
    payload[3] ^= 0x55;
    image.setPayload(Bank(bank), block, payload);
    QString error;
    QVERIFY(image.writeFile(path("to-restore.img"), "test", &error));
    const QDir snapshots(path("data/writefreq/snapshots"));
    QVERIFY(snapshots.mkpath("."));
    // A DTMF window with a change of the user's: the restore replaces it when the image holds
    // the DTMF bank.
    TForm2 dtmf(m_form->link(), *m_form->comcbb, m_form.get());
    m_form->Form2 = &dtmf;
    dtmf.xg2->setCells(1, 1, QStringLiteral("123"));
    QVERIFY(dtmf.document().record(QStringLiteral("edit")));
    m_answer = path("to-restore.img");
    // And a change in the table, which only an image with the channels replaces.
    m_form->xg->setCells(column::RxFrequency, 1, QStringLiteral("146.00000"));
    QVERIFY(m_form->document().record(QStringLiteral("edit")));
    const bool channelsHeld = image.holds(Bank::Channels);
    if (channelsHeld) // the table's change may go
        m_questions->replies << Answer::Discard;
    m_questions->replies << Answer::Proceed; // and the DTMF window's
    m_questions->replies << Answer::Cancel;  // but not to this radio
    trigger("restoreRadioImage");
    QVERIFY(m_messages.isEmpty());
    const QString restoreQuestion =
        QStringLiteral("Write the image \"to-restore.img\" to the radio on %1? "
                       "What the radio holds is replaced (a snapshot of it is kept first).")
            .arg(radio.devicePath());
    QCOMPARE(m_questions->asked.constLast().text, restoreQuestion);
    trigger("restoreRadioImage");
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.last().text, QStringLiteral("Radio restored and verified."));
    // The windows of the image's banks show what the radio holds now, unchanged; the others are
    // left as they were.
    QCOMPARE(m_questions->asked.size(), channelsHeld ? 6 : 4);
    QVERIFY(!dtmf.isWindowModified());
    QCOMPARE(m_form->channelRow(1)[column::RxFrequency],
             channelsHeld ? QStringLiteral("438.50000") : QStringLiteral("146.00000"));
    QCOMPARE(m_form->isWindowModified(), !channelsHeld);
    // The dialog opened among the snapshots.
    QCOMPARE(m_dialogFolder, snapshots.absolutePath());
    // The radio took the image's banks; the others kept what they held.
    RadioImage expected = demoImage();
    expected.setPayload(Bank(bank), block, payload);
    RadioMemory memory;
    QVERIFY2(memory.loadFile(radioFile, &error), qPrintable(error));
    QVERIFY(sameMemory(memory, expected));
    // What the restore replaced is in the snapshots, as it was before.
    const QStringList taken = snapshots.entryList({"*.img"}, QDir::Files);
    QCOMPARE(taken.size(), 1);
    RadioImage before;
    QVERIFY(RadioImage::readFile(snapshots.filePath(taken.first()), &before, &error));
    QCOMPARE(before.banks(), held);
    for (const BlockAddress &a : before.heldBlocks())
        QCOMPARE(before.payload(a.bank, a.block), demoImage().payload(a.bank, a.block));
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

void TestRadioImageMenu::progressDialogShowsSteps_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("English") << int(Language::English) << "Saving radio image"
                             << "Cancel";
    QTest::newRow("Chinese") << int(Language::Chinese) << "正在保存电台镜像"
                             << "取消";
}

void TestRadioImageMenu::progressDialogShowsSteps()
{
    QFETCH(int, language);
    QFETCH(QString, title);
    QFETCH(QString, cancel);
    setDisplayLanguageFlag(flagFor(Language(language)));
    VirtualRadioProcess radio({"--no-pacing"});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    TForm1 &form = openWindow(radio.devicePath());
    QList<int> values;
    QString shownTitle;
    QString shownCancel;
    bool overWindow = false;
    bool windowTookInput = true;
    ProgressWatcher watcher([&](QProgressDialog &dialog) {
        shownTitle = dialog.windowTitle();
        QPushButton *button = dialog.findChild<QPushButton *>();
        shownCancel = button ? button->text() : QString();
        overWindow = dialog.parentWidget() == &form && dialog.windowModality() == Qt::WindowModal;
        windowTookInput = form.menuBar()->isEnabled() || form.centralWidget()->isEnabled();
        QProgressBar *bar = dialog.findChild<QProgressBar *>();
        QVERIFY(bar);
        QCOMPARE(bar->maximum(), kImageBlocks);
        QObject::connect(bar, &QProgressBar::valueChanged, &dialog,
                         [&values](int value) { values << value; });
    });
    m_answer = path("progress.img");
    QFile::remove(m_answer); // a file there would be asked about first
    trigger("saveRadioImage");
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(shownTitle, title);
    QCOMPARE(shownCancel, cancel);
    QVERIFY(overWindow);
    QVERIFY(!windowTookInput);
    // One step a block, across the channels and every signalling bank.
    QVERIFY2(values.size() >= kImageBlocks / 2, qPrintable(QString::number(values.size())));
    QVERIFY(std::is_sorted(values.begin(), values.end()));
    QCOMPARE(values.last(), kImageBlocks);
}

void TestRadioImageMenu::cancelStops_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("cancelAt");
    QTest::addColumn<QString>("message");
    QTest::newRow("save") << "saveRadioImage" << 1
                          << "^Saving the radio image was cancelled; no file was written\\.$";
    QTest::newRow("verify")
        << "verifyRadio" << 1
        << "^The verify was cancelled; the radio was not compared with the table\\.$";
    // The radio's blocks are read for the snapshot first; the fifth block written is channel 5.
    QTest::newRow("restore")
        << "restoreRadioImage" << kImageBlocks + 5
        << "^The restore was cancelled: the write stopped at a block boundary after channel "
           "(\\d+) \\(bank 0 block \\1\\)\\. The radio now holds only part of the image; "
           "restore it again\\.$";
}

void TestRadioImageMenu::cancelStops()
{
    QFETCH(QString, entry);
    QFETCH(int, cancelAt);
    QFETCH(QString, message);
    qputenv("XDG_DATA_HOME", path("cancel-" + entry).toLocal8Bit()); // its own snapshots
    const auto restoreData =
        qScopeGuard([this] { qputenv("XDG_DATA_HOME", path("data").toLocal8Bit()); });
    const QString memoryFile = path("cancel-" + entry + "-radio.img");
    VirtualRadioProcess radio({"--no-pacing", "--image", memoryFile});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    openWindow(radio.devicePath());
    // Every block of the image differs from the radio's.
    RadioImage image = demoImage();
    for (const BlockAddress &a : RadioImage::addresses()) {
        BlockPayload payload = image.payload(a.bank, a.block);
        payload[1] ^= 0x5a;
        image.setPayload(a.bank, a.block, payload);
    }
    QString error;
    QVERIFY(image.writeFile(path("cancel-image.img"), "test", &error));
    m_answer = entry == "restoreRadioImage" ? path("cancel-image.img") : path("cancel-save.img");

    bool clicked = false;
    ProgressWatcher watcher([&](QProgressDialog &dialog) {
        QProgressBar *bar = dialog.findChild<QProgressBar *>();
        QPushButton *cancel = dialog.findChild<QPushButton *>();
        QVERIFY(bar && cancel);
        QObject::connect(bar, &QProgressBar::valueChanged, cancel, [&, cancel](int value) {
            if (value < cancelAt || clicked)
                return;
            clicked = true;
            // The user's click comes in from the event loop, between the line's bytes.
            QTimer::singleShot(0, cancel, [cancel] { QTest::mouseClick(cancel, Qt::LeftButton); });
        });
    });
    trigger(qPrintable(entry));
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QVERIFY(clicked);
    const QRegularExpressionMatch said = QRegularExpression(message).match(m_messages.last().text);
    QVERIFY2(said.hasMatch(), qPrintable(m_messages.last().text));
    QVERIFY(!QFile::exists(path("cancel-save.img")));
    if (entry != "restoreRadioImage")
        return;
    // The channels up to the one named are the image's, everything after it the radio's own.
    const int last = said.captured(1).toInt();
    QVERIFY2(last >= 5 && last < 16, qPrintable(said.captured(1)));
    QVERIFY(radio.stop());
    RadioMemory memory;
    QVERIFY2(memory.loadFile(memoryFile, &error), qPrintable(error));
    for (const BlockAddress &a : RadioImage::addresses()) {
        const bool written = a.bank == Bank::Channels && a.block <= last;
        const BlockPayload &expected =
            written ? image.payload(a.bank, a.block) : demoImage().payload(a.bank, a.block);
        const vradio::Payload &held = memory.payload(int(a.bank), a.block);
        QVERIFY2(std::equal(held.begin(), held.end(), expected.begin()),
                 qPrintable(QStringLiteral("bank %1 block %2").arg(int(a.bank)).arg(a.block)));
    }
}

void TestRadioImageMenu::snapshotFolderProblemIsNamed_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("message");
    QTest::newRow("English") << int(Language::English)
                             << "Cannot make the snapshot folder %1/blocker/data/writefreq/"
                                "snapshots: %1/blocker is a file, not a folder. Nothing was "
                                "written to the radio.";
    QTest::newRow("Chinese") << int(Language::Chinese)
                             << "无法建立快照文件夹 %1/blocker/data/writefreq/snapshots:"
                                "%1/blocker 是文件,不是文件夹。电台未写入任何内容。";
}

void TestRadioImageMenu::snapshotFolderProblemIsNamed()
{
    QFETCH(int, language);
    QFETCH(QString, message);
    setDisplayLanguageFlag(flagFor(Language(language)));
    QFile blocker(path("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_DATA_HOME", path("blocker/data").toLocal8Bit());
    const auto restoreData =
        qScopeGuard([this] { qputenv("XDG_DATA_HOME", path("data").toLocal8Bit()); });
    const QString log = path("blocker-" + QString::number(language) + ".log");
    VirtualRadioProcess radio({"--no-pacing", "--log", log});
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    openWindow(radio.devicePath());
    QString error;
    QVERIFY(demoImage().writeFile(path("blocked.img"), "test", &error));
    m_answer = path("blocked.img");
    trigger("restoreRadioImage");
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.last().kind, MessageKind::Error);
    QCOMPARE(m_messages.last().text, message.arg(m_dir.path()));
    QVERIFY(radio.stop());
    QFile logFile(log);
    QVERIFY(logFile.open(QIODevice::ReadOnly));
    QVERIFY(!logFile.readAll().contains(" RX "));
}

void TestRadioImageMenu::imageWithoutARadio()
{
    TForm1 &form = openWindow(QString());
    SignallingWindows windows(form);
    // A byte no window shows (past the settings the panel has) is kept as the image has it.
    RadioImage opened = demoImage();
    BlockPayload settings = opened.payload(Bank::Settings, 0);
    settings[20] = 0x5a;
    opened.setPayload(Bank::Settings, 0, settings);
    QString error;
    QVERIFY(opened.writeFile(path("demo.img"), "test", &error));
    QVERIFY(!form.DTMF1->isEnabled());

    // Opened, the image fills the table and the signalling windows, which open as after a read.
    m_answer = path("demo.img");
    trigger("openRadioImage");
    QCOMPARE(form.channelRow(2)[column::RxFrequency].trimmed(), QStringLiteral("438.52500"));
    QCOMPARE(windows.dtmf.findChild<QComboBox *>(QStringLiteral("cb8"))->currentText(),
             QStringLiteral("Normal"));
    QCOMPARE(windows.twoTone.xg2->Cells(2, 1), QStringLiteral("REMIND"));
    QVERIFY(form.DTMF1->isEnabled());
    QVERIFY(!form.document().isModified());

    // A read's snapshot of one bank leaves the table and the other windows as they are.
    RadioImage dtmfOnly({Bank::Dtmf});
    for (const BlockAddress &a : dtmfOnly.heldBlocks())
        dtmfOnly.setPayload(a.bank, a.block, demoImage().payload(a.bank, a.block));
    QVERIFY(dtmfOnly.writeFile(path("dtmf.img"), "test", &error));
    m_answer = path("dtmf.img");
    trigger("openRadioImage");
    QCOMPARE(form.channelRow(2)[column::RxFrequency].trimmed(), QStringLiteral("438.52500"));
    QCOMPARE(windows.twoTone.xg2->Cells(2, 1), QStringLiteral("REMIND"));

    // Saved as it was opened, it is the same image.
    m_answer = path("same.img");
    trigger("saveRadioImageFile");
    QCOMPARE(m_messages.last().text, QStringLiteral("Radio image saved."));
    RadioImage saved;
    QVERIFY2(RadioImage::readFile(path("same.img"), &saved, &error), qPrintable(error));
    QVERIFY(saved.isComplete());
    QVERIFY(samePayloads(saved, opened));

    // An edit is saved, and the windows have no changes left.
    ChannelRow row = form.channelRow(2);
    row[column::RxFrequency] = QStringLiteral("145.50000");
    form.setChannelRow(2, row);
    windows.twoTone.xg2->SetEditText(2, 1, QStringLiteral("REPLY"));
    form.document().record(QStringLiteral("edit"));
    QVERIFY(form.document().isModified());
    QVERIFY(windows.twoTone.document().isModified());
    m_answer = path("edited.img");
    trigger("saveRadioImageFile");
    QCOMPARE(m_messages.last().text, QStringLiteral("Radio image saved."));
    QVERIFY(!form.document().isModified());
    QVERIFY(!windows.twoTone.document().isModified());
    QVERIFY(RadioImage::readFile(path("edited.img"), &saved, &error));
    QCOMPARE(imageToSheet(saved, Language::English).rows[2][column::RxFrequency].trimmed(),
             QStringLiteral("145.50000"));
    bool twoToneChanged = false;
    for (const BlockAddress &a : RadioImage::addresses(Bank::TwoTone))
        twoToneChanged |= saved.payload(a.bank, a.block) != demoImage().payload(a.bank, a.block);
    QVERIFY(twoToneChanged);

    // A text the radio cannot take stops the save with the write's message: no file.
    row[column::RxFrequency] = QStringLiteral("14x.5");
    form.setChannelRow(2, row);
    const int shown = int(m_messages.size());
    m_answer = path("refused.img");
    trigger("saveRadioImageFile");
    QCOMPARE(m_messages.size(), shown + 1);
    QCOMPARE(m_messages.last().kind, MessageKind::Error);
    QCOMPARE(m_messages.last().text,
             QStringLiteral("channel 2: '14x.5' is not a valid floating point value"));
    QVERIFY(!QFile::exists(path("refused.img")));
}

void TestRadioImageMenu::importIsOneStep()
{
    TForm1 &form = openWindow(QString());
    SignallingWindows windows(form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const ChannelSheet before = form.sheet();
    m_answer = path("plan.csv");
    trigger("exportCsv");
    QFile file(path("plan.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QString plan = QString::fromUtf8(file.readAll());
    file.close();
    // The spreadsheet changes two channels' receive frequencies, written as people type them.
    QStringList lines = plan.split(QStringLiteral("\r\n"));
    for (int line : {1, 3}) {
        QStringList fields = lines[line].split(u',');
        fields[column::RxFrequency] = line == 1 ? QStringLiteral("145.5") : QStringLiteral("446");
        lines[line] = fields.join(u',');
    }
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(lines.join(QStringLiteral("\r\n")).toUtf8()); // no byte-order mark now
    file.close();

    m_answer = path("plan.csv");
    trigger("importCsv");
    QVERIFY(m_messages.last().kind != MessageKind::Error);
    QCOMPARE(m_messages.last().text,
             QStringLiteral(
                 "Read as UTF-8 text, fields separated by commas; channels: 2, settings: 10."));
    QCOMPARE(form.channelRow(1)[column::RxFrequency], QStringLiteral("145.50000"));
    QCOMPARE(form.channelRow(3)[column::RxFrequency], QStringLiteral("446.00000"));
    QVERIFY(form.document().isModified());
    QCOMPARE(form.Undo1->text(), QStringLiteral("&Undo import"));

    // One Ctrl+Z puts the whole table back.
    QTest::keyClick(form.xg, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(form.sheet().rows, before.rows);
    QVERIFY(!form.document().isModified());
}

void TestRadioImageMenu::documentOfTheWindows()
{
    TForm1 &form = openWindow(QString());
    SignallingWindows windows(form);
    QString error;
    QVERIFY(demoImage().writeFile(path("demo.img"), "test", &error));
    m_answer = path("demo.img");
    trigger("openRadioImage");

    m_answer = path("plan.pdf");
    trigger("exportPdf");
    QCOMPARE(m_messages.size(), 0);
    QCOMPARE(pdfPages(path("plan.pdf")), 4);
    const QString text = pdfText(path("plan.pdf"));
    QVERIFY2(text.contains(QStringLiteral("438.52500")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("File: demo.img")));
    QVERIFY(text.contains(QStringLiteral("Response Mode"))); // the 2-Tone decode table
    QVERIFY(text.contains(QStringLiteral("Page 4 of 4")));

    // The preview paints the same document on the printer it is given.
    bool previewed = false;
    setPrintPreviewHook([this, &previewed](QPrintPreviewDialog &dialog) {
        previewed = true;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path("printed.pdf"));
        printer.setPageLayout(dialog.printer()->pageLayout());
        emit dialog.paintRequested(&printer);
        return int(QDialog::Accepted);
    });
    trigger("printContents");
    QVERIFY(previewed);
    QCOMPARE(pdfPages(path("printed.pdf")), 4);
}

QTEST_MAIN(TestRadioImageMenu)
#include "tst_radioimagemenu.moc"
