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
#include "support/ptypeer.h"
#include "support/transferradio.h"
#include "tools/vradio/radioengine.h"
#include "tools/vradio/radiomemory.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

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

// What the window went through during one transfer, recorded as it happened.
class TransferWatch final
{
public:
    explicit TransferWatch(TForm1 &form)
    {
        m_clock.start();
        QObject::connect(form.Form3->ProgressBar1, &QProgressBar::valueChanged, &m_context,
                         [this, &form](int value) {
                             bar << value;
                             barShown << form.Form3->isVisible();
                         });
        QObject::connect(&form.link().Comm1, &TComm::OnReceiveData, &m_context,
                         [this](const QByteArray &chunk) {
                             chunks << chunk;
                             chunkTimes << m_clock.elapsed();
                         });
        QObject::connect(&form.link().Tim1, &QTimer::timeout, &m_context, [this] {
            ++repeats;
            m_repeatTimes << m_clock.elapsed();
        });
    }

    // Why this run cannot show the exact frames of a transfer, or empty when it can. The window
    // repeats a frame when its answer (a chunk starting with `answer`) is 300 ms late; on a busy
    // machine a stalled radio or window makes that happen without any fault of the transfer.
    // A stalled radio also splits its data frames into pieces that the window takes for frames.
    QString unsteadiness(quint8 answer, int deliberateRepeats = 0) const
    {
        int pieces = 0;
        int longWaits = 0;
        qint64 longest = 0;
        qint64 previous = 0;
        for (int i = 0; i < chunks.size(); ++i) {
            const quint8 first = quint8(chunks[i].front());
            if (first == frame::kWriteCode && chunks[i].size() < frame::kBlockFrameSize)
                ++pieces;
            if (first != answer)
                continue;
            const qint64 wait = chunkTimes[i] - previous;
            previous = chunkTimes[i];
            longest = std::max(longest, wait);
            if (wait > 250)
                ++longWaits;
        }
        if (pieces > 0)
            return u"%1 data frames arrived in pieces"_s.arg(pieces);
        // Repeats the radio answered, beyond those the test caused, are the transfer's fault
        // unless the window had to wait that long for other reasons.
        const auto answered = std::count_if(m_repeatTimes.begin(), m_repeatTimes.end(),
                                            [previous](qint64 at) { return at < previous; });
        const bool stalled = longWaits > deliberateRepeats || longest > 550;
        if (answered > deliberateRepeats && stalled)
            return u"%1 repeats, the longest wait for an answer %2 ms"_s.arg(answered).arg(longest);
        return {};
    }

    QList<int> bar;       ///< every position the progress bar took
    QList<bool> barShown; ///< whether the dialog was up when it did
    QList<QByteArray> chunks;
    QList<qint64> chunkTimes;
    int repeats = 0; ///< ticks of the repeat timer

private:
    QObject m_context;
    QElapsedTimer m_clock;
    QList<qint64> m_repeatTimes;
};

#define VERIFY_IDLE(form)                                                                          \
    do {                                                                                           \
        verifyIdle(form);                                                                          \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

#define SKIP_IF_UNSTEADY(watch, ...)                                                               \
    do {                                                                                           \
        const QString why = (watch).unsteadiness(__VA_ARGS__);                                     \
        if (!why.isEmpty())                                                                        \
            QSKIP(qPrintable(u"machine too busy to show the exact frames: "_s + why));             \
    } while (false)

// A radio played by the test itself on a pseudo-terminal, for situations the virtual radio
// cannot produce. The window's timers and received chunks run on this thread, so every wait
// keeps its events going.
class ScriptedRadio final
{
public:
    bool isValid() const { return m_peer.isValid(); }
    QString port() const { return m_peer.devicePath(); }

    /** The next `count` bytes the window sent, or fewer after `timeoutMs`. */
    QByteArray take(int count, int timeoutMs = 10000)
    {
        QElapsedTimer clock;
        clock.start();
        while (m_pending.size() < count && clock.elapsed() < timeoutMs) {
            QCoreApplication::processEvents();
            m_pending += m_peer.read(1, 5);
        }
        const QByteArray taken = m_pending.left(count);
        m_pending.remove(0, taken.size());
        return taken;
    }

    /** True when the window sends nothing for `ms` (its events running meanwhile). */
    bool quietFor(int ms) { return take(1, ms).isEmpty(); }

    /** Answers at once: the window gets the bytes as one chunk. */
    void send(const QByteArray &bytes) { m_peer.sendNow(bytes); }

    /** Answers in two chunks, `pauseMs` apart after the first `split` bytes. */
    void sendInTwo(const QByteArray &bytes, int split, int pauseMs)
    {
        m_peer.sendPaced(bytes, split, std::chrono::milliseconds(pauseMs));
    }

private:
    PtyPeer m_peer;
    QByteArray m_pending;
};

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

    void completeRead_data();
    void completeRead();
    void completeWrite_data();
    void completeWrite();
    void readThenWriteReturnsEveryDefinedByte();
    void repeatAfterLostHandshake();
    void repeatAfterLostAcknowledgement();
    void repeatAfterLostRequest();
    void retry_data();
    void retry();
    void cancel_data();
    void cancel();
    void extraAcknowledgement();
    void acknowledgementsInOneChunkCountOnce();
    void acknowledgementsInTwoChunksCountTwice();
    void strayChunkSendsTheSettingsAgain();
    void portThatWillNotOpen();
    void unconvertibleTextStopsTheWriteBeforeTheHandshake_data();
    void unconvertibleTextStopsTheWriteBeforeTheHandshake();
    void unexpectedDataFrames_data();
    void unexpectedDataFrames();

private:
    TForm1 &openWindow(const QStringList &ports);
    static void pressKey(TForm1 &form, Qt::Key key);
    // The state of a window with no transfer running and the port closed.
    static void verifyIdle(TForm1 &form);

    std::unique_ptr<TForm1> m_form;
    std::unique_ptr<QTemporaryDir> m_dir;
    QList<ShownMessage> m_messages;
};

void TestTransfer::init()
{
    setDisplayLanguageFlag(0);
    m_messages.clear();
    setMessageHook([this](const ShownMessage &message) { m_messages << message; });
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestTransfer::cleanup()
{
    m_form.reset();
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
    const ChannelSheet before = form.sheet();

    // Two signalling transfers that never finished: one would take every acknowledgement, the
    // other every channel frame. The read must end them before it sends anything.
    QStringList stale;
    StaleSignalling writer(1, stale), reader(0, stale);
    writer.writing = true;
    reader.reading = true;
    form.link().addSignallingTransfer(&writer);
    form.link().addSignallingTransfer(&reader);

    TransferWatch watch(form);
    if (english)
        pressKey(form, Qt::Key_F12);
    else
        form.rbtn->click();

    QCOMPARE(stale, (QStringList{u"abandon 1"_s, u"abandon 0"_s}));
    QVERIFY(!form.rbtn->isEnabledTo(form.centralWidget()));
    QVERIFY(form.wbtn->isEnabledTo(form.centralWidget()));
    QVERIFY(!form.comcbb->isEnabledTo(form.centralWidget()));
    QVERIFY(form.link().Comm1.isOpen());
    QVERIFY(form.link().Tim1.isActive());
    QVERIFY(!form.Timer1->isActive());
    // The progress dialog is up and modal; the main window takes no input meanwhile.
    TForm3 &dialog = *form.Form3;
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);
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
    SKIP_IF_UNSTEADY(watch, frame::kWriteCode);

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

    // Exactly the 18 requests, none of them repeated.
    QCOMPARE(radio.received(), completeReadRequests());
    QCOMPARE(watch.repeats, 0);
    // Block 1's request goes out on the handshake's acknowledgement without a step; each channel
    // frame 1..15 steps the bar, and the settings request fills it while the dialog stays up.
    QCOMPARE(watch.bar, range(0, 16));
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
    // The stale transfers were given nothing.
    QCOMPARE(stale.size(), 2);
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

    // A signalling write that never finished would take every acknowledgement of this one.
    QStringList stale;
    StaleSignalling writer(2, stale);
    writer.writing = true;
    form.link().addSignallingTransfer(&writer);

    TransferWatch watch(form);
    if (english)
        pressKey(form, Qt::Key_F11);
    else
        form.wbtn->click();
    QCOMPARE(stale, QStringList{u"abandon 2"_s});
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
    SKIP_IF_UNSTEADY(watch, frame::kAck);
    const ShownMessage done = m_messages.first();
    if (english) {
        QCOMPARE(done.kind, MessageKind::Plain);
        QCOMPARE(done.text, u"       WRITE SUCCEED!"_s);
    } else {
        QCOMPARE(done.kind, MessageKind::Information);
        QCOMPARE(done.caption, u"提示"_s);
        QCOMPARE(done.text, u"写入成功!"_s);
    }

    // The handshake, then the 16 channel blocks and the settings, each once, with its CRC.
    const QList<QByteArray> frames = radio.received();
    QCOMPARE(frames, expectedFrames);
    for (const QByteArray &frame : frames.mid(1))
        QVERIFY(hasValidFrameCrc(raw(frame)));
    QCOMPARE(watch.repeats, 0);
    QCOMPARE(watch.bar, range(0, 17));

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
    QCOMPARE(stale.size(), 1);
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

    TransferWatch reading(form);
    form.rbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    SKIP_IF_UNSTEADY(reading, frame::kWriteCode);
    QCOMPARE(m_messages.last().text, u"读取成功!"_s);
    QCOMPARE(from.received(), variedReadRequests());

    form.comcbb->setCurrentText(to.port());
    TransferWatch writing(form);
    form.wbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 2, kTransferTimeoutMs);
    SKIP_IF_UNSTEADY(writing, frame::kAck);
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

void TestTransfer::repeatAfterLostHandshake()
{
    // A radio not yet listening misses the handshake; the repeat sends it again, 34 bytes of the
    // buffer as an earlier transfer left them, and the read goes on from there.
    const RadioMemory memory = RadioMemory::demo();
    TransferRadio radio(m_dir->path(), u"radio"_s, {u"--silent-first"_s, u"1"_s});
    QVERIFY2(radio.start(memory), qPrintable(radio.errorString()));
    TForm1 &form = openWindow({radio.port()});
    const ChannelSheet before = form.sheet();
    form.link().TxBuffer.fill(0xA5);
    FrameBuffer model = form.link().TxBuffer;
    putHandshake(model);
    ComputeFrameCrc(model);

    TransferWatch watch(form);
    form.rbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    SKIP_IF_UNSTEADY(watch, frame::kWriteCode, 1);

    const QList<TransferLogLine> log = radio.log();
    QList<TransferLogLine> received;
    for (const TransferLogLine &line : log) {
        if (line.received)
            received << line;
    }
    QVERIFY(received.size() >= 2);
    QCOMPARE(received[0].bytes, kHandshake);
    QVERIFY(received[0].notes.contains(u"not listening"_s));
    QCOMPARE(received[1].bytes, bytesOf(model, 0, frame::kBlockFrameSize));
    QCOMPARE(received[1].bytes.mid(7, 25), QByteArray(25, char(0xA5)));
    QVERIFY2(received[1].ms - received[0].ms > 250,
             qPrintable(u"repeated after %1 ms"_s.arg(received[1].ms - received[0].ms)));
    QList<QByteArray> rest;
    for (const TransferLogLine &line : received.mid(2))
        rest << line.bytes;
    QCOMPARE(rest, completeReadRequests().mid(1));
    QCOMPARE(watch.repeats, 1);

    const ChannelSheet expected = expectedAfterRead(memory, before, Language::Chinese);
    for (int r = 1; r <= kChannelCount; ++r)
        QCOMPARE(form.channelRow(r), expected.rows[r]);
    VERIFY_IDLE(form);
}

void TestTransfer::repeatAfterLostAcknowledgement()
{
    // The acknowledgement of channel 5 arrives garbled (0xF9): it is no acknowledgement, so the
    // window counts nothing, repeats channel 5 after 300 ms, and the radio's answer to the
    // repeat moves the write on.
    TransferRadio radio(m_dir->path(), u"radio"_s, {u"--corrupt-reply"_s, u"6"_s});
    QVERIFY2(radio.start(RadioMemory()), qPrintable(radio.errorString()));
    TForm1 &form = openWindow({radio.port()});
    const auto rows = variedChannels(Language::Chinese);
    for (int r = 1; r <= kChannelCount; ++r)
        form.setChannelRow(r, rows[r]);

    TransferWatch watch(form);
    form.wbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    SKIP_IF_UNSTEADY(watch, frame::kAck, 1);
    QCOMPARE(m_messages.first().text, u"写入成功!"_s);
    QVERIFY(watch.chunks.contains(QByteArray(1, char(0xF9))));

    const QList<QByteArray> frames = radio.received();
    QCOMPARE(frames.size(), 19);
    QCOMPARE(frames[0], kHandshake);
    QCOMPARE(frames[6], frames[5]);
    QCOMPARE(frames[5].left(4), header(0, 5));
    QList<QByteArray> headers;
    for (const QByteArray &frame : frames.mid(1))
        headers << frame.left(frame::kHeaderSize);
    QList<QByteArray> expectedHeaders;
    for (int r = 1; r <= kChannelCount; ++r)
        expectedHeaders << header(0, r);
    expectedHeaders.insert(5, header(0, 5));
    expectedHeaders << header(5, 0);
    QCOMPARE(headers, expectedHeaders);
    QCOMPARE(watch.repeats, 1);

    const RadioMemory stored = radio.image();
    FrameBuffer tx{};
    for (int r = 1; r <= kChannelCount; ++r) {
        QVERIFY(EncodeChannelBlock(tx, r, rows[r]).ok());
        QCOMPARE(definedBytes(0, stored.payload(0, r)).toHex(' '),
                 definedBytes(0, payloadOf(tx)).toHex(' '));
    }
    VERIFY_IDLE(form);
}

void TestTransfer::repeatAfterLostRequest()
{
    // The request for channel 5 gets lost on the way: the window repeats the buffer as it stands,
    // the request followed by what the handshake left, and the read goes on with the answer.
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    const RadioMemory memory = variedMemory();
    TForm1 &form = openWindow({radio.port()});
    const ChannelSheet before = form.sheet();
    form.link().TxBuffer.fill(0x3C);
    FrameBuffer model = form.link().TxBuffer;
    putHandshake(model);
    ComputeFrameCrc(model);
    putReadRequest(model, 0, 5);

    TransferWatch watch(form);
    form.rbtn->click();
    QCOMPARE(radio.take(7), kHandshake);
    radio.send(kAck);
    for (int block = 1; block <= kChannelCount; ++block) {
        // Channel 9 carries 0x30 in byte 5: the next request comes with a 0x06.
        const QByteArray next = request(0, block) + (block == 10 ? kAck : QByteArray());
        QCOMPARE(radio.take(next.size()), next);
        if (block == 5) {
            QCOMPARE(radio.take(34, 2000), bytesOf(model, 0, frame::kBlockFrameSize));
            QCOMPARE(watch.repeats, 1);
        }
        radio.send(dataFrame(memory, 0, block));
    }
    QCOMPARE(radio.take(4), request(5, 0));
    radio.send(dataFrame(memory, 5, 0));
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.first().text, u"读取成功!"_s);
    QCOMPARE(watch.repeats, 1);
    QCOMPARE(watch.bar, range(0, 16));

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

    // The first radio dies after the handshake and five blocks; a second one takes its place on
    // the same port, and Retry starts over with it from the handshake.
    const RadioMemory firstMemory = RadioMemory::demo();
    const RadioMemory secondMemory = variedMemory();
    TransferRadio first(m_dir->path(), u"first"_s, {u"--stop-after"_s, u"6"_s});
    QVERIFY2(first.start(firstMemory), qPrintable(first.errorString()));
    TForm1 &form = openWindow({first.port()});
    const ChannelSheet before = form.sheet();
    const auto rows = variedChannels(Language::Chinese);
    if (!reading) {
        for (int r = 1; r <= kChannelCount; ++r)
            form.setChannelRow(r, rows[r]);
    }

    const TransferWatch stalling(form);
    (reading ? form.rbtn : form.wbtn)->click();
    // The repeat keeps the frame the radio did not answer going.
    QTRY_VERIFY_WITH_TIMEOUT(first.received().size() >= 8, kTransferTimeoutMs);
    SKIP_IF_UNSTEADY(stalling, reading ? frame::kWriteCode : frame::kAck);
    const QList<QByteArray> stalled = first.received();
    QCOMPARE(stalled[6].left(4), reading ? request(0, 6) : header(0, 6));
    QCOMPARE(stalled[7].size(), frame::kBlockFrameSize);
    QCOMPARE(stalled[7].left(4), stalled[6].left(4));
    QCOMPARE(form.Form3->ProgressBar1->value(), reading ? 5 : 6);
    QVERIFY(first.stop());

    // No radio on the port: Retry reports it and leaves the dialog up with the repeat stopped.
    form.Form3->Button1->click();
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().kind, MessageKind::Error);
    QCOMPARE(m_messages.first().text, u"Error opening serial port"_s);
    QVERIFY(form.Form3->isVisible());
    QVERIFY(!form.link().Tim1.isActive());
    QVERIFY(!(reading ? form.rbtn : form.wbtn)->isEnabledTo(form.centralWidget()));

    TransferRadio second(m_dir->path(), u"second"_s, {}, first.port());
    QVERIFY2(second.start(reading ? secondMemory : RadioMemory()),
             qPrintable(second.errorString()));
    form.Form3->Button1->click();
    TransferWatch watch(form);
    QCOMPARE(form.Form3->ProgressBar1->value(), 0);
    QVERIFY(form.link().Tim1.isActive());
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 2, kTransferTimeoutMs);
    SKIP_IF_UNSTEADY(watch, reading ? frame::kWriteCode : frame::kAck);
    QCOMPARE(m_messages.last().text, reading ? u"读取成功!"_s : u"写入成功!"_s);

    // From the handshake again, block 1 first: the counters went back to the start.
    const QList<QByteArray> frames = second.received();
    if (reading) {
        QCOMPARE(frames, variedReadRequests());
        QCOMPARE(watch.bar, range(1, 16));
        const ChannelSheet expected = expectedAfterRead(secondMemory, before, Language::Chinese);
        for (int r = 1; r <= kChannelCount; ++r)
            QCOMPARE(form.channelRow(r), expected.rows[r]);
    } else {
        QCOMPARE(frames.size(), 18);
        QCOMPARE(frames[0], kHandshake);
        for (int r = 1; r <= kChannelCount; ++r)
            QCOMPARE(frames[r].left(4), header(0, r));
        QCOMPARE(frames[17].left(4), header(5, 0));
        QCOMPARE(watch.bar, range(1, 17));
        const RadioMemory stored = second.image();
        FrameBuffer tx{};
        for (int r = 1; r <= kChannelCount; ++r) {
            QVERIFY(EncodeChannelBlock(tx, r, rows[r]).ok());
            QCOMPARE(definedBytes(0, stored.payload(0, r)).toHex(' '),
                     definedBytes(0, payloadOf(tx)).toHex(' '));
        }
    }
    VERIFY_IDLE(form);
}

void TestTransfer::cancel_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QStringList>("fault");
    QTest::addColumn<QString>("note"); // what the radio logs once the window waits in vain
    QTest::addColumn<int>("rowsRead");
    QTest::addColumn<int>("bar");

    QTest::newRow("handshake pending")
        << Kind::Read << QStringList{u"--silent-first"_s, u"100"_s} << u"not listening"_s << 0 << 0;
    QTest::newRow("mid-read") << Kind::Read << QStringList{u"--stop-after"_s, u"6"_s}
                              << u"no longer answering"_s << 5 << 5;
    QTest::newRow("mid-write") << Kind::Write << QStringList{u"--stop-after"_s, u"6"_s}
                               << u"no longer answering"_s << 0 << 6;
    QTest::newRow("after the settings request")
        << Kind::Read << QStringList{u"--stop-after"_s, u"17"_s} << u"no longer answering"_s << 16
        << 16;
}

void TestTransfer::cancel()
{
    QFETCH(Kind, kind);
    QFETCH(QStringList, fault);
    QFETCH(QString, note);
    QFETCH(int, rowsRead);
    QFETCH(int, bar);

    const RadioMemory memory = variedMemory();
    TransferRadio radio(m_dir->path(), u"radio"_s, fault);
    QVERIFY2(radio.start(memory), qPrintable(radio.errorString()));
    TForm1 &form = openWindow({radio.port()});
    const ChannelSheet before = form.sheet();

    const TransferWatch stalling(form);
    (kind == Kind::Read ? form.rbtn : form.wbtn)->click();
    QTRY_VERIFY_WITH_TIMEOUT(radio.logMentions(note), kTransferTimeoutMs);
    SKIP_IF_UNSTEADY(stalling, kind == Kind::Read ? frame::kWriteCode : frame::kAck);
    QCOMPARE(form.Form3->ProgressBar1->value(), bar);
    // However long the radio keeps quiet, the dialog stays within reach.
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
    QVERIFY(radio.stop());
    TransferRadio next(m_dir->path(), u"next"_s, {u"--no-pacing"_s}, radio.port());
    QVERIFY2(next.start(RadioMemory()), qPrintable(next.errorString()));
    TransferWatch watch(form);
    form.wbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    SKIP_IF_UNSTEADY(watch, frame::kAck);
    QCOMPARE(m_messages.first().text, u"写入成功!"_s);
    const QList<QByteArray> frames = next.received();
    QCOMPARE(frames.size(), 18);
    QCOMPARE(frames[0], kHandshake);
    QCOMPARE(frames[1].left(4), header(0, 1));
    QCOMPARE(frames[17].left(4), header(5, 0));
    VERIFY_IDLE(form);
}

void TestTransfer::extraAcknowledgement()
{
    // Channel 3's frame has 0x30 in byte 5: the window sends one 0x06 after its next request,
    // and leaves it in the buffer, so that a repeat starts with 0x06 instead of 'R'.
    RadioMemory memory = RadioMemory::demo();
    Payload marked = memory.payload(0, 3);
    marked[1] = frame::kExtraAckMark;
    memory.setPayload(0, 3, marked);
    TransferRadio radio(m_dir->path(), u"radio"_s, {u"--stop-after"_s, u"4"_s});
    QVERIFY2(radio.start(memory), qPrintable(radio.errorString()));
    TForm1 &form = openWindow({radio.port()});
    const ChannelSheet before = form.sheet();
    form.link().TxBuffer.fill(0x11);
    FrameBuffer model = form.link().TxBuffer;
    putHandshake(model);
    ComputeFrameCrc(model);
    putReadRequest(model, 0, 4);
    model[0] = frame::kAck;

    const TransferWatch watch(form);
    form.rbtn->click();
    const QByteArray expected =
        request(0, 4) + kAck + bytesOf(model, 0, frame::kBlockFrameSize); // request, 0x06, repeat
    QTRY_VERIFY_WITH_TIMEOUT(radio.received().mid(4).join().size() >= expected.size(),
                             kTransferTimeoutMs);
    SKIP_IF_UNSTEADY(watch, frame::kWriteCode);
    const QList<QByteArray> frames = radio.received();
    QCOMPARE(frames.mid(0, 4), completeReadRequests().mid(0, 4));
    QCOMPARE(frames.mid(4).join().left(expected.size()), expected);
    // The frame itself went into the table like any other.
    ChannelRow row = before.rows[3];
    DecodeChannelBlock(raw(dataFrame(memory, 0, 3)), row, Language::Chinese);
    QCOMPARE(form.channelRow(3), row);
    form.Form3->Button2->click();
    VERIFY_IDLE(form);
}

void TestTransfer::acknowledgementsInOneChunkCountOnce()
{
    // A radio that sends every 0x06 twice in one burst: the window sees one chunk each time and
    // counts it once, so the write goes block by block as usual.
    TransferRadio radio(m_dir->path(), u"radio"_s, {u"--double-ack"_s});
    QVERIFY2(radio.start(RadioMemory()), qPrintable(radio.errorString()));
    TForm1 &form = openWindow({radio.port()});
    const auto rows = variedChannels(Language::Chinese);
    for (int r = 1; r <= kChannelCount; ++r)
        form.setChannelRow(r, rows[r]);

    TransferWatch watch(form);
    form.wbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    SKIP_IF_UNSTEADY(watch, frame::kAck);
    QCOMPARE(watch.chunks, QList<QByteArray>(18, kAck + kAck));
    const QList<QByteArray> frames = radio.received();
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

void TestTransfer::acknowledgementsInTwoChunksCountTwice()
{
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    TForm1 &form = openWindow({radio.port()});
    // The script answers every frame itself; the repeat would only muddle what it reads.
    form.link().Tim1.setInterval(60 * 1000);

    form.wbtn->click();
    QCOMPARE(radio.take(7), kHandshake);
    // Two 0x06 in one chunk count once: channel 1 and nothing more.
    radio.send(kAck + kAck);
    QCOMPARE(radio.take(34).left(4), header(0, 1));
    QVERIFY(radio.quietFor(150));
    QCOMPARE(form.link().WriteAckCount, 1);
    // Two 0x06 more than 20 ms apart are two chunks and count twice: channels 2 and 3 go out
    // although the radio answered only once for channel 1.
    radio.sendInTwo(kAck + kAck, 1, 60);
    QCOMPARE(radio.take(34).left(4), header(0, 2));
    QCOMPARE(radio.take(34).left(4), header(0, 3));
    QCOMPARE(form.link().WriteAckCount, 3);
    QCOMPARE(form.Form3->ProgressBar1->value(), 3);
    for (int block = 4; block <= kChannelCount; ++block) {
        radio.send(kAck);
        QCOMPARE(radio.take(34).left(4), header(0, block));
    }
    radio.send(kAck);
    QCOMPARE(radio.take(34).left(4), header(5, 0));
    radio.send(kAck);
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.first().text, u"写入成功!"_s);
    VERIFY_IDLE(form);
}

void TestTransfer::strayChunkSendsTheSettingsAgain()
{
    ScriptedRadio radio;
    QVERIFY(radio.isValid());
    TForm1 &form = openWindow({radio.port()});
    // Only the stray chunks may bring a frame again, never the repeat.
    form.link().Tim1.setInterval(60 * 1000);
    const QByteArray stray(1, char(0x55));

    form.wbtn->click();
    QCOMPARE(radio.take(7), kHandshake);
    radio.send(kAck);
    for (int block = 1; block <= kChannelCount; ++block) {
        QCOMPARE(radio.take(34).left(4), header(0, block));
        if (block == 8) {
            // A stray chunk in the middle of the channels is ignored.
            radio.send(stray);
            QVERIFY(radio.quietFor(150));
            QCOMPARE(form.link().WriteAckCount, 8);
        }
        radio.send(kAck);
    }
    const QByteArray settings = radio.take(34);
    QCOMPARE(settings.left(4), header(5, 0));
    QVERIFY(hasValidFrameCrc(raw(settings)));
    // While the count stands at 17, any chunk brings the settings frame again.
    radio.send(stray);
    QCOMPARE(radio.take(34), settings);
    radio.send("\x57\x00"_ba);
    QCOMPARE(radio.take(34), settings);
    QCOMPARE(form.link().WriteAckCount, 17);
    QVERIFY(form.Form3->isVisible());
    radio.send(kAck);
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    QCOMPARE(m_messages.first().text, u"写入成功!"_s);
    QVERIFY(radio.quietFor(100));
    VERIFY_IDLE(form);
}

void TestTransfer::portThatWillNotOpen()
{
    TForm1 &form = openWindow({u"/nonexistent/radio"_s});
    for (QPushButton *button : {form.wbtn, form.rbtn}) {
        m_messages.clear();
        button->click();
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages.first().kind, MessageKind::Error);
        QCOMPARE(m_messages.first().text, u"Error opening serial port"_s);
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

void TestTransfer::unexpectedDataFrames_data()
{
    QTest::addColumn<QStringList>("fault");
    QTest::addColumn<int>("wrongBlockFor"); // the channel whose request gets block + 1
    QTest::addColumn<int>("corrupted");     // the channel whose payload byte 0 is flipped

    QTest::newRow("channel 6 for channel 5") << QStringList{u"--wrong-block"_s, u"5"_s} << 5 << 0;
    QTest::newRow("block 17 for channel 16") << QStringList{u"--wrong-block"_s, u"16"_s} << 16 << 0;
    QTest::newRow("bad CRC on channel 3") << QStringList{u"--corrupt-reply"_s, u"4"_s} << 0 << 3;
}

void TestTransfer::unexpectedDataFrames()
{
    QFETCH(QStringList, fault);
    QFETCH(int, wrongBlockFor);
    QFETCH(int, corrupted);

    const RadioMemory memory = variedMemory();
    TransferRadio radio(m_dir->path(), u"radio"_s, fault);
    QVERIFY2(radio.start(memory), qPrintable(radio.errorString()));
    TForm1 &form = openWindow({radio.port()});
    const ChannelSheet before = form.sheet();

    TransferWatch watch(form);
    form.rbtn->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, kTransferTimeoutMs);
    SKIP_IF_UNSTEADY(watch, frame::kWriteCode, wrongBlockFor == 16 ? 1 : 0);
    QCOMPARE(m_messages.first().text, u"读取成功!"_s);

    // The frames as the window took them, decoded in that order. The CRC of a received frame
    // is never checked.
    QList<QByteArray> arrived;
    for (int block = 1; block <= kChannelCount; ++block) {
        QByteArray frame = dataFrame(memory, 0, block);
        if (block == corrupted)
            frame[frame::kPayloadOffset] = char(frame[frame::kPayloadOffset] ^ 0xFF);
        if (wrongBlockFor == 5 && block == 5)
            frame = dataFrame(memory, 0, 6);
        if (wrongBlockFor == 5 && block == 6)
            continue; // never asked for
        if (wrongBlockFor == 16 && block == 16)
            arrived << RadioEngine::dataFrame(0, 17, Payload{});
        arrived << frame;
    }
    ChannelSheet expected = before;
    for (const QByteArray &frame : arrived)
        DecodeMainBlock(raw(frame), expected, Language::Chinese);
    for (int r = 1; r <= kChannelCount; ++r)
        QCOMPARE(form.channelRow(r), expected.rows[r]);
    if (wrongBlockFor == 5) // channel 5 was never read; its row keeps what it had
        QCOMPARE(form.channelRow(5), before.rows[5]);
    if (corrupted)
        QVERIFY(form.channelRow(corrupted) !=
                expectedAfterRead(memory, before, Language::Chinese).rows[corrupted]);

    // The requests: after channel 6 came for channel 5, the next one asked for is 7. After
    // block 17, nothing is asked for until the repeat sends channel 16's request again.
    QList<QByteArray> requests = variedReadRequests();
    QList<int> bar = range(0, 16);
    if (wrongBlockFor == 5) {
        requests.removeAt(6);
        bar = range(0, 14) + QList<int>{16};
    }
    QList<QByteArray> frames = radio.received();
    if (wrongBlockFor == 16) {
        QCOMPARE(frames.size(), 19);
        QCOMPARE(frames[17].size(), frame::kBlockFrameSize);
        QCOMPARE(frames[17].left(4), request(0, 16));
        frames.removeAt(17);
        QCOMPARE(watch.repeats, 1);
    }
    QCOMPARE(frames, requests);
    QCOMPARE(watch.bar, bar);
    VERIFY_IDLE(form);
}

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
