// The catalogue commands of orlamo-cli that change the catalogue: memo, delete, move, mail, list.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>

class Catalogue;
class CommandLinePrompter;

/// A catalogue command with its arguments checked, ready to run on an opened catalogue. The same
/// work runs in orlamo-cli, which takes the catalogue's lock, and in the process that holds the
/// lock when orlamo-cli hands the command over; so both print the same and end the same.
struct CatalogueCommand {
    QString name; ///< as its messages name it: "memo", "list add"
    /// The exit status; empty after a bad command line.
    std::function<int(Catalogue&, CommandLinePrompter&)> work;
};

namespace CatalogueCommands {

/// The commands the process holding the catalogue runs for orlamo-cli.
bool isForwardable(const QString& command);

/// Checks the arguments of `command` (one isForwardable() names). A bad command line is told on
/// `err` as the usage or the reason, and gives no work (exit status 2). `webAddress` is asked for
/// when the mail command runs.
CatalogueCommand prepare(const QString& command, const QStringList& args, const QString& workDir,
                         const std::function<QString()>& webAddress, QTextStream& err);

/// Splits "ID... --to VALUE" (the option anywhere); false on a bad command line.
bool idsAndTarget(const QStringList& args, QStringList& ids, QString& target);

/// Checks that every id names a recording (in any list); prints the first one that does not.
bool knownRecordings(Catalogue& catalogue, CommandLinePrompter& prompter, const QStringList& ids);

} // namespace CatalogueCommands
