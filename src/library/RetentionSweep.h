// Deleting the recordings retention chose, through the catalogue's ordered delete.
#pragma once

#include "library/RetentionPlan.h"

#include <QDateTime>
#include <QStringList>
#include <vector>

class Catalogue;
class Config;
class Logger;

/// Plans and deletes on an open catalogue. Each recording goes as the Delete command deletes: its
/// row removed, the table saved, then its file; each is logged in one line. The selected list stays
/// selected.
///
///     RetentionSweep sweep(catalogue, config, logger);
///     sweep.run(QDateTime::currentDateTime(), {playingFile});
class RetentionSweep {
public:
    RetentionSweep(Catalogue& catalogue, Config& config, Logger& logger)
        : m_catalogue(catalogue), m_config(config), m_logger(logger) {}

    /// What would go now; reads the tables as saved, so it works on a catalogue another program holds.
    static std::vector<RetentionDeletion> plan(const QString& workDir, Catalogue* open, Config& config,
                                               const QDateTime& now, const QStringList& inUse, QStringList* warnings);
    /// Deletes what plan() chooses; returns the number deleted. A row that cannot be deleted is
    /// logged and the rest go on.
    int run(const QDateTime& now, const QStringList& inUse);

private:
    Catalogue& m_catalogue;
    Config& m_config;
    Logger& m_logger;
};
