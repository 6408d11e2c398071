// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/keyfilter.h"

#include "grid/txstringgrid.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>

namespace wf {

QKeyEvent *previewedKey(const QWidget *window, QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return nullptr;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != window)
        return nullptr;
    const QWidget *focus = QApplication::focusWidget();
    if (focus ? widget != focus : widget != window)
        return nullptr;
    return static_cast<QKeyEvent *>(event);
}

QWidget *comboOf(QWidget *target)
{
    auto *combo = qobject_cast<QComboBox *>(target);
    if (!combo && target->parentWidget())
        combo = qobject_cast<QComboBox *>(target->parentWidget());
    // A cell's drop-down editor lives on the grid's viewport and takes what is typed into the
    // cell; it is none of the window's boxes.
    const QWidget *owner =
        combo && combo->parentWidget() ? combo->parentWidget()->parentWidget() : nullptr;
    if (qobject_cast<const TXStringGrid *>(owner))
        return nullptr;
    return combo;
}

void focusAfter(QWidget *widget)
{
    // Neither a part of the widget (a combo box's line edit) nor a container of it.
    const QWidget *window = widget->window();
    const auto takes = [&](const QWidget *w) {
        return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
               w->window() == window && !w->isAncestorOf(widget) && !widget->isAncestorOf(w);
    };
    QWidget *next = widget->nextInFocusChain();
    while (next && next != widget && !takes(next))
        next = next->nextInFocusChain();
    if (next && next != widget)
        next->setFocus(Qt::TabFocusReason);
}

bool isEnterKey(const QKeyEvent &key)
{
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

bool isShortcut(const QKeyEvent &key)
{
    const Qt::KeyboardModifiers held =
        key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool altGr = held.testFlag(Qt::ControlModifier) && held.testFlag(Qt::AltModifier);
    return held && !altGr;
}

KeyVerdict judgeKey(const QKeyEvent &key, const CharacterRule &rule, bool onButton)
{
    const QString text = key.text();
    if (text.size() != 1 || isShortcut(key))
        return KeyVerdict::Pass;
    const QChar c = text.front();
    if (!c.isPrint() || (onButton && c == u' '))
        return KeyVerdict::Pass;
    // Compared as typed: a full-width digit is no digit to the radio.
    if (rule.allowed.contains(c))
        return KeyVerdict::Pass;
    if (c.isLower() && rule.raised.contains(c.toUpper()))
        return KeyVerdict::Raise;
    return KeyVerdict::Drop;
}

} // namespace wf
