// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "signalling/fivetone/fivetoneblocks.h"
#include "signalling/ui/signallingwindow.h"

#include <array>

class QLineEdit;
class QTabWidget;

/** The 5-Tone window: the five standards with their tone tables, the sixteen encode sequences
 *  with the frame delays, and the sixteen decode entries with their functions, read from and
 *  written to bank 4. */
class TForm5 final : public wf::SignallingWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm5)

public:
    TForm5(wf::RadioLink &link, QComboBox &portBox, QWidget *parent = nullptr);
    ~TForm5() override;

    /** Everything the window shows, as texts, with the standard codes the last read brought. */
    wf::fivetone::Texts texts() const;
    void setTexts(const wf::fivetone::Texts &texts);

    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr; ///< standards
    QWidget *TabSheet2 = nullptr; ///< encode
    QWidget *TabSheet3 = nullptr; ///< decode
    QComboBox *CCIR = nullptr;
    std::array<QLineEdit *, wf::fivetone::kDigitCount> Edit{}; ///< Edit1..Edit16, digits 0..F
    wf::TXStringGrid *xg1 = nullptr;
    wf::TXStringGrid *xg2 = nullptr;
    wf::TXStringGrid *xg3 = nullptr;

    void
    ApplyCaptions(wf::Language language,
                  wf::captions::MainSetter setter = wf::captions::MainSetter::StartUp) override;

public slots:
    void CCIRChange();
    void xg2SetEditText(int col, int row, const QString &text);
    void xg3SetEditText(int col, int row, const QString &text);

protected:
    /** FormClick: a click on the window's background moves the focus on, which ends a cell
     *  edit in progress. */
    void mousePressEvent(QMouseEvent *event) override;
    std::optional<std::vector<wf::Payload>> buildWrite(QString *error) override;
    void decodeBlock(const wf::FrameBuffer &frame) override;

private:
    void FormCreate();

    wf::fivetone::ReadStandards m_readStandards;
};
