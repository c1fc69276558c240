// The error a backup, a restore or a mirror pass raises, carrying the one line the user sees.
#pragma once

#include <QString>
#include <stdexcept>

class BackupError : public std::runtime_error {
public:
    explicit BackupError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};
