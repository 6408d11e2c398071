// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/plansmenu.h"

#include "app/filedialogs.h"
#include "app/recentfiles.h"
#include "app/tform1.h"
#include "channels/csvplan.h"
#include "channels/sheetimage.h"
#include "contents/radiocontents.h"
#include "i18n/languagesettings.h"
#include "i18n/ui/messagebox.h"
#include "signalling/ui/signallingwindow.h"

#include <algorithm>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStandardPaths>

namespace wf {

namespace {

constexpr WordPair kOpenImage{u"打开电台镜像(&I)...", u"Open Radio &Image..."};
constexpr WordPair kSaveImage{u"保存电台镜像(&G)...", u"Save Radio Ima&ge..."};
constexpr WordPair kImportCsv{u"导入 CSV(&C)...", u"Import &CSV..."};
constexpr WordPair kExportCsv{u"导出 CSV(&X)...", u"E&xport CSV..."};
constexpr WordPair kPrint{u"打印(&P)...", u"&Print..."};
constexpr WordPair kExportPdf{u"导出 PDF(&D)...", u"Export P&DF..."};
constexpr WordPair kImageFilter{u"电台镜像 (*.img)", u"Radio images (*.img)"};
constexpr WordPair kCsvFilter{u"CSV 文件 (*.csv)", u"CSV files (*.csv)"};
constexpr WordPair kPdfFilter{u"PDF 文件 (*.pdf)", u"PDF files (*.pdf)"};
constexpr WordPair kImportStep{u"导入", u"import"};
constexpr WordPair kImageSaved{u"电台镜像已保存。", u"Radio image saved."};
constexpr WordPair kWindowRefused{u"%1：%2", u"%1: %2"};
constexpr WordPair kLineBusy{u"另一个传输正在进行。", u"Another transfer is running."};

QString in(const WordPair &pair)
{
    return pair.in(displayLanguage()).toString();
}

// The signalling windows the main window has, with the bank each one's Write fills.
struct SignallingPart
{
    SignallingWindow *window;
    Bank bank;
};

QList<SignallingPart> signallingParts(const TForm1 &window)
{
    QList<SignallingPart> parts;
    const SignallingPart all[] = {{window.Form2, Bank::Dtmf},
                                  {window.Form4, Bank::TwoTone},
                                  {window.Form5, Bank::FiveTone},
                                  {window.Form6, Bank::Fsk}};
    for (const SignallingPart &part : all) {
        if (part.window)
            parts << part;
    }
    return parts;
}

PrintPreviewHook &printPreviewHook()
{
    static PrintPreviewHook hook;
    return hook;
}

} // namespace

int runPrintPreview(QPrintPreviewDialog &dialog)
{
    if (printPreviewHook())
        return printPreviewHook()(dialog);
    return dialog.exec();
}

void setPrintPreviewHook(PrintPreviewHook hook)
{
    printPreviewHook() = std::move(hook);
}

const std::vector<PlansMenu::Entry> &PlansMenu::entries()
{
    static const std::vector<Entry> table = {
        {&PlansMenu::openImage, "openRadioImage", kOpenImage, &PlansMenu::openImageClick},
        {&PlansMenu::saveImage, "saveRadioImageFile", kSaveImage, &PlansMenu::saveImageClick},
        {&PlansMenu::importCsv, "importCsv", kImportCsv, &PlansMenu::importCsvClick},
        {&PlansMenu::exportCsv, "exportCsv", kExportCsv, &PlansMenu::exportCsvClick},
        {&PlansMenu::printContents, "printContents", kPrint, &PlansMenu::printClick},
        {&PlansMenu::exportPdf, "exportPdf", kExportPdf, &PlansMenu::exportPdfClick},
    };
    return table;
}

PlansMenu::PlansMenu(TForm1 &window, QMenu &fileMenu, QAction *before)
    : QObject(&window)
    , m_window(window)
{
    QList<QAction *> actions;
    for (const Entry &entry : entries()) {
        QAction *action = new QAction(&fileMenu);
        action->setObjectName(QString::fromLatin1(entry.name));
        connect(action, &QAction::triggered, this, entry.click);
        this->*entry.action = action;
        actions << action;
    }
    fileMenu.insertActions(before, actions);
    fileMenu.insertSeparator(openImage);
    fileMenu.insertSeparator(importCsv);
    showCaptions(displayLanguage());
}

void PlansMenu::showCaptions(Language language)
{
    for (const Entry &entry : entries())
        (this->*entry.action)->setText(entry.caption.in(language).toString());
}

QString PlansMenu::askFile(bool save, const char *name, const QString &filter,
                           const QString &suffix)
{
    QFileDialog dialog(&m_window);
    dialog.setObjectName(QString::fromLatin1(name));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(suffix);
    // The folder of the last plan, image or data file, in this session or an earlier one.
    QString folder = m_folder;
    if (!QFileInfo(folder).isDir())
        folder = RecentFiles(iniFilePath()).folder();
    if (!QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    dialog.setDirectory(folder);
    if (runFileDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString file = dialog.selectedFiles().constFirst();
    m_folder = QFileInfo(file).absolutePath();
    return file;
}

bool PlansMenu::windowsAreFree()
{
    // A transfer still fills or reads the windows: what they show is not to be replaced now.
    if (!m_window.link().transferRunning())
        return true;
    showError(&m_window, in(kLineBusy));
    return false;
}

void PlansMenu::openImageClick()
{
    if (!windowsAreFree())
        return;
    // Every window shows the image afterwards: their changes would be lost.
    if (!m_window.changesMayGo(true, m_window.signallingWindows()))
        return;
    const QString file =
        askFile(false, "openImageFileDialog", in(kImageFilter), QStringLiteral("img"));
    if (file.isEmpty())
        return;
    RadioImage image;
    QString error;
    if (!RadioImage::readFile(file, &image, &error)) {
        showError(&m_window, error);
        return;
    }
    // A read's snapshot holds some banks only: the others keep the bytes of the image before.
    for (const BlockAddress &a : image.heldBlocks())
        m_base.setPayload(a.bank, a.block, image.payload(a.bank, a.block));
    m_imageFile = file;
    m_window.showImage(image, ContentsOrigin::File);
}

bool PlansMenu::imageOfWindows(RadioImage *image)
{
    const Language language = displayLanguage();
    // Bytes no text shows keep those of the image opened last, so that an image saved as it
    // was opened is the same image.
    RadioImage built = m_base;
    const Conversion table = sheetOverImage(m_window.sheet(), &built, language);
    if (!table.ok()) {
        showError(&m_window, table.error);
        return false;
    }
    for (const SignallingPart &part : signallingParts(m_window)) {
        QString error;
        const std::optional<std::vector<Payload>> payloads = part.window->payloadsToWrite(&error);
        if (!payloads) {
            showError(&m_window, in(kWindowRefused).arg(part.window->caption(), error));
            return false;
        }
        const QList<BlockAddress> blocks = RadioImage::addresses(part.bank);
        for (std::size_t i = 0; i < payloads->size() && i < std::size_t(blocks.size()); ++i)
            built.setPayload(part.bank, blocks[qsizetype(i)].block, (*payloads)[i]);
    }
    *image = built;
    return true;
}

void PlansMenu::saveImageClick()
{
    RadioImage image;
    if (!imageOfWindows(&image))
        return;
    const QString file =
        askFile(true, "saveImageFileDialog", in(kImageFilter), QStringLiteral("img"));
    if (file.isEmpty())
        return;
    image.taken = QDateTime::currentDateTime();
    QString error;
    if (!image.writeFile(file, QCoreApplication::applicationVersion(), &error)) {
        showError(&m_window, error);
        return;
    }
    m_base = image;
    m_imageFile = file;
    // What the windows show is kept in the file now; the table still belongs to its data file.
    m_window.document().kept();
    for (const SignallingPart &part : signallingParts(m_window))
        part.window->document().kept();
    showSuccess(&m_window, kImageSaved.chinese.toString(), kImageSaved.english.toString());
}

void PlansMenu::importCsvClick()
{
    if (!windowsAreFree())
        return;
    const QString file =
        askFile(false, "importCsvDialog", in(kCsvFilter), csvplan::kSuffix.toString());
    if (file.isEmpty())
        return;
    const Language language = displayLanguage();
    const csvplan::Imported plan = csvplan::readPlan(file, m_window.sheet(), language);
    if (!plan.ok()) {
        showError(&m_window, plan.error);
        return;
    }
    for (int row = 1; row <= kChannelCount; ++row)
        m_window.setChannelRow(row, plan.sheet.rows[row]);
    m_window.setSettingsTexts(plan.sheet.settings);
    // The whole plan is one step, undone by one Undo.
    m_window.document().record(in(kImportStep));
    showSuccess(&m_window, csvplan::summary(plan, Language::Chinese),
                csvplan::summary(plan, Language::English));
}

void PlansMenu::exportCsvClick()
{
    const QString file =
        askFile(true, "exportCsvDialog", in(kCsvFilter), csvplan::kSuffix.toString());
    if (file.isEmpty())
        return;
    const QString error = csvplan::writePlan(file, m_window.sheet(), displayLanguage());
    if (!error.isEmpty())
        showError(&m_window, error);
}

std::optional<print::Document> PlansMenu::document()
{
    const Language language = displayLanguage();
    RadioImage image;
    if (!imageOfWindows(&image))
        return std::nullopt;
    // The signalling tables as their windows show them; the table as it is typed.
    RadioContents contents = contentsOfImage(image, language);
    contents.sheet = m_window.sheet();
    const QList<SignallingPart> parts = signallingParts(m_window);
    const auto has = [&parts](Bank bank) {
        return std::any_of(parts.begin(), parts.end(),
                           [bank](const SignallingPart &p) { return p.bank == bank; });
    };
    if (!has(Bank::Dtmf))
        contents.dtmf.reset();
    if (!has(Bank::TwoTone))
        contents.twoTone.reset();
    if (!has(Bank::FiveTone))
        contents.fiveTone.reset();
    if (!has(Bank::Fsk))
        contents.fsk.reset();
    print::Origin origin;
    origin.fileName = m_window.document().fileName();
    if (m_window.document().origin() == ContentsOrigin::File && origin.fileName.isEmpty())
        origin.fileName = m_imageFile;
    if (m_window.document().origin() == ContentsOrigin::Radio)
        origin.port = m_window.comcbb->currentText();
    if (!origin.fileName.isEmpty())
        origin.fileName = QFileInfo(origin.fileName).fileName();
    return print::buildDocument(contents, origin, language);
}

void PlansMenu::printClick()
{
    const std::optional<print::Document> doc = document();
    if (!doc)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(print::pageLayout(print::localPaper()));
    QPrintPreviewDialog preview(&printer, &m_window);
    preview.setObjectName(QStringLiteral("printPreview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&doc](QPrinter *device) { print::paintDocument(*doc, device); });
    runPrintPreview(preview);
}

void PlansMenu::exportPdfClick()
{
    const std::optional<print::Document> doc = document();
    if (!doc)
        return;
    const QString file = askFile(true, "exportPdfDialog", in(kPdfFilter), QStringLiteral("pdf"));
    if (file.isEmpty())
        return;
    const QString error = print::writePdf(file, *doc, print::localPaper());
    if (!error.isEmpty())
        showError(&m_window, error);
}

} // namespace wf
