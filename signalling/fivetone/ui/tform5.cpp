// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/fivetone/ui/tform5.h"

#include "grid/txstringcolumnitem.h"
#include "grid/txstringgrid.h"
#include "signalling/fivetone/fivetonecontrols.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace wf;

namespace {

const SignallingSetup kSetup{
    {Bank::FiveTone, fivetone::kBlockCount, true},
    17,
    16,
    {{u"写入成功!", u"         WRITE SUCCEED!"}, true},
    {{u"读取成功!", u"         READ SUCCEED!"}, true},
    std::nullopt,
};

// kControls in tab order: the standard selector, the four delays, the reset time.
constexpr int kSelector = 0;
constexpr int kDelays = 1;
constexpr int kDelayCount = 4;
constexpr int kResetTime = 5;

constexpr QStringView kDigitNames = u"0123456789ABCDEF";

} // namespace

TForm5::TForm5(RadioLink &link, QComboBox &portBox, QWidget *parent)
    : SignallingWindow(link, portBox, kSetup, parent)
{
    setObjectName(fivetone::kWindowName.toString());
    const Language language = displayLanguage();

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    TabSheet3 = new QWidget;
    const QString pages[] = {QStringLiteral("TabSheet1"), QStringLiteral("TabSheet2"),
                             QStringLiteral("TabSheet3")};
    int page = 0;
    for (QWidget *sheet : {TabSheet1, TabSheet2, TabSheet3}) {
        sheet->setObjectName(pages[page++]);
        PageControl1->addTab(sheet, QString());
    }

    // Standards: the selector with the tones of its standard, and the standards' settings.
    auto *selector = new QFormLayout;
    addControls(selector, fivetone::kControls, kSelector, 1, language);
    CCIR = findChild<QComboBox *>(QStringLiteral("CCIR"));
    auto *toneGrid = new QGridLayout;
    for (int d = 0; d < fivetone::kDigitCount; ++d) {
        auto *label = new QLabel(kDigitNames.mid(d, 1).toString(), TabSheet1);
        auto *tone = new QLineEdit(TabSheet1);
        tone->setObjectName(QStringLiteral("Edit%1").arg(d + 1));
        tone->setEnabled(false); // shown only: the tones belong to the standard
        label->setBuddy(tone);
        toneGrid->addWidget(label, d % 8, (d / 8) * 2);
        toneGrid->addWidget(tone, d % 8, (d / 8) * 2 + 1);
        Edit[std::size_t(d)] = tone;
    }
    xg1 = makeGrid(fivetone::kStandardGrid, fivetone::kStandardColumns,
                   fivetone::kStandardGridRowCount);
    auto *standardsPage = new QVBoxLayout(TabSheet1);
    standardsPage->addLayout(selector);
    standardsPage->addLayout(toneGrid);
    standardsPage->addWidget(xg1, 1);

    xg2 = makeGrid(fivetone::kEncodeGrid, fivetone::kEncodeColumns, fivetone::kTableRowCount);
    auto *delays = new QFormLayout;
    addControls(delays, fivetone::kControls, kDelays, kDelayCount, language);
    auto *encodePage = new QVBoxLayout(TabSheet2);
    encodePage->addWidget(xg2, 1);
    encodePage->addLayout(delays);

    xg3 = makeGrid(fivetone::kDecodeGrid, fivetone::kDecodeColumns, fivetone::kTableRowCount);
    auto *reset = new QFormLayout;
    addControls(reset, fivetone::kControls, kResetTime, 1, language);
    auto *decodePage = new QVBoxLayout(TabSheet3);
    decodePage->addWidget(xg3, 1);
    decodePage->addLayout(reset);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addWidget(buttonRow());
    PageControl1->setCurrentWidget(TabSheet2);
    connect(CCIR, &QComboBox::currentTextChanged, this, &TForm5::CCIRChange);
    connect(xg2, &TXStringGrid::OnSetEditText, this, &TForm5::xg2SetEditText);
    connect(xg3, &TXStringGrid::OnSetEditText, this, &TForm5::xg3SetEditText);

    FormCreate();
    contentsBuilt();
}

TForm5::~TForm5()
{
    for (TXStringGrid *grid : {xg2, xg3})
        disconnect(grid, nullptr, this, nullptr);
    for (TXStringGrid *grid : {xg1, xg2, xg3})
        grid->discardEdit();
}

void TForm5::FormCreate()
{
    const Language language = displayLanguage();
    const QStringList names = items(ItemList{fivetone::kStandards}, language);
    for (int s = 0; s < fivetone::kStandardCount; ++s)
        xg1->setCells(0, s + 1, names[s]);
    setTexts(fivetone::initialTexts(language));
    numberRows(xg2);
    numberRows(xg3);
    ApplyCaptions(language);
    CCIRChange();
}

void TForm5::ApplyCaptions(Language language, captions::MainSetter setter)
{
    const WindowSize size =
        language == Language::English ? fivetone::kSizeEnglish : fivetone::kSizeChinese;
    switchLanguage(fivetone::kControls, fivetone::kCaptions, language,
                   QSize(size.width, size.height));
    // This window's size is given for each language, not merely its least.
    setFixedSize(size.width, size.height);
    // The switch of all windows at once writes the standards' header without its blank.
    if (language == Language::Chinese && setter == captions::MainSetter::Switch)
        xg1->Columns(0)->setCaption(fivetone::kSwitchedStandardHeader.toString());
}

void TForm5::mousePressEvent(QMouseEvent *event)
{
    focusNextChild();
    SignallingWindow::mousePressEvent(event);
}

void TForm5::CCIRChange()
{
    // The tones of the chosen standard; a text that names none leaves them as they are.
    const QStringList tones = fivetone::toneTexts(CCIR->currentText());
    for (int d = 0; d < tones.size() && d < fivetone::kDigitCount; ++d)
        Edit[std::size_t(d)]->setText(tones[d]);
}

fivetone::Texts TForm5::texts() const
{
    fivetone::Texts texts;
    readControls(fivetone::kControls, texts);
    readGrid(xg1, fivetone::kStandardCells, texts.standards);
    readGrid(xg2, fivetone::kEncodeCells, texts.encodeRows);
    readGrid(xg3, fivetone::kDecodeCells, texts.decodeRows);
    texts.readStandards = m_readStandards;
    return texts;
}

void TForm5::setTexts(const fivetone::Texts &texts)
{
    writeControls(fivetone::kControls, texts);
    writeGrid(xg1, fivetone::kStandardCells, texts.standards);
    writeGrid(xg2, fivetone::kEncodeCells, texts.encodeRows);
    writeGrid(xg3, fivetone::kDecodeCells, texts.decodeRows);
    m_readStandards = texts.readStandards;
}

void TForm5::xg2SetEditText(int col, int row, const QString &)
{
    // An encode row hangs on its first code: a new one fills the row, none empties it.
    if (row < 1 || row > fivetone::kEncodeRowCount)
        return;
    const fivetone::EncodeRow before = gridRow(xg2, fivetone::kEncodeCells, row);
    setGridRow(xg2, fivetone::kEncodeCells, row,
               fivetone::applyEncodeRowRule(before, col, xg2->textBeforeEdit(), displayLanguage()));
}

void TForm5::xg3SetEditText(int col, int row, const QString &)
{
    // A decode row hangs on its standard: a new one fills the row, none takes no edit.
    if (row < 1 || row > fivetone::kDecodeRowCount)
        return;
    const fivetone::DecodeRow before = gridRow(xg3, fivetone::kDecodeCells, row);
    setGridRow(xg3, fivetone::kDecodeCells, row,
               fivetone::applyDecodeRowRule(before, col, xg3->textBeforeEdit(), displayLanguage()));
}

std::optional<std::vector<Payload>> TForm5::buildWrite(QString *error)
{
    const fivetone::Texts shown = texts();
    const WriteBlocks<fivetone::kBlockCount> blocks =
        fivetone::encodeBlocks(shown, displayLanguage());
    showRefused(blocks.refused, xg1, fivetone::kStandardCells, shown.standards);
    showRefused(blocks.refused, xg2, fivetone::kEncodeCells, shown.encodeRows);
    showRefused(blocks.refused, xg3, fivetone::kDecodeCells, shown.decodeRows);
    showRefused(blocks.refused, fivetone::kControls, shown);
    return writePayloads(blocks, error);
}

void TForm5::decodeBlock(const FrameBuffer &frame)
{
    fivetone::Texts read = texts();
    if (fivetone::decodeBlock(frame.data(), read, displayLanguage()))
        setTexts(read);
}
