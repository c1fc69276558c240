// Unattended answers to the program's questions.
#include "base/UnattendedPrompter.h"

#include "base/Logger.h"

#include <cstdio>

void UnattendedPrompter::say(const QString& text) {
    // A message may hold line breaks; each goes out as its own line so scripts can grep them.
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        std::fprintf(stderr, "orlamo: %s\n", line.toLocal8Bit().constData());
        if (m_logger)
            m_logger->add(line);
    }
    std::fflush(stderr);
}

void UnattendedPrompter::message(const QString& text, Icon) {
    say(text);
}

Prompter::Answer UnattendedPrompter::confirm(const QString& text, Buttons, Answer defaultAnswer) {
    say(text);
    return defaultAnswer;
}

std::optional<QString> UnattendedPrompter::inputBox(const QString&, const QString& prompt, const QString& value) {
    say(prompt);
    return value;
}

std::optional<QString> UnattendedPrompter::chooseOpenFile(const QString&, const QString&, const QString&) {
    return std::nullopt;
}

std::optional<QString> UnattendedPrompter::chooseSaveFile(const QString&, const QString&, const QString&) {
    return std::nullopt;
}

std::optional<QString> UnattendedPrompter::chooseFolder(const QString&, const QString&) {
    return std::nullopt;
}
