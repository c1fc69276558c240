// The catalogue commands orlamo-cli hands to the process that holds the catalogue.
#pragma once

#include "program/CommandProtocol.h"

#include <QString>
#include <QTextStream>
#include <functional>

class Catalogue;

/// Runs a request on this process's catalogue with the code orlamo-cli runs itself, its prompter
/// answering as on the command line, and gives back what orlamo-cli would have printed and its
/// exit status. The window's tables are these tables, so its list shows the change at once; the
/// list the window (and the next recording) is on stays selected.
class ForwardedCommands {
public:
    ForwardedCommands(Catalogue& catalogue, QString workDir, std::function<QString()> webAddress);

    CommandProtocol::Answer run(const CommandProtocol::Request& request);

private:
    int execute(const CommandProtocol::Request& request, QTextStream& err);

    Catalogue& m_catalogue;
    QString m_workDir;
    std::function<QString()> m_webAddress;
};
