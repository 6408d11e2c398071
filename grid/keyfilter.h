// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QStringView>

class QEvent;
class QKeyEvent;
class QObject;
class QWidget;

namespace wf {

/** The characters a window lets the user type: those of `allowed`, and the lower-case forms of
 *  the letters of `raised`, which are typed as upper case. */
struct CharacterRule
{
    QStringView allowed;
    QStringView raised;
};

/** What a window's key preview does with a key. */
enum class KeyVerdict {
    Pass,  ///< the key goes on: an allowed character, an editing key, a shortcut, Enter
    Drop,  ///< a typed character the window does not take
    Raise, ///< a lower-case letter that goes on as its upper case
};

/** Judges a key by what it types. Only printable characters are filtered: editing keys (Delete
 *  arrives with the text "\x7f"), Tab, Escape, Enter, Backspace and shortcuts with Ctrl, Alt or
 *  Meta pass, and so does Space on a button. */
KeyVerdict judgeKey(const QKeyEvent &key, const CharacterRule &rule, bool onButton = false);

/** The key press a window's key preview judges: the first delivery of a key, to the control that
 *  has the focus in `window` (a key that a child ignores travels on to its parents and must not
 *  be judged twice). Null for every other event and delivery. */
QKeyEvent *previewedKey(const QWidget *window, QObject *watched, QEvent *event);

/** The window's combo box a key was typed into: the box itself or its line edit. Null for any
 *  other control, a grid cell's drop-down editor included. */
QWidget *comboOf(QWidget *target);

/** Moves the focus to the control after `widget` in its window's tab order that can take it now
 *  (not a part of `widget` itself, such as a combo box's line edit). */
void focusAfter(QWidget *widget);

/** True for Enter, from the main keyboard or the keypad. */
bool isEnterKey(const QKeyEvent &key);

/** A shortcut holds Ctrl, Alt or Meta; Ctrl and Alt together are AltGr on Windows, which types a
 *  character like any other key. */
bool isShortcut(const QKeyEvent &key);

} // namespace wf
