// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/firstpaint.h"
#include "app/serialports.h"
#include "app/startup.h"
#include "app/tform1.h"
#include "grid/txstringgrid.h"
#include "i18n/language.h"
#include "i18n/ui/messagebox.h"
#include "protocol/ui/tform3.h"
#include "support/ptypeer.h"

#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace wf;
using namespace Qt::StringLiterals;

namespace {

QStringList itemsOf(const QComboBox &box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}

/** The fixed cells of a grid as drawn: the header row and the number column, without the
 *  data cells between them. */
QImage fixedCells(TXStringGrid *grid)
{
    const QImage whole = grid->grab().toImage();
    QImage fixed(whole.size(), QImage::Format_RGB32);
    fixed.fill(Qt::white);
    for (const QWidget *part : {static_cast<QWidget *>(grid->horizontalHeader()),
                                static_cast<QWidget *>(grid->verticalHeader())}) {
        const QRect area = part->geometry();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                fixed.setPixel(x, y, whole.pixel(x, y));
        }
    }
    return fixed;
}

/** The lightness of the darkest pixel inside a fixed cell, its frame lines left out. */
int darkestInside(const QImage &image, const QRect &cell)
{
    int darkest = 255;
    const QRect inside = cell.adjusted(2, 2, -2, -2);
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            darkest = qMin(darkest, QColor(image.pixel(x, y)).lightness());
    }
    return darkest;
}

} // namespace

class TestStartup final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void commandLine_data();
    void commandLine();
    void helpAndVersion();
    void chosenPort_data();
    void chosenPort();
    void chosenPortInTheMainWindow();
    void worksAfterTheFirstPaint();
    void noWorkForAWindowGoneFirst();
    void fixedCellsReadableDuringATransfer();

private:
    std::unique_ptr<TForm1> m_form;
};

void TestStartup::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    initialiseApplication();
}

void TestStartup::cleanup()
{
    m_form.reset();
    setMessageHook({});
}

void TestStartup::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode"); // -1: the program goes on
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("dataFile");

    QTest::newRow("nothing") << QStringList{u"writefreq"_s} << -1 << QString() << QString();
    QTest::newRow("port") << QStringList{u"writefreq"_s, u"--port"_s, u"/tmp/ttyRADIO"_s} << -1
                          << u"/tmp/ttyRADIO"_s << QString();
    QTest::newRow("port with =") << QStringList{u"writefreq"_s, u"--port=/dev/ttyUSB0"_s} << -1
                                 << u"/dev/ttyUSB0"_s << QString();
    QTest::newRow("data file, as the launcher passes it")
        << QStringList{u"writefreq"_s, u"/home/tech/站点 A.wh"_s} << -1 << QString()
        << u"/home/tech/站点 A.wh"_s;
    QTest::newRow("both") << QStringList{u"writefreq"_s, u"radio.wh"_s, u"--port"_s, u"COM3"_s}
                          << -1 << u"COM3"_s << u"radio.wh"_s;
    QTest::newRow("port without a name")
        << QStringList{u"writefreq"_s, u"--port"_s} << 2 << QString() << QString();
    QTest::newRow("empty port name")
        << QStringList{u"writefreq"_s, u"--port"_s, QString()} << 2 << QString() << QString();
    QTest::newRow("unknown option")
        << QStringList{u"writefreq"_s, u"--baud"_s, u"4800"_s} << 2 << QString() << QString();
    QTest::newRow("two data files")
        << QStringList{u"writefreq"_s, u"a.wh"_s, u"b.wh"_s} << 2 << QString() << QString();
}

void TestStartup::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, port);
    QFETCH(QString, dataFile);

    const ParsedArguments parsed = parseArguments(arguments);
    QCOMPARE(parsed.exit, exitCode >= 0);
    if (parsed.exit) {
        QCOMPARE(parsed.exitCode, exitCode);
        QVERIFY2(parsed.output.startsWith(u"writefreq: "_s), qPrintable(parsed.output));
        return;
    }
    QCOMPARE(parsed.options.port, port);
    QCOMPARE(parsed.options.dataFile, dataFile);
}

void TestStartup::helpAndVersion()
{
    const ParsedArguments help = parseArguments({u"writefreq"_s, u"--help"_s});
    QVERIFY(help.exit);
    QCOMPARE(help.exitCode, 0);
    QVERIFY2(help.output.contains(u"--port <NAME>"_s), qPrintable(help.output));

    const ParsedArguments version = parseArguments({u"writefreq"_s, u"--version"_s});
    QVERIFY(version.exit);
    QCOMPARE(version.exitCode, 0);
    QVERIFY2(QRegularExpression(u"^writefreq \\d+\\.\\d+\n$"_s).match(version.output).hasMatch(),
             qPrintable(version.output));

    // Asked from a terminal with no display at all, the program answers without one.
    const QString program = qEnvironmentVariable("WRITEFREQ_GUI");
    QVERIFY2(QFileInfo(program).isExecutable(), "WRITEFREQ_GUI names no program");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    for (const auto &[option, expected] :
         {std::pair{u"--help"_s, u"--port <NAME>"_s}, std::pair{u"--version"_s, version.output}}) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, {option});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
        QVERIFY2(output.contains(expected), qPrintable(output));
    }
}

void TestStartup::chosenPort_data()
{
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<int>("chosen");

    const QStringList linux = {u"/dev/ttyS0"_s, u"/dev/ttyS1"_s, u"/dev/ttyUSB0"_s};
    QTest::newRow("listed") << linux << u"/dev/ttyUSB0"_s << linux << 2;
    QTest::newRow("virtual radio, sorts last")
        << linux << u"/tmp/writefreq-vradio-42"_s
        << QStringList{u"/dev/ttyS0"_s, u"/dev/ttyS1"_s, u"/dev/ttyUSB0"_s,
                       u"/tmp/writefreq-vradio-42"_s}
        << 3;
    QTest::newRow("pseudo-terminal, sorts first")
        << linux << u"/dev/pts/3"_s
        << QStringList{u"/dev/pts/3"_s, u"/dev/ttyS0"_s, u"/dev/ttyS1"_s, u"/dev/ttyUSB0"_s} << 0;
    QTest::newRow("between, without regard to case")
        << QStringList{u"COM1"_s, u"COM10"_s, u"COM2"_s} << u"com11"_s
        << QStringList{u"COM1"_s, u"COM10"_s, u"com11"_s, u"COM2"_s} << 2;
    QTest::newRow("empty list") << QStringList() << u"/tmp/ttyRADIO"_s
                                << QStringList{u"/tmp/ttyRADIO"_s} << 0;
    QTest::newRow("no port asked: the first stays chosen") << linux << QString() << linux << 0;
}

void TestStartup::chosenPort()
{
    QFETCH(QStringList, listed);
    QFETCH(QString, port);
    QFETCH(QStringList, shown);
    QFETCH(int, chosen);

    QComboBox box;
    box.addItems(listed);
    box.setCurrentIndex(listed.isEmpty() ? -1 : 0);
    selectPort(&box, port);
    QCOMPARE(itemsOf(box), shown);
    QCOMPARE(box.currentIndex(), chosen);
}

void TestStartup::chosenPortInTheMainWindow()
{
    // As the program entry does it: the window is shown with its port list still empty, and
    // fills it after the first paint. The list holds a built-in port before the radio's line,
    // as /dev/ttyS0 does on a PC; --port makes the radio's line the one F12 reads.
    m_form = std::make_unique<TForm1>(nullptr, TForm1::PortList::Later);
    QCOMPARE(m_form->comcbb->count(), 0);
    const QString line = u"/tmp/writefreq-vradio-7"_s;
    afterFirstPaint(m_form.get(), [this, line] {
        const QByteArray saved = qgetenv("WRITEFREQ_PORTS");
        qputenv("WRITEFREQ_PORTS", "/dev/aa-builtin:/dev/zz-other");
        m_form->fillPortList();
        qputenv("WRITEFREQ_PORTS", saved);
        selectPort(m_form->comcbb, line);
    });
    m_form->show();

    QTRY_COMPARE(m_form->comcbb->currentText(), line);
    const QStringList shown = itemsOf(*m_form->comcbb);
    QVERIFY(shown.contains(u"/dev/aa-builtin"_s));
    QCOMPARE(shown.indexOf(u"/dev/aa-builtin"_s), 0);
    QCOMPARE(shown.count(line), 1);
    QCOMPARE(shown, sortedPortList(shown, {}, u':'));
}

void TestStartup::worksAfterTheFirstPaint()
{
    QWidget window;
    window.resize(200, 100);
    int paints = 0;
    QStringList done;
    // Counts the paint events the window gets, as the work sees them.
    struct PaintCounter final : QObject
    {
        int *count;
        explicit PaintCounter(int *c)
            : count(c)
        {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                ++*count;
            return false;
        }
    } counter(&paints);
    window.installEventFilter(&counter);

    afterFirstPaint(&window, [&] { done << u"first at paint %1"_s.arg(paints); });
    afterFirstPaint(&window, [&] { done << u"second"_s; });
    QCoreApplication::processEvents();
    QVERIFY(done.isEmpty());

    window.show();
    QTRY_COMPARE(done, (QStringList{u"first at paint 1"_s, u"second"_s}));
    // Later paints run nothing again.
    window.repaint();
    QCoreApplication::processEvents();
    QCOMPARE(done.size(), 2);
}

void TestStartup::noWorkForAWindowGoneFirst()
{
    bool ran = false;
    {
        QWidget window;
        afterFirstPaint(&window, [&] { ran = true; });
    }
    QWidget other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    QCoreApplication::processEvents();
    QVERIFY(!ran);
}

void TestStartup::fixedCellsReadableDuringATransfer()
{
    PtyPeer radio; // a line on which no radio answers: the read waits, the window stays disabled
    QVERIFY(radio.isValid());
    setMessageHook([](const ShownMessage &message) { QFAIL(qPrintable(message.text)); });
    m_form = std::make_unique<TForm1>();
    selectPort(m_form->comcbb, radio.devicePath());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    TXStringGrid *grid = m_form->xg;
    const QImage before = fixedCells(grid);

    QTest::mouseClick(m_form->rbtn, Qt::LeftButton); // Read
    QTRY_VERIFY(m_form->Form3->isVisible());
    QVERIFY(!grid->isEnabled());
    const QImage during = fixedCells(grid);

    // The captions and the channel numbers look as they did, dark on the blue.
    QCOMPARE(during, before);
    const QHeaderView *top = grid->horizontalHeader();
    const QRect caption(top->x() + top->sectionViewportPosition(1), top->y(), top->sectionSize(1),
                        top->height());
    const QHeaderView *side = grid->verticalHeader();
    const QRect number(side->x(), side->y() + side->sectionViewportPosition(9), side->width(),
                       side->sectionSize(9));
    const int textLightness = grid->palette().color(QPalette::Active, QPalette::Text).lightness();
    QVERIFY2(darkestInside(during, caption) <= textLightness + 40,
             qPrintable(u"caption %1"_s.arg(darkestInside(during, caption))));
    QVERIFY2(darkestInside(during, number) <= textLightness + 40,
             qPrintable(u"number %1"_s.arg(darkestInside(during, number))));

    m_form->Form3->Button2->click(); // Cancel
    QTRY_VERIFY(grid->isEnabled());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
