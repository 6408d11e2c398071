// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/radioimage.h"

#include "protocol/regularfile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>

namespace wf {

namespace {

const QString kLayoutTag = QStringLiteral("layout:");
const QString kBanksTag = QStringLiteral("banks:");

// The bank layout as the header names it, so that an image of a radio with other banks is
// recognised even where its block lines would happen to fit.
QString layoutText()
{
    QStringList banks;
    for (const BankBlocks &bank : kRadioMemory) {
        banks << (bank.first == bank.last
                      ? QStringLiteral("%1:%2").arg(int(bank.bank)).arg(bank.first)
                      : QStringLiteral("%1:%2-%3")
                            .arg(int(bank.bank))
                            .arg(bank.first)
                            .arg(bank.last));
    }
    return banks.join(QLatin1Char(' '));
}

bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

} // namespace

bool parsePayloadHex(const QStringList &groups, BlockPayload *payload, QString *problem)
{
    QByteArray digits;
    for (const QString &group : groups) {
        if (group.size() % 2 != 0) {
            *problem = QStringLiteral("'%1' is not a whole number of bytes").arg(group);
            return false;
        }
        for (const QChar c : group) {
            if (!isHexDigit(c)) {
                *problem = QStringLiteral("'%1' is not hexadecimal").arg(group);
                return false;
            }
        }
        digits += group.toLatin1();
    }
    if (digits.size() != 2 * frame::kPayloadSize) {
        *problem = QStringLiteral("the payload has %1 hex digits instead of %2")
                       .arg(digits.size())
                       .arg(2 * frame::kPayloadSize);
        return false;
    }
    const QByteArray bytes = QByteArray::fromHex(digits);
    std::copy(bytes.begin(), bytes.end(), payload->begin());
    return true;
}

RadioImage::RadioImage()
    : RadioImage(QList<Bank>{})
{
    for (const BankBlocks &bank : kRadioMemory)
        m_banks |= bankBit(bank.bank);
}

RadioImage::RadioImage(const QList<Bank> &banks)
    : m_blocks(std::size_t(addresses().size()), BlockPayload{})
{
    for (Bank bank : banks)
        m_banks |= bankBit(bank);
}

QList<Bank> RadioImage::banks() const
{
    QList<Bank> list;
    for (const BankBlocks &bank : kRadioMemory) {
        if (holds(bank.bank))
            list.append(bank.bank);
    }
    return list;
}

bool RadioImage::isComplete() const
{
    return banks().size() == int(kRadioMemory.size());
}

QList<BlockAddress> RadioImage::heldBlocks() const
{
    QList<BlockAddress> list;
    for (const BlockAddress &address : addresses()) {
        if (holds(address.bank))
            list.append(address);
    }
    return list;
}

const QList<BlockAddress> &RadioImage::addresses()
{
    static const QList<BlockAddress> all = [] {
        QList<BlockAddress> list;
        for (const BankBlocks &bank : kRadioMemory) {
            for (int block = bank.first; block <= bank.last; ++block)
                list.append({bank.bank, block});
        }
        return list;
    }();
    return all;
}

QList<BlockAddress> RadioImage::addresses(Bank bank)
{
    QList<BlockAddress> list;
    for (const BlockAddress &address : addresses()) {
        if (address.bank == bank)
            list.append(address);
    }
    return list;
}

int RadioImage::indexOf(Bank bank, int block)
{
    int offset = 0;
    for (const BankBlocks &b : kRadioMemory) {
        if (b.bank == bank && b.contains(block))
            return offset + block - b.first;
        offset += b.count();
    }
    return -1;
}

const BlockPayload &RadioImage::payload(Bank bank, int block) const
{
    const int index = indexOf(bank, block);
    Q_ASSERT(index >= 0);
    return m_blocks[std::size_t(index)];
}

void RadioImage::setPayload(Bank bank, int block, const BlockPayload &payload)
{
    const int index = indexOf(bank, block);
    Q_ASSERT(index >= 0);
    m_blocks[std::size_t(index)] = payload;
}

FrameBuffer RadioImage::frame(Bank bank, int block) const
{
    FrameBuffer frame{};
    putBlockHeader(frame.data(), quint8(bank), quint8(block));
    const BlockPayload &bytes = payload(bank, block);
    std::copy(bytes.begin(), bytes.end(), frame.begin() + frame::kPayloadOffset);
    ComputeFrameCrc(frame);
    return frame;
}

QString RadioImage::toText(const QString &programVersion) const
{
    QString text = QStringLiteral("# writefreq radio image\n");
    text += QStringLiteral("# date: %1\n").arg(taken.toString(Qt::ISODate));
    text += QStringLiteral("# port: %1\n").arg(port);
    text += QStringLiteral("# program: writefreq %1\n").arg(programVersion);
    text += QStringLiteral("# %1 %2\n").arg(kLayoutTag, layoutText());
    // A complete image names no banks, and so reads as it always did.
    if (!isComplete()) {
        QStringList numbers;
        for (Bank bank : banks())
            numbers << QString::number(int(bank));
        text += QStringLiteral("# %1 %2\n").arg(kBanksTag, numbers.join(QLatin1Char(' ')));
    }
    text += QStringLiteral("# One line a block: bank, block number, the 28 payload bytes as 56 "
                           "hex digits.\n");
    Bank lastBank = Bank::Settings;
    bool first = true;
    for (const BlockAddress &address : heldBlocks()) {
        if (first || address.bank != lastBank)
            text += QLatin1Char('\n');
        first = false;
        lastBank = address.bank;
        const BlockPayload &bytes = payload(address.bank, address.block);
        const QByteArray hex =
            QByteArray(reinterpret_cast<const char *>(bytes.data()), frame::kPayloadSize).toHex();
        text += QStringLiteral("%1 %2 %3\n")
                    .arg(int(address.bank))
                    .arg(address.block, 2)
                    .arg(QString::fromLatin1(hex));
    }
    return text;
}

namespace {

bool isRadioBank(int number)
{
    return std::any_of(kRadioMemory.begin(), kRadioMemory.end(),
                       [number](const BankBlocks &bank) { return int(bank.bank) == number; });
}

// The banks an image's header names. Without the line the image is complete, and one that ends
// early is a file cut short, not an image of fewer banks.
bool namedBanks(const QStringList &lines, RadioImage *image, QString *error)
{
    int namedOn = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const int comment = lines[i].indexOf(QLatin1Char('#'));
        const QString note = comment < 0 ? QString() : lines[i].mid(comment + 1).trimmed();
        if (!note.startsWith(kBanksTag))
            continue;
        auto fail = [&](const QString &problem) {
            *error = QStringLiteral("line %1: %2").arg(i + 1).arg(problem);
            return false;
        };
        if (namedOn != 0)
            return fail(QStringLiteral("the banks were already named on line %1").arg(namedOn));
        namedOn = i + 1;
        QList<Bank> banks;
        const QStringList fields =
            note.mid(kBanksTag.size()).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString &field : fields) {
            bool ok = false;
            const int number = field.toInt(&ok, 10);
            if (!ok || !isRadioBank(number))
                return fail(QStringLiteral("'%1' is not a bank of this radio").arg(field));
            if (banks.contains(Bank(number)))
                return fail(QStringLiteral("bank %1 is named twice").arg(number));
            banks.append(Bank(number));
        }
        if (banks.isEmpty())
            return fail(QStringLiteral("the image names no banks"));
        // The radio takes the channels and the settings in one write.
        if (banks.contains(Bank::Channels) != banks.contains(Bank::Settings)) {
            return fail(QStringLiteral("the channels and the settings go to the radio together: "
                                       "an image holds both or neither"));
        }
        *image = RadioImage(banks);
    }
    return true;
}

} // namespace

bool RadioImage::fromText(const QString &text, RadioImage *image, QString *error)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    RadioImage result;
    if (!namedBanks(lines, &result, error))
        return false;
    std::vector<int> definedOnLine(result.m_blocks.size(), 0);
    int lastLine = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNumber = i + 1;
        auto fail = [&](const QString &problem) {
            *error = QStringLiteral("line %1: %2").arg(lineNumber).arg(problem);
            return false;
        };
        QString line = lines[i];
        if (!line.trimmed().isEmpty())
            lastLine = lineNumber;
        const int comment = line.indexOf(QLatin1Char('#'));
        if (comment >= 0) {
            const QString note = line.mid(comment + 1).trimmed();
            if (note.startsWith(kLayoutTag) &&
                note.mid(kLayoutTag.size()).simplified() != layoutText()) {
                return fail(QStringLiteral("the image is of a radio with other banks (%1; this "
                                           "radio has %2)")
                                .arg(note.mid(kLayoutTag.size()).simplified(), layoutText()));
            }
            // The header says when and where the image was read; a document of it says so too.
            if (note.startsWith(QLatin1String("date:")))
                result.taken = QDateTime::fromString(note.mid(5).trimmed(), Qt::ISODate);
            else if (note.startsWith(QLatin1String("port:")))
                result.port = note.mid(5).trimmed();
            line.truncate(comment);
        }
        const QStringList fields = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.isEmpty())
            continue;
        if (fields.size() < 3)
            return fail(QStringLiteral("expected a bank, a block number and 56 hex digits"));
        bool bankOk = false;
        bool blockOk = false;
        const int bank = fields[0].toInt(&bankOk, 10);
        const int block = fields[1].toInt(&blockOk, 10);
        if (!bankOk)
            return fail(QStringLiteral("'%1' is not a bank number").arg(fields[0]));
        if (!blockOk)
            return fail(QStringLiteral("'%1' is not a block number").arg(fields[1]));
        const int index = isRadioBlock(bank, block) ? indexOf(Bank(bank), block) : -1;
        if (index < 0) {
            return fail(QStringLiteral("the radio has no block %1 in bank %2 (an image of "
                                       "another radio?)")
                            .arg(block)
                            .arg(bank));
        }
        if (!result.holds(Bank(bank))) {
            return fail(
                QStringLiteral("bank %1 is not one of the banks the image names").arg(bank));
        }
        if (definedOnLine[std::size_t(index)] != 0) {
            return fail(QStringLiteral("bank %1 block %2 was already given on line %3")
                            .arg(bank)
                            .arg(block)
                            .arg(definedOnLine[std::size_t(index)]));
        }
        QString problem;
        if (!parsePayloadHex(fields.mid(2), &result.m_blocks[std::size_t(index)], &problem))
            return fail(problem);
        definedOnLine[std::size_t(index)] = lineNumber;
    }
    // An image cut short would put zero bytes into the radio where its data was.
    for (const BlockAddress &address : result.heldBlocks()) {
        if (definedOnLine[std::size_t(indexOf(address.bank, address.block))] == 0) {
            *error = QStringLiteral("line %1: the image ends without bank %2 block %3 (a file "
                                    "cut short?)")
                         .arg(lastLine + 1)
                         .arg(int(address.bank))
                         .arg(address.block);
            return false;
        }
    }
    *image = std::move(result);
    return true;
}

bool RadioImage::readFile(const QString &path, RadioImage *image, QString *error)
{
    const FileRead file = readRegularFile(path, kMaxImageFileSize);
    if (!file.ok()) {
        *error = QStringLiteral("%1: %2").arg(path, file.error);
        return false;
    }
    if (file.bytes.size() > kMaxImageFileSize) {
        *error = QStringLiteral("%1: not a radio image (too large)").arg(path);
        return false;
    }
    QString problem;
    if (!fromText(QString::fromUtf8(file.bytes), image, &problem)) {
        *error = QStringLiteral("%1: %2").arg(path, problem);
        return false;
    }
    return true;
}

bool RadioImage::writeFile(const QString &path, const QString &programVersion, QString *error) const
{
    // A save renames a new file over the old one: over a device it would put a file in its place.
    if (const QString reason = whyNotSaveable(path); !reason.isEmpty()) {
        *error = QStringLiteral("%1: %2").arg(path, reason);
        return false;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(toText(programVersion).toUtf8());
        if (file.commit())
            return true;
    }
    *error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
}

QList<ByteMismatch> compareBlocks(const RadioImage &expected, const RadioImage &actual,
                                  const QList<BlockAddress> &blocks)
{
    QList<ByteMismatch> mismatches;
    for (const BlockAddress &address : blocks) {
        const BlockPayload &a = expected.payload(address.bank, address.block);
        const BlockPayload &b = actual.payload(address.bank, address.block);
        for (int byte = 0; byte < frame::kPayloadSize; ++byte) {
            if (a[std::size_t(byte)] != b[std::size_t(byte)])
                mismatches.append({address, byte, a[std::size_t(byte)], b[std::size_t(byte)]});
        }
    }
    return mismatches;
}

QString snapshotFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/writefreq/snapshots");
}

QString radioSnapshotPath(const QString &port)
{
    QString portPart = port;
    portPart.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]+")), QStringLiteral("_"));
    while (portPart.startsWith(QLatin1Char('_')))
        portPart.remove(0, 1);
    const QString folder = snapshotFolder();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = QStringLiteral("%1/%2-%3.img").arg(folder, stamp, portPart);
    // Two writes within a second (a fleet of fast radios) keep both snapshots.
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QStringLiteral("%1/%2-%3-%4.img").arg(folder, stamp, portPart).arg(n);
    return path;
}

QString bankName(Bank bank)
{
    switch (bank) {
    case Bank::Channels:
        return QStringLiteral("channels");
    case Bank::Settings:
        return QStringLiteral("settings");
    case Bank::Dtmf:
        return QStringLiteral("DTMF");
    case Bank::Fsk:
        return QStringLiteral("FSK");
    case Bank::TwoTone:
        return QStringLiteral("2-Tone");
    case Bank::FiveTone:
        return QStringLiteral("5-Tone");
    }
    return QString::number(int(bank));
}

} // namespace wf
