// Runs close steps in order, never letting one step's failure stop the rest.
#include "program/ShutdownSequence.h"

#include <exception>

void ShutdownSequence::add(QString name, std::function<void()> step) {
    m_steps.emplace_back(std::move(name), std::move(step));
}

QStringList ShutdownSequence::run() {
    QStringList failed;
    for (auto& [name, step] : m_steps) {
        try {
            step();
        } catch (const std::exception&) {
            failed.append(name);
        } catch (...) {
            failed.append(name);
        }
    }
    return failed;
}

QStringList ShutdownSequence::names() const {
    QStringList names;
    for (const auto& step : m_steps)
        names.append(step.first);
    return names;
}
