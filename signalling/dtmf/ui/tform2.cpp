// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/dtmf/ui/tform2.h"

#include "grid/teditcelleditor.h"
#include "grid/txstringcolumnitem.h"
#include "grid/txstringgrid.h"
#include "signalling/dtmf/dtmfcontrols.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace wf;

namespace {

constexpr WordPair kWriteDone{u"写入成功!", u"         WRITE SUCCEED!"};
constexpr WordPair kReadDone{u"读取成功!", u"         READ SUCCEED!"};

const SignallingSetup kSetup{
    {Bank::Dtmf, dtmf::kBlockCount, true},       4,    5, {kWriteDone, true}, {kReadDone, true},
    CharacterRule{u"0123456789ABCD#*", u"ABCD"}, true,
};

// kControls in tab order: the encode page's six, then the decode page's six.
constexpr int kEncodeControls = 6;
constexpr int kDecodeControls = 6;

} // namespace

TForm2::TForm2(RadioLink &link, QComboBox &portBox, QWidget *parent)
    : SignallingWindow(link, portBox, kSetup, parent)
{
    setObjectName(dtmf::kWindowName.toString());
    const Language language = displayLanguage();

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PageControl1->addTab(TabSheet1, QString());
    PageControl1->addTab(TabSheet3, QString());

    auto *encodeGroup = new QGroupBox(TabSheet1);
    encodeGroup->setObjectName(QStringLiteral("GroupBox1"));
    auto *encodeForm = new QFormLayout(encodeGroup);
    addControls(encodeForm, dtmf::kControls, 0, kEncodeControls, language);
    xg2 = makeGrid(QStringLiteral("xg2"), 2, 1 + dtmf::kMemoryCount);
    xg2->setColWidths(0, 50);
    xg2->setColWidths(1, 160);
    auto *memoryEditor = new TEditCellEditor(this);
    memoryEditor->setObjectName(QStringLiteral("EditCellEditor1"));
    memoryEditor->setDefaultText(dtmf::kMemoryEditorText.toString());
    xg2->Columns(1)->setEditor(memoryEditor);
    auto *encodePage = new QHBoxLayout(TabSheet1);
    encodePage->addWidget(encodeGroup);
    encodePage->addWidget(xg2, 1);

    auto *decodeGroup = new QGroupBox(TabSheet3);
    decodeGroup->setObjectName(QStringLiteral("GroupBox2"));
    auto *decodeForm = new QFormLayout(decodeGroup);
    addControls(decodeForm, dtmf::kControls, kEncodeControls, kDecodeControls, language);
    auto *decodePage = new QVBoxLayout(TabSheet3);
    decodePage->addWidget(decodeGroup);
    decodePage->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addWidget(buttonRow());
    PageControl1->setCurrentWidget(TabSheet3);
    connect(xg2, &TXStringGrid::OnSetEditText, this, &TForm2::xg2SetEditText);

    FormCreate();
    contentsBuilt();
}

TForm2::~TForm2()
{
    disconnect(xg2, nullptr, this, nullptr);
    xg2->discardEdit();
}

void TForm2::FormCreate()
{
    numberRows(xg2);
    ApplyCaptions(displayLanguage());
}

void TForm2::ApplyCaptions(Language language, captions::MainSetter)
{
    switchLanguage(dtmf::kControls, dtmf::kCaptions, language, QSize(560, 520));
}

dtmf::Texts TForm2::texts() const
{
    dtmf::Texts texts;
    readControls(dtmf::kControls, texts);
    for (int m = 0; m < dtmf::kMemoryCount; ++m)
        texts.memories[std::size_t(m)] = xg2->Cells(1, m + 1);
    texts.digitCounts = m_digitCounts;
    return texts;
}

void TForm2::setTexts(const dtmf::Texts &texts)
{
    writeControls(dtmf::kControls, texts);
    for (int m = 0; m < dtmf::kMemoryCount; ++m) {
        if (xg2->Cells(1, m + 1) != texts.memories[std::size_t(m)])
            xg2->setCells(1, m + 1, texts.memories[std::size_t(m)]);
    }
    m_digitCounts = texts.digitCounts;
}

void TForm2::xg2SetEditText(int col, int row, const QString &text)
{
    // A memory holds at most eight digits; a longer pasted text keeps its first eight.
    if (col == 1 && text.size() > dtmf::kMaxDigits)
        xg2->setCells(col, row, text.left(dtmf::kMaxDigits));
}

std::optional<std::vector<Payload>> TForm2::buildWrite(QString *error)
{
    const dtmf::Texts shown = texts();
    const WriteBlocks<dtmf::kBlockCount> blocks = dtmf::encodeBlocks(shown, displayLanguage());
    for (int m = 0; m < dtmf::kMemoryCount; ++m)
        showRefused(blocks.refused, shown.memories[std::size_t(m)], xg2, 1, m + 1);
    showRefused(blocks.refused, dtmf::kControls, shown);
    return writePayloads(blocks, error);
}

void TForm2::decodeBlock(const FrameBuffer &frame)
{
    dtmf::Texts read = texts();
    if (dtmf::decodeBlock(frame.data(), read, displayLanguage()))
        setTexts(read);
}
