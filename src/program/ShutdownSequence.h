// The ordered steps of the program's close; a failing step is ignored and the sequence goes on.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class ShutdownSequence {
public:
    void add(QString name, std::function<void()> step);
    /// Runs every step in order. Returns the names of the steps that raised.
    QStringList run();
    QStringList names() const;

private:
    std::vector<std::pair<QString, std::function<void()>>> m_steps;
};
