// SPDX-License-Identifier: GPL-3.0-or-later
// The check that completes a channel row when the user commits a cell, fed any texts: typed,
// pasted or loaded from a data file edited by hand.
//
// Input: the committed column (first byte, modulo 16), the language (bit 0 of the second byte:
// English), then the sixteen cells of the row and the text the committed cell held before the
// edit, each ended by a 0xFF byte and read as UTF-8.
//
// Checked: a text that does not read as a number leaves the whole row as it was, unless it was
// typed over the receive frequency of a channel, which then gets its frequency back; otherwise
// the channel number never changes, a row left without receive frequency is empty, a fresh row
// gets the usual values, and in any other row only the committed cell may change, into the form
// its column takes.
#include "fuzzinput.h"

#include "channels/cellchecks.h"
#include "channels/channeltable.h"
#include "channels/numbertext.h"
#include "i18n/words.h"

using namespace wf;

namespace {

// "145.50000": the form the frequency columns take once checked.
bool isFiveDecimals(const QString &text)
{
    const qsizetype point = text.indexOf(u'.');
    const qsizetype first = text.startsWith(u'-') ? 1 : 0;
    if (point <= first || text.size() - point - 1 != 5)
        return false;
    for (qsizetype i = first; i < text.size(); ++i) {
        if (i != point && (text[i] < u'0' || text[i] > u'9'))
            return false;
    }
    return readDecimal(text).has_value();
}

bool isCheckedFrequency(const QString &text)
{
    if (!isFiveDecimals(text))
        return false;
    const double value = *readDecimal(text);
    return value >= 0 && value <= 999.99999;
}

bool isAscii(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// A tone cell holds the none word of the language, a DCS code (four characters ending in N or
// I) or a number of Hz with one decimal.
bool isCheckedTone(const QString &text, Language language)
{
    if (text == words::kNone.in(language))
        return true;
    if (text.isEmpty() || !isAscii(text))
        return false;
    if (text.size() == 4 && (text.endsWith(u'N') || text.endsWith(u'I')))
        return true;
    const qsizetype point = text.indexOf(u'.');
    return point > 0 && point == text.size() - 2 && readDecimal(text).has_value();
}

bool isBlank(const QString &text)
{
    return text.isEmpty() || text == QLatin1String(" ");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::InputReader input(data, size);
    const int committed = input.byte() % column::kCount;
    const Language language = (input.byte() & 1) ? Language::English : Language::Chinese;
    const QStringList texts = input.texts(column::kCount + 1);
    ChannelRow before;
    std::copy(texts.begin(), texts.begin() + column::kCount, before.begin());
    const QString &previous = texts.last();

    ChannelRow row = before;
    const Conversion result = checkCommittedCell(row, committed, language, previous);

    // A receive frequency typed over a channel's gives way to the one it had, whatever was
    // typed; that one is written with five decimals like any other, whether or not it was ever
    // checked (a data file edited by hand).
    const bool heldChannel = committed == column::RxFrequency && !isBlank(previous);
    const auto isReceiveFrequency = [&](const QString &text) {
        return isCheckedFrequency(text) || (heldChannel && isFiveDecimals(text));
    };
    const auto othersUnchanged = [&] {
        for (int c = 0; c < column::kCount; ++c) {
            if (c != committed && row[c] != before[c])
                return false;
        }
        return true;
    };

    if (!result.ok()) {
        // Only the frequency and tone columns read their text as a number.
        FUZZ_CHECK(committed >= column::RxFrequency && committed <= column::EncodeTone);
        if (!heldChannel) {
            FUZZ_CHECK(row == before);
            return 0;
        }
        // The channel's own frequency back, stopped there when that is no number either.
        if (row[column::RxFrequency] == previous && othersUnchanged())
            return 0;
    }
    FUZZ_CHECK(row[column::Number] == before[column::Number]);
    // Only emptying it deletes a channel; a mistyped frequency does not.
    if (heldChannel && !isBlank(before[column::RxFrequency]))
        FUZZ_CHECK(!isBlank(row[column::RxFrequency]));

    if (isBlank(row[column::RxFrequency])) {
        for (int c = column::RxFrequency; c < column::kCount; ++c)
            FUZZ_CHECK(row[c].isEmpty());
        return 0;
    }

    // Only a committed receive frequency can make a row fresh: one whose last two cells were
    // never filled, or hold the single spaces of an empty row loaded from a data file.
    const bool fresh = committed == column::RxFrequency && isBlank(before[column::Compander]) &&
                       isBlank(before[column::SignallingInfo]);
    if (fresh) {
        FUZZ_CHECK(isReceiveFrequency(row[column::RxFrequency]));
        FUZZ_CHECK(row[column::TxFrequency] == row[column::RxFrequency]);
        const auto &columns = table::channelColumns();
        for (int c = column::DecodeTone; c < column::kCount; ++c)
            FUZZ_CHECK(row[c] == columns[c].freshValue.in(language));
        return 0;
    }

    FUZZ_CHECK(othersUnchanged());
    const QString &cell = row[committed];
    switch (committed) {
    case column::RxFrequency:
        FUZZ_CHECK(isReceiveFrequency(cell));
        break;
    case column::TxFrequency:
        // A blank transmit cell is not checked; an unacceptable one is emptied.
        FUZZ_CHECK((cell == before[committed] && isBlank(cell)) || cell.isEmpty() ||
                   isCheckedFrequency(cell));
        break;
    case column::DecodeTone:
    case column::EncodeTone:
        FUZZ_CHECK(isCheckedTone(cell, language));
        break;
    default:
        FUZZ_CHECK(cell == before[committed]);
        break;
    }
    return 0;
}
