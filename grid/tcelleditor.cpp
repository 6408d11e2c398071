// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/tcelleditor.h"

#include "grid/txstringgrid.h"

#include <QKeyEvent>

namespace wf {

TCellEditor::TCellEditor(QObject *parent)
    : QObject(parent)
{}

TCellEditor::~TCellEditor()
{
    if (m_grid)
        m_grid->forgetEditor(this);
}

TXStringGrid *TCellEditor::grid() const
{
    return m_grid;
}

QWidget *TCellEditor::createControl(QWidget *)
{
    return nullptr;
}

void TCellEditor::startEdit(const QString &, QChar) {}

QString TCellEditor::editText() const
{
    return {};
}

bool TCellEditor::endsEdit(const QKeyEvent &) const
{
    return false;
}

void TCellEditor::addUse(TXStringGrid *grid)
{
    m_grid = grid;
    ++m_useCount;
}

void TCellEditor::removeUse()
{
    if (m_useCount > 0 && --m_useCount == 0)
        m_grid = nullptr;
}

} // namespace wf
