// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <stdexcept>

namespace wf {

/** The error of the cell editors: an editor offered to a grid it cannot serve. */
class ECellEditorError final : public std::runtime_error
{
public:
    explicit ECellEditorError(const QString &message);

    /** The message as the user sees it. */
    QString message() const { return m_message; }

    /** An editor already attached to one grid was assigned to a column of another grid. */
    static ECellEditorError alreadyAssigned(const QString &editorName, const QString &gridName);
    /** The editor has no in-place control with which it could edit a cell. */
    static ECellEditorError notACellEditor();

private:
    QString m_message;
};

} // namespace wf
