// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QKeyEvent;
class QWidget;

namespace wf {

class TXStringGrid;

/** A cell editor placed on a window and assigned to grid columns. It knows the grid it is
 *  attached to and how many columns of that grid use it; one editor may serve several columns
 *  of the same grid. Editing itself is done by the in-place controls of TMetaCellEditor. */
class TCellEditor : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TCellEditor)

public:
    /** Asked for every key that reaches the in-place control: the control, the key (which it may
     *  change, 0 to swallow it), the modifiers and whether the key ends the edit (which it may
     *  change). */
    using AllowEndEditHandler =
        std::function<void(QWidget *sender, int &key, Qt::KeyboardModifiers shift, bool &endEdit)>;

    explicit TCellEditor(QObject *parent = nullptr);
    ~TCellEditor() override;

    /** The grid this editor is attached to, or null while no column uses it. */
    TXStringGrid *grid() const;
    /** How many columns of that grid use this editor. */
    int useCount() const { return m_useCount; }

    AllowEndEditHandler AllowEndEditEvent;

protected:
    /** Makes the control that edits one cell, a child of the grid's viewport; null when this
     *  editor has none. */
    virtual QWidget *createControl(QWidget *parent);
    /** Fills the control when an edit starts: from the cell text, or from the character typed
     *  in immediate edit mode (null when none). */
    virtual void startEdit(const QString &cellText, QChar pendingChar);
    /** The text the edit commits to its cell. */
    virtual QString editText() const;
    /** Whether a key ends the edit before the AllowEndEditEvent handler is asked. */
    virtual bool endsEdit(const QKeyEvent &key) const;

    /** True while the edit under way was opened because the keyboard moved onto its cell rather
     *  than because the user asked to edit it (by typing, F2 or the mouse): a key that would
     *  change the value then moves on through the table instead, until takeUp(). */
    bool passingThrough() const { return m_passingThrough; }
    /** The user turned to the editor itself: its keys are its own from now on. */
    void takeUp() { m_passingThrough = false; }

private:
    friend class TXStringColumnItem;
    friend class TXStringGrid;
    friend class TXStringGridDelegate;

    void addUse(TXStringGrid *grid);
    void removeUse();

    QPointer<TXStringGrid> m_grid;
    int m_useCount = 0;
    bool m_passingThrough = false;
};

} // namespace wf
