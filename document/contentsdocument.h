// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUndoStack>

namespace wf {

/** Where the texts a window shows came from, which says what its Write would put on a radio. */
enum class ContentsOrigin {
    Defaults, ///< the window's starting values: nothing a radio or a user gave
    Radio,    ///< read from a radio, or restored to one
    File,     ///< opened from a file
    Typed,    ///< the starting values, edited by the user
};

/** What a window lends its document: everything it shows that a Write sends, as texts, and a way
 *  to show such texts again (an undo, a redo). */
class ContentsView
{
public:
    virtual QStringList contentsTexts() const = 0;
    virtual void showContentsTexts(const QStringList &texts) = 0;

protected:
    ~ContentsView() = default;
};

/** The contents of one window as a document: the texts it held when they were last read from a
 *  radio, opened, saved or written (its clean state), the steps the user took since (an undo
 *  stack whose commands put the texts back), the file it belongs to and where its texts came
 *  from. The window changes its controls as it always did and then records the change as one
 *  named step; a change that leaves every text as it was is no step and no change. */
class ContentsDocument final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ContentsDocument)

public:
    explicit ContentsDocument(ContentsView &view, QObject *parent = nullptr);
    ~ContentsDocument() override;

    QUndoStack *undoStack() { return &m_undo; }

    /** True when the window's texts differ from those it held when last read, opened, saved,
     *  written or restored; an edit put back by hand or by undo is no change. */
    bool isModified() const;
    ContentsOrigin origin() const { return m_origin; }
    /** The file the texts were last opened from or saved to; empty when none. */
    QString fileName() const { return m_fileName; }

    /** Records what the user just did in the window as one step named `step`; false, and no
     *  step, when no text changed. */
    bool record(const QString &step);

    /** The window shows new contents from a radio, a file or a restore: they are its clean
     *  state, and the history starts afresh. `fileName` names the file they came from, if any. */
    void replaced(ContentsOrigin origin, const QString &fileName = {});
    /** The texts were saved to `fileName` (or written to a radio, with no file name): they are
     *  the clean state; the history stays, so the save can be undone like any step. */
    void kept(const QString &fileName = {});
    /** The window's texts changed their words but not their meaning (a language switch): not a
     *  step. The old steps would put back words of the other language, so the history starts
     *  afresh; contents that had no changes still have none. */
    void reworded();

signals:
    /** The modified state may have changed; `modified` is the state now. */
    void modifiedChanged(bool modified);
    /** The file the document belongs to changed. */
    void fileNameChanged(const QString &fileName);

private:
    class Step;
    void show(const QStringList &texts);
    void announce();

    ContentsView &m_view;
    QUndoStack m_undo;
    QStringList m_current; ///< the texts after the last recorded step
    QStringList m_clean;
    ContentsOrigin m_origin = ContentsOrigin::Defaults;
    QString m_fileName;
    bool m_announcedModified = false;
};

} // namespace wf
