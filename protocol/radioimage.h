// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/frame.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace wf {

/** A block address: bank (frame byte 1) and block number (frame byte 2). */
struct BlockAddress
{
    Bank bank = Bank::Channels;
    int block = 0;
    friend bool operator==(const BlockAddress &a, const BlockAddress &b)
    {
        return a.bank == b.bank && a.block == b.block;
    }
};

/** The 28 payload bytes of one block. */
using BlockPayload = std::array<quint8, frame::kPayloadSize>;

/** The payload of an image line from its hex fields: one run of 56 digits or groups of whole
 *  bytes. False, with what is wrong in `problem`, for anything else. */
bool parsePayloadHex(const QStringList &groups, BlockPayload *payload, QString *problem);

/** A copy of a radio's memory, as read from the radio or to be written back to it: every block
 *  of every bank, or every block of some banks (what one read brought: the channels and settings,
 *  or one signalling bank). Its text form is one line a block (bank, block, 56 hex digits) after
 *  a header of comments with the date, the port and the program's version, and for an image of
 *  some banks the banks it holds; the virtual radio reads the same text. */
class RadioImage final
{
public:
    /** A complete image with every block all zero bytes. */
    RadioImage();
    /** An image of these banks only, every block all zero bytes. */
    explicit RadioImage(const QList<Bank> &banks);

    /** Every block of the radio, in image order: bank by bank as kRadioMemory lists them. */
    static const QList<BlockAddress> &addresses();
    /** The blocks of one bank, first to last. */
    static QList<BlockAddress> addresses(Bank bank);
    /** Where a block stands in addresses(); -1 when the radio has no such block. */
    static int indexOf(Bank bank, int block);

    /** The banks the image holds, in image order. */
    QList<Bank> banks() const;
    /** True when the image holds every block of `bank`. */
    bool holds(Bank bank) const { return (m_banks & bankBit(bank)) != 0; }
    /** True when the image holds every bank. */
    bool isComplete() const;
    /** The blocks of the banks the image holds, in image order. */
    QList<BlockAddress> heldBlocks() const;

    /** The blocks of a bank the image does not hold are zero bytes until set, and go into no
     *  text and no write. */
    const BlockPayload &payload(Bank bank, int block) const;
    void setPayload(Bank bank, int block, const BlockPayload &payload);
    /** A block as the radio sends it in answer to a read: header, payload and CRC. */
    FrameBuffer frame(Bank bank, int block) const;

    /** Where the image came from, for its header. */
    QDateTime taken;
    QString port;

    /** The image as text. */
    QString toText(const QString &programVersion) const;

    /** Reads an image text, with the date and the port its header names. Every block of the banks
     * the header names (every bank when it names none) must be listed exactly once and nothing
     * else: a line that is malformed, a block the radio does not have (another radio's layout), a
     * block of a bank not named, a block given twice or a block missing (a file cut short) is
     * refused with a message that names the line. The channels and the settings go to the radio in
     * one transfer: an image holds both or neither. */
    static bool fromText(const QString &text, RadioImage *image, QString *error);

    /** Any image of ours is a few kilobytes, comments and all; a larger file is something else. */
    static constexpr qint64 kMaxImageFileSize = 1024 * 1024;

    /** Reads an image file, a regular one of at most kMaxImageFileSize bytes; the message names
     *  the file. */
    static bool readFile(const QString &path, RadioImage *image, QString *error);
    /** Writes the image to a file, replacing an old one only once the new one is complete; a
     *  path that names anything but a regular file is refused. */
    bool writeFile(const QString &path, const QString &programVersion, QString *error) const;

    friend bool operator==(const RadioImage &a, const RadioImage &b)
    {
        return a.m_banks == b.m_banks && a.m_blocks == b.m_blocks;
    }

private:
    static constexpr quint32 bankBit(Bank bank) { return quint32(1) << int(bank); }

    std::vector<BlockPayload> m_blocks;
    quint32 m_banks = 0; ///< one bit a bank held, by bank number
};

/** One byte that differs between what was written and what the radio holds. */
struct ByteMismatch
{
    BlockAddress address;
    int byte = 0; ///< payload byte, 0..27
    quint8 expected = 0;
    quint8 actual = 0;
};

/** The bytes of `blocks` that differ between `expected` and `actual`, block by block in order. */
QList<ByteMismatch> compareBlocks(const RadioImage &expected, const RadioImage &actual,
                                  const QList<BlockAddress> &blocks);

/** The folder of the snapshots, in the user's data folder: <data>/writefreq/snapshots. */
QString snapshotFolder();

/** Where a snapshot of the radio on `port` taken now is kept, in the user's data folder:
 *  <data>/writefreq/snapshots/<date>-<time>-<port>.img, never the name of an existing file. */
QString radioSnapshotPath(const QString &port);

/** A bank's name as a technician knows it: "channels", "settings", "DTMF", ... */
QString bankName(Bank bank);

} // namespace wf
