// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader finds in the grids: a table of the cells a user edits, headed by the
// captions and the channel or memory numbers, never those as one more row and column of data.
#include "app/tform1.h"
#include "grid/txstringgrid.h"
#include "i18n/language.h"
#include "i18n/ui/messagebox.h"
#include "signalling/dtmf/ui/tform2.h"

#include <QAccessible>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace wf;
using namespace Qt::StringLiterals;

namespace {

QStringList names(const QList<QAccessibleInterface *> &cells)
{
    QStringList texts;
    for (QAccessibleInterface *cell : cells)
        texts << cell->text(QAccessible::Name);
    return texts;
}

} // namespace

class TestGridAccessibility final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void tableOfEditedCells_data();
    void tableOfEditedCells();
    void currentCellIsFocusedAndSelected();

private:
    TXStringGrid *grid(const QString &name) const;

    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<TForm1> m_main;
    std::unique_ptr<TForm2> m_dtmf;
};

void TestGridAccessibility::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
    setDisplayLanguageFlag(0);
    setMessageHook([](const ShownMessage &) {});
    m_main = std::make_unique<TForm1>();
    m_dtmf = std::make_unique<TForm2>(m_main->link(), *m_main->comcbb);
    m_main->Form2 = m_dtmf.get();
    m_main->show();
}

void TestGridAccessibility::cleanup()
{
    m_dtmf.reset();
    m_main.reset();
    setMessageHook({});
}

TXStringGrid *TestGridAccessibility::grid(const QString &name) const
{
    return name == u"xg"_s ? m_main->xg : m_dtmf->xg2;
}

void TestGridAccessibility::tableOfEditedCells_data()
{
    QTest::addColumn<QString>("gridName");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("col"); // the stored cell typed into, fixed row and column counted
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("columnHeader");
    QTest::addColumn<QString>("rowHeader");

    QTest::newRow("channels") << u"xg"_s << 16 << 15 << 1 << 1 << u"145.50000"_s << u"接收频率"_s
                              << u"1"_s;
    QTest::newRow("last channel") << u"xg"_s << 16 << 15 << 2 << 16 << u"430.12500"_s
                                  << u"发射频率"_s << u"16"_s;
    QTest::newRow("DTMF memories")
        << u"xg2"_s << 16 << 1 << 1 << 3 << u"123#"_s << u"自动拨号存储器"_s << u"3"_s;
}

void TestGridAccessibility::tableOfEditedCells()
{
    QFETCH(QString, gridName);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(QString, columnHeader);
    QFETCH(QString, rowHeader);

    TXStringGrid *xg = grid(gridName);
    xg->setCells(col, row, text);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(xg);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::Table);
    QAccessibleTableInterface *table = iface->tableInterface();
    QVERIFY(table);
    QCOMPARE(table->rowCount(), rows);
    QCOMPARE(table->columnCount(), columns);

    QAccessibleInterface *cell = table->cellAt(row - 1, col - 1);
    QVERIFY(cell);
    QCOMPARE(cell->role(), QAccessible::Cell);
    QCOMPARE(cell->text(QAccessible::Name), text);
    QAccessibleTableCellInterface *cellInfo = cell->tableCellInterface();
    QVERIFY(cellInfo);
    QCOMPARE(cellInfo->rowIndex(), row - 1);
    QCOMPARE(cellInfo->columnIndex(), col - 1);
    QCOMPARE(names(cellInfo->columnHeaderCells()), QStringList{columnHeader});
    QCOMPARE(cellInfo->columnHeaderCells().value(0)->role(), QAccessible::ColumnHeader);
    QCOMPARE(names(cellInfo->rowHeaderCells()), QStringList{rowHeader});
    QCOMPARE(cellInfo->rowHeaderCells().value(0)->role(), QAccessible::RowHeader);
    // A screen reader walking the children meets the very same cell.
    QCOMPARE(cell->parent(), iface);
    QCOMPARE(iface->child(iface->indexOfChild(cell)), cell);
}

void TestGridAccessibility::currentCellIsFocusedAndSelected()
{
    TXStringGrid *xg = m_main->xg;
    m_main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    xg->setFocus();
    QTRY_VERIFY(xg->hasFocus());

    xg->setCells(3, 5, u"CH5"_s);
    QTest::mouseClick(xg->viewport(), Qt::LeftButton, {}, xg->cellRect(3, 5).center());

    QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(xg)->tableInterface();
    QAccessibleInterface *current = table->cellAt(4, 2);
    QCOMPARE(current->text(QAccessible::Name), u"CH5"_s);
    QVERIFY(current->state().focused);
    QVERIFY(current->state().selected);
    QVERIFY(!table->cellAt(0, 0)->state().focused);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(xg);
    QCOMPARE(iface->focusChild(), current);
    // Pointing at the cell on the screen finds it, and pointing at its caption finds the header.
    const QPoint onCell = xg->viewport()->mapToGlobal(xg->cellRect(3, 5).center());
    QVERIFY(current->rect().contains(onCell));
    QCOMPARE(iface->childAt(onCell.x(), onCell.y()), current);
    QHeaderView *captions = xg->horizontalHeader();
    const QPoint onCaption = captions->viewport()->mapToGlobal(
        QPoint(captions->sectionViewportPosition(3) + 2, captions->height() / 2));
    QAccessibleInterface *caption = iface->childAt(onCaption.x(), onCaption.y());
    QCOMPARE(caption, current->tableCellInterface()->columnHeaderCells().value(0));
    QCOMPARE(caption->text(QAccessible::Name), u"QT/DQT解码"_s);
    QCOMPARE(table->selectedCells(), QList<QAccessibleInterface *>{current});
    QCOMPARE(table->selectedRows(), QList<int>{}); // one cell of fifteen
}

QTEST_MAIN(TestGridAccessibility)
#include "tst_gridaccessibility.moc"
