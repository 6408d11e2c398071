// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tform1.h"
#include "grid/txstringgrid.h"
#include "i18n/language.h"
#include "i18n/ui/messagebox.h"
#include "support/vradioprocess.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace wf;
using namespace Qt::StringLiterals;

class TestTransfer final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void completeRead();

private:
    TForm1 &openWindow(const QString &port);
    std::unique_ptr<TForm1> m_form;
    QList<ShownMessage> m_messages;
};

void TestTransfer::init()
{
    setDisplayLanguageFlag(0);
    m_messages.clear();
    setMessageHook([this](const ShownMessage &message) { m_messages << message; });
}

void TestTransfer::cleanup()
{
    m_form.reset();
    setMessageHook({});
}

TForm1 &TestTransfer::openWindow(const QString &port)
{
    qputenv("WRITEFREQ_PORTS", port.toLocal8Bit());
    m_form = std::make_unique<TForm1>();
    qunsetenv("WRITEFREQ_PORTS");
    m_form->comcbb->setCurrentText(port);
    m_form->show();
    return *m_form;
}

void TestTransfer::completeRead()
{
    VirtualRadioProcess radio;
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    TForm1 &form = openWindow(radio.devicePath());
    QCOMPARE(form.comcbb->currentText(), radio.devicePath());

    form.rbtn->click();
    QVERIFY(!form.rbtn->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, 10000);
    QCOMPARE(m_messages.first().text, u"读取成功!"_s);
    QVERIFY(form.rbtn->isEnabled());
    QVERIFY(form.DTMF1->isEnabled());
    QVERIFY(!form.xg->Cells(1, 1).isEmpty());
    qDebug() << form.xg->rowTexts(1) << form.settingsTexts()[3];
}

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
