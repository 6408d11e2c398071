// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/differencemarks.h"

#include "grid/txstringgrid.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace wf {

DifferenceMarks::DifferenceMarks(QObject *parent)
    : QObject(parent)
{}

DifferenceMarks::~DifferenceMarks()
{
    clear();
}

void DifferenceMarks::markCell(TXStringGrid *grid, int col, int row, const QString &note)
{
    if (!m_grids.contains(grid)) {
        m_grids << grid;
        // An edit, or any other change of a cell's text (read, loaded), makes the marks stale.
        m_watches << connect(grid, &TXStringGrid::OnSetEditText, this, &DifferenceMarks::clear);
        m_watches << connect(grid->model(), &QAbstractItemModel::dataChanged, this,
                             &DifferenceMarks::clear);
    }
    grid->setCellMark(col, row, note);
    ++m_count;
}

void DifferenceMarks::markControl(QWidget *control, const QString &note)
{
    m_controls.append({control, control->palette(), control->testAttribute(Qt::WA_SetPalette),
                       control->autoFillBackground(), control->toolTip(),
                       control->accessibleDescription()});
    QPalette palette = control->palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window})
        palette.setColor(role, TXStringGrid::markColor());
    control->setPalette(palette);
    control->setAutoFillBackground(true); // a check box draws no background of its own
    control->setToolTip(note);
    control->setAccessibleDescription(note);
    if (auto *combo = qobject_cast<QComboBox *>(control))
        m_watches << connect(combo, &QComboBox::currentTextChanged, this, &DifferenceMarks::clear);
    else if (auto *edit = qobject_cast<QLineEdit *>(control))
        m_watches << connect(edit, &QLineEdit::textChanged, this, &DifferenceMarks::clear);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        m_watches << connect(button, &QAbstractButton::toggled, this, &DifferenceMarks::clear);
    ++m_count;
}

void DifferenceMarks::clearOn(QAbstractButton *button)
{
    m_watches << connect(button, &QAbstractButton::clicked, this, &DifferenceMarks::clear);
}

void DifferenceMarks::clear()
{
    for (const QMetaObject::Connection &watch : std::as_const(m_watches))
        disconnect(watch);
    m_watches.clear();
    for (const QPointer<TXStringGrid> &grid : std::as_const(m_grids)) {
        if (grid)
            grid->clearCellMarks();
    }
    m_grids.clear();
    for (const MarkedControl &marked : std::as_const(m_controls)) {
        QWidget *control = marked.widget;
        if (!control)
            continue;
        if (marked.ownPalette)
            control->setPalette(marked.palette);
        else
            control->setPalette(QPalette()); // follows its parent's again
        control->setAutoFillBackground(marked.autoFill);
        control->setToolTip(marked.toolTip);
        control->setAccessibleDescription(marked.description);
    }
    m_controls.clear();
    m_count = 0;
}

} // namespace wf
