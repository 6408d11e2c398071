// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/twotone/twotonecontrols.h"

namespace wf::twotone {

Texts initialTexts(Language language)
{
    Texts texts;
    applyInitialValues(kControls, texts, language);
    return texts;
}

DecodeRow applyDecodeRowRule(const DecodeRow &row, int column, const QString &previousText,
                             Language language)
{
    return applyRowRule(kDecodeCells, KeylessRow::Cleared, row, column, previousText, language);
}

} // namespace wf::twotone
