// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/ecelleditorerror.h"
#include "grid/tcombocelleditor.h"
#include "grid/teditcelleditor.h"
#include "grid/txstringcolumnitem.h"
#include "grid/txstringgrid.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace wf;

namespace {

constexpr int kEditRow = 2;

// A window with one grid laid out like the program's tables: column 0 fixed, two text columns
// sharing one editor, an editable drop-down, a list, and a column without editor.
struct Bench
{
    QWidget window;
    TXStringGrid *grid = nullptr;
    TEditCellEditor *edit = nullptr;
    TComboCellEditor *dropDown = nullptr;
    TComboCellEditor *list = nullptr;
    QLineEdit *elsewhere = nullptr;

    explicit Bench(bool immediate)
    {
        grid = new TXStringGrid(&window);
        grid->setObjectName(QStringLiteral("xg"));
        grid->setColCount(6);
        grid->setRowCount(8);
        grid->setImmediateEditMode(immediate);
        elsewhere = new QLineEdit(&window);
        grid->setGeometry(0, 0, 600, 300);
        elsewhere->setGeometry(0, 310, 200, 24);

        edit = new TEditCellEditor(&window);
        edit->setObjectName(QStringLiteral("EditCellEditor1"));
        edit->setDefaultText(QStringLiteral("12345678"));
        dropDown = new TComboCellEditor(&window);
        dropDown->setObjectName(QStringLiteral("ComboCellEditor1"));
        dropDown->setStyle(ComboStyle::DropDown);
        dropDown->setItems({"NONE", "67.0", "71.9"});
        dropDown->setDefaultText(QStringLiteral("NONE"));
        list = new TComboCellEditor(&window);
        list->setObjectName(QStringLiteral("ComboCellEditor2"));
        list->setStyle(ComboStyle::DropDownList);
        list->setItems({"HIGH", "LOW"});
        list->setDefaultText(QStringLiteral("HIGH"));

        grid->Columns(1)->setEditor(edit);
        grid->Columns(2)->setEditor(edit);
        grid->Columns(3)->setEditor(dropDown);
        grid->Columns(4)->setEditor(list);
        for (int row = 1; row < grid->RowCount(); ++row)
            grid->setCells(0, row, QString::number(row));
        grid->setRowTexts(kEditRow, {"2", "12.5", "7", "71.9", "LOW", "free"});

        window.resize(640, 360);
        window.show();
        QApplication::setActiveWindow(&window);
    }

    bool activate()
    {
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        grid->setFocus();
        return QTest::qWaitFor([this] { return grid->hasFocus(); });
    }
};

QWidget *focused()
{
    return QApplication::focusWidget();
}

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(focused(), Qt::Key(key), modifiers);
}

void type(const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\b'))
            press(Qt::Key_Backspace);
        else
            QTest::keyClicks(focused(), QString(c));
    }
}

QLineEdit *activeEdit(const TXStringGrid &grid)
{
    auto *editor = qobject_cast<TEditCellEditor *>(grid.activeEditor());
    return editor ? editor->edit() : nullptr;
}

QComboBox *activeCombo(const TXStringGrid &grid)
{
    auto *editor = qobject_cast<TComboCellEditor *>(grid.activeEditor());
    return editor ? editor->combo() : nullptr;
}

// The text the active editor shows, whatever its kind.
QString editorText(const TXStringGrid &grid)
{
    if (QLineEdit *edit = activeEdit(grid))
        return edit->text();
    if (QComboBox *combo = activeCombo(grid))
        return combo->currentText();
    return QStringLiteral("<no editor>");
}

// Opens the editor of a cell as a user does in a grid without immediate edit mode: select the
// cell and type a character, which is not entered.
void openBy_typing(TXStringGrid &grid, int col)
{
    grid.setCurrentCell(col, kEditRow);
    type(QStringLiteral("0"));
}

QPoint cellCentre(const TXStringGrid &grid, int col, int row)
{
    return grid.cellRect(col, row).center();
}

} // namespace

class TestGrid final : public QObject
{
    Q_OBJECT

private slots:
    void captionIsTheCellOfRowZero();
    void columnDescriptionsFollowColCount();
    void newGridTypesIntoItsFirstCell();
    void typingOpensEditor_data();
    void typingOpensEditor();
    void keysLeaveEditor_data();
    void keysLeaveEditor();
    void dropDownArrowsWalkTheList();
    void enterAndFocusLossCommit();
    void tabAndEscapeStayInEditor();
    void mouseSelectsAndEndsEditingState();
    void fixedCellsAreNeitherSelectedNorEdited();
    void columnWithoutEditorIsReadOnly();
    void editorBelongsToOneGrid();
    void sharedEditorCountsItsColumns();
    void editorsExchangedAtRunTime();
    void drawingFollowsColumnsAndHooks();
    void editorPlacement();
    void windowKeyFilterShapesTypedText();
};

void TestGrid::captionIsTheCellOfRowZero()
{
    TXStringGrid grid;
    grid.setColCount(4);
    grid.Columns(2)->setCaption(QStringLiteral("RX Freq"));
    QCOMPARE(grid.Cells(2, 0), QStringLiteral("RX Freq"));
    grid.setCells(3, 0, QStringLiteral("TX Freq"));
    QCOMPARE(grid.Columns(3)->Caption(), QStringLiteral("TX Freq"));
    grid.setRowTexts(0, {"CH No.", "a", "b", "c", "ignored beyond the last column"});
    QCOMPARE(grid.Columns(2)->Caption(), QStringLiteral("b"));
    QCOMPARE(grid.rowTexts(0), QStringList({"CH No.", "a", "b", "c"}));

    grid.Columns(1)->setWidth(58);
    QCOMPARE(grid.ColWidths(1), 58);
    grid.setColWidths(0, 56);
    QCOMPARE(grid.Columns(0)->Width(), 56);
    QCOMPARE(grid.verticalHeader()->width(), 56); // the fixed column keeps its width on screen

    grid.setDefaultRowHeight(30);
    QCOMPARE(grid.rowHeight(3), 30);
    QCOMPARE(grid.horizontalHeader()->height(), 30); // the caption row too
}

void TestGrid::columnDescriptionsFollowColCount()
{
    Bench bench(false);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.activate());
    grid.Columns(3)->setHeaderAlignment(Qt::AlignRight);
    openBy_typing(grid, 4); // an edit under way in a column that goes away
    QVERIFY(activeCombo(grid));

    grid.setColCount(3);
    QCOMPARE(grid.ColCount(), 3);
    QCOMPARE(grid.Columns(3), nullptr);
    QCOMPARE(grid.activeEditor(), nullptr);
    QCOMPARE(grid.rowTexts(kEditRow), QStringList({"2", "12.5", "7"}));
    // The removed columns released their editors; the text editor still serves columns 1, 2.
    QCOMPARE(bench.list->useCount(), 0);
    QCOMPARE(bench.list->grid(), nullptr);
    QCOMPARE(bench.dropDown->grid(), nullptr);
    QCOMPARE(bench.edit->useCount(), 2);

    grid.setColCount(5);
    TXStringColumnItem *fresh = grid.Columns(3);
    QVERIFY(fresh);
    QCOMPARE(fresh->index(), 3);
    QCOMPARE(fresh->Editor(), nullptr);
    QCOMPARE(fresh->HeaderAlignment(), Qt::Alignment(Qt::AlignLeft));
    QCOMPARE(fresh->HeaderColor(), grid.FixedColor());
    QCOMPARE(fresh->Color(), grid.color());
    QCOMPARE(fresh->Width(), 64);
    QCOMPARE(grid.Cells(3, kEditRow), QString());
    QCOMPARE(grid.rowTexts(0).size(), 5);
}

void TestGrid::newGridTypesIntoItsFirstCell()
{
    Bench bench(true);
    TXStringGrid &grid = *bench.grid;
    QCOMPARE(grid.Col(), 1);
    QCOMPARE(grid.Row(), 1);
    QVERIFY(bench.activate());
    type(QStringLiteral("4"));
    QCOMPARE(editorText(grid), QStringLiteral("4"));
    QCOMPARE(grid.Col(), 1);
    QCOMPARE(grid.Row(), 1);
}

void TestGrid::typingOpensEditor_data()
{
    QTest::addColumn<bool>("immediate");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("selected"); // text editors only

    QTest::newRow("immediate: typed char replaces the text") << true << 1 << "145.00000"
                                                             << "4"
                                                             << "4"
                                                             << "";
    QTest::newRow("immediate: further chars append") << true << 1 << "145.00000"
                                                     << "45"
                                                     << "45"
                                                     << "";
    QTest::newRow("immediate: backspace opens on the cell text") << true << 1 << "145.00000"
                                                                 << "\b"
                                                                 << "145.00000"
                                                                 << "145.00000";
    QTest::newRow("plain: cell text all selected") << false << 1 << "987"
                                                   << "4"
                                                   << "987"
                                                   << "987";
    QTest::newRow("plain: empty cell offers the default text") << false << 2 << ""
                                                               << "4"
                                                               << "12345678"
                                                               << "12345678";
    QTest::newRow("plain: typing then replaces the selection") << false << 1 << "987"
                                                               << "45"
                                                               << "5"
                                                               << "";
    QTest::newRow("immediate drop-down: char sent upper case") << true << 3 << "67.0"
                                                               << "e"
                                                               << "E"
                                                               << "";
    QTest::newRow("immediate drop-down: completes from its list") << true << 3 << "67.0"
                                                                  << "n"
                                                                  << "NONE"
                                                                  << "";
    QTest::newRow("immediate list: char picks an item") << true << 4 << "HIGH"
                                                        << "l"
                                                        << "LOW"
                                                        << "";
    QTest::newRow("plain drop-down shows the cell") << false << 3 << "123.5"
                                                    << "4"
                                                    << "123.5"
                                                    << "";
    QTest::newRow("plain drop-down, empty cell: default") << false << 3 << ""
                                                          << "4"
                                                          << "NONE"
                                                          << "";
    QTest::newRow("plain list selects the cell's item") << false << 4 << "LOW"
                                                        << "4"
                                                        << "LOW"
                                                        << "";
    QTest::newRow("plain list, unknown text: default") << false << 4 << "WIDE"
                                                       << "4"
                                                       << "HIGH"
                                                       << "";
}

void TestGrid::typingOpensEditor()
{
    QFETCH(bool, immediate);
    QFETCH(int, col);
    QFETCH(QString, cell);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, selected);

    Bench bench(immediate);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.activate());
    grid.setCells(col, kEditRow, cell);
    grid.setCurrentCell(col, kEditRow);
    type(typed);

    QVERIFY(grid.activeEditor());
    QCOMPARE(editorText(grid), shown);
    if (QLineEdit *edit = activeEdit(grid)) {
        QCOMPARE(edit->selectedText(), selected);
        QCOMPARE(focused(), edit);
    }
    QCOMPARE(grid.Cells(col, kEditRow), cell); // nothing committed yet
}

void TestGrid::keysLeaveEditor_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("toCol");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<bool>("left"); // the edit was committed and the grid moved on

    const int row = kEditRow;
    QTest::newRow("text: Down") << 1 << QList<int>{Qt::Key_Down} << 1 << row + 1 << true;
    QTest::newRow("text: Up") << 1 << QList<int>{Qt::Key_Up} << 1 << row - 1 << true;
    QTest::newRow("text: Left over a selection stays")
        << 2 << QList<int>{Qt::Key_Left} << 2 << row << false;
    QTest::newRow("text: Left at the start leaves")
        << 2 << QList<int>{Qt::Key_Home, Qt::Key_Left} << 1 << row << true;
    QTest::newRow("text: Right inside the text stays")
        << 1 << QList<int>{Qt::Key_Home, Qt::Key_Right} << 1 << row << false;
    QTest::newRow("text: Right at the end leaves")
        << 1 << QList<int>{Qt::Key_End, Qt::Key_Right} << 2 << row << true;
    QTest::newRow("drop-down: Down stays") << 3 << QList<int>{Qt::Key_Down} << 3 << row << false;
    QTest::newRow("drop-down: Right at the end leaves")
        << 3 << QList<int>{Qt::Key_End, Qt::Key_Right} << 4 << row << true;
    QTest::newRow("drop-down: Left inside stays")
        << 3 << QList<int>{Qt::Key_End, Qt::Key_Left} << 3 << row << false;
    QTest::newRow("list: Left always leaves") << 4 << QList<int>{Qt::Key_Left} << 3 << row << true;
    QTest::newRow("list: Right always leaves")
        << 4 << QList<int>{Qt::Key_Right} << 5 << row << true;
    QTest::newRow("list: Up stays") << 4 << QList<int>{Qt::Key_Up} << 4 << row << false;
}

void TestGrid::keysLeaveEditor()
{
    QFETCH(int, col);
    QFETCH(QList<int>, keys);
    QFETCH(int, toCol);
    QFETCH(int, toRow);
    QFETCH(bool, left);

    Bench bench(false);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.activate());
    QSignalSpy commits(&grid, &TXStringGrid::OnSetEditText);
    openBy_typing(grid, col);
    QVERIFY(grid.activeEditor());
    const QString before = grid.Cells(col, kEditRow);
    // The window sees the commit while the edited cell is still the current one.
    int currentRowAtCommit = -1;
    connect(&grid, &TXStringGrid::OnSetEditText, &grid,
            [&] { currentRowAtCommit = grid.Row() * 100 + grid.Col(); });

    for (int key : keys)
        press(key);

    QCOMPARE(grid.Col(), toCol);
    QCOMPARE(grid.Row(), toRow);
    if (!left) {
        QVERIFY(commits.isEmpty());
        QVERIFY(grid.activeEditor());
        return;
    }
    QCOMPARE(commits.size(), 1);
    QCOMPARE(commits.at(0).at(0).toInt(), col);
    QCOMPARE(commits.at(0).at(1).toInt(), kEditRow);
    QCOMPARE(commits.at(0).at(2).toString(), before);
    QCOMPARE(currentRowAtCommit, kEditRow * 100 + col);
    // The grid stays in its editing state: the cell moved to opens its editor, if it has one.
    if (grid.Columns(toCol)->Editor()) {
        QVERIFY(grid.activeEditor());
        QCOMPARE(grid.activeEditor(), grid.Columns(toCol)->Editor());
        QCOMPARE(editorText(grid), grid.Cells(toCol, toRow).isEmpty() && toCol <= 2
                                       ? QStringLiteral("12345678")
                                       : grid.Cells(toCol, toRow));
    } else {
        QCOMPARE(grid.activeEditor(), nullptr);
        QVERIFY(grid.hasFocus());
    }
}

void TestGrid::dropDownArrowsWalkTheList()
{
    Bench bench(false);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.activate());
    QSignalSpy commits(&grid, &TXStringGrid::OnSetEditText);

    grid.setCells(3, kEditRow, QStringLiteral("67.0"));
    openBy_typing(grid, 3);
    press(Qt::Key_Down);
    QCOMPARE(editorText(grid), QStringLiteral("71.9"));
    press(Qt::Key_Return);
    QCOMPARE(grid.Cells(3, kEditRow), QStringLiteral("71.9"));

    grid.setCells(4, kEditRow, QStringLiteral("HIGH"));
    openBy_typing(grid, 4);
    press(Qt::Key_Down);
    press(Qt::Key_Right); // a list is always left sideways, taking its choice with it
    QCOMPARE(grid.Cells(4, kEditRow), QStringLiteral("LOW"));
    QCOMPARE(commits.size(), 2);

    // A list that can show neither the cell's text nor a default text must not blank the
    // cell when the user passes through it.
    bench.list->setDefaultText(QString());
    grid.setCells(4, kEditRow, QStringLiteral("WIDE"));
    openBy_typing(grid, 4);
    QCOMPARE(editorText(grid), QString());
    press(Qt::Key_Left);
    QCOMPARE(grid.Cells(4, kEditRow), QStringLiteral("WIDE"));
}

void TestGrid::enterAndFocusLossCommit()
{
    Bench bench(true);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.activate());
    QSignalSpy commits(&grid, &TXStringGrid::OnSetEditText);

    type(QStringLiteral("145.5"));
    press(Qt::Key_Return);
    QCOMPARE(commits.size(), 1);
    QCOMPARE(commits.at(0), QVariantList({1, 1, QStringLiteral("145.5")}));
    QCOMPARE(grid.Cells(1, 1), QStringLiteral("145.5"));
    QCOMPARE(grid.activeEditor(), nullptr);
    QCOMPARE(bench.edit->control(), nullptr);
    QVERIFY(grid.hasFocus());

    // After Enter the grid is still editing: Down opens the next channel's cell.
    press(Qt::Key_Down);
    QCOMPARE(grid.Row(), 2);
    QVERIFY(activeEdit(grid));

    // Leaving the grid for another control commits too.
    type(QStringLiteral("9"));
    bench.elsewhere->setFocus();
    QTRY_COMPARE(commits.size(), 2);
    QCOMPARE(commits.at(1), QVariantList({1, 2, QStringLiteral("9")}));
    QCOMPARE(grid.activeEditor(), nullptr);

    // The window's commit check may rewrite the cell, or take the focus away (a message box
    // does): the check's text stays and the edit is committed once.
    connect(&grid, &TXStringGrid::OnSetEditText, &grid, [&](int col, int row, const QString &text) {
        grid.setCells(col, row, text + QStringLiteral("0000"));
        bench.elsewhere->setFocus();
    });
    grid.setFocus();
    grid.setCurrentCell(1, 3);
    type(QStringLiteral("5"));
    press(Qt::Key_Down);
    QCOMPARE(commits.size(), 3);
    QCOMPARE(grid.Cells(1, 3), QStringLiteral("50000"));
    QCOMPARE(grid.Row(), 4);
}

void TestGrid::tabAndEscapeStayInEditor()
{
    Bench bench(true);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.activate());
    QSignalSpy commits(&grid, &TXStringGrid::OnSetEditText);

    type(QStringLiteral("14"));
    QLineEdit *edit = activeEdit(grid);
    QVERIFY(edit);
    press(Qt::Key_Tab);
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    press(Qt::Key_Escape);
    QCOMPARE(focused(), edit);
    QCOMPARE(edit->text(), QStringLiteral("14"));
    QCOMPARE(grid.Col(), 1);
    QVERIFY(commits.isEmpty());

    // Tab on the grid itself moves on to the next control rather than to the next cell.
    press(Qt::Key_Return);
    press(Qt::Key_Tab);
    QCOMPARE(focused(), bench.elsewhere);
    QCOMPARE(grid.Col(), 1);
}

void TestGrid::mouseSelectsAndEndsEditingState()
{
    Bench bench(true);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.activate());
    QSignalSpy commits(&grid, &TXStringGrid::OnSetEditText);

    type(QStringLiteral("1"));
    QVERIFY(grid.activeEditor());
    // Clicking another cell commits the edit and only selects the clicked cell.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 2, 4));
    QCOMPARE(commits.size(), 1);
    QCOMPARE(grid.Cells(1, 1), QStringLiteral("1"));
    QCOMPARE(grid.Col(), 2);
    QCOMPARE(grid.Row(), 4);
    QCOMPARE(grid.activeEditor(), nullptr);

    // Without an edit under way, the arrows just move.
    press(Qt::Key_Down);
    QCOMPARE(grid.Row(), 5);
    QCOMPARE(grid.activeEditor(), nullptr);

    // Typing edits the selected cell.
    type(QStringLiteral("7"));
    QCOMPARE(editorText(grid), QStringLiteral("7"));
    QCOMPARE(grid.Row(), 5);

    // A double click opens the editor on the cell's text.
    grid.setCells(3, 6, QStringLiteral("71.9"));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 3, 6));
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 3, 6));
    QVERIFY(activeCombo(grid));
    QCOMPARE(editorText(grid), QStringLiteral("71.9"));
    QCOMPARE(grid.Cells(2, 5), QStringLiteral("7"));
}

void TestGrid::fixedCellsAreNeitherSelectedNorEdited()
{
    Bench bench(false);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.activate());
    grid.setCurrentCell(2, 3);

    grid.setCurrentCell(0, 4);
    grid.setCurrentCell(3, 0);
    QCOMPARE(grid.Col(), 2);
    QCOMPARE(grid.Row(), 3);

    QHeaderView *top = grid.horizontalHeader();
    QTest::mouseClick(top->viewport(), Qt::LeftButton, {},
                      QPoint(top->sectionViewportPosition(2) + 5, top->height() / 2));
    QHeaderView *side = grid.verticalHeader();
    QTest::mouseClick(side->viewport(), Qt::LeftButton, {},
                      QPoint(side->width() / 2, side->sectionViewportPosition(5) + 5));
    QCOMPARE(grid.Col(), 2);
    QCOMPARE(grid.Row(), 3);
    QCOMPARE(grid.selectionModel()->selectedIndexes().size(), 1);

    grid.setCurrentCell(1, 1);
    for (int key : {Qt::Key_Up, Qt::Key_Left, Qt::Key_Home, Qt::Key_PageUp}) {
        press(key);
        QCOMPARE(grid.Col(), 1);
        QCOMPARE(grid.Row(), 1);
    }
    // Even while editing, leaving towards a fixed cell stays on the first editable one.
    type(QStringLiteral("0"));
    press(Qt::Key_Up);
    QCOMPARE(grid.Row(), 1);
    QCOMPARE(grid.Cells(0, 1), QStringLiteral("1"));
    QCOMPARE(grid.Cells(1, 0), QString());
}

void TestGrid::columnWithoutEditorIsReadOnly()
{
    Bench bench(true);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.activate());
    QSignalSpy commits(&grid, &TXStringGrid::OnSetEditText);
    grid.setCells(5, 6, QStringLiteral("f"));
    grid.setCurrentCell(5, kEditRow);

    type(QStringLiteral("f4\b"));
    press(Qt::Key_F2);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 5, kEditRow));
    QCOMPARE(grid.activeEditor(), nullptr);
    QCOMPARE(grid.Cells(5, kEditRow), QStringLiteral("free"));
    // Typed text does not jump to a cell that starts with it either.
    QCOMPARE(grid.Row(), kEditRow);
    QVERIFY(commits.isEmpty());
}

void TestGrid::editorBelongsToOneGrid()
{
    Bench bench(false);
    TXStringGrid other;
    other.setObjectName(QStringLiteral("xg2"));

    try {
        other.Columns(1)->setEditor(bench.edit);
        QFAIL("an editor of xg was accepted by xg2");
    } catch (const ECellEditorError &error) {
        QCOMPARE(error.message(), QStringLiteral("EditCellEditor1 is allready assigned to xg"));
        QCOMPARE(QString::fromUtf8(error.what()), error.message());
    }
    QCOMPARE(other.Columns(1)->Editor(), nullptr);
    QCOMPARE(bench.edit->grid(), bench.grid);
    QCOMPARE(bench.edit->useCount(), 2);

    // An editor without an in-place control cannot serve a column.
    TCellEditor bare;
    try {
        other.Columns(1)->setEditor(&bare);
        QFAIL("an editor without control was accepted");
    } catch (const ECellEditorError &error) {
        QCOMPARE(error.message(), QStringLiteral("Cell Editor not of type TCellEditor"));
    }
    QCOMPARE(other.Columns(1)->Editor(), nullptr);
}

void TestGrid::sharedEditorCountsItsColumns()
{
    Bench bench(false);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.activate());

    // Both columns edit with the one editor, each on its own cell.
    openBy_typing(grid, 1);
    press(Qt::Key_End);
    press(Qt::Key_Right);
    QCOMPARE(grid.Col(), 2);
    QCOMPARE(grid.activeEditor(), bench.edit);
    QCOMPARE(editorText(grid), QStringLiteral("7"));
    press(Qt::Key_Return);

    grid.Columns(1)->setEditor(nullptr);
    QCOMPARE(bench.edit->useCount(), 1);
    QCOMPARE(bench.edit->grid(), &grid);
    grid.Columns(2)->setEditor(nullptr);
    QCOMPARE(bench.edit->useCount(), 0);
    QCOMPARE(bench.edit->grid(), nullptr);

    // Detached, it may serve another grid.
    TXStringGrid other;
    other.Columns(1)->setEditor(bench.edit);
    QCOMPARE(bench.edit->grid(), &other);
}

void TestGrid::editorsExchangedAtRunTime()
{
    Bench bench(false);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.activate());
    QSignalSpy commits(&grid, &TXStringGrid::OnSetEditText);
    auto *chinese = new TComboCellEditor(&bench.window);
    chinese->setObjectName(QStringLiteral("ComboCellEditor12"));
    chinese->setStyle(ComboStyle::DropDownList);
    chinese->setItems({QStringLiteral("高"), QStringLiteral("低")});
    chinese->setDefaultText(QStringLiteral("高"));

    // Exchanging the editor of the column being edited finishes that edit first.
    openBy_typing(grid, 4);
    press(Qt::Key_Up);
    grid.Columns(4)->setEditor(chinese);
    QCOMPARE(commits.size(), 1);
    QCOMPARE(grid.Cells(4, kEditRow), QStringLiteral("HIGH"));
    QCOMPARE(grid.activeEditor(), nullptr);
    QCOMPARE(bench.list->grid(), nullptr);
    QCOMPARE(chinese->grid(), &grid);

    grid.setCells(4, kEditRow, QStringLiteral("低"));
    grid.setFocus();
    openBy_typing(grid, 4);
    QCOMPARE(grid.activeEditor(), chinese);
    QComboBox *combo = activeCombo(grid);
    QVERIFY(combo);
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->currentText(), QStringLiteral("低"));

    // Destroying an editor takes it out of its columns, even in the middle of an edit.
    delete chinese;
    QCOMPARE(grid.Columns(4)->Editor(), nullptr);
    QCOMPARE(grid.activeEditor(), nullptr);
    QCOMPARE(commits.size(), 1);
    type(QStringLiteral("1"));
    QCOMPARE(grid.activeEditor(), nullptr);
}

void TestGrid::drawingFollowsColumnsAndHooks()
{
    Bench bench(false);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.activate());
    grid.Columns(3)->setCaption(QStringLiteral("QT/DQT & more"));
    grid.Columns(2)->setColor(Qt::yellow);

    struct Seen
    {
        int row;
        int col;
        QString text;
        TXStringGrid::DrawState state;
    };
    QList<Seen> seen;
    grid.OnCellProps = [&seen](TXStringGrid *, QPainter *canvas, Qt::Alignment &, QString &text,
                               TXStringGrid::DrawState state, int row, int col) {
        seen.append({row, col, text, state});
        if (row == 4 && col == 4)
            canvas->setBrush(QColor(Qt::red));
    };
    grid.setCurrentCell(1, 3);
    const QImage image = grid.grab().toImage();

    const auto find = [&seen](int row, int col) {
        for (const Seen &s : seen) {
            if (s.row == row && s.col == col)
                return s;
        }
        return Seen{-1, -1, {}, {}};
    };
    // The fixed row shows the captions, the fixed column its cells, both as fixed cells.
    QCOMPARE(find(0, 3).text, QStringLiteral("QT/DQT & more"));
    QVERIFY(find(0, 3).state & TXStringGrid::Fixed);
    QCOMPARE(find(3, 0).text, QStringLiteral("3"));
    QVERIFY(find(3, 0).state & TXStringGrid::Fixed);
    QVERIFY(find(0, 0).state & TXStringGrid::Fixed);
    QVERIFY(find(3, 1).state & TXStringGrid::Selected);
    QVERIFY(!(find(3, 2).state & (TXStringGrid::Selected | TXStringGrid::Fixed)));

    // Colours away from the text, which starts at the top left of each cell.
    const auto pixel = [&](int col, int row) {
        const QRect rect = grid.cellRect(col, row).translated(grid.viewport()->pos());
        return image.pixelColor(rect.right() - 3, rect.bottom() - 3);
    };
    QCOMPARE(pixel(2, 4), QColor(Qt::yellow));
    QCOMPARE(pixel(4, 4), QColor(Qt::red));
    QCOMPARE(pixel(1, 3), grid.SelectedColor());
    QHeaderView *top = grid.horizontalHeader();
    const QPoint inHeader(top->pos().x() + top->sectionViewportPosition(3) + 5, top->height() - 4);
    QCOMPARE(image.pixelColor(inHeader), grid.Columns(3)->HeaderColor());
}

void TestGrid::editorPlacement()
{
    Bench bench(false);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.activate());
    grid.Columns(1)->setColor(Qt::cyan);
    grid.Columns(1)->setEditorInheritsCellProps(true);

    openBy_typing(grid, 1);
    QLineEdit *edit = activeEdit(grid);
    QVERIFY(edit);
    QCOMPARE(edit->palette().color(QPalette::Base), QColor(Qt::cyan));
    QVERIFY(grid.cellRect(1, kEditRow).contains(edit->geometry()));
    press(Qt::Key_Return);

    int placedCol = -1;
    grid.OnDrawEditor = [&placedCol](TXStringGrid *sender, int col, int row, TCellEditor *editor) {
        placedCol = col;
        auto *meta = qobject_cast<TMetaCellEditor *>(editor);
        meta->control()->setGeometry(sender->cellRect(col, row).adjusted(0, 0, 40, 0));
    };
    openBy_typing(grid, 2);
    QCOMPARE(placedCol, 2);
    QVERIFY(activeEdit(grid));
    QCOMPARE(activeEdit(grid)->width(), grid.cellRect(2, kEditRow).width() + 40);
}

void TestGrid::windowKeyFilterShapesTypedText()
{
    // The main window lets only some characters through and turns some letters upper case,
    // before the grid and its editors see a key. A filter of that kind must work on the grid.
    class CharFilter final : public QObject
    {
    public:
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() != QEvent::KeyPress)
                return false;
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->text() == QLatin1String("a"))
                return true;
            if (key->text() == QLatin1String("n")) {
                QKeyEvent upper(QEvent::KeyPress, Qt::Key_N, Qt::NoModifier, QStringLiteral("N"));
                QCoreApplication::sendEvent(watched, &upper);
                return true;
            }
            return false;
        }
    } filter;

    Bench bench(true);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.activate());
    qApp->installEventFilter(&filter);
    type(QStringLiteral("a"));
    QCOMPARE(grid.activeEditor(), nullptr);
    type(QStringLiteral("023an"));
    QCOMPARE(editorText(grid), QStringLiteral("023N"));
    qApp->removeEventFilter(&filter);
}

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
