// SPDX-License-Identifier: GPL-3.0-or-later
// The windows as a desktop shows them, read back from a real X server: their titles (Qt's xcb
// platform writes a window's title there with the application's display name appended unless the
// title already ends with it), whether a message box is wide enough for its title, and which
// window a signalling window stays in front of. A test on the offscreen platform sees none of it.
#include "app/startup.h"
#include "app/tform1.h"
#include "i18n/language.h"
#include "i18n/ui/messagebox.h"
#include "protocol/ui/tform3.h"
#include "signalling/dtmf/ui/tform2.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace wf;
using namespace Qt::StringLiterals;

namespace {

// The title the X server holds for a window: _NET_WM_NAME, the UTF-8 title desktops show.
// xprop prints it as bytes, so that the locale of the test plays no part.
QString serverTitle(const QWidget *window)
{
    QProcess xprop;
    xprop.start(u"xprop"_s, {u"-id"_s, QString::number(window->winId()), u"-notype"_s, u"-f"_s,
                             u"_NET_WM_NAME"_s, u"8x"_s, u" $0+\\n"_s, u"_NET_WM_NAME"_s});
    if (!xprop.waitForFinished(10000) || xprop.exitStatus() != QProcess::NormalExit ||
        xprop.exitCode() != 0)
        return u"<xprop failed: %1>"_s.arg(
            QString::fromLocal8Bit(xprop.readAllStandardError() + xprop.errorString().toUtf8()));
    // "_NET_WM_NAME 0xe6, 0x8f, ..." or "_NET_WM_NAME:  not found."
    static const QRegularExpression byte(u"0x([0-9a-fA-F]{1,2})"_s);
    QByteArray title;
    for (const QRegularExpressionMatch &match :
         byte.globalMatch(QString::fromLatin1(xprop.readAllStandardOutput())))
        title.append(char(match.captured(1).toInt(nullptr, 16)));
    return QString::fromUtf8(title);
}

// Properties of a window as the server holds them, as xprop prints them.
QString serverProperties(const QWidget *window, const QStringList &names)
{
    QProcess xprop;
    xprop.start(u"xprop"_s, QStringList{u"-id"_s, QString::number(window->winId())} + names);
    if (!xprop.waitForFinished(10000))
        return u"<xprop failed>"_s;
    return QString::fromLatin1(xprop.readAllStandardOutput());
}

// The title the server holds once it shows `expected`, or the last one it held.
QString titleOnceShown(const QWidget *window, const QString &expected)
{
    QString title;
    if (QTest::qWaitFor([&] {
            title = serverTitle(window);
            return title == expected;
        }))
        return expected;
    return title;
}

// Shows a message the way the program does, in a modal box, and returns the title the server
// held for the box while it was up, with "(too narrow)" when the box could not show it whole.
// The box is closed as soon as that is known.
QString titleOfMessageBox(const std::function<void()> &showMessage, const QString &expected)
{
    QString title = u"<no message box>"_s;
    QTimer::singleShot(0, qApp, [&] {
        QMessageBox *box = nullptr;
        if (!QTest::qWaitFor([&box] {
                box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                return box && box->isVisible();
            }))
            return;
        title = titleOnceShown(box, expected);
        // Room for the title in the font of the box, the icon and three buttons of a title bar.
        if (box->width() < box->fontMetrics().horizontalAdvance(title) + 100)
            title += u" (too narrow)"_s;
        box->accept();
    });
    showMessage();
    return title;
}

} // namespace

class TestXcbTitles final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void titles_data();
    void titles();
    void signallingWindowsStayWithTheMainWindow();
};

void TestXcbTitles::initTestCase()
{
    // These titles exist only on a real display; elsewhere there is nothing to read back.
    QCOMPARE(QGuiApplication::platformName(), u"xcb"_s);
    initialiseApplication();
}

void TestXcbTitles::cleanup()
{
    setDisplayLanguageFlag(0);
}

void TestXcbTitles::titles_data()
{
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<QString>("writing");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("success");
    QTest::newRow("Chinese") << Language::Chinese << u"中英文对讲机写频软件 V2.0"_s
                             << u"从对讲机读取数据"_s << u"向对讲机写入数据"_s
                             << u"中英文对讲机写频软件 V2.0"_s << u"提示"_s;
    QTest::newRow("English") << Language::English << u"WRITE FREQ V2.0"_s
                             << u"Read Data From Radio"_s << u"Write Data To Radio"_s
                             << u"WRITE FREQ V2.0"_s << u"WRITE FREQ V2.0"_s;
}

void TestXcbTitles::titles()
{
    QFETCH(Language, language);
    QFETCH(QString, window);
    QFETCH(QString, reading);
    QFETCH(QString, writing);
    QFETCH(QString, error);
    QFETCH(QString, success);

    setDisplayLanguageFlag(flagFor(language));
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(titleOnceShown(&form, window), window);

    TForm3 &progress = *form.Form3;
    const std::pair<TForm3::Transfer, QString> transfers[] = {{TForm3::Transfer::Read, reading},
                                                              {TForm3::Transfer::Write, writing}};
    for (const auto &[transfer, title] : transfers) {
        progress.prepare(transfer, language);
        progress.showTransfer();
        QVERIFY(QTest::qWaitForWindowExposed(&progress));
        QCOMPARE(titleOnceShown(&progress, title), title);
        progress.closeTransfer();
    }

    // The message boxes as the user gets them, not through a test's hook.
    setMessageHook({});
    QCOMPARE(titleOfMessageBox([&] { showError(&form, u"Error opening serial port"_s); }, error),
             error);
    QCOMPARE(titleOfMessageBox(
                 [&] { showSuccess(&form, u"读取成功!"_s, u"         READ SUCCEED!"_s); }, success),
             success);
}

void TestXcbTitles::signallingWindowsStayWithTheMainWindow()
{
    // In front of the main window because the main window owns it, not because it stays on top
    // of everything: the program's own dialogs and messages must be able to come in front of it.
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TForm2 dtmf(form.link(), *form.comcbb, &form);
    form.Form2 = &dtmf;
    form.DTMF1->setEnabled(true);
    form.DTMF1->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(&dtmf));
    QString properties;
    QVERIFY2(QTest::qWaitFor([&] {
                 properties = serverProperties(&dtmf, {u"WM_TRANSIENT_FOR"_s, u"_NET_WM_STATE"_s});
                 return properties.contains(u"WM_TRANSIENT_FOR(WINDOW): window id # "_s);
             }),
             qPrintable(properties));
    const QRegularExpression owner(u"window id # (0x[0-9a-f]+)"_s);
    QCOMPARE(owner.match(properties).captured(1).toULongLong(nullptr, 16), quint64(form.winId()));
    QVERIFY2(!properties.contains(u"_NET_WM_STATE_ABOVE"_s), qPrintable(properties));
}

QTEST_MAIN(TestXcbTitles)
#include "tst_xcb_titles.moc"
