// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/txstringgridheader.h"

#include "grid/txstringgrid.h"

#include <QMouseEvent>

namespace wf {

TXStringGridHeader::TXStringGridHeader(Qt::Orientation orientation, TXStringGrid *grid)
    : QHeaderView(orientation, grid)
    , m_grid(grid)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionsMovable(false);
    setSectionResizeMode(QHeaderView::Fixed);
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
    // A fixed cell is never selected, but pressing it takes the focus to the grid, which ends
    // an edit under way like a press anywhere else in the grid.
    m_grid->setFocus(Qt::MouseFocusReason);
    m_grid->leaveEditingStateWhenIdle();
    event->accept();
}

void TXStringGridHeader::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}

} // namespace wf
