// The prompter of runs without a screen: messages go to standard error and the logger.
#pragma once

#include "base/Prompter.h"

class Logger;

/// Writes every message to standard error and to the logger, takes each confirmation's default,
/// keeps each input box's proposed value, and cancels every file or folder choice.
class UnattendedPrompter : public Prompter {
public:
    explicit UnattendedPrompter(Logger* logger = nullptr) : m_logger(logger) {}
    void setLogger(Logger* logger) { m_logger = logger; }

    void message(const QString& text, Icon icon = Icon::Information) override;
    Answer confirm(const QString& text, Buttons buttons, Answer defaultAnswer) override;
    std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& value) override;
    std::optional<QString> chooseOpenFile(const QString& caption, const QString& folder,
                                          const QString& filter) override;
    std::optional<QString> chooseSaveFile(const QString& caption, const QString& path, const QString& filter) override;
    std::optional<QString> chooseFolder(const QString& caption, const QString& folder) override;

private:
    void say(const QString& text);
    Logger* m_logger;
};
