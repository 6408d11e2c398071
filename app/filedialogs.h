// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QFileDialog;

namespace wf {

/** Runs a file dialog modally, or hands it to the installed hook, and returns
 *  QDialog::Accepted or QDialog::Rejected. Every file dialog of the program goes through here,
 *  so that tests can answer them as a user would without a modal loop. */
int runFileDialog(QFileDialog &dialog);

/** Replaces the modal run of file dialogs by a function that answers the dialog it is given,
 *  for tests; an empty function restores the modal dialogs. */
using FileDialogHook = std::function<int(QFileDialog &dialog)>;
void setFileDialogHook(FileDialogHook hook);

} // namespace wf
