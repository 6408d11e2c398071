// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"
#include "app/tform1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    initialiseApplication();

    TForm1 form1;
    form1.show();
    return application.exec();
}
