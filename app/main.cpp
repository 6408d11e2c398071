// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/firstpaint.h"
#include "app/startup.h"
#include "app/tform1.h"
#include "app/tform7.h"
#include "i18n/inifile.h"
#include "i18n/languagesettings.h"
#include "signalling/dtmf/ui/tform2.h"
#include "signalling/fivetone/ui/tform5.h"
#include "signalling/fsk/ui/tform6.h"
#include "signalling/twotone/ui/tform4.h"

#include <QApplication>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    // The arguments are read before the window system is asked for: --help, --version and a
    // mistyped option answer on a terminal that has no display.
    wf::ParsedArguments parsed;
    {
        QCoreApplication arguments(argc, argv);
        initialiseApplication();
        parsed = wf::parseArguments(QCoreApplication::arguments());
    }
    if (parsed.exit) {
        std::fputs(qPrintable(parsed.output), parsed.exitCode == 0 ? stdout : stderr);
        return parsed.exitCode;
    }

    QApplication application(argc, argv);
    initialiseApplication();

    // The main window first; the signalling windows share its line and its port list.
    TForm1 form1(nullptr, TForm1::PortList::Later);
    wf::IniFile ini(wf::iniFilePath());
    form1.startLanguage(wf::startupLanguage(ini));
    TForm7 form7(form1);
    form1.Form7 = &form7;
    // The port list is filled and the signalling windows are made as soon as the main window is
    // on the screen, not before: the user sees it sooner, the system may take a while to list
    // its serial ports, and no signalling window can be opened before a complete read.
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm4> form4;
    std::unique_ptr<TForm5> form5;
    std::unique_ptr<TForm6> form6;
    wf::markWhenShown(&form1);
    wf::afterFirstPaint(&form1, [&] {
        form1.fillPortList();
        wf::selectPort(form1.comcbb, parsed.options.port);
        form2 = std::make_unique<TForm2>(form1.link(), *form1.comcbb, &form1);
        form4 = std::make_unique<TForm4>(form1.link(), *form1.comcbb, &form1);
        form5 = std::make_unique<TForm5>(form1.link(), *form1.comcbb, &form1);
        form6 = std::make_unique<TForm6>(form1.link(), *form1.comcbb, &form1);
        form1.Form2 = form2.get();
        form1.Form4 = form4.get();
        form1.Form5 = form5.get();
        form1.Form6 = form6.get();
        if (!parsed.options.dataFile.isEmpty())
            form1.LoadDataFile(parsed.options.dataFile);
    });
    form1.show();
    return application.exec();
}
