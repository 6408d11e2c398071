// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tform1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("中英文对讲机写频软件 V2.0"));
    QApplication::setApplicationName(QStringLiteral("writefreq"));

    TForm1 form1;
    form1.show();
    return application.exec();
}
