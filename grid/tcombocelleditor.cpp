// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/tcombocelleditor.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace wf {

TComboCellEditor::TComboCellEditor(QObject *parent)
    : TMetaCellEditor(parent)
{}

TComboCellEditor::~TComboCellEditor() = default;

QComboBox *TComboCellEditor::combo() const
{
    return qobject_cast<QComboBox *>(control());
}

QWidget *TComboCellEditor::makeControl(QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setEditable(m_style == ComboStyle::DropDown);
    // A typed text is the cell's value, not a new entry of the list.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(16);
    return box;
}

void TComboCellEditor::startEdit(const QString &cellText, QChar pendingChar)
{
    QComboBox *box = combo();
    if (!box)
        return;
    m_cellText = cellText;
    box->clear();
    box->addItems(m_items);
    box->setCurrentIndex(-1);

    // A text that is an item selects it, so that Up and Down go on from there; an editable
    // combo box also shows any other text.
    const auto show = [this, box](const QString &text) {
        box->setCurrentIndex(box->findText(text));
        if (m_style == ComboStyle::DropDown)
            box->setEditText(text);
    };
    if (pendingChar.isNull())
        show(cellText);
    if (box->currentText().isEmpty())
        show(m_defaultText);

    if (!pendingChar.isNull()) {
        // The opening key goes to the combo box as the user typed it, in upper case: a list
        // jumps to the first item starting with it, an editable box takes it as its new text.
        if (QLineEdit *edit = box->lineEdit())
            edit->selectAll();
        const QChar upper = pendingChar.toUpper();
        const int key = upper.unicode() < 0x80 ? int(upper.unicode()) : int(Qt::Key_unknown);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(upper));
        QCoreApplication::sendEvent(box, &press);
    }
}

QString TComboCellEditor::editText() const
{
    const QComboBox *box = combo();
    if (!box)
        return {};
    // A list that could show neither the cell's text nor a default text has nothing picked;
    // passing through it must not blank the cell.
    if (m_style == ComboStyle::DropDownList && box->currentIndex() < 0)
        return m_cellText;
    return box->currentText();
}

bool TComboCellEditor::endsEdit(const QKeyEvent &key) const
{
    if (key.key() != Qt::Key_Left && key.key() != Qt::Key_Right)
        return false; // Up and Down move through the list
    if (m_style == ComboStyle::DropDownList)
        return true;
    const QComboBox *box = combo();
    return box && box->lineEdit() && caretLeaves(*box->lineEdit(), key.key());
}

} // namespace wf
