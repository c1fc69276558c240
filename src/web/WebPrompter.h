// The prompter the web's commands run with: the request is the user's answer.
#pragma once

#include "base/Prompter.h"

#include <QStringList>
#include <deque>

/// Confirmations are answered yes (the page asked before it posted), input boxes get the queued
/// answers, file choices are cancelled, and messages are kept: the commands only tell of a failure,
/// which the answer then carries.
class WebPrompter : public Prompter {
public:
    std::deque<QString> answers;
    QStringList messages;

    void message(const QString& text, Icon) override { messages.append(text.trimmed()); }
    Answer confirm(const QString&, Buttons buttons, Answer) override {
        return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
        if (answers.empty())
            return std::nullopt;
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<QString> chooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> chooseFolder(const QString&, const QString&) override { return {}; }
};
