// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/language.h"

namespace wf {

/** Puts Qt's own texts (the file dialogs, OK and Cancel, Yes and No) into the language the
 *  windows show: Qt's Chinese catalogue, as the system's Qt translations provide it, while
 *  Chinese is shown, Qt's built-in English otherwise. Without the catalogue those texts stay
 *  English. Returns whether Qt's texts now follow `language`. */
bool useQtTranslations(Language language);

} // namespace wf
