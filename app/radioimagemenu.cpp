// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/radioimagemenu.h"

#include "app/filedialogs.h"
#include "app/tform1.h"
#include "channels/sheetimage.h"
#include "i18n/language.h"
#include "i18n/ui/messagebox.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

#include <array>

namespace wf {

namespace {

constexpr WordPair kSaveImage{u"保存电台镜像(&B)...", u"Save Radio &Image..."};
constexpr WordPair kRestoreImage{u"恢复电台镜像(&R)...", u"&Restore Radio Image..."};
constexpr WordPair kVerifyRadio{u"核对电台与表格(&V)", u"&Verify Radio Against Table"};
constexpr WordPair kImageFilter{u"电台镜像 (*.img)", u"Radio images (*.img)"};
constexpr WordPair kLineBusy{u"另一个传输正在进行。", u"Another transfer is running."};
constexpr WordPair kImageSaved{u"电台镜像已保存。", u"Radio image saved."};
constexpr WordPair kRestored{u"电台已恢复并核对无误。", u"Radio restored and verified."};
constexpr WordPair kRadioMatches{u"电台与表格一致。", u"The radio holds the table."};
constexpr WordPair kRadioDiffers{u"电台与表格不一致:", u"The radio differs from the table:"};
constexpr WordPair kNoAnswer{u"电台无应答。", u"No answer from the radio."};

QString in(const WordPair &pair)
{
    return pair.in(displayLanguage()).toString();
}

QString blockName(const BlockAddress &address)
{
    if (address.bank == Bank::Channels)
        return QStringLiteral("CH %1").arg(address.block);
    if (address.bank == Bank::Settings)
        return QStringLiteral("settings");
    return QStringLiteral("%1 %2").arg(bankName(address.bank)).arg(address.block);
}

// One line a block that differs, with the bytes: what a technician needs to judge a radio.
QString describe(const QList<ByteMismatch> &mismatches)
{
    QStringList lines;
    QString current;
    for (const ByteMismatch &m : mismatches) {
        const QString name = blockName(m.address);
        const QString byte = QStringLiteral("%1: %2→%3")
                                 .arg(m.byte)
                                 .arg(m.expected, 2, 16, QLatin1Char('0'))
                                 .arg(m.actual, 2, 16, QLatin1Char('0'));
        if (name == current) {
            lines.last() += QStringLiteral(", ") + byte;
        } else {
            lines << name + QStringLiteral(" byte ") + byte;
            current = name;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

QList<BlockAddress> mainBlocks()
{
    return RadioImage::addresses(Bank::Channels) + RadioImage::addresses(Bank::Settings);
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
    if (runFileDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

template<typename Transfer>
RadioSession::Result RadioImageMenu::runSession(Transfer transfer, QString *error)
{
    // The window takes no input meanwhile, as during its own transfers.
    m_window.centralWidget()->setEnabled(false);
    m_window.menuBar()->setEnabled(false);
    RadioSession session(m_window.comcbb->currentText());
    const RadioSession::Result result = transfer(session);
    if (result != RadioSession::Result::Done)
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
    if (runSession([&](RadioSession &s) { return s.readAll(&image); }, &error) !=
        RadioSession::Result::Done) {
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
    // The radio's state before goes into the snapshots first, so a wrong image can be undone.
    RadioImage before;
    RadioImage back;
    const RadioSession::Result result = runSession(
        [&](RadioSession &s) {
            RadioSession::Result r = s.readAll(&before);
            if (r != RadioSession::Result::Done)
                return r;
            before.taken = QDateTime::currentDateTime();
            before.port = s.port();
            const QString snapshot = radioSnapshotPath(s.port());
            QString problem;
            if (!QDir().mkpath(QFileInfo(snapshot).path()) ||
                !before.writeFile(snapshot, QCoreApplication::applicationVersion(), &problem)) {
                error = problem.isEmpty() ? snapshot : problem;
                return RadioSession::Result::PortError;
            }
            r = s.writeAll(image);
            return r == RadioSession::Result::Done ? s.readAll(&back) : r;
        },
        &error);
    if (result != RadioSession::Result::Done) {
        showError(&m_window, error);
        return;
    }
    const QList<ByteMismatch> mismatches = compareBlocks(image, back, RadioImage::addresses());
    if (!mismatches.isEmpty()) {
        showError(&m_window, in(kRadioDiffers) + QLatin1Char('\n') + describe(mismatches));
        return;
    }
    showSuccess(&m_window, kRestored.chinese.toString(), kRestored.english.toString());
}

void RadioImageMenu::verifyRadioClick()
{
    if (!lineIsFree())
        return;
    // The table is checked before the radio hears anything, as by the window's Write.
    RadioImage scratch;
    const Conversion check = sheetOverImage(m_window.sheet(), &scratch);
    if (!check.ok()) {
        showError(&m_window, check.error);
        return;
    }
    RadioImage radio;
    QString error;
    if (runSession([&](RadioSession &s) { return s.readMain(&radio); }, &error) !=
        RadioSession::Result::Done) {
        showError(&m_window, error);
        return;
    }
    // The table written over the radio's own blocks: bytes no text covers keep the radio's, so
    // only what the table says differently shows.
    RadioImage expected = radio;
    (void)sheetOverImage(m_window.sheet(), &expected);
    const QList<ByteMismatch> mismatches = compareBlocks(expected, radio, mainBlocks());
    if (!mismatches.isEmpty()) {
        showError(&m_window, in(kRadioDiffers) + QLatin1Char('\n') + describe(mismatches));
        return;
    }
    showSuccess(&m_window, kRadioMatches.chinese.toString(), kRadioMatches.english.toString());
}

} // namespace wf
