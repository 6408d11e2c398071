// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recentfiles.h"

#include <QFileInfo>

namespace wf {

namespace {
constexpr QStringView kFolderKey = u"Folder";

QString fileKey(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}
} // namespace

RecentFiles::RecentFiles(QString iniPath)
    : m_ini(std::move(iniPath))
{}

QStringList RecentFiles::files() const
{
    const IniText text = m_ini.read();
    QStringList files;
    for (int i = 0; i < kCount; ++i) {
        const QString file = text.readString(kSection, fileKey(i), {});
        if (!file.isEmpty() && !files.contains(file))
            files << file;
    }
    return files;
}

QString RecentFiles::folder() const
{
    return m_ini.readString(kSection, kFolderKey, {});
}

IniWrite RecentFiles::add(const QString &file)
{
    const QString path = QFileInfo(file).absoluteFilePath();
    QStringList before = files();
    QStringList after = before;
    after.removeAll(path);
    after.prepend(path);
    while (after.size() > kCount)
        after.removeLast();
    for (int i = 0; i < kCount; ++i) {
        if (before.value(i) == after.value(i))
            continue;
        if (IniWrite written = m_ini.writeString(kSection, fileKey(i), after.value(i));
            !written.ok())
            return written;
    }
    const QString newFolder = QFileInfo(path).absolutePath();
    if (folder() == newFolder)
        return {};
    return m_ini.writeString(kSection, kFolderKey, newFolder);
}

} // namespace wf
