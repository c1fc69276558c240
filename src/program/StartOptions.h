// The program's command line: "--" options first, then the first plain argument.
#pragma once

#include <QString>
#include <QStringList>

struct StartOptions {
    QString workDir;         ///< --workdir DIR; empty: the default working folder rule
    bool unattended = false; ///< --unattended: messages to standard error, confirmations take defaults
    bool startup = false;    ///< first plain argument is "STARTUP" (any case)
    bool onIde = false;      ///< first plain argument is "ONIDE" (any case): developer keys
    QStringList rest;        ///< plain arguments in order, after the "--" options were taken out
    QString error;           ///< not empty when the command line could not be understood

    /// `arguments` without the program name.
    static StartOptions parse(const QStringList& arguments);
};
