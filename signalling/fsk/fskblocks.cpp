// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/fsk/fskblocks.h"

#include "signalling/fsk/fskcontrols.h"

namespace wf::fsk {

namespace {

// Block 0 apart from the table; bytes 9..19 stay 0. The rate is typed in bps and kept in
// hundreds, so a rate read from the radio outside the list (the byte times 100) goes back as
// the same byte.
constexpr Field<Texts> kSettingsFields[] = {
    {integerField(0, 2, caption::kOwnFleet), &Texts::ed1},
    {integerField(2, 2, caption::kOwnId), &Texts::ed2},
    {scaledField(4, 1, 100, caption::kBaudRate), &Texts::cb1},
    {integerField(5, 2, caption::kTxDelay), &Texts::ed3},
    {integerField(7, 1, caption::kMessageTimer), &Texts::ed4},
    {flagField(8, caption::kSideTone).withOnByteOnly(), &Texts::CheckBox1},
};

constexpr Field<Entry> kEntryFields[] = {
    {integerField(0, 2, caption::kFleet).withBlankAsZero(), &Entry::fleet},
    {integerField(2, 2, caption::kId).withBlankAsZero(), &Entry::id},
};

constexpr RowRun kEntryRuns[] = {
    {0, 1, 2, 20, 4},
    {1, 3, 7, 0, 4},
    {2, 10, 7, 0, 4},
};

} // namespace

WriteBlocks<kBlockCount> encodeBlocks(const Texts &texts, Language language)
{
    WriteBlocks<kBlockCount> write;
    if (Conversion done = encodeFields(kSettingsFields, texts, write.payloads[0].data(), language);
        !done.ok())
        return WriteBlocks<kBlockCount>::refusal(done);
    for (const RowRun &run : kEntryRuns) {
        Conversion done =
            encodeRowRun(kEntryFields, run, texts.entries, write.payloads[run.block], language);
        if (!done.ok())
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
    if (block == 0)
        decodeFields(kSettingsFields, payload, texts, language);
    for (const RowRun &run : kEntryRuns) {
        if (run.block == block)
            decodeRowRun(kEntryFields, run, payload, texts.entries, language);
    }
    return true;
}

} // namespace wf::fsk
