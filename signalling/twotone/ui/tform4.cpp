// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/twotone/ui/tform4.h"

#include "grid/txstringgrid.h"
#include "signalling/twotone/twotonecontrols.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace wf;

namespace {

const SignallingSetup kSetup{
    {Bank::TwoTone, twotone::kReadBlockCount, true},
    11,
    11,
    {{u"写入成功!", u"         WRITE SUCCEED!"}, true},
    {{u"读取成功!", u"         READ SUCCEED!"}, true},
    std::nullopt,
};

// kControls in tab order: the three timing boxes, the four named tones, the reset time.
constexpr int kTimingControls = 3;
constexpr int kToneControls = 4;

} // namespace

TForm4::TForm4(RadioLink &link, QComboBox &portBox, QWidget *parent)
    : SignallingWindow(link, portBox, kSetup, parent)
{
    setObjectName(twotone::kWindowName.toString());
    const Language language = displayLanguage();

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet1, QString());
    PageControl1->addTab(TabSheet2, QString());

    xg1 = makeGrid(twotone::kEncodeGrid, twotone::kEncodeColumns, twotone::kGridRowCount);
    auto *timing = new QFormLayout;
    addControls(timing, twotone::kControls, 0, kTimingControls, language);
    auto *encodePage = new QHBoxLayout(TabSheet1);
    encodePage->addWidget(xg1, 1);
    encodePage->addLayout(timing);

    auto *decodeGroup = new QGroupBox(TabSheet2);
    decodeGroup->setObjectName(QStringLiteral("GroupBox1"));
    xg2 = makeGrid(twotone::kDecodeGrid, twotone::kDecodeColumns, twotone::kGridRowCount);
    (new QVBoxLayout(decodeGroup))->addWidget(xg2);
    auto *toneGroup = new QGroupBox(TabSheet2);
    toneGroup->setObjectName(QStringLiteral("GroupBox2"));
    auto *tones = new QFormLayout(toneGroup);
    addControls(tones, twotone::kControls, kTimingControls, kToneControls, language);
    auto *reset = new QFormLayout;
    addControls(reset, twotone::kControls, kTimingControls + kToneControls, 1, language);
    auto *below = new QHBoxLayout;
    below->addWidget(toneGroup);
    below->addLayout(reset);
    auto *decodePage = new QVBoxLayout(TabSheet2);
    decodePage->addWidget(decodeGroup, 1);
    decodePage->addLayout(below);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addWidget(buttonRow());
    PageControl1->setCurrentWidget(TabSheet2);
    connect(xg2, &TXStringGrid::OnSetEditText, this, &TForm4::xg2SetEditText);

    FormCreate();
    contentsBuilt();
}

TForm4::~TForm4()
{
    disconnect(xg2, nullptr, this, nullptr);
    for (TXStringGrid *grid : {xg1, xg2})
        grid->discardEdit();
}

void TForm4::FormCreate()
{
    numberRows(xg1);
    numberRows(xg2);
    ApplyCaptions(displayLanguage());
}

void TForm4::ApplyCaptions(Language language, captions::MainSetter)
{
    const WindowSize size =
        language == Language::English ? twotone::kSizeEnglish : twotone::kSizeChinese;
    switchLanguage(twotone::kControls, twotone::kCaptions, language,
                   QSize(size.width, size.height > 0 ? size.height : 560));
}

twotone::Texts TForm4::texts() const
{
    twotone::Texts texts;
    readControls(twotone::kControls, texts);
    readGrid(xg1, twotone::kEncodeCells, texts.pairs);
    readGrid(xg2, twotone::kDecodeCells, texts.decodeRows);
    return texts;
}

void TForm4::setTexts(const twotone::Texts &texts)
{
    writeControls(twotone::kControls, texts);
    writeGrid(xg1, twotone::kEncodeCells, texts.pairs);
    writeGrid(xg2, twotone::kDecodeCells, texts.decodeRows);
}

void TForm4::xg2SetEditText(int col, int row, const QString &)
{
    // A decode row is empty or has all four decoders: a new first pair fills the others.
    if (row < 1 || row > twotone::kDecodeRowCount)
        return;
    const twotone::DecodeRow before = gridRow(xg2, twotone::kDecodeCells, row);
    setGridRow(xg2, twotone::kDecodeCells, row,
               twotone::applyDecodeRowRule(before, col, xg2->textBeforeEdit(), displayLanguage()));
}

std::optional<std::vector<Payload>> TForm4::buildWrite(QString *error)
{
    const twotone::Texts shown = texts();
    const WriteBlocks<twotone::kBlockCount> blocks =
        twotone::encodeBlocks(shown, displayLanguage());
    showRefused(blocks.refused, xg1, twotone::kEncodeCells, shown.pairs);
    showRefused(blocks.refused, xg2, twotone::kDecodeCells, shown.decodeRows);
    showRefused(blocks.refused, twotone::kControls, shown);
    return writePayloads(blocks, error);
}

void TForm4::decodeBlock(const FrameBuffer &frame)
{
    twotone::Texts read = texts();
    if (twotone::decodeBlock(frame.data(), read, displayLanguage()))
        setTexts(read);
}
