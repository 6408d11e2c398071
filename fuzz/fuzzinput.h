// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

/** Stops the fuzzer on a broken invariant, naming it and where it was checked; libFuzzer then
 *  keeps the input that broke it. Not an assert: it stays in every build type. */
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace wf::fuzz {

/** Byte that separates the texts of an input: it never occurs in UTF-8, so every text between
 *  two of them can be anything a cell might hold, broken UTF-8 included. */
inline constexpr char kTextSeparator = '\xFF';

/** A fuzz input read from front to back; past its end every read gives zero bytes. */
class InputReader final
{
public:
    InputReader(const std::uint8_t *data, std::size_t size)
        : m_data(reinterpret_cast<const char *>(data))
        , m_size(size)
    {}

    bool atEnd() const { return m_at >= m_size; }

    std::uint8_t byte() { return atEnd() ? 0 : static_cast<std::uint8_t>(m_data[m_at++]); }

    /** The next `count` bytes, fewer at the end of the input. */
    QByteArray bytes(std::size_t count)
    {
        const std::size_t n = atEnd() ? 0 : std::min(count, m_size - m_at);
        const QByteArray taken(m_data + m_at, static_cast<qsizetype>(n));
        m_at += n;
        return taken;
    }

    /** The next `count` texts, each up to the next separator and read as UTF-8; texts past the
     *  end of the input are empty. */
    QStringList texts(int count)
    {
        QStringList list;
        for (int i = 0; i < count; ++i) {
            std::size_t end = m_at;
            while (end < m_size && m_data[end] != kTextSeparator)
                ++end;
            list << (m_at < m_size
                         ? QString::fromUtf8(m_data + m_at, static_cast<qsizetype>(end - m_at))
                         : QString());
            m_at = end < m_size ? end + 1 : m_size;
        }
        return list;
    }

private:
    const char *m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

} // namespace wf::fuzz
