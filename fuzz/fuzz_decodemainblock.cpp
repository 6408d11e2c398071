// SPDX-License-Identifier: GPL-3.0-or-later
// The decoder of the data frames a main read receives, fed any frame the line might deliver.
//
// Input: one byte of options (bit 0: English words; bit 1: the sheet starts with typical channels
// instead of texts no block could produce), then the frame from byte 0. The decoder gets exactly
// frame bytes 0..31, so reading past the payload is a sanitizer report; bytes the input does not
// reach are zero.
//
// Checked: only the row the frame names changes (or only the settings, for bank 5), never the
// channel number; a channel or settings block decoded and encoded again is stable (encode,
// decode, encode gives the same frame twice); a decoded channel whose frequencies and tones the
// table can hold always encodes.
#include "fuzzinput.h"

#include "channels/channeltable.h"
#include "channels/mainblocks.h"

#include <vector>

using namespace wf;

namespace {

constexpr int kFrameUsed = frame::kPayloadOffset + frame::kPayloadSize;

// Texts unlike any a decoder writes, so that every cell it touches shows.
ChannelSheet markerSheet()
{
    ChannelSheet sheet;
    for (int r = 0; r <= kChannelCount; ++r) {
        for (int c = 0; c < column::kCount; ++c)
            sheet.rows[r][c] = QStringLiteral("r%1c%2").arg(r).arg(c);
    }
    for (int s = 0; s < setting::kCount; ++s)
        sheet.settings[s] = QStringLiteral("s%1").arg(s);
    return sheet;
}

// Channels as the table holds them after typing: every cell encodes, so a cell the decoder
// leaves alone (a code the radio does not define) cannot be why an encode fails.
ChannelSheet typicalSheet(Language language)
{
    ChannelSheet sheet;
    const auto &columns = table::channelColumns();
    for (int c = 0; c < column::kCount; ++c)
        sheet.rows[0][c] = columns[c].caption.in(language).toString();
    for (int r = 1; r <= kChannelCount; ++r) {
        ChannelRow &row = sheet.rows[r];
        row[column::Number] = QString::number(r);
        row[column::RxFrequency] = QStringLiteral("%1").arg(438.5 + 0.0125 * r, 0, 'f', 5);
        row[column::TxFrequency] = row[column::RxFrequency];
        for (int c = column::DecodeTone; c < column::kCount; ++c)
            row[c] = columns[c].freshValue.in(language).toString();
        row[column::DecodeTone] = QStringLiteral("67.0");
        row[column::EncodeTone] = QStringLiteral("023N");
    }
    sheet.settings = table::initialSettings(language);
    return sheet;
}

// What a frequency of the block shows as in the table: five decimals of MHz, tens of Hz.
quint64 shownHertz(quint32 hertz)
{
    return (quint64(hertz) + 5) / 10 * 10;
}

// A tone the table can hold again: a DCS code above 999 shows with four digits, which no tone
// cell takes; a code the radio does not define leaves the cell's own text.
bool toneEncodes(quint16 value)
{
    const int kind = value & 0xF000;
    return (kind != 0x2000 && kind != 0xA000) || (value & 0x0FFF) <= 999;
}

bool sameRows(const ChannelSheet &a, const ChannelSheet &b, int except)
{
    for (int r = 0; r <= kChannelCount; ++r) {
        if (r != except && a.rows[r] != b.rows[r])
            return false;
    }
    return true;
}

bool sameFrame(const FrameBuffer &a, const FrameBuffer &b)
{
    return std::equal(a.begin(), a.begin() + frame::kBlockFrameSize, b.begin());
}

// The transmit buffer as an earlier frame left it; no byte of it is a code of any table.
const FrameBuffer &previousFrame()
{
    static const FrameBuffer buffer = [] {
        FrameBuffer b;
        b.fill(0xEE);
        return b;
    }();
    return buffer;
}

void checkChannelRoundTrip(const quint8 *received, const ChannelRow &decoded, int row,
                           Language language, bool typical)
{
    static FrameBuffer first, second;
    first = previousFrame();
    const Conversion encoded = EncodeChannelBlock(first, row, decoded);

    // A channel not in use (a receive frequency that shows as 0, or erased memory) reads as an
    // empty row, which always encodes.
    const quint8 *payload = received + frame::kPayloadOffset;
    const quint64 rx = shownHertz(payloadU32(payload, 0));
    const quint64 tx = shownHertz(payloadU32(payload, 4));
    const bool unused = rx == 0 || payloadU32(payload, 0) == 0xFFFFFFFF;
    constexpr quint64 kLargest = 999'999'990; // eight digits of tens of hertz
    const bool fits =
        unused || (rx <= kLargest && tx <= kLargest && toneEncodes(payloadU16(payload, 8)) &&
                   toneEncodes(payloadU16(payload, 10)));
    if (typical)
        FUZZ_CHECK(encoded.ok() == fits);
    if (!encoded.ok())
        return;

    ChannelRow again = decoded;
    DecodeChannelBlock(first.data(), again, language);
    second = previousFrame();
    FUZZ_CHECK(EncodeChannelBlock(second, row, again).ok());
    FUZZ_CHECK(sameFrame(first, second));
}

void checkSettingsRoundTrip(const SettingsTexts &decoded, Language language)
{
    static FrameBuffer first, second;
    first = previousFrame();
    // Every settings byte reads as a word or a number, and each of those encodes.
    FUZZ_CHECK(EncodeSettingsBlock(first, decoded).ok());
    SettingsTexts again = decoded;
    DecodeSettingsBlock(first.data(), again, language);
    FUZZ_CHECK(again == decoded);
    second = previousFrame();
    FUZZ_CHECK(EncodeSettingsBlock(second, again).ok());
    FUZZ_CHECK(sameFrame(first, second));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::InputReader input(data, size);
    const std::uint8_t options = input.byte();
    const Language language = (options & 1) ? Language::English : Language::Chinese;
    const bool typical = options & 2;

    const QByteArray bytes = input.bytes(kFrameUsed);
    std::vector<quint8> received(kFrameUsed, 0);
    std::copy(bytes.begin(), bytes.end(), received.begin());

    static const ChannelSheet markers = markerSheet();
    static const ChannelSheet typicalChinese = typicalSheet(Language::Chinese);
    static const ChannelSheet typicalEnglish = typicalSheet(Language::English);
    const ChannelSheet &before =
        !typical ? markers : (language == Language::English ? typicalEnglish : typicalChinese);

    ChannelSheet sheet = before;
    const DecodedBlock decoded = DecodeMainBlock(received.data(), sheet, language);

    const int bank = received[1];
    const int block = received[2];
    if (bank == static_cast<int>(Bank::Settings)) {
        FUZZ_CHECK(decoded.kind == DecodedBlock::Kind::Settings);
        FUZZ_CHECK(sameRows(sheet, before, -1));
        checkSettingsRoundTrip(sheet.settings, language);
    } else if (block >= 1 && block <= kChannelCount) {
        FUZZ_CHECK(decoded.kind == DecodedBlock::Kind::Channel && decoded.row == block);
        FUZZ_CHECK(sameRows(sheet, before, block));
        FUZZ_CHECK(sheet.settings == before.settings);
        FUZZ_CHECK(sheet.rows[block][column::Number] == before.rows[block][column::Number]);
        checkChannelRoundTrip(received.data(), sheet.rows[block], block, language, typical);
    } else {
        FUZZ_CHECK(decoded.kind == DecodedBlock::Kind::Nothing);
        FUZZ_CHECK(sameRows(sheet, before, -1));
        FUZZ_CHECK(sheet.settings == before.settings);
    }
    return 0;
}
