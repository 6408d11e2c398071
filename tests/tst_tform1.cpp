// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/serialports.h"
#include "app/tform1.h"
#include "grid/tcombocelleditor.h"
#include "grid/teditcelleditor.h"
#include "grid/txstringcolumnitem.h"
#include "grid/txstringgrid.h"
#include "i18n/language.h"
#include "i18n/ui/messagebox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace wf;
using namespace Qt::StringLiterals;

namespace {

QWidget *focused()
{
    return QApplication::focusWidget();
}

// Types text key by key into whatever has the focus, as a user's keyboard does.
void type(const QString &text)
{
    for (const QChar c : text) {
        if (c == u'\r')
            QTest::keyClick(focused(), Qt::Key_Return);
        else
            QTest::keyClicks(focused(), QString(c));
    }
}

} // namespace

class TestTForm1 final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsAsBuilt();
    void typingAFrequencyFillsAFreshRow();
    void unacceptableFrequenciesEmptyTheRow_data();
    void unacceptableFrequenciesEmptyTheRow();
    void toneEntries_data();
    void toneEntries();
    void characterFilter();
    void unreadableTextShowsTheMessage();
    void settingsBoxesTakeNoTyping();
    void functionKeysClickTheButtons();
    void activationRewritesChannelNumbers();
    void englishWindow();
    void portList();
    void smallScreenLayout();

private:
    // The window under test, shown and active, with the table focused on channel 1's receive
    // frequency.
    TForm1 &openWindow();
    std::unique_ptr<TForm1> m_form;
    QList<ShownMessage> m_messages;
};

void TestTForm1::init()
{
    setDisplayLanguageFlag(0);
    m_messages.clear();
    setMessageHook([this](const ShownMessage &message) { m_messages << message; });
}

void TestTForm1::cleanup()
{
    m_form.reset();
    setMessageHook({});
    setDisplayLanguageFlag(0);
}

TForm1 &TestTForm1::openWindow()
{
    m_form = std::make_unique<TForm1>();
    m_form->show();
    QApplication::setActiveWindow(m_form.get());
    if (!QTest::qWaitForWindowActive(m_form.get()))
        qFatal("the main window did not become active");
    m_form->xg->setFocus();
    if (!QTest::qWaitFor([this] { return m_form->xg->hasFocus(); }))
        qFatal("the channel table did not take the focus");
    return *m_form;
}

void TestTForm1::startsAsBuilt()
{
    TForm1 &form = openWindow();
    QCOMPARE(form.windowTitle(), u"中英文对讲机写频软件 V2.0"_s);
    QCOMPARE(form.N11->text(), u"文件(&F)"_s);
    QCOMPARE(form.wbtn->text(), u"写频(&W)(F11)"_s);
    for (QAction *item : {form.DTMF1, form.N2TONE1, form.N5TONE1, form.FSK1})
        QVERIFY(!item->isEnabled());
    QVERIFY(form.N12->isEnabled());

    QCOMPARE(form.xg->Cells(1, 0), u"接收频率"_s);
    QCOMPARE(form.xg->Cells(0, 16), u"16"_s);
    QCOMPARE(form.xg->Row(), 1);
    QCOMPARE(form.xg->Col(), 1);
    const SettingsTexts initial = {u"无"_s, u"1"_s,  u"0"_s,  u"60"_s, u"中文"_s,
                                   u"无"_s, u"无"_s, u"开"_s, u"开"_s, u"开"_s};
    QCOMPARE(form.settingsTexts(), initial);
    QCOMPARE(form.ComboBoxes[5]->count(), 13);
    QCOMPARE(form.ComboBoxes[5]->itemText(2), u"警报音"_s);

    QSignalSpy destroyed(form.N1, &QObject::destroyed);
    form.N1->trigger();
    QVERIFY(!form.isVisible());
}

void TestTForm1::typingAFrequencyFillsAFreshRow()
{
    TForm1 &form = openWindow();
    type(u"145.5\r"_s);
    const QStringList expected = {u"1"_s,     u"145.50000"_s, u"145.50000"_s, u"无"_s,
                                  u"无"_s,    u"高"_s,        u"宽带"_s,      u"有"_s,
                                  u"25000"_s, u"无"_s,        u"无"_s,        u"无"_s,
                                  u"无"_s,    u"DTMF"_s,      u"1"_s,         u"无"_s};
    QCOMPARE(form.xg->rowTexts(1), expected);
    QVERIFY(m_messages.isEmpty());

    // A cell of a row without receive frequency empties that row again.
    form.xg->setCurrentCell(5, 2);
    type(u"\r"_s);
    form.xg->setFocus();
    QTRY_VERIFY(form.xg->hasFocus());
    for (int c = 1; c < 16; ++c)
        QVERIFY(form.xg->Cells(c, 2).isEmpty());
    QCOMPARE(form.xg->Cells(0, 2), u"2"_s);
}

void TestTForm1::unacceptableFrequenciesEmptyTheRow_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("1000") << u"1000"_s;
    QTest::newRow("0") << u"0"_s;
    QTest::newRow("two points") << u"12.3.4"_s;
    QTest::newRow("letter") << u"14E"_s;
}

void TestTForm1::unacceptableFrequenciesEmptyTheRow()
{
    QFETCH(QString, typed);
    TForm1 &form = openWindow();
    type(u"145.5\r"_s);
    QCOMPARE(form.xg->Cells(5, 1), u"高"_s);
    form.xg->setCurrentCell(1, 1);
    type(typed + u"\r"_s);
    for (int c = 1; c < 16; ++c)
        QVERIFY2(form.xg->Cells(c, 1).isEmpty(), qPrintable(form.xg->Cells(c, 1)));
    QCOMPARE(form.xg->Cells(0, 1), u"1"_s);
}

void TestTForm1::toneEntries_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("67") << u"67"_s << u"67.0"_s;
    QTest::newRow("100") << u"100"_s << u"100.0"_s;
    QTest::newRow("350") << u"350"_s << u"300.0"_s;
    QTest::newRow("23N") << u"23N"_s << u"023N"_s;
    QTest::newRow("7I") << u"7I"_s << u"007I"_s;
    QTest::newRow("1234N") << u"1234N"_s << u"023N"_s;
    QTest::newRow("one typed in lower case") << u"one"_s << u"无"_s;
}

void TestTForm1::toneEntries()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    TForm1 &form = openWindow();
    type(u"145.5\r"_s);
    for (int col : {3, 4}) {
        form.xg->setFocus();
        QTRY_VERIFY(form.xg->hasFocus());
        form.xg->setCurrentCell(col, 1);
        type(typed + u"\r"_s);
        QCOMPARE(form.xg->Cells(col, 1), stored);
    }
}

void TestTForm1::characterFilter()
{
    TForm1 &form = openWindow();
    // "a" does nothing at all: no editor opens, nothing is written.
    type(u"a"_s);
    QVERIFY(!form.xg->activeEditor());
    QVERIFY(form.xg->Cells(1, 1).isEmpty());

    // "n" reaches the editor as "N".
    type(u"4n"_s);
    auto *editor = qobject_cast<TEditCellEditor *>(form.xg->activeEditor());
    QVERIFY(editor);
    QCOMPARE(editor->edit()->text(), u"4N"_s);
    type(u"x,-\r"_s);
    QVERIFY(form.xg->Cells(1, 1).isEmpty()); // 4N is no frequency: the row stays empty
}

void TestTForm1::unreadableTextShowsTheMessage()
{
    TForm1 &form = openWindow();
    type(u".\r"_s);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().text, u"'.' is not a valid floating point value"_s);
    QCOMPARE(m_messages.first().kind, MessageKind::Error);
    QCOMPARE(form.xg->Cells(1, 1), u"."_s);
}

void TestTForm1::settingsBoxesTakeNoTyping()
{
    TForm1 &form = openWindow();
    QComboBox *squelch = form.ComboBoxes[2];
    squelch->setFocus();
    QTRY_VERIFY(squelch->hasFocus() || squelch->isAncestorOf(focused()));
    type(u"5"_s);
    QCOMPARE(squelch->currentText(), u"0"_s);
    type(u"\r"_s);
    QCOMPARE(squelch->currentText(), u"0"_s);
    QWidget *next = form.ComboBoxes[3];
    QTRY_VERIFY(focused() == next || next->isAncestorOf(focused()));

    // The port box moves on to the read button.
    form.comcbb->setFocus();
    QTRY_VERIFY(form.comcbb->hasFocus());
    type(u"\r"_s);
    QTRY_COMPARE(focused(), form.rbtn);
}

void TestTForm1::functionKeysClickTheButtons()
{
    TForm1 &form = openWindow();
    // A port that cannot be opened: each click ends in the serial component's message.
    form.comcbb->addItem(u"/nonexistent/radio"_s);
    form.comcbb->setCurrentIndex(form.comcbb->count() - 1);
    QSignalSpy writes(form.wbtn, &QPushButton::clicked);
    QSignalSpy reads(form.rbtn, &QPushButton::clicked);
    QTest::keyClick(focused(), Qt::Key_F11);
    QTest::keyClick(focused(), Qt::Key_F12);
    QTest::keyClick(focused(), Qt::Key_F12);
    QCOMPARE(writes.size(), 1);
    QCOMPARE(reads.size(), 2);
    QCOMPARE(m_messages.size(), 3);
    for (const ShownMessage &message : m_messages)
        QCOMPARE(message.text, u"Error opening serial port"_s);
    QVERIFY(form.wbtn->isEnabled());
    QVERIFY(form.rbtn->isEnabled());
    QVERIFY(form.comcbb->isEnabled());
}

void TestTForm1::activationRewritesChannelNumbers()
{
    TForm1 &form = openWindow();
    form.xg->setCells(0, 5, u"x"_s);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&form, &activate);
    QCOMPARE(form.xg->Cells(0, 5), u"5"_s);
}

void TestTForm1::englishWindow()
{
    setDisplayLanguageFlag(-1);
    TForm1 &form = openWindow();
    QCOMPARE(form.windowTitle(), u"WRITE FREQ V2.0"_s);
    QCOMPARE(form.N11->text(), u"File"_s);
    QCOMPARE(form.xg->Cells(3, 0), u"QT/DQT Dec"_s);
    QCOMPARE(form.xg->Cells(11, 0), u"PTTID"_s);
    QCOMPARE(form.xg->ColWidths(6), 55);
    const SettingsTexts initial = {u"NONE"_s, u"1"_s,    u"0"_s,    u"60"_s,   u"CHINESE"_s,
                                   u"NONE"_s, u"NONE"_s, u"OPEN"_s, u"OPEN"_s, u"OPEN"_s};
    QCOMPARE(form.settingsTexts(), initial);
    QCOMPARE(form.ComboBoxes[5]->itemText(12), u"Emergency Alarm"_s);

    type(u"446.00625\r"_s);
    const QStringList expected = {u"1"_s,     u"446.00625"_s, u"446.00625"_s, u"NONE"_s,
                                  u"NONE"_s,  u"HIGH"_s,      u"WIDE"_s,      u"YES"_s,
                                  u"25000"_s, u"NONE"_s,      u"NONE"_s,      u"NONE"_s,
                                  u"NONE"_s,  u"DTMF"_s,      u"1"_s,         u"NONE"_s};
    QCOMPARE(form.xg->rowTexts(1), expected);

    // The English list editors have no default text: an empty power cell opens on nothing.
    auto *power = qobject_cast<TComboCellEditor *>(form.xg->Columns(5)->Editor());
    QVERIFY(power);
    QCOMPARE(power->Items(), (QStringList{u"HIGH"_s, u"LOW"_s}));
    QVERIFY(power->DefaultText().isEmpty());
}

void TestTForm1::portList()
{
    const QStringList system = {u"COM2"_s, u"COM10"_s, u"COM1"_s};
    QCOMPARE(sortedPortList(system, {}, u':'), (QStringList{u"COM1"_s, u"COM10"_s, u"COM2"_s}));
    QCOMPARE(sortedPortList(system, u"/tmp/radio::com3"_s, u':'),
             (QStringList{u"/tmp/radio"_s, u"COM1"_s, u"COM10"_s, u"COM2"_s, u"com3"_s}));
    QCOMPARE(sortedPortList({}, u"COM4;COM3"_s, u';'), (QStringList{u"COM3"_s, u"COM4"_s}));

    // The window lists what WRITEFREQ_PORTS adds to the system's ports, first one selected.
    const QByteArray saved = qgetenv("WRITEFREQ_PORTS");
    qputenv("WRITEFREQ_PORTS", "/tmp/zz-radio:/tmp/aa-radio");
    TForm1 &form = openWindow();
    qputenv("WRITEFREQ_PORTS", saved);
    QStringList shown;
    for (int i = 0; i < form.comcbb->count(); ++i)
        shown << form.comcbb->itemText(i);
    QCOMPARE(shown, sortedPortList(systemSerialPorts(), u"/tmp/zz-radio:/tmp/aa-radio"_s, u':'));
    QVERIFY(shown.contains(u"/tmp/aa-radio"_s));
    QCOMPARE(form.comcbb->currentIndex(), 0);
}

void TestTForm1::smallScreenLayout()
{
    TForm1 &form = openWindow();
    const QRect wideGrid = form.xg->geometry();
    form.AdaptToSmallScreen(QSize(1024, 768));
    QCOMPARE(form.xg->geometry(), wideGrid);

    form.ComboBoxes[2]->setCurrentIndex(5);
    form.AdaptToSmallScreen(QSize(800, 600));
    QCOMPARE(form.centralWidget()->size(), QSize(800, 545));
    QCOMPARE(form.xg->x(), 0);
    QCOMPARE(form.xg->size(), QSize(830, 370));
    QCOMPARE(form.xg->ColWidths(0), 50);
    QCOMPARE(form.xg->ColWidths(6), 31);
    QCOMPARE(form.xg->ColWidths(12), 26);
    for (QWidget *control : {static_cast<QWidget *>(form.comcbb), static_cast<QWidget *>(form.wbtn),
                             static_cast<QWidget *>(form.rbtn)})
        QCOMPARE(control->y(), 455);
    QCOMPARE(form.ComboBoxes[2]->currentText(), u"0"_s); // back to its initial text
}

QTEST_MAIN(TestTForm1)
#include "tst_tform1.moc"
