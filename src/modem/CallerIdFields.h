// The number and the name in the caller identification text a modem reported.
#pragma once

#include <QString>

/// The text CallDetector keeps (what followed the first "NMBR =" or "ERRM =", lines of the same report
/// after it) split into its parts. Both are plain text from the line, never longer than the report.
struct CallerIdFields {
    QString number; ///< empty when the caller withheld it or the line could not give it
    QString name;   ///< the "NAME" line, or what stands for a withheld number ("Private", "Out of area")

    static CallerIdFields parse(const QString& callerIdText);
};
