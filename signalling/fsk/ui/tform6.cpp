// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/fsk/ui/tform6.h"

#include "grid/teditcelleditor.h"
#include "grid/txstringcolumnitem.h"
#include "grid/txstringgrid.h"
#include "signalling/fsk/fskcontrols.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace wf;

namespace {

// The FSK window reports a write with a plain message, without the exclamation mark in
// Chinese, and a read not at all. Its write runs without the repeat.
const SignallingSetup kSetup{
    {Bank::Fsk, fsk::kBlockCount, false},
    4,
    4,
    {{u"写入成功", u"         WRITE SUCCEED!"}, false},
    {},
    std::nullopt,
};

} // namespace

TForm6::TForm6(RadioLink &link, QComboBox &portBox, QWidget *parent)
    : SignallingWindow(link, portBox, kSetup, parent)
{
    setObjectName(fsk::kWindowName.toString());
    auto *form = new QFormLayout;
    addControls(form, fsk::kControls, 0, int(std::size(fsk::kControls)), displayLanguage());

    xg1 = makeGrid(fsk::kEntryGrid.toString(), 3, 1 + fsk::kEntryCount);
    xg1->setColWidths(0, 50);
    xg1->setColWidths(1, 90);
    xg1->setColWidths(2, 90);
    auto *cellEditor = new TEditCellEditor(this);
    cellEditor->setObjectName(QStringLiteral("EditCellEditor1"));
    xg1->Columns(1)->setEditor(cellEditor);
    xg1->Columns(2)->setEditor(cellEditor);

    auto *panes = new QHBoxLayout;
    panes->addLayout(form);
    panes->addWidget(xg1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(panes);
    layout->addWidget(buttonRow());

    FormCreate();
    contentsBuilt();
}

TForm6::~TForm6()
{
    xg1->discardEdit();
}

void TForm6::FormCreate()
{
    numberRows(xg1);
    ApplyCaptions(displayLanguage());
}

void TForm6::ApplyCaptions(Language language, captions::MainSetter)
{
    switchLanguage(fsk::kControls, fsk::kCaptions, language, QSize(620, 470));
}

fsk::Texts TForm6::texts() const
{
    fsk::Texts texts;
    readControls(fsk::kControls, texts);
    readGrid(xg1, fsk::kEntryCells, texts.entries);
    return texts;
}

void TForm6::setTexts(const fsk::Texts &texts)
{
    writeControls(fsk::kControls, texts);
    writeGrid(xg1, fsk::kEntryCells, texts.entries);
}

std::optional<std::vector<Payload>> TForm6::buildWrite(QString *error)
{
    const fsk::Texts shown = texts();
    const WriteBlocks<fsk::kBlockCount> blocks = fsk::encodeBlocks(shown, displayLanguage());
    for (int e = 0; e < fsk::kEntryCount; ++e) {
        showRefused(blocks.refused, shown.entries[std::size_t(e)].fleet, xg1, 1, e + 1);
        showRefused(blocks.refused, shown.entries[std::size_t(e)].id, xg1, 2, e + 1);
    }
    showRefused(blocks.refused, fsk::kControls, shown);
    return writePayloads(blocks, error);
}

void TForm6::decodeBlock(const FrameBuffer &frame)
{
    fsk::Texts read = texts();
    if (fsk::decodeBlock(frame.data(), read, displayLanguage()))
        setTexts(read);
}
