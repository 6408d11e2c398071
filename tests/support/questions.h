// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "i18n/ui/messagebox.h"

#include <QList>

/** Answers the program's questions while it lives, as a user would click, and keeps them. A
 *  question the test gave no reply for gets the answer that goes ahead (Discard, or the
 *  question's own word), as the tests written before the questions expect. */
class QuestionRecorder final
{
public:
    QuestionRecorder()
    {
        wf::setQuestionHook([this](const wf::Question &question) {
            asked << question;
            if (!replies.isEmpty())
                return replies.takeFirst();
            return question.offerSave ? wf::Answer::Discard : wf::Answer::Proceed;
        });
    }
    ~QuestionRecorder() { wf::setQuestionHook({}); }
    QuestionRecorder(const QuestionRecorder &) = delete;
    QuestionRecorder &operator=(const QuestionRecorder &) = delete;

    QList<wf::Question> asked;
    QList<wf::Answer> replies;
};
