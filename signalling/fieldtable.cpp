// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/fieldtable.h"

#include "channels/cellchecks.h"
#include "channels/numbertext.h"
#include "channels/refusals.h"

#include <algorithm>

namespace wf {

namespace {

int bitsOf(const FieldLayout &field)
{
    return field.bits > 0 ? field.bits : 8 * field.width;
}

quint64 maskOf(int bits)
{
    return bits >= 64 ? ~quint64(0) : (quint64(1) << bits) - 1;
}

qint64 highestOf(const FieldLayout &field)
{
    return field.maximum >= 0 ? field.maximum : qint64(maskOf(bitsOf(field)));
}

quint64 readBytes(const FieldLayout &field, const quint8 *base)
{
    quint64 raw = 0;
    for (int i = field.width - 1; i >= 0; --i)
        raw = raw << 8 | base[field.at + i];
    return raw;
}

// Only the field's own bits change: two fields may share a byte, a nibble each.
void store(const FieldLayout &field, quint64 value, quint8 *base)
{
    const quint64 mask = maskOf(bitsOf(field)) << field.shift;
    quint64 raw = readBytes(field, base);
    raw = (raw & ~mask) | ((value << field.shift) & mask);
    for (int i = 0; i < field.width; ++i)
        base[field.at + i] = static_cast<quint8>(raw >> (8 * i));
}

quint64 load(const FieldLayout &field, const quint8 *base)
{
    return (readBytes(field, base) >> field.shift) & maskOf(bitsOf(field));
}

std::optional<int> codeOfWord(const FieldLayout &field, QStringView text, Language language)
{
    if (field.match == WordMatch::EitherLanguage)
        return codeOf(field.words, text);
    for (const CodeWord &entry : field.words) {
        if (entry.word.in(language) == text)
            return entry.code;
    }
    return std::nullopt;
}

// The number a text stands for, in the units the bytes hold, or the conversion message.
QString readNumber(const FieldLayout &field, const QString &text, qint64 &value)
{
    switch (field.kind) {
    case FieldKind::Integer:
        if (const std::optional<qint32> number = readInteger(text)) {
            value = *number;
            return {};
        }
        return invalidIntegerMessage(text);
    case FieldKind::Scaled: {
        const std::optional<qint32> number = readInteger(text);
        if (!number)
            return invalidIntegerMessage(text);
        // The quotient goes through its decimal text, so 1250 over 100 is refused as '12.5'.
        if (*number % field.divisor != 0)
            return invalidIntegerMessage(QString::number(double(*number) / field.divisor, 'g', 15));
        value = *number / field.divisor;
        return {};
    }
    case FieldKind::WholeDecimal: {
        const std::optional<double> number = readDecimal(text);
        if (!number)
            return invalidFloatMessage(text);
        const QString whole = QString::number(*number, 'g', 15);
        const std::optional<qint32> integer = readInteger(whole);
        if (!integer)
            return invalidIntegerMessage(whole);
        value = *integer;
        return {};
    }
    case FieldKind::Hex: {
        // Read as the integer conversion reads "$" and hexadecimal digits, so an empty cell is
        // reported as '$'.
        const QString prefixed = QLatin1Char('$') + text;
        if (const std::optional<qint32> number = readInteger(prefixed)) {
            value = *number;
            return {};
        }
        return invalidIntegerMessage(prefixed);
    }
    case FieldKind::Words:
    case FieldKind::Flag:
        break;
    }
    Q_UNREACHABLE();
    return {};
}

QString wordText(const FieldLayout &field, int code, Language language)
{
    return wordOf(field.words, code, language).value_or(QStringView()).toString();
}

} // namespace

QString fieldName(WordPair name, int row, Language language)
{
    const QString plain = name.in(language).toString().trimmed();
    if (row == 0)
        return plain;
    return language == Language::English ? QStringLiteral("%1 (row %2)").arg(plain).arg(row)
                                         : QStringLiteral("%1(第%2行)").arg(plain).arg(row);
}

QString outOfRangeMessage(WordPair name, int row, QStringView text, qint64 lowest, qint64 highest,
                          Language language)
{
    return outOfRangeText(fieldName(name, row, language), text, QString::number(lowest),
                          QString::number(highest), language);
}

QString encodeFieldText(const FieldLayout &field, const QString &text, quint8 *base,
                        Language language, int row)
{
    Q_ASSERT(field.width >= 1 && field.width <= 4 && field.kind != FieldKind::Flag);
    if (field.blankIsZero && isBlankCell(text)) {
        store(field, 0, base);
        return {};
    }
    if (field.blankIsErased && isBlankCell(text)) {
        store(field, maskOf(field.bits > 0 ? field.bits : 8 * field.width), base);
        return {};
    }
    if (const std::optional<int> code = codeOfWord(field, text, language)) {
        store(field, quint64(*code), base);
        return {};
    }
    if (field.kind == FieldKind::Words) {
        if (field.unknownText != kKeepBits)
            store(field, quint64(field.unknownText), base);
        return {};
    }

    qint64 value = 0;
    QString error = readNumber(field, text, value);
    if (!error.isEmpty())
        return error;
    // The radio would keep only the low bits of a larger number, which is never what was typed.
    const qint64 highest = highestOf(field);
    if (value < field.minimum || value > highest)
        return outOfRangeMessage(field.name, row, text, field.minimum * field.divisor,
                                 highest * field.divisor, language);
    store(field, quint64(value), base);
    return {};
}

void encodeFieldFlag(const FieldLayout &field, bool checked, quint8 *base)
{
    base[field.at] = checked ? field.onByte : 0x00;
}

std::optional<QString> decodeFieldText(const FieldLayout &field, const quint8 *base,
                                       Language language)
{
    const quint64 value = load(field, base);
    if (field.blankIsZero && value == 0)
        return QString();
    if (wordOf(field.words, int(value), language))
        return wordText(field, int(value), language);

    switch (field.kind) {
    case FieldKind::Words:
        if (field.unknownCode == kKeepText)
            return std::nullopt;
        return wordText(field, field.unknownCode, language);
    case FieldKind::Integer:
    case FieldKind::Scaled:
    case FieldKind::WholeDecimal:
        return QString::number(value * quint64(field.divisor));
    case FieldKind::Hex: {
        const int digits = field.hexDigits > 0 ? field.hexDigits : 2 * field.width;
        QString text = QString::number(value & maskOf(4 * digits), 16)
                           .toUpper()
                           .rightJustified(digits, QLatin1Char('0'));
        if (!field.shownDigits.isEmpty())
            text.removeIf([&field](QChar c) { return !field.shownDigits.contains(c); });
        return text;
    }
    case FieldKind::Flag:
        break;
    }
    return std::nullopt;
}

bool decodeFieldFlag(const FieldLayout &field, const quint8 *base)
{
    const quint8 byte = base[field.at];
    return field.flagRead == FlagRead::AnyNonZero ? byte != 0 : byte == field.onByte;
}

void putBlockFrame(FrameBuffer &tx, Bank bank, int block, const Payload &payload)
{
    putBlockHeader(tx.data(), static_cast<quint8>(bank), static_cast<quint8>(block));
    std::copy(payload.begin(), payload.end(), tx.begin() + frame::kPayloadOffset);
}

Payload payloadOfFrame(const quint8 *frame)
{
    Payload payload;
    std::copy_n(frame + frame::kPayloadOffset, payload.size(), payload.begin());
    return payload;
}

} // namespace wf
