// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QTableView>

#include <functional>
#include <memory>
#include <vector>

class QAbstractButton;

namespace wf {

class TCellEditor;
class TXStringColumnItem;
class TXStringGridDelegate;
class TXStringGridModel;

/** A grid of text cells with one fixed row of captions at the top and one fixed column at the
 *  left, column descriptions with their own colours, fonts and alignment, and per-column
 *  in-place editors.
 *
 *  Row 0 and column 0 are stored like every other cell (Cells(col, 0) is the caption of col)
 *  and are shown frozen, drawn in the header colours, never selected and never edited.
 *
 *  Editing. A typed character (Backspace, or code 32 and above) or F2 opens the column's editor
 *  on the current cell, as does a double click or a click on the cell already current. Once an
 *  editor has been opened the grid is in its editing state: every keyboard move of the current
 *  cell, including the arrow key that leaves an editor, opens the editor of the new cell, so a
 *  user types a whole row without reaching for the mouse. An editor opened that way only shows
 *  the cell: Up, Down, Home, End, PageUp and PageDown move on through the table until the user
 *  takes the editor up (types in it, opens its list). A mouse press on the grid, or Escape,
 *  ends that state: clicking a cell only selects it, and typing then edits it. An edit is
 *  committed when its control loses the focus: SetEditText stores the text and OnSetEditText
 *  tells the window; Escape abandons it and the cell keeps its text.
 */
class TXStringGrid : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TXStringGrid)

public:
    /** How a cell is being drawn, for OnCellProps. */
    enum DrawStateFlag {
        Selected = 0x1, ///< the selected (current) cell
        Focused = 0x2,  ///< the current cell while the grid has the focus
        Fixed = 0x4,    ///< a cell of the fixed row or column
    };
    Q_DECLARE_FLAGS(DrawState, DrawStateFlag)

    /** Replaces the placing of the in-place control over its cell. */
    using DrawEditorHandler =
        std::function<void(TXStringGrid *sender, int col, int row, TCellEditor *editor)>;
    /** Runs before a cell is drawn. The canvas holds the background (brush), text colour (pen)
     *  and font the cell is about to be drawn with; the handler may change them, and the
     *  alignment and the text. */
    using CellPropsHandler =
        std::function<void(TXStringGrid *sender, QPainter *canvas, Qt::Alignment &alignment,
                           QString &cellText, DrawState state, int row, int col)>;

    explicit TXStringGrid(QWidget *parent = nullptr);
    ~TXStringGrid() override;

    int RowCount() const;
    void setRowCount(int count);
    /** Growing the count appends default column descriptions; shrinking frees the descriptions
     *  of the removed columns, which releases their editors. */
    int ColCount() const;
    void setColCount(int count);
    /** 0 or 1: at most one fixed row and one fixed column are shown frozen. */
    int FixedRows() const { return m_fixedRows; }
    void setFixedRows(int count);
    int FixedCols() const { return m_fixedCols; }
    void setFixedCols(int count);
    /** Height of every row, the fixed row included. */
    int DefaultRowHeight() const { return m_defaultRowHeight; }
    void setDefaultRowHeight(int height);
    int ColWidths(int col) const;
    void setColWidths(int col, int width);

    QString Cells(int col, int row) const;
    void setCells(int col, int row, const QString &text);
    /** One row as ColCount texts, for the data file. */
    QStringList rowTexts(int row) const;
    void setRowTexts(int row, const QStringList &texts);

    /** Marks a cell with a note: it is drawn in markColor() and shows the note as its tooltip
     *  and, to screen readers, as its description. An empty note takes the mark away. Marks
     *  stay until taken away, whatever the cell's text does. */
    void setCellMark(int col, int row, const QString &note);
    QString cellMark(int col, int row) const;
    void clearCellMarks();
    /** The background of a marked cell and of a marked control (DifferenceMarks). */
    static QColor markColor();

    /** The current cell. A new grid starts on column 1 of row 1 (the first cell that is not
     *  fixed), so typing at once edits it. */
    int Row() const;
    int Col() const;
    /** Moves the current cell; fixed cells cannot become current. */
    void setCurrentCell(int col, int row);
    bool isFixedCell(int col, int row) const;

    /** The smallest rectangle of cells (x the column, y the row) holding every selected cell;
     *  the current cell when nothing is selected. */
    QRect selectedCells() const;
    /** True when the selection is whole rows, chosen by their fixed cells or Ctrl+A. */
    bool wholeRowsSelected() const;
    /** True when a cell of `row` is selected. */
    bool rowHasSelection(int row) const;
    /** Selects a rectangle of cells, its top-left cell current. */
    void selectCells(const QRect &cells);
    /** Puts the selected cells on the clipboard as spreadsheets do: cells separated by tabs,
     *  rows ended by a line feed (Ctrl+C). */
    void copySelection() const;

    /** What a change of many cells at once was, for the window's undo step. */
    enum class BulkEdit { Paste, Cut, Clear };
    /** Commits tab- or comma-separated text cell by cell from the top-left selected cell, as
     *  edits of the cells that have an editor (Ctrl+V); text past the grid's edge is left out. */
    void pasteText(const QString &text);
    /** Commits the empty text to every selected cell that has an editor (Delete; Ctrl+X after
     *  copying them). */
    void clearSelectedCells(BulkEdit kind = BulkEdit::Clear);

    /** The description of a column, or null outside 0..ColCount-1. */
    TXStringColumnItem *Columns(int col);
    const TXStringColumnItem *Columns(int col) const;

    /** Background of the fixed cells; new column descriptions copy it as their HeaderColor. */
    QColor FixedColor() const { return m_fixedColor; }
    void setFixedColor(const QColor &color);
    /** Background of the other cells; new column descriptions copy it as their Color. */
    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    QColor FixedLineColor() const { return m_fixedLineColor; }
    void setFixedLineColor(const QColor &color);
    QColor GridLineColor() const { return m_gridLineColor; }
    void setGridLineColor(const QColor &color);
    QColor SelectedColor() const { return m_selectedColor; }
    void setSelectedColor(const QColor &color);
    QColor SelectedTextColor() const { return m_selectedTextColor; }
    void setSelectedTextColor(const QColor &color);
    /** Cell texts word-wrapped instead of drawn on one line. */
    bool MultiLine() const { return m_multiLine; }
    void setMultiLine(bool multiLine);
    /** The character typed to start an edit becomes the editor's first character instead of
     *  being dropped: on by default, since typing 4321 on a cell must store 4321. */
    bool ImmediateEditMode() const { return m_immediateEditMode; }
    void setImmediateEditMode(bool immediate) { m_immediateEditMode = immediate; }

    DrawEditorHandler OnDrawEditor;
    CellPropsHandler OnCellProps;

    /** The editor of the edit under way, or null. */
    TCellEditor *activeEditor() const { return m_activeEditor; }
    /** A cell's rectangle in the coordinates of the in-place controls' parent (the viewport). */
    QRect cellRect(int col, int row) const;

    /** Commits an edit: stores the text in the cell and emits OnSetEditText. */
    void SetEditText(int col, int row, const QString &text);
    /** While OnSetEditText runs: the text the committed cell held before the commit. */
    QString textBeforeEdit() const { return m_textBeforeEdit; }
    /** Closes the edit under way, if any, without committing it: for a window that is going
     *  away. */
    void discardEdit();
    /** Commits the edit under way, if any, as losing the focus would: for a window about to
     *  use the cells' texts while the user may still be typing in one. */
    void commitEdit();

    using QTableView::edit;
    /** Typed text never jumps to another cell. */
    void keyboardSearch(const QString &search) override;

signals:
    /** An edit was committed to a cell. */
    void OnSetEditText(int col, int row, const QString &text);
    /** After every OnSetEditText handler has run: the commit and whatever the window's check
     *  did to the other cells are done. */
    void editCommitted(int col, int row);
    /** Around the commits of a paste, cut or clear: a window records them as one step. */
    void bulkEditStarted();
    void bulkEditFinished(wf::TXStringGrid::BulkEdit kind);

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected,
                          const QItemSelection &deselected) override;

private:
    friend class TCellEditor;
    friend class TXStringColumnItem;
    friend class TXStringGridDelegate;
    friend class TXStringGridHeader;
    friend class TXStringGridModel;

    bool hasEditor(int col) const;
    void paintCell(QPainter *painter, const QRect &rect, int col, int row, DrawState state) const;

    // The editor life cycle, driven by the delegate.
    bool openEditor(const QModelIndex &index, EditTrigger trigger, QChar pendingChar,
                    bool passingThrough = false);
    QWidget *createControl(QWidget *parent, int col, int row);
    void placeControl(QWidget *control, const QRect &cellRect);
    void commitControl(QWidget *control);
    void releaseControl(QWidget *control);
    bool editorKeyPress(QWidget *control, QKeyEvent *event);
    void leaveEditor(int key, Qt::KeyboardModifiers modifiers);

    void leaveEditingStateWhenIdle();
    void finishEditInColumn(int col);
    void forgetEditor(TCellEditor *editor);
    void refreshColumn(int col);
    void applyFixedLayout();
    void ensureCurrentCell();

    TXStringGridModel *m_model;
    TXStringGridDelegate *m_delegate;
    QPointer<QAbstractButton> m_corner;
    std::vector<std::unique_ptr<TXStringColumnItem>> m_columns;
    QList<int> m_colWidths;

    QHash<QPair<int, int>, QString> m_marks; // by (col, row)

    int m_fixedRows = 1;
    int m_fixedCols = 1;
    int m_defaultRowHeight = 24;
    QColor m_fixedColor;
    QColor m_color;
    QColor m_fixedLineColor;
    QColor m_gridLineColor;
    QColor m_selectedColor;
    QColor m_selectedTextColor;
    bool m_multiLine = false;
    bool m_immediateEditMode = true;

    TCellEditor *m_activeEditor = nullptr;
    QPointer<QWidget> m_activeControl;
    int m_activeCol = -1;
    int m_activeRow = -1;
    QString m_textBeforeEdit;
    bool m_startPending = false; // a control was made and waits to be started
    bool m_editingState = false; // keyboard moves open the editor of the new cell
    bool m_replacingKey = false; // a key changed by AllowEndEditEvent is being delivered
    bool m_destroying = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TXStringGrid::DrawState)

} // namespace wf
