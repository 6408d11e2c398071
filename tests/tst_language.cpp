// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tform1.h"
#include "app/tform7.h"
#include "channels/channeltable.h"
#include "grid/tcelleditor.h"
#include "grid/txstringcolumnitem.h"
#include "grid/txstringgrid.h"
#include "i18n/captions.h"
#include "i18n/inifile.h"
#include "i18n/language.h"
#include "i18n/languagesettings.h"
#include "i18n/ui/messagebox.h"
#include "protocol/ui/tform3.h"
#include "signalling/dtmf/dtmfcontrols.h"
#include "signalling/dtmf/ui/tform2.h"
#include "signalling/fivetone/fivetonecontrols.h"
#include "signalling/fivetone/ui/tform5.h"
#include "signalling/fsk/fskcontrols.h"
#include "signalling/fsk/ui/tform6.h"
#include "signalling/twotone/twotonecontrols.h"
#include "signalling/twotone/ui/tform4.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <memory>

using namespace wf;
using namespace Qt::StringLiterals;

namespace {

// The text a control shows for a row of a caption table.
QString shownCaption(QWidget *window, QStringView control, int column)
{
    if (control == window->objectName())
        return window->windowTitle().remove(u"[*]"_s); // the mark of changes is no caption
    QObject *object = window->findChild<QObject *>(control.toString());
    if (column != kNoColumn)
        return qobject_cast<TXStringGrid *>(object)->Columns(column)->Caption();
    if (auto *action = qobject_cast<QAction *>(object))
        return action->text();
    if (auto *button = qobject_cast<QAbstractButton *>(object))
        return button->text();
    if (auto *label = qobject_cast<QLabel *>(object))
        return label->text();
    if (auto *group = qobject_cast<QGroupBox *>(object))
        return group->title();
    if (auto *page = qobject_cast<QWidget *>(object)) {
        auto *tabs = qobject_cast<QTabWidget *>(page->parentWidget()->parentWidget());
        return tabs ? tabs->tabText(tabs->indexOf(page)) : QString();
    }
    return QString();
}

// Every caption of a signalling window's table, as the window shows it in `language`.
template<std::size_t N>
void verifyCaptions(QWidget *window, const Caption (&table)[N], Language language)
{
    for (const Caption &row : table) {
        QCOMPARE(shownCaption(window, row.control, row.column), row.text.in(language).toString());
    }
}

// What Qt's own dialogs call their Cancel button.
QString qtCancelText()
{
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    return box.button(QDialogButtonBox::Cancel)->text();
}

void writeIni(const QString &path, const QString &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QTextCodec::codecForName("GBK")->fromUnicode(text));
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

Q_DECLARE_METATYPE(wf::Language)

class TestLanguage final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUp_data();
    void startUp();
    void switchBothWays();
    void storedLanguageOnlyClosesTheSignallingWindows();
    void cancelAndTypedKeys();
    void refusedWhileATransferRuns();
    void failedIniWriteKeepsTheShownLanguage();

private:
    void openWindows();

    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<TForm1> m_main;
    std::unique_ptr<TForm2> m_dtmf;
    std::unique_ptr<TForm4> m_twoTone;
    std::unique_ptr<TForm5> m_fiveTone;
    std::unique_ptr<TForm6> m_fsk;
    std::unique_ptr<TForm7> m_dialog;
    QList<ShownMessage> m_messages;
};

void TestLanguage::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    QVERIFY(m_config->isValid());
    qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
    setDisplayLanguageFlag(0);
    m_messages.clear();
    setMessageHook([this](const ShownMessage &message) { m_messages << message; });
}

void TestLanguage::cleanup()
{
    m_dialog.reset();
    m_fsk.reset();
    m_fiveTone.reset();
    m_twoTone.reset();
    m_dtmf.reset();
    m_main.reset();
    setMessageHook({});
    setDisplayLanguageFlag(0);
}

void TestLanguage::openWindows()
{
    // As the program entry does: the main window reads the INI file, the others follow the flag.
    m_main = std::make_unique<TForm1>();
    IniFile ini(iniFilePath());
    m_main->startLanguage(startupLanguage(ini));
    m_dialog = std::make_unique<TForm7>(*m_main);
    m_dtmf = std::make_unique<TForm2>(m_main->link(), *m_main->comcbb);
    m_twoTone = std::make_unique<TForm4>(m_main->link(), *m_main->comcbb);
    m_fiveTone = std::make_unique<TForm5>(m_main->link(), *m_main->comcbb);
    m_fsk = std::make_unique<TForm6>(m_main->link(), *m_main->comcbb);
    m_main->Form2 = m_dtmf.get();
    m_main->Form4 = m_twoTone.get();
    m_main->Form5 = m_fiveTone.get();
    m_main->Form6 = m_fsk.get();
    m_main->Form7 = m_dialog.get();
    m_main->show();
}

void TestLanguage::startUp_data()
{
    QTest::addColumn<QString>("ini"); // empty: no file
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("fileMenu");
    QTest::addColumn<QString>("writeButton");
    QTest::addColumn<QString>("rxCaption");

    QTest::newRow("no file: created Chinese, built-in captions")
        << QString() << Language::Chinese << u"文件(&F)"_s << u"写频(&W)(F11)"_s << u"接收频率"_s;
    QTest::newRow("1: English") << u"[language]\r\n语言=1\r\n"_s << Language::English << u"&File"_s
                                << u"Write(&W)(F11)"_s << u"RX Freq"_s;
    QTest::newRow("no key: English") << u"[language]\r\n"_s << Language::English << u"&File"_s
                                     << u"Write(&W)(F11)"_s << u"RX Freq"_s;
    QTest::newRow("not a number: English") << u"[language]\n语言=yes\n"_s << Language::English
                                           << u"&File"_s << u"Write(&W)(F11)"_s << u"RX Freq"_s;
    QTest::newRow("0: Chinese") << u"[language]\r\n语言=0\r\n"_s << Language::Chinese
                                << u"文件(&F)"_s << u"写频(&W)(F11)"_s << u"接收频率"_s;
    QTest::newRow("renamed in English")
        << u"[language]\r\n语言=1\r\n[中文]\r\n文件=FILE!\r\n写频=WRITE!\r\n"_s << Language::English
        << u"&FILE!"_s << u"&WRITE!"_s << u"RX Freq"_s;
    QTest::newRow("the English key does not rename in Chinese")
        << u"[language]\r\n语言=0\r\n[中文]\r\n文件=FILE!\r\n"_s << Language::Chinese
        << u"文件(&F)"_s << u"写频(&W)(F11)"_s << u"接收频率"_s;
    QTest::newRow("renamed in Chinese")
        << u"[language]\r\n语言=0\r\n[中文]\r\nFile=档案\r\n"_s << Language::Chinese
        << u"档案(&F)"_s << u"写频(&W)(F11)"_s << u"接收频率"_s;
    QTest::newRow("column renamed in Chinese")
        << u"[language]\r\n语言=0\r\n[中文]\r\nRX Freq=收信频率\r\n"_s << Language::Chinese
        << u"文件(&F)"_s << u"写频(&W)(F11)"_s << u"收信频率"_s;
    QTest::newRow("column renamed in English")
        << u"[language]\r\n语言=1\r\n[中文]\r\n接收频率=RX MHz\r\n"_s << Language::English
        << u"&File"_s << u"Write(&W)(F11)"_s << u"RX MHz"_s;
}

void TestLanguage::startUp()
{
    QFETCH(QString, ini);
    QFETCH(Language, language);
    QFETCH(QString, fileMenu);
    QFETCH(QString, writeButton);
    QFETCH(QString, rxCaption);

    const QString path = iniFilePath();
    QVERIFY(path.startsWith(m_config->path()));
    if (!ini.isEmpty())
        writeIni(path, ini);
    openWindows();
    QCOMPARE(displayLanguage(), language);
    QCOMPARE(m_main->N11->text(), fileMenu);
    QCOMPARE(m_main->wbtn->text(), writeButton);
    QCOMPARE(m_main->xg->Columns(column::RxFrequency)->Caption(), rxCaption);
    QCOMPARE(qtCancelText(), language == Language::English ? u"Cancel"_s : u"取消"_s);
    QCOMPARE(m_main->windowTitle(), kApplicationTitle.in(language).toString() + u"[*]"_s);
    // The other windows follow the flag the main window set.
    verifyCaptions(m_dtmf.get(), dtmf::kCaptions, language);
    verifyCaptions(m_fiveTone.get(), fivetone::kCaptions, language);
    QCOMPARE(m_dialog->ComboBox1->currentText(),
             language == Language::English ? u"English"_s : u"中文"_s);
    if (ini.isEmpty())
        QCOMPARE(IniFile(path).readString(u"language", u"语言", u"?"_s), u"0"_s);
    QVERIFY(m_messages.isEmpty());
}

void TestLanguage::switchBothWays()
{
    writeIni(iniFilePath(),
             u"[language]\r\n语言=0\r\n[other]\r\nkept=yes\r\n[中文]\r\n接收频率=Receive\r\n"_s);
    openWindows();

    // Words in every kind of list and cell, and texts no list has.
    ChannelRow row = m_main->channelRow(1);
    row[column::RxFrequency] = u"145.50000"_s;
    row[column::Power] = u"高"_s;
    row[column::Bandwidth] = u"窄带"_s;
    row[column::DecodeTone] = u"无"_s;
    m_main->setChannelRow(1, row);
    ChannelRow empty = m_main->channelRow(2);
    empty[column::Power] = u"高"_s; // no receive frequency: not translated
    m_main->setChannelRow(2, empty);
    SettingsTexts settings = m_main->settingsTexts();
    settings[setting::VoxLevel] = u"5"_s;
    settings[setting::Pf1] = u"警报音"_s;
    settings[setting::Pf2] = u"XYZ"_s; // a code no list names: kept through both switches
    settings[setting::Scan] = u"开"_s;
    m_main->setSettingsTexts(settings);
    dtmf::Texts dtmfTexts = m_dtmf->texts();
    dtmfTexts.cb8 = u"常规"_s;
    m_dtmf->setTexts(dtmfTexts);
    m_twoTone->xg2->setCells(2, 1, u"提醒并回复"_s);
    m_fiveTone->xg3->setCells(3, 1, u"唤醒"_s);
    m_dtmf->show();

    // Through the menu and the dialog, as the user does.
    m_main->N4->trigger();
    QVERIFY(m_dialog->isVisible());
    m_dialog->ComboBox1->setCurrentText(u"English"_s);
    m_dialog->Button1->click();
    QVERIFY(!m_dialog->isVisible());
    QVERIFY(!m_dtmf->isVisible()); // the signalling windows were closed
    QCOMPARE(displayLanguage(), Language::English);
    QCOMPARE(IniFile(iniFilePath()).readString(u"language", u"语言", {}), u"1"_s);
    QCOMPARE(IniFile(iniFilePath()).readString(u"other", u"kept", {}), u"yes"_s);

    for (const captions::Shown &shown : captions::mainWindowCaptions(
             IniFile(iniFilePath()).read(), Language::English, captions::MainSetter::Switch))
        QCOMPARE(shownCaption(m_main.get(), shown.control, shown.column), shown.text);
    QCOMPARE(m_main->N11->text(), u"&File"_s);
    QCOMPARE(m_main->xg->Columns(column::RxFrequency)->Caption(), u"Receive"_s);
    QCOMPARE(m_main->DTMF1->text(), u"DTMF"_s);
    verifyCaptions(m_dtmf.get(), dtmf::kCaptions, Language::English);
    verifyCaptions(m_twoTone.get(), twotone::kCaptions, Language::English);
    verifyCaptions(m_fiveTone.get(), fivetone::kCaptions, Language::English);
    verifyCaptions(m_fsk.get(), fsk::kCaptions, Language::English);
    for (const captions::Row &r : captions::kLanguageDialog) {
        if (r.control != u"ComboBox1")
            QCOMPARE(shownCaption(m_dialog.get(), r.control, r.column), r.text.english.toString());
    }
    QCOMPARE(m_main->Form3->Button1->text(), u"RETRY"_s);
    QCOMPARE(qtCancelText(), u"Cancel"_s);

    QCOMPARE(m_main->channelRow(1)[column::Power], u"HIGH"_s);
    QCOMPARE(m_main->channelRow(1)[column::Bandwidth], u"NARROW"_s);
    QCOMPARE(m_main->channelRow(1)[column::DecodeTone], u"NONE"_s);
    QCOMPARE(m_main->channelRow(2)[column::Power], u"高"_s);
    settings = m_main->settingsTexts();
    QCOMPARE(settings[setting::VoxLevel], u"5"_s);
    QCOMPARE(m_main->ComboBoxes[setting::VoxLevel]->itemText(0), u"NONE"_s);
    QCOMPARE(settings[setting::Pf1], u"Emergency Alarm"_s);
    QCOMPARE(m_main->ComboBoxes[setting::Pf1]->itemText(12), u"Emergency Alarm"_s);
    QCOMPARE(settings[setting::Pf2], u"XYZ"_s);
    QCOMPARE(settings[setting::Scan], u"OPEN"_s);
    QCOMPARE(m_main->ComboBoxes[setting::Scan]->itemText(0), u"OPEN"_s);
    QCOMPARE(m_dtmf->texts().cb8, u"Normal"_s);
    QCOMPARE(m_twoTone->xg2->Cells(2, 1), u"REMIND+REPLY"_s);
    QCOMPARE(m_fiveTone->xg3->Cells(3, 1), u"AWAKEN"_s);
    // The language's own editors, and the English widths.
    QCOMPARE(m_twoTone->xg2->Columns(2)->Editor()->objectName(), u"ComboCellEditor4"_s);
    QCOMPARE(m_fiveTone->xg3->Columns(3)->Editor()->objectName(), u"ComboCellEditor5"_s);
    QCOMPARE(m_twoTone->xg2->ColWidths(2), twotone::kResponseColumn.widthEnglish);
    QVERIFY(m_twoTone->width() >= twotone::kSizeEnglish.width);
    QVERIFY(m_fiveTone->width() >= fivetone::kSizeEnglish.width);
    QCOMPARE(m_main->xg->ColWidths(1), table::channelColumns()[1].widthEnglish);

    // And back.
    m_main->N4->trigger();
    m_dialog->ComboBox1->setCurrentText(u"中文"_s);
    m_dialog->Button1->click();
    QCOMPARE(displayLanguage(), Language::Chinese);
    QCOMPARE(IniFile(iniFilePath()).readString(u"language", u"语言", {}), u"0"_s);
    QCOMPARE(m_main->N11->text(), u"文件(&F)"_s);
    verifyCaptions(m_dtmf.get(), dtmf::kCaptions, Language::Chinese);
    verifyCaptions(m_twoTone.get(), twotone::kCaptions, Language::Chinese);
    verifyCaptions(m_fsk.get(), fsk::kCaptions, Language::Chinese);
    QCOMPARE(qtCancelText(), u"取消"_s);
    // The switch of all windows writes the standards' header without its blank.
    QCOMPARE(m_fiveTone->xg1->Columns(0)->Caption(), u"5TONE 标准"_s);
    QCOMPARE(m_main->channelRow(1)[column::Power], u"高"_s);
    QCOMPARE(m_main->channelRow(1)[column::Bandwidth], u"窄带"_s);
    settings = m_main->settingsTexts();
    QCOMPARE(settings[setting::Pf1], u"警报音"_s);
    QCOMPARE(m_main->ComboBoxes[setting::Pf1]->itemText(12), u"警报音"_s);
    QCOMPARE(settings[setting::Pf2], u"XYZ"_s);
    QCOMPARE(settings[setting::Scan], u"开"_s);
    QCOMPARE(m_twoTone->xg2->Cells(2, 1), u"提醒并回复"_s);
    QCOMPARE(m_fiveTone->xg3->Cells(3, 1), u"唤醒"_s);
    QCOMPARE(m_fiveTone->xg3->Columns(3)->Editor()->objectName(), u"ComboCellEditor4"_s);
    QVERIFY(m_messages.isEmpty());
}

void TestLanguage::storedLanguageOnlyClosesTheSignallingWindows()
{
    const QString ini = u"[language]\r\n语言=0\r\n"_s;
    writeIni(iniFilePath(), ini);
    openWindows();
    const QByteArray before = fileBytes(iniFilePath());
    m_fsk->show();
    m_main->N4->trigger();
    m_dialog->ComboBox1->setCurrentText(u"中文"_s);
    m_dialog->Button1->click();
    QVERIFY(!m_fsk->isVisible());
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(displayLanguage(), Language::Chinese);
    QCOMPARE(fileBytes(iniFilePath()), before);
}

void TestLanguage::cancelAndTypedKeys()
{
    openWindows();
    m_main->N4->trigger();
    m_dialog->ComboBox1->setCurrentText(u"English"_s);
    m_dialog->Button2->click();
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->ComboBox1->currentText(), u"中文"_s);
    QCOMPARE(displayLanguage(), Language::Chinese);

    // The list is chosen from, never typed into or stepped through by keys.
    m_main->N4->trigger();
    QApplication::setActiveWindow(m_dialog.get());
    m_dialog->ComboBox1->setFocus();
    QTest::keyClick(m_dialog->ComboBox1, Qt::Key_E, Qt::NoModifier);
    QTest::keyClick(m_dialog->ComboBox1, Qt::Key_Up);
    QTest::keyClick(m_dialog->ComboBox1, Qt::Key_Down);
    QCOMPARE(m_dialog->ComboBox1->currentText(), u"中文"_s);
}

void TestLanguage::refusedWhileATransferRuns()
{
    openWindows();
    // The DTMF window starts a read on a port that opens: the line is busy until it ends.
    struct Running final : SignallingTransfer
    {
        quint8 bank() const override { return 1; }
        bool readInProgress() const override { return true; }
        bool writeInProgress() const override { return false; }
        void writeStep() override {}
        void readStep() override {}
        void abandonTransfer() override {}
    } running;
    m_main->link().addSignallingTransfer(&running);
    m_main->N4->trigger();
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().kind, MessageKind::Error);
    m_main->link().removeSignallingTransfer(&running);
    m_main->N4->trigger();
    QVERIFY(m_dialog->isVisible());
}

void TestLanguage::failedIniWriteKeepsTheShownLanguage()
{
    writeIni(iniFilePath(), u"[language]\r\n语言=1\r\n"_s);
    openWindows();
    QCOMPARE(displayLanguage(), Language::English);
    // The configuration folder becomes a file: nothing can be written there any more (and what
    // cannot be read counts as English, so Chinese is a switch).
    const QString folder = QFileInfo(iniFilePath()).absolutePath();
    QVERIFY(QDir(folder).removeRecursively());
    QFile blocker(folder);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    m_main->N4->trigger();
    m_dialog->ComboBox1->setCurrentText(u"中文"_s);
    m_dialog->Button1->click();
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().kind, MessageKind::Error);
    QVERIFY2(m_messages.first().text.startsWith(u"Unable to write to "_s),
             qPrintable(m_messages.first().text));
    QVERIFY2(m_messages.first().text.contains(
                 u"语言选择未能保存，下次启动时仍显示原来的语言。请检查配置文件夹是否可写。"_s),
             qPrintable(m_messages.first().text));
    // The windows went on in the language they show, and the flag says so.
    QCOMPARE(displayLanguage(), Language::Chinese);
    QCOMPARE(m_main->N11->text(), u"文件(&F)"_s);
    verifyCaptions(m_fsk.get(), fsk::kCaptions, Language::Chinese);
    QVERIFY(QFileInfo(folder).isFile());

    // Back to the language the file still holds: the windows switch, and there is nothing the
    // file would have to take.
    m_main->N4->trigger();
    m_dialog->ComboBox1->setCurrentText(u"English"_s);
    m_dialog->Button1->click();
    QCOMPARE(displayLanguage(), Language::English);
    QCOMPARE(m_main->N11->text(), u"&File"_s);
    verifyCaptions(m_fsk.get(), fsk::kCaptions, Language::English);
    QCOMPARE(m_messages.size(), 1);
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
