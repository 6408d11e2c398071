// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "grid/tcelleditor.h"

class QLineEdit;

namespace wf {

/** A cell editor that edits with an in-place control placed over the cell being edited. A
 *  fresh control is made for each edit and dropped when the edit ends. */
class TMetaCellEditor : public TCellEditor
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMetaCellEditor)

public:
    explicit TMetaCellEditor(QObject *parent = nullptr);
    ~TMetaCellEditor() override;

    /** The in-place control of the edit under way, or null when this editor is not editing. */
    QWidget *control() const;

protected:
    QWidget *createControl(QWidget *parent) final;
    /** Makes the concrete control: an edit, a combo box... */
    virtual QWidget *makeControl(QWidget *parent) = 0;

    /** Left and Right leave a line edit only when nothing is selected and the caret stands at
     *  the start or the end, so the user can still move inside the text. */
    static bool caretLeaves(const QLineEdit &edit, int key);

private:
    QPointer<QWidget> m_control;
};

} // namespace wf
