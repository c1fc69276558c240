// Starting the program when the user logs on: an XDG autostart entry.
#pragma once

#include <QString>

class StartupRegistration {
public:
    /// `entryPath` is the autostart file (default: ~/.config/autostart/orlamo.desktop);
    /// `programPath` the program file's full path.
    StartupRegistration(QString entryPath, QString programPath);

    static QString defaultEntryPath();

    /// Writes the entry whose command is the program path, a blank and `argument` (an empty argument
    /// leaves the trailing blank). Returns false when the entry cannot be written; nothing is shown.
    bool registerAtLogon(const QString& argument);
    /// Removes the entry; false when one exists and cannot be removed.
    bool unregister();

    const QString& entryPath() const { return m_entryPath; }

private:
    QString m_entryPath;
    QString m_programPath;
};
