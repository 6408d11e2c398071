// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "channels/mainblocks.h"
#include "document/contentsdocument.h"
#include "i18n/captions.h"
#include "i18n/language.h"
#include "protocol/radioimage.h"
#include "protocol/radiolink.h"
#include "protocol/ui/tform3.h"

#include <QMainWindow>

#include <array>
#include <map>
#include <vector>

class QAction;
class QComboBox;
class QMenu;
class QLabel;
class QPushButton;
class QTimer;

namespace wf {
/** Where a window of `size` opens beside `window` on a screen whose free area is `screenArea`:
 *  to its right, else to its left, top edges level; at the screen's right edge when neither
 *  side has room. */
QPoint besideWindow(const QRect &window, const QSize &size, const QRect &screenArea);

class PlansMenu;
class ChannelEdit;
class RadioImageMenu;
class SignallingWindow;
struct StartupLanguage;
class TCellEditor;
class TXStringGrid;
} // namespace wf

/** The main window: the sixteen-channel table, the ten radio-wide settings, the port list and
 *  the read and write buttons, with the menu that leads to the data files, the signalling
 *  windows and the language dialog. */
class TForm1 final : public QMainWindow,
                     private wf::MainTransferHost,
                     private ProgressOwner,
                     private wf::ContentsView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm1)

public:
    /** When the window fills its port list: as it is made, or when the program entry calls
     *  fillPortList() once the window is on the screen, since the system may take a while to
     *  enumerate its serial ports. */
    enum class PortList { AtCreation, Later };

    explicit TForm1(QWidget *parent = nullptr, PortList portList = PortList::AtCreation);
    ~TForm1() override;

    /** The channel table and settings panel as texts, and back. */
    wf::ChannelSheet sheet() const;
    wf::ChannelRow channelRow(int row) const;
    void setChannelRow(int row, const wf::ChannelRow &cells);
    wf::SettingsTexts settingsTexts() const;
    void setSettingsTexts(const wf::SettingsTexts &texts);

    /** Fills the port list with the serial ports present, sorted, and chooses the first. */
    void fillPortList();

    /** Writes every caption, list and editor of the window in a language, with the renames of
     *  the INI file's section "中文", and translates the value words of the settings boxes and
     *  the channels. */
    void ApplyCaptions(wf::Language language,
                       wf::captions::MainSetter setter = wf::captions::MainSetter::Switch);
    /** The language the INI file chose at start: sets the display language and, unless the file
     *  was only just created, runs the caption setter of that language. */
    void startLanguage(const wf::StartupLanguage &startup);
    /** Hides the signalling windows that are open (their contents stay). */
    void closeSignallingWindows();

    /** Writes the table and the settings to a data file; false, after the message, when the
     *  file cannot be written. */
    bool SaveDataFile(const QString &fileName);
    /** Fills the table and the settings from a data file, in the shown language; false, after
     *  the message and with the window unchanged, when the file cannot be taken. */
    bool LoadDataFile(const QString &fileName);

    /** What the table and the settings show, the file they belong to and their history. */
    wf::ContentsDocument &document() { return m_document; }
    /** The signalling windows, once they are made. */
    std::vector<wf::SignallingWindow *> signallingWindows() const;
    /** Shows the banks of `image` in the table, the settings and the signalling windows, as a
     *  read would: unchanged contents that came from `origin`. */
    void showImage(const wf::RadioImage &image, wf::ContentsOrigin origin);
    /** Before the table (when `table`) and `windows` are replaced: asks what to do with their
     *  changes, saving the table when the user says so. False when the user cancels or the
     *  save fails: then nothing may be replaced. */
    bool changesMayGo(bool table, const std::vector<wf::SignallingWindow *> &windows);

    /** Lays the window out for a screen of this size; nothing changes on a large screen. */
    void AdaptToSmallScreen(const QSize &screen);
    /** Scales every control, font and the window itself to the screen's size. */
    void ScaleToScreen(const QSize &screen);

    // Controls, named as the radio's technicians and the documentation know them.
    wf::TXStringGrid *xg = nullptr;
    std::array<QComboBox *, wf::setting::kCount> ComboBoxes{}; ///< ComboBox1..ComboBox10
    std::array<QLabel *, wf::setting::kCount> SettingLabels{};
    QComboBox *comcbb = nullptr;
    QPushButton *wbtn = nullptr;
    QPushButton *rbtn = nullptr;
    QTimer *Timer1 = nullptr;
    TForm3 *Form3 = nullptr; ///< the progress dialog of the main transfers
    // The signalling windows the menu shows, set by the program entry once they exist.
    wf::SignallingWindow *Form2 = nullptr; ///< DTMF
    wf::SignallingWindow *Form4 = nullptr; ///< 2-Tone
    wf::SignallingWindow *Form5 = nullptr; ///< 5-Tone
    wf::SignallingWindow *Form6 = nullptr; ///< FSK
    QDialog *Form7 = nullptr;              ///< the language dialog

    /** The line to the radio: the serial port Comm1, the buffers, the repeat timer Tim1. */
    wf::RadioLink &link() { return m_link; }

    QAction *N11 = nullptr;        ///< File
    QAction *N12 = nullptr;        ///< File > Open
    QAction *N13 = nullptr;        ///< File > Save
    QAction *SaveAs1 = nullptr;    ///< File > Save As
    QMenu *RecentFiles1 = nullptr; ///< File > Recent Files
    QAction *N1 = nullptr;         ///< File > Exit
    QMenu *Edit1 = nullptr;        ///< Edit
    QAction *Undo1 = nullptr;      ///< Edit > Undo
    QAction *Redo1 = nullptr;      ///< Edit > Redo
    QAction *N2 = nullptr;         ///< Signalling
    QAction *DTMF1 = nullptr;
    QAction *N2TONE1 = nullptr;
    QAction *N5TONE1 = nullptr;
    QAction *FSK1 = nullptr;
    QAction *N3 = nullptr; ///< Setup
    QAction *N4 = nullptr; ///< Setup > Language

public slots:
    void wbtnClick();
    void rbtnClick();
    void N1Click();
    void N4Click();
    void N12Click();
    void N13Click();
    void SaveAs1Click();
    /** Opens a data file as File > Open does, after the question about changes. */
    void openDataFile(const QString &fileName);
    void Timer1Timer();
    void xgSetEditText(int col, int row, const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    void buildSettingsPanel(QWidget *client);
    void buildChannelTable(QWidget *client);
    void buildEditors(wf::Language language);
    void setTabOrder();
    void FormCreate();
    void FormActivate();
    bool FormKeyDown(QKeyEvent *key);
    bool FormKeyPress(QObject *target, QKeyEvent *key);
    bool comboKeyPress(QComboBox *combo, QKeyEvent *key);
    void setWindowSize(const QSize &size);
    QString checkWriteBlocks();
    void showProgress();
    bool lineIsFree();
    void showSignallingWindow(QWidget *window);
    void showCaption(const wf::captions::Shown &shown);
    void endCellEdits();
    QString askDataFileName(bool save);
    bool saveTable();
    bool saveTableAs();
    void updateTitle();
    void refreshRecentFiles();
    void showFileCaptions(wf::Language language);
    void showUndoCaptions();

    // The table and the settings as their document sees them.
    QStringList contentsTexts() const override;
    void showContentsTexts(const QStringList &texts) override;

    // The main transfers, as the receive handler asks for them.
    bool mainReadInProgress() const override;
    bool mainWriteInProgress() const override;
    bool decodeMainBlock(const wf::FrameBuffer &receiveCopy) override;
    QString encodeMainBlock(wf::FrameBuffer &tx, int block) override;
    void stepProgress() override;
    void settingsRequested() override;
    void mainReadComplete() override;
    void mainWriteComplete() override;

    // What the progress dialog asks of the window.
    QString portName() const override;
    void enableTransferControls() override;
    void progressClosed() override;

    wf::RadioLink m_link{*this};
    PortList m_portList;

    // The column editors of each language, keyed by column.
    std::map<int, wf::TCellEditor *> m_editors[2];

    wf::ContentsDocument m_document{*this};
    QString m_caption; ///< the window's caption, without the file's name and the mark

    wf::RadioImageMenu *m_imageMenu = nullptr; ///< the radio image entries of the File menu
    wf::PlansMenu *m_plansMenu = nullptr;      ///< images, CSV, print and PDF without a radio
    wf::ChannelEdit *m_channelEdit = nullptr;  ///< the Edit menu's entries over the table
};
