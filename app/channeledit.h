// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/language.h"

#include <QObject>
#include <QRect>

#include <vector>

class QAction;
class QMenu;
class QPoint;
class TForm1;

namespace wf {

struct ChannelSheet;

/** The spreadsheet editing of the main window's channel table: cut, copy, paste, clear and
 *  select all over ranges of cells, and whole channels inserted, deleted, moved and emptied.
 *  Its actions sit in the Edit menu and in the context menus of the table and of its channel
 *  numbers; their keys work while the table has the focus, so that an editor open in a cell
 *  keeps its own. Every change is one undo step of the window's document. */
class ChannelEdit final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChannelEdit)

public:
    /** Adds the actions to `form`'s Edit menu, after what it holds, and to its table. */
    explicit ChannelEdit(TForm1 &form);
    ~ChannelEdit() override;

    /** Writes the captions of the actions in `language`. */
    void showCaptions(Language language);

    QAction *Cut1 = nullptr;
    QAction *Copy1 = nullptr;
    QAction *Paste1 = nullptr;
    QAction *Clear1 = nullptr;
    QAction *SelectAll1 = nullptr;
    QAction *InsertChannel1 = nullptr;
    QAction *DeleteChannels1 = nullptr;
    QAction *MoveUp1 = nullptr;
    QAction *MoveDown1 = nullptr;
    QAction *EmptyChannels1 = nullptr;

private:
    void cut();
    void paste();
    void clear();
    void clearSelection(int step);
    void insertChannel();
    void deleteChannels();
    void moveChannels(int by);
    void emptyChannels();
    void showContextMenu(const QPoint &at, QWidget *from);
    /** Shows `sheet`'s channels in the table and records them as one step named by `step`
     *  (an index into the step names); `selection` is selected afterwards. */
    void apply(const ChannelSheet &sheet, int step, const QRect &selection);
    bool mayChange() const;

    TForm1 &m_form;
    std::vector<QAction *> m_actions;
};

} // namespace wf
