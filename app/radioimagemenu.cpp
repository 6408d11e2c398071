// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/radioimagemenu.h"

#include "app/filedialogs.h"
#include "app/tform1.h"
#include "channels/sheetimage.h"
#include "grid/differencemarks.h"
#include "grid/txstringgrid.h"
#include "i18n/language.h"
#include "i18n/ui/messagebox.h"
#include "protocol/snapshots.h"
#include "signalling/ui/signallingwindow.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>

#include <array>

namespace wf {

namespace {

constexpr WordPair kSaveImage{u"从对讲机保存电台镜像(&B)...", u"Save Radio Image fro&m Radio..."};
constexpr WordPair kRestoreImage{u"把电台镜像恢复到对讲机(&R)...",
                                 u"&Restore Radio Image to Radio..."};
constexpr WordPair kVerifyRadio{u"核对电台与表格(&V)", u"&Verify Radio Against Table"};
constexpr WordPair kImageFilter{u"电台镜像 (*.img)", u"Radio images (*.img)"};
constexpr WordPair kLineBusy{u"另一个传输正在进行。", u"Another transfer is running."};
constexpr WordPair kImageSaved{u"电台镜像已保存。", u"Radio image saved."};
constexpr WordPair kRestored{u"电台已恢复并核对无误。", u"Radio restored and verified."};
constexpr WordPair kRadioMatches{u"电台与表格一致。", u"The radio holds the table."};
constexpr WordPair kRadioDiffers{
    u"电台与表格有 %1 处不同：%2。各窗口已标出不同的项，提示中为电台的值。",
    u"The radio differs from the table in %1: %2. The windows mark each field that differs, with "
    u"the radio's value as its tooltip."};
constexpr WordPair kImageDiffers{u"电台与镜像有 %1 处不同：%2。",
                                 u"The radio differs from the image in %1: %2."};
constexpr WordPair kOnePlace{u"1", u"1 place"};
constexpr WordPair kPlaces{u"%1", u"%1 places"};
constexpr WordPair kPlacesIn{u"%1 %2 处", u"%1 %2"};
constexpr WordPair kMoreDifferences{u"……另有 %1 处。", u"...and %1 more."};
constexpr WordPair kRadioValue{u"电台：%1", u"Radio: %1"};
constexpr WordPair kWindowRefused{u"%1：%2", u"%1: %2"};
constexpr WordPair kNoAnswer{u"电台无应答。", u"No answer from the radio."};
constexpr WordPair kCancel{u"取消", u"Cancel"};
constexpr WordPair kRestoreQuestion{
    u"要把镜像“%1”写入 %2 上的对讲机吗？对讲机中的数据将被替换（写入前先保存一份快照）。",
    u"Write the image \"%1\" to the radio on %2? What the radio holds is replaced (a snapshot "
    u"of it is kept first)."};
constexpr WordPair kRestoreAnyway{u"恢复(&R)", u"&Restore"};
constexpr WordPair kSaving{u"正在保存电台镜像", u"Saving radio image"};
constexpr WordPair kRestoring{u"正在恢复电台镜像", u"Restoring radio image"};
constexpr WordPair kVerifying{u"正在核对电台", u"Verifying radio"};
constexpr WordPair kSaveCancelled{u"已取消保存电台镜像,未写入文件。",
                                  u"Saving the radio image was cancelled; no file was written."};
constexpr WordPair kVerifyCancelled{
    u"已取消核对,电台未与表格比较。",
    u"The verify was cancelled; the radio was not compared with the table."};
constexpr WordPair kRestoreCancelledBefore{
    u"已取消恢复,电台未写入任何内容。",
    u"The restore was cancelled before anything was written to the radio."};
constexpr WordPair kRestoreStopped{
    u"恢复已取消:写入在块边界停止,停在%1之后。电台现在只含镜像的一部分,请重新恢复。",
    u"The restore was cancelled: the write stopped at a block boundary after %1. The radio now "
    u"holds only part of the image; restore it again."};
constexpr WordPair kRestoreNotVerified{
    u"恢复已取消:镜像已全部写入电台,但未核对。",
    u"The restore was cancelled after the whole image was written; the radio was not verified."};
constexpr WordPair kNoSnapshotFolder{
    u"无法建立快照文件夹 %1:%2。电台未写入任何内容。",
    u"Cannot make the snapshot folder %1: %2. Nothing was written to the radio."};
constexpr WordPair kIsAFile{u"%1 是文件,不是文件夹", u"%1 is a file, not a folder"};
constexpr WordPair kNoPermission{u"没有在 %1 中建立文件夹的权限",
                                 u"no permission to make a folder in %1"};
constexpr WordPair kRefused{u"系统拒绝建立", u"the system refused to make it"};

constexpr BlockWords kChineseBlockWords{u"信道 %1(第 0 区第 %1 块)", u"设置(第 5 区第 0 块)",
                                        u"%1 第 %2 块(第 %3 区第 %2 块)"};

QString in(const WordPair &pair)
{
    return pair.in(displayLanguage()).toString();
}

// In which windows the differences are, and how many in each: "Channel table 2, 2-Tone 1".
QString whereDifferences(const QList<compare::Difference> &differences)
{
    const Language language = displayLanguage();
    QStringList where;
    for (compare::Window window : compare::kWindows) {
        const auto n =
            std::count_if(differences.begin(), differences.end(),
                          [window](const compare::Difference &d) { return d.window == window; });
        if (n > 0)
            where << in(kPlacesIn).arg(compare::nameOf(window).in(language)).arg(n);
    }
    return where.join(language == Language::English ? QStringLiteral(", ") : QStringLiteral("，"));
}

// How many differences and where, then the differences one a line, as many as a message box
// can show.
QString describe(const WordPair &header, const QList<compare::Difference> &differences,
                 const compare::Sides &sides)
{
    constexpr qsizetype kShown = 20;
    const QString count =
        differences.size() == 1 ? in(kOnePlace) : in(kPlaces).arg(differences.size());
    QStringList lines{in(header).arg(count, whereDifferences(differences))};
    for (qsizetype i = 0; i < differences.size() && i < kShown; ++i)
        lines << compare::sentence(differences[i], sides, displayLanguage());
    if (differences.size() > kShown)
        lines << in(kMoreDifferences).arg(differences.size() - kShown);
    return lines.join(QLatin1Char('\n'));
}

int allBlocks()
{
    return RadioSession::mainBlockCount() + RadioSession::signallingBlockCount();
}

// The snapshot goes first, so a radio is never written without one: its folder is made before
// the radio hears anything. QDir gives no reason, so the nearest existing part of the path
// tells the user what stands in the way.
bool makeSnapshotFolder(const QString &port, QString *error)
{
    const QString folder = QFileInfo(radioSnapshotPath(port)).path();
    if (QDir().mkpath(folder))
        return true;
    QFileInfo blocker(folder);
    while (!blocker.exists() && !blocker.isRoot() && blocker.filePath() != blocker.path())
        blocker.setFile(blocker.path());
    QString why;
    if (blocker.exists() && !blocker.isDir())
        why = in(kIsAFile).arg(QDir::toNativeSeparators(blocker.filePath()));
    else if (blocker.exists() && !blocker.isWritable())
        why = in(kNoPermission).arg(QDir::toNativeSeparators(blocker.filePath()));
    else
        why = in(kRefused);
    *error = in(kNoSnapshotFolder).arg(QDir::toNativeSeparators(folder), why);
    return false;
}

} // namespace

RadioImageMenu::RadioImageMenu(TForm1 &window, QMenu &fileMenu, QAction *before)
    : QObject(&window)
    , m_window(window)
{
    saveImage = new QAction(&fileMenu);
    saveImage->setObjectName(QStringLiteral("saveRadioImage"));
    restoreImage = new QAction(&fileMenu);
    restoreImage->setObjectName(QStringLiteral("restoreRadioImage"));
    verifyRadio = new QAction(&fileMenu);
    verifyRadio->setObjectName(QStringLiteral("verifyRadio"));
    m_marks = new DifferenceMarks(this);
    fileMenu.insertActions(before, {saveImage, restoreImage, verifyRadio});
    fileMenu.insertSeparator(saveImage);
    showCaptions(displayLanguage());
    connect(saveImage, &QAction::triggered, this, &RadioImageMenu::saveImageClick);
    connect(restoreImage, &QAction::triggered, this, &RadioImageMenu::restoreImageClick);
    connect(verifyRadio, &QAction::triggered, this, &RadioImageMenu::verifyRadioClick);
}

void RadioImageMenu::showCaptions(Language language)
{
    saveImage->setText(kSaveImage.in(language).toString());
    restoreImage->setText(kRestoreImage.in(language).toString());
    verifyRadio->setText(kVerifyRadio.in(language).toString());
}

bool RadioImageMenu::lineIsFree()
{
    RadioLink &link = m_window.link();
    if (link.transferRunning()) {
        showError(&m_window, in(kLineBusy));
        return false;
    }
    // The window's line is idle; the session opens the port on its own.
    link.Tim1.stop();
    link.Comm1.ClosePort();
    return true;
}

QString RadioImageMenu::askImageFile(bool save)
{
    QFileDialog dialog(&m_window);
    dialog.setObjectName(save ? QStringLiteral("saveImageDialog")
                              : QStringLiteral("openImageDialog"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(in(kImageFilter));
    dialog.setDefaultSuffix(QStringLiteral("img"));
    // What is restored is most often a snapshot, of a read or of the radio before a write.
    if (!save)
        dialog.setDirectory(snapshotFolder());
    if (runFileDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

template<typename Transfer>
RadioSession::Result RadioImageMenu::runSession(const WordPair &title, int steps, Transfer transfer,
                                                QString *error)
{
    // The window takes no input meanwhile, as during its own transfers.
    m_window.centralWidget()->setEnabled(false);
    m_window.menuBar()->setEnabled(false);
    RadioSession session(m_window.comcbb->currentText());

    QProgressDialog progress(&m_window);
    progress.setObjectName(QStringLiteral("radioImageProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setWindowTitle(in(title));
    progress.setLabelText(in(title) + QStringLiteral("..."));
    progress.setCancelButtonText(in(kCancel));
    progress.setAutoReset(false);
    // The dialog's own setValue() runs the event loop when it is modal, which would feed the
    // line's next bytes in while the session is still inside a block: the bar is set directly.
    auto *bar = new QProgressBar;
    bar->setRange(0, steps);
    bar->setValue(0);
    progress.setBar(bar);
    // A run is several transfers one after another, each counting its own blocks: the bar
    // adds them up.
    int before = 0;
    int done = 0;
    QString label;
    connect(&session, &RadioSession::progressed, &progress,
            [&](const QString &transferLabel, int blocks, int) {
                if (transferLabel != label) {
                    before += done;
                    label = transferLabel;
                }
                done = blocks;
                bar->setValue(std::min(before + done, steps));
            });
    // A read stops at once; a write stops at the next block boundary.
    connect(&progress, &QProgressDialog::canceled, &session, &RadioSession::requestStop);
    progress.show();

    const RadioSession::Result result = transfer(session);
    if (result != RadioSession::Result::Done && error->isEmpty())
        *error = result == RadioSession::Result::NoAnswer ? in(kNoAnswer) : session.errorText();
    m_window.centralWidget()->setEnabled(true);
    m_window.menuBar()->setEnabled(true);
    return result;
}

void RadioImageMenu::saveImageClick()
{
    if (!lineIsFree())
        return;
    const QString file = askImageFile(true);
    if (file.isEmpty())
        return;
    RadioImage image;
    QString error;
    const RadioSession::Result result = runSession(
        kSaving, allBlocks(), [&](RadioSession &s) { return s.readAll(&image); }, &error);
    if (result == RadioSession::Result::Interrupted) {
        showError(&m_window, in(kSaveCancelled));
        return;
    }
    if (result != RadioSession::Result::Done) {
        showError(&m_window, error);
        return;
    }
    image.taken = QDateTime::currentDateTime();
    image.port = m_window.comcbb->currentText();
    if (!image.writeFile(file, QCoreApplication::applicationVersion(), &error)) {
        showError(&m_window, error);
        return;
    }
    showSuccess(&m_window, kImageSaved.chinese.toString(), kImageSaved.english.toString());
}

void RadioImageMenu::restoreImageClick()
{
    if (!lineIsFree())
        return;
    const QString file = askImageFile(false);
    if (file.isEmpty())
        return;
    RadioImage image;
    QString error;
    if (!RadioImage::readFile(file, &image, &error)) {
        showError(&m_window, error);
        return;
    }
    // Afterwards the windows of the image's banks show what the radio holds: their changes would
    // be lost.
    std::vector<SignallingWindow *> replaced;
    for (SignallingWindow *window : m_window.signallingWindows()) {
        if (image.holds(window->bank()))
            replaced.push_back(window);
    }
    if (!m_window.changesMayGo(image.holds(Bank::Channels), replaced))
        return;
    const QString port = m_window.comcbb->currentText();
    if (ask(&m_window, {in(kRestoreQuestion).arg(QFileInfo(file).fileName(), port), false,
                        in(kRestoreAnyway)}) != Answer::Proceed)
        return;
    if (!makeSnapshotFolder(m_window.comcbb->currentText(), &error)) {
        showError(&m_window, error);
        return;
    }
    // The radio's state before goes into the snapshots first, so a wrong image can be undone.
    RadioImage before;
    RadioImage back;
    bool writing = false;
    QList<BlockAddress> written;
    // An image of some banks (a read's snapshot) writes those banks only; the snapshot and the
    // verify cover what it writes.
    const RadioSession::Result result = runSession(
        kRestoring, 3 * RadioSession::blockCount(image.banks()),
        [&](RadioSession &s) {
            RadioSession::Result r = s.readBanks(image.banks(), &before);
            if (r != RadioSession::Result::Done)
                return r;
            before.taken = QDateTime::currentDateTime();
            before.port = s.port();
            if (saveSnapshot(before, &error).isEmpty())
                return RadioSession::Result::PortError;
            writing = true;
            s.resetCounts();
            r = s.writeAll(image);
            written = s.writtenBlocks();
            if (r != RadioSession::Result::Done)
                return r;
            writing = false;
            return s.readBanks(image.banks(), &back);
        },
        &error);
    if (result == RadioSession::Result::Interrupted) {
        if (!writing)
            error = in(before.port.isEmpty() ? kRestoreCancelledBefore : kRestoreNotVerified);
        else if (written.isEmpty())
            error = in(kRestoreCancelledBefore);
        else
            error = in(kRestoreStopped)
                        .arg(describeBlock(written.last(), displayLanguage() == Language::English
                                                               ? kEnglishBlockWords
                                                               : kChineseBlockWords));
        showError(&m_window, error);
        return;
    }
    if (result != RadioSession::Result::Done) {
        showError(&m_window, error);
        return;
    }
    // The windows show what the radio holds now, so that the next write does not put the old
    // contents back.
    m_window.showImage(back, ContentsOrigin::Radio);
    QList<compare::Window> windows;
    for (const compare::Window window : compare::kWindows) {
        if (image.holds(compare::bankOf(window)))
            windows << window;
    }
    const QList<compare::Difference> differences =
        compare::compareContents(image, back, displayLanguage(), windows);
    if (!differences.isEmpty()) {
        showError(&m_window, describe(kImageDiffers, differences, compare::kImageAndRadio));
        return;
    }
    showSuccess(&m_window, kRestored.chinese.toString(), kRestored.english.toString());
}

namespace {

// The signalling windows the main window shows, with the part of the radio each holds.
struct SignallingPart
{
    compare::Window part;
    SignallingWindow *window;
};

QList<SignallingPart> signallingParts(const TForm1 &window)
{
    QList<SignallingPart> parts;
    const SignallingPart all[] = {{compare::Window::Dtmf, window.Form2},
                                  {compare::Window::TwoTone, window.Form4},
                                  {compare::Window::FiveTone, window.Form5},
                                  {compare::Window::Fsk, window.Form6}};
    for (const SignallingPart &part : all) {
        if (part.window)
            parts << part;
    }
    return parts;
}

} // namespace

void RadioImageMenu::verifyRadioClick()
{
    m_marks->clear();
    if (!lineIsFree())
        return;
    // The table and the signalling windows are checked before the radio hears anything, as by
    // their Write.
    RadioImage scratch;
    const Conversion check = sheetOverImage(m_window.sheet(), &scratch);
    if (!check.ok()) {
        showError(&m_window, check.error);
        return;
    }
    QList<compare::Window> compared(std::begin(compare::kMainWindows),
                                    std::end(compare::kMainWindows));
    std::vector<std::pair<Bank, std::vector<Payload>>> signalling;
    for (const SignallingPart &part : signallingParts(m_window)) {
        QString error;
        std::optional<std::vector<Payload>> payloads = part.window->payloadsToWrite(&error);
        if (!payloads) {
            showError(
                &m_window,
                in(kWindowRefused).arg(compare::nameOf(part.part).in(displayLanguage()), error));
            return;
        }
        signalling.emplace_back(compare::bankOf(part.part), std::move(*payloads));
        compared << part.part;
    }
    RadioImage radio;
    QString error;
    const RadioSession::Result result = runSession(
        kVerifying, allBlocks(), [&](RadioSession &s) { return s.readAll(&radio); }, &error);
    if (result == RadioSession::Result::Interrupted) {
        showError(&m_window, in(kVerifyCancelled));
        return;
    }
    if (result != RadioSession::Result::Done) {
        showError(&m_window, error);
        return;
    }
    // The table written over the radio's own blocks: bytes no text covers keep the radio's, so
    // only what the table says differently shows. The signalling windows' blocks are whole, as
    // their Write sends them.
    RadioImage expected = radio;
    (void)sheetOverImage(m_window.sheet(), &expected);
    for (const auto &[bank, payloads] : signalling) {
        const QList<BlockAddress> blocks = RadioImage::addresses(bank);
        for (std::size_t i = 0; i < payloads.size() && i < std::size_t(blocks.size()); ++i)
            expected.setPayload(bank, blocks[qsizetype(i)].block, payloads[i]);
    }
    const QList<compare::Difference> differences =
        compare::compareContents(expected, radio, displayLanguage(), compared);
    if (differences.isEmpty()) {
        showSuccess(&m_window, kRadioMatches.chinese.toString(), kRadioMatches.english.toString());
        return;
    }
    markDifferences(differences);
    showError(&m_window, describe(kRadioDiffers, differences, compare::kTableAndRadio));
}

void RadioImageMenu::markDifferences(const QList<compare::Difference> &differences)
{
    const auto windowOf = [this](compare::Window part) -> QWidget * {
        if (part == compare::Window::Channels || part == compare::Window::Settings)
            return &m_window;
        for (const SignallingPart &p : signallingParts(m_window)) {
            if (p.part == part)
                return p.window;
        }
        return nullptr;
    };
    for (const compare::Difference &d : differences) {
        QWidget *window = d.isByte() ? nullptr : windowOf(d.window);
        QWidget *control = window ? window->findChild<QWidget *>(d.control) : nullptr;
        if (!control)
            continue; // a byte no window shows is named in the message only
        const QString note = in(kRadioValue).arg(d.second);
        if (auto *grid = qobject_cast<TXStringGrid *>(control))
            m_marks->markCell(grid, d.column, d.row, note);
        else
            m_marks->markControl(control, note);
    }
    // A read brings the radio's values: the marks have said what they had to.
    m_marks->clearOn(m_window.rbtn);
    for (const SignallingPart &p : signallingParts(m_window))
        m_marks->clearOn(p.window->rbtn);
}

} // namespace wf
