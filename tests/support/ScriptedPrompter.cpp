// Scripted answers for tests.
#include "support/ScriptedPrompter.h"

void ScriptedPrompter::message(const QString& text, Icon) {
    shown.append(text);
}

Prompter::Answer ScriptedPrompter::confirm(const QString& text, Buttons, Answer defaultAnswer) {
    shown.append(text);
    if (answers.empty())
        return defaultAnswer;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<QString> ScriptedPrompter::nextText() {
    if (texts.empty())
        return std::nullopt;
    std::optional<QString> text = texts.front();
    texts.pop_front();
    return text;
}

std::optional<QString> ScriptedPrompter::inputBox(const QString&, const QString& prompt, const QString& value) {
    shown.append(prompt);
    proposed.append(value);
    return nextText();
}

std::optional<QString> ScriptedPrompter::chooseOpenFile(const QString& caption, const QString& folder, const QString&) {
    shown.append(caption);
    proposed.append(folder);
    return nextText();
}

std::optional<QString> ScriptedPrompter::chooseSaveFile(const QString& caption, const QString& path, const QString&) {
    shown.append(caption);
    proposed.append(path);
    return nextText();
}

std::optional<QString> ScriptedPrompter::chooseFolder(const QString& caption, const QString& folder) {
    shown.append(caption);
    proposed.append(folder);
    return nextText();
}
