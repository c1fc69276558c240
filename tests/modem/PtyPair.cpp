// Pseudo-terminal pair: posix_openpt on the master side, the slave path for the channel.
#include "PtyPair.h"

#include <QDeadlineTimer>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

PtyPair::PtyPair() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return;
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        closeMaster();
        return;
    }
    char name[128] = {};
    if (ptsname_r(m_master, name, sizeof name) != 0) {
        closeMaster();
        return;
    }
    m_slave = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair() {
    closeMaster();
}

bool PtyPair::write(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QByteArray PtyPair::read(qsizetype count, int timeoutMs) {
    QByteArray got;
    QDeadlineTimer deadline(timeoutMs);
    while (got.size() < count && !deadline.hasExpired()) {
        pollfd pfd{m_master, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
        if (ready <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got.append(buffer, n);
    }
    return got;
}

void PtyPair::closeMaster() {
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}
