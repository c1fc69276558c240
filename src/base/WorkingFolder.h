// Where every file of the program lives.
#pragma once

#include <QString>

namespace WorkingFolder {

/// The folder of the program file when it is writable (portable use), else $XDG_DATA_HOME/orlamo;
/// `override` (the --workdir option) wins over both. An installed program (its documentation in
/// ../share/doc/orlamo) always uses $XDG_DATA_HOME/orlamo, even where its folder is writable (as
/// /usr/bin is for root). The folder is created when missing.
QString resolve(const QString& override, const QString& programFolder);

/// Makes `folder` the current directory; returns false when that fails.
bool makeCurrent(const QString& folder);

/// The current directory without a trailing separator.
QString current();

} // namespace WorkingFolder
