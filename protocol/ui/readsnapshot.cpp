// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/ui/readsnapshot.h"

#include "i18n/language.h"
#include "i18n/ui/messagebox.h"
#include "protocol/snapshots.h"

namespace wf {

namespace {

constexpr WordPair kSnapshotNotSaved{
    u"读取成功,但未能保存快照:%1。本次运行中不再提示。",
    u"The read succeeded, but its snapshot could not be saved: %1. This is not said again "
    u"until the program starts anew."};

// A data folder that cannot be written stays so for every read of the day: once is enough.
bool g_said = false;

} // namespace

void keepReadSnapshot(QWidget *parent, const RadioImage &image)
{
    QString error;
    if (!saveSnapshot(image, &error).isEmpty() || g_said)
        return;
    g_said = true;
    showError(parent, kSnapshotNotSaved.in(displayLanguage()).toString().arg(error));
}

} // namespace wf
