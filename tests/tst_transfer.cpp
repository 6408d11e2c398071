// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tform1.h"
#include "channels/mainblocks.h"
#include "grid/txstringgrid.h"
#include "i18n/language.h"
#include "i18n/ui/messagebox.h"
#include "i18n/words.h"
#include "protocol/frame.h"
#include "protocol/radiolink.h"
#include "protocol/ui/tform3.h"
#include "signalling/dtmf/ui/tform2.h"
#include "support/questions.h"
#include "support/scriptedradio.h"
#include "support/transferradio.h"
#include "tools/vradio/radioengine.h"
#include "tools/vradio/radiomemory.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

#include <algorithm>
#include <memory>
#include <numeric>

using namespace wf;
using namespace Qt::StringLiterals;
using wf::vradio::Payload;
using wf::vradio::RadioEngine;
using wf::vradio::RadioMemory;

Q_DECLARE_METATYPE(wf::Language)

namespace {

constexpr int kTransferTimeoutMs = 20000;
const QByteArray kHandshake = "PROGRAM"_ba;
const QByteArray kAck(1, char(frame::kAck));

QByteArray bytesOf(const FrameBuffer &buffer, int from, int count)
{
    return QByteArray(reinterpret_cast<const char *>(buffer.data()) + from, count);
}

const quint8 *raw(const QByteArray &bytes)
{
    return reinterpret_cast<const quint8 *>(bytes.constData());
}

QByteArray request(int bank, int block)
{
    FrameBuffer tx{};
    putReadRequest(tx, quint8(bank), quint8(block));
    return bytesOf(tx, 0, frame::kRequestSize);
}

QByteArray header(int bank, int block)
{
    FrameBuffer tx{};
    putBlockHeader(tx.data(), quint8(bank), quint8(block));
    return bytesOf(tx, 0, frame::kHeaderSize);
}

// What a complete main read asks for: the handshake, channels 1..16, then the settings.
QList<QByteArray> completeReadRequests()
{
    QList<QByteArray> frames{kHandshake};
    for (int block = 1; block <= kChannelCount; ++block)
        frames << request(0, block);
    frames << request(5, 0);
    return frames;
}

QList<int> range(int first, int last)
{
    QList<int> values(last - first + 1);
    std::iota(values.begin(), values.end(), first);
    return values;
}

QByteArray dataFrame(const RadioMemory &memory, int bank, int block)
{
    return RadioEngine::dataFrame(bank, block, memory.payload(bank, block));
}

Payload payloadOf(const FrameBuffer &tx)
{
    Payload payload;
    std::copy_n(tx.begin() + frame::kPayloadOffset, frame::kPayloadSize, payload.begin());
    return payload;
}

QByteArray hex(const Payload &payload)
{
    return QByteArray(reinterpret_cast<const char *>(payload.data()), frame::kPayloadSize)
        .toHex(' ');
}

// Varied channels as a technician would type them in a language: CTCSS and DCS tones both ways
// round, both powers and bandwidths, every kind of DTMF key, PTT ID, scrambler and signalling,
// and channels left empty. Channel 9's receive frequency has 0x30 in its second byte, which
// makes the program acknowledge the frame that carries it.
std::array<ChannelRow, kChannelCount + 1> variedChannels(Language language)
{
    const auto w = [language](const WordPair &pair) {
        return pair.in(language).toString();
    };
    const QString none = w(words::kNone), yes = w(words::kYes), high = w(words::kHigh),
                  low = w(words::kLow), wide = w(words::kWide), narrow = w(words::kNarrow);
    const QList<QStringList> cells = {
        {"400.00000", "400.00000", none, none, high, wide, yes, "25000", none, none, none, none,
         "DTMF", "1", none},
        {"446.00625", "446.00625", "67.0", "67.0", low, narrow, none, "6250", "1", "2", "BOTH", "1",
         "2TONE", "2", yes},
        {"462.56250", "467.56250", "023N", "023N", high, narrow, yes, "12500", "*", "#", "BOT", "5",
         "5TONE", "8", none},
        {},
        {"470.00000", "450.00000", "754I", "023I", low, wide, none, "5000", "0", "D", "EOT", "10",
         "FSK", "16", yes},
        {"136.01250", "174.00000", "254.1", none, high, narrow, yes, "10000", "A", "B", "BOTH", "3",
         "DTMF", "4", none},
        {"145.50000", "145.50000", "100.0", "131N", low, narrow, none, "25000", "9", "C", none, "7",
         "2TONE", "12", yes},
        {},
        {"438.18599", "438.18599", "151.4", "151.4", high, wide, yes, "12500", "5", "6", "EOT",
         none, "FSK", "9", none},
        {"439.12500", "431.40000", "007I", "007I", low, wide, yes, "5000", "#", "*", "BOT", "6",
         "5TONE", "10", yes},
        {"350.00000", "350.00000", "88.5", "203.5", low, wide, yes, "6250", "7", "8", "BOT", "2",
         "5TONE", "16", yes},
        {},
        {"480.00000", "480.00000", "114N", "565I", high, narrow, none, "5000", none, "3", "BOTH",
         "9", "DTMF", "5", none},
        {"440.00625", "440.00625", "123.0", none, high, wide, yes, "25000", "4", none, none, none,
         "2TONE", "1", yes},
        {"465.00000", "465.00000", none, "162I", low, narrow, yes, "10000", "#", "*", "EOT", "4",
         "FSK", "11", none},
        {},
    };
    std::array<ChannelRow, kChannelCount + 1> rows;
    for (int r = 1; r <= kChannelCount; ++r) {
        rows[r][column::Number] = QString::number(r);
        const QStringList &texts = cells[r - 1];
        for (int c = 1; c < column::kCount; ++c)
            rows[r][c] = texts.isEmpty() ? QString() : texts[c - 1];
    }
    return rows;
}

SettingsTexts variedSettings(Language language)
{
    const bool english = language == Language::English;
    return {"3",
            "2",
            "5",
            "120",
            words::kEnglish.in(language).toString(),
            english ? u"Monitor"_s : u"监听"_s,
            english ? u"Scan+Temporary Delete"_s : u"扫描+暂时删除"_s,
            words::kClose.in(language).toString(),
            words::kOpen.in(language).toString(),
            words::kClose.in(language).toString()};
}

// A radio holding the varied channels and settings, over the demonstration image's signalling
// tables.
RadioMemory variedMemory()
{
    RadioMemory memory = RadioMemory::demo();
    FrameBuffer tx{};
    const auto rows = variedChannels(Language::Chinese);
    for (int r = 1; r <= kChannelCount; ++r) {
        const Conversion result = EncodeChannelBlock(tx, r, rows[r]);
        if (!result.ok())
            qFatal("channel %d of the test image: %s", r, qPrintable(result.error));
        memory.setPayload(0, r, payloadOf(tx));
    }
    const Conversion result = EncodeSettingsBlock(tx, variedSettings(Language::Chinese));
    if (!result.ok())
        qFatal("settings of the test image: %s", qPrintable(result.error));
    memory.setPayload(5, 0, payloadOf(tx));
    return memory;
}

// The requests of a complete read of the varied memory: channel 9's frame has 0x30 in its byte
// 5, so the request after it comes with one 0x06.
QList<QByteArray> variedReadRequests()
{
    QList<QByteArray> frames = completeReadRequests();
    frames[10] += kAck;
    return frames;
}

// The table and settings after a complete read of `memory` over what they held `before`.
ChannelSheet expectedAfterRead(const RadioMemory &memory, const ChannelSheet &before,
                               Language language)
{
    ChannelSheet expected = before;
    for (int r = 1; r <= kChannelCount; ++r)
        DecodeChannelBlock(raw(dataFrame(memory, 0, r)), expected.rows[r], language);
    DecodeSettingsBlock(raw(dataFrame(memory, 5, 0)), expected.settings, language);
    return expected;
}

// The defined bytes of a block: channels use payload bytes 0..23 and 27, the settings 0..15.
QByteArray definedBytes(int bank, const Payload &payload)
{
    QByteArray bytes(reinterpret_cast<const char *>(payload.data()), frame::kPayloadSize);
    if (bank == 5)
        return bytes.left(16);
    return bytes.left(24) + bytes.right(1);
}
// The positions the progress bar went through, each once.
QList<int> distinct(const QList<int> &values)
{
    QList<int> kept;
    for (int value : values) {
        if (kept.isEmpty() || kept.last() != value)
            kept << value;
    }
    return kept;
}

// The repeat period of the tests over a real line whose subject is not the repeat: long enough
// that a machine under load does not need it, so the radio sees each frame once.
constexpr int kRelaxedRepeatMs = 2000;

// What the window went through during one transfer, recorded as it happened.
class TransferWatch final
{
public:
    explicit TransferWatch(TForm1 &form)
    {
        QObject::connect(form.Form3->ProgressBar1, &QProgressBar::valueChanged, &m_context,
                         [this, &form](int value) {
                             bar << value;
                             barShown << form.Form3->isVisible();
                         });
        QObject::connect(&form.link().Comm1, &TComm::OnReceiveData, &m_context,
                         [this](const QByteArray &chunk) { chunks << chunk; });
    }

    QList<int> bar;       ///< every position the progress bar took
    QList<bool> barShown; ///< whether the dialog was up when it did
    QList<QByteArray> chunks;

private:
    QObject m_context;
};

#define VERIFY_IDLE(form)                                                                          \
    do {                                                                                           \
        verifyIdle(form);                                                                          \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

// A stand-in for a signalling window whose transfer never finished.
struct StaleSignalling final : SignallingTransfer
{
    StaleSignalling(quint8 bank, QStringList &log)
        : m_bank(bank)
        , m_log(log)
    {}
    quint8 bank() const override { return m_bank; }
    bool readInProgress() const override { return reading; }
    bool writeInProgress() const override { return writing; }
    void writeStep() override { m_log << u"write step %1"_s.arg(m_bank); }
    void readStep() override { m_log << u"read step %1"_s.arg(m_bank); }
    void abandonTransfer() override
    {
        reading = writing = false;
        m_log << u"abandon %1"_s.arg(m_bank);
    }

    bool reading = false;
    bool writing = false;

private:
    quint8 m_bank;
    QStringList &m_log;
};

enum class Kind { Read, Write };

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestTransfer final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Over a real line, against the virtual radio.
    void completeRead_data();
    void completeRead();
    void completeWrite_data();
    void completeWrite();
    void readThenWriteReturnsEveryDefinedByte();
    void radioWithItsOwnCrc();
    void frameSplitBeforeAByteThatLooksLikeAnAcknowledgement();
    void lostLine_data();
    void lostLine();
    void acknowledgementsInOneChunkCountOnce();
    void portThatWillNotOpen_data();
    void portThatWillNotOpen();
    void unconvertibleTextStopsTheWriteBeforeTheHandshake_data();
    void unconvertibleTextStopsTheWriteBeforeTheHandshake();

    // Against a scripted radio, with the repeat fired by the test.
    void exactFrames_data();
    void exactFrames();
    void repeatAfterLostHandshake();
    void noRadioAnswers_data();
    void noRadioAnswers();
    void repeatAfterLostAcknowledgement();
    void repeatAfterLostRequest();
    void retry_data();
    void retry();
    void cancel_data();
    void cancel();
    void extraAcknowledgement();
    void acknowledgementsInTwoChunksCountTwice();
    void strayChunkSendsTheSettingsAgain();
    void unexpectedDataFrames_data();
    void unexpectedDataFrames();
    void refusedWhileASignallingTransferRuns();

private:
    TForm1 &openWindow(const QStringList &ports);
    TForm1 &openScripted(ScriptedRadio &radio, const QStringList &morePorts = {});
    static void pressKey(TForm1 &form, Qt::Key key);
    // The state of a window with no transfer running and the port closed.
    static void verifyIdle(TForm1 &form);
    // Plays the radio's part of a read from the request for `block` on: every request is taken
    // and answered with its block, until the settings frame has gone.
    static void playRead(ScriptedRadio &radio, const RadioMemory &memory, int block);
    // Plays the radio's part of a write from acknowledgement `ack` on, to the last one.
    static void playWrite(ScriptedRadio &radio, int ack);

    std::unique_ptr<TForm1> m_form;
    std::unique_ptr<QTemporaryDir> m_dir;
    QList<ShownMessage> m_messages;
    std::optional<QuestionRecorder> m_questions;
};

void TestTransfer::init()
{
    setDisplayLanguageFlag(0);
    m_messages.clear();
    setMessageHook([this](const ShownMessage &message) { m_messages << message; });
    m_questions.emplace();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestTransfer::cleanup()
{
    m_form.reset();
    m_questions.reset();
    setMessageHook({});
    setDisplayLanguageFlag(0);
    m_dir.reset();
}

TForm1 &TestTransfer::openWindow(const QStringList &ports)
{
    qputenv("WRITEFREQ_PORTS", ports.join(u':').toLocal8Bit());
    m_form = std::make_unique<TForm1>();
    qunsetenv("WRITEFREQ_PORTS");
    m_form->comcbb->setCurrentText(ports.first());
    m_form->show();
    return *m_form;
}

TForm1 &TestTransfer::openScripted(ScriptedRadio &radio, const QStringList &morePorts)
{
    TForm1 &form = openWindow(QStringList{radio.port()} + morePorts);
    radio.attach(form.link());
    return form;
}

void TestTransfer::pressKey(TForm1 &form, Qt::Key key)
{
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus && focus->window() == &form ? focus : &form, key);
}

void TestTransfer::verifyIdle(TForm1 &form)
{
    QVERIFY(form.wbtn->isEnabled());
    QVERIFY(form.rbtn->isEnabled());
    QVERIFY(form.comcbb->isEnabled());
    QVERIFY(form.centralWidget()->isEnabled());
    QVERIFY(form.menuBar()->isEnabled());
    QVERIFY(!form.Form3->isVisible());
    QVERIFY(!form.link().Comm1.isOpen());
    QVERIFY(!form.link().Tim1.isActive());
    QVERIFY(!form.Timer1->isActive());
}

void TestTransfer::playRead(ScriptedRadio &radio, const RadioMemory &memory, int block)
{
    bool extraAck = false;
    for (; block <= kChannelCount + 1; ++block) {
        const int bank = block > kChannelCount ? 5 : 0;
        const int number = bank == 5 ? 0 : block;
        QCOMPARE(radio.take(frame::kRequestSize), request(bank, number));
        // A frame whose byte 5 is 0x30 is acknowledged right after the next request.
        if (extraAck)
            QCOMPARE(radio.take(1), kAck);
        const QByteArray reply = dataFrame(memory, bank, number);
        radio.answer(reply);
        extraAck = quint8(reply[5]) == frame::kExtraAckMark;
    }
}

void TestTransfer::playWrite(ScriptedRadio &radio, int ack)
{
    for (; ack <= kChannelCount + 1; ++ack) {
        radio.answer(kAck);
        QCOMPARE(radio.take(frame::kBlockFrameSize).left(frame::kHeaderSize),
                 ack <= kChannelCount ? header(0, ack) : header(5, 0));
    }
    radio.answer(kAck);
}

void TestTransfer::completeRead_data()
{
    QTest::addColumn<Language>("language");
    QTest::newRow("Chinese") << Language::Chinese;
    QTest::newRow("English") << Language::English;
}

void TestTransfer::completeRead()
{
    QFETCH(Language, language);
    setDisplayLanguageFlag(flagFor(language));
    const bool english = language == Language::English;

    const RadioMemory memory = RadioMemory::demo();
    TransferRadio radio(m_dir->path(), u"radio"_s);
    QVERIFY2(radio.start(memory), qPrintable(radio.errorString()));
    TForm1 &form = openWindow({radio.port()});
    form.link().Tim1.setInterval(kRelaxedRepeatMs);
    const ChannelSheet before = form.sheet();

    TransferWatch watch(form);
    if (english)
        pressKey(form, Qt::Key_F12);
    else
        form.rbtn->click();

    QVERIFY(!form.rbtn->isEnabledTo(form.centralWidget()));
    QVERIFY(form.wbtn->isEnabledTo(form.centralWidget()));
    QVERIFY(!form.comcbb->isEnabledTo(form.centralWidget()));
    QVERIFY(form.link().Comm1.isOpen());
    QVERIFY(form.link().Tim1.isActive());
    QVERIFY(!form.Timer1->isActive());
    // The progress dialog is up and modal, with its fixed layout: always on top, no close box.
    // The main window takes no input meanwhile.
    TForm3 &dialog = *form.Form3;
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);
    QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(dialog.windowFlags() & Qt::CustomizeWindowHint);
    QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(dialog.size(), QSize(544, 100));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QCOMPARE(dialog.ProgressBar1->geometry(), QRect(19, 19, 510, 30));
    QCOMPARE(dialog.Button1->geometry(), QRect(88, 59, 110, 33));
    QCOMPARE(dialog.Button2->geometry(), QRect(320, 59, 110, 33));
    QVERIFY(!form.centralWidget()->isEnabled());
    QVERIFY(!form.menuBar()->isEnabled());
    QCOMPARE(dialog.pos(), form.pos() + QPoint(150, 250));
    QCOMPARE(dialog.windowTitle(), english ? u"Read Data From Radio"_s : u"从对讲机读取数据"_s);
    QCOMPARE(dialog.Button1->text(), english ? u"RETRY"_s : u"重试"_s);
    QCOMPARE(dialog.Button2->text(), english ? u"CANCEL"_s : u"取消"_s);
    QCOMPARE(dialog.ProgressBar1->minimum(), 0);
    QCOMPARE(dialog.ProgressBar1->maximum(), 16);
    QCOMPARE(dialog.ProgressBar1->value(), 0);

    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    const ShownMessage done = m_messages.first();
    if (english) {
        QCOMPARE(done.kind, MessageKind::Plain);
        QCOMPARE(done.caption, u"WRITE FREQ V2.0"_s);
        QCOMPARE(done.text, u"         READ SUCCEED!"_s);
    } else {
        QCOMPARE(done.kind, MessageKind::Information);
        QCOMPARE(done.caption, u"提示"_s);
        QCOMPARE(done.text, u"读取成功!"_s);
    }

    // The 18 requests in order. (The scripted tests show that none is repeated.)
    QCOMPARE(withoutRepeats(radio.received()), completeReadRequests());
    QCOMPARE(distinct(watch.bar), range(0, 16));
    QVERIFY(!watch.barShown.mid(1).contains(false)); // reset to 0 before it is shown

    const ChannelSheet expected = expectedAfterRead(memory, before, language);
    for (int r = 1; r <= kChannelCount; ++r)
        QCOMPARE(form.channelRow(r), expected.rows[r]);
    QCOMPARE(form.settingsTexts(), expected.settings);
    // A few texts the way the demonstration image is documented.
    QCOMPARE(form.xg->Cells(column::RxFrequency, 1), u"438.50000"_s);
    QCOMPARE(form.xg->Cells(column::Power, 1), words::kHigh.in(language).toString());
    QCOMPARE(form.xg->Cells(column::DecodeTone, 5), u"023N"_s);
    QCOMPARE(form.xg->Cells(column::EncodeTone, 6), u"754I"_s);
    QCOMPARE(form.xg->Cells(column::TxFrequency, 13), u"467.56250"_s);
    QVERIFY(form.xg->Cells(column::RxFrequency, 15).isEmpty());
    QCOMPARE(form.settingsTexts()[setting::TimeOut], u"60"_s);

    for (QAction *item : {form.DTMF1, form.N2TONE1, form.N5TONE1, form.FSK1})
        QVERIFY(item->isEnabled());
    VERIFY_IDLE(form);
}

void TestTransfer::completeWrite_data()
{
    QTest::addColumn<Language>("language");
    QTest::newRow("Chinese") << Language::Chinese;
    QTest::newRow("English") << Language::English;
}

void TestTransfer::completeWrite()
{
    QFETCH(Language, language);
    setDisplayLanguageFlag(flagFor(language));
    const bool english = language == Language::English;

    const RadioMemory demo = RadioMemory::demo();
    TransferRadio radio(m_dir->path(), u"radio"_s);
    QVERIFY2(radio.start(demo), qPrintable(radio.errorString()));
    TForm1 &form = openWindow({radio.port()});
    form.link().Tim1.setInterval(kRelaxedRepeatMs);
    const auto rows = variedChannels(language);
    for (int r = 1; r <= kChannelCount; ++r)
        form.setChannelRow(r, rows[r]);
    form.setSettingsTexts(variedSettings(language));

    // The frames the radio must get: each built where the frame before it left the buffer.
    FrameBuffer model = form.link().TxBuffer;
    putHandshake(model);
    QList<QByteArray> expectedFrames{kHandshake};
    for (int r = 1; r <= kChannelCount + 1; ++r) {
        const Conversion built = r <= kChannelCount
                                     ? EncodeChannelBlock(model, r, rows[r])
                                     : EncodeSettingsBlock(model, variedSettings(language));
        QVERIFY2(built.ok(), qPrintable(built.error));
        ComputeFrameCrc(model);
        expectedFrames << bytesOf(model, 0, frame::kBlockFrameSize);
    }

    TransferWatch watch(form);
    if (english)
        pressKey(form, Qt::Key_F11);
    else
        form.wbtn->click();
    QVERIFY(!form.wbtn->isEnabledTo(form.centralWidget()));
    QVERIFY(form.rbtn->isEnabledTo(form.centralWidget()));
    QVERIFY(!form.comcbb->isEnabledTo(form.centralWidget()));
    QVERIFY(form.Form3->isVisible());
    QVERIFY(!form.centralWidget()->isEnabled());
    QCOMPARE(form.Form3->windowTitle(), english ? u"Write Data To Radio"_s : u"向对讲机写入数据"_s);
    QCOMPARE(form.Form3->ProgressBar1->maximum(), 17);
    QCOMPARE(form.Form3->ProgressBar1->value(), 0);
    QCOMPARE(form.link().WriteAckCount, 0);
    QVERIFY(!form.Timer1->isActive());

    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    const ShownMessage done = m_messages.first();
    if (english) {
        QCOMPARE(done.kind, MessageKind::Plain);
        QCOMPARE(done.text, u"       WRITE SUCCEED!"_s);
    } else {
        QCOMPARE(done.kind, MessageKind::Information);
        QCOMPARE(done.caption, u"提示"_s);
        QCOMPARE(done.text, u"写入成功!"_s);
    }

    // The handshake, then the 16 channel blocks and the settings, with their CRCs.
    const QList<QByteArray> frames = withoutRepeats(radio.received());
    QCOMPARE(frames, expectedFrames);
    for (const QByteArray &frame : frames.mid(1))
        QVERIFY(hasValidFrameCrc(raw(frame)));
    QCOMPARE(distinct(watch.bar), range(0, 17));

    // The radio holds exactly what was sent; its signalling tables are untouched.
    const RadioMemory stored = radio.image();
    for (int r = 1; r <= kChannelCount + 1; ++r) {
        const QByteArray &frame = expectedFrames[r];
        const int bank = frame[1], block = frame[2];
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(stored.payload(bank, block).data()),
                            frame::kPayloadSize),
                 frame.mid(frame::kPayloadOffset, frame::kPayloadSize));
    }
    for (const auto &id : RadioMemory::blocks()) {
        if (id.bank != 0 && id.bank != 5)
            QCOMPARE(hex(stored.payload(id.bank, id.block)), hex(demo.payload(id.bank, id.block)));
    }

    // A write alone does not open the signalling editors.
    for (QAction *item : {form.DTMF1, form.N2TONE1, form.N5TONE1, form.FSK1})
        QVERIFY(!item->isEnabled());
    QCOMPARE(form.link().WriteAckCount, 0);
    VERIFY_IDLE(form);
}

void TestTransfer::readThenWriteReturnsEveryDefinedByte()
{
    const RadioMemory source = variedMemory();
    TransferRadio from(m_dir->path(), u"from"_s);
    TransferRadio to(m_dir->path(), u"to"_s);
    QVERIFY2(from.start(source), qPrintable(from.errorString()));
    QVERIFY2(to.start(RadioMemory()), qPrintable(to.errorString()));
    TForm1 &form = openWindow({from.port(), to.port()});
    form.link().Tim1.setInterval(kRelaxedRepeatMs);

    form.rbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.last().text, u"读取成功!"_s);
    QCOMPARE(withoutRepeats(from.received()), variedReadRequests());

    form.comcbb->setCurrentText(to.port());
    form.wbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 2, kTransferTimeoutMs);
    QCOMPARE(m_messages.last().text, u"写入成功!"_s);
    // The write leaves the signalling editors as the read left them.
    for (QAction *item : {form.DTMF1, form.N2TONE1, form.N5TONE1, form.FSK1})
        QVERIFY(item->isEnabled());
    VERIFY_IDLE(form);

    const RadioMemory copy = to.image();
    for (const auto &id : RadioMemory::blocks()) {
        if (id.bank != 0 && id.bank != 5)
            continue;
        QCOMPARE(definedBytes(id.bank, copy.payload(id.bank, id.block)).toHex(' '),
                 definedBytes(id.bank, source.payload(id.bank, id.block)).toHex(' '));
    }
}

void TestTransfer::radioWithItsOwnCrc()
{
    // A radio that stores its CRC the other way round: no frame passes the check, so the
    // repeat asks for every block again, and the second copy, alike, is taken.
    const RadioMemory memory = RadioMemory::demo();
    TransferRadio radio(m_dir->path(), u"radio"_s, {u"--foreign-crc"_s});
    QVERIFY2(radio.start(memory), qPrintable(radio.errorString()));
    TForm1 &form = openWindow({radio.port()});
    const ChannelSheet before = form.sheet();

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"CRC differs"_s));
    form.rbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, 3 * kTransferTimeoutMs);
    QCOMPARE(m_messages.first().text, u"读取成功!"_s);
    const ChannelSheet expected = expectedAfterRead(memory, before, Language::Chinese);
    for (int r = 1; r <= kChannelCount; ++r)
        QCOMPARE(form.channelRow(r), expected.rows[r]);
    QCOMPARE(form.settingsTexts(), expected.settings);

    // Each request went out, and once more as the repeat, before the read moved on.
    const QList<QByteArray> received = radio.received();
    QCOMPARE(withoutRepeats(received), completeReadRequests());
    for (const QByteArray &asked : completeReadRequests().mid(1)) {
        QVERIFY(std::any_of(received.begin(), received.end(), [&](const QByteArray &frame) {
            return frame.size() == frame::kBlockFrameSize && frame.startsWith(asked);
        }));
    }
    VERIFY_IDLE(form);
}

void TestTransfer::frameSplitBeforeAByteThatLooksLikeAnAcknowledgement()
{
    // Channel 4's frame carries 0x06 at frame byte 24, and the radio stalls just before it: the
    // window gets the frame in two pieces, the second starting with 0x06. Neither piece is a
    // frame, and a 0x06 is no answer once the handshake has had its own: the read is not sent
    // back to channel 1. The repeat asks for channel 4 again and the read goes on.
    RadioMemory memory = RadioMemory::demo();
    Payload marked = memory.payload(0, 4);
    marked[20] = frame::kAck;
    memory.setPayload(0, 4, marked);
    TransferRadio radio(
        m_dir->path(), u"radio"_s,
        {u"--split-reply"_s, u"4"_s, u"--split-at"_s, u"24"_s, u"--split-pause"_s, u"150"_s});
    QVERIFY2(radio.start(memory), qPrintable(radio.errorString()));
    TForm1 &form = openWindow({radio.port()});
    const ChannelSheet before = form.sheet();

    TransferWatch watch(form);
    form.rbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.first().text, u"读取成功!"_s);
    QVERIFY(watch.chunks.contains(dataFrame(memory, 0, 4).mid(24)));

    const QList<QByteArray> received = radio.received();
    QCOMPARE(received.count(request(0, 1)), 1);
    QCOMPARE(withoutRepeats(received), completeReadRequests());
    const ChannelSheet expected = expectedAfterRead(memory, before, Language::Chinese);
    for (int r = 1; r <= kChannelCount; ++r)
        QCOMPARE(form.channelRow(r), expected.rows[r]);
    VERIFY_IDLE(form);
}

void TestTransfer::lostLine_data()
{
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("message");
    QTest::newRow("Chinese") << Language::Chinese
                             << u"与对讲机的连接已断开。请检查连接线，然后按“重试”或“取消”。"_s;
    QTest::newRow("English")
        << Language::English
        << u"The line to the radio was lost. Check the cable, then press RETRY or CANCEL."_s;
}

void TestTransfer::lostLine()
{
    QFETCH(Language, language);
    QFETCH(QString, message);
    setDisplayLanguageFlag(flagFor(language));

    // The cable comes out on the sixth frame of a read: the window says so, stops repeating
    // into nothing, and leaves Retry and Cancel to the user.
    const RadioMemory memory = RadioMemory::demo();
    TransferRadio radio(m_dir->path(), u"radio"_s, {u"--hangup-after"_s, u"6"_s});
    QVERIFY2(radio.start(memory), qPrintable(radio.errorString()));
    TForm1 &form = openWindow({radio.port()});
    form.link().Tim1.setInterval(kRelaxedRepeatMs);
    const ChannelSheet before = form.sheet();

    form.rbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.first().kind, MessageKind::Error);
    QCOMPARE(m_messages.first().text, message);
    QVERIFY(!form.link().Tim1.isActive());
    QVERIFY(form.Form3->isVisible());
    QVERIFY(form.Form3->Button1->isEnabled());
    QVERIFY(form.Form3->Button2->isEnabled());
    QVERIFY(!form.rbtn->isEnabledTo(form.centralWidget()));

    // Retry with the cable still out reports that the port will not open.
    radio.stop(); // the radio has gone with its line
    form.Form3->Button1->click();
    QCOMPARE(m_messages.size(), 2);
    QVERIFY2(
        m_messages.last().text.contains(
            radio.port() + (language == Language::English ? u" cannot be opened: "_s : u"："_s)),
        qPrintable(m_messages.last().text));
    QVERIFY(form.Form3->isVisible());

    // With the cable back, Retry reads the radio from the start.
    TransferRadio again(m_dir->path(), u"again"_s, {}, radio.port());
    QVERIFY2(again.start(memory), qPrintable(again.errorString()));
    form.Form3->Button1->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 3, kTransferTimeoutMs);
    QCOMPARE(m_messages.last().kind,
             language == Language::English ? MessageKind::Plain : MessageKind::Information);
    QCOMPARE(withoutRepeats(again.received()), completeReadRequests());
    const ChannelSheet expected = expectedAfterRead(memory, before, language);
    for (int r = 1; r <= kChannelCount; ++r)
        QCOMPARE(form.channelRow(r), expected.rows[r]);
    VERIFY_IDLE(form);
}

void TestTransfer::acknowledgementsInOneChunkCountOnce()
{
    // A radio that sends every 0x06 twice in one burst: the line brings them as one chunk, and
    // the window counts it once, so the write goes block by block as usual.
    TransferRadio radio(m_dir->path(), u"radio"_s, {u"--double-ack"_s, u"--no-pacing"_s});
    QVERIFY2(radio.start(RadioMemory()), qPrintable(radio.errorString()));
    TForm1 &form = openWindow({radio.port()});
    form.link().Tim1.setInterval(kRelaxedRepeatMs);
    const auto rows = variedChannels(Language::Chinese);
    for (int r = 1; r <= kChannelCount; ++r)
        form.setChannelRow(r, rows[r]);

    TransferWatch watch(form);
    form.wbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.first().text, u"写入成功!"_s);
    QCOMPARE(watch.chunks, QList<QByteArray>(18, kAck + kAck));
    const QList<QByteArray> frames = withoutRepeats(radio.received());
    QCOMPARE(frames.size(), 18);
    for (int r = 1; r <= kChannelCount; ++r)
        QCOMPARE(frames[r].left(4), header(0, r));
    const RadioMemory stored = radio.image();
    FrameBuffer tx{};
    for (int r = 1; r <= kChannelCount; ++r) {
        QVERIFY(EncodeChannelBlock(tx, r, rows[r]).ok());
        QCOMPARE(definedBytes(0, stored.payload(0, r)).toHex(' '),
                 definedBytes(0, payloadOf(tx)).toHex(' '));
    }
    VERIFY_IDLE(form);
}

void TestTransfer::portThatWillNotOpen_data()
{
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("message");
    QTest::newRow("Chinese") << Language::Chinese
                             << u"无法打开串口 /nonexistent/radio：No such file or directory\n"
                                u"请检查串口名称和连接线，并确认没有别的程序正在使用这个串口。"_s;
    QTest::newRow("English") << Language::English
                             << u"The serial port /nonexistent/radio cannot be opened: No such "
                                u"file or directory\nCheck the port's name and the cable, and that "
                                u"no other program is using the port."_s;
}

void TestTransfer::portThatWillNotOpen()
{
    QFETCH(Language, language);
    QFETCH(QString, message);
    setDisplayLanguageFlag(flagFor(language));
    // The message names the port and the system's reason, in the language the window shows.
    TForm1 &form = openWindow({u"/nonexistent/radio"_s});
    for (QPushButton *button : {form.wbtn, form.rbtn}) {
        m_messages.clear();
        button->click();
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages.first().kind, MessageKind::Error);
        QCOMPARE(m_messages.first().text, message);
        VERIFY_IDLE(form);
    }
}

void TestTransfer::unconvertibleTextStopsTheWriteBeforeTheHandshake_data()
{
    QTest::addColumn<int>("row"); // 0 for the settings box
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("last channel's receive frequency")
        << 16 << int(column::RxFrequency) << u"14X.5"_s
        << u"'14X.5' is not a valid floating point value"_s;
    QTest::newRow("tone") << 1 << int(column::EncodeTone) << u"6X.5"_s
                          << u"'6X.5' is not a valid floating point value"_s;
    QTest::newRow("time-out timer")
        << 0 << int(setting::TimeOut) << u"6O"_s << u"'6O' is not a valid integer value"_s;
}

void TestTransfer::unconvertibleTextStopsTheWriteBeforeTheHandshake()
{
    QFETCH(int, row);
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QString, message);

    TransferRadio radio(m_dir->path(), u"radio"_s);
    QVERIFY2(radio.start(RadioMemory::demo()), qPrintable(radio.errorString()));
    TForm1 &form = openWindow({radio.port()});
    const auto rows = variedChannels(Language::Chinese);
    for (int r = 1; r <= kChannelCount; ++r)
        form.setChannelRow(r, rows[r]);
    // A hand-edited data file can hold what the table's checks would never let through.
    if (row > 0) {
        form.xg->setCells(index, row, text);
    } else {
        SettingsTexts settings = form.settingsTexts();
        settings[index] = text;
        form.setSettingsTexts(settings);
    }
    const FrameBuffer buffer = form.link().TxBuffer;

    form.wbtn->click();
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().kind, MessageKind::Error);
    QCOMPARE(m_messages.first().text, message);
    // The port was never even opened, so not a byte reached the radio.
    QCOMPARE(form.link().Comm1.CommName(), TCommSettings().commName);
    QVERIFY(radio.received().isEmpty());
    QVERIFY(form.link().TxBuffer == buffer);
    VERIFY_IDLE(form);
}

void TestTransfer::exactFrames_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::newRow("read") << Kind::Read;
    QTest::newRow("write") << Kind::Write;
}

void TestTransfer::exactFrames()
{
    // A radio that answers every frame at once: each answer brings the next frame at once, so
    // no frame is ever repeated, and the bar steps once per block.
    QFETCH(Kind, kind);
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    TForm1 &form = openScripted(radio);
    const ChannelSheet before = form.sheet();
    const RadioMemory memory = variedMemory();
    const auto rows = variedChannels(Language::Chinese);
    TransferWatch watch(form);

    if (kind == Kind::Read) {
        form.rbtn->click();
        QCOMPARE(radio.take(7), kHandshake);
        radio.answer(kAck);
        playRead(radio, memory, 1);
        QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
        QCOMPARE(m_messages.first().text, u"读取成功!"_s);
        QCOMPARE(watch.bar, range(0, 16));
        QVERIFY(!watch.barShown.mid(1).contains(false));
        const ChannelSheet expected = expectedAfterRead(memory, before, Language::Chinese);
        for (int r = 1; r <= kChannelCount; ++r)
            QCOMPARE(form.channelRow(r), expected.rows[r]);
        QCOMPARE(form.settingsTexts(), expected.settings);
    } else {
        for (int r = 1; r <= kChannelCount; ++r)
            form.setChannelRow(r, rows[r]);
        FrameBuffer model = form.link().TxBuffer;
        putHandshake(model);
        form.wbtn->click();
        QCOMPARE(radio.take(7), kHandshake);
        for (int r = 1; r <= kChannelCount + 1; ++r) {
            radio.answer(kAck);
            QVERIFY(r <= kChannelCount ? EncodeChannelBlock(model, r, rows[r]).ok()
                                       : EncodeSettingsBlock(model, form.settingsTexts()).ok());
            ComputeFrameCrc(model);
            QCOMPARE(radio.take(34), bytesOf(model, 0, frame::kBlockFrameSize));
            QCOMPARE(form.link().WriteAckCount, r);
        }
        // The write is done only when the radio has taken the settings.
        QVERIFY(m_messages.isEmpty());
        QVERIFY(form.Form3->isVisible());
        radio.answer(kAck);
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages.first().text, u"写入成功!"_s);
        QCOMPARE(watch.bar, range(0, 17));
    }
    QVERIFY(radio.quietFor(100));
    QCOMPARE(radio.ticks, 0);
    VERIFY_IDLE(form);
}

void TestTransfer::noRadioAnswers_data()
{
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("hint"); // %1: the port
    QTest::newRow("Chinese") << Language::Chinese
                             << u"端口 %1 上没有对讲机应答。请检查连接线是否插好、对讲机是否已开机"
                                u"并处于写频状态，然后按“重试”或“取消”。"_s;
    QTest::newRow("English") << Language::English
                             << u"No radio answers on port %1. Check that the cable is plugged in "
                                u"and that the radio is switched on and in programming mode, then "
                                u"press RETRY or CANCEL."_s;
}

void TestTransfer::noRadioAnswers()
{
    QFETCH(Language, language);
    QFETCH(QString, hint);
    setDisplayLanguageFlag(flagFor(language));

    // Nothing answers the handshake: the repeat goes on as always, and after a few quiet
    // seconds the dialog says which port stays silent and what to check.
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    TForm1 &form = openScripted(radio);
    TForm3 &dialog = *form.Form3;
    form.rbtn->click();
    QCOMPARE(radio.take(7), kHandshake);
    QVERIFY(dialog.NoAnswerTimer.isActive());
    QCOMPARE(dialog.NoAnswerTimer.interval(), 3000);
    QVERIFY(!dialog.NoAnswerLabel->isVisible());
    QCOMPARE(dialog.size(), QSize(544, 100));

    dialog.NoAnswerTimerTimer(); // as the timer does once three quiet seconds have passed
    QVERIFY(dialog.NoAnswerLabel->isVisible());
    QCOMPARE(dialog.NoAnswerLabel->text(), hint.arg(radio.port()));
    QVERIFY(dialog.height() >= dialog.NoAnswerLabel->geometry().bottom());
    QVERIFY(dialog.Button1->isEnabled() && dialog.Button2->isEnabled());
    QVERIFY(radio.tick()); // the repeat keeps going
    QCOMPARE(radio.take(34).left(7), kHandshake);

    // The radio wakes up: the hint goes and the read goes on.
    radio.answer(kAck);
    QTRY_VERIFY(!dialog.NoAnswerLabel->isVisible());
    QCOMPARE(dialog.size(), QSize(544, 100));
    QVERIFY(dialog.NoAnswerTimer.isActive());
    playRead(radio, RadioMemory::demo(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QVERIFY(!dialog.NoAnswerTimer.isActive());
}

void TestTransfer::repeatAfterLostHandshake()
{
    // A radio not yet listening misses the handshake; the repeat sends it again, 34 bytes of the
    // buffer as an earlier transfer left them, and the read goes on from there.
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    TForm1 &form = openScripted(radio);
    const RadioMemory memory = RadioMemory::demo();
    const ChannelSheet before = form.sheet();
    form.link().TxBuffer.fill(0xA5);
    FrameBuffer model = form.link().TxBuffer;
    putHandshake(model);
    ComputeFrameCrc(model);

    form.rbtn->click();
    QCOMPARE(radio.take(7), kHandshake);
    QVERIFY(radio.quietFor(100));
    QVERIFY(radio.tick());
    const QByteArray repeat = radio.take(34);
    QCOMPARE(repeat, bytesOf(model, 0, frame::kBlockFrameSize));
    QCOMPARE(repeat.mid(7, 25), QByteArray(25, char(0xA5)));
    radio.answer(kAck);
    playRead(radio, memory, 1);
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.first().text, u"读取成功!"_s);

    const ChannelSheet expected = expectedAfterRead(memory, before, Language::Chinese);
    for (int r = 1; r <= kChannelCount; ++r)
        QCOMPARE(form.channelRow(r), expected.rows[r]);
    VERIFY_IDLE(form);
}

void TestTransfer::repeatAfterLostAcknowledgement()
{
    // The acknowledgement of channel 5 arrives garbled (0xF9): it is no acknowledgement, so the
    // window counts nothing, repeats channel 5, and the radio's answer to the repeat moves the
    // write on.
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    TForm1 &form = openScripted(radio);
    const auto rows = variedChannels(Language::Chinese);
    for (int r = 1; r <= kChannelCount; ++r)
        form.setChannelRow(r, rows[r]);

    form.wbtn->click();
    QCOMPARE(radio.take(7), kHandshake);
    QByteArray fifth;
    for (int r = 1; r <= 5; ++r) {
        radio.answer(kAck);
        fifth = radio.take(34);
        QCOMPARE(fifth.left(4), header(0, r));
    }
    radio.answer(QByteArray(1, char(0xF9)));
    QVERIFY(radio.quietFor(100));
    QCOMPARE(form.link().WriteAckCount, 5);
    QCOMPARE(form.Form3->ProgressBar1->value(), 5);
    QVERIFY(radio.tick());
    QCOMPARE(radio.take(34), fifth);
    playWrite(radio, 6);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().text, u"写入成功!"_s);
    QCOMPARE(radio.ticks, 1);
    VERIFY_IDLE(form);
}

void TestTransfer::repeatAfterLostRequest()
{
    // The request for channel 5 gets lost on the way: the window repeats the buffer as it stands,
    // the request followed by what the handshake left, and the read goes on with the answer.
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    const RadioMemory memory = variedMemory();
    TForm1 &form = openScripted(radio);
    const ChannelSheet before = form.sheet();
    form.link().TxBuffer.fill(0x3C);
    FrameBuffer model = form.link().TxBuffer;
    putHandshake(model);
    ComputeFrameCrc(model);
    putReadRequest(model, 0, 5);

    form.rbtn->click();
    QCOMPARE(radio.take(7), kHandshake);
    radio.answer(kAck);
    for (int block = 1; block <= 4; ++block) {
        QCOMPARE(radio.take(4), request(0, block));
        radio.answer(dataFrame(memory, 0, block));
    }
    QCOMPARE(radio.take(4), request(0, 5));
    QVERIFY(radio.tick());
    const QByteArray repeat = radio.take(34);
    QCOMPARE(repeat, bytesOf(model, 0, frame::kBlockFrameSize));
    radio.answer(dataFrame(memory, 0, 5));
    playRead(radio, memory, 6);
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.first().text, u"读取成功!"_s);
    QCOMPARE(radio.ticks, 1);

    const ChannelSheet expected = expectedAfterRead(memory, before, Language::Chinese);
    for (int r = 1; r <= kChannelCount; ++r)
        QCOMPARE(form.channelRow(r), expected.rows[r]);
    QCOMPARE(form.settingsTexts(), expected.settings);
    VERIFY_IDLE(form);
}

void TestTransfer::retry_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::newRow("read") << Kind::Read;
    QTest::newRow("write") << Kind::Write;
}

void TestTransfer::retry()
{
    QFETCH(Kind, kind);
    const bool reading = kind == Kind::Read;

    // The radio goes quiet after the handshake and five blocks. Retry on a port that will not
    // open says so; Retry on the radio's port starts over from the handshake, block 1 first.
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    TForm1 &form = openScripted(radio, {u"/nonexistent/radio"_s});
    const RadioMemory memory = variedMemory();
    const ChannelSheet before = form.sheet();
    const auto rows = variedChannels(Language::Chinese);
    if (!reading) {
        for (int r = 1; r <= kChannelCount; ++r)
            form.setChannelRow(r, rows[r]);
    }

    (reading ? form.rbtn : form.wbtn)->click();
    QCOMPARE(radio.take(7), kHandshake);
    if (reading)
        radio.answer(kAck);
    for (int block = 1; block <= 5; ++block) {
        if (reading) {
            QCOMPARE(radio.take(4), request(0, block));
            radio.answer(dataFrame(memory, 0, block));
        } else {
            radio.answer(kAck);
            QCOMPARE(radio.take(34).left(4), header(0, block));
        }
    }
    if (!reading)
        radio.answer(kAck);
    const QByteArray stalled = radio.take(reading ? 4 : 34);
    QCOMPARE(stalled.left(4), reading ? request(0, 6) : header(0, 6));
    QVERIFY(radio.tick());
    QCOMPARE(radio.take(34).left(4), stalled.left(4));
    QCOMPARE(form.Form3->ProgressBar1->value(), reading ? 5 : 6);

    form.comcbb->setCurrentIndex(form.comcbb->findText(u"/nonexistent/radio"_s));
    form.Form3->Button1->click();
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().kind, MessageKind::Error);
    QVERIFY2(m_messages.first().text.startsWith(u"无法打开串口 /nonexistent/radio："_s),
             qPrintable(m_messages.first().text));
    QVERIFY(form.Form3->isVisible());
    QVERIFY(!form.link().Tim1.isActive());
    QVERIFY(!(reading ? form.rbtn : form.wbtn)->isEnabledTo(form.centralWidget()));

    form.comcbb->setCurrentIndex(form.comcbb->findText(radio.port()));
    form.Form3->Button1->click();
    TransferWatch watch(form);
    QCOMPARE(form.Form3->ProgressBar1->value(), 0);
    QVERIFY(form.link().Tim1.isActive());
    QCOMPARE(radio.take(7), kHandshake);
    radio.answer(kAck);
    if (reading) {
        playRead(radio, memory, 1);
        QCOMPARE(watch.bar, range(1, 16));
        const ChannelSheet expected = expectedAfterRead(memory, before, Language::Chinese);
        for (int r = 1; r <= kChannelCount; ++r)
            QCOMPARE(form.channelRow(r), expected.rows[r]);
    } else {
        QCOMPARE(radio.take(34).left(4), header(0, 1));
        playWrite(radio, 2);
        QCOMPARE(watch.bar, range(1, 17));
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 2, kTransferTimeoutMs);
    QCOMPARE(m_messages.last().text, reading ? u"读取成功!"_s : u"写入成功!"_s);
    VERIFY_IDLE(form);
}

void TestTransfer::cancel_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("answered"); // frames the radio answers before it goes quiet
    QTest::addColumn<int>("rowsRead");
    QTest::addColumn<int>("bar");

    QTest::newRow("handshake pending") << Kind::Read << 0 << 0 << 0;
    QTest::newRow("mid-read") << Kind::Read << 6 << 5 << 5;
    QTest::newRow("mid-write") << Kind::Write << 6 << 0 << 6;
    QTest::newRow("after the settings request") << Kind::Read << 17 << 16 << 16;
}

void TestTransfer::cancel()
{
    QFETCH(Kind, kind);
    QFETCH(int, answered);
    QFETCH(int, rowsRead);
    QFETCH(int, bar);

    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    TForm1 &form = openScripted(radio);
    const RadioMemory memory = RadioMemory::demo();
    const ChannelSheet before = form.sheet();

    (kind == Kind::Read ? form.rbtn : form.wbtn)->click();
    QCOMPARE(radio.take(7), kHandshake);
    for (int step = 1; step <= answered; ++step) {
        if (kind == Kind::Write) {
            radio.answer(kAck);
            QCOMPARE(radio.take(34).left(4), header(0, step));
        } else if (step == 1) {
            radio.answer(kAck);
        } else {
            QCOMPARE(radio.take(4), request(0, step - 1));
            radio.answer(dataFrame(memory, 0, step - 1));
        }
    }
    // However long the radio keeps quiet, the dialog stays within reach.
    for (int i = 0; i < 3; ++i)
        QVERIFY(radio.tick());
    QCOMPARE(form.Form3->ProgressBar1->value(), bar);
    QVERIFY(form.Form3->isVisible());
    QVERIFY(form.Form3->Button1->isEnabled());
    QVERIFY(form.Form3->Button2->isEnabled());
    QVERIFY(form.link().Tim1.isActive());
    QVERIFY(!form.Timer1->isActive());
    const int ackCount = form.link().WriteAckCount;

    form.Form3->Button2->click();
    VERIFY_IDLE(form);
    QVERIFY(m_messages.isEmpty());
    // A read that did not finish leaves the signalling editors closed.
    QVERIFY(!form.DTMF1->isEnabled());
    // What was read stays; the settings never came.
    ChannelSheet expected = before;
    for (int r = 1; r <= rowsRead; ++r)
        DecodeChannelBlock(raw(dataFrame(memory, 0, r)), expected.rows[r], Language::Chinese);
    for (int r = 1; r <= kChannelCount; ++r)
        QCOMPARE(form.channelRow(r), expected.rows[r]);
    QCOMPARE(form.settingsTexts(), before.settings);
    QCOMPARE(form.link().WriteAckCount, ackCount);

    // The next write starts from the handshake with its count at 0.
    radio.take(4096, 200); // whatever the repeats left on the line
    form.wbtn->click();
    QCOMPARE(radio.take(7), kHandshake);
    playWrite(radio, 1);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().text, u"写入成功!"_s);
    VERIFY_IDLE(form);
}

void TestTransfer::extraAcknowledgement()
{
    // Channel 3's frame has 0x30 in byte 5: the window sends one 0x06 after its next request.
    // The request stays in the buffer, so that a repeat asks for channel 4 again.
    RadioMemory memory = RadioMemory::demo();
    Payload marked = memory.payload(0, 3);
    marked[1] = frame::kExtraAckMark;
    memory.setPayload(0, 3, marked);
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    TForm1 &form = openScripted(radio);
    const ChannelSheet before = form.sheet();
    form.link().TxBuffer.fill(0x11);
    FrameBuffer model = form.link().TxBuffer;
    putHandshake(model);
    ComputeFrameCrc(model);
    putReadRequest(model, 0, 4);

    form.rbtn->click();
    QCOMPARE(radio.take(7), kHandshake);
    radio.answer(kAck);
    for (int block = 1; block <= 3; ++block) {
        QCOMPARE(radio.take(4), request(0, block));
        radio.answer(dataFrame(memory, 0, block));
    }
    QCOMPARE(radio.take(5), request(0, 4) + kAck);
    QVERIFY(radio.tick());
    QCOMPARE(radio.take(34), bytesOf(model, 0, frame::kBlockFrameSize));
    // The frame itself went into the table like any other.
    ChannelRow row = before.rows[3];
    DecodeChannelBlock(raw(dataFrame(memory, 0, 3)), row, Language::Chinese);
    QCOMPARE(form.channelRow(3), row);
    form.Form3->Button2->click();
    VERIFY_IDLE(form);
}

void TestTransfer::acknowledgementsInTwoChunksCountTwice()
{
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    TForm1 &form = openScripted(radio);

    form.wbtn->click();
    QCOMPARE(radio.take(7), kHandshake);
    // Two 0x06 in one chunk count once: channel 1 and nothing more.
    radio.answer(kAck + kAck);
    QCOMPARE(radio.take(34).left(4), header(0, 1));
    QVERIFY(radio.quietFor(100));
    QCOMPARE(form.link().WriteAckCount, 1);
    // Two 0x06 in two chunks count twice: channels 2 and 3 go out although the radio answered
    // only once for channel 1.
    radio.answer(kAck);
    radio.answer(kAck);
    QCOMPARE(radio.take(34).left(4), header(0, 2));
    QCOMPARE(radio.take(34).left(4), header(0, 3));
    QCOMPARE(form.link().WriteAckCount, 3);
    QCOMPARE(form.Form3->ProgressBar1->value(), 3);
    playWrite(radio, 4);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().text, u"写入成功!"_s);
    VERIFY_IDLE(form);
}

void TestTransfer::strayChunkSendsTheSettingsAgain()
{
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    TForm1 &form = openScripted(radio);
    const QByteArray stray(1, char(0x55));

    form.wbtn->click();
    QCOMPARE(radio.take(7), kHandshake);
    radio.answer(kAck);
    for (int block = 1; block <= kChannelCount; ++block) {
        QCOMPARE(radio.take(34).left(4), header(0, block));
        if (block == 8) {
            // A stray chunk in the middle of the channels is ignored.
            radio.answer(stray);
            QVERIFY(radio.quietFor(100));
            QCOMPARE(form.link().WriteAckCount, 8);
        }
        radio.answer(kAck);
    }
    const QByteArray settings = radio.take(34);
    QCOMPARE(settings.left(4), header(5, 0));
    QVERIFY(hasValidFrameCrc(raw(settings)));
    // While the count stands at 17, any chunk brings the settings frame again.
    radio.answer(stray);
    QCOMPARE(radio.take(34), settings);
    radio.answer("\x57\x00"_ba);
    QCOMPARE(radio.take(34), settings);
    QCOMPARE(form.link().WriteAckCount, 17);
    QVERIFY(form.Form3->isVisible());
    radio.answer(kAck);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().text, u"写入成功!"_s);
    QVERIFY(radio.quietFor(100));
    VERIFY_IDLE(form);
}

void TestTransfer::unexpectedDataFrames_data()
{
    QTest::addColumn<int>("block");   // the channel whose request gets an unexpected answer
    QTest::addColumn<QString>("how"); // what the radio sends for it
    QTest::newRow("channel 6 for channel 5") << 5 << u"next block"_s;
    QTest::newRow("channel 16 for channel 15") << 15 << u"next block"_s;
    QTest::newRow("channel 2 again for channel 3") << 3 << u"block before"_s;
    QTest::newRow("block 17 for channel 16") << 16 << u"next block"_s;
    QTest::newRow("channel 3 corrupted on the line") << 3 << u"corrupted"_s;
}

void TestTransfer::unexpectedDataFrames()
{
    QFETCH(int, block);
    QFETCH(QString, how);

    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    TForm1 &form = openScripted(radio);
    const RadioMemory memory = RadioMemory::demo();
    const ChannelSheet before = form.sheet();
    TransferWatch watch(form);

    form.rbtn->click();
    QCOMPARE(radio.take(7), kHandshake);
    radio.answer(kAck);
    for (int b = 1; b < block; ++b) {
        QCOMPARE(radio.take(4), request(0, b));
        radio.answer(dataFrame(memory, 0, b));
    }
    QCOMPARE(radio.take(4), request(0, block));
    ChannelSheet expected = before;
    if (how == u"corrupted") {
        // A payload byte flipped on the way: the CRC fails, the frame is left unanswered and
        // stored nowhere, and the repeat brings a sound copy.
        QByteArray spoilt = dataFrame(memory, 0, block);
        spoilt[frame::kPayloadOffset] = char(spoilt[frame::kPayloadOffset] ^ 0xFF);
        radio.answer(spoilt);
        QVERIFY(radio.quietFor(100));
        QCOMPARE(form.channelRow(block), before.rows[block]);
        QVERIFY(radio.tick());
        QCOMPARE(radio.take(34).left(4), request(0, block));
        radio.answer(dataFrame(memory, 0, block));
        playRead(radio, memory, block + 1);
        expected = expectedAfterRead(memory, before, Language::Chinese);
    } else {
        // A block that was not asked for is stored nowhere and asks for nothing: the repeat
        // asks for the block again, and the read is complete only once every block came.
        const int other = how == u"block before" ? block - 1 : block + 1;
        radio.answer(other > kChannelCount ? RadioEngine::dataFrame(0, other, Payload{})
                                           : dataFrame(memory, 0, other));
        QVERIFY(radio.quietFor(100));
        QCOMPARE(form.channelRow(block), before.rows[block]);
        if (other > block && other <= kChannelCount)
            QCOMPARE(form.channelRow(other), before.rows[other]);
        QVERIFY(m_messages.isEmpty());
        QVERIFY(radio.tick());
        QCOMPARE(radio.take(34).left(4), request(0, block));
        radio.answer(dataFrame(memory, 0, block));
        playRead(radio, memory, block + 1);
        expected = expectedAfterRead(memory, before, Language::Chinese);
        QCOMPARE(watch.bar, range(0, 16));
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.first().text, u"读取成功!"_s);
    for (int r = 1; r <= kChannelCount; ++r)
        QCOMPARE(form.channelRow(r), expected.rows[r]);
    VERIFY_IDLE(form);
}

void TestTransfer::refusedWhileASignallingTransferRuns()
{
    // A signalling window's transfer holds the line: the main window starts nothing, and says
    // why, rather than mix its frames into the other transfer.
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    TForm1 &form = openScripted(radio);
    QStringList steps;
    StaleSignalling writer(2, steps);
    writer.writing = true;
    form.link().addSignallingTransfer(&writer);

    for (QPushButton *button : {form.rbtn, form.wbtn}) {
        m_messages.clear();
        button->click();
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages.first().kind, MessageKind::Error);
        QCOMPARE(m_messages.first().text, u"另一个窗口正在与对讲机传输数据，请等它结束。"_s);
        QVERIFY(radio.quietFor(100));
        VERIFY_IDLE(form);
    }
    QVERIFY(steps.isEmpty());

    // Once it has ended, a read goes ahead and closes the signalling windows that are open.
    writer.writing = false;
    TForm2 dtmf(form.link(), *form.comcbb);
    form.Form2 = &dtmf;
    dtmf.show();
    form.rbtn->click();
    QCOMPARE(radio.take(7), kHandshake);
    QVERIFY(!dtmf.isVisible());
    form.Form3->Button2->click();
    form.link().removeSignallingTransfer(&writer);
    form.Form2 = nullptr;
}

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
