// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/fivetone/fivetonecontrols.h"

namespace wf::fivetone {

Texts initialTexts(Language language)
{
    Texts texts;
    applyInitialValues(kControls, texts, language);
    for (StandardRow &row : texts.standards) {
        for (const GridCell<StandardRow> &cell : kStandardCells)
            row.*cell.text = cell.fill.in(language).toString();
    }
    return texts;
}

EncodeRow applyEncodeRowRule(const EncodeRow &row, int column, const QString &previousText,
                             Language language)
{
    return applyRowRule(kEncodeCells, KeylessRow::Cleared, row, column, previousText, language);
}

DecodeRow applyDecodeRowRule(const DecodeRow &row, int column, const QString &previousText,
                             Language language)
{
    // A read can leave a decode row's cells filled under an empty standard (a code the window
    // has no name for); an edit there must not throw away what the radio holds.
    return applyRowRule(kDecodeCells, KeylessRow::EditUndone, row, column, previousText, language);
}

} // namespace wf::fivetone
