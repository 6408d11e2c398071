// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/dtmf/dtmfcontrols.h"

namespace wf::dtmf {

Texts initialTexts(Language language)
{
    Texts texts;
    applyInitialValues(kControls, texts, language);
    return texts;
}

} // namespace wf::dtmf
