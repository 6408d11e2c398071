// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/radioimage.h"

class QWidget;

namespace wf {

/** Keeps what a window's read brought as a snapshot, so that the radio's contents before any
 *  later write are on disk. A snapshot that cannot be saved leaves the read as it is: the first
 *  time in a run it is said over `parent`, in the display language, and then no more. */
void keepReadSnapshot(QWidget *parent, const RadioImage &image);

} // namespace wf
