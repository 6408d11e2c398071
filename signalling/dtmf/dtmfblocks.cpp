// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/dtmf/dtmfblocks.h"

#include "signalling/dtmf/dtmfcontrols.h"
#include "signalling/dtmf/dtmfdigits.h"

namespace wf::dtmf {

namespace {

constexpr int kIdAt = 10;
constexpr int kIdCountAt = 19;
constexpr int kMemoryCountsAt = 20; // memory m's count is at byte 19 + m

// Block 0 apart from the identity code and the digit counts; bytes 6..9 stay 0.
constexpr Field<Texts> kSettingsFields[] = {
    {integerField(0, 1, caption::kRate), &Texts::cb1},
    {scaledField(1, 1, 10, caption::kFirstDigitTime), &Texts::cb2},
    {scaledField(2, 1, 10, caption::kFirstDigitDelay), &Texts::cb3},
    {scaledField(3, 1, 10, caption::kStarHashTone), &Texts::cb4},
    {scaledField(4, 1, 100, caption::kDKey).withWords(kDCode), &Texts::cb5},
    {flagField(5, caption::kSideTone), &Texts::CheckB1},
    {wordField(14, kGroupCodes, caption::kGroupCode), &Texts::cb6},
    {integerField(15, 1, caption::kResetTimer).withWords(kOffOnly), &Texts::cb7},
    {wordField(16, kCallAlerts, caption::kCallAlert), &Texts::cb8},
    {wordField(17, kTransponds, caption::kTranspond), &Texts::cb9},
    {flagField(18, caption::kClearTranspond), &Texts::CheckB2},
};

// Six memories a block; places 17 and 18 of block 3 have no row and stay 0.
constexpr RowRun kMemoryRuns[] = {
    {1, 1, 6, 0, 4},
    {2, 7, 6, 0, 4},
    {3, 13, 4, 0, 4},
};

QString tooLongMessage(WordPair name, int row, const QString &text, Language language)
{
    const QString pattern = language == Language::English
                                ? QStringLiteral("%1: %2 has more than %3 characters")
                                : QStringLiteral("%1：%2 超过 %3 个字符");
    return pattern.arg(fieldName(name, row, language), text).arg(kMaxDigits);
}

// A character without a code would be left out of the value but still counted, so a pasted
// "12ab" would come back from the radio as "DD12".
QString notDigitsMessage(WordPair name, int row, const QString &text, Language language)
{
    const QString pattern =
        language == Language::English
            ? QStringLiteral("%1: %2 holds characters that are not DTMF digits (0-9, A-D, *, #)")
            : QStringLiteral("%1：%2 含有 DTMF 码以外的字符（0-9、A-D、*、#）");
    return pattern.arg(fieldName(name, row, language), text);
}

// The message for a DTMF number the radio cannot keep as it reads, or nothing.
QString refusedNumber(WordPair name, int row, const QString &text, Language language)
{
    // More than eight characters would push the first ones out of the 32-bit value.
    if (text.size() > kMaxDigits)
        return tooLongMessage(name, row, text, language);
    if (!hasOnlyDtmfDigits(text))
        return notDigitsMessage(name, row, text, language);
    return {};
}

} // namespace

WriteBlocks<kBlockCount> encodeBlocks(const Texts &texts, Language language)
{
    WriteBlocks<kBlockCount> write;
    Payload &settings = write.payloads[0];
    if (Conversion done = encodeFields(kSettingsFields, texts, settings.data(), language);
        !done.ok())
        return WriteBlocks<kBlockCount>::refusal(done);

    if (QString error = refusedNumber(caption::kIdCode, 0, texts.Edit1, language); !error.isEmpty())
        return {error, {}, &texts.Edit1};
    putPayloadU32(settings.data(), kIdAt, EncodeIdDigits(texts.Edit1));
    settings[kIdCountAt] = static_cast<quint8>(texts.Edit1.size());

    for (const RowRun &run : kMemoryRuns) {
        Payload &payload = write.payloads[run.block];
        for (int i = 0; i < run.rowCount; ++i) {
            const int row = run.firstRow + i;
            const QString &memory = texts.memories[row - 1];
            if (QString error = refusedNumber(caption::kMemory, row, memory, language);
                !error.isEmpty())
                return {error, {}, &memory};
            putPayloadU32(payload.data(), run.at + i * run.stride, EncodeDialDigits(memory));
            if (row <= kCountedMemories)
                settings[kMemoryCountsAt + row - 1] = static_cast<quint8>(memory.size());
        }
    }
    return write;
}

bool decodeBlock(const quint8 *frame, Texts &texts, Language language)
{
    const int block = frame[2];
    const quint8 *payload = frame + frame::kPayloadOffset;
    if (block == 0) {
        decodeFields(kSettingsFields, payload, texts, language);
        if (std::optional<QString> id =
                DecodeIdDigits(payloadU32(payload, kIdAt), payload[kIdCountAt]))
            texts.Edit1 = *id;
        std::copy_n(payload + kIdCountAt, texts.digitCounts.size(), texts.digitCounts.begin());
        return true;
    }
    for (const RowRun &run : kMemoryRuns) {
        if (run.block != block)
            continue;
        for (int i = 0; i < run.rowCount; ++i) {
            const int row = run.firstRow + i;
            const quint32 value = payloadU32(payload, run.at + i * run.stride);
            QString &memory = texts.memories[row - 1];
            if (value == 0) {
                memory.clear();
                continue;
            }
            // Block 0 keeps the counts of memories 1..8 only; the others show what the value
            // holds, which drops any leading "D".
            const int count =
                row <= kCountedMemories ? texts.digitCounts[row] : significantDigits(value);
            if (std::optional<QString> text = DecodeDialDigits(value, count))
                memory = *text;
        }
        return true;
    }
    return false;
}

} // namespace wf::dtmf
