// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "channels/codetables.h"
#include "channels/mainblocks.h"
#include "i18n/language.h"
#include "protocol/frame.h"

#include <QString>

#include <array>
#include <cstddef>
#include <optional>

/** The one routine every signalling codec shares: a table of fields, each saying where its number
 *  sits in a block's payload and how the text a window shows becomes that number and back. The
 *  windows only move texts between their controls and these tables. */
namespace wf {

/** The 28 payload bytes of one block, payload byte 0 first. */
using Payload = std::array<quint8, frame::kPayloadSize>;

/** How the text of a field becomes the number its bytes hold. */
enum class FieldKind : quint8 {
    Integer,      ///< a whole number ("$" and hexadecimal digits accepted)
    Scaled,       ///< a whole number the divisor divides exactly; the bytes hold the quotient
    WholeDecimal, ///< a decimal number that must come out whole ("1981.0" passes, "1981.5" not)
    Hex,          ///< hexadecimal digits without a prefix ("12345"); shown with fixed digits
    Words,        ///< only the words of the field's code table
    Flag,         ///< a check box: the on byte when checked, 0 otherwise
};

/** Which words of a code table a typed text is compared with. */
enum class WordMatch : quint8 {
    EitherLanguage, ///< both the Chinese and the English word are taken
    DisplayLanguage ///< only the word of the language the window shows
};

/** How a check box reads its byte back. */
enum class FlagRead : quint8 {
    AnyNonZero, ///< any byte but 0 is checked
    OnByteOnly  ///< only the on byte itself is checked
};

/** The code of a word field's unknown value that leaves the text as it was. */
inline constexpr int kKeepText = -1;

/** What a word field writes for a text that is no word when its bits keep what the payload
 *  already holds there (a byte the window remembers from the last read, say). */
inline constexpr int kKeepBits = -1;

/** Where one field's number sits in a payload and how its text converts. Built with the helper
 *  functions below and refined with the `with...` modifiers, so a table reads like the block. */
struct FieldLayout
{
    int at = 0;    ///< first payload byte, relative to the base the walker is given
    int width = 1; ///< bytes, 1 to 4, least significant first
    FieldKind kind = FieldKind::Integer;
    WordPair name{}; ///< what messages call the field, usually the caption beside it
    int divisor = 1; ///< Scaled: what the shown number is divided by
    int shift = 0;   ///< lowest bit of the field within its bytes
    int bits = 0;    ///< bits of the field; 0 for all bits of its bytes
    qint64 minimum = 0;
    qint64 maximum = -1; ///< -1: as much as the bits hold
    CodeTable words{};   ///< words that stand for some numbers (all numbers for Words)
    WordMatch match = WordMatch::EitherLanguage;
    int unknownText = 0;         ///< Words: the number written for a text that is no word, or
                                 ///< kKeepBits to leave the field's bits as they are
    int unknownCode = kKeepText; ///< Words: the code whose word shows a number not in the table
    bool blankIsZero = false;    ///< a blank text writes 0 and 0 reads back as an empty text
    bool blankIsErased = false;  ///< a blank text writes every bit set, as erased memory holds
    int hexDigits = 0;           ///< Hex: digits shown; 0 for two per byte
    QStringView shownDigits{};   ///< Hex: the only digits shown, the others left out; empty: all
    quint8 onByte = 0xFF;        ///< Flag: the byte of a checked box
    FlagRead flagRead = FlagRead::AnyNonZero;

    /** Numbers of the given words are written and shown as those words. */
    constexpr FieldLayout withWords(CodeTable table,
                                    WordMatch how = WordMatch::EitherLanguage) const
    {
        FieldLayout f = *this;
        f.words = table;
        f.match = how;
        return f;
    }
    /** A blank text is 0 and 0 is shown as an empty text, as in the cells of a table. */
    constexpr FieldLayout withBlankAsZero() const
    {
        FieldLayout f = *this;
        f.blankIsZero = true;
        return f;
    }
    /** The field takes only `count` bits of its bytes, from bit `from` up. */
    /** A blank text writes every bit of the field set, the bytes of memory never written. */
    constexpr FieldLayout withBlankAsErased() const
    {
        FieldLayout f = *this;
        f.blankIsErased = true;
        return f;
    }
    constexpr FieldLayout withBits(int from, int count) const
    {
        FieldLayout f = *this;
        f.shift = from;
        f.bits = count;
        return f;
    }
    /** Narrows the numbers the field accepts, in the units its bytes hold. */
    constexpr FieldLayout withRange(qint64 lowest, qint64 highest) const
    {
        FieldLayout f = *this;
        f.minimum = lowest;
        f.maximum = highest;
        return f;
    }
    /** Words: what a text that is no word writes, and which word shows a number not listed. */
    constexpr FieldLayout withUnknown(int textCode, int codeShown) const
    {
        FieldLayout f = *this;
        f.unknownText = textCode;
        f.unknownCode = codeShown;
        return f;
    }
    /** Hex: only these digits are shown; a digit outside them gives no character. */
    constexpr FieldLayout withShownDigits(QStringView digits) const
    {
        FieldLayout f = *this;
        f.shownDigits = digits;
        return f;
    }
    /** Flag: only the on byte reads back as checked. */
    constexpr FieldLayout withOnByteOnly() const
    {
        FieldLayout f = *this;
        f.flagRead = FlagRead::OnByteOnly;
        return f;
    }
};

/** A whole number in `width` bytes. */
constexpr FieldLayout integerField(int at, int width, WordPair name)
{
    FieldLayout f;
    f.at = at;
    f.width = width;
    f.name = name;
    return f;
}

/** A whole number the radio keeps divided by `divisor` (milliseconds in tens, say). */
constexpr FieldLayout scaledField(int at, int width, int divisor, WordPair name)
{
    FieldLayout f = integerField(at, width, name);
    f.kind = FieldKind::Scaled;
    f.divisor = divisor;
    return f;
}

/** A number typed as a decimal that must be whole, in `width` bytes. */
constexpr FieldLayout wholeDecimalField(int at, int width, WordPair name)
{
    FieldLayout f = integerField(at, width, name);
    f.kind = FieldKind::WholeDecimal;
    return f;
}

/** Hexadecimal digits in `width` bytes, shown as exactly `digits` upper-case digits. */
constexpr FieldLayout hexField(int at, int width, int digits, WordPair name)
{
    FieldLayout f = integerField(at, width, name);
    f.kind = FieldKind::Hex;
    f.hexDigits = digits;
    return f;
}

/** One byte that holds the code of a word of `table`. */
constexpr FieldLayout wordField(int at, CodeTable table, WordPair name,
                                WordMatch how = WordMatch::EitherLanguage)
{
    FieldLayout f = integerField(at, 1, name);
    f.kind = FieldKind::Words;
    f.words = table;
    f.match = how;
    return f;
}

/** One byte that holds a check box. */
constexpr FieldLayout flagField(int at, WordPair name = {})
{
    FieldLayout f = integerField(at, 1, name);
    f.kind = FieldKind::Flag;
    return f;
}

/** A field bound to the member of a window's texts that it converts: a text, or a check box. */
template<class Record>
struct Field
{
    FieldLayout layout;
    QString Record::*text = nullptr;
    bool Record::*flag = nullptr;

    constexpr Field(FieldLayout l, QString Record::*t)
        : layout(l)
        , text(t)
    {}
    constexpr Field(FieldLayout l, bool Record::*f)
        : layout(l)
        , flag(f)
    {}
};

/** A run of table rows kept one after another in one block: rows `firstRow` on, `rowCount` of
 *  them, the first at payload byte `at`, each `stride` bytes after the one before. */
struct RowRun
{
    int block;
    int firstRow;
    int rowCount;
    int at;
    int stride;
};

/** The message for a number its bytes cannot hold: "Fleet[Own]: 70000 is out of range (0 to
 *  65535)", with the table row after the name when `row` is not 0. */
QString outOfRangeMessage(WordPair name, int row, QStringView text, qint64 lowest, qint64 highest,
                          Language language);

/** The name of a field as messages show it: trimmed, and with the table row when `row` is not 0. */
QString fieldName(WordPair name, int row, Language language);

/** Converts a text into the field's bytes at `base`; returns the message of a text that does not
 *  convert or does not fit, in which case the bytes are not written. */
QString encodeFieldText(const FieldLayout &field, const QString &text, quint8 *base,
                        Language language, int row = 0);

/** Writes a check box into the field's byte at `base`. */
void encodeFieldFlag(const FieldLayout &field, bool checked, quint8 *base);

/** The text the field's bytes at `base` show, or nothing where the control keeps its text. */
std::optional<QString> decodeFieldText(const FieldLayout &field, const quint8 *base,
                                       Language language);

/** True when the field's byte at `base` reads as a checked box. */
bool decodeFieldFlag(const FieldLayout &field, const quint8 *base);

/** Encodes every field of a table from `record` into the bytes at `base`, in table order; stops
 *  at the first text that does not convert and returns its message. `row` names the table row
 *  in messages (0: not a row). */
template<class Record, std::size_t N>
Conversion encodeFields(const Field<Record> (&fields)[N], const Record &record, quint8 *base,
                        Language language, int row = 0)
{
    for (const Field<Record> &field : fields) {
        if (field.flag) {
            encodeFieldFlag(field.layout, record.*field.flag, base);
            continue;
        }
        QString error = encodeFieldText(field.layout, record.*field.text, base, language, row);
        if (!error.isEmpty())
            return {error, &(record.*field.text)};
    }
    return {};
}

/** Decodes every field of a table from the bytes at `base` into `record`; a text the bytes do
 *  not define stays as it was. */
template<class Record, std::size_t N>
void decodeFields(const Field<Record> (&fields)[N], const quint8 *base, Record &record,
                  Language language)
{
    for (const Field<Record> &field : fields) {
        if (field.flag) {
            record.*field.flag = decodeFieldFlag(field.layout, base);
        } else if (std::optional<QString> text = decodeFieldText(field.layout, base, language)) {
            record.*field.text = *text;
        }
    }
}

/** Encodes the rows of a run into a payload; `rows[0]` is table row 1. */
template<class Record, std::size_t N, class Rows>
Conversion encodeRowRun(const Field<Record> (&fields)[N], const RowRun &run, const Rows &rows,
                        Payload &payload, Language language)
{
    for (int i = 0; i < run.rowCount; ++i) {
        const int row = run.firstRow + i;
        Conversion done = encodeFields(fields, rows[row - 1],
                                       payload.data() + run.at + i * run.stride, language, row);
        if (!done.ok())
            return done;
    }
    return {};
}

/** Decodes the rows of a run from a payload; `rows[0]` is table row 1. */
template<class Record, std::size_t N, class Rows>
void decodeRowRun(const Field<Record> (&fields)[N], const RowRun &run, const quint8 *payload,
                  Rows &rows, Language language)
{
    for (int i = 0; i < run.rowCount; ++i)
        decodeFields(fields, payload + run.at + i * run.stride, rows[run.firstRow + i - 1],
                     language);
}

/** The payloads of a complete write, block 0 first, or the message of the first text that does
 *  not convert; nothing is sent unless every block converts. */
template<std::size_t N>
struct [[nodiscard]] WriteBlocks
{
    QString error;
    std::array<Payload, N> payloads{};
    const QString *refused = nullptr; ///< as Conversion::refused
    bool ok() const { return error.isEmpty(); }

    static WriteBlocks refusal(const Conversion &done) { return {done.error, {}, done.refused}; }
};

/** Writes a block frame's header and payload into frame bytes 0..31; the CRC is the caller's. */
void putBlockFrame(FrameBuffer &tx, Bank bank, int block, const Payload &payload);

/** The payload of a received frame (frame bytes 4..31). */
Payload payloadOfFrame(const quint8 *frame);

} // namespace wf
