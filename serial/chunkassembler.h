// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

namespace wf {

/** Gathers the bytes read from the line into chunks: a chunk ends when the line has been silent
 *  for a while, or when it reaches its largest size. The caller owns the silence timer and says
 *  when it fired; this class decides what that means, so the rule is tested without a line. */
class ChunkAssembler final
{
public:
    explicit ChunkAssembler(int maxChunk)
        : m_maxChunk(maxChunk)
    {}

    /** Adds bytes read from the line; returns the chunks that reached the largest size. */
    QList<QByteArray> add(const QByteArray &bytes);

    /** The silence timer fired. `moreWaiting` tells whether bytes reached the driver in the
     *  meantime: a timer that ran late on a busy machine does not prove silence, so then the
     *  chunk goes on and nothing is returned. Otherwise returns the chunk (empty if none). */
    QByteArray silence(bool moreWaiting);

    /** True while a chunk is being gathered: the silence timer must run. */
    bool gathering() const { return !m_chunk.isEmpty(); }

    /** Drops what was gathered (the port closed). */
    void clear() { m_chunk.clear(); }

private:
    int m_maxChunk;
    QByteArray m_chunk;
};

} // namespace wf
