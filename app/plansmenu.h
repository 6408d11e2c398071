// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "contents/printdocument.h"
#include "i18n/language.h"
#include "protocol/radioimage.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QAction;
class QFileDialog;
class QMenu;
class QPrintPreviewDialog;
class TForm1;

namespace wf {

/** The main window's File menu entries that keep and hand over the radio's contents without a
 *  radio: a radio image opened into every window and saved from them, the channel plan as a CSV
 *  file both ways, and the contents as a printed document or a PDF. */
class PlansMenu final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlansMenu)

public:
    /** Adds the entries to `fileMenu` before `before`. */
    PlansMenu(TForm1 &window, QMenu &fileMenu, QAction *before);

    QAction *openImage = nullptr;
    QAction *saveImage = nullptr;
    QAction *importCsv = nullptr;
    QAction *exportCsv = nullptr;
    QAction *printContents = nullptr;
    QAction *exportPdf = nullptr;

    /** Writes the entries' captions in a language. */
    void showCaptions(Language language);

private:
    /** An entry of the menu: its action, object name, caption and what it does. */
    struct Entry
    {
        QAction *PlansMenu::*action;
        const char *name;
        WordPair caption;
        void (PlansMenu::*click)();
    };
    /** The entries in menu order. */
    static const std::vector<Entry> &entries();

    /** The document of what the windows show now, in the display language; nothing, after the
     *  message, when a signalling window holds a text its Write would refuse. */
    std::optional<print::Document> document();
    /** False, after the message, while a transfer runs. */
    bool windowsAreFree();
    void openImageClick();
    void saveImageClick();
    void importCsvClick();
    void exportCsvClick();
    void printClick();
    void exportPdfClick();
    /** The file the user chooses in a dialog of `filter` files ending in `suffix`, starting in
     *  the folder used last; empty when the user cancels. */
    QString askFile(bool save, const char *name, const QString &filter, const QString &suffix);
    /** The image of what the windows show, encoded as their Writes send it, over the image
     *  opened last; false, after the message, when a text does not convert. */
    bool imageOfWindows(RadioImage *image);

    TForm1 &m_window;
    QString m_folder;    ///< where the last of these dialogs was answered
    RadioImage m_base;   ///< the images opened and saved: the bytes no text shows
    QString m_imageFile; ///< the image file the windows show
};

/** Runs the print preview modally, or hands it to the installed hook, for tests. */
int runPrintPreview(QPrintPreviewDialog &dialog);
using PrintPreviewHook = std::function<int(QPrintPreviewDialog &dialog)>;
void setPrintPreviewHook(PrintPreviewHook hook);

} // namespace wf
