// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/language.h"

#include <QString>
#include <QStringList>
#include <QStringView>

/** The messages that refuse a value on its way to the radio, in the display language: every
 *  window and the command-line tool name a field and its text the same way. */
namespace wf {

/** A number its bytes cannot hold: "Fleet[Own]: 70000 is out of range (0 to 65535)" or
 *  "队列(自身)：70000 超出范围（0 至 65535）". The text is shown trimmed. */
QString outOfRangeText(const QString &name, QStringView text, const QString &lowest,
                       const QString &highest, Language language);

/** A text that is none of a field's words: "Channel 3 TX Power: 'low' is not one of its values
 *  (HIGH, LOW)". The text is quoted as it is, blanks included, since a blank is what makes
 *  "低 " no word. */
QString notOneOfText(const QString &name, QStringView text, const QStringList &values,
                     Language language);

/** How messages name a channel's column: "Channel 3 RX Freq" or "信道3 接收频率". */
QString channelFieldName(int channel, WordPair caption, Language language);

/** How messages name a settings box: its label's caption, without the label's colon. */
QString settingName(WordPair label, Language language);

} // namespace wf
