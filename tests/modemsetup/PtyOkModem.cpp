// The pseudo-terminal modem: reads command lines and answers "\r\nOK\r\n".
#include "PtyOkModem.h"

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

PtyOkModem::PtyOkModem() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    char name[128] = {};
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0 ||
        ptsname_r(m_master, name, sizeof name) != 0) {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
        return;
    }
    m_slave = QString::fromLocal8Bit(name);
    // Holding the slave open keeps the master readable without EIO between the channel's opens.
    m_holder = ::open(name, O_RDWR | O_NOCTTY);
    m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &PtyOkModem::readable);
}

PtyOkModem::~PtyOkModem() {
    m_notifier.reset();
    if (m_holder >= 0)
        ::close(m_holder);
    if (m_master >= 0)
        ::close(m_master);
}

void PtyOkModem::readable() {
    char buffer[1024];
    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
    if (n <= 0) {
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            m_notifier->setEnabled(false);
        return;
    }
    m_partial.append(buffer, n);
    for (qsizetype cr = m_partial.indexOf('\r'); cr >= 0; cr = m_partial.indexOf('\r')) {
        m_commands.append(m_partial.left(cr).trimmed());
        m_partial.remove(0, cr + 1);
        const QByteArray ok("\r\nOK\r\n");
        [[maybe_unused]] const ssize_t w = ::write(m_master, ok.constData(), size_t(ok.size()));
    }
}
