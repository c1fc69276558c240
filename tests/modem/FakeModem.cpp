// Scripted modem: reads command lines from the pseudo-terminal and writes the scripted replies.
#include "FakeModem.h"

#include <unistd.h>

FakeModem::FakeModem() {
    if (m_pty.ok()) {
        m_notifier = std::make_unique<QSocketNotifier>(m_pty.masterFd(), QSocketNotifier::Read);
        connect(m_notifier.get(), &QSocketNotifier::activated, this, &FakeModem::readable);
    }
}

void FakeModem::readable() {
    char buffer[1024];
    const ssize_t n = ::read(m_pty.masterFd(), buffer, sizeof buffer);
    if (n <= 0) {
        m_notifier->setEnabled(false);
        return;
    }
    m_partial.append(buffer, n);
    // DLE '!' ends a voice stream; it is no command text. The test says when the stream's end comes.
    const QByteArray streamEnd("\x10!");
    for (qsizetype at; (at = m_partial.indexOf(streamEnd)) >= 0;) {
        m_partial.remove(at, streamEnd.size());
        ++m_streamEnds;
    }
    qsizetype end;
    while ((end = m_partial.indexOf('\r')) >= 0) {
        const QByteArray command = m_partial.left(end);
        m_partial.remove(0, end + 1);
        m_commands.append(command);
        const QByteArray reply = m_replies.value(command, QByteArray("\r\nOK\r\n"));
        if (!reply.isEmpty())
            m_pty.write(reply);
        Q_EMIT commandReceived(command);
    }
}
