// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid/ecelleditorerror.h"

namespace wf {

ECellEditorError::ECellEditorError(const QString &message)
    : std::runtime_error(message.toStdString())
    , m_message(message)
{}

ECellEditorError ECellEditorError::alreadyAssigned(const QString &editorName,
                                                   const QString &gridName)
{
    // The misspelling is the text users and support staff know; keep it.
    return ECellEditorError(
        QStringLiteral("%1 is allready assigned to %2").arg(editorName, gridName));
}

ECellEditorError ECellEditorError::notACellEditor()
{
    return ECellEditorError(QStringLiteral("Cell Editor not of type TCellEditor"));
}

} // namespace wf
