// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/fivetone/fivetonestandards.h"

#include "channels/numbertext.h"

namespace wf::fivetone {

QStringList toneTexts(QStringView standard)
{
    QStringList texts;
    for (const ToneStandard &table : kToneStandards) {
        if (table.name != standard)
            continue;
        for (const double tone : table.tones)
            texts << formatDecimal(tone, 1);
    }
    return texts;
}

} // namespace wf::fivetone
