// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyledItemDelegate>

namespace wf {

class TXStringGrid;

/** Draws the cells of a TXStringGrid and runs the life cycle of its in-place editors: the
 *  column's editor makes the control, the grid starts and places it, and the control's text is
 *  committed through the grid when the control loses the focus or is left by a key. */
class TXStringGridDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TXStringGridDelegate)

public:
    explicit TXStringGridDelegate(TXStringGrid *grid);
    ~TXStringGridDelegate() override;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    TXStringGrid *m_grid;
};

} // namespace wf
