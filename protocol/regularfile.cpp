// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace wf {

namespace {

#ifdef Q_OS_UNIX
QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("Is a folder, not a file");
    if (S_ISFIFO(mode))
        return QStringLiteral("Is a pipe, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("Is a device, not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("Is a socket, not a file");
    return QStringLiteral("Is not a regular file");
}

QString systemError()
{
    return qt_error_string(errno);
}
#endif

} // namespace

FileRead readRegularFile(const QString &path, qint64 limit)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (::stat(name.constData(), &status) != 0)
        return {{}, systemError()};
    if (!S_ISREG(status.st_mode))
        return {{}, kindOf(status.st_mode)};
    // Not waiting: what was checked may have been replaced by a pipe since, and opening a pipe
    // that nobody writes would wait for ever.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {{}, systemError()};
    FileRead result;
    if (::fstat(fd, &status) != 0) {
        result.error = systemError();
    } else if (!S_ISREG(status.st_mode)) {
        result.error = kindOf(status.st_mode);
    } else {
        // A file may grow while it is read: the limit holds whatever its size said.
        constexpr qint64 kChunk = 64 * 1024;
        while (result.bytes.size() <= limit) {
            const qint64 wanted = std::min(kChunk, limit + 1 - qint64(result.bytes.size()));
            const qsizetype at = result.bytes.size();
            result.bytes.resize(at + qsizetype(wanted));
            const ssize_t count = ::read(fd, result.bytes.data() + at, std::size_t(wanted));
            if (count < 0 && errno == EINTR) {
                result.bytes.resize(at);
                continue;
            }
            if (count < 0) {
                result.error = systemError();
                result.bytes.clear();
                break;
            }
            result.bytes.resize(at + qsizetype(count));
            if (count == 0)
                break;
        }
    }
    ::close(fd);
    return result;
#else
    if (QFileInfo(path).exists() && !QFileInfo(path).isFile())
        return {{}, QStringLiteral("Is not a regular file")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, file.errorString()};
    FileRead result{file.read(limit + 1), {}};
    if (file.error() != QFileDevice::NoError)
        return {{}, file.errorString()};
    return result;
#endif
}

QString whyNotSaveable(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat status = {};
    // Nothing there, or a path that cannot be looked at: the save itself says what is wrong.
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return S_ISREG(status.st_mode) ? QString() : kindOf(status.st_mode);
#else
    const QFileInfo info(path);
    return !info.exists() || info.isFile() ? QString() : QStringLiteral("Is not a regular file");
#endif
}

QString savedFilePath(const QString &path)
{
    QFileInfo info(path);
    // A link that leads nowhere yet is saved at its target.
    for (int hops = 0; hops < 40 && info.isSymLink() && !info.exists(); ++hops)
        info = QFileInfo(info.symLinkTarget());
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return QDir(folder.isEmpty() ? info.absolutePath() : folder).filePath(info.fileName());
}

} // namespace wf
