// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/language.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class TForm1;

/** The language dialog: English or 中文 for every window at once, kept in the INI file for the
 *  next start. */
class TForm7 final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm7)

public:
    explicit TForm7(TForm1 &main, QWidget *parent = nullptr);
    ~TForm7() override;

    /** The dialog's own captions, and its list's text, in a language. */
    void ApplyCaptions(wf::Language language);

    QLabel *Label1 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QPushButton *Button1 = nullptr; ///< OK
    QPushButton *Button2 = nullptr; ///< Cancel

public slots:
    void Button1Click();
    void Button2Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    /** Every window in `language`, in the order the program has always switched them. */
    void SwitchAll(wf::Language language);

    TForm1 &m_main;
};
