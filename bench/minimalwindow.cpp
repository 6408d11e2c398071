// SPDX-License-Identifier: GPL-3.0-or-later
//
// writefreq-bench-minimal: the yardstick of the start-up benchmark, the least a Qt Widgets
// program does to show a window like the main window: a window of the given size holding a
// 17 x 16 table, captions in the first row and numbers in the first column.
//
//     writefreq-bench-minimal WIDTHxHEIGHT
//
// It takes part in the start-up probe (WRITEFREQ_STARTUP_PROBE) exactly as writefreq does.

#include "app/firstpaint.h"

#include <QApplication>
#include <QHeaderView>
#include <QMainWindow>
#include <QTableWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QSize size(902, 597);
    if (argc > 1) {
        const QStringList parts = QString::fromLocal8Bit(argv[1]).split(u'x');
        if (parts.size() == 2)
            size = QSize(parts[0].toInt(), parts[1].toInt());
    }

    QMainWindow window;
    auto *table = new QTableWidget(17, 16, &window);
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    for (int c = 0; c < 16; ++c) {
        table->setColumnWidth(c, 54);
        table->setItem(0, c, new QTableWidgetItem(QStringLiteral("Column %1").arg(c)));
    }
    for (int r = 1; r < 17; ++r)
        table->setItem(r, 0, new QTableWidgetItem(QString::number(r)));
    window.setCentralWidget(table);
    window.setFixedSize(size);
    wf::markWhenShown(&window);
    window.show();
    return application.exec();
}
