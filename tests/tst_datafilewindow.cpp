// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/filedialogs.h"
#include "app/tform1.h"
#include "channels/mainblocks.h"
#include "grid/txstringgrid.h"
#include "i18n/language.h"
#include "i18n/languagesettings.h"
#include "i18n/ui/messagebox.h"
#include "protocol/frame.h"
#include "protocol/radioimage.h"
#include "signalling/dtmf/ui/tform2.h"
#include "signalling/fsk/ui/tform6.h"
#include "support/questions.h"
#include "support/transferradio.h"
#include "tools/vradio/radiomemory.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace wf;
using namespace Qt::StringLiterals;
using wf::vradio::RadioMemory;

Q_DECLARE_METATYPE(wf::Language)

namespace {

constexpr int kTransferTimeoutMs = 20000;
// Long enough that a machine under load does not need the repeat: each frame goes once.
constexpr int kRelaxedRepeatMs = 2000;

// What a fresh table in Chinese mode is saved as: the captions in GBK, each channel its number
// and fifteen commas, the settings' initial texts and "0".
QByteArray freshChineseFile()
{
    QByteArray bytes = "\xD0\xC5\xB5\xC0\xB1\xE0\xBA\xC5,\xBD\xD3\xCA\xD5\xC6\xB5\xC2\xCA,"
                       "\xB7\xA2\xC9\xE4\xC6\xB5\xC2\xCA,QT/DQT\xBD\xE2\xC2\xEB,"
                       "QT/DQT\xB1\xE0\xC2\xEB,\xB7\xA2\xC9\xE4\xB9\xA6\xC2\xCA,\xBF\xED/\xD5\xAD,"
                       "\xC9\xA8\xC3\xE8\xCC\xED\xBC\xD3,\xB2\xBD\xBD\xF8\xC6\xB5\xC2\xCA,"
                       "DTMF\xBC\xFC"
                       "1,DTMF\xBC\xFC"
                       "2,PTTID,\xC8\xC5\xC6\xB5,\xBF\xC9\xD1\xA1\xD0\xC5\xC1\xEE,"
                       "\xD0\xC5\xC1\xEE\xD0\xC5\xCF\xA2,\xD1\xB9\xC0\xA9\r\n";
    for (int channel = 1; channel <= kChannelCount; ++channel)
        bytes += QByteArray::number(channel) + ",,,,,,,,,,,,,,,\r\n";
    bytes += "\xCE\xDE\r\n1\r\n0\r\n60\r\n\xD6\xD0\xCE\xC4\r\n\xCE\xDE\r\n\xCE\xDE\r\n"
             "\xBF\xAA\r\n\xBF\xAA\r\n\xBF\xAA\r\n0\r\n";
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

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<cannot read>");
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QWidget *focused()
{
    return QApplication::focusWidget();
}

// Types text key by key into whatever has the focus; "\r" is Return.
void type(const QString &text)
{
    for (const QChar c : text) {
        const Qt::Key key = c == u'\r' ? Qt::Key_Return : Qt::Key(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Click, focused(), key, QString(c), Qt::NoModifier);
    }
}

const QStringList kFreshRow = {u"1"_s,    u"145.50000"_s, u"145.50000"_s, u"无"_s, u"无"_s, u"高"_s,
                               u"宽带"_s, u"有"_s,        u"25000"_s,     u"无"_s, u"无"_s, u"无"_s,
                               u"无"_s,   u"DTMF"_s,      u"1"_s,         u"无"_s};

// Everything a signalling window shows: its grids' cells, edits, boxes and check boxes.
QStringList snapshot(const QWidget &window)
{
    QStringList texts;
    for (const auto *grid : window.findChildren<TXStringGrid *>()) {
        for (int r = 0; r < grid->RowCount(); ++r)
            texts << grid->objectName() + u':' + grid->rowTexts(r).join(u'|');
    }
    for (const auto *edit : window.findChildren<QLineEdit *>())
        texts << edit->objectName() + u'=' + edit->text();
    for (const auto *box : window.findChildren<QComboBox *>())
        texts << box->objectName() + u'=' + box->currentText();
    for (const auto *box : window.findChildren<QCheckBox *>())
        texts << box->objectName() + (box->isChecked() ? u"+"_s : u"-"_s);
    return texts;
}

// The bytes of a main block that the radio keeps: the settings block's first 16, a channel
// block's first 24 and its last.
QByteArray definedBytes(int bank, const wf::vradio::Payload &payload)
{
    QByteArray bytes(reinterpret_cast<const char *>(payload.data()), frame::kPayloadSize);
    return bank == 5 ? bytes.left(16) : bytes.left(24) + bytes.right(1);
}

} // namespace

class TestDataFileWindow final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void savingAFreshTable();
    void cancelling();
    void openingFillsSpaces();
    void openingAFileOfTheOtherLanguage_data();
    void openingAFileOfTheOtherLanguage();
    void openingKeepsTheFilesCaptions();
    void refusedFilesChangeNothing_data();
    void refusedFilesChangeNothing();
    void failedSaveShowsTheMessage();
    void editsEndBeforeTheDialog();
    void signallingWindowsAreNotInTheFile();
    void fileCarriesChannelsToAnotherRadio_data();
    void fileCarriesChannelsToAnotherRadio();
    void questionsBeforeChangesAreLost_data();
    void questionsBeforeChangesAreLost();
    void saveSaveAsAndTheTitle();
    void recentFilesAcrossSessions();

private:
    // What the user does in the next file dialog: goes to `folder` (unless empty), types `name`
    // and confirms; an empty name cancels.
    struct Answer
    {
        QString folder;
        QString name;
    };
    // A file dialog as the program set it up.
    struct Seen
    {
        QString objectName;
        QFileDialog::AcceptMode mode;
        QFileDialog::FileMode fileMode;
        QString folder;
        QStringList filters;
        QString suffix;
    };

    TForm1 &openWindow(Language language, const QStringList &ports = {});
    // Makes the window active again with the table focused, as a click on it does.
    static void activate(TForm1 &form);
    int answerDialog(QFileDialog &dialog);
    void save(TForm1 &form, const Answer &answer);
    void saveAs(TForm1 &form, const Answer &answer);
    void open(TForm1 &form, const Answer &answer);
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<TForm1> m_form;
    std::unique_ptr<QTemporaryDir> m_dir;
    QTemporaryDir m_documents;
    QList<ShownMessage> m_messages;
    std::optional<QuestionRecorder> m_questions;
    QList<Answer> m_answers;
    QList<Seen> m_dialogs;
};

void TestDataFileWindow::initTestCase()
{
    // The user's documents folder is one of the test's, named in the desktop's user-dirs file.
    QVERIFY(m_documents.isValid());
    QVERIFY(QDir(m_documents.path()).mkpath(u"config"_s));
    QVERIFY(QDir(m_documents.path()).mkpath(u"Documents"_s));
    QVERIFY(writeBytes(m_documents.filePath(u"config/user-dirs.dirs"_s),
                       "XDG_DOCUMENTS_DIR=\"" + m_documents.filePath(u"Documents"_s).toUtf8() +
                           "\"\n"));
    qputenv("XDG_CONFIG_HOME", m_documents.filePath(u"config"_s).toLocal8Bit());
    QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
             m_documents.filePath(u"Documents"_s));
}

void TestDataFileWindow::init()
{
    setDisplayLanguageFlag(0);
    m_messages.clear();
    m_answers.clear();
    m_dialogs.clear();
    setMessageHook([this](const ShownMessage &message) { m_messages << message; });
    m_questions.emplace();
    setFileDialogHook([this](QFileDialog &dialog) { return answerDialog(dialog); });
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // Each test starts as the first session did: no recent files, no last folder.
    QFile::remove(iniFilePath());
}

void TestDataFileWindow::cleanup()
{
    m_form.reset();
    m_questions.reset();
    setMessageHook({});
    setFileDialogHook({});
    setDisplayLanguageFlag(0);
    m_dir.reset();
}

TForm1 &TestDataFileWindow::openWindow(Language language, const QStringList &ports)
{
    setDisplayLanguageFlag(flagFor(language));
    qputenv("WRITEFREQ_PORTS", ports.join(u':').toLocal8Bit());
    m_form = std::make_unique<TForm1>();
    qunsetenv("WRITEFREQ_PORTS");
    m_form->show();
    activate(*m_form);
    return *m_form;
}

void TestDataFileWindow::activate(TForm1 &form)
{
    QApplication::setActiveWindow(&form);
    if (!QTest::qWaitForWindowActive(&form))
        qFatal("the main window did not become active");
    form.xg->setFocus();
    if (!QTest::qWaitFor([&form] { return form.xg->hasFocus(); }))
        qFatal("the channel table did not take the focus");
}

int TestDataFileWindow::answerDialog(QFileDialog &dialog)
{
    m_dialogs << Seen{dialog.objectName(),  dialog.acceptMode(),
                      dialog.fileMode(),    dialog.directory().absolutePath(),
                      dialog.nameFilters(), dialog.defaultSuffix()};
    const Answer answer = m_answers.isEmpty() ? Answer{} : m_answers.takeFirst();
    if (answer.name.isEmpty()) {
        dialog.reject();
        return dialog.result();
    }
    // The dialog as Qt draws it, on every platform: a name field and Save or Open.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.show();
    if (!answer.folder.isEmpty())
        dialog.setDirectory(answer.folder);
    auto *nameEdit = dialog.findChild<QLineEdit *>(u"fileNameEdit"_s);
    auto *buttons = dialog.findChild<QDialogButtonBox *>(u"buttonBox"_s);
    if (!nameEdit || !buttons) {
        qWarning("the file dialog has no name field or no buttons");
        return QDialog::Rejected;
    }
    QTest::keyClicks(nameEdit, answer.name);
    // A typed path may bring up the name completion's list; Escape puts it away.
    if (QWidget *completion = QApplication::activePopupWidget())
        QTest::keyClick(completion, Qt::Key_Escape);
    QPushButton *confirm =
        buttons->button(dialog.acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                       : QDialogButtonBox::Open);
    if (!confirm) {
        qWarning("the file dialog has no Save or Open button");
        return QDialog::Rejected;
    }
    QTest::mouseClick(confirm, Qt::LeftButton);
    return dialog.result();
}

void TestDataFileWindow::save(TForm1 &form, const Answer &answer)
{
    m_answers << answer;
    form.N13->trigger();
}

void TestDataFileWindow::saveAs(TForm1 &form, const Answer &answer)
{
    m_answers << answer;
    form.SaveAs1->trigger();
}

void TestDataFileWindow::open(TForm1 &form, const Answer &answer)
{
    m_answers << answer;
    form.N12->trigger();
}

void TestDataFileWindow::savingAFreshTable()
{
    TForm1 &form = openWindow(Language::Chinese);
    // A name typed without extension gets ".wh".
    save(form, {m_dir->path(), u"fresh"_s});
    QCOMPARE(m_messages.size(), 0);
    QCOMPARE(readBytes(path(u"fresh.wh"_s)), freshChineseFile());

    // The first dialog opened in the user's documents, the next one where the last file went.
    saveAs(form, {{}, u"again.wh"_s});
    QCOMPARE(readBytes(path(u"again.wh"_s)), freshChineseFile());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
             (QStringList{u"again.wh"_s, u"fresh.wh"_s}));
    QCOMPARE(m_dialogs.size(), 2);
    QCOMPARE(m_dialogs[0].folder, m_documents.filePath(u"Documents"_s));
    QCOMPARE(m_dialogs[1].folder, m_dir->path());
    for (const Seen &dialog : m_dialogs) {
        QCOMPARE(dialog.objectName, u"SaveDialog1"_s);
        QCOMPARE(dialog.mode, QFileDialog::AcceptSave);
        QCOMPARE(dialog.filters, QStringList{u"*.wh"_s});
        QCOMPARE(dialog.suffix, u"wh"_s);
    }

    // The open dialog, too, starts where the last file is.
    open(form, {{}, u"fresh.wh"_s});
    QCOMPARE(m_dialogs.size(), 3);
    QCOMPARE(m_dialogs[2].objectName, u"OpenDialog1"_s);
    QCOMPARE(m_dialogs[2].mode, QFileDialog::AcceptOpen);
    QCOMPARE(m_dialogs[2].fileMode, QFileDialog::ExistingFile);
    QCOMPARE(m_dialogs[2].folder, m_dir->path());
    QCOMPARE(m_dialogs[2].filters, QStringList{u"*.wh"_s});
    QCOMPARE(m_dialogs[2].suffix, u"wh"_s);
    QCOMPARE(m_messages.size(), 0);
}

void TestDataFileWindow::cancelling()
{
    TForm1 &form = openWindow(Language::Chinese);
    type(u"145.5\r"_s);
    const ChannelSheet before = form.sheet();
    QVERIFY(writeBytes(path(u"other.wh"_s), freshChineseFile()));
    save(form, {m_dir->path(), {}});
    open(form, {m_dir->path(), {}});
    QCOMPARE(m_dialogs.size(), 2);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{u"other.wh"_s});
    QCOMPARE(readBytes(path(u"other.wh"_s)), freshChineseFile());
    QCOMPARE(form.sheet().rows, before.rows);
    QCOMPARE(form.sheet().settings, before.settings);
    QVERIFY(m_messages.isEmpty());
}

void TestDataFileWindow::openingFillsSpaces()
{
    TForm1 &form = openWindow(Language::Chinese);
    QVERIFY(writeBytes(path(u"fresh.wh"_s), freshChineseFile()));
    type(u"145.5\r"_s);
    form.ComboBoxes[setting::Squelch]->setCurrentIndex(5);

    open(form, {m_dir->path(), u"fresh.wh"_s});
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(form.xg->Cells(column::RxFrequency, 0), u"接收频率"_s);
    for (int row = 1; row <= kChannelCount; ++row) {
        QCOMPARE(form.xg->Cells(column::Number, row), QString::number(row));
        for (int c = 1; c < column::kCount; ++c)
            QCOMPARE(form.xg->Cells(c, row), u" "_s);
    }
    QCOMPARE(form.ComboBoxes[setting::Squelch]->currentText(), u"0"_s);

    // Saved again, each such cell is a space within quotes.
    saveAs(form, {{}, u"spaces.wh"_s});
    const QList<QByteArray> lines = linesOf(readBytes(path(u"spaces.wh"_s)));
    QCOMPARE(lines.size(), 28);
    QCOMPARE(lines[16], "16" + QByteArray(",\" \"").repeated(15));
    QCOMPARE(lines.mid(17), linesOf(freshChineseFile()).mid(17));

    // A receive frequency typed into such a row gives a fresh channel the radio can take.
    activate(form);
    form.xg->setCurrentCell(column::RxFrequency, 1);
    type(u"145.5\r"_s);
    QCOMPARE(form.xg->rowTexts(1), kFreshRow);
    QVERIFY(m_messages.isEmpty());
}

void TestDataFileWindow::openingAFileOfTheOtherLanguage_data()
{
    QTest::addColumn<Language>("saved");
    QTest::addColumn<QStringList>("shownRow");
    QTest::addColumn<QStringList>("shownSettings");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("fileMenu");

    QTest::newRow("Chinese file, English window")
        << Language::Chinese
        << QStringList{u"1"_s,    u"145.50000"_s, u"145.50000"_s, u"NONE"_s, u"NONE"_s, u"HIGH"_s,
                       u"WIDE"_s, u"YES"_s,       u"25000"_s,     u"NONE"_s, u"NONE"_s, u"NONE"_s,
                       u"NONE"_s, u"DTMF"_s,      u"1"_s,         u"NONE"_s}
        << QStringList{u"NONE"_s,    u"1"_s,        u"0"_s,    u"CLOSE"_s, u"ENGLISH"_s,
                       u"Monitor"_s, u"Key Lock"_s, u"OPEN"_s, u"CLOSE"_s, u"OPEN"_s}
        << u"CH No."_s << u"&File"_s;
    QTest::newRow("English file, Chinese window")
        << Language::English << kFreshRow
        << QStringList{u"无"_s,   u"1"_s,        u"0"_s,  u"关"_s, u"英文"_s,
                       u"监听"_s, u"按键锁定"_s, u"开"_s, u"关"_s, u"开"_s}
        << u"信道编号"_s << u"文件(&F)"_s;
}

void TestDataFileWindow::openingAFileOfTheOtherLanguage()
{
    QFETCH(Language, saved);
    QFETCH(QStringList, shownRow);
    QFETCH(QStringList, shownSettings);
    QFETCH(QString, caption);
    QFETCH(QString, fileMenu);
    const Language shown = saved == Language::English ? Language::Chinese : Language::English;

    // A channel typed in one language, its words and a few settings picked from the lists.
    TForm1 &writer = openWindow(saved);
    type(u"145.5\r"_s);
    const std::pair<int, WordPair> picks[] = {
        {setting::TimeOut, {u"关", u"CLOSE"}},     {setting::VoicePrompt, {u"英文", u"ENGLISH"}},
        {setting::Pf1, {u"监听", u"Monitor"}},     {setting::Pf2, {u"按键锁定", u"Key Lock"}},
        {setting::BatterySave, {u"关", u"CLOSE"}},
    };
    for (const auto &[box, word] : picks) {
        QComboBox *combo = writer.ComboBoxes[box];
        const int index = combo->findText(word.in(saved).toString());
        QVERIFY(index >= 0);
        combo->setCurrentIndex(index);
    }
    save(writer, {m_dir->path(), u"radio.wh"_s});
    QVERIFY(m_messages.isEmpty());
    // Column 11 reads "PTTID" in both languages and no switch writes it: a file of the other
    // language does not put its own text there.
    QByteArray bytes = readBytes(path(u"radio.wh"_s));
    QVERIFY(bytes.contains(",PTTID,"));
    QVERIFY(writeBytes(path(u"radio.wh"_s), bytes.replace(",PTTID,", ",PTT-ID,")));

    TForm1 &reader = openWindow(shown);
    open(reader, {m_dir->path(), u"radio.wh"_s});
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(reader.xg->rowTexts(1), shownRow);
    QCOMPARE(reader.settingsTexts(),
             (SettingsTexts{shownSettings[0], shownSettings[1], shownSettings[2], shownSettings[3],
                            shownSettings[4], shownSettings[5], shownSettings[6], shownSettings[7],
                            shownSettings[8], shownSettings[9]}));
    QCOMPARE(reader.xg->Cells(column::Number, 0), caption);
    QCOMPARE(reader.xg->Cells(column::PttId, 0), u"PTTID"_s);
    QCOMPARE(reader.N11->text(), fileMenu);
    // The lists stay those of the shown language.
    QCOMPARE(reader.ComboBoxes[setting::Scan]->itemText(0), shownSettings[setting::Scan]);
    // The empty channels stay empty, their single spaces untranslated.
    QCOMPARE(reader.xg->Cells(column::Power, 2), u" "_s);
}

void TestDataFileWindow::openingKeepsTheFilesCaptions()
{
    // In the language it was saved in, a file's caption row is shown as the file has it.
    QList<QByteArray> lines = linesOf(freshChineseFile());
    lines[0] = "\"my channels\",RX";
    QVERIFY(writeBytes(path(u"captions.wh"_s), lines.join("\r\n") + "\r\n"));
    TForm1 &form = openWindow(Language::Chinese);
    open(form, {m_dir->path(), u"captions.wh"_s});
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(form.xg->Cells(0, 0), u"my channels"_s);
    QCOMPARE(form.xg->Cells(1, 0), u"RX"_s);
    QCOMPARE(form.xg->Cells(2, 0), QString());
}

void TestDataFileWindow::refusedFilesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message"); // "%1" stands for the file's name

    const QList<QByteArray> lines = linesOf(freshChineseFile());
    QTest::newRow("27 lines") << lines.mid(0, 27).join("\r\n") + "\r\n"
                              << u"List index out of bounds (27)"_s;
    QTest::newRow("binary") << QByteArray(freshChineseFile()).replace(',', '\0')
                            << u"Cannot open file \"%1\". The file holds binary data, not the "
                               u"text of a data file."_s;
    QTest::newRow("far too long") << QByteArray(1 << 20, ',')
                                  << u"Cannot open file \"%1\". The file is larger than a data "
                                     u"file can be (64 KiB)."_s;
    QTest::newRow("a radio image") << RadioImage().toText(u"2.0"_s).toUtf8()
                                   << u"Cannot open file \"%1\". It is not a channel table: line "
                                      u"2 does not start with a channel number (1 to 16)."_s;
    QList<QByteArray> renumbered = lines;
    renumbered[16].replace(0, 2, "61");
    QTest::newRow("channel 16 numbered 61")
        << renumbered.join("\r\n") + "\r\n"
        << u"Cannot open file \"%1\". It is not a channel table: line 17 does not start with a "
           u"channel number (1 to 16)."_s;
}

void TestDataFileWindow::refusedFilesChangeNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QVERIFY(writeBytes(path(u"bad.wh"_s), bytes));
    TForm1 &form = openWindow(Language::Chinese);
    type(u"145.5\r"_s);
    form.ComboBoxes[setting::Squelch]->setCurrentIndex(5);
    const ChannelSheet before = form.sheet();

    open(form, {m_dir->path(), u"bad.wh"_s});
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].kind, MessageKind::Error);
    QCOMPARE(m_messages[0].text,
             QString(message).replace(u"%1"_s, QDir::toNativeSeparators(path(u"bad.wh"_s))));
    QCOMPARE(form.sheet().rows, before.rows);
    QCOMPARE(form.sheet().settings, before.settings);

    // The same from the command line's path.
    QVERIFY(!form.LoadDataFile(path(u"bad.wh"_s)));
    QCOMPARE(m_messages.size(), 2);
    QCOMPARE(m_messages[1].text, m_messages[0].text);
    QCOMPARE(form.sheet().rows, before.rows);
}

void TestDataFileWindow::failedSaveShowsTheMessage()
{
#ifdef Q_OS_UNIX
    // The disk fills up while the table is saved over the file of another radio.
    const QByteArray old = freshChineseFile();
    QVERIFY(writeBytes(path(u"radio.wh"_s), old));
    TForm1 &form = openWindow(Language::Chinese);
    type(u"145.5\r"_s);
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    save(form, {m_dir->path(), u"radio.wh"_s});
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].kind, MessageKind::Error);
    const QString start =
        u"Cannot create file \"%1\". "_s.arg(QDir::toNativeSeparators(path(u"radio.wh"_s)));
    QVERIFY2(m_messages[0].text.startsWith(start) && m_messages[0].text.size() > start.size(),
             qPrintable(m_messages[0].text));
    QCOMPARE(readBytes(path(u"radio.wh"_s)), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{u"radio.wh"_s});
#else
    QSKIP("the file size limit that stands for a full disk is a POSIX one");
#endif
}

void TestDataFileWindow::editsEndBeforeTheDialog()
{
    TForm1 &form = openWindow(Language::Chinese);
    TForm2 dtmf(form.link(), *form.comcbb);
    form.Form2 = &dtmf;

    // A frequency still being typed in the table is committed, checked, and saved.
    type(u"145.5"_s);
    QVERIFY(form.xg->activeEditor());
    save(form, {m_dir->path(), u"typed.wh"_s});
    QVERIFY(!form.xg->activeEditor());
    QCOMPARE(form.xg->rowTexts(1), kFreshRow);
    QCOMPARE(linesOf(readBytes(path(u"typed.wh"_s)))[1],
             "1,145.50000,145.50000,\xCE\xDE,\xCE\xDE,\xB8\xDF,\xBF\xED\xB4\xF8,\xD3\xD0,25000,"
             "\xCE\xDE,\xCE\xDE,\xCE\xDE,\xCE\xDE,DTMF,1,\xCE\xDE");

    // A memory being typed in the DTMF window is committed too, and stays in that window.
    dtmf.show();
    QApplication::setActiveWindow(&dtmf);
    QVERIFY(QTest::qWaitForWindowActive(&dtmf));
    dtmf.xg2->setFocus();
    QTRY_VERIFY(dtmf.xg2->hasFocus());
    dtmf.xg2->setCurrentCell(1, 3);
    type(u"1"_s);
    QVERIFY(dtmf.xg2->activeEditor());
    type(u"234"_s);
    save(form, {{}, u"typed.wh"_s});
    QVERIFY(!dtmf.xg2->activeEditor());
    QCOMPARE(dtmf.xg2->Cells(1, 3), u"1234"_s);
    QCOMPARE(linesOf(readBytes(path(u"typed.wh"_s))).size(), 28);

    // An edit under way when a file is opened ends before the file replaces it.
    type(u"9"_s);
    type(u"87"_s);
    QVERIFY(dtmf.xg2->activeEditor());
    open(form, {{}, u"typed.wh"_s});
    QVERIFY(!dtmf.xg2->activeEditor());
    QCOMPARE(dtmf.xg2->Cells(1, 3), u"987"_s);
    QVERIFY(m_messages.isEmpty());
    form.Form2 = nullptr;
}

void TestDataFileWindow::signallingWindowsAreNotInTheFile()
{
    TForm1 &form = openWindow(Language::Chinese);
    TForm2 dtmf(form.link(), *form.comcbb);
    TForm6 fsk(form.link(), *form.comcbb);
    form.Form2 = &dtmf;
    form.Form6 = &fsk;
    dtmf::Texts dtmfTexts = dtmf.texts();
    dtmfTexts.Edit1 = u"123"_s;
    dtmfTexts.memories[0] = u"5551234"_s;
    dtmf.setTexts(dtmfTexts);
    fsk::Texts fskTexts = fsk.texts();
    fskTexts.ed1 = u"101"_s;
    fskTexts.ed2 = u"2001"_s;
    fsk.setTexts(fskTexts);
    dtmf.show();
    fsk.show();
    const QStringList dtmfBefore = snapshot(dtmf);
    const QStringList fskBefore = snapshot(fsk);

    save(form, {m_dir->path(), u"radio.wh"_s});
    QCOMPARE(readBytes(path(u"radio.wh"_s)), freshChineseFile());
    open(form, {m_dir->path(), u"radio.wh"_s});
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(snapshot(dtmf), dtmfBefore);
    QCOMPARE(snapshot(fsk), fskBefore);
    form.Form2 = nullptr;
    form.Form6 = nullptr;
}

void TestDataFileWindow::fileCarriesChannelsToAnotherRadio_data()
{
    QTest::addColumn<Language>("reading");
    QTest::addColumn<Language>("writing");
    QTest::newRow("Chinese to Chinese") << Language::Chinese << Language::Chinese;
    QTest::newRow("Chinese to English") << Language::Chinese << Language::English;
    QTest::newRow("English to Chinese") << Language::English << Language::Chinese;
}

void TestDataFileWindow::fileCarriesChannelsToAnotherRadio()
{
    QFETCH(Language, reading);
    QFETCH(Language, writing);
    const RadioMemory source = RadioMemory::demo();
    TransferRadio from(m_dir->path(), u"from"_s);
    TransferRadio to(m_dir->path(), u"to"_s);
    QVERIFY2(from.start(source), qPrintable(from.errorString()));
    QVERIFY2(to.start(RadioMemory()), qPrintable(to.errorString()));

    TForm1 &first = openWindow(reading, {from.port()});
    first.link().Tim1.setInterval(kRelaxedRepeatMs);
    first.comcbb->setCurrentText(from.port());
    first.rbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.last().kind,
             reading == Language::English ? MessageKind::Plain : MessageKind::Information);
    const QString caption =
        reading == Language::English ? u"WRITE FREQ V2.0"_s : u"中英文对讲机写频软件 V2.0"_s;
    QCOMPARE(first.windowTitle(), caption + u"[*]"_s);
    QVERIFY(!first.isWindowModified());
    save(first, {m_dir->path(), u"radio.wh"_s});
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(first.windowTitle(), u"radio.wh[*] - "_s + caption);

    // A fresh window, maybe in the other language, writes the file to another radio.
    TForm1 &second = openWindow(writing, {to.port()});
    second.link().Tim1.setInterval(kRelaxedRepeatMs);
    second.comcbb->setCurrentText(to.port());
    open(second, {m_dir->path(), u"radio.wh"_s});
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(!second.isWindowModified());
    // Channel 1 goes to the radio changed: the write makes the change the unchanged state.
    activate(second);
    second.xg->setCurrentCell(column::RxFrequency, 1);
    type(u"146\r"_s);
    QVERIFY(second.isWindowModified());
    second.wbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 2, kTransferTimeoutMs);
    QCOMPARE(m_messages.last().text,
             writing == Language::English ? u"       WRITE SUCCEED!"_s : u"写入成功!"_s);
    QVERIFY(!second.isWindowModified());
    // The handshake and the seventeen blocks, each once.
    QCOMPARE(withoutRepeats(to.received()).size(), 1 + kChannelCount + 1);

    const RadioMemory copy = to.image();
    for (const auto &id : RadioMemory::blocks()) {
        if ((id.bank != 0 && id.bank != 5) || (id.bank == 0 && id.block == 1))
            continue;
        QCOMPARE(definedBytes(id.bank, copy.payload(id.bank, id.block)).toHex(' '),
                 definedBytes(id.bank, source.payload(id.bank, id.block)).toHex(' '));
    }
}

void TestDataFileWindow::questionsBeforeChangesAreLost_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("reply");
    QTest::addColumn<bool>("goesOn");

    for (const QString &action :
         {u"Open"_s, u"recent file"_s, u"Exit"_s, u"close box"_s, u"Read"_s}) {
        QTest::addRow("%s, Cancel", qPrintable(action))
            << action << int(wf::Answer::Cancel) << false;
        QTest::addRow("%s, Discard", qPrintable(action))
            << action << int(wf::Answer::Discard) << true;
    }
    QTest::newRow("Exit, Save") << u"Exit"_s << int(wf::Answer::Save) << true;
    QTest::newRow("Read, Save") << u"Read"_s << int(wf::Answer::Save) << true;
}

void TestDataFileWindow::questionsBeforeChangesAreLost()
{
    QFETCH(QString, action);
    QFETCH(int, reply);
    QFETCH(bool, goesOn);
    QVERIFY(
        writeBytes(path(u"other.wh"_s), freshChineseFile().replace("\r\n1,,", "\r\n1,146.00000,")));
    TForm1 &form = openWindow(Language::Chinese);
    // A port that cannot be opened: a read that goes on ends in its message.
    form.comcbb->addItem(u"/nonexistent/ttyWF"_s);
    form.comcbb->setCurrentIndex(form.comcbb->count() - 1);
    // Opening a file over a table without changes asks nothing.
    open(form, {m_dir->path(), u"other.wh"_s});
    QVERIFY(m_questions->asked.isEmpty());
    activate(form);
    type(u"145.5\r"_s);
    QVERIFY(form.isWindowModified());

    m_questions->replies << wf::Answer(reply);
    if (action == u"Open")
        open(form, {m_dir->path(), u"other.wh"_s});
    else if (action == u"recent file")
        form.RecentFiles1->actions().constFirst()->trigger();
    else if (action == u"Exit")
        form.N1->trigger();
    else if (action == u"close box")
        form.close();
    else
        QTest::keyClick(focused(), Qt::Key_F12);

    QCOMPARE(m_questions->asked.size(), 1);
    QCOMPARE(m_questions->asked[0].text, u"信道表有未保存的修改。要先保存吗？"_s);
    QVERIFY(m_questions->asked[0].offerSave);
    const bool wentOn = action == u"Exit" || action == u"close box" ? !form.isVisible()
                        : action == u"Read"
                            ? !m_messages.isEmpty() && m_messages.last().text.contains(u"ttyWF")
                            : form.channelRow(1)[column::RxFrequency] == u"146.00000";
    QCOMPARE(wentOn, goesOn);
    if (!goesOn)
        QCOMPARE(form.channelRow(1)[column::RxFrequency], u"145.50000"_s);
    // Save writes the open file before the table goes.
    QCOMPARE(readBytes(path(u"other.wh"_s)).contains("145.50000"), reply == int(wf::Answer::Save));
}

void TestDataFileWindow::saveSaveAsAndTheTitle()
{
    const QString caption = u"中英文对讲机写频软件 V2.0"_s;
    QVERIFY(writeBytes(path(u"other.wh"_s), freshChineseFile()));
    TForm1 &form = openWindow(Language::Chinese);
    QCOMPARE(form.windowTitle(), caption + u"[*]"_s);
    QVERIFY(!form.isWindowModified());
    type(u"145.5\r"_s);
    QVERIFY(form.isWindowModified());

    // The first Save of a table without a file asks for a name.
    save(form, {m_dir->path(), u"plan1"_s});
    QCOMPARE(m_dialogs.size(), 1);
    QCOMPARE(form.windowTitle(), u"plan1.wh[*] - "_s + caption);
    QVERIFY(!form.isWindowModified());
    // Typing what a cell holds already is no change.
    activate(form);
    type(u"145.5\r"_s);
    QVERIFY(!form.isWindowModified());

    // Ctrl+S saves the open file again, without a dialog.
    form.xg->setCurrentCell(1, 2);
    type(u"146\r"_s);
    QVERIFY(form.isWindowModified());
    QTest::keyClick(form.xg, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_dialogs.size(), 1);
    QVERIFY(!form.isWindowModified());
    QVERIFY(readBytes(path(u"plan1.wh"_s)).contains("\r\n2,146.00000,"));

    // Save As asks before replacing a file; Cancel keeps it and the open file.
    m_questions->replies << wf::Answer::Cancel;
    m_answers << Answer{m_dir->path(), u"other.wh"_s};
    QTest::keyClick(form.xg, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_dialogs.size(), 2);
    QCOMPARE(m_questions->asked.size(), 1);
    QCOMPARE(m_questions->asked[0].text,
             u"文件“%1”已存在。要替换它吗？"_s.arg(QDir::toNativeSeparators(path(u"other.wh"_s))));
    QCOMPARE(readBytes(path(u"other.wh"_s)), freshChineseFile());
    QCOMPARE(form.windowTitle(), u"plan1.wh[*] - "_s + caption);
    m_answers << Answer{m_dir->path(), u"other.wh"_s};
    form.SaveAs1->trigger();
    QCOMPARE(readBytes(path(u"other.wh"_s)), readBytes(path(u"plan1.wh"_s)));
    QCOMPARE(form.windowTitle(), u"other.wh[*] - "_s + caption);
}

void TestDataFileWindow::recentFilesAcrossSessions()
{
    // Another program's section and the language stay byte for byte.
    const QByteArray foreign = "[\xD6\xD0\xCE\xC4]\r\nLanguage=0\r\n[Other]\r\nkey = kept ;\r\n";
    QVERIFY(QDir().mkpath(QFileInfo(iniFilePath()).path()));
    QVERIFY(writeBytes(iniFilePath(), foreign));
    TForm1 *form = &openWindow(Language::Chinese);
    QVERIFY(!form->RecentFiles1->isEnabled());
    for (int i = 1; i <= 9; ++i) {
        QVERIFY(writeBytes(path(u"f%1.wh"_s.arg(i)), freshChineseFile()));
        open(*form, {m_dir->path(), u"f%1.wh"_s.arg(i)});
    }
    QVERIFY(readBytes(iniFilePath()).startsWith(foreign));

    // The next session lists the last eight, newest first, and its dialogs open where the
    // last file was.
    m_form.reset();
    form = &openWindow(Language::Chinese);
    QStringList shown;
    for (const QAction *item : form->RecentFiles1->actions())
        shown << item->text();
    QCOMPARE(shown, (QStringList{u"&1 f9.wh"_s, u"&2 f8.wh"_s, u"&3 f7.wh"_s, u"&4 f6.wh"_s,
                                 u"&5 f5.wh"_s, u"&6 f4.wh"_s, u"&7 f3.wh"_s, u"&8 f2.wh"_s}));
    QVERIFY(
        writeBytes(path(u"f7.wh"_s), freshChineseFile().replace("\r\n1,,", "\r\n1,147.00000,")));
    form->RecentFiles1->actions().at(2)->trigger();
    QCOMPARE(form->channelRow(1)[column::RxFrequency], u"147.00000"_s);
    QCOMPARE(form->windowTitle(), u"f7.wh[*] - 中英文对讲机写频软件 V2.0"_s);
    open(*form, {});
    QCOMPARE(m_dialogs.last().folder, QDir(m_dir->path()).absolutePath());
}

QTEST_MAIN(TestDataFileWindow)
#include "tst_datafilewindow.moc"
