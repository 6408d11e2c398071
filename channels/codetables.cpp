// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels/codetables.h"

namespace wf {

std::optional<int> codeOf(const CodeTable &table, QStringView text)
{
    for (const CodeWord &entry : table) {
        if (entry.word.matches(text))
            return entry.code;
    }
    return std::nullopt;
}

std::optional<QStringView> wordOf(const CodeTable &table, int code, Language language)
{
    for (const CodeWord &entry : table) {
        if (entry.code == code)
            return entry.word.in(language);
    }
    return std::nullopt;
}

} // namespace wf
