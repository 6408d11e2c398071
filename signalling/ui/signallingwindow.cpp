// SPDX-License-Identifier: GPL-3.0-or-later
#include "signalling/ui/signallingwindow.h"

#include "document/ui/undoactions.h"
#include "grid/tcombocelleditor.h"
#include "grid/teditcelleditor.h"
#include "grid/txstringcolumnitem.h"
#include "grid/txstringgrid.h"
#include "i18n/ui/messagebox.h"
#include "i18n/valuewords.h"
#include "protocol/ui/readsnapshot.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace wf {

namespace {

const QColor kSkyBlue(166, 202, 240);
const QColor kSilver(192, 192, 192);

constexpr WordPair kUnwrittenChanges{
    u"“%1”窗口有未写入对讲机的修改，读频会替换它们。",
    u"The %1 window holds changes not written to the radio; a read replaces them."};
constexpr WordPair kReadAnyway{u"读频(&R)", u"&Read"};
constexpr WordPair kWriteStartingValues{
    u"“%1”窗口的数据既不是从对讲机读出的，也不是从镜像打开的。写频会用窗口中的数据替换对讲机中的%"
    u"1表。",
    u"The values of the %1 window were neither read from a radio nor opened from an image. A "
    u"write replaces the radio's %1 table with the values shown."};
constexpr WordPair kWriteAnyway{u"写频(&W)", u"&Write"};
constexpr WordPair kEditStep{u"编辑", u"edit"};
// A paste, cut or clear in a grid: one step however many cells it commits.
constexpr WordPair kBulkSteps[] = {{u"粘贴", u"paste"}, {u"剪切", u"cut"}, {u"清除", u"clear"}};

constexpr WordPair kNoAnswer{u"对讲机没有应答，传输已停止。请检查连接线和对讲机，然后重试。",
                             u"The radio did not answer; the transfer was stopped. Check the "
                             u"cable and the radio, then try again."};

// Qt describes a top-level widget of a class it does not know as a plain client area, which
// screen readers announce as "filler"; these are windows, named by their titles.
QAccessibleInterface *accessibleWindow(const QString &, QObject *object)
{
    if (auto *window = qobject_cast<SignallingWindow *>(object))
        return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}

} // namespace

void setComboText(QComboBox *box, const QString &text)
{
    const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        box->setCurrentIndex(index);
    box->setEditText(text);
}

QString gridCellText(const TXStringGrid *grid, int column, int row)
{
    return grid->Cells(column, row);
}

void setGridCellText(TXStringGrid *grid, int column, int row, const QString &text)
{
    if (grid->Cells(column, row) != text)
        grid->setCells(column, row, text);
}

void applyCaptions(QWidget *window, const Caption *captions, std::size_t count, Language language)
{
    for (std::size_t i = 0; i < count; ++i) {
        const Caption &caption = captions[i];
        const QString text = caption.text.in(language).toString();
        const QString name = caption.control.toString();
        if (name == window->objectName()) {
            // The mark shows when the window holds changes.
            window->setWindowTitle(text + QStringLiteral("[*]"));
            continue;
        }
        QWidget *control = window->findChild<QWidget *>(name);
        if (!control)
            continue;
        if (caption.column != kNoColumn) {
            if (auto *grid = qobject_cast<TXStringGrid *>(control))
                grid->Columns(caption.column)->setCaption(text);
        } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
            button->setText(text);
        } else if (auto *label = qobject_cast<QLabel *>(control)) {
            label->setText(text);
        } else if (auto *group = qobject_cast<QGroupBox *>(control)) {
            group->setTitle(text);
        } else if (auto *tabs = qobject_cast<QTabWidget *>(
                       control->parentWidget() ? control->parentWidget()->parentWidget()
                                               : nullptr)) {
            tabs->setTabText(tabs->indexOf(control), text);
        }
    }
}

SignallingWindow::SignallingWindow(RadioLink &link, QComboBox &portBox,
                                   const SignallingSetup &setup, QWidget *parent)
    // Owned by the main window (its parent), a signalling window stays in front of it, yet
    // never in front of the program's dialogs and messages, as one that stayed on top would.
    // X11 desktops keep only dialog-type windows in front of their owner.
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
    , m_link(link)
    , m_portBox(portBox)
    , m_setup(setup)
    , m_transfer(link, setup.plan)
    , m_language(displayLanguage())
{
    // The program ends with its main window, whatever signalling window is still open.
    setAttribute(Qt::WA_QuitOnClose, false);
    static const bool accessibleAsWindows = [] {
        QAccessible::installFactory(accessibleWindow);
        return true;
    }();
    Q_UNUSED(accessibleAsWindows);
    Timer1 = &m_transfer.Timer1;
    Timer1->setObjectName(QStringLiteral("Timer1"));

    m_buttonRow = new QWidget(this);
    auto *row = new QHBoxLayout(m_buttonRow);
    row->setContentsMargins(0, 0, 0, 0);
    ProgressBar1 = new QProgressBar(m_buttonRow);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setAccessibleName(captions::kProgressName.in(m_language).toString());
    ProgressBar1->hide();
    rbtn = new QPushButton(m_buttonRow);
    rbtn->setObjectName(QStringLiteral("rbtn"));
    wbtn = new QPushButton(m_buttonRow);
    wbtn->setObjectName(QStringLiteral("wbtn"));
    Button3 = new QPushButton(m_buttonRow);
    Button3->setObjectName(QStringLiteral("Button3"));
    row->addWidget(ProgressBar1, 1);
    row->addStretch();
    for (QPushButton *button : {rbtn, wbtn, Button3}) {
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    connect(rbtn, &QPushButton::clicked, this, &SignallingWindow::rbtnClick);
    connect(wbtn, &QPushButton::clicked, this, &SignallingWindow::wbtnClick);
    connect(Button3, &QPushButton::clicked, this, &SignallingWindow::Button3Click);

    connect(&m_transfer, &BlockTransfer::blockArrived, this, &SignallingWindow::decodeBlock);
    connect(&m_transfer, &BlockTransfer::stepped, this,
            [this] { ProgressBar1->setValue(ProgressBar1->value() + 1); });
    connect(&m_transfer, &BlockTransfer::finished, this, &SignallingWindow::transferFinished);
    // What a read brought goes to disk before anything can be written over it.
    connect(&m_transfer, &BlockTransfer::bankReceived, this,
            [this](const RadioImage &image) { keepReadSnapshot(this, image); });
    connect(&m_link, &RadioLink::transfersChanged, this, &SignallingWindow::refreshButtons);
    connect(&m_document, &ContentsDocument::modifiedChanged, this,
            &SignallingWindow::setWindowModified);
    // Ctrl+Z and Ctrl+Y undo and redo the window's own steps.
    auto *undo = new QAction(this);
    undo->setObjectName(QStringLiteral("Undo1"));
    auto *redo = new QAction(this);
    redo->setObjectName(QStringLiteral("Redo1"));
    addActions({undo, redo});
    addUndoActions(*m_document.undoStack(), *undo, *redo,
                   [this] { return !m_link.transferRunning(); });

    // Key preview: the window sees every key before the control that has the focus.
    qApp->installEventFilter(this);
}

SignallingWindow::~SignallingWindow()
{
    qApp->removeEventFilter(this);
    // The controls outlive this part of the window: an edit that loses the focus as the window
    // closes must not record into a document that is gone.
    for (QWidget *control : m_controls)
        disconnect(control, nullptr, this, nullptr);
    for (TXStringGrid *grid : m_grids)
        disconnect(grid, nullptr, this, nullptr);
}

void SignallingWindow::contentsBuilt()
{
    m_document.replaced(ContentsOrigin::Defaults);
}

QString SignallingWindow::caption() const
{
    return windowTitle().remove(QStringLiteral("[*]"));
}

void SignallingWindow::trackControl(QWidget *control)
{
    m_controls.push_back(control);
    // Only what the user does is a step: the signals of a program's own change stay quiet.
    if (auto *box = qobject_cast<QCheckBox *>(control))
        connect(box, &QCheckBox::clicked, this, &SignallingWindow::recordEdit);
    else if (auto *combo = qobject_cast<QComboBox *>(control))
        connect(combo, &QComboBox::activated, this, &SignallingWindow::recordEdit);
    else if (auto *edit = qobject_cast<QLineEdit *>(control))
        connect(edit, &QLineEdit::editingFinished, this, &SignallingWindow::recordEdit);
}

void SignallingWindow::recordEdit()
{
    if (m_bulkEdit)
        return;
    m_document.record(kEditStep.in(displayLanguage()).toString());
}

QStringList SignallingWindow::contentsTexts() const
{
    QStringList texts;
    for (const QWidget *control : m_controls) {
        if (auto *box = qobject_cast<const QCheckBox *>(control))
            texts << (box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
        else if (auto *combo = qobject_cast<const QComboBox *>(control))
            texts << combo->currentText();
        else if (auto *edit = qobject_cast<const QLineEdit *>(control))
            texts << edit->text();
    }
    for (const TXStringGrid *grid : m_grids) {
        for (int row = 1; row < grid->RowCount(); ++row) {
            for (int col = 1; col < grid->ColCount(); ++col)
                texts << grid->Cells(col, row);
        }
    }
    return texts;
}

void SignallingWindow::showContentsTexts(const QStringList &texts)
{
    int at = 0;
    for (QWidget *control : m_controls) {
        const QString text = texts.value(at++);
        if (auto *box = qobject_cast<QCheckBox *>(control))
            box->setChecked(text == QStringLiteral("1"));
        else if (auto *combo = qobject_cast<QComboBox *>(control))
            setComboText(combo, text);
        else if (auto *edit = qobject_cast<QLineEdit *>(control))
            edit->setText(text);
    }
    for (TXStringGrid *grid : m_grids) {
        for (int row = 1; row < grid->RowCount(); ++row) {
            for (int col = 1; col < grid->ColCount(); ++col)
                setGridCellText(grid, col, row, texts.value(at++));
        }
    }
}

void SignallingWindow::showImage(const RadioImage &image, ContentsOrigin origin)
{
    if (!image.holds(bank()))
        return;
    for (const BlockAddress &address : RadioImage::addresses(m_setup.plan.bank))
        decodeBlock(image.frame(address.bank, address.block));
    m_document.replaced(origin);
}

bool SignallingWindow::changesMayGo(bool reading)
{
    // A read replaces what the user changed; a write of values that came from nowhere replaces
    // the radio's real table.
    const QString name = caption();
    const Language language = displayLanguage();
    if (reading && m_document.isModified()) {
        return ask(this, {kUnwrittenChanges.in(language).toString().arg(name), false,
                          kReadAnyway.in(language).toString()}) == Answer::Proceed;
    }
    const ContentsOrigin origin = m_document.origin();
    if (!reading && origin != ContentsOrigin::Radio && origin != ContentsOrigin::File) {
        return ask(this, {kWriteStartingValues.in(language).toString().arg(name), false,
                          kWriteAnyway.in(language).toString()}) == Answer::Proceed;
    }
    return true;
}

QWidget *SignallingWindow::addControl(QFormLayout *form, QStringView name, ControlKind kind,
                                      QStringView label, const QStringList &list,
                                      const QString &initial, int maxLength, bool enabled)
{
    QWidget *control = nullptr;
    switch (kind) {
    case ControlKind::ComboBox:
    case ControlKind::DropDownList: {
        // Chosen from the list only, yet able to show whatever a radio sent.
        auto *box = new QComboBox(this);
        box->setEditable(true);
        box->lineEdit()->setReadOnly(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems(list);
        setComboText(box, initial);
        control = box;
        break;
    }
    case ControlKind::Edit: {
        auto *edit = new QLineEdit(initial, this);
        if (maxLength > 0)
            edit->setMaxLength(maxLength);
        connect(edit, &QLineEdit::editingFinished, this,
                [this, edit, initial] { restoreEmptyEdit(edit, initial); });
        control = edit;
        break;
    }
    case ControlKind::CheckBox:
        control = new QCheckBox(this);
        break;
    }
    control->setObjectName(name.toString());
    control->setEnabled(enabled);
    trackControl(control);
    if (label.isEmpty()) {
        form->addRow(control);
    } else {
        auto *caption = new QLabel(this);
        caption->setObjectName(label.toString());
        caption->setBuddy(control);
        form->addRow(caption, control);
    }
    return control;
}

void SignallingWindow::showRefused(const QString *refused, const QString &text, TXStringGrid *grid,
                                   int col, int row)
{
    if (refused != &text)
        return;
    showControl(grid);
    grid->setCurrentCell(col, row);
}

void SignallingWindow::showControl(QWidget *control)
{
    if (!control)
        return;
    for (QWidget *page = control; page; page = page->parentWidget()) {
        QWidget *stack = page->parentWidget();
        if (auto *tabs = qobject_cast<QTabWidget *>(stack ? stack->parentWidget() : nullptr))
            tabs->setCurrentWidget(page);
    }
    control->setFocus(Qt::OtherFocusReason);
}

void SignallingWindow::restoreEmptyEdit(QLineEdit *edit, const QString &initial)
{
    // An edit left empty takes its starting value again, so a write never sends nothing.
    if (edit->text().isEmpty())
        edit->setText(initial);
}

TXStringGrid *SignallingWindow::makeGrid(const QString &name, int columns, int rows)
{
    auto *grid = new TXStringGrid(this);
    grid->setObjectName(name);
    grid->setColCount(columns);
    grid->setRowCount(rows);
    grid->setFixedRows(1);
    grid->setFixedCols(1);
    grid->setDefaultRowHeight(24);
    grid->setFixedColor(kSkyBlue);
    grid->setFixedLineColor(Qt::black);
    grid->setGridLineColor(kSilver);
    for (int c = 0; c < columns; ++c)
        grid->Columns(c)->setHeaderColor(kSkyBlue);
    numberRows(grid);
    m_grids.push_back(grid);
    connect(grid, &TXStringGrid::editCommitted, this, &SignallingWindow::recordEdit);
    connect(grid, &TXStringGrid::bulkEditStarted, this, [this] { m_bulkEdit = true; });
    connect(grid, &TXStringGrid::bulkEditFinished, this, [this](TXStringGrid::BulkEdit kind) {
        m_bulkEdit = false;
        m_document.record(kBulkSteps[int(kind)].in(displayLanguage()).toString());
    });
    return grid;
}

TXStringGrid *SignallingWindow::makeDescribedGrid(const QString &name, const GridColumn *columns,
                                                  std::size_t count, int rows)
{
    TXStringGrid *grid = makeGrid(name, int(count), rows);
    const Language language = m_language;
    for (std::size_t c = 0; c < count; ++c) {
        const GridColumn &column = columns[c];
        grid->setColWidths(int(c), language == Language::English ? column.widthEnglish
                                                                 : column.widthChinese);
        m_describedColumns.push_back({grid, int(c), &column});
        if (column.kind == CellEditorKind::None)
            continue;
        editorFor(column, Language::Chinese);
        editorFor(column, Language::English);
    }
    useEditors(language);
    return grid;
}

TCellEditor *SignallingWindow::editorFor(const GridColumn &column, Language language)
{
    // Columns that name the same editor share it, as the windows' tables always did.
    const QString name = column.editor.in(language).toString();
    TCellEditor *&editor = m_editors[name];
    if (editor)
        return editor;
    const QString defaultText = column.defaultText.in(language).toString();
    if (column.kind == CellEditorKind::Text) {
        auto *edit = new TEditCellEditor(this);
        edit->setDefaultText(defaultText);
        editor = edit;
    } else {
        auto *combo = new TComboCellEditor(this);
        combo->setStyle(column.kind == CellEditorKind::DropDown ? ComboStyle::DropDown
                                                                : ComboStyle::DropDownList);
        combo->setItems(items(column.items, language));
        combo->setDefaultText(defaultText);
        editor = combo;
    }
    editor->setObjectName(name);
    return editor;
}

void SignallingWindow::useEditors(Language language)
{
    for (const DescribedColumn &described : m_describedColumns) {
        if (described.description->kind != CellEditorKind::None)
            described.grid->Columns(described.column)
                ->setEditor(editorFor(*described.description, language));
    }
}

void SignallingWindow::switchCombo(QStringView name, LanguageRule rule, const QStringList &from,
                                   const QStringList &to)
{
    auto *box = findChild<QComboBox *>(name.toString());
    if (!box)
        return;
    words::ComboContents contents{{}, box->currentText()};
    for (int i = 0; i < box->count(); ++i)
        contents.items << box->itemText(i);
    const words::ListSwitch how = rule == LanguageRule::ReplaceFirstItem
                                      ? words::ListSwitch{words::ListRule::ReplaceItem, 0}
                                      : words::ListSwitch{words::ListRule::RebuildByWord, 0};
    contents = words::switchList(how, contents, from, to);
    box->clear();
    box->addItems(contents.items);
    setComboText(box, contents.text);
}

void SignallingWindow::switchGrids(Language to)
{
    for (const DescribedColumn &described : m_describedColumns) {
        const GridColumn &column = *described.description;
        TXStringGrid *grid = described.grid;
        grid->setColWidths(described.column,
                           to == Language::English ? column.widthEnglish : column.widthChinese);
        // A cell that holds a word of its column's list gets the same word in the new language.
        const QStringList from = items(column.items, m_language);
        const QStringList into = items(column.items, to);
        if (from == into)
            continue;
        for (int row = 1; row < grid->RowCount(); ++row)
            setGridCellText(grid, described.column, row,
                            words::translateWord(grid->Cells(described.column, row), from, into));
    }
    useEditors(to);
}

void SignallingWindow::numberRows(TXStringGrid *grid)
{
    for (int row = 1; row < grid->RowCount(); ++row)
        grid->setCells(0, row, QString::number(row));
}

bool SignallingWindow::openPort()
{
    // A transfer before this one may have left the port open: then it is used as it is. The
    // line knows whether it is open; the port list only follows it.
    m_openedPort = false;
    if (m_link.Comm1.isOpen())
        return true;
    try {
        m_link.reopenPort(m_portBox.currentText());
    } catch (const ECommsError &failure) {
        showError(this, portOpenMessage(displayLanguage(), m_portBox.currentText(), failure.why()));
        return false;
    }
    m_openedPort = true;
    return true;
}

void SignallingWindow::start(BlockTransfer::Kind kind, int barMaximum)
{
    ProgressBar1->setRange(0, barMaximum);
    ProgressBar1->setValue(1);
    ProgressBar1->show();
    (kind == BlockTransfer::Kind::Read ? rbtn : wbtn)->setEnabled(false);
}

void SignallingWindow::wbtnClick()
{
    if (m_link.transferRunning())
        return;
    if (!changesMayGo(false))
        return;
    // Every block is built and checked before the first frame goes out, so that a text the radio
    // cannot take never leaves the radio half written.
    QString error;
    const std::optional<std::vector<Payload>> payloads = buildWrite(&error);
    if (!payloads) {
        showError(this, error);
        return;
    }
    if (!openPort())
        return;
    start(BlockTransfer::Kind::Write, m_setup.writeBarMaximum);
    m_transfer.startWrite(*payloads);
}

void SignallingWindow::rbtnClick()
{
    if (m_link.transferRunning() || !changesMayGo(true) || !openPort())
        return;
    start(BlockTransfer::Kind::Read, m_setup.readBarMaximum);
    m_transfer.startRead();
}

void SignallingWindow::transferFinished(BlockTransfer::Kind kind, BlockTransfer::Outcome outcome)
{
    ProgressBar1->hide();
    refreshButtons();
    if (outcome == BlockTransfer::Outcome::Done) {
        // What the window shows is now what the radio holds.
        if (kind == BlockTransfer::Kind::Read)
            m_document.replaced(ContentsOrigin::Radio);
        else
            m_document.kept();
        const DoneMessage &done =
            kind == BlockTransfer::Kind::Read ? m_setup.readDone : m_setup.writeDone;
        if (done.text.chinese.isEmpty())
            return;
        const QString text = done.text.in(displayLanguage()).toString();
        if (displayLanguage() == Language::Chinese && done.informationInChinese)
            showMessage(this, {MessageKind::Information, QStringLiteral("提示"), text});
        else
            showMessage(this, {MessageKind::Plain, applicationTitle().toString(), text});
        return;
    }
    // A transfer the radio stopped answering: the line is given back as it was found.
    if (m_openedPort) {
        m_link.Comm1.ClosePort();
        m_openedPort = false;
    }
    if (outcome == BlockTransfer::Outcome::NoAnswer)
        showError(this, kNoAnswer.in(displayLanguage()).toString());
}

void SignallingWindow::refreshButtons()
{
    // One transfer at a time on the line: while any runs, no window offers another.
    const bool free = !m_link.transferRunning();
    rbtn->setEnabled(free);
    wbtn->setEnabled(free);
}

void SignallingWindow::Button3Click()
{
    // Close ends this window's transfer and gives the port back; a transfer of another window
    // keeps its line.
    if (m_transfer.running() != BlockTransfer::Kind::None)
        m_transfer.abandonTransfer();
    if (!m_link.transferRunning()) {
        m_link.Tim1.stop();
        m_link.Comm1.ClosePort();
    }
    m_openedPort = false;
    Timer1->stop();
    refreshButtons();
    hide();
}

bool SignallingWindow::eventFilter(QObject *watched, QEvent *event)
{
    QKeyEvent *key = previewedKey(this, watched, event);
    return key && keyPreview(static_cast<QWidget *>(watched), key);
}

bool SignallingWindow::keyPreview(QWidget *target, QKeyEvent *key)
{
    QWidget *combo = comboOf(target);
    if (isEnterKey(*key)) {
        // Where the window asks for it, Enter first sends the focus to its first control, which
        // ends an edit in progress. Then it moves from a combo box to the control after that
        // box; elsewhere the key goes on to the control it was typed in.
        if (m_setup.enterFocusesFirstControl && !isShortcut(*key))
            focusAfter(Button3); // the buttons are made first: the table's controls follow them
        if (combo) {
            focusAfter(combo);
            return true;
        }
        return false;
    }
    if (combo) // the combo boxes change only by choosing from their lists
        return !key->text().isEmpty() && key->text().front().isPrint() && !isShortcut(*key);
    if (!m_setup.typed)
        return false;
    switch (judgeKey(*key, *m_setup.typed, qobject_cast<QAbstractButton *>(target) != nullptr)) {
    case KeyVerdict::Pass:
        return false;
    case KeyVerdict::Drop:
        return true;
    case KeyVerdict::Raise: {
        const QString upper = key->text().toUpper();
        QKeyEvent typed(QEvent::KeyPress, Qt::Key_A + (upper.front().unicode() - u'A'),
                        key->modifiers(), upper, key->isAutoRepeat(), key->count());
        QCoreApplication::sendEvent(target, &typed);
        return true;
    }
    }
    return false;
}

} // namespace wf
