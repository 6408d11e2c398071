// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/chunkassembler.h"

namespace wf {

QList<QByteArray> ChunkAssembler::add(const QByteArray &bytes)
{
    m_chunk += bytes;
    QList<QByteArray> full;
    while (m_chunk.size() >= m_maxChunk) {
        full << m_chunk.left(m_maxChunk);
        m_chunk.remove(0, m_maxChunk);
    }
    return full;
}

QByteArray ChunkAssembler::silence(bool moreWaiting)
{
    if (moreWaiting)
        return {};
    QByteArray chunk;
    chunk.swap(m_chunk);
    return chunk;
}

} // namespace wf
