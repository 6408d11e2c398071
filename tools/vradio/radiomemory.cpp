// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/vradio/radiomemory.h"

#include "protocol/radioimage.h"

#include "tools/vradio/demoimage.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace wf::vradio {

namespace {

int totalBlocks()
{
    int count = 0;
    for (const BankBlocks &bank : kRadioMemory)
        count += bank.count();
    return count;
}

bool parseNumber(const QString &field, int *value)
{
    bool ok = false;
    *value = field.toInt(&ok, 10);
    return ok;
}

} // namespace

RadioMemory::RadioMemory()
    : m_blocks(totalBlocks(), Payload{})
{}

RadioMemory RadioMemory::demo()
{
    RadioMemory memory;
    QString error;
    const bool ok = memory.loadText(QString::fromUtf8(kDemoImage), &error);
    Q_ASSERT_X(ok, "RadioMemory::demo", qPrintable(error));
    Q_UNUSED(ok);
    return memory;
}

QList<BlockId> RadioMemory::blocks()
{
    QList<BlockId> list;
    for (const BankBlocks &bank : kRadioMemory) {
        for (int block = bank.first; block <= bank.last; ++block)
            list.append({static_cast<int>(bank.bank), block});
    }
    return list;
}

int RadioMemory::indexOf(int bank, int block)
{
    int offset = 0;
    for (const BankBlocks &b : kRadioMemory) {
        if (static_cast<int>(b.bank) == bank && b.contains(block))
            return offset + block - b.first;
        offset += b.count();
    }
    return -1;
}

const Payload &RadioMemory::payload(int bank, int block) const
{
    const int index = indexOf(bank, block);
    Q_ASSERT(index >= 0);
    return m_blocks[index];
}

void RadioMemory::setPayload(int bank, int block, const Payload &payload)
{
    const int index = indexOf(bank, block);
    Q_ASSERT(index >= 0);
    m_blocks[index] = payload;
}

bool RadioMemory::loadText(const QString &text, QString *error, QList<BlockId> *missing)
{
    std::vector<Payload> blocks(m_blocks.size(), Payload{});
    std::vector<int> definedOnLine(m_blocks.size(), 0);

    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNumber = i + 1;
        auto fail = [&](const QString &problem) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(lineNumber).arg(problem);
            return false;
        };

        QString line = lines[i];
        const int comment = line.indexOf(QLatin1Char('#'));
        if (comment >= 0)
            line.truncate(comment);
        const QStringList fields = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.isEmpty())
            continue;
        if (fields.size() < 3)
            return fail(QStringLiteral("expected a bank, a block number and 56 hex digits"));

        int bank = 0;
        int block = 0;
        if (!parseNumber(fields[0], &bank))
            return fail(QStringLiteral("'%1' is not a bank number").arg(fields[0]));
        if (!parseNumber(fields[1], &block))
            return fail(QStringLiteral("'%1' is not a block number").arg(fields[1]));
        const int index = indexOf(bank, block);
        if (index < 0)
            return fail(
                QStringLiteral("the radio has no block %1 in bank %2").arg(block).arg(bank));
        if (definedOnLine[index] != 0) {
            return fail(QStringLiteral("bank %1 block %2 was already given on line %3")
                            .arg(bank)
                            .arg(block)
                            .arg(definedOnLine[index]));
        }

        QString problem;
        if (!parsePayloadHex(fields.mid(2), &blocks[index], &problem))
            return fail(problem);
        definedOnLine[index] = lineNumber;
    }

    if (missing) {
        missing->clear();
        const QList<BlockId> all = RadioMemory::blocks();
        for (const BlockId &id : all) {
            if (definedOnLine[indexOf(id.bank, id.block)] == 0)
                missing->append(id);
        }
    }
    m_blocks = std::move(blocks);
    return true;
}

QString RadioMemory::toText() const
{
    QString text = QStringLiteral(
        "# writefreq virtual radio memory image\n"
        "# One line a block: bank, block number, the 28 payload bytes as 56 hex digits.\n"
        "# '#' starts a comment; a block not listed holds 28 zero bytes.\n");
    int lastBank = -1;
    const QList<BlockId> all = blocks();
    for (const BlockId &id : all) {
        if (id.bank != lastBank) {
            text += QLatin1Char('\n');
            lastBank = id.bank;
        }
        const Payload &bytes = payload(id.bank, id.block);
        const QByteArray hex =
            QByteArray(reinterpret_cast<const char *>(bytes.data()), frame::kPayloadSize).toHex();
        text += QStringLiteral("%1 %2 %3\n")
                    .arg(id.bank)
                    .arg(id.block, 2)
                    .arg(QString::fromLatin1(hex));
    }
    return text;
}

bool RadioMemory::loadFile(const QString &path, QString *error, QList<BlockId> *missing)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    const QString text = QString::fromUtf8(file.readAll());
    QString problem;
    if (!loadText(text, &problem, missing)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, problem);
        return false;
    }
    return true;
}

bool RadioMemory::saveFile(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(toText().toUtf8());
        if (file.commit())
            return true;
    }
    if (error)
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
}

} // namespace wf::vradio
