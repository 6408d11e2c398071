// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/tcombocelleditor.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <functional>

namespace wf {

namespace {

// The in-place combo box; it tells when its list opens, whether by a click, F4, Alt+Down or
// Space, since from then on the user is choosing in it.
class InPlaceComboBox final : public QComboBox
{
public:
    using QComboBox::QComboBox;
    std::function<void()> onPopup;

    void showPopup() override
    {
        if (onPopup)
            onPopup();
        QComboBox::showPopup();
    }
};

// Keys a combo box answers by picking another item, or an editable one by moving its caret.
bool picksAnotherItem(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

} // namespace

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
    auto *box = new InPlaceComboBox(parent);
    box->onPopup = [this] {
        takeUp();
    };
    box->setEditable(m_style == ComboStyle::DropDown);
    // A typed text is the cell's value, not a new entry of the list, and is taken as typed:
    // completing a typed 8 to the list's 82.5 would store a tone the user never asked for.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(16);
    // Only what the user does changes the cell: picking an item (with the mouse, the arrows or
    // a typed letter) or editing the text.
    const auto chosen = [this] {
        m_chosen = true;
        takeUp();
    };
    connect(box, &QComboBox::activated, this, chosen);
    if (QLineEdit *edit = box->lineEdit()) {
        box->setCompleter(nullptr);
        connect(edit, &QLineEdit::textEdited, this, chosen);
    }
    return box;
}

void TComboCellEditor::startEdit(const QString &cellText, QChar pendingChar)
{
    QComboBox *box = combo();
    if (!box)
        return;
    m_cellText = cellText;
    m_chosen = false;
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
    // Reached by the arrows, the cell is only selected: what is typed there replaces its text,
    // as it does in a text cell.
    if (QLineEdit *edit = box->lineEdit(); edit && passingThrough())
        edit->selectAll();

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
    // An editor the user only passed through keeps the cell as it was, even where it showed
    // something else: the default text of an empty cell, or nothing or the default for a text
    // that is not in its list (a scrambler 11 read from a radio).
    if (!m_chosen)
        return m_cellText;
    return box->currentText();
}

bool TComboCellEditor::endsEdit(const QKeyEvent &key) const
{
    // An editor the arrows only led through must not change the cell: a technician arrowing
    // down the power column would otherwise set every channel it crosses. Alt+Down opens the
    // list instead.
    if (passingThrough() && picksAnotherItem(key.key()) && !(key.modifiers() & Qt::AltModifier))
        return true;
    if (key.key() != Qt::Key_Left && key.key() != Qt::Key_Right)
        return false; // Up and Down move through the list
    if (m_style == ComboStyle::DropDownList)
        return true;
    const QComboBox *box = combo();
    return box && box->lineEdit() && caretLeaves(*box->lineEdit(), key.key());
}

} // namespace wf
