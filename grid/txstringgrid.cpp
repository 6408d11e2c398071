// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/txstringgrid.h"

#include "grid/tcelleditor.h"
#include "grid/txstringcolumnitem.h"
#include "grid/txstringgridaccessible.h"
#include "grid/txstringgriddelegate.h"
#include "grid/txstringgridheader.h"
#include "grid/txstringgridmodel.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>

namespace wf {

namespace {

constexpr int kDefaultCount = 5;
constexpr int kDefaultColWidth = 64;
const QColor kSkyBlue(166, 202, 240);
const QColor kSilver(192, 192, 192);

// Backspace and every printable character start an edit; other control codes do not.
bool startsEdit(QChar typed)
{
    return typed == QLatin1Char('\b') ||
           (typed.unicode() >= 32 && typed.category() != QChar::Other_Control);
}

bool isNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

} // namespace

TXStringGrid::TXStringGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new TXStringGridModel(this))
    , m_delegate(new TXStringGridDelegate(this))
    , m_fixedColor(kSkyBlue)
    , m_color(Qt::white)
    , m_fixedLineColor(Qt::black)
    , m_gridLineColor(kSilver)
    , m_selectedColor(palette().color(QPalette::Highlight))
    , m_selectedTextColor(palette().color(QPalette::HighlightedText))
{
    setHorizontalHeader(new TXStringGridHeader(Qt::Horizontal, this));
    setVerticalHeader(new TXStringGridHeader(Qt::Vertical, this));
    setModel(m_model);
    setItemDelegate(m_delegate);

    setShowGrid(false); // the cells draw their own frame lines
    // Ranges are selected with the mouse and Shift+arrows, whole rows by their fixed cells.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked);
    setTabKeyNavigation(false); // Tab moves on to the next control of the window
    setCornerButtonEnabled(false);
    setWordWrap(false);

    // The top-left fixed cell lives in the view's corner button; draw it like the other fixed
    // cells.
    m_corner = findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
    if (m_corner)
        m_corner->installEventFilter(this);

    // A column the user widened by its header edge keeps that width until the program sets
    // another (a language switch sets each language's widths).
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int col, int, int width) {
                if (col >= m_fixedCols && col < m_colWidths.size())
                    m_colWidths[col] = width;
            });
    horizontalHeader()->setDefaultSectionSize(kDefaultColWidth);
    verticalHeader()->setDefaultSectionSize(m_defaultRowHeight);
    setRowCount(kDefaultCount);
    setColCount(kDefaultCount);
    setCurrentCell(m_fixedCols, m_fixedRows);
    makeGridAccessible(this);
}

TXStringGrid::~TXStringGrid()
{
    // An open control is deleted with the viewport after this grid is gone; it must not try to
    // commit into it then.
    m_destroying = true;
    if (m_activeControl)
        m_activeControl->removeEventFilter(m_delegate);
    m_activeEditor = nullptr;
    m_columns.clear();
}

int TXStringGrid::RowCount() const
{
    return m_model->rowCount();
}

void TXStringGrid::setRowCount(int count)
{
    count = qMax(count, m_fixedRows + 1);
    m_model->resize(count, ColCount());
    applyFixedLayout();
    ensureCurrentCell();
}

int TXStringGrid::ColCount() const
{
    return m_model->columnCount();
}

void TXStringGrid::setColCount(int count)
{
    count = qMax(count, m_fixedCols + 1);
    // The view drops an editor open in a removed column before the descriptions go.
    m_model->resize(RowCount(), count);
    while (int(m_columns.size()) > count)
        m_columns.pop_back();
    while (int(m_columns.size()) < count)
        m_columns.push_back(std::make_unique<TXStringColumnItem>(this, int(m_columns.size())));
    m_colWidths.resize(count, kDefaultColWidth);
    for (int col = 0; col < count; ++col)
        setColWidths(col, m_colWidths.at(col));
    applyFixedLayout();
    ensureCurrentCell();
}

void TXStringGrid::setFixedRows(int count)
{
    m_fixedRows = qBound(0, count, qMin(1, RowCount() - 1));
    applyFixedLayout();
    ensureCurrentCell();
}

void TXStringGrid::setFixedCols(int count)
{
    m_fixedCols = qBound(0, count, qMin(1, ColCount() - 1));
    applyFixedLayout();
    ensureCurrentCell();
}

void TXStringGrid::setDefaultRowHeight(int height)
{
    m_defaultRowHeight = qMax(1, height);
    verticalHeader()->setDefaultSectionSize(m_defaultRowHeight);
    applyFixedLayout();
}

int TXStringGrid::ColWidths(int col) const
{
    return col >= 0 && col < m_colWidths.size() ? m_colWidths.at(col) : 0;
}

void TXStringGrid::setColWidths(int col, int width)
{
    if (col < 0 || col >= m_colWidths.size())
        return;
    m_colWidths[col] = qMax(0, width);
    if (col < m_fixedCols)
        verticalHeader()->setFixedWidth(m_colWidths.at(col));
    else
        horizontalHeader()->resizeSection(col, m_colWidths.at(col));
}

QString TXStringGrid::Cells(int col, int row) const
{
    return m_model->cell(col, row);
}

void TXStringGrid::setCells(int col, int row, const QString &text)
{
    m_model->setCell(col, row, text);
}

void TXStringGrid::setCellMark(int col, int row, const QString &note)
{
    if (note.isEmpty())
        m_marks.remove({col, row});
    else
        m_marks.insert({col, row}, note);
    viewport()->update(visualRect(m_model->index(row, col)));
}

QString TXStringGrid::cellMark(int col, int row) const
{
    return m_marks.value({col, row});
}

void TXStringGrid::clearCellMarks()
{
    if (m_marks.isEmpty())
        return;
    m_marks.clear();
    viewport()->update();
}

QColor TXStringGrid::markColor()
{
    // A light amber, far from the header's sky blue and the selection, under black text.
    return QColor(255, 214, 140);
}

QStringList TXStringGrid::rowTexts(int row) const
{
    QStringList texts;
    for (int col = 0; col < ColCount(); ++col)
        texts << Cells(col, row);
    return texts;
}

void TXStringGrid::setRowTexts(int row, const QStringList &texts)
{
    for (int col = 0; col < ColCount() && col < texts.size(); ++col)
        setCells(col, row, texts.at(col));
}

int TXStringGrid::Row() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

int TXStringGrid::Col() const
{
    return currentIndex().isValid() ? currentIndex().column() : -1;
}

void TXStringGrid::setCurrentCell(int col, int row)
{
    const QModelIndex index = m_model->index(row, col);
    if (!index.isValid() || isFixedCell(col, row))
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

QRect TXStringGrid::selectedCells() const
{
    QRect cells;
    for (const QModelIndex &index : selectionModel()->selectedIndexes()) {
        if (!isFixedCell(index.column(), index.row()))
            cells |= QRect(index.column(), index.row(), 1, 1);
    }
    if (cells.isEmpty() && currentIndex().isValid())
        cells = QRect(Col(), Row(), 1, 1);
    return cells;
}

bool TXStringGrid::wholeRowsSelected() const
{
    const QRect cells = selectedCells();
    if (cells.isEmpty())
        return false;
    for (int row = cells.top(); row <= cells.bottom(); ++row) {
        if (!selectionModel()->isRowSelected(row, QModelIndex()))
            return false;
    }
    return true;
}

bool TXStringGrid::rowHasSelection(int row) const
{
    return selectionModel()->rowIntersectsSelection(row, QModelIndex());
}

void TXStringGrid::selectCells(const QRect &cells)
{
    setCurrentCell(cells.left(), cells.top());
    const QItemSelection range(m_model->index(cells.top(), cells.left()),
                               m_model->index(cells.bottom(), cells.right()));
    selectionModel()->select(range, QItemSelectionModel::ClearAndSelect);
}

void TXStringGrid::copySelection() const
{
    const QRect cells = selectedCells();
    QString text;
    for (int row = cells.top(); row <= cells.bottom(); ++row) {
        // Whole rows picked one by one with Ctrl leave out the rows between them.
        if (!selectionModel()->selectedIndexes().isEmpty() && !rowHasSelection(row))
            continue;
        QStringList line;
        for (int col = cells.left(); col <= cells.right(); ++col)
            line << Cells(col, row);
        text += line.join(u'\t') + u'\n';
    }
    if (!cells.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void TXStringGrid::pasteText(const QString &text)
{
    QStringList lines = QString(text).remove(u'\r').split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QPoint from = selectedCells().topLeft();
    if (lines.isEmpty() || isFixedCell(from.x(), from.y()))
        return;
    commitEdit();
    emit bulkEditStarted();
    for (int r = 0; r < lines.size() && from.y() + r < RowCount(); ++r) {
        const QString &line = lines[r];
        const QStringList cells = line.split(line.contains(u'\t') ? u'\t' : u',');
        for (int c = 0; c < cells.size() && from.x() + c < ColCount(); ++c) {
            if (hasEditor(from.x() + c))
                SetEditText(from.x() + c, from.y() + r, cells[c].trimmed());
        }
    }
    emit bulkEditFinished(BulkEdit::Paste);
}

void TXStringGrid::clearSelectedCells(BulkEdit kind)
{
    const QRect cells = selectedCells();
    commitEdit();
    emit bulkEditStarted();
    for (int row = cells.top(); row <= cells.bottom(); ++row) {
        for (int col = cells.left(); col <= cells.right(); ++col) {
            const bool selected = selectionModel()->selectedIndexes().isEmpty() ||
                                  selectionModel()->isSelected(m_model->index(row, col));
            if (selected && hasEditor(col) && !isFixedCell(col, row))
                SetEditText(col, row, QString());
        }
    }
    emit bulkEditFinished(kind);
}

bool TXStringGrid::isFixedCell(int col, int row) const
{
    return row < m_fixedRows || col < m_fixedCols;
}

TXStringColumnItem *TXStringGrid::Columns(int col)
{
    return col >= 0 && col < int(m_columns.size()) ? m_columns[col].get() : nullptr;
}

const TXStringColumnItem *TXStringGrid::Columns(int col) const
{
    return col >= 0 && col < int(m_columns.size()) ? m_columns[col].get() : nullptr;
}

void TXStringGrid::setFixedColor(const QColor &color)
{
    m_fixedColor = color;
    viewport()->update();
}

void TXStringGrid::setColor(const QColor &color)
{
    m_color = color;
    viewport()->update();
}

void TXStringGrid::setFixedLineColor(const QColor &color)
{
    m_fixedLineColor = color;
    refreshColumn(-1);
}

void TXStringGrid::setGridLineColor(const QColor &color)
{
    m_gridLineColor = color;
    viewport()->update();
}

void TXStringGrid::setSelectedColor(const QColor &color)
{
    m_selectedColor = color;
    viewport()->update();
}

void TXStringGrid::setSelectedTextColor(const QColor &color)
{
    m_selectedTextColor = color;
    viewport()->update();
}

void TXStringGrid::setMultiLine(bool multiLine)
{
    m_multiLine = multiLine;
    refreshColumn(-1);
}

QRect TXStringGrid::cellRect(int col, int row) const
{
    return visualRect(m_model->index(row, col));
}

void TXStringGrid::SetEditText(int col, int row, const QString &text)
{
    // A window's check may want what the cell held, to put it back.
    m_textBeforeEdit = Cells(col, row);
    setCells(col, row, text);
    emit OnSetEditText(col, row, text);
    m_textBeforeEdit.clear();
    emit editCommitted(col, row);
}

void TXStringGrid::discardEdit()
{
    QWidget *control = m_activeControl;
    if (!control)
        return;
    // Released first, the control no longer commits as it loses the focus.
    releaseControl(control);
    closeEditor(control, QAbstractItemDelegate::NoHint);
}

void TXStringGrid::commitEdit()
{
    if (m_activeEditor)
        finishEditInColumn(m_activeCol);
}

void TXStringGrid::keyboardSearch(const QString &) {}

bool TXStringGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (trigger == AnyKeyPressed && event && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QChar typed = key->key() == Qt::Key_Backspace ? QChar(QLatin1Char('\b'))
                            : key->text().isEmpty()         ? QChar()
                                                            : key->text().front();
        if (!startsEdit(typed))
            return false;
        // The view would hand the key itself to the new editor; the grid decides instead
        // whether the typed character is the editor's first character or is dropped.
        return openEditor(index, trigger,
                          m_immediateEditMode && typed.unicode() >= 32 ? typed : QChar());
    }
    // Mouse events offered to the delegate, and the view's own request on every change of the
    // current cell, which these grids answer by their editing state instead.
    if (trigger == NoEditTriggers || trigger == CurrentChanged)
        return QTableView::edit(index, trigger, event);
    return openEditor(index, trigger, QChar());
}

bool TXStringGrid::openEditor(const QModelIndex &index, EditTrigger trigger, QChar pendingChar,
                              bool passingThrough)
{
    if (!hasFocus())
        return false;
    m_startPending = false;
    if (!QTableView::edit(index, trigger, nullptr))
        return false;
    // A click on the current cell only schedules the edit; nothing was made yet.
    if (m_startPending && m_activeEditor) {
        m_startPending = false;
        m_editingState = true;
        m_activeEditor->m_passingThrough = passingThrough;
        m_activeEditor->startEdit(Cells(m_activeCol, m_activeRow), pendingChar);
    }
    return true;
}

void TXStringGrid::keyPressEvent(QKeyEvent *event)
{
    // The view lets Backspace pass unused, but it starts an edit like a typed character.
    const bool modified =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (event->key() == Qt::Key_Backspace && !modified &&
        edit(currentIndex(), AnyKeyPressed, event)) {
        event->accept();
        return;
    }
    // Ctrl+C, Ctrl+X, Ctrl+V and Delete; a window may own these keys by actions of its own.
    if (event == QKeySequence::Copy || event == QKeySequence::Cut) {
        copySelection();
        if (event == QKeySequence::Cut)
            clearSelectedCells(BulkEdit::Cut);
        event->accept();
        return;
    }
    if (event == QKeySequence::Paste) {
        pasteText(QGuiApplication::clipboard()->text());
        event->accept();
        return;
    }
    if (event == QKeySequence::Delete) {
        clearSelectedCells();
        event->accept();
        return;
    }
    const QModelIndex before = currentIndex();
    QTableView::keyPressEvent(event);
    // Shift+arrows select a range; only plain moves open the next cell's editor.
    if (m_editingState && !m_activeEditor && isNavigationKey(event->key()) &&
        !(event->modifiers() & Qt::ShiftModifier) && currentIndex() != before)
        openEditor(currentIndex(), AllEditTriggers, QChar(), true);
}

void TXStringGrid::mousePressEvent(QMouseEvent *event)
{
    QTableView::mousePressEvent(event);
    leaveEditingStateWhenIdle();
}

bool TXStringGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_corner) {
        if (event->type() == QEvent::Paint) {
            QPainter painter(m_corner);
            paintCell(&painter, m_corner->rect(), 0, 0, Fixed);
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress) {
            setFocus(Qt::MouseFocusReason);
            leaveEditingStateWhenIdle();
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

// QTableView names the cell in these events by its own count of children, which takes the fixed
// row and column for data; a screen reader would then read out the wrong cell. The grid names
// it by the children its own accessible table has.
void TXStringGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    if (QAccessible::isActive() && current.isValid() && hasFocus()) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(gridAccessibleChild(*this, current.column(), current.row()));
        QAccessible::updateAccessibility(&event);
    }
    QAbstractItemView::currentChanged(current, previous);
}

void TXStringGrid::selectionChanged(const QItemSelection &selected,
                                    const QItemSelection &deselected)
{
    if (QAccessible::isActive()) {
        const auto notify = [this](const QItemSelection &cells, QAccessible::Event type) {
            const QModelIndex first = cells.indexes().value(0);
            if (!first.isValid())
                return;
            QAccessibleEvent event(this, type);
            event.setChild(gridAccessibleChild(*this, first.column(), first.row()));
            QAccessible::updateAccessibility(&event);
        };
        notify(selected, QAccessible::SelectionAdd);
        notify(deselected, QAccessible::SelectionRemove);
    }
    QAbstractItemView::selectionChanged(selected, deselected);
}

bool TXStringGrid::hasEditor(int col) const
{
    const TXStringColumnItem *column = Columns(col);
    return column && column->Editor();
}

void TXStringGrid::paintCell(QPainter *painter, const QRect &rect, int col, int row,
                             DrawState state) const
{
    const TXStringColumnItem *column = Columns(col);
    if (!column)
        return;
    const bool fixedRow = row < m_fixedRows;
    const bool fixedCell = isFixedCell(col, row);

    // A fixed column below the fixed row keeps the grid's fixed colour and font.
    QColor background = m_fixedColor;
    QFont font = this->font();
    // The captions and channel numbers of the fixed cells keep the normal text colour when the
    // grid is disabled, as it is during a transfer: grey on their blue would be unreadable.
    QColor textColor = palette().color(fixedCell ? QPalette::Active : palette().currentColorGroup(),
                                       QPalette::Text);
    if (fixedRow) {
        background = column->HeaderColor();
        font = column->HeaderFont();
    } else if (!fixedCell) {
        background = column->Color();
        font = column->Font();
    }
    if (!fixedCell && m_marks.contains({col, row}))
        background = markColor();
    if (state & Selected) {
        background = m_selectedColor;
        textColor = m_selectedTextColor;
    }
    Qt::Alignment alignment = fixedRow ? column->HeaderAlignment() : column->Alignment();
    QString text = Cells(col, row);

    painter->save();
    painter->setBrush(background);
    painter->setPen(textColor);
    painter->setFont(font);
    if (OnCellProps)
        OnCellProps(const_cast<TXStringGrid *>(this), painter, alignment, text, state, row, col);

    painter->fillRect(rect, painter->brush());
    const int flags = int(alignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop |
                      (m_multiLine ? Qt::TextWordWrap : Qt::TextSingleLine);
    painter->drawText(rect.adjusted(2, 2, -2, -2), flags, text);

    // Each cell draws its right and bottom line; the cells along the top and left edges also
    // close the frame on their outer side.
    painter->setPen(fixedCell ? m_fixedLineColor : m_gridLineColor);
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    if (row == 0)
        painter->drawLine(rect.topLeft(), rect.topRight());
    if (col == 0)
        painter->drawLine(rect.topLeft(), rect.bottomLeft());
    painter->restore();
}

QWidget *TXStringGrid::createControl(QWidget *parent, int col, int row)
{
    TXStringColumnItem *column = Columns(col);
    TCellEditor *editor = column ? column->Editor() : nullptr;
    QWidget *control = editor ? editor->createControl(parent) : nullptr;
    if (!control)
        return nullptr;
    m_activeEditor = editor;
    m_activeControl = control;
    m_activeCol = col;
    m_activeRow = row;
    m_startPending = true;
    return control;
}

void TXStringGrid::placeControl(QWidget *control, const QRect &cellRect)
{
    if (control != m_activeControl)
        return;
    const TXStringColumnItem *column = Columns(m_activeCol);
    if (column && column->EditorInheritsCellProps()) {
        QPalette palette = control->palette();
        palette.setColor(QPalette::Base, column->Color());
        palette.setColor(QPalette::Button, column->Color());
        control->setPalette(palette);
        control->setFont(column->Font());
    }
    if (OnDrawEditor) {
        OnDrawEditor(this, m_activeCol, m_activeRow, m_activeEditor);
        return;
    }
    // Leave the cell's right and bottom grid lines in sight.
    if (!cellRect.isEmpty())
        control->setGeometry(cellRect.adjusted(0, 0, -1, -1));
}

void TXStringGrid::commitControl(QWidget *control)
{
    if (m_destroying || control != m_activeControl || !m_activeEditor)
        return;
    SetEditText(m_activeCol, m_activeRow, m_activeEditor->editText());
}

void TXStringGrid::releaseControl(QWidget *control)
{
    if (control != m_activeControl)
        return;
    m_activeEditor = nullptr;
    m_activeControl = nullptr;
    m_activeCol = -1;
    m_activeRow = -1;
    m_startPending = false;
}

bool TXStringGrid::editorKeyPress(QWidget *control, QKeyEvent *event)
{
    if (control != m_activeControl || !m_activeEditor)
        return false;
    if (m_replacingKey)
        return false; // the control handles the replacement itself

    int key = event->key();
    bool endEdit = m_activeEditor->endsEdit(*event);
    if (m_activeEditor->AllowEndEditEvent)
        m_activeEditor->AllowEndEditEvent(control, key, event->modifiers(), endEdit);
    if (endEdit) {
        leaveEditor(key, event->modifiers());
        return true;
    }
    if (key == 0)
        return true;
    if (key != event->key()) {
        const QString text = key >= 0x20 && key < 0x7f ? QString(QChar(key)) : QString();
        QKeyEvent replacement(QEvent::KeyPress, key, event->modifiers(), text);
        m_replacingKey = true;
        QCoreApplication::sendEvent(control, &replacement);
        m_replacingKey = false;
        return true;
    }

    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Back to the grid, which commits the edit as the control loses the focus.
        setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Escape:
        // The edit is abandoned: the cell keeps its text, and the arrows only move again.
        discardEdit();
        m_editingState = false;
        setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true; // no grid of the program moves on with Tab
    default:
        return false;
    }
}

void TXStringGrid::leaveEditor(int key, Qt::KeyboardModifiers modifiers)
{
    // Commit while the edited cell is still current, then let the grid act on the key.
    QWidget *control = m_activeControl;
    commitData(control);
    closeEditor(control, QAbstractItemDelegate::NoHint);
    setFocus(Qt::OtherFocusReason);
    if (key == 0)
        return;
    QKeyEvent handed(QEvent::KeyPress, key, modifiers);
    keyPressEvent(&handed);
}

void TXStringGrid::leaveEditingStateWhenIdle()
{
    if (!m_activeEditor)
        m_editingState = false;
}

void TXStringGrid::finishEditInColumn(int col)
{
    if (!m_activeEditor || m_activeCol != col)
        return;
    QWidget *control = m_activeControl;
    commitData(control);
    closeEditor(control, QAbstractItemDelegate::NoHint);
}

void TXStringGrid::forgetEditor(TCellEditor *editor)
{
    if (m_activeEditor == editor)
        discardEdit(); // the editor is going away: its control closes without committing
    for (auto &column : m_columns) {
        if (column->m_editor == editor)
            column->m_editor = nullptr;
    }
}

void TXStringGrid::refreshColumn(int)
{
    viewport()->update();
    horizontalHeader()->viewport()->update();
    verticalHeader()->viewport()->update();
    if (m_corner)
        m_corner->update();
}

void TXStringGrid::applyFixedLayout()
{
    const bool fixedRow = m_fixedRows > 0;
    const bool fixedCol = m_fixedCols > 0;
    horizontalHeader()->setVisible(fixedRow);
    verticalHeader()->setVisible(fixedCol);
    for (int row = 0; row < RowCount(); ++row)
        setRowHidden(row, row < m_fixedRows);
    for (int col = 0; col < ColCount(); ++col)
        setColumnHidden(col, col < m_fixedCols);
    horizontalHeader()->setFixedHeight(m_defaultRowHeight);
    if (fixedCol)
        verticalHeader()->setFixedWidth(ColWidths(0));
    for (int col = m_fixedCols; col < ColCount(); ++col)
        horizontalHeader()->resizeSection(col, ColWidths(col));
    refreshColumn(-1);
}

void TXStringGrid::ensureCurrentCell()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || isFixedCell(current.column(), current.row()))
        setCurrentCell(m_fixedCols, m_fixedRows);
}

} // namespace wf
