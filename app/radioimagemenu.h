// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "compare/radiodiff.h"
#include "i18n/language.h"
#include "protocol/radiosession.h"

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class TForm1;

namespace wf {

class DifferenceMarks;

/** The main window's File menu entries for complete radio images and for the verify: save every
 *  block of the radio to an image file, write an image back (after a snapshot, with a verify),
 *  and compare the radio with the table and the signalling windows, marking where they differ. They
 * run a session of their own on the window's port while the window's own Read and Write stay
 * exactly as they are. */
class RadioImageMenu final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RadioImageMenu)

public:
    /** Adds the entries to `fileMenu` before `before`. */
    RadioImageMenu(TForm1 &window, QMenu &fileMenu, QAction *before);

    QAction *saveImage = nullptr;
    QAction *restoreImage = nullptr;
    QAction *verifyRadio = nullptr;

    /** Writes the entries' captions in a language. */
    void showCaptions(Language language);

private:
    void saveImageClick();
    void restoreImageClick();
    void verifyRadioClick();
    void markDifferences(const QList<compare::Difference> &differences);
    QString askImageFile(bool save);
    bool lineIsFree();
    /** Runs `transfer` on a session of the window's port with the window disabled, under a
     *  progress dialog titled `title` whose bar counts `steps` blocks and whose Cancel stops the
     *  session. */
    template<typename Transfer>
    RadioSession::Result runSession(const WordPair &title, int steps, Transfer transfer,
                                    QString *error);

    TForm1 &m_window;
    DifferenceMarks *m_marks = nullptr; ///< where the last verify found the radio otherwise
};

} // namespace wf
