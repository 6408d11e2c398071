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

QString portOpenMessage(Language language, const QString &port, const QString &why)
{
    constexpr WordPair kCannotOpen{
        u"无法打开串口 %1：%2\n请检查串口名称和连接线，并确认没有别的程序正在使用这个串口。",
        u"The serial port %1 cannot be opened: %2\nCheck the port's name and the cable, and that "
        u"no other program is using the port."};
    return kCannotOpen.in(language).toString().arg(port, why);
}

QStringView applicationTitle()
{
    return kApplicationTitle.in(displayLanguage());
}

} // namespace wf
