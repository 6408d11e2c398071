// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/radiosession.h"

#include <algorithm>

namespace wf {

namespace {

constexpr int kChannelBlocks = 16;
constexpr int kSettingsWriteBlock = kChannelBlocks + 1; ///< the write numbers the settings 17

// The signalling banks in the order their windows sit in the menu.
constexpr std::array<Bank, 4> kSignallingBanks = {Bank::Dtmf, Bank::Fsk, Bank::TwoTone,
                                                  Bank::FiveTone};

// A complete image wants every block of a bank. The repeat keeps asking while an answer is on
// its way, so a block may come twice: the next request follows the block that came, not a count
// of frames, and what came is checked once the bank is done.
BlockTransfer::Plan planFor(Bank bank)
{
    for (const BankBlocks &blocks : kRadioMemory) {
        if (blocks.bank == bank)
            return {bank, blocks.count(), true};
    }
    return {bank, 0, true};
}

BlockAddress mainWriteAddress(int block)
{
    return block == kSettingsWriteBlock ? BlockAddress{Bank::Settings, 0}
                                        : BlockAddress{Bank::Channels, block};
}

} // namespace

QString describeBlock(const BlockAddress &address, const BlockWords &words)
{
    if (address.bank == Bank::Channels)
        return words.channel.toString().arg(address.block);
    if (address.bank == Bank::Settings)
        return words.settings.toString();
    return words.other.toString()
        .arg(bankName(address.bank))
        .arg(address.block)
        .arg(int(address.bank));
}

RadioSession::RadioSession(const QString &port, QObject *parent)
    : QObject(parent)
    , m_port(port)
    , m_link(*this)
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &RadioSession::noAnswer);
    connect(&m_link, &RadioLink::blockNotAskedFor, this, [this](int bank, int block) {
        m_notSent = bank >= 0 ? std::optional<BlockAddress>({Bank(bank), block}) : std::nullopt;
    });
    connect(&m_link, &RadioLink::lineLost, this, [this] {
        finish(Result::PortError,
               QStringLiteral("the line to the radio on %1 went away (cable or adapter pulled?)")
                   .arg(m_port));
    });
    // The radio's answer to a bare handshake reaches no transfer of the link: a probe looks at
    // the chunks itself.
    connect(&m_link.Comm1, &TComm::OnReceiveData, this, [this](const QByteArray &chunk) {
        if (m_operation == Operation::Probe && chunk.contains(char(frame::kAck)))
            finish(Result::Done);
    });
}

RadioSession::~RadioSession()
{
    m_link.cancel();
}

int RadioSession::mainBlockCount()
{
    return kChannelBlocks + 1;
}

int RadioSession::signallingBlockCount()
{
    int count = 0;
    for (Bank bank : kSignallingBanks)
        count += planFor(bank).readBlocks;
    return count;
}

int RadioSession::blockCount(const QList<Bank> &banks)
{
    int count = 0;
    for (Bank bank : banks)
        count += planFor(bank).readBlocks;
    return count;
}

bool RadioSession::openPort()
{
    try {
        m_link.reopenPort(m_port);
    } catch (const ECommsError &failure) {
        m_error = QStringLiteral("cannot open %1: %2").arg(m_port, failure.why());
        m_result = Result::PortError;
        return false;
    }
    return true;
}

RadioSession::Result RadioSession::run(Operation operation, const QString &label, int total)
{
    // The transfer was started by the caller; its answers arrive as queued chunks, so nothing
    // can have happened before the loop runs.
    m_operation = operation;
    m_notSent.reset();
    m_label = label;
    m_done = 0;
    m_total = total;
    m_watchdog.start(m_timeoutMs);
    QEventLoop loop;
    m_loop = &loop;
    if (m_stopRequested && operation != Operation::MainWrite && operation != Operation::BankWrite)
        finish(Result::Interrupted, QStringLiteral("interrupted"));
    else
        loop.exec();
    m_loop = nullptr;
    return m_result;
}

void RadioSession::finish(Result result, const QString &error)
{
    if (m_operation == Operation::None)
        return;
    m_operation = Operation::None;
    m_watchdog.stop();
    m_link.abandonSignallingTransfers();
    m_link.cancel();
    m_result = result;
    m_error = error;
    if (m_loop)
        m_loop->quit();
}

void RadioSession::noAnswer()
{
    // A radio that answers, but never with the block asked for, is not silent: say which block
    // it never sent.
    const bool reading = m_operation == Operation::MainRead || m_operation == Operation::BankRead;
    if (reading && m_notSent) {
        const BlockAddress missing = *m_notSent;
        QString what;
        if (missing.bank == Bank::Channels)
            what = QStringLiteral("channel %1").arg(missing.block);
        else if (missing.bank == Bank::Settings)
            what = QStringLiteral("the settings");
        else
            what = QStringLiteral("%1 block %2").arg(bankName(missing.bank)).arg(missing.block);
        finish(Result::NoAnswer, QStringLiteral("the radio on %1 never sent %2").arg(m_port, what));
        return;
    }
    finish(Result::NoAnswer, QStringLiteral("no answer from the radio on %1 within %2 s")
                                 .arg(m_port)
                                 .arg(m_timeoutMs / 1000.0));
}

void RadioSession::step()
{
    m_notSent.reset();
    ++m_done;
    m_watchdog.start(m_timeoutMs);
    emit progressed(m_label, std::min(m_done, m_total), m_total);
}

void RadioSession::requestStop()
{
    m_stopRequested = true;
    // Reading changes nothing in the radio: it ends at once.
    if (m_operation == Operation::MainRead || m_operation == Operation::BankRead ||
        m_operation == Operation::Probe)
        finish(Result::Interrupted, QStringLiteral("interrupted"));
}

RadioSession::Result RadioSession::probe(int timeoutMs)
{
    if (!openPort())
        return m_result;
    const int saved = m_timeoutMs;
    m_timeoutMs = timeoutMs;
    m_link.sendHandshake();
    m_link.startRepeat();
    const Result result = run(Operation::Probe, QStringLiteral("handshake"), 1);
    m_timeoutMs = saved;
    return result;
}

RadioSession::Result RadioSession::readMain(RadioImage *image)
{
    if (!openPort())
        return m_result;
    m_readInto = image;
    m_link.NextReadBlock = 0;
    m_link.sendHandshake();
    m_link.startRepeat();
    // The line takes only the block asked for, each in turn: a read that ends well has them all.
    const Result result =
        run(Operation::MainRead, QStringLiteral("reading channels and settings"), mainBlockCount());
    m_readInto = nullptr;
    return result;
}

bool RadioSession::decodeMainBlock(const FrameBuffer &receiveCopy)
{
    const int bank = receiveCopy[1];
    const int block = receiveCopy[2];
    if (!isRadioBlock(bank, block) || (bank != int(Bank::Channels) && bank != int(Bank::Settings)))
        return false;
    BlockPayload payload;
    std::copy_n(receiveCopy.begin() + frame::kPayloadOffset, frame::kPayloadSize, payload.begin());
    m_readInto->setPayload(Bank(bank), block, payload);
    return bank == int(Bank::Settings);
}

void RadioSession::settingsRequested()
{
    step();
}

void RadioSession::mainReadComplete()
{
    step();
    finish(Result::Done);
}

RadioSession::Result RadioSession::writeMain(const RadioImage &image)
{
    if (m_stopRequested) {
        m_error = QStringLiteral("interrupted before the write began; nothing was written");
        return m_result = Result::Interrupted;
    }
    if (!openPort())
        return m_result;
    m_writeFrom = &image;
    m_link.WriteAckCount = 0;
    m_link.startRepeat();
    m_link.sendHandshake();
    const Result result = run(Operation::MainWrite, QStringLiteral("writing channels and settings"),
                              mainBlockCount());
    m_writeFrom = nullptr;
    return result;
}

QString RadioSession::encodeMainBlock(FrameBuffer &tx, int block)
{
    if (m_operation != Operation::MainWrite || !m_writeFrom)
        return QStringLiteral("no write runs");
    if (m_stopRequested) {
        // The radio acknowledged the block before this one and holds it whole; the next one is
        // never sent.
        const QString where =
            block > 1
                ? QStringLiteral("after %1 of the %2 blocks").arg(block - 1).arg(mainBlockCount())
                : QStringLiteral("before the first block");
        QTimer::singleShot(0, this, [this, where] {
            finish(Result::Interrupted,
                   QStringLiteral("write abandoned at a block boundary, %1: the radio is only "
                                  "partly written")
                       .arg(where));
        });
        return QStringLiteral("interrupted");
    }
    const BlockAddress address = mainWriteAddress(block);
    std::fill_n(tx.begin(), frame::kBlockFrameSize, quint8(0));
    putBlockHeader(tx.data(), quint8(address.bank), quint8(address.block));
    const BlockPayload &payload = m_writeFrom->payload(address.bank, address.block);
    std::copy(payload.begin(), payload.end(), tx.begin() + frame::kPayloadOffset);
    return {};
}

void RadioSession::stepProgress()
{
    if (m_operation == Operation::MainWrite) {
        // Acknowledgement N answers the handshake (N = 1) or write block N - 1.
        const int acknowledged = m_link.WriteAckCount - 1;
        if (acknowledged >= 1 && acknowledged <= kSettingsWriteBlock)
            m_written.append(mainWriteAddress(acknowledged));
        if (acknowledged >= 1)
            step();
        else
            m_watchdog.start(m_timeoutMs);
        return;
    }
    step();
}

void RadioSession::mainWriteComplete()
{
    finish(Result::Done);
}

RadioSession::Result RadioSession::readSignalling(RadioImage *image)
{
    for (Bank bank : kSignallingBanks) {
        const Result result = bankRead(bank, image);
        if (result != Result::Done)
            return result;
    }
    return Result::Done;
}

RadioSession::Result RadioSession::bankRead(Bank bank, RadioImage *image)
{
    if (!openPort())
        return m_result;
    const BlockTransfer::Plan plan = planFor(bank);
    BlockTransfer transfer(m_link, plan);
    transfer.Timer1.setInterval(std::max(m_timeoutMs, BlockTransfer::kWatchdogMs));
    connect(&transfer, &BlockTransfer::blockArrived, this, [&](const FrameBuffer &frame) {
        const int block = frame[2];
        if (frame[1] != quint8(bank) || !isRadioBlock(int(bank), block))
            return;
        BlockPayload payload;
        std::copy_n(frame.begin() + frame::kPayloadOffset, frame::kPayloadSize, payload.begin());
        image->setPayload(bank, block, payload);
    });
    connect(&transfer, &BlockTransfer::stepped, this, &RadioSession::step);
    connect(&transfer, &BlockTransfer::finished, this,
            [this](BlockTransfer::Kind, BlockTransfer::Outcome outcome) {
                if (outcome == BlockTransfer::Outcome::Done)
                    finish(Result::Done);
                else if (outcome == BlockTransfer::Outcome::NoAnswer)
                    noAnswer();
            });
    transfer.startRead();
    return run(Operation::BankRead, QStringLiteral("reading %1").arg(bankName(bank)),
               plan.readBlocks);
}

RadioSession::Result RadioSession::writeSignalling(const RadioImage &image)
{
    for (Bank bank : kSignallingBanks) {
        const Result result = bankWrite(bank, image);
        if (result != Result::Done)
            return result;
    }
    return Result::Done;
}

RadioSession::Result RadioSession::bankWrite(Bank bank, const RadioImage &image)
{
    if (m_stopRequested) {
        m_error = QStringLiteral("write abandoned at a block boundary, before %1: the radio is "
                                 "only partly written")
                      .arg(bankName(bank));
        return m_result = Result::Interrupted;
    }
    if (!openPort())
        return m_result;
    const QList<BlockAddress> blocks = RadioImage::addresses(bank);
    std::vector<BlockTransfer::Payload> payloads;
    for (const BlockAddress &address : blocks)
        payloads.push_back(image.payload(address.bank, address.block));
    BlockTransfer transfer(m_link, planFor(bank));
    transfer.Timer1.setInterval(std::max(m_timeoutMs, BlockTransfer::kWatchdogMs));
    int acknowledged = 0;
    const auto acknowledge = [&] {
        m_written.append(blocks[acknowledged]);
        ++acknowledged;
        step();
    };
    connect(&transfer, &BlockTransfer::stepped, this, [&] {
        acknowledge();
        if (m_stopRequested) {
            // The block after it is already on the line: the radio stores it whole or not at
            // all, and nothing follows it.
            transfer.abandonTransfer();
            finish(Result::Interrupted,
                   QStringLiteral("write abandoned at a block boundary after %1 block %2 (block "
                                  "%3 was on the line and may or may not be stored): the radio "
                                  "is only partly written")
                       .arg(bankName(bank))
                       .arg(acknowledged - 1)
                       .arg(acknowledged));
        }
    });
    connect(&transfer, &BlockTransfer::finished, this,
            [&](BlockTransfer::Kind, BlockTransfer::Outcome outcome) {
                if (outcome == BlockTransfer::Outcome::Done) {
                    acknowledge();
                    finish(Result::Done);
                } else if (outcome == BlockTransfer::Outcome::NoAnswer) {
                    noAnswer();
                }
            });
    transfer.startWrite(std::move(payloads));
    return run(Operation::BankWrite, QStringLiteral("writing %1").arg(bankName(bank)),
               int(blocks.size()));
}

RadioSession::Result RadioSession::readAll(RadioImage *image)
{
    const Result result = readMain(image);
    return result == Result::Done ? readSignalling(image) : result;
}

RadioSession::Result RadioSession::readBanks(const QList<Bank> &banks, RadioImage *image)
{
    *image = RadioImage(banks);
    if (image->holds(Bank::Channels) || image->holds(Bank::Settings)) {
        const Result result = readMain(image);
        if (result != Result::Done)
            return result;
    }
    for (Bank bank : kSignallingBanks) {
        if (!image->holds(bank))
            continue;
        const Result result = bankRead(bank, image);
        if (result != Result::Done)
            return result;
    }
    return Result::Done;
}

RadioSession::Result RadioSession::writeAll(const RadioImage &image)
{
    // An image holds the channels and the settings together, or neither.
    if (image.holds(Bank::Channels)) {
        const Result result = writeMain(image);
        if (result != Result::Done)
            return result;
    }
    for (Bank bank : kSignallingBanks) {
        if (!image.holds(bank))
            continue;
        const Result result = bankWrite(bank, image);
        if (result != Result::Done)
            return result;
    }
    return Result::Done;
}

} // namespace wf
