// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/teditcelleditor.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace wf {

TEditCellEditor::TEditCellEditor(QObject *parent)
    : TMetaCellEditor(parent)
{}

TEditCellEditor::~TEditCellEditor() = default;

QLineEdit *TEditCellEditor::edit() const
{
    return qobject_cast<QLineEdit *>(control());
}

QWidget *TEditCellEditor::makeControl(QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setFrame(false);
    // Keep the typed text where the cell draws its text: 2 pixels in from the left and the top.
    edit->setTextMargins(0, 2, 0, 0);
    edit->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return edit;
}

void TEditCellEditor::startEdit(const QString &cellText, QChar pendingChar)
{
    QLineEdit *lineEdit = edit();
    if (!lineEdit)
        return;
    if (!pendingChar.isNull()) {
        // The key that opened the editor is the first character of the new text.
        lineEdit->setText(QString(pendingChar));
        lineEdit->deselect();
        lineEdit->setCursorPosition(1);
        return;
    }
    lineEdit->setText(cellText.isEmpty() ? m_defaultText : cellText);
    lineEdit->selectAll();
}

QString TEditCellEditor::editText() const
{
    const QLineEdit *lineEdit = edit();
    return lineEdit ? lineEdit->text() : QString();
}

bool TEditCellEditor::endsEdit(const QKeyEvent &key) const
{
    switch (key.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        return edit() && caretLeaves(*edit(), key.key());
    default:
        return false;
    }
}

} // namespace wf
