// The fuzz targets' modem on a pseudo-terminal.
#include "PtyModem.h"

#include "FuzzSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

PtyModem::PtyModem() : m_config(fuzzPath(QStringLiteral("tvk.ini"))) {
    fuzzApplication();
    FUZZ_CHECK(m_pty.ok());
    ::fcntl(m_pty.masterFd(), F_SETFL, ::fcntl(m_pty.masterFd(), F_GETFL) | O_NONBLOCK);
    m_config.writeString(QStringLiteral("Ports"), QStringLiteral("Com1"), m_pty.slavePath());
    auto clock = std::make_unique<ManualTiming>();
    m_clock = clock.get();
    m_modem = std::make_unique<ModemController>(m_config, m_logger, std::move(clock));
    ModemSettings settings;
    settings.flow = SerialChannel::FlowControl::None;
    settings.replyTimeoutSeconds = 1;
    m_modem->setSettings(settings);
    FUZZ_CHECK(m_modem->openModemPort(1, false));
    m_notifier = std::make_unique<QSocketNotifier>(m_pty.masterFd(), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readable(); });
}

PtyModem::~PtyModem() {
    m_notifier.reset();
    m_modem.reset();
}

void PtyModem::waitHeld(qsizetype count) {
    // The reader thread takes the bytes off the line; once all are held, one notification carries them.
    QDeadlineTimer deadline(10000);
    while (m_modem->channel().bytesHeld() < count && !deadline.hasExpired())
        QThread::yieldCurrentThread();
    FUZZ_CHECK(m_modem->channel().bytesHeld() >= count);
}

void PtyModem::arrive(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    FUZZ_CHECK(m_pty.write(bytes));
    waitHeld(bytes.size());
    QDeadlineTimer deadline(10000);
    while (m_modem->channel().bytesHeld() > 0 && m_modem->portOpen() && !deadline.hasExpired())
        QCoreApplication::processEvents();
    FUZZ_CHECK(m_modem->channel().bytesHeld() == 0 || !m_modem->portOpen());
}

void PtyModem::answerNextCommand(const QByteArray& reply) {
    m_reply = reply;
    m_replyPending = true;
}

void PtyModem::drain() {
    char buffer[4096];
    while (::read(m_pty.masterFd(), buffer, sizeof buffer) > 0) {
    }
}

void PtyModem::readable() {
    char buffer[4096];
    bool lineEnded = false;
    for (ssize_t n; (n = ::read(m_pty.masterFd(), buffer, sizeof buffer)) > 0;)
        lineEnded = lineEnded || QByteArrayView(buffer, n).contains('\r');
    if (!lineEnded || !m_replyPending)
        return;
    m_replyPending = false;
    if (!m_reply.isEmpty()) {
        FUZZ_CHECK(m_pty.write(m_reply));
        waitHeld(m_reply.size());
    }
    // Posted after the channel's notification: a reply the controller did not take as one waits in
    // vain, so its time-out comes.
    QTimer::singleShot(0, [this] {
        if (m_modem->exchange().waiting())
            m_clock->advance(m_modem->settings().replyTimeoutSeconds * 1000);
    });
}
