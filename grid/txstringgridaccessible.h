// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace wf {

class TXStringGrid;

/** Makes a screen reader meet the grid as a table of its editable cells, with the captions of
 *  the fixed row as the column headers and the fixed column's texts (the channel numbers) as the
 *  row headers, instead of as one more row and column of data. Called by every grid as it is
 *  built. */
void makeGridAccessible(TXStringGrid *grid);

/** The place of cell col,row (fixed cells counted) among the grid's accessible children: the
 *  child a focus or selection event on the grid names. */
int gridAccessibleChild(const TXStringGrid &grid, int col, int row);

} // namespace wf
