// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

namespace wf {

class TCellEditor;
class TXStringGrid;

/** The description of one grid column: its caption (the cell in row 0), width, header and cell
 *  appearance, and the editor that edits its cells. */
class TXStringColumnItem final
{
    Q_DISABLE_COPY_MOVE(TXStringColumnItem)

public:
    TXStringColumnItem(TXStringGrid *grid, int index);
    ~TXStringColumnItem();

    TXStringGrid *grid() const { return m_grid; }
    int index() const { return m_index; }

    /** The text of this column's cell in row 0: reading and writing it reads and writes that
     *  cell. */
    QString Caption() const;
    void setCaption(const QString &caption);

    /** The grid's width of this column. */
    int Width() const;
    void setWidth(int width);

    /** Background, font and alignment of the column's cells in the fixed rows. */
    QColor HeaderColor() const { return m_headerColor; }
    void setHeaderColor(const QColor &color);
    QFont HeaderFont() const { return m_headerFont; }
    void setHeaderFont(const QFont &font);
    Qt::Alignment HeaderAlignment() const { return m_headerAlignment; }
    void setHeaderAlignment(Qt::Alignment alignment);

    /** Background, font and alignment of the column's other cells. */
    QColor Color() const { return m_color; }
    void setColor(const QColor &color);
    QFont Font() const { return m_font; }
    void setFont(const QFont &font);
    Qt::Alignment Alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);

    /** The editor of this column's cells, or null when they cannot be edited. Assigning attaches
     *  the editor to the grid; it throws ECellEditorError for an editor attached to another grid
     *  or one without an in-place control. */
    TCellEditor *Editor() const { return m_editor; }
    void setEditor(TCellEditor *editor);

    /** When set, the in-place control takes the column's Color and Font each time it is placed. */
    bool EditorInheritsCellProps() const { return m_editorInheritsCellProps; }
    void setEditorInheritsCellProps(bool inherits) { m_editorInheritsCellProps = inherits; }

private:
    friend class TXStringGrid;

    void changed();

    TXStringGrid *m_grid;
    int m_index;
    QColor m_headerColor;
    QFont m_headerFont;
    Qt::Alignment m_headerAlignment = Qt::AlignLeft;
    QColor m_color;
    QFont m_font;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    TCellEditor *m_editor = nullptr;
    bool m_editorInheritsCellProps = false;
};

} // namespace wf
