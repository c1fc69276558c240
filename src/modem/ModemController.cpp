// The modem controller: the port, the modem's initialisation and the Modem On and Off commands.
#include "modem/ModemController.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Logger.h"
#include "modem/PortMap.h"

namespace {

/// A profile command stored as "none" (any case) was rejected by the modem; an empty one means the
/// profile has none. Neither is sent.
bool sendable(const QString& command) {
    return !command.trimmed().isEmpty() && !command.contains(QLatin1String("NONE"), Qt::CaseInsensitive);
}

} // namespace

ModemController::ModemController(Config& config, Logger& logger, QObject* parent)
    : ModemController(config, logger, nullptr, parent) {}

ModemController::ModemController(Config& config, Logger& logger, std::unique_ptr<ModemTiming> timing, QObject* parent)
    : QObject(parent), m_config(config), m_logger(logger),
      m_timing(timing ? std::move(timing) : std::make_unique<RealModemTiming>()),
      m_exchange(m_channel, logger, *m_timing), m_calls(config, logger, *m_timing) {
    connect(&m_channel, &SerialChannel::opened, this, &ModemController::channelOpened);
    connect(&m_channel, &SerialChannel::closed, this, &ModemController::channelClosed);

    m_exchange.setUnansweredTextHandler([this](const QString& text) { return m_calls.takeText(text); });
    connect(&m_exchange, &AtExchange::lineEvent, &m_calls, &CallDetector::lineEvent);
    // A ring interval measured across a reply time-out or sound is no cadence.
    connect(&m_exchange, &AtExchange::replyTimedOut, &m_calls, &CallDetector::stopRingInterval);
    connect(&m_exchange, &AtExchange::voiceData, &m_calls, &CallDetector::stopRingInterval);
    // Armed or disarmed, call detection starts on new text: what the modem said before belongs to no
    // call it waits for.
    connect(&m_calls, &CallDetector::autoRecordModeChanged, &m_exchange, &AtExchange::clearReplyBuffer);
}

ModemController::~ModemController() {
    disconnect(&m_channel, nullptr, this, nullptr);
    m_channel.closeChannel();
}

void ModemController::setSettings(const ModemSettings& settings) {
    m_settings = settings;
    m_exchange.setReplyTimeoutSeconds(settings.replyTimeoutSeconds);
    m_calls.setSettings(settings);
}

QString ModemController::portText() const {
    return QString::number(m_channel.comNumber());
}

QString ModemController::reportOpenFailure() {
    m_logger.add(PortMap::deviceLine(m_channel.comNumber(), m_channel.device()) +
                 QStringLiteral(" and cannot be opened: ") + m_channel.errorString());
    return QStringLiteral("Error during opening com port ") + portText();
}

bool ModemController::openModemPort(int port, bool initialise) {
    if (m_portOpen)
        return true;
    m_channel.setBaud(m_settings.baud);
    m_channel.setFlowControl(m_settings.flow);
    m_channel.setComNumber(port);
    m_channel.setDevice(PortMap::devicePath(&m_config, port));
    m_portOpen = false;
    // The channel delivers opened before it returns, so the flag is already set on success.
    if (!m_channel.openChannel() || !m_portOpen)
        return false;
    if (initialise)
        initModem();
    return true;
}

bool ModemController::closeModemPort() {
    const bool closed = m_channel.closeChannel();
    m_exchange.setVoiceReception(false);
    m_calls.endCallDetection();
    return closed;
}

void ModemController::channelOpened() {
    m_portOpen = true;
    m_logger.add(PortMap::deviceLine(m_channel.comNumber(), m_channel.device()));
    m_logger.add(QStringLiteral("Com port ") + portText() + QStringLiteral(" opened..."));
    Q_EMIT statusText(QStringLiteral(" Modem on"));
    Q_EMIT portOpenChanged(true);
}

void ModemController::channelClosed() {
    m_portOpen = false;
    m_calls.endCallDetection();
    m_logger.add(QStringLiteral("Com port ") + portText() + QStringLiteral(" closed..."));
    Q_EMIT statusText(QStringLiteral(" Modem off"));
    Q_EMIT portOpenChanged(false);
}

void ModemController::initModem() {
    m_exchange.sendCommand(QStringLiteral("atE0"), QStringLiteral("echo off.."), QStringLiteral("ok"));
    m_exchange.sendCommand(QStringLiteral("ats0=0"), QStringLiteral("Setting autoanswer off.."), QStringLiteral("ok"));
    if (!m_settings.callerId)
        return;
    if (sendable(m_settings.forCallerId)) {
        m_exchange.sendCommand(m_settings.forCallerId, QStringLiteral("Enable caller ID.."), QStringLiteral("ok"));
        m_calls.clearCallerId();
    } else if (sendable(m_settings.disCallerId)) {
        m_exchange.sendCommand(m_settings.disCallerId, QStringLiteral("Disable caller ID.."), QStringLiteral("ok"));
    }
}

bool ModemController::endVoiceStream() {
    if (m_exchange.endVoiceStream())
        return true;
    // A port closed during the wait (an unplugged modem, the program closing) stays closed.
    if (!m_channel.isOpen())
        return false;
    // Closing the port drops DTR, which returns a voice modem to command mode.
    const int port = m_channel.comNumber();
    closeModemPort();
    return openModemPort(port, false);
}

bool ModemController::switchOn() {
    m_logger.add(QStringLiteral("-- Modem on clicked"));
    if (m_portOpen)
        return true;
    if (!openModemPort(m_settings.port, true))
        return false;
    if (m_settings.autoRecord)
        m_calls.enableAutoRecord();
    else
        m_calls.disableAutoRecord();
    return true;
}

bool ModemController::switchOff() {
    m_logger.add(QStringLiteral("-- Modem off clicked"));
    return closeModemPort();
}
