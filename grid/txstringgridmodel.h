// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace wf {

class TXStringGrid;

/** The text cells behind a TXStringGrid, row 0 included: the grid shows row 0 and column 0 as
 *  its fixed cells, but they are stored like every other cell. */
class TXStringGridModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TXStringGridModel)

public:
    explicit TXStringGridModel(TXStringGrid *grid);
    ~TXStringGridModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString &text);
    void resize(int rows, int cols);

private:
    TXStringGrid *m_grid;
    QList<QStringList> m_rows; // m_rows[row][col]
    int m_colCount = 0;
};

} // namespace wf
