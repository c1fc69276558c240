// A modem on the master side of a pseudo-terminal that answers OK to every command line.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <memory>

class PtyOkModem : public QObject {
    Q_OBJECT
public:
    PtyOkModem();
    ~PtyOkModem() override;

    bool ok() const { return m_master >= 0; }
    /// The device the serial channel opens.
    QString device() const { return m_slave; }
    /// Command lines received, without their CR.
    const QList<QByteArray>& commands() const { return m_commands; }

private:
    void readable();

    int m_master = -1;
    int m_holder = -1;
    QString m_slave;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QByteArray m_partial;
    QList<QByteArray> m_commands;
};
