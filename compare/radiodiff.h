// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "compare/shownfields.h"

#include <QList>
#include <QString>

/** What differs between two radios' contents, as a person reads it: each text a window shows
 *  differently, named by window, row and caption with both values, and each byte that differs
 *  where no window shows it. The main window's verify marks its controls from this list; the
 *  command-line tool prints it as text, CSV or JSON. */
namespace wf::compare {

/** One difference: a field that two radios' contents show differently, or a byte that differs
 *  where no field shows it. */
struct Difference
{
    Window window = Window::Channels;
    // A field: where the window shows it (empty control for a byte).
    QString control; ///< the object name of the grid or control
    int row = 0;     ///< grid row from 1; 0 for a control
    int column = -1; ///< grid column; -1 for a control
    // A byte no field shows (-1 for a field).
    int block = -1;
    int byte = -1;
    QString place;   ///< "CH 1", "2-Tone decode 3", "FSK block 2 byte 14"
    QString caption; ///< the field's caption; empty for a byte
    QString first;   ///< the first side's value as its window shows it ("00" for a byte)
    QString second;  ///< the second side's

    bool isByte() const { return byte >= 0; }
};

/** What the two sides of a comparison are called in its sentences. */
struct Sides
{
    WordPair first;
    WordPair second;
};

/** The main window's table and the radio. */
inline constexpr Sides kTableAndRadio{{u"表格", u"table"}, {u"电台", u"radio"}};
/** A radio image and the radio it was restored into. */
inline constexpr Sides kImageAndRadio{{u"镜像", u"image"}, {u"电台", u"radio"}};
/** What a write sent and what the radio then held. */
inline constexpr Sides kWrittenAndRadio{{u"写入", u"written"}, {u"电台", u"radio"}};
/** The two inputs of a comparison of files. */
inline constexpr Sides kAAndB{{u"A", u"A"}, {u"B", u"B"}};

/** The differences from `first` to `second` in the windows `windows`, window by window in
 *  kWindows order, each window's fields in its order and then its bytes in block order. Both
 *  sides are read as a freshly created window reads a radio (shownFields); a byte that differs
 *  is named as a byte only when changing it alone changes nothing either side's window shows.
 *  Texts are in `language`. */
QList<Difference> compareContents(const RadioImage &first, const RadioImage &second,
                                  Language language,
                                  const QList<Window> &windows = QList<Window>(std::begin(kWindows),
                                                                               std::end(kWindows)));

/** One difference as a sentence: "CH 1, TX Power: table LOW, radio HIGH", "FSK block 2 byte 14:
 *  table 00, radio ff"; in Chinese "信道 1，发射功率：表格 低，电台 高". */
QString sentence(const Difference &difference, const Sides &sides, Language language);

/** The differences as CSV for scripts and spreadsheets, a header line first: window, control,
 *  row, column, block, byte, place, field, and the two sides' English names ("table,radio"). The
 *  window is its key ("2tone"); place and field are in the language of the comparison. */
QString differencesCsv(const QList<Difference> &differences, const Sides &sides);

/** The differences as a JSON array of objects named as the CSV's columns; the members a
 *  difference does not have (a byte's control, a field's byte) are left out. */
QString differencesJson(const QList<Difference> &differences, const Sides &sides);

/** A field or a cell of CSV, quoted when it must be. */
QString csvField(const QString &text);

} // namespace wf::compare
