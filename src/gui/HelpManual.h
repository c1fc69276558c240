// The HTML manual shipped with the program, opened in the user's browser.
#pragma once

#include <QString>

namespace HelpManual {

/// The manual's first page: beside the program (`manual/`, where a build puts it) or under the
/// installation's share/doc/orlamo/manual. Empty when none is found.
QString indexPath(const QString& programFolder);

/// Asks the desktop to open the manual. A missing manual or a desktop that cannot open it shows
/// nothing; false then.
bool open(const QString& programFolder);

} // namespace HelpManual
