// A modem controller on the slave side of a pseudo-terminal whose master side the fuzz target plays,
// on a hand-turned clock: the real serial channel and reply handling run on the target's bytes.
#pragma once

#include "ManualTiming.h"
#include "PtyPair.h"
#include "base/Config.h"
#include "base/Logger.h"
#include "modem/ModemController.h"

#include <QByteArray>
#include <QSocketNotifier>
#include <memory>

class PtyModem {
public:
    /// Port 1 of a scratch tvk.ini is the pseudo-terminal; the port is opened without initialisation.
    PtyModem();
    ~PtyModem();

    ModemController& modem() { return *m_modem; }
    ManualTiming& clock() { return *m_clock; }
    Logger& logger() { return m_logger; }
    Config& config() { return m_config; }

    /// Sends `bytes` as the modem and returns once the controller has taken them, all in one data
    /// notification.
    void arrive(const QByteArray& bytes);
    /// The next command line the controller sends is answered with `reply` in one notification; a
    /// reply the controller does not recognise runs into its reply time-out.
    void answerNextCommand(const QByteArray& reply);
    /// Drops what the controller sent.
    void drain();

private:
    void readable();
    void waitHeld(qsizetype count);

    PtyPair m_pty;
    Config m_config;
    Logger m_logger;
    ManualTiming* m_clock = nullptr;
    std::unique_ptr<ModemController> m_modem;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QByteArray m_reply;
    bool m_replyPending = false;
};
