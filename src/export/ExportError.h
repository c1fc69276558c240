// The one error of writing a copy: a one-line text that names the file and says why.
#pragma once

#include <QString>
#include <stdexcept>

class ExportError : public std::runtime_error {
public:
    explicit ExportError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};
