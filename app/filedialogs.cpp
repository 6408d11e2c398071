// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/filedialogs.h"

#include <QFileDialog>

namespace wf {

namespace {
FileDialogHook &fileDialogHook()
{
    static FileDialogHook hook;
    return hook;
}
} // namespace

int runFileDialog(QFileDialog &dialog)
{
    if (fileDialogHook())
        return fileDialogHook()(dialog);
    return dialog.exec();
}

void setFileDialogHook(FileDialogHook hook)
{
    fileDialogHook() = std::move(hook);
}

} // namespace wf
