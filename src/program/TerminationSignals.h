// SIGTERM and SIGINT delivered as a Qt signal on the event loop, as a desktop logout would ask.
#pragma once

#include <QObject>

class QSocketNotifier;

/// Only one instance per process: it owns the handlers of both signals.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void terminationRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};
