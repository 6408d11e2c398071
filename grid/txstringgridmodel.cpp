// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/txstringgridmodel.h"

#include "grid/txstringgrid.h"

namespace wf {

TXStringGridModel::TXStringGridModel(TXStringGrid *grid)
    : QAbstractTableModel(grid)
    , m_grid(grid)
{}

TXStringGridModel::~TXStringGridModel() = default;

int TXStringGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TXStringGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_colCount;
}

QVariant TXStringGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::ToolTipRole) {
        const QString note = m_grid->cellMark(index.column(), index.row());
        return note.isEmpty() ? QVariant() : QVariant(note);
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return cell(index.column(), index.row());
}

bool TXStringGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    setCell(index.column(), index.row(), value.toString());
    return true;
}

QVariant TXStringGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // The fixed row and column are the header; they hold cells 0 like any row and column. A
    // caption cut short by its column's width is read in full from its tooltip.
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal)
        return cell(section, 0);
    if (role != Qt::DisplayRole)
        return {};
    return orientation == Qt::Horizontal ? cell(section, 0) : cell(0, section);
}

Qt::ItemFlags TXStringGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || m_grid->isFixedCell(index.column(), index.row()))
        return Qt::NoItemFlags; // neither selectable nor reachable by the keyboard
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_grid->hasEditor(index.column()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

QString TXStringGridModel::cell(int col, int row) const
{
    if (row < 0 || row >= m_rows.size() || col < 0 || col >= m_colCount)
        return {};
    return m_rows.at(row).at(col);
}

void TXStringGridModel::setCell(int col, int row, const QString &text)
{
    if (row < 0 || row >= m_rows.size() || col < 0 || col >= m_colCount)
        return;
    QString &stored = m_rows[row][col];
    if (stored == text)
        return;
    stored = text;
    const QModelIndex changed = index(row, col);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, col, col);
    if (col == 0)
        emit headerDataChanged(Qt::Vertical, row, row);
}

void TXStringGridModel::resize(int rows, int cols)
{
    if (cols < m_colCount) {
        beginRemoveColumns({}, cols, m_colCount - 1);
        for (QStringList &row : m_rows)
            row.resize(cols);
        m_colCount = cols;
        endRemoveColumns();
    } else if (cols > m_colCount) {
        beginInsertColumns({}, m_colCount, cols - 1);
        for (QStringList &row : m_rows)
            row.resize(cols);
        m_colCount = cols;
        endInsertColumns();
    }
    const int oldRows = int(m_rows.size());
    if (rows < oldRows) {
        beginRemoveRows({}, rows, oldRows - 1);
        m_rows.resize(rows);
        endRemoveRows();
    } else if (rows > oldRows) {
        beginInsertRows({}, oldRows, rows - 1);
        m_rows.resize(rows, QStringList(m_colCount, QString()));
        endInsertRows();
    }
}

} // namespace wf
