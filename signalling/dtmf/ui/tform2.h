// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "signalling/dtmf/dtmfblocks.h"
#include "signalling/ui/signallingwindow.h"

class QGroupBox;
class QTabWidget;

/** The DTMF window: the encoder timing and the sixteen auto-dial memories on one page, the
 *  radio's identity code and decoder options on the other, read from and written to bank 1. */
class TForm2 final : public wf::SignallingWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm2)

public:
    TForm2(wf::RadioLink &link, QComboBox &portBox, QWidget *parent = nullptr);
    ~TForm2() override;

    /** Everything the window shows, as texts. */
    wf::dtmf::Texts texts() const;
    void setTexts(const wf::dtmf::Texts &texts);

    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr; ///< encode
    QWidget *TabSheet3 = nullptr; ///< decode
    wf::TXStringGrid *xg2 = nullptr;

    void
    ApplyCaptions(wf::Language language,
                  wf::captions::MainSetter setter = wf::captions::MainSetter::StartUp) override;

public slots:
    void xg2SetEditText(int col, int row, const QString &text);

protected:
    std::optional<std::vector<wf::Payload>> buildWrite(QString *error) override;
    void decodeBlock(const wf::FrameBuffer &frame) override;

private:
    void FormCreate();

    /** The digit counts the last read of block 0 brought. */
    std::array<quint8, 1 + wf::dtmf::kCountedMemories> m_digitCounts{};
};
