// SPDX-License-Identifier: GPL-3.0-or-later
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

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    initialiseApplication();

    // The main window first; the signalling windows share its line and its port list.
    TForm1 form1;
    wf::IniFile ini(wf::iniFilePath());
    form1.startLanguage(wf::startupLanguage(ini));
    TForm2 form2(form1.link(), *form1.comcbb);
    TForm4 form4(form1.link(), *form1.comcbb);
    TForm5 form5(form1.link(), *form1.comcbb);
    TForm6 form6(form1.link(), *form1.comcbb);
    form1.Form2 = &form2;
    form1.Form4 = &form4;
    form1.Form5 = &form5;
    form1.Form6 = &form6;
    TForm7 form7(form1);
    form1.Form7 = &form7;
    form1.show();
    return application.exec();
}
