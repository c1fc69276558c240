// A prompter for tests: records every text shown and gives queued answers.
#pragma once

#include "base/Prompter.h"

#include <QStringList>
#include <deque>

class ScriptedPrompter : public Prompter {
public:
    /// Every message, confirmation and prompt text, in order.
    QStringList shown;
    /// The value each input box and the path each file or folder choice proposed, in order.
    QStringList proposed;

    /// Answers for confirm(); when empty the default answer is taken.
    std::deque<Answer> answers;
    /// Answers for inputBox() and the file and folder choices; an empty optional cancels.
    /// When empty, input boxes are cancelled.
    std::deque<std::optional<QString>> texts;

    void message(const QString& text, Icon icon = Icon::Information) override;
    Answer confirm(const QString& text, Buttons buttons, Answer defaultAnswer) override;
    std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& value) override;
    std::optional<QString> chooseOpenFile(const QString& caption, const QString& folder,
                                          const QString& filter) override;
    std::optional<QString> chooseSaveFile(const QString& caption, const QString& path, const QString& filter) override;
    std::optional<QString> chooseFolder(const QString& caption, const QString& folder) override;

private:
    std::optional<QString> nextText();
};
