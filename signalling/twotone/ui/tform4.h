// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "signalling/twotone/twotoneblocks.h"
#include "signalling/ui/signallingwindow.h"

class QTabWidget;

/** The 2-Tone window: sixteen encode pairs with their timing on one page, the named tones and the
 *  sixteen decode rows of four decoders each on the other, read from and written to bank 3. */
class TForm4 final : public wf::SignallingWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm4)

public:
    TForm4(wf::RadioLink &link, QComboBox &portBox, QWidget *parent = nullptr);
    ~TForm4() override;

    /** Everything the window shows, as texts. */
    wf::twotone::Texts texts() const;
    void setTexts(const wf::twotone::Texts &texts);

    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr; ///< encode
    QWidget *TabSheet2 = nullptr; ///< decode
    wf::TXStringGrid *xg1 = nullptr;
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
};
