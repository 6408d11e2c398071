// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/tmetacelleditor.h"

#include "grid/txstringgrid.h"

#include <QLineEdit>

namespace wf {

TMetaCellEditor::TMetaCellEditor(QObject *parent)
    : TCellEditor(parent)
{}

TMetaCellEditor::~TMetaCellEditor() = default;

QWidget *TMetaCellEditor::control() const
{
    // The view deletes a closed control later; until then it is no longer this editor's.
    const TXStringGrid *owner = grid();
    return owner && owner->activeEditor() == this ? m_control.data() : nullptr;
}

QWidget *TMetaCellEditor::createControl(QWidget *parent)
{
    m_control = makeControl(parent);
    return m_control;
}

bool TMetaCellEditor::caretLeaves(const QLineEdit &edit, int key)
{
    if (edit.hasSelectedText())
        return false;
    if (key == Qt::Key_Left)
        return edit.cursorPosition() == 0;
    if (key == Qt::Key_Right)
        return edit.cursorPosition() == edit.text().size();
    return false;
}

} // namespace wf
