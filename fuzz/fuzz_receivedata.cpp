// SPDX-License-Identifier: GPL-3.0-or-later
// The receive handler fed whatever a line might deliver, chunk by chunk, while the main window and
// the signalling windows start and end transfers and the repeat timer ticks in between.
//
// Input: a list of steps, each a control byte c and what it needs.
//   c % 4 == 0  a chunk: one length byte n, then n + 1 bytes ((n + 1) * 16 when c & 8); with
//               c & 4 a chunk of a whole block frame gets the CRC the radio would give it
//   c % 4 == 1  a tick of the repeat timer; with c & 4 the line is lost instead (a cable pulled)
//   c % 4 == 2  the main window: (c >> 2) % 4 is 0 for Cancel, 1 to start a read, 2 a write,
//               3 for Retry; c & 0x40 makes its block conversions fail from then on
//   c % 4 == 3  the signalling windows: the next byte's bits 0..3 start a read and bits 4..7 a
//               write of the windows of banks 4, 3, 2, 1; a clear bit ends that transfer
// The port is never opened, so every write is refused: the handler's own state is the subject.
//
// Checked, after every step and whenever the handler calls the window: the acknowledgement
// count stays within 0..18 and the next read block within 0..256; a completed read or write is
// reported at most once per started transfer, and only while it runs; blocks are asked for and
// handed over only while their transfer runs; a signalling window gets only acknowledgements
// and data frames of its own bank.
#include "fuzzinput.h"

#include "channels/channeltable.h"
#include "channels/mainblocks.h"
#include "protocol/radiolink.h"

#include <QCoreApplication>
#include <QThread>

#include <array>
#include <memory>

using namespace wf;

namespace {

// The main window as the handler sees it, holding a sheet of typical channels that a read fills
// in and a write sends.
struct StandInWindow final : MainTransferHost
{
    bool reading = false;
    bool writing = false;
    bool conversionsFail = false;
    bool readReported = false;
    bool writeReported = false;
    ChannelSheet sheet;
    const RadioLink *link = nullptr;

    StandInWindow()
        : sheet(typicalSheet())
    {}

    static const ChannelSheet &typicalSheet()
    {
        static const ChannelSheet typical = [] {
            ChannelSheet built;
            const auto &columns = table::channelColumns();
            for (int r = 1; r <= kChannelCount; ++r) {
                ChannelRow &row = built.rows[r];
                row[column::Number] = QString::number(r);
                row[column::RxFrequency] = QStringLiteral("%1").arg(145.0 + 0.025 * r, 0, 'f', 5);
                row[column::TxFrequency] = row[column::RxFrequency];
                for (int c = column::DecodeTone; c < column::kCount; ++c)
                    row[c] = columns[c].freshValue.english.toString();
            }
            built.settings = table::initialSettings(Language::English);
            return built;
        }();
        return typical;
    }

    void startRead()
    {
        reading = true;
        writing = false;
        readReported = false;
    }
    void startWrite()
    {
        writing = true;
        reading = false;
        writeReported = false;
    }

    // The counters as the handler leaves them between chunks, and as it shows them to the window
    // in the middle of one.
    void checkCounters() const
    {
        FUZZ_CHECK(link->WriteAckCount >= 0 && link->WriteAckCount <= 18);
        FUZZ_CHECK(link->NextReadBlock >= 0 && link->NextReadBlock <= 256);
    }

    bool mainReadInProgress() const override { return reading; }
    bool mainWriteInProgress() const override { return writing; }
    bool decodeMainBlock(const FrameBuffer &receiveCopy) override
    {
        FUZZ_CHECK(reading);
        FUZZ_CHECK(receiveCopy[0] == frame::kWriteCode);
        checkCounters();
        return DecodeMainBlock(receiveCopy.data(), sheet, Language::English).kind ==
               DecodedBlock::Kind::Settings;
    }
    QString encodeMainBlock(FrameBuffer &tx, int block) override
    {
        FUZZ_CHECK(writing);
        FUZZ_CHECK(block >= 1 && block <= kChannelCount + 1);
        checkCounters();
        if (conversionsFail)
            return QStringLiteral("'x' is not a valid integer value");
        const Conversion result = block <= kChannelCount
                                      ? EncodeChannelBlock(tx, block, sheet.rows[block])
                                      : EncodeSettingsBlock(tx, sheet.settings);
        return result.error;
    }
    void stepProgress() override
    {
        FUZZ_CHECK(reading || writing);
        checkCounters();
    }
    void settingsRequested() override
    {
        FUZZ_CHECK(reading);
        checkCounters();
    }
    void mainReadComplete() override
    {
        FUZZ_CHECK(reading && !readReported);
        checkCounters();
        readReported = true;
        reading = false;
    }
    void mainWriteComplete() override
    {
        FUZZ_CHECK(writing && !writeReported);
        checkCounters();
        writeReported = true;
        writing = false;
    }
};

// A signalling window: it checks what it is handed and ends its transfer after its bank's last
// block, as the real windows do.
struct StandInSignalling final : SignallingTransfer
{
    StandInSignalling(const RadioLink &link, Bank bank)
        : m_link(link)
        , m_bank(bank)
    {}

    bool reading = false;
    bool writing = false;
    int steps = 0;

    quint8 bank() const override { return static_cast<quint8>(m_bank); }
    bool readInProgress() const override { return reading; }
    bool writeInProgress() const override { return writing; }
    void writeStep() override
    {
        FUZZ_CHECK(writing);
        FUZZ_CHECK(m_link.RxImage[0] == frame::kAck);
        if (++steps >= blockCount())
            writing = false;
    }
    void readStep() override
    {
        FUZZ_CHECK(reading);
        FUZZ_CHECK(m_link.RxImage[0] == frame::kWriteCode && m_link.RxImage[1] == bank());
        if (++steps >= blockCount())
            reading = false;
    }
    void abandonTransfer() override { reading = writing = false; }

private:
    int blockCount() const
    {
        for (const BankBlocks &blocks : kRadioMemory) {
            if (blocks.bank == m_bank)
                return blocks.count();
        }
        return 1;
    }

    const RadioLink &m_link;
    Bank m_bank;
};

void ignoreMessages(QtMsgType, const QMessageLogContext &, const QString &) {}

void receiveChunk(RadioLink &link, fuzz::InputReader &input, std::uint8_t control)
{
    const int units = input.byte() + 1;
    QByteArray chunk = input.bytes(static_cast<std::size_t>((control & 8) ? units * 16 : units));
    if (chunk.isEmpty())
        return; // the port never delivers an empty chunk
    if ((control & 4) && chunk.size() >= frame::kBlockFrameSize) {
        const quint16 crc =
            crc16(reinterpret_cast<const quint8 *>(chunk.constData()), frame::kCrcOffset);
        chunk[frame::kCrcOffset] = char(crc >> 8);
        chunk[frame::kCrcOffset + 1] = char(crc & 0xFF);
    }
    link.Comm1ReceiveData(chunk);
}

void driveMainWindow(RadioLink &link, StandInWindow &window, std::uint8_t control)
{
    window.conversionsFail = control & 0x40;
    switch ((control >> 2) % 4) {
    case 0:
        link.cancel();
        window.reading = window.writing = false;
        break;
    case 1: // as the read button does
        link.abandonSignallingTransfers();
        window.startRead();
        link.NextReadBlock = 0;
        link.sendHandshake();
        link.startRepeat();
        break;
    case 2: // as the write button does
        link.abandonSignallingTransfers();
        link.startRepeat();
        window.startWrite();
        link.WriteAckCount = 0;
        link.sendHandshake();
        break;
    case 3: // as the dialog's Retry does once the port is open again
        link.Tim1.stop();
        link.restartFromHandshake();
        break;
    }
}

} // namespace

// The pauses the radio asks for (2 ms before the settings request, 300 ms in Retry) only cost
// time here, and would cost most of it: the handler's state is the same without them.
void QThread::msleep(unsigned long) {}

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    // The repeat timer needs the application object; the handler's warnings would only drown the
    // fuzzer's own output.
    static int argc = 1;
    static char *args[] = {(*argv)[0], nullptr};
    static QCoreApplication application(argc, args);
    qInstallMessageHandler(ignoreMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::InputReader input(data, size);
    StandInWindow window;
    RadioLink link(window);
    window.link = &link;
    std::array<std::unique_ptr<StandInSignalling>, 4> signalling;
    const Bank banks[] = {Bank::FiveTone, Bank::TwoTone, Bank::Fsk, Bank::Dtmf};
    for (std::size_t i = 0; i < signalling.size(); ++i) {
        signalling[i] = std::make_unique<StandInSignalling>(link, banks[i]);
        link.addSignallingTransfer(signalling[i].get());
    }

    while (!input.atEnd()) {
        const std::uint8_t control = input.byte();
        switch (control % 4) {
        case 0:
            receiveChunk(link, input, control);
            break;
        case 1:
            if (control & 4)
                emit link.Comm1.OnRequestHangup();
            else
                link.Tim1Timer();
            break;
        case 2:
            driveMainWindow(link, window, control);
            break;
        case 3: {
            const std::uint8_t flags = input.byte();
            for (std::size_t i = 0; i < signalling.size(); ++i) {
                StandInSignalling &transfer = *signalling[i];
                const bool read = flags & (1u << i);
                const bool write = flags & (16u << i);
                if ((read && !transfer.reading) || (write && !transfer.writing))
                    transfer.steps = 0;
                transfer.reading = read;
                transfer.writing = write;
            }
            break;
        }
        }
        window.checkCounters();
    }
    return 0;
}
