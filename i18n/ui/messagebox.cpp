// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/ui/messagebox.h"

#include "i18n/language.h"

#include <QMessageBox>

namespace wf {

namespace {
MessageHook &messageHook()
{
    static MessageHook hook;
    return hook;
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
