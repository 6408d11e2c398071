// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/twotone/twotoneblocks.h"

#include "channels/cellchecks.h"
#include "signalling/twotone/twotonecontrols.h"

#include <algorithm>

namespace wf::twotone {

namespace {

// Block 0 apart from the encode pairs; bytes 16..19 stay 0. The tones are typed as decimals that
// must come out whole, since the radio keeps whole hertz.
constexpr Field<Texts> kSettingsFields[] = {
    {wholeDecimalField(0, 2, caption::kToneA), &Texts::ed1},
    {wholeDecimalField(2, 2, caption::kToneB), &Texts::ed2},
    {wholeDecimalField(4, 2, caption::kToneC), &Texts::ed3},
    {wholeDecimalField(6, 2, caption::kToneD), &Texts::ed4},
    {integerField(8, 2, caption::kResetTime), &Texts::ed5},
    {integerField(10, 2, caption::kFirstTime), &Texts::cb1},
    {integerField(12, 2, caption::kSecondTime), &Texts::cb2},
    {integerField(14, 2, caption::kInterval), &Texts::cb3},
};

constexpr Field<EncodePair> kPairFields[] = {
    {integerField(0, 2, caption::kFirstFrequency).withBlankAsZero(), &EncodePair::first},
    {integerField(2, 2, caption::kSecondFrequency).withBlankAsZero(), &EncodePair::second},
};

constexpr RowRun kPairRuns[] = {
    {0, 1, 2, 20, 4},
    {1, 3, 7, 0, 4},
    {2, 10, 7, 0, 4},
};

constexpr FieldLayout pairField(int at, WordPair name)
{
    // The radio may keep a decoder without a pair (0) in a row whose other decoders have theirs.
    return hexField(at, 1, 2, name).withShownDigits(kToneLetters).withBlankAsZero();
}
constexpr FieldLayout responseField(int at)
{
    return wordField(at, kResponses, caption::kResponse, WordMatch::DisplayLanguage);
}
constexpr FieldLayout promptField(int at)
{
    return integerField(at, 1, caption::kPrompt);
}

// One decode row, three bytes a decoder; field 3d is decoder d's pair.
constexpr int kBytesPerDecoder = 3;
constexpr Field<DecodeRow> kDecodeFields[] = {
    {pairField(0, caption::kDecode1), &DecodeRow::decode1},
    {responseField(1), &DecodeRow::response1},
    {promptField(2), &DecodeRow::prompt1},
    {pairField(3, caption::kDecode2), &DecodeRow::decode2},
    {responseField(4), &DecodeRow::response2},
    {promptField(5), &DecodeRow::prompt2},
    {pairField(6, caption::kDecode3), &DecodeRow::decode3},
    {responseField(7), &DecodeRow::response3},
    {promptField(8), &DecodeRow::prompt3},
    {pairField(9, caption::kDecode4), &DecodeRow::decode4},
    {responseField(10), &DecodeRow::response4},
    {promptField(11), &DecodeRow::prompt4},
};
static_assert(std::size(kDecodeFields) == kDecodersPerRow * kBytesPerDecoder);

// Two decode rows a block, 12 bytes each, from block 3 on; bytes 24..27 stay 0.
constexpr int kFirstDecodeBlock = 3;
constexpr int kDecodeRowBytes = kDecodersPerRow * kBytesPerDecoder;
constexpr int kDecodeRowsPerBlock = 2;

constexpr auto decodeRuns()
{
    std::array<RowRun, kDecodeRowCount / kDecodeRowsPerBlock> runs{};
    for (int i = 0; i < int(runs.size()); ++i)
        runs[i] = {kFirstDecodeBlock + i, 1 + kDecodeRowsPerBlock * i, kDecodeRowsPerBlock, 0,
                   kDecodeRowBytes};
    return runs;
}
constexpr auto kDecodeRuns = decodeRuns();

// A decoder is its three cells; three empty cells are the three zero bytes of an unused decoder
// and back, so a row keeps every byte the radio holds through a read and a write.
bool isBlankDecoder(const DecodeRow &row, int decoder)
{
    const int first = decoder * kBytesPerDecoder;
    return std::all_of(
        kDecodeFields + first, kDecodeFields + first + kBytesPerDecoder,
        [&row](const Field<DecodeRow> &field) { return isBlankCell(row.*field.text); });
}

Conversion encodeDecodeRow(const DecodeRow &row, quint8 *base, Language language, int rowNumber)
{
    for (int d = 0; d < kDecodersPerRow; ++d) {
        if (isBlankDecoder(row, d))
            continue; // its bytes stay 0
        for (int f = d * kBytesPerDecoder; f < (d + 1) * kBytesPerDecoder; ++f) {
            const Field<DecodeRow> &field = kDecodeFields[f];
            QString error =
                encodeFieldText(field.layout, row.*field.text, base, language, rowNumber);
            if (!error.isEmpty())
                return {error, &(row.*field.text)};
        }
    }
    return {};
}

void decodeDecodeRow(const quint8 *base, DecodeRow &row, Language language)
{
    for (int d = 0; d < kDecodersPerRow; ++d) {
        const int first = d * kBytesPerDecoder;
        const bool unused = std::all_of(base + first, base + first + kBytesPerDecoder,
                                        [](quint8 byte) { return byte == 0; });
        for (int f = first; f < first + kBytesPerDecoder; ++f) {
            const Field<DecodeRow> &field = kDecodeFields[f];
            if (unused)
                (row.*field.text).clear();
            else if (std::optional<QString> text = decodeFieldText(field.layout, base, language))
                row.*field.text = *text;
        }
    }
}

} // namespace

WriteBlocks<kBlockCount> encodeBlocks(const Texts &texts, Language language)
{
    WriteBlocks<kBlockCount> write;
    if (Conversion done = encodeFields(kSettingsFields, texts, write.payloads[0].data(), language);
        !done.ok())
        return WriteBlocks<kBlockCount>::refusal(done);
    for (const RowRun &run : kPairRuns) {
        Conversion done =
            encodeRowRun(kPairFields, run, texts.pairs, write.payloads[run.block], language);
        if (!done.ok())
            return WriteBlocks<kBlockCount>::refusal(done);
    }
    for (const RowRun &run : kDecodeRuns) {
        for (int i = 0; i < run.rowCount; ++i) {
            const int row = run.firstRow + i;
            quint8 *base = write.payloads[run.block].data() + run.at + i * run.stride;
            if (Conversion done = encodeDecodeRow(texts.decodeRows[row - 1], base, language, row);
                !done.ok())
                return WriteBlocks<kBlockCount>::refusal(done);
        }
    }
    // Block 11 stays all zero: it stands for decode rows 17 and 18, which do not exist.
    return write;
}

bool decodeBlock(const quint8 *frame, Texts &texts, Language language)
{
    const int block = frame[2];
    if (block >= kReadBlockCount)
        return false;
    const quint8 *payload = frame + frame::kPayloadOffset;
    if (block == 0)
        decodeFields(kSettingsFields, payload, texts, language);
    for (const RowRun &run : kPairRuns) {
        if (run.block == block)
            decodeRowRun(kPairFields, run, payload, texts.pairs, language);
    }
    for (const RowRun &run : kDecodeRuns) {
        if (run.block != block)
            continue;
        for (int i = 0; i < run.rowCount; ++i)
            decodeDecodeRow(payload + run.at + i * run.stride,
                            texts.decodeRows[run.firstRow + i - 1], language);
    }
    return true;
}

} // namespace wf::twotone
