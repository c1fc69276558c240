// The search over serial ports 1 to 8 for modems, and their identification.
#pragma once

#include "modemsetup/ModemParams.h"

#include <QObject>
#include <QString>
#include <array>

class Config;
class Logger;
class ModemController;

/// Holds the entries of the modem initialization window: entry k (1..16) belongs to the k-th port
/// that answered "AT", in port order. Progress and the list are reported by signals.
class ModemSearch : public QObject {
    Q_OBJECT
public:
    static constexpr int kPorts = 8;
    static constexpr int kMaxEntries = 16;

    ModemSearch(Config& config, Logger& logger, ModemController& modem, QObject* parent = nullptr);

    /// Erases section `Modem`, tries ports 1..8 and fills the entries from 1 upward. Returns the count.
    /// A listing that writes no profile afterwards keeps the stored one with `eraseProfile` false.
    int searchModems(bool eraseProfile = true);

    int count() const { return m_count; }
    /// Entry `number` (1..16); out of range gives entry 1.
    ModemParams& entry(int number);
    const ModemParams& entry(int number) const;

    /// The progress bar while port `port` is tried: port·100/8 rounded, halves to even.
    static int progressFor(int port);
    /// An identity reply without everything up to and including its first ":".
    static QString identityText(const QString& reply);

Q_SIGNALS:
    /// The four text lines and the list are cleared.
    void cleared();
    /// Show the progress window with this caption (non-modal), its bar at 0.
    void progressShown(const QString& caption);
    void progressChanged(int percent);
    void progressHidden();
    /// Entry `number` was filled; its `Model` is the list's new line.
    void modemListed(int number, const QString& model);

private:
    QString identify(const char* first, const char* second, const char* third, const QString& fallback);

    Config& m_config;
    Logger& m_logger;
    ModemController& m_modem;
    std::array<ModemParams, kMaxEntries> m_entries;
    int m_count = 0;
};
