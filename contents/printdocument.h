// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "contents/radiocontents.h"
#include "i18n/language.h"

#include <QDateTime>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;

/** The radio's contents as a document a person hands over or files: the channel table, the
 *  settings and each signalling table that holds data, under a heading that says where they
 *  came from. Built as texts, then laid out and painted on any paged device: a PDF writer, or a
 *  printer (QPrinter is one), so that the command-line tool and the windows make the same
 *  document. Tables are cut between rows only, and their header row starts every page again. */
namespace wf::print {

/** Where the contents came from, as far as is known; what is empty is left out. */
struct Origin
{
    QString fileName;  ///< the data file or image they were loaded from or saved to
    QString port;      ///< the serial port they were read from
    QDateTime readAt;  ///< when they were read from the radio
    QDateTime printed; ///< the date the document carries; now when not set
};

/** One table of the document: a title (may be empty), its header row and its rows. */
struct Table
{
    QString title;
    QStringList header;
    QList<QStringList> rows;

    friend bool operator==(const Table &a, const Table &b)
    {
        return a.title == b.title && a.header == b.header && a.rows == b.rows;
    }
};

/** One part of the document: the channels, the settings, one signalling table. */
struct Section
{
    QString title;
    QList<Table> tables;
};

/** The document as texts, in one language. */
struct Document
{
    QString title;
    QStringList heading; ///< the lines under the title: file, port, dates
    QString footer;      ///< each page's foot, before its page number
    QString pageNumber;  ///< "Page %1 of %2"
    QList<Section> sections;
};

/** The document of `contents` in `language`: the sixteen channels, the ten settings, and each
 *  signalling table that is present and holds more than a fresh window does (rows that are
 *  empty are left out). The texts are printed as the windows show them. */
Document buildDocument(const RadioContents &contents, const Origin &origin, Language language);

/** The page the document is made for: `paper` in landscape, which the sixteen columns of the
 *  channel table need, with 12 mm margins. */
QPageLayout pageLayout(QPageSize::PageSizeId paper);

/** The paper of the user's country: Letter where inches are the measure, A4 elsewhere. */
QPageSize::PageSizeId localPaper();

/** Lays the document out on the pages of `device` as it is set up (paper, orientation, margins)
 *  and paints it; returns the number of pages. */
int paintDocument(const Document &document, QPagedPaintDevice *device);

/** Writes the document as a PDF file of `paper` pages, replacing a file of that name. Returns
 *  the empty text, or "Cannot create file "name". reason"; `pages` receives the page count. */
QString writePdf(const QString &fileName, const Document &document, QPageSize::PageSizeId paper,
                 int *pages = nullptr);

} // namespace wf::print
