// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "grid/tmetacelleditor.h"

#include <QString>

class QLineEdit;

namespace wf {

/** Edits a cell with a borderless single-line edit. */
class TEditCellEditor final : public TMetaCellEditor
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TEditCellEditor)

public:
    explicit TEditCellEditor(QObject *parent = nullptr);
    ~TEditCellEditor() override;

    /** The text offered when the edited cell is empty. */
    QString DefaultText() const { return m_defaultText; }
    void setDefaultText(const QString &text) { m_defaultText = text; }

    /** The edit of the edit under way, or null. */
    QLineEdit *edit() const;

protected:
    QWidget *makeControl(QWidget *parent) override;
    void startEdit(const QString &cellText, QChar pendingChar) override;
    QString editText() const override;
    bool endsEdit(const QKeyEvent &key) const override;

private:
    QString m_defaultText;
};

} // namespace wf
