// The voice capability probes: asking the modem and parsing its compression, line and gain replies.
#pragma once

#include "modem/AtResult.h"
#include "modemsetup/CompressionRecord.h"
#include "modemsetup/GainRange.h"

#include <QObject>
#include <QString>
#include <functional>

class Config;
class Logger;
class ModemProfile;
class Prompter;
class QueryModemBox;

/// The exchange is injected as a query function (the modem controller's `sendQuery`), so the probes
/// read like their steps and the parsing runs on any reply text, including a developer's.
class VoiceCapabilityProbe : public QObject {
    Q_OBJECT
public:
    /// Sends a command and returns (result code, reply text); 0 means the expected reply came.
    using Query = std::function<AtResult(const QString& command, QString& reply)>;

    VoiceCapabilityProbe(Config& config, Logger& logger, Prompter& prompter, ModemProfile& profile, QueryModemBox& box,
                         QString workingFolder, QObject* parent = nullptr);

    void setQuery(Query query) { m_query = std::move(query); }

    /// Normal mode asks "at+vsm=?" and puts the reply in the Query Modem box; developer mode parses the
    /// box's lines as they stand. Then parseCompressionList. True when a compression was recognised.
    bool probeCompressions(bool developerMode);
    /// Recreates Compressions.d and the section "Modem compressions" from the box's lines. Nothing
    /// recognised: "None modem compression can be recognized" and, in normal mode, "at+vsm=none" is
    /// stored. Also false when Compressions.d cannot be written ("Unable to write to " + its path).
    /// ConfigWriteError propagates.
    bool parseCompressionList(bool developerMode);
    /// Asks "at+vls=?", shows the reply in the box and stores `LineSel_T` (the profile's) and
    /// `LineSel_T#` "ok". Always true.
    bool probeLineSelection();

    /// Classify line: one trimmed reply line to a record (without its command) and its separator.
    static bool classifyLine(const QString& line, CompressionRecord& record, QChar& separator);
    /// "at+vsm=" with the record's `cml`, `vsr`, `scs`, `sel` joined by the separator.
    static QString buildSelectionCommand(const CompressionRecord& record, QChar separator);
    static void parseGainRange(const QString& reply, GainRange& range);

    QString compressionsPath() const;

private:
    QString developerText(const CompressionRecord& record) const;

    Config& m_config;
    Logger& m_logger;
    Prompter& m_prompter;
    ModemProfile& m_profile;
    QueryModemBox& m_box;
    QString m_workingFolder;
    Query m_query;
};
