// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/fsk/fskcontrols.h"

namespace wf::fsk {

Texts initialTexts(Language language)
{
    Texts texts;
    applyInitialValues(kControls, texts, language);
    return texts;
}

} // namespace wf::fsk
