// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader or a UI automation tool finds in the windows, in both languages.
#include "app/tform1.h"
#include "app/tform7.h"
#include "i18n/language.h"
#include "i18n/ui/messagebox.h"
#include "protocol/ui/tform3.h"
#include "signalling/dtmf/ui/tform2.h"
#include "signalling/fivetone/ui/tform5.h"
#include "signalling/fsk/ui/tform6.h"
#include "signalling/twotone/ui/tform4.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace wf;
using namespace Qt::StringLiterals;

namespace {

QAccessibleInterface *accessible(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

QString accessibleName(QObject *object)
{
    QAccessibleInterface *iface = accessible(object);
    return iface ? iface->text(QAccessible::Name) : u"<none>"_s;
}

// A combo box's name as each platform's screen readers find it: Linux's by the label it is the
// buddy of (Qt gives its text as its name there), the others' by its accessible name.
QStringList comboNames(QComboBox *box)
{
    QStringList names{box->accessibleName()};
    for (const auto &[label, relation] : accessible(box)->relations(QAccessible::Label))
        names << label->text(QAccessible::Name);
    return names;
}

} // namespace

class TestAccessibility final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowsAndNamesInBothLanguages();

private:
    void switchTo(const QString &choice);

    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<TForm1> m_main;
    std::unique_ptr<TForm7> m_dialog;
    std::vector<std::unique_ptr<SignallingWindow>> m_windows;
};

void TestAccessibility::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
    setDisplayLanguageFlag(0);
    setMessageHook([](const ShownMessage &) {});
    m_main = std::make_unique<TForm1>();
    m_dialog = std::make_unique<TForm7>(*m_main);
    m_main->Form7 = m_dialog.get();
    m_windows.push_back(std::make_unique<TForm2>(m_main->link(), *m_main->comcbb));
    m_windows.push_back(std::make_unique<TForm4>(m_main->link(), *m_main->comcbb));
    m_windows.push_back(std::make_unique<TForm5>(m_main->link(), *m_main->comcbb));
    m_windows.push_back(std::make_unique<TForm6>(m_main->link(), *m_main->comcbb));
    m_main->Form2 = m_windows[0].get();
    m_main->Form4 = m_windows[1].get();
    m_main->Form5 = m_windows[2].get();
    m_main->Form6 = m_windows[3].get();
    m_main->show();
}

void TestAccessibility::cleanup()
{
    m_windows.clear();
    m_dialog.reset();
    m_main.reset();
    setMessageHook({});
    setDisplayLanguageFlag(0);
}

void TestAccessibility::switchTo(const QString &choice)
{
    m_main->N4->trigger();
    m_dialog->ComboBox1->setCurrentText(choice);
    m_dialog->Button1->click();
}

void TestAccessibility::windowsAndNamesInBothLanguages()
{
    struct Expected
    {
        QStringList titles; // DTMF, 2-Tone, 5-Tone, FSK
        QString progress;
        QString port;
        QString saveImage;
    };
    const Expected chinese{{u"对讲机写频软件"_s, u"2TONE"_s, u"5TONE"_s, u"FSK"_s},
                           u"传输进度"_s,
                           u"串口"_s,
                           u"从对讲机保存电台镜像(B)..."_s};
    const Expected english{{u"DTMF"_s, u"2TONE"_s, u"5TONE"_s, u"FSK"_s},
                           u"Transfer progress"_s,
                           u"Serial port"_s,
                           u"Save Radio Image from Radio..."_s};

    for (const auto &[choice, expected] :
         {std::pair{u"English"_s, english}, std::pair{u"中文"_s, chinese}}) {
        if (choice == u"English"_s) {
            // Fresh windows speak Chinese before the first switch.
            QCOMPARE(comboNames(m_main->comcbb), QStringList(2, chinese.port));
            QCOMPARE(accessibleName(m_main->Form3->ProgressBar1), chinese.progress);
        }
        switchTo(choice);
        for (std::size_t i = 0; i < m_windows.size(); ++i) {
            SignallingWindow *window = m_windows[i].get();
            window->show();
            QAccessibleInterface *iface = accessible(window);
            QVERIFY(iface);
            QCOMPARE(iface->role(), QAccessible::Window);
            QCOMPARE(iface->text(QAccessible::Name), expected.titles[qsizetype(i)]);
            QCOMPARE(accessibleName(window->ProgressBar1), expected.progress);
            window->hide();
        }
        QCOMPARE(accessibleName(m_main->Form3->ProgressBar1), expected.progress);
        QCOMPARE(comboNames(m_main->comcbb), QStringList(2, expected.port));
        // The image entries follow the switch before their menu is ever opened.
        auto *saveImage = m_main->findChild<QAction *>(u"saveRadioImage"_s);
        QVERIFY(saveImage);
        QCOMPARE(QString(saveImage->text()).remove(u'&'), expected.saveImage);
    }
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
