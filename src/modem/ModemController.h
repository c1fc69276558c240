// The modem controller: owns the serial channel, the AT command exchange on it and call detection, and
// carries the modem's life: the port opened and closed, the modem initialised, Modem On and Off.
#pragma once

#include "modem/AtExchange.h"
#include "modem/CallDetector.h"
#include "modem/ModemSettings.h"
#include "modem/ModemTiming.h"
#include "modem/SerialChannel.h"

#include <QObject>
#include <QString>
#include <memory>

class Config;
class Logger;

class ModemController : public QObject {
    Q_OBJECT
public:
    /// Call detection reads the learned `RingTimeOut` of section `General` from `config`.
    ModemController(Config& config, Logger& logger, QObject* parent = nullptr);
    /// As above, on the clock `timing` (the real one when null).
    ModemController(Config& config, Logger& logger, std::unique_ptr<ModemTiming> timing, QObject* parent = nullptr);
    ~ModemController() override;

    /// Hands the line settings' reply time-out to the exchange and the call settings to call detection.
    void setSettings(const ModemSettings& settings);
    const ModemSettings& settings() const { return m_settings; }
    SerialChannel& channel() { return m_channel; }
    AtExchange& exchange() { return m_exchange; }
    CallDetector& calls() { return m_calls; }

    /// Opens `port` with the line settings, and initialises the modem when `initialise`. True when
    /// the port is (or already was) open.
    bool openModemPort(int port, bool initialise);
    bool closeModemPort();
    void initModem();
    /// Ends a voice stream the modem may be sending (see `AtExchange::endVoiceStream`). A modem that does
    /// not answer has its port closed, which drops DTR, and opened again. True when the port is open and
    /// the modem takes commands again.
    bool endVoiceStream();
    /// The Modem On command: logs its click; when the port is closed opens the configured port and
    /// arms or disarms automatic recording by the setting. False when the port could not be opened
    /// (the caller shows `reportOpenFailure()` and disables Record).
    bool switchOn();
    /// The Modem Off command: logs its click and closes the port.
    bool switchOff();

    bool portOpen() const { return m_portOpen; }
    /// The port's number as the fixed log lines and messages show it.
    QString portText() const;
    /// After a failed `openModemPort`: logs which device failed and why, and returns the message the
    /// user sees, "Error during opening com port " N.
    QString reportOpenFailure();

Q_SIGNALS:
    void portOpenChanged(bool open);
    /// " Modem on" or " Modem off", for the first panel of the status bar.
    void statusText(const QString& text);

private:
    void channelOpened();
    void channelClosed();

    Config& m_config;
    Logger& m_logger;
    ModemSettings m_settings;
    std::unique_ptr<ModemTiming> m_timing;
    SerialChannel m_channel;
    AtExchange m_exchange;
    CallDetector m_calls;
    bool m_portOpen = false;
};
