// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/language.h"

namespace wf {

namespace {
// Read and written on the user-interface thread only.
qint32 g_displayLanguageFlag = 0;
} // namespace

qint32 displayLanguageFlag()
{
    return g_displayLanguageFlag;
}

void setDisplayLanguageFlag(qint32 flag)
{
    g_displayLanguageFlag = flag;
}

Language displayLanguage()
{
    return g_displayLanguageFlag != 0 ? Language::English : Language::Chinese;
}

QStringView applicationTitle()
{
    return kApplicationTitle.in(displayLanguage());
}

} // namespace wf
