// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace wf {

/** How a message is presented: an error raised by an operation, a Chinese information box, or
 *  the plain message the English windows show. */
enum class MessageKind { Error, Information, Plain };

/** One message as the user sees it. */
struct ShownMessage
{
    MessageKind kind;
    QString caption;
    QString text;
};

/** Shows a message modally over `parent`, or hands it to the installed hook. Every message of the
 *  program goes through here, so that tests can watch them without a modal loop. */
void showMessage(QWidget *parent, const ShownMessage &message);

/** Shows the message of a failed operation (a port that will not open, a text that is not a
 *  number), titled with the application's title. */
void showError(QWidget *parent, const QString &text);

/** Shows a success message in the display language: an information box titled "提示" in
 *  Chinese, a plain message in English. */
void showSuccess(QWidget *parent, const QString &chinese, const QString &english);

/** Replaces the message boxes by a function, for tests; an empty function restores them. */
using MessageHook = std::function<void(const ShownMessage &)>;
void setMessageHook(MessageHook hook);

/** The answers a question offers. */
enum class Answer {
    Save,    ///< save the changes, then go on
    Discard, ///< go on and lose the changes
    Proceed, ///< go on: the question's own word ("Write", "Restore", "Replace")
    Cancel,  ///< leave everything as it was
};

/** A question before something is overwritten, in the display language. */
struct Question
{
    QString text;
    /** Offers Save as well as Discard and Cancel; otherwise the question offers `proceed` and
     *  Cancel. */
    bool offerSave = true;
    QString proceed;
};

/** Asks a question modally over `parent`, or hands it to the installed hook; closing the box
 *  answers Cancel. */
Answer ask(QWidget *parent, const Question &question);

/** Replaces the question boxes by a function that answers them, for tests. */
using QuestionHook = std::function<Answer(const Question &)>;
void setQuestionHook(QuestionHook hook);

} // namespace wf
