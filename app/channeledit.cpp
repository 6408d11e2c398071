// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/channeledit.h"

#include "app/tform1.h"
#include "channels/sheetedit.h"
#include "grid/txstringgrid.h"
#include "i18n/ui/messagebox.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>

namespace wf {

namespace {

using namespace Qt::StringLiterals;

// The actions in the order the menus list them; a null caption is a separator.
struct ActionCaption
{
    QAction *ChannelEdit::*action;
    const char *name;
    WordPair caption;
    QKeySequence::StandardKey key;
};

const ActionCaption kActions[] = {
    {&ChannelEdit::Cut1, "Cut1", {u"剪切(&T)", u"Cu&t"}, QKeySequence::Cut},
    {&ChannelEdit::Copy1, "Copy1", {u"复制(&C)", u"&Copy"}, QKeySequence::Copy},
    {&ChannelEdit::Paste1, "Paste1", {u"粘贴(&P)", u"&Paste"}, QKeySequence::Paste},
    {&ChannelEdit::Clear1, "Clear1", {u"清除(&L)", u"C&lear"}, QKeySequence::Delete},
    {&ChannelEdit::SelectAll1,
     "SelectAll1",
     {u"全选(&A)", u"Select &All"},
     QKeySequence::SelectAll},
    {nullptr, nullptr, {}, QKeySequence::UnknownKey},
    {&ChannelEdit::InsertChannel1,
     "InsertChannel1",
     {u"插入信道(&I)", u"&Insert Channel"},
     QKeySequence::UnknownKey},
    {&ChannelEdit::DeleteChannels1,
     "DeleteChannels1",
     {u"删除信道(&D)", u"&Delete Channels"},
     QKeySequence::UnknownKey},
    {&ChannelEdit::MoveUp1,
     "MoveUp1",
     {u"上移信道(&V)", u"Mo&ve Channels Up"},
     QKeySequence::UnknownKey},
    {&ChannelEdit::MoveDown1,
     "MoveDown1",
     {u"下移信道(&W)", u"Move Channels Do&wn"},
     QKeySequence::UnknownKey},
    {&ChannelEdit::EmptyChannels1,
     "EmptyChannels1",
     {u"清空信道(&E)", u"&Empty Channels"},
     QKeySequence::UnknownKey},
};

// The names of the undo steps, as the Edit menu shows them: "Undo paste", "撤销粘贴".
enum Step { Paste, Cut, Clear, Insert, Delete, MoveUp, MoveDown, Empty };
constexpr WordPair kSteps[] = {
    {u"粘贴", u"paste"},
    {u"剪切", u"cut"},
    {u"清除", u"clear"},
    {u"插入信道", u"insert channel"},
    {u"删除信道", u"delete channels"},
    {u"上移信道", u"move up"},
    {u"下移信道", u"move down"},
    {u"清空信道", u"empty channels"},
};

} // namespace

ChannelEdit::ChannelEdit(TForm1 &form)
    : QObject(&form)
    , m_form(form)
{
    TXStringGrid *grid = form.xg;
    QMenu *menu = form.Edit1;
    for (const ActionCaption &entry : kActions) {
        if (!entry.action) {
            menu->addSeparator();
            continue;
        }
        auto *action = new QAction(this);
        action->setObjectName(QString::fromLatin1(entry.name));
        action->setShortcuts(entry.key);
        // The keys are the table's while it has the focus; an open cell editor keeps its own.
        action->setShortcutContext(Qt::WidgetShortcut);
        grid->addAction(action);
        menu->addAction(action);
        this->*entry.action = action;
        m_actions.push_back(action);
    }
    menu->insertSeparator(Cut1);

    connect(Copy1, &QAction::triggered, grid, &TXStringGrid::copySelection);
    connect(Cut1, &QAction::triggered, this, &ChannelEdit::cut);
    connect(Paste1, &QAction::triggered, this, &ChannelEdit::paste);
    connect(Clear1, &QAction::triggered, this, &ChannelEdit::clear);
    connect(SelectAll1, &QAction::triggered, grid, &TXStringGrid::selectAll);
    connect(InsertChannel1, &QAction::triggered, this, &ChannelEdit::insertChannel);
    connect(DeleteChannels1, &QAction::triggered, this, &ChannelEdit::deleteChannels);
    connect(MoveUp1, &QAction::triggered, this, [this] { moveChannels(-1); });
    connect(MoveDown1, &QAction::triggered, this, [this] { moveChannels(1); });
    connect(EmptyChannels1, &QAction::triggered, this, &ChannelEdit::emptyChannels);

    // The context menu of the cells and of the channel numbers.
    for (QWidget *widget :
         {static_cast<QWidget *>(grid), static_cast<QWidget *>(grid->verticalHeader())}) {
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(widget, &QWidget::customContextMenuRequested, this,
                [this, widget](const QPoint &at) { showContextMenu(at, widget); });
    }
    showCaptions(displayLanguage());
}

ChannelEdit::~ChannelEdit() = default;

void ChannelEdit::showCaptions(Language language)
{
    for (const ActionCaption &entry : kActions) {
        if (entry.action)
            (this->*entry.action)->setText(entry.caption.in(language).toString());
    }
}

void ChannelEdit::showContextMenu(const QPoint &at, QWidget *from)
{
    QMenu menu(from);
    for (QAction *action : m_actions) {
        menu.addAction(action);
        if (action == SelectAll1)
            menu.addSeparator();
    }
    menu.exec(from->mapToGlobal(at));
}

bool ChannelEdit::mayChange() const
{
    return !m_form.link().transferRunning();
}

void ChannelEdit::apply(const ChannelSheet &sheet, int step, const QRect &selection)
{
    for (int row = 1; row <= kChannelCount; ++row)
        m_form.setChannelRow(row, sheet.rows[std::size_t(row)]);
    m_form.document().record(kSteps[step].in(displayLanguage()).toString());
    if (!selection.isEmpty())
        m_form.xg->selectCells(selection);
}

void ChannelEdit::cut()
{
    if (!mayChange())
        return;
    m_form.xg->copySelection();
    clearSelection(Cut);
}

void ChannelEdit::clearSelection(int step)
{
    TXStringGrid *grid = m_form.xg;
    grid->commitEdit();
    const QRect cells = grid->selectedCells();
    ChannelSheet sheet = m_form.sheet();
    // Rows picked one by one with Ctrl keep the rows between them.
    for (int row = cells.top(); row <= cells.bottom(); ++row) {
        if (grid->rowHasSelection(row) || cells.height() == 1) {
            sheet = sheetedit::clearCells(sheet, QRect(cells.left(), row, cells.width(), 1),
                                          displayLanguage());
        }
    }
    apply(sheet, step, {});
}

void ChannelEdit::paste()
{
    if (!mayChange())
        return;
    TXStringGrid *grid = m_form.xg;
    grid->commitEdit();
    const QRect cells = grid->selectedCells();
    const QString text = QGuiApplication::clipboard()->text();
    const sheetedit::Edited pasted =
        sheetedit::paste(m_form.sheet(), cells.left(), cells.top(), text, displayLanguage());
    if (!pasted.ok()) {
        showError(&m_form, pasted.error);
        return;
    }
    const QList<QStringList> rows = sheetedit::clipboardCells(text);
    qsizetype width = 0;
    for (const QStringList &row : rows)
        width = std::max(width, row.size());
    apply(pasted.sheet, Paste,
          QRect(std::max(cells.left(), 1), cells.top(), int(width), int(rows.size())));
}

void ChannelEdit::clear()
{
    if (mayChange())
        clearSelection(Clear);
}

void ChannelEdit::insertChannel()
{
    if (!mayChange())
        return;
    m_form.xg->commitEdit();
    const int channel = m_form.xg->selectedCells().top();
    const sheetedit::Edited inserted =
        sheetedit::insertChannel(m_form.sheet(), channel, displayLanguage());
    if (!inserted.ok()) {
        showError(&m_form, inserted.error);
        return;
    }
    apply(inserted.sheet, Insert, QRect(1, channel, column::kCount - 1, 1));
}

void ChannelEdit::deleteChannels()
{
    if (!mayChange())
        return;
    m_form.xg->commitEdit();
    const QRect cells = m_form.xg->selectedCells();
    apply(sheetedit::deleteChannels(m_form.sheet(), cells.top(), cells.bottom()), Delete,
          QRect(1, cells.top(), column::kCount - 1, 1));
}

void ChannelEdit::moveChannels(int by)
{
    if (!mayChange())
        return;
    m_form.xg->commitEdit();
    const QRect cells = m_form.xg->selectedCells();
    if (cells.top() + by < 1 || cells.bottom() + by > kChannelCount)
        return;
    apply(sheetedit::moveChannels(m_form.sheet(), cells.top(), cells.bottom(), by),
          by < 0 ? MoveUp : MoveDown, cells.translated(0, by));
}

void ChannelEdit::emptyChannels()
{
    if (!mayChange())
        return;
    m_form.xg->commitEdit();
    const QRect cells = m_form.xg->selectedCells();
    const QRect channels(1, cells.top(), column::kCount - 1, cells.height());
    apply(sheetedit::clearCells(m_form.sheet(), channels, displayLanguage()), Empty, channels);
}

} // namespace wf
