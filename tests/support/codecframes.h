// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/frame.h"
#include "signalling/fieldtable.h"

#include <QByteArray>

#include <algorithm>
#include <array>

/** A payload's bytes, to compare and print. */
inline QByteArray bytesOf(const wf::Payload &payload)
{
    return QByteArray(reinterpret_cast<const char *>(payload.data()), int(payload.size()));
}

/** A data frame of `bank` as the radio sends it (the CRC is the receive handler's business). */
inline std::array<quint8, wf::frame::kBlockFrameSize> codecFrame(wf::Bank bank, int block,
                                                                 const QByteArray &payload)
{
    std::array<quint8, wf::frame::kBlockFrameSize> frame{};
    wf::putBlockHeader(frame.data(), quint8(bank), quint8(block));
    std::copy(payload.begin(), payload.end(), frame.begin() + wf::frame::kPayloadOffset);
    return frame;
}
