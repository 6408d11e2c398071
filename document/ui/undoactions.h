// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class QAction;
class QUndoStack;

namespace wf {

/** Makes `undo` and `redo` undo and redo the steps of `stack`: Ctrl+Z, and Ctrl+Y or
 *  Ctrl+Shift+Z, while `allowed` says the window's contents may change (no transfer is reading
 *  or writing them). Their captions name the step, in the display language. */
void addUndoActions(QUndoStack &stack, QAction &undo, QAction &redo, std::function<bool()> allowed);

/** Writes the captions of the actions: "Undo paste" / "撤销粘贴", or the bare word when there is
 *  nothing to undo or redo. */
void showUndoTexts(const QUndoStack &stack, QAction &undo, QAction &redo);

} // namespace wf
