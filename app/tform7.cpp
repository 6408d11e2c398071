// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tform7.h"

#include "app/tform1.h"
#include "i18n/captions.h"
#include "i18n/inifile.h"
#include "i18n/languagesettings.h"
#include "i18n/ui/messagebox.h"
#include "i18n/ui/qttranslations.h"
#include "signalling/ui/signallingwindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace wf;
using namespace Qt::StringLiterals;

TForm7::TForm7(TForm1 &main, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_main(main)
{
    setObjectName(captions::kLanguageDialogName.toString());
    setWindowModality(Qt::ApplicationModal);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    for (QStringView choice : captions::kLanguageChoices)
        ComboBox1->addItem(choice.toString());
    Label1->setBuddy(ComboBox1);
    ComboBox1->installEventFilter(this);
    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button1, &QPushButton::clicked, this, &TForm7::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm7::Button2Click);

    auto *choice = new QHBoxLayout;
    choice->addWidget(Label1);
    choice->addWidget(ComboBox1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addLayout(buttons);
    FormCreate();
}

TForm7::~TForm7() = default;

void TForm7::FormCreate()
{
    ApplyCaptions(displayLanguage());
    setFixedSize(sizeHint().expandedTo(QSize(300, 120)));
}

void TForm7::ApplyCaptions(Language language)
{
    for (const captions::Row &row : captions::kLanguageDialog) {
        const QString text = row.text.in(language).toString();
        if (row.control == objectName())
            setWindowTitle(text);
        else if (row.control == ComboBox1->objectName())
            ComboBox1->setCurrentText(text);
        else if (auto *button = findChild<QPushButton *>(row.control.toString()))
            button->setText(text);
        else if (auto *label = findChild<QLabel *>(row.control.toString()))
            label->setText(text);
    }
}

void TForm7::Button1Click()
{
    m_main.closeSignallingWindows();
    hide();
    // The language shown decides: choosing it changes nothing. (Deciding on the stored one
    // would leave a user whose last choice the file could not keep unable to switch back.)
    IniFile ini(iniFilePath());
    const std::optional<Language> to =
        languageToSwitchTo(displayLanguage(), ComboBox1->currentText());
    if (!to)
        return;
    SwitchAll(*to);
    setDisplayLanguageFlag(flagFor(*to));
    useQtTranslations(*to);
    // The windows show the new language whether or not the file takes it; a file it could not
    // be written to is left as it was, and the user learns that the next start will differ.
    if (storedLanguage(ini) == *to)
        return;
    const IniWrite written = storeLanguage(ini, *to);
    if (!written.ok())
        showError(&m_main, written.error + u"\n\n"_s + kLanguageNotKept.in(*to).toString());
}

void TForm7::Button2Click()
{
    ApplyCaptions(displayLanguage());
    hide();
}

void TForm7::SwitchAll(Language language)
{
    m_main.ApplyCaptions(language, captions::MainSetter::Switch);
    ApplyCaptions(language);
    const auto apply = [language](SignallingWindow *window) {
        if (window)
            window->ApplyCaptions(language, captions::MainSetter::Switch);
    };
    apply(m_main.Form2);
    m_main.Form3->ApplyButtonCaptions(language);
    apply(m_main.Form5);
    apply(m_main.Form4);
    apply(m_main.Form6);
}

bool TForm7::eventFilter(QObject *watched, QEvent *event)
{
    // The language is chosen from the list only: typed keys and the arrows that would step
    // through it are dropped; the keys that open the list, Tab and Escape still work.
    if (watched != ComboBox1 || event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_F4:
    case Qt::Key_Space:
        return false;
    case Qt::Key_Down:
        return !(key->modifiers() & Qt::AltModifier);
    default:
        return true;
    }
}
