// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/language.h"
#include "protocol/frame.h"

#include <QString>

#include <array>

/** The main window's memory blocks: sixteen channel blocks (bank 0, blocks 1..16) and the
 *  settings block (bank 5, block 0), converted from and to the texts of the channel table and the
 *  settings panel. Nothing here knows about widgets, timers or the serial line: after decoding
 *  the settings block the caller ends the read (stops the repeat timer, marks the block as the
 *  last one, enables the buttons, closes the port and reports success), and after encoding the
 *  caller computes the CRC and sends the frame. */
namespace wf {

/** The columns of the channel table; column 0 holds the channel number. */
namespace column {
enum : int {
    Number = 0,
    RxFrequency = 1,
    TxFrequency = 2,
    DecodeTone = 3,
    EncodeTone = 4,
    Power = 5,
    Bandwidth = 6,
    ScanAdd = 7,
    Step = 8,
    DtmfKey1 = 9,
    DtmfKey2 = 10,
    PttId = 11,
    Scrambler = 12,
    Signalling = 13,
    SignallingInfo = 14,
    Compander = 15,
};
inline constexpr int kCount = 16;
} // namespace column

/** The ten boxes of the settings panel; index 0 is ComboBox1. */
namespace setting {
enum : int {
    VoxLevel = 0,    ///< ComboBox1
    VoxDelay = 1,    ///< ComboBox2
    Squelch = 2,     ///< ComboBox3
    TimeOut = 3,     ///< ComboBox4
    VoicePrompt = 4, ///< ComboBox5
    Pf1 = 5,         ///< ComboBox6
    Pf2 = 6,         ///< ComboBox7
    Scan = 7,        ///< ComboBox8
    BatterySave = 8, ///< ComboBox9
    Beep = 9,        ///< ComboBox10
};
inline constexpr int kCount = 10;
} // namespace setting

/** Number of channels, which are rows 1..16 of the channel table. */
inline constexpr int kChannelCount = 16;

/** The 16 cells of one row of the channel table, indexed by column. */
using ChannelRow = std::array<QString, column::kCount>;

/** The texts of ComboBox1..ComboBox10, index 0 being ComboBox1. */
using SettingsTexts = std::array<QString, setting::kCount>;

/** All the channel data of the main window: the table (row 0 the captions, rows 1..16 the
 *  channels) and the settings panel. */
struct ChannelSheet
{
    std::array<ChannelRow, kChannelCount + 1> rows;
    SettingsTexts settings;
};

/** The outcome of an encoder: empty error on success, otherwise the message for the user. */
struct [[nodiscard]] Conversion
{
    QString error;
    /** The text the message is about, within the texts the encoder was given, so that a window
     *  can show the cell or box that holds it; null when none. Valid while those texts are. */
    const QString *refused = nullptr;
    bool ok() const { return error.isEmpty(); }
};

/** Builds the frame of channel `row` (1..16) from its cells: frame bytes 0..3 and payload bytes
 *  0..23 and 27 (all 28 for an empty channel). Every other byte of `tx` keeps what the frame
 *  before left there. The words of both languages are taken. A text the radio cannot take is
 *  refused, never changed on the way: one that is no number where a number belongs, a number
 *  its bytes cannot hold or a frequency above 999.99999 MHz, a word that is not one of its
 *  column's. The message names the channel, the column and the text, in `language`. On
 *  failure `tx` is not changed at all. The CRC is the caller's. */
Conversion EncodeChannelBlock(FrameBuffer &tx, int row, const ChannelRow &cells,
                              Language language = Language::English);

/** Builds the settings frame from the panel's texts: frame bytes 0..3 and payload bytes 0..15;
 *  payload bytes 16..27 keep what the frame before left there. Texts are refused as in
 *  EncodeChannelBlock, the message naming the box by its label. On failure `tx` is not
 *  changed. */
Conversion EncodeSettingsBlock(FrameBuffer &tx, const SettingsTexts &settings,
                               Language language = Language::English);

/** Writes the texts of a received channel block (frame bytes 0..31) into columns 1..15 of a
 *  row, in the given language. Codes the radio does not define leave their cell as it was;
 *  a receive frequency that reads "0.00000", or erased memory (FF FF FF FF), is an empty
 *  channel: columns 1..15 are emptied. Column 0 is never written. */
void DecodeChannelBlock(const quint8 *frame, ChannelRow &row, Language language);

/** Writes the texts of a received settings block into the ten settings texts. */
void DecodeSettingsBlock(const quint8 *frame, SettingsTexts &settings, Language language);

/** What DecodeMainBlock changed. */
struct DecodedBlock
{
    enum class Kind { Nothing, Settings, Channel };
    Kind kind = Kind::Nothing;
    int row = 0; ///< the channel row written, when kind is Channel

    friend bool operator==(const DecodedBlock &a, const DecodedBlock &b)
    {
        return a.kind == b.kind && a.row == b.row;
    }
};

/** Decodes a data frame received during a main-window read: bank 5 is the settings block, any
 *  other bank a channel block for the row named by frame byte 2. A channel block numbered 0 or
 *  above 16 changes nothing. */
DecodedBlock DecodeMainBlock(const quint8 *frame, ChannelSheet &sheet, Language language);

} // namespace wf
