// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/numbertext.h"

#include <cmath>
#include <limits>

namespace wf {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int hexDigitValue(QChar c)
{
    if (isAsciiDigit(c))
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// Skips a run of ASCII digits from `at` and returns how many there were.
qsizetype skipDigits(QStringView text, qsizetype &at)
{
    const qsizetype start = at;
    while (at < text.size() && isAsciiDigit(text[at]))
        ++at;
    return at - start;
}

bool isDecimalSyntax(QStringView text)
{
    qsizetype at = 0;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-'))
        ++at;
    qsizetype mantissaDigits = skipDigits(text, at);
    if (at < text.size() && text[at] == u'.') {
        ++at;
        mantissaDigits += skipDigits(text, at);
    }
    if (mantissaDigits == 0)
        return false;
    if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        ++at;
        if (at < text.size() && (text[at] == u'+' || text[at] == u'-'))
            ++at;
        if (skipDigits(text, at) == 0)
            return false;
    }
    return at == text.size();
}

} // namespace

QString invalidIntegerMessage(QStringView text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

QString invalidFloatMessage(QStringView text)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}

namespace {
constexpr double kLargestDecimal = 1e15;
} // namespace

std::optional<double> readDecimal(QStringView text)
{
    const QStringView number = text.trimmed();
    if (!isDecimalSyntax(number))
        return std::nullopt;
    // The syntax is checked above, so the conversion only has the range left to refuse.
    bool ok = false;
    const double value = number.toDouble(&ok);
    // Nothing the radio keeps comes near 10^15. A larger number (only a pasted text or an edited
    // data file can hold one) would lose its last digits, and overflow to "inf" when it is
    // scaled to be shown with its decimals.
    if (!ok || !std::isfinite(value) || std::abs(value) >= kLargestDecimal)
        return std::nullopt;
    return value;
}

std::optional<qint32> readInteger(QStringView text)
{
    QStringView number = text.trimmed();
    bool negative = false;
    if (!number.isEmpty() && (number.front() == u'+' || number.front() == u'-')) {
        negative = number.front() == u'-';
        number = number.mid(1);
    }
    int base = 10;
    if (!number.isEmpty() && number.front() == u'$') {
        base = 16;
        number = number.mid(1);
    }
    if (number.isEmpty())
        return std::nullopt;

    // One past the largest magnitude, so that the most negative number still fits.
    constexpr qint64 limit = qint64(std::numeric_limits<qint32>::max()) + 1;
    qint64 magnitude = 0;
    for (const QChar c : number) {
        const int digit =
            base == 16 ? hexDigitValue(c) : (isAsciiDigit(c) ? c.unicode() - u'0' : -1);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    if (!negative && magnitude == limit)
        return std::nullopt;
    return static_cast<qint32>(negative ? -magnitude : magnitude);
}

QString formatDecimal(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double scaled = QString::number(value * scale, 'g', 15).toDouble();
    const double rounded = std::round(scaled) / scale;
    return QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', decimals);
}

} // namespace wf
