// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/txstringgriddelegate.h"

#include "grid/txstringgrid.h"

#include <QKeyEvent>

namespace wf {

TXStringGridDelegate::TXStringGridDelegate(TXStringGrid *grid)
    : QStyledItemDelegate(grid)
    , m_grid(grid)
{}

TXStringGridDelegate::~TXStringGridDelegate() = default;

void TXStringGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    TXStringGrid::DrawState state;
    if (option.state & QStyle::State_Selected)
        state |= TXStringGrid::Selected;
    if (option.state & QStyle::State_HasFocus)
        state |= TXStringGrid::Focused;
    if (m_grid->isFixedCell(index.column(), index.row()))
        state |= TXStringGrid::Fixed;
    m_grid->paintCell(painter, option.rect, index.column(), index.row(), state);
}

QWidget *TXStringGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                            const QModelIndex &index) const
{
    return m_grid->createControl(parent, index.column(), index.row());
}

void TXStringGridDelegate::setEditorData(QWidget *, const QModelIndex &) const
{
    // Deliberately empty. The grid starts the editor once the view has shown it: the view
    // selects all of a line edit after this call, which would undo the caret of immediate edit
    // mode, and it calls this again whenever the cell changes under an open editor, which must
    // not throw away what the user is typing.
}

void TXStringGridDelegate::setModelData(QWidget *editor, QAbstractItemModel *,
                                        const QModelIndex &) const
{
    m_grid->commitControl(editor);
}

void TXStringGridDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                                const QModelIndex &) const
{
    m_grid->placeControl(editor, option.rect);
}

void TXStringGridDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    m_grid->releaseControl(editor);
    QStyledItemDelegate::destroyEditor(editor, index);
}

bool TXStringGridDelegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        // Every key is the grid's decision: the view's own handling of Enter, Tab and Escape in
        // an editor does not apply to these grids.
        auto *control = qobject_cast<QWidget *>(object);
        return control && m_grid->editorKeyPress(control, static_cast<QKeyEvent *>(event));
    }
    // Losing the focus commits and hides the editor.
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace wf
