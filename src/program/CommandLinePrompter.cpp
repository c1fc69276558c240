// The prompter of the catalogue commands.
#include "program/CommandLinePrompter.h"

#include <QStringList>

void CommandLinePrompter::error(const QString& text) {
    ++messages;
    // One line per message: a message may hold several.
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        m_err << "orlamo-cli " << m_command << ": " << line << '\n';
    m_err.flush();
}

void CommandLinePrompter::message(const QString& text, Icon) {
    error(text.trimmed().isEmpty() ? text : text.trimmed());
}

Prompter::Answer CommandLinePrompter::confirm(const QString&, Buttons buttons, Answer) {
    return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
}

std::optional<QString> CommandLinePrompter::inputBox(const QString&, const QString&, const QString&) {
    if (answers.empty())
        return std::nullopt;
    QString answer = answers.front();
    answers.pop_front();
    return answer;
}
