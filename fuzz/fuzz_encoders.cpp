// SPDX-License-Identifier: GPL-3.0-or-later
// The channel and settings encoders fed any texts the table and the panel might hold.
//
// Input: one byte of options (bit 0: the settings block instead of a channel; bit 1: read back
// in English), the channel row (1 + second byte modulo 16), the byte an earlier frame left all
// over the transmit buffer, then the texts (sixteen cells, or ten settings), each ended by a
// 0xFF byte and read as UTF-8.
//
// Checked: a failed encode leaves the transmit buffer exactly as it was; a successful one writes
// only its header, payload and nothing past byte 31, and what it wrote reads back into texts that
// encode to the same frame. The table shows frequencies to 10 Hz, so a channel read back may
// differ there, by the rounding, and only there; after one round trip nothing changes any more.
#include "fuzzinput.h"

#include "channels/mainblocks.h"

#include <algorithm>

using namespace wf;

namespace {

bool sameBytes(const FrameBuffer &a, const FrameBuffer &b, int from, int to)
{
    return std::equal(a.begin() + from, a.begin() + to, b.begin() + from);
}

constexpr int kHeaderEnd = frame::kHeaderSize;
constexpr int kFrameEnd = frame::kCrcOffset; // the encoders leave the CRC to the caller

// The frequency a block carries as the table shows it, five decimals of MHz: tens of Hz,
// halves up.
quint64 shownHertz(quint32 hertz)
{
    return (quint64(hertz) + 5) / 10 * 10;
}

// The frame a channel row gives once read back: the same bytes, the frequencies as the table
// shows them; a receive frequency that shows as 0 marks the channel unused.
FrameBuffer expectedAfterReadBack(const FrameBuffer &encoded)
{
    FrameBuffer expected = encoded;
    quint8 *payload = expected.data() + frame::kPayloadOffset;
    const quint64 rx = shownHertz(payloadU32(payload, 0));
    if (rx == 0) {
        std::fill_n(payload, frame::kPayloadSize - 1, quint8(0));
        return expected;
    }
    putPayloadU32(payload, 0, static_cast<quint32>(rx));
    putPayloadU32(payload, 4, static_cast<quint32>(shownHertz(payloadU32(payload, 4))));
    return expected;
}

void checkChannel(const FrameBuffer &previous, int row, const ChannelRow &cells, Language language)
{
    static FrameBuffer tx, again, third;
    tx = previous;
    const Conversion encoded = EncodeChannelBlock(tx, row, cells);
    if (!encoded.ok()) {
        FUZZ_CHECK(tx == previous);
        return;
    }
    FUZZ_CHECK(tx[0] == frame::kWriteCode && tx[1] == quint8(Bank::Channels) && tx[2] == row &&
               tx[3] == frame::kHeaderMark);
    FUZZ_CHECK(tx[kFrameEnd - 1] == 0xFF);
    FUZZ_CHECK(sameBytes(tx, previous, kFrameEnd, kFrameBufferSize));
    const bool unused = std::all_of(tx.begin() + frame::kPayloadOffset, tx.begin() + kFrameEnd - 1,
                                    [](quint8 b) { return b == 0; });
    if (!unused) // payload bytes 24..26 are the radio's own
        FUZZ_CHECK(sameBytes(tx, previous, kFrameEnd - 4, kFrameEnd - 1));

    ChannelRow readBack = cells;
    DecodeChannelBlock(tx.data(), readBack, language);
    again = previous;
    const Conversion reencoded = EncodeChannelBlock(again, row, readBack);
    const quint8 *payload = tx.data() + frame::kPayloadOffset;
    constexpr quint64 kLargest = 999'999'990; // eight digits of tens of hertz
    const quint64 rx = shownHertz(payloadU32(payload, 0));
    const quint64 txHertz = shownHertz(payloadU32(payload, 4));
    if (rx > kLargest || txHertz > kLargest) {
        // Rounded up past the largest frequency a block holds: the text no longer encodes.
        FUZZ_CHECK(rx == 0 || !reencoded.ok());
        if (!reencoded.ok())
            return;
    }
    FUZZ_CHECK(reencoded.ok());
    FUZZ_CHECK(again == expectedAfterReadBack(tx));

    ChannelRow stable = readBack;
    DecodeChannelBlock(again.data(), stable, language);
    third = previous;
    FUZZ_CHECK(EncodeChannelBlock(third, row, stable).ok());
    FUZZ_CHECK(third == again);
}

void checkSettings(const FrameBuffer &previous, const SettingsTexts &texts, Language language)
{
    static FrameBuffer tx, again;
    tx = previous;
    const Conversion encoded = EncodeSettingsBlock(tx, texts);
    if (!encoded.ok()) {
        FUZZ_CHECK(tx == previous);
        return;
    }
    FUZZ_CHECK(tx[0] == frame::kWriteCode && tx[1] == quint8(Bank::Settings) && tx[2] == 0 &&
               tx[3] == frame::kHeaderMark);
    // Payload bytes 2..7 are sent as zero; 16..27 are left as the frame before left them.
    FUZZ_CHECK(std::all_of(tx.begin() + kHeaderEnd + 2, tx.begin() + kHeaderEnd + 8,
                           [](quint8 b) { return b == 0; }));
    FUZZ_CHECK(sameBytes(tx, previous, kHeaderEnd + 16, kFrameBufferSize));

    SettingsTexts readBack = texts;
    DecodeSettingsBlock(tx.data(), readBack, language);
    again = previous;
    FUZZ_CHECK(EncodeSettingsBlock(again, readBack).ok());
    FUZZ_CHECK(again == tx);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::InputReader input(data, size);
    const std::uint8_t options = input.byte();
    const int row = 1 + input.byte() % kChannelCount;
    const Language language = (options & 2) ? Language::English : Language::Chinese;
    static FrameBuffer previous;
    previous.fill(input.byte());

    if (options & 1) {
        const QStringList texts = input.texts(setting::kCount);
        SettingsTexts settings;
        std::copy(texts.begin(), texts.end(), settings.begin());
        checkSettings(previous, settings, language);
    } else {
        const QStringList texts = input.texts(column::kCount);
        ChannelRow cells;
        std::copy(texts.begin(), texts.end(), cells.begin());
        checkChannel(previous, row, cells, language);
    }
    return 0;
}
