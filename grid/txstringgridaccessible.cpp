// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/txstringgridaccessible.h"

#include "grid/txstringgrid.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPointer>
#include <QWindow>

#include <algorithm>

namespace wf {

namespace {

// Every stored cell, fixed or not, row by row: the fixed cells are the headers of the others.
// Qt's own table would count the fixed row and column once more, as data.
class GridCellAccessible final : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    GridCellAccessible(TXStringGrid *grid, int col, int row)
        : m_grid(grid)
        , m_col(col)
        , m_row(row)
    {}

    int col() const { return m_col; }
    int row() const { return m_row; }
    const TXStringGrid *grid() const { return m_grid; }

    bool isValid() const override
    {
        return m_grid && m_row < m_grid->RowCount() && m_col < m_grid->ColCount();
    }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_grid ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override
    {
        return m_grid ? QAccessible::queryAccessibleInterface(m_grid) : nullptr;
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        if (t == QAccessible::Description)
            return m_grid->cellMark(m_col, m_row);
        return t == QAccessible::Name ? m_grid->Cells(m_col, m_row) : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        // Only the cells under the headers are cells of the table.
        if (type == QAccessible::TableCellInterface && role() == QAccessible::Cell)
            return static_cast<QAccessibleTableCellInterface *>(this);
        return nullptr;
    }

    bool isSelected() const override
    {
        return isValid() && m_grid->selectionModel()->isSelected(index());
    }
    QList<QAccessibleInterface *> columnHeaderCells() const override;
    QList<QAccessibleInterface *> rowHeaderCells() const override;
    int columnIndex() const override { return m_grid ? m_col - m_grid->FixedCols() : -1; }
    int rowIndex() const override { return m_grid ? m_row - m_grid->FixedRows() : -1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

private:
    QModelIndex index() const { return m_grid->model()->index(m_row, m_col); }
    QAccessibleInterface *sibling(int col, int row) const;

    QPointer<TXStringGrid> m_grid;
    int m_col;
    int m_row;
};

class GridAccessible final : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit GridAccessible(TXStringGrid *grid)
        : QAccessibleWidget(grid, QAccessible::Table)
    {}
    ~GridAccessible() override
    {
        for (QAccessible::Id id : std::as_const(m_cells))
            QAccessible::deleteAccessibleInterface(id);
    }

    TXStringGrid *grid() const { return static_cast<TXStringGrid *>(widget()); }

    // Any stored cell, fixed cells included; made once and kept, so that a screen reader holding
    // a cell meets the same one again.
    QAccessibleInterface *cell(int col, int row) const
    {
        const TXStringGrid *g = grid();
        if (!g || row < 0 || col < 0 || row >= g->RowCount() || col >= g->ColCount())
            return nullptr;
        const auto key = qMakePair(row, col);
        if (const auto found = m_cells.constFind(key); found != m_cells.constEnd())
            return QAccessible::accessibleInterface(*found);
        auto *made = new GridCellAccessible(grid(), col, row);
        m_cells.insert(key, QAccessible::registerAccessibleInterface(made));
        return made;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override
    {
        const TXStringGrid *g = grid();
        return g ? g->RowCount() * g->ColCount() : 0;
    }
    QAccessibleInterface *child(int index) const override
    {
        const TXStringGrid *g = grid();
        if (!g || index < 0 || index >= childCount())
            return nullptr;
        return cell(index % g->ColCount(), index / g->ColCount());
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto *cellChild = dynamic_cast<const GridCellAccessible *>(child);
        if (!cellChild || cellChild->grid() != grid() || !cellChild->isValid())
            return -1;
        return gridAccessibleChild(*grid(), cellChild->col(), cellChild->row());
    }
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override
    {
        const TXStringGrid *g = grid();
        if (!g || !g->hasFocus() || !g->currentIndex().isValid())
            return nullptr;
        return cell(g->Col(), g->Row());
    }

    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override
    {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return nullptr;
        return cell(column + grid()->FixedCols(), row + grid()->FixedRows());
    }
    int rowCount() const override
    {
        const TXStringGrid *g = grid();
        return g ? g->RowCount() - g->FixedRows() : 0;
    }
    int columnCount() const override
    {
        const TXStringGrid *g = grid();
        return g ? g->ColCount() - g->FixedCols() : 0;
    }
    QString columnDescription(int column) const override
    {
        const TXStringGrid *g = grid();
        return g && g->FixedRows() > 0 ? g->Cells(column + g->FixedCols(), 0) : QString();
    }
    QString rowDescription(int row) const override
    {
        const TXStringGrid *g = grid();
        return g && g->FixedCols() > 0 ? g->Cells(0, row + g->FixedRows()) : QString();
    }

    // The grid selects one cell at a time, the current one: rows and columns are selected only
    // when that one cell is all there is of them.
    int selectedCellCount() const override { return int(selectedCells().size()); }
    QList<QAccessibleInterface *> selectedCells() const override;
    int selectedColumnCount() const override { return int(selectedColumns().size()); }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    QList<int> selectedColumns() const override { return wholeSelectedLines(Qt::Vertical); }
    QList<int> selectedRows() const override { return wholeSelectedLines(Qt::Horizontal); }
    bool isColumnSelected(int column) const override { return selectedColumns().contains(column); }
    bool isRowSelected(int row) const override { return selectedRows().contains(row); }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }

    void modelChange(QAccessibleTableModelChangeEvent *event) override
    {
        if (event->modelChangeType() == QAccessibleTableModelChangeEvent::DataChanged)
            return; // a cell's text is read when asked for
        // Cells past a shrunken grid are gone for good; the others keep their place.
        const TXStringGrid *g = grid();
        for (auto it = m_cells.begin(); it != m_cells.end();) {
            if (!g || it.key().first >= g->RowCount() || it.key().second >= g->ColCount()) {
                QAccessible::deleteAccessibleInterface(*it);
                it = m_cells.erase(it);
            } else {
                ++it;
            }
        }
    }

private:
    QList<int> wholeSelectedLines(Qt::Orientation lines) const;
    QList<QModelIndex> selectedDataIndexes() const
    {
        QList<QModelIndex> indexes;
        const TXStringGrid *g = grid();
        if (!g || !g->selectionModel())
            return indexes;
        for (const QModelIndex &index : g->selectionModel()->selectedIndexes()) {
            if (!g->isFixedCell(index.column(), index.row()))
                indexes << index;
        }
        return indexes;
    }

    mutable QHash<QPair<int, int>, QAccessible::Id> m_cells; // (row, col) -> registered cell
};

QRect GridCellAccessible::rect() const
{
    if (!isValid())
        return {};
    const bool fixedRow = m_row < m_grid->FixedRows();
    const bool fixedCol = m_col < m_grid->FixedCols();
    const QHeaderView *top = m_grid->horizontalHeader();
    const QHeaderView *left = m_grid->verticalHeader();
    // The fixed cells are drawn by the headers, the top-left one between them.
    const QWidget *on = m_grid->viewport();
    QRect local = m_grid->cellRect(m_col, m_row);
    if (fixedRow && fixedCol) {
        on = m_grid;
        local = QRect(left->x(), top->y(), left->width(), top->height());
    } else if (fixedRow) {
        on = top->viewport();
        local = QRect(top->sectionViewportPosition(m_col), 0, top->sectionSize(m_col),
                      top->viewport()->height());
    } else if (fixedCol) {
        on = left->viewport();
        local = QRect(0, left->sectionViewportPosition(m_row), left->viewport()->width(),
                      left->sectionSize(m_row));
    }
    return QRect(on->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::Role GridCellAccessible::role() const
{
    if (m_grid && m_row < m_grid->FixedRows())
        return QAccessible::ColumnHeader; // the top-left cell too: the fixed column's caption
    if (m_grid && m_col < m_grid->FixedCols())
        return QAccessible::RowHeader;
    return QAccessible::Cell;
}

QAccessible::State GridCellAccessible::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.disabled = !m_grid->isEnabled();
    if (role() != QAccessible::Cell)
        return state;
    const QModelIndex cellIndex = index();
    state.selectable = true;
    state.focusable = true;
    state.editable = cellIndex.flags().testFlag(Qt::ItemIsEditable);
    state.readOnly = !state.editable;
    state.selected = m_grid->selectionModel()->isSelected(cellIndex);
    state.focused = m_grid->hasFocus() && m_grid->currentIndex() == cellIndex;
    state.offscreen = !m_grid->viewport()->rect().intersects(m_grid->cellRect(m_col, m_row));
    return state;
}

QAccessibleInterface *GridCellAccessible::sibling(int col, int row) const
{
    auto *table = dynamic_cast<GridAccessible *>(parent());
    return table ? table->cell(col, row) : nullptr;
}

QList<QAccessibleInterface *> GridCellAccessible::columnHeaderCells() const
{
    QList<QAccessibleInterface *> headers;
    if (isValid() && m_grid->FixedRows() > 0) {
        if (QAccessibleInterface *header = sibling(m_col, 0))
            headers << header;
    }
    return headers;
}

QList<QAccessibleInterface *> GridCellAccessible::rowHeaderCells() const
{
    QList<QAccessibleInterface *> headers;
    if (isValid() && m_grid->FixedCols() > 0) {
        if (QAccessibleInterface *header = sibling(0, m_row))
            headers << header;
    }
    return headers;
}

QAccessibleInterface *GridAccessible::childAt(int x, int y) const
{
    const TXStringGrid *g = grid();
    if (!g)
        return nullptr;
    const QPoint point(x, y);
    const auto contains = [&point](const QWidget *widget) {
        return widget->isVisible() &&
               QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()).contains(point);
    };
    if (contains(g->viewport())) {
        const QModelIndex index = g->indexAt(g->viewport()->mapFromGlobal(point));
        return index.isValid() ? cell(index.column(), index.row()) : nullptr;
    }
    const QHeaderView *top = g->horizontalHeader();
    if (contains(top->viewport()))
        return cell(top->logicalIndexAt(top->viewport()->mapFromGlobal(point)), 0);
    const QHeaderView *left = g->verticalHeader();
    if (contains(left->viewport()))
        return cell(0, left->logicalIndexAt(left->viewport()->mapFromGlobal(point)));
    if (g->FixedRows() > 0 && g->FixedCols() > 0 && cell(0, 0)->rect().contains(point))
        return cell(0, 0);
    return nullptr;
}

QList<QAccessibleInterface *> GridAccessible::selectedCells() const
{
    QList<QAccessibleInterface *> cells;
    for (const QModelIndex &index : selectedDataIndexes())
        cells << cell(index.column(), index.row());
    return cells;
}

QList<int> GridAccessible::wholeSelectedLines(Qt::Orientation lines) const
{
    // A row or column counts as selected when every one of its data cells is.
    const bool columns = lines == Qt::Vertical;
    QHash<int, int> selectedPerLine;
    for (const QModelIndex &index : selectedDataIndexes())
        ++selectedPerLine[columns ? index.column() - grid()->FixedCols()
                                  : index.row() - grid()->FixedRows()];
    const int cellsPerLine = columns ? rowCount() : columnCount();
    QList<int> whole;
    for (auto it = selectedPerLine.cbegin(); it != selectedPerLine.cend(); ++it) {
        if (it.value() == cellsPerLine)
            whole << it.key();
    }
    std::sort(whole.begin(), whole.end());
    return whole;
}

QAccessibleInterface *gridFactory(const QString &, QObject *object)
{
    if (auto *grid = qobject_cast<TXStringGrid *>(object))
        return new GridAccessible(grid);
    return nullptr;
}

} // namespace

void makeGridAccessible(TXStringGrid *grid)
{
    static const bool installed = [] {
        QAccessible::installFactory(gridFactory);
        return true;
    }();
    Q_UNUSED(installed);
    // A screen reader already listening may have asked about the grid while it was still being
    // built, and been given Qt's plain table: drop that one, so the next question meets ours.
    QAccessibleInterface *known = QAccessible::queryAccessibleInterface(grid);
    if (known && !dynamic_cast<GridAccessible *>(known))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(known));
}

int gridAccessibleChild(const TXStringGrid &grid, int col, int row)
{
    return row * grid.ColCount() + col;
}

} // namespace wf
