// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ui/undoactions.h"

#include "i18n/language.h"

#include <QAction>
#include <QUndoStack>

namespace wf {

namespace {
constexpr WordPair kUndo{u"撤销(&U)", u"&Undo"};
constexpr WordPair kRedo{u"重做(&R)", u"&Redo"};
constexpr WordPair kUndoStep{u"撤销%1(&U)", u"&Undo %1"};
constexpr WordPair kRedoStep{u"重做%1(&R)", u"&Redo %1"};

QString caption(const WordPair &bare, const WordPair &named, const QString &step)
{
    const Language language = displayLanguage();
    if (step.isEmpty())
        return bare.in(language).toString();
    QString shown = step;
    return named.in(language).toString().arg(shown.replace(u'&', QStringLiteral("&&")));
}
} // namespace

void addUndoActions(QUndoStack &stack, QAction &undo, QAction &redo, std::function<bool()> allowed)
{
    undo.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo.setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    undo.setEnabled(stack.canUndo());
    redo.setEnabled(stack.canRedo());
    QObject::connect(&stack, &QUndoStack::canUndoChanged, &undo, &QAction::setEnabled);
    QObject::connect(&stack, &QUndoStack::canRedoChanged, &redo, &QAction::setEnabled);
    QObject::connect(&undo, &QAction::triggered, &stack, [&stack, allowed] {
        if (allowed())
            stack.undo();
    });
    QObject::connect(&redo, &QAction::triggered, &stack, [&stack, allowed] {
        if (allowed())
            stack.redo();
    });
    const auto texts = [&stack, &undo, &redo] {
        showUndoTexts(stack, undo, redo);
    };
    QObject::connect(&stack, &QUndoStack::indexChanged, &undo, texts);
    QObject::connect(&stack, &QUndoStack::cleanChanged, &undo, texts);
    texts();
}

void showUndoTexts(const QUndoStack &stack, QAction &undo, QAction &redo)
{
    undo.setText(caption(kUndo, kUndoStep, stack.canUndo() ? stack.undoText() : QString()));
    redo.setText(caption(kRedo, kRedoStep, stack.canRedo() ? stack.redoText() : QString()));
}

} // namespace wf
