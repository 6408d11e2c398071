// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "grid/tmetacelleditor.h"

#include <QString>
#include <QStringList>

class QComboBox;

namespace wf {

/** How a combo cell editor takes its text. */
enum class ComboStyle {
    DropDown,     ///< pick from the list or type any text
    DropDownList, ///< only the items of the list
};

/** Edits a cell with a combo box over the cell. */
class TComboCellEditor final : public TMetaCellEditor
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TComboCellEditor)

public:
    explicit TComboCellEditor(QObject *parent = nullptr);
    ~TComboCellEditor() override;

    ComboStyle Style() const { return m_style; }
    void setStyle(ComboStyle style) { m_style = style; }

    /** The list offered; the combo box takes it afresh at each edit. */
    QStringList Items() const { return m_items; }
    void setItems(const QStringList &items) { m_items = items; }

    /** The text shown when the cell's text leaves the combo box empty. */
    QString DefaultText() const { return m_defaultText; }
    void setDefaultText(const QString &text) { m_defaultText = text; }

    /** The combo box of the edit under way, or null. */
    QComboBox *combo() const;

protected:
    QWidget *makeControl(QWidget *parent) override;
    void startEdit(const QString &cellText, QChar pendingChar) override;
    QString editText() const override;
    bool endsEdit(const QKeyEvent &key) const override;

private:
    ComboStyle m_style = ComboStyle::DropDown;
    QStringList m_items;
    QString m_defaultText;
    QString m_cellText;    // the edited cell's text when the edit started
    bool m_chosen = false; // the user picked an item or edited the text since
};

} // namespace wf
