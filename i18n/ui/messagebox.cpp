// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/ui/messagebox.h"

#include "i18n/language.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace wf {

namespace {
MessageHook &messageHook()
{
    static MessageHook hook;
    return hook;
}
// What a title bar needs beside its title: the window's icon and its buttons. Title bar fonts
// are often larger than the window's own, hence the extra share of the title's width.
constexpr int kTitleBarRoom = 160;
constexpr double kTitleFontAllowance = 1.3;

void fitTitle(QMessageBox &box, const QString &title)
{
    // A desktop cuts a title wider than its window to "..."; a short message would make the box
    // too narrow for the program's title.
    const int width =
        int(box.fontMetrics().horizontalAdvance(title) * kTitleFontAllowance) + kTitleBarRoom;
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

void setMessageHook(MessageHook hook)
{
    messageHook() = std::move(hook);
}

void showMessage(QWidget *parent, const ShownMessage &message)
{
    if (messageHook()) {
        messageHook()(message);
        return;
    }
    QMessageBox box(parent);
    box.setWindowTitle(message.caption);
    box.setText(message.text);
    box.setStandardButtons(QMessageBox::Ok);
    switch (message.kind) {
    case MessageKind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageKind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageKind::Plain:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    fitTitle(box, message.caption);
    box.exec();
}

void showError(QWidget *parent, const QString &text)
{
    showMessage(parent, {MessageKind::Error, applicationTitle().toString(), text});
}

void showSuccess(QWidget *parent, const QString &chinese, const QString &english)
{
    if (displayLanguage() == Language::English)
        showMessage(parent, {MessageKind::Plain, applicationTitle().toString(), english});
    else
        showMessage(parent, {MessageKind::Information, QStringLiteral("提示"), chinese});
}

} // namespace wf
