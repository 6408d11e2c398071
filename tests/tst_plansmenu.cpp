// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's File menu entries that work without a radio, driven as a user does: the
// menu entry, the file dialog, the message, and what the files hold afterwards.
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
#include "tools/vradio/radiomemory.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

using namespace wf;
using wf::vradio::RadioMemory;

namespace {

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

// The text pdftotext finds in a PDF file, with its page count from pdfinfo.
int pdfPages(const QString &file)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {file});
    if (!info.waitForFinished())
        return -1;
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

} // namespace

class TestPlansMenu final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void imageWithoutARadio();
    void importIsOneStep();
    void documentOfTheWindows();

private:
    void trigger(const char *entry, const QString &answer = {});
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString lastMessage() const
    {
        return m_messages.isEmpty() ? QString() : m_messages.last().text;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TForm1> m_form;
    std::unique_ptr<TForm2> m_dtmf;
    std::unique_ptr<TForm4> m_twoTone;
    std::unique_ptr<TForm5> m_fiveTone;
    std::unique_ptr<TForm6> m_fsk;
    QList<ShownMessage> m_messages;
    std::optional<QuestionRecorder> m_questions;
    QString m_answer; ///< the file the next file dialog chooses; empty: Cancel
};

void TestPlansMenu::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("XDG_DATA_HOME", path("data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", path("config").toLocal8Bit());
}

void TestPlansMenu::init()
{
    setDisplayLanguageFlag(flagFor(Language::English));
    m_messages.clear();
    setMessageHook([this](const ShownMessage &message) { m_messages << message; });
    m_questions.emplace();
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
    qputenv("WRITEFREQ_PORTS", "");
    m_form = std::make_unique<TForm1>();
    qunsetenv("WRITEFREQ_PORTS");
    m_dtmf = std::make_unique<TForm2>(m_form->link(), *m_form->comcbb);
    m_twoTone = std::make_unique<TForm4>(m_form->link(), *m_form->comcbb);
    m_fiveTone = std::make_unique<TForm5>(m_form->link(), *m_form->comcbb);
    m_fsk = std::make_unique<TForm6>(m_form->link(), *m_form->comcbb);
    m_form->Form2 = m_dtmf.get();
    m_form->Form4 = m_twoTone.get();
    m_form->Form5 = m_fiveTone.get();
    m_form->Form6 = m_fsk.get();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestPlansMenu::cleanup()
{
    m_form->Form2 = m_form->Form4 = m_form->Form5 = m_form->Form6 = nullptr;
    m_form.reset();
    m_dtmf.reset();
    m_twoTone.reset();
    m_fiveTone.reset();
    m_fsk.reset();
    m_questions.reset();
    setMessageHook({});
    setFileDialogHook({});
    setPrintPreviewHook({});
    setDisplayLanguageFlag(0);
}

void TestPlansMenu::trigger(const char *entry, const QString &answer)
{
    m_answer = answer;
    QAction *action = m_form->findChild<QAction *>(QString::fromLatin1(entry));
    QVERIFY2(action, entry);
    QVERIFY(action->isEnabled());
    action->trigger();
}

void TestPlansMenu::imageWithoutARadio()
{
    TForm1 &form = *m_form;
    // A byte no window shows (past the settings the panel has) is kept as the image has it.
    RadioImage opened = demoImage();
    BlockPayload settings = opened.payload(Bank::Settings, 0);
    settings[20] = 0x5a;
    opened.setPayload(Bank::Settings, 0, settings);
    QString error;
    QVERIFY(opened.writeFile(path("demo.img"), "test", &error));
    QVERIFY(!form.DTMF1->isEnabled());

    // Opened, the image fills the table and the signalling windows, which open as after a read.
    trigger("openRadioImage", path("demo.img"));
    QCOMPARE(form.channelRow(2)[column::RxFrequency].trimmed(), QStringLiteral("438.52500"));
    QCOMPARE(m_dtmf->findChild<QComboBox *>(QStringLiteral("cb8"))->currentText(),
             QStringLiteral("Normal"));
    QCOMPARE(m_twoTone->xg2->Cells(2, 1), QStringLiteral("REMIND"));
    QVERIFY(form.DTMF1->isEnabled());
    QVERIFY(!form.document().isModified());

    // A read's snapshot of one bank leaves the table and the other windows as they are.
    RadioImage dtmfOnly({Bank::Dtmf});
    for (const BlockAddress &a : dtmfOnly.heldBlocks())
        dtmfOnly.setPayload(a.bank, a.block, demoImage().payload(a.bank, a.block));
    QVERIFY(dtmfOnly.writeFile(path("dtmf.img"), "test", &error));
    trigger("openRadioImage", path("dtmf.img"));
    QCOMPARE(form.channelRow(2)[column::RxFrequency].trimmed(), QStringLiteral("438.52500"));
    QCOMPARE(m_twoTone->xg2->Cells(2, 1), QStringLiteral("REMIND"));

    // Saved as it was opened, it is the same image.
    trigger("saveRadioImageFile", path("same.img"));
    QCOMPARE(lastMessage(), QStringLiteral("Radio image saved."));
    RadioImage saved;
    QVERIFY2(RadioImage::readFile(path("same.img"), &saved, &error), qPrintable(error));
    QVERIFY(saved.isComplete());
    QVERIFY(samePayloads(saved, opened));

    // An edit is saved, and the windows have no changes left.
    ChannelRow row = form.channelRow(2);
    row[column::RxFrequency] = QStringLiteral("145.50000");
    form.setChannelRow(2, row);
    m_twoTone->xg2->SetEditText(2, 1, QStringLiteral("REPLY"));
    form.document().record(QStringLiteral("edit"));
    QVERIFY(form.document().isModified());
    QVERIFY(m_twoTone->document().isModified());
    trigger("saveRadioImageFile", path("edited.img"));
    QCOMPARE(lastMessage(), QStringLiteral("Radio image saved."));
    QVERIFY(!form.document().isModified());
    QVERIFY(!m_twoTone->document().isModified());
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
    trigger("saveRadioImageFile", path("refused.img"));
    QCOMPARE(m_messages.size(), shown + 1);
    QCOMPARE(m_messages.last().kind, MessageKind::Error);
    QCOMPARE(lastMessage(),
             QStringLiteral("channel 2: '14x.5' is not a valid floating point value"));
    QVERIFY(!QFile::exists(path("refused.img")));
}

void TestPlansMenu::importIsOneStep()
{
    TForm1 &form = *m_form;
    const ChannelSheet before = form.sheet();
    trigger("exportCsv", path("plan.csv"));
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

    trigger("importCsv", path("plan.csv"));
    QVERIFY(m_messages.last().kind != MessageKind::Error);
    QCOMPARE(lastMessage(),
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

void TestPlansMenu::documentOfTheWindows()
{
    QString error;
    QVERIFY(demoImage().writeFile(path("demo.img"), "test", &error));
    trigger("openRadioImage", path("demo.img"));

    trigger("exportPdf", path("plan.pdf"));
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

QTEST_MAIN(TestPlansMenu)
#include "tst_plansmenu.moc"
