// Starting the program when the user logs on: an XDG autostart entry (the Run value on Windows).
#pragma once

#include <QString>

/// Register and unregister never show anything: when the entry cannot be written or removed they
/// return false and leave things as they were.
class StartupRegistration {
public:
    /// `entryPath` is the autostart file (see defaultEntryPath; unused on Windows); `programPath`
    /// the program file's full path; `workingFolder`, when not empty, the folder the program was told
    /// to work in, which the command passes on with --workdir.
    StartupRegistration(QString entryPath, QString programPath, QString workingFolder = {});

    /// $XDG_CONFIG_HOME/autostart/orlamo.desktop, ~/.config/autostart/orlamo.desktop when unset.
    static QString defaultEntryPath();
    /// The `Exec` value for `program` and `argument`: the program quoted as desktop entries require
    /// when it holds a blank or another reserved character, a blank, then the argument (an empty
    /// argument leaves the trailing blank). A `workingFolder` goes between them as --workdir FOLDER.
    static QString execLine(const QString& program, const QString& argument, const QString& workingFolder = {});
    /// The whole entry.
    static QString entryText(const QString& program, const QString& argument, const QString& workingFolder = {});

    /// Writes the entry (replacing an older one at once, never half-written) whose command is the
    /// program path, a blank and `argument`.
    bool registerAtLogon(const QString& argument);
    /// Removes the entry; true when none is left.
    bool unregister();

    const QString& entryPath() const { return m_entryPath; }
    const QString& programPath() const { return m_programPath; }

private:
    QString m_entryPath;
    QString m_programPath;
    QString m_workingFolder;
};
