// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/frame.h"

#include <QList>
#include <QString>

#include <array>
#include <vector>

namespace wf::vradio {

/** The 28 payload bytes of one block. */
using Payload = std::array<quint8, frame::kPayloadSize>;

/** A block address: bank (frame byte 1) and block number (frame byte 2). */
struct BlockId
{
    int bank = 0;
    int block = 0;
    friend bool operator==(const BlockId &a, const BlockId &b)
    {
        return a.bank == b.bank && a.block == b.block;
    }
};

/** The memory of the virtual radio: every block of every bank it holds, and its image text. */
class RadioMemory final
{
public:
    /** A memory with every block all zero bytes. */
    RadioMemory();

    /** The memory of the built-in demonstration image. */
    static RadioMemory demo();

    /** Every block the radio holds, in image order (bank by bank as the radio lists them). */
    static QList<BlockId> blocks();

    /** True when the radio holds this block. */
    static bool has(int bank, int block) { return isRadioBlock(bank, block); }

    /** The payload of a block the radio holds. */
    const Payload &payload(int bank, int block) const;

    /** Replaces the payload of a block the radio holds. */
    void setPayload(int bank, int block, const Payload &payload);

    /** Replaces the whole memory with an image text. Blocks the text does not list become zero
     *  bytes and are reported in `missing`. On an error the memory is left unchanged, and `error`
     *  tells the line and what is wrong with it. */
    bool loadText(const QString &text, QString *error, QList<BlockId> *missing = nullptr);

    /** The image text of the whole memory: a header comment, then one line a block. */
    QString toText() const;

    /** Reads an image file (see loadText); `error` names the file on failure. */
    bool loadFile(const QString &path, QString *error, QList<BlockId> *missing = nullptr);

    /** Writes the image text to a temporary file next to `path`, then renames it over `path`, so
     *  the file always holds one complete image. */
    bool saveFile(const QString &path, QString *error) const;

private:
    static int indexOf(int bank, int block);

    std::vector<Payload> m_blocks;
};

} // namespace wf::vradio
