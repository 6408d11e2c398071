// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/txstringgridheader.h"

#include "grid/txstringgrid.h"

#include <QMouseEvent>

namespace wf {

TXStringGridHeader::TXStringGridHeader(Qt::Orientation orientation, TXStringGrid *grid)
    : QHeaderView(orientation, grid)
    , m_grid(grid)
{
    // A row's fixed cell selects the row (Shift and Ctrl extend the selection); captions select
    // nothing.
    setSectionsClickable(orientation == Qt::Vertical);
    setHighlightSections(false);
    setSectionsMovable(false);
    // A column is widened by dragging the edge on its right, as in a spreadsheet; rows keep the
    // height of the table they were made for.
    setSectionResizeMode(orientation == Qt::Horizontal ? QHeaderView::Interactive
                                                       : QHeaderView::Fixed);
    setMinimumSectionSize(1);
}

TXStringGridHeader::~TXStringGridHeader() = default;

void TXStringGridHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (orientation() == Qt::Horizontal)
        m_grid->paintCell(painter, rect, logicalIndex, 0, TXStringGrid::Fixed);
    else
        m_grid->paintCell(painter, rect, 0, logicalIndex, TXStringGrid::Fixed);
}

void TXStringGridHeader::mousePressEvent(QMouseEvent *event)
{
    // A fixed cell is never selected itself, and pressing it takes the focus to the grid, which
    // ends an edit under way like a press anywhere else in the grid.
    m_grid->setFocus(Qt::MouseFocusReason);
    m_grid->leaveEditingStateWhenIdle();
    // A press on the edge between two captions starts widening the column on its left.
    QHeaderView::mousePressEvent(event);
    event->accept();
}

void TXStringGridHeader::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}

} // namespace wf
