// How the catalogue commands of orlamo-cli answer the operations' questions.
#pragma once

#include "base/Prompter.h"

#include <QString>
#include <QTextStream>
#include <deque>

/// The prompter of a catalogue command: the command line is the user's answer. Confirmations are
/// OK, input boxes get the queued answers once (then they are cancelled), file choices are
/// cancelled, and every message goes to standard error as one line with the command's name.
class CommandLinePrompter : public Prompter {
public:
    CommandLinePrompter(QTextStream& err, QString command) : m_err(err), m_command(std::move(command)) {}

    std::deque<QString> answers;
    /// Messages shown since the last reset: the operations only tell of something that went wrong.
    int messages = 0;

    void message(const QString& text, Icon icon = Icon::Information) override;
    Answer confirm(const QString& text, Buttons buttons, Answer defaultAnswer) override;
    std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& value) override;
    std::optional<QString> chooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> chooseFolder(const QString&, const QString&) override { return {}; }

    /// "orlamo-cli <command>: <text>" on standard error.
    void error(const QString& text);

private:
    QTextStream& m_err;
    QString m_command;
};
