// Writing the modem profile: the default commands tested one by one, the probes, the stored keys.
#include "modemsetup/ModemProfileWriter.h"

#include "audio/AudioErrors.h"
#include "audio/MatchModemCompression.h"
#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "base/Logger.h"
#include "base/Prompter.h"
#include "modem/ModemController.h"
#include "modem/PortMap.h"
#include "modemsetup/CurrentCompression.h"
#include "modemsetup/GainRange.h"
#include "modemsetup/ModemProfile.h"
#include "modemsetup/ModemSearch.h"
#include "modemsetup/VoiceCapabilityProbe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <utility>

namespace {
const QString kNone = QStringLiteral("none");
} // namespace

ModemProfileWriter::ModemProfileWriter(Config& config, Logger& logger, Prompter& prompter, ModemController& modem,
                                       ModemProfile& profile, VoiceCapabilityProbe& parse, CurrentCompression& current,
                                       ModemSearch& search, QString workingFolder, QObject* parent)
    : QObject(parent), m_config(config), m_logger(logger), m_prompter(prompter), m_modem(modem), m_profile(profile),
      m_parse(parse), m_current(current), m_search(search), m_workingFolder(std::move(workingFolder)) {}

void ModemProfileWriter::fillDefaultCommands(ModemParams& e) {
    e.VoiceMode = QStringLiteral("at+fclass=8");
    e.InitVoice = QStringLiteral("at+vid");
    e.Reset = QStringLiteral("atz");
    e.answer = QStringLiteral("ats0=0");
    e.DisCallerId = QStringLiteral("at+vcid=0");
    e.ForCallerId = QStringLiteral("at+vcid=1");
    e.UnfCallerId = QStringLiteral("at+vcid=2");
    e.Distinctive = QStringLiteral("at+vdr=0");
    e.SpeakerVol = QStringLiteral("at+vgt=128");
    e.RecGain = QStringLiteral("at+vgr=128");
    e.LineSel_T = QStringLiteral("at+vls=1");
    e.BeepTone = QStringLiteral("at+vtd=100");
    e.SilenceTimer = QStringLiteral("at+vsd=127,255");
    e.ToneGeneration = QStringLiteral("at+vts=");
    e.VoiceProcess = QStringLiteral("at+vtr");
    e.VoiceTrx = QStringLiteral("at+vtx");
    e.VoiceRec = QStringLiteral("at+vrx");
    e.VoiceCompression = QStringLiteral("at+vsm=128");
    e.SpeakerOn = QStringLiteral("at+vsp=1");
    e.SpeakerOff = QStringLiteral("at+vsp=0");
    e.MicGain = QStringLiteral("at+vgm=128");
    e.SpeakerGain = QStringLiteral("at+vgs=128");
}

void ModemProfileWriter::fillCommandTable(int number) {
    fillDefaultCommands(m_search.entry(number));
}

int ModemProfileWriter::gaugeFor(int step) {
    return (step * 200 + kGaugeSteps) / (2 * kGaugeSteps);
}

void ModemProfileWriter::gaugeStep() {
    ++m_step;
    Q_EMIT gaugeChanged(gaugeFor(m_step));
}

void ModemProfileWriter::writeModem(const ConfigKey& key, const QString& value) {
    m_config.writeString(key, value);
}

void ModemProfileWriter::testCommand(const ConfigKey& key, const QString& command) {
    const bool accepted = ModemParams::usable(command) &&
                          m_modem.exchange().sendCommand(command, command, QStringLiteral("ok")) == AtResult::Ok;
    writeModem(key, accepted ? command : kNone);
}

void ModemProfileWriter::probeGain(const char* query, const ConfigKey& minKey, const ConfigKey& maxKey,
                                   const ConfigKey& key, const char* command) {
    QString reply;
    if (m_modem.exchange().sendQuery(QLatin1String(query), reply) != AtResult::Ok) {
        writeModem(key, kNone);
        return;
    }
    GainRange range{0, 0};
    VoiceCapabilityProbe::parseGainRange(reply, range);
    m_config.writeInteger(minKey, range.low);
    m_config.writeInteger(maxKey, range.high);
    writeModem(key, QLatin1String(command) + QString::number((range.low + range.high) / 2));
}

ModemProfileWriter::Result ModemProfileWriter::writeModemProfile(int number) {
    m_profile.setParams(m_search.entry(number));
    const int port = m_search.entry(number).port;
    m_modem.channel().setComNumber(port);

    Q_EMIT busyChanged(true);
    QCoreApplication::processEvents();

    if (m_modem.portOpen())
        m_modem.closeModemPort();
    SerialChannel& channel = m_modem.channel();
    channel.setBaud(m_modem.settings().baud);
    channel.setFlowControl(m_modem.settings().flow);
    channel.setDevice(PortMap::devicePath(&m_config, port));
    if (channel.device().isEmpty() || !channel.openChannel()) {
        m_logger.add(PortMap::deviceLine(port, channel.device()) + QStringLiteral(" and cannot be opened: ") +
                     channel.errorString());
        m_prompter.message(QStringLiteral("No valid com port specified for this modem"), Prompter::Icon::Error);
        Q_EMIT busyChanged(false);
        return Result::PortUnusable;
    }
    if (!m_modem.portOpen()) {
        Q_EMIT busyChanged(false);
        return Result::PortNotOpen;
    }

    Result result = Result::Written;
    try {
        result = writeSteps(number);
    } catch (const ConfigWriteError& e) {
        m_prompter.message(e.text(), Prompter::Icon::Error);
        result = Result::WriteFailed;
    }
    Q_EMIT gaugeShown(false);
    Q_EMIT busyChanged(false);
    m_modem.closeModemPort();
    return result;
}

ModemProfileWriter::Result ModemProfileWriter::writeSteps(int number) {
    m_modem.exchange().sendCommand(QStringLiteral("atE0"), QStringLiteral("echo off.."), QStringLiteral("ok"));
    if (m_modem.exchange().sendCommand(QStringLiteral("at"), QStringLiteral("at"), QStringLiteral("ok")) !=
        AtResult::Ok) {
        m_prompter.message(QStringLiteral("There is no voice modem at this com port"), Prompter::Icon::Error);
        return Result::NoModem;
    }

    // Reset and answer are still empty here: the command table is filled only once voice mode is known.
    const ModemParams& identity = m_profile.params();
    writeModem(ConfigKeys::kDriverDate, identity.DriverDate);
    writeModem(ConfigKeys::kManufacturer, identity.Manufacturer);
    writeModem(ConfigKeys::kDeviceDesc, identity.DeviceDesc);
    writeModem(ConfigKeys::kModel, identity.Model);
    writeModem(ConfigKeys::kReset, identity.Reset);
    writeModem(ConfigKeys::kAnswer, identity.answer);
    writeModem(ConfigKeys::kMonitorCommand, identity.monitor);
    m_config.writeInteger(ConfigKeys::kModemPort, identity.port);

    m_profile.setVoiceFeatures(false);
    const QString voiceMode = QStringLiteral("at+fclass=8");
    if (m_modem.exchange().sendCommand(voiceMode, voiceMode, QStringLiteral("ok")) == AtResult::Ok) {
        m_step = 0;
        Q_EMIT gaugeChanged(0);
        Q_EMIT gaugeShown(true);
        m_profile.setVoiceFeatures(true);
        m_config.writeBool(ConfigKeys::kVoiceFeatures, true);
        fillCommandTable(number);
        m_profile.setParams(m_search.entry(number));
        const ModemParams p = m_profile.params();
        writeModem(ConfigKeys::kVoiceMode, p.VoiceMode);

        using Test = std::pair<ConfigKey, QString>;
        for (const auto& [key, command] :
             {Test{ConfigKeys::kInitVoice, p.InitVoice}, Test{ConfigKeys::kDisCallerId, p.DisCallerId},
              Test{ConfigKeys::kForCallerId, p.ForCallerId}, Test{ConfigKeys::kUnfCallerId, p.UnfCallerId},
              Test{ConfigKeys::kDistinctive, p.Distinctive}}) {
            testCommand(key, command);
            gaugeStep();
        }

        m_logger.add(QStringLiteral("now vsm"));
        if (m_parse.probeCompressions(false) && chooseCurrentCompression(m_config, m_parse.compressionsPath())) {
            const QString cpn = QDir(m_workingFolder).filePath(kModemCompressionFile);
            QFile::remove(cpn);
            try {
                matchCurrentCompression(m_current, m_config, m_parse.compressionsPath(), m_prompter, cpn);
            } catch (const FileOpenError& e) {
                m_prompter.message(e.text(), Prompter::Icon::Error);
            }
        }
        gaugeStep();

        m_logger.add(QStringLiteral("now vls"));
        m_parse.probeLineSelection();
        gaugeStep();

        writeModem(ConfigKeys::kSilenceTimer, kNone);
        writeModem(ConfigKeys::kToneGeneration, p.ToneGeneration);
        writeModem(ConfigKeys::kVoiceProcess, p.VoiceProcess);
        writeModem(ConfigKeys::kVoiceTrx, p.VoiceTrx);
        writeModem(ConfigKeys::kVoiceRec, p.VoiceRec);

        probeGain("at+VGR=?", ConfigKeys::kRecordGainMin, ConfigKeys::kRecordGainMax, ConfigKeys::kRecGain, "at+vgr=");
        gaugeStep();
        probeGain("at+VGT=?", ConfigKeys::kSpeakerGainMin, ConfigKeys::kSpeakerGainMax, ConfigKeys::kSpeakerVol,
                  "at+vgt=");
        gaugeStep();

        for (const auto& [key, command] :
             {Test{ConfigKeys::kSpeakerOn, p.SpeakerOn}, Test{ConfigKeys::kSpeakerOff, p.SpeakerOff},
              Test{ConfigKeys::kMicGain, p.MicGain}, Test{ConfigKeys::kSpeakerGain, p.SpeakerGain}}) {
            testCommand(key, command);
            gaugeStep();
        }

        m_config.writeString(ConfigKeys::kUseLine, m_config.readString(ConfigKeys::kLineSelection, QString()));
        m_config.writeString(ConfigKeys::kUseLineRes, m_config.readString(ConfigKeys::kLineSelectionReply, QString()));
        m_config.writeInteger(ConfigKeys::kTimeout, ConfigKeys::kTimeout.defaultValue);
        Q_EMIT gaugeShown(false);
    }

    if (!m_profile.voiceFeatures()) {
        using namespace ConfigKeys;
        for (const ConfigKey& key : std::initializer_list<ConfigKey>{
                 kVoiceMode,    kInitVoice,     kDisCallerId,        kForCallerId, kUnfCallerId,  kDistinctive,
                 kSpeakerVol,   kLineSelection, kLineSelectionReply, kBeepTone,    kSilenceTimer, kToneGeneration,
                 kVoiceProcess, kVoiceTrx,      kVoiceRec,           kRecGain,     kSpeakerOn,    kSpeakerOff,
                 kMicGain,      kSpeakerGain})
            writeModem(key, kNone);
        // Not sent either way, but a profile of a modem without voice keeps nothing of the one before.
        writeModem(kVoiceCompression, kNone);
        m_config.writeString(kUseLine, kNone);
        m_config.writeString(kUseLineRes, kNone);
        m_config.writeBool(kVoiceFeatures, false);
        m_config.writeInteger(kTimeout, kTimeout.defaultValue);
    }
    return Result::Written;
}
