// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/ecelleditorerror.h"
#include "grid/tcombocelleditor.h"
#include "grid/teditcelleditor.h"
#include "grid/txstringcolumnitem.h"
#include "grid/txstringgrid.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>

using namespace wf;
using namespace Qt::StringLiterals;

namespace {

constexpr int kEditRow = 2;

TComboCellEditor *comboEditor(QWidget *window, ComboStyle style, const QStringList &items,
                              const QString &defaultText = {})
{
    auto *editor = new TComboCellEditor(window);
    editor->setStyle(style);
    editor->setItems(items);
    editor->setDefaultText(defaultText);
    return editor;
}

// A window with one grid laid out like the program's tables: column 0 fixed, two text columns
// sharing one editor, an editable drop-down, a list, and a column without editor.
struct Bench
{
    QWidget window;
    TXStringGrid *grid = new TXStringGrid(&window);
    TEditCellEditor *edit = new TEditCellEditor(&window);
    TComboCellEditor *dropDown =
        comboEditor(&window, ComboStyle::DropDown, {"NONE", "67.0", "71.9"}, u"NONE"_s);
    TComboCellEditor *list =
        comboEditor(&window, ComboStyle::DropDownList, {"HIGH", "LOW"}, u"HIGH"_s);
    QLineEdit *elsewhere = new QLineEdit(&window);
    QSignalSpy commits{grid, &TXStringGrid::OnSetEditText};

    explicit Bench(bool immediate)
    {
        grid->setObjectName(u"xg"_s);
        grid->setColCount(6);
        grid->setRowCount(8);
        grid->setImmediateEditMode(immediate);
        grid->setGeometry(0, 0, 600, 300);
        elsewhere->setGeometry(0, 310, 200, 24);

        edit->setObjectName(u"EditCellEditor1"_s);
        edit->setDefaultText(u"12345678"_s);

        grid->Columns(1)->setEditor(edit);
        grid->Columns(2)->setEditor(edit);
        grid->Columns(3)->setEditor(dropDown);
        grid->Columns(4)->setEditor(list);
        for (int row = 1; row < grid->RowCount(); ++row)
            grid->setCells(0, row, QString::number(row));
        grid->setRowTexts(kEditRow, {"2", "12.5", "7", "67.0", "HIGH", "free"});

        window.resize(640, 360);
        window.show();
        QApplication::setActiveWindow(&window);
        if (QTest::qWaitForWindowActive(&window))
            grid->setFocus();
    }

    bool isActive() const
    {
        return QTest::qWaitFor([this] { return grid->hasFocus(); });
    }
};

void press(int key)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
}

// A key as the platform delivers it, with the text it carries.
void press(Qt::Key key, const QString &text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), key, text, modifiers);
}

// Types text key by key into whatever has the focus, as a keyboard does; "\b" is Backspace.
void type(const QString &text)
{
    for (const QChar c : text)
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
}

QLineEdit *activeEdit(const TXStringGrid &grid)
{
    auto *editor = qobject_cast<TEditCellEditor *>(grid.activeEditor());
    return editor ? editor->edit() : nullptr;
}

// The text the active editor shows, whatever its kind.
QString editorText(const TXStringGrid &grid)
{
    if (const QLineEdit *edit = activeEdit(grid))
        return edit->text();
    const auto *combo = qobject_cast<TComboCellEditor *>(grid.activeEditor());
    return combo ? combo->combo()->currentText() : u"<no editor>"_s;
}

// Opens the editor of a cell of the edit row as a user does in a grid without immediate edit
// mode: select the cell and type a character, which is not entered.
void openByTyping(TXStringGrid &grid, int col)
{
    grid.setCurrentCell(col, kEditRow);
    type(u"0"_s);
}

// Keys with their texts, to whatever has the focus (an open list included); kClickEditor clicks
// the open editor instead.
constexpr int kClickEditor = -1;
void pressAll(const TXStringGrid &grid, const QList<int> &keys)
{
    for (const int key : keys) {
        if (key == kClickEditor)
            QTest::mouseClick(grid.viewport()->focusWidget(), Qt::LeftButton);
        else
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key & ~Qt::KeyboardModifierMask),
                            Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask));
    }
}

void click(TXStringGrid &grid, int col, int row, bool twice = false)
{
    const QPoint centre = grid.cellRect(col, row).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centre);
    if (twice)
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, centre);
}

} // namespace

class TestGrid final : public QObject
{
    Q_OBJECT

private slots:
    void columnsAndEditors();
    void typingOpensEditor_data();
    void typingOpensEditor();
    void keysInEditor_data();
    void keysInEditor();
    void enterCommits_data();
    void enterCommits();
    void passingThroughKeepsTheCells();
    void movingNeverChangesAValue_data();
    void movingNeverChangesAValue();
    void escapeAbandonsTheEdit_data();
    void escapeAbandonsTheEdit();
    void headerWidensAndNamesColumns_data();
    void headerWidensAndNamesColumns();
    void committingAndMouse();
    void rangesAndCopy_data();
    void rangesAndCopy();
};

void TestGrid::columnsAndEditors()
{
    Bench bench(false);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.isActive());

    // A column's caption is the cell of row 0, both ways, and is drawn as a fixed cell, as is
    // the fixed column.
    grid.Columns(2)->setCaption(u"RX Freq"_s);
    QCOMPARE(grid.Cells(2, 0), u"RX Freq"_s);
    grid.setRowTexts(0, {"CH No.", "a", "b", "QT/DQT & more", "d", "e", "beyond the last column"});
    QCOMPARE(grid.Columns(3)->Caption(), u"QT/DQT & more"_s);
    QMap<std::pair<int, int>, std::pair<QString, TXStringGrid::DrawState>> seen; // (col, row)
    grid.OnCellProps = [&seen](TXStringGrid *, QPainter *, Qt::Alignment &, QString &text,
                               TXStringGrid::DrawState state, int row, int col) {
        seen[{col, row}] = {text, state};
    };
    grid.grab();
    const TXStringGrid::DrawState fixed(TXStringGrid::Fixed);
    QCOMPARE(seen.value({3, 0}), std::pair(u"QT/DQT & more"_s, fixed));
    QCOMPARE(seen.value({0, 3}), std::pair(u"3"_s, fixed));

    grid.setColWidths(0, 56);
    QCOMPARE(grid.verticalHeader()->width(), 56); // the fixed column keeps its width on screen
    grid.setDefaultRowHeight(30);
    QCOMPARE(grid.horizontalHeader()->height(), 30); // the caption row too

    TXStringGrid other;
    other.setObjectName(u"xg2"_s);
    const auto assignError = [](TXStringColumnItem *column, TCellEditor *editor) {
        try {
            column->setEditor(editor);
        } catch (const ECellEditorError &error) {
            return error.message();
        }
        return QString();
    };
    // An editor serves one grid only, and needs an in-place control.
    QCOMPARE(assignError(other.Columns(1), bench.edit),
             u"EditCellEditor1 is allready assigned to xg"_s);
    TCellEditor bare;
    QCOMPARE(assignError(other.Columns(1), &bare), u"Cell Editor not of type TCellEditor"_s);
    QCOMPARE(other.Columns(1)->Editor(), nullptr);

    // Exchanging the editor of the column being edited, as a language switch does, finishes
    // that edit first.
    auto *chinese = comboEditor(&bench.window, ComboStyle::DropDownList, {u"高"_s, u"低"_s});
    openByTyping(grid, 4);
    press(Qt::Key_Down);
    grid.Columns(4)->setEditor(chinese);
    QCOMPARE(bench.commits.size(), 1);
    QCOMPARE(grid.Cells(4, kEditRow), u"LOW"_s);
    QCOMPARE(grid.activeEditor(), nullptr);
    QCOMPARE(bench.list->grid(), nullptr);
    grid.setCells(4, kEditRow, u"低"_s);
    grid.setFocus();
    openByTyping(grid, 4);
    QCOMPARE(grid.activeEditor(), chinese);
    QCOMPARE(editorText(grid), u"低"_s);

    // Destroying an editor takes it out of its columns, even in the middle of an edit.
    delete chinese;
    QCOMPARE(grid.Columns(4)->Editor(), nullptr);
    QCOMPARE(grid.activeEditor(), nullptr);
    QCOMPARE(bench.commits.size(), 1);
    type(u"1"_s);
    QCOMPARE(grid.activeEditor(), nullptr);

    // Fewer columns, with an edit under way in one that goes away: the removed descriptions
    // release their editors; the text editor still serves columns 1 and 2.
    openByTyping(grid, 3);
    QCOMPARE(grid.activeEditor(), bench.dropDown);
    grid.setColCount(3);
    QCOMPARE(grid.Columns(3), nullptr);
    QCOMPARE(grid.activeEditor(), nullptr);
    QCOMPARE(grid.rowTexts(kEditRow), QStringList({"2", "12.5", "7"}));
    QCOMPARE(bench.dropDown->grid(), nullptr);
    QCOMPARE(bench.edit->useCount(), 2);

    // More columns come with default descriptions and empty cells.
    grid.setColCount(5);
    QVERIFY(grid.Columns(3) && !grid.Columns(3)->Editor());
    QCOMPARE(grid.Columns(3)->HeaderColor(), grid.FixedColor());
    QCOMPARE(grid.Cells(3, kEditRow), QString());

    // Taken out of all its columns, an editor is detached and may serve another grid.
    grid.Columns(1)->setEditor(nullptr);
    QCOMPARE(bench.edit->grid(), &grid);
    grid.Columns(2)->setEditor(nullptr);
    QCOMPARE(bench.edit->useCount(), 0);
    QCOMPARE(assignError(other.Columns(1), bench.edit), QString());
    QCOMPARE(bench.edit->grid(), &other);
}

void TestGrid::typingOpensEditor_data()
{
    QTest::addColumn<bool>("immediate");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("selected"); // text editors only
    const auto add = [](const char *name, bool immediate, int col, const char *cell,
                        const char *typed, const char *shown, const char *selected = "") {
        QTest::newRow(name) << immediate << col << cell << typed << shown << selected;
    };

    add("immediate: typed char replaces the text", true, 1, "145.00000", "4", "4");
    add("immediate: backspace opens on the cell text", true, 1, "145", "\b", "145", "145");
    add("plain: cell text all selected", false, 1, "987", "4", "987", "987");
    add("plain: empty cell offers the default text", false, 2, "", "4", "12345678", "12345678");
    add("immediate drop-down: char sent upper case", true, 3, "67.0", "e", "E");
    add("immediate list: char picks an item", true, 4, "HIGH", "l", "LOW");
    add("plain drop-down, empty cell: default", false, 3, "", "4", "NONE");
    add("plain list, unknown text: default", false, 4, "WIDE", "4", "HIGH");
    // A typed text is taken as typed: no item of the list completes it.
    add("immediate drop-down: no completion", true, 3, "", "7", "7");
    add("plain drop-down: no completion", false, 3, "6", "07", "67");
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
    QVERIFY(bench.isActive());
    grid.setCells(col, kEditRow, cell);
    grid.setCurrentCell(col, kEditRow);
    type(typed);

    QCOMPARE(editorText(grid), shown);
    if (QLineEdit *edit = activeEdit(grid)) {
        QCOMPARE(edit->selectedText(), selected);
        QCOMPARE(QApplication::focusWidget(), edit);
        QVERIFY(grid.cellRect(col, kEditRow).contains(edit->geometry()));
    }
    QCOMPARE(grid.Cells(col, kEditRow), cell); // nothing committed yet
}

void TestGrid::keysInEditor_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QPoint>("to");    // the current cell afterwards
    QTest::addColumn<QString>("text"); // the editor's when it stays, else the one committed
    const auto add = [](const char *name, int col, QList<int> keys, QPoint to, const char *text) {
        QTest::newRow(name) << col << keys << to << QString::fromUtf8(text);
    };

    const int row = kEditRow;
    add("text: Down", 1, {Qt::Key_Down}, {1, row + 1}, "12.5");
    add("text: Right over a selection stays", 2, {Qt::Key_Right}, {2, row}, "7");
    add("text: Left at the start leaves", 2, {Qt::Key_Home, Qt::Key_Left}, {1, row}, "7");
    add("text: Right inside the text stays", 1, {Qt::Key_Home, Qt::Key_Right}, {1, row}, "12.5");
    add("text: Right at the end leaves", 1, {Qt::Key_End, Qt::Key_Right}, {2, row}, "12.5");
    add("drop-down: Left inside stays", 3, {Qt::Key_End, Qt::Key_Left}, {3, row}, "67.0");
    add("drop-down: Down, Right at the end", 3, {Qt::Key_Down, Qt::Key_End, Qt::Key_Right},
        {4, row}, "71.9");
    add("list: Left always leaves", 4, {Qt::Key_Left}, {3, row}, "HIGH");
    add("list: Down, Right", 4, {Qt::Key_Down, Qt::Key_Right}, {5, row}, "LOW");
}

void TestGrid::keysInEditor()
{
    QFETCH(int, col);
    QFETCH(QList<int>, keys);
    QFETCH(QPoint, to);
    QFETCH(QString, text);

    Bench bench(false);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.isActive());
    openByTyping(grid, col);
    for (int key : keys)
        press(key);

    QCOMPARE(QPoint(grid.Col(), grid.Row()), to);
    if (to == QPoint(col, kEditRow)) {
        QVERIFY(bench.commits.isEmpty());
        QCOMPARE(editorText(grid), text);
        return;
    }
    QCOMPARE(bench.commits.size(), 1);
    QCOMPARE(bench.commits.at(0), QVariantList({col, kEditRow, text}));
    // The grid stays in its editing state: the cell moved to opens its editor, if it has one.
    QCOMPARE(grid.activeEditor(), grid.Columns(to.x())->Editor());
    const QString cell = grid.Cells(to.x(), to.y());
    if (grid.activeEditor())
        QCOMPARE(editorText(grid), cell.isEmpty() ? u"12345678"_s : cell);
}

void TestGrid::enterCommits_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("committed");
    // The typed character opens the editor and is its choice: a list picks the item that
    // starts with it.
    const struct
    {
        const char *name;
        int col;
        const char *typed;
        const char *committed;
    } editors[] = {{"text", 1, "4", "4"}, {"drop-down", 3, "4", "4"}, {"list", 4, "l", "LOW"}};
    for (const auto &editor : editors) {
        const QString typed = QString::fromLatin1(editor.typed);
        const QString committed = QString::fromLatin1(editor.committed);
        QTest::addRow("%s: Return", editor.name)
            << editor.col << typed << int(Qt::Key_Return) << Qt::KeyboardModifiers() << committed;
        QTest::addRow("%s: keypad Enter", editor.name)
            << editor.col << typed << int(Qt::Key_Enter)
            << Qt::KeyboardModifiers(Qt::KeypadModifier) << committed;
    }
}

void TestGrid::enterCommits()
{
    QFETCH(int, col);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, committed);

    Bench bench(true);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.isActive());
    grid.setCurrentCell(col, kEditRow);
    type(typed);
    QVERIFY(grid.activeEditor());
    press(Qt::Key(key), u"\r"_s, modifiers);
    QCOMPARE(bench.commits.size(), 1);
    QCOMPARE(bench.commits.at(0), QVariantList({col, kEditRow, committed}));
    QCOMPARE(grid.activeEditor(), nullptr);
    QVERIFY(grid.hasFocus());
}

void TestGrid::passingThroughKeepsTheCells()
{
    // The arrows lead through drop-down cells whose texts the editors cannot show: an empty
    // cell that opens on the default text, and a text that is not in the list. Only a choice
    // by the user changes a cell.
    Bench bench(false);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.isActive());
    grid.setCells(3, kEditRow, QString());
    grid.setCells(4, kEditRow, u"WIDE"_s);
    openByTyping(grid, 2);
    press(Qt::Key_End);
    press(Qt::Key_Right);
    QCOMPARE(editorText(grid), u"NONE"_s);
    press(Qt::Key_Right); // to the end of the text, selected as in a text cell
    press(Qt::Key_Right);
    QCOMPARE(editorText(grid), u"HIGH"_s);
    press(Qt::Key_Right);
    QCOMPARE(grid.Col(), 5);
    QCOMPARE(bench.commits.size(), 3);
    QCOMPARE(bench.commits.at(1), QVariantList({3, kEditRow, QString()}));
    QCOMPARE(bench.commits.at(2), QVariantList({4, kEditRow, u"WIDE"_s}));
    QCOMPARE(grid.rowTexts(kEditRow), QStringList({"2", "12.5", "7", "", "WIDE", "free"}));

    // Enter on an editor left alone keeps the cell too; a choice from the list replaces it.
    grid.setCurrentCell(4, kEditRow);
    press(Qt::Key_F2);
    press(Qt::Key_Return);
    QCOMPARE(grid.Cells(4, kEditRow), u"WIDE"_s);
    press(Qt::Key_F2);
    press(Qt::Key_Down);
    press(Qt::Key_Up);
    press(Qt::Key_Return);
    QCOMPARE(grid.Cells(4, kEditRow), u"HIGH"_s);
}

void TestGrid::movingNeverChangesAValue_data()
{
    QTest::addColumn<int>("col"); // the drop-down the arrows lead onto
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QString>("text"); // the drop-down's cell afterwards
    const int r = kEditRow;
    const auto add = [](const char *name, int col, QList<int> keys, QPoint to, const char *text) {
        QTest::newRow(name) << col << keys << to << QString::fromLatin1(text);
    };
    // Passed through, the keys that would pick another item move on.
    add("list: Down", 4, {Qt::Key_Down}, {4, r + 1}, "HIGH");
    add("list: Up", 4, {Qt::Key_Up}, {4, r - 1}, "HIGH");
    add("list: PageDown", 4, {Qt::Key_PageDown}, {4, 7}, "HIGH");
    add("list: Home", 4, {Qt::Key_Home}, {1, r}, "HIGH");
    add("list: End", 4, {Qt::Key_End}, {5, r}, "HIGH");
    add("drop-down: Down", 3, {Qt::Key_Down}, {3, r + 1}, "67.0");
    add("drop-down: End", 3, {Qt::Key_End}, {5, r}, "67.0");
    // Once the user has opened its list (and closed it again), they choose in the list.
    const int altDown = (Qt::AltModifier | Qt::Key_Down).toCombined();
    add("list opened by F4", 4, {Qt::Key_F4, Qt::Key_F4, Qt::Key_Down}, {4, r}, "LOW");
    add("list opened by Alt+Down", 4, {altDown, altDown, Qt::Key_Down}, {4, r}, "LOW");
    add("list opened by a click", 4, {kClickEditor, Qt::Key_F4, Qt::Key_Down}, {4, r}, "LOW");
    add("list taken up by typing", 4, {Qt::Key_L, Qt::Key_Down}, {4, r}, "LOW");
    add("drop-down taken up by typing", 3, {Qt::Key_7, Qt::Key_Down}, {3, r}, "71.9");
    add("drop-down typed over", 3, {Qt::Key_1, Qt::Key_0, Qt::Key_0}, {3, r}, "100");
}

void TestGrid::movingNeverChangesAValue()
{
    QFETCH(int, col);
    QFETCH(QList<int>, keys);
    QFETCH(QPoint, to);
    QFETCH(QString, text);

    Bench bench(true);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.isActive());
    // The arrows lead onto the drop-down from the one beside it.
    grid.setCurrentCell(col == 3 ? 4 : 3, kEditRow);
    press(Qt::Key_F2);
    press(col == 3 ? Qt::Key_Left : Qt::Key_Right);
    QCOMPARE(grid.Col(), col);
    pressAll(grid, keys);
    QCOMPARE(QPoint(grid.Col(), grid.Row()), to);
    press(Qt::Key_Return, u"\r"_s);
    QCOMPARE(grid.Cells(col, kEditRow), text);
}

void TestGrid::escapeAbandonsTheEdit_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QList<int>>("keys");
    QTest::newRow("text typed over") << 1 << QList<int>{Qt::Key_9, Qt::Key_8};
    QTest::newRow("text opened by F2") << 2 << QList<int>{Qt::Key_F2, Qt::Key_Backspace};
    QTest::newRow("drop-down typed over") << 3 << QList<int>{Qt::Key_7};
    QTest::newRow("list, another item") << 4 << QList<int>{Qt::Key_F2, Qt::Key_Down};
}

void TestGrid::escapeAbandonsTheEdit()
{
    QFETCH(int, col);
    QFETCH(QList<int>, keys);

    Bench bench(true);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.isActive());
    const QStringList before = grid.rowTexts(kEditRow);
    grid.setCurrentCell(col, kEditRow);
    pressAll(grid, keys);
    QVERIFY(grid.activeEditor());
    press(Qt::Key_Escape);
    QVERIFY(grid.hasFocus());
    QVERIFY(bench.commits.isEmpty());
    QCOMPARE(grid.rowTexts(kEditRow), before);
    press(Qt::Key_Down); // the edit is over: the arrows only move
    QCOMPARE(grid.activeEditor(), nullptr);
}

void TestGrid::headerWidensAndNamesColumns_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("drag"); // pixels the right edge of the caption is dragged by
    QTest::newRow("text column wider") << 1 << 40;
    QTest::newRow("list column wider") << 4 << 25;
    QTest::newRow("drop-down column narrower") << 3 << -20;
}

void TestGrid::headerWidensAndNamesColumns()
{
    QFETCH(int, col);
    QFETCH(int, drag);

    Bench bench(true);
    QVERIFY(bench.isActive());
    bench.grid->Columns(col)->setCaption(u"Scrambler code"_s);
    QWidget *header = bench.grid->horizontalHeader()->viewport();
    const int width = bench.grid->ColWidths(col);
    const QPoint edge(bench.grid->horizontalHeader()->sectionViewportPosition(col) + width - 1, 5);
    QTest::mousePress(header, Qt::LeftButton, {}, edge);
    QTest::mouseMove(header, edge + QPoint(drag, 0));
    QTest::mouseRelease(header, Qt::LeftButton, {}, edge + QPoint(drag, 0));
    QCOMPARE(bench.grid->Columns(col)->Width(), width + drag);

    // The caption's full text is its header's tooltip, however narrow the column.
    const QPoint inside(bench.grid->horizontalHeader()->sectionViewportPosition(col) + 5, 5);
    QHelpEvent help(QEvent::ToolTip, inside, header->mapToGlobal(inside));
    QApplication::sendEvent(header, &help);
    QTRY_COMPARE(QToolTip::text(), u"Scrambler code"_s);
}

// The selection made from the edit row's first text cell, then Ctrl+C: "S+right" and "S+down"
// are Shift+arrows, "drag" drags the mouse over two cells, "row N" clicks a row's fixed cell
// (with Shift or Ctrl held when "shift"/"ctrl" comes first), "^A" is Ctrl+A.
void TestGrid::rangesAndCopy_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QRect>("selected");
    QTest::addColumn<QString>("copied");
    QTest::newRow("one cell") << u""_s << QRect(1, 2, 1, 1) << u"12.5\n"_s;
    QTest::newRow("shift arrows") << u"S+right,S+down"_s << QRect(1, 2, 2, 2) << u"12.5\t7\n\t\n"_s;
    QTest::newRow("mouse drag") << u"drag"_s << QRect(1, 2, 2, 1) << u"12.5\t7\n"_s;
    QTest::newRow("a row by its number")
        << u"row 2"_s << QRect(1, 2, 5, 1) << u"12.5\t7\t67.0\tHIGH\tfree\n"_s;
    QTest::newRow("rows apart") << u"row 2,ctrl,row 4"_s << QRect(1, 2, 5, 3)
                                << u"12.5\t7\t67.0\tHIGH\tfree\n\t\t\t\t\n"_s;
    QTest::newRow("a run of rows") << u"row 1,shift,row 2"_s << QRect(1, 1, 5, 2)
                                   << u"\t\t\t\t\n12.5\t7\t67.0\tHIGH\tfree\n"_s;
    QTest::newRow("select all") << u"^A"_s << QRect(1, 1, 5, 7) << QString();
}

void TestGrid::rangesAndCopy()
{
    QFETCH(QString, steps);
    QFETCH(QRect, selected);
    QFETCH(QString, copied);

    Bench bench(true);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.isActive());
    grid.setCurrentCell(1, kEditRow);
    QApplication::clipboard()->clear();
    Qt::KeyboardModifiers held;
    for (const QString &step : steps.split(u',', Qt::SkipEmptyParts)) {
        if (step == u"S+right" || step == u"S+down") {
            press(step == u"S+right" ? Qt::Key_Right : Qt::Key_Down, {}, Qt::ShiftModifier);
        } else if (step == u"drag") {
            QTest::mousePress(grid.viewport(), Qt::LeftButton, {},
                              grid.cellRect(1, kEditRow).center());
            QMouseEvent move(QEvent::MouseMove, grid.cellRect(2, kEditRow).center(),
                             grid.viewport()->mapToGlobal(grid.cellRect(2, kEditRow).center()),
                             Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(grid.viewport(), &move);
            QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {},
                                grid.cellRect(2, kEditRow).center());
        } else if (step.startsWith(u"row ")) {
            QHeaderView *numbers = grid.verticalHeader();
            const int y = numbers->sectionViewportPosition(step.mid(4).toInt()) + 5;
            QTest::mouseClick(numbers->viewport(), Qt::LeftButton, held, QPoint(5, y));
            held = {};
        } else if (step == u"shift" || step == u"ctrl") {
            held = step == u"shift" ? Qt::ShiftModifier : Qt::ControlModifier;
        } else if (step == u"^A") {
            press(Qt::Key_A, u"\x01"_s, Qt::ControlModifier);
        }
    }
    QCOMPARE(grid.selectedCells(), selected);
    QCOMPARE(grid.activeEditor(), nullptr);
    press(Qt::Key_C, u"\x03"_s, Qt::ControlModifier);
    if (!copied.isNull())
        QCOMPARE(QApplication::clipboard()->text(), copied);
    QVERIFY(bench.commits.isEmpty());
}

void TestGrid::committingAndMouse()
{
    Bench bench(true);
    TXStringGrid &grid = *bench.grid;
    QVERIFY(bench.isActive());

    // A new grid types into its first cell that is not fixed. Tab does not leave the edit;
    // Enter commits it.
    type(u"145.5"_s);
    QLineEdit *edit = activeEdit(grid);
    for (const int key : {Qt::Key_Tab, Qt::Key_Backtab})
        press(key);
    QCOMPARE(QApplication::focusWidget(), edit);
    QVERIFY(bench.commits.isEmpty());
    press(Qt::Key_Return);
    QCOMPARE(bench.commits.size(), 1);
    QCOMPARE(bench.commits.at(0), QVariantList({1, 1, u"145.5"_s}));
    QCOMPARE(grid.Cells(1, 1), u"145.5"_s);
    QVERIFY(grid.hasFocus());

    // After Enter the grid is still editing: Down opens the next channel's cell.
    press(Qt::Key_Down);
    QCOMPARE(grid.Row(), 2);
    QVERIFY(activeEdit(grid));

    // Leaving the grid for another control commits too.
    type(u"9"_s);
    bench.elsewhere->setFocus();
    QTRY_COMPARE(bench.commits.size(), 2);
    QCOMPARE(bench.commits.at(1), QVariantList({1, 2, u"9"_s}));

    // A list that can show neither the cell's text nor a default text must not blank the
    // cell when the user passes through it.
    bench.list->setDefaultText(QString());
    grid.setCells(4, kEditRow, u"WIDE"_s);
    grid.setFocus();
    grid.setCurrentCell(4, kEditRow);
    press(Qt::Key_F2);
    QCOMPARE(editorText(grid), QString());
    press(Qt::Key_Left);
    QCOMPARE(grid.Cells(4, kEditRow), u"WIDE"_s);

    // Tab on the grid itself moves on to the next control rather than to the next cell.
    press(Qt::Key_Return);
    press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), bench.elsewhere);
    QCOMPARE(grid.Col(), 3);

    // Clicking another cell commits the edit and only selects the clicked cell, which ends the
    // editing state: the arrows just move; typing edits the selected cell.
    grid.setFocus();
    bench.commits.clear();
    type(u"1"_s);
    click(grid, 2, 4);
    QCOMPARE(bench.commits.size(), 1);
    QCOMPARE(QPoint(grid.Col(), grid.Row()), QPoint(2, 4));
    QCOMPARE(grid.activeEditor(), nullptr);
    press(Qt::Key_Down);
    QCOMPARE(grid.Row(), 5);
    QCOMPARE(grid.activeEditor(), nullptr);
    type(u"7"_s);
    QCOMPARE(editorText(grid), u"7"_s);

    // A double click opens the editor on the cell's text.
    click(grid, 3, kEditRow, true);
    QCOMPARE(editorText(grid), grid.Cells(3, kEditRow));

    // Fixed cells can be made current neither by code nor by the mouse nor by the keyboard.
    grid.setCurrentCell(2, 3);
    grid.setCurrentCell(0, 4);
    grid.setCurrentCell(3, 0);
    QHeaderView *captions = grid.horizontalHeader();
    QTest::mouseClick(captions->viewport(), Qt::LeftButton, {},
                      QPoint(captions->sectionViewportPosition(4) + 5, 5));
    QCOMPARE(QPoint(grid.Col(), grid.Row()), QPoint(2, 3));
    QCOMPARE(grid.selectionModel()->selectedIndexes().size(), 1);
    grid.setCurrentCell(1, 1);
    for (int key : {Qt::Key_Up, Qt::Key_Left, Qt::Key_Home, Qt::Key_PageUp}) {
        press(key);
        QCOMPARE(QPoint(grid.Col(), grid.Row()), QPoint(1, 1));
    }
    // Even while editing, leaving towards a fixed cell stays on the first editable one.
    type(u"0"_s);
    press(Qt::Key_Up);
    QCOMPARE(QPoint(grid.Col(), grid.Row()), QPoint(1, 1));
    QCOMPARE(bench.commits.last(), QVariantList({1, 1, u"0"_s}));

    // A column without editor takes no typing, F2 or double click, and typed text does not jump
    // to a cell that starts with it.
    bench.commits.clear();
    grid.setCells(5, 6, u"f"_s);
    click(grid, 5, kEditRow);
    type(u"f4\b"_s);
    press(Qt::Key_F2);
    click(grid, 5, kEditRow, true);
    QCOMPARE(grid.activeEditor(), nullptr);
    QCOMPARE(grid.Cells(5, kEditRow), u"free"_s);
    QCOMPARE(grid.Row(), kEditRow);
    QVERIFY(bench.commits.isEmpty());

    // The window's commit check may rewrite the cell, or take the focus away (a message box
    // does): the check's text stays and the edit is committed once.
    // While it runs, the grid tells what the cell held before the commit.
    QString before;
    connect(&grid, &TXStringGrid::OnSetEditText, &grid, [&](int col, int row, const QString &text) {
        before = grid.textBeforeEdit();
        grid.setCells(col, row, text + u"0000"_s);
        bench.elsewhere->setFocus();
    });
    bench.commits.clear();
    grid.setCells(1, 3, u"145"_s);
    grid.setCurrentCell(1, 3);
    type(u"5"_s);
    press(Qt::Key_Down);
    QCOMPARE(bench.commits.size(), 1);
    QCOMPARE(grid.Cells(1, 3), u"50000"_s);
    QCOMPARE(before, u"145"_s);
    QCOMPARE(grid.Row(), 4);
}

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
