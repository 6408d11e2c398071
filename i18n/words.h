// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/language.h"

/** The value words that tables, lists and blocks share, each in Chinese and English. */
namespace wf::words {

inline constexpr WordPair kNone{u"无", u"NONE"};
inline constexpr WordPair kYes{u"有", u"YES"};
inline constexpr WordPair kHigh{u"高", u"HIGH"};
inline constexpr WordPair kLow{u"低", u"LOW"};
inline constexpr WordPair kWide{u"宽带", u"WIDE"};
inline constexpr WordPair kNarrow{u"窄带", u"NARROW"};
inline constexpr WordPair kOpen{u"开", u"OPEN"};
inline constexpr WordPair kClose{u"关", u"CLOSE"};
inline constexpr WordPair kChinese{u"中文", u"CHINESE"};
inline constexpr WordPair kEnglish{u"英文", u"ENGLISH"};

} // namespace wf::words
