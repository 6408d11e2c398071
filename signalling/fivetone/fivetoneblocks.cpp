// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/fivetone/fivetoneblocks.h"

#include "signalling/fivetone/fivetonecontrols.h"

namespace wf::fivetone {

namespace {

// A sequence of five 5-tone digits in three bytes; the sixth digit a text may carry fits the
// bytes but is not shown. A row left empty is written as the radio's erased memory (FF FF FF,
// read back as "FFFFF", as a bank never written reads), so a table filled only in part can be
// written.
constexpr FieldLayout codeField(int at, WordPair name)
{
    return hexField(at, 3, 5, name).withBlankAsErased();
}
constexpr FieldLayout digitField(int at, WordPair name)
{
    return hexField(at, 1, 1, name).withRange(0, 15);
}
// A name the window does not know writes the code of the last read, which the encoder puts in
// place before the row's fields.
constexpr FieldLayout standardField(int at, WordPair name)
{
    return wordField(at, kStandards, name).withUnknown(kKeepBits, kKeepText);
}
constexpr FieldLayout functionField(int at, int shift)
{
    return wordField(at, kFunctions, caption::kFunction, WordMatch::DisplayLanguage)
        .withBits(shift, 4)
        .withUnknown(0, 0);
}

// Block 0: three bytes a standard from byte 0, the delays at 20..23; the rest stays 0.
constexpr Field<StandardRow> kStandardFields[] = {
    {integerField(0, 1, caption::kTxTime), &StandardRow::txTime},
    {digitField(1, caption::kGroupCode), &StandardRow::groupCode},
    {digitField(2, caption::kRepeatCode), &StandardRow::repeatCode},
};
constexpr RowRun kStandardRun{0, 1, kStandardCount, 0, 3};

constexpr Field<Texts> kDelayFields[] = {
    {scaledField(20, 1, 10, caption::kFirstDelay), &Texts::cb1},
    {scaledField(21, 1, 10, caption::kSecondDelay), &Texts::cb2},
    {scaledField(22, 1, 10, caption::kThirdDelay), &Texts::cb3},
    {scaledField(23, 1, 10, caption::kExtension), &Texts::cb4},
};

// An encode row: four codes and the standard's whole byte; byte 13 of the row stays 0.
constexpr int kEncodeStandardAt = 12;
constexpr Field<EncodeRow> kEncodeFields[] = {
    {codeField(0, caption::kFirstCoding), &EncodeRow::first},
    {codeField(3, caption::kSecondCoding), &EncodeRow::second},
    {codeField(6, caption::kThirdCoding), &EncodeRow::third},
    {codeField(9, caption::kConfirmation), &EncodeRow::confirmation},
    {standardField(kEncodeStandardAt, caption::kEncodeStandard), &EncodeRow::standard},
};

// A decode row: the standard and the first function share byte 0, the second and third
// functions byte 7.
constexpr int kDecodeStandardAt = 0;
constexpr Field<DecodeRow> kDecodeFields[] = {
    {standardField(kDecodeStandardAt, caption::kDecodeStandard).withBits(0, 4),
     &DecodeRow::standard},
    {codeField(1, caption::kFirstDecoding), &DecodeRow::first},
    {functionField(0, 4), &DecodeRow::function1},
    {codeField(4, caption::kSecondDecoding), &DecodeRow::second},
    {functionField(7, 0), &DecodeRow::function2},
    {codeField(8, caption::kThirdDecoding), &DecodeRow::third},
    {functionField(7, 4), &DecodeRow::function3},
    {codeField(11, caption::kResponse), &DecodeRow::response},
};

// Two rows a block, 14 bytes each: encode rows from block 1, decode rows from block 9.
constexpr int kRowBytes = 14;
constexpr int kRowsPerBlock = 2;
constexpr int kFirstEncodeBlock = 1;
constexpr int kFirstDecodeBlock = kFirstEncodeBlock + kEncodeRowCount / kRowsPerBlock;

template<std::size_t N>
constexpr std::array<RowRun, N> tableRuns(int firstBlock)
{
    std::array<RowRun, N> runs{};
    for (int i = 0; i < int(N); ++i)
        runs[i] = {firstBlock + i, 1 + kRowsPerBlock * i, kRowsPerBlock, 0, kRowBytes};
    return runs;
}
constexpr auto kEncodeRuns = tableRuns<kEncodeRowCount / kRowsPerBlock>(kFirstEncodeBlock);
constexpr auto kDecodeRuns = tableRuns<kDecodeRowCount / kRowsPerBlock>(kFirstDecodeBlock);
static_assert(kDecodeRuns.back().block == kBlockCount - 1);

int rowAt(const RowRun &run, int i)
{
    return run.at + i * run.stride;
}

} // namespace

WriteBlocks<kBlockCount> encodeBlocks(const Texts &texts, Language language)
{
    WriteBlocks<kBlockCount> write;
    Payload &block0 = write.payloads[0];
    if (Conversion done =
            encodeRowRun(kStandardFields, kStandardRun, texts.standards, block0, language);
        !done.ok())
        return WriteBlocks<kBlockCount>::refusal(done);
    if (Conversion done = encodeFields(kDelayFields, texts, block0.data(), language); !done.ok())
        return WriteBlocks<kBlockCount>::refusal(done);

    for (const RowRun &run : kEncodeRuns) {
        Payload &payload = write.payloads[run.block];
        for (int i = 0; i < run.rowCount; ++i)
            payload[rowAt(run, i) + kEncodeStandardAt] =
                texts.readStandards.encode[run.firstRow + i - 1];
        if (Conversion done = encodeRowRun(kEncodeFields, run, texts.encodeRows, payload, language);
            !done.ok())
            return WriteBlocks<kBlockCount>::refusal(done);
    }
    for (const RowRun &run : kDecodeRuns) {
        Payload &payload = write.payloads[run.block];
        for (int i = 0; i < run.rowCount; ++i)
            payload[rowAt(run, i) + kDecodeStandardAt] =
                texts.readStandards.decode[run.firstRow + i - 1] & 0x0F;
        if (Conversion done = encodeRowRun(kDecodeFields, run, texts.decodeRows, payload, language);
            !done.ok())
            return WriteBlocks<kBlockCount>::refusal(done);
    }
    return write;
}

bool decodeBlock(const quint8 *frame, Texts &texts, Language language)
{
    const int block = frame[2];
    if (block >= kBlockCount)
        return false;
    const quint8 *payload = frame + frame::kPayloadOffset;
    if (block == 0) {
        decodeRowRun(kStandardFields, kStandardRun, payload, texts.standards, language);
        decodeFields(kDelayFields, payload, texts, language);
    }
    for (const RowRun &run : kEncodeRuns) {
        if (run.block != block)
            continue;
        decodeRowRun(kEncodeFields, run, payload, texts.encodeRows, language);
        for (int i = 0; i < run.rowCount; ++i)
            texts.readStandards.encode[run.firstRow + i - 1] =
                payload[rowAt(run, i) + kEncodeStandardAt];
    }
    for (const RowRun &run : kDecodeRuns) {
        if (run.block != block)
            continue;
        decodeRowRun(kDecodeFields, run, payload, texts.decodeRows, language);
        for (int i = 0; i < run.rowCount; ++i)
            texts.readStandards.decode[run.firstRow + i - 1] =
                payload[rowAt(run, i) + kDecodeStandardAt] & 0x0F;
    }
    return true;
}

} // namespace wf::fivetone
