// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/serialports.h"
#include "app/tform1.h"
#include "channels/cellchecks.h"
#include "grid/tcombocelleditor.h"
#include "grid/teditcelleditor.h"
#include "grid/txstringcolumnitem.h"
#include "grid/txstringgrid.h"
#include "i18n/language.h"
#include "i18n/ui/messagebox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "support/questions.h"

#include <memory>
#include <optional>

using namespace wf;
using namespace Qt::StringLiterals;

namespace {

QWidget *focused()
{
    return QApplication::focusWidget();
}

// A key as the platform delivers it to whatever has the focus, with the text it carries:
// Delete comes with "\x7f", Ctrl+C with "\x03", keypad Enter with "\r".
void press(Qt::Key key, const QString &text = {}, Qt::KeyboardModifiers modifiers = {})
{
    QTest::sendKeyEvent(QTest::Click, focused(), key, text, modifiers);
}

// Types text key by key into whatever has the focus, as a user's keyboard does; "\b" is
// Backspace, "\x7f" Delete and "\r" Return.
void type(const QString &text)
{
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\r':
            press(Qt::Key_Return, QString(c));
            break;
        case u'\b':
            press(Qt::Key_Backspace, QString(c));
            break;
        case 0x7F:
            press(Qt::Key_Delete, QString(c));
            break;
        default:
            // A character key's code is its upper-case character: Qt::Key_A for "a", 0xFF13 for
            // the full-width "３".
            press(Qt::Key(c.toUpper().unicode()), QString(c));
        }
    }
}

// The text of the editor open in the table, whatever its kind.
QString editorText(const TXStringGrid &grid)
{
    if (const auto *edit = qobject_cast<TEditCellEditor *>(grid.activeEditor()))
        return edit->edit()->text();
    if (const auto *combo = qobject_cast<TComboCellEditor *>(grid.activeEditor()))
        return combo->combo()->currentText();
    return u"<no editor>"_s;
}

const QStringList kFreshRow = {u"1"_s,    u"145.50000"_s, u"145.50000"_s, u"无"_s, u"无"_s, u"高"_s,
                               u"宽带"_s, u"有"_s,        u"25000"_s,     u"无"_s, u"无"_s, u"无"_s,
                               u"无"_s,   u"DTMF"_s,      u"1"_s,         u"无"_s};

} // namespace

class TestTForm1 final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void signallingWindowsOpenBeside_data();
    void signallingWindowsOpenBeside();

    void startsAsBuilt();
    void typingAFrequencyFillsAFreshRow();
    void unacceptableFrequencies_data();
    void unacceptableFrequencies();
    void toneEntries_data();
    void toneEntries();
    void characterFilter_data();
    void characterFilter();
    void editingKeysPass();
    void enterEndsAnEdit_data();
    void enterEndsAnEdit();
    void copyAndPaste();
    void spreadsheetEditing_data();
    void spreadsheetEditing();
    void passingThroughKeepsUnlistedValues();
    void closingWithAnOpenEditor();
    void unreadableTextShowsTheMessage();
    void settingsBoxesTakeNoTyping();
    void functionKeysClickTheButtons();
    void activationRewritesChannelNumbers();
    void englishWindow();
    void altLettersStayAfterSwitches_data();
    void altLettersStayAfterSwitches();
    void portList();
    void smallScreenLayout();
    void writeRefusesWhatTheRadioCannotTake_data();
    void writeRefusesWhatTheRadioCannotTake();
    void undoAndRedo_data();
    void undoAndRedo();

private:
    // The window under test, shown and active, with the table focused on channel 1's receive
    // frequency.
    TForm1 &openWindow();
    std::unique_ptr<TForm1> m_form;
    QList<ShownMessage> m_messages;
    std::optional<QuestionRecorder> m_questions;
};

void TestTForm1::init()
{
    setDisplayLanguageFlag(0);
    m_messages.clear();
    setMessageHook([this](const ShownMessage &message) { m_messages << message; });
    m_questions.emplace();
}

void TestTForm1::cleanup()
{
    m_form.reset();
    m_questions.reset();
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
    QCOMPARE(form.windowTitle(), u"中英文对讲机写频软件 V2.0[*]"_s);
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

    form.N1->trigger();
    QVERIFY(!form.isVisible());
}

void TestTForm1::typingAFrequencyFillsAFreshRow()
{
    TForm1 &form = openWindow();
    type(u"145.5\r"_s);
    QCOMPARE(form.xg->rowTexts(1), kFreshRow);
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

void TestTForm1::unacceptableFrequencies_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("1000") << u"1000"_s << QString();
    QTest::newRow("0") << u"0"_s << QString();
    QTest::newRow("two points") << u"12.3.4"_s << QString();
    QTest::newRow("letter") << u"14E"_s << QString();
    QTest::newRow("no number") << u"."_s << u"'.' is not a valid floating point value"_s;
}

void TestTForm1::unacceptableFrequencies()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    TForm1 &form = openWindow();

    // A channel keeps its receive frequency and everything else.
    type(u"145.5\r"_s);
    form.xg->setCells(column::Power, 1, u"低"_s);
    QStringList channel = kFreshRow;
    channel[column::Power] = u"低"_s;
    form.xg->setCurrentCell(1, 1);
    type(typed + u"\r"_s);
    QCOMPARE(form.xg->rowTexts(1), channel);
    QCOMPARE(m_messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QCOMPARE(m_messages.first().text, message);

    // A row without a channel stays without one.
    m_messages.clear();
    form.xg->setFocus();
    QTRY_VERIFY(form.xg->hasFocus());
    form.xg->setCurrentCell(1, 2);
    type(typed + u"\r"_s);
    QCOMPARE(form.xg->Cells(0, 2), u"2"_s);
    for (int c = 2; c < 16; ++c)
        QVERIFY2(form.xg->Cells(c, 2).isEmpty(), qPrintable(form.xg->Cells(c, 2)));
    QCOMPARE(form.xg->Cells(1, 2), message.isEmpty() ? QString() : typed);
    QCOMPARE(m_messages.size(), message.isEmpty() ? 0 : 1);

    // Emptying the receive frequency is how a channel is deleted: Backspace opens the editor on
    // the frequency, all of it selected, and Delete takes it away.
    form.xg->setFocus();
    QTRY_VERIFY(form.xg->hasFocus());
    form.xg->setCurrentCell(1, 1);
    type(u"\b\x7f\r"_s);
    QCOMPARE(form.xg->Cells(0, 1), u"1"_s);
    for (int c = 1; c < 16; ++c)
        QVERIFY2(form.xg->Cells(c, 1).isEmpty(), qPrintable(form.xg->Cells(c, 1)));
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
    // Taken as typed, never completed from the list (82.5, 62.5, 100.0, 250.3).
    QTest::newRow("8") << u"8"_s << u"8.0"_s;
    QTest::newRow("6") << u"6"_s << u"6.0"_s;
    QTest::newRow("1") << u"1"_s << u"1.0"_s;
    QTest::newRow("25") << u"25"_s << u"25.0"_s;
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

void TestTForm1::characterFilter_data()
{
    // What the receive-frequency editor of channel 1 holds after the keys; the first key opens
    // it and is its first character.
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("digits and point") << u"145.5"_s << u"145.5"_s;
    QTest::newRow("lower case e, i, n, o turn upper case") << u"4eino"_s << u"4EINO"_s;
    QTest::newRow("upper case letters") << u"4EINO"_s << u"4EINO"_s;
    QTest::newRow("other letters and signs") << u"4axX,-+ /"_s << u"4"_s;
    QTest::newRow("full-width digits are no digits") << u"4\uFF13\uFF10"_s << u"4"_s;
    QTest::newRow("other digits neither") << u"4\u0663"_s << u"4"_s;
    QTest::newRow("Backspace") << u"45\b"_s << u"4"_s;
}

void TestTForm1::characterFilter()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    TForm1 &form = openWindow();
    type(typed);
    QVERIFY(qobject_cast<TEditCellEditor *>(form.xg->activeEditor()));
    QCOMPARE(editorText(*form.xg), shown);
    QVERIFY(form.xg->Cells(1, 1).isEmpty());
}

void TestTForm1::editingKeysPass()
{
    TForm1 &form = openWindow();
    // A character the filter drops opens no editor: the table stays as it is.
    for (const QString &dropped : {u"a"_s, u"\uFF13"_s, u" "_s}) {
        type(dropped);
        QVERIFY2(!form.xg->activeEditor(), qPrintable(dropped));
    }

    // Delete removes the character after the caret, in a text editor and in a tone editor.
    type(u"145.5"_s);
    press(Qt::Key_Home);
    type(u"\x7f"_s);
    QCOMPARE(editorText(*form.xg), u"45.5"_s);
    type(u"\r"_s);
    form.xg->setCurrentCell(3, 1);
    type(u"67"_s);
    press(Qt::Key_Left);
    press(Qt::Key_Left);
    type(u"\x7f"_s);
    QCOMPARE(editorText(*form.xg), u"7"_s);
    type(u"\r"_s);
    QCOMPARE(form.xg->Cells(3, 1), u"7.0"_s);

    // Space clicks the button that has the focus. The port cannot be opened, so the read ends
    // in the serial component's message.
    form.comcbb->addItem(u"/nonexistent/radio"_s);
    form.comcbb->setCurrentIndex(form.comcbb->count() - 1);
    QSignalSpy reads(form.rbtn, &QPushButton::clicked);
    form.rbtn->setFocus();
    QTRY_COMPARE(focused(), form.rbtn);
    press(Qt::Key_Space, u" "_s);
    QCOMPARE(reads.size(), 1);
    QCOMPARE(m_messages.size(), 1);
}

void TestTForm1::enterEndsAnEdit_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Return") << int(Qt::Key_Return) << Qt::KeyboardModifiers();
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter)
                                  << Qt::KeyboardModifiers(Qt::KeypadModifier);
}

void TestTForm1::enterEndsAnEdit()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    TForm1 &form = openWindow();
    type(u"145.5"_s);
    press(Qt::Key(key), u"\r"_s, modifiers);
    QCOMPARE(form.xg->rowTexts(1), kFreshRow);
    QVERIFY(!form.xg->activeEditor());
    QVERIFY(form.xg->hasFocus());

    // In a settings box Enter moves on to the next box.
    form.ComboBoxes[0]->setFocus();
    QTRY_VERIFY(form.ComboBoxes[0]->isAncestorOf(focused()) || focused() == form.ComboBoxes[0]);
    press(Qt::Key(key), u"\r"_s, modifiers);
    QWidget *next = form.ComboBoxes[1];
    QTRY_VERIFY(focused() == next || next->isAncestorOf(focused()));
    QCOMPARE(form.ComboBoxes[0]->currentText(), u"无"_s);
}

void TestTForm1::copyAndPaste()
{
    TForm1 &form = openWindow();
    QApplication::clipboard()->clear();
    type(u"145.5\r"_s);

    // F2 opens the editor with the cell's text all selected: Ctrl+C copies it.
    press(Qt::Key_F2);
    QCOMPARE(editorText(*form.xg), u"145.50000"_s);
    press(Qt::Key_C, u"\x03"_s, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), u"145.50000"_s);
    press(Qt::Key_Down);

    // Ctrl+V pastes it into the next channel, which becomes a fresh channel on Enter.
    QCOMPARE(form.xg->Row(), 2);
    press(Qt::Key_F2);
    press(Qt::Key_V, u"\x16"_s, Qt::ControlModifier);
    QCOMPARE(editorText(*form.xg), u"145.50000"_s);
    type(u"\r"_s);
    QStringList channel2 = kFreshRow;
    channel2[0] = u"2"_s;
    QCOMPARE(form.xg->rowTexts(2), channel2);
}

// Channels 1 to 3 hold 145.5, 146 and 147 MHz in the English window, channel 1's receive
// frequency current. Each row is what the user does, step by step: "row N" clicks channel N's
// number (with "shift"/"ctrl" held before it), "^C", "^V", "^X", "^A", "^Z" and "del" are keys,
// "S+right" and "S+down" extend the selection, and a name runs that entry of the Edit menu.
// The receive frequencies of channels 1 to 4, the clipboard, the messages and the step the Edit
// menu offers to redo are compared.
void TestTForm1::spreadsheetEditing_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("receive");
    QTest::addColumn<QString>("copied");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("redo");

    const QString plan = u"145.50000,146.00000,147.00000,"_s;
    QTest::newRow("paste from a spreadsheet, undo it")
        << u"145.5\t145.5\n146\t146\n"_s << u"row 3,^V"_s
        << u"145.50000,146.00000,145.50000,146.00000"_s << QString() << QString() << u"&Redo"_s;
    QTest::newRow("undo the paste") << u"145.5\t145.5\n146\t146\n"_s << u"row 3,^V,^Z"_s << plan
                                    << QString() << QString() << u"&Redo paste"_s;
    QTest::newRow("refused paste changes nothing")
        << u"150\n1000\n"_s << u"^V"_s << plan << QString()
        << u"Nothing was pasted: Channel 2 RX Freq cannot take \"1000\"."_s << u"&Redo"_s;
    QTest::newRow("copy whole channels")
        << QString() << u"row 2,shift,row 3,^C"_s << plan
        << u"146.00000\t146.00000\tNONE\tNONE\tHIGH\tWIDE\tYES\t25000\tNONE\tNONE\tNONE\tNONE\t"
           u"DTMF\t1\tNONE\n147.00000\t147.00000\tNONE\tNONE\tHIGH\tWIDE\tYES\t25000\tNONE\t"
           u"NONE\tNONE\tNONE\tDTMF\t1\tNONE\n"_s
        << QString() << u"&Redo"_s;
    QTest::newRow("cut channels by ctrl+click")
        << QString() << u"row 1,ctrl,row 3,^X"_s << u",146.00000,,"_s
        << u"145.50000\t145.50000\tNONE\tNONE\tHIGH\tWIDE\tYES\t25000\tNONE\tNONE\tNONE\tNONE\t"
           u"DTMF\t1\tNONE\n147.00000\t147.00000\tNONE\tNONE\tHIGH\tWIDE\tYES\t25000\tNONE\t"
           u"NONE\tNONE\tNONE\tDTMF\t1\tNONE\n"_s
        << QString() << u"&Redo"_s;
    QTest::newRow("delete clears the range") << QString() << u"S+down,del"_s << u",,147.00000,"_s
                                             << QString() << QString() << u"&Redo"_s;
    QTest::newRow("select all, delete, undo")
        << QString() << u"^A,del,^Z"_s << plan << QString() << QString() << u"&Redo clear"_s;
    QTest::newRow("delete channel")
        << QString() << u"row 2,DeleteChannels1"_s << u"145.50000,147.00000,,"_s << QString()
        << QString() << u"&Redo"_s;
    QTest::newRow("insert channel, undo, redo")
        << QString() << u"row 2,InsertChannel1,^Z,Redo1"_s << u"145.50000,,146.00000,147.00000"_s
        << QString() << QString() << u"&Redo"_s;
    QTest::newRow("move up, undo") << QString() << u"row 3,MoveUp1,^Z"_s << plan << QString()
                                   << QString() << u"&Redo move up"_s;
}

void TestTForm1::spreadsheetEditing()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, steps);
    QFETCH(QString, receive);
    QFETCH(QString, copied);
    QFETCH(QString, message);
    QFETCH(QString, redo);

    setDisplayLanguageFlag(1);
    TForm1 &form = openWindow();
    form.ApplyCaptions(Language::English);
    for (int channel = 1; channel <= 3; ++channel) {
        ChannelRow row = form.channelRow(channel);
        row[column::RxFrequency] = QStringList{u"145.5"_s, u"146"_s, u"147"_s}[channel - 1];
        QVERIFY(checkCommittedCell(row, column::RxFrequency, Language::English).ok());
        form.setChannelRow(channel, row);
    }
    form.document().replaced(ContentsOrigin::File);
    QApplication::clipboard()->setText(clipboard);

    Qt::KeyboardModifiers held;
    for (const QString &step : steps.split(u',')) {
        if (step.startsWith(u"row ")) {
            QHeaderView *numbers = form.xg->verticalHeader();
            const int y = numbers->sectionViewportPosition(step.mid(4).toInt()) + 5;
            QTest::mouseClick(numbers->viewport(), Qt::LeftButton, held, QPoint(5, y));
            held = {};
        } else if (step == u"shift" || step == u"ctrl") {
            held = step == u"shift" ? Qt::ShiftModifier : Qt::ControlModifier;
        } else if (step.startsWith(u'^')) {
            const char letter = step.at(1).toLatin1();
            press(Qt::Key(letter), QString(QChar(letter - 'A' + 1)), Qt::ControlModifier);
        } else if (step == u"del") {
            press(Qt::Key_Delete, u"\x7f"_s);
        } else if (step.startsWith(u"S+")) {
            press(step == u"S+right" ? Qt::Key_Right : Qt::Key_Down, {}, Qt::ShiftModifier);
        } else {
            QAction *action = form.findChild<QAction *>(step);
            QVERIFY2(action, qPrintable(step));
            action->trigger();
        }
    }
    QStringList shown;
    for (int channel = 1; channel <= 4; ++channel)
        shown << form.xg->Cells(column::RxFrequency, channel);
    QCOMPARE(shown.join(u','), receive);
    if (!copied.isNull())
        QCOMPARE(QApplication::clipboard()->text(), copied);
    QCOMPARE(m_messages.isEmpty() ? QString() : m_messages.first().text, message);
    QCOMPARE(form.Redo1->text(), redo);
    for (int channel = 1; channel <= kChannelCount; ++channel)
        QCOMPARE(form.xg->Cells(column::Number, channel), QString::number(channel));
}

void TestTForm1::passingThroughKeepsUnlistedValues()
{
    TForm1 &form = openWindow();
    type(u"145.5\r"_s);
    // A radio may hold values the lists do not offer; passing through their cells with the
    // arrows keeps them.
    QStringList channel = kFreshRow;
    channel[column::Scrambler] = u"11"_s;
    channel[column::SignallingInfo] = u"20"_s;
    channel[column::Step] = u"7500"_s;
    form.xg->setCells(column::Scrambler, 1, u"11"_s);
    form.xg->setCells(column::SignallingInfo, 1, u"20"_s);
    form.xg->setCells(column::Step, 1, u"7500"_s);
    form.xg->setCurrentCell(column::Power, 1);
    press(Qt::Key_F2);
    for (int col = column::Power; col < column::Compander; ++col)
        press(Qt::Key_Right);
    QCOMPARE(form.xg->Col(), int(column::Compander));
    type(u"\r"_s);
    QCOMPARE(form.xg->rowTexts(1), channel);
}

void TestTForm1::closingWithAnOpenEditor()
{
    // The window goes away while the user is typing a text that is no number: the edit is
    // dropped with the window, no message about it comes from a window that is gone.
    TForm1 &form = openWindow();
    type(u"."_s);
    QVERIFY(form.xg->activeEditor());
    m_form.reset();
    QVERIFY(m_messages.isEmpty());
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

    // The port box moves on to the write button, the next control on the screen.
    form.comcbb->setFocus();
    QTRY_VERIFY(form.comcbb->hasFocus());
    type(u"\r"_s);
    QTRY_COMPARE(focused(), form.wbtn);
}

void TestTForm1::functionKeysClickTheButtons()
{
    TForm1 &form = openWindow();
    // A port that cannot be opened: each click ends in the serial component's message.
    form.comcbb->addItem(u"/nonexistent/radio"_s);
    form.comcbb->setCurrentIndex(form.comcbb->count() - 1);
    QSignalSpy writes(form.wbtn, &QPushButton::clicked);
    QSignalSpy reads(form.rbtn, &QPushButton::clicked);
    // The starting table would replace the radio's channels: F11 asks first, and Cancel sends
    // nothing.
    m_questions->replies << Answer::Cancel;
    QTest::keyClick(focused(), Qt::Key_F11);
    QCOMPARE(m_messages.size(), 0);
    QTest::keyClick(focused(), Qt::Key_F11);
    QCOMPARE(m_questions->asked.size(), 2);
    QCOMPARE(m_questions->asked[0].text,
             u"信道表既不是从对讲机读出的，也不是从文件打开的，也没有编辑过：它是程序的初始值。"
             u"写频会用它替换对讲机中的信道和设置。"_s);
    QTest::keyClick(focused(), Qt::Key_F12);
    QTest::keyClick(focused(), Qt::Key_F12);
    QCOMPARE(writes.size(), 2);
    QCOMPARE(reads.size(), 2);
    QCOMPARE(m_messages.size(), 3);
    for (const ShownMessage &message : m_messages)
        QVERIFY2(message.text.startsWith(u"无法打开串口 /nonexistent/radio："_s),
                 qPrintable(message.text));
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
    QCOMPARE(form.windowTitle(), u"WRITE FREQ V2.0[*]"_s);
    QCOMPARE(form.N11->text(), u"&File"_s);
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

void TestTForm1::altLettersStayAfterSwitches_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("chinese");
    QTest::addColumn<QString>("english");
    QTest::newRow("File") << u"N11"_s << u"文件(&F)"_s << u"&File"_s;
    QTest::newRow("Open") << u"N12"_s << u"打开(&O)"_s << u"&Open"_s;
    QTest::newRow("Save") << u"N13"_s << u"保存(&S)"_s << u"&Save"_s;
    QTest::newRow("Exit") << u"N1"_s << u"退出(&E)"_s << u"&Exit"_s;
    QTest::newRow("Signalling") << u"N2"_s << u"信令编辑(&X)"_s << u"Si&gna"_s;
    QTest::newRow("Setup") << u"N3"_s << u"设置(&S)"_s << u"&Setup"_s;
    QTest::newRow("Language") << u"N4"_s << u"语言(&L)"_s << u"&Language"_s;
    QTest::newRow("Paste") << u"Paste1"_s << u"粘贴(&P)"_s << u"&Paste"_s;
    QTest::newRow("Insert Channel")
        << u"InsertChannel1"_s << u"插入信道(&I)"_s << u"&Insert Channel"_s;
    QTest::newRow("write button") << u"wbtn"_s << u"写频(&W)(F11)"_s << u"Write(&W)(F11)"_s;
    QTest::newRow("read button") << u"rbtn"_s << u"读频(&R)(F12)"_s << u"Read(&R)(F12)"_s;
}

void TestTForm1::altLettersStayAfterSwitches()
{
    QFETCH(QString, control);
    QFETCH(QString, chinese);
    QFETCH(QString, english);

    TForm1 &form = openWindow();
    const auto shown = [&form, &control] {
        if (const auto *action = form.findChild<QAction *>(control))
            return action->text();
        return form.findChild<QPushButton *>(control)->text();
    };
    QCOMPARE(shown(), chinese);
    for (const Language language : {Language::English, Language::Chinese, Language::English}) {
        form.ApplyCaptions(language);
        QCOMPARE(shown(), language == Language::English ? english : chinese);
    }
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

    // The window may have been laid out for the test platform's screen already; the fonts
    // scale from what they are now.
    const int gridPixels = form.xg->font().pixelSize();
    const double boxPoints = form.ComboBoxes[0]->font().pointSizeF();
    const double menuPoints = form.menuBar()->font().pointSizeF();
    form.ComboBoxes[2]->setCurrentIndex(5);
    form.AdaptToSmallScreen(QSize(800, 600));

    // The window itself is 800 x 545, its menu bar included, so that it fits the screen.
    QCOMPARE(form.size(), QSize(800, 545));
    QApplication::sendPostedEvents();
    const QRect client = form.centralWidget()->geometry();
    QCOMPARE(client.top(), form.menuBar()->geometry().bottom() + 1);
    QCOMPARE(client.bottom(), 544);
    QCOMPARE(client.width(), 800);

    QCOMPARE(form.xg->x(), 0);
    QCOMPARE(form.xg->size(), QSize(830, 370));
    QCOMPARE(form.xg->ColWidths(0), 50);
    QCOMPARE(form.xg->ColWidths(6), 31);
    QCOMPARE(form.xg->ColWidths(12), 26);
    for (QWidget *control : {static_cast<QWidget *>(form.comcbb), static_cast<QWidget *>(form.wbtn),
                             static_cast<QWidget *>(form.rbtn)})
        QCOMPARE(control->y(), 455);
    QCOMPARE(form.ComboBoxes[2]->currentText(), u"0"_s); // back to its initial text

    // Every font follows the factor nearer to 1, here the vertical one (540 / 630): the boxes'
    // point sizes, the table's pixel size, its columns and the menu bar.
    const double factor = 540.0 / 630.0;
    QCOMPARE(form.ComboBoxes[0]->font().pointSizeF(), boxPoints * factor);
    QCOMPARE(form.menuBar()->font().pointSizeF(), menuPoints * factor);
    const int pixels = qRound(gridPixels * factor);
    QVERIFY(pixels < gridPixels);
    QCOMPARE(form.xg->font().pixelSize(), pixels);
    QCOMPARE(form.xg->Columns(column::RxFrequency)->Font().pixelSize(), pixels);
    QCOMPARE(form.xg->Columns(column::Compander)->HeaderFont().pixelSize(), pixels);
}

void TestTForm1::writeRefusesWhatTheRadioCannotTake_data()
{
    QTest::addColumn<int>("row"); // 0: the settings panel
    QTest::addColumn<int>("col"); // or the settings box
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("a power word the radio lacks")
        << 1 << int(column::Power) << u"低 "_s << u"信道1 发射功率：'低 ' 不是可选的值（高、低）"_s;
    QTest::newRow("channel 9's tone") << 9 << int(column::EncodeTone) << u"67,0"_s
                                      << u"'67,0' is not a valid floating point value"_s;
    QTest::newRow("channel 16's receive frequency")
        << 16 << int(column::RxFrequency) << u"145.5x"_s
        << u"'145.5x' is not a valid floating point value"_s;
    QTest::newRow("a settings box")
        << 0 << int(setting::Beep) << u"响"_s << u"报警：'响' 不是可选的值（开、关）"_s;
}

void TestTForm1::writeRefusesWhatTheRadioCannotTake()
{
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, text);
    QFETCH(QString, message);

    // A data file brought a text the radio cannot take: F11 names it in the window's language,
    // shows where it is and stops before the port is even opened.
    TForm1 &form = openWindow();
    if (row == 0) {
        SettingsTexts settings = form.settingsTexts();
        settings[col] = text;
        form.setSettingsTexts(settings);
    } else {
        ChannelRow cells;
        std::copy(kFreshRow.begin(), kFreshRow.end(), cells.begin());
        cells[col] = text;
        form.setChannelRow(row, cells);
    }
    form.comcbb->addItem(u"/nonexistent/radio"_s);
    form.comcbb->setCurrentIndex(form.comcbb->count() - 1);
    QTest::keyClick(focused(), Qt::Key_F11);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().kind, MessageKind::Error);
    QCOMPARE(m_messages.first().text, message);
    if (row == 0)
        QCOMPARE(focused(), form.ComboBoxes[col]);
    else
        QCOMPARE(QPoint(form.xg->Col(), form.xg->Row()), QPoint(col, row));
    QVERIFY(form.wbtn->isEnabled());
    QVERIFY(form.comcbb->isEnabled());
}

void TestTForm1::signallingWindowsOpenBeside_data()
{
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("opensAt"); // of a 560 x 520 window
    QTest::newRow("room on the right")
        << QRect(291, 104, 904, 600) << QRect(0, 0, 1920, 1040) << QPoint(1195, 104);
    QTest::newRow("room on the left only")
        << QRect(800, 50, 904, 600) << QRect(0, 0, 1920, 1040) << QPoint(240, 50);
    QTest::newRow("no room: the screen's right edge")
        << QRect(291, 104, 904, 600) << QRect(0, 0, 1440, 870) << QPoint(880, 104);
    QTest::newRow("kept above the screen's bottom")
        << QRect(0, 600, 400, 300) << QRect(0, 0, 1440, 870) << QPoint(400, 350);
    QTest::newRow("a second screen")
        << QRect(1940, 30, 904, 600) << QRect(1920, 0, 1920, 1040) << QPoint(2844, 30);
}

void TestTForm1::signallingWindowsOpenBeside()
{
    QFETCH(QRect, main);
    QFETCH(QRect, screen);
    QFETCH(QPoint, opensAt);
    QCOMPARE(besideWindow(main, QSize(560, 520), screen), opensAt);
}

void TestTForm1::undoAndRedo_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("captions"); // Undo and Redo: bare, then naming the step
    QTest::newRow("Chinese") << 0
                             << QStringList{u"撤销(&U)"_s, u"重做(&R)"_s, u"撤销编辑(&U)"_s,
                                            u"重做编辑(&R)"_s, u"撤销修改设置(&U)"_s};
    QTest::newRow("English") << -1
                             << QStringList{u"&Undo"_s, u"&Redo"_s, u"&Undo edit"_s,
                                            u"&Redo edit"_s, u"&Undo setting change"_s};
}

void TestTForm1::undoAndRedo()
{
    QFETCH(int, language);
    QFETCH(QStringList, captions);
    setDisplayLanguageFlag(language);
    TForm1 &form = openWindow();
    QCOMPARE(form.Undo1->text(), captions[0]);
    QVERIFY(!form.Undo1->isEnabled());

    // One commit is one step, with what the check did to the rest of the row.
    type(u"145.5\r"_s);
    QCOMPARE(form.xg->Cells(column::TxFrequency, 1), u"145.50000"_s);
    QCOMPARE(form.Undo1->text(), captions[2]);
    press(Qt::Key_Z, u"\x1a"_s, Qt::ControlModifier);
    for (int c = 1; c < 16; ++c)
        QCOMPARE(form.xg->Cells(c, 1), QString());
    QVERIFY(!form.isWindowModified());
    QCOMPARE(form.Redo1->text(), captions[3]);
    press(Qt::Key_Y, u"\x19"_s, Qt::ControlModifier);
    QCOMPARE(form.xg->Cells(column::RxFrequency, 1), u"145.50000"_s);
    QVERIFY(form.isWindowModified());

    // A settings box chosen from its list is a step of its own.
    QComboBox *squelch = form.ComboBoxes[setting::Squelch];
    const QString before = squelch->currentText();
    squelch->setFocus();
    press(Qt::Key_Down);
    QVERIFY(squelch->currentText() != before);
    QCOMPARE(form.Undo1->text(), captions[4]);
    form.Undo1->trigger();
    QCOMPARE(squelch->currentText(), before);
    QCOMPARE(form.xg->Cells(column::RxFrequency, 1), u"145.50000"_s);
}

QTEST_MAIN(TestTForm1)
#include "tst_tform1.moc"
