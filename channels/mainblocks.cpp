// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/mainblocks.h"

#include "channels/channeltable.h"
#include "channels/codetables.h"
#include "channels/numbertext.h"
#include "channels/refusals.h"
#include "i18n/words.h"

#include <algorithm>

namespace wf {

namespace {

constexpr quint8 kChannelBank = static_cast<quint8>(Bank::Channels);
constexpr quint8 kSettingsBank = static_cast<quint8>(Bank::Settings);
constexpr quint8 kSettingsBlock = 0;
constexpr int kLastPayloadByte = frame::kPayloadSize - 1;

// How a channel cell becomes payload bytes and back.
enum class ChannelField {
    Frequency,         // 32-bit Hz; the receive frequency, never empty once the row exists
    OptionalFrequency, // 32-bit Hz; an empty cell is 0
    Tone,              // 16-bit tone code
    Switch,            // 0x00 for the off word, 0xFF for the on word; any non-zero reads as on
    Step,              // 16-bit number
    Code,              // one byte from a code table
    WordOrNumber,      // 0 for the word, otherwise the number in one byte
    Number,            // the number in one byte
};

struct ChannelLayout
{
    int column;
    int at; // payload byte
    ChannelField field;
    WordPair off = {}; // Switch: the word for 0x00; WordOrNumber: the word for 0
    WordPair on = {};  // Switch: the word for 0xFF, also shown for any other byte
    CodeTable codes = {};
};

// In the order the radio's fields are built, which is also the order errors are reported in:
// the compander sits ahead of the signalling fields in the block.
constexpr ChannelLayout kChannelLayout[] = {
    {column::RxFrequency, 0, ChannelField::Frequency},
    {column::TxFrequency, 4, ChannelField::OptionalFrequency},
    {column::DecodeTone, 8, ChannelField::Tone},
    {column::EncodeTone, 10, ChannelField::Tone},
    {column::Power, 12, ChannelField::Switch, words::kLow, words::kHigh},
    {column::Bandwidth, 13, ChannelField::Switch, words::kNarrow, words::kWide},
    {column::ScanAdd, 14, ChannelField::Switch, words::kNone, words::kYes},
    {column::Step, 15, ChannelField::Step},
    {column::DtmfKey1, 17, ChannelField::Code, {}, {}, kDtmfKeys},
    {column::DtmfKey2, 18, ChannelField::Code, {}, {}, kDtmfKeys},
    {column::PttId, 19, ChannelField::Code, {}, {}, kPttIdModes},
    {column::Scrambler, 20, ChannelField::WordOrNumber, words::kNone},
    {column::Compander, 21, ChannelField::Switch, words::kNone, words::kYes},
    {column::Signalling, 22, ChannelField::Code, {}, {}, kSignallingSystems},
    {column::SignallingInfo, 23, ChannelField::Number},
};

// How a settings box becomes a payload byte and back.
enum class SettingField {
    Switch,       // 1 for the on word, 0 for the off word; only 1 reads as on
    WordOrNumber, // 0 for the word, otherwise the number
    Number,       // the number
    Code,         // a code table; codes outside it show the word of `fallback`
};

struct SettingLayout
{
    int box;
    int at; // payload byte
    SettingField field;
    WordPair word = {}; // WordOrNumber: the word for 0
    CodeTable codes = {};
    int fallback = 0; // Code: the code whose word shows every code not listed
};

constexpr SettingLayout kSettingsLayout[] = {
    {setting::VoxLevel, 8, SettingField::WordOrNumber, words::kNone},
    {setting::VoxDelay, 9, SettingField::Number},
    {setting::Squelch, 10, SettingField::Number},
    {setting::TimeOut, 11, SettingField::WordOrNumber, words::kClose},
    {setting::VoicePrompt, 12, SettingField::Code, {}, kVoicePrompts, 2},
    {setting::Pf1, 13, SettingField::Code, {}, kKeyFunctions, 0},
    {setting::Pf2, 14, SettingField::Code, {}, kKeyFunctions, 0},
    {setting::Scan, 15, SettingField::Switch},
    {setting::BatterySave, 0, SettingField::Switch},
    {setting::Beep, 1, SettingField::Switch},
};
constexpr int kSettingsReservedEnd = 8; // payload bytes 0..7 are sent as zero

// One frame under construction: frame bytes 0..31 copied from the transmit buffer, so that a
// conversion that fails half-way leaves the buffer exactly as the previous frame left it.
using FrameDraft = std::array<quint8, frame::kCrcOffset>;

FrameDraft draftFrom(const FrameBuffer &tx)
{
    FrameDraft draft;
    std::copy_n(tx.begin(), draft.size(), draft.begin());
    return draft;
}

void commit(const FrameDraft &draft, FrameBuffer &tx)
{
    std::copy(draft.begin(), draft.end(), tx.begin());
}

bool isEmptyCell(const QString &text)
{
    // A cell emptied by loading a data file holds one space.
    return text.isEmpty() || text == QLatin1String(" ");
}

// The text times `scale`, brought to 15 significant digits as the radio's values were always
// computed, which must then be a whole number from `minimum` to `maximum`. The message quotes
// the scaled number when that is what does not fit, so that "145.1234567" is reported as
// '145123456.7'.
QString scaleToWhole(QStringView text, double scale, qint64 minimum, qint64 maximum, qint64 &value)
{
    const std::optional<double> number = readDecimal(text);
    if (!number)
        return invalidFloatMessage(text);
    const QString scaled = QString::number(*number * scale, 'g', 15);
    const std::optional<qint32> whole = readInteger(scaled);
    if (!whole || *whole < minimum || *whole > maximum)
        return invalidIntegerMessage(scaled);
    value = *whole;
    return {};
}

// What a refusal names: a channel's column, or a settings box when `channel` is 0, with the
// captions and value lists the user sees, in the display language.
struct Refusal
{
    int channel;
    WordPair caption;
    table::ValueList list;
    Language language;

    QString name() const
    {
        return channel > 0 ? channelFieldName(channel, caption, language)
                           : settingName(caption, language);
    }
    QString outOfRange(QStringView text, const QString &lowest, const QString &highest) const
    {
        return outOfRangeText(name(), text, lowest, highest, language);
    }
    QString notOneOf(QStringView text) const
    {
        return notOneOfText(name(), text, table::items(list, language), language);
    }
};

Refusal refusalFor(const ChannelLayout &layout, int channel, Language language)
{
    const table::ChannelColumn &c = table::channelColumns()[std::size_t(layout.column)];
    return {channel, c.caption, c.list, language};
}

Refusal refusalFor(const SettingLayout &layout, Language language)
{
    const table::SettingsBox &box = table::settingsBoxes()[std::size_t(layout.box)];
    return {0, box.caption, box.list, language};
}

// The radio keeps a frequency as eight decimal digits of tens of hertz.
constexpr qint64 kHighestHertz = 999'999'990;

QString encodeFrequency(const QString &text, quint8 *payload, int at, const Refusal &refusal)
{
    const std::optional<double> megahertz = readDecimal(text);
    if (!megahertz)
        return invalidFloatMessage(text);
    // The range first: 2147.48 MHz would otherwise fit the bytes and reach the radio as a
    // frequency it cannot show, and a negative one would wrap.
    const double hertz = QString::number(*megahertz * 1e6, 'g', 15).toDouble();
    if (hertz < 0 || hertz > kHighestHertz)
        return refusal.outOfRange(text, QStringLiteral("0"), QStringLiteral("999.99999"));
    qint64 value = 0;
    QString error = scaleToWhole(text, 1e6, 0, kHighestHertz, value);
    if (error.isEmpty())
        putPayloadU32(payload, at, static_cast<quint32>(value));
    return error;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QString encodeTone(const QString &text, quint8 *payload, int at)
{
    constexpr quint16 kNoTone = 0xFFFF;
    constexpr quint16 kDcsNormal = 0x2000;
    constexpr quint16 kDcsInverted = 0xA000;
    constexpr qint64 kLargestCtcss = 0x0FFF; // above it the top bits would read as a DCS mark

    if (words::kNone.matches(text)) {
        putPayloadU16(payload, at, kNoTone);
        return {};
    }
    if (text.size() == 4 && (text[3] == u'N' || text[3] == u'I')) {
        // The three digits of a DCS code, read as a decimal number although they are octal.
        if (!std::all_of(text.begin(), text.begin() + 3, isAsciiDigit))
            return invalidIntegerMessage(text);
        const int code = (text[0].unicode() - u'0') * 100 + (text[1].unicode() - u'0') * 10 +
                         (text[2].unicode() - u'0');
        const quint16 polarity = text[3] == u'N' ? kDcsNormal : kDcsInverted;
        putPayloadU16(payload, at, static_cast<quint16>(code | polarity));
        return {};
    }
    qint64 tenths = 0;
    QString error = scaleToWhole(text, 10, 0, kLargestCtcss, tenths);
    if (error.isEmpty())
        putPayloadU16(payload, at, static_cast<quint16>(tenths));
    return error;
}

QString encodeInteger(const QString &text, qint32 &value)
{
    const std::optional<qint32> number = readInteger(text);
    if (!number)
        return invalidIntegerMessage(text);
    value = *number;
    return {};
}

// A whole number from 0 to what `bytes` bytes hold: a larger one would reach the radio as its
// low bits, a number nobody typed.
QString encodeUnsigned(const QString &text, int bytes, const Refusal &refusal, qint32 &value)
{
    QString error = encodeInteger(text, value);
    if (!error.isEmpty())
        return error;
    const qint32 highest = (1 << (8 * bytes)) - 1;
    if (value < 0 || value > highest)
        return refusal.outOfRange(text, QStringLiteral("0"), QString::number(highest));
    return {};
}

QString encodeChannelField(const ChannelLayout &layout, const QString &text, quint8 *payload,
                           const Refusal &refusal)
{
    const int at = layout.at;
    qint32 number = 0;
    QString error;
    switch (layout.field) {
    case ChannelField::Frequency:
        return encodeFrequency(text, payload, at, refusal);
    case ChannelField::OptionalFrequency:
        if (isEmptyCell(text)) {
            putPayloadU32(payload, at, 0);
            return {};
        }
        return encodeFrequency(text, payload, at, refusal);
    case ChannelField::Tone:
        return encodeTone(text, payload, at);
    case ChannelField::Switch:
        // Only the two words: "low" or "低 " taken for on would send full power unasked.
        if (layout.off.matches(text))
            payload[at] = 0x00;
        else if (layout.on.matches(text))
            payload[at] = 0xFF;
        else
            return refusal.notOneOf(text);
        return {};
    case ChannelField::Step:
        error = encodeUnsigned(text, 2, refusal, number);
        if (error.isEmpty())
            putPayloadU16(payload, at, static_cast<quint16>(number));
        return error;
    case ChannelField::Code:
        // A text outside the table would leave the byte of the frame built before: another
        // channel's key or signalling.
        if (const std::optional<int> code = codeOf(layout.codes, text)) {
            payload[at] = static_cast<quint8>(*code);
            return {};
        }
        return refusal.notOneOf(text);
    case ChannelField::WordOrNumber:
        if (layout.off.matches(text)) {
            payload[at] = 0;
            return {};
        }
        Q_FALLTHROUGH();
    case ChannelField::Number:
        error = encodeUnsigned(text, 1, refusal, number);
        if (error.isEmpty())
            payload[at] = static_cast<quint8>(number);
        return error;
    }
    return {};
}

QString frequencyText(quint32 hertz)
{
    // Five decimals of MHz are tens of Hz; the units digit rounds half up.
    const quint64 tens = (quint64(hertz) + 5) / 10;
    return QStringLiteral("%1.%2").arg(tens / 100000).arg(tens % 100000, 5, 10, QLatin1Char('0'));
}

void decodeTone(quint16 value, QString &cell, Language language)
{
    if (value == 0xFFFF) {
        cell = words::kNone.in(language).toString();
        return;
    }
    const int code = value & 0x0FFF;
    switch (value & 0xF000) {
    case 0x0000:
        cell = QStringLiteral("%1.%2").arg(code / 10).arg(code % 10);
        return;
    case 0x2000:
        cell = QString::number(code).rightJustified(3, QLatin1Char('0')) + QLatin1Char('N');
        return;
    case 0xA000:
        cell = QString::number(code).rightJustified(3, QLatin1Char('0')) + QLatin1Char('I');
        return;
    default:
        return; // not a tone the radio defines: the cell stays as it was
    }
}

void decodeChannelField(const ChannelLayout &layout, const quint8 *payload, QString &cell,
                        Language language)
{
    const int at = layout.at;
    switch (layout.field) {
    case ChannelField::Frequency:
        cell = frequencyText(payloadU32(payload, at));
        return;
    case ChannelField::OptionalFrequency: {
        const quint32 hertz = payloadU32(payload, at);
        cell = hertz == 0 ? QString() : frequencyText(hertz);
        return;
    }
    case ChannelField::Tone:
        decodeTone(payloadU16(payload, at), cell, language);
        return;
    case ChannelField::Switch:
        cell = (payload[at] != 0 ? layout.on : layout.off).in(language).toString();
        return;
    case ChannelField::Step:
        cell = QString::number(payloadU16(payload, at));
        return;
    case ChannelField::Code:
        if (const std::optional<QStringView> word = wordOf(layout.codes, payload[at], language))
            cell = word->toString();
        return;
    case ChannelField::WordOrNumber:
        if (payload[at] == 0) {
            cell = layout.off.in(language).toString();
            return;
        }
        Q_FALLTHROUGH();
    case ChannelField::Number:
        cell = QString::number(payload[at]);
        return;
    }
}

QString encodeSetting(const SettingLayout &layout, const QString &text, quint8 *payload,
                      const Refusal &refusal)
{
    quint8 &byte = payload[layout.at];
    switch (layout.field) {
    case SettingField::Switch:
        if (words::kOpen.matches(text))
            byte = 1;
        else if (words::kClose.matches(text))
            byte = 0;
        else
            return refusal.notOneOf(text);
        return {};
    case SettingField::WordOrNumber:
        if (layout.word.matches(text)) {
            byte = 0;
            return {};
        }
        Q_FALLTHROUGH();
    case SettingField::Number: {
        qint32 number = 0;
        QString error = encodeUnsigned(text, 1, refusal, number);
        if (error.isEmpty())
            byte = static_cast<quint8>(number);
        return error;
    }
    case SettingField::Code:
        if (const std::optional<int> code = codeOf(layout.codes, text)) {
            byte = static_cast<quint8>(*code);
            return {};
        }
        return refusal.notOneOf(text);
    }
    return {};
}

QString settingText(const SettingLayout &layout, quint8 byte, Language language)
{
    switch (layout.field) {
    case SettingField::Switch:
        return (byte == 1 ? words::kOpen : words::kClose).in(language).toString();
    case SettingField::WordOrNumber:
        if (byte == 0)
            return layout.word.in(language).toString();
        Q_FALLTHROUGH();
    case SettingField::Number:
        return QString::number(byte);
    case SettingField::Code:
        return wordOf(layout.codes, byte, language)
            .value_or(*wordOf(layout.codes, layout.fallback, language))
            .toString();
    }
    return {};
}

} // namespace

Conversion EncodeChannelBlock(FrameBuffer &tx, int row, const ChannelRow &cells, Language language)
{
    Q_ASSERT(row >= 1 && row <= kChannelCount);
    FrameDraft draft = draftFrom(tx);
    putBlockHeader(draft.data(), kChannelBank, static_cast<quint8>(row));
    quint8 *payload = draft.data() + frame::kPayloadOffset;

    if (isEmptyCell(cells[column::RxFrequency])) {
        std::fill_n(payload, frame::kPayloadSize, quint8(0));
    } else {
        for (const ChannelLayout &layout : kChannelLayout) {
            QString error = encodeChannelField(layout, cells[layout.column], payload,
                                               refusalFor(layout, row, language));
            if (!error.isEmpty())
                return {error, &cells[layout.column]};
        }
    }
    payload[kLastPayloadByte] = 0xFF;
    commit(draft, tx);
    return {};
}

Conversion EncodeSettingsBlock(FrameBuffer &tx, const SettingsTexts &settings, Language language)
{
    FrameDraft draft = draftFrom(tx);
    putBlockHeader(draft.data(), kSettingsBank, kSettingsBlock);
    quint8 *payload = draft.data() + frame::kPayloadOffset;
    std::fill_n(payload, kSettingsReservedEnd, quint8(0));
    for (const SettingLayout &layout : kSettingsLayout) {
        QString error =
            encodeSetting(layout, settings[layout.box], payload, refusalFor(layout, language));
        if (!error.isEmpty())
            return {error, &settings[layout.box]};
    }
    commit(draft, tx);
    return {};
}

void DecodeChannelBlock(const quint8 *frame, ChannelRow &row, Language language)
{
    const quint8 *payload = frame + frame::kPayloadOffset;
    for (const ChannelLayout &layout : kChannelLayout)
        decodeChannelField(layout, payload, row[layout.column], language);

    // A receive frequency of 0 is how the radio marks a channel that is not in use; erased
    // memory, all ones, is no channel either (4294.96730 MHz could never be written back).
    constexpr quint32 kErased = 0xFFFFFFFF;
    if (row[column::RxFrequency] == QLatin1String("0.00000") || payloadU32(payload, 0) == kErased) {
        for (int c = column::RxFrequency; c < column::kCount; ++c)
            row[c].clear();
    }
}

void DecodeSettingsBlock(const quint8 *frame, SettingsTexts &settings, Language language)
{
    const quint8 *payload = frame + frame::kPayloadOffset;
    for (const SettingLayout &layout : kSettingsLayout)
        settings[layout.box] = settingText(layout, payload[layout.at], language);
}

DecodedBlock DecodeMainBlock(const quint8 *frame, ChannelSheet &sheet, Language language)
{
    if (frame[1] == kSettingsBank) {
        DecodeSettingsBlock(frame, sheet.settings, language);
        return {DecodedBlock::Kind::Settings, 0};
    }
    const int row = frame[2];
    // The radio is never asked for another block; one that arrives anyway must not reach the
    // caption row or a row the table does not have.
    if (row < 1 || row > kChannelCount)
        return {};
    DecodeChannelBlock(frame, sheet.rows[row], language);
    return {DecodedBlock::Kind::Channel, row};
}

} // namespace wf
