// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tform1.h"

#include "app/channeledit.h"
#include "app/filedialogs.h"
#include "app/plansmenu.h"
#include "app/radioimagemenu.h"
#include "app/recentfiles.h"
#include "app/serialports.h"
#include "channels/cellchecks.h"
#include "channels/channeltable.h"
#include "channels/datafile.h"
#include "document/ui/undoactions.h"
#include "grid/keyfilter.h"
#include "grid/tcombocelleditor.h"
#include "grid/teditcelleditor.h"
#include "grid/txstringcolumnitem.h"
#include "grid/txstringgrid.h"
#include "i18n/inifile.h"
#include "i18n/languagesettings.h"
#include "i18n/ui/messagebox.h"
#include "i18n/ui/qttranslations.h"
#include "protocol/ui/readsnapshot.h"
#include "signalling/ui/signallingwindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

using namespace wf;
using namespace Qt::StringLiterals;

namespace {

constexpr int kClientWidth = 902;
constexpr int kClientHeight = 575;
const QColor kSkyBlue(166, 202, 240);
const QColor kSilver(192, 192, 192);

constexpr WordPair kWriteButton{u"写频(&W)(F11)", u"Write(&W)(F11)"};
constexpr WordPair kReadButton{u"读频(&R)(F12)", u"Read(&R)(F12)"};
constexpr WordPair kSaveAs{u"另存为(&A)...", u"Save &As..."};
constexpr WordPair kRecentFiles{u"最近的文件(&J)", u"Recent &Files"};
constexpr WordPair kEditMenu{u"编辑(&E)", u"&Edit"};
constexpr WordPair kEditStep{u"编辑", u"edit"};
constexpr WordPair kSettingStep{u"修改设置", u"setting change"};
constexpr WordPair kTableChanged{u"信道表有未保存的修改。要先保存吗？",
                                 u"The channel table has changes that are not saved. Save them "
                                 u"first?"};
constexpr WordPair kWindowsChanged{
    u"以下窗口有未写入对讲机的修改，继续将丢失这些修改：%1。",
    u"These windows hold changes not written to the radio, which are lost if you go on: %1."};
constexpr WordPair kDiscardChanges{u"放弃修改(&D)", u"&Discard Changes"};
constexpr WordPair kWriteStartingTable{
    u"信道表既不是从对讲机读出的，也不是从文件打开的，也没有编辑过：它是程序的初始值。写频会用它替"
    u"换对讲机中的信道和设置。",
    u"The channel table was neither read from a radio, opened from a file nor edited: it holds "
    u"the program's starting values. A write replaces the radio's channels and settings with "
    u"them."};
constexpr WordPair kWriteAnyway{u"写频(&W)", u"&Write"};
constexpr WordPair kReplaceFile{u"文件“%1”已存在。要替换它吗？",
                                u"The file \"%1\" already exists. Replace it?"};
constexpr WordPair kReplace{u"替换(&R)", u"&Replace"};
constexpr WordPair kLineBusy{u"另一个窗口正在与对讲机传输数据，请等它结束。",
                             u"Another window is transferring data with the radio; wait until it "
                             u"has finished."};

// A menu item and the caption the window is built with, accelerator included; the language
// setters write the captions of the caption table with the same Alt letters.
struct MenuCaption
{
    QAction *TForm1::*action;
    QStringView builtIn;
};

const MenuCaption kMenuCaptions[] = {
    {&TForm1::N11, u"文件(&F)"},  {&TForm1::N12, u"打开(&O)"},    {&TForm1::N13, u"保存(&S)"},
    {&TForm1::N1, u"退出(&E)"},   {&TForm1::N2, u"信令编辑(&X)"}, {&TForm1::DTMF1, u"DTMF"},
    {&TForm1::N2TONE1, u"2TONE"}, {&TForm1::N5TONE1, u"5TONE"},   {&TForm1::FSK1, u"FSK"},
    {&TForm1::N3, u"设置(&S)"},   {&TForm1::N4, u"语言(&L)"},
};

// The labels of the settings boxes, in the order of ComboBox1..ComboBox10, with the captions
// the window is built with where they differ from the setters' plain texts.
struct LabelName
{
    const char *name;
    QStringView builtIn;
};
const LabelName kSettingLabels[setting::kCount] = {
    {"VOX", u"VOX等级   "}, {"Label4", u"VOX延迟时间  "},
    {"Label5", {}},         {"Label6", {}},
    {"Label7", {}},         {"Label8", {}},
    {"Label9", {}},         {"Label10", {}},
    {"Label11", {}},        {"Label1", {}},
};

// Where the settings panel sits: two rows of five label and box pairs above the table.
QRect settingLabelRect(int index)
{
    return {12 + (index % 5) * 178, 14 + (index / 5) * 34, 82, 24};
}
QRect settingBoxRect(int index)
{
    return {96 + (index % 5) * 178, 12 + (index / 5) * 34, 88, 24};
}
const QRect kGridRect(10, 84, 885, 17 * 24 + 4);

// What a frequency or a tone is typed with: ASCII digits (not the full-width ones), the point,
// and the letters of "023N", "023I" and "NONE", typed in either case.
constexpr CharacterRule kTypedCharacters{u"0123456789.EINO", u"EINO"};

} // namespace

QPoint wf::besideWindow(const QRect &window, const QSize &size, const QRect &screenArea)
{
    // On the side with room for it, top edges level, so that neither window hides the other;
    // on a screen too small for that, at the screen's right edge.
    int x = window.right() + 1;
    if (x + size.width() - 1 > screenArea.right())
        x = window.left() - size.width();
    if (x < screenArea.left())
        x = screenArea.right() + 1 - size.width();
    const int y = qBound(screenArea.top(), window.top(), screenArea.bottom() + 1 - size.height());
    return {qMax(screenArea.left(), x), y};
}

TForm1::TForm1(QWidget *parent, PortList portList)
    : QMainWindow(parent)
    , m_portList(portList)
{
    setObjectName(u"Form1"_s);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    m_caption = kApplicationTitle.chinese.toString();
    updateTitle();

    auto *client = new QWidget(this);
    setCentralWidget(client);
    buildMenu();
    buildSettingsPanel(client);
    buildChannelTable(client);
    m_channelEdit = new wf::ChannelEdit(*this); // the Edit menu's entries over the table

    comcbb = new QComboBox(client);
    comcbb->setObjectName(u"comcbb"_s);
    // The port list has no caption on the screen. Screen readers on Windows and macOS take its
    // accessible name; on Linux they name a combo box by the label it is the buddy of.
    comcbb->setAccessibleName(captions::kPortListName.chinese.toString());
    // Another port can be chosen only while the line is closed, whichever window opened it.
    connect(&m_link.Comm1, &TComm::OnPortOpenChanged, comcbb,
            [this](bool open) { comcbb->setEnabled(!open); });
    // What a read brought goes to disk before anything can be written over it.
    connect(&m_link, &RadioLink::mainReadReceived, this,
            [this](const RadioImage &image) { keepReadSnapshot(this, image); });
    auto *portLabel = new QLabel(captions::kPortListName.chinese.toString(), client);
    portLabel->setObjectName(u"portLabel"_s);
    portLabel->setBuddy(comcbb);
    portLabel->hide();
    comcbb->setGeometry(24, 528, 121, 24);
    wbtn = new QPushButton(kWriteButton.chinese.toString(), client);
    wbtn->setObjectName(u"wbtn"_s);
    wbtn->setGeometry(304, 528, 100, 35);
    rbtn = new QPushButton(kReadButton.chinese.toString(), client);
    rbtn->setObjectName(u"rbtn"_s);
    rbtn->setGeometry(496, 528, 100, 33);
    connect(wbtn, &QPushButton::clicked, this, &TForm1::wbtnClick);
    connect(rbtn, &QPushButton::clicked, this, &TForm1::rbtnClick);

    // A watchdog that would give the buttons back after 15 s; no transfer arms it, since Retry
    // and Cancel end a stalled one.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_s);
    Timer1->setInterval(15000);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

    setTabOrder();
    client->setFixedSize(kClientWidth, kClientHeight);
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    move(291, 104);

    // Key preview: the window sees every key before the control that has the focus.
    qApp->installEventFilter(this);
    FormCreate();

    m_document.replaced(ContentsOrigin::Defaults);
    connect(&m_document, &ContentsDocument::modifiedChanged, this, &TForm1::setWindowModified);
    connect(&m_document, &ContentsDocument::fileNameChanged, this, &TForm1::updateTitle);
    refreshRecentFiles();
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
    // Hiding the window takes the focus from an editor still open in the table, which would
    // commit it to this window after its destructor has run.
    disconnect(xg, nullptr, this, nullptr);
    xg->discardEdit();
}

void TForm1::buildMenu()
{
    const auto add = [this](QMenu *menu, const char *name) {
        QAction *action = menu->addAction(QString());
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    QMenu *file = menuBar()->addMenu(QString());
    N11 = file->menuAction();
    N11->setObjectName(u"N11"_s);
    N12 = add(file, "N12");
    N13 = add(file, "N13");
    SaveAs1 = add(file, "SaveAs1");
    RecentFiles1 = file->addMenu(QString());
    RecentFiles1->setObjectName(u"RecentFiles1"_s);
    N12->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    N13->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveAs1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    connect(SaveAs1, &QAction::triggered, this, &TForm1::SaveAs1Click);
    QAction *exitSeparator = file->addSeparator();
    exitSeparator->setObjectName(u"N111111111"_s);
    N1 = add(file, "N1");
    connect(N1, &QAction::triggered, this, &TForm1::N1Click);
    connect(N12, &QAction::triggered, this, &TForm1::N12Click);
    connect(N13, &QAction::triggered, this, &TForm1::N13Click);
    // Images, plans and documents without a radio, then the radio image entries and the verify,
    // after the data files; Read and Write stay as they are.
    m_plansMenu = new wf::PlansMenu(*this, *file, exitSeparator);
    m_imageMenu = new wf::RadioImageMenu(*this, *file, exitSeparator);

    Edit1 = menuBar()->addMenu(QString());
    Edit1->setObjectName(u"Edit1"_s);
    Undo1 = add(Edit1, "Undo1");
    Redo1 = add(Edit1, "Redo1");
    addUndoActions(*m_document.undoStack(), *Undo1, *Redo1,
                   [this] { return !m_link.transferRunning(); });

    QMenu *signalling = menuBar()->addMenu(QString());
    N2 = signalling->menuAction();
    N2->setObjectName(u"N2"_s);
    DTMF1 = add(signalling, "DTMF1");
    N2TONE1 = add(signalling, "N2TONE1");
    N5TONE1 = add(signalling, "N5TONE1");
    FSK1 = add(signalling, "FSK1");
    connect(DTMF1, &QAction::triggered, this, [this] { showSignallingWindow(Form2); });
    connect(N2TONE1, &QAction::triggered, this, [this] { showSignallingWindow(Form4); });
    connect(N5TONE1, &QAction::triggered, this, [this] { showSignallingWindow(Form5); });
    connect(FSK1, &QAction::triggered, this, [this] { showSignallingWindow(Form6); });

    QMenu *setup = menuBar()->addMenu(QString());
    N3 = setup->menuAction();
    N3->setObjectName(u"N3"_s);
    N4 = add(setup, "N4");
    connect(N4, &QAction::triggered, this, &TForm1::N4Click);

    for (const MenuCaption &item : kMenuCaptions)
        (this->*item.action)->setText(item.builtIn.toString());
    showFileCaptions(Language::Chinese);
}

void TForm1::showUndoCaptions()
{
    showUndoTexts(*m_document.undoStack(), *Undo1, *Redo1);
}

void TForm1::showFileCaptions(Language language)
{
    Edit1->setTitle(kEditMenu.in(language).toString());
    showUndoCaptions();
    if (m_channelEdit)
        m_channelEdit->showCaptions(language);
    SaveAs1->setText(kSaveAs.in(language).toString());
    RecentFiles1->setTitle(kRecentFiles.in(language).toString());
}

void TForm1::buildSettingsPanel(QWidget *client)
{
    const auto &boxes = table::settingsBoxes();
    for (int i = 0; i < setting::kCount; ++i) {
        const LabelName &name = kSettingLabels[i];
        auto *label = new QLabel(client);
        label->setObjectName(QString::fromLatin1(name.name));
        label->setText(
            (name.builtIn.isEmpty() ? boxes[i].caption.chinese : name.builtIn).toString());
        label->setGeometry(settingLabelRect(i));
        SettingLabels[i] = label;

        // The box takes its values from the list only, but must be able to show whatever a
        // radio sent: an editable box whose text cannot be typed into.
        auto *box = new QComboBox(client);
        box->setObjectName(u"ComboBox%1"_s.arg(i + 1));
        box->setEditable(true);
        box->lineEdit()->setReadOnly(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setGeometry(settingBoxRect(i));
        const QStringList items = boxes[i].list == table::ValueList::KeyFunctions
                                      ? table::keyFunctionItemsAsBuilt()
                                      : table::items(boxes[i].list, Language::Chinese);
        box->addItems(items);
        setComboText(box, boxes[i].initialText.chinese.toString());
        // Only the user's choice is a step; a read or a file fills the box quietly.
        connect(box, &QComboBox::activated, this,
                [this] { m_document.record(kSettingStep.in(displayLanguage()).toString()); });
        ComboBoxes[i] = box;
        label->setBuddy(box);
    }
}

void TForm1::buildChannelTable(QWidget *client)
{
    xg = new TXStringGrid(client);
    xg->setObjectName(u"xg"_s);
    xg->setColCount(column::kCount);
    xg->setRowCount(table::kRowCount);
    xg->setFixedRows(1);
    xg->setFixedCols(1);
    xg->setDefaultRowHeight(24);
    xg->setFixedColor(kSkyBlue);
    xg->setFixedLineColor(Qt::black);
    xg->setGridLineColor(kSilver);
    xg->setImmediateEditMode(true);
    // The column widths were made for a compact font: a frequency such as 438.50000 must fit.
    // The cells are drawn with their columns' fonts, which were copied from the grid's before.
    QFont compact = xg->font();
    compact.setPixelSize(11);
    xg->setFont(compact);
    xg->setGeometry(kGridRect);

    const auto &columns = table::channelColumns();
    for (int c = 0; c < column::kCount; ++c) {
        xg->Columns(c)->setFont(compact);
        xg->Columns(c)->setHeaderFont(compact);
        xg->Columns(c)->setHeaderColor(kSkyBlue);
        xg->Columns(c)->setCaption(columns[c].caption.chinese.toString());
        xg->setColWidths(c, columns[c].widthChinese);
    }
    buildEditors(Language::Chinese);
    buildEditors(Language::English);
    for (const auto &[col, editor] : m_editors[int(Language::Chinese)])
        xg->Columns(col)->setEditor(editor);
    connect(xg, &TXStringGrid::OnSetEditText, this, &TForm1::xgSetEditText);
    FormActivate(); // a fresh table shows its channel numbers at once
}

void TForm1::buildEditors(Language language)
{
    // Columns with the same list, style and default text share one editor, as the two tone
    // columns and the two DTMF key columns do. Lists without words serve both languages.
    struct Key
    {
        table::ValueList list;
        table::EditorKind kind;
        QString defaultText;
        bool operator<(const Key &o) const
        {
            return std::tie(list, kind, defaultText) < std::tie(o.list, o.kind, o.defaultText);
        }
    };
    std::map<Key, TCellEditor *> shared;
    const auto &columns = table::channelColumns();
    for (int c = 0; c < column::kCount; ++c) {
        const table::ChannelColumn &column = columns[c];
        if (column.editor == table::EditorKind::None)
            continue;
        const bool wordless = table::items(column.list, Language::Chinese) ==
                              table::items(column.list, Language::English);
        if (language == Language::English && wordless) {
            m_editors[int(language)][c] = m_editors[int(Language::Chinese)].at(c);
            continue;
        }
        // The Chinese editors open an empty cell with a default text; the English ones don't,
        // except those shared by both languages.
        const QString defaultText = language == Language::Chinese || wordless
                                        ? column.defaultChinese.toString()
                                        : QString();
        const Key key{column.list, column.editor, defaultText};
        TCellEditor *&editor = shared[key];
        if (!editor) {
            if (column.editor == table::EditorKind::Text) {
                auto *edit = new TEditCellEditor(this);
                edit->setObjectName(u"EditCellEditor%1"_s.arg(int(language) + 1));
                editor = edit;
            } else {
                auto *combo = new TComboCellEditor(this);
                combo->setStyle(column.editor == table::EditorKind::DropDown
                                    ? ComboStyle::DropDown
                                    : ComboStyle::DropDownList);
                combo->setItems(table::items(column.list, language));
                combo->setDefaultText(defaultText);
                combo->setObjectName(u"ComboCellEditor%1"_s.arg(
                    shared.size() + (language == Language::English ? 10 : 0)));
                editor = combo;
            }
        }
        m_editors[int(language)][c] = editor;
    }
}

void TForm1::setTabOrder()
{
    // The table first, then the settings, then the port, and the buttons as they stand on the
    // screen: write, then read (keyboard and screen-reader users meet them in that order).
    QWidget *previous = xg;
    for (QComboBox *box : ComboBoxes) {
        QWidget::setTabOrder(previous, box);
        previous = box;
    }
    QWidget::setTabOrder(previous, comcbb);
    QWidget::setTabOrder(comcbb, wbtn);
    QWidget::setTabOrder(wbtn, rbtn);
}

void TForm1::FormCreate()
{
    Form3 = new TForm3(m_link, *this, this);
    AdaptToSmallScreen(screen() ? screen()->size() : QSize());
    if (m_portList == PortList::AtCreation)
        fillPortList();
    for (QAction *item : {DTMF1, N2TONE1, N5TONE1, FSK1})
        item->setEnabled(false);
    // The program entry reads the language from the INI file (startLanguage); until then, and
    // in a window made without it, the flag decides.
    if (displayLanguage() == Language::English)
        ApplyCaptions(Language::English, captions::MainSetter::StartUp);
}

void TForm1::fillPortList()
{
    QStringList ports;
    ListSerialPorts(ports);
    comcbb->clear();
    comcbb->addItems(ports);
    comcbb->setCurrentIndex(ports.isEmpty() ? -1 : 0);
}

void TForm1::startLanguage(const StartupLanguage &startup)
{
    setDisplayLanguageFlag(flagFor(startup.language));
    useQtTranslations(startup.language);
    if (!startup.error.isEmpty())
        showError(this, startup.error);
    // A file created just now leaves the built-in captions, menu accelerators included.
    if (!startup.keepBuiltInCaptions)
        ApplyCaptions(startup.language, captions::MainSetter::StartUp);
}

void TForm1::showCaption(const captions::Shown &shown)
{
    const QString name = shown.control.toString();
    if (shown.control == captions::kMainWindowName) {
        m_caption = shown.text;
        updateTitle();
    } else if (shown.column != captions::kNoColumn)
        xg->Columns(shown.column)->setCaption(shown.text);
    else if (auto *action = findChild<QAction *>(name))
        action->setText(shown.text);
    else if (auto *button = findChild<QAbstractButton *>(name))
        button->setText(shown.text);
    else if (auto *label = findChild<QLabel *>(name))
        label->setText(shown.text);
}

void TForm1::ApplyCaptions(Language language, captions::MainSetter setter)
{
    const IniFile ini(iniFilePath());
    for (const captions::Shown &shown : captions::mainWindowCaptions(ini.read(), language, setter))
        showCaption(shown);
    // What screen readers say, named in the same language as what the window shows.
    comcbb->setAccessibleName(captions::kPortListName.in(language).toString());
    findChild<QLabel *>(u"portLabel"_s)->setText(captions::kPortListName.in(language).toString());
    m_imageMenu->showCaptions(language);
    m_plansMenu->showCaptions(language);
    showFileCaptions(language);

    for (int i = 0; i < setting::kCount; ++i) {
        QComboBox *box = ComboBoxes[i];
        words::ComboContents contents{{}, box->currentText()};
        for (int item = 0; item < box->count(); ++item)
            contents.items << box->itemText(item);
        contents = table::switchBox(i, contents, language);
        box->clear();
        box->addItems(contents.items);
        setComboText(box, contents.text);
    }
    for (int row = 1; row <= kChannelCount; ++row) {
        ChannelRow cells = channelRow(row);
        table::translateRow(cells, language);
        setChannelRow(row, cells);
    }

    // The captions came with the caption table above, renames included; only the widths follow.
    const auto &columns = table::channelColumns();
    const bool english = language == Language::English;
    for (int c = 0; c < column::kCount; ++c)
        xg->setColWidths(c, english ? columns[c].widthEnglish : columns[c].widthChinese);
    for (const auto &[col, editor] : m_editors[int(language)])
        xg->Columns(col)->setEditor(editor);
    const int clientWidth = english ? 922 : kClientWidth;
    centralWidget()->setFixedWidth(clientWidth);
    setFixedWidth(clientWidth);
    xg->setGeometry(english ? 5 : 10, xg->y(), english ? 910 : 885, xg->height());
    // The words changed language, not meaning.
    m_document.reworded();
}

void TForm1::ScaleToScreen(const QSize &screen)
{
    // The layout was made for a 1440 x 900 screen, which needs no scaling.
    if (screen == QSize(1440, 900))
        return;
    // Everything shrinks with the screen; the fonts follow whichever factor is nearer to 1.
    const double vertical = double(screen.height() * 90 / 100) / 630;
    const double horizontal = double(screen.width() * 99 / 100) / 930;
    const double fontFactor =
        std::abs(vertical - 1) < std::abs(horizontal - 1) ? vertical : horizontal;
    const auto scaled = [&](const QRect &r) {
        return QRect(qRound(r.x() * horizontal), qRound(r.y() * vertical),
                     qRound(r.width() * horizontal), qRound(r.height() * vertical));
    };
    // A font is sized in points or, like the table's compact font, in pixels.
    const auto scaledFont = [fontFactor](QFont font) {
        if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * fontFactor);
        else if (font.pixelSize() > 0)
            font.setPixelSize(qMax(1, qRound(font.pixelSize() * fontFactor)));
        return font;
    };
    const auto children = centralWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        child->setGeometry(scaled(child->geometry()));
        child->setFont(scaledFont(child->font()));
    }
    for (int c = 0; c < xg->ColCount(); ++c) {
        TXStringColumnItem *item = xg->Columns(c);
        item->setFont(scaledFont(item->Font()));
        item->setHeaderFont(scaledFont(item->HeaderFont()));
    }
    menuBar()->setFont(scaledFont(menuBar()->font()));
    setWindowSize(QSize(qRound(width() * horizontal), qRound(height() * vertical)));
    move(qRound(x() * horizontal), qRound(y() * vertical));
}

void TForm1::setWindowSize(const QSize &size)
{
    // The size is the window's with its menu bar; the controls live in what the menu leaves.
    setFixedSize(size);
    centralWidget()->setFixedSize(size.width(), size.height() - menuBar()->sizeHint().height());
}

void TForm1::AdaptToSmallScreen(const QSize &screen)
{
    if (!screen.isValid() || (screen.width() > 800 && screen.height() > 600))
        return;
    ScaleToScreen(screen);
    setWindowSize(QSize(800, 545));
    xg->setGeometry(0, xg->y(), 830, 370);
    const std::pair<int, int> widths[] = {{0, 50},  {3, 69},  {4, 69}, {5, 50},  {6, 31},
                                          {7, 50},  {8, 50},  {9, 50}, {10, 50}, {11, 34},
                                          {12, 26}, {13, 50}, {14, 50}};
    for (const auto &[col, width] : widths)
        xg->setColWidths(col, width);
    for (QWidget *control : {static_cast<QWidget *>(comcbb), static_cast<QWidget *>(wbtn),
                             static_cast<QWidget *>(rbtn)})
        control->move(control->x(), 455);
    setSettingsTexts(table::initialSettings(Language::Chinese));
}

ChannelRow TForm1::channelRow(int row) const
{
    ChannelRow cells;
    for (int c = 0; c < column::kCount; ++c)
        cells[c] = xg->Cells(c, row);
    return cells;
}

void TForm1::setChannelRow(int row, const ChannelRow &cells)
{
    for (int c = 0; c < column::kCount; ++c) {
        if (xg->Cells(c, row) != cells[c])
            xg->setCells(c, row, cells[c]);
    }
}

SettingsTexts TForm1::settingsTexts() const
{
    SettingsTexts texts;
    for (int i = 0; i < setting::kCount; ++i)
        texts[i] = ComboBoxes[i]->currentText();
    return texts;
}

void TForm1::setSettingsTexts(const SettingsTexts &texts)
{
    for (int i = 0; i < setting::kCount; ++i)
        setComboText(ComboBoxes[i], texts[i]);
}

ChannelSheet TForm1::sheet() const
{
    ChannelSheet sheet;
    for (int r = 0; r < table::kRowCount; ++r)
        sheet.rows[r] = channelRow(r);
    sheet.settings = settingsTexts();
    return sheet;
}

void TForm1::xgSetEditText(int col, int row, const QString &)
{
    if (row < 1 || row > kChannelCount)
        return;
    ChannelRow cells = channelRow(row);
    const Conversion result =
        checkCommittedCell(cells, col, displayLanguage(), xg->textBeforeEdit());
    setChannelRow(row, cells);
    m_document.record(kEditStep.in(displayLanguage()).toString());
    if (!result.ok())
        showError(this, result.error);
}

QString TForm1::checkWriteBlocks()
{
    // Every block is built once into a copy of the transmit buffer before anything is sent, so
    // that a text the radio cannot take stops the write before the radio is half written. The
    // cell or box that holds it is made current, so that the user sees which of the sixteen
    // channels the message is about.
    FrameBuffer scratch = m_link.TxBuffer;
    for (int row = 1; row <= kChannelCount; ++row) {
        const ChannelRow cells = channelRow(row);
        const Conversion result = EncodeChannelBlock(scratch, row, cells, displayLanguage());
        for (int col = 0; col < column::kCount; ++col) {
            if (result.refused == &cells[col]) {
                xg->setCurrentCell(col, row);
                xg->setFocus(Qt::OtherFocusReason);
            }
        }
        if (!result.ok())
            return result.error;
    }
    const SettingsTexts settings = settingsTexts();
    const Conversion result = EncodeSettingsBlock(scratch, settings, displayLanguage());
    for (int i = 0; i < setting::kCount; ++i) {
        if (result.refused == &settings[i])
            ComboBoxes[i]->setFocus(Qt::OtherFocusReason);
    }
    return result.error;
}

void TForm1::showProgress()
{
    // The window takes no input while the dialog is up; the transfer goes on meanwhile.
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);
    Form3->showTransfer();
}

void TForm1::wbtnClick()
{
    const QString error = checkWriteBlocks();
    if (!error.isEmpty()) {
        showError(this, error);
        return;
    }
    if (!lineIsFree())
        return;
    // Values that came from nowhere would replace the radio's real channels.
    if (m_document.origin() == ContentsOrigin::Defaults &&
        ask(this, {kWriteStartingTable.in(displayLanguage()).toString(), false,
                   kWriteAnyway.in(displayLanguage()).toString()}) != Answer::Proceed)
        return;
    m_link.startRepeat();
    Form3->move(x() + 150, y() + 250);
    Form3->prepare(TForm3::Transfer::Write, displayLanguage());
    try {
        m_link.reopenPort(comcbb->currentText());
    } catch (const ECommsError &failure) {
        m_link.Tim1.stop();
        showError(this, portOpenMessage(displayLanguage(), comcbb->currentText(), failure.why()));
        return;
    }
    wbtn->setEnabled(false);
    m_link.WriteAckCount = 0;
    m_link.sendHandshake();
    closeSignallingWindows();
    showProgress();
}

void TForm1::rbtnClick()
{
    if (!lineIsFree() || !changesMayGo(true, {}))
        return;
    Form3->prepare(TForm3::Transfer::Read, displayLanguage());
    Form3->move(x() + 150, y() + 250);
    try {
        m_link.reopenPort(comcbb->currentText());
    } catch (const ECommsError &failure) {
        showError(this, portOpenMessage(displayLanguage(), comcbb->currentText(), failure.why()));
        return;
    }
    m_link.NextReadBlock = 0;
    rbtn->setEnabled(false);
    m_link.sendHandshake();
    m_link.startRepeat();
    closeSignallingWindows();
    showProgress();
}

bool TForm1::lineIsFree()
{
    // One transfer at a time: frames of two transfers on one line would answer each other.
    if (!m_link.transferRunning())
        return true;
    showError(this, kLineBusy.in(displayLanguage()).toString());
    return false;
}

void TForm1::closeSignallingWindows()
{
    for (QWidget *window : std::initializer_list<QWidget *>{Form2, Form4, Form5, Form6}) {
        if (window && window->isVisible())
            window->hide();
    }
}

void TForm1::showSignallingWindow(QWidget *window)
{
    if (!window)
        return;
    if (!window->isVisible() && screen())
        window->move(besideWindow(frameGeometry(), window->frameGeometry().size(),
                                  screen()->availableGeometry()));
    window->show();
    window->raise();
    window->activateWindow();
}

void TForm1::Timer1Timer()
{
    wbtn->setEnabled(true);
    rbtn->setEnabled(true);
    Timer1->stop();
}

bool TForm1::mainReadInProgress() const
{
    // The button's own state: the whole window is disabled while the progress dialog is up.
    return !rbtn->isEnabledTo(rbtn->parentWidget());
}

bool TForm1::mainWriteInProgress() const
{
    return !wbtn->isEnabledTo(wbtn->parentWidget());
}

bool TForm1::decodeMainBlock(const FrameBuffer &receiveCopy)
{
    ChannelSheet data = sheet();
    const DecodedBlock decoded = DecodeMainBlock(receiveCopy.data(), data, displayLanguage());
    switch (decoded.kind) {
    case DecodedBlock::Kind::Channel:
        setChannelRow(decoded.row, data.rows[decoded.row]);
        return false;
    case DecodedBlock::Kind::Settings:
        setSettingsTexts(data.settings);
        return true;
    case DecodedBlock::Kind::Nothing:
        return false;
    }
    return false;
}

QString TForm1::encodeMainBlock(FrameBuffer &tx, int block)
{
    const Conversion result =
        block <= kChannelCount ? EncodeChannelBlock(tx, block, channelRow(block), displayLanguage())
                               : EncodeSettingsBlock(tx, settingsTexts(), displayLanguage());
    if (!result.ok())
        showError(this, result.error);
    return result.error;
}

void TForm1::stepProgress()
{
    Form3->ProgressBar1->setValue(Form3->ProgressBar1->value() + 1);
}

void TForm1::settingsRequested()
{
    // The dialog stays up with a full bar until the settings arrive, so that Retry and Cancel
    // remain within reach if they never do.
    Form3->ProgressBar1->setValue(Form3->ProgressBar1->maximum());
}

void TForm1::mainReadComplete()
{
    rbtn->setEnabled(true);
    wbtn->setEnabled(true);
    for (QAction *item : {DTMF1, N2TONE1, N5TONE1, FSK1})
        item->setEnabled(true);
    Form3->closeTransfer();
    m_document.replaced(ContentsOrigin::Radio);
    showSuccess(this, u"读取成功!"_s, u"         READ SUCCEED!"_s);
}

void TForm1::mainWriteComplete()
{
    wbtn->setEnabled(true);
    Form3->Button2Click();
    m_document.kept();
    showSuccess(this, u"写入成功!"_s, u"       WRITE SUCCEED!"_s);
}

QString TForm1::portName() const
{
    return comcbb->currentText();
}

void TForm1::enableTransferControls()
{
    wbtn->setEnabled(true);
    rbtn->setEnabled(true);
}

void TForm1::progressClosed()
{
    centralWidget()->setEnabled(true);
    menuBar()->setEnabled(true);
}

void TForm1::N1Click()
{
    close();
}

void TForm1::N4Click()
{
    // A switch rewrites controls a transfer is reading from and writing to.
    if (!lineIsFree())
        return;
    endCellEdits();
    if (Form7)
        Form7->show();
}

void TForm1::N12Click()
{
    if (!changesMayGo(true, {}))
        return;
    const QString fileName = askDataFileName(false);
    if (!fileName.isEmpty())
        LoadDataFile(fileName);
}

void TForm1::openDataFile(const QString &fileName)
{
    if (changesMayGo(true, {}))
        LoadDataFile(fileName);
}

void TForm1::N13Click()
{
    saveTable();
}

void TForm1::SaveAs1Click()
{
    saveTableAs();
}

bool TForm1::saveTable()
{
    // The file that is open is saved again without a question; a table without one asks for
    // a name first.
    endCellEdits();
    if (m_document.fileName().isEmpty())
        return saveTableAs();
    return SaveDataFile(m_document.fileName());
}

bool TForm1::saveTableAs()
{
    endCellEdits();
    const QString fileName = askDataFileName(true);
    if (fileName.isEmpty())
        return false;
    if (QFileInfo::exists(fileName) &&
        ask(this,
            {kReplaceFile.in(displayLanguage()).toString().arg(QDir::toNativeSeparators(fileName)),
             false, kReplace.in(displayLanguage()).toString()}) != Answer::Proceed)
        return false;
    return SaveDataFile(fileName);
}

std::vector<SignallingWindow *> TForm1::signallingWindows() const
{
    std::vector<SignallingWindow *> windows;
    for (SignallingWindow *window : {Form2, Form4, Form5, Form6}) {
        if (window)
            windows.push_back(window);
    }
    return windows;
}

bool TForm1::changesMayGo(bool table, const std::vector<SignallingWindow *> &windows)
{
    endCellEdits();
    const Language language = displayLanguage();
    if (table && m_document.isModified()) {
        switch (ask(this, {kTableChanged.in(language).toString(), true, {}})) {
        case Answer::Save:
            if (!saveTable())
                return false;
            break;
        case Answer::Discard:
            break;
        case Answer::Proceed:
        case Answer::Cancel:
            return false;
        }
    }
    QStringList changed;
    for (SignallingWindow *window : windows) {
        if (window->document().isModified())
            changed << window->caption();
    }
    if (changed.isEmpty())
        return true;
    const QString names = changed.join(language == Language::English ? u", "_s : u"、"_s);
    return ask(this, {kWindowsChanged.in(language).toString().arg(names), false,
                      kDiscardChanges.in(language).toString()}) == Answer::Proceed;
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // Whatever the program holds that is neither saved nor written ends with it.
    if (!changesMayGo(true, signallingWindows())) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void TForm1::updateTitle()
{
    const QString file = m_document.fileName();
    setWindowTitle(file.isEmpty() ? m_caption + u"[*]"_s
                                  : QFileInfo(file).fileName() + u"[*] - "_s + m_caption);
}

void TForm1::refreshRecentFiles()
{
    RecentFiles1->clear();
    const QStringList files = RecentFiles(iniFilePath()).files();
    for (int i = 0; i < files.size(); ++i) {
        const QString &file = files[i];
        QAction *item = RecentFiles1->addAction(
            u"&%1 %2"_s.arg(i + 1).arg(QFileInfo(file).fileName().replace(u'&', u"&&"_s)));
        item->setObjectName(u"recentFile%1"_s.arg(i + 1));
        item->setToolTip(QDir::toNativeSeparators(file));
        item->setStatusTip(QDir::toNativeSeparators(file));
        connect(item, &QAction::triggered, this, [this, file] { openDataFile(file); });
    }
    RecentFiles1->setEnabled(!files.isEmpty());
}

QStringList TForm1::contentsTexts() const
{
    // Row 0 holds captions and column 0 the channel numbers: neither is the radio's.
    QStringList texts;
    for (int row = 1; row <= kChannelCount; ++row) {
        for (int c = 1; c < column::kCount; ++c)
            texts << xg->Cells(c, row);
    }
    for (const QComboBox *box : ComboBoxes)
        texts << box->currentText();
    return texts;
}

void TForm1::showContentsTexts(const QStringList &texts)
{
    int at = 0;
    for (int row = 1; row <= kChannelCount; ++row) {
        for (int c = 1; c < column::kCount; ++c) {
            const QString text = texts.value(at++);
            if (xg->Cells(c, row) != text)
                xg->setCells(c, row, text);
        }
    }
    for (QComboBox *box : ComboBoxes)
        setComboText(box, texts.value(at++));
}

void TForm1::showImage(const RadioImage &image, ContentsOrigin origin)
{
    // An image of some banks (a signalling window's snapshot) leaves the other windows alone.
    if (image.holds(Bank::Channels)) {
        ChannelSheet data = sheet();
        for (const Bank bank : {Bank::Channels, Bank::Settings}) {
            for (const BlockAddress &address : RadioImage::addresses(bank))
                DecodeMainBlock(image.frame(address.bank, address.block).data(), data,
                                displayLanguage());
        }
        for (int row = 1; row <= kChannelCount; ++row)
            setChannelRow(row, data.rows[row]);
        setSettingsTexts(data.settings);
        m_document.replaced(origin);
    }
    for (SignallingWindow *window : signallingWindows())
        window->showImage(image, origin);
    // The signalling windows hold a radio's contents now, as after a complete read.
    for (QAction *item : {DTMF1, N2TONE1, N5TONE1, FSK1})
        item->setEnabled(true);
}

void TForm1::endCellEdits()
{
    // The user may still be typing in a cell, here or in a signalling window: what is saved, or
    // what an opened file replaces, is the cell as that edit leaves it, checked.
    for (QWidget *window : std::initializer_list<QWidget *>{this, Form2, Form4, Form5, Form6}) {
        if (!window || (window != this && !window->isVisible()))
            continue;
        const auto grids = window->findChildren<TXStringGrid *>();
        for (TXStringGrid *grid : grids)
            grid->commitEdit();
    }
}

QString TForm1::askDataFileName(bool save)
{
    QFileDialog dialog(this);
    dialog.setObjectName(save ? u"SaveDialog1"_s : u"OpenDialog1"_s);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(u"*."_s + datafile::kSuffix.toString());
    dialog.setDefaultSuffix(datafile::kSuffix.toString());
    // Save As asks before replacing a file itself, in the display language.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // The folder of the last file saved or opened, in this session or an earlier one; the
    // first time the user's documents.
    QString folder = RecentFiles(iniFilePath()).folder();
    if (!QFileInfo(folder).isDir())
        folder.clear();
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QFileInfo(folder).isDir())
            folder = QDir::homePath();
    }
    dialog.setDirectory(folder);
    if (runFileDialog(dialog) != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

bool TForm1::SaveDataFile(const QString &fileName)
{
    const QString error = datafile::write(fileName, sheet(), displayLanguage());
    if (!error.isEmpty()) {
        showError(this, error);
        return false;
    }
    m_document.kept(fileName);
    (void)RecentFiles(iniFilePath()).add(fileName);
    refreshRecentFiles();
    return true;
}

bool TForm1::LoadDataFile(const QString &fileName)
{
    const datafile::Decoded file = datafile::read(fileName);
    if (!file.ok()) {
        showError(this, file.error);
        return false;
    }
    // Row 0 takes the captions the file holds; the channel numbers come back when the window
    // is next activated.
    const Language shown = displayLanguage();
    const bool otherLanguage = file.contents.language && *file.contents.language != shown;
    ChannelRow captions = file.contents.sheet.rows[0];
    // Column 11 reads the same in both languages and no caption setter writes it: a file of the
    // other language must not leave its own text there.
    if (otherLanguage)
        captions[column::PttId] = xg->Cells(column::PttId, 0);
    setChannelRow(0, captions);
    for (int row = 1; row < table::kRowCount; ++row)
        setChannelRow(row, file.contents.sheet.rows[row]);
    setSettingsTexts(file.contents.sheet.settings);
    // A file saved in the other language shows its words and captions in this one.
    if (otherLanguage)
        ApplyCaptions(shown);
    m_document.replaced(ContentsOrigin::File, fileName);
    (void)RecentFiles(iniFilePath()).add(fileName);
    refreshRecentFiles();
    return true;
}

void TForm1::FormActivate()
{
    for (int row = 1; row <= kChannelCount; ++row)
        xg->setCells(column::Number, row, QString::number(row));
}

bool TForm1::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QMainWindow::event(event);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    QKeyEvent *key = previewedKey(this, watched, event);
    if (!key)
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (FormKeyDown(key))
        return true;
    if (FormKeyPress(widget, key))
        return true;
    auto *combo = static_cast<QComboBox *>(comboOf(widget));
    const bool panelCombo = combo == comcbb || std::find(ComboBoxes.begin(), ComboBoxes.end(),
                                                         combo) != ComboBoxes.end();
    return panelCombo && combo && comboKeyPress(combo, key);
}

bool TForm1::FormKeyDown(QKeyEvent *key)
{
    if (key->key() == Qt::Key_F11) {
        wbtn->click();
        return true;
    }
    if (key->key() == Qt::Key_F12) {
        rbtn->click();
        return true;
    }
    return false;
}

bool TForm1::FormKeyPress(QObject *target, QKeyEvent *key)
{
    // Only typed characters are filtered. Keys without a character (arrows, function keys),
    // shortcuts such as Ctrl+C and Ctrl+V, editing keys whose character is a control code
    // (Delete arrives as "\x7f", Backspace as "\b") and Space on a button pass untouched.
    if (isEnterKey(*key) && !isShortcut(*key)) {
        // Enter sends the focus to the table, which ends an edit in progress; the key then
        // reaches the control it was typed in.
        xg->setFocus(Qt::OtherFocusReason);
        return false;
    }
    switch (judgeKey(*key, kTypedCharacters, qobject_cast<QAbstractButton *>(target))) {
    case KeyVerdict::Pass:
        return false;
    case KeyVerdict::Drop:
        return true;
    case KeyVerdict::Raise:
        break;
    }
    const QString upper = key->text().toUpper();
    QKeyEvent raised(QEvent::KeyPress, key->key(), key->modifiers(), upper, key->isAutoRepeat(),
                     key->count());
    QCoreApplication::sendEvent(target, &raised);
    return true;
}

bool TForm1::comboKeyPress(QComboBox *combo, QKeyEvent *key)
{
    // The port and settings boxes change only by choosing from their lists; Enter moves on.
    if (isEnterKey(*key)) {
        focusAfter(combo);
        return true;
    }
    return !key->text().isEmpty() && key->text().front().isPrint();
}
