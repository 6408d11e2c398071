// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/contentsdocument.h"
#include "grid/keyfilter.h"
#include "i18n/captions.h"
#include "i18n/language.h"
#include "protocol/blocktransfer.h"
#include "protocol/radioimage.h"
#include "signalling/controls.h"
#include "signalling/fieldtable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QWidget>

#include <map>
#include <optional>
#include <vector>

class QFormLayout;
class QPushButton;
class QTimer;

namespace wf {

class TCellEditor;
class TXStringGrid;

/** What a finished transfer tells the user: nothing, or a message in the display language. */
struct DoneMessage
{
    WordPair text{};
    bool informationInChinese = true; ///< a "提示" box in Chinese; false: a plain message
};

/** How one signalling window runs its transfers. */
struct SignallingSetup
{
    BlockTransfer::Plan plan;
    int writeBarMaximum;
    int readBarMaximum;
    DoneMessage writeDone;
    DoneMessage readDone;
    /** Characters the window's key preview lets through; none: every character passes. */
    std::optional<CharacterRule> typed;
    /** Enter first sends the focus to the window's first control, as in the main window. */
    bool enterFocusesFirstControl = false;
};

/** Shows a text in a combo box whether or not it is one of the box's items: a block read from a
 *  radio may hold a value the list does not have. */
void setComboText(QComboBox *box, const QString &text);

/** The payloads of a codec's write, block 0 first, or nothing with the message of the first text
 *  the radio cannot take. */
template<std::size_t N>
std::optional<std::vector<Payload>> writePayloads(const WriteBlocks<N> &blocks, QString *error)
{
    if (!blocks.ok()) {
        *error = blocks.error;
        return std::nullopt;
    }
    return std::vector<Payload>(blocks.payloads.begin(), blocks.payloads.end());
}

/** A grid cell's text, and a write of it that leaves an unchanged cell alone. */
QString gridCellText(const TXStringGrid *grid, int column, int row);
void setGridCellText(TXStringGrid *grid, int column, int row, const QString &text);

/** Writes a window's captions in a language: the window's own row is its title, a row with a
 *  column names a grid's header cell, every other row a label, button, check box, group box or
 *  tab page. */
void applyCaptions(QWidget *window, const Caption *captions, std::size_t count, Language language);

/** A signalling window: the controls of one signalling table, its Read, Write and Close buttons,
 *  its progress bar and its transfers on the main window's line. The windows of the four tables
 *  differ only in their controls and codecs; everything else lives here. */
class SignallingWindow : public QWidget, private ContentsView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SignallingWindow)

public:
    /** `portBox` is the main window's port list: a transfer opens the port chosen there unless a
     *  transfer before it left the port open. */
    SignallingWindow(RadioLink &link, QComboBox &portBox, const SignallingSetup &setup,
                     QWidget *parent = nullptr);
    ~SignallingWindow() override;

    QPushButton *rbtn = nullptr;
    QPushButton *wbtn = nullptr;
    QPushButton *Button3 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QTimer *Timer1 = nullptr; ///< the transfer watchdog

    /** The transfer this window runs, if any. */
    BlockTransfer::Kind running() const { return m_transfer.running(); }

    /** Writes every caption of the window in a language, and turns the words in its lists and
     *  grid cells, its grids' editors and widths and its size to that language. `setter` says
     *  whether the window's own creation runs it or the switch of all windows at once. */
    virtual void ApplyCaptions(Language language,
                               captions::MainSetter setter = captions::MainSetter::StartUp) = 0;
    /** The language the window shows. */
    Language shownLanguage() const { return m_language; }

    /** What the window shows, where it came from and whether it changed. */
    ContentsDocument &document() { return m_document; }
    /** The bank of the radio's memory the window shows. */
    Bank bank() const { return m_setup.plan.bank; }
    /** The window's name as its title shows it, without the mark of changes. */
    QString caption() const;
    /** Shows the blocks of `image` that belong to this window's bank, as a read would: they are
     *  the window's unchanged contents, come from `origin`. */
    void showImage(const RadioImage &image, ContentsOrigin origin);
    /** The payloads this window's Write would send, block 0 first, or nothing with the message
     *  of the first text the radio cannot take: what the window holds, as the radio would. */
    std::optional<std::vector<Payload>> payloadsToWrite(QString *error)
    {
        return buildWrite(error);
    }

public slots:
    void wbtnClick();
    void rbtnClick();
    void Button3Click();

protected:
    /** The window's controls and grids are all made: what they show now are its starting
     *  values. Each window calls it last in its constructor. */
    void contentsBuilt();
    /** A control the tables did not make, whose text a Write sends. */
    void trackControl(QWidget *control);

    /** The payloads of a write, block 0 first, or the message of the first text the radio
     *  cannot take. */
    virtual std::optional<std::vector<Payload>> buildWrite(QString *error) = 0;
    /** Writes a received block of the window's bank into the controls. */
    virtual void decodeBlock(const FrameBuffer &frame) = 0;

    /** The Read, Write and Close buttons with the progress bar, to place in the layout. */
    QWidget *buttonRow() const { return m_buttonRow; }
    /** A table in the signalling windows' style: fixed header row and number column. */
    TXStringGrid *makeGrid(const QString &name, int columns, int rows);
    /** The same, with the widths and in-place editors its columns describe; each language's
     *  editors are made, the display language's are in use. */
    template<std::size_t N>
    TXStringGrid *makeGrid(QStringView name, const GridColumn (&columns)[N], int rows)
    {
        return makeDescribedGrid(name.toString(), columns, N, rows);
    }
    /** Writes "1".."rows-1" into column 0. */
    static void numberRows(TXStringGrid *grid);
    /** Puts the editors of a language on the described grids' columns. */
    void useEditors(Language language);

    /** Row `row` (from 1) of a grid as the texts of its cells. */
    template<class Row, std::size_t N>
    static Row gridRow(const TXStringGrid *grid, const GridCell<Row> (&cells)[N], int row);
    /** Writes the texts of a row into the grid, changing only the cells that differ. */
    template<class Row, std::size_t N>
    static void setGridRow(TXStringGrid *grid, const GridCell<Row> (&cells)[N], int row,
                           const Row &texts);
    /** Every row of a grid below its header, and back. */
    template<class Row, std::size_t N, std::size_t M>
    static void readGrid(const TXStringGrid *grid, const GridCell<Row> (&cells)[N],
                         std::array<Row, M> &rows);
    template<class Row, std::size_t N, std::size_t M>
    static void writeGrid(TXStringGrid *grid, const GridCell<Row> (&cells)[N],
                          const std::array<Row, M> &rows);

    /** The caption table's texts, the combo boxes' words by their rules, the described grids'
     *  words, editors and widths, all in `to`; then the window is sized to fit, at least to
     *  `minimum`. */
    template<class Record, std::size_t N, std::size_t M>
    void switchLanguage(const Control<Record> (&controls)[N], const Caption (&table)[M],
                        Language to, QSize minimum);

    /** After a refused write, shows the cell or control that holds the refused text (its page
     *  first) and makes it current, so that the user sees which row or box the message is
     *  about: the cell (col, row) of `grid` when `text` is the one refused, ... */
    void showRefused(const QString *refused, const QString &text, TXStringGrid *grid, int col,
                     int row);
    /** ... the cell of a described grid that holds it, ... */
    template<class Row, std::size_t N, std::size_t M>
    void showRefused(const QString *refused, TXStringGrid *grid, const GridCell<Row> (&cells)[N],
                     const std::array<Row, M> &rows)
    {
        for (std::size_t r = 0; r < M; ++r) {
            for (const GridCell<Row> &cell : cells)
                showRefused(refused, rows[r].*cell.text, grid, cell.column, int(r) + 1);
        }
    }
    /** ... or the control that shows it. */
    template<class Record, std::size_t N>
    void showRefused(const QString *refused, const Control<Record> (&controls)[N],
                     const Record &texts)
    {
        for (const Control<Record> &c : controls) {
            if (c.text && &(texts.*c.text) == refused)
                showControl(findChild<QWidget *>(c.name.toString()));
        }
    }

    /** Adds a label and a control for each of `controls` to `form`, named as the table says. */
    template<class Record, std::size_t N>
    void addControls(QFormLayout *form, const Control<Record> (&controls)[N], int first, int count,
                     Language language);
    /** The texts of the controls, over `record`. */
    template<class Record, std::size_t N>
    void readControls(const Control<Record> (&controls)[N], Record &record) const;
    /** Shows the texts of `record` in the controls. */
    template<class Record, std::size_t N>
    void writeControls(const Control<Record> (&controls)[N], const Record &record);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *addControl(QFormLayout *form, QStringView name, ControlKind kind, QStringView label,
                        const QStringList &items, const QString &initial, int maxLength,
                        bool enabled);
    TXStringGrid *makeDescribedGrid(const QString &name, const GridColumn *columns,
                                    std::size_t count, int rows);
    TCellEditor *editorFor(const GridColumn &column, Language language);
    void switchCombo(QStringView name, LanguageRule rule, const QStringList &from,
                     const QStringList &to);
    void switchGrids(Language to);
    void restoreEmptyEdit(QLineEdit *edit, const QString &initial);
    void showControl(QWidget *control);
    bool openPort();
    void start(BlockTransfer::Kind kind, int barMaximum);
    void transferFinished(BlockTransfer::Kind kind, BlockTransfer::Outcome outcome);
    void refreshButtons();
    bool keyPreview(QWidget *target, QKeyEvent *key);
    bool changesMayGo(bool reading);
    void recordEdit();

    QStringList contentsTexts() const override;
    void showContentsTexts(const QStringList &texts) override;

    RadioLink &m_link;
    QComboBox &m_portBox;
    SignallingSetup m_setup;
    BlockTransfer m_transfer;
    QWidget *m_buttonRow = nullptr;
    bool m_openedPort = false; ///< the running transfer opened the port itself

    /** A described grid column: its width, words and editor follow the language. */
    struct DescribedColumn
    {
        TXStringGrid *grid;
        int column;
        const GridColumn *description;
    };
    std::vector<DescribedColumn> m_describedColumns;
    Language m_language;                        ///< the language the window shows
    std::map<QString, TCellEditor *> m_editors; ///< by object name
    std::vector<QWidget *> m_controls;          ///< whose texts a Write sends
    std::vector<TXStringGrid *> m_grids;
    ContentsDocument m_document{*this};
    bool m_bulkEdit = false; ///< a grid's paste, cut or clear is committing its cells
};

template<class Record, std::size_t N>
void SignallingWindow::addControls(QFormLayout *form, const Control<Record> (&controls)[N],
                                   int first, int count, Language language)
{
    for (int i = first; i < first + count; ++i) {
        const Control<Record> &c = controls[i];
        addControl(form, c.name, c.kind, c.label, items(c.items, language),
                   c.initialText.in(language).toString(), c.maxLength, c.enabled);
        if (c.flag) {
            if (auto *box = findChild<QCheckBox *>(c.name.toString()))
                box->setChecked(c.initiallyChecked);
        }
    }
}

template<class Record, std::size_t N>
void SignallingWindow::readControls(const Control<Record> (&controls)[N], Record &record) const
{
    for (const Control<Record> &c : controls) {
        QWidget *widget = findChild<QWidget *>(c.name.toString());
        if (auto *box = qobject_cast<QCheckBox *>(widget))
            record.*c.flag = box->isChecked();
        else if (auto *combo = qobject_cast<QComboBox *>(widget))
            record.*c.text = combo->currentText();
        else if (auto *edit = qobject_cast<QLineEdit *>(widget))
            record.*c.text = edit->text();
    }
}

template<class Record, std::size_t N>
void SignallingWindow::writeControls(const Control<Record> (&controls)[N], const Record &record)
{
    for (const Control<Record> &c : controls) {
        QWidget *widget = findChild<QWidget *>(c.name.toString());
        if (auto *box = qobject_cast<QCheckBox *>(widget))
            box->setChecked(record.*c.flag);
        else if (auto *combo = qobject_cast<QComboBox *>(widget))
            setComboText(combo, record.*c.text);
        else if (auto *edit = qobject_cast<QLineEdit *>(widget))
            edit->setText(record.*c.text);
    }
}

template<class Record, std::size_t N, std::size_t M>
void SignallingWindow::switchLanguage(const Control<Record> (&controls)[N],
                                      const Caption (&table)[M], Language to, QSize minimum)
{
    applyCaptions(this, table, M, to);
    ProgressBar1->setAccessibleName(captions::kProgressName.in(to).toString());
    for (const Control<Record> &c : controls) {
        if (c.rule != LanguageRule::Fixed)
            switchCombo(c.name, c.rule, items(c.items, m_language), items(c.items, to));
    }
    switchGrids(to);
    m_language = to;
    // The words changed language, not meaning.
    m_document.reworded();
    setFixedSize(sizeHint().expandedTo(minimum));
}

template<class Row, std::size_t N>
Row SignallingWindow::gridRow(const TXStringGrid *grid, const GridCell<Row> (&cells)[N], int row)
{
    Row texts;
    for (const GridCell<Row> &cell : cells)
        texts.*cell.text = gridCellText(grid, cell.column, row);
    return texts;
}

template<class Row, std::size_t N>
void SignallingWindow::setGridRow(TXStringGrid *grid, const GridCell<Row> (&cells)[N], int row,
                                  const Row &texts)
{
    for (const GridCell<Row> &cell : cells)
        setGridCellText(grid, cell.column, row, texts.*cell.text);
}

template<class Row, std::size_t N, std::size_t M>
void SignallingWindow::readGrid(const TXStringGrid *grid, const GridCell<Row> (&cells)[N],
                                std::array<Row, M> &rows)
{
    for (std::size_t r = 0; r < M; ++r)
        rows[r] = gridRow(grid, cells, int(r) + 1);
}

template<class Row, std::size_t N, std::size_t M>
void SignallingWindow::writeGrid(TXStringGrid *grid, const GridCell<Row> (&cells)[N],
                                 const std::array<Row, M> &rows)
{
    for (std::size_t r = 0; r < M; ++r)
        setGridRow(grid, cells, int(r) + 1, rows[r]);
}

} // namespace wf
