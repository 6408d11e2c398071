// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/language.h"
#include "i18n/words.h"

#include <QStringView>

#include <cstddef>
#include <optional>

/** The code tables of the channel and settings blocks: each value the radio stores as a code,
 *  with the word the table and the settings panel show for it in either language. */
namespace wf {

/** One entry of a code table: the byte the radio stores and the word shown for it. */
struct CodeWord
{
    int code;
    WordPair word;
};

/** A read-only view of a constexpr array of code words, in the order the drop-down lists show. */
class CodeTable final
{
public:
    constexpr CodeTable() = default;
    template<std::size_t N>
    constexpr CodeTable(const CodeWord (&words)[N])
        : m_words(words)
        , m_size(N)
    {}

    constexpr const CodeWord *begin() const { return m_words; }
    constexpr const CodeWord *end() const { return m_words + m_size; }
    constexpr std::size_t size() const { return m_size; }
    constexpr const CodeWord &operator[](std::size_t index) const { return m_words[index]; }

private:
    const CodeWord *m_words = nullptr;
    std::size_t m_size = 0;
};

/** The code of the entry whose Chinese or English word equals the text exactly, if any. */
std::optional<int> codeOf(const CodeTable &table, QStringView text);

/** The word of the entry with this code in the given language, if the table has the code. */
std::optional<QStringView> wordOf(const CodeTable &table, int code, Language language);

// The keys read the same in both languages; only "none" has two words. Listed in the order of
// the DTMF key drop-down list, which is not the order of the codes.
inline constexpr CodeWord kDtmfKeyWords[] = {
    {0xFF, words::kNone}, {1, {u"1", u"1"}},  {2, {u"2", u"2"}},  {3, {u"3", u"3"}},
    {4, {u"4", u"4"}},    {5, {u"5", u"5"}},  {6, {u"6", u"6"}},  {7, {u"7", u"7"}},
    {8, {u"8", u"8"}},    {9, {u"9", u"9"}},  {11, {u"*", u"*"}}, {10, {u"0", u"0"}},
    {12, {u"#", u"#"}},   {13, {u"A", u"A"}}, {14, {u"B", u"B"}}, {15, {u"C", u"C"}},
    {0, {u"D", u"D"}},
};
/** DTMF keys of channel columns 9 and 10 (payload bytes 17 and 18); 0xFF is no key. */
inline constexpr CodeTable kDtmfKeys{kDtmfKeyWords};

inline constexpr CodeWord kPttIdWords[] = {
    {0, words::kNone},
    {1, {u"BOTH", u"BOTH"}},
    {2, {u"BOT", u"BOT"}},
    {3, {u"EOT", u"EOT"}},
};
/** PTT ID modes of channel column 11 (payload byte 19). */
inline constexpr CodeTable kPttIdModes{kPttIdWords};

inline constexpr CodeWord kSignallingWords[] = {
    {0, {u"DTMF", u"DTMF"}},
    {1, {u"2TONE", u"2TONE"}},
    {2, {u"5TONE", u"5TONE"}},
    {3, {u"FSK", u"FSK"}},
};
/** Optional signalling systems of channel column 13 (payload byte 22). */
inline constexpr CodeTable kSignallingSystems{kSignallingWords};

// In the order of the PF1/PF2 lists as the language switch builds them; the radio's codes
// follow another order, so the list position must never be taken for the code.
inline constexpr CodeWord kKeyFunctionWords[] = {
    {0, words::kNone},
    {3, {u"自动拨号", u"Autodial"}},
    {4, {u"按键锁定", u"Key Lock"}},
    {5, {u"按键锁定及备份", u"Key Lock With Backup"}},
    {2, {u"监听", u"Monitor"}},
    {6, {u"监听瞬时", u"Monitor Momentary"}},
    {7, {u"扫描", u"Scan"}},
    {8, {u"扫描+暂时删除", u"Scan+Temporary Delete"}},
    {9, {u"扰频器", u"Scrambler"}},
    {10, {u"取消静噪", u"Squelch Off"}},
    {11, {u"瞬时取消静噪", u"Squelch Off Momentary"}},
    {12, {u"暂时删除", u"Temporary Delete"}},
    {1, {u"警报音", u"Emergency Alarm"}},
};
/** Functions of the programmable keys PF1 and PF2 (settings payload bytes 13 and 14). */
inline constexpr CodeTable kKeyFunctions{kKeyFunctionWords};

inline constexpr CodeWord kVoicePromptWords[] = {
    {0, words::kClose},
    {1, words::kChinese},
    {2, words::kEnglish},
};
/** Voice prompt languages of the settings panel (settings payload byte 12). */
inline constexpr CodeTable kVoicePrompts{kVoicePromptWords};

} // namespace wf
