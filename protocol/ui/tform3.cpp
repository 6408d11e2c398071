// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/ui/tform3.h"

#include "i18n/captions.h"
#include "i18n/ui/messagebox.h"
#include "protocol/radiolink.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

using namespace wf;

namespace {

constexpr WordPair kWriteCaption{u"向对讲机写入数据", u"Write Data To Radio"};
constexpr WordPair kReadCaption{u"从对讲机读取数据", u"Read Data From Radio"};
// The buttons' captions, from the caption table the language switch also writes.
constexpr WordPair kRetry = captions::kProgressDialog[0].text;
constexpr WordPair kCancel = captions::kProgressDialog[1].text;
constexpr WordPair kLineLost{u"与对讲机的连接已断开。请检查连接线，然后按“重试”或“取消”。",
                             u"The line to the radio was lost. Check the cable, then press RETRY "
                             u"or CANCEL."};

constexpr WordPair kNoAnswer{
    u"端口 %1 上没有对讲机应答。请检查连接线是否插好、对讲机是否已开机并处于写频状态，然后按“重试”"
    u"或“取消”。",
    u"No radio answers on port %1. Check that the cable is plugged in and that the radio is "
    u"switched on and in programming mode, then press RETRY or CANCEL."};

// The dialog's fixed size, and the room the hint takes below the buttons.
constexpr QSize kDialogSize(544, 100);
constexpr int kHintHeight = 56;

constexpr int kWriteSteps = 17;
constexpr int kReadSteps = 16;

} // namespace

TForm3::TForm3(RadioLink &link, ProgressOwner &owner, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_link(link)
    , m_owner(owner)
{
    setObjectName(QStringLiteral("Form3"));
    setFixedSize(kDialogSize);
    move(446, 343);
    setWindowModality(Qt::ApplicationModal);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(19, 19, 510, 30);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setAccessibleName(captions::kProgressName.chinese.toString());
    Button2 = new QPushButton(kCancel.chinese.toString(), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(320, 59, 110, 33);
    Button1 = new QPushButton(kRetry.chinese.toString(), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(88, 59, 110, 33);
    for (QPushButton *button : {Button1, Button2})
        button->setAutoDefault(false);
    setTabOrder(Button2, Button1);

    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
    connect(&m_link, &RadioLink::lineLost, this, &TForm3::lineLost);

    NoAnswerLabel = new QLabel(this);
    NoAnswerLabel->setObjectName(QStringLiteral("NoAnswerLabel"));
    NoAnswerLabel->setGeometry(19, kDialogSize.height() - 4, 510, kHintHeight - 4);
    NoAnswerLabel->setWordWrap(true);
    NoAnswerLabel->hide();
    NoAnswerTimer.setSingleShot(true);
    NoAnswerTimer.setInterval(kNoAnswerHintMs);
    connect(&NoAnswerTimer, &QTimer::timeout, this, &TForm3::NoAnswerTimerTimer);
    connect(&m_link, &RadioLink::radioSpoke, this, &TForm3::radioAnswered);
}

TForm3::~TForm3() = default;

void TForm3::prepare(Transfer transfer, Language language)
{
    setWindowTitle(
        (transfer == Transfer::Write ? kWriteCaption : kReadCaption).in(language).toString());
    ApplyButtonCaptions(language);
    ProgressBar1->setRange(0, transfer == Transfer::Write ? kWriteSteps : kReadSteps);
    ProgressBar1->setValue(0);
}

void TForm3::ApplyButtonCaptions(Language language)
{
    Button1->setText(kRetry.in(language).toString());
    Button2->setText(kCancel.in(language).toString());
    ProgressBar1->setAccessibleName(captions::kProgressName.in(language).toString());
}

void TForm3::showTransfer()
{
    showHint(false);
    NoAnswerTimer.start();
    show();
}

void TForm3::closeTransfer()
{
    NoAnswerTimer.stop();
    showHint(false);
    hide();
    m_owner.progressClosed();
}

void TForm3::radioAnswered()
{
    if (!isVisible())
        return;
    showHint(false);
    NoAnswerTimer.start();
}

void TForm3::NoAnswerTimerTimer()
{
    NoAnswerLabel->setText(kNoAnswer.in(displayLanguage()).toString().arg(m_owner.portName()));
    showHint(true);
}

void TForm3::showHint(bool shown)
{
    NoAnswerLabel->setVisible(shown);
    setFixedSize(kDialogSize + QSize(0, shown ? kHintHeight : 0));
}

void TForm3::Button1Click()
{
    m_link.Tim1.stop();
    try {
        m_link.reopenPort(m_owner.portName());
    } catch (const ECommsError &error) {
        // The dialog stays: the user may plug the cable back in and try again, or cancel.
        showError(this, portOpenMessage(displayLanguage(), m_owner.portName(), error.why()));
        return;
    }
    ProgressBar1->setValue(0);
    showHint(false);
    NoAnswerTimer.start();
    m_link.restartFromHandshake();
}

void TForm3::Button2Click()
{
    m_link.Tim1.stop();
    m_owner.enableTransferControls();
    m_link.Comm1.ClosePort();
    closeTransfer();
}

void TForm3::lineLost()
{
    // Only a main transfer is this dialog's to report; Retry and Cancel stay as they are.
    if (isVisible())
        showError(this, kLineLost.in(displayLanguage()).toString());
}

void TForm3::reject()
{
    // Escape leaves the transfer to the two buttons, as the dialog has no close box.
}

void TForm3::closeEvent(QCloseEvent *event)
{
    event->ignore();
}
