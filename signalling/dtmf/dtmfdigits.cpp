// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/dtmf/dtmfdigits.h"

#include <algorithm>
#include <cstddef>

namespace wf::dtmf {

namespace {

template<std::size_t N>
quint32 encodeDigits(const DigitCode (&codes)[N], QStringView text)
{
    quint32 value = 0;
    for (const QChar c : text) {
        const auto *entry = std::find_if(std::begin(codes), std::end(codes),
                                         [c](const DigitCode &d) { return d.character == c; });
        // A character the radio has no code for is dropped without taking a place.
        if (entry != std::end(codes))
            value = value << 4 | entry->code;
    }
    return value;
}

template<std::size_t N>
std::optional<QString> decodeDigits(const DigitCode (&codes)[N], quint32 value, int count)
{
    if (value == 0 || count <= 0)
        return std::nullopt;
    count = std::min(count, kMaxDigits);
    QString text(count, QLatin1Char(' '));
    for (int i = count - 1; i >= 0; --i, value >>= 4) {
        const quint8 code = value & 0xF;
        const auto *entry = std::find_if(std::begin(codes), std::end(codes),
                                         [code](const DigitCode &d) { return d.code == code; });
        text[i] = QChar(entry->character);
    }
    return text;
}

} // namespace

bool hasOnlyDtmfDigits(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return std::any_of(std::begin(kDialDigitCodes), std::end(kDialDigitCodes),
                           [c](const DigitCode &d) { return d.character == c; });
    });
}

quint32 EncodeDialDigits(QStringView text)
{
    return encodeDigits(kDialDigitCodes, text);
}

std::optional<QString> DecodeDialDigits(quint32 value, int count)
{
    return decodeDigits(kDialDigitCodes, value, count);
}

quint32 EncodeIdDigits(QStringView text)
{
    return encodeDigits(kIdDigitCodes, text);
}

std::optional<QString> DecodeIdDigits(quint32 value, int count)
{
    return decodeDigits(kIdDigitCodes, value, count);
}

int significantDigits(quint32 value)
{
    int digits = 0;
    for (; value != 0; value >>= 4)
        ++digits;
    return digits;
}

} // namespace wf::dtmf
