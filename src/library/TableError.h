// The error every table store and catalogue operation raises, carrying the message the user sees.
#pragma once

#include <QString>
#include <stdexcept>

class TableError : public std::runtime_error {
public:
    explicit TableError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};
