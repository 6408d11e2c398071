// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHeaderView>

namespace wf {

class TXStringGrid;

/** Shows the grid's fixed row (horizontal) or fixed column (vertical), so that they stay in view
 *  while the other cells scroll. Each section is drawn as the fixed cell it stands for. */
class TXStringGridHeader final : public QHeaderView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TXStringGridHeader)

public:
    TXStringGridHeader(Qt::Orientation orientation, TXStringGrid *grid);
    ~TXStringGridHeader() override;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    TXStringGrid *m_grid;
};

} // namespace wf
