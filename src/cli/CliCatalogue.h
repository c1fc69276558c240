// What the catalogue commands of orlamo-cli share: the lock, the opened catalogue, the answers.
#pragma once

#include "cli/CliContext.h"
#include "program/CommandLinePrompter.h"

#include <QStringList>
#include <functional>

class Catalogue;

/// Takes the catalogue's lock (refused, with the holder's process, when the window, the recorder or
/// another command holds it; a folder that cannot hold the lock file cannot be written by anyone and
/// the catalogue says why), opens the catalogue and runs `work`. Returns its exit code, or 1 when
/// the lock or the catalogue could not be had, or when `work` returned 0 but a message told of a
/// failure.
int runOnCatalogue(CliContext& context, const QString& command,
                   const std::function<int(Catalogue&, CommandLinePrompter&)>& work);

/// The commands memo, delete, move, mail and list (CatalogueCommands). When the window or the
/// recorder holds the catalogue, the command is handed to that process, which runs it on its own
/// tables and whose answer is printed here; without such a process it is refused as runOnCatalogue
/// refuses.
int runCatalogueCommand(CliContext& context, const QString& command);
