// A scripted modem on the master side of a pseudo-terminal, answering on the test's event loop.
#pragma once

#include "PtyPair.h"

#include <QHash>
#include <QObject>
#include <QSocketNotifier>
#include <QStringList>
#include <memory>

class FakeModem : public QObject {
    Q_OBJECT
public:
    FakeModem();

    PtyPair& pty() { return m_pty; }
    /// The reply sent to a command line (without its CR); commands without one get "\r\nOK\r\n".
    /// An empty reply means silence.
    void answer(const QByteArray& command, const QByteArray& reply) { m_replies.insert(command, reply); }
    /// Every command line received, in order.
    QList<QByteArray> commands() const { return m_commands; }
    /// How many DLE '!' (end of a voice stream) came.
    int streamEnds() const { return m_streamEnds; }
    /// Unsolicited text, such as a ring.
    void send(const QByteArray& text) { m_pty.write(text); }
    /// The device vanishes, as a USB modem pulled out.
    void unplug() {
        m_notifier.reset();
        m_pty.closeMaster();
    }

Q_SIGNALS:
    void commandReceived(const QByteArray& command);

private:
    void readable();

    PtyPair m_pty;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QHash<QByteArray, QByteArray> m_replies;
    QList<QByteArray> m_commands;
    QByteArray m_partial;
    int m_streamEnds = 0;
};
