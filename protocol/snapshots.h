// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/radioimage.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace wf {

/** How many snapshots the folder keeps at least, the newest first... */
inline constexpr int kKeptSnapshots = 200;
/** ...and how old one must be before it may go, in days. */
inline constexpr int kSnapshotDays = 7;

/** Saves `image` (its time and port set) as a snapshot of the radio on its port, makes
 *  the folder when it is missing and prunes it. Returns the file, or nothing with the reason in
 *  `error`. */
QString saveSnapshot(const RadioImage &image, QString *error);

/** Deletes the oldest snapshots in `folder` beyond the newest kKeptSnapshots, but none younger
 *  than kSnapshotDays at `now` by the time in its name or by its file time. Only regular files
 *  named as snapshots are counted or deleted. Returns the names of the deleted files. */
QStringList pruneSnapshots(const QString &folder, const QDateTime &now);

} // namespace wf
