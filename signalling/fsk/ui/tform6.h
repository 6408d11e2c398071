// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "signalling/fsk/fskblocks.h"
#include "signalling/ui/signallingwindow.h"

/** The FSK window: the radio's own fleet and ID, the data rate, delay and message timer, the PTT
 *  ID side tone and a table of sixteen fleet and ID pairs, read from and written to bank 2. */
class TForm6 final : public wf::SignallingWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm6)

public:
    TForm6(wf::RadioLink &link, QComboBox &portBox, QWidget *parent = nullptr);
    ~TForm6() override;

    /** Everything the window shows, as texts. */
    wf::fsk::Texts texts() const;
    void setTexts(const wf::fsk::Texts &texts);

    wf::TXStringGrid *xg1 = nullptr;

    void
    ApplyCaptions(wf::Language language,
                  wf::captions::MainSetter setter = wf::captions::MainSetter::StartUp) override;

protected:
    std::optional<std::vector<wf::Payload>> buildWrite(QString *error) override;
    void decodeBlock(const wf::FrameBuffer &frame) override;

private:
    void FormCreate();
};
