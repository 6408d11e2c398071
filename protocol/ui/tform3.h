// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/language.h"

#include <QDialog>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace wf {
class RadioLink;
} // namespace wf

/** What the progress dialog needs of the main window for Retry and Cancel. */
class ProgressOwner
{
public:
    virtual ~ProgressOwner() = default;
    /** The port the user chose. */
    virtual QString portName() const = 0;
    /** Enables the write and read buttons and the port box again. */
    virtual void enableTransferControls() = 0;
    /** The dialog went away: the main window takes input again. */
    virtual void progressClosed() = 0;
};

/** The dialog shown during every main read and write: the progress of the transfer, and Retry
 *  and Cancel for a transfer the radio has stopped answering. It is modal to the application
 *  but never blocks the caller: received chunks and timer ticks go on while it is up. */
class TForm3 final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm3)

public:
    enum class Transfer { Write, Read };

    TForm3(wf::RadioLink &link, ProgressOwner &owner, QWidget *parent = nullptr);
    ~TForm3() override;

    /** Captions and bar range for a transfer: 17 steps for a write, 16 for a read. */
    void prepare(Transfer transfer, wf::Language language);
    /** Shows the dialog without waiting for it to close. */
    void showTransfer();
    /** Hides the dialog and gives the main window back its input. */
    void closeTransfer();
    /** The captions of the two buttons, and the bar's name for screen readers, in a language. */
    void ApplyButtonCaptions(wf::Language language);

    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *Button1 = nullptr;  ///< Retry
    QPushButton *Button2 = nullptr;  ///< Cancel
    QLabel *NoAnswerLabel = nullptr; ///< what to check when no radio answers, shown below
    /** Runs while the transfer waits for the radio; every chunk received starts it again. */
    QTimer NoAnswerTimer;

    /** How long the radio may stay silent before the dialog says what to check. */
    static constexpr int kNoAnswerHintMs = 3000;

public slots:
    /** Retry: a freshly opened port and the transfer again from the handshake. */
    void Button1Click();
    /** Cancel: the transfer is abandoned; what was read so far stays in the table. */
    void Button2Click();
    /** The radio stayed silent: the dialog says that no radio answers on the port, and what to
     *  check, while the repeat goes on. */
    void NoAnswerTimerTimer();

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    /** The line went away mid-transfer: the user is told, and chooses Retry or Cancel. */
    void lineLost();
    /** Something came from the radio: the hint goes, and the wait for an answer starts again. */
    void radioAnswered();
    /** Shows or hides the hint below the buttons; the dialog grows to hold it. */
    void showHint(bool shown);

    wf::RadioLink &m_link;
    ProgressOwner &m_owner;
};
