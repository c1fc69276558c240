// Finding modems on ports 1..8 and asking each for its model, manufacturer and revision.
#include "modemsetup/ModemSearch.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Logger.h"
#include "modem/ModemController.h"
#include "modem/PortMap.h"

ModemSearch::ModemSearch(Config& config, Logger& logger, ModemController& modem, QObject* parent)
    : QObject(parent), m_config(config), m_logger(logger), m_modem(modem) {}

ModemParams& ModemSearch::entry(int number) {
    return m_entries[static_cast<size_t>(number >= 1 && number <= kMaxEntries ? number - 1 : 0)];
}

const ModemParams& ModemSearch::entry(int number) const {
    return m_entries[static_cast<size_t>(number >= 1 && number <= kMaxEntries ? number - 1 : 0)];
}

int ModemSearch::progressFor(int port) {
    const int scaled = port * 100;
    int whole = scaled / kPorts;
    const int rest = scaled % kPorts;
    if (rest * 2 > kPorts || (rest * 2 == kPorts && whole % 2 == 1))
        ++whole;
    return whole;
}

QString ModemSearch::identityText(const QString& reply) {
    const qsizetype colon = reply.indexOf(QLatin1Char(':'));
    return colon < 0 ? reply : reply.mid(colon + 1);
}

QString ModemSearch::identify(const char* first, const char* second, const char* third, const QString& fallback) {
    for (const char* command : {first, second, third}) {
        if (command == nullptr)
            continue;
        QString reply;
        if (m_modem.exchange().sendQuery(QLatin1String(command), reply) == AtResult::Ok)
            return identityText(reply);
    }
    return fallback;
}

int ModemSearch::searchModems(bool eraseProfile) {
    Q_EMIT cleared();
    try {
        if (eraseProfile) {
            m_config.eraseSection(ConfigKeys::kModemSection);
            m_config.flush();
        }
    } catch (const ConfigWriteError&) {
        // The old profile stays; the search goes on.
    }
    m_count = 0;
    // A port left open (the settings path closes it first) would answer for every number tried.
    if (m_modem.portOpen())
        m_modem.closeModemPort();

    Q_EMIT progressShown(QStringLiteral("Finding modems... "));
    m_logger.add(QStringLiteral("----- finding modems -----"));
    QList<int> failed;
    for (int port = 1; port <= kPorts; ++port) {
        Q_EMIT progressChanged(progressFor(port));
        if (!m_modem.openModemPort(port, false)) {
            m_logger.add(QStringLiteral("Port %1 failed to open").arg(port));
            failed.append(port);
            continue;
        }
        if (m_modem.exchange().sendCommand(QStringLiteral("AT"), QStringLiteral("Sending AT"), QStringLiteral("ok")) !=
            AtResult::Ok) {
            m_modem.closeModemPort();
            continue;
        }
        m_modem.exchange().sendCommand(QStringLiteral("atE0"), QStringLiteral("echo off.."), QStringLiteral("ok"));
        ++m_count;
        ModemParams& found = entry(m_count);
        found = ModemParams();
        found.Model = identify("AT+GMM?", "AT+FMM?", "ATI4", QStringLiteral("Unspecified model"));
        found.Manufacturer = identify("AT+GMI?", "AT+FMI?", nullptr, QStringLiteral("Unspecified manufacturer"));
        found.DriverDate = identify("AT+GMR?", "AT+FMR?", nullptr, QStringLiteral("Unspecified driver"));
        found.PortName = QStringLiteral("com%1").arg(port);
        found.port = port;
        Q_EMIT modemListed(m_count, found.Model);
        m_modem.closeModemPort();
    }
    m_logger.add(QStringLiteral("----- finding modems finished -----"));
    // Which device each failed port is, for the user who must find it; after the search's own lines.
    for (const int port : failed) {
        const QString device = PortMap::devicePath(&m_config, port);
        m_logger.add(
            QStringLiteral("Port %1 is %2").arg(port).arg(device.isEmpty() ? QStringLiteral("not set") : device));
    }
    Q_EMIT progressHidden();
    return m_count;
}
