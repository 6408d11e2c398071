// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/ui/messagebox.h"

#include "i18n/language.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace wf {

namespace {
MessageHook &messageHook()
{
    static MessageHook hook;
    return hook;
}
QuestionHook &questionHook()
{
    static QuestionHook hook;
    return hook;
}
constexpr WordPair kSave{u"保存(&S)", u"&Save"};
constexpr WordPair kDiscard{u"不保存(&N)", u"Do&n't Save"};
constexpr WordPair kCancel{u"取消", u"Cancel"};
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

void setQuestionHook(QuestionHook hook)
{
    questionHook() = std::move(hook);
}

Answer ask(QWidget *parent, const Question &question)
{
    if (questionHook())
        return questionHook()(question);
    const Language language = displayLanguage();
    const QString title = applicationTitle().toString();
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setIcon(QMessageBox::Warning);
    box.setText(question.text);
    // The words are set here, not left to the platform, so that they follow the display
    // language rather than the system's.
    const auto add = [&](QMessageBox::StandardButton button, const QString &text) {
        box.addButton(button)->setText(text);
    };
    if (question.offerSave) {
        add(QMessageBox::Save, kSave.in(language).toString());
        add(QMessageBox::Discard, kDiscard.in(language).toString());
    } else {
        add(QMessageBox::Ok, question.proceed);
    }
    add(QMessageBox::Cancel, kCancel.in(language).toString());
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    fitTitle(box, title);
    switch (box.exec()) {
    case QMessageBox::Save:
        return Answer::Save;
    case QMessageBox::Discard:
        return Answer::Discard;
    case QMessageBox::Ok:
        return Answer::Proceed;
    default:
        return Answer::Cancel;
    }
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
