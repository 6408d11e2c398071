// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/inifile.h"

#include <QString>
#include <QStringList>

namespace wf {

/** The data files opened or saved last, newest first, and the folder the file dialogs open in,
 *  kept across sessions in the INI file's section of the program's own. Every read takes the
 *  file afresh; a write changes only the values that changed, each replacing the file whole. */
class RecentFiles final
{
public:
    static constexpr int kCount = 8;
    static constexpr QStringView kSection = u"RecentFiles";

    explicit RecentFiles(QString iniPath);

    /** The files, newest first, at most kCount. */
    QStringList files() const;
    /** The folder a file was last opened from or saved to; empty before the first. */
    QString folder() const;

    /** Puts `file` first (once) and makes its folder the dialogs' folder. */
    IniWrite add(const QString &file);

private:
    IniFile m_ini;
};

} // namespace wf
