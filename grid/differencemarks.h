// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QString>

class QAbstractButton;
class QWidget;

namespace wf {

class TXStringGrid;

/** Where a window's texts differ from what they are compared with: cells of grids and whole
 *  controls drawn in the mark colour, each with a note (the other side's value) as its tooltip
 *  and as its description for screen readers. Every mark goes at once when any marked text
 *  changes (an edit, a read, a file loaded), when a watched button is clicked, or on clear(). */
class DifferenceMarks final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DifferenceMarks)

public:
    explicit DifferenceMarks(QObject *parent = nullptr);
    ~DifferenceMarks() override;

    /** Marks cell (col, row) of a grid. */
    void markCell(TXStringGrid *grid, int col, int row, const QString &note);
    /** Marks a combo box, an edit or a check box. */
    void markControl(QWidget *control, const QString &note);
    /** Takes every mark away when `button` is clicked (a Read button, say). */
    void clearOn(QAbstractButton *button);
    /** The marks shown now. */
    int count() const { return m_count; }

public slots:
    /** Takes every mark away and puts the controls' own colours and tooltips back. */
    void clear();

private:
    struct MarkedControl
    {
        QPointer<QWidget> widget;
        QPalette palette;
        bool ownPalette;
        bool autoFill;
        QString toolTip;
        QString description;
    };

    QList<QPointer<TXStringGrid>> m_grids;
    QList<MarkedControl> m_controls;
    QList<QMetaObject::Connection> m_watches;
    int m_count = 0;
};

} // namespace wf
