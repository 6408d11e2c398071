// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/txstringcolumnitem.h"

#include "grid/ecelleditorerror.h"
#include "grid/tcelleditor.h"
#include "grid/tmetacelleditor.h"
#include "grid/txstringgrid.h"

namespace wf {

TXStringColumnItem::TXStringColumnItem(TXStringGrid *grid, int index)
    : m_grid(grid)
    , m_index(index)
    , m_headerColor(grid->FixedColor())
    , m_headerFont(grid->font())
    , m_color(grid->color())
    , m_font(grid->font())
{}

TXStringColumnItem::~TXStringColumnItem()
{
    if (m_editor)
        m_editor->removeUse();
}

QString TXStringColumnItem::Caption() const
{
    return m_grid->Cells(m_index, 0);
}

void TXStringColumnItem::setCaption(const QString &caption)
{
    m_grid->setCells(m_index, 0, caption);
}

int TXStringColumnItem::Width() const
{
    return m_grid->ColWidths(m_index);
}

void TXStringColumnItem::setWidth(int width)
{
    m_grid->setColWidths(m_index, width);
}

void TXStringColumnItem::setHeaderColor(const QColor &color)
{
    m_headerColor = color;
    changed();
}

void TXStringColumnItem::setHeaderFont(const QFont &font)
{
    m_headerFont = font;
    changed();
}

void TXStringColumnItem::setHeaderAlignment(Qt::Alignment alignment)
{
    m_headerAlignment = alignment;
    changed();
}

void TXStringColumnItem::setColor(const QColor &color)
{
    m_color = color;
    changed();
}

void TXStringColumnItem::setFont(const QFont &font)
{
    m_font = font;
    changed();
}

void TXStringColumnItem::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    changed();
}

void TXStringColumnItem::setEditor(TCellEditor *editor)
{
    if (editor == m_editor)
        return;
    if (editor) {
        if (editor->grid() && editor->grid() != m_grid)
            throw ECellEditorError::alreadyAssigned(editor->objectName(),
                                                    editor->grid()->objectName());
        if (!qobject_cast<TMetaCellEditor *>(editor))
            throw ECellEditorError::notACellEditor();
    }
    // An edit under way in this column belongs to the old editor: let it finish first.
    m_grid->finishEditInColumn(m_index);
    if (m_editor)
        m_editor->removeUse();
    m_editor = editor;
    if (m_editor)
        m_editor->addUse(m_grid);
}

void TXStringColumnItem::changed()
{
    m_grid->refreshColumn(m_index);
}

} // namespace wf
