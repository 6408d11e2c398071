// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/snapshots.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace wf {

QString saveSnapshot(const RadioImage &image, QString *error)
{
    const QString path = radioSnapshotPath(image.port);
    const QString folder = QFileInfo(path).path();
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot make the folder %1").arg(QDir::toNativeSeparators(folder));
        return {};
    }
    if (!image.writeFile(path, QCoreApplication::applicationVersion(), error))
        return {};
    pruneSnapshots(folder, QDateTime::currentDateTime());
    return path;
}

QStringList pruneSnapshots(const QString &folder, const QDateTime &now)
{
    // <date>-<time>-<port>.img, as radioSnapshotPath names them; anything else in the folder
    // belongs to the user.
    static const QRegularExpression kName(QStringLiteral("^(\\d{8}-\\d{6})-[A-Za-z0-9_-]*\\.img$"));
    struct Snapshot
    {
        QString name;
        QDateTime named;
        QDateTime modified;
    };
    std::vector<Snapshot> snapshots;
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*.img")}, QDir::Files | QDir::NoSymLinks);
    for (const QFileInfo &file : files) {
        const QRegularExpressionMatch match = kName.match(file.fileName());
        const QDateTime named =
            match.hasMatch()
                ? QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd-HHmmss"))
                : QDateTime();
        if (named.isValid())
            snapshots.push_back({file.fileName(), named, file.lastModified()});
    }
    if (snapshots.size() <= std::size_t(kKeptSnapshots))
        return {};
    std::sort(snapshots.begin(), snapshots.end(), [](const Snapshot &a, const Snapshot &b) {
        return a.named != b.named ? a.named > b.named : a.name > b.name;
    });
    // A snapshot a clock set wrong named old, or one copied back from elsewhere, is kept for
    // the week like any other.
    const QDateTime weekAgo = now.addDays(-kSnapshotDays);
    QStringList deleted;
    QDir dir(folder);
    for (std::size_t i = kKeptSnapshots; i < snapshots.size(); ++i) {
        const Snapshot &s = snapshots[i];
        if (s.named < weekAgo && s.modified < weekAgo && dir.remove(s.name))
            deleted << s.name;
    }
    return deleted;
}

} // namespace wf
