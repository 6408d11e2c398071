// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tform1.h"
#include "grid/txstringgrid.h"
#include "i18n/language.h"
#include "i18n/ui/messagebox.h"
#include "protocol/frame.h"
#include "protocol/radioimage.h"
#include "signalling/dtmf/dtmfcontrols.h"
#include "signalling/dtmf/ui/tform2.h"
#include "signalling/fivetone/fivetonecontrols.h"
#include "signalling/fivetone/ui/tform5.h"
#include "signalling/fsk/fskcontrols.h"
#include "signalling/fsk/ui/tform6.h"
#include "signalling/twotone/twotonecontrols.h"
#include "signalling/twotone/ui/tform4.h"
#include "support/questions.h"
#include "support/scriptedradio.h"
#include "support/transferradio.h"
#include "tools/vradio/radioengine.h"
#include "tools/vradio/radiomemory.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <optional>

using namespace wf;
using namespace Qt::StringLiterals;
using wf::vradio::RadioEngine;
using wf::vradio::RadioMemory;

Q_DECLARE_METATYPE(wf::Language)

namespace {

constexpr int kTransferTimeoutMs = 20000;
const QByteArray kAck(1, char(frame::kAck));

QByteArray request(int bank, int block)
{
    return QByteArray::fromHex("52") + char(bank) + char(block) + char(0x20);
}

QByteArray hex(const wf::vradio::Payload &payload, int from = 0, int count = frame::kPayloadSize)
{
    return QByteArray(reinterpret_cast<const char *>(payload.data()) + from, count).toHex(' ');
}

QByteArray frameOf(const RadioMemory &memory, int bank, int block)
{
    return RadioEngine::dataFrame(bank, block, memory.payload(bank, block));
}

const quint8 *raw(const QByteArray &bytes)
{
    return reinterpret_cast<const quint8 *>(bytes.constData());
}

// The bytes of a bank's blocks that mean something: DTMF block 0 leaves 6..9 unused and its
// memory blocks 24..27 (and block 3 the two places without a row, 16..23); FSK block 0 9..19.
QByteArray definedBytes(int bank, int block, const wf::vradio::Payload &payload)
{
    QByteArray bytes(reinterpret_cast<const char *>(payload.data()), frame::kPayloadSize);
    if (bank == 1 && block == 0)
        return bytes.left(6) + bytes.mid(10);
    if (bank == 1)
        return bytes.left(block == 3 ? 16 : 24);
    if (bank == 2 && block == 0)
        return bytes.left(9) + bytes.mid(20);
    return bytes;
}

} // namespace

class TestSignallingWindows final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dtmfRead_data();
    void dtmfRead();
    void dtmfWriteVectors();
    void fskDefaultsAndRead();
    void readThenWriteReturnsEveryDefinedByte();
    void successOnlyWhenTheLastBlockIsTaken();
    void textsTheRadioCannotTakeSendNothing_data();
    void textsTheRadioCannotTakeSendNothing();
    void watchdogEndsASilentTransfer();
    void oneTransferAtATime();
    void keysAndEdits();
    void twoToneVectors();
    void fiveToneVectors();
    void toneReadsThenWritesReturnEveryDefinedByte();
    void fillAndClearRulesByTyping();
    void typedCellsKeepTheirFirstKey_data();
    void typedCellsKeepTheirFirstKey();
    void spreadsheetKeysInTheGrids_data();
    void spreadsheetKeysInTheGrids();
    void closeLeavesAnotherWindowsTransferAlone();
    void questionsBeforeATableIsReplaced_data();
    void questionsBeforeATableIsReplaced();
    void everyReadIsKept_data();
    void everyReadIsKept();

private:
    void openWindows(const QStringList &ports);
    // Opens the windows, shows the page of `grid` ("Form2/xg2") and puts the focus on its cell
    // in row 3 of column `col`, as a user's click does; null when it never takes the focus.
    TXStringGrid *focusedGrid(const QString &grid, int col);
    // "Form2/xg2": a window and one of its controls.
    std::pair<SignallingWindow *, QWidget *> control(const QString &path) const;

    std::unique_ptr<TForm1> m_main;
    std::unique_ptr<TForm2> m_dtmf;
    std::unique_ptr<TForm6> m_fsk;
    std::unique_ptr<TForm4> m_twoTone;
    std::unique_ptr<TForm5> m_fiveTone;
    std::unique_ptr<QTemporaryDir> m_dir;
    QList<ShownMessage> m_messages;
    std::optional<QuestionRecorder> m_questions;
};

void TestSignallingWindows::init()
{
    setDisplayLanguageFlag(0);
    m_messages.clear();
    setMessageHook([this](const ShownMessage &message) { m_messages << message; });
    m_questions.emplace();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // Every read leaves a snapshot: each test keeps its own.
    qputenv("XDG_DATA_HOME", m_dir->filePath(u"data"_s).toLocal8Bit());
}

void TestSignallingWindows::cleanup()
{
    m_fiveTone.reset();
    m_twoTone.reset();
    m_fsk.reset();
    m_dtmf.reset();
    m_main.reset();
    m_questions.reset();
    setMessageHook({});
    setDisplayLanguageFlag(0);
    m_dir.reset();
}

void TestSignallingWindows::openWindows(const QStringList &ports)
{
    qputenv("WRITEFREQ_PORTS", ports.join(u':').toLocal8Bit());
    m_main = std::make_unique<TForm1>();
    qunsetenv("WRITEFREQ_PORTS");
    m_main->comcbb->setCurrentText(ports.first());
    m_main->link().Tim1.setInterval(2000); // a busy machine must not need the repeat
    m_dtmf = std::make_unique<TForm2>(m_main->link(), *m_main->comcbb);
    m_fsk = std::make_unique<TForm6>(m_main->link(), *m_main->comcbb);
    m_twoTone = std::make_unique<TForm4>(m_main->link(), *m_main->comcbb);
    m_fiveTone = std::make_unique<TForm5>(m_main->link(), *m_main->comcbb);
    m_main->show();
    for (QWidget *window :
         {static_cast<QWidget *>(m_dtmf.get()), static_cast<QWidget *>(m_fsk.get()),
          static_cast<QWidget *>(m_twoTone.get()), static_cast<QWidget *>(m_fiveTone.get())})
        window->show();
}

std::pair<SignallingWindow *, QWidget *> TestSignallingWindows::control(const QString &path) const
{
    for (SignallingWindow *w : std::initializer_list<SignallingWindow *>{
             m_dtmf.get(), m_twoTone.get(), m_fiveTone.get(), m_fsk.get()}) {
        if (w->objectName() == path.section(u'/', 0, 0))
            return {w, w->findChild<QWidget *>(path.section(u'/', 1))};
    }
    return {};
}

void TestSignallingWindows::dtmfRead_data()
{
    QTest::addColumn<Language>("language");
    QTest::newRow("Chinese") << Language::Chinese;
    QTest::newRow("English") << Language::English;
}

void TestSignallingWindows::dtmfRead()
{
    QFETCH(Language, language);
    setDisplayLanguageFlag(flagFor(language));
    const RadioMemory memory = RadioMemory::demo();
    TransferRadio radio(m_dir->path(), u"radio"_s);
    QVERIFY2(radio.start(memory), qPrintable(radio.errorString()));
    openWindows({radio.port()});
    TForm2 &form = *m_dtmf;
    QCOMPARE(form.windowTitle(),
             language == Language::English ? u"DTMF[*]"_s : u"对讲机写频软件[*]"_s);
    QCOMPARE(form.texts().Edit1, u"12345678"_s);

    form.rbtn->click();
    QVERIFY(!form.rbtn->isEnabled());
    QVERIFY(!form.wbtn->isEnabled()); // one transfer at a time, even in the same window
    QVERIFY(form.ProgressBar1->isVisible());
    QCOMPARE(form.ProgressBar1->maximum(), 5);
    QVERIFY(form.Timer1->isActive());
    QVERIFY(!m_main->comcbb->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    if (language == Language::English) {
        QCOMPARE(m_messages.first().kind, MessageKind::Plain);
        QCOMPARE(m_messages.first().text, u"         READ SUCCEED!"_s);
    } else {
        QCOMPARE(m_messages.first().kind, MessageKind::Information);
        QCOMPARE(m_messages.first().caption, u"提示"_s);
        QCOMPARE(m_messages.first().text, u"读取成功!"_s);
    }

    // Four requests of bank 1, block 0 first; no handshake.
    QCOMPARE(withoutRepeats(radio.received()),
             (QList<QByteArray>{request(1, 0), request(1, 1), request(1, 2), request(1, 3)}));
    dtmf::Texts expected = dtmf::initialTexts(language);
    for (int block = 0; block < dtmf::kBlockCount; ++block)
        QVERIFY(dtmf::decodeBlock(raw(frameOf(memory, 1, block)), expected, language));
    const dtmf::Texts shown = form.texts();
    QCOMPARE(shown.cb1, expected.cb1);
    QCOMPARE(shown.cb5, expected.cb5);
    QCOMPARE(shown.Edit1, expected.Edit1);
    QCOMPARE(shown.cb6, expected.cb6);
    QCOMPARE(shown.cb8, expected.cb8);
    QCOMPARE(shown.CheckB1, expected.CheckB1);
    QCOMPARE(shown.CheckB2, expected.CheckB2);
    QCOMPARE(shown.memories, expected.memories);
    QCOMPARE(shown.digitCounts, expected.digitCounts);

    // Done: the buttons come back, the repeat and the watchdog stop; the port stays open for
    // the next transfer until Close.
    QVERIFY(form.rbtn->isEnabled());
    QVERIFY(form.wbtn->isEnabled());
    QVERIFY(!form.ProgressBar1->isVisible());
    QVERIFY(!form.Timer1->isActive());
    QVERIFY(!m_main->link().Tim1.isActive());
    QVERIFY(m_main->link().Comm1.isOpen());
    QVERIFY(!m_main->comcbb->isEnabled());
    form.Button3->click();
    QVERIFY(!m_main->link().Comm1.isOpen());
    QVERIFY(m_main->comcbb->isEnabled());
    QVERIFY(!form.isVisible());
}

void TestSignallingWindows::dtmfWriteVectors()
{
    TransferRadio radio(m_dir->path(), u"radio"_s);
    QVERIFY2(radio.start(RadioMemory()), qPrintable(radio.errorString()));
    openWindows({radio.port()});
    TForm2 &form = *m_dtmf;

    dtmf::Texts texts = form.texts();
    texts.Edit1 = u"12345678"_s;
    texts.memories[0] = u"0*#"_s;
    texts.memories[1] = u"D1"_s;
    texts.memories[9] = u"*0"_s;
    texts.cb2 = u"0"_s;     // the starting text, not in the list
    texts.cb5 = u"10000"_s; // 100
    texts.cb6 = u"*"_s;     // 11 in a memory's code
    form.setTexts(texts);
    form.wbtn->click();
    QVERIFY(!form.wbtn->isEnabled());
    QCOMPARE(form.ProgressBar1->maximum(), 4);
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.first().text, u"写入成功!"_s);

    const QList<QByteArray> frames = withoutRepeats(radio.received());
    QCOMPARE(frames.size(), 4);
    for (int block = 0; block < 4; ++block) {
        QCOMPARE(frames[block].left(4), QByteArray::fromHex("5701") + char(block) + ' ');
        QVERIFY(hasValidFrameCrc(raw(frames[block])));
    }
    const RadioMemory stored = radio.image();
    const auto &settings = stored.payload(1, 0);
    QCOMPARE(settings[1], quint8(0));                          // cb2 "0"
    QCOMPARE(settings[4], quint8(100));                        // cb5 "10000"
    QCOMPARE(hex(settings, 10, 4), QByteArray("78 56 34 12")); // ID in the ID code
    QCOMPARE(settings[14], quint8(11));                        // group code "*"
    QCOMPARE(settings[19], quint8(8));
    QCOMPARE(settings[20], quint8(3));
    QCOMPARE(settings[21], quint8(2));
    QCOMPARE(hex(stored.payload(1, 1), 0, 8), QByteArray("bc 0a 00 00 01 00 00 00"));
    QCOMPARE(hex(stored.payload(1, 2), 12, 4), QByteArray("ba 00 00 00")); // memory 10
    QCOMPARE(hex(stored.payload(1, 3)), hex({}));

    // Off is 0xFF.
    texts.cb6 = dtmf::kOff.chinese.toString();
    form.setTexts(texts);
    form.wbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 2, kTransferTimeoutMs);
    QCOMPARE(radio.image().payload(1, 0)[14], quint8(0xFF));
}

void TestSignallingWindows::fskDefaultsAndRead()
{
    RadioMemory memory = RadioMemory::demo();
    TransferRadio radio(m_dir->path(), u"radio"_s);
    QVERIFY2(radio.start(memory), qPrintable(radio.errorString()));
    openWindows({radio.port()});
    TForm6 &form = *m_fsk;
    QCOMPARE(form.windowTitle(), u"FSK[*]"_s);

    // A fresh window writes its defaults, without the repeat.
    form.wbtn->click();
    QVERIFY(!m_main->link().Tim1.isActive());
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.first().kind, MessageKind::Plain);
    QCOMPARE(m_messages.first().text, u"写入成功"_s);
    QCOMPARE(hex(radio.image().payload(2, 0), 0, 20),
             QByteArray("64 00 e8 03 18 90 01 0a ff 00 00 00 00 00 00 00 00 00 00 00"));
    QCOMPARE(withoutRepeats(radio.received()).size(), 3);

    // A read brings a rate the list lacks into view, and ends without a message.
    RadioMemory other = RadioMemory::demo();
    auto settings = other.payload(2, 0);
    settings[4] = 36;
    settings[8] = 0x01; // only 0xFF is checked
    other.setPayload(2, 0, settings);
    auto entries = other.payload(2, 2);
    entries[26] = 0x39; // entry 16's ID: 12345
    entries[27] = 0x30;
    other.setPayload(2, 2, entries);
    QVERIFY(radio.stop());
    TransferRadio second(m_dir->path(), u"second"_s, {}, radio.port());
    QVERIFY2(second.start(other), qPrintable(second.errorString()));
    form.Button3->click(); // gives the port back, so the read opens the new radio
    form.show();
    form.rbtn->click();
    QTRY_VERIFY_WITH_TIMEOUT(form.rbtn->isEnabled(), kTransferTimeoutMs);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(withoutRepeats(second.received()),
             (QList<QByteArray>{request(2, 0), request(2, 1), request(2, 2)}));
    const fsk::Texts shown = form.texts();
    QCOMPARE(shown.cb1, u"3600"_s);
    QVERIFY(!shown.CheckBox1);
    QCOMPARE(shown.entries[15].id, u"12345"_s);
    QCOMPARE(form.xg1->Cells(2, 16), u"12345"_s);
}

void TestSignallingWindows::readThenWriteReturnsEveryDefinedByte()
{
    const RadioMemory source = RadioMemory::demo();
    TransferRadio from(m_dir->path(), u"from"_s);
    TransferRadio to(m_dir->path(), u"to"_s);
    QVERIFY2(from.start(source), qPrintable(from.errorString()));
    QVERIFY2(to.start(RadioMemory()), qPrintable(to.errorString()));
    openWindows({from.port(), to.port()});

    for (SignallingWindow *window : {static_cast<SignallingWindow *>(m_dtmf.get()),
                                     static_cast<SignallingWindow *>(m_fsk.get())}) {
        window->rbtn->click();
        QTRY_VERIFY_WITH_TIMEOUT(window->rbtn->isEnabled(), kTransferTimeoutMs);
    }
    m_fsk->Button3->click();
    m_main->comcbb->setCurrentText(to.port());
    for (SignallingWindow *window : {static_cast<SignallingWindow *>(m_dtmf.get()),
                                     static_cast<SignallingWindow *>(m_fsk.get())}) {
        const qsizetype before = m_messages.size();
        window->wbtn->click();
        QTRY_VERIFY_WITH_TIMEOUT(m_messages.size() > before, kTransferTimeoutMs);
        QCOMPARE(m_messages.last().kind == MessageKind::Error, false);
    }
    const RadioMemory copy = to.image();
    for (const auto &id : RadioMemory::blocks()) {
        if (id.bank != 1 && id.bank != 2)
            continue;
        QCOMPARE(definedBytes(id.bank, id.block, copy.payload(id.bank, id.block)).toHex(' '),
                 definedBytes(id.bank, id.block, source.payload(id.bank, id.block)).toHex(' '));
    }
}

void TestSignallingWindows::successOnlyWhenTheLastBlockIsTaken()
{
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    openWindows({radio.port()});
    radio.attach(m_main->link());
    TForm2 &form = *m_dtmf;

    form.wbtn->click();
    QCOMPARE(radio.take(34).left(4), QByteArray::fromHex("57010020"));
    QCOMPARE(form.ProgressBar1->value(), 1);
    for (int block = 1; block < 4; ++block) {
        radio.answer(kAck);
        QCOMPARE(radio.take(34).left(4), QByteArray::fromHex("5701") + char(block) + ' ');
        QCOMPARE(form.ProgressBar1->value(), block + 1);
    }
    // Block 3 went out, but the radio has not taken it yet: a repeat may still be needed.
    QVERIFY(radio.quietFor(100));
    QVERIFY(m_messages.isEmpty());
    QVERIFY(!form.wbtn->isEnabled());
    QVERIFY(radio.tick());
    QCOMPARE(radio.take(34).left(4), QByteArray::fromHex("57010320"));
    radio.answer(kAck);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().text, u"写入成功!"_s);
    QVERIFY(form.wbtn->isEnabled());
    QVERIFY(!form.Timer1->isActive());
    QVERIFY(!m_main->link().Tim1.isActive());
    // Its acknowledgement, or any other, reaches no transfer now.
    radio.answer(kAck);
    QVERIFY(radio.quietFor(100));

    // A read: three data frames are not the end, the fourth is.
    form.rbtn->click();
    for (int block = 0; block < 4; ++block) {
        QCOMPARE(radio.take(4), request(1, block));
        if (block < 3)
            QVERIFY(m_messages.size() == 1);
        radio.answer(frameOf(RadioMemory::demo(), 1, block));
    }
    QCOMPARE(m_messages.size(), 2);
    QCOMPARE(m_messages.last().text, u"读取成功!"_s);
    QVERIFY(radio.quietFor(100));

    // A slow radio answers a request and its repeat: block 1 comes twice. The second copy
    // answers no request and is left alone; the read still asks for blocks 2 and 3, each once,
    // before it says it is done.
    const RadioMemory demo = RadioMemory::demo();
    form.rbtn->click();
    QCOMPARE(radio.take(4), request(1, 0));
    radio.answer(frameOf(demo, 1, 0));
    QCOMPARE(radio.take(4), request(1, 1));
    QVERIFY(radio.tick());
    QCOMPARE(radio.take(34).left(4), request(1, 1));
    radio.answer(frameOf(demo, 1, 1));
    QCOMPARE(radio.take(4), request(1, 2));
    radio.answer(frameOf(demo, 1, 1));
    QVERIFY(radio.quietFor(100));
    radio.answer(frameOf(demo, 1, 2));
    QCOMPARE(radio.take(4), request(1, 3));
    QCOMPARE(m_messages.size(), 2);
    radio.answer(frameOf(demo, 1, 3));
    QCOMPARE(m_messages.size(), 3);
    QCOMPARE(m_messages.last().text, u"读取成功!"_s);
}

void TestSignallingWindows::textsTheRadioCannotTakeSendNothing_data()
{
    QTest::addColumn<QString>("field"); // a control, or a grid
    QTest::addColumn<QPoint>("cell");   // of the grid
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QPoint none(-1, -1);

    QTest::newRow("DTMF delay not a multiple of 10")
        << u"Form2/cb3"_s << none << u"105"_s << u"'10.5' is not a valid integer value"_s;
    QTest::newRow("FSK fleet beyond 16 bits") << u"Form6/ed1"_s << none << u"70000"_s << u"70000"_s;
    QTest::newRow("FSK timer beyond 8 bits") << u"Form6/ed4"_s << none << u"300"_s << u"300"_s;
    QTest::newRow("FSK delay not a number")
        << u"Form6/ed3"_s << none << u"4O0"_s << u"'4O0' is not a valid integer value"_s;
    // A cell is made current, on its page, so that the user sees which row it is.
    QTest::newRow("DTMF memory")
        << u"Form2/xg2"_s << QPoint(1, 7) << u"12E4"_s
        << u"自动拨号存储器(第7行)：12E4 含有 DTMF 码以外的字符（0-9、A-D、*、#）"_s;
    QTest::newRow("FSK ID") << u"Form6/xg1"_s << QPoint(2, 5) << u"70000"_s
                            << u"ID(第5行)：70000 超出范围（0 至 65535）"_s;
    QTest::newRow("2-Tone frequency")
        << u"Form4/xg1"_s << QPoint(2, 12) << u"1x"_s << u"'1x' is not a valid integer value"_s;
    QTest::newRow("5-Tone decode code") << u"Form5/xg3"_s << QPoint(4, 3) << u"1234X"_s
                                        << u"'$1234X' is not a valid integer value"_s;
}

void TestSignallingWindows::textsTheRadioCannotTakeSendNothing()
{
    QFETCH(QString, field);
    QFETCH(QPoint, cell);
    QFETCH(QString, text);
    QFETCH(QString, message);

    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    openWindows({radio.port()});
    radio.attach(m_main->link());
    const auto [window, control] = this->control(field);
    QVERIFY(control);
    auto *grid = qobject_cast<TXStringGrid *>(control);
    if (grid)
        grid->setCells(cell.x(), cell.y(), text);
    else if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->setEditText(text);
    else
        qobject_cast<QLineEdit *>(control)->setText(text);

    QApplication::setActiveWindow(window);
    window->wbtn->click();
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().kind, MessageKind::Error);
    QVERIFY2(m_messages.first().text.contains(message), qPrintable(m_messages.first().text));
    if (message == text) {
        // A number its bytes cannot hold names the field and the range it can take.
        const bool fleet = field.endsWith(u"ed1");
        QVERIFY(m_messages.first().text.contains(u"0"_s));
        QVERIFY(m_messages.first().text.contains(fleet ? u"65535"_s : u"255"_s));
        QVERIFY(m_messages.first().text.contains(fleet ? u"队列"_s : u"定时器"_s));
    }
    // What holds the text is in sight and current.
    QVERIFY(control->isVisible());
    QTRY_VERIFY(control->hasFocus());
    if (grid)
        QCOMPARE(QPoint(grid->Col(), grid->Row()), cell);
    // Nothing went out; the port was not even opened, and the window is ready again.
    QVERIFY(radio.quietFor(150));
    QVERIFY(!m_main->link().Comm1.isOpen());
    QVERIFY(m_main->comcbb->isEnabled());
    QVERIFY(window->wbtn->isEnabled());
    QVERIFY(window->rbtn->isEnabled());
    QVERIFY(!m_main->link().Tim1.isActive());
    QVERIFY(!window->Timer1->isActive());
    QVERIFY(!window->ProgressBar1->isVisible());
}

void TestSignallingWindows::watchdogEndsASilentTransfer()
{
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    openWindows({radio.port()});
    radio.attach(m_main->link());
    TForm2 &form = *m_dtmf;
    QCOMPARE(form.Timer1->interval(), 10000);
    form.Timer1->setInterval(200); // the test's ten seconds

    form.rbtn->click();
    QCOMPARE(radio.take(4), request(1, 0));
    radio.answer(frameOf(RadioMemory::demo(), 1, 0));
    QCOMPARE(radio.take(4), request(1, 1));
    QVERIFY(m_main->link().Tim1.isActive());
    // The radio says nothing more: the watchdog ends the read, stops the repeat, gives the port
    // back and tells the user.
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.first().kind, MessageKind::Error);
    QVERIFY(m_messages.first().text.contains(u"对讲机没有应答"_s));
    QVERIFY(!m_main->link().Tim1.isActive());
    QVERIFY(!m_main->link().Comm1.isOpen());
    QVERIFY(m_main->comcbb->isEnabled());
    QVERIFY(!form.ProgressBar1->isVisible());
    QVERIFY(form.rbtn->isEnabled());
    QVERIFY(form.wbtn->isEnabled());
    // A late answer reaches nobody.
    radio.answer(frameOf(RadioMemory::demo(), 1, 1));
    QVERIFY(radio.quietFor(100));

    // A transfer that ends well stops its watchdog: the next one is not cut short by it.
    form.Timer1->setInterval(10000);
    form.rbtn->click();
    for (int block = 0; block < 4; ++block) {
        QCOMPARE(radio.take(4), request(1, block));
        radio.answer(frameOf(RadioMemory::demo(), 1, block));
    }
    QCOMPARE(m_messages.last().text, u"读取成功!"_s);
    QVERIFY(!form.Timer1->isActive());
}

void TestSignallingWindows::oneTransferAtATime()
{
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    openWindows({radio.port()});
    radio.attach(m_main->link());

    m_dtmf->rbtn->click();
    QCOMPARE(radio.take(4), request(1, 0));
    // While the DTMF read runs, the FSK window offers no transfer, and a click that gets
    // through anyway sends nothing.
    QVERIFY(!m_fsk->rbtn->isEnabled());
    QVERIFY(!m_fsk->wbtn->isEnabled());
    m_fsk->rbtnClick();
    m_fsk->wbtnClick();
    QVERIFY(radio.quietFor(150));
    QCOMPARE(m_fsk->running(), BlockTransfer::Kind::None);
    // An acknowledgement reaches no write.
    radio.answer(kAck);
    QVERIFY(radio.quietFor(100));

    for (int block = 0; block < 4; ++block) {
        if (block > 0)
            QCOMPARE(radio.take(4), request(1, block));
        radio.answer(frameOf(RadioMemory::demo(), 1, block));
    }
    QVERIFY(m_fsk->rbtn->isEnabled());
    QVERIFY(m_fsk->wbtn->isEnabled());
    m_fsk->rbtn->click();
    QCOMPARE(radio.take(4), request(2, 0));
}

void TestSignallingWindows::keysAndEdits()
{
    openWindows({u"/nonexistent/radio"_s});
    TForm2 &form = *m_dtmf;
    const auto type = [](Qt::Key key, const QString &text,
                         Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::sendKeyEvent(QTest::Click, focus, key, text, modifiers);
    };

    // A memory: the key that starts the edit is its first character, lower-case a..d become
    // capitals and other letters go nowhere; keypad Enter ends the edit.
    form.PageControl1->setCurrentWidget(form.TabSheet1);
    QApplication::setActiveWindow(&form);
    form.xg2->setFocus();
    QTRY_VERIFY(form.xg2->hasFocus());
    form.xg2->setCurrentCell(1, 3);
    type(Qt::Key_A, u"a"_s);
    QVERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
    type(Qt::Key_E, u"e"_s);
    type(Qt::Key_Minus, u"-"_s);
    type(Qt::Key_0, u"0"_s);
    type(Qt::Key_NumberSign, u"#"_s);
    type(Qt::Key_0, u"０"_s); // a full-width digit is no digit
    type(Qt::Key_Enter, u"\r"_s, Qt::KeypadModifier);
    QCOMPARE(form.xg2->Cells(1, 3), u"A0#"_s);

    // A pasted text of nine characters keeps its first eight.
    QApplication::clipboard()->setText(u"123456789"_s);
    form.xg2->setFocus();
    form.xg2->setCurrentCell(1, 4);
    type(Qt::Key_F2, QString()); // opens on "12345678", all selected
    type(Qt::Key_V, u"\x16"_s, Qt::ControlModifier);
    type(Qt::Key_Return, u"\r"_s);
    QCOMPARE(form.xg2->Cells(1, 4), u"12345678"_s);

    // The identity code left empty (Delete arrives as "\x7f") takes its starting value again.
    form.PageControl1->setCurrentWidget(form.TabSheet3);
    auto *id = form.findChild<QLineEdit *>(u"Edit1"_s);
    id->setFocus();
    QTRY_VERIFY(id->hasFocus());
    id->selectAll();
    type(Qt::Key_Delete, u"\x7f"_s);
    QCOMPARE(id->text(), QString());
    type(Qt::Key_Tab, u"\t"_s);
    QCOMPARE(id->text(), u"12345678"_s);

    // Enter sends the focus to the window's first control, the pages' tabs, as in the main
    // window.
    id->setFocus();
    QTRY_VERIFY(id->hasFocus());
    type(Qt::Key_Return, u"\r"_s);
    QCOMPARE(QApplication::focusWidget(), form.PageControl1->findChild<QTabBar *>());

    // A combo box: Enter moves on and typing changes nothing.
    auto *group = form.findChild<QComboBox *>(u"cb6"_s);
    const QString before = group->currentText();
    group->setFocus();
    QTRY_VERIFY(group->hasFocus());
    type(Qt::Key_5, u"5"_s);
    type(Qt::Key_Return, u"\r"_s);
    QCOMPARE(group->currentText(), before);
    QCOMPARE(QApplication::focusWidget(), form.findChild<QWidget *>(u"cb7"_s));

    // The FSK edits fall back to their starting values too.
    QApplication::setActiveWindow(m_fsk.get());
    auto *ownId = m_fsk->findChild<QLineEdit *>(u"ed2"_s);
    ownId->setFocus();
    QTRY_VERIFY(ownId->hasFocus());
    ownId->selectAll();
    type(Qt::Key_Backspace, u"\b"_s);
    QCOMPARE(ownId->text(), QString());
    type(Qt::Key_Tab, u"\t"_s);
    QCOMPARE(ownId->text(), u"1000"_s);
}

void TestSignallingWindows::twoToneVectors()
{
    TransferRadio radio(m_dir->path(), u"radio"_s);
    QVERIFY2(radio.start(RadioMemory()), qPrintable(radio.errorString()));
    openWindows({radio.port()});
    TForm4 &form = *m_twoTone;
    QCOMPARE(form.windowTitle(), u"2TONE[*]"_s);
    QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet2);

    // The fresh window's tones and reset time, one encode pair and one decode row with "DB".
    twotone::Texts texts = form.texts();
    texts.pairs[0] = {u"1000"_s, u"2000"_s};
    texts.decodeRows[2].decode1 = u"DB"_s;
    texts.decodeRows[2].response1 = u"提醒并回复"_s;
    texts.decodeRows[2].prompt1 = u"16"_s;
    texts.decodeRows[2].decode2 = texts.decodeRows[2].decode3 = texts.decodeRows[2].decode4 =
        u"AB"_s;
    texts.decodeRows[2].response2 = texts.decodeRows[2].response3 = texts.decodeRows[2].response4 =
        u"无"_s;
    texts.decodeRows[2].prompt2 = texts.decodeRows[2].prompt3 = texts.decodeRows[2].prompt4 =
        u"1"_s;
    form.setTexts(texts);
    form.wbtn->click();
    QCOMPARE(form.ProgressBar1->maximum(), 11);
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.first().text, u"写入成功!"_s);

    // Twelve frames, block 11 all zero.
    const QList<QByteArray> frames = withoutRepeats(radio.received());
    QCOMPARE(frames.size(), 12);
    for (int block = 0; block < 12; ++block)
        QCOMPARE(frames[block].left(4), QByteArray::fromHex("5703") + char(block) + ' ');
    QCOMPARE(frames[11].mid(4, 28), QByteArray(28, '\0'));
    const RadioMemory stored = radio.image();
    QCOMPARE(hex(stored.payload(3, 0), 0, 16),
             QByteArray("bd 07 64 04 ad 04 fb 04 70 17 f4 01 f4 01 f4 01"));
    QCOMPARE(hex(stored.payload(3, 0), 20, 4), QByteArray("e8 03 d0 07"));
    // Decode row 3 is the first row of block 4: the pair, its response and prompt.
    QCOMPARE(hex(stored.payload(3, 4), 0, 12), QByteArray("db 03 10 ab 00 01 ab 00 01 ab 00 01"));

    // The response ranges: a prompt its byte cannot hold is refused before anything is sent.
    texts.decodeRows[2].prompt1 = u"300"_s;
    form.setTexts(texts);
    form.wbtn->click();
    QCOMPARE(m_messages.size(), 2);
    QCOMPARE(m_messages.last().kind, MessageKind::Error);
    QVERIFY2(m_messages.last().text.contains(u"300"_s), qPrintable(m_messages.last().text));
    QVERIFY(form.wbtn->isEnabled());
}

void TestSignallingWindows::fiveToneVectors()
{
    const RadioMemory memory = RadioMemory::demo();
    TransferRadio radio(m_dir->path(), u"radio"_s);
    QVERIFY2(radio.start(memory), qPrintable(radio.errorString()));
    openWindows({radio.port()});
    TForm5 &form = *m_fiveTone;
    QCOMPARE(form.windowTitle(), u"5TONE[*]"_s);
    QCOMPARE(form.xg1->Cells(0, 4), u"ZVEI1"_s);
    QCOMPARE(form.Edit[0]->text(), u"1981.0"_s);
    form.CCIR->setCurrentText(u"EIA"_s);
    QCOMPARE(form.Edit[3]->text(), u"1023.0"_s);

    // Read the radio, change one encode and one decode row, and write it back.
    form.rbtn->click();
    QCOMPARE(form.ProgressBar1->maximum(), 16);
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.last().text, u"读取成功!"_s);
    QList<QByteArray> requests;
    for (int block = 0; block < 17; ++block)
        requests << request(4, block);
    QCOMPARE(withoutRepeats(radio.received()), requests);

    fivetone::Texts texts = form.texts();
    texts.encodeRows[0] = {u"12345"_s, u"45678"_s, u"ABCDE"_s, u"56789"_s, u"ZVEI1"_s};
    texts.decodeRows[0] = {u"EEA"_s,  u"12345"_s, u"主叫"_s, u"45678"_s,
                           u"唤醒"_s, u"ABCDE"_s, u"遥毙"_s, u"56789"_s};
    form.setTexts(texts);
    form.wbtn->click();
    QCOMPARE(form.ProgressBar1->maximum(), 17);
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 2, kTransferTimeoutMs);
    QCOMPARE(m_messages.last().text, u"写入成功!"_s);
    const RadioMemory stored = radio.image();
    QCOMPARE(hex(stored.payload(4, 1), 0, 14),
             QByteArray("45 23 01 78 56 04 de bc 0a 89 67 05 04 00"));
    const auto &decode = stored.payload(4, 9);
    QCOMPARE(decode[0], quint8(0x13));
    QCOMPARE(decode[7], quint8(0x68));
    QCOMPARE(hex(decode, 1, 3), QByteArray("45 23 01"));
}

void TestSignallingWindows::toneReadsThenWritesReturnEveryDefinedByte()
{
    const RadioMemory source = RadioMemory::demo();
    TransferRadio from(m_dir->path(), u"from"_s);
    TransferRadio to(m_dir->path(), u"to"_s);
    QVERIFY2(from.start(source), qPrintable(from.errorString()));
    QVERIFY2(to.start(RadioMemory()), qPrintable(to.errorString()));
    openWindows({from.port(), to.port()});

    const QList<SignallingWindow *> windows{m_twoTone.get(), m_fiveTone.get()};
    for (SignallingWindow *window : windows) {
        window->rbtn->click();
        QTRY_VERIFY_WITH_TIMEOUT(window->rbtn->isEnabled(), kTransferTimeoutMs);
    }
    m_fiveTone->Button3->click();
    m_main->comcbb->setCurrentText(to.port());
    for (SignallingWindow *window : windows) {
        const qsizetype before = m_messages.size();
        window->wbtn->click();
        QTRY_VERIFY_WITH_TIMEOUT(m_messages.size() > before, kTransferTimeoutMs);
        QCOMPARE(m_messages.last().kind, MessageKind::Information);
    }
    // Every byte of banks 3 and 4 but those nothing defines: 2-Tone block 0 bytes 16..19 and the
    // decode blocks' 24..27; 5-Tone block 0 bytes 15..19 and 24..27, the encode rows' last bytes.
    const RadioMemory copy = to.image();
    for (const auto &id : RadioMemory::blocks()) {
        if (id.bank != 3 && id.bank != 4)
            continue;
        QByteArray sent(reinterpret_cast<const char *>(copy.payload(id.bank, id.block).data()), 28);
        QByteArray kept(reinterpret_cast<const char *>(source.payload(id.bank, id.block).data()),
                        28);
        const auto blank = [&](int from, int count) {
            sent.replace(from, count, QByteArray(count, '\0'));
            kept.replace(from, count, QByteArray(count, '\0'));
        };
        if (id.bank == 3 && id.block == 0)
            blank(16, 4);
        if (id.bank == 3 && id.block >= 3)
            blank(24, 4);
        if (id.bank == 3 && id.block == 11)
            continue; // written as zeros, never read
        if (id.bank == 4 && id.block == 0) {
            blank(15, 5);
            blank(24, 4);
        }
        if (id.bank == 4 && id.block >= 1 && id.block <= 8) {
            blank(13, 1);
            blank(27, 1);
        }
        if (id.bank == 4) { // a code's top four bits do not show in its five digits
            for (int at : {2, 5, 8, 11, 16, 19, 22, 25})
                if (id.block >= 1 && id.block <= 8) {
                    sent[at] = char(sent[at] & 0x0F);
                    kept[at] = char(kept[at] & 0x0F);
                }
        }
        QCOMPARE(sent.toHex(' '), kept.toHex(' '));
    }
}

void TestSignallingWindows::fillAndClearRulesByTyping()
{
    openWindows({u"/nonexistent/radio"_s});
    const auto type = [](Qt::Key key, const QString &text) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::sendKeyEvent(QTest::Click, focus, key, text, Qt::NoModifier);
    };

    // 2-Tone: choosing a pair in an empty decode row fills its other decoders.
    TForm4 &twoTone = *m_twoTone;
    QApplication::setActiveWindow(&twoTone);
    twoTone.xg2->setFocus();
    QTRY_VERIFY(twoTone.xg2->hasFocus());
    twoTone.xg2->setCurrentCell(1, 2);
    type(Qt::Key_A, u"a"_s); // opens the pair editor on "AB"
    type(Qt::Key_Down, QString());
    type(Qt::Key_Return, u"\r"_s);
    QCOMPARE(twoTone.xg2->Cells(1, 2), u"AC"_s);
    QCOMPARE(twoTone.xg2->Cells(2, 2), u"无"_s);
    QCOMPARE(twoTone.xg2->Cells(3, 2), u"1"_s);
    QCOMPARE(twoTone.xg2->Cells(4, 2), u"AB"_s);
    QCOMPARE(twoTone.xg2->Cells(12, 2), u"1"_s);
    // An edit in a row without a pair does not stay.
    twoTone.xg2->setCurrentCell(3, 5);
    type(Qt::Key_A, u"a"_s);
    type(Qt::Key_Down, QString());
    type(Qt::Key_Return, u"\r"_s);
    QCOMPARE(twoTone.xg2->Cells(3, 5), QString());

    // 5-Tone: a first code fills the encode row; clearing it clears the row.
    TForm5 &fiveTone = *m_fiveTone;
    QApplication::setActiveWindow(&fiveTone);
    fiveTone.xg2->setFocus();
    QTRY_VERIFY(fiveTone.xg2->hasFocus());
    fiveTone.xg2->setCurrentCell(1, 4);
    for (const QChar c : u"2222A"_s)
        type(Qt::Key(c.unicode()), QString(c));
    type(Qt::Key_Return, u"\r"_s);
    QCOMPARE(fiveTone.xg2->Cells(1, 4), u"2222A"_s);
    QCOMPARE(fiveTone.xg2->Cells(2, 4), u"12345"_s);
    QCOMPARE(fiveTone.xg2->Cells(4, 4), u"ABCDE"_s);
    QCOMPARE(fiveTone.xg2->Cells(5, 4), u"CCIR"_s);
    fiveTone.xg2->setFocus();
    fiveTone.xg2->setCurrentCell(1, 4);
    type(Qt::Key_Backspace, u"\b"_s); // opens the editor on the code, selected
    type(Qt::Key_Delete, u"\x7f"_s);
    type(Qt::Key_Return, u"\r"_s);
    for (int c = 1; c <= 5; ++c)
        QCOMPARE(fiveTone.xg2->Cells(c, 4), QString());

    // A click on the window's background ends the edit in progress, which keeps what was typed.
    QCOMPARE(fiveTone.size(), QSize(777, 529));
    fiveTone.xg2->setFocus();
    fiveTone.xg2->setCurrentCell(1, 6);
    type(Qt::Key_3, u"3"_s); // opens the editor
    QVERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    for (const QChar c : u"34567"_s)
        type(Qt::Key(c.unicode()), QString(c));
    QTest::mouseClick(&fiveTone, Qt::LeftButton, {}, QPoint(2, fiveTone.height() - 2));
    QCOMPARE(fiveTone.xg2->Cells(1, 6), u"34567"_s);
    QVERIFY(!qobject_cast<QLineEdit *>(QApplication::focusWidget()));
    fiveTone.ApplyCaptions(Language::English, captions::MainSetter::Switch);
    QCOMPARE(fiveTone.size(), QSize(934, 516));
}

void TestSignallingWindows::typedCellsKeepTheirFirstKey_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("DTMF memory") << u"Form2/xg2"_s << 1 << u"4321"_s << u"4321"_s;
    QTest::newRow("DTMF memory, letters raised") << u"Form2/xg2"_s << 1 << u"a1"_s << u"A1"_s;
    QTest::newRow("2-Tone frequency") << u"Form4/xg1"_s << 2 << u"4321"_s << u"4321"_s;
    QTest::newRow("2-Tone pair, a drop-down") << u"Form4/xg2"_s << 1 << u"CD"_s << u"CD"_s;
    QTest::newRow("5-Tone time") << u"Form5/xg1"_s << 1 << u"4321"_s << u"4321"_s;
    QTest::newRow("5-Tone code") << u"Form5/xg2"_s << 1 << u"43210"_s << u"43210"_s;
    QTest::newRow("5-Tone standard, a list") << u"Form5/xg3"_s << 1 << u"Z"_s << u"ZVEI1"_s;
    QTest::newRow("FSK fleet") << u"Form6/xg1"_s << 1 << u"4321"_s << u"4321"_s;
}

TXStringGrid *TestSignallingWindows::focusedGrid(const QString &grid, int col)
{
    openWindows({u"/nonexistent/radio"_s});
    const auto [window, control] = this->control(grid);
    auto *table = qobject_cast<TXStringGrid *>(control);
    for (QWidget *page = table; page->parentWidget(); page = page->parentWidget()) {
        if (auto *tabs = qobject_cast<QTabWidget *>(page->parentWidget()->parentWidget()))
            tabs->setCurrentWidget(page); // the page the table is on
    }
    QApplication::setActiveWindow(window);
    table->setFocus();
    table->setCurrentCell(col, 3);
    return QTest::qWaitFor([table] { return table->hasFocus(); }) ? table : nullptr;
}

void TestSignallingWindows::typedCellsKeepTheirFirstKey()
{
    QFETCH(QString, grid);
    QFETCH(int, col);
    QFETCH(QString, typed);
    QFETCH(QString, stored);

    TXStringGrid *table = focusedGrid(grid, col);
    QVERIFY(table);
    for (const QChar c : typed + u'\r')
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(),
                            c == u'\r' ? Qt::Key_Return : Qt::Key(c.toUpper().unicode()),
                            QString(c), Qt::NoModifier);
    QCOMPARE(table->Cells(col, 3), stored);
}

// Keys on a grid from its cell in row 3, with the clipboard holding what a spreadsheet puts
// there: "^V", "^X", "^Z" are Ctrl keys, "del" Delete, "S+down" Shift+Down. Rows 3 and 4 of
// the column, and the step the window's history ends on, are compared.
void TestSignallingWindows::spreadsheetKeysInTheGrids_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("cells");
    QTest::addColumn<QString>("step");
    QTest::newRow("DTMF paste, the memory's check keeps eight digits")
        << u"Form2/xg2"_s << 1 << u"^V"_s << u"4321|12345678"_s << u"粘贴/"_s;
    QTest::newRow("DTMF paste undone") << u"Form2/xg2"_s << 1 << u"^V,^Z"_s << u"|"_s << u"/粘贴"_s;
    QTest::newRow("FSK paste, Delete clears the range")
        << u"Form6/xg1"_s << 1 << u"^V,S+down,del"_s << u"|"_s << u"清除/"_s;
    QTest::newRow("2-Tone cut") << u"Form4/xg1"_s << 2 << u"^V,^X"_s << u"|123456789"_s
                                << u"剪切/"_s;
}

void TestSignallingWindows::spreadsheetKeysInTheGrids()
{
    QFETCH(QString, grid);
    QFETCH(int, col);
    QFETCH(QString, keys);
    QFETCH(QString, cells);
    QFETCH(QString, step);

    TXStringGrid *table = focusedGrid(grid, col);
    QVERIFY(table);
    QApplication::clipboard()->setText(u"4321\n123456789\n"_s);
    for (const QString &key : keys.split(u',')) {
        QWidget *target = QApplication::focusWidget();
        if (key.startsWith(u'^')) {
            const char letter = key.at(1).toLatin1();
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key(letter),
                                QString(QChar(letter - 'A' + 1)), Qt::ControlModifier);
        } else if (key == u"del") {
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_Delete, u"\x7f"_s, {});
        } else {
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_Down, QString(), Qt::ShiftModifier);
        }
    }
    QCOMPARE(table->Cells(col, 3) + u'|' + table->Cells(col, 4), cells);
    const QUndoStack *history = control(grid).first->document().undoStack();
    QCOMPARE(history->undoText() + u'/' + history->redoText(), step);
}

void TestSignallingWindows::closeLeavesAnotherWindowsTransferAlone()
{
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    openWindows({radio.port()});
    radio.attach(m_main->link());
    const RadioMemory demo = RadioMemory::demo();

    m_dtmf->rbtn->click();
    QCOMPARE(radio.take(4), request(1, 0));
    radio.answer(frameOf(demo, 1, 0));
    QCOMPARE(radio.take(4), request(1, 1));

    // Close in the FSK window, whose transfer is not the one running: it only hides the window.
    // The DTMF read keeps its port, its repeat and its watchdog, and ends well.
    m_fsk->Button3->click();
    QVERIFY(!m_fsk->isVisible());
    QVERIFY(m_main->link().Comm1.isOpen());
    QVERIFY(!m_main->comcbb->isEnabled());
    QVERIFY(m_main->link().Tim1.isActive());
    QVERIFY(m_dtmf->Timer1->isActive());
    QCOMPARE(m_dtmf->running(), BlockTransfer::Kind::Read);
    QVERIFY(radio.tick());
    QCOMPARE(radio.take(34).left(4), request(1, 1));
    for (int block = 1; block < 4; ++block) {
        if (block > 1)
            QCOMPARE(radio.take(4), request(1, block));
        radio.answer(frameOf(demo, 1, block));
    }
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().text, u"读取成功!"_s);
}

void TestSignallingWindows::questionsBeforeATableIsReplaced_data()
{
    QTest::addColumn<bool>("reading");
    QTest::addColumn<int>("reply");
    QTest::addColumn<QString>("question");

    const QString write = u"“2TONE”窗口的数据既不是从对讲机读出的，也不是从镜像打开的。"
                          u"写频会用窗口中的数据替换对讲机中的2TONE表。"_s;
    const QString read = u"“2TONE”窗口有未写入对讲机的修改，读频会替换它们。"_s;
    QTest::newRow("write of starting values, Cancel") << false << int(Answer::Cancel) << write;
    QTest::newRow("write of starting values, Write") << false << int(Answer::Proceed) << write;
    QTest::newRow("read over changes, Cancel") << true << int(Answer::Cancel) << read;
    QTest::newRow("read over changes, Read") << true << int(Answer::Proceed) << read;
}

void TestSignallingWindows::questionsBeforeATableIsReplaced()
{
    QFETCH(bool, reading);
    QFETCH(int, reply);
    QFETCH(QString, question);
    TransferRadio radio(m_dir->path(), u"radio"_s);
    QVERIFY2(radio.start(RadioMemory::demo()), qPrintable(radio.errorString()));
    openWindows({radio.port()});
    TForm4 &form = *m_twoTone;
    // A pair chosen in a decode row marks the window.
    QApplication::setActiveWindow(&form);
    form.xg2->setFocus();
    QTRY_VERIFY(form.xg2->hasFocus());
    form.xg2->setCurrentCell(1, 2);
    for (const auto &[key, text] :
         {std::pair{Qt::Key_A, u"a"_s}, std::pair{Qt::Key_Down, QString()},
          std::pair{Qt::Key_Return, u"\r"_s}})
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), key, text, Qt::NoModifier);
    QVERIFY(form.isWindowModified());

    m_questions->replies << Answer(reply);
    (reading ? form.rbtn : form.wbtn)->click();
    QCOMPARE(m_questions->asked.size(), 1);
    QCOMPARE(m_questions->asked[0].text, question);
    if (reply == int(Answer::Cancel)) {
        QCOMPARE(form.running(), BlockTransfer::Kind::None);
        QVERIFY(radio.received().isEmpty());
        QVERIFY(form.isWindowModified());
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(form.rbtn->isEnabled() && form.wbtn->isEnabled(), kTransferTimeoutMs);
    QVERIFY(!form.isWindowModified());
    // After a read, the window holds a radio's table: its write asks nothing.
    if (reading) {
        form.wbtn->click();
        QCOMPARE(m_questions->asked.size(), 1);
    }
}

void TestSignallingWindows::everyReadIsKept_data()
{
    QTest::addColumn<QString>("window"); // whose Read is clicked
    QTest::addColumn<QList<int>>("banks");
    QTest::addColumn<bool>("blocked"); // a file where the data folder would be
    QTest::newRow("main window") << u"main"_s << QList<int>{0, 5} << false;
    QTest::newRow("DTMF") << u"DTMF"_s << QList<int>{1} << false;
    QTest::newRow("2-Tone, whose read leaves out block 11")
        << u"2-Tone"_s << QList<int>{3} << false;
    QTest::newRow("main window, no data folder: said once") << u"main"_s << QList<int>() << true;
}

void TestSignallingWindows::everyReadIsKept()
{
    QFETCH(QString, window);
    QFETCH(QList<int>, banks);
    QFETCH(bool, blocked);
    if (blocked) {
        QFile blocker(m_dir->filePath(u"data"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    const RadioMemory memory = RadioMemory::demo();
    TransferRadio radio(m_dir->path(), u"radio"_s);
    QVERIFY2(radio.start(memory), qPrintable(radio.errorString()));
    openWindows({radio.port()});
    QPushButton *read = window == u"main"   ? m_main->rbtn
                        : window == u"DTMF" ? m_dtmf->rbtn
                                            : m_twoTone->rbtn;
    const QString succeeded = u"读取成功!"_s;
    for (int run = 1; run <= (blocked ? 2 : 1); ++run) {
        read->click();
        QTRY_VERIFY_WITH_TIMEOUT(!m_messages.isEmpty() && m_messages.last().text == succeeded,
                                 kTransferTimeoutMs);
        QTRY_VERIFY(read->isEnabled());
    }
    if (blocked) {
        // The reads stand; the first one says that its snapshot was not saved, the second not.
        QCOMPARE(m_messages.size(), 3);
        QCOMPARE(m_messages[0].kind, MessageKind::Error);
        QVERIFY2(
            m_messages[0].text.startsWith(u"读取成功,但未能保存快照:cannot make the folder "_s),
            qPrintable(m_messages[0].text));
        QCOMPARE(m_messages[2].text, succeeded);
        return;
    }
    QCOMPARE(m_messages.size(), 1);
    const QDir folder(m_dir->filePath(u"data/writefreq/snapshots"_s));
    const QStringList kept = folder.entryList({u"*.img"_s}, QDir::Files);
    QCOMPARE(kept.size(), 1);
    QVERIFY2(kept.first().endsWith(u"radio_tty.img"_s), qPrintable(kept.first()));
    RadioImage image;
    QString error;
    QVERIFY2(RadioImage::readFile(folder.filePath(kept.first()), &image, &error),
             qPrintable(error));
    QList<int> held;
    for (Bank bank : image.banks())
        held << int(bank);
    QCOMPARE(held, banks);
    for (const BlockAddress &a : image.heldBlocks()) {
        const wf::vradio::Payload &sent = memory.payload(int(a.bank), a.block);
        QVERIFY2(std::equal(sent.begin(), sent.end(), image.payload(a.bank, a.block).begin()),
                 qPrintable(u"bank %1 block %2"_s.arg(int(a.bank)).arg(a.block)));
    }
}

QTEST_MAIN(TestSignallingWindows)
#include "tst_signallingwindows.moc"
