// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/cellchecks.h"

#include "channels/channeltable.h"
#include "channels/numbertext.h"
#include "i18n/words.h"

#include <algorithm>

namespace wf {

namespace {

using namespace Qt::StringLiterals;

// The typed value with one decimal; anything above 300 Hz is held at 300.0.
CheckedText toneValue(const QString &text, bool capAt300)
{
    const std::optional<double> value = readDecimal(text);
    if (!value)
        return {text, invalidFloatMessage(text)};
    if (capAt300 && *value > 300)
        return {u"300.0"_s, {}};
    return {formatDecimal(*value, 1), {}};
}

// No suffix letters, and at most one point (none at all in a one-character text).
bool isNumericTone(const QString &text)
{
    const int points = CountChar(u'.', text);
    const bool letters =
        text.contains(u'O') || text.contains(u'E') || text.contains(u'I') || text.contains(u'N');
    return !letters && (text.size() == 1 ? points == 0 : points <= 1);
}

// Digits and the one suffix letter last, as in 023N or 7I.
bool isDcsForm(const QString &text, QChar suffix)
{
    const QChar other = suffix == u'N' ? u'I' : u'N';
    return !text.contains(u'O') && !text.contains(u'E') && !text.contains(u'.') &&
           !text.contains(other) && CountChar(suffix, text) == 1 && text.endsWith(suffix);
}

bool isDcsForm(const QString &text)
{
    return isDcsForm(text, u'N') || isDcsForm(text, u'I');
}

bool hasNonAscii(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x80; });
}

CheckedText acceptableFrequency(const QString &text, Language)
{
    return CheckFrequencyText(text);
}

CheckedText fiveDecimals(const QString &text, Language)
{
    const std::optional<double> value = readDecimal(text);
    if (!value)
        return {text, invalidFloatMessage(text)};
    return {formatDecimal(*value, 5), {}};
}

} // namespace

int CountChar(QChar c, QStringView text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), c));
}

int CountLetters(QStringView text)
{
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    }));
}

bool isBlankCell(const QString &text)
{
    return text.isEmpty() || text == u" "_s;
}

CheckedText CheckFrequencyText(const QString &text)
{
    if (text.isEmpty())
        return {text, {}};
    if (CountChar(u'.', text) > 1 || CountLetters(text) > 0)
        return {};
    const std::optional<double> value = readDecimal(text);
    if (!value)
        return {text, invalidFloatMessage(text)};
    if (*value > 999.99999 || *value <= 0)
        return {};
    return {text, {}};
}

CheckedText NormaliseToneText(const QString &text, Language language)
{
    const QString none = words::kNone.in(language).toString();
    const bool blank = isBlankCell(text) || text == words::kNone.chinese;
    if (!blank && hasNonAscii(text))
        return {none, {}};
    if (blank || text == words::kNone.english)
        return {none, {}};

    // Only ASCII is left, so the length in characters is the length in bytes.
    const bool numeric = isNumericTone(text);
    switch (text.size()) {
    case 1:
        return numeric ? toneValue(text, false) : CheckedText{u"62.5"_s, {}};
    case 2:
        if (isDcsForm(text))
            return {u"00"_s + text, {}};
        return numeric ? toneValue(text, false) : CheckedText{u"62.5"_s, {}};
    case 3:
        if (isDcsForm(text))
            return {u"0"_s + text, {}};
        return numeric ? toneValue(text, true) : CheckedText{none, {}};
    case 4:
        if (isDcsForm(text))
            return {text, {}};
        return numeric ? toneValue(text, true) : CheckedText{u"62.5"_s, {}};
    default:
        if (text.endsWith(u'N'))
            return {u"023N"_s, {}};
        if (text.endsWith(u'I'))
            return {u"023I"_s, {}};
        return numeric ? toneValue(text, true) : CheckedText{u"62.5"_s, {}};
    }
}

Conversion checkCommittedCell(ChannelRow &row, int column, Language language,
                              const QString &previousText)
{
    const auto rxSet = [&row] {
        return !isBlankCell(row[column::RxFrequency]);
    };
    const auto txSet = [&row] {
        return !isBlankCell(row[column::TxFrequency]);
    };

    // The checks in the order they run; each sees the row as the ones before it left it, and
    // only the committed cell is checked. A text that does not read as a number ends the check.
    struct Step
    {
        int column;
        bool needsText;    ///< a blank cell is left as it is
        bool keepsChannel; ///< an unacceptable text gives way to the channel's previous one
        CheckedText (*check)(const QString &text, Language language);
    };
    static constexpr Step kSteps[] = {
        {column::DecodeTone, false, false, NormaliseToneText},
        {column::EncodeTone, false, false, NormaliseToneText},
        {column::RxFrequency, false, true, acceptableFrequency},
        {column::TxFrequency, true, false, acceptableFrequency},
        {column::RxFrequency, false, false, fiveDecimals},
        {column::TxFrequency, true, false, fiveDecimals},
    };
    // One mistyped digit must not cost a channel all its settings: the frequency it had comes
    // back, as silently as the other replacements (only a text that is no number is reported).
    const bool heldChannel = !isBlankCell(previousText);
    QString reported;
    for (const Step &step : kSteps) {
        if (step.column != column || !rxSet() || (step.needsText && !txSet()))
            continue;
        const CheckedText checked = step.check(row[column], language);
        if (step.keepsChannel && heldChannel && (!checked.ok() || isBlankCell(checked.text))) {
            row[column] = previousText;
            reported = checked.error;
            continue;
        }
        if (!checked.ok())
            return {checked.error};
        row[column] = checked.text;
    }
    // A row whose last two cells were never filled is new: it takes the usual values. An empty
    // row of a loaded data file holds single spaces there; it is just as new, or its tone cells
    // would keep spaces that no radio block can carry.
    if (column == column::RxFrequency && rxSet() && isBlankCell(row[column::Compander]) &&
        isBlankCell(row[column::SignallingInfo])) {
        row[column::TxFrequency] = row[column::RxFrequency];
        const auto &columns = table::channelColumns();
        for (int c = column::DecodeTone; c < column::kCount; ++c)
            row[c] = columns[c].freshValue.in(language).toString();
    }
    if (!rxSet()) {
        for (int c = column::RxFrequency; c < column::kCount; ++c)
            row[c].clear();
    }
    return {reported};
}

} // namespace wf
