// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

/** Files the program reads and replaces: only regular files, and never more of them than their
 *  reader takes. A path may name a pipe, a device or a socket, directly or through a link; a read
 *  would then wait for a writer that never comes, or fill the memory from a device that never
 *  ends, and a save would put a file where the device was. */
namespace wf {

/** The bytes of a regular file, or why there are none. */
struct [[nodiscard]] FileRead
{
    QByteArray bytes;
    QString error; ///< the reason, worded like the system's: "Is a pipe, not a file"
    bool ok() const { return error.isEmpty(); }
};

/** Reads the regular file at `path` (links followed), at most `limit` bytes and one more: a
 *  result longer than `limit` means the file is larger than its reader takes, which the reader
 *  words itself. Anything else at the path is refused before it is opened, and the file is
 *  opened without waiting, so the read never blocks and never grows past the limit. */
FileRead readRegularFile(const QString &path, qint64 limit);

/** Why `path` cannot take a saved file: empty when it names a regular file or nothing yet (the
 *  save then makes the file), otherwise the reason ("Is a device, not a file"). */
QString whyNotSaveable(const QString &path);

/** The file a save to `path` would write, links and "." and ".." resolved, whether it is there
 *  yet or not: two paths that give the same name write the same file. */
QString savedFilePath(const QString &path);

} // namespace wf
